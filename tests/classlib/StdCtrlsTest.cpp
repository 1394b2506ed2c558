// List, combo, radio and labelled controls, timers: driven through real window messages.
#include <gtest/gtest.h>

#include "classlib/ExtCtrls.h"
#include "classlib/Forms.h"
#include "classlib/Gbk.h"
#include "classlib/StdCtrls.h"
#include "support/Gui.h"

namespace {

using gbk::U;

void ClickAt(HWND h, int x, int y) {
  SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  gui::Pump(30);
}

class StdCtrlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app.Initialize();
    form = new TForm(&app);
    form->SetClientSize(400, 300);
  }
  template <class C>
  C* Add(int left, int top, int width, int height) {
    auto* c = new C(form);
    c->SetBounds(left, top, width, height);
    c->SetParent(form);
    return c;
  }
  TApplication app;
  TForm* form;
};

TEST_F(StdCtrlsTest, ComboBoxKeepsItemsAndChoiceAcrossLateCreation) {
  struct Row {
    const char* name;
    TComboBoxStyle style;
  } rows[] = {{"drop-down", csDropDown}, {"drop-down-list", csDropDownList}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    auto* cbo = new TComboBox(form);
    cbo->Style = row.style;
    cbo->DropDownCount = 16;
    for (const char* s : {"福建省", "北京市", "天津市"}) cbo->Items().Add(U(s));
    cbo->SetItemIndex(1);
    cbo->SetBounds(10, 10, 150, 22);
    cbo->SetParent(form);
    form->Show();
    EXPECT_EQ(cbo->Perform(CB_GETCOUNT), 3);
    EXPECT_EQ(cbo->ItemIndex(), 1);
    EXPECT_EQ(cbo->Text(), U("北京市"));
    // The dropped list has room for several items, the closed box only for one line.
    RECT dropped;
    cbo->Perform(CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
    EXPECT_GT(dropped.bottom - dropped.top, 3 * cbo->Height());
    EXPECT_LT(cbo->Height(), 40);
    delete cbo;
  }
}

TEST_F(StdCtrlsTest, ComboBoxReportsChoicesAndTyping) {
  auto* cbo = Add<TComboBox>(10, 10, 150, 22);
  for (const char* s : {"1画", "2画", "3画"}) cbo->Items().Add(U(s));
  int changes = 0, clicks = 0;
  cbo->OnChange = [&](TObject*) { ++changes; };
  cbo->OnClick = [&](TObject*) { ++clicks; };
  form->Show();
  cbo->SetItemIndex(0);
  EXPECT_EQ(changes + clicks, 0) << "setting the index in code is not a user's choice";

  // The arrow key moves the choice, as a user would.
  HWND edit = GetWindow(cbo->Handle(), GW_CHILD);
  ASSERT_NE(edit, nullptr);
  SendMessageW(edit, WM_KEYDOWN, VK_DOWN, 1);
  gui::Pump(30);
  EXPECT_EQ(cbo->ItemIndex(), 1);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(changes, 1);

  // Typed text is not an item: the index is cleared and the text read back.
  SetWindowTextW(edit, L"");
  for (wchar_t ch : std::wstring(L"\x674E\x56DB")) SendMessageW(edit, WM_CHAR, ch, 1);
  gui::Pump(30);
  EXPECT_EQ(cbo->Text(), U("李四"));
  EXPECT_EQ(cbo->ItemIndex(), -1);
  EXPECT_GE(changes, 2);

  // A drop-down list chosen by text selects the matching item or none.
  cbo->Items().Delete(0);
  EXPECT_EQ(cbo->Perform(CB_GETCOUNT), 2);
  cbo->SetText(U("3画"));
  EXPECT_EQ(cbo->ItemIndex(), 1);
}

TEST_F(StdCtrlsTest, ListBoxSelectsByClickAndStaysInStepWithItsWindow) {
  auto* lst = Add<TListBox>(10, 10, 150, 120);
  lst->Items().SetText(U("甲\r\n乙\r\n丙\r\n"));
  int clicks = 0, doubles = 0;
  lst->OnClick = [&](TObject*) { ++clicks; };
  lst->OnDblClick = [&](TObject*) { ++doubles; };
  form->Show();
  ASSERT_EQ(lst->Perform(LB_GETCOUNT), 3);
  RECT r;
  lst->Perform(LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&r));
  ClickAt(lst->Handle(), r.left + 5, (r.top + r.bottom) / 2);
  EXPECT_EQ(lst->ItemIndex(), 2);
  EXPECT_EQ(clicks, 1);
  SendMessageW(lst->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(r.left + 5, (r.top + r.bottom) / 2));
  SendMessageW(lst->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(r.left + 5, (r.top + r.bottom) / 2));
  EXPECT_EQ(doubles, 1);

  lst->Items().Insert(0, U("丁"));
  lst->Items().Delete(2);
  ASSERT_EQ(lst->Perform(LB_GETCOUNT), 3);
  wchar_t buf[8];
  lst->Perform(LB_GETTEXT, 0, reinterpret_cast<LPARAM>(buf));
  EXPECT_EQ(gbk::FromWide(buf), U("丁"));
  EXPECT_EQ(lst->Items().Text(), U("丁\r\n甲\r\n丙\r\n"));
  EXPECT_EQ(lst->Items().IndexOf(U("丙")), 2);
  EXPECT_THROW(lst->Items().Delete(3), Exception);
}

