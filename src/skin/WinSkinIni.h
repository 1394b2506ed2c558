// TQuickIni: the skin description, an INI text parsed in memory.
//
// Lines are kept trimmed; blank lines and ";" comments are dropped on load. Section
// names compare without regard to ASCII case, key names are lower-cased on both sides,
// values keep their case. Reads never fail: a missing section, key or an empty value
// gives the default. Only the first of two equal sections, and the first of two equal
// keys in a section, is ever read. Sections keeps, for each header, its index in Lines;
// every edit that moves lines keeps those indexes right.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "classlib/TStringList.h"

class TQuickIni {
 public:
  struct SectionEntry {
    std::string header;  // "[name]" as written
    int line;            // its index in Lines
  };

  // Parses text from its start to its end or to a NUL byte.
  void LoadFromStream(std::string_view text);
  bool LoadFromFile(std::string_view fileName);
  // A compressed INI (4-byte size and LZH stream).
  bool LoadFromZip(std::string_view fileName);
  // Appends every line with CR LF.
  void SaveToStream(std::string& out) const;
  bool SaveToFile(std::string_view fileName) const;
  bool SavetoZip(std::string_view fileName) const;

  static std::string GetName(std::string_view line);  // lower case; "" without "="
  static std::string GetValue(std::string_view line, std::string_view lowerName);
  static bool IsSection(std::string_view line);
  int GetSectionIndex(std::string_view section) const;  // its line, -1 when absent

  std::string ReadString(std::string_view section, std::string_view key, std::string_view def) const;
  // Decimal, or hexadecimal after "0x", "0X" or "$"; anything else gives def.
  int32_t ReadInteger(std::string_view section, std::string_view key, int32_t def) const;
  bool ReadBool(std::string_view section, std::string_view key, bool def) const;
  void ReadSection(std::string_view section, TStringList& keys) const;
  void ReadSections(TStringList& sections) const;
  void ReadSectionValues(std::string_view section, TStringList& lines) const;

  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, int32_t value);
  void WriteBool(std::string_view section, std::string_view key, bool value);
  void DeleteKey(std::string_view section, std::string_view key);
  void EraseSection(std::string_view section);

  const std::string& FileName() const { return fileName_; }
  void SetFileName(std::string_view name);
  void SetIniFile(const TStringList& lines);
  void RebuildSections();
  void Clear();

  const TStringList& Lines() const { return lines_; }
  const std::vector<SectionEntry>& Sections() const { return sections_; }
  const std::string& LastError() const { return lastError_; }

 private:
  bool Fail(std::string text) const;
  // The line after the section headed at `header`: the next header or Count().
  int SectionEnd(int header) const;
  // The first key line of lowerKey in that section; -1 when absent.
  int FindKey(int header, std::string_view lowerKey) const;
  void InsertLine(int index, std::string line);
  void DeleteLine(int index);

  std::string fileName_;
  TStringList lines_;
  std::vector<SectionEntry> sections_;
  mutable std::string lastError_;
};
