// TLZH: the LZHUF compressor of the skin packages.
//
// LZSS over a 4096-byte ring buffer with a binary search tree for matches; literals
// and match lengths (3 to 60) take an adaptive Huffman code, match positions a fixed
// prefix code for their upper 6 bits plus 6 verbatim bits. Every constant, tie-break
// and bit order is fixed, because skin packages written elsewhere must decode bit for
// bit; both sides start each call from the same state (spaces in the ring buffer, all
// symbol frequencies 1).
//
// The coder moves single bytes through two callbacks; GetBlockStream and PutBlockStream
// bind them to InStream and OutStream. CompressStream and DecompressStream (and the
// whole-buffer Compress and Decompress over them) add the stored layout: a 4-byte
// little-endian uncompressed size, then the bit stream. Decompressing refuses a stream
// that cannot hold what its size field claims, so corrupt input never makes it
// allocate without bound.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

#include "classlib/Classes.h"

// A compressed stream the codec cannot decode (its text is GBK).
class ElzhException : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TLZH {
 public:
  // Store up to nBytes at dta and return how many were stored; 0: input exhausted.
  using TReadProc = std::function<uint16_t(uint8_t* dta, uint16_t nBytes)>;
  // Write nBytes from dta; the result (bytes put) is not checked by the coder.
  using TWriteProc = std::function<uint16_t(const uint8_t* dta, uint16_t nBytes)>;

  // The largest uncompressed size Decompress accepts (skins are far smaller).
  static constexpr int32_t kMaxUnpacked = 64 * 1024 * 1024;

  // The last code and its length in bits that the encoder wrote.
  uint16_t Code = 0, Len = 0;
  // What GetBlockStream reads and PutBlockStream writes; not owned.
  TStream* InStream = nullptr;
  TStream* OutStream = nullptr;
  // Bytes of bit stream the last LZHPack wrote.
  int32_t CodeSize = 0;

  TLZH();
  ~TLZH();
  TLZH(const TLZH&) = delete;
  TLZH& operator=(const TLZH&) = delete;

  // Compresses the whole input; bytesRead gets the number of input bytes consumed.
  void LZHPack(int32_t& bytesRead, const TReadProc& read, const TWriteProc& write);
  // Decodes until at least size bytes are written; a match is always written whole.
  // Input that runs out reads as zero bits.
  void LZHUnpack(int32_t size, const TReadProc& read, const TWriteProc& write);

  // The stream adapters: as many of count bytes as InStream still holds; count bytes
  // to OutStream (a short write raises the stream's EWriteError).
  uint16_t GetBlockStream(uint8_t* dta, uint16_t count);
  uint16_t PutBlockStream(const uint8_t* dta, uint16_t count);

  // The stored layout between InStream and OutStream, both rewound first; OutStream
  // ends up holding exactly the output. DecompressStream raises ElzhException for a
  // stream shorter than its size field, a size above kMaxUnpacked, or one the bit
  // stream could not encode.
  void CompressStream();
  void DecompressStream();

  // The stored layout, whole buffers in and out. Compress cannot fail.
  static void Compress(std::string_view src, std::string& dst);
  // False (dst empty, LastError set) for a stream shorter than its size field, a size
  // above kMaxUnpacked, or one the bit stream could not encode. dst gets exactly the
  // stated size.
  bool Decompress(std::string_view src, std::string& dst);
  const std::string& LastError() const { return lastError_; }

 private:
  struct Work;

  bool Fail(std::string text);
  void InitLZH();
  void EndLZH();
  void StartHuff();
  void Reconst();
  void Update(int c);
  void InitTree();
  void InsertNode(int r);
  void DeleteNode(int p);
  void Putcode(int l, uint16_t c);
  void EncodeChar(int c);
  void EncodePosition(int p);
  void EncodeEnd();
  int GetBit();
  int GetByte();
  void Refill();
  int DecodeChar();
  int DecodePosition();
  void PutByte(uint8_t b);

  std::unique_ptr<Work> work_;
  const TReadProc* read_ = nullptr;
  const TWriteProc* write_ = nullptr;
  uint16_t getBuf_ = 0;
  uint8_t getLen_ = 0;
  uint8_t putLen_ = 0;
  uint16_t putBuf_ = 0;
  int32_t textSize_ = 0;
  int16_t matchPosition_ = 0;
  int16_t matchLength_ = 0;
  std::string lastError_;
};