TEST_F(StdCtrlsTest, CheckListBoxTicksOnlyFromTheBoxOrTheSpaceKey) {
  auto* lst = Add<TCheckListBox>(10, 10, 150, 120);
  for (const char* s : {"金", "木", "水", "火"}) lst->Items().Add(U(s));
  int ticks = 0;
  lst->OnClickCheck = [&](TObject*) { ++ticks; };
  form->Show();
  RECT r;
  lst->Perform(LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r));
  int midY = (r.top + r.bottom) / 2;
  ClickAt(lst->Handle(), 80, midY);  // on the text: selects, no tick
  EXPECT_FALSE(lst->Checked(1));
  EXPECT_EQ(lst->ItemIndex(), 1);
  ClickAt(lst->Handle(), 5, midY);  // on the box
  EXPECT_TRUE(lst->Checked(1));
  SendMessageW(lst->Handle(), WM_KEYDOWN, VK_SPACE, 1);
  EXPECT_FALSE(lst->Checked(1));
  EXPECT_EQ(ticks, 2);

  // Ticks follow their items when an earlier item goes.
  lst->SetChecked(2, true);
  lst->Items().Delete(0);
  EXPECT_TRUE(lst->Checked(1));
  EXPECT_FALSE(lst->Checked(2));
  EXPECT_THROW(lst->SetChecked(9, true), Exception);
  gui::Pump(50);
  gui::SaveScreenshot(form->Handle(), gui::ScreenshotPath("checklistbox.png"));
}

TEST_F(StdCtrlsTest, RadioButtonsOfOneParentExcludeEachOther) {
  auto* male = Add<TRadioButton>(10, 10, 80, 20);
  auto* female = Add<TRadioButton>(10, 40, 80, 20);
  male->SetText(U("男"));
  female->SetText(U("女"));
  male->SetChecked(true);
  form->Show();
  EXPECT_TRUE(male->Checked());
  int clicks = 0;
  female->OnClick = [&](TObject*) { ++clicks; };
  gui::Click(female->Handle());
  EXPECT_TRUE(female->Checked());
  EXPECT_FALSE(male->Checked());
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(male->ClassName(), "TRadioButton");
  EXPECT_EQ(dynamic_cast<TCheckBox*>(static_cast<TControl*>(male)), nullptr);
}

TEST_F(StdCtrlsTest, LabeledEditPlacesItsLabelAndFollowsTheEdit) {
  auto* edt = new TLabeledEdit(form);
  edt->EditLabel()->SetCaption(U("康熙笔画数"));
  edt->SetBounds(100, 50, 80, 22);
  edt->SetParent(form);
  form->Show();
  TLabel* lbl = edt->EditLabel();
  EXPECT_EQ(lbl->Parent(), form);
  EXPECT_EQ(lbl->Left(), 100);
  EXPECT_LT(lbl->Top() + lbl->Height(), 50);
  EXPECT_GT(lbl->Width(), 30);

  edt->SetLabelPosition(lpLeft);
  EXPECT_EQ(lbl->Left() + lbl->Width() + edt->LabelSpacing, 100);
  edt->SetTop(120);
  EXPECT_GT(lbl->Top(), 110);
  edt->Hide();
  EXPECT_FALSE(IsWindowVisible(lbl->Handle()));
}

// A label placed before any window exists, on a panel with a font of its own, is
// measured in that font: it ends just before the edit, as wide as its text.
TEST_F(StdCtrlsTest, LabeledEditMeasuresItsLabelBeforeItHasAWindow) {
  auto* panel = Add<TPanel>(0, 0, 400, 300);
  TFont big;
  big.Size = 16;
  panel->SetFont(big);
  auto* edt = new TLabeledEdit(form);
  edt->EditLabel()->SetCaption(U("尊姓大名"));
  edt->SetBounds(200, 50, 80, 22);
  edt->SetParent(panel);
  edt->SetLabelPosition(lpLeft);
  ASSERT_FALSE(edt->EditLabel()->HandleAllocated());
  form->Show();
  TLabel* lbl = edt->EditLabel();
  EXPECT_EQ(lbl->Left() + lbl->Width() + edt->LabelSpacing, 200);
  HDC dc = GetDC(lbl->Handle());
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(lbl->Perform(WM_GETFONT)));
  SIZE size{};
  GetTextExtentPoint32W(dc, L"\x5C0A\x59D3\x5927\x540D", 4, &size);
  SelectObject(dc, old);
  ReleaseDC(lbl->Handle(), dc);
  EXPECT_EQ(lbl->Width(), size.cx);
  EXPECT_GT(lbl->Width(), 4 * 16);  // 16 points: more than 16 pixels a character
}

TEST_F(StdCtrlsTest, TimerFiresFromTheMessageLoopOnlyWhileEnabled) {
  TTimer timer(nullptr);
  int fired = 0;
  timer.OnTimer = [&](TObject* sender) {
    EXPECT_EQ(sender, &timer);
    ++fired;
  };
  timer.SetInterval(20);
  gui::Pump(200);
  EXPECT_GE(fired, 3);
  timer.SetEnabled(false);
  int stopped = fired;
  gui::Pump(100);
  EXPECT_EQ(fired, stopped);
  timer.SetEnabled(true);
  timer.SetInterval(0);
  gui::Pump(100);
  EXPECT_EQ(fired, stopped) << "interval 0 stops the timer";
}

}  // namespace
