#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "dictionary/DictFixture.h"
#include "engine/Decname.h"
#include "engine/NameTables.h"
#include "resources/StringTable.h"

namespace {

std::string U8(const std::string& gbkText) { return gbk::ToUtf8(gbkText); }

bool StartsWith(const std::string& s, const std::string& prefix) { return s.compare(0, prefix.size(), prefix) == 0; }

// Records what the analyser asks of its view.
class FakeView : public ReportView {
 public:
  void Reset(int indent) override { calls.push_back("reset " + std::to_string(indent)); }
  void SetText(const std::string& t) override {
    text = t;
    calls.push_back("text");
  }
  void FormatSpan(size_t start, size_t length, uint32_t rgb, bool bold) override {
    spans.push_back(U8(text.substr(start, length)) + (bold ? " bold " : " ") + std::to_string(rgb));
  }
  void CaretToStart() override { calls.push_back("caret"); }

  std::string text;
  std::vector<std::string> calls;
  std::vector<std::string> spans;
};

class Decreport : public DictFixture {
 protected:
  void SetUp() override {
    CharRecord r[] = {MakeRecord("李", 7, 7, "李树"),  MakeRecord("四", 5, 5, "数目"),
                      MakeRecord("一", 1, 1, "开端"),  MakeRecord("欧", 15, 8, "欧洲"),
                      MakeRecord("阳", 17, 6, "太阳"), MakeRecord("耀", 20, 15, "光耀"),
                      MakeRecord("明", 8, 8, "光明")};
    r[1].wx = 4, r[2].wx = 3, r[3].wx = 3, r[4].wx = 3, r[5].wx = 2, r[6].wx = 2;
    Build("ChiWord.db", {r[0], r[1], r[2], r[3], r[4], r[5], r[6]}, U("李欧阳"));
  }
  void Settings(const std::string& body) {
    ASSERT_TRUE(file::WriteAtomic(tmp.Path("dat\\set.ini"), "[set]\r\n" + body));
  }
  static BirthRecord Birth(const char* name, int hour, int minute = 0) {
    BirthRecord b;
    const std::string n = U(name), p = U("未知地。");
    std::memcpy(b.name, n.data(), std::min<size_t>(n.size(), 9));
    std::memcpy(b.place, p.data(), p.size());
    b.year = 2000, b.month = 1, b.day = 1;
    b.hour = static_cast<int16_t>(hour), b.minute = static_cast<int16_t>(minute);
    return b;
  }
  std::string Report(const BirthRecord& b) {
    MDecName a(lib);
    EXPECT_TRUE(a.Analyse(b)) << U8(a.LastError());
    return U8(a.ReportText());
  }

