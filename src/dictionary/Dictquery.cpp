#include "dictionary/Dictquery.h"

#include "classlib/Gbk.h"
#include "classlib/StrUtils.h"

namespace dictquery {

namespace {

using gbk::U;

constexpr int kBlockLines = 1000;
constexpr int kBriefPerRow = 25;
constexpr int kPumpEvery = 256;

const char* const kElementWords[6] = {"水", "木", "火", "土", "金", "无"};
const char* const kLuckWords[3] = {"吉", "凶", "平"};

std::string ElementWord(int wx) { return U(kElementWords[wx >= 0 && wx < 6 ? wx : 5]); }
std::string LuckWord(int jx) { return jx >= 0 && jx < 3 ? U(kLuckWords[jx]) : std::string(); }

// Whether the record's radical is one of the chosen ones, compared as whole characters.
bool RadicalChosen(const std::string& buShou, const std::string& chosen) {
  return !buShou.empty() && dictsql::FindChar(chosen, buShou) > 0;
}

}  // namespace

std::string ExplainBlock(const CharRecord& r) {
  std::string out = Format(U("【基本解释】%s\r\n\r\n").c_str(), r.normalExp.c_str());
  for (const std::string* s : {&r.words, &r.poemExp, &r.relateWords, &r.poem, &r.fourWord, &r.kxExp}) {
    if (s->size() > 4) out += *s + "\r\n\r\n";
  }
  return out;
}

std::string FullLine(const CharRecord& r, bool explain) {
  std::string out = Format(U("%s：%s,%d画(繁),%d画(简),%s,%s,").c_str(), r.word.c_str(), r.truePy.c_str(), r.kxLen,
                           r.gbLen, ElementWord(r.wx).c_str(), LuckWord(r.jx).c_str());
  out += Format(U("字意：%s\r\n\r\n").c_str(), r.nameExp.c_str());
  if (explain) out += ExplainBlock(r) + std::string(93, '-') + "\r\n";
  return out;
}

bool Matches(const CharRecord& r, const Conditions& c) {
  if (!c.pinyin.empty() && c.pinyin != r.truePy) return false;
  if (c.sex != 0 && c.sex != r.useSex) return false;
  if (c.elementMask != 0 && (r.wx > 31 || !(c.elementMask & (1u << r.wx)))) return false;
  if (c.strokes != 0 && c.strokes != (c.strokeKind == 0 ? r.kxLen : r.gbLen)) return false;
  return c.radical.empty() || RadicalChosen(r.buShou, c.radical);
}

std::string SearchByChars(MNameLibrary& lib, std::string_view text, bool explain) {
  std::string out;
  // Walked by lead byte, so a letter among the characters never shifts the ones after it.
  for (size_t i = 0; i < text.size(); i += gbk::CharLength(text, i)) {
    CharRecord r;
    std::string_view ch = text.substr(i, gbk::CharLength(text, i));
    if (ch.size() == 2 && lib.GetCharInfo(ch, r))
      out += FullLine(r, explain);
    else
      out += U("字库中没有这个字。\r\n");
  }
  return out.empty() ? U("找不到符合条件的汉字。") : out;
}

std::vector<std::string> SearchByConditions(MNameLibrary& lib, const Conditions& c, Style style, bool explain,
                                            const std::function<void()>& pump) {
  std::vector<std::string> blocks;
  if (!lib.BeginBatch()) return {lib.LastError()};
  std::string text;
  int found = 0;
  const std::string gap = U("　");
  for (int id = 1; id <= dictsql::kFullCount; ++id) {
    if (pump && id % kPumpEvery == 0) pump();
    CharRecord r;
    if (!lib.GetRecordByIdBatch(id, r) || !Matches(r, c)) continue;
    ++found;
    if (style == Style::Brief) {
      text += r.word + gap;
      if (found % kBriefPerRow == 0) text += "\r\n\r\n";
    } else {
      text += FullLine(r, explain);
      if (found % kBlockLines == 0) {
        blocks.push_back(std::move(text));
        text.clear();
      }
    }
  }
  lib.EndBatch();
  if (style == Style::Brief && !text.empty()) text += "\r\n";
  if (found == 0)
    text = U("找不到符合条件的汉字。");
  else
    text += Format(U("【共找到 %d 个汉字】\r\n").c_str(), found);
  blocks.push_back(std::move(text));
  return blocks;
}

std::string JoinBlocks(const std::vector<std::string>& blocks) {
  std::string out;
  for (const std::string& b : blocks) out += b + "\r\n";
  return out;
}

}  // namespace dictquery
