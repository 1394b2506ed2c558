// The naming page in the main window, driven as a user does: birth data, conditions,
// a run listed best first in pages of 500, search, a chosen name on the side panel and
// on the analysis page, export, Stop during a long run; the favourable-element dialog
// rewriting the report; and the company page.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

#include "classlib/ExtCtrls.h"
#include "classlib/Files.h"
#include "classlib/Gbk.h"
#include "classlib/StrUtils.h"
#include "classlib/TIniFile.h"
#include "engine/NameTables.h"
#include "support/Gui.h"
#include "support/ProgramCopy.h"
#include "support/TempFolder.h"
#include "ui/ModalDriver.h"
#include "ui/Uinput.h"
#include "ui/Untcontaintext.h"
#include "ui/Untmain.h"
#include "ui/Untsyong.h"
#include "ui/Usetname.h"

namespace {

using Clock = std::chrono::steady_clock;

using gbk::U;

void Press(TButton* b) { PostMessageW(b->Handle(), BM_CLICK, 0, 0); }

// A click of the user's hand at the button's centre.
void ClickAt(TButton* b) {
  RECT r;
  GetClientRect(b->Handle(), &r);
  gui::MouseClick(b->Handle(), {r.right / 2, r.bottom / 2});
}

// Enter typed into the search box, handled by the program's own message loop.
void EnterInSearch(TFrmMain& f) {
  gui::PressKey(f.EdtInText->Handle(), VK_RETURN);
  for (int i = 0; i < 10; ++i) {
    Application->ProcessMessages();
    Sleep(10);
  }
}

template <class Form>
Form* OpenForm(const char* cls) {
  HWND h = gui::WaitTopWindow(GetCurrentProcessId(), cls, "", 50);
  return h && IsWindowVisible(h) ? dynamic_cast<Form*>(TControl::FromHandle(h)) : nullptr;
}

long Ms(Clock::duration d) {
  return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(d).count());
}

class NamingPage : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    app = new TApplication;
    Application->Title = "Riveri 3.5";
    folder = new ProgramCopy;
    FrmMain = new TFrmMain(Application, folder->Dir());
    FrmMain->Show();
    FrmMain->SetClientSize(980, 640);
    gui::Pump(200);
  }
  static void TearDownTestSuite() {
    delete FrmMain;
    FrmMain = nullptr;
    delete app;
    delete folder;
  }

  // "输入生日" with a fixed birth, then the conditions `configure` sets, then the run,
  // started by a real click on "确定" when `click`; `during` is a step while the run goes
  // on. The time from the click to the end of the run.
  static long Run(const std::function<void(TFrmSetName&)>& configure, std::function<bool()> during = {},
                  bool click = false) {
    TFrmMain& f = *FrmMain;
    f.birth.year = 2020;
    f.birth.month = 5;
    f.birth.day = 17;
    f.birth.hour = 9;
    f.birth.minute = 30;
    f.birth.male = 1;
    f.birth.singleSurname = 1;
    ::SetText(f.birth.name, U("李名字"));
    Clock::time_point started{};
    std::vector<std::function<bool()>> steps = {[] {
                                                  auto* in = OpenForm<TFrmInput>("TFrmInput");
                                                  if (!in) return false;
                                                  Press(in->BitBtn1);
                                                  return true;
                                                },
                                                [&] {
                                                  auto* dlg = OpenForm<TFrmSetName>("TFrmSetName");
                                                  if (!dlg) return false;
                                                  configure(*dlg);
                                                  started = Clock::now();
                                                  if (click)
                                                    ClickAt(dlg->BitBtn1);
                                                  else
                                                    Press(dlg->BitBtn1);
                                                  return true;
                                                }};
    if (during) steps.push_back(during);
    // A whole run takes some tens of milliseconds: a step during it must not wait long.
    modal::Driver d(steps, during ? 10 : 100);
    f.BtoInput2Click(nullptr);
    return Ms(Clock::now() - started);
  }

  // The typical run: a boy, wood and fire, auspicious characters only.
  static void EnsureTypicalRun() {
    if (typicalRan) return;
    typicalMs = Run([](TFrmSetName& dlg) {
      dlg.RdoSex->SetItemIndex(0);
      for (int i = 0; i < 5; ++i) dlg.CBoxWuXing->SetChecked(i, i == 1 || i == 2);
      dlg.RdoJiWord->SetItemIndex(0);
      gui::SaveScreenshot(dlg.Handle(), gui::ScreenshotPath("naming-conditions.png"));
    });
    typicalRan = true;
    std::printf("typical run: %ld ms, %zu names\n", typicalMs, FrmMain->generator->Count());
  }

  static TApplication* app;
  static ProgramCopy* folder;  // the main window's program folder
  static bool typicalRan;
  static long typicalMs;
};

