#include "engine/Searchname.h"

#include <algorithm>
#include <cstring>

#include "classlib/Gbk.h"
#include "classlib/StrUtils.h"
#include "engine/NameTables.h"

namespace {

constexpr int kMaxStrokes = 30;  // given stroke counts tried by ListGoodStrokeSets
constexpr size_t kNamesPerClockCheck = 1024;
// A set of many names pumps after this many at the latest, however fast they come.
constexpr size_t kNamesPerPump = 64 * 1024;
constexpr size_t kLookupsPerClockCheck = 16;

struct Texts {
  std::string noSurname = gbk::FromUtf8("没有这个姓的汉字数据！");
  std::string runHead = gbk::FromUtf8("贵姓：%s，经过分析可以取以下名：\r\n");
  std::string gridHead = gbk::FromUtf8("，天格%d、人格%d、地格%d、总格%d、外格%d。\r\n  ");
  std::string joiner = gbk::FromUtf8("、");
  std::string setHead = gbk::FromUtf8("第 %d 组：笔画");
  std::string score = gbk::FromUtf8("%d分");
  std::string classWords[3] = {gbk::FromUtf8("凶"), gbk::FromUtf8("平"), gbk::FromUtf8("吉")};
  std::string goodHead = gbk::FromUtf8("贵姓：%s，");
  std::string oneChar = gbk::FromUtf8("一字名，");
  std::string twoChars = gbk::FromUtf8("二字名，");
  std::string goodTail = gbk::FromUtf8("有以下姓名笔画组合可以构成五格、三才配置全吉。\r\n\r\n");
  std::string goodLine1 = gbk::FromUtf8("%d：%s　名(%d)\r\n\r\n");
  std::string goodLine2 = gbk::FromUtf8("%d：%s　名(%d)　名(%d)\r\n\r\n");
  std::string wideSpace = gbk::FromUtf8("　");
  std::string noneGood = gbk::FromUtf8("【找不到数理全吉的姓名笔画组合！】\r\n\r\n");
};

const Texts& T() {
  static const Texts texts;
  return texts;
}

int GoodGrids(const int16_t grids[5]) {
  int g = 0;
  for (int i = 0; i < 5; ++i) g += NameTables::NumberClass(grids[i]) == 2;
  return g;
}

}  // namespace

MSearchName::MSearchName(MNameLibrary& library, MessagePump* messagePump) : lib(library), pump(messagePump) {}

bool MSearchName::Fail(std::string text) {
  message = std::move(text);
  return false;
}

void MSearchName::LoadSettings() { settings = ReadAnalysisSettings(lib.AppDir()); }

bool MSearchName::CalcFiveGrids(bool singleSurname, int16_t grids[5], const uint16_t strokes[], int16_t n) const {
  int16_t s[namecalc::kMaxChars] = {};
  for (int i = 0; i < n && i < namecalc::kMaxChars; ++i) s[i] = static_cast<int16_t>(strokes[i]);
  if (!namecalc::FiveGrids(singleSurname, n, s, grids)) std::fill(grids, grids + 5, int16_t{0});
  return true;
}

bool MSearchName::AllGood(bool singleSurname, int16_t grids[5], int& talents, const uint16_t strokes[],
                          int16_t n) const {
  CalcFiveGrids(singleSurname, grids, strokes, n);
  talents = namecalc::TalentsClass(grids);
  return GoodGrids(grids) == 5 && talents == 2;
}

bool MSearchName::FormulaAccepts(const uint16_t strokes[], bool singleSurname, int16_t n, int formula) const {
  int16_t grids[5];
  CalcFiveGrids(singleSurname, grids, strokes, n);
  int c = namecalc::TalentsClass(grids);
  switch (formula) {
    case 0:
      return c == 2 && GoodGrids(grids) >= 3;
    case 1:
      return c != 0 && GoodGrids(grids) >= 2;
    default:
      return true;
  }
}

bool MSearchName::MeetsConditions(const int16_t grids[5]) const {
  for (int i = 0; i < 5; ++i) {
    if (conditions.gridGood[i] && NameTables::NumberClass(grids[i]) != 2) return false;
  }
  return !conditions.talentsGood || namecalc::TalentsClass(grids) == 2;
}

bool MSearchName::CharAccepted(const CharRecord& rec) const {
  if (!conditions.allowBadChars && rec.jx != 0) return false;
  if (conditions.sex != 3 && rec.useSex != conditions.sex) return false;
  if (rec.wx > 4 || !(conditions.elementMask & (1 << rec.wx))) return false;
  std::string_view radicals(conditions.radicals, strnlen(conditions.radicals, sizeof conditions.radicals));
  return radicals.empty() || rec.buShou.empty() || dictsql::FindChar(radicals, rec.buShou) != 0;
}

