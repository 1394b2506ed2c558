// Builds the program's dictionary data from Debian's Unihan files:
//   dat\ChiWord.db       every character U+4E00..U+9FA5 with a Mandarin reading,
//   3.3.01版字库\hanzi.dat the source list of the quick file (7064 records of 210 bytes),
//   dat\ChiWordMini.db   the quick file, built from that list by the program's own command.
// Everything goes through MChineseDict and MNameLibrary, so the files follow the
// program's schema exactly. The output is the same bytes on every run: the input is
// read in code-point order and nothing depends on time or on hashing.
//
// Usage: MakeChiWord <folder of Unihan_*.txt> <UnicodeData.txt> <kangxi fixes> <forms.tsv>
//                    <reviewed data folder> <readings.tsv> <program folder>
// The reviewed data folder holds the quick file's characters (NN.tsv) and, in its folder
// "full", those of the full file alone that today's names use or that the 2013 general
// standard table lists (full/NN.tsv).
//
// The rules, field by field (the heuristics say so):
// - truePy: the first kMandarin reading with its tone marks; a letter GBK lacks is
//   written as its base letter. pinYin: the other readings of kMandarin, kHanyuPinyin
//   and kXHC1983, each once, separated by spaces. Where Unihan's first reading is not the
//   one in common use (漂 piāo, not piào), the reviewed readings file names it; it must be
//   one of Unihan's readings, becomes truePy, and the first reading moves into pinYin.
// - gbLen, big5Len, kxLen: the stroke rule of README.md. gbLen is the character's first
//   (mainland) kTotalStrokes value; big5Len the last kTotalStrokes value of its chosen
//   form; kxLen the Kangxi count of that form, or the count of the reviewed exceptions
//   (kangxi-fix.txt) when the character is one of them. kxExp tells kxLen.
// - buShou: the kRSUnicode radical in the form written in the character: the simplified
//   form for a simplified radical ('), the side form (氵 扌 艹 …) when the radical takes
//   part in a larger character (heuristic: a side form is assumed whenever the residual
//   strokes are not 0; 王 itself has -1).
//   bsLen: that form's strokes.
// - wx: by radical where the radical names an element; otherwise by the sound class of
//   the initial (of truePy): b p m f 水, d t n l 火, g k h 木, zero initial 土, the rest 金.
// - The characters of the quick file: useSex, jx, isFirst, nameExp (字意) and normalExp
//   (基本解释) come from our reviewed files chars/NN.tsv (see CharData.h); a bad file fails
//   the build. isFirst is also 是 for every character of the naming tables' surnames.
// - A character of the full file alone: its reviewed line of full/NN.tsv when it has one.
//   Else, when it is the one traditional form of a reviewed character (kSimplifiedVariant,
//   and that character's kTraditionalVariant names it alone), the marks of that character
//   and its texts behind "（繁体，同“…”）", so a traditional name reads in Chinese; its
//   surname mark is the reviewed one, which the texts give. A form that a simplification
//   merged with others (谷 for 穀 and itself) has its own reviewed line. Else useSex 无,
//   jx 平, isFirst by the naming tables' surnames, and the English definition as nameExp
//   (cut at a clause to at most 150 bytes) and as normalExp, marked "（英）". A quick-file
//   character the reviewed files do not cover yet is treated the same way and named in a
//   warning.
// - biHua and kxExp: factual lines from the counts; the other texts empty.
// - The quick file is made by the program's own command, which leaves normalExp empty;
//   its reviewed 基本解释 is written in afterwards, so both files explain alike.
// - commonWord (常用字): the quick file's characters of level 1 of the 2013 general
//   standard table (kTGH up to 3500), and those the reviewed data call common in names
//   (the quick file keeps only its own of them).
// - hanzi.dat: levels 1 and 2 of the standard table, then the other GB2312 characters,
//   then level 3 by its order, up to 7064. The records are written by the reviewed tier
//   (常, 次, 罕), each tier in code-point order: the quick file's ids follow this order,
//   so every stroke group lists the characters common in names first, and the generator
//   offers them first among names of equal score. Each record is the character, a NUL and
//   zero padding.
// - The full file's ids: the reviewed characters by tier, in each tier first those of the
//   quick file in its order, then the full file's own; then the rest in code-point order. So
//   its stroke groups, too, list the characters common in names first.
#include <algorithm>
#include <cstdio>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "CharData.h"
#include "classlib/Files.h"
#include "classlib/Gbk.h"
#include "classlib/StrUtils.h"
#include "dictionary/Chinesedict.h"
#include "dictionary/Namelibrary.h"
#include "engine/NameTables.h"

