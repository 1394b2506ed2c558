#include "tools/NumberPicker.h"

#include <algorithm>

#include "classlib/Gbk.h"
#include "classlib/StrUtils.h"
#include "engine/NameTables.h"
#include "resources/StringTable.h"

namespace {

constexpr int kPrefix = 7;  // positions before the deciding four

std::vector<int> AllDigits() { return {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}; }

// Advances an odometer over `lists`, the last wheel fastest; false after the last turn.
bool Advance(const std::vector<const std::vector<int>*>& lists, std::vector<size_t>& at) {
  for (size_t i = lists.size(); i-- > 0;) {
    if (++at[i] < lists[i]->size()) return true;
    at[i] = 0;
  }
  return false;
}

std::string Join(const std::vector<const std::vector<int>*>& lists, const std::vector<size_t>& at) {
  std::string s;
  for (size_t i = 0; i < lists.size(); ++i) s += static_cast<char>('0' + (*lists[i])[at[i]]);
  return s;
}

}  // namespace

MNumberPicker::MNumberPicker() {
  digitLists.fill(AllDigits());
  for (int p = 1; p <= kPrefix; ++p) SetDigit(p, 1);
}

void MNumberPicker::SetAny(int p) { digitLists[p - 1] = AllDigits(); }

void MNumberPicker::SetDigit(int p, int d) { digitLists[p - 1] = {d}; }

bool MNumberPicker::SetDigits(int p, const std::vector<int>& digits) {
  std::vector<int> sorted = digits;
  std::sort(sorted.begin(), sorted.end());
  sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
  if (sorted.empty() || sorted.front() < 0 || sorted.back() > 9) return false;
  digitLists[p - 1] = std::move(sorted);
  return true;
}

bool MNumberPicker::Generate(std::vector<std::string>& lines, std::string& message) const {
  lines.clear();
  message.clear();
  std::vector<const std::vector<int>*> head, tail;
  for (int i = 0; i < kPositions; ++i) (i < kPrefix ? head : tail).push_back(&digitLists[i]);

  // The good endings, in the order the odometer meets them, with their folded number.
  std::vector<std::pair<std::string, int>> endings;
  std::vector<size_t> at(tail.size(), 0);
  do {
    const std::string e = Join(tail, at);
    const int n = NameTables::Fold81(StrToIntDef(e, 0));
    if (NameTables::NumberClass81[n % 81] == 2) endings.emplace_back(e, n);
  } while (Advance(tail, at));
  if (endings.empty()) {
    message = gbk::FromUtf8("没有吉号！");
    return false;
  }

  const std::string format = gbk::FromUtf8("%d：%s（%02d）");
  at.assign(head.size(), 0);
  do {
    const std::string prefix = Join(head, at);
    for (const auto& [e, n] : endings) {
      if (lines.size() == kMaxLines) {
        message = gbk::FromUtf8("最多只显示3万个号码！");
        return true;
      }
      lines.push_back(Format(format.c_str(), static_cast<int>(lines.size()) + 1, (prefix + e).c_str(), n));
    }
  } while (Advance(head, at));
  return true;
}

std::string MNumberPicker::Explain(const std::string& line) {
  const std::string open = gbk::FromUtf8("（");
  const size_t p = Pos(open, line);
  if (p <= 1) return "";
  const int n = StrToIntDef(Copy(line, p + open.size(), 2), 0);
  if (n < 1 || n > 81) return "";
  return Format(gbk::FromUtf8("[%d数]").c_str(), n) + LoadStr(NameTables::NumberTextId(n));
}
