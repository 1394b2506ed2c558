#include "classlib/Forms.h"

#include <commctrl.h>

#include <algorithm>

#include "classlib/ComCtrls.h"
#include "classlib/Gbk.h"
#include "classlib/Menus.h"
#include "classlib/StdCtrls.h"

TApplication* Application = nullptr;

void ApplicationHandleException() {
  if (Application) Application->HandleException();
}

// ---- TForm ----

TForm::TForm(TComponent* owner) : TWinControl(owner) {
  SetVisible(false);
  SetBounds(CW_USEDEFAULT, CW_USEDEFAULT, 400, 300);
}

TForm::~TForm() {
  if (OnDestroy) OnDestroy(this);
  hints_.reset();
  if (Application && Application->mainForm_ == this) Application->mainForm_ = nullptr;
}

void TForm::DoCreate() {
  if (OnCreate) OnCreate(this);
}

DWORD TForm::CreateStyle() const {
  DWORD s = WS_CLIPCHILDREN;
  switch (BorderStyle) {
    case bsNone:
      s |= WS_POPUP;
      break;
    case bsSingle:
      s |= WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_BORDER;
      break;
    case bsDialog:
      s |= WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
      break;
    case bsToolWindow:
      s |= WS_CAPTION | WS_SYSMENU;
      break;
    default:
      s |= WS_OVERLAPPEDWINDOW;
      break;
  }
  return s;
}

DWORD TForm::ExStyle() const {
  DWORD ex = WS_EX_CONTROLPARENT;
  if (BorderStyle == bsDialog) ex |= WS_EX_DLGMODALFRAME;
  if (BorderStyle == bsToolWindow || BorderStyle == bsSizeToolWin) ex |= WS_EX_TOOLWINDOW;
  if (RightToLeft) ex |= WS_EX_RTLREADING | WS_EX_RIGHT | WS_EX_LEFTSCROLLBAR;
  return ex;
}

void TForm::CreateHandle() {
  TWinControl::CreateHandle();
  if (menu_) SetMenu(menu_);
  if (Application && Application->mainForm_ && Application->mainForm_ != this &&
      Application->mainForm_->HandleAllocated()) {
    SetWindowLongPtrW(hwnd_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(Application->mainForm_->Handle()));
  }
  UpdateScrollRange();
}

void TForm::AfterCreate() { hints_ = std::make_unique<THintWindow>(hwnd_); }

void TForm::HintToolCreated(HWND h) {
  if (hints_) hints_->AddTool(h);
}

void TForm::HintToolDestroyed(HWND h) {
  if (hints_) hints_->RemoveTool(h);
}

void TForm::HintRelay(const MSG& m) {
  if (hints_) hints_->Relay(m);
}

void TForm::PlaceOnScreen() {
  if (Position == poDesigned) return;
  RECT wr;
  GetWindowRect(hwnd_, &wr);
  RECT area;
  if (Position == poMainFormCenter && Application && Application->mainForm_ && Application->mainForm_ != this &&
      Application->mainForm_->HandleAllocated()) {
    GetWindowRect(Application->mainForm_->Handle(), &area);
  } else {
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  }
  int w = wr.right - wr.left, h = wr.bottom - wr.top;
  SetBounds(area.left + (area.right - area.left - w) / 2, area.top + (area.bottom - area.top - h) / 2, w, h);
}

void TForm::Show() {
  HandleNeeded();
  if (!shownOnce_) {
    shownOnce_ = true;
    PlaceOnScreen();
  }
  // What OnShow sets up is on the window when it first comes onto the screen: not drawn
  // once before and again after.
  if (OnShow) OnShow(this);
  ShowWindow(hwnd_, state_ == wsMaximized ? SW_SHOWMAXIMIZED : state_ == wsMinimized ? SW_SHOWMINIMIZED : SW_SHOW);
  TControl::SetVisible(true);
  SetForegroundWindow(hwnd_);
  // A form already active when shown again hears no activation.
  if (GetActiveWindow() == hwnd_ && !IsChild(hwnd_, GetFocus())) TakeFocus();
}

int TForm::ShowModal() {
  HandleNeeded();
  HWND owner = GetWindow(hwnd_, GW_OWNER);
  if (owner) EnableWindow(owner, FALSE);
  ModalResult = mrNone;
  modal_ = true;
  Show();
  while (ModalResult == mrNone && Application && !Application->terminated_) Application->HandleMessage();
  modal_ = false;
  if (owner) {
    EnableWindow(owner, TRUE);
    SetActiveWindow(owner);
  }
  if (hwnd_) ShowWindow(hwnd_, SW_HIDE);
  TControl::SetVisible(false);
  return ModalResult;
}

