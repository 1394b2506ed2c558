#include "skin/WinSkinIni.h"

#include "classlib/Files.h"
#include "classlib/StrUtils.h"
#include "skin/WinConvert.h"

namespace {
// Built by appending: GCC 12 warns falsely (-Wrestrict) on "[" + std::string(...) + "]".
std::string SectionHeader(std::string_view section) {
  std::string header;
  header.reserve(section.size() + 2);
  header.append(1, '[').append(section).append(1, ']');
  return header;
}
}  // namespace

bool TQuickIni::Fail(std::string text) const {
  lastError_ = std::move(text);
  return false;
}

void TQuickIni::LoadFromStream(std::string_view text) {
  Clear();
  text = text.substr(0, text.find('\0'));
  TStringList raw;
  raw.SetText(text);
  for (const std::string& line : raw) {
    std::string kept = Trim(line);
    if (kept.empty() || kept[0] == ';') continue;
    if (IsSection(kept)) sections_.push_back({kept, lines_.Count()});
    lines_.Add(std::move(kept));
  }
}

bool TQuickIni::LoadFromFile(std::string_view fileName) {
  std::string text;
  if (!file::ReadAll(fileName, text)) return Fail(file::LastErrorText());
  LoadFromStream(text);
  return true;
}

bool TQuickIni::LoadFromZip(std::string_view fileName) {
  std::string packed, text;
  if (!file::ReadAll(fileName, packed)) return Fail(file::LastErrorText());
  TLZH lzh;
  if (!lzh.Decompress(packed, text)) return Fail(lzh.LastError());
  LoadFromStream(text);
  return true;
}

void TQuickIni::SaveToStream(std::string& out) const {
  for (const std::string& line : lines_) out.append(line).append("\r\n");
}

bool TQuickIni::SaveToFile(std::string_view fileName) const {
  std::string text;
  SaveToStream(text);
  return file::WriteAtomic(fileName, text) || Fail(file::LastErrorText());
}

bool TQuickIni::SavetoZip(std::string_view fileName) const {
  std::string text, packed;
  SaveToStream(text);
  TLZH::Compress(text, packed);
  return file::WriteAtomic(fileName, packed) || Fail(file::LastErrorText());
}

std::string TQuickIni::GetName(std::string_view line) {
  size_t eq = line.find('=');
  return eq == std::string_view::npos ? std::string() : LowerCase(Trim(line.substr(0, eq)));
}

std::string TQuickIni::GetValue(std::string_view line, std::string_view lowerName) {
  size_t eq = line.find('=');
  if (eq == std::string_view::npos || GetName(line) != lowerName) return {};
  return Trim(line.substr(eq + 1));
}

bool TQuickIni::IsSection(std::string_view line) {
  std::string s = Trim(line);
  return !s.empty() && s.front() == '[' && s.back() == ']';
}

int TQuickIni::GetSectionIndex(std::string_view section) const {
  std::string header = SectionHeader(section);
  for (const SectionEntry& e : sections_) {
    if (SameText(e.header, header)) return e.line;
  }
  return -1;
}

int TQuickIni::SectionEnd(int header) const {
  int i = header + 1;
  while (i < lines_.Count() && !IsSection(lines_[i])) ++i;
  return i;
}

int TQuickIni::FindKey(int header, std::string_view lowerKey) const {
  for (int i = header + 1, end = SectionEnd(header); i < end; ++i) {
    if (GetName(lines_[i]) == lowerKey) return i;
  }
  return -1;
}

std::string TQuickIni::ReadString(std::string_view section, std::string_view key, std::string_view def) const {
  int header = GetSectionIndex(section);
  if (header < 0) return std::string(def);
  std::string lowerKey = LowerCase(key);
  int at = FindKey(header, lowerKey);
  std::string value = at >= 0 ? GetValue(lines_[at], lowerKey) : std::string();
  return value.empty() ? std::string(def) : value;
}