bool MSearchName::Excluded(const char* word) const {
  std::string_view excluded(conditions.excluded, strnlen(conditions.excluded, sizeof conditions.excluded));
  return dictsql::FindChar(excluded, word) != 0;
}

bool MSearchName::SurnameStrokes(std::vector<uint16_t>& strokes, std::vector<uint16_t>& elements) {
  std::string_view surname(conditions.surname, strnlen(conditions.surname, sizeof conditions.surname));
  strokes.clear();
  elements.clear();
  if (surname.size() != 2 && surname.size() != 4) return Fail(T().noSurname);
  for (size_t i = 0; i < surname.size(); i += 2) {
    CharRecord rec;
    if (surname[i] >= 0 || !lib.GetCharInfo(surname.substr(i, 2), rec)) return Fail(T().noSurname);
    strokes.push_back(settings.iwordlen == 1 ? rec.gbLen : rec.kxLen);
    elements.push_back(rec.wx);
  }
  single = surname.size() == 2;
  return true;
}

bool MSearchName::FirstCharInForce() const {
  return conditions.firstChar[0] != '\0' && conditions.givenLength == 2 && conditions.formula == 2;
}

bool MSearchName::FixedFirst(Accepted& out, int& strokes) {
  std::string_view ch(conditions.firstChar, strnlen(conditions.firstChar, sizeof conditions.firstChar));
  CharRecord rec;
  if (ch.size() != 2 || !lib.GetCharInfo(ch, rec)) return Fail(lib.LastError());
  std::memcpy(out.word, ch.data(), 2);
  out.word[2] = '\0';
  out.element = rec.wx;
  strokes = settings.iwordlen == 1 ? rec.gbLen : rec.kxLen;
  return true;
}

bool MSearchName::BuildStrokeSets(std::vector<std::vector<int>>& out) {
  out.clear();
  if (!SurnameStrokes(surnameStrokes, surnameElements)) return false;
  if (FirstCharInForce() && !FixedFirst(fixed, fixedStrokes)) return false;
  std::vector<uint16_t> s = surnameStrokes;
  const auto n = static_cast<int16_t>(s.size() + conditions.givenLength);
  s.resize(s.size() + 2);
  uint16_t* given = s.data() + surnameStrokes.size();
  if (conditions.givenLength == 1) {
    for (int a : strokeCounts) {
      given[0] = static_cast<uint16_t>(a);
      if (FormulaAccepts(s.data(), single, n, conditions.formula)) out.push_back({a});
    }
    return true;
  }
  std::vector<int> firsts = FirstCharInForce() ? std::vector<int>{fixedStrokes} : strokeCounts;
  for (int a : firsts) {
    for (int b : strokeCounts) {
      given[0] = static_cast<uint16_t>(a);
      given[1] = static_cast<uint16_t>(b);
      if (FormulaAccepts(s.data(), single, n, conditions.formula)) out.push_back({a, b});
    }
  }
  return true;
}

const std::vector<MSearchName::Accepted>& MSearchName::CharsOf(int strokes, CharCache& cache) {
  auto [it, fresh] = cache.try_emplace(strokes);
  if (!fresh || strokes < 1 || strokes > groups.Count()) return it->second;
  const std::string& line = groups[strokes - 1];
  for (size_t i = 0; i < line.size(); i += gbk::CharLength(line, i)) {
    if (gbk::CharLength(line, i) != 2) continue;
    // Look-ups of a large group take long: let messages run between them too.
    if (++sincePumpCheck % kLookupsPerClockCheck == 0 && std::chrono::steady_clock::now() - lastPump >= kPumpInterval &&
        PumpAndCheck()) {
      break;
    }
    Accepted a{{line[i], line[i + 1], '\0'}, 0};
    if (Excluded(a.word)) continue;
    const CharRecord* rec = lib.FindCharBatch(a.word);
    if (!rec || !CharAccepted(*rec)) continue;
    a.element = rec->wx;
    it->second.push_back(a);
  }
  return it->second;
}

void MSearchName::InsertSorted(const CandidateRecord& rec) { made.push_back(rec); }