void TForm::Close() {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  if (!canClose) return;
  TCloseAction action = modal_ ? caHide : (Application && Application->mainForm_ == this ? caFree : caHide);
  if (OnClose) OnClose(this, action);
  if (action == caNone) return;
  if (modal_) {
    if (ModalResult == mrNone) ModalResult = mrCancel;
    return;
  }
  if (Application && Application->mainForm_ == this) {
    Application->Terminate();
    return;
  }
  if (action == caFree) {
    Release();
  } else if (action == caMinimize) {
    ShowWindow(hwnd_, SW_MINIMIZE);
  } else {
    Hide();
  }
}

namespace {
constexpr UINT kRelease = WM_APP + 0x100;
}

void TForm::Release() {
  if (hwnd_) PostMessageW(hwnd_, kRelease, 0, 0);
}

TWindowState TForm::WindowState() {
  if (hwnd_ && Visible()) state_ = IsZoomed(hwnd_) ? wsMaximized : IsIconic(hwnd_) ? wsMinimized : wsNormal;
  return state_;
}

void TForm::SetWindowState(TWindowState s) {
  state_ = s;
  if (hwnd_ && Visible())
    ShowWindow(hwnd_, s == wsMaximized ? SW_MAXIMIZE : s == wsMinimized ? SW_MINIMIZE : SW_RESTORE);
}

void TForm::SetClientSize(int width, int height) {
  RECT r{0, 0, width, height};
  AdjustWindowRectEx(&r, CreateStyle(), menu_ != nullptr, ExStyle());
  SetBounds(Left(), Top(), r.right - r.left, r.bottom - r.top);
}

void TForm::SetMenu(TMainMenu* m) {
  if (menu_ && menu_ != m) menu_->Window = nullptr;
  menu_ = m;
  if (m && RightToLeft) m->SetRightToLeft(true);
  if (!hwnd_) return;
  if (m) m->Window = hwnd_;
  ::SetMenu(hwnd_, m ? m->Handle() : nullptr);
  DrawMenuBar(hwnd_);
}

bool TForm::Active() { return hwnd_ && GetActiveWindow() == hwnd_; }

// ---- Scrolling ----

namespace {
constexpr int kScrollLine = 8;  // pixels a click on a bar's arrow scrolls
}

void TForm::SetAutoScroll(bool on) {
  if (autoScroll_ == on) return;
  autoScroll_ = on;
  UpdateScrollRange();
}

// How far the controls that are not aligned reach from the unscrolled origin.
SIZE TForm::ScrollExtent() const {
  SIZE extent{0, 0};
  if (!autoScroll_) return extent;
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (c->Align() != alNone || !c->Visible()) continue;
    extent.cx = std::max<LONG>(extent.cx, c->Left() + c->Width() + scrollPos_.x);
    extent.cy = std::max<LONG>(extent.cy, c->Top() + c->Height() + scrollPos_.y);
  }
  return extent;
}

// One bar shown while `extent` does not fit in a page of `page` pixels. True when the
// bar appeared or went, which changes the client area.
bool TForm::SetScrollBar(int bar, int extent, int page) {
  const LONG flag = bar == SB_HORZ ? WS_HSCROLL : WS_VSCROLL;
  const bool was = GetWindowLongW(hwnd_, GWL_STYLE) & flag;
  const bool needed = extent > page;
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_RANGE | SIF_PAGE;
  GetScrollInfo(hwnd_, bar, &si);
  const int last = needed ? extent - 1 : 0;
  const UINT pageSize = needed ? static_cast<UINT>(page) : 0;
  if (si.nMin != 0 || si.nMax != last || si.nPage != pageSize) {
    si.fMask = SIF_RANGE | SIF_PAGE;
    si.nMin = 0;
    si.nMax = last;
    si.nPage = pageSize;
    SetScrollInfo(hwnd_, bar, &si, needed);
  }
  if (was != needed) ShowScrollBar(hwnd_, bar, needed);
  return was != needed;
}

