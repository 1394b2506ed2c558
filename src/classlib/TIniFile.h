// INI files by section and key, GBK text, as the Windows profile functions read them.
//
// Sections and keys match without regard to ASCII case; values are trimmed. Every
// Read takes a default that is returned when the file, the section or the key is
// missing. Every Write changes the file at once: the whole file is rewritten through
// a temporary file and a rename, so a crash never leaves a half-written INI. The
// object re-reads the file when another writer has changed it since.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class TStringList;

class TIniFile {
 public:
  explicit TIniFile(std::string fileName);

  const std::string& FileName() const { return fileName_; }

  std::string ReadString(std::string_view section, std::string_view key, std::string_view def);
  long long ReadInteger(std::string_view section, std::string_view key, long long def);
  bool ReadBool(std::string_view section, std::string_view key, bool def);
  double ReadFloat(std::string_view section, std::string_view key, double def);

  // Each returns false (and changes nothing) when the file cannot be written.
  bool WriteString(std::string_view section, std::string_view key, std::string_view value);
  bool WriteInteger(std::string_view section, std::string_view key, long long value);
  bool WriteBool(std::string_view section, std::string_view key, bool value);
  bool WriteFloat(std::string_view section, std::string_view key, double value);

  void ReadSections(TStringList& out);
  void ReadSection(std::string_view section, TStringList& keys);
  void ReadSectionValues(std::string_view section, TStringList& lines);  // "key=value"
  bool SectionExists(std::string_view section);
  bool ValueExists(std::string_view section, std::string_view key);
  bool EraseSection(std::string_view section);
  bool DeleteKey(std::string_view section, std::string_view key);

 private:
  struct Entry {
    std::string key;  // empty for a line that is not key=value (kept as text)
    std::string value;
    std::string raw;
  };
  struct Section {
    std::string name;
    std::vector<Entry> entries;
  };

  void Refresh();
  void Parse(std::string_view text);
  bool Save();
  Section* FindSection(std::string_view name);
  Entry* FindEntry(Section& s, std::string_view key);

  std::string fileName_;
  int64_t stamp_ = -2;
  std::vector<std::string> head_;  // lines before the first section
  std::vector<Section> sections_;
};