TApplication* NamingPage::app = nullptr;
ProgramCopy* NamingPage::folder = nullptr;
bool NamingPage::typicalRan = false;
long NamingPage::typicalMs = 0;

TEST_F(NamingPage, ARunListsNamesBestFirstInPagesOf500) {
  EnsureTypicalRun();
  TFrmMain& f = *FrmMain;
  const MSearchName& g = *f.generator;
  const NamingConditions& c = g.Conditions();
  EXPECT_EQ(c.sex, 1);
  EXPECT_EQ(c.elementMask, 0b00110);
  EXPECT_EQ(c.allowBadChars, 0);
  ASSERT_GT(g.Count(), 0u);
  for (size_t i = 1; i < g.Count(); ++i) ASSERT_GE(g.Candidate(i - 1).score, g.Candidate(i).score) << i;
  ASSERT_EQ(f.LstName->Count(), static_cast<int>(std::min<size_t>(g.Count(), 500)));
  EXPECT_EQ(f.LstName->ItemText(0, 0), "1");
  EXPECT_EQ(f.LstName->ItemText(0, 1), g.Candidate(0).name);
  EXPECT_EQ(f.TxtInfo->Text(), Format(U("找到：%d个姓名").c_str(), static_cast<int>(g.Count())));
  EXPECT_FALSE(f.PanStop->Visible());
  EXPECT_TRUE(f.BtoSet->Enabled());
  EXPECT_TRUE(f.BtoInput2->Enabled());
  EXPECT_EQ(f.StaticName->Text(), " " + U("李") + " ");
  EXPECT_NE(f.MeoFormula->Text().find(U("★起名附加提示★")), std::string::npos);
  EXPECT_EQ(f.RedtName2->Text().substr(0, 40), g.Listing().substr(0, 40));

  int last = static_cast<int>((g.Count() - 1) / 500 + 1);
  f.Button5Click(nullptr);
  EXPECT_EQ(f.currentPage, last > 1 ? 2 : 1);
  if (last > 1) {
    EXPECT_EQ(f.LstName->ItemText(0, 0), "501");
  }
  f.PageControl1->SetActivePageIndex(1);
  gui::Pump(200);
  gui::SaveScreenshot(f.Handle(), gui::ScreenshotPath("naming-after-run.png"));
  f.Button4Click(nullptr);
  EXPECT_EQ(f.currentPage, 1);
  f.Button4Click(nullptr);  // before the first page: the last
  EXPECT_EQ(f.currentPage, last);
  f.Button5Click(nullptr);  // past the last: the first
  EXPECT_EQ(f.currentPage, 1);
}

// At the window's shipped size the list's columns show their headers and the page's
// texts whole (the list leaves about 6 pixels beside a text), side by side.
TEST_F(NamingPage, ListColumnsShowTheirTextsWholeAtTheShippedSize) {
  EnsureTypicalRun();
  TFrmMain& f = *FrmMain;
  ASSERT_GT(f.LstName->Count(), 0);
  f.SetClientSize(760, 520);
  f.PageControl1->SetActivePageIndex(1);
  gui::Pump(200);
  HWND list = f.LstName->Handle();
  auto textWidth = [&](const std::string& text) {
    const std::wstring w = gbk::ToWide(text);
    return static_cast<int>(SendMessageW(list, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(w.c_str())));
  };
  int total = 0;
  for (int c = 0; c < 7; ++c) {
    wchar_t caption[64] = {};
    LVCOLUMNW col{};
    col.mask = LVCF_TEXT;
    col.pszText = caption;
    col.cchTextMax = 64;
    ASSERT_TRUE(SendMessageW(list, LVM_GETCOLUMNW, c, reinterpret_cast<LPARAM>(&col)));
    const std::string header = gbk::FromWide(caption);
    SCOPED_TRACE(gbk::ToUtf8(header));
    const int width = static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, c, 0));
    total += width;
    EXPECT_GE(width, textWidth(header) + 12);
    int widest = 0;
    for (int row = 0; row < f.LstName->Count(); ++row)
      widest = std::max(widest, textWidth(f.LstName->ItemText(row, c)));
    EXPECT_GE(width, widest + 12);
  }
  RECT client;
  GetClientRect(list, &client);
  EXPECT_LE(total, client.right) << "all columns side by side";
  gui::SaveScreenshot(f.Handle(), gui::ScreenshotPath("naming-760x520.png"));
  f.SetClientSize(980, 640);
  gui::Pump(100);
}