void TForm::UpdateScrollRange() {
  if (!hwnd_ || rangeUpdating_ || IsIconic(hwnd_)) return;
  rangeUpdating_ = true;
  const SIZE extent = ScrollExtent();
  RECT r{};
  // A bar that appears narrows the client the other way, which may call for the other bar.
  for (int pass = 0; pass < 4; ++pass) {
    GetClientRect(hwnd_, &r);
    bool changed = SetScrollBar(SB_HORZ, extent.cx, r.right);
    GetClientRect(hwnd_, &r);
    changed |= SetScrollBar(SB_VERT, extent.cy, r.bottom);
    if (!changed) break;
  }
  GetClientRect(hwnd_, &r);
  ScrollTo(std::clamp<int>(scrollPos_.x, 0, std::max<int>(extent.cx - r.right, 0)),
           std::clamp<int>(scrollPos_.y, 0, std::max<int>(extent.cy - r.bottom, 0)));
  rangeUpdating_ = false;
}

void TForm::ScrollMessage(int bar, WORD code) {
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_ALL;
  if (!GetScrollInfo(hwnd_, bar, &si)) return;
  const int page = static_cast<int>(si.nPage);
  const int last = std::max(si.nMax - page + 1, 0);
  int pos = si.nPos;
  switch (code) {
    case SB_LINEUP:
      pos -= kScrollLine;
      break;
    case SB_LINEDOWN:
      pos += kScrollLine;
      break;
    case SB_PAGEUP:
      pos -= page;
      break;
    case SB_PAGEDOWN:
      pos += page;
      break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
      pos = si.nTrackPos;
      break;
    case SB_TOP:
      pos = 0;
      break;
    case SB_BOTTOM:
      pos = last;
      break;
    default:
      return;
  }
  pos = std::clamp(pos, 0, last);
  if (bar == SB_HORZ) {
    ScrollTo(pos, scrollPos_.y);
  } else {
    ScrollTo(scrollPos_.x, pos);
  }
}

void TForm::ScrollTo(int x, int y) {
  const int dx = scrollPos_.x - x, dy = scrollPos_.y - y;
  scrollPos_ = POINT{x, y};
  if (GetScrollPos(hwnd_, SB_HORZ) != x) SetScrollPos(hwnd_, SB_HORZ, x, TRUE);
  if (GetScrollPos(hwnd_, SB_VERT) != y) SetScrollPos(hwnd_, SB_VERT, y, TRUE);
  if (dx != 0 || dy != 0) MoveFreeControls(dx, dy);
}

namespace {

bool Clickable(TControl* c) {
  return c->HandleAllocated() && IsWindowVisible(c->Handle()) && IsWindowEnabled(c->Handle());
}

// The first button under `parent`, in creation order, for which `pick` holds.
template <class Pick>
TButton* FindButton(TWinControl* parent, Pick pick) {
  for (int i = 0; i < parent->ControlCount(); ++i) {
    TControl* c = parent->Controls(i);
    if (auto* b = dynamic_cast<TButton*>(c); b && Clickable(b) && pick(*b)) return b;
    if (auto* w = dynamic_cast<TWinControl*>(c)) {
      if (TButton* b = FindButton(w, pick)) return b;
    }
  }
  return nullptr;
}

}  // namespace

namespace {

bool Focusable(HWND h) { return h && IsWindowVisible(h) && IsWindowEnabled(h); }

// The first control under `parent`, in creation (tab) order, that takes the keyboard by Tab.
TWinControl* FirstTabControl(TWinControl* parent) {
  for (int i = 0; i < parent->ControlCount(); ++i) {
    auto* w = dynamic_cast<TWinControl*>(parent->Controls(i));
    if (!w || !w->HandleAllocated() || !Focusable(w->Handle())) continue;
    if (GetWindowLongW(w->Handle(), GWL_STYLE) & WS_TABSTOP) return w;
    if (TWinControl* inner = FirstTabControl(w)) return inner;
  }
  return nullptr;
}

}  // namespace

