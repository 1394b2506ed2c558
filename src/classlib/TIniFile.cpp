#include "classlib/TIniFile.h"

#include "classlib/Files.h"
#include "classlib/StrUtils.h"
#include "classlib/TStringList.h"

TIniFile::TIniFile(std::string fileName) : fileName_(std::move(fileName)) {}

void TIniFile::Refresh() {
  int64_t stamp = file::Stamp(fileName_);
  if (stamp == stamp_) return;
  stamp_ = stamp;
  std::string text;
  if (stamp < 0 || !file::ReadAll(fileName_, text)) text.clear();
  Parse(text);
}

void TIniFile::Parse(std::string_view text) {
  head_.clear();
  sections_.clear();
  TStringList lines;
  lines.SetText(text);
  for (const std::string& line : lines) {
    std::string t = Trim(line);
    if (t.size() >= 2 && t.front() == '[' && t.find(']') != std::string::npos) {
      sections_.push_back({Trim(t.substr(1, t.find(']') - 1)), {}});
      continue;
    }
    size_t eq = t.find('=');
    Entry e;
    e.raw = line;
    if (!t.empty() && t[0] != ';' && eq != std::string::npos && eq > 0) {
      e.key = Trim(t.substr(0, eq));
      e.value = Trim(t.substr(eq + 1));
    }
    if (sections_.empty()) {
      head_.push_back(line);
    } else {
      sections_.back().entries.push_back(std::move(e));
    }
  }
}

bool TIniFile::Save() {
  std::string out;
  for (const std::string& l : head_) out += l + "\r\n";
  for (const Section& s : sections_) {
    out += "[" + s.name + "]\r\n";
    for (const Entry& e : s.entries) out += (e.key.empty() ? e.raw : e.key + "=" + e.value) + "\r\n";
  }
  if (!file::WriteAtomic(fileName_, out)) return false;
  stamp_ = file::Stamp(fileName_);
  return true;
}

TIniFile::Section* TIniFile::FindSection(std::string_view name) {
  for (Section& s : sections_) {
    if (SameText(s.name, name)) return &s;
  }
  return nullptr;
}

TIniFile::Entry* TIniFile::FindEntry(Section& s, std::string_view key) {
  for (Entry& e : s.entries) {
    if (!e.key.empty() && SameText(e.key, key)) return &e;
  }
  return nullptr;
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
  Refresh();
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
  if (Save()) return true;
  head_ = std::move(headBefore);
  sections_ = std::move(sectionsBefore);
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
  Refresh();
  auto before = sections_;
  for (size_t i = 0; i < sections_.size(); ++i) {
    if (SameText(sections_[i].name, section)) {
      sections_.erase(sections_.begin() + i);
      if (Save()) return true;
      sections_ = std::move(before);
      return false;
    }
  }
  return true;
}

bool TIniFile::DeleteKey(std::string_view section, std::string_view key) {
  Refresh();
  Section* s = FindSection(section);
  if (!s) return true;
  auto before = sections_;
  for (size_t i = 0; i < s->entries.size(); ++i) {
    if (!s->entries[i].key.empty() && SameText(s->entries[i].key, key)) {
      s->entries.erase(s->entries.begin() + i);
      if (Save()) return true;
      sections_ = std::move(before);
      return false;
    }
  }
  return true;
}
