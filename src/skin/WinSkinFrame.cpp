#include "skin/WinSkinFrame.h"

#include <algorithm>
#include <cctype>
#include <cwctype>

#include "classlib/ComCtrls.h"
#include "classlib/RadioGroup.h"
#include "classlib/StdCtrls.h"
#include "skin/WinSkinDlg.h"
#include "skin/WinSkinForm.h"
#include "skin/WinSubClass.h"

DWORD WinVersion = 0;

namespace {

constexpr wchar_t kSkinProp[] = L"TorvikSkinForm";
constexpr UINT kUpdateNc = 0x3502;
constexpr UINT kSkinChange = 0x3401;
constexpr UINT kButtonQuery = 0x3515;
constexpr UINT kButtonAction = 0x3514;
constexpr UINT kSkinned = 0xBC4E;
constexpr LPARAM kEngineMark = 0x41A2;
constexpr int kMenuItemPadding = 16;

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

LRESULT CALLBACK SkinFormProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  auto* self = static_cast<TWinSkinForm*>(GetPropW(h, kSkinProp));
  if (!self) return DefWindowProcW(h, msg, w, l);
  TMessage m{msg, w, l, 0};
  self->WinWndProc(m);
  return m.Result;
}

NONCLIENTMETRICSW Metrics() {
  NONCLIENTMETRICSW nc{};
  nc.cbSize = sizeof nc;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof nc, &nc, 0);
  return nc;
}

std::wstring MenuText(HMENU menu, int i) {
  wchar_t text[128] = {};
  GetMenuStringW(menu, static_cast<UINT>(i), text, 128, MF_BYPOSITION);
  return text;
}

bool SysCommandOfMenu(WORD id) {
  switch (id) {
    case SC_SIZE:
    case SC_MOVE:
    case SC_MINIMIZE:
    case SC_MAXIMIZE:
    case SC_NEXTWINDOW:
    case SC_PREVWINDOW:
    case SC_CLOSE:
    case SC_RESTORE:
      return true;
    default:
      return false;
  }
}

// The first condition of a caption button's visibility ("Visibility").
bool FirstCondition(int v, bool maxed, bool active, bool hasMin, bool hasMax, bool hasSystem, bool plainDialog,
                    HWND window, int action) {
  if (v == 0) return true;
  if (v == 1 || v == 2) return maxed == (v == 1);
  if (v == 3 || v == 4) return active == (v == 3);
  if (v == 6 || v == 8) return hasMin ? hasSystem : (hasMax && hasSystem);
  if (v == 7) return !hasMax;
  if (v == 9) return !hasMin;
  if (v == 100) return false;  // the engine skins no MDI frames
  if (v == 200) return plainDialog;
  if (v >= 201 && v <= 999) return true;
  if (v >= 1000 && v <= 2000) return SendMessageW(window, kButtonQuery, static_cast<WPARAM>(v), action) > 0;
  return false;
}

bool SecondCondition(int v, int first, bool maxed, bool active, bool hasMin, bool hasMax, bool plainDialog) {
  if (v == 0) return true;
  if (v == 1 || v == 2) return maxed == (v == 1);
  if (v == 3 || v == 4) return active == (v == 3);
  if (v == 6 || v == 8) return hasMin || hasMax;
  if (v == 7) return !hasMax;
  if (v == 9) return !hasMin;
  if (v == 100) return first;
  if (v == 200) return plainDialog;
  return v >= 201 && v <= 2000;
}

}  // namespace

TWinSkinForm* SkinFormOf(HWND window) { return static_cast<TWinSkinForm*>(GetPropW(window, kSkinProp)); }

// ---- Non-client objects ----

void TNCObject::MouseDown() {
  if (Owner->FHotObject && Owner->FHotObject != this) Owner->FHotObject->MouseLeave();
  if (!Visible) return;
  Owner->FHotObject = this;
  State = 2;
  Draw();
}

void TNCObject::MouseUp() {
  if (!Visible) return;
  State = 3;
  Draw();
}

void TNCObject::MouseEnter() {
  if (Owner->FHotObject == this) return;
  if (Owner->FHotObject) Owner->FHotObject->MouseLeave();
  if (!Visible) return;
  Owner->FHotObject = this;
  State = 3;
  Draw();
}

void TNCObject::MouseLeave() {
  if (!Visible) return;
  Owner->FHotObject = nullptr;
  State = 1;
  Draw();
}

void TWinSysButton::Draw() { Owner->DrawSysbtn(*this, State); }

// ---- Life ----

TWinSkinForm::TWinSkinForm()
    : TComponent(nullptr), FTitleBitmap(std::make_unique<TBitmap>()), FIconBitmap(std::make_unique<TBitmap>()) {
  FDoubleClickTime = GetDoubleClickTime();
  NONCLIENTMETRICSW nc = Metrics();
  FCaptionFont = CreateFontIndirectW(&nc.lfCaptionFont);
}

TWinSkinForm::~TWinSkinForm() {
  DeleteControls();
  DeleteSysbtn();
  if (FCaptionFont) DeleteObject(FCaptionFont);
}

void TWinSkinForm::FreeWhenIdle() {
  if (depth_ > 0) {
    freePending_ = true;
  } else {
    delete this;
  }
}

// ---- Attaching ----

void TWinSkinForm::InitTform(TSkinData* data, TForm* form) {
  FForm = form;
  if (data->OnBeforeSkinForm) data->OnBeforeSkinForm(form, FHandle, FName);
  InitSkin(data);
  FOldColor = form->Color();
  form->SetColor(data->SchemeColors[csButtonFace]);
}

void TWinSkinForm::InitSkin(TSkinData* data) {
  if (subclassed_) return;
  if (SkinManager) SkinManager->State = 1;
  FSkinData = data;
  FTimer = std::make_unique<TTimer>(nullptr);
  FTimer->SetEnabled(false);
  FTimer->SetInterval(250);
  FTimer->OnTimer = [this](TObject*) { OnTimer(); };
  FSkinFrame = InSet(data->SkinControls, xcMainMenu);
  FStyle = static_cast<DWORD>(GetWindowLongW(FHandle, GWL_STYLE));
  const DWORD ex = static_cast<DWORD>(GetWindowLongW(FHandle, GWL_EXSTYLE));
  FRightToLeft = ex & WS_EX_LEFTSCROLLBAR;
  FIsChild = FStyle & WS_CHILD;
  char cls[256] = {};
  GetClassNameA(FHandle, cls, sizeof cls);
  FClassName = cls;
  FOwnerWnd = GetWindow(FHandle, GW_OWNER);
  FIcons = 0;
  if (FStyle & WS_SYSMENU) FIcons |= 1 << sbisystem;
  if (FStyle & WS_MINIMIZEBOX) FIcons |= 1 << sbiMin;
  if (FStyle & WS_MAXIMIZEBOX) FIcons |= 1 << sbiMax;
  GetWindowstate();
  FSizeable = FStyle & WS_THICKFRAME;
  FBorderStyle = sbsSingle;
  if ((FStyle & WS_CAPTION) != WS_CAPTION) {
    FBorderStyle = sbsNone;
  } else if (FSizeable) {
    FBorderStyle = sbsSizeable;
  } else if (FStyle & WS_POPUP) {
    FBorderStyle = sbsDialog;
  }
  if (ex & WS_EX_DLGMODALFRAME) FBorderStyle = sbsDialog;
  const bool nt = !(WinVersion & 0x80000000u);
  const int major = LOBYTE(LOWORD(WinVersion)), minor = HIBYTE(LOWORD(WinVersion));
  if (nt && major >= 5 && minor == 0 && ((ex & WS_EX_APPWINDOW) || !FOwnerWnd)) FIcons |= 1 << sbicaption;
  if (FClassName == "#32770" || FClassName == "TMessageForm") {
    FBorderStyle = sbsDialog;
    FIsDialog = true;
  }
  SetPropW(FHandle, kSkinProp, this);
  FOldWndProc =
      reinterpret_cast<WNDPROC>(SetWindowLongPtrW(FHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SkinFormProc)));
  subclassed_ = true;
  if (FSkinFrame) {
    if (!IsMinimized()) EnableSysbtn(false);
    InitSkinData();
  } else {
    FState = 1;
  }
}