int32_t TQuickIni::ReadInteger(std::string_view section, std::string_view key, int32_t def) const {
  std::string text = ReadString(section, key, "");
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) text.replace(0, 2, "$");
  long long v;
  if (!TryStrToInt(text, v)) return def;
  // A hexadecimal value fills all 32 bits, as colours are written ($80000008).
  bool hex = text.find('$') != std::string::npos;
  if (hex && v >= 0 && v <= 0xFFFFFFFFll) return static_cast<int32_t>(static_cast<uint32_t>(v));
  if (v < INT32_MIN || v > INT32_MAX) return def;
  return static_cast<int32_t>(v);
}

bool TQuickIni::ReadBool(std::string_view section, std::string_view key, bool def) const {
  return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void TQuickIni::ReadSection(std::string_view section, TStringList& keys) const {
  keys.Clear();
  int header = GetSectionIndex(section);
  if (header < 0) return;
  for (int i = header + 1, end = SectionEnd(header); i < end; ++i) {
    if (lines_[i].find('=') != std::string::npos) keys.Add(GetName(lines_[i]));
  }
}

void TQuickIni::ReadSections(TStringList& sections) const {
  sections.Clear();
  for (const SectionEntry& e : sections_) sections.Add(Trim(std::string_view(e.header).substr(1, e.header.size() - 2)));
}

void TQuickIni::ReadSectionValues(std::string_view section, TStringList& lines) const {
  lines.Clear();
  int header = GetSectionIndex(section);
  if (header < 0) return;
  for (int i = header + 1, end = SectionEnd(header); i < end; ++i) {
    if (!lines_[i].empty()) lines.Add(lines_[i]);
  }
}

void TQuickIni::InsertLine(int index, std::string line) {
  lines_.Insert(index, std::move(line));
  for (SectionEntry& e : sections_) {
    if (e.line >= index) ++e.line;
  }
}

void TQuickIni::DeleteLine(int index) {
  lines_.Delete(index);
  for (SectionEntry& e : sections_) {
    if (e.line > index) --e.line;
  }
}

void TQuickIni::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  std::string line = std::string(key) + "=" + std::string(value);
  int header = GetSectionIndex(section);
  if (header < 0) {
    std::string text = SectionHeader(section);
    sections_.push_back({text, lines_.Count()});
    lines_.Add(std::move(text));
    if (!key.empty()) lines_.Add(std::move(line));
    return;
  }
  if (key.empty()) return;
  int at = FindKey(header, LowerCase(key));
  if (at >= 0) {
    lines_.SetString(at, std::move(line));
  } else {
    InsertLine(SectionEnd(header), std::move(line));
  }
}

void TQuickIni::WriteInteger(std::string_view section, std::string_view key, int32_t value) {
  WriteString(section, key, IntToStr(value));
}

void TQuickIni::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

void TQuickIni::DeleteKey(std::string_view section, std::string_view key) {
  int header = GetSectionIndex(section);
  if (header < 0) return;
  int at = FindKey(header, key);
  if (at >= 0) DeleteLine(at);
}

void TQuickIni::EraseSection(std::string_view section) {
  int header = GetSectionIndex(section);
  if (header < 0) return;
  for (size_t i = 0; i < sections_.size(); ++i) {
    if (sections_[i].line == header) {
      sections_.erase(sections_.begin() + static_cast<std::ptrdiff_t>(i));
      break;
    }
  }
  for (int i = SectionEnd(header) - 1; i >= header; --i) DeleteLine(i);
  if (header > 0) InsertLine(header, "");
}

void TQuickIni::SetFileName(std::string_view name) {
  if (fileName_ != name) fileName_ = name;
}

void TQuickIni::SetIniFile(const TStringList& lines) {
  lines_ = lines;
  RebuildSections();
}

void TQuickIni::RebuildSections() {
  sections_.clear();
  for (int i = 0; i < lines_.Count(); ++i) {
    if (IsSection(lines_[i])) sections_.push_back({Trim(lines_[i]), i});
  }
}

void TQuickIni::Clear() {
  lines_.Clear();
  sections_.clear();
}