void MSearchName::Rank() const {
  if (made.empty()) return;
  const auto [low, high] =
      std::minmax_element(made.begin(), made.end(), [](const auto& a, const auto& b) { return a.score < b.score; });
  // starts[k]: where the names of score high - k begin, best first.
  std::vector<size_t> starts(static_cast<size_t>(high->score - low->score) + 2, 0);
  for (const CandidateRecord& c : made) ++starts[static_cast<size_t>(high->score - c.score) + 1];
  for (size_t k = 1; k < starts.size(); ++k) starts[k] += starts[k - 1];
  const size_t before = ranked.size();
  ranked.resize(before + made.size());
  auto sorted = ranked.begin() + static_cast<std::ptrdiff_t>(before);
  for (const CandidateRecord& c : made)
    sorted[static_cast<std::ptrdiff_t>(starts[static_cast<size_t>(high->score - c.score)]++)] = c;
  made.clear();
  // The names ranked before were inserted first, so they go first among equal scores.
  auto greater = [](const CandidateRecord& a, const CandidateRecord& b) { return a.score > b.score; };
  if (before > 0) std::inplace_merge(ranked.begin(), sorted, ranked.end(), greater);
}

const CandidateRecord& MSearchName::Candidate(size_t i) const {
  Rank();
  static const CandidateRecord none;
  return i < ranked.size() ? ranked[i] : none;
}

void MSearchName::ClearCandidates() {
  ranked.clear();
  made.clear();
}

bool MSearchName::PumpAndCheck() {
  auto now = std::chrono::steady_clock::now();
  longestGap = std::max<std::chrono::nanoseconds>(longestGap, now - lastPump);
  if (pump) pump->Pump();
  lastPump = std::chrono::steady_clock::now();
  sincePumpCheck = 0;
  namesSincePump = 0;
  return stop;
}

bool MSearchName::RunSet(const std::vector<int>& set, CharCache& cache, int& setsListed) {
  std::vector<uint16_t> strokes = surnameStrokes;
  for (int s : set) strokes.push_back(static_cast<uint16_t>(s));
  const auto n = static_cast<int16_t>(strokes.size());
  int16_t grids[5];
  CalcFiveGrids(single, grids, strokes.data(), n);
  // The grids belong to the set, so the user's grid conditions decide for all its names.
  if (conditions.formula == 2 && !MeetsConditions(grids)) return true;

  std::string heading;
  for (uint16_t s : strokes) heading += (heading.empty() ? "" : T().joiner) + IntToStr(s);
  heading += Format(T().gridHead.c_str(), grids[0], grids[1], grids[2], grids[3], grids[4]);
  uint16_t ugrids[5];
  for (int g = 0; g < 5; ++g) ugrids[g] = static_cast<uint16_t>(grids[g]);

  const size_t nSurname = surnameStrokes.size();
  std::vector<uint16_t> elements = surnameElements;
  elements.resize(n, 10);
  std::string name(conditions.surname, nSurname * 2);
  name.resize(n * 2);

  std::vector<Accepted> fixedList;
  if (FirstCharInForce()) fixedList.push_back(fixed);
  const std::vector<Accepted>& firsts = FirstCharInForce() ? fixedList : CharsOf(set[0], cache);
  static const std::vector<Accepted> kNone;
  const std::vector<Accepted>& seconds = set.size() > 1 ? CharsOf(set[1], cache) : kNone;
  if (stop) return false;

  bool listed = false;
  auto emit = [&](const Accepted& f, const Accepted* s) {
    if (!listed) {
      listed = true;
      if (++setsListed > 1) listing += "\r\n";
      listing += Format(T().setHead.c_str(), setsListed) + heading;
    }
    listing.append(f.word, 2);
    if (s) listing.append(s->word, 2);
    listing += ' ';
    CandidateRecord rec;
    calc.Calc(name.c_str(), strokes.data(), elements.data(), ugrids);
    calc.GetResult(rec);
    InsertSorted(rec);
    if (Count() >= kCeiling) return false;
    if (++namesSincePump >= kNamesPerPump) return !PumpAndCheck();
    if (++sincePumpCheck < kNamesPerClockCheck) return true;
    sincePumpCheck = 0;
    return std::chrono::steady_clock::now() - lastPump < kPumpInterval || !PumpAndCheck();
  };

  for (const Accepted& f : firsts) {
    std::memcpy(&name[nSurname * 2], f.word, 2);
    elements[nSurname] = f.element;
    if (set.size() == 1) {
      if (!emit(f, nullptr)) return false;
      continue;
    }
    for (const Accepted& s : seconds) {
      std::memcpy(&name[nSurname * 2 + 2], s.word, 2);
      elements[nSurname + 1] = s.element;
      if (!emit(f, &s)) return false;
    }
  }
  return true;
}

