// The report (命稿) of an analysis: birth data, pillars, the chart's powers and
// favourable elements, the name's grids with their readings, and the optional closing
// text. The coloured headings are recorded while the text is built, so the view never
// searches for them.
#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "classlib/Files.h"
#include "classlib/Gbk.h"
#include "classlib/StrUtils.h"
#include "classlib/TStringList.h"
#include "dictionary/Namelibrary.h"
#include "engine/Decname.h"
#include "engine/NameTables.h"
#include "resources/StringTable.h"

namespace {

constexpr uint32_t kBlue = 0x0000FF;
constexpr uint32_t kRed = 0xFF0000;
constexpr int kStatusOrder[5] = {0, 1, 4, 3, 2};

// Our texts are written in UTF-8 and converted where they are used.
using gbk::U;

int Mod5(int x) { return ((x % 5) + 5) % 5; }

// A share in percent; an empty whole gives 0 rather than NaN.
double Percent(double part, double whole) { return whole == 0 ? 0.0 : part * 100.0 / whole; }
double Rest(double p, double whole) { return whole == 0 ? 0.0 : 100.0 - p; }

const std::string& ElementName(int e) { return NameTables::Text().ElementNames[e]; }
// Three-talent numbering 1 木 … 5 水 to the element numbering 0 水 … 4 金.
const std::string& TalentName(int t) { return ElementName(t % 5); }

const char* const kSpecialStructures[] = {
    "曲直格", "炎上格", "稼穑格",     "从革格",     "润下格",     "从财格",     "从杀格",     "从儿格",    "从强格",
    "从旺格", "半壁格", "两神成象格", "甲己化土格", "乙庚化金格", "丙辛化水格", "丁壬化木格", "戊癸化火格"};

std::string PersonNote(int p) {
  auto in = [p](std::initializer_list<int> list) {
    for (int v : list)
      if (v == p) return true;
    return false;
  };
  const char* f = nullptr;
  if (in({3, 5, 6, 11, 13, 15, 16, 21, 23, 24, 25, 31, 32, 35, 37, 41}))
    f = "\n※人格数为%d且与天、地两格关系又好者，多得幸福，所从事的事业，莫不顺利，婚姻十分美满，可谓富贵双全之命。";
  else if (in({4, 9, 10, 14, 19, 20, 22, 34, 44}))
    f = "\n※人格数为%d则为凶数，将暗示你遭逢苦难、挫折，是逆境, 孤寒、疾病乃至非命的凶兆。 ";
  else if (in({7, 8, 17, 18}))
    f = "\n※人格数为%d者、一般意志坚强，能于逆境中成功，惟个性生硬，得罪人多。";
  else if (in({27, 28}))
    f = "\n※人格数为%d者，为人欠谦虚，易染病，易遭谤，事业上亦难有建树。";
  return f ? Format(U(f).c_str(), p) : std::string();
}

}  // namespace

int MDecName::ClimateTextId(int dayStem, int monthBranch) {
  const int s = dayStem == 0 ? 10 : dayStem;  // 甲 1 … 壬 9, 癸 10
  const int k = (monthBranch + 9) % 12;       // 寅 0 … 丑 11
  return 8280 + 20 * s + k;
}

void MDecName::Heading(size_t start, size_t length, uint32_t rgb, bool bold) {
  headings.push_back({start, length, rgb, bold});
}

std::string MDecName::LunarLine() {
  const auto& t = NameTables::Text();
  std::string line = U("出生农历：") + Format(U("%s年").c_str(), calendar.ChineseNumeral(lunarDate.year).c_str());
  std::string month = lunarDate.month == 1
                          ? U(" 正月 ")
                          : Format(U(" %s月 ").c_str(), calendar.ChineseNumeral(lunarDate.month).c_str());
  if (birth.leapMonth) month = U(" 闰") + Trim(month) + " ";
  line += month;
  if (lunarDate.day <= 10) line += U("初");
  line += Format(U("%s日").c_str(), calendar.ChineseNumeral(lunarDate.day).c_str());
  int h = lunarDate.hour;
  if (h % 2 == 1) h = (h + 1) % 24;
  return line + Format(U(" %s时。").c_str(), t.BranchNames[(h / 2 + 1) % 12].c_str());
}