void TWinSkinForm::InitSkinData() {
  if (FSkinData->SkinEmpty) return;
  if (FBorderStyle == sbsNone) {
    FLeftWidth = FCaptionHeight = FRightWidth = FBottomHeight = FMenuHeight = 0;
  } else {
    auto& b = FSkinData->Border;
    auto frames = [](const TDataSkinBorder& o) { return o.Frame < 1 ? 1 : o.Frame; };
    FLeftWidth = b[1]->Image->Width() / frames(*b[1]);
    FRightWidth = b[2]->Image->Width() / frames(*b[2]);
    FCaptionHeight = b[3]->Image->Height() / frames(*b[3]);
    FBottomHeight = b[4]->Image->Height() / frames(*b[4]);
    FMenuHeight = GetMenu(FHandle) ? GetSystemMetrics(SM_CYMENU) : 0;
  }
  DeleteSysbtn();
  for (const auto& skin : FSkinData->SysButtons) FButtons.push_back(std::make_unique<TWinSysButton>(this, skin.get()));
}

void TWinSkinForm::DeleteSysbtn() {
  FHotObject = nullptr;
  FButtons.clear();
}

void TWinSkinForm::Activate() {
  FSystemMenu = GetSystemMenu(FHandle, FALSE);
  GetBorderSize();
  if (FState == 0 && !FIsChild && FBorderStyle != sbsNone && !IsMinimized()) {
    FState = 5;
    ResizeForm(false);
    FState = 1;
    if (IsMaximized()) {
      Refresh();
    } else {
      Cropwindow();
    }
  }
  if (FForm) InitControls(FForm);
  SendMessageW(FHandle, kSkinned, 0, kEngineMark);
  if (FSkinData->OnAfterSkinForm) FSkinData->OnAfterSkinForm(FForm, FHandle, FName);
  FState = 1;
  FTimer->SetEnabled(true);
  UpdateNc(nullptr);
}

void TWinSkinForm::SkinChange() {
  if (FForm) FForm->SetColor(FSkinData->SchemeColors[csButtonFace]);
  FState = 3;
  if (FSkinFrame) {
    ResizeForm(true);
    Cropwindow();
  }
  // The new skin may switch kinds of control on or off: discover them afresh.
  if (FForm) {
    DeleteControls();
    InitControls(FForm);
  }
  SendMessageW(FHandle, kSkinned, 0, kEngineMark);
  if (FSkinData->OnAfterSkinForm) FSkinData->OnAfterSkinForm(FForm, FHandle, FName);
  FState = 1;
  RedrawWindow(FHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_ALLCHILDREN);
}

// ---- Detaching ----

void TWinSkinForm::UnSubclass3() {
  if (FTimer) FTimer->SetEnabled(false);
  DeleteControls();
  if (!subclassed_) return;
  if (IsWindow(FHandle)) {
    if (GetWindowLongPtrW(FHandle, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(SkinFormProc))
      SetWindowLongPtrW(FHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FOldWndProc));
    RemovePropW(FHandle, kSkinProp);
  }
  subclassed_ = false;
}

