// MDI windows under the skin, on an MDI frame the test makes (the program has none): a
// child is skinned as it is created and framed by the skin, and while it is maximized
// the frame's menu band carries its minimize, restore and close buttons, which act on it.
#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "classlib/Forms.h"
#include "classlib/Gbk.h"
#include "classlib/Menus.h"
#include "skin/WinSkinData.h"
#include "skin/WinSkinDlg.h"
#include "skin/WinSkinForm.h"
#include "skin/WinSkinFrame.h"
#include "skin/WinSkinMenu.h"
#include "skinform/SkinFormFixture.h"
#include "support/Gui.h"

namespace {

using skinform::SkinPath;

const wchar_t kChildClass[] = L"TorvikTestMdiChild";
// A child whose own procedure counts the WM_NCACTIVATE it is given.
const wchar_t kNotingChildClass[] = L"TorvikTestMdiChildNoting";
const wchar_t kActivationsProp[] = L"TorvikTestNcActivations";

int Activations(HWND child) { return static_cast<int>(reinterpret_cast<INT_PTR>(GetPropW(child, kActivationsProp))); }

LRESULT CALLBACK NotingChildProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_NCACTIVATE) SetPropW(h, kActivationsProp, reinterpret_cast<HANDLE>(INT_PTR{Activations(h) + 1}));
  if (msg == WM_NCDESTROY) RemovePropW(h, kActivationsProp);
  return DefMDIChildProcW(h, msg, w, l);
}

void RegisterChildClass() {
  WNDCLASSW wc{};
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  for (auto [name, proc] :
       {std::pair{kChildClass, WNDPROC{DefMDIChildProcW}}, std::pair{kNotingChildClass, WNDPROC{NotingChildProc}}}) {
    wc.lpfnWndProc = proc;
    wc.lpszClassName = name;
    RegisterClassW(&wc);
  }
}

// The messages of one kind to one window that a hook of this thread saw: sent ones
// (WH_CALLWNDPROC) or posted ones as they are taken from the queue (WH_GETMESSAGE).
class Watch {
 public:
  Watch(int kind, HWND window, UINT message) {
    Seen() = {window, message, {}};
    hook_ = SetWindowsHookExW(kind, kind == WH_GETMESSAGE ? Posted : Sent, nullptr, GetCurrentThreadId());
  }
  ~Watch() { UnhookWindowsHookEx(hook_); }
  bool Saw(WPARAM w, LPARAM l) const {
    return std::find(Seen().calls.begin(), Seen().calls.end(), std::pair{w, l}) != Seen().calls.end();
  }
  const std::vector<std::pair<WPARAM, LPARAM>>& Calls() const { return Seen().calls; }

 private:
  struct Record {
    HWND window;
    UINT message;
    std::vector<std::pair<WPARAM, LPARAM>> calls;
  };
  static Record& Seen() {
    static Record record;  // a hook has no place of its own for what it sees
    return record;
  }
  static void Note(HWND h, UINT msg, WPARAM w, LPARAM l) {
    if (h == Seen().window && msg == Seen().message) Seen().calls.emplace_back(w, l);
  }
  static LRESULT CALLBACK Posted(int code, WPARAM w, LPARAM l) {
    if (auto* m = reinterpret_cast<MSG*>(l); code == HC_ACTION && w == PM_REMOVE)
      Note(m->hwnd, m->message, m->wParam, m->lParam);
    return CallNextHookEx(nullptr, code, w, l);
  }
  static LRESULT CALLBACK Sent(int code, WPARAM w, LPARAM l) {
    if (auto* c = reinterpret_cast<CWPSTRUCT*>(l); code == HC_ACTION) Note(c->hwnd, c->message, c->wParam, c->lParam);
    return CallNextHookEx(nullptr, code, w, l);
  }
  HHOOK hook_;
};

// A menu of top-level items with a drop-down each, as an MDI client is given one.
HMENU MenuOf(std::initializer_list<const char*> captions) {
  HMENU menu = CreateMenu();
  for (const char* caption : captions) {
    HMENU drop = CreatePopupMenu();
    AppendMenuW(drop, MF_STRING, 1, L"x");
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(drop), gbk::ToWide(gbk::FromUtf8(caption)).c_str());
  }
  return menu;
}

