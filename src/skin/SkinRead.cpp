#include "skin/SkinRead.h"

#include "classlib/Files.h"
#include "classlib/Gbk.h"
#include "classlib/StrUtils.h"
#include "skin/WinConvert.h"

namespace {

constexpr size_t kHeaderSize = 16;
// A skin draws window pieces: no bitmap of it is wider or higher than a screen, and all
// of them decoded fit in a modest budget, so a small package cannot claim gigabytes.
constexpr int32_t kMaxBitmapSide = 4096;
constexpr int64_t kMaxDecodedBytes = int64_t{256} << 20;

uint32_t U32(std::string_view s, size_t at) {
  uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(static_cast<uint8_t>(s[at + i])) << (8 * i);
  return v;
}

int32_t I32(std::string_view s, size_t at) { return static_cast<int32_t>(U32(s, at)); }

uint16_t U16(std::string_view s, size_t at) {
  return static_cast<uint16_t>(static_cast<uint8_t>(s[at]) | static_cast<uint8_t>(s[at + 1]) << 8);
}

// Where the name list starts for each known version; 0 for an unknown one.
size_t NameListOffset(int32_t version) {
  switch (version) {
    case TSkinReader::kVersion20000:
      return 16;
    case TSkinReader::kVersion40000:
      return 96;
    case TSkinReader::kVersion30000:
      return 272;
    default:
      return 0;
  }
}

bool SoundName(std::string_view name) {
  if (name.empty()) return false;
  for (char c : name) {
    if (static_cast<uint8_t>(c) < 0x20) return false;
  }
  return true;
}

bool EndsWith(std::string_view s, std::string_view tail) {
  return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}

std::string Damaged(const char* why) { return gbk::FromUtf8("皮肤文件已损坏：") + gbk::FromUtf8(why); }

}  // namespace

namespace {

// The checks of IsSoundBitmap; width and height of a sound one.
bool ParseBitmap(std::string_view bmp, int64_t& width, int64_t& height) {
  constexpr size_t kFileHeader = 14;
  if (bmp.size() < kFileHeader + 12 || bmp[0] != 'B' || bmp[1] != 'M') return false;
  uint32_t bits = U32(bmp, 10);
  uint32_t infoSize = U32(bmp, 14);
  if (infoSize < 12 || infoSize > bmp.size() - kFileHeader) return false;
  uint16_t bitCount;
  uint32_t compression = 0;
  if (infoSize == 12) {  // the old core header
    width = U16(bmp, 18);
    height = U16(bmp, 20);
    bitCount = U16(bmp, 24);
  } else {
    if (infoSize < 40) return false;
    width = I32(bmp, 18);
    height = I32(bmp, 22);
    bitCount = U16(bmp, 28);
    compression = U32(bmp, 30);
  }
  if (height < 0) height = -height;  // top-down rows
  if (width <= 0 || height <= 0 || width > kMaxBitmapSide || height > kMaxBitmapSide) return false;
  if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32) {
    return false;
  }
  if (bits < kFileHeader + infoSize || bits > bmp.size()) return false;
  switch (compression) {
    case 0:  // BI_RGB
    case 3:  // BI_BITFIELDS
      break;
    case 1:  // run-length coded: its own end marks
    case 2:
      return bitCount == (compression == 1 ? 8 : 4);
    default:
      return false;
  }
  int64_t stride = (width * bitCount + 31) / 32 * 4;
  return stride * height <= static_cast<int64_t>(bmp.size() - bits);
}

}  // namespace

bool IsSoundBitmap(std::string_view bmp) {
  int64_t width = 0, height = 0;
  return ParseBitmap(bmp, width, height);
}

int64_t DecodedBitmapBytes(std::string_view bmp) {
  int64_t width = 0, height = 0;
  return ParseBitmap(bmp, width, height) ? width * height * 4 : 0;
}

bool TSkinReader::Fail(std::string text) {
  Clear();
  lastError_ = std::move(text);
  return false;
}

