// Forms and controls driven through real window messages.
#include <gtest/gtest.h>

#include "classlib/Forms.h"
#include "classlib/Gbk.h"
#include "classlib/StdCtrls.h"
#include "classlib/StrUtils.h"
#include "support/Gui.h"

namespace {

class FormsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app.Initialize();
    app.Title = "Forms test";
  }
  TApplication app;
};

class TestForm : public TForm {
 public:
  explicit TestForm(TComponent* owner) : TForm(owner) {
    SetText(gbk::FromUtf8("测试窗口"));
    SetClientSize(300, 200);
    top = new TPanel(this);
    top->SetHeight(40);
    top->SetParent(this);
    top->SetAlign(alTop);
    client = new TPanel(this);
    client->SetParent(this);
    client->SetAlign(alClient);
    edit = new TEdit(this);
    edit->SetBounds(10, 10, 120, 22);
    edit->SetParent(client);
    ok = new TButton(this);
    ok->SetText(gbk::FromUtf8("确定"));
    ok->SetBounds(10, 50, 80, 26);
    ok->ModalResult = mrOk;
    ok->SetParent(client);
    DoCreate();
  }
  TPanel* top;
  TPanel* client;
  TEdit* edit;
  TButton* ok;
};

TEST_F(FormsTest, ControlObjectIsFoundThroughTheWindowProperty) {
  TestForm f(&app);
  HWND h = f.edit->Handle();
  std::string expected =
      Format("ControlOfs%.8X%.8X", static_cast<unsigned>(reinterpret_cast<uintptr_t>(GetModuleHandleW(nullptr))),
             static_cast<unsigned>(GetCurrentThreadId()));
  EXPECT_EQ(gbk::FromWide(TControl::ControlPropName()), expected);
  EXPECT_EQ(GetPropW(h, TControl::ControlPropName()), static_cast<TControl*>(f.edit));
  EXPECT_EQ(TControl::FromHandle(h), f.edit);
  EXPECT_EQ(GetWindowLongPtrW(h, GWLP_USERDATA), 0);  // left free for others
  wchar_t cls[64];
  GetClassNameW(h, cls, 64);
  EXPECT_STREQ(cls, L"TEdit");
}

TEST_F(FormsTest, TextCrossesTheWin32BoundaryAsGbk) {
  TestForm f(&app);
  f.Show();
  std::string name = gbk::FromUtf8("李明");
  gui::SetText(f.edit->Handle(), name);
  EXPECT_EQ(f.edit->Text(), name);
  f.edit->SetText(gbk::FromUtf8("王"));
  EXPECT_EQ(gui::Text(f.edit->Handle()), gbk::FromUtf8("王"));
  EXPECT_EQ(gui::Text(f.Handle()), gbk::FromUtf8("测试窗口"));
}

TEST_F(FormsTest, AlignedPanelsShareTheClientArea) {
  TestForm f(&app);
  f.Show();
  EXPECT_EQ(f.top->Top(), 0);
  EXPECT_EQ(f.top->Width(), f.ClientWidth());
  EXPECT_EQ(f.client->Top(), 40);
  EXPECT_EQ(f.client->Height(), f.ClientHeight() - 40);
  f.SetClientSize(400, 300);
  gui::Pump(50);
  EXPECT_EQ(f.client->Width(), 400);
  EXPECT_EQ(f.client->Height(), 260);
}

TEST_F(FormsTest, ClickFiresTheEventAndEndsTheModalLoop) {
  TestForm f(&app);
  int clicks = 0;
  f.ok->OnClick = [&](TObject* sender) {
    EXPECT_EQ(sender, f.ok);
    ++clicks;
  };
  // The click arrives from the message queue while the form is modal.
  f.OnShow = [&](TObject*) { PostMessageW(f.ok->Handle(), BM_CLICK, 0, 0); };
  EXPECT_EQ(f.ShowModal(), mrOk);
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(IsWindowVisible(f.Handle()));
}

TEST_F(FormsTest, ClosingAModalFormCancelsIt) {
  TestForm f(&app);
  bool asked = false;
  f.OnClose = [&](TObject*, TCloseAction&) { asked = true; };
  f.OnShow = [&](TObject*) { PostMessageW(f.Handle(), WM_CLOSE, 0, 0); };
  EXPECT_EQ(f.ShowModal(), mrCancel);
  EXPECT_TRUE(asked);
}