void TWinSkinForm::UnSubclass() {
  const bool framed = FSkinFrame && FState != 0;  // the frame was applied at activation
  UnSubclass3();
  if (FForm && FState != 4) FForm->SetColor(FOldColor);
  if (!IsWindow(FHandle) || !FSkinFrame) {
    if (IsWindow(FHandle)) InvalidateRect(FHandle, nullptr, TRUE);
    return;
  }
  UpdateStyle(false);
  EnableSysbtn(true);
  if (framed && FState != 4 && !FIsChild && FBorderStyle != sbsNone) {
    RECT r{};
    GetWindowRect(FHandle, &r);
    const int w = Width(r) - (FLeftWidth + FRightWidth - FSystemFrame.right);
    const int h = Height(r) - (FCaptionHeight + FBottomHeight + FMenuHeight - FSystemFrame.bottom);
    SetWindowPos(FHandle, nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  } else {
    Refresh();
  }
  Uncropwindow();
}

// ---- Small helpers ----

void TWinSkinForm::Default(TMessage& m) {
  m.Result = CallWindowProcW(FOldWndProc ? FOldWndProc : DefWindowProcW, FHandle, m.Msg, m.WParam, m.LParam);
}

void TWinSkinForm::GetWindowstate() {
  WINDOWPLACEMENT wp{};
  wp.length = sizeof wp;
  GetWindowPlacement(FHandle, &wp);
  switch (wp.showCmd) {
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
      FWindowState = swsMin;
      break;
    case SW_SHOWMAXIMIZED:
      FWindowState = swsMax;
      break;
    default:
      FWindowState = swsNormal;
  }
}

void TWinSkinForm::EnableSysbtn(bool on) {
  if (!HasIcon(sbicaption)) return;
  FStyle = static_cast<DWORD>(GetWindowLongW(FHandle, GWL_STYLE));
  FStyle = on ? (FStyle | WS_CAPTION) : (FStyle & ~WS_CAPTION);
  SetWindowLongW(FHandle, GWL_STYLE, static_cast<LONG>(FStyle));
}

void TWinSkinForm::UpdateStyle(bool paint) {
  if (HasIcon(sbicaption)) return;
  DWORD style = static_cast<DWORD>(GetWindowLongW(FHandle, GWL_STYLE));
  const DWORD was = style;
  if (paint) {
    style &= ~WS_SYSMENU;
  } else if (FSystemMenu || HasIcon(sbisystem)) {
    style |= WS_SYSMENU;
  }
  FStyle = style;
  if (style != was) SetWindowLongW(FHandle, GWL_STYLE, static_cast<LONG>(style));
}

void TWinSkinForm::GetBorderSize() {
  RECT w{};
  GetClientRect(FHandle, &FClientRect);
  GetWindowRect(FHandle, &w);
  FSystemFrame = RECT{0, 0, Width(w) - Width(FClientRect), Height(w) - Height(FClientRect)};
}

void TWinSkinForm::Refresh() {
  SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

POINT TWinSkinForm::GetWinXY(int x, int y) const {
  POINT p{x, y};
  ScreenToClient(FHandle, &p);
  p.x += FLeftWidth;
  p.y += FCaptionHeight + FMenuHeight;
  return p;
}

// ---- The procedure ----

void TWinSkinForm::WinWndProc(TMessage& m) {
  ++depth_;
  switch (m.Msg) {
    case WM_NCPAINT:
      if (FState == 0) {
        m.Result = 0;
      } else {
        SecondStage(m);
      }
      break;
    case CN_SkinActive:
      Activate();
      break;
    case CN_IsSkinned:
      m.Result = 1;
      break;
    case WM_ERASEBKGND:
      Default(m);
      if (!FForm && FSkinData->FaceBrush) {
        RECT r{};
        GetClientRect(FHandle, &r);
        FillRect(reinterpret_cast<HDC>(m.WParam), &r, FSkinData->FaceBrush);
        m.Result = 1;
      }
      break;
    case WM_NCDESTROY:
      FState = 4;
      UnSubclass3();
      Default(m);
      FState = 6;
      break;
    case WM_NCACTIVATE:
      if (FState == 0) {
        m.Result = 0;
      } else {
        SecondStage(m);
      }
      break;
    case 0xAE:  // the themed caption's own drawing
      m.Result = 0;
      break;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      WMCtlcolor(m);
      break;
    case WM_INITMENUPOPUP:
      if (SkinManager) SkinManager->MenuKind = reinterpret_cast<HMENU>(m.WParam) == FSystemMenu ? 2 : 1;
      Default(m);
      break;
    default:
      if (FSkinFrame) {
        SecondStage(m);
      } else {
        Default(m);
      }
  }
  --depth_;
  if (depth_ == 0 && freePending_) delete this;
}

void TWinSkinForm::SecondStage(TMessage& m) {
  if (FIsChild) {
    Default(m);
    return;
  }
  switch (m.Msg) {
    case WM_COMMAND:
      WMCommand(m);
      return;
    case WM_WINDOWPOSCHANGED:
      GetWindowstate();
      Default(m);
      return;
    case WM_ACTIVATE:
      FActive = LOWORD(m.WParam) != WA_INACTIVE;
      break;
    case WM_NCACTIVATE:
      FActive = m.WParam != 0;
      break;
    case WM_GETMINMAXINFO:
      WMGetMinMaxInfo(m);
      return;
    case WM_SIZE:
      WMSize(m);
      return;
    case WM_SYSCOMMAND:
      WMSysCommand(m);
      return;
    case WM_SETTEXT:
      SetText(m);
      return;
    case kSkinChange:
      SkinChange();
      return;
    default:
      break;
  }
  if (FState != 0) {
    ThirdStage(m);
  } else {
    Default(m);
  }
}

void TWinSkinForm::ThirdStage(TMessage& m) {
  switch (m.Msg) {
    case WM_NCACTIVATE:
      WMNCActive(m);
      break;
    case WM_NCCALCSIZE:
      WMNCCalcSize(m);
      break;
    case WM_NCHITTEST:
      WMNCHitTest(m);
      break;
    case WM_NCPAINT:
      WMNCPaint(m);
      break;
    case WM_NCMOUSEMOVE:
      WMNCMouseMove(m);
      break;
    case WM_NCLBUTTONDOWN:
      WMNCLButtonDown(m);
      break;
    case WM_NCLBUTTONUP:
      WMNCLButtonUp(m);
      break;
    case WM_NCLBUTTONDBLCLK:
      WMNCLButtonDblClk(m);
      break;
    case WM_NCRBUTTONDOWN:
      WMNCRButtonDown(m);
      break;
    case kUpdateNc:
      UpdateNc(nullptr);
      break;
    default:
      Default(m);
  }
}

// A new caption: Windows would paint its own, so it sets the text unseen.
void TWinSkinForm::SetText(TMessage& m) {
  if (!IsWindowVisible(FHandle)) {
    Default(m);
    return;
  }
  CallWindowProcW(FOldWndProc, FHandle, WM_SETREDRAW, FALSE, 0);
  Default(m);
  CallWindowProcW(FOldWndProc, FHandle, WM_SETREDRAW, TRUE, 0);
  UpdateNc(nullptr);
}

void TWinSkinForm::WMCommand(TMessage& m) {
  const WORD id = LOWORD(m.WParam);
  if (SysCommandOfMenu(id)) {
    PostMessageW(FHandle, WM_SYSCOMMAND, id, 0);
    m.Result = 0;
    return;
  }
  Default(m);
}

void TWinSkinForm::WMSize(TMessage& m) {
  Default(m);
  if (m.WParam == SIZE_RESTORED) FWindowState = swsNormal;
  if (m.WParam == SIZE_MINIMIZED) FWindowState = swsMin;
  if (m.WParam == SIZE_MAXIMIZED) FWindowState = swsMax;
  if (!IsMinimized() && (FState == 1 || FState == 3)) Cropwindow();
}

void TWinSkinForm::WMGetMinMaxInfo(TMessage& m) {
  Default(m);
  GetWindowstate();
  EnableSysbtn(IsMinimized());
}

void TWinSkinForm::WMNCActive(TMessage& m) {
  FActive = m.WParam != 0;
  FTimer->SetEnabled(FActive);
  UpdateNc(nullptr);
  m.Result = 1;
}

void TWinSkinForm::WMSysCommand(TMessage& m) {
  const WPARAM cmd = m.WParam & 0xFFF0;
  // Alt alone or F10 opens the first menu of the band, Alt with a letter the item of
  // that accelerator; Windows would track its own bar, which is not shown.
  if (cmd == SC_KEYMENU && m.LParam != ' ' && m.LParam != '-' && !GetCapture() && !MenuItemRects().empty()) {
    const int index = m.LParam == 0 ? 0 : MenuItemOfKey(static_cast<wchar_t>(m.LParam));
    if (index >= 0) {
      OpenMenuItem(index);
      m.Result = 1;
      return;
    }
  }
  if (cmd == SC_KEYMENU && m.LParam == ' ') {
    POINT p{0, 0};
    ClientToScreen(FHandle, &p);
    PopSysmenu(p);
    m.Result = 0;
    return;
  }
  if (cmd == SC_MINIMIZE) FWindowState = swsMin;
  if (cmd == SC_MAXIMIZE) FWindowState = swsMax;
  if (cmd == SC_RESTORE) FWindowState = swsNormal;
  Default(m);
}

// ---- Frame geometry ----

void TWinSkinForm::WMNCCalcSize(TMessage& m) {
  RECT proposed{};
  if (m.WParam) {
    proposed = reinterpret_cast<NCCALCSIZE_PARAMS*>(m.LParam)->rgrc[0];
  } else {
    proposed = *reinterpret_cast<RECT*>(m.LParam);
  }
  Default(m);
  FMenuHeight = FBorderStyle != sbsNone && GetMenu(FHandle) ? GetSystemMetrics(SM_CYMENU) : 0;
  const RECT client{proposed.left + FLeftWidth, proposed.top + FCaptionHeight + FMenuHeight,
                    proposed.right - FRightWidth, proposed.bottom - FBottomHeight};
  if (!m.WParam) {
    if (FBorderStyle != sbsNone) *reinterpret_cast<RECT*>(m.LParam) = client;
    m.Result = 0;
    return;
  }
  auto* p = reinterpret_cast<NCCALCSIZE_PARAMS*>(m.LParam);
  if (FBorderStyle != sbsNone) p->rgrc[0] = client;
  p->rgrc[1] = p->rgrc[0];
  m.Result = WVR_VALIDRECTS;
}

void TWinSkinForm::WMNCHitTest(TMessage& m) {
  Default(m);
  switch (m.Result) {
    case HTNOWHERE:
    case HTCAPTION:
    case HTMENU:
    case HTSYSMENU:
    case HTMINBUTTON:
    case HTMAXBUTTON:
    case HTCLOSE:
    case HTHELP:
      break;
    default:
      return;
  }
  const POINT p = GetWinXY(static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam)));
  if (p.y <= 3 || p.y >= FCaptionHeight + FMenuHeight) return;
  m.Result = FMenuHeight > 0 && p.y >= FCaptionHeight ? HTMENU : HTCAPTION;
}

