#include "SknPack.h"

#include <cstdint>

#include "classlib/Files.h"
#include "classlib/StrUtils.h"
#include "skin/SkinRead.h"
#include "skin/WinConvert.h"

namespace skn {

namespace {

void PutLe32(std::string& s, uint32_t v) {
  for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>(v >> (8 * i)));
}

bool ReadEntry(const std::string& folder, const std::string& name, std::vector<Entry>& entries, std::string& error) {
  if (!SafeFileName(name)) {
    error = "unsuitable entry name: " + name;
    return false;
  }
  Entry e{name, {}};
  if (!file::ReadAll(folder + name, e.bytes)) {
    error = file::LastErrorText();
    return false;
  }
  entries.push_back(std::move(e));
  return true;
}

}  // namespace

std::string Content(const std::vector<Entry>& entries) {
  std::string names;
  for (const Entry& e : entries) names += e.name + "\r\n";
  std::string c;
  PutLe32(c, TSkinReader::kVersion20000);
  PutLe32(c, static_cast<uint32_t>(names.size()));
  PutLe32(c, 0);
  PutLe32(c, 0);
  c += names;
  for (const Entry& e : entries) PutLe32(c, static_cast<uint32_t>(e.bytes.size()));
  for (const Entry& e : entries) c += e.bytes;
  return c;
}

bool ReadFolder(std::string_view folderPath, std::vector<Entry>& entries, std::string& error) {
  entries.clear();
  std::string folder = IncludeTrailingBackslash(folderPath);
  std::vector<std::string> inis = file::List(folder, ".ini");
  if (inis.size() != 1) {
    error = "a skin folder needs exactly one .ini, " + folder + " has " + IntToStr(static_cast<long long>(inis.size()));
    return false;
  }
  if (!ReadEntry(folder, inis[0], entries, error)) return false;
  for (const std::string& name : file::List(folder, ".bmp")) {
    if (!ReadEntry(folder, name, entries, error)) return false;
    if (!IsSoundBitmap(entries.back().bytes)) {
      error = "not a usable bitmap: " + name;
      return false;
    }
  }
  if (static_cast<int>(entries.size()) > TSkinReader::kMaxEntries) {
    error = "too many entries";
    return false;
  }
  return true;
}

bool WritePackage(std::string_view path, const std::vector<Entry>& entries, std::string& error) {
  std::string packed;
  TLZH::Compress(Content(entries), packed);
  TSkinReader check;
  if (!check.Loadfromstream(packed) || check.Count() != static_cast<int>(entries.size())) {
    error = "the package does not read back";
    return false;
  }
  if (!file::WriteAtomic(path, packed)) {
    error = file::LastErrorText();
    return false;
  }
  return true;
}

bool SafeFileName(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (char c : name) {
    if (static_cast<uint8_t>(c) < 0x20 || c == '\\' || c == '/' || c == ':') return false;
  }
  return true;
}

}  // namespace skn
