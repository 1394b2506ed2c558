// The tool windows driven through real messages while they are modal.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <thread>

#include "classlib/Gbk.h"
#include "classlib/StrUtils.h"
#include "support/Gui.h"
#include "tools/Ubjx.h"
#include "tools/Uchoicenum.h"
#include "tools/Untwnl.h"
#include "tools/Upicknumber.h"
#include "tools/Utestname.h"

namespace {

using gbk::U;

// Answers the next message box of this process with OK and keeps its text.
class BoxAnswerer {
 public:
  BoxAnswerer()
      : worker([this] {
          HWND box = gui::WaitTopWindow(GetCurrentProcessId(), "#32770", "", 10000);
          if (!box) return;
          text = gui::Text(GetDlgItem(box, 0xFFFF));
          PostMessageW(box, WM_COMMAND, IDOK, 0);
        }) {}
  ~BoxAnswerer() { worker.join(); }
  std::string Wait() {
    worker.join();
    worker = std::thread([] {});
    return text;
  }

 private:
  std::string text;
  std::thread worker;
};

class ToolWindowsTest : public ::testing::Test {
 protected:
  void SetUp() override { app.Initialize(); }
  // A real key press into h, handled by the program's own message loop.
  void Press(HWND h, WORD vk) {
    gui::PressKey(h, vk);
    for (int i = 0; i < 10; ++i) {
      app.ProcessMessages();
      Sleep(10);
    }
  }
  TApplication app;
};

void SelectCombo(TComboBox* c, int item) {
  SendMessageW(c->Handle(), CB_SETCURSEL, item, 0);
  SendMessageW(GetParent(c->Handle()), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(c->Handle()), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(c->Handle()));
}

void SelectList(TListBox* l, int item) {
  SendMessageW(l->Handle(), LB_SETCURSEL, item, 0);
  SendMessageW(GetParent(l->Handle()), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(l->Handle()), LBN_SELCHANGE),
               reinterpret_cast<LPARAM>(l->Handle()));
}

TEST_F(ToolWindowsTest, SurnameOriginsSearchAndList) {
  TFrmBjx f(&app);
  std::string missing;
  f.OnShow = [&](TObject*) {
    EXPECT_EQ(f.Lstbjx->Items().Count(), 491);
    struct Row {
      const char* typed;
      const char* first;  // the memo's first line, "" when unchanged
    } rows[] = {{"赵", "[赵]"}, {"  李 ", "[李]"}, {"欧阳", "[欧阳]"}};
    for (const auto& r : rows) {
      SCOPED_TRACE(r.typed);
      gui::SetText(f.LedtName->Handle(), U(r.typed));
      gui::Click(f.BtnSearch->Handle());
      EXPECT_EQ(gui::Text(f.Memo1->Handle()).rfind(U(r.first) + "\r\n", 0), 0u);
      EXPECT_EQ(f.Lstbjx->Items()[f.Lstbjx->ItemIndex()], Trim(U(r.typed)));
    }
    // One byte does nothing; Enter in the edit searches.
    gui::SetText(f.LedtName->Handle(), "a");
    gui::Click(f.BtnSearch->Handle());
    EXPECT_EQ(gui::Text(f.Memo1->Handle()).rfind(U("[欧阳]"), 0), 0u);
    gui::SetText(f.LedtName->Handle(), U("钱"));
    Press(f.LedtName->Handle(), VK_RETURN);
    EXPECT_EQ(gui::Text(f.Memo1->Handle()).rfind(U("[钱]"), 0), 0u);
    // A click in the list shows that surname.
    SelectList(f.Lstbjx, 3);
    EXPECT_EQ(gui::Text(f.Memo1->Handle()).rfind(U("[李]"), 0), 0u);
    gui::Pump(200);
    gui::SaveScreenshot(f.Handle(), gui::ScreenshotPath("tools-bjx.png"));
    {
      BoxAnswerer box;
      gui::SetText(f.LedtName->Handle(), U("张三"));
      gui::Click(f.BtnSearch->Handle());
      missing = box.Wait();
    }
    PostMessageW(f.Handle(), WM_CLOSE, 0, 0);
  };
  f.ShowModal();
  EXPECT_EQ(missing, U("没有这个姓氏的资料。"));
}