bool MSearchName::Generate(ProgressSink* progress) {
  if (!lib.Open(conditions.library)) return Fail(lib.LastError());
  LoadSettings();
  int kind = (conditions.charset == 0 ? 3 : 1) + settings.iwordlen;
  if (!lib.LoadStrokeGroups(kind, strokeCounts, groups)) return Fail(lib.LastError());
  std::vector<std::vector<int>> sets;
  if (!BuildStrokeSets(sets)) return false;

  ClearCandidates();
  listing.clear();
  calc.SetFlag(single ? 1 : 0);
  if (progress) {
    progress->SetRange(static_cast<int>(sets.size()));
    progress->SetPosition(0);
  }
  stop = false;
  if (!lib.BeginBatch()) return Fail(lib.LastError());
  listing = Format(T().runHead.c_str(), std::string(conditions.surname, surnameStrokes.size() * 2).c_str());
  lastPump = std::chrono::steady_clock::now();
  longestGap = {};
  CharCache cache;
  int setsListed = 0;
  for (size_t i = 0; i < sets.size(); ++i) {
    if (PumpAndCheck()) break;
    if (progress) progress->SetPosition(static_cast<int>(i + 1));
    if (Count() > kCap) break;
    if (!RunSet(sets[i], cache, setsListed)) break;
  }
  lib.EndBatch();
  Rank();
  return true;
}

int MSearchName::FillResultList(ResultView& view, int page) const {
  view.Clear();
  Rank();
  const size_t count = ranked.size();
  if (count == 0) return 0;
  size_t first = page < 1 ? (count - 1) / kPageSize * kPageSize : static_cast<size_t>(page - 1) * kPageSize;
  if (first >= count) first = 0;
  const size_t end = std::min(first + kPageSize, count);
  const int image = conditions.sex == 1 ? 1 : conditions.sex == 2 ? 0 : 2;
  const auto& elementNames = NameTables::Text().ElementNames;

  for (size_t i = first; i < end; ++i) {
    const CandidateRecord& c = ranked[i];
    ResultRow row;
    row.stateImage = image;
    row.caption = IntToStr(static_cast<long long>(i + 1));
    row.columns[0] = c.name;
    for (uint8_t e : c.elements) {
      if (e < elementNames.size()) row.columns[1] += elementNames[e];
    }
    row.columns[2] = T().classWords[std::min<int>(c.talentsClass, 2)];
    for (uint8_t g : c.gridClasses) row.columns[3] += T().classWords[std::min<int>(g, 2)];
    for (uint8_t s : c.strokes) {
      if (s) row.columns[4] += Format("%02d ", s);
    }
    row.columns[5] = Format(T().score.c_str(), c.score);
    view.AddRow(row);
  }
  return static_cast<int>(first / kPageSize) + 1;
}

bool MSearchName::ListGoodStrokeSets(std::string& out) {
  if (!lib.Open(conditions.library)) return Fail(lib.LastError());
  LoadSettings();
  std::vector<uint16_t> strokes, elements;
  if (!SurnameStrokes(strokes, elements)) return false;
  const bool two = conditions.givenLength == 2;
  std::string surname;
  for (size_t i = 0; i < strokes.size(); ++i) {
    if (i) surname += T().wideSpace;
    surname += Format("%s(%d)", std::string(conditions.surname + 2 * i, 2).c_str(), strokes[i]);
  }
  out = Format(T().goodHead.c_str(), std::string(conditions.surname, strokes.size() * 2).c_str()) +
        (two ? T().twoChars : T().oneChar) + T().goodTail;
  const auto n = static_cast<int16_t>(strokes.size() + (two ? 2 : 1));
  strokes.resize(strokes.size() + 2);
  uint16_t* given = strokes.data() + (n - (two ? 2 : 1));
  int line = 0;
  for (int a = 1; a <= kMaxStrokes; ++a) {
    for (int b = 1; b <= (two ? kMaxStrokes : 1); ++b) {
      given[0] = static_cast<uint16_t>(a);
      given[1] = static_cast<uint16_t>(b);
      int16_t grids[5];
      int talents = 0;
      if (!AllGood(single, grids, talents, strokes.data(), n)) continue;
      out += two ? Format(T().goodLine2.c_str(), ++line, surname.c_str(), a, b)
                 : Format(T().goodLine1.c_str(), ++line, surname.c_str(), a);
    }
  }
  if (line == 0) out += T().noneGood;
  return true;
}
