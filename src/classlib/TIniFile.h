// INI files by section and key, GBK text, as the Windows profile functions read them.
//
// Sections and keys match without regard to ASCII case; values are trimmed. Every
// Read takes a default that is returned when the file, the section or the key is
// missing. Every Write changes the file at once: the whole file is rewritten through
// a temporary file and a rename, so a crash never leaves a half-written INI. The
// object re-reads the file when another writer has changed it since.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>

class TStringList;

class TIniFile {
 public:
  explicit TIniFile(std::string fileName);

  const std::string& FileName() const { return fileName_; }

  class ReadingSession {
   public:
    explicit ReadingSession(TIniFile& ini) : ini_(ini) { ++ini_.sessions_; }
    ~ReadingSession() {
      if (--ini_.sessions_ == 0) ini_.checkedInSession_ = false;
    }
    ReadingSession(const ReadingSession&) = delete;
    ReadingSession& operator=(const ReadingSession&) = delete;

   private:
    TIniFile& ini_;
  };

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
    std::string key;  // empty for lines that are not key=value (kept as text)
    std::string value;
    std::string raw;  // such lines, joined by CR LF
  };
  // Names as the profile functions match them: ASCII letters without regard to case,
  // never the trail byte of a GBK character.
  struct NameHash {
    size_t operator()(std::string_view s) const;
  };
  struct NameEqual {
    bool operator()(std::string_view a, std::string_view b) const;
  };
  // A name to the index of its first occurrence. The views point into the entries'
  // own keys (a deque keeps its elements in place as it grows); every change of the
  // lines rebuilds the index.
  using Index = std::unordered_map<std::string_view, size_t, NameHash, NameEqual>;
  struct Section {
    std::string name;
    std::deque<Entry> entries;
    Index keys;
  };

  // A write always looks at the disk, so it never saves over another writer's change.
  void Refresh(bool forWrite = false);
  void Parse(std::string_view text);
  void Reindex();
  bool Save();
  Section* FindSection(std::string_view name);
  Entry* FindEntry(Section& s, std::string_view key);

  std::string fileName_;
  int64_t stamp_ = -2;
  int64_t size_ = -2;
  int sessions_ = 0;
  bool checkedInSession_ = false;
  std::string head_;  // the lines before the first section, each ended by CR LF
  std::deque<Section> sections_;
  Index sectionIndex_;
};