// A form with a menu and an MDI client filling its client area.
class MdiFrame : public TForm {
 public:
  explicit MdiFrame(TComponent* owner, bool rightToLeft = false) : TForm(owner) {
    RightToLeft = rightToLeft;
    SetText(gbk::FromUtf8("多文档"));
    SetBounds(30, 30, 520, 380);
    menu = new TMainMenu(this);
    AddMenuItem("窗口(&W)");
    SetMenu(menu);
    DoCreate();
    RECT r{};
    GetClientRect(Handle(), &r);
    CLIENTCREATESTRUCT ccs{};
    client = CreateWindowExW(WS_EX_CLIENTEDGE, L"MDICLIENT", nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                             r.right, r.bottom, Handle(), nullptr, GetModuleHandleW(nullptr), &ccs);
  }
  std::string ClassName() const override { return "TMdiFrame"; }
  HMENU bar() const { return Menu()->Handle(); }
  void AddMenuItem(const char* caption) {
    auto* item = new TMenuItem(this);
    item->SetCaption(gbk::FromUtf8(caption));
    auto* sub = new TMenuItem(this);
    sub->SetCaption("x");
    item->Add(sub);
    menu->Items()->Add(item);
  }
  HWND NewChild(const wchar_t* cls = kChildClass) {
    MDICREATESTRUCTW mcs{};
    mcs.szClass = cls;
    mcs.szTitle = L"child";
    mcs.hOwner = GetModuleHandleW(nullptr);
    mcs.x = 10;
    mcs.y = 10;
    mcs.cx = 240;
    mcs.cy = 160;
    mcs.style = WS_OVERLAPPEDWINDOW;
    return reinterpret_cast<HWND>(SendMessageW(client, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&mcs)));
  }
  TMainMenu* menu;
  HWND client = nullptr;
};

class MdiSkin : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterChildClass();
    UseSkinManager();
    data = new TSkinData(&app);
    data->Loaded();
    ASSERT_TRUE(data->LoadFromFile(SkinPath("Mx1"))) << data->LastError();
    data->SetActive(true);
  }
  void TearDown() override {
    delete data;
    FreeSkinManager();
  }
  // Presses and releases the frame's band button of this action, as the mouse would.
  static bool Press(TWinSkinForm* frame, int action) {
    for (const auto& b : frame->FButtons) {
      if (b->Skin->Action != action || !b->Visible) continue;
      RECT wr{};
      GetWindowRect(frame->FHandle, &wr);
      const LPARAM at =
          MAKELPARAM(wr.left + (b->Bounds.left + b->Bounds.right) / 2, wr.top + (b->Bounds.top + b->Bounds.bottom) / 2);
      SendMessageW(frame->FHandle, WM_NCLBUTTONDOWN, HTMENU, at);
      SendMessageW(frame->FHandle, WM_NCLBUTTONUP, HTMENU, at);
      return true;
    }
    return false;
  }
  TApplication app;
  TSkinData* data = nullptr;
};

