#include "skin/WinSkinFrame.h"

#include "skin/WinSkinDlg.h"
#include "skin/WinSkinForm.h"
#include "skin/WinSkinMenu.h"
#include "skin/WinSubClass.h"

DWORD WinVersion = 0;

namespace {

constexpr wchar_t kSkinProp[] = L"TorvikSkinForm";
constexpr wchar_t kPassProp[] = L"TorvikSkinPass";
constexpr UINT kUpdateNc = 0x3502;
constexpr UINT kSkinChange = 0x3401;
constexpr UINT kSkinned = 0xBC4E;
constexpr LPARAM kEngineMark = 0x41A2;
constexpr UINT kEngineRepaint = 0xBC4B;  // from another copy of the engine: repaint the frame
constexpr UINT kEngineQuery = 0xBC4D;    // from another copy of the engine: is this one of us
constexpr UINT kMenuSelect = 0x3518;     // lParam a screen point on the menu bar

// A procedure of ours that another subclass still calls after the skin left: the one
// to pass messages on to, until the window goes.
struct PassThrough {
  WNDPROC old = nullptr;
};

LRESULT CALLBACK SkinFormProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  auto* self = static_cast<TWinSkinForm*>(GetPropW(h, kSkinProp));
  if (!self) return TWinSkinForm::PassOn(h, msg, w, l);
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

// ---- Procedures given back under another subclass ----

void TWinSkinForm::SetPassThrough(HWND window, const wchar_t* prop, WNDPROC old) {
  RemovePropW(window, prop);
  auto* pass = static_cast<PassThrough*>(GetPropW(window, kPassProp));
  if (!pass) {
    pass = new PassThrough;
    SetPropW(window, kPassProp, pass);
  }
  pass->old = old;
}

WNDPROC TWinSkinForm::TakePassThrough(HWND window) {
  auto* pass = static_cast<PassThrough*>(RemovePropW(window, kPassProp));
  if (!pass) return nullptr;
  WNDPROC old = pass->old;
  delete pass;
  return old;
}

LRESULT TWinSkinForm::PassOn(HWND h, UINT msg, WPARAM w, LPARAM l) {
  auto* pass = static_cast<PassThrough*>(GetPropW(h, kPassProp));
  if (!pass) return DefWindowProcW(h, msg, w, l);
  WNDPROC old = pass->old;
  if (msg == WM_NCDESTROY) delete static_cast<PassThrough*>(RemovePropW(h, kPassProp));
  return CallWindowProcW(old, h, msg, w, l);
}

WNDPROC TWinSkinForm::Subclass(HWND window, const wchar_t* prop, void* self, WNDPROC proc) {
  SetPropW(window, prop, self);
  // Our procedure still in the chain from an earlier skin takes the skin back there.
  if (WNDPROC old = TakePassThrough(window)) return old;
  return reinterpret_cast<WNDPROC>(SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc)));
}

bool TWinSkinForm::Unsubclass(HWND window, const wchar_t* prop, WNDPROC ours, WNDPROC old) {
  if (!IsWindow(window)) return false;
  if (GetWindowLongPtrW(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(ours)) {
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
    RemovePropW(window, prop);
    return true;
  }
  SetPassThrough(window, prop, old);
  return false;
}

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
  // A form whose menu items the skin draws goes without the system's scroll bars.
  if (InSet(data->SkinControls, xcMenuItem)) TSkinData::ChangeProperty(form, "AutoScroll", "False");
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
  GetFormstyle();
  if (IsMDIChild() && InSet(data->Options, xoMDIChildBorder)) FSkinFrame = false;
  char cls[256] = {};
  GetClassNameA(FHandle, cls, sizeof cls);
  FClassName = cls;
  FOwnerWnd = GetWindow(FHandle, GW_OWNER);
  FIcons = 0;
  // A window skinned again has its system style taken away by the first skin's painting.
  if ((FStyle & WS_SYSMENU) || FSystemMenu) FIcons |= 1 << sbisystem;
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
  if (nt && major >= 5 && minor == 0 && ((ex & WS_EX_APPWINDOW) || (!FOwnerWnd && !IsMDIChild())))
    FIcons |= 1 << sbicaption;
  if (FClassName == "#32770" || FClassName == "TMessageForm") {
    FBorderStyle = sbsDialog;
    FIsDialog = true;
  }
  FUnicode = IsWindowUnicode(FHandle);
  StopUpdate();
  if (FFormStyle == sfsMDIform) {
    FSavedMenuUpdate = data->MenuUpdate;
    SubclassMDI();
  }
  FOldWndProc = Subclass(FHandle, kSkinProp, this, SkinFormProc);
  subclassed_ = true;
  if (FSkinFrame) {
    if (!IsMinimized()) EnableSysbtn(false);
    InitSkinData();
  } else {
    FState = 1;
  }
  if (IsMDIChild() && IsZoomed(FHandle) && SkinManager && !SkinManager->MDIMaximized) SkinManager->SetMDIMax(true);
}

