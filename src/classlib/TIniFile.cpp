#include "classlib/TIniFile.h"

#include "classlib/Files.h"
#include "classlib/Gbk.h"
#include "classlib/StrUtils.h"
#include "classlib/TStringList.h"

TIniFile::TIniFile(std::string fileName) : fileName_(std::move(fileName)) {}

void TIniFile::Refresh(bool forWrite) {
  if (sessions_ > 0 && !forWrite) {
    if (checkedInSession_) return;
    checkedInSession_ = true;
  }
  int64_t stamp = file::Stamp(fileName_);
  int64_t size = file::Size(fileName_);
  if (stamp == stamp_ && size == size_) return;
  stamp_ = stamp;
  size_ = size;
  std::string text;
  if (stamp < 0 || !file::ReadAll(fileName_, text)) text.clear();
  Parse(text);
}

namespace {

// Trim's rule (spaces and control bytes both ends) on a view: parsing a large file
// makes no string of a line until it keeps one.
std::string_view TrimView(std::string_view s) {
  auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

// The next line of `text` from `at` (CR, LF or CR LF ends it, as in TStringList).
std::string_view NextLine(std::string_view text, size_t& at) {
  size_t e = at;
  while (e < text.size() && text[e] != '\r' && text[e] != '\n') ++e;
  std::string_view line = text.substr(at, e - at);
  at = e + ((e + 1 < text.size() && text[e] == '\r' && text[e + 1] == '\n') ? 2 : 1);
  return line;
}

}  // namespace

void TIniFile::Parse(std::string_view text) {
  head_.clear();
  sections_.clear();
  for (size_t at = 0; at < text.size();) {
    std::string_view line = NextLine(text, at);
    std::string_view t = TrimView(line);
    if (t.size() >= 2 && t.front() == '[' && t.find(']') != std::string_view::npos) {
      sections_.push_back({std::string(TrimView(t.substr(1, t.find(']') - 1))), {}, {}});
      continue;
    }
    if (sections_.empty()) {
      head_.append(line).append("\r\n");
      continue;
    }
    size_t eq = t.find('=');
    std::deque<Entry>& entries = sections_.back().entries;
    if (!t.empty() && t[0] != ';' && eq != std::string_view::npos && eq > 0) {
      entries.push_back({std::string(TrimView(t.substr(0, eq))), std::string(TrimView(t.substr(eq + 1))), {}});
    } else if (!entries.empty() && entries.back().key.empty()) {
      // Lines kept only as text join the block before them: a file of millions of empty
      // lines costs its own size, not an entry a line.
      entries.back().raw.append("\r\n").append(line);
    } else {
      entries.push_back({{}, {}, std::string(line)});
    }
  }
  Reindex();
}

// Called after every change of the parsed lines: writes rewrite the whole file anyway,
// so a full rebuild costs nothing that matters.
void TIniFile::Reindex() {
  sectionIndex_.clear();
  for (size_t i = 0; i < sections_.size(); ++i) {
    Section& s = sections_[i];
    sectionIndex_.emplace(s.name, i);
    s.keys.clear();
    s.keys.reserve(s.entries.size());
    for (size_t k = 0; k < s.entries.size(); ++k) {
      if (!s.entries[k].key.empty()) s.keys.emplace(s.entries[k].key, k);
    }
  }
}

// Both go through UpperCase, which folds ASCII letters and never a GBK trail byte: names
// that match always hash alike, and names that differ only in a trail byte do not collide.
size_t TIniFile::NameHash::operator()(std::string_view s) const { return std::hash<std::string>()(UpperCase(s)); }

bool TIniFile::NameEqual::operator()(std::string_view a, std::string_view b) const { return a == b || SameText(a, b); }

bool TIniFile::Save() {
  std::string out = head_;
  for (const Section& s : sections_) {
    out += "[" + s.name + "]\r\n";
    for (const Entry& e : s.entries) out += (e.key.empty() ? e.raw : e.key + "=" + e.value) + "\r\n";
  }
  if (!file::WriteAtomic(fileName_, out)) return false;
  stamp_ = file::Stamp(fileName_);
  size_ = file::Size(fileName_);
  return true;
}

TIniFile::Section* TIniFile::FindSection(std::string_view name) {
  auto it = sectionIndex_.find(name);
  return it == sectionIndex_.end() ? nullptr : &sections_[it->second];
}

TIniFile::Entry* TIniFile::FindEntry(Section& s, std::string_view key) {
  auto it = s.keys.find(key);
  return it == s.keys.end() ? nullptr : &s.entries[it->second];
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key, std::string_view def) {
  Refresh();
  Section* s = FindSection(section);
  Entry* e = s ? FindEntry(*s, key) : nullptr;
  return e ? e->value : std::string(def);
}

long long TIniFile::ReadInteger(std::string_view section, std::string_view key, long long def) {
  return StrToIntDef(ReadString(section, key, ""), def);
}

bool TIniFile::ReadBool(std::string_view section, std::string_view key, bool def) {
  return ReadInteger(section, key, def ? 1 : 0) != 0;
}

double TIniFile::ReadFloat(std::string_view section, std::string_view key, double def) {
  return StrToFloatDef(ReadString(section, key, ""), def);
}

bool TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  Refresh(true);
  auto headBefore = head_;
  auto sectionsBefore = sections_;
  Section* s = FindSection(section);
  if (!s) {
    sections_.push_back({std::string(section), {}});
    s = &sections_.back();
  }
  if (Entry* e = FindEntry(*s, key)) {
    e->value = Trim(value);
  } else {
    s->entries.push_back({std::string(key), Trim(value), {}});
  }
  Reindex();
  if (Save()) return true;
  head_ = std::move(headBefore);
  sections_ = std::move(sectionsBefore);
  Reindex();
  return false;
}

