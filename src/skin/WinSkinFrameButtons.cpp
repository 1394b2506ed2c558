// The caption buttons of a skinned window, the mouse over its frame, and what the
// buttons and the system menu do.
#include "skin/WinSkinFrame.h"

#include <algorithm>

#include "skin/WinSkinDlg.h"
#include "skin/WinSkinForm.h"
#include "skin/WinSkinMenu.h"
#include "skin/WinSubClass.h"

namespace {

constexpr UINT kButtonQuery = 0x3515;
constexpr UINT kButtonAction = 0x3514;

// The first condition of a caption button's visibility ("Visibility").
bool FirstCondition(int v, bool maxed, bool active, bool hasMin, bool hasMax, bool hasSystem, bool plainDialog,
                    bool childInBand, HWND window, int action) {
  if (v == 0) return true;
  if (v == 1 || v == 2) return maxed == (v == 1);
  if (v == 3 || v == 4) return active == (v == 3);
  if (v == 6 || v == 8) return hasMin ? hasSystem : (hasMax && hasSystem);
  if (v == 7) return !hasMax;
  if (v == 9) return !hasMin;
  if (v == 100) return childInBand;
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

// ---- Caption buttons ----

bool TWinSkinForm::SysBtnVisible(const TDataSkinSysButton& b) const {
  const bool maxed = IsMaximized(), hasMin = HasIcon(sbiMin), hasMax = HasIcon(sbiMax), hasSys = HasIcon(sbisystem);
  const bool plainDialog = FBorderStyle == sbsDialog && !FIsDialog;
  // The buttons of a maximized MDI child sit in its frame's menu band.
  const bool childInBand = b.Visibility == 100 && FMenuHeight > 0 && MDIChildMax();
  const bool first =
      FirstCondition(b.Visibility, maxed, FActive, hasMin, hasMax, hasSys, plainDialog, childInBand, FHandle, b.Action);
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
        // In the menu band, clear of the bar's own left end.
        x = FWidth - s.Xcoord - FRightWidth - (FSkinData->MenuBar ? FSkinData->MenuBar->LeftWidth : 0);
        y = (FMenuHeight - bh) / 2 + FCaptionHeight;
        break;
      default:
        break;
    }
    btn->Bounds = RECT{x, y, x + bw, y + bh};
  }
}

// The window's icon at the small-icon size on a key-coloured ground; the program's icon
// for a window without one of its own.
void TWinSkinForm::GetIcon(TBitmap& bitmap) {
  const int w = GetSystemMetrics(SM_CXSMICON), h = GetSystemMetrics(SM_CYSMICON);
  auto icon = reinterpret_cast<HICON>(SendMessageW(FHandle, WM_GETICON, ICON_SMALL, 0));
  if (!icon) icon = reinterpret_cast<HICON>(SendMessageW(FHandle, WM_GETICON, ICON_BIG, 0));
  if (!icon) {
    if (FSkinData->AppIcon->Empty()) FSkinData->GetAppIcon();
    CopyBMP(FSkinData->AppIcon.get(), &bitmap);
    return;
  }
  DrawIconOnKey(bitmap, icon, w, h);
}

void TWinSkinForm::DrawIcon(HDC dc, const RECT& r) {
  // A window of its own icon shows it; every other shows the program's.
  auto icon = reinterpret_cast<HICON>(SendMessageW(FHandle, WM_GETICON, ICON_SMALL, 0));
  if (!icon) icon = reinterpret_cast<HICON>(SendMessageW(FHandle, WM_GETICON, ICON_BIG, 0));
  if (icon) {
    DrawIconEx(dc, r.left, r.top, icon, GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0, nullptr,
               DI_NORMAL);
  } else if (FSkinData->AppIcon && !FSkinData->AppIcon->Empty()) {
    DrawTranmap(dc, r, FSkinData->AppIcon.get(), kKeyColour);
  }
}

// The buttons of a maximized MDI child, drawn in the menu band over its items.
void TWinSkinForm::DrawBandButtons(HDC dc) {
  for (const auto& btn : FButtons) {
    const TDataSkinSysButton& s = *btn->Skin;
    if (!btn->Visible || s.Image->Empty() || s.Visibility != 100) continue;
    DrawRect1(dc, btn->Bounds, s.Image.get(), true, ButtonFrames(s), FActive ? 1 : std::min(4, ButtonFrames(s)));
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
  int frame = b.Enabled ? state : 4;
  if (s.Visibility == 100 && frame == 3) frame = 4;
  // An image without the frame asked for (a 3-frame button has no disabled look) shows
  // its normal frame; pressed and hover still show on a 3-frame image.
  if (frame > ButtonFrames(s)) frame = 1;
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

// A caption button, else a button of the menu bar.
TNCObject* TWinSkinForm::FindBtn(POINT pt) {
  for (const auto& b : FButtons) {
    if (b->Visible && b->Skin->Action >= 0 && PtInRect(&b->Bounds, pt)) return b.get();
  }
  return FSkinMenu && FMenuHeight > 0 ? FSkinMenu->FindBtn(pt) : nullptr;
}

// ---- Mouse ----

void TWinSkinForm::WMNCMouseMove(TMessage& m) {
  if (!FActive) {
    Default(m);
    return;
  }
  const POINT p = GetWinXY(static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam)));
  if (TNCObject* b = FindBtn(p)) {
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
    if (auto* menuButton = dynamic_cast<TMenuBtn*>(b)) {
      CheckMenu(menuButton);
      FHotObject = menuButton;
    }
    m.Result = 0;
    return;
  }
  // The band between the bar's items: Windows' own menu must not start.
  if (m.WParam == HTMENU) {
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
  auto* button = dynamic_cast<TWinSysButton*>(b);  // a menu-bar button acted on its press
  if (!button || b != FHotObject) return;
  button->MouseUp();
  SysBtnAction(button->Skin->Action, x, y);
}

void TWinSkinForm::WMNCLButtonDblClk(TMessage& m) {
  if (TNCObject* b = FindBtn(GetWinXY(static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam))))) {
    auto* button = dynamic_cast<TWinSysButton*>(b);
    const int action = button ? button->Skin->Action : -1;
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
  // The open drop-down owns the pointer; its button keeps the pressed look meanwhile.
  if (FMenuTracking) return;
  POINT c{};
  GetCursorPos(&c);
  const POINT p = GetWinXY(c.x, c.y);
  if (FHotObject && !PtInRect(&FHotObject->Bounds, p)) {
    FHotObject->MouseLeave();
    FHotObject = nullptr;
  }
  // A control the pointer left without telling it (its leave report was lost) is told now.
  RECT r{};
  if (FHotControl && GetWindowRect(FHotControl->Window(), &r) && !PtInRect(&r, c)) LeaveHotControl();
}

void TWinSkinForm::LeaveHotControl() {
  if (!FHotControl) return;
  TSkinControl* hot = FHotControl;
  FHotControl = nullptr;
  hot->MouseLeave();
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
    case 60:
      MDIChildCommand(SC_MINIMIZE);
      break;
    case 8:
    case 61:
      MDIChildCommand(SC_RESTORE);
      break;
    case 9:
    case 62:
      MDIChildCommand(SC_CLOSE);
      break;
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
