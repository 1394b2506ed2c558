#include "engine/Companynames.h"

#include <algorithm>
#include <map>

#include "classlib/Gbk.h"
#include "classlib/StrUtils.h"
#include "engine/NameTables.h"
#include "resources/StringTable.h"

namespace company {

namespace {

constexpr int kMaxCount = 27;  // rows of the stroke tables

struct Texts {
  std::string header = gbk::FromUtf8("公司基本名：%s%s%s，%d画\r\n\r\n");
  std::string middle = gbk::FromUtf8("○");
  std::string unknown = gbk::FromUtf8("字库里面没有“%s”这个字！");
  std::string noName = gbk::FromUtf8("找不到适用的公司名字！");
  std::string intro = gbk::FromUtf8(
      "（可以任意选一小组里面不同笔画的%d个字组合成公司中间名。公司名前缀 + 中间名 + 公司名后缀 = 完整公司名）：\r\n");
  std::string group = gbk::FromUtf8("\r\n【%d：%s】\r\n\r\n");
  std::string count = gbk::FromUtf8("%02d画：");
  std::string reading = gbk::FromUtf8("（%d）%s\r\n");
  std::string hint = gbk::FromUtf8(
      "提示：只要%d个字合起来的笔画数达到以上的任意一组，就可以做为公司的候选中间名。"
      "字的排列是任意组合的，不用按顺序，每个字笔画数不一样即可。\r\n\r\n");
};

const Texts& T() {
  static const Texts texts;
  return texts;
}

std::string Reading(int n) { return LoadStr(NameTables::CompanyNumberTextId(n)); }

// Strokes of a text by the stroke system; single-byte characters count nothing.
bool TextStrokes(MNameLibrary& lib, bool simplified, const std::string& text, int& sum, std::string& error) {
  sum = 0;
  for (size_t i = 0; i < text.size(); i += gbk::CharLength(text, i)) {
    if (gbk::CharLength(text, i) != 2) continue;
    CharRecord rec;
    std::string ch = text.substr(i, 2);
    if (!lib.GetCharInfoBatch(ch, rec)) {
      error = Format(T().unknown.c_str(), ch.c_str());
      return false;
    }
    sum += simplified ? rec.gbLen : rec.kxLen;
  }
  return true;
}

// The listed characters of each stroke count, looked up once.
class CharRows {
 public:
  CharRows(MNameLibrary& library, bool simplifiedStrokes, int elementMask)
      : lib(library), simplified(simplifiedStrokes), mask(elementMask) {}

  const std::string& Of(int s) {
    auto [it, fresh] = rows.try_emplace(s);
    if (!fresh) return it->second;
    const auto& table = simplified ? NameTables::Text().SimplifiedStrokeChars : NameTables::Text().KangxiStrokeChars;
    const std::string& line = table[s - 1];
    for (size_t i = 0; i < line.size(); i += gbk::CharLength(line, i)) {
      if (gbk::CharLength(line, i) != 2) continue;
      std::string ch = line.substr(i, 2);
      CharRecord rec;
      if (!lib.GetCharInfoBatch(ch, rec)) continue;
      if (!simplified && rec.kxLen != s) continue;
      if (mask != 0 && (rec.wx > 4 || !(mask & (1 << rec.wx)))) continue;
      it->second += ch;
    }
    return it->second;
  }

 private:
  MNameLibrary& lib;
  bool simplified;
  int mask;
  std::map<int, std::string> rows;
};

// The split lines of one total; empty when no split has characters for every count.
std::string SplitLines(int g, int n, CharRows& rows) {
  std::string out;
  for (const std::vector<int>& split : StrokeSplits(g, n)) {
    std::string lines;
    bool complete = std::all_of(split.begin(), split.end(), [&](int s) {
      const std::string& chars = rows.Of(s);
      lines += Format(T().count.c_str(), s) + chars + "\r\n";
      return !chars.empty();
    });
    if (complete) out += lines + "\r\n";
  }
  return out;
}

bool Propose(MNameLibrary& lib, bool simplified, std::string& prefix, const std::string& suffix, int mask, int n,
             std::string& error) {
  int base = 0;
  if (!TextStrokes(lib, simplified, prefix + suffix, base, error)) return false;
  std::string middle;
  for (int i = 0; i < n; ++i) middle += T().middle;
  std::string text = Format(T().header.c_str(), prefix.c_str(), middle.c_str(), suffix.c_str(), base);
  text += Format(T().intro.c_str(), n);

  CharRows rows(lib, simplified, mask);
  bool any = false;
  for (int g : GoodTotals(base)) {
    std::string splits = SplitLines(g, n, rows);
    if (splits.empty()) continue;
    any = true;
    int t = NameTables::Fold81(base + g);
    text += std::string(89, '-') + Format(T().group.c_str(), g, Reading(g).c_str()) + splits;
    text += Format("%d+%d=%d", g, base, g + base) + Format(T().reading.c_str(), t, Reading(t).c_str());
  }
  if (!any) {
    error = T().noName;
    return false;
  }
  text += "\r\n" + std::string(91, '=') + Format(T().hint.c_str(), n);
  prefix = std::move(text);
  return true;
}

}  // namespace

bool IsGoodNumber(int n) { return std::find(GoodNumbers.begin(), GoodNumbers.end(), n) != GoodNumbers.end(); }

std::vector<int> GoodTotals(int base) {
  std::vector<int> kept;
  for (int g : GoodNumbers) {
    if (IsGoodNumber(NameTables::Fold81(base + g))) kept.push_back(g);
  }
  return kept;
}

std::vector<std::vector<int>> StrokeSplits(int total, int n) {
  std::vector<std::vector<int>> out;
  if (n < 1) return out;
  if (n == 1) {
    if (total >= 1 && total <= kMaxCount) out.push_back({total});
    return out;
  }
  for (int a = 1; a <= kMaxCount + 1 - n; ++a) {
    std::vector<int> split;
    int sum = 0;
    for (int i = 0; i < n - 1; ++i) {
      split.push_back(a + i);
      sum += a + i;
    }
    int last = total - sum;
    if (last < 1 || last > kMaxCount || last <= split.back()) continue;
    split.push_back(last);
    out.push_back(split);
  }
  return out;
}

bool ProposeCompanyNames(MNameLibrary& lib, const AnalysisSettings& settings, std::string& prefix,
                         const std::string& suffix, int elementMask, int n, std::string& error) {
  if (!lib.Open(1) || !lib.BeginBatch()) {
    error = lib.LastError();
    return false;
  }
  bool ok = Propose(lib, settings.iwordlen == 1, prefix, suffix, elementMask, n, error);
  lib.EndBatch();
  return ok;
}

}  // namespace company