void TWinSkinForm::WMNCPaint(TMessage& m) {
  UpdateStyle(true);
  if (!FSkinData->MainMenuUpdate) {
    m.Result = 0;
    return;
  }
  if (FBorderStyle == sbsNone) {
    Default(m);
    return;
  }
  UpdateNc(nullptr);
  m.Result = 0;
}

void TWinSkinForm::ResizeForm(bool keepClient) {
  if (IsMaximized()) {
    Refresh();
    return;
  }
  RECT w{};
  GetWindowRect(FHandle, &w);
  if (keepClient || FIsDialog || FState == 3) GetClientRect(FHandle, &FClientRect);
  int width = Width(FClientRect) + FLeftWidth + FRightWidth;
  const int height = Height(FClientRect) + FCaptionHeight + FBottomHeight + FMenuHeight;
  if (FIsDialog && !keepClient) width = WidenForCaption(width);
  SetWindowPos(FHandle, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

// A dialog as wide as its caption needs, its controls moved to stay centred.
int TWinSkinForm::WidenForCaption(int width) {
  const int length = GetWindowTextLengthW(FHandle);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  GetWindowTextW(FHandle, text.data(), length + 1);
  text.resize(static_cast<size_t>(length));
  text = FCaptionPrefix + text + FCaptionSuffix;
  HDC dc = GetDC(FHandle);
  HGDIOBJ old = SelectObject(dc, FCaptionFont);
  SIZE extent{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
  SelectObject(dc, old);
  ReleaseDC(FHandle, dc);
  const TDataSkinTitle& title = *FSkinData->Title;
  const int needed = title.LeftWidth + extent.cx + title.RightWidth;
  if (width >= needed) return width;
  const int shift = (needed - width) / 2;
  for (HWND c = GetWindow(FHandle, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    RECT r{};
    GetWindowRect(c, &r);
    MapWindowPoints(nullptr, FHandle, reinterpret_cast<POINT*>(&r), 2);
    SetWindowPos(c, nullptr, r.left + shift, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  return needed;
}

// Static texts and buttons of a plain dialog on the skin's face.
void TWinSkinForm::WMCtlcolor(TMessage& m) {
  Default(m);
  if (FForm) return;
  auto dc = reinterpret_cast<HDC>(m.WParam);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(FSkinData->SchemeColors[csText]));
  if (m.Msg == WM_CTLCOLORSTATIC && FSkinData->FaceBrush) m.Result = reinterpret_cast<LRESULT>(FSkinData->FaceBrush);
}

// ---- Painting the frame ----

void TWinSkinForm::Drawborder(int kind, const RECT& r, HDC dc) {
  const int w = Width(r), h = Height(r);
  if (w <= 0 || h <= 0) return;
  const TDataSkinBorder& b = *FSkinData->Border[static_cast<size_t>(kind)];
  const int frame = b.Frame <= 1 || FActive ? 1 : 2;
  auto map = GetHMap(RECT{0, 0, w, h}, b.Image.get(), b.Margins(), kind >= 3, b.Tile != 1, b.Frame, frame);
  if (map) BitBlt(dc, r.left, r.top, w, h, map->Canvas().Handle(), 0, 0, SRCCOPY);
}

void TWinSkinForm::UpdateNc(HDC dc) {
  if ((FState != 1 && FState != 3) || FBorderStyle == sbsNone || !FSkinFrame || FSkinData->SkinEmpty) return;
  // Caption buttons whose skin objects were replaced by a new load are dropped until the
  // change re-creates them.
  for (const auto& b : FButtons) {
    const auto& all = FSkinData->SysButtons;
    if (std::none_of(all.begin(), all.end(), [&](const auto& s) { return s.get() == b->Skin; })) {
      DeleteSysbtn();
      break;
    }
  }
  RECT wr{};
  GetWindowRect(FHandle, &wr);
  FWidth = Width(wr);
  FHeight = Height(wr);
  HDC own = dc ? dc : GetWindowDC(FHandle);
  if (!IsMinimized()) {
    Drawborder(1, RECT{0, 0, FLeftWidth, FHeight}, own);
    Drawborder(2, RECT{FWidth - FRightWidth, 0, FWidth, FHeight}, own);
    Drawborder(4, RECT{FLeftWidth, FHeight - FBottomHeight, FWidth - FRightWidth, FHeight}, own);
    DrawFLine(own);
    if (FMenuHeight > 0)
      DrawMenuBand(own, RECT{FLeftWidth, FCaptionHeight, FWidth - FRightWidth, FCaptionHeight + FMenuHeight});
  } else {
    DrawFLine(own);
  }
  if (!dc) ReleaseDC(FHandle, own);
  FHotObject = nullptr;
}

void TWinSkinForm::DrawFLine(HDC dc) {
  const RECT band{0, 0, FWidth, FCaptionHeight};
  RECT line{FLeftWidth, 0, FWidth - FRightWidth, FCaptionHeight};
  if (!IsMinimized()) {
    FTitleBitmap->SetSize(FWidth, FCaptionHeight);
  } else {
    FTitleBitmap->SetSize(FWidth, FHeight);
    line = band;
  }
  HDC bdc = FTitleBitmap->Canvas().Handle();
  if (IsMinimized()) {
    HBRUSH face = CreateSolidBrush(ColorToRGB(FSkinData->SchemeColors[csButtonFace]));
    RECT all{0, 0, FWidth, FHeight};
    FillRect(bdc, &all, face);
    DeleteObject(face);
  } else {
    BitBlt(bdc, 0, 0, FWidth, FCaptionHeight, dc, 0, 0, SRCCOPY);
  }
  Drawborder(3, band, bdc);
  DrawLine(bdc, line);
  SetSysbtnRect();
  DrawAllSysbtn(bdc);
  BitBlt(dc, 0, 0, FWidth, FCaptionHeight, bdc, 0, 0, SRCCOPY);
  SetBkMode(dc, OPAQUE);
}

void TWinSkinForm::DrawLine(HDC dc, const RECT& line) {
  const TDataSkinTitle& title = *FSkinData->Title;
  const int length = GetWindowTextLengthW(FHandle);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  GetWindowTextW(FHandle, text.data(), length + 1);
  text.resize(static_cast<size_t>(length));
  text = FCaptionPrefix + text + FCaptionSuffix;
  HGDIOBJ oldFont = SelectObject(dc, FCaptionFont);
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  TColor colour = FActive ? title.ActiveText : title.InActiveText;
  if (colour == kNoColour) colour = FSkinData->SchemeColors[FActive ? csTitleTextActive : csTitleTextNoActive];
  SetTextColor(dc, ColorToRGB(colour));
  RECT t{line.left, line.top, line.left, line.top};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &t, DT_CALCRECT | DT_NOCLIP);
  t.right += title.TXTBackleft + title.TXTBackRight;
  const int tw = Width(t), th = Height(t), lw = Width(line), lh = Height(line);
  int x = title.LeftWidth;
  if (title.TextAlignment == 1) x = (lw - tw) / 2;
  if (title.TextAlignment == 2 || FRightToLeft) x = lw - title.RightWidth - tw;
  const int y = (lh - th) / 2 + title.TopHeight / 2;
  OffsetRect(&t, x, y);
  if (!(FStyle & WS_POPUP)) {
    t.right = std::min<LONG>(t.right, line.right - title.RightWidth);
  } else if (FButtonsLeft > 5) {
    t.right = std::min<LONG>(t.right, FButtonsLeft - 5);
  }
  if (FBorderStyle == sbsDialog && title.TextAlignment == 0) t.left -= 16;
  FTextRect = t;
  if (!title.Image->Empty()) {
    TCanvas canvas(dc);
    DrawRectTile(&canvas, t, title.Image.get(), true, title.Trans == 1, 2, FActive ? 1 : 2,
                 RECT{title.TXTBackleft, 0, title.TXTBackRight, 0});
  }
  t.left += title.TXTBackleft;
  t.right -= title.TXTBackRight;
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &t,
            DT_SINGLELINE | DT_END_ELLIPSIS | (FRightToLeft ? DT_RIGHT : 0));
  SetBkMode(dc, oldMode);
  SelectObject(dc, oldFont);
}

// ---- The menu band ----

// Where the items of the window's menu bar lie in the menu band, in window coordinates.
std::vector<RECT> TWinSkinForm::MenuItemRects() const {
  std::vector<RECT> rects;
  HMENU menu = GetMenu(FHandle);
  if (!menu || FMenuHeight <= 0) return rects;
  HDC dc = GetWindowDC(FHandle);
  NONCLIENTMETRICSW nc = Metrics();
  HFONT font = CreateFontIndirectW(&nc.lfMenuFont);
  HGDIOBJ old = SelectObject(dc, font);
  int x = FLeftWidth;
  for (int i = 0, n = GetMenuItemCount(menu); i < n; ++i) {
    const std::wstring text = MenuText(menu, i);
    RECT t{0, 0, 0, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &t, DT_CALCRECT | DT_SINGLELINE);
    rects.push_back(RECT{x, FCaptionHeight, x + Width(t) + kMenuItemPadding, FCaptionHeight + FMenuHeight});
    x = rects.back().right;
  }
  SelectObject(dc, old);
  DeleteObject(font);
  ReleaseDC(FHandle, dc);
  return rects;
}

int TWinSkinForm::MenuItemAt(POINT pt) const {
  const std::vector<RECT> rects = MenuItemRects();
  for (size_t i = 0; i < rects.size(); ++i) {
    if (PtInRect(&rects[i], pt)) return static_cast<int>(i);
  }
  return -1;
}

// The menu-bar item whose caption has this accelerator ("&K"), or -1.
int TWinSkinForm::MenuItemOfKey(wchar_t key) const {
  HMENU menu = GetMenu(FHandle);
  for (int i = 0, n = menu ? GetMenuItemCount(menu) : 0; i < n; ++i) {
    const std::wstring text = MenuText(menu, i);
    const size_t amp = text.find(L'&');
    if (amp != std::wstring::npos && amp + 1 < text.size() && towupper(text[amp + 1]) == towupper(key)) return i;
  }
  return -1;
}

void TWinSkinForm::DrawMenuBand(HDC dc, const RECT& band) {
  HBRUSH brush = CreateSolidBrush(ColorToRGB(FSkinData->SchemeColors[csMenuBar]));
  FillRect(dc, &band, brush);
  DeleteObject(brush);
  HMENU menu = GetMenu(FHandle);
  if (!menu) return;
  const std::vector<RECT> rects = MenuItemRects();
  NONCLIENTMETRICSW nc = Metrics();
  HFONT font = CreateFontIndirectW(&nc.lfMenuFont);
  HGDIOBJ old = SelectObject(dc, font);
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(FSkinData->SchemeColors[csMenuBarText]));
  for (size_t i = 0; i < rects.size(); ++i) {
    const std::wstring text = MenuText(menu, static_cast<int>(i));
    RECT r = rects[i];
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
  }
  SetBkMode(dc, oldMode);
  SelectObject(dc, old);
  DeleteObject(font);
}

void TWinSkinForm::OpenMenuItem(int index) {
  const std::vector<RECT> rects = MenuItemRects();
  if (index < 0 || index >= static_cast<int>(rects.size())) return;
  const RECT& itemRect = rects[static_cast<size_t>(index)];
  HMENU menu = GetMenu(FHandle);
  RECT wr{};
  GetWindowRect(FHandle, &wr);
  HMENU sub = GetSubMenu(menu, index);
  if (!sub) {
    PostMessageW(FHandle, WM_MENUCOMMAND, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(menu));
    return;
  }
  if (SkinManager) SkinManager->MenuKind = 1;
  TrackPopupMenuEx(sub, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, wr.left + itemRect.left,
                   wr.top + itemRect.bottom, FHandle, nullptr);
}

// ---- Window region ----

void TWinSkinForm::Cropwindow() {
  RECT wr{};
  GetWindowRect(FHandle, &wr);
  const int w = Width(wr), h = Height(wr);
  if (FState == 6 || !FSkinFrame || w * h == 0) return;
  if (FHasRegion && w == FRegionWidth && h == FRegionHeight && FState != 3) return;
  auto& b = FSkinData->Border;
  const bool anyTrans = b[1]->Trans || b[2]->Trans || b[3]->Trans || b[4]->Trans;
  HRGN region = nullptr;
  if (anyTrans && FBorderStyle != sbsNone) {
    auto part = [&](int kind, int pw, int ph, int x, int y, bool keyed) {
      if (!keyed || pw <= 0 || ph <= 0) return CreateRectRgn(x, y, x + std::max(pw, 0), y + std::max(ph, 0));
      TBitmap work;
      work.SetSize(pw, ph);
      Drawborder(kind, RECT{0, 0, pw, ph}, work.Canvas().Handle());
      HRGN r = BitmapToRegion(&work, x, y, kKeyColour, 1, 1, 1);
      return r ? r : CreateRectRgn(x, y, x + pw, y + ph);
    };
    // The caption band is painted across the whole width over the side borders, so the
    // top border's key pixels decide the outline there and the sides only below it.
    const int middle = w - FLeftWidth - FRightWidth;
    region = CreateRectRgn(FLeftWidth, FCaptionHeight, w - FRightWidth, h - FBottomHeight);
    HRGN left = part(1, FLeftWidth, h, 0, 0, b[1]->Trans == 1 && h >= 2);
    HRGN right = part(2, FRightWidth, h, w - FRightWidth, 0, b[2]->Trans == 1 && h >= 2);
    HRGN bottom = part(4, middle, FBottomHeight, FLeftWidth, h - FBottomHeight, b[4]->Trans == 1 && FBottomHeight >= 2);
    HRGN top = part(3, w, FCaptionHeight, 0, 0, b[3]->Trans == 1 && FCaptionHeight >= 2);
    HRGN below = CreateRectRgn(0, FCaptionHeight, w, h);
    CombineRgn(left, left, right, RGN_OR);
    CombineRgn(left, left, below, RGN_AND);
    CombineRgn(top, top, bottom, RGN_OR);
    CombineRgn(left, left, top, RGN_OR);
    CombineRgn(region, region, left, RGN_OR);
    DeleteObject(below);
    for (HRGN r : {left, right, bottom, top}) DeleteObject(r);
    FRegionWidth = w;
    FRegionHeight = h;
  } else {
    region = CreateRectRgn(0, 0, w, h);
  }
  // The system owns a region once it is set, and frees the one it replaces.
  SetWindowRgn(FHandle, region, TRUE);
  FHasRegion = true;
}

void TWinSkinForm::Uncropwindow() {
  if (!FHasRegion) return;
  SetWindowRgn(FHandle, nullptr, TRUE);
  FHasRegion = false;
}

// ---- Caption buttons ----

bool TWinSkinForm::SysBtnVisible(const TDataSkinSysButton& b) const {
  const bool maxed = IsMaximized(), hasMin = HasIcon(sbiMin), hasMax = HasIcon(sbiMax), hasSys = HasIcon(sbisystem);
  const bool plainDialog = FBorderStyle == sbsDialog && !FIsDialog;
  const bool first =
      FirstCondition(b.Visibility, maxed, FActive, hasMin, hasMax, hasSys, plainDialog, FHandle, b.Action);
  if (!first || !SecondCondition(b.Visibility1, first, maxed, FActive, hasMin, hasMax, plainDialog)) return false;
  if (b.Action == 0 && !hasSys) return false;
  if ((b.Action == 3 || b.Action == 11 || b.Action == 12) && FBorderStyle == sbsDialog) return false;
  return true;
}

void TWinSkinForm::SetSysbtnRect() {
  FButtonsLeft = 0;
  for (const auto& btn : FButtons) {
    const TDataSkinSysButton& s = *btn->Skin;
    btn->Visible = SysBtnVisible(s) && !s.Image->Empty();
    if (s.Action == 1 || s.Action == 2) btn->Enabled = HasIcon(s.Action == 1 ? sbiMax : sbiMin) && HasIcon(sbisystem);
    if (!btn->Visible) continue;
    const int bw = s.Image->Width() / ButtonFrames(s), bh = s.Image->Height();
    int x = 0, y = 0;
    switch (s.Align) {
      case 0:
        x = s.Xcoord, y = s.Ycoord;
        break;
      case 1:
        x = FWidth - s.Xcoord, y = s.Ycoord;
        FButtonsLeft = std::max(FButtonsLeft, x);
        break;
      case 2:
      case 8:
        x = FTextRect.left - bw - s.Xcoord, y = s.Ycoord;
        break;
      case 3:
      case 9:
        x = FTextRect.right + s.Xcoord, y = s.Ycoord;
        break;
      case 100:
        x = FWidth - s.Xcoord - FRightWidth, y = (FMenuHeight - bh) / 2 + FCaptionHeight;
        break;
      default:
        break;
    }
    btn->Bounds = RECT{x, y, x + bw, y + bh};
  }
}

void TWinSkinForm::DrawIcon(HDC dc, const RECT& r) {
  auto icon = reinterpret_cast<HICON>(SendMessageW(FHandle, WM_GETICON, ICON_SMALL, 0));
  if (!icon) icon = reinterpret_cast<HICON>(SendMessageW(FHandle, WM_GETICON, ICON_BIG, 0));
  if (!icon) icon = reinterpret_cast<HICON>(GetClassLongPtrW(FHandle, GCLP_HICONSM));
  if (icon) {
    DrawIconEx(dc, r.left, r.top, icon, GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0, nullptr,
               DI_NORMAL);
  } else if (FSkinData->AppIcon && !FSkinData->AppIcon->Empty()) {
    DrawTranmap(dc, r, FSkinData->AppIcon.get(), kKeyColour);
  }
}

void TWinSkinForm::DrawAllSysbtn(HDC dc) {
  for (const auto& btn : FButtons) {
    const TDataSkinSysButton& s = *btn->Skin;
    if (!btn->Visible || s.Image->Empty() || s.Visibility == 100) continue;
    int frame = FActive && btn->Enabled ? 1 : 4;
    if (ButtonFrames(s) < 4) frame = 1;
    if (s.Action == 3 || s.Action == 11) {
      DrawIcon(dc, btn->Bounds);
    } else {
      DrawRect1(dc, btn->Bounds, s.Image.get(), true, ButtonFrames(s), frame);
    }
  }
}

void TWinSkinForm::DrawSysbtn(TWinSysButton& b, int state) {
  const TDataSkinSysButton& s = *b.Skin;
  if (!b.Visible || s.Image->Empty()) return;
  int frame = state;
  if (!b.Enabled) frame = 4;
  if (ButtonFrames(s) < 4) frame = 1;
  if (s.Visibility == 100 && frame == 3) frame = 4;
  HDC dc = GetWindowDC(FHandle);
  if (s.Action == 3 || s.Action == 11) {
    DrawIcon(dc, b.Bounds);
  } else {
    // The caption under the button first, so its transparent corners show the band.
    if (!FTitleBitmap->Empty())
      BitBlt(dc, b.Bounds.left, b.Bounds.top, Width(b.Bounds), Height(b.Bounds), FTitleBitmap->Canvas().Handle(),
             b.Bounds.left, b.Bounds.top, SRCCOPY);
    DrawRect1(dc, b.Bounds, s.Image.get(), true, ButtonFrames(s), frame);
  }
  ReleaseDC(FHandle, dc);
}

TNCObject* TWinSkinForm::FindBtn(POINT pt) {
  for (const auto& b : FButtons) {
    if (b->Visible && b->Skin->Action >= 0 && PtInRect(&b->Bounds, pt)) return b.get();
  }
  return nullptr;
}

// ---- Mouse ----

void TWinSkinForm::WMNCMouseMove(TMessage& m) {
  if (!FActive) {
    Default(m);
    return;
  }
  TNCObject* b = FindBtn(GetWinXY(static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam))));
  if (b) {
    b->MouseEnter();
    m.Result = 0;
    return;
  }
  if (FHotObject) FHotObject->MouseLeave();
  FHotObject = nullptr;
  Default(m);
}

