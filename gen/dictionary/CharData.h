// The reviewed character data of the quick dictionary: files "NN.tsv" (UTF-8), one line
// per character with seven TAB-separated fields
//   字  性别 (男/女/无)  吉凶 (吉/平/凶)  姓 (是/否)  字意  基本解释  通用 (常/次/罕)
// written by us in Chinese. The reader checks every line and names each fault by file
// and line, so a bad file stops the dictionary build instead of reaching the program.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace chardata {

constexpr size_t kNameExpMin = 4, kNameExpMax = 40;      // characters of 字意
constexpr size_t kNormalExpMin = 4, kNormalExpMax = 80;  // characters of 基本解释

// Tiers of use in today's given names, the values of Entry::tier.
constexpr uint8_t kCommon = 0, kOccasional = 1, kRare = 2;

struct Entry {
  uint8_t useSex = 0;  // 0 无, 1 男, 2 女, as the dictionary stores them
  uint8_t jx = 2;      // 0 吉, 1 凶, 2 平
  bool isFirst = false;
  uint8_t tier = 2;       // how commonly given names use it today: 0 常, 1 次, 2 罕
  std::string nameExp;    // GBK
  std::string normalExp;  // GBK
};

// Character (GBK) to its entry.
using Table = std::map<std::string, Entry>;

// Checks one line; empty when it is sound, else what is wrong.
std::string CheckLine(const std::string& utf8Line, std::string& word, Entry& entry);

// Reads `text` (one file's contents) into `table`; each fault becomes "name:line: fault"
// in `errors`, and so does a character that an earlier file or line already gave.
void ReadText(const std::string& name, const std::string& text, Table& table, std::vector<std::string>& errors);

// Reads every file "NN.tsv" of `folder` (UTF-8 path) in name order. False when the folder
// cannot be read; the faults of the lines go to `errors`.
bool ReadFolder(const std::string& folder, Table& table, std::vector<std::string>& errors);

// The reviewed common readings, "readings.tsv" (UTF-8, '#' starts a comment line): one
// line per character whose first Unihan reading is not the one in common use,
//   字  常读 (pinyin with tone marks)  理由 (why, for the reader; not shipped)
// Character to reading, both UTF-8.
using Readings = std::map<std::string, std::string>;

// Reads `text` (the file's contents) into `readings`; each fault becomes "name:line: fault".
void ReadReadingsText(const std::string& name, const std::string& text, Readings& readings,
                      std::vector<std::string>& errors);

// Reads the file at `path` (UTF-8); false when it cannot be read.
bool ReadReadings(const std::string& path, Readings& readings, std::vector<std::string>& errors);

// The reviewed choice of the form whose strokes a character counts: file "forms.tsv"
// (UTF-8, '#' starts a comment line), one line per character with three TAB-separated
// fields   字  形 (the character itself or one traditional form of it)  理由.
// Code point of the character to code point of its form.
using Forms = std::map<uint32_t, uint32_t>;

// Reads `text` into `forms`; each fault becomes "name:line: fault" in `errors`. Whether
// 形 is one of the character's own forms is for the caller, who has the variant data.
void ReadFormsText(const std::string& name, const std::string& text, Forms& forms, std::vector<std::string>& errors);

// Reads the file at `path` (UTF-8); false when it cannot be read.
bool ReadForms(const std::string& path, Forms& forms, std::vector<std::string>& errors);

// The reviewed departures from the stroke rule: file "kangxi-fix.txt" (UTF-8, '#' starts a
// comment line), one "字 count  # reason" a line. Code point to its Kangxi count.
using StrokeFixes = std::map<uint32_t, int>;

void ReadStrokeFixesText(const std::string& name, const std::string& text, StrokeFixes& fixes,
                         std::vector<std::string>& errors);
bool ReadStrokeFixes(const std::string& path, StrokeFixes& fixes, std::vector<std::string>& errors);

}  // namespace chardata