void TForm::TakeFocus() {
  if (Focusable(focusKept_) && IsChild(hwnd_, focusKept_)) {
    SetFocus(focusKept_);
    return;
  }
  TWinControl* target = ActiveControl;
  if (!target || !target->HandleAllocated() || !Focusable(target->Handle())) target = FirstTabControl(this);
  if (!target) {
    SetFocus(hwnd_);
    return;
  }
  HWND h = target->Handle();
  SetFocus(h);
  const bool singleLineEdit =
      (SendMessageW(h, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) && !(GetWindowLongW(h, GWL_STYLE) & ES_MULTILINE);
  if (singleLineEdit) SendMessageW(h, EM_SETSEL, 0, -1);
}

TButton* TForm::DefaultButton() {
  HWND focus = GetFocus();
  if (focus && IsChild(hwnd_, focus)) {
    if (auto* b = dynamic_cast<TButton*>(TControl::FromHandle(focus)); b && Clickable(b)) return b;
  }
  return FindButton(this, [](TButton& b) { return b.Default; });
}

TButton* TForm::CancelButton() {
  if (TButton* b = FindButton(this, [](TButton& b) { return b.Cancel; })) return b;
  return FindButton(this, [](TButton& b) { return b.ModalResult == mrCancel; });
}

// As the dialog manager presses a button: its parent hears BN_CLICKED from it.
void TForm::PressButton(TButton* b) {
  HWND h = b->Handle();
  SendMessageW(GetParent(h), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(h), BN_CLICKED), reinterpret_cast<LPARAM>(h));
}

LRESULT TForm::WndProc(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_CLOSE:
      Close();
      return 0;
    case WM_ERASEBKGND: {
      RECT r;
      GetClientRect(hwnd_, &r);
      FillRect(reinterpret_cast<HDC>(w), &r, BackgroundBrush());
      return 1;
    }
    case WM_ACTIVATE:
      // As a dialog does: the focus is kept when the form is left and given back when
      // it returns, instead of going to the form's own window.
      if (LOWORD(w) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(hwnd_, focus)) focusKept_ = focus;
        break;
      }
      if (!HIWORD(w)) TakeFocus();
      if (OnActivate) OnActivate(this);
      return 0;
    case WM_SIZE: {
      const LRESULT r = TWinControl::WndProc(msg, w, l);
      if (w != SIZE_MINIMIZED) UpdateScrollRange();
      return r;
    }
    case WM_HSCROLL:
    case WM_VSCROLL:
      if (l != 0) break;  // a scroll-bar control's, reflected to it
      ScrollMessage(msg == WM_HSCROLL ? SB_HORZ : SB_VERT, LOWORD(w));
      return 0;
    case WM_NOTIFY:
      if (hints_ && hints_->HandleNotify(reinterpret_cast<NMHDR*>(l))) return 0;
      break;
    case DM_GETDEFID:  // asked by the dialog keys for Enter
      if (TButton* b = DefaultButton()) return MAKELRESULT(GetDlgCtrlID(b->Handle()), DC_HASDEFID);
      return 0;
    case WM_COMMAND:
      // Esc from the dialog keys (no child of ours has the id IDCANCEL).
      if (w == IDCANCEL && l == 0) {
        if (TButton* b = CancelButton()) {
          PressButton(b);
        } else if (modal_ || EscapeCloses) {
          // It closes, as a system dialog with only a close or OK button does; a form
          // that would lose input asks first (OnCloseQuery).
          Close();
        }
        return 0;
      }
      break;
    case kRelease:
      delete this;
      return 0;
    case CM_MENUCHANGED:
      if (menu_) {
        ::SetMenu(hwnd_, menu_->Handle());
        DrawMenuBar(hwnd_);
      }
      return 0;
    default:
      break;
  }
  return TWinControl::WndProc(msg, w, l);
}

// ---- TApplication ----

TApplication::TApplication() : TComponent(nullptr) { Application = this; }

TApplication::~TApplication() {
  // Forms go first, while the application object still answers them.
  while (ComponentCount() > 0) delete Components(ComponentCount() - 1);
  if (Application == this) Application = nullptr;
}

void TApplication::Initialize() {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_TAB_CLASSES | ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&icc);
  LoadLibraryW(L"riched20.dll");
}

bool TApplication::DispatchOne(MSG& m) {
  if (m.message == WM_QUIT) {
    terminated_ = true;
    return false;
  }
  if (ControlKey(m) || PageKey(m) || RadioKey(m)) return true;
  if (m.message == WM_KEYDOWN && (m.wParam == VK_TAB || m.wParam == VK_RETURN || m.wParam == VK_ESCAPE))
    TWinControl::BroadcastToForm(m.hwnd, CM_DIALOGKEY, m.wParam, m.lParam);
  HWND top = GetAncestor(m.hwnd, GA_ROOT);
  if (top && IsDialogMessageW(top, &m)) return true;
  TranslateMessage(&m);
  DispatchMessageW(&m);
  return true;
}