TEST_F(MdiSkin, AChildIsSkinnedAtCreationAndTheBandButtonsActOnIt) {
  MdiFrame frame(&app);
  frame.Show();
  gui::Pump(400);
  TWinSkinForm* skin = SkinFormOf(frame.Handle());
  ASSERT_NE(skin, nullptr);
  EXPECT_EQ(skin->FFormStyle, sfsMDIform);
  ASSERT_GT(skin->FMenuHeight, 0);

  HWND child = frame.NewChild();
  ASSERT_NE(child, nullptr);
  TWinSkinForm* childSkin = SkinFormOf(child);
  ASSERT_NE(childSkin, nullptr) << "skinned as it was made";
  EXPECT_TRUE(childSkin->IsMDIChild());
  EXPECT_EQ(SkinManager->GetMDIChildNum(), 1);
  gui::Pump(400);
  RECT wr{};
  GetWindowRect(child, &wr);
  POINT origin{0, 0};
  ClientToScreen(child, &origin);
  EXPECT_EQ(origin.x - wr.left, childSkin->FLeftWidth);
  EXPECT_EQ(origin.y - wr.top, childSkin->FCaptionHeight);
  gui::SaveScreenshot(frame.Handle(), gui::ScreenshotPath("skinned-mdi.png"));

  // Normal state: the band has no child buttons.
  for (int action : {7, 8, 9}) EXPECT_FALSE(Press(skin, action)) << action;

  struct Row {
    int action;
    const char* what;
  };
  for (const Row& row : {Row{8, "restore"}, Row{7, "minimize"}, Row{9, "close"}}) {
    SCOPED_TRACE(row.what);
    SendMessageW(frame.client, WM_MDIRESTORE, reinterpret_cast<WPARAM>(child), 0);
    SendMessageW(frame.client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(child), 0);
    gui::Pump(300);
    ASSERT_TRUE(IsZoomed(child));
    EXPECT_TRUE(SkinManager->MDIMaximized);
    ASSERT_TRUE(Press(skin, row.action));
    gui::Pump(300);
    if (row.action == 8) {
      EXPECT_FALSE(IsZoomed(child));
      EXPECT_FALSE(IsIconic(child));
      EXPECT_FALSE(SkinManager->MDIMaximized);
      GetWindowRect(child, &wr);
      origin = POINT{0, 0};
      ClientToScreen(child, &origin);
      EXPECT_EQ(origin.y - wr.top, childSkin->FCaptionHeight) << "framed by the skin again";
    } else if (row.action == 7) {
      EXPECT_TRUE(IsIconic(child));
    } else {
      EXPECT_FALSE(IsWindow(child));
      EXPECT_EQ(SkinManager->GetMDIChildNum(), 0);
    }
  }
}

// The manager gives every skinned MDI child its caption style back, and leaves the
// top-level windows, whose caption the skin takes away, as they are.
TEST_F(MdiSkin, SetCaptionGivesTheChildrenTheirCaptionStyleBack) {
  MdiFrame frame(&app);
  frame.Show();
  gui::Pump(400);
  HWND first = frame.NewChild(), second = frame.NewChild();
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  gui::Pump(300);
  ASSERT_EQ(SkinManager->GetMDIChildNum(), 2);
  for (HWND child : {first, second}) SetWindowLongW(child, GWL_STYLE, GetWindowLongW(child, GWL_STYLE) & ~WS_CAPTION);
  const LONG frameStyle = GetWindowLongW(frame.Handle(), GWL_STYLE);
  SkinManager->SetCaption();
  for (HWND child : {first, second}) EXPECT_EQ(GetWindowLongW(child, GWL_STYLE) & WS_CAPTION, WS_CAPTION);
  EXPECT_EQ(GetWindowLongW(frame.Handle(), GWL_STYLE), frameStyle);
}

// Children lying partly outside the client give it scroll bars (Windows sets the
// client's scroll styles and recomputes its frame); those bars would be the system's,
// so the skin leaves them off unless its options ask for them.
TEST_F(MdiSkin, TheClientShowsNoSystemScrollBarsUnlessTheSkinAsksForThem) {
  for (bool wanted : {false, true}) {
    SCOPED_TRACE(wanted ? "with the option" : "without the option");
    data->Options = WithElement(data->Options, xoMDIScrollbar, wanted);
    MdiFrame frame(&app);
    frame.Show();
    gui::Pump(400);
    ASSERT_NE(SkinFormOf(frame.Handle()), nullptr);
    ASSERT_NE(frame.NewChild(), nullptr);
    gui::Pump(300);
    RECT inside{};
    GetClientRect(frame.client, &inside);
    const int fullHeight = inside.bottom;
    SetWindowLongW(frame.client, GWL_STYLE, GetWindowLongW(frame.client, GWL_STYLE) | WS_HSCROLL | WS_VSCROLL);
    SetWindowPos(frame.client, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    // Read at once: Wine's own recount of the children soon takes away bars that no
    // child needs, so only their absence is read back from the screen.
    const LONG style = GetWindowLongW(frame.client, GWL_STYLE);
    EXPECT_EQ((style & (WS_HSCROLL | WS_VSCROLL)) == (WS_HSCROLL | WS_VSCROLL), wanted) << std::hex << style;
    GetClientRect(frame.client, &inside);
    EXPECT_EQ(inside.bottom < fullHeight, wanted) << inside.bottom << " of " << fullHeight;
    RedrawWindow(frame.client, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_UPDATENOW);
    gui::Pump(300);
    if (wanted) continue;
    GetClientRect(frame.client, &inside);
    EXPECT_EQ(inside.bottom, fullHeight);
    // Where the horizontal bar would lie, the screen shows the client's own ground.
    const COLORREF shown = gui::ScreenPixel(frame.client, 10, fullHeight - 4);
    EXPECT_EQ(shown, GetSysColor(COLOR_APPWORKSPACE)) << std::hex << shown;
    gui::SaveScreenshot(frame.Handle(), gui::ScreenshotPath("mdi-no-scrollbars.png"));
  }
}

}  // namespace