TEST_F(ToolWindowsTest, NumberPickerDefaultsAndReadings) {
  TFrmPickNumber f(&app);
  f.OnShow = [&](TObject*) {
    EXPECT_EQ(f.Cbo[0]->ItemIndex(), 3);
    EXPECT_EQ(f.Cbo[10]->ItemIndex(), 0);
    gui::Click(f.BitBtn1->Handle());
    ASSERT_EQ(f.LstNumber->Items().Count(), 4001);
    EXPECT_EQ(f.LstNumber->Items()[0], U("1：11111110000（00）"));
    SelectList(f.LstNumber, 0);  // 00: no reading
    EXPECT_EQ(gui::Text(f.MeoExplain->Handle()), "");
    SelectList(f.LstNumber, 1);
    EXPECT_EQ(gui::Text(f.MeoExplain->Handle()).rfind("[", 0), 0u);
    gui::Pump(200);
    gui::SaveScreenshot(f.Handle(), gui::ScreenshotPath("tools-picknumber.png"));

    // "选择" cancelled keeps the digits; chosen, they replace them.
    f.RunChoice = [](TFrmChoiceNum&) { return static_cast<int>(mrCancel); };
    SelectCombo(f.Cbo[10], 1);
    EXPECT_EQ(f.Picker().Digits(11).size(), 10u);
    f.RunChoice = [](TFrmChoiceNum& d) {
      d.SetDigits({8, 3});
      return static_cast<int>(mrOk);
    };
    SelectCombo(f.Cbo[10], 1);
    EXPECT_EQ(f.Picker().Digits(11), (std::vector<int>{3, 8}));

    // Four nines end in a bad number: the answer comes at once.
    for (int p = 8; p <= 11; ++p) SelectCombo(f.Cbo[p - 1], 9 + 2);
    {
      BoxAnswerer box;
      gui::Click(f.BitBtn1->Handle());
      EXPECT_EQ(box.Wait(), U("没有吉号！"));
    }
    EXPECT_EQ(f.LstNumber->Items().Count(), 0);
    PostMessageW(f.Handle(), WM_CLOSE, 0, 0);
  };
  f.ShowModal();
}

TEST_F(ToolWindowsTest, ChoiceNeedsOneDigit) {
  TFrmChoiceNum d(&app);
  std::string refused;
  d.OnShow = [&](TObject*) {
    d.SetDigits({});
    {
      BoxAnswerer box;
      gui::Click(d.BitBtn1->Handle());
      refused = box.Wait();
    }
    d.SetDigits({5});
    gui::Pump(200);
    gui::SaveScreenshot(d.Handle(), gui::ScreenshotPath("tools-choicenum.png"));
    gui::Click(d.BitBtn1->Handle());
  };
  EXPECT_EQ(d.ShowModal(), mrOk);
  EXPECT_EQ(refused, U("至少选择一个数字！"));
  EXPECT_EQ(d.Digits(), (std::vector<int>{5}));
}

