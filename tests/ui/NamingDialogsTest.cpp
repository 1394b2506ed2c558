// The naming dialogs driven as a user does: the conditions dialog's checks keep it open
// and only a good "起名" writes the conditions; the radical picker's limit; the
// favourable-element dialog's labels and score checks; and the list helpers the
// naming page's search and export rest on.
#include <gtest/gtest.h>

#include "classlib/Files.h"
#include "classlib/Gbk.h"
#include "classlib/StrUtils.h"
#include "support/Gui.h"
#include "support/ShippedFolder.h"
#include "ui/ModalDriver.h"
#include "ui/Untcontaintext.h"
#include "ui/Untmain.h"
#include "ui/Untpianpang.h"
#include "ui/Untsyong.h"
#include "ui/Usetname.h"

namespace {

using gbk::U;

void Press(TButton* b) { PostMessageW(b->Handle(), BM_CLICK, 0, 0); }

template <class Form>
Form* OpenForm(const char* cls) {
  HWND h = gui::WaitTopWindow(GetCurrentProcessId(), cls, "", 50);
  return h && IsWindowVisible(h) ? dynamic_cast<Form*>(TControl::FromHandle(h)) : nullptr;
}

CandidateRecord Candidate(const char* utf8Name, int16_t score) {
  CandidateRecord c;
  ::SetText(c.name, U(utf8Name));
  c.score = score;
  return c;
}

TEST(NamingHelpers, WholeCharactersOnly) {
  // 中文 is D6D0 CEC4; its middle bytes D0CE are a character of their own.
  const std::string zhongwen = "\xD6\xD0\xCE\xC4", straddle = "\xD0\xCE";
  struct Row {
    std::string text, ch;
    bool found;
  };
  const Row rows[] = {
      {zhongwen, "\xD6\xD0", true}, {zhongwen, "\xCE\xC4", true}, {zhongwen, straddle, false},
      {"a" + zhongwen, "a", true},  {zhongwen, "", false},        {"", "\xD6\xD0", false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(gbk::ToUtf8(r.text) + " / " + gbk::ToUtf8(r.ch));
    EXPECT_EQ(HasWholeChar(r.text, r.ch), r.found);
  }

  MSearchName names(WordLib, nullptr);
  names.InsertSorted(Candidate("李中文", 90));
  names.InsertSorted(Candidate("李文中", 80));
  EXPECT_TRUE(FindNameHits(names, straddle).empty());
  EXPECT_EQ(FindNameHits(names, "\xCE\xC4"), (std::vector<int32_t>{0, 1}));
  EXPECT_EQ(FindNameHits(names, "\xD6\xD0\xCE\xC4"), (std::vector<int32_t>{0}));
}

TEST(NamingHelpers, FirstHitOnThePageShown) {
  const std::vector<int32_t> hits = {3, 499, 500, 1200};
  struct Row {
    int page;
    size_t count;
    int expected;
  };
  const Row rows[] = {{1, 1300, 0}, {2, 1300, 2}, {3, 1300, 3}, {0, 1300, -1}, {3, 1100, -1}};
  for (const Row& r : rows) {
    SCOPED_TRACE("page " + std::to_string(r.page) + " of " + std::to_string(r.count));
    EXPECT_EQ(FirstHitOnPage(hits, r.page, r.count), r.expected);
  }
  EXPECT_EQ(FirstHitOnPage({}, 1, 10), -1);
}

TEST(NamingHelpers, ExportPadsEachFieldToItsWidth) {
  const std::string w = U("　");
  EXPECT_EQ(PadField("12", 6, " "), "12    ");
  EXPECT_EQ(PadField(U("李中文"), 12, w), U("李中文") + w + w + w);
  EXPECT_EQ(PadField(U("李中文"), 5, w), U("李中文"));

  MSearchName names(WordLib, nullptr);
  CandidateRecord c = Candidate("李中文", 88);
  c.talentsClass = 2;
  uint8_t elements[4] = {1, 2, 10, 10}, grids[5] = {2, 2, 1, 0, 2}, strokes[4] = {7, 4, 0, 0};
  std::copy(elements, elements + 4, c.elements);
  std::copy(grids, grids + 5, c.gridClasses);
  std::copy(strokes, strokes + 4, c.strokes);
  names.InsertSorted(c);
  std::string text = ExportText(names);
  EXPECT_EQ(text.find(U("共有姓名1个。\r\n\r\n\r\n")), 0u);
  std::string line = "1     " + U("李中文") + w + w + w + U("木火") + w + w + w + w + U("吉") + w + w + w +
                     U("吉吉平凶吉") + w + w + "07 04 " + w + w + w + w + "88\r\n\r\n";
  EXPECT_NE(text.find(line), std::string::npos) << gbk::ToUtf8(text);
  EXPECT_EQ(ExportText(MSearchName(WordLib, nullptr)).find(U("共有姓名0个")), 0u);
}

TEST(NamingHelpers, ContainTextRowsAreOneAndAHalfFontHeights) {
  EXPECT_EQ(ContainTextRowHeight(9, 96), 18);   // 12 px
  EXPECT_EQ(ContainTextRowHeight(10, 96), 19);  // 13 px, the half dropped
  EXPECT_EQ(ContainTextRowHeight(9, 120), 22);  // 15 px
}

TEST(SetYong, TenGodStemsFollowTheDayStemsPolarity) {
  struct Row {
    int16_t day, k, stem;
  };
  // Stems: 0 癸 1 甲 2 乙 3 丙 4 丁 ... 9 壬.
  const Row rows[] = {{3, 0, 3}, {3, 1, 4}, {3, 2, 5}, {4, 0, 4}, {4, 1, 3}, {4, 3, 5}, {0, 1, 9}, {1, 9, 0}};
  for (const Row& r : rows) {
    SCOPED_TRACE("day " + std::to_string(r.day) + " god " + std::to_string(r.k));
    EXPECT_EQ(TFrmSetYong::TenGodStem(r.day, r.k), r.stem);
    EXPECT_EQ(TFrmSetYong::TenGodStem(r.day, r.k), MDecName::TenGodStem(r.day, r.k));
  }
}

class NamingDialogs : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Title = "Riveri 3.5";
    AppDir = ShippedFolder();
    WordLib.SetProgramFolder(AppDir);
    ASSERT_TRUE(WordLib.Open(0)) << WordLib.LastError();
    ::SetText(c.surname, U("李"));
    c.givenLength = 2;
    c.sex = 1;
    c.elementMask = 0b00110;
    c.talentsGood = 1;
  }
  TApplication app;
  NamingConditions c;
};