namespace {

// The captions of the frame's bar buttons that show one.
std::wstring BarCaptions(TWinSkinForm* frame) {
  std::wstring all;
  for (const auto& b : frame->MenuBar()->Buttons) {
    if (!b->Caption.empty()) all += b->Caption + L";";
  }
  return all;
}

// A frame skinned while its child is already maximized: the band shows the child's
// buttons beside the frame's menu, the manager knows the child is maximized, and a menu
// the MDI client puts on the frame shows in the skinned bar.
TEST_F(MdiSkin, TheBandOfAFrameWithAMaximizedChildCarriesItsButtonsAndANewMenu) {
  data->SetActive(false);
  gui::Pump(400);
  MdiFrame frame(&app);
  frame.Show();
  SetForegroundWindow(frame.Handle());
  HWND child = frame.NewChild();
  SendMessageW(frame.client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(child), 0);
  gui::Pump(200);
  ASSERT_TRUE(IsZoomed(child));
  data->SetActive(true);
  gui::Pump(600);
  TWinSkinForm* skin = SkinFormOf(frame.Handle());
  ASSERT_NE(skin, nullptr);
  ASSERT_NE(skin->MenuBar(), nullptr);
  EXPECT_TRUE(SkinManager->MDIMaximized);
  EXPECT_EQ(GetMenu(frame.Handle()), nullptr) << "the bar took the menu";
  EXPECT_EQ(BarCaptions(skin), gbk::ToWide(gbk::FromUtf8("窗口(&W);")));

  RECT wr{};
  GetWindowRect(frame.Handle(), &wr);
  int menuRight = 0;
  for (const auto& b : skin->MenuBar()->Buttons) menuRight = std::max<int>(menuRight, b->Bounds.right);
  int shown = 0;
  for (const auto& b : skin->FButtons) {
    const TDataSkinSysButton& s = *b->Skin;
    if (s.Visibility != 100 || !b->Visible) continue;
    SCOPED_TRACE(s.Action);
    ++shown;
    EXPECT_GE(b->Bounds.left, menuRight) << "beside the menu, not over it";
    const RECT r{0, 0, Width(b->Bounds), Height(b->Bounds)};
    TBitmap want;
    want.SetSize(r.right, r.bottom);
    DrawRect1(want.Canvas().Handle(), r, s.Image.get(), true, TWinSkinForm::ButtonFrames(s), 1);
    const int x = r.right / 2, y = r.bottom / 2;
    HDC screen = GetDC(nullptr);
    const COLORREF onScreen = GetPixel(screen, wr.left + b->Bounds.left + x, wr.top + b->Bounds.top + y);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(onScreen, static_cast<COLORREF>(want.Pixel(x, y)) & 0xFFFFFF);
    // Placed from the band's right end, clear of the bar image's left edge.
    const int barEdge = data->MenuBar ? data->MenuBar->LeftWidth : 0;
    EXPECT_EQ(b->Bounds.left, (wr.right - wr.left) - s.Xcoord - skin->FRightWidth - barEdge);
  }
  EXPECT_EQ(shown, 3) << "minimize, restore and close of the child";

  HMENU other = MenuOf({"甲(&A)", "乙(&B)"});
  SendMessageW(frame.client, WM_MDISETMENU, reinterpret_cast<WPARAM>(other), 0);
  gui::Pump(300);
  EXPECT_EQ(GetMenu(frame.Handle()), nullptr);
  EXPECT_EQ(skin->MenuBar()->MenuHandle, other);
  EXPECT_EQ(BarCaptions(skin), gbk::ToWide(gbk::FromUtf8("甲(&A);乙(&B);")));
  SendMessageW(frame.client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(child), 0);
  gui::Pump(200);
  EXPECT_FALSE(SkinManager->MDIMaximized);
  DestroyMenu(other);
}

// The frame's activation goes on to its MDI client, a child's to the child's own
// procedure; the skin answers both with 1.
TEST_F(MdiSkin, ActivationGoesOnToTheClientAndToTheChildsOwnProcedure) {
  MdiFrame frame(&app);
  frame.Show();
  gui::Pump(400);
  HWND first = frame.NewChild(kNotingChildClass), second = frame.NewChild(kNotingChildClass);
  gui::Pump(300);
  ASSERT_NE(SkinFormOf(first), nullptr);
  ASSERT_NE(SkinFormOf(second), nullptr);
  {
    Watch toClient(WH_CALLWNDPROC, frame.client, WM_NCACTIVATE);
    skinform::ButtonForm other(&app, "别的窗口", 600, 60, 220, 160, "TOtherForm");
    other.Show();
    gui::Pump(300);
    RECT cr{};
    GetClientRect(frame.client, &cr);
    gui::MouseClick(frame.client, POINT{cr.right - 20, cr.bottom - 20});
    gui::Pump(300);
    EXPECT_EQ(GetForegroundWindow(), frame.Handle());
    EXPECT_TRUE(toClient.Saw(FALSE, 0)) << toClient.Calls().size();
    EXPECT_TRUE(toClient.Saw(TRUE, 0));
  }
  const int firstBefore = Activations(first), secondBefore = Activations(second);
  SendMessageW(frame.client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(first), 0);
  gui::Pump(200);
  EXPECT_GT(Activations(first), firstBefore) << "activated";
  EXPECT_GT(Activations(second), secondBefore) << "deactivated";
  EXPECT_EQ(SendMessageW(second, WM_NCACTIVATE, FALSE, 0), 1);
  EXPECT_EQ(SendMessageW(frame.Handle(), WM_NCACTIVATE, TRUE, 0), 1);
}

// A maximized child's new caption joins the frame's; the child asks the MDI client for a
// redraw of the frame, whose caption then shows the skin with the new text.
TEST_F(MdiSkin, RetitlingAMaximizedChildRedrawsTheFramesSkinnedCaption) {
  MdiFrame frame(&app);
  frame.Show();
  gui::ParkMouse();
  gui::Pump(400);
  HWND child = frame.NewChild();
  SendMessageW(frame.client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(child), 0);
  gui::Pump(300);
  ASSERT_TRUE(IsZoomed(child));
  TWinSkinForm* skin = SkinFormOf(frame.Handle());
  ASSERT_NE(skin, nullptr);
  const std::vector<COLORREF> before = skinform::CaptionBand(skin);
  {
    Watch redraw(WH_GETMESSAGE, frame.client, CN_MaxChildActivated);
    SetWindowTextW(child, gbk::ToWide(gbk::FromUtf8("新标题")).c_str());
    gui::Pump(300);
    EXPECT_TRUE(redraw.Saw(reinterpret_cast<WPARAM>(child), 0));
  }
  EXPECT_NE(gui::Text(frame.Handle()).find(gbk::FromUtf8("新标题")), std::string::npos) << gui::Text(frame.Handle());
  const std::vector<COLORREF> after = skinform::CaptionBand(skin);
  ASSERT_FALSE(after.empty());
  EXPECT_NE(after, before);
  EXPECT_EQ(after, skinform::CaptionBand(skin, true)) << "the skin's caption, not the system's";
  gui::SaveScreenshot(frame.Handle(), gui::ScreenshotPath("mdi-retitled.png"));
}

// While children are open the band keeps a menu the MDI client gave the frame, whatever
// the frame's own menu does; the frame's own menu shown in the band still follows its
// changes. Once the last child has gone the band follows the frame's menu again.
TEST_F(MdiSkin, WhileChildrenAreOpenTheBandKeepsTheMenuTheClientGaveIt) {
  MdiFrame frame(&app);
  frame.Show();
  gui::Pump(400);
  TWinSkinForm* skin = SkinFormOf(frame.Handle());
  ASSERT_NE(skin, nullptr);
  ASSERT_NE(skin->MenuBar(), nullptr);
  EXPECT_TRUE(data->MenuUpdate);
  HWND child = frame.NewChild();
  gui::Pump(300);
  EXPECT_FALSE(data->MenuUpdate);
  frame.AddMenuItem("帮助(&H)");
  gui::Pump(200);
  EXPECT_EQ(BarCaptions(skin), gbk::ToWide(gbk::FromUtf8("窗口(&W);帮助(&H);")));

  HMENU other = MenuOf({"甲(&A)", "乙(&B)"});
  SendMessageW(frame.client, WM_MDISETMENU, reinterpret_cast<WPARAM>(other), 0);
  gui::Pump(300);
  EXPECT_EQ(BarCaptions(skin), gbk::ToWide(gbk::FromUtf8("甲(&A);乙(&B);")));
  frame.AddMenuItem("工具(&T)");
  gui::Pump(200);
  EXPECT_EQ(BarCaptions(skin), gbk::ToWide(gbk::FromUtf8("甲(&A);乙(&B);"))) << "kept while the child is open";

  SendMessageW(frame.client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(child), 0);
  gui::Pump(200);
  EXPECT_TRUE(data->MenuUpdate);
  frame.AddMenuItem("选项(&O)");
  gui::Pump(300);
  EXPECT_EQ(BarCaptions(skin), gbk::ToWide(gbk::FromUtf8("窗口(&W);帮助(&H);工具(&T);选项(&O);")));
  DestroyMenu(other);
}

}  // namespace