void TWinSkinForm::WMNCLButtonDown(TMessage& m) {
  const POINT p = GetWinXY(static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam)));
  if (TNCObject* b = FindBtn(p)) {
    if (!FActive) SetForegroundWindow(FHandle);
    b->MouseDown();
    m.Result = 0;
    return;
  }
  if (m.WParam == HTMENU) {
    OpenMenuItem(MenuItemAt(p));
    m.Result = 0;
    return;
  }
  // A maximized window stays where it is.
  if (IsMaximized() && FActive && m.WParam == HTCAPTION) {
    m.Result = 0;
    return;
  }
  Default(m);
}

void TWinSkinForm::WMNCLButtonUp(TMessage& m) {
  const int x = static_cast<short>(LOWORD(m.LParam)), y = static_cast<short>(HIWORD(m.LParam));
  TNCObject* b = FindBtn(GetWinXY(x, y));
  if (!b) {
    Default(m);
    return;
  }
  m.Result = 0;
  if (b != FHotObject) return;
  auto* button = static_cast<TWinSysButton*>(b);
  button->MouseUp();
  SysBtnAction(button->Skin->Action, x, y);
}

void TWinSkinForm::WMNCLButtonDblClk(TMessage& m) {
  if (TNCObject* b = FindBtn(GetWinXY(static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam))))) {
    const int action = static_cast<TWinSysButton*>(b)->Skin->Action;
    if (action == 3 || action == 11) {
      FTimer->SetEnabled(false);
      PostMessageW(FHandle, WM_SYSCOMMAND, SC_CLOSE, 0);
    }
    m.Result = 0;
    return;
  }
  if (m.WParam != HTCAPTION) {
    Default(m);
  } else if (IsMaximized() || IsMinimized()) {
    Restore();
  } else if (HasIcon(sbiMax)) {
    Maximize();
  } else {
    Default(m);
  }
}