std::string MDecName::SolarLine() {
  const DateRecord& s = solarDate;
  if (settings.iDate == 0)
    return Format(U("\n出生公历：%d年%d月%d日%d时%d分(北京时间)。\n").c_str(), s.year, s.month, s.day, s.hour,
                  s.minute);
  // Whole degrees and minutes; a value that rounds up to 60 minutes carries.
  auto dm = [this](float v, const char* f) {
    int deg = static_cast<int>(std::floor(v));
    int min = static_cast<int>(calendar.ToPrecision((v - deg) * 60.0, 0));
    if (min >= 60) ++deg, min -= 60;
    return Format(U(f).c_str(), deg, min);
  };
  reportText += dm(birth.longitude, "经度:%d度%d分,") + dm(birth.latitude, "纬度:%d度%d分。\n");
  return Format(U("出生公历：%d年%d月%d日%d时%d分").c_str(), s.year, s.month, s.day, s.hour, s.minute) +
         U(settings.iDate == 1 ? "(真太阳时)\r\n" : "(地方时)\r\n");
}

void MDecName::BuildReport() {
  const auto& t = NameTables::Text();
  BuildChart();
  headings.clear();
  reportText = Format(U("姓名：%s  出生地：").c_str(), birth.name);
  const std::string lunar = LunarLine();
  reportText += birth.place;
  const std::string solar = SolarLine();
  reportText += solar + lunar;
  reportText += U(birth.male ? "\n\n乾造" : "\n\n坤造");
  Heading(reportText.size() - 4, 30, kBlue, false);
  auto pillar = [&](const char* f, int p) {
    return Format(f, t.StemNames[p % 10].c_str(), t.BranchNames[p % 12].c_str());
  };
  reportText += pillar("  %4s%s", chart.pillars[0]) + pillar("%4s%s", chart.pillars[1]) +
                pillar("%4s%s", chart.pillars[2]) + pillar("%4s%s\n\n", chart.pillars[3]);
  ChartText();
  const uint8_t* f = chart.favourableElements;
  Heading(reportText.size(), 10, kRed, true);
  reportText += U("姓名评论：从您的生辰八字来看，您的名字中") +
                Format(U("宜有%s、%s，").c_str(), ElementName(f[0]).c_str(), ElementName(f[1]).c_str()) +
                Format(U("不能有%s、%s，").c_str(), ElementName(f[2]).c_str(), ElementName(f[3]).c_str()) +
                U("如此才能平衡先天阴阳五行禀赋，起到扶持个人命运的作用。");
  FiveGridText();
  if (settings.endinfo) AppendEndInfo();
  if (writeToView) WriteReport();
}