TEST_F(ToolWindowsTest, GuessingGameReadsTheAnswers) {
  struct Row {
    std::vector<int> answers;  // one a table, 1 for "有"
    const char* panel;
    const char* box;
  } rows[] = {
      {{0, 0, 0, 0, 0, 0, 1}, "你姓:白", "你姓:白"},
      {{1, 0, 0, 0, 1, 1, 1}, "你姓:李", "你姓:李"},
      {{0, 0, 0, 0, 0, 0, 0}, "倒数 第1 张表", "你的姓不在本字库中!"},  // a miss leaves the panel
  };
  TFrmTestName f(&app);
  f.OnShow = [&](TObject*) {
    EXPECT_EQ(gui::Text(f.Panel1->Handle()), U("倒数 第7 张表"));
    gui::Pump(1200);  // the selection wanders
    EXPECT_TRUE(f.GridName->Col() > 0 || f.GridName->Row() > 0);
    gui::Pump(100);
    gui::SaveScreenshot(f.Handle(), gui::ScreenshotPath("tools-testname.png"));
    for (const auto& r : rows) {
      SCOPED_TRACE(r.box);
      gui::Click(f.BtnReset->Handle());
      std::string said;
      for (size_t i = 0; i < r.answers.size(); ++i) {
        if (i + 1 < r.answers.size()) {
          gui::Click((r.answers[i] ? f.Btnok : f.Btnno)->Handle());
          continue;
        }
        BoxAnswerer box;
        gui::Click((r.answers[i] ? f.Btnok : f.Btnno)->Handle());
        said = box.Wait();
      }
      EXPECT_EQ(said, U(r.box));
      EXPECT_EQ(gui::Text(f.Panel1->Handle()), U(r.panel));
      EXPECT_FALSE(IsWindowEnabled(f.Btnok->Handle()));
      EXPECT_FALSE(f.Timer1->Enabled());
    }
    // A click on a cell moves the wandering selection there.
    gui::Click(f.BtnReset->Handle());
    SendMessageW(f.GridName->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(3 * 45 + 5, 2 * 30 + 5));
    EXPECT_EQ(f.GridName->Col(), 3);
    EXPECT_EQ(f.GridName->Row(), 2);
    PostMessageW(f.Handle(), WM_CLOSE, 0, 0);
  };
  f.ShowModal();
}

int CountTopWindows(const wchar_t* cls) {
  int n = 0;
  for (HWND h = FindWindowExW(nullptr, nullptr, cls, nullptr); h; h = FindWindowExW(nullptr, h, cls, nullptr))
    if (GetWindowThreadProcessId(h, nullptr) == GetCurrentThreadId()) ++n;
  return n;
}