void TWinSkinForm::WMNCRButtonDown(TMessage& m) {
  if (m.WParam == HTCAPTION) {
    PopSysmenu(POINT{static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam))});
    m.Result = 0;
    return;
  }
  Default(m);
}

void TWinSkinForm::OnTimer() {
  if (!FHotObject) return;
  POINT c{};
  GetCursorPos(&c);
  const POINT p = GetWinXY(c.x, c.y);
  if (!PtInRect(&FHotObject->Bounds, p)) {
    FHotObject->MouseLeave();
    FHotObject = nullptr;
  }
}

// ---- Actions ----

void TWinSkinForm::SysBtnAction(int action, int x, int y) {
  switch (action) {
    case 0:
      if (GetMenuState(GetSystemMenu(FHandle, FALSE), SC_CLOSE, MF_BYCOMMAND) != static_cast<UINT>(-1)) {
        FTimer->SetEnabled(false);
        PostMessageW(FHandle, WM_SYSCOMMAND, SC_CLOSE, 0);
      }
      break;
    case 1:
    case 22:
      if (HasIcon(sbiMax) && HasIcon(sbisystem)) Maximize();
      break;
    case 2:
    case 23:
      if (HasIcon(sbiMin) && HasIcon(sbisystem)) Minimize();
      break;
    case 3:
    case 11:
    case 12:
      PopSysmenu(POINT{x + 1, y + 1});
      break;
    case 7:
    case 8:
    case 9:
    case 60:
    case 61:
    case 62:
      break;  // buttons of MDI children: the program has no MDI frame
    default:
      PostMessageW(FHandle, kButtonAction, static_cast<WPARAM>(action), 0);
  }
}