namespace {

constexpr uint32_t kFirst = 0x4E00;
constexpr uint32_t kLast = 0x9FA5;
constexpr size_t kHanziCount = 7064;
constexpr size_t kHanziRecord = 210;
constexpr int kLevel1Limit = 3500;    // 常用字 of the standard table
constexpr int kStandardLimit = 6500;  // levels 1 (1..3500) and 2 (3501..6500)

struct Unihan {
  std::map<uint32_t, std::map<std::string, std::string>> fields;
  const std::string& Get(uint32_t cp, const std::string& key) const {
    static const std::string kNone;
    auto c = fields.find(cp);
    if (c == fields.end()) return kNone;
    auto f = c->second.find(key);
    return f == c->second.end() ? kNone : f->second;
  }
};

std::vector<std::string> Split(const std::string& s) {
  std::vector<std::string> out;
  std::istringstream in(s);
  for (std::string w; in >> w;) out.push_back(w);
  return out;
}

uint32_t ParseCodePoint(const std::string& s) {  // "U+4E00"
  return static_cast<uint32_t>(std::stoul(s.substr(s.rfind('+') + 1), nullptr, 16));
}

std::string Utf8Of(uint32_t cp) {
  std::string s;
  if (cp < 0x80) {
    s += char(cp);
  } else if (cp < 0x800) {
    s += char(0xC0 | (cp >> 6));
    s += char(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    s += char(0xE0 | (cp >> 12));
    s += char(0x80 | ((cp >> 6) & 0x3F));
    s += char(0x80 | (cp & 0x3F));
  } else {
    s += char(0xF0 | (cp >> 18));
    s += char(0x80 | ((cp >> 12) & 0x3F));
    s += char(0x80 | ((cp >> 6) & 0x3F));
    s += char(0x80 | (cp & 0x3F));
  }
  return s;
}

using gbk::U;

bool ReadUnihan(const std::string& folder, Unihan& u) {
  static const std::set<std::string> kKeys = {"kMandarin",  "kHanyuPinyin",        "kXHC1983",    "kTotalStrokes",
                                              "kRSUnicode", "kTraditionalVariant", "kDefinition", "kTGH",
                                              "kGB0",       "kSimplifiedVariant",  "kRSKangXi"};
  for (const char* name : {"Readings", "IRGSources", "Variants", "OtherMappings", "RadicalStrokeCounts"}) {
    std::FILE* f = std::fopen((folder + "/Unihan_" + name + ".txt").c_str(), "rb");
    if (!f) return false;
    char buf[8192];
    while (std::fgets(buf, sizeof buf, f)) {
      std::string line(buf);
      while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
      if (line.empty() || line[0] == '#') continue;
      size_t t1 = line.find('\t');
      size_t t2 = line.find('\t', t1 + 1);
      if (t1 == std::string::npos || t2 == std::string::npos) continue;
      std::string key = line.substr(t1 + 1, t2 - t1 - 1);
      if (kKeys.count(key)) u.fields[ParseCodePoint(line.substr(0, t1))][key] = line.substr(t2 + 1);
    }
    std::fclose(f);
  }
  return true;
}

// Base letters of the accented letters, from UnicodeData's decompositions.
std::map<uint32_t, uint32_t> ReadBaseLetters(const std::string& path) {
  std::map<uint32_t, uint32_t> base;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return base;
  char buf[1024];
  while (std::fgets(buf, sizeof buf, f)) {
    std::vector<std::string> cols;
    std::string cell;
    for (const char* p = buf; *p && *p != '\n'; ++p) {
      if (*p == ';') {
        cols.push_back(cell);
        cell.clear();
      } else {
        cell += *p;
      }
    }
    if (cols.size() > 5 && !cols[5].empty() && cols[5][0] != '<') {
      base[std::stoul(cols[0], nullptr, 16)] = std::stoul(cols[5], nullptr, 16);
    }
  }
  std::fclose(f);
  return base;
}

std::vector<uint32_t> CodePoints(const std::string& utf8) {
  std::vector<uint32_t> out;
  for (size_t i = 0; i < utf8.size();) {
    unsigned char c = utf8[i];
    int n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    uint32_t cp = n == 1 ? c : c & (0x3F >> (n - 1));
    for (int k = 1; k < n && i + k < utf8.size(); ++k) cp = (cp << 6) | (utf8[i + k] & 0x3F);
    out.push_back(cp);
    i += n;
  }
  return out;
}

// A reading in GBK: a letter GBK lacks becomes its base letter.
std::string ReadingToGbk(const std::string& utf8, const std::map<uint32_t, uint32_t>& base) {
  std::string out;
  for (uint32_t cp : CodePoints(utf8)) {
    std::string g = gbk::FromUtf8(Utf8Of(cp));
    for (int guard = 0; g == "?" && cp != '?' && guard < 4; ++guard) {
      auto it = base.find(cp);
      if (it == base.end()) break;
      cp = it->second;
      g = gbk::FromUtf8(Utf8Of(cp));
    }
    if (g != "?" || cp == '?') out += g;
  }
  return out;
}

// Readings of kHanyuPinyin / kXHC1983 values ("10001.010:yī 1360.040:yí,yì").
void AddReadings(const std::string& value, std::vector<std::string>& out) {
  for (const std::string& entry : Split(value)) {
    std::string list = entry.substr(entry.find(':') + 1);
    std::stringstream in(list);
    for (std::string r; std::getline(in, r, ',');) out.push_back(r);
  }
}

struct RadicalStroke {
  std::string radical;  // "85" or "149'"
  int number = 0;
  bool simplified = false;
  int residual = 0;
};

RadicalStroke ParseRS(const std::string& value) {
  RadicalStroke rs;
  std::vector<std::string> v = Split(value);
  if (v.empty()) return rs;
  size_t dot = v[0].find('.');
  rs.radical = v[0].substr(0, dot);
  rs.simplified = rs.radical.find('\'') != std::string::npos;
  rs.number = std::stoi(rs.radical);
  rs.residual = std::stoi(v[0].substr(dot + 1));
  return rs;
}

int FirstStrokes(const Unihan& u, uint32_t cp) {
  std::vector<std::string> v = Split(u.Get(cp, "kTotalStrokes"));
  return v.empty() ? 0 : std::stoi(v.front());
}

int LastStrokes(const Unihan& u, uint32_t cp) {
  std::vector<std::string> v = Split(u.Get(cp, "kTotalStrokes"));
  return v.empty() ? 0 : std::stoi(v.back());
}

// The form whose strokes a character counts: the reviewed choice; else the character
// itself when it is its own traditional form too; else its first traditional form.
uint32_t ChosenForm(const Unihan& u, const chardata::Forms& forms, uint32_t cp) {
  if (auto f = forms.find(cp); f != forms.end()) return f->second;
  std::vector<std::string> list = Split(u.Get(cp, "kTraditionalVariant"));
  for (const std::string& s : list) {
    if (ParseCodePoint(s) == cp) return cp;
  }
  return list.empty() ? cp : ParseCodePoint(list.front());
}

// Strokes of a Kangxi radical (1..214) in its full form, 0 for any other number.
int RadicalStrokes(int radical) {
  static const int kFirstOfEachCount[] = {1, 7, 30, 61, 95, 118, 147, 167, 176, 187, 195, 201, 205, 209, 211, 212, 214};
  if (radical < 1 || radical > 214) return 0;
  int strokes = 0;
  for (int first : kFirstOfEachCount) strokes += radical >= first;
  return strokes;
}

// The radical and residual strokes of the Kangxi dictionary; without them, the first
// kRSUnicode value under a radical in its traditional form.
RadicalStroke KangxiRadical(const Unihan& u, uint32_t cp) {
  if (const std::string& kx = u.Get(cp, "kRSKangXi"); !kx.empty()) return ParseRS(kx);
  std::vector<std::string> values = Split(u.Get(cp, "kRSUnicode"));
  for (const std::string& v : values) {
    if (v.find('\'') == std::string::npos) return ParseRS(v);
  }
  return ParseRS(u.Get(cp, "kRSUnicode"));
}

// 一 to 十 count their value; any other character its form's full radical and residual strokes.
int KangxiStrokes(const Unihan& u, uint32_t cp, uint32_t form) {
  static const std::map<uint32_t, int> kNumbers = {{0x4E00, 1}, {0x4E8C, 2}, {0x4E09, 3}, {0x56DB, 4}, {0x4E94, 5},
                                                   {0x516D, 6}, {0x4E03, 7}, {0x516B, 8}, {0x4E5D, 9}, {0x5341, 10}};
  if (auto n = kNumbers.find(cp); n != kNumbers.end()) return n->second;
  RadicalStroke rs = KangxiRadical(u, form);
  return RadicalStrokes(rs.number) + rs.residual;
}

// The radical as written in the character (see the header for the side-form heuristic).
uint32_t WrittenRadical(const RadicalStroke& rs, const std::map<std::string, uint32_t>& radicals) {
  static const std::map<int, uint32_t> kSideForms = {{85, 0x6C35},  {64, 0x624C},  {140, 0x8279}, {170, 0x961D},
                                                     {163, 0x961D}, {61, 0x5FC4},  {94, 0x72AD},  {145, 0x8864},
                                                     {113, 0x793B}, {162, 0x8FB6}, {18, 0x5202},  {9, 0x4EBB},
                                                     {122, 0x7F52}, {96, 0x738B},  {130, 0x6708}};
  if (!rs.simplified && rs.residual != 0) {
    if (auto s = kSideForms.find(rs.number); s != kSideForms.end()) return s->second;
  }
  auto r = radicals.find(rs.radical);
  if (r == radicals.end()) r = radicals.find(IntToStr(rs.number));
  return r == radicals.end() ? 0 : r->second;
}

std::map<std::string, uint32_t> ReadRadicals(const std::string& path) {
  std::map<std::string, uint32_t> out;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return out;
  char buf[256];
  while (std::fgets(buf, sizeof buf, f)) {
    std::string line(buf);
    if (line.empty() || line[0] == '#') continue;
    size_t a = line.find(';');
    size_t b = line.find(';', a + 1);
    if (a == std::string::npos || b == std::string::npos) continue;
    out[line.substr(0, a)] = std::stoul(line.substr(b + 1), nullptr, 16);
  }
  std::fclose(f);
  return out;
}

uint8_t ElementOf(int radical, const std::string& initialPinyin) {
  static const std::map<int, uint8_t> kByRadical = {{85, 0},  {15, 0},  {173, 0},            // 水 冫 雨
                                                    {75, 1},  {118, 1}, {140, 1}, {115, 1},  // 木 竹 艸 禾
                                                    {86, 2},  {72, 2},                       // 火 日
                                                    {32, 3},  {46, 3},  {112, 3}, {102, 3},  // 土 山 石 田
                                                    {167, 4}, {96, 4},  {18, 4},  {62, 4}};  // 金 玉 刀 戈
  if (auto r = kByRadical.find(radical); r != kByRadical.end()) return r->second;
  std::string p = LowerCase(initialPinyin);
  if (p.empty()) return 3;
  char c = p[0];
  if (std::string("bpmf").find(c) != std::string::npos) return 0;
  if (std::string("dtnl").find(c) != std::string::npos) return 2;
  if (std::string("gkh").find(c) != std::string::npos) return 1;
  if (std::string("jqxzcsr").find(c) != std::string::npos) return 4;
  return 3;  // a, o, e, y, w and letters with marks: the zero initial
}

// An English definition as the dictionary shows it: marked, with its quotes as typography
// (the builders would turn a plain apostrophe into an opening quote).
std::string EnglishText(const std::string& def) {
  if (def.empty()) return def;
  std::string out = "（英）";
  for (size_t i = 0; i < def.size(); ++i) {
    if (def[i] != '\'') {
      out += def[i];
      continue;
    }
    bool opening = i == 0 || def[i - 1] == ' ' || def[i - 1] == '(';
    out += opening ? "‘" : "’";
  }
  return gbk::FromUtf8(out);
}

struct Built {
  CharRecord rec;
  uint32_t cp = 0;
  bool standard = false;  // levels 1 and 2 of the standard table
  bool gb2312 = false;
  bool inQuick = false;
  bool common = false;  // in commonWord
  int level = 0;        // place in the 2013 general standard table, 0 when absent
  uint8_t tier = chardata::kRare;
  bool reviewed = false;  // has a line in the reviewed files
};

// The reviewed data that a record's counts take.
struct StrokeData {
  chardata::Forms forms;
  chardata::StrokeFixes fixes;
};

Built BuildOne(const Unihan& u, const StrokeData& strokes, uint32_t cp, const std::map<uint32_t, uint32_t>& base,
               const std::map<std::string, uint32_t>& radicals) {
  Built b;
  b.cp = cp;
  CharRecord& r = b.rec;
  r.word = gbk::FromUtf8(Utf8Of(cp));
  std::vector<std::string> readings = Split(u.Get(cp, "kMandarin"));
  AddReadings(u.Get(cp, "kHanyuPinyin"), readings);
  AddReadings(u.Get(cp, "kXHC1983"), readings);
  std::vector<std::string> seen;
  for (const std::string& rd : readings) {
    std::string g = ReadingToGbk(rd, base);
    bool dup = false;
    for (const std::string& s : seen) dup = dup || s == g;
    if (!dup) seen.push_back(g);
  }
  r.truePy = seen.empty() ? std::string() : seen[0];
  for (size_t i = 1; i < seen.size(); ++i) r.pinYin += (i > 1 ? " " : "") + seen[i];

  RadicalStroke rs = ParseRS(u.Get(cp, "kRSUnicode"));
  uint32_t radical = WrittenRadical(rs, radicals);
  r.buShou = radical ? gbk::FromUtf8(Utf8Of(radical)) : std::string();
  r.bsLen = static_cast<uint8_t>(radical ? FirstStrokes(u, radical) : 0);
  uint32_t form = ChosenForm(u, strokes.forms, cp);
  r.gbLen = static_cast<uint8_t>(FirstStrokes(u, cp));
  r.big5Len = static_cast<uint8_t>(LastStrokes(u, form));
  auto fix = strokes.fixes.find(cp);
  r.kxLen = static_cast<uint8_t>(fix != strokes.fixes.end() ? fix->second : KangxiStrokes(u, cp, form));

  std::string tgh = u.Get(cp, "kTGH");
  b.level = tgh.empty() ? 0 : static_cast<int>(StrToIntDef(tgh.substr(tgh.find(':') + 1), 0));
  b.standard = b.level > 0 && b.level <= kStandardLimit;
  b.gb2312 = !u.Get(cp, "kGB0").empty();
  const std::string& def = u.Get(cp, "kDefinition");
  r.wx = ElementOf(rs.number, readings.empty() ? std::string() : readings[0]);
  r.normalExp = EnglishText(def);
  r.nameExp = r.normalExp;
  while (r.nameExp.size() > 150 && r.nameExp.rfind(';') != std::string::npos) {
    r.nameExp.erase(r.nameExp.rfind(';'));
  }
  r.nameExp = gbk::CutAtCharBoundary(r.nameExp, 150);
  r.biHua = Format("%s%s%s%d%s%d", U("部首").c_str(), r.buShou.c_str(), U("，部首外").c_str(),
                   rs.residual < 0 ? 0 : rs.residual, U("画，总笔画").c_str(), r.gbLen);
  r.kxExp = U("康熙笔画") + IntToStr(r.kxLen);
  return b;
}

// Puts each reviewed common reading first: truePy, with the others in pinYin in their order.
// A reading that is none of the character's readings is a fault.
void ApplyReadings(const Unihan& u, const chardata::Readings& readings, const std::map<uint32_t, uint32_t>& base,
                   std::vector<Built>& all, std::vector<std::string>& errors) {
  std::map<std::string, Built*> byWord;
  for (Built& b : all) byWord[gbk::ToUtf8(b.rec.word)] = &b;
  for (const auto& [word, reading] : readings) {
    auto b = byWord.find(word);
    if (b == byWord.end()) {
      errors.push_back("readings.tsv: " + word + " is not a character of the dictionary");
      continue;
    }
    CharRecord& r = b->second->rec;
    const std::string common = ReadingToGbk(reading, base);
    std::vector<std::string> others = Split(r.pinYin);
    auto at = std::find(others.begin(), others.end(), common);
    if (common != r.truePy && at == others.end()) {
      errors.push_back("readings.tsv: " + reading + " is not a reading of " + word);
      continue;
    }
    if (common == r.truePy) continue;
    *at = r.truePy;
    std::rotate(others.begin(), at, at + 1);
    r.truePy = common;
    r.pinYin.clear();
    for (const std::string& o : others) r.pinYin += (r.pinYin.empty() ? "" : " ") + o;
    r.wx = ElementOf(ParseRS(u.Get(b->second->cp, "kRSUnicode")).number, reading);
  }
}

// The characters of the quick file, in code-point order: levels 1 and 2 of the standard
// table, then the other GB2312 characters, then its third level, most used first.
std::vector<Built*> QuickList(std::vector<Built>& all) {
  std::vector<Built*> list;
  for (Built& b : all) {
    if (b.standard) list.push_back(&b);
  }
  for (Built& b : all) {
    if (!b.standard && b.gb2312 && list.size() < kHanziCount) list.push_back(&b);
  }
  std::vector<Built*> third;
  for (Built& b : all) {
    if (b.level > kStandardLimit && !b.gb2312) third.push_back(&b);
  }
  std::sort(third.begin(), third.end(), [](const Built* a, const Built* b) { return a->level < b->level; });
  for (Built* b : third) {
    if (list.size() < kHanziCount) list.push_back(b);
  }
  std::sort(list.begin(), list.end(), [](const Built* a, const Built* b) { return a->cp < b->cp; });
  if (list.size() > kHanziCount) list.resize(kHanziCount);
  for (Built* b : list) b->inQuick = true;
  return list;
}

// The quick file's order of ids: by tier, each tier in code-point order.
void OrderByTier(std::vector<Built*>& quick) {
  std::stable_sort(quick.begin(), quick.end(), [](const Built* a, const Built* b) { return a->tier < b->tier; });
}

// The full file's order of ids (see the header); `quick` is already in the quick file's order.
std::vector<const Built*> FullOrder(const std::vector<Built>& all, const std::vector<Built*>& quick) {
  std::vector<const Built*> order;
  for (uint8_t tier : {chardata::kCommon, chardata::kOccasional, chardata::kRare}) {
    for (const Built* b : quick) {
      if (b->tier == tier) order.push_back(b);
    }
    for (const Built& b : all) {
      if (!b.inQuick && b.reviewed && b.tier == tier) order.push_back(&b);
    }
  }
  for (const Built& b : all) {
    if (!b.inQuick && !b.reviewed) order.push_back(&b);
  }
  return order;
}

bool WriteHanziList(const std::string& path, const std::vector<Built*>& list) {
  std::string data;
  for (const Built* b : list) {
    std::string rec = b->rec.word;
    rec.resize(kHanziRecord, '\0');
    data += rec;
  }
  return file::WriteAtomic(path, data);
}

// Every character of the naming tables' surnames, single and compound.
std::set<std::string> SurnameChars() {
  std::set<std::string> out;
  const NameTables::Texts& t = NameTables::Text();
  auto add = [&out](const std::string& s) {
    for (size_t i = 0; i + 1 < s.size(); i += gbk::CharLength(s, i)) {
      if (gbk::CharLength(s, i) == 2) out.insert(s.substr(i, 2));
    }
  };
  add(t.SurnameList);
  for (const std::string& c : t.CompoundSurnames) add(c);
  return out;
}

void Apply(const chardata::Entry& e, CharRecord& r) {
  r.useSex = e.useSex;
  r.jx = e.jx;
  r.isFirst = r.isFirst || e.isFirst;
  r.nameExp = e.nameExp;
  r.normalExp = e.normalExp;
}

// Puts the reviewed data into the records of the quick file. A reviewed character outside
// that file is a fault; `missing` gets the quick-file characters the data lack.
void ApplyReviewed(const chardata::Table& table, std::vector<Built*>& quick, std::vector<Built>& all,
                   std::string& missing, std::vector<std::string>& errors) {
  std::set<std::string> surnames = SurnameChars();
  for (Built& b : all) b.rec.isFirst = surnames.count(b.rec.word) > 0;
  std::set<std::string> used;
  for (Built* b : quick) {
    auto e = table.find(b->rec.word);
    if (e == table.end()) {
      missing += b->rec.word;
      continue;
    }
    Apply(e->second, b->rec);
    b->tier = e->second.tier;
    b->reviewed = true;
    used.insert(b->rec.word);
  }
  for (const auto& [word, entry] : table) {
    if (!used.count(word)) errors.push_back(gbk::ToUtf8(word) + ": not a character of the quick dictionary");
  }
  for (Built* b : quick) b->common = (b->level > 0 && b->level <= kLevel1Limit) || b->tier == chardata::kCommon;
}

// The reviewed lines of characters outside the quick file; each must be such a character.
void ApplyFullOnly(const chardata::Table& table, std::vector<Built>& all, std::vector<std::string>& errors) {
  std::map<std::string, Built*> byWord;
  for (Built& b : all) byWord[b.rec.word] = &b;
  for (const auto& [word, entry] : table) {
    auto b = byWord.find(word);
    if (b == byWord.end() || b->second->inQuick) {
      errors.push_back("full/" + gbk::ToUtf8(word) + ": not a character of the full dictionary alone");
    } else {
      Apply(entry, b->second->rec);
      b->second->tier = entry.tier;
      b->second->reviewed = true;
      b->second->common = entry.tier == chardata::kCommon;
    }
  }
}

// The first simplified form of a character that is only a traditional form, else 0.
uint32_t SimplifiedForm(const Unihan& u, uint32_t cp) {
  std::vector<std::string> forms = Split(u.Get(cp, "kSimplifiedVariant"));
  uint32_t first = 0;
  for (const std::string& f : forms) {
    uint32_t s = ParseCodePoint(f);
    if (s == cp) return 0;  // also a simplified character in its own right
    if (!first) first = s;
  }
  return first;
}

// True when `simplified` has `traditional` as its one traditional form: the simplification
// merged nothing, so both characters mean the same.
bool OneToOne(const Unihan& u, uint32_t simplified, uint32_t traditional) {
  std::vector<std::string> forms = Split(u.Get(simplified, "kTraditionalVariant"));
  return forms.size() == 1 && ParseCodePoint(forms[0]) == traditional;
}

// A traditional form outside the quick file takes the marks and texts of its simplified
// form when that form has reviewed data and the simplification is one to one. The surname
// mark is the reviewed line's, not the naming tables', so the texts always give it.
void ApplyTraditional(const Unihan& u, std::vector<Built>& all, const chardata::Table& reviewed) {
  std::map<uint32_t, const Built*> byCp;
  for (const Built& b : all) byCp[b.cp] = &b;
  for (Built& b : all) {
    if (b.inQuick || reviewed.count(b.rec.word)) continue;
    auto s = byCp.find(SimplifiedForm(u, b.cp));
    if (s == byCp.end() || !OneToOne(u, s->first, b.cp)) continue;
    auto e = reviewed.find(s->second->rec.word);
    if (e == reviewed.end()) continue;
    const CharRecord& from = s->second->rec;
    const std::string mark = U("（繁体，同“") + from.word + U("”）");
    b.rec.useSex = from.useSex;
    b.rec.jx = from.jx;
    b.rec.isFirst = b.rec.isFirst || e->second.isFirst;
    b.rec.nameExp = mark + from.nameExp;
    b.rec.normalExp = mark + from.normalExp;
  }
}

// The quick file's command leaves normalExp empty; the reviewed 基本解释 goes in afterwards.
bool FillQuickNormalExp(const std::string& folder, const std::vector<Built*>& quick, std::string& error) {
  MNameLibrary mini(folder);
  if (!mini.Open(1)) {
    error = mini.LastError();
    return false;
  }
  sqlite3* db = dictsql::OpenDb(dictsql::Utf8Path(folder + "dat\\ChiWordMini.db"), false, error);
  if (!db) return false;
  bool ok = dictsql::Exec(db, "begin;", error);
  for (const Built* b : quick) {
    int32_t id = mini.IdOfChar(b->rec.word);
    if (id <= 0) continue;
    ok = ok && dictsql::Exec(db,
                             "update word_dict set normalExp=" + dictsql::Quote(gbk::ToUtf8(b->rec.normalExp)) +
                                 " where id=" + std::to_string(id) + ";",
                             error);
  }
  ok = ok && dictsql::Exec(db, "commit;", error);
  dictsql::CloseDb(db);
  return ok;
}

// The reviewed forms must be the character itself or one of its traditional forms.
void CheckForms(const Unihan& u, const chardata::Forms& forms, std::vector<std::string>& errors) {
  for (const auto& [cp, form] : forms) {
    std::vector<std::string> list = Split(u.Get(cp, "kTraditionalVariant"));
    bool known = form == cp;
    for (const std::string& s : list) known = known || ParseCodePoint(s) == form;
    if (!known) errors.push_back("forms.tsv: " + Utf8Of(form) + " is not a form of " + Utf8Of(cp));
  }
}

// The quick file's characters whose form is a choice (several traditional forms, or itself
// among them) that the forms file does not make, in GBK.
std::string UnchosenForms(const Unihan& u, const chardata::Forms& forms, const std::vector<Built*>& quick) {
  std::string out;
  for (const Built* b : quick) {
    std::vector<std::string> list = Split(u.Get(b->cp, "kTraditionalVariant"));
    bool own = false;
    for (const std::string& s : list) own = own || ParseCodePoint(s) == b->cp;
    if ((list.size() > 1 || own) && !forms.count(b->cp)) out += b->rec.word;
  }
  return out;
}

int Fail(const std::string& what) {
  std::fprintf(stderr, "MakeChiWord: %s\n", gbk::ToUtf8(what).c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 8) {
    return Fail(
        "usage: MakeChiWord <unihan folder> <UnicodeData.txt> <fixes> <forms.tsv> <reviewed data folder> "
        "<readings.tsv> <program folder>");
  }
  Unihan u;
  if (!ReadUnihan(argv[1], u)) return Fail("cannot read the Unihan files");
  auto base = ReadBaseLetters(argv[2]);
  auto radicals = ReadRadicals("/usr/share/unicode/CJKRadicals.txt");
  if (base.empty() || radicals.empty()) return Fail("cannot read UnicodeData.txt or CJKRadicals.txt");
  chardata::Table reviewed, fullOnly;
  StrokeData strokes;
  std::vector<std::string> faults, strokeFaults;
  const std::string dataFolder = argv[5], fullOnlyFolder = dataFolder + "/full";
  if (!chardata::ReadForms(argv[4], strokes.forms, strokeFaults)) return Fail(std::string("cannot read ") + argv[4]);
  if (!chardata::ReadStrokeFixes(argv[3], strokes.fixes, strokeFaults))
    return Fail(std::string("cannot read ") + argv[3]);
  CheckForms(u, strokes.forms, strokeFaults);
  if (!chardata::ReadFolder(dataFolder, reviewed, faults)) return Fail("cannot read " + dataFolder);
  if (!chardata::ReadFolder(fullOnlyFolder, fullOnly, faults)) return Fail("cannot read " + fullOnlyFolder);
  chardata::Readings readings;
  std::vector<std::string> readingFaults;
  if (!chardata::ReadReadings(argv[6], readings, readingFaults)) return Fail(std::string("cannot read ") + argv[6]);
  std::string folder = IncludeTrailingBackslash(gbk::FromUtf8(argv[7]));

  std::vector<Built> all;
  for (uint32_t cp = kFirst; cp <= kLast; ++cp) {
    if (!u.Get(cp, "kMandarin").empty()) all.push_back(BuildOne(u, strokes, cp, base, radicals));
  }
  ApplyReadings(u, readings, base, all, readingFaults);
  std::vector<Built*> quick = QuickList(all);
  if (std::string open = UnchosenForms(u, strokes.forms, quick); !open.empty()) {
    strokeFaults.push_back("forms.tsv: no form chosen for " + gbk::ToUtf8(open));
  }
  if (!strokeFaults.empty()) {
    for (const std::string& f : strokeFaults) std::fprintf(stderr, "MakeChiWord: %s\n", f.c_str());
    return Fail("the reviewed stroke data have faults");
  }
  std::string missing;
  ApplyReviewed(reviewed, quick, all, missing, faults);
  ApplyFullOnly(fullOnly, all, faults);
  chardata::Table withData = reviewed;
  withData.insert(fullOnly.begin(), fullOnly.end());
  ApplyTraditional(u, all, withData);
  OrderByTier(quick);
  if (!faults.empty() || !readingFaults.empty()) {
    for (const std::string& f : faults) std::fprintf(stderr, "MakeChiWord: %s/%s\n", argv[5], f.c_str());
    for (const std::string& f : readingFaults) std::fprintf(stderr, "MakeChiWord: %s\n", f.c_str());
    return Fail("the reviewed character data have faults");
  }
  if (!missing.empty()) {
    std::fprintf(stderr, "MakeChiWord: warning: %zu characters of the quick dictionary have no reviewed data yet: %s\n",
                 missing.size() / 2, gbk::ToUtf8(gbk::CutAtCharBoundary(missing, 60)).c_str());
  }

  std::string full = folder + "dat\\ChiWord.db";
  file::ForceDirectories(folder + "dat");
  file::Delete(full);
  MChineseDict builder(folder);
  if (!builder.CreateOrOpen(full) || !builder.BeginBatch()) return Fail(builder.ErrorText());
  std::string allWord, radicalText, common;
  for (const Built* b : FullOrder(all, quick)) {
    if (!builder.InsertRecord(b->rec)) return Fail(builder.ErrorText());
    allWord += b->rec.word;
    if (!dictsql::FindChar(radicalText, b->rec.buShou)) radicalText += b->rec.buShou;
    if (b->common) common += b->rec.word;
  }
  if (!builder.EndBatch() || !builder.UpdateExtraStrings(allWord, radicalText, common)) {
    return Fail(builder.ErrorText());
  }

  MNameLibrary lib(folder);
  std::string message;
  if (!lib.Open(0)) return Fail(lib.LastError());
  if (!lib.RebuildGroups()) return Fail(lib.LastError());

  std::string listFolder = folder + U("3.3.01版字库");
  file::ForceDirectories(listFolder);
  if (!WriteHanziList(listFolder + "\\hanzi.dat", quick)) return Fail(file::LastErrorText());
  if (!MakeMiniDb(lib, message)) return Fail(message);
  std::string error;
  if (!FillQuickNormalExp(folder, quick, error)) return Fail(error);
  std::printf("%zu characters; %s\n", all.size(), gbk::ToUtf8(message).c_str());
  return 0;
}