TEST_F(NamingPage, SearchSelectsHitsAndWrapsBetweenThem) {
  EnsureTypicalRun();
  TFrmMain& f = *FrmMain;
  const MSearchName& g = *f.generator;
  std::string given = std::string(g.Candidate(0).name).substr(2, 2);
  gui::SetText(f.EdtInText->Handle(), given);
  EnterInSearch(f);
  std::vector<int32_t> expected = FindNameHits(g, given);
  ASSERT_EQ(f.hits, expected);
  int n = static_cast<int>(expected.size());
  EXPECT_EQ(f.BtoInPrev->Text(), "1 <<<");
  EXPECT_EQ(f.BtoInNext->Text(), Format(">>> %d", n));
  EXPECT_EQ(f.LstName->ItemIndex(), 0);
  EXPECT_EQ(f.Stxt[0]->Text() + f.Stxt[2]->Text() + f.Stxt[3]->Text(), g.Candidate(0).name);

  f.BtoInPrevClick(nullptr);  // from the first hit to the last
  int v = expected.back();
  EXPECT_EQ(f.hitIndex, n - 1);
  EXPECT_EQ(f.currentPage, v / 500 + 1);
  EXPECT_EQ(f.LstName->ItemIndex(), v % 500);
  EXPECT_EQ(f.BtoInNext->Text(), Format(">>> %d", n));  // moving keeps the captions
  f.BtoInNextClick(nullptr);
  EXPECT_EQ(f.currentPage, 1);
  EXPECT_EQ(f.LstName->ItemIndex(), 0);

  int listed = 0;
  modal::Driver pick({[&] {
    auto* dlg = OpenForm<TFrmContainText>("TFrmContainText");
    if (!dlg) return false;
    listed = dlg->LstName->Items().Count();
    dlg->LstName->SetItemIndex(listed - 1);
    Press(dlg->BitBtn1);
    return true;
  }});
  f.Button6Click(nullptr);  // "名": the hits to choose from
  EXPECT_EQ(listed, n);
  EXPECT_EQ(f.hitIndex, n - 1);
  EXPECT_EQ(f.LstName->ItemIndex(), v % 500);
  // The chosen hit shows a row or two below the top, where the list can scroll so far.
  const auto rowsBelowTop = v % 500 - f.LstName->Perform(LVM_GETTOPINDEX);
  const auto perPage = f.LstName->Perform(LVM_GETCOUNTPERPAGE);
  if (v % 500 >= 2 && v % 500 + perPage < f.LstName->Count()) {
    EXPECT_GE(rowsBelowTop, 1);
    EXPECT_LE(rowsBelowTop, 2);
  }
  std::printf("the chosen hit, row %d, shows %d rows below the top\n", v % 500, static_cast<int>(rowsBelowTop));

  std::string box;
  {
    modal::Driver d({modal::Answer("", IDOK, box)});
    gui::SetText(f.EdtInText->Handle(), "ZZ");
    EnterInSearch(f);
  }
  EXPECT_EQ(box, U("没有包含输入文字的姓名！"));
  EXPECT_TRUE(f.hits.empty());
  gui::SetText(f.EdtInText->Handle(), given);
  EnterInSearch(f);
  gui::SetText(f.EdtInText->Handle(), " ");
  EnterInSearch(f);
  EXPECT_TRUE(f.hits.empty());
  EXPECT_EQ(f.BtoInPrev->Text(), "0 <<<");
  EXPECT_EQ(f.BtoInNext->Text(), ">>> 0");
}