void TWinSkinForm::Maximize() {
  if (IsMaximized()) {
    Restore();
    return;
  }
  FWindowState = swsMax;
  PostMessageW(FHandle, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  FHotObject = nullptr;
}

void TWinSkinForm::Minimize() {
  if (IsMinimized()) {
    Restore();
    return;
  }
  FWindowState = swsMin;
  UpdateStyle(false);
  PostMessageW(FHandle, WM_SYSCOMMAND, SC_MINIMIZE, 0);
}

void TWinSkinForm::Restore() {
  FWindowState = swsNormal;
  PostMessageW(FHandle, WM_SYSCOMMAND, SC_RESTORE, 0);
}

// The window's own system menu, its items enabled by the window's state; the chosen
// command goes back to the window.
void TWinSkinForm::PopSysmenu(POINT pt) {
  const DWORD now = GetTickCount();
  if (FLastIconClick && now - FLastIconClick < FDoubleClickTime && FHotObject) {
    FTimer->SetEnabled(false);
    PostMessageW(FHandle, WM_CLOSE, 0, 0);
    return;
  }
  FLastIconClick = now;
  HMENU menu = GetSystemMenu(FHandle, FALSE);
  if (!menu) return;
  if (SkinManager) SkinManager->MenuKind = 2;
  auto enable = [menu](UINT id, bool on) { EnableMenuItem(menu, id, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED)); };
  enable(SC_RESTORE, FWindowState != swsNormal);
  enable(SC_MAXIMIZE, !IsMaximized() && HasIcon(sbiMax));
  enable(SC_MINIMIZE, !IsMinimized() && HasIcon(sbiMin));
  enable(SC_MOVE, !IsMaximized());
  enable(SC_SIZE, !IsMaximized() && FSizeable);
  const UINT cmd = static_cast<UINT>(
      TrackPopupMenuEx(menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_LEFTBUTTON, pt.x, pt.y, FHandle, nullptr));
  if (cmd) PostMessageW(FHandle, WM_SYSCOMMAND, cmd, 0);
}

// ---- Control discovery ----

namespace {

std::string Upper(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return s;
}

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

// Controls that scroll are skinned by scroll-bar skinners, which this engine does not have.
bool IsScrollControl(TWinControl* c) {
  const auto style = static_cast<DWORD>(GetWindowLongW(c->Handle(), GWL_STYLE));
  return (style & (WS_VSCROLL | WS_HSCROLL)) || dynamic_cast<TListBox*>(c) || dynamic_cast<TMemo*>(c);
}

}  // namespace

void TWinSkinForm::AddControlList(TSkinControl* control) {
  if (std::find(FControls.begin(), FControls.end(), control) == FControls.end()) FControls.push_back(control);
}

void TWinSkinForm::DeleteControl(TSkinControl* control) {
  FControls.erase(std::remove(FControls.begin(), FControls.end(), control), FControls.end());
}