  MNameLibrary lib{tmp.Dir()};
};

TEST_F(Decreport, OpeningLinesByTimeAndSurname) {
  BirthRecord compound = Birth("欧阳一", 12);
  compound.singleSurname = 0;
  BirthRecord beijing = Birth("李四一", 12);
  beijing.longitude = 116.4f, beijing.latitude = 39.9f;
  struct Case {
    const char* name;
    BirthRecord birth;
    const char* settings;
    const char* opening;
  };
  const Case kCases[] = {
      {"Beijing time", Birth("李四一", 12), "",
       "姓名：李四一  出生地：未知地。\n出生公历：2000年1月1日12时0分(北京时间)。\n"
       "出生农历：一九九九年 十一月 廿五日 午时。\n\n乾造    己卯  丙子  戊午  戊午\n\n"},
      {"female",
       [] {
         BirthRecord b = Birth("李四一", 12);
         b.male = 0;
         return b;
       }(),
       "",
       "姓名：李四一  出生地：未知地。\n出生公历：2000年1月1日12时0分(北京时间)。\n"
       "出生农历：一九九九年 十一月 廿五日 午时。\n\n坤造    己卯  丙子  戊午  戊午\n\n"},
      {"compound surname", compound, "", "姓名：欧阳一  出生地：未知地。\n出生公历：2000年1月1日12时0分(北京时间)。\n"},
      {"local mean time", beijing, "iDate=2\r\n",
       "姓名：李四一  出生地：未知地。经度:116度24分,纬度:39度54分。\n"
       "出生公历：2000年1月1日11时46分(地方时)\r\n出生农历：一九九九年 十一月 廿五日 午时。\n\n乾造"},
      {"true solar time", beijing, "iDate=1\r\n",
       "姓名：李四一  出生地：未知地。经度:116度24分,纬度:39度54分。\n"
       "出生公历：2000年1月1日11时42分(真太阳时)\r\n出生农历：一九九九年 十一月 廿五日 午时。\n\n乾造"},
      {"hour 23 names the next day", Birth("李四一", 23, 30), "",
       "姓名：李四一  出生地：未知地。\n出生公历：2000年1月1日23时30分(北京时间)。\n"
       "出生农历：一九九九年 十一月 廿六日 子时。\n\n乾造    己卯  丙子  己未  甲子\n\n"},
      {"leap month",
       [] {
         BirthRecord b = Birth("李四一", 8);
         b.year = 2001, b.month = 6;
         return b;
       }(),
       "",
       "姓名：李四一  出生地：未知地。\n出生公历：2001年6月1日8时0分(北京时间)。\n"
       "出生农历：二○○一年 闰四月 初十日 辰时。\n\n乾造"},
      {"hour 23 kept on its day", Birth("李四一", 23, 30), "zishi=1\r\n",
       "姓名：李四一  出生地：未知地。\n出生公历：2000年1月1日23时30分(北京时间)。\n"
       "出生农历：一九九九年 十一月 廿五日 子时。\n\n乾造    己卯  丙子  戊午  甲子\n\n"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    Settings(c.settings);
    const std::string r = Report(c.birth);
    EXPECT_TRUE(StartsWith(r, c.opening)) << r.substr(0, 400);
  }
}

TEST_F(Decreport, GridDiagramPlacesTheCharacters) {
  BirthRecord compound = Birth("欧阳一", 12);
  compound.singleSurname = 0;
  struct Case {
    const char* name;
    BirthRecord birth;
    const char* diagram;
  };
  const Case kCases[] = {
      {"single surname, two given", Birth("李四一", 12),
       "尊姓大名：李四一，各字笔画7、5、1。\n\n    李    天格:08(金)\n    四    人格:12(木)\n"
       "    一    地格:06(土)\n    总格:13(火)    外格:2(木)\n\n【李】7画，字意：李树（木）\n"},
      {"single surname, one given", Birth("李四", 12),
       "尊姓大名：李四，各字笔画7、5。\n\n    李    天格:08(金)\n    四    人格:12(木)\n"
       "          地格:06(土)\n"},
      {"compound surname", compound,
       "尊姓大名：欧阳一，各字笔画15、17、1。\n\n    欧阳  天格:32(木)\n    一    人格:18(金)\n"
       "          地格:02(木)\n"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const std::string r = Report(c.birth);
    EXPECT_NE(r.find(std::string(79, '-') + "\n" + c.diagram), std::string::npos) << r;
  }
}

TEST_F(Decreport, ReadingsComeFromTheirKeys) {
  // Keys of the readings as the analyser computes them.
  struct Key {
    const char* name;
    int id, expected;
  };
  const Key kKeys[] = {
      {"three talents 金金土", NameTables::TalentTextId(4, 4, 3), 775},
      {"person grid 8", NameTables::PersonalityTextId(8), 1298},
      {"person grid 20", NameTables::PersonalityTextId(20), 1300},
      {"调候 甲 day, 寅 month", MDecName::ClimateTextId(1, 3), 8300},
      {"调候 癸 day, 丑 month", MDecName::ClimateTextId(0, 2), 8491},
      {"调候 壬 day, 子 month", MDecName::ClimateTextId(9, 1), 8470},
  };
  for (const Key& k : kKeys) {
    SCOPED_TRACE(k.name);
    EXPECT_EQ(k.id, k.expected);
  }
  EXPECT_EQ(U8(LoadStr(8300)), "丙火为主，癸水为佐。");

  // 李四一: 戊 day in a 子 month; grids 8 12 6 13 2; three talents 金木土.
  const std::string r = Report(Birth("李四一", 12));
  const std::string expect[] = {
      "  调候用神：" + U8(LoadStr(MDecName::ClimateTextId(5, 1))) + "\r\n\r\n",
      "★人格12数理含义：" + U8(LoadStr(1212)) + "\n\n",
      "★外格2数理含义：" + U8(LoadStr(1202)) + "\n\n",
      "三才配置[金木土]，对人命的诱导和影响：\n" + U8(LoadStr(715)),
      "【基础运】(人格-地格)" + U8(LoadStr(1813)),
      "【成功运】(天格-人格)" + U8(LoadStr(1891)),
      "【社交运】(人格-外格)" + U8(LoadStr(1911)),
      "※人格数暗示的性格：" + U8(LoadStr(1292)) + "\n\n",
  };
  for (const std::string& e : expect) {
    SCOPED_TRACE(e);
    EXPECT_NE(r.find(e), std::string::npos);
  }
}

TEST_F(Decreport, PersonGridNotes) {
  struct Case {
    const char* name;
    const char* person;
    const char* note;  // empty: none
  };
  const Case kCases[] = {
      {"27 warns of pride", "李耀", "\n※人格数为27者，为人欠谦虚，易染病，易遭谤，事业上亦难有建树。\n\n"},
      {"15 is fortunate", "李明", "\n※人格数为15且与天、地两格关系又好者"},
      {"12 has none", "李四", ""},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const std::string r = Report(Birth(c.person, 12));
    if (*c.note)
      EXPECT_NE(r.find(c.note), std::string::npos) << r.substr(r.find("附加信息"));
    else
      EXPECT_EQ(r.find("※人格数为"), std::string::npos);
  }
}

TEST_F(Decreport, ClosingTextIsAppendedWhenAskedAndPresent) {
  Settings("");
  const std::string plain = Report(Birth("李四一", 12));
  ASSERT_TRUE(plain.size() > 4 && plain.substr(plain.size() - 4) != "\n\n\n\n");
  EXPECT_EQ(plain.substr(plain.size() - 2), "\n\n");

  Settings("endinfo=1\r\n");
  EXPECT_EQ(Report(Birth("李四一", 12)), plain) << "no closing file";

  ASSERT_TRUE(file::WriteAtomic(tmp.Path("dat\\EndInfo.txt"), U("祝您好运。\r\n本报告仅供参考\r\n")));
  EXPECT_EQ(Report(Birth("李四一", 12)), plain + "祝您好运。\n本报告仅供参考\n");

  Settings("endinfo=0\r\n");
  EXPECT_EQ(Report(Birth("李四一", 12)), plain) << "file present, setting off";
}

TEST_F(Decreport, ViewGetsTextHeadingsAndCaretOnlyWhenAsked) {
  Settings("ileft=12\r\n");
  FakeView view;
  MDecName a(lib);
  a.SetView(&view);
  ASSERT_TRUE(a.Analyse(Birth("李四一", 12)));
  EXPECT_TRUE(view.calls.empty());
  const std::string built = a.ReportText();
  EXPECT_FALSE(built.empty());

  a.writeToView = true;
  a.BuildReport();
  EXPECT_EQ(view.text, built);
  EXPECT_TRUE(a.ReportText().empty());
  EXPECT_EQ(view.calls, (std::vector<std::string>{"reset 12", "text", "caret"}));
  const std::vector<std::string> spans = {"乾造    己卯  丙子  戊午  戊午 255", "姓名评论： bold 16711680",
                                          "尊姓大名： bold 16711680",           "姓名综合得分：71分 bold 16711680",
                                          "三才配置[金木土] bold 16711680",     "附加信息： bold 255"};
  EXPECT_EQ(view.spans, spans);
}

TEST_F(Decreport, ChartSectionAndSummary) {
  MDecName a(lib);
  ASSERT_TRUE(a.Analyse(Birth("李四一", 12)));
  EXPECT_EQ(U8(a.ChartSummary()),
            "四柱：己卯  丙子  戊午  戊午\r\n五行(计干)： 1水 1木 3火 5土 0金\r\n五行(不计)： 1水 1木 3火 3土 0金\r\n"
            "日元偏旺，喜用水，金");
  const std::string r = U8(a.ReportText());
  EXPECT_NE(r.find("  五行力量：水60(24.1%)  木45(18.1%)  火51(20.5%)  土93(37.3%)  金0(0.0%)  \r\n"
                   "  己生助力量:144(57.8%)  克泄耗力量:105(42.2%)。  阴气:172(69.1%)  阳气:77(30.9%)。\r\n\r\n"
                   "※日主综合得分：103。 日元偏旺，喜用水，金(财星、食伤)。忌仇土，火(比劫、印枭)。\r\n"
                   "  戊土生于子月，水旺、木相、金休、土囚、火死。   生于寒冷冬季，八字可适当借火调候。\r\n"),
            std::string::npos)
      << r;
}

TEST_F(Decreport, EmptyPowersPrintZeroPercent) {
  MDecName a(lib);
  ASSERT_TRUE(a.Analyse(Birth("李四一", 12)));
  FavourableRecord none;
  a.GetDayMaster(none);
  for (int16_t& s : none.tenGodScores) s = 0;
  a.SetFavourable(none);
  const std::string r = U8(a.ReportText());
  EXPECT_EQ(r.find("nan"), std::string::npos);
  EXPECT_EQ(r.find("inf"), std::string::npos);
  EXPECT_NE(r.find("己生助力量:0(0.0%)  克泄耗力量:0(0.0%)。"), std::string::npos) << r.substr(0, 800);
}

}  // namespace