TEST_F(NamingPage, AChosenNameFillsThePanelAndDecodesOnTheAnalysisPage) {
  EnsureTypicalRun();
  TFrmMain& f = *FrmMain;
  f.ShowNamePage(1 - f.currentPage, false);
  f.LstName->SetItemIndex(2);
  std::string name = f.LstName->ItemText(2, 1);
  std::string report2 = f.RedtName2->Text();
  f.LstNameClick(nullptr);
  std::string shown;
  for (TLabel* box : f.Stxt)
    if (box->Visible()) shown += box->Text();
  EXPECT_EQ(shown, name);
  EXPECT_NE(f.StxtScore->Text().find(U("分")), std::string::npos);
  EXPECT_EQ(f.RedtName2->Text(), report2);  // the listing stays

  f.N13Click(nullptr);  // "复制姓名"
  std::string copied;
  if (OpenClipboard(nullptr)) {
    if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
      copied = gbk::FromWide(static_cast<const wchar_t*>(GlobalLock(h)));
      GlobalUnlock(h);
    }
    CloseClipboard();
  }
  EXPECT_EQ(copied, name);

  f.sBtoDecNameClick(nullptr);
  EXPECT_EQ(f.PageControl1->ActivePageIndex(), 0);
  EXPECT_EQ(Trim(f.LedtName->Text()), name);
  EXPECT_EQ(FieldText(f.birth.name), name);
  EXPECT_TRUE(f.chartValid);
  EXPECT_NE(f.RedtName->Text().find(name.substr(2)), std::string::npos);
}

TEST_F(NamingPage, ExportWritesEveryNameAndNeverOverwrites) {
  EnsureTypicalRun();
  TFrmMain& f = *FrmMain;
  const MSearchName& g = *f.generator;
  TempFolder tmp;
  std::string path = tmp.Path("names.txt"), saved, refused;
  {
    modal::Driver d({modal::Answer("", IDOK, saved)});
    ASSERT_TRUE(f.ExportNames(path));
  }
  EXPECT_EQ(saved, U("已经保存到：") + path);
  std::string text;
  ASSERT_TRUE(file::ReadAll(path, text));
  EXPECT_EQ(text.find(Format(U("共有姓名%d个。").c_str(), static_cast<int>(g.Count()))), 0u);
  size_t at = 0;
  for (size_t i = 0; i < g.Count(); ++i) {
    at = text.find(PadField(IntToStr(static_cast<long long>(i + 1)), 6, " ") + g.Candidate(i).name, at);
    ASSERT_NE(at, std::string::npos) << i;
  }
  {
    modal::Driver d({modal::Answer("", IDOK, refused)});
    EXPECT_FALSE(f.ExportNames(path));
  }
  EXPECT_EQ(refused, U("已经有同名文件，请另外起个文件名！"));
  std::string again;
  ASSERT_TRUE(file::ReadAll(path, again));
  EXPECT_EQ(again, text);
}

TEST_F(NamingPage, FavourableDialogRewritesTheReportWithTheChoice) {
  TFrmMain& f = *FrmMain;
  std::string refused;
  f.chartValid = false;
  {
    modal::Driver d({modal::Answer(U("排盘"), IDOK, refused)});
    f.SbtoSetClick(nullptr);
  }
  EXPECT_EQ(refused, U("请先排一个正确的盘"));

  f.LedtName->SetText(U("李四一"));
  f.BtnPaiClick(nullptr);
  ASSERT_TRUE(f.chartValid);
  std::string before = f.RedtName->Text();
  int chosen = -1;
  modal::Driver d({[&] {
    auto* dlg = OpenForm<TFrmSetYong>("TFrmSetYong");
    if (!dlg) return false;
    chosen = (dlg->RdoYong->ItemIndex() + 2) % 5;
    dlg->RdoYong->SetItemIndex(chosen);
    Press(dlg->BitBtn2);
    return true;
  }});
  f.SbtoSetClick(nullptr);
  ASSERT_GE(chosen, 0);
  const ChartResult& chart = f.analyser->Chart();
  int e = NameTables::StemElement[static_cast<size_t>(chart.pillars[2] % 10)];
  EXPECT_EQ(chart.favourableGroups[0], chosen);
  EXPECT_EQ(chart.favourableElements[0], (chosen + e) % 5);
  EXPECT_NE(f.RedtName->Text(), before);
}