// Each skinner's destructor gives its window back (and frees its control of it).
void TWinSkinForm::DeleteControls() {
  while (!FControls.empty()) {
    TSkinControl* c = FControls.back();
    FControls.pop_back();
    delete c;
  }
}

void TWinSkinForm::DeleteSkinDeleted() {
  std::vector<TSkinControl*> gone;
  for (TSkinControl* c : FControls)
    if (c->Stage() == 6) gone.push_back(c);
  for (TSkinControl* c : gone) {
    DeleteControl(c);
    delete c;
  }
}

TSkinControl* TWinSkinForm::Lookupcontrol(HWND window) const {
  for (TSkinControl* c : FControls)
    if (c->Window() == window) return c;
  return nullptr;
}

bool TWinSkinForm::FindSkinComp(TControl* control) const {
  if (control->Perform(CN_IsSkinned) == 1) return true;
  return std::any_of(FControls.begin(), FControls.end(),
                     [control](TSkinControl* c) { return c->Control() == control; });
}

void TWinSkinForm::InitControls(TWinControl* form) {
  if (!FControlCanvas) FControlCanvas = std::make_unique<TCanvas>();
  DeleteSkinDeleted();
  InitControlA(form);
}

void TWinSkinForm::InitControlA(TWinControl* owner) {
  for (int i = owner->ComponentCount() - 1; i >= 0; --i)
    if (auto* c = dynamic_cast<TControl*>(owner->Components(i))) AddComp(c, owner);
}

void TWinSkinForm::InitChildCtrl(TWinControl* parent) {
  for (int i = 0; i < parent->ControlCount(); ++i) AddComp(parent->Controls(i), parent);
}

void TWinSkinForm::DisableControl(TControl* control) {
  auto* w = dynamic_cast<TWinControl*>(control);
  if (!w) return;
  const std::string name = Lower(w->ClassName());
  if (name.find("radiogroup") == std::string::npos && name.find("checkgroup") == std::string::npos) return;
  for (int i = 0; i < w->ControlCount(); ++i) w->Controls(i)->Tag = FSkinData->DisableTag;
}

bool TWinSkinForm::Has(TSkinControlType kind) const { return InSet(FSkinData->SkinControls, kind); }

// A skinner that did not take its window (another skinner holds it) is dropped again.
void TWinSkinForm::Skin(TSkinControl* skinner, bool recolour) {
  skinner->Init(this, FSkinData, FControlCanvas.get(), recolour);
  if (std::find(FControls.begin(), FControls.end(), skinner) == FControls.end()) delete skinner;
}

bool TWinSkinForm::Find3rdControl(const std::string& className, TControl* control) {
  const std::string prefix = Lower(className) + "=";
  for (int i = 0; i < FSkinData->Skin3rd.Count(); ++i) {
    const std::string line = Lower(FSkinData->Skin3rd[i]);
    if (line.compare(0, prefix.size(), prefix) != 0) continue;
    const std::string kind = line.substr(prefix.size(), 50);
    auto* w = dynamic_cast<TWinControl*>(control);
    if (kind == "button" && Has(xcButton)) {
      Skin(new TSkinButton(control));
    } else if (kind == "checkbox" && Has(xcCheckBox)) {
      Skin(new TSkinCheckBox(control));
    } else if (kind == "radiobutton" && Has(xcRadioButton)) {
      Skin(new TSkinRadioButton(control));
    } else if (kind == "groupbox" && Has(xcGroupBox)) {
      Skin(new TSkinGroupBox(control));
    } else if (kind == "panel" && Has(xcPanel)) {
      Skin(new TSkinBox(control));
    } else if (kind == "tab" && Has(xcTab) && FSkinData->Tabs) {
      Skin(new TSkinTab(control));
    } else if (kind == "edit" && Has(xcEdit) && w) {
      RECT wr{}, cr{};
      GetWindowRect(w->Handle(), &wr);
      GetClientRect(w->Handle(), &cr);
      if (wr.right - wr.left != cr.right || wr.bottom - wr.top != cr.bottom) Skin(new TSkinEdit(control));
    } else if (kind == "container" && w) {
      InitChildCtrl(w);
    }
    return true;  // a listed class never falls through to the table, whatever its kind
  }
  return false;
}

// Steps in order, the first that applies decides. Only kinds this engine has a skinner
// for are skinned; a control that would get another kind's skinner stays as Windows draws it.
void TWinSkinForm::AddComp(TControl* control, TWinControl* parent) {
  if (control->Tag == FSkinData->DisableTag) {
    DisableControl(control);
    return;
  }
  auto* w = dynamic_cast<TWinControl*>(control);
  if (!w || !control->Parent() || !parent) return;  // graphic controls have no skinner here
  w->HandleNeeded();
  if (FindSkinComp(control)) return;
  const std::string name = Upper(control->ClassName());
  if (FSkinData->OnSkinControl) {
    TComponent* skinned = nullptr;
    FSkinData->OnSkinControl(this, FSkinData, parent, control, name, skinned);
    if (auto* s = dynamic_cast<TSkinControl*>(skinned)) {
      AddControlList(s);
      s->Init(this, FSkinData, FControlCanvas.get(), false);
      if (dynamic_cast<TPanel*>(control)) InitChildCtrl(w);
      return;
    }
  }
  if (Find3rdControl(name, control)) return;
  const bool tabs = Has(xcTab) && FSkinData->Tabs;
  if (auto* pages = dynamic_cast<TPageControl*>(control)) {
    if (tabs && pages->Style == tsTabs) Skin(new TSkinTab(control));
  } else if (dynamic_cast<TTabSheet*>(control)) {
    if (tabs) Skin(new TSkinTabSheet(control));
  } else if (dynamic_cast<TCheckBox*>(control)) {
    if (Has(xcCheckBox)) Skin(new TSkinCheckBox(control));
  } else if (dynamic_cast<TRadioGroup*>(control)) {
    if (!Has(xcRadioButton)) return;
    for (int i = 0; i < w->ControlCount(); ++i)
      if (!FindSkinComp(w->Controls(i))) Skin(new TSkinRadioButton(w->Controls(i)));
    Skin(new TSkinGroupBox(control));
  } else if (dynamic_cast<TGroupBox*>(control)) {
    if (!Has(xcPanel)) return;
    InitChildCtrl(w);
    Skin(new TSkinGroupBox(control));
  } else if (dynamic_cast<TRadioButton*>(control)) {
    if (Has(xcRadioButton)) Skin(new TSkinRadioButton(control));
  } else if (dynamic_cast<TPanel*>(control)) {
    if (!Has(xcPanel)) return;
    InitChildCtrl(w);
    Skin(new TSkinBox(control), true);
  } else if (IsScrollControl(w)) {
    return;
  } else if (dynamic_cast<TButton*>(control)) {
    if (Has(xcButton)) Skin(new TSkinButton(control));
  } else if (dynamic_cast<TEdit*>(control)) {
    if (Has(xcEdit)) Skin(new TSkinEdit(control));
  }
}
