// TSkinReader: the entries of a skin package (".skn").
//
// A package is one LZH-compressed stream (see WinConvert.h). Decompressed, it holds a
// 16-byte header (version, byte length L of the name list, two unused values), the name
// list at offset 16 (version 20000), 96 (40000) or 272 (30000), one name a line, then a
// 32-bit size for each name and the entries' bytes back to back. All integers are
// little-endian. Names are kept lower case; the first of equal names wins.
//
// Nothing of a package is trusted before it is checked: the sizes must fit the data,
// there are at most kMaxEntries entries, names are non-empty text, and every ".bmp"
// entry has a sound bitmap header. A package that fails any check is refused whole and
// leaves the reader empty; LastError() says why, and for an unknown version it is the
// text the caller shows the user.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "classlib/TStringList.h"

class TSkinReader {
 public:
  static constexpr int kMaxEntries = 1001;  // the package's entry table
  static constexpr int32_t kVersion20000 = 20000, kVersion30000 = 30000, kVersion40000 = 40000;

  // The compressed package bytes, as stored in the file.
  bool Loadfromstream(std::string_view package);
  bool loadfromfile(std::string_view fileName);
  // Loads decompressed package content.
  bool LoadContent(std::string_view content);

  // The entry of this name (any case) into target; target stays empty when absent.
  bool readfile(std::string_view name, std::string& target) const;
  // The first entry whose name contains text; entryName is left alone when none does.
  bool readIni(std::string_view text, std::string& target, std::string& entryName) const;

  int Count() const { return names_.Count(); }
  const TStringList& Names() const { return names_; }  // lower case, in package order
  const std::vector<int32_t>& Sizes() const { return sizes_; }
  int32_t Version() const { return header_[0]; }
  const std::string& LastError() const { return lastError_; }

 private:
  bool Fail(std::string text);
  void Clear();
  bool ReadTable(std::string_view content, size_t at);
  bool CheckEntries() const;

  TStringList names_;
  std::vector<int32_t> sizes_;
  std::vector<size_t> offsets_;  // where each entry starts in data_
  int32_t header_[4] = {};       // version, L and the two unused values
  std::string data_;             // all entries back to back
  mutable std::string lastError_;
};

// Whether an entry is a Windows bitmap whose headers and pixel data fit its bytes.
bool IsSoundBitmap(std::string_view bmp);
// Bytes the bitmap takes decoded (4 a pixel); 0 for one that is not sound.
int64_t DecodedBitmapBytes(std::string_view bmp);