// A control's own key events see a key before the dialog keys do: Enter in a search
// box searches instead of pressing the form's default button. True when the message
// has been handled here.
bool TApplication::ControlKey(MSG& m) {
  if (m.message != WM_KEYDOWN && m.message != WM_CHAR) return false;
  auto* c = dynamic_cast<TWinControl*>(TControl::FromHandle(m.hwnd));
  if (!c) return false;
  if (m.message == WM_KEYDOWN) {
    if (c->OnKeyDown) {
      WORD key = static_cast<WORD>(m.wParam);
      c->OnKeyDown(c, key);
      if (key == 0) return true;
      m.wParam = key;
    }
    // Enter and Esc go on to the control as characters, for its OnKeyPress.
    if (!c->OnKeyPress || (m.wParam != VK_RETURN && m.wParam != VK_ESCAPE)) return false;
    TranslateMessage(&m);
    DispatchMessageW(&m);
    return true;
  }
  if (!c->OnKeyPress || m.wParam >= 0x80) return false;
  char key = static_cast<char>(m.wParam);
  c->OnKeyPress(c, key);
  if (key == 0) return true;
  if (key == VK_RETURN || key == VK_ESCAPE) {
    // Not taken: the form's default or cancel button answers it, as without the event.
    MSG down = m;
    down.message = WM_KEYDOWN;
    down.wParam = static_cast<unsigned char>(key);
    if (HWND top = GetAncestor(m.hwnd, GA_ROOT)) IsDialogMessageW(top, &down);
    return true;
  }
  m.wParam = static_cast<unsigned char>(key);
  return false;
}

// Ctrl+Tab that the focused control does not take for itself turns the page of the
// nearest page control holding it. True when a page was turned.
bool TApplication::PageKey(MSG& m) {
  if (m.message != WM_KEYDOWN || m.wParam != VK_TAB || GetKeyState(VK_CONTROL) >= 0) return false;
  if (SendMessageW(m.hwnd, WM_GETDLGCODE, m.wParam, reinterpret_cast<LPARAM>(&m)) &
      (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE | DLGC_WANTTAB))
    return false;
  for (HWND h = m.hwnd; h; h = GetParent(h)) {
    if (auto* pages = dynamic_cast<TPageControl*>(TControl::FromHandle(h))) {
      pages->TurnPage(GetKeyState(VK_SHIFT) >= 0);
      return true;
    }
  }
  return false;
}

// An arrow key on a radio button moves round its group, ticking as it goes. (The
// button's own dialog code must stay the system's: its clicks depend on it.)
bool TApplication::RadioKey(MSG& m) {
  const WPARAM k = m.wParam;
  if (m.message != WM_KEYDOWN || (k != VK_LEFT && k != VK_RIGHT && k != VK_UP && k != VK_DOWN)) return false;
  auto* radio = dynamic_cast<TRadioButton*>(TControl::FromHandle(m.hwnd));
  if (!radio) return false;
  radio->MoveInGroup(k == VK_RIGHT || k == VK_DOWN);
  return true;
}

void TApplication::ProcessMessages() {
  MSG m;
  while (!terminated_ && PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchOne(m);
}

void TApplication::HandleMessage() {
  MSG m;
  if (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
    DispatchOne(m);
  } else {
    WaitMessage();
  }
}

void TApplication::Run() {
  if (mainForm_) mainForm_->Show();
  while (!terminated_) {
    try {
      HandleMessage();
    } catch (...) {
      HandleException();
    }
  }
}

void TApplication::Terminate() {
  if (!terminated_) PostQuitMessage(0);
}

int TApplication::MessageBox(const std::string& text, const std::string& caption, UINT flags) {
  HWND owner = GetActiveWindow();
  return ::MessageBoxW(owner, gbk::ToWide(text).c_str(), gbk::ToWide(caption).c_str(), flags);
}

void TApplication::ShowException(const std::exception& e) {
  std::string text = e.what();
  if (!text.empty() && text.back() != '.' && static_cast<unsigned char>(text.back()) < 0x80) text += '.';
  MessageBox(text, Title, MB_OK | MB_ICONSTOP);
}

void TApplication::HandleException() {
  try {
    throw;
  } catch (const std::exception& e) {
    ShowException(e);
  } catch (...) {
    ShowException(Exception(""));
  }
}

void ShowMessage(const std::string& text) {
  if (Application) Application->MessageBox(text, Application->Title, MB_OK);
}