TEST_F(NamingDialogs, SetNameChecksKeepItOpenAndOnlyAGoodStartWrites) {
  TFrmSetName dlg(Application);
  dlg.conditions = &c;
  std::string box1, box2, box3;
  bool disabledAtStart = true, enabledForOrdinary = false;
  modal::Driver d({[&] {
                     disabledAtStart = !dlg.ChkNumber->Enabled() && !dlg.EdtOneWord->Enabled();
                     gui::SaveScreenshot(dlg.Handle(), gui::ScreenshotPath("setname.png"));
                     dlg.CboFormula->SetItemIndex(2);
                     dlg.CboFormulaClick(nullptr);
                     enabledForOrdinary = dlg.ChkNumber->Enabled() && dlg.EdtOneWord->Enabled();
                     dlg.CboCharset->SetItemIndex(1);
                     dlg.CboCharsetChange(nullptr);
                     gui::SetText(dlg.LedtXing->Handle(), "  ");
                     Press(dlg.BitBtn1);
                     return true;
                   },
                   modal::Answer(U("提示"), IDOK, box1),
                   [&] {
                     gui::SetText(dlg.LedtXing->Handle(), U("王"));
                     dlg.RdoNameLen->SetItemIndex(0);
                     gui::SetText(dlg.EdtOneWord->Handle(), U("明"));
                     Press(dlg.BitBtn1);
                     return true;
                   },
                   modal::Answer("", IDOK, box2),
                   [&] {
                     gui::SetText(dlg.EdtOneWord->Handle(), "ab");
                     Press(dlg.BitBtn1);
                     return true;
                   },
                   modal::Answer("", IDOK, box3),
                   [&] {
                     gui::SetText(dlg.EdtOneWord->Handle(), U("明"));
                     gui::SetText(dlg.EdtExclude->Handle(), U(" 刚强 "));
                     dlg.CBoxWuXing->SetChecked(4, true);
                     dlg.RdoJiWord->SetItemIndex(1);
                     Press(dlg.BitBtn1);
                     return true;
                   }});
  ASSERT_EQ(dlg.ShowModal(), mrOk);
  EXPECT_TRUE(disabledAtStart);
  EXPECT_TRUE(enabledForOrdinary);
  EXPECT_EQ(box1, U("请输入您的姓氏"));
  EXPECT_EQ(box2, U("必须是二字名，才能指定名字的第一字！"));
  EXPECT_EQ(box3, U("找不到这个输入的字符的笔画数！"));
  EXPECT_EQ(FieldText(c.surname), U("王"));
  EXPECT_EQ(c.givenLength, 2);  // switched by the second check
  EXPECT_EQ(c.sex, 3);          // the whole dictionary chose "不区分"
  EXPECT_EQ(c.elementMask, 0b10110);
  EXPECT_EQ(c.allowBadChars, 1);
  EXPECT_EQ(c.formula, 2);
  EXPECT_EQ(c.charset, 1);
  EXPECT_EQ(FieldText(c.firstChar), U("明"));
  EXPECT_EQ(FieldText(c.excluded), U("刚强"));
}