TEST_F(NamingPage, CompanyPageProposesAndReads) {
  TFrmMain& f = *FrmMain;
  f.PageControl1->SetActivePageIndex(2);
  gui::SetText(f.LedtGongStart->Handle(), U("新"));
  gui::SetText(f.LedtGongEnd->Handle(), U("公司"));
  f.CboGongLen->SetItemIndex(0);
  f.MeoCompany->SetText("");
  f.BtoGongSiClick(nullptr);
  EXPECT_FALSE(f.MeoCompany->Text().empty());
  EXPECT_TRUE(f.BtoGongSi->Enabled());
  gui::Pump(200);
  gui::SaveScreenshot(f.Handle(), gui::ScreenshotPath("company-page.png"));

  f.Button3Click(nullptr);
  EXPECT_EQ(f.MeoCompany->Text().find(U("输入：某某市网络有限公司")), 0u);
  std::string reading = f.MeoCompany->Text(), box;
  {
    modal::Driver d({modal::Answer(U("提示"), IDOK, box)});
    gui::SetText(f.LedtGongCe->Handle(), U("公司") + "\xFE\x50");
    f.Button3Click(nullptr);
  }
  EXPECT_EQ(box, U("找不到其中的一个汉字"));
  EXPECT_EQ(f.MeoCompany->Text(), reading);
}

// Last: it replaces the typical run's list.
TEST_F(NamingPage, StopEndsALongRunWithinASecond) {
  TFrmMain& f = *FrmMain;
  bool wasRunning = false;
  std::string infoDuring = "unread";
  Clock::time_point stopped{};
  Run(
      [](TFrmSetName& dlg) {
        dlg.CboFormula->SetItemIndex(2);
        dlg.CboFormulaClick(nullptr);
        for (int i = 0; i < 6; ++i) dlg.ChkNumber->SetChecked(i, false);
        for (int i = 0; i < 5; ++i) dlg.CBoxWuXing->SetChecked(i, false);
        dlg.RdoJiWord->SetItemIndex(1);
        dlg.CboCharset->SetItemIndex(1);
        dlg.CboCharsetChange(nullptr);
      },
      [&] {
        if (!f.Generating()) return false;
        gui::Pump(300);
        wasRunning = f.Generating() && f.PanStop->Visible() && !f.BtoSet->Enabled();
        infoDuring = f.TxtInfo->Text();  // the last run's count does not stand for this one
        f.PageControl1->SetActivePageIndex(1);
        gui::Pump(100);
        gui::SaveScreenshot(f.Handle(), gui::ScreenshotPath("naming-during-run.png"));
        stopped = Clock::now();
        Press(f.BtoStopGenerate);
        return true;
      });
  long afterStop = Ms(Clock::now() - stopped);
  EXPECT_TRUE(wasRunning);
  EXPECT_EQ(infoDuring, "");
  EXPECT_LT(afterStop, 1000);
  EXPECT_FALSE(f.PanStop->Visible());
  EXPECT_TRUE(f.BtoSet->Enabled());
  std::printf("stop answered in %ld ms with %zu names\n", afterStop, f.generator->Count());
}

// The conditions of the longest listing: 普通 over the whole dictionary, no filters.
void WorstCase(TFrmSetName& dlg) {
  dlg.CboFormula->SetItemIndex(2);
  dlg.CboFormulaClick(nullptr);
  for (int i = 0; i < 6; ++i) dlg.ChkNumber->SetChecked(i, false);
  for (int i = 0; i < 5; ++i) dlg.CBoxWuXing->SetChecked(i, true);
  dlg.RdoJiWord->SetItemIndex(1);
  dlg.CboCharset->SetItemIndex(1);
  dlg.CboCharsetChange(nullptr);
}

// A real click on a page button, and the time until the list shows `firstRow` on top.
long TurnPage(TFrmMain& f, TButton* button, const std::string& firstRow) {
  const Clock::time_point start = Clock::now();
  ClickAt(button);
  while (f.LstName->ItemText(0, 0) != firstRow && Ms(Clock::now() - start) < 5000) gui::Pump(0);
  return Ms(Clock::now() - start);
}

