#include "skin/WinSkinFrame.h"

#include "skin/WinSkinDlg.h"
#include "skin/WinSkinForm.h"
#include "skin/WinSkinMenu.h"
#include "skin/WinSubClass.h"

DWORD WinVersion = 0;

namespace {

constexpr wchar_t kSkinProp[] = L"TorvikSkinForm";
constexpr UINT kUpdateNc = 0x3502;
constexpr UINT kSkinChange = 0x3401;
constexpr UINT kSkinned = 0xBC4E;
constexpr LPARAM kEngineMark = 0x41A2;

LRESULT CALLBACK SkinFormProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  auto* self = static_cast<TWinSkinForm*>(GetPropW(h, kSkinProp));
  if (!self) return DefWindowProcW(h, msg, w, l);
  TMessage m{msg, w, l, 0};
  self->WinWndProc(m);
  return m.Result;
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

}  // namespace

TWinSkinForm* SkinFormOf(HWND window) { return static_cast<TWinSkinForm*>(GetPropW(window, kSkinProp)); }

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
  if (FForm) {
    InitControls(FForm);
  } else {
    InitHwndControls(FHandle);
  }
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
  DeleteControls();
  if (FForm) {
    InitControls(FForm);
  } else {
    InitHwndControls(FHandle);
  }
  SendMessageW(FHandle, kSkinned, 0, kEngineMark);
  if (FSkinData->OnAfterSkinForm) FSkinData->OnAfterSkinForm(FForm, FHandle, FName);
  FState = 1;
  RedrawWindow(FHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_ALLCHILDREN);
}

// ---- Detaching ----

void TWinSkinForm::UnSubclass3() {
  if (FTimer) FTimer->SetEnabled(false);
  if (FForm && FState != 4) InitPopMenu(FForm, false);
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
    case CM_MENUCHANGED:
      MenuChanged(m);
      break;
    case WM_MENUSELECT:
      MenuSelected(m);
      Default(m);
      break;
    case WM_MEASUREITEM:
      WMMEASUREITEM(m);
      break;
    case WM_DRAWITEM:
      WMDRAWITEM(m);
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