void TSkinReader::Clear() {
  names_.Clear();
  sizes_.clear();
  offsets_.clear();
  data_.clear();
  for (int32_t& h : header_) h = 0;
}

bool TSkinReader::loadfromfile(std::string_view fileName) {
  std::string package;
  if (!file::Exists(fileName)) return Fail(gbk::FromUtf8("找不到皮肤文件 ") + std::string(fileName));
  if (!file::ReadAll(fileName, package)) return Fail(file::LastErrorText());
  return Loadfromstream(package);
}

bool TSkinReader::Loadfromstream(std::string_view package) {
  std::string content;
  TLZH lzh;
  if (!lzh.Decompress(package, content)) return Fail(Damaged("") + lzh.LastError());
  return LoadContent(content);
}

bool TSkinReader::LoadContent(std::string_view content) {
  Clear();
  if (content.size() < kHeaderSize) return Fail(Damaged("文件头不完整"));
  for (int i = 0; i < 4; ++i) header_[i] = I32(content, 4 * i);
  size_t at = NameListOffset(Version());
  if (at == 0) return Fail(gbk::FromUtf8("此文件版本不同\r请升级新版本 !"));
  if (!ReadTable(content, at)) return false;
  if (!CheckEntries()) return Fail(lastError_);
  lastError_.clear();
  return true;
}

// The name list at `at`, the size table after it, then the entries' bytes.
bool TSkinReader::ReadTable(std::string_view content, size_t at) {
  int64_t listLength = header_[1];
  if (at > content.size() || listLength < 0 || listLength > static_cast<int64_t>(content.size() - at)) {
    return Fail(Damaged("名称表超出文件"));
  }
  names_.SetText(LowerCase(content.substr(at, static_cast<size_t>(listLength))));
  at += static_cast<size_t>(listLength);
  size_t n = static_cast<size_t>(names_.Count());
  if (n > static_cast<size_t>(kMaxEntries)) return Fail(Damaged("条目太多"));
  if (4 * n > content.size() - at) return Fail(Damaged("大小表超出文件"));
  int64_t total = 0;
  for (size_t i = 0; i < n; ++i, at += 4) {
    int32_t size = I32(content, at);
    if (size < 0) return Fail(Damaged("条目大小无效"));
    offsets_.push_back(static_cast<size_t>(total));
    sizes_.push_back(size);
    total += size;
  }
  if (total > static_cast<int64_t>(content.size() - at)) return Fail(Damaged("条目超出文件"));
  data_.assign(content.substr(at));
  return true;
}

bool TSkinReader::CheckEntries() const {
  int64_t decoded = 0;
  for (int i = 0; i < Count(); ++i) {
    const std::string& name = names_[i];
    if (!SoundName(name)) {
      lastError_ = Damaged("条目名称无效");
      return false;
    }
    if (!EndsWith(name, ".bmp")) continue;
    std::string_view bmp = std::string_view(data_).substr(offsets_[i], sizes_[i]);
    if (!IsSoundBitmap(bmp)) {
      lastError_ = Damaged("图片文件头无效 ") + name;
      return false;
    }
    decoded += DecodedBitmapBytes(bmp);
    if (decoded > kMaxDecodedBytes) {
      lastError_ = Damaged("图片总尺寸太大 ") + name;
      return false;
    }
  }
  return true;
}

bool TSkinReader::readfile(std::string_view name, std::string& target) const {
  target.clear();
  int i = names_.IndexOf(LowerCase(name));
  if (i < 0) return false;
  target.assign(data_, offsets_[i], sizes_[i]);
  return true;
}

bool TSkinReader::readIni(std::string_view text, std::string& target, std::string& entryName) const {
  target.clear();
  for (int i = 0; i < Count(); ++i) {
    if (names_[i].find(text) == std::string::npos) continue;
    target.assign(data_, offsets_[i], sizes_[i]);
    entryName = names_[i];
    return true;
  }
  return false;
}