void MDecName::ChartText() {
  const auto& t = NameTables::Text();
  const int m = NameTables::BranchElement[chart.pillars[1] % 12];
  double sum = 0;
  for (int16_t v : chart.elementPower) sum += v;

  auto pillar = [&](int i) { return t.StemNames[chart.pillars[i] % 10] + t.BranchNames[chart.pillars[i] % 12]; };
  chartText = U("四柱：") + pillar(0) + "  " + pillar(1) + "  " + pillar(2) + "  " + pillar(3) + "\r\n";

  std::string a = U("※五行个数(计入藏干)："), b = U("  五行个数(不计藏干)："), c = U("五行(计干)：");
  std::string d = U("五行(不计)："), e = U("  五行力量：");
  for (int x = 0; x < 5; ++x) {
    const std::string& state = t.StrengthStates[kStatusOrder[Mod5(x - m)]];
    const char* name = ElementName(x).c_str();
    a += Format(" %d%s%s", chart.elementCountHidden[x], state.c_str(), name);
    b += Format(" %d%s%s", chart.elementCount[x], state.c_str(), name);
    c += Format(" %d%s", chart.elementCountHidden[x], name);
    d += Format(" %d%s", chart.elementCount[x], name);
    e += Format("%s%d(%2.1f%%)  ", name, chart.elementPower[x], Percent(chart.elementPower[x], sum));
  }
  chartText += c + "\r\n" + d + "\r\n";
  std::string part = a + "\r\n" + b + "\r\n" + e + "\r\n";

  const double support = chart.groupPower[0] + chart.groupPower[4];
  const double drain = chart.groupPower[1] + chart.groupPower[2] + chart.groupPower[3];
  const double ps = Percent(support, support + drain);
  part += Format(U("  己生助力量:%d(%2.1f%%)").c_str(), static_cast<int>(support), ps) +
          Format(U("  克泄耗力量:%d(%2.1f%%)。").c_str(), static_cast<int>(drain), Rest(ps, support + drain));
  const double yinYang = chart.yinPower + chart.yangPower;
  const double q = Percent(chart.yinPower, yinYang);
  part += Format(U("  阴气:%d(%2.1f%%)").c_str(), chart.yinPower, q) +
          Format(U("  阳气:%d(%2.1f%%)。\r\n\r\n").c_str(), chart.yangPower, Rest(q, yinYang));
  part += Format(U("※日主综合得分：%d。 ").c_str(), chart.balance);

  const int cls = chart.dayMasterClass;
  const int structure = chart.specialStructure;
  const bool special = settings.biange && structure >= 0 && structure < static_cast<int>(std::size(kSpecialStructures));
  std::string klass;
  if (cls == 0)
    klass = U(special ? "日元极旺，" : "日元极旺，以从旺看，");
  else if (cls == 6)
    klass = U(special ? "日元极弱，" : "日元极弱，以从弱看，");
  else
    klass = Format(U("日元%s，").c_str(), t.DayMasterClasses[cls].c_str());
  if (special) klass += U("命局入") + U(kSpecialStructures[structure]) + U("(以变格论命)，");
  part += klass;
  chartText += klass;

  const uint8_t* f = chart.favourableElements;
  const uint8_t* r = chart.favourableGroups;
  auto group = [&](int i) { return t.TenGodNames[10 + r[i]].c_str(); };
  part += Format(U("喜用%s，%s(%s、%s)。").c_str(), ElementName(f[0]).c_str(), ElementName(f[1]).c_str(), group(0),
                 group(1)) +
          Format(U("忌仇%s，%s(%s、%s)。\r\n").c_str(), ElementName(f[2]).c_str(), ElementName(f[3]).c_str(), group(2),
                 group(3));
  chartText += Format(U("喜用%s，%s").c_str(), ElementName(f[0]).c_str(), ElementName(f[1]).c_str());

  const int dayStem = chart.pillars[2] % 10, monthBranch = chart.pillars[1] % 12;
  std::string s =
      Format(U("  %s%s生于%s月，%s旺、").c_str(), t.StemNames[dayStem].c_str(),
             ElementName(NameTables::StemElement[dayStem]).c_str(), t.BranchNames[monthBranch].c_str(),
             ElementName(m).c_str()) +
      Format(U("%s相、%s休、").c_str(), ElementName(Mod5(m + 1)).c_str(), ElementName(Mod5(m + 4)).c_str()) +
      Format(U("%s囚、%s死。").c_str(), ElementName(Mod5(m + 3)).c_str(), ElementName(Mod5(m + 2)).c_str());
  if (monthBranch >= 6 && monthBranch <= 8) s += U("   生于炎热夏季，八字可适当借水调候。");
  if (monthBranch <= 2) s += U("   生于寒冷冬季，八字可适当借火调候。");
  s += U("\r\n  调候用神：") + LoadStr(ClimateTextId(dayStem, monthBranch)) + "\r\n\r\n";
  reportText += part + s;
}