TEST_F(NamingDialogs, CancelWritesNothingButTheRadicalsPicked) {
  TFrmSetName dlg(Application);
  dlg.conditions = &c;
  std::string tooMany;
  int itemCount = 0;
  size_t twenty = 0;
  modal::Driver d({[&] {
                     gui::SetText(dlg.LedtXing->Handle(), U("王"));
                     Press(dlg.BtoPian);
                     return true;
                   },
                   [&] {  // twenty radicals fit
                     auto* p = OpenForm<TFrmPianPang>("TFrmPianPang");
                     if (!p) return false;
                     itemCount = p->ChkPian->Items().Count();
                     for (int i = 0; i < 20 && i < itemCount; ++i) p->ChkPian->SetChecked(i, true);
                     gui::SaveScreenshot(p->Handle(), gui::ScreenshotPath("pianpang.png"));
                     Press(p->BitBtn1);
                     return true;
                   },
                   [&] {
                     if (OpenForm<TFrmPianPang>("TFrmPianPang")) return false;
                     twenty = FieldText(c.radicals).size();
                     Press(dlg.BtoPian);
                     return true;
                   },
                   [&] {  // all of them do not
                     auto* p = OpenForm<TFrmPianPang>("TFrmPianPang");
                     if (!p) return false;
                     p->ChkAll->SetChecked(true);
                     p->ChkAllClick(nullptr);
                     Press(p->BitBtn1);
                     return true;
                   },
                   modal::Answer("", IDOK, tooMany),
                   [&] {
                     if (OpenForm<TFrmPianPang>("TFrmPianPang")) return false;
                     Press(dlg.BitBtn2);
                     return true;
                   }});
  EXPECT_EQ(dlg.ShowModal(), mrCancel);
  ASSERT_GT(itemCount, 20);
  EXPECT_EQ(twenty, 40u);
  EXPECT_EQ(tooMany, U("偏旁选择过多，只能最多选择20个偏旁！"));
  EXPECT_EQ(FieldText(c.radicals), "");
  EXPECT_EQ(FieldText(c.surname), U("李"));
}

TEST_F(NamingDialogs, PickerTicksTheSelectionAndReturnsTheTicked) {
  TFrmPianPang p(Application);
  std::string radicals = WordLib.GetRadicals();
  ASSERT_GE(radicals.size(), 6u);
  p.selection = radicals.substr(2, 2) + radicals.substr(4, 2);
  std::vector<bool> ticks;
  modal::Driver d({[&] {
    for (int i = 0; i < 4; ++i) ticks.push_back(p.ChkPian->Checked(i));
    p.ChkPian->SetChecked(0, true);
    p.ChkPian->SetChecked(4, false);
    Press(p.BitBtn1);
    return true;
  }});
  ASSERT_EQ(p.ShowModal(), mrYes);
  EXPECT_EQ(ticks, (std::vector<bool>{false, true, true, false}));
  EXPECT_EQ(p.selection, radicals.substr(0, 6));
}