// The menu band: the system's menu height with a menu. An MDI child whose skinned
// caption is lower than the system's caption and frame makes up the difference there,
// so its client area starts no higher than the MDI client places it.
int TWinSkinForm::MenuBandHeight() const {
  if (FBorderStyle == sbsNone) return 0;
  if (HasMenu()) return GetSystemMetrics(SM_CYMENU);
  const int system = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CXFRAME);
  return IsMDIChild() && FCaptionHeight < system ? system - FCaptionHeight : 0;
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
    FMenuHeight = MenuBandHeight();
  }
  DeleteSysbtn();
  for (const auto& skin : FSkinData->SysButtons) {
    FButtons.push_back(std::make_unique<TWinSysButton>(this, skin.get()));
    if (skin->Action != 3 && skin->Action != 11) continue;
    // The icon button shows the window's icon; a skin without an image for it takes the
    // icon's, and so does the program's icon when it was never read.
    GetIcon(*FIconBitmap);
    if (skin->Image->Empty()) CopyBMP(FIconBitmap.get(), skin->Image.get());
    if (FSkinData->AppIcon->Empty()) CopyBMP(FIconBitmap.get(), FSkinData->AppIcon.get());
    skin->Frame = 1;
  }
}

void TWinSkinForm::DeleteSysbtn() {
  FHotObject = nullptr;
  FButtons.clear();
}

// A window skinned as it is being shown paints nothing until its skin is complete, so
// it never shows the system's frame first.
void TWinSkinForm::StopUpdate() {
  if (!SkinManager || !SkinManager->InstallFlag || FIsChild || !FSkinFrame || FBorderStyle == sbsNone) return;
  const LONG style = GetWindowLongW(FHandle, GWL_STYLE);
  if (!(style & WS_VISIBLE)) return;
  SetWindowLongW(FHandle, GWL_STYLE, style & ~WS_VISIBLE);
  FUpdateStopped = true;
}

void TWinSkinForm::BeginUpdate() {
  if (SkinManager) SkinManager->InstallFlag = false;
  if (!FUpdateStopped) return;
  FUpdateStopped = false;
  const LONG style = GetWindowLongW(FHandle, GWL_STYLE);
  if (!(style & WS_VISIBLE)) SetWindowLongW(FHandle, GWL_STYLE, style | WS_VISIBLE);
  FRepaintAll = true;
}

