#include "CharData.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "classlib/Gbk.h"

namespace chardata {
namespace {

// The code points of UTF-8 text; false when it is not valid UTF-8.
bool Decode(const std::string& s, std::vector<uint32_t>& out) {
  out.clear();
  for (size_t i = 0; i < s.size();) {
    unsigned char c = s[i];
    int n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (n == 0 || i + n > s.size()) return false;
    uint32_t cp = n == 1 ? c : c & (0x7F >> n);
    for (int k = 1; k < n; ++k) {
      unsigned char t = s[i + k];
      if ((t & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (t & 0x3F);
    }
    out.push_back(cp);
    i += n;
  }
  return true;
}

// ASCII, or a Latin letter in any of its forms (accented, full-width).
bool IsLatinOrAscii(uint32_t cp) {
  return cp < 0x80 || (cp >= 0xC0 && cp <= 0x24F) || (cp >= 0x1E00 && cp <= 0x1EFF) || (cp >= 0xFF21 && cp <= 0xFF3A) ||
         (cp >= 0xFF41 && cp <= 0xFF5A);
}

bool InGbk(const std::string& utf8) { return gbk::ToUtf8(gbk::FromUtf8(utf8)) == utf8; }

std::string CheckText(const char* what, const std::string& text, size_t lo, size_t hi) {
  std::vector<uint32_t> cps;
  if (!Decode(text, cps)) return std::string(what) + " is not UTF-8";
  if (std::any_of(cps.begin(), cps.end(), IsLatinOrAscii)) return std::string(what) + " holds ASCII or Latin letters";
  if (cps.size() < lo || cps.size() > hi)
    return std::string(what) + " has " + std::to_string(cps.size()) + " characters, not " + std::to_string(lo) +
           " to " + std::to_string(hi);
  if (!InGbk(text)) return std::string(what) + " holds a character outside GBK";
  return {};
}

// Index of `value` among `words`, -1 when it is none of them.
int WordIndex(const std::string& value, std::initializer_list<const char*> words) {
  int i = 0;
  for (const char* w : words) {
    if (value == w) return i;
    ++i;
  }
  return -1;
}

std::vector<std::string> SplitTabs(const std::string& line) {
  std::vector<std::string> f;
  std::stringstream in(line);
  for (std::string s; std::getline(in, s, '\t');) f.push_back(s);
  if (!line.empty() && line.back() == '\t') f.emplace_back();
  return f;
}

bool IsHan(const std::vector<uint32_t>& cps) { return cps.size() == 1 && cps[0] >= 0x3400 && cps[0] <= 0x2FFFF; }

// The fault of one line of the forms file, empty when it is sound.
std::string CheckFormLine(const std::string& line, uint32_t& ch, uint32_t& form) {
  std::vector<std::string> f = SplitTabs(line);
  if (f.size() != 3) return "needs 3 TAB-separated fields, has " + std::to_string(f.size());
  std::vector<uint32_t> a, b, reason;
  if (!Decode(f[0], a) || !IsHan(a)) return "the first field is not one Chinese character";
  if (!Decode(f[1], b) || !IsHan(b)) return "the second field is not one Chinese character";
  if (!Decode(f[2], reason) || reason.empty()) return "the reason is missing";
  ch = a[0];
  form = b[0];
  return {};
}

// Pinyin as Unihan writes it: lower-case letters, tone marks and ü, nothing else.
bool IsPinyin(const std::string& utf8) {
  std::vector<uint32_t> cps;
  if (!Decode(utf8, cps) || cps.empty()) return false;
  return std::all_of(cps.begin(), cps.end(),
                     [](uint32_t cp) { return (cp >= 'a' && cp <= 'z') || (cp >= 0xC0 && cp <= 0x24F); });
}

// The fault of one line of the readings file, empty when it is sound.
std::string CheckReadingLine(const std::string& line, std::string& word, std::string& reading) {
  std::vector<std::string> f = SplitTabs(line);
  if (f.size() != 3) return "needs 3 TAB-separated fields, has " + std::to_string(f.size());
  std::vector<uint32_t> a, reason;
  if (!Decode(f[0], a) || !IsHan(a)) return "the first field is not one Chinese character";
  if (!IsPinyin(f[1])) return "the reading is not pinyin";
  if (!Decode(f[2], reason) || reason.empty()) return "the reason is missing";
  word = f[0];
  reading = f[1];
  return {};
}

// The fault of one line of the stroke fixes, empty when it is sound.
std::string CheckFixLine(const std::string& line, uint32_t& ch, int& count) {
  size_t hash = line.find('#');
  if (hash == std::string::npos || line.find_first_not_of(" \t", hash + 1) == std::string::npos) {
    return "the reason is missing";
  }
  std::istringstream in(line.substr(0, hash));
  std::string word, rest;
  std::vector<uint32_t> cps;
  if (!(in >> word >> count) || (in >> rest)) return "needs a character and a count before the reason";
  if (!Decode(word, cps) || !IsHan(cps)) return "the first field is not one Chinese character";
  if (count < 1 || count > 99) return "the count is not 1 to 99";
  ch = cps[0];
  return {};
}

bool ReadWhole(const std::filesystem::path& p, std::string& text) {
  std::ifstream in(p, std::ios::binary);
  text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return in.good() || in.eof();
}

bool ReadDataFile(const std::string& path, std::string& text) {
  return std::filesystem::is_regular_file(path) && ReadWhole(path, text);
}

// Hands `check` each line that is neither empty nor a comment ('#'); each fault it
// returns becomes "name:line: fault" in `errors`.
template <class Check>
void ForEachDataLine(const std::string& name, const std::string& text, std::vector<std::string>& errors, Check check) {
  std::stringstream in(text);
  int number = 0;
  for (std::string line; std::getline(in, line);) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    if (std::string fault = check(line); !fault.empty())
      errors.push_back(name + ":" + std::to_string(number) + ": " + fault);
  }
}

// Reads the lines of `text` into `map`, each parsed by `check` into a character and its value.
template <class Map, class Check>
void ReadPairs(const std::string& name, const std::string& text, Map& map, std::vector<std::string>& errors,
               Check check) {
  ForEachDataLine(name, text, errors, [&map, check](const std::string& line) {
    typename Map::key_type key{};
    typename Map::mapped_type value{};
    std::string fault = check(line, key, value);
    if (fault.empty() && !map.emplace(key, value).second) fault = "the character is given twice";
    return fault;
  });
}

// As ReadPairs for the file at `path`; false when it cannot be read.
template <class Map, class Check>
bool ReadPairsFile(const std::string& path, Map& map, std::vector<std::string>& errors, Check check) {
  std::string text;
  if (!ReadDataFile(path, text)) return false;
  ReadPairs(std::filesystem::path(path).filename().string(), text, map, errors, check);
  return true;
}

bool IsDataFileName(const std::string& name) {
  return name.size() == 6 && std::isdigit(static_cast<unsigned char>(name[0])) &&
         std::isdigit(static_cast<unsigned char>(name[1])) && name.substr(2) == ".tsv";
}

}  // namespace

std::string CheckLine(const std::string& line, std::string& word, Entry& e) {
  std::vector<std::string> f = SplitTabs(line);
  if (f.size() != 7) return "needs 7 TAB-separated fields, has " + std::to_string(f.size());
  std::vector<uint32_t> cps;
  if (!Decode(f[0], cps) || cps.size() != 1 || cps[0] < 0x4E00 || cps[0] > 0x9FA5 || !InGbk(f[0]))
    return "the first field is not one Chinese character of GBK";
  int sex = WordIndex(f[1], {"无", "男", "女"});
  int jx = WordIndex(f[2], {"吉", "凶", "平"});
  int first = WordIndex(f[3], {"否", "是"});
  int tier = WordIndex(f[6], {"常", "次", "罕"});
  if (sex < 0) return "性别 must be 男, 女 or 无";
  if (jx < 0) return "吉凶 must be 吉, 平 or 凶";
  if (first < 0) return "姓 must be 是 or 否";
  if (tier < 0) return "通用 must be 常, 次 or 罕";
  if (std::string p = CheckText("字意", f[4], kNameExpMin, kNameExpMax); !p.empty()) return p;
  if (std::string p = CheckText("基本解释", f[5], kNormalExpMin, kNormalExpMax); !p.empty()) return p;
  word = gbk::FromUtf8(f[0]);
  e.useSex = static_cast<uint8_t>(sex);
  e.jx = static_cast<uint8_t>(jx);
  e.isFirst = first == 1;
  e.tier = static_cast<uint8_t>(tier);
  e.nameExp = gbk::FromUtf8(f[4]);
  e.normalExp = gbk::FromUtf8(f[5]);
  return {};
}

void ReadText(const std::string& name, const std::string& text, Table& table, std::vector<std::string>& errors) {
  std::stringstream in(text);
  int number = 0;
  for (std::string line; std::getline(in, line);) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    std::string word;
    Entry e;
    std::string fault = CheckLine(line, word, e);
    if (fault.empty() && !table.emplace(word, e).second) fault = "the character is given twice";
    if (!fault.empty()) errors.push_back(name + ":" + std::to_string(number) + ": " + fault);
  }
}

bool ReadFolder(const std::string& folder, Table& table, std::vector<std::string>& errors) {
  namespace fs = std::filesystem;
  std::error_code ec;
  std::vector<fs::path> files;
  for (const fs::directory_entry& d : fs::directory_iterator(folder, ec)) {
    if (d.is_regular_file() && IsDataFileName(d.path().filename().string())) files.push_back(d.path());
  }
  if (ec) return false;
  std::sort(files.begin(), files.end());
  for (const fs::path& p : files) {
    std::string text;
    if (!ReadWhole(p, text)) return false;
    ReadText(p.filename().string(), text, table, errors);
  }
  return true;
}

void ReadFormsText(const std::string& name, const std::string& text, Forms& forms, std::vector<std::string>& errors) {
  ReadPairs(name, text, forms, errors, CheckFormLine);
}

bool ReadForms(const std::string& path, Forms& forms, std::vector<std::string>& errors) {
  return ReadPairsFile(path, forms, errors, CheckFormLine);
}

void ReadStrokeFixesText(const std::string& name, const std::string& text, StrokeFixes& fixes,
                         std::vector<std::string>& errors) {
  ReadPairs(name, text, fixes, errors, CheckFixLine);
}

bool ReadStrokeFixes(const std::string& path, StrokeFixes& fixes, std::vector<std::string>& errors) {
  return ReadPairsFile(path, fixes, errors, CheckFixLine);
}

void ReadReadingsText(const std::string& name, const std::string& text, Readings& readings,
                      std::vector<std::string>& errors) {
  ReadPairs(name, text, readings, errors, CheckReadingLine);
}

bool ReadReadings(const std::string& path, Readings& readings, std::vector<std::string>& errors) {
  return ReadPairsFile(path, readings, errors, CheckReadingLine);
}

}  // namespace chardata