void MDecName::FiveGridText() {
  const auto& t = NameTables::Text();
  const std::string name = birth.name;
  auto ch = [&](int i) { return name.substr(2 * i, 2); };
  std::string T = "\n" + std::string(79, '-') + "\n";
  Heading(reportText.size() + T.size(), 10, kRed, true);
  T += Format(U("尊姓大名：%s，各字笔画").c_str(), birth.name);
  for (int i = 0; i < charCount; ++i) T += Format(U(i + 1 < charCount ? "%d、" : "%d。\n\n").c_str(), strokes[i]);

  const bool single = singleSurname != 0;
  auto element = [&](int g) { return t.DigitElement[grids[g] % 10].c_str(); };
  T += Format(single ? "    %s    " : "    %s  ", (single ? ch(0) : ch(0) + ch(1)).c_str()) +
       Format(U("天格:%02d(%s)\n").c_str(), grids[0], element(0));
  T += Format("    %s    ", ch(single ? 1 : 2).c_str()) + Format(U("人格:%02d(%s)\n").c_str(), grids[1], element(1));
  const int last = single ? 2 : 3;
  T += (charCount > last ? Format("    %s    ", ch(last).c_str()) : std::string(10, ' ')) +
       Format(U("地格:%02d(%s)\n").c_str(), grids[2], element(2));
  T += Format(U("    总格:%d(%s)").c_str(), grids[3], element(3)) +
       Format(U("    外格:%d(%s)\n\n").c_str(), grids[4], element(4));

  for (int i = 0; i < charCount; ++i) {
    CharRecord rec;
    if (!library.GetCharInfo(ch(i), rec)) continue;
    const int count = settings.iwordlen == 1 ? rec.gbLen : rec.kxLen;
    T += Format(U("【%s】%d画，").c_str(), rec.word.c_str(), count) +
         Format(U("字意：%s（%s）\n").c_str(), rec.nameExp.c_str(), ElementName(std::min<int>(rec.wx, 5)).c_str());
    charElements[i] = rec.wx;
  }
  score = NameScore();
  T += "\n";
  const std::string scoreText = Format(U("姓名综合得分：%02d分").c_str(), score);
  Heading(reportText.size() + T.size(), scoreText.size(), kRed, true);
  T += scoreText + "\n\n";

  for (int g = 0; g < 5; ++g)
    T += Format(U("★%s格%d数理含义：").c_str(), t.GridNames[g].c_str(), grids[g]) +
         LoadStr(NameTables::NumberTextId(grids[g])) + "\n\n";

  const int ht = NameTables::TalentElement(grids[0]), r = NameTables::TalentElement(grids[1]);
  const int d = NameTables::TalentElement(grids[2]), o = NameTables::TalentElement(grids[4]);
  Heading(reportText.size() + T.size(), 16, kRed, true);
  T += Format(U("三才配置[%s%s%s]，对人命的诱导和影响：\n").c_str(), TalentName(ht).c_str(), TalentName(r).c_str(),
              TalentName(d).c_str()) +
       LoadStr(NameTables::TalentTextId(ht, r, d));
  using NameTables::GridRelation;
  T += U("\n\n【基础运】(人格-地格)") + LoadStr(NameTables::GridRelationTextId(GridRelation::Base, r, d));
  T += U("\n【成功运】(天格-人格)") + LoadStr(NameTables::GridRelationTextId(GridRelation::Success, ht, r));
  T += U("\n【社交运】(人格-外格)") + LoadStr(NameTables::GridRelationTextId(GridRelation::Social, r, o));
  T += "\n\n";
  Heading(reportText.size() + T.size(), 10, kBlue, true);
  T += U("附加信息：\n※人格数暗示的性格：") + LoadStr(NameTables::PersonalityTextId(grids[1]));
  T += PersonNote(grids[1]);
  reportText += T + "\n\n";
}

void MDecName::AppendEndInfo() {
  const std::string folder = library.AppDir().empty() ? file::ProgramFolder() : library.AppDir();
  const std::string path = folder + "dat\\EndInfo.txt";
  if (!file::Exists(path)) return;
  TStringList lines;
  if (!lines.LoadFromFile(path)) return;
  for (int i = 0; i < lines.Count(); ++i) reportText += lines[i] + "\n";
}

void MDecName::WriteReport() {
  if (!view) return;
  view->Reset(settings.ileft);
  view->SetText(reportText);
  reportText.clear();
  for (const ReportSpan& h : headings) view->FormatSpan(h.start, h.length, h.rgb, h.bold);
  view->CaretToStart();
}