namespace {

// The frame's menu as the system shows it: the frame's own items by caption, and "+"
// for each item a maximized child adds (its icon and its minimize, restore and close).
std::string Items(HMENU menu) {
  std::string s;
  for (int i = 0, n = menu ? GetMenuItemCount(menu) : 0; i < n; ++i) {
    wchar_t text[64] = {};
    GetMenuStringW(menu, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
    s += text[0] ? gbk::FromWide(text) + ";" : "+";
  }
  return s;
}

// The frame's menu goes back to the frame with the skin. The items a maximized child adds
// belong to the system's bar, which the skinned band replaces: whatever the child did
// while the skin was on, the frame gets its own items back, with the child's only while
// the child is maximized.
TEST_F(MdiSkin, TheFrameGetsItsMenuBackWithTheChildsItemsOnlyWhileTheChildIsMaximized) {
  const std::string own = gbk::FromUtf8("窗口(&W);");
  struct Row {
    const char* what;
    bool maximizedBeforeSkin, maximizedAtUnskin;
  };
  for (const Row& row :
       {Row{"maximized before, restored under the skin", true, false},
        Row{"maximized under the skin, unskinned maximized", false, true}, Row{"maximized throughout", true, true}}) {
    SCOPED_TRACE(row.what);
    data->SetActive(false);
    gui::Pump(400);
    MdiFrame frame(&app);
    frame.Show();
    SetForegroundWindow(frame.Handle());
    gui::Pump(200);
    HWND child = frame.NewChild();
    if (row.maximizedBeforeSkin) SendMessageW(frame.client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(child), 0);
    gui::Pump(200);
    data->SetActive(true);
    gui::Pump(600);
    ASSERT_NE(SkinFormOf(frame.Handle()), nullptr);
    ASSERT_EQ(GetMenu(frame.Handle()), nullptr);
    SendMessageW(frame.client, row.maximizedAtUnskin ? WM_MDIMAXIMIZE : WM_MDIRESTORE, reinterpret_cast<WPARAM>(child),
                 0);
    gui::Pump(300);
    ASSERT_EQ(IsZoomed(child) != FALSE, row.maximizedAtUnskin);

    data->SetActive(false);
    gui::Pump(600);
    ASSERT_EQ(SkinFormOf(frame.Handle()), nullptr);
    ASSERT_EQ(GetMenu(frame.Handle()), frame.bar());
    EXPECT_EQ(Items(frame.bar()), row.maximizedAtUnskin ? "+" + own + "+++" : own);
    SendMessageW(frame.client, WM_MDIRESTORE, reinterpret_cast<WPARAM>(child), 0);
    gui::Pump(300);
    EXPECT_EQ(Items(frame.bar()), own) << "restored, the child takes its items away";
  }
}

}  // namespace

namespace {

// A right-to-left bar in the band of a frame whose child is maximized: its buttons end
// left of the child's, which show their skin images at the band's right end.
TEST_F(MdiSkin, ARightToLeftBarKeepsClearOfTheMaximizedChildsButtons) {
  MdiFrame frame(&app, true);
  frame.Show();
  SetForegroundWindow(frame.Handle());
  gui::Pump(400);
  HWND child = frame.NewChild();
  SendMessageW(frame.client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(child), 0);
  gui::Pump(400);
  TWinSkinForm* skin = SkinFormOf(frame.Handle());
  ASSERT_NE(skin, nullptr);
  ASSERT_NE(skin->MenuBar(), nullptr);
  ASSERT_TRUE(skin->MenuBar()->RightToLeft());
  ASSERT_TRUE(IsZoomed(child));
  int childLeft = skin->MenuBar()->Band.right;
  int shown = 0;
  RECT wr{};
  GetWindowRect(frame.Handle(), &wr);
  HDC screen = GetDC(nullptr);
  for (const auto& b : skin->FButtons) {
    const TDataSkinSysButton& s = *b->Skin;
    if (s.Visibility != 100 || !b->Visible) continue;
    ++shown;
    childLeft = std::min<int>(childLeft, b->Bounds.left);
    TBitmap want;
    want.SetSize(Width(b->Bounds), Height(b->Bounds));
    DrawRect1(want.Canvas().Handle(), RECT{0, 0, Width(b->Bounds), Height(b->Bounds)}, s.Image.get(), true,
              TWinSkinForm::ButtonFrames(s), 1);
    const int x = Width(b->Bounds) / 2, y = Height(b->Bounds) / 2;
    EXPECT_EQ(GetPixel(screen, wr.left + b->Bounds.left + x, wr.top + b->Bounds.top + y),
              static_cast<COLORREF>(want.Pixel(x, y)) & 0xFFFFFF)
        << s.Action;
  }
  ReleaseDC(nullptr, screen);
  ASSERT_EQ(shown, 3);
  int buttons = 0;
  for (const auto& b : skin->MenuBar()->Buttons) {
    if (b->Caption.empty()) continue;
    ++buttons;
    EXPECT_EQ(b->Bounds.right, childLeft - 5) << "right to left, starting clear of the child's buttons";
    EXPECT_GT(b->Bounds.left, skin->MenuBar()->Band.left);
  }
  EXPECT_EQ(buttons, 1);
  gui::SaveScreenshot(frame.Handle(), gui::ScreenshotPath("skinned-mdi-rtl.png"));
}

}  // namespace

namespace {

// The skin's MenuBar object as the band of this size shows it, active.
std::unique_ptr<TBitmap> SkinnedBand(const TSkinData& data, int w, int h) {
  const TDataSkinObject* skin = data.MenuBar.get();
  if (!skin || !skin->Image || skin->Image->Empty()) return nullptr;
  auto band = std::make_unique<TBitmap>();
  band->SetSize(w, h);
  const RECT r{0, 0, w, h}, edges{skin->LeftWidth, 0, skin->RightWidth, 0};
  if (skin->Tile == 1) {
    DrawRect2(band->Canvas().Handle(), r, skin->Image.get(), true, false, false, 2, 1, edges);
  } else {
    DrawRectTile(&band->Canvas(), r, skin->Image.get(), true, false, 2, 1, edges);
  }
  return band;
}

// A menu the MDI client puts on the frame is taken off it at once and shown in the
// skinned band; of the frame's own menu given back, an item's menu text shows, and the
// class library's caption only for an item whose text is empty.
TEST_F(MdiSkin, AMenuTheClientSetsShowsInTheSkinnedBandAndLeavesTheFrame) {
  MdiFrame frame(&app);
  frame.AddMenuItem("帮助(&H)");
  frame.Show();
  SetForegroundWindow(frame.Handle());
  gui::ParkMouse();
  gui::Pump(400);
  TWinSkinForm* skin = SkinFormOf(frame.Handle());
  ASSERT_NE(skin, nullptr);
  ASSERT_NE(skin->MenuBar(), nullptr);
  ASSERT_NE(frame.NewChild(), nullptr);
  gui::Pump(300);

  HMENU other = MenuOf({"甲(&A)", "乙(&B)", "丙(&C)"});
  SendMessageW(frame.client, WM_MDISETMENU, reinterpret_cast<WPARAM>(other), 0);
  EXPECT_EQ(GetMenu(frame.Handle()), nullptr) << "taken off as the client put it on";
  EXPECT_EQ(BarCaptions(skin), gbk::ToWide(gbk::FromUtf8("甲(&A);乙(&B);丙(&C);")));
  gui::Pump(300);
  EXPECT_EQ(GetMenu(frame.Handle()), nullptr);
  const TWinSkinMenu& bar = *skin->MenuBar();
  ASSERT_EQ(bar.Count(), 3);
  for (const auto& b : bar.Buttons) EXPECT_GT(Width(b->Bounds), 10) << gbk::FromWide(b->Caption);
  // Right of the last button the band shows the skin's bar, not the system's.
  const int x = bar.Buttons.back()->Bounds.right + 8, y = (bar.Band.top + bar.Band.bottom) / 2;
  ASSERT_LT(x, bar.Band.right);
  auto want = SkinnedBand(*data, Width(bar.Band), Height(bar.Band));
  ASSERT_TRUE(want) << "the skin has a MenuBar image";
  RECT wr{};
  GetWindowRect(frame.Handle(), &wr);
  HDC screen = GetDC(nullptr);
  const COLORREF shown = GetPixel(screen, wr.left + x, wr.top + y);
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(shown, static_cast<COLORREF>(want->Pixel(x - bar.Band.left, y - bar.Band.top)) & 0xFFFFFF)
      << std::hex << shown;
  gui::SaveScreenshot(frame.Handle(), gui::ScreenshotPath("mdi-set-menu.png"));

  MENUITEMINFOW mi{};
  mi.cbSize = sizeof mi;
  mi.fMask = MIIM_STRING;
  wchar_t empty[] = L"";
  mi.dwTypeData = empty;
  SetMenuItemInfoW(frame.bar(), 0, TRUE, &mi);
  std::wstring renamed = gbk::ToWide(gbk::FromUtf8("说明(&H)"));
  mi.dwTypeData = renamed.data();
  SetMenuItemInfoW(frame.bar(), 1, TRUE, &mi);
  SendMessageW(frame.client, WM_MDISETMENU, reinterpret_cast<WPARAM>(frame.bar()), 0);
  EXPECT_EQ(GetMenu(frame.Handle()), nullptr);
  EXPECT_EQ(BarCaptions(skin), gbk::ToWide(gbk::FromUtf8("窗口(&W);说明(&H);")));
  DestroyMenu(other);
}

// A child whose skinned caption is lower than the system's caption and frame makes up
// the difference in a band of the skin's face, so its client area sits where the MDI
// client expects it; minimized, it wears the system's frame and its points are the
// system's.
TEST_F(MdiSkin, AChildWithALowCaptionMakesUpTheDifferenceInItsBand) {
  ASSERT_TRUE(data->LoadFromFile(SkinPath("Plain"))) << data->LastError();
  gui::Pump(300);
  MdiFrame frame(&app);
  frame.Show();
  SetForegroundWindow(frame.Handle());
  gui::Pump(300);
  HWND child = frame.NewChild();
  gui::Pump(400);
  TWinSkinForm* skin = SkinFormOf(child);
  ASSERT_NE(skin, nullptr);
  const int system = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CXFRAME);
  ASSERT_LT(skin->FCaptionHeight, system) << "Plain's caption is the lower";
  EXPECT_EQ(skin->FMenuHeight, system - skin->FCaptionHeight);
  RECT wr{};
  GetWindowRect(child, &wr);
  POINT origin{0, 0};
  ClientToScreen(child, &origin);
  EXPECT_EQ(origin.y - wr.top, system);
  const COLORREF face = ColorToRGB(data->SchemeColors[csButtonFace]);
  EXPECT_EQ(gui::ScreenPixel(wr.left + skin->FLeftWidth + 8, wr.top + skin->FCaptionHeight), face);
  gui::SaveScreenshot(frame.Handle(), gui::ScreenshotPath("skinned-mdi-plain.png"));

  ShowWindow(child, SW_MINIMIZE);
  gui::Pump(300);
  ASSERT_TRUE(IsIconic(child));
  GetWindowRect(child, &wr);
  const POINT at{wr.left + 5, wr.top + 5};
  POINT client = at;
  ScreenToClient(child, &client);
  const POINT p = skin->GetWinXY(at.x, at.y);
  EXPECT_EQ(p.x, client.x);
  EXPECT_EQ(p.y, client.y);
}

}  // namespace
