// TStream: a byte stream with a position, and TMemoryStream, one held in memory.
//
// Only what the skin engine's codec and package code call on: reading and writing at
// the position, seeking, the size, and whole-buffer reads and writes that raise when
// the stream cannot give or take every byte.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

class EStreamError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};
class EReadError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};
class EWriteError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};

class TStream {
 public:
  virtual ~TStream() = default;
  // Up to count bytes at the position; returns how many moved.
  virtual int32_t Read(void* buffer, int32_t count) = 0;
  virtual int32_t Write(const void* buffer, int32_t count) = 0;
  // Returns the new position.
  virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;
  virtual void SetSize(int64_t size) = 0;

  int64_t Position() { return Seek(0, soCurrent); }
  void SetPosition(int64_t at) { Seek(at, soBeginning); }
  int64_t Size();
  // EReadError / EWriteError unless all count bytes move.
  void ReadBuffer(void* buffer, int32_t count);
  void WriteBuffer(const void* buffer, int32_t count);
};

class TMemoryStream : public TStream {
 public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::string data) : data_(std::move(data)) {}

  int32_t Read(void* buffer, int32_t count) override;
  int32_t Write(const void* buffer, int32_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  void SetSize(int64_t size) override;

  const std::string& Data() const { return data_; }
  void Clear();

 private:
  std::string data_;
  int64_t pos_ = 0;
};