bool TIniFile::WriteInteger(std::string_view section, std::string_view key, long long value) {
  return WriteString(section, key, IntToStr(value));
}

bool TIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  return WriteString(section, key, value ? "1" : "0");
}

bool TIniFile::WriteFloat(std::string_view section, std::string_view key, double value) {
  return WriteString(section, key, FloatToStr(value));
}

void TIniFile::ReadSections(TStringList& out) {
  Refresh();
  out.Clear();
  for (const Section& s : sections_) out.Add(s.name);
}

void TIniFile::ReadSection(std::string_view section, TStringList& keys) {
  Refresh();
  keys.Clear();
  if (Section* s = FindSection(section)) {
    for (const Entry& e : s->entries) {
      if (!e.key.empty()) keys.Add(e.key);
    }
  }
}

void TIniFile::ReadSectionValues(std::string_view section, TStringList& lines) {
  Refresh();
  lines.Clear();
  if (Section* s = FindSection(section)) {
    for (const Entry& e : s->entries) {
      if (!e.key.empty()) lines.Add(e.key + "=" + e.value);
    }
  }
}

bool TIniFile::SectionExists(std::string_view section) {
  Refresh();
  return FindSection(section) != nullptr;
}

bool TIniFile::ValueExists(std::string_view section, std::string_view key) {
  Refresh();
  Section* s = FindSection(section);
  return s && FindEntry(*s, key);
}

bool TIniFile::EraseSection(std::string_view section) {
  Refresh(true);
  auto before = sections_;
  for (size_t i = 0; i < sections_.size(); ++i) {
    if (SameText(sections_[i].name, section)) {
      sections_.erase(sections_.begin() + i);
      Reindex();
      if (Save()) return true;
      sections_ = std::move(before);
      Reindex();
      return false;
    }
  }
  return true;
}

bool TIniFile::DeleteKey(std::string_view section, std::string_view key) {
  Refresh(true);
  Section* s = FindSection(section);
  if (!s) return true;
  auto before = sections_;
  for (size_t i = 0; i < s->entries.size(); ++i) {
    if (!s->entries[i].key.empty() && SameText(s->entries[i].key, key)) {
      s->entries.erase(s->entries.begin() + i);
      Reindex();
      if (Save()) return true;
      sections_ = std::move(before);
      Reindex();
      return false;
    }
  }
  return true;
}
