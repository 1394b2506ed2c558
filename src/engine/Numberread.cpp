#include "engine/Numberread.h"

#include <algorithm>

#include "classlib/Gbk.h"
#include "classlib/StrUtils.h"
#include "dictionary/Namelibrary.h"
#include "engine/NameTables.h"
#include "resources/StringTable.h"

namespace numberread {

namespace {

// Plain decimal of at most four bytes, optional sign; anything else reads 0 (no hex, no blanks).
int ReadDecimal(std::string_view s) {
  size_t i = (!s.empty() && (s[0] == '-' || s[0] == '+')) ? 1 : 0;
  if (i == s.size()) return 0;
  int v = 0;
  for (size_t k = i; k < s.size(); ++k) {
    if (s[k] < '0' || s[k] > '9') return 0;
    v = v * 10 + (s[k] - '0');
  }
  return s[0] == '-' ? -v : v;
}

// Walks `s` by lead byte, adding each character's strokes.
bool StrokeTotal(std::string_view s, const StrokeLookup& strokes, int& total) {
  total = 0;
  for (size_t i = 0; i < s.size();) {
    size_t len = gbk::CharLength(s, i);
    int count = 0;
    if (!strokes(s.substr(i, len), count)) return false;
    total += count;
    i += len;
  }
  return true;
}

// Value of a digit or letter, -1 for any other byte.
int AlnumValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'z') return c - 'a' + 10;
  if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
  return -1;
}

// The few texts of this unit, converted once.
struct Words {
  std::string input = gbk::FromUtf8("输入：");
  std::string invalid = gbk::FromUtf8("：输入无效、无法测算！");
  std::string colon = gbk::FromUtf8("：");
  std::string open = gbk::FromUtf8("【");
  std::string close = gbk::FromUtf8("】");
  std::string total = gbk::FromUtf8("数】笔画总数");
  std::string number = gbk::FromUtf8("数]");
  std::string unlucky = gbk::FromUtf8("公司名不吉，增加以下笔画数的字后（可以一个或者多个汉字）就变吉利了：");
  std::string comma = gbk::FromUtf8("、");
};

const Words& W() {
  static const Words words;
  return words;
}

std::string Numbered(int k) { return W().open + IntToStr(k) + W().close; }

}  // namespace

StrokeLookup DictionaryStrokes(MNameLibrary& lib, int strokeMode) {
  return [&lib, strokeMode](std::string_view ch, int& strokes) {
    CharRecord rec;
    if (ch.size() != 2 || !lib.GetCharInfo(ch, rec)) return false;
    strokes = strokeMode == 1 ? rec.gbLen : rec.kxLen;
    return true;
  };
}

bool NumberRule(std::string_view s, const StrokeLookup& strokes, int& n) {
  n = ReadDecimal(s.size() < 5 ? s : s.substr(s.size() - 4));
  return n >= 1 || StrokeTotal(s, strokes, n);
}

bool PlateRule(std::string_view s, const StrokeLookup& strokes, int& n) {
  n = 0;
  for (size_t i = 0; i < s.size();) {
    size_t len = gbk::CharLength(s, i);
    std::string_view ch = s.substr(i, len);
    i += len;
    if (ch == " ") continue;
    int value = len == 1 ? AlnumValue(ch[0]) : -1;
    int count = 0;
    if (value < 0 && !strokes(ch, count)) return false;
    n += value >= 0 ? value : count;
  }
  return true;
}

std::string ReadLines(const TStringList& lines, Tool tool, const StrokeLookup& strokes) {
  const int base = tool == Tool::Company ? 1100 : 1200;
  std::string out;
  int k = 0;
  for (int i = 0; i < lines.Count(); ++i) {
    std::string s = Trim(lines[i]);
    if (s.empty()) continue;
    ++k;
    int n = 0;
    bool ok = tool == Tool::Plate ? PlateRule(s, strokes, n) : NumberRule(s, strokes, n);
    if (!ok) {
      out += Numbered(k) + s + W().invalid + "\r\n\r\n";
      continue;
    }
    int folded = NameTables::Fold81(n);
    out += Numbered(k) + s + W().colon + "[" + IntToStr(folded) + W().number + LoadStr(base + folded) + "\r\n\r\n";
  }
  return out;
}

std::vector<int> LuckyStrokeDeltas(int total) {
  const int m = NameTables::Fold81(total);
  std::vector<int> out;
  for (int j = 0; j < 81; ++j) {
    if (NameTables::NumberClass81Alt[j] != 2 || (total >= 81 && j == 0)) continue;
    int g = j == 0 ? 81 : j;
    int d = total < 81 ? g - total : j - m;
    if (d == 0) continue;
    if (d < 0) d += 80;  // wraps past 81 onto the same folded number
    // From 81 the wrap onto 1 comes out as 0, which adds nothing.
    if (d > 0) out.push_back(d);
  }
  std::sort(out.begin(), out.end());
  out.erase(std::unique(out.begin(), out.end()), out.end());
  return out;
}

bool CompanyReading(std::string_view name, const StrokeLookup& strokes, std::string& text) {
  int n = 0;
  if (!NumberRule(name, strokes, n)) return false;
  int folded = NameTables::Fold81(n);
  std::string t = W().input + std::string(name) + "\r\n\r\n" + W().open + IntToStr(folded) + W().total + IntToStr(n) +
                  "\r\n" + LoadStr(NameTables::CompanyNumberTextId(folded));
  if (NameTables::NumberClass81Alt[folded % 81] != 2) {
    t += "\r\n\r\n" + W().unlucky + "\r\n";
    for (int delta : LuckyStrokeDeltas(n)) t += IntToStr(delta) + W().comma;
  }
  text = t;
  return true;
}

}  // namespace numberread