TEST_F(FormsTest, OwnedControlsAreFreedWithTheirForm) {
  auto* f = new TestForm(&app);
  HWND edit = f->edit->Handle();
  EXPECT_EQ(app.ComponentCount(), 1);
  f->top->Name = "PanTop";
  EXPECT_EQ(f->FindComponent("pantop"), f->top);
  delete f;
  EXPECT_EQ(app.ComponentCount(), 0);
  EXPECT_FALSE(IsWindow(edit));
}

// A form with a band across its top and a button below the bottom of its client area.
class TallForm : public TForm {
 public:
  explicit TallForm(TComponent* owner) : TForm(owner) {
    SetText(gbk::FromUtf8("滚动"));
    SetBounds(60, 60, 320, 240);
    band = new TPanel(this);
    band->SetHeight(30);
    band->SetParent(this);
    band->SetAlign(alTop);
    nearButton = AddButton(40);
    farButton = AddButton(420);
    DoCreate();
  }
  TButton* AddButton(int top) {
    auto* b = new TButton(this);
    b->SetText(gbk::FromUtf8("确定"));
    b->SetBounds(10, top, 80, 26);
    b->SetParent(this);
    return b;
  }
  TPanel* band;
  TButton* nearButton;
  TButton* farButton;
};

bool HasBar(HWND h, LONG bar) { return (GetWindowLongW(h, GWL_STYLE) & bar) != 0; }

// A control beyond the client area gives the form a scroll bar; real clicks on the bar
// bring the far button into view, where a real click presses it. Without AutoScroll the
// bar goes and the controls are back where they were put; with it, moving the far button
// up takes the bar away.
TEST_F(FormsTest, AutoScrollScrollsControlsBeyondTheClientAreaIntoView) {
  TallForm f(&app);
  EXPECT_TRUE(f.AutoScroll());
  f.Show();
  gui::Pump(100);
  HWND h = f.Handle();
  ASSERT_TRUE(HasBar(h, WS_VSCROLL));
  EXPECT_FALSE(HasBar(h, WS_HSCROLL));
  int clicks = 0;
  f.farButton->OnClick = [&](TObject*) { ++clicks; };
  SCROLLBARINFO bar{};
  bar.cbSize = sizeof bar;
  ASSERT_TRUE(GetScrollBarInfo(h, OBJID_VSCROLL, &bar));
  // Below the thumb, just above the bottom arrow: a page a click.
  POINT page{(bar.rcScrollBar.left + bar.rcScrollBar.right) / 2,
             bar.rcScrollBar.bottom - GetSystemMetrics(SM_CYVSCROLL) - 3};
  ScreenToClient(h, &page);
  for (int i = 0; i < 6 && f.farButton->Top() + f.farButton->Height() > f.ClientHeight(); ++i) {
    gui::MouseClick(h, page);
    gui::Pump(200);
  }
  EXPECT_LE(f.farButton->Top() + f.farButton->Height(), f.ClientHeight()) << "the far button came into view";
  EXPECT_GE(f.farButton->Top(), 0);
  EXPECT_EQ(f.farButton->Top() - f.nearButton->Top(), 380) << "the controls scroll together";
  EXPECT_EQ(f.band->Top(), 0) << "the aligned band stays";
  gui::MouseClick(f.farButton->Handle(), POINT{40, 13});
  gui::Pump(200);
  EXPECT_EQ(clicks, 1);

  f.SetAutoScroll(false);
  EXPECT_FALSE(HasBar(h, WS_VSCROLL));
  EXPECT_EQ(f.nearButton->Top(), 40);
  EXPECT_EQ(f.farButton->Top(), 420);
  f.SetAutoScroll(true);
  EXPECT_TRUE(HasBar(h, WS_VSCROLL));
  f.farButton->SetTop(100);
  EXPECT_FALSE(HasBar(h, WS_VSCROLL)) << "everything fits now";
  EXPECT_EQ(f.nearButton->Top(), 40);
}

// Aligned controls fill the client area whatever its size and give the form no bars.
TEST_F(FormsTest, AFormWhoseControlsFitShowsNoScrollBars) {
  TestForm f(&app);
  f.Show();
  gui::Pump(50);
  f.SetClientSize(120, 60);
  gui::Pump(50);
  EXPECT_FALSE(HasBar(f.Handle(), WS_VSCROLL | WS_HSCROLL));
}

}  // namespace