void ClickCell(TFrmWnl& f, int column, int row) {
  const int x = column * f.Img->CellWidth() + 5, y = row * f.Img->CellHeight() + 5;
  SendMessageW(f.Img->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
}

TEST_F(ToolWindowsTest, CalendarWindowLifeAndMonths) {
  ShowPerpetualCalendar();
  TFrmWnl* first = FrmWnl;
  ShowPerpetualCalendar();
  ASSERT_NE(FrmWnl, nullptr);
  EXPECT_EQ(FrmWnl, first);
  gui::Pump(100);
  EXPECT_EQ(CountTopWindows(L"TFrmWnl"), 1);
  TFrmWnl& f = *FrmWnl;
  EXPECT_TRUE(GetWindowLongW(f.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);

  f.ShowDate({2000, 1, 1, 12, 0});
  EXPECT_EQ(gui::Text(f.LabShow->Handle()), U("2000年1月"));
  EXPECT_EQ(gui::Text(f.MeoGanZhi->Handle()), U("己卯年\r\n丙子月\r\n戊午日\r\n戊午时"));
  EXPECT_EQ(f.View().firstColumn, 5);
  ClickCell(f, 3, 2);  // Thursday of the second week: the 6th, 小寒
  EXPECT_EQ(f.CboD->ItemIndex(), 5);
  EXPECT_EQ(gui::Text(f.MeoJie->Handle()).rfind(U("小寒:6日"), 0), 0u);
  gui::Pump(200);
  gui::SaveScreenshot(f.Handle(), gui::ScreenshotPath("tools-wnl-2000-01.png"));

  // October 1582: the fifth day cell is the 15th.
  f.ShowDate({1582, 10, 1, 12, 0});
  EXPECT_EQ(f.View().daysInMonth, 21);
  const int fifth = f.View().firstColumn + 4;
  ClickCell(f, fifth % 7, 1 + fifth / 7);
  EXPECT_EQ(f.CboD->ItemIndex(), 14);
  gui::Pump(200);
  gui::SaveScreenshot(f.Handle(), gui::ScreenshotPath("tools-wnl-1582-10.png"));

  // Back from January of year 1 is December of year -1, stored as year 0.
  f.ShowDate({1, 1, 10, 12, 0});
  gui::Click(f.BitBtn2->Handle());
  EXPECT_EQ(gui::Text(f.EdtYear->Handle()), "-1");
  EXPECT_EQ(f.CboM->ItemIndex(), 11);
  EXPECT_EQ(f.View().shown.year, 0);
  gui::Click(f.BitBtn1->Handle());
  EXPECT_EQ(gui::Text(f.EdtYear->Handle()), "1");
  EXPECT_EQ(f.CboM->ItemIndex(), 0);

  // A typed year is checked on Enter; a day the month lacks is refused.
  {
    BoxAnswerer box;
    gui::SetText(f.EdtYear->Handle(), "0");
    Press(f.EdtYear->Handle(), VK_RETURN);
    EXPECT_EQ(box.Wait(), U("年份在-4713 到 9999之间"));
  }
  f.ShowDate({2023, 4, 31, 12, 0});
  EXPECT_EQ(f.CboD->ItemIndex(), 14);  // fell back to the 15th
  {
    BoxAnswerer box;
    SelectCombo(f.CboD, 30);
    EXPECT_EQ(box.Wait(), U("不存在这个日期，请重新输入！"));
  }
  // A typed year counts for the terms too, even without Enter.
  gui::SetText(f.EdtYear->Handle(), "2001");
  SelectCombo(f.CboD, 0);
  EXPECT_EQ(f.View().shown.year, 2001);
  EXPECT_NE(gui::Text(f.MeoJie->Handle()).find(U("清明:")), std::string::npos);

  HWND h = f.Handle();
  PostMessageW(h, WM_CLOSE, 0, 0);
  gui::Pump(300);
  EXPECT_EQ(FrmWnl, nullptr);
  EXPECT_FALSE(IsWindow(h));
}

// The box of a day's lunar date as drawn: the rows and columns of the lower half of its
// cell (inside the grid lines) where the text's colour shows on the light-yellow paper.
RECT LunarInk(const TBitmap& shot, const TFrmWnl& f, const MonthCell& cell) {
  const int cw = f.Img->CellWidth(), ch = f.Img->CellHeight();
  const int left = cell.column * cw + 2, right = (cell.column + 1) * cw - 1;
  const int top = cell.row * ch + ch / 2, bottom = (cell.row + 1) * ch - 1;
  RECT ink{right, bottom, left, top};
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x) {
      const TColor c = shot.Pixel(x, y);
      if (GetGValue(c) > 200) continue;  // the paper, or a light edge of a stroke
      ink = {std::min<LONG>(ink.left, x), std::min<LONG>(ink.top, y), std::max<LONG>(ink.right, x + 1),
             std::max<LONG>(ink.bottom, y + 1)};
    }
  return ink;
}

// Lunar dates of five characters (十二月初三, 十一月廿三) are as tall as the short ones,
// at least 9 pixels, and stay inside their cells.
TEST_F(ToolWindowsTest, CalendarLunarDatesAreLegibleAndFitTheirCells) {
  ShowPerpetualCalendar();
  ASSERT_NE(FrmWnl, nullptr);
  TFrmWnl& f = *FrmWnl;
  f.ShowDate({2024, 1, 15, 12, 0});  // lunar 十一月二十 to 十二月二十一
  gui::Pump(200);
  const std::unique_ptr<TBitmap> shot = gui::Capture(f.Img->Handle());
  ASSERT_TRUE(shot);
  const int cw = f.Img->CellWidth();
  int longest = 0;
  for (const MonthCell& cell : f.View().cells) {
    if (cell.day == f.View().shown.day) continue;  // its red frame runs through the cell
    SCOPED_TRACE(gbk::ToUtf8(cell.lower));
    const RECT ink = LunarInk(*shot, f, cell);
    EXPECT_GE(ink.bottom - ink.top, 9);
    EXPECT_GT(ink.left, cell.column * cw + 2) << "inside the cell's left line";
    EXPECT_LT(ink.right, (cell.column + 1) * cw - 1) << "inside the cell's right line";
    longest = std::max(longest, static_cast<int>(cell.lower.size()));
  }
  EXPECT_EQ(longest, 10) << "a five-character date was drawn";
  gui::SaveScreenshot(f.Handle(), gui::ScreenshotPath("tools-wnl-2024-01.png"));
  PostMessageW(f.Handle(), WM_CLOSE, 0, 0);
  gui::Pump(300);
}

}  // namespace