void TWinSkinForm::Activate() {
  if (FActivated) return;
  FActivated = true;
  FSystemMenu = GetSystemMenu(FHandle, FALSE);
  GetBorderSize();
  BeginUpdate();
  if (FState == 0 && IsMDIChild()) {
    ActivateMDIChild();
  } else if (FState == 0 && !FIsChild && FBorderStyle != sbsNone && !IsMinimized()) {
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
  // A dialog is skinned once shown, and its frame grows round its client: parts of the
  // client that the system's frame covered keep no pixels (a black band) until drawn.
  if (FRepaintAll || FIsDialog) {
    FRepaintAll = false;
    RedrawWindow(FHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_ALLCHILDREN);
  }
  UpdateNc(nullptr);
}

void TWinSkinForm::SkinChange() {
  if (FForm) FForm->SetColor(FSkinData->SchemeColors[csButtonFace]);
  // Each skinner takes the new skin's images and colours itself; kinds of control the
  // new skin switches on are then discovered.
  const std::vector<TSkinControl*> skinners = FControls;
  for (TSkinControl* c : skinners) {
    if (c->Stage() != 6) c->SkinChange();
  }
  FState = 3;
  if (FSkinFrame) {
    ResizeForm(true);
    Cropwindow();
  }
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
  if (FForm && FState != 4) InitMainMenu(FForm, false);
  if (FForm && FState != 4) InitToolbars(FForm, false);
  DeleteControls();
  UnSubclassMDI();
  if (!subclassed_) return;
  // Another subclass above ours keeps calling it: it then passes everything on.
  Unsubclass(FHandle, kSkinProp, SkinFormProc, FOldWndProc);
  subclassed_ = false;
}

void TWinSkinForm::UnSubclass() {
  const bool framed = FSkinFrame && FState != 0;  // the frame was applied at activation
  UnSubclass3();
  if (FSkinMenu && FState != 4) FSkinMenu->GiveMenuBack();
  if (FForm && FState != 4) FForm->SetColor(FOldColor);
  if (!IsWindow(FHandle) || !FSkinFrame) {
    if (IsWindow(FHandle)) InvalidateRect(FHandle, nullptr, TRUE);
    return;
  }
  UpdateStyle(false);
  EnableSysbtn(true);
  const bool normalChild = IsMDIChild() && !IsMinimized() && !IsMaximized();
  if (framed && FState != 4 && (!FIsChild || normalChild) && FBorderStyle != sbsNone) {
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
  // A minimized MDI child wears the system's frame: its client origin is the window's.
  if (IsMDIChild() && IsIconic(FHandle)) return p;
  p.x += FLeftWidth;
  p.y += FCaptionHeight + FMenuHeight;
  return p;
}

// ---- The procedure ----

void TWinSkinForm::WinWndProc(TMessage& m) {
  ++depth_;
  switch (m.Msg) {
    case WM_NCPAINT:
      // A frame to paint before the activation message came: the skin is completed now,
      // so the first frame the window shows is the skin's.
      if (FState == 0 && FSkinFrame && !FActivated && IsWindowVisible(FHandle)) Activate();
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
      PostMessageW(FHandle, kSkinned, 0, kEngineMark);
      break;
    case kEngineRepaint:
    case kEngineQuery:
      EngineMessage(m);
      break;
    case CN_ReCreateControl:
      WMReCreateWnd(m);
      break;
    case kMenuSelect:
      MenuSelect(m);
      break;
    case WM_ERASEBKGND:
      Default(m);
      if (!FForm && FSkinData->FaceBrush) {
        RECT r{};
        GetClientRect(FHandle, &r);
        FillRect(reinterpret_cast<HDC>(m.WParam), &r, FSkinData->FaceBrush);
        KeepSystemFaceUnderSamples(reinterpret_cast<HDC>(m.WParam));
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
      if (FState == 0 && !IsMDIChild()) {
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
    case WM_INITMENUPOPUP: {
      auto* menu = reinterpret_cast<HMENU>(m.WParam);
      const bool system = menu == FSystemMenu || (FSysPopup && menu == FSysPopup->Handle());
      if (SkinManager) SkinManager->MenuKind = system ? 2 : 1;
      Default(m);
      break;
    }
    case CM_MENUCHANGED:
      MenuChanged(m);
      break;
    case CM_DIALOGCHAR:
      CMDialogChar(m);
      break;
    case WM_MENUSELECT:
      MenuSelected(m);
      Default(m);
      break;
    case WM_MENUCOMMAND:
      if (!SysPopupMessage(m)) Default(m);
      break;
    case WM_MEASUREITEM:
      if (!SysPopupMessage(m)) WMMEASUREITEM(m);
      break;
    case WM_DRAWITEM:
      if (!SysPopupMessage(m)) WMDRAWITEM(m);
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
  if (FIsChild && !IsMDIChild()) {
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
  // A minimized or maximized MDI child shows the system's frame.
  if (FState != 0 && !SystemFramedChild()) {
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

// Another copy of the engine in the process asks a framework form, marking its messages.
void TWinSkinForm::EngineMessage(TMessage& m) {
  if (!FForm) {
    Default(m);
  } else if (m.Msg == kEngineQuery) {
    m.Result = m.LParam == kEngineMark ? kEngineMark : 1;
  } else if (m.LParam == kEngineMark) {
    if (m.WParam) UpdateNc(nullptr);
    m.Result = kEngineMark;
  } else {
    Default(m);
  }
}

// A new caption. Windows paints its own caption as it takes the text; an ANSI window
// takes it unseen, and the messages that come meanwhile are handled. Then the skin's
// caption is painted anew, and with a maximized window the MDI frame too, whose caption
// the maximized child's text joins.
void TWinSkinForm::SetText(TMessage& m) {
  if (!IsWindowVisible(FHandle)) {
    Default(m);
    return;
  }
  if (!FUnicode && !IsMDIChild()) {
    TMessage off{WM_SETREDRAW, FALSE, 0, 0}, on{WM_SETREDRAW, TRUE, 0, 0};
    Default(off);
    Default(m);
    Default(on);
    if (Application) Application->ProcessMessages();
  } else {
    Default(m);
  }
  if (IsMaximized() && SkinManager && SkinManager->MDIClient)
    PostMessageW(SkinManager->MDIClient, CN_MaxChildActivated, reinterpret_cast<WPARAM>(FHandle), 0);
  if (IsMinimized()) {
    UpdateNc(nullptr);
  } else {
    Refresh();
  }
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
  // An MDI child not in normal state keeps the system's frame, so it is not cut; its
  // state changes the frame's band of child buttons.
  if (IsMDIChild()) {
    if (SkinManager) SkinManager->SetMDIMax(IsMaximized());
    if (IsMaximized() || IsMinimized()) {
      Uncropwindow();
      return;
    }
  }
  if (FState != 1 && FState != 3) return;
  // A maximized window fills the work area, so nothing of its outline is cut. A
  // minimized one is cut again: the outline of its normal size would leave the
  // key-coloured corners of its small caption on screen.
  if (IsMaximized()) {
    Uncropwindow();
  } else {
    Cropwindow();
  }
}

void TWinSkinForm::WMGetMinMaxInfo(TMessage& m) {
  Default(m);
  GetWindowstate();
  EnableSysbtn(IsMinimized());
  // Windows pushes the system frame of a maximized window off the screen; the skin's
  // frame is all caption and border the user needs, so it fills the work area exactly.
  if (FIsChild || FBorderStyle == sbsNone) return;
  MONITORINFO mi{};
  mi.cbSize = sizeof mi;
  if (!GetMonitorInfoW(MonitorFromWindow(FHandle, MONITOR_DEFAULTTONEAREST), &mi)) return;
  auto* info = reinterpret_cast<MINMAXINFO*>(m.LParam);
  info->ptMaxPosition = POINT{mi.rcWork.left - mi.rcMonitor.left, mi.rcWork.top - mi.rcMonitor.top};
  info->ptMaxSize = POINT{Width(mi.rcWork), Height(mi.rcWork)};
}

// The frame's activation goes on to its MDI client; an MDI child's to its own procedure,
// which keeps the MDI activation. The skin then paints the caption of the new state.
void TWinSkinForm::WMNCActive(TMessage& m) {
  FActive = m.WParam != 0;
  FTimer->SetEnabled(FActive);
  if (!FActive) LeaveHotControl();
  if (FFormStyle == sfsMDIform && FMDIClient) {
    SendMessageW(FMDIClient, WM_NCACTIVATE, m.WParam, 0);
  } else if (IsMDIChild()) {
    Default(m);
  }
  if (!IsMDIChild() || !IsMaximized()) UpdateNc(nullptr);
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