// What the user waits for, under three times its target (the machine may be shared):
// the list filled after a click on "确定" 300 ms, the session's first run too (the
// window paid the first text of a rich edit once it was painted), a page turn by a
// click 100 ms.
TEST_F(NamingPage, RunsAndPageTurnsAreQuick) {
  EnsureTypicalRun();  // the first run also reads the dictionary
  TFrmMain& f = *FrmMain;
  auto typical = [](TFrmSetName& dlg) {
    dlg.CboFormula->SetItemIndex(0);
    dlg.CboFormulaClick(nullptr);
    dlg.CboCharset->SetItemIndex(0);
    dlg.CboCharsetChange(nullptr);
    dlg.RdoSex->SetItemIndex(0);
    for (int i = 0; i < 5; ++i) dlg.CBoxWuXing->SetChecked(i, i == 1 || i == 2);
    dlg.RdoJiWord->SetItemIndex(0);
  };
  const long runMs = Run(typical, {}, true);
  ASSERT_GT(f.generator->Count(), 500u);
  EXPECT_EQ(f.LstName->ItemText(0, 0), "1");
  f.PageControl1->SetActivePageIndex(1);
  gui::Pump(100);
  const long nextMs = TurnPage(f, f.Button5, "501");
  const long prevMs = TurnPage(f, f.Button4, "1");
  EXPECT_EQ(f.currentPage, 1);
  std::printf(
      "click to filled: first run %ld ms from the dialog's OK, then %ld ms (%zu names); page turn %ld ms / %ld ms\n",
      typicalMs, runMs, f.generator->Count(), nextMs, prevMs);
  RecordProperty("firstRunMs", std::to_string(typicalMs));
  RecordProperty("clickToFilledMs", std::to_string(runMs));
  RecordProperty("nextPageMs", std::to_string(nextMs));
  RecordProperty("previousPageMs", std::to_string(prevMs));
  EXPECT_LT(runMs, 900);
  EXPECT_LT(typicalMs, 900) << "the first run of the session is as quick as the others";
  EXPECT_LT(nextMs, 300);
  EXPECT_LT(prevMs, 300);
}

// The longest listing shows its first screen at once and the whole within three times
// its target of 1 s, the window answering at least every 300 ms (three times 100 ms);
// it is the generator's text exactly.
TEST_F(NamingPage, TheLongestListingShowsWithoutFreezing) {
  TFrmMain& f = *FrmMain;
  // The listing's time runs from the end of the generation (the Stop panel hides).
  Clock::time_point start{}, firstScreen{}, last{};
  long longestGap = 0;
  TTimer probe(nullptr);
  probe.SetInterval(10);
  probe.OnTimer = [&](TObject*) {
    if (!f.Generating() || f.PanStop->Visible()) return;
    const Clock::time_point now = Clock::now();
    if (start == Clock::time_point{}) start = now;
    if (firstScreen == Clock::time_point{} && GetWindowTextLengthW(f.RedtName2->Handle()) > 0) firstScreen = now;
    if (last != Clock::time_point{}) longestGap = std::max(longestGap, Ms(now - last));
    last = now;
  };
  Run(WorstCase, {}, true);
  const Clock::time_point shown = Clock::now();
  ASSERT_NE(start, Clock::time_point{});
  ASSERT_NE(firstScreen, Clock::time_point{});
  longestGap = std::max(longestGap, Ms(shown - last));
  const long firstMs = Ms(firstScreen - start), allMs = Ms(shown - start);
  const std::string& listing = f.generator->Listing();
  EXPECT_EQ(f.RedtName2->Text(), listing);
  EXPECT_EQ(f.RedtName2->SelStart(), 0);
  EXPECT_EQ(f.RedtName2->Perform(EM_GETFIRSTVISIBLELINE), 0);
  EXPECT_FALSE(f.RedtName2->Modified());
  EXPECT_EQ(f.RedtName2->Perform(EM_CANUNDO), 0);
  std::printf("longest listing (%zu names, %zu bytes): first screen %ld ms, all %ld ms, longest pump gap %ld ms\n",
              f.generator->Count(), listing.size(), firstMs, allMs, longestGap);
  RecordProperty("listingFirstScreenMs", std::to_string(firstMs));
  RecordProperty("listingAllMs", std::to_string(allMs));
  RecordProperty("listingLongestGapMs", std::to_string(longestGap));
  EXPECT_LT(allMs, 3000);
  EXPECT_LT(longestGap, 300);
  f.PageControl1->SetActivePageIndex(1);
  gui::Pump(200);
  gui::SaveScreenshot(f.Handle(), gui::ScreenshotPath("naming-longest-listing.png"));
}

// One resize step: from the new size until the window has laid out and painted
// everything and its queue is empty, on the wall clock and in the thread's own time
// (the machine may be shared).
struct StepCost {
  long wallMs;
  long cpuMs;
};
StepCost ResizeStep(TFrmMain& f, int by) {
  const Clock::time_point start = Clock::now();
  const double cpu = gui::ThreadCpuMs();
  f.SetBounds(f.Left(), f.Top(), f.Width() + by, f.Height() + by);
  MSG m;
  while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
  return {Ms(Clock::now() - start), static_cast<long>(gui::ThreadCpuMs() - cpu)};
}

