// MDI windows: a frame holding an MDI client, and the MDI children inside it. The
// frame's skinner watches its client window (WinMDIProc); a child is skinned like a
// top-level window while it is in normal state and keeps the system's frame while
// minimized or maximized. The buttons of the frame's menu band act on the active child.
#include <cctype>

#include "skin/WinSkinDlg.h"
#include "skin/WinSkinForm.h"
#include "skin/WinSkinFrame.h"
#include "skin/WinSkinMenu.h"

namespace {

constexpr wchar_t kMdiProp[] = L"TorvikSkinMdi";

LRESULT CALLBACK SkinMdiProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  auto* self = static_cast<TWinSkinForm*>(GetPropW(h, kMdiProp));
  if (!self) return TWinSkinForm::PassOn(h, msg, w, l);
  TMessage m{msg, w, l, 0};
  self->WinMDIProc(m);
  return m.Result;
}

bool IsMdiClientClass(HWND w) {
  char cls[32] = {};
  GetClassNameA(w, cls, sizeof cls);
  for (char& c : cls) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return std::string(cls) == "mdiclient";
}

}  // namespace

void TWinSkinForm::GetFormstyle() {
  FFormStyle = sfsNormal;
  FMDIClient = nullptr;
  if (GetWindowLongW(FHandle, GWL_EXSTYLE) & WS_EX_MDICHILD) {
    FFormStyle = sfsMDIChild;
    return;
  }
  for (HWND c = GetTopWindow(FHandle); c; c = GetWindow(c, GW_HWNDNEXT)) {
    if (!IsMdiClientClass(c)) continue;
    FFormStyle = sfsMDIform;
    FMDIClient = c;
    if (SkinManager) {
      SkinManager->MDIClient = c;
      SkinManager->MDIForm = FForm;
    }
    return;
  }
}

HWND TWinSkinForm::MDIClientWindow() const {
  if (FFormStyle == sfsMDIform) return FMDIClient;
  if (FFormStyle == sfsMDIChild) return GetParent(FHandle);
  return nullptr;
}

HWND TWinSkinForm::ActiveMDIChild(bool* maximized) const {
  HWND client = MDIClientWindow();
  if (!client) return nullptr;
  BOOL zoomed = FALSE;
  auto child = reinterpret_cast<HWND>(SendMessageW(client, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&zoomed)));
  if (maximized) *maximized = child && zoomed;
  return child;
}

bool TWinSkinForm::MDIChildMax() const {
  bool maximized = false;
  return FFormStyle == sfsMDIform && ActiveMDIChild(&maximized) && maximized;
}

void TWinSkinForm::MDIChildCommand(WPARAM command) {
  if (HWND child = ActiveMDIChild(nullptr)) SendMessageW(child, WM_SYSCOMMAND, command, 0);
}

void TWinSkinForm::SubclassMDI() {
  if (!FMDIClient || FOldMDIProc) return;
  FOldMDIProc = Subclass(FMDIClient, kMdiProp, this, SkinMdiProc);
}

void TWinSkinForm::UnSubclassMDI() {
  if (!FOldMDIProc) return;
  Unsubclass(FMDIClient, kMdiProp, SkinMdiProc, FOldMDIProc);
  FOldMDIProc = nullptr;
}

// A child skinned at its creation: in normal state it takes the skin's frame now.
void TWinSkinForm::ActivateMDIChild() {
  if (IsMaximized()) {
    if (SkinManager && SkinManager->MDIClient)
      PostMessageW(SkinManager->MDIClient, CN_MaxChildActivated, reinterpret_cast<WPARAM>(FHandle), 0);
  } else if (IsMinimized()) {
    EnableSysbtn(true);
  } else if (FBorderStyle != sbsNone) {
    FState = 5;
    ResizeForm(false);
    FState = 1;
    Cropwindow();
  }
}

void TWinSkinForm::DefaultMDI(TMessage& m) {
  m.Result = CallWindowProcW(FOldMDIProc ? FOldMDIProc : DefWindowProcW, FMDIClient, m.Msg, m.WParam, m.LParam);
}

void TWinSkinForm::WinMDIProc(TMessage& m) {
  ++depth_;
  switch (m.Msg) {
    case WM_NCDESTROY:
      DefaultMDI(m);
      UnSubclassMDI();
      break;
    case CN_MaxChildActivated:
      // The maximized child's caption and buttons join the frame's: all of it anew.
      RedrawWindow(FHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
      UpdateNc(nullptr);
      m.Result = 0;
      break;
    case WM_NCCALCSIZE:
      // The client's scroll bars would be the system's: unless the skin asks for them,
      // children moved outside the client show none.
      if (FSkinFrame && !InSet(FSkinData->Options, xoMDIScrollbar)) {
        const LONG style = GetWindowLongW(FMDIClient, GWL_STYLE);
        if (style & (WS_HSCROLL | WS_VSCROLL))
          SetWindowLongW(FMDIClient, GWL_STYLE, style & ~(WS_HSCROLL | WS_VSCROLL));
      }
      DefaultMDI(m);
      break;
    case WM_MDICREATE:
      // While children are open the band keeps the menus the MDI client gives the frame.
      FSkinData->MenuUpdate = false;
      DefaultMDI(m);
      break;
    case WM_MDIDESTROY:
      DefaultMDI(m);
      if (FSkinFrame && SkinManager) SkinManager->SetMDIMax(MDIChildMax());
      if (FSkinFrame) LastChildClosed();
      break;
    case WM_MDISETMENU:
      DefaultMDI(m);
      if (FSkinFrame) TakeMDIMenu(reinterpret_cast<HMENU>(m.WParam));
      break;
    case WM_MDITILE:
    case WM_MDICASCADE:
      if (FSkinFrame && SkinManager && SkinManager->MDIMaximized) SkinManager->SetMDIMax(false);
      DefaultMDI(m);
      break;
    default:
      DefaultMDI(m);
  }
  --depth_;
  if (depth_ == 0 && freePending_) delete this;
}

// The MDI client put a new menu on the frame: the band shows it, and the frame keeps
// no menu of its own, which the system would draw over the skin.
void TWinSkinForm::TakeMDIMenu(HMENU menu) {
  if (menu && FSkinMenu) {
    FSkinMenu->UpdataBtn2(menu);
    UpdateNc(nullptr);
  }
  if (GetMenu(FHandle)) SetMenu(FHandle, nullptr);
}

// With no child open any more the band follows the frame's own menu again.
void TWinSkinForm::LastChildClosed() {
  if (!FSkinMenu || ActiveMDIChild(nullptr)) return;
  FSkinData->MenuUpdate = FSavedMenuUpdate;
  FSkinMenu->UpdataBtn();
  UpdateNc(nullptr);
}

// A child maximized shows no frame of its own (the frame's menu band carries its
// buttons); restored, it is cut and framed again.
void TWinSkinForm::MDIMaxChanged(bool maximized) {
  if (FFormStyle == sfsMDIform) {
    UpdateNc(nullptr);  // the band shows or hides the child's buttons
    return;
  }
  if (FFormStyle != sfsMDIChild || !FSkinFrame) return;
  if (maximized) {
    Uncropwindow();
  } else {
    FRegionWidth = FRegionHeight = 0;
    Cropwindow();
  }
  SetSysbtnRect();
  if (!maximized) UpdateNc(nullptr);
}