TEST_F(NamingDialogs, SetYongLabelsAndScoreChecks) {
  TFrmSetYong dlg(Application);
  dlg.favourable.dayStem = 3;  // 丙
  for (int k = 0; k < 10; ++k) dlg.favourable.tenGodScores[k] = 10;
  dlg.favourable.roles[0] = 4;
  dlg.favourable.dayMasterClass = 3;
  std::string labels[3], yongItem, badNumber, lowSum;
  auto setScores = [&](int first, int others) {
    for (int k = 0; k < 10; ++k) gui::SetText(dlg.Ledt[k]->Handle(), IntToStr(k == 0 ? first : others));
  };
  modal::Driver d({[&] {
                     for (int k = 0; k < 3; ++k) labels[k] = dlg.Ledt[k]->EditLabel()->Text();
                     yongItem = dlg.RdoYong->Item(dlg.RdoYong->ItemIndex());
                     gui::SaveScreenshot(dlg.Handle(), gui::ScreenshotPath("setyong.png"));
                     setScores(-1, 4);
                     Press(dlg.BitBtn2);
                     return true;
                   },
                   modal::Answer(U("分数无效"), IDOK, badNumber),
                   [&] {
                     setScores(0, 4);
                     gui::SetText(dlg.Ledt[9]->Handle(), "3");  // 35
                     Press(dlg.BitBtn2);
                     return true;
                   },
                   modal::Answer(U("分数无效"), IDOK, lowSum),
                   [&] {
                     gui::SetText(dlg.Ledt[9]->Handle(), "4");  // 36
                     dlg.RdoYong->SetItemIndex(1);
                     dlg.RdoRi->SetItemIndex(6);
                     Press(dlg.BitBtn2);
                     return true;
                   }});
  ASSERT_EQ(dlg.ShowModal(), mrOk);
  EXPECT_EQ(labels[0], U("比肩丙火"));
  EXPECT_EQ(labels[1], U("劫财丁火"));
  EXPECT_EQ(labels[2], U("食神戊土"));
  EXPECT_EQ(yongItem, U("印枭-木"));
  EXPECT_EQ(badNumber, U("请输入0至999之间的数"));
  EXPECT_EQ(lowSum, U("十神之和不能小于36"));
  EXPECT_EQ(dlg.favourable.tenGodScores[0], 0);
  EXPECT_EQ(dlg.favourable.tenGodScores[9], 4);
  EXPECT_EQ(dlg.favourable.roles[0], 1);
  EXPECT_EQ(dlg.favourable.dayMasterClass, 6);
}

TEST_F(NamingDialogs, SetYongOfAYinDayStemSwapsThePair) {
  TFrmSetYong dlg(Application);
  dlg.favourable.dayStem = 4;  // 丁
  std::string first, second;
  modal::Driver d({[&] {
    first = dlg.Ledt[0]->EditLabel()->Text();
    second = dlg.Ledt[1]->EditLabel()->Text();
    Press(dlg.BitBtn1);
    return true;
  }});
  EXPECT_EQ(dlg.ShowModal(), mrCancel);
  EXPECT_EQ(first, U("比肩丁火"));
  EXPECT_EQ(second, U("劫财丙火"));
}

TEST_F(NamingDialogs, ContainTextAsksForAChoice) {
  TFrmContainText dlg(Application);
  dlg.LstName->Items().Add(U("李中文"));
  dlg.LstName->Items().Add(U("李文中"));
  std::string box;
  modal::Driver d({[&] {
                     gui::SaveScreenshot(dlg.Handle(), gui::ScreenshotPath("containtext.png"));
                     dlg.LstName->SetItemIndex(-1);
                     Press(dlg.BitBtn1);
                     return true;
                   },
                   modal::Answer("", IDOK, box),
                   [&] {
                     dlg.LstName->SetItemIndex(1);
                     Press(dlg.BitBtn1);
                     return true;
                   }});
  ASSERT_EQ(dlg.ShowModal(), mrOk);
  EXPECT_EQ(box, U("请选择一个姓名！"));
  EXPECT_EQ(dlg.LstName->ItemIndex(), 1);
}

}  // namespace