// The longest time the window leaves its queue unanswered once a sizing has paused
// (a 10 ms timer's longest wait) over the next 600 ms.
long SettleMs() {
  Clock::time_point last = Clock::now();
  long longest = 0;
  TTimer probe(nullptr);
  probe.SetInterval(10);
  probe.OnTimer = [&](TObject*) {
    const Clock::time_point now = Clock::now();
    longest = std::max(longest, Ms(now - last));
    last = now;
  };
  gui::Pump(600);
  return std::max(longest, Ms(Clock::now() - last));
}

// Whether a view of lines shows dark text in the lowest fifth of its client area.
bool TextReachesBottom(HWND view) {
  std::unique_ptr<TBitmap> picture = gui::Capture(view);
  RECT client;
  GetClientRect(view, &client);
  if (!picture) return false;
  for (int y = client.bottom * 4 / 5; y < client.bottom - 2; ++y) {
    for (int x = 4; x < client.right - 4; ++x) {
      const COLORREF c = static_cast<COLORREF>(picture->Pixel(x, y));
      if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 200) return true;
    }
  }
  return false;
}

// After the longest listing the window answers a resize step within 100 ms, at the size
// of a first start and at 980 x 640, the naming page shown: in the thread's own time, and
// the worst step at three times that on the wall clock, for a loaded machine. The listing takes its new height once the
// sizing pauses, and then shows its lines down to its bottom.
TEST_F(NamingPage, ResizingAfterTheLongestListingIsQuick) {
  TFrmMain& f = *FrmMain;
  if (f.generator->Count() < 60000) Run(WorstCase);
  ASSERT_GT(f.generator->Count(), 60000u);
  f.PageControl1->SetActivePageIndex(1);
  // The size the program first starts at, as shipped, and a roomier one.
  for (SIZE size : {SIZE{800, 520}, SIZE{980, 640}}) {
    f.SetClientSize(size.cx, size.cy);
    gui::Pump(300);
    std::vector<long> wall, cpu;
    std::string shown;
    for (int i = 0; i < 6; ++i) {
      const StepCost step = ResizeStep(f, i % 2 ? 40 : -40);
      wall.push_back(step.wallMs);
      cpu.push_back(step.cpuMs);
      shown += ' ' + std::to_string(step.wallMs) + '/' + std::to_string(step.cpuMs);
      gui::Pump(30);  // the mouse moves on, as in a drag of the window's edge
    }
    const long settle = SettleMs();
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    std::printf("resize steps at %ldx%ld after %zu names (wall/thread ms):%s; the pause after them %ld ms\n", size.cx,
                size.cy, f.generator->Count(), shown.c_str(), settle);
    EXPECT_LT(cpu[cpu.size() / 2], 100) << size.cx << "x" << size.cy;
    EXPECT_LT(wall.back(), 300) << size.cx << "x" << size.cy;
    EXPECT_TRUE(TextReachesBottom(f.RedtName2->Handle())) << size.cx << "x" << size.cy;
  }
  gui::SaveScreenshot(f.Handle(), gui::ScreenshotPath("naming-resized-listing.png"));
}

}  // namespace

namespace {

// After every other test: it closes the window.
TEST_F(NamingPage, ClosingDuringARunEndsTheRunBeforeTheWindowCloses) {
  TFrmMain& f = *FrmMain;
  // The window's settings go to a folder of this test, not the program's.
  TempFolder tmp;
  delete IniFile;
  IniFile = new TIniFile(tmp.Path("init.ini"));
  bool keptOpen = false;
  Run(
      [](TFrmSetName& dlg) {
        dlg.CboFormula->SetItemIndex(2);
        dlg.CboFormulaClick(nullptr);
        dlg.RdoJiWord->SetItemIndex(1);
        dlg.CboCharset->SetItemIndex(1);
        dlg.CboCharsetChange(nullptr);
      },
      [&] {
        if (!f.Generating()) return false;
        f.Close();
        keptOpen = f.generator != nullptr && IsWindowVisible(f.Handle());
        return true;
      });
  EXPECT_TRUE(keptOpen);
  EXPECT_FALSE(f.Generating());
  EXPECT_EQ(f.generator, nullptr);  // closed once the run had returned
  EXPECT_TRUE(file::Exists(tmp.Path("init.ini")));
}

}  // namespace
