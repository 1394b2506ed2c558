// The skinned menu bar: its buttons, their painting over the skin's MenuBar object, and
// the opening of a button's drop-down with a message filter that lets the arrow keys
// and the mouse move on to the neighbouring menus while one is open.
#include <algorithm>
#include <cwctype>

#include "classlib/Gbk.h"
#include "skin/WinSkinDlg.h"
#include "skin/WinSkinForm.h"
#include "skin/WinSkinMenu.h"
#include "skin/WinSubClass.h"

namespace {

// The one drop-down of the bar that is open on this thread.
struct TTracking {
  TWinSkinForm* form = nullptr;
  int open = -1;  // the open button's index
  HHOOK hook = nullptr;
  HMENU openMenu = nullptr;
  bool hasKeyItem = false;  // the selection the keyboard moves
  HMENU keyMenu = nullptr;
  bool keyItemPopup = false;
  POINT lastMouse{};
  bool keySwitch = false;      // a move to another button is under way
  bool firstSelected = false;  // the first item was selected for the keyboard
  int switchTo = -1;           // the button to open when this drop-down has closed
};
thread_local TTracking tracking;

std::wstring MenuText(HMENU menu, int i) {
  wchar_t text[128] = {};
  GetMenuStringW(menu, static_cast<UINT>(i), text, 128, MF_BYPOSITION);
  return text;
}

HFONT MenuFont() {
  NONCLIENTMETRICSW nc{};
  nc.cbSize = sizeof nc;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof nc, &nc, 0);
  return CreateFontIndirectW(&nc.lfMenuFont);
}

bool IsAccel(wchar_t key, const std::wstring& caption) {
  const size_t amp = caption.find(L'&');
  return amp != std::wstring::npos && amp + 1 < caption.size() && towupper(caption[amp + 1]) == towupper(key);
}

// A button's caption: centred, in the bar's text colour, in the shadow colour when the
// item is disabled.
void DrawButtonCaption(HDC dc, const std::wstring& text, const RECT& r, const TSkinData& data, bool enabled) {
  const COLORREF was = SetTextColor(dc, ColorToRGB(data.SchemeColors[csMenuBarText]));
  {
    TCanvas canvas(dc);
    MyDrawCaption(&canvas, r, text, enabled, taCenter);
  }
  SetTextColor(dc, was);
}

// The neighbour of the open button in the given direction that has a drop-down to open.
int Neighbour(const TWinSkinMenu& bar, int from, int step) {
  const int n = bar.Count();
  for (int i = 1; i < n; ++i) {
    const int at = ((from + step * i) % n + n) % n;
    const TMenuBtn& b = *bar.Buttons[static_cast<size_t>(at)];
    if (b.Visible && b.Enabled && b.SubMenu) return at;
  }
  return -1;
}

LRESULT CALLBACK MenuFilter(int code, WPARAM w, LPARAM l) {
  const LRESULT next = CallNextHookEx(tracking.hook, code, w, l);
  if (code != MSGF_MENU || !tracking.form || next != 0) return next;
  auto* msg = reinterpret_cast<MSG*>(l);
  TWinSkinMenu* bar = tracking.form->MenuBar();
  if (!bar) return 0;
  // In a right-to-left menu the arrow keys point the other way.
  if (msg->message == WM_KEYDOWN && (msg->wParam == VK_LEFT || msg->wParam == VK_RIGHT) && bar->RightToLeft())
    msg->wParam = msg->wParam == VK_LEFT ? VK_RIGHT : VK_LEFT;
  if (!tracking.firstSelected) {
    tracking.firstSelected = true;
    PostMessageW(msg->hwnd, WM_KEYDOWN, VK_DOWN, 0);
  }
  int target = -1;
  switch (msg->message) {
    case WM_KEYDOWN:
      if (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE) tracking.keySwitch = false;
      if (msg->wParam == VK_RIGHT && !(tracking.hasKeyItem && tracking.keyItemPopup))
        target = Neighbour(*bar, tracking.open, 1);
      if (msg->wParam == VK_LEFT && (!tracking.hasKeyItem || tracking.keyMenu == tracking.openMenu))
        target = Neighbour(*bar, tracking.open, -1);
      break;
    case WM_MOUSEMOVE:
      if (msg->pt.x != tracking.lastMouse.x || msg->pt.y != tracking.lastMouse.y) {
        tracking.lastMouse = msg->pt;
        const TMenuBtn* b = bar->FindBtn(tracking.form->GetWinXY(msg->pt.x, msg->pt.y));
        if (b && b->Enabled && b->SubMenu) target = b->Index;
      }
      break;
    case WM_SYSKEYDOWN:
      if (msg->wParam == VK_MENU) tracking.form->CancelMenu();
      break;
    default:
      break;
  }
  if (target < 0 || target == tracking.open) return 0;
  tracking.keySwitch = true;
  tracking.form->ClickButton(bar->Buttons[static_cast<size_t>(target)].get());
  return 1;
}

// The items a maximized MDI child adds to its frame's menu: its icon holding its system
// menu, which stays the child's (the copy of the icon goes with the item), and its
// minimize, restore and close buttons.
void RemoveMdiChildItems(HMENU menu) {
  constexpr UINT_PTR kLastSystemBitmap = 11;  // HBMMENU_POPUP_MINIMIZE
  for (int i = GetMenuItemCount(menu) - 1; i >= 0; --i) {
    MENUITEMINFOW mi{};
    mi.cbSize = sizeof mi;
    mi.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU | MIIM_BITMAP;
    if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &mi)) continue;
    if (!(mi.fType & MFT_BITMAP) && !mi.hbmpItem) continue;
    if (mi.hSubMenu && i == 0) {
      RemoveMenu(menu, 0, MF_BYPOSITION);
      if (reinterpret_cast<UINT_PTR>(mi.hbmpItem) > kLastSystemBitmap) DeleteObject(mi.hbmpItem);
    } else if (!mi.hSubMenu && (mi.wID == SC_MINIMIZE || mi.wID == SC_RESTORE || mi.wID == SC_CLOSE)) {
      DeleteMenu(menu, static_cast<UINT>(i), MF_BYPOSITION);
    }
  }
}

}  // namespace

int OpenMenuButton() { return tracking.open; }

// ---- Buttons ----

void TMenuBtn::Draw() { Bar->DrawButton(*this); }

TWinSkinMenu::TWinSkinMenu(TWinSkinForm* owner) : TComponent(nullptr), FormSkin(owner) {}

// The window's menu is taken off it, so the system neither draws nor tracks a bar of its
// own; a menu the window was given since is taken in its place.
void TWinSkinMenu::UpdataBtn() {
  if (WinNtBefore5() || WinVersion40()) {
    UpdataBtn1();
    return;
  }
  HWND wnd = FormSkin->FHandle;
  HMENU onWindow = GetMenu(wnd);
  HMENU menu = onWindow ? onWindow : MenuHandle;
  if (FormSkin->FForm && !FormSkin->FForm->Menu()) menu = nullptr;
  // A maximized child's items belong to the system's bar, which the band replaces (it
  // shows the child's buttons itself); the child could not take them out of a menu that
  // is off its frame.
  if (onWindow && FormSkin->FFormStyle == sfsMDIform) RemoveMdiChildItems(onWindow);
  if (menu != MenuHandle || (menu && Buttons.empty())) BuildButtons(menu);
  if (onWindow) SetMenu(wnd, nullptr);
}

void TWinSkinMenu::ClearButtons() {
  SkinData = FormSkin->FSkinData;
  for (const auto& b : Buttons) {
    if (FormSkin->FHotObject == b.get()) FormSkin->FHotObject = nullptr;
  }
  Buttons.clear();
}

void TWinSkinMenu::BuildButtons(HMENU menu, bool menuTextFirst) {
  MenuHandle = menu;
  ClearButtons();
  // The framework's own items say their caption and state, whatever the menu shows.
  TMainMenu* own = FormSkin->FForm ? FormSkin->FForm->Menu() : nullptr;
  const bool framework = own && own->Handle() == menu;
  for (int i = 0, n = menu ? GetMenuItemCount(menu) : 0; i < n; ++i) {
    MENUITEMINFOW mi{};
    mi.cbSize = sizeof mi;
    mi.fMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU;
    if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &mi)) continue;
    auto b = std::make_unique<TMenuBtn>(FormSkin, this);
    b->SkinData = SkinData;
    b->Index = i;
    b->SubMenu = mi.hSubMenu;
    b->Enabled = !(mi.fState & (MFS_GRAYED | MFS_DISABLED));
    b->Visible = true;
    b->Command = mi.wID;
    b->Caption = MenuText(menu, i);
    if (TMenuItem* item = framework ? TMenu::ItemAt(menu, i) : nullptr) {
      if (!menuTextFirst || b->Caption.empty()) b->Caption = gbk::ToWide(item->Caption());
      b->Enabled = item->Enabled();
      b->MenuItem = item;
    }
    Buttons.push_back(std::move(b));
  }
}

// The menu the MDI client gives the frame: the band shows it at once, the frame goes
// without it. Its own texts come first; an item without one (owner-drawn) shows the
// class library's caption.
void TWinSkinMenu::UpdataBtn2(HMENU menu) {
  HWND wnd = FormSkin->FHandle;
  if (FormSkin->FFormStyle == sfsMDIform) RemoveMdiChildItems(menu);
  BuildButtons(menu, true);
  if (GetMenu(wnd)) SetMenu(wnd, nullptr);
  SetMenuRect(Band);
}

void TWinSkinMenu::UpdataBtn1() {
  HWND wnd = FormSkin->FHandle;
  TMainMenu* own = FormSkin->FForm ? FormSkin->FForm->Menu() : nullptr;
  HMENU menu = own ? own->Handle() : nullptr;
  if (menu != MenuHandle || (menu && Buttons.empty())) {
    MenuHandle = menu;
    ClearButtons();
    // A hidden item has no place in the menu: the shown ones keep their positions there.
    TMenuItem* items = own ? own->Items() : nullptr;
    for (int i = 0, position = 0; items && i < items->Count(); ++i) {
      TMenuItem* item = items->Items(i);
      auto b = std::make_unique<TMenuBtn>(FormSkin, this);
      b->SkinData = SkinData;
      b->Index = i;
      b->Visible = item->Visible();
      b->Enabled = item->Enabled();
      b->Caption = gbk::ToWide(item->Caption());
      b->MenuItem = item;
      if (b->Visible) {
        const UINT id = GetMenuItemID(menu, position);
        b->Command = id == static_cast<UINT>(-1) ? 0 : id;
        b->SubMenu = item->Count() > 0 ? GetSubMenu(menu, position) : nullptr;
        ++position;
      }
      Buttons.push_back(std::move(b));
    }
  }
  if (GetMenu(wnd)) SetMenu(wnd, nullptr);
}

// Where a button's item lies in the window's menu: hidden items have no place there.
int TWinSkinMenu::MenuPosition(const TMenuBtn& button) const {
  int position = 0;
  for (const auto& b : Buttons) {
    if (b.get() == &button) return position;
    if (b->Visible) ++position;
  }
  return -1;
}

// The skin leaves a window that lives on: its menu goes back on it.
void TWinSkinMenu::GiveMenuBack() {
  HWND wnd = FormSkin->FHandle;
  TForm* form = FormSkin->FForm;
  HMENU menu = form ? (form->Menu() ? form->Menu()->Handle() : nullptr) : MenuHandle;
  if (menu && IsMenu(menu) && IsWindow(wnd) && !GetMenu(wnd)) {
    bool maximized = false;
    if (FormSkin->FFormStyle != sfsMDIform || !FormSkin->ActiveMDIChild(&maximized) || !maximized) {
      SetMenu(wnd, menu);
    } else {
      // The MDI client puts the menu on the frame with its maximized child's items; it
      // adds them only to a menu new to it, so it is shown a stand-in first.
      RemoveMdiChildItems(menu);
      HMENU standIn = CreateMenu();
      SendMessageW(FormSkin->FMDIClient, WM_MDISETMENU, reinterpret_cast<WPARAM>(standIn), 0);
      SendMessageW(FormSkin->FMDIClient, WM_MDISETMENU, reinterpret_cast<WPARAM>(menu), 0);
      if (GetMenu(wnd) != menu) SetMenu(wnd, menu);
      DestroyMenu(standIn);
    }
  }
  BuildButtons(nullptr);
}

// A menu whose items cascade right to left is laid out from the band's right end; the
// items a maximized MDI child adds to its frame's menu carry no such mark.
bool TWinSkinMenu::RightToLeft() const {
  for (int i = 0, n = MenuHandle ? GetMenuItemCount(MenuHandle) : 0; i < n; ++i) {
    MENUITEMINFOW mi{};
    mi.cbSize = sizeof mi;
    mi.fMask = MIIM_FTYPE;
    if (GetMenuItemInfoW(MenuHandle, static_cast<UINT>(i), TRUE, &mi) && (mi.fType & MFT_RIGHTORDER)) return true;
  }
  return false;
}

// How far the first button lies from the band's start (its right end when right to left).
int TWinSkinMenu::FirstButtonLeft(int bandWidth, bool rightToLeft) const {
  const TDataSkinObject* skin = SkinData ? SkinData->MenuBar.get() : nullptr;
  if (!skin || !skin->Image || skin->Image->Empty()) return 6;
  const int start = rightToLeft ? skin->RightWidth + 8 : skin->LeftWidth + 4;
  return start > bandWidth ? 12 : start;
}

// Where a right-to-left bar's buttons may end, relative to the band: left of the buttons
// a maximized MDI child has in the band.
int TWinSkinMenu::RightEnd(const RECT& band, int start) const {
  int x = Width(band) - start;
  bool maximized = false;
  if (FormSkin->FFormStyle != sfsMDIform || !FormSkin->ActiveMDIChild(&maximized) || !maximized) return x;
  for (const auto& btn : FormSkin->FButtons) {
    if (btn->Visible && btn->Skin->Visibility == 100 && !btn->Skin->Image->Empty())
      x = std::min<int>(x, btn->Bounds.left - band.left - 5);
  }
  return x;
}

// The buttons' bounds, in window coordinates: left to right from the bar's start, or for
// a right-to-left menu right to left from its end.
void TWinSkinMenu::Layout(HDC dc, const RECT& band) {
  Band = band;
  const bool rtl = RightToLeft();
  const int start = FirstButtonLeft(Width(band), rtl);
  int x = rtl ? RightEnd(band, start) : start;
  for (const auto& b : Buttons) {
    if (!b->Visible) {
      b->Bounds = RECT{};
      continue;
    }
    RECT t{0, 0, 0, 0};
    DrawTextW(dc, b->Caption.c_str(), static_cast<int>(b->Caption.size()), &t, DT_CALCRECT | DT_NOCLIP | DT_SINGLELINE);
    int w = Width(t);
    if (w > 0) w += 10;
    const int left = rtl ? x - w : x;
    b->Bounds = RECT{band.left + left, band.top, band.left + left + w, band.bottom - 1};
    x = rtl ? left : x + w;
  }
}

void TWinSkinMenu::SetMenuRect(const RECT& band) {
  UpdataBtn();
  HDC dc = GetWindowDC(FormSkin->FHandle);
  HFONT font = MenuFont();
  HGDIOBJ old = SelectObject(dc, font);
  Layout(dc, band);
  SelectObject(dc, old);
  DeleteObject(font);
  ReleaseDC(FormSkin->FHandle, dc);
}

void TWinSkinMenu::DrawMenu(HDC dc, const RECT& band) {
  Drawing = true;
  UpdataBtn();
  const int w = Width(band), h = Height(band);
  if (w <= 0 || h <= 0) {
    Drawing = false;
    return;
  }
  TBitmap bg;
  bg.SetSize(w, h);
  HDC bdc = bg.Canvas().Handle();
  const RECT local{0, 0, w, h};
  const TDataSkinObject* skin = SkinData->MenuBar.get();
  if (skin && skin->Image && !skin->Image->Empty()) {
    const int frame = FormSkin->FActive ? 1 : 2;
    const RECT edges{skin->LeftWidth, 0, skin->RightWidth, 0};
    if (skin->Tile == 1) {
      DrawRect2(bdc, local, skin->Image.get(), true, false, false, 2, frame, edges);
    } else {
      DrawRectTile(&bg.Canvas(), local, skin->Image.get(), true, false, 2, frame, edges);
    }
  } else {
    HBRUSH brush = CreateSolidBrush(ColorToRGB(SkinData->SchemeColors[csMenuBar]));
    FillRect(bdc, &local, brush);
    DeleteObject(brush);
  }
  Background = std::make_unique<TBitmap>();
  Background->SetSize(w, h);
  BitBlt(Background->Canvas().Handle(), 0, 0, w, h, bdc, 0, 0, SRCCOPY);

  HFONT font = MenuFont();
  HGDIOBJ old = SelectObject(bdc, font);
  const int mode = SetBkMode(bdc, TRANSPARENT);
  Layout(bdc, band);
  for (const auto& b : Buttons) {
    if (!b->Visible || Width(b->Bounds) == 0) continue;
    RECT r = b->Bounds;
    OffsetRect(&r, -band.left, -band.top);
    DrawButtonCaption(bdc, b->Caption, r, *SkinData, b->Enabled);
  }
  SetBkMode(bdc, mode);
  SelectObject(bdc, old);
  DeleteObject(font);
  BitBlt(dc, band.left, band.top, w, h, bdc, 0, 0, SRCCOPY);
  NoteMaximizedChild();
  // A button that is open or under the mouse keeps its look through a repaint.
  for (const auto& b : Buttons) {
    if (b->State != 1) DrawButton(*b);
  }
  Drawing = false;
}

// The band of an MDI frame carries the buttons of its maximized child; a child that was
// maximized before the manager heard of it is made known when the band shows.
void TWinSkinMenu::NoteMaximizedChild() {
  bool maximized = false;
  if (FormSkin->FFormStyle != sfsMDIform || !FormSkin->ActiveMDIChild(&maximized) || !maximized) return;
  if (SkinManager && !SkinManager->MDIMaximized) SkinManager->SetMDIMax(true);
}

void TWinSkinMenu::DrawButton(TMenuBtn& b) {
  if (!Background || Background->Empty() || !b.Visible || Width(b.Bounds) == 0) return;
  HWND wnd = FormSkin->FHandle;
  HDC dc = GetWindowDC(wnd);
  const RECT& r = b.Bounds;
  BitBlt(dc, r.left, r.top, Width(r), Height(r), Background->Canvas().Handle(), r.left - Band.left, r.top - Band.top,
         SRCCOPY);
  if (b.State == 2 || b.State == 3) {
    HBRUSH brush = CreateSolidBrush(ColorToRGB(SkinData->SchemeColors[csButtonHilight]));
    FrameRect(dc, &r, brush);
    DeleteObject(brush);
  }
  HFONT font = MenuFont();
  HGDIOBJ old = SelectObject(dc, font);
  const int mode = SetBkMode(dc, TRANSPARENT);
  DrawButtonCaption(dc, b.Caption, r, *SkinData, b.Enabled);
  SetBkMode(dc, mode);
  SelectObject(dc, old);
  DeleteObject(font);
  ReleaseDC(wnd, dc);
}

TMenuBtn* TWinSkinMenu::FindBtn(POINT pt) const {
  for (const auto& b : Buttons) {
    if (!b->Caption.empty() && PtInRect(&b->Bounds, pt)) return b.get();
  }
  return nullptr;
}

TMenuBtn* TWinSkinMenu::FindButtonFromAccel(wchar_t key) const {
  for (const auto& b : Buttons) {
    if (b->Enabled && b->Visible && IsAccel(key, b->Caption)) return b.get();
  }
  return nullptr;
}

// ---- The form skinner's menu band ----

void TWinSkinForm::DrawMenuBand(HDC dc, const RECT& band) {
  if (!FSkinMenu) FSkinMenu = std::make_unique<TWinSkinMenu>(this);
  FSkinMenu->DrawMenu(dc, band);
}

std::vector<RECT> TWinSkinForm::MenuItemRects() const {
  std::vector<RECT> rects;
  if (!FSkinMenu || FMenuHeight <= 0) return rects;
  for (const auto& b : FSkinMenu->Buttons) rects.push_back(b->Bounds);
  return rects;
}

int TWinSkinForm::MenuItemOfKey(wchar_t key) const {
  const TMenuBtn* b = FindButtonFromAccel(key);
  return b ? b->Index : -1;
}

TMenuBtn* TWinSkinForm::FindButtonFromAccel(wchar_t key) const {
  return FSkinMenu && FMenuHeight > 0 ? FSkinMenu->FindButtonFromAccel(key) : nullptr;
}

void TWinSkinForm::OpenMenuItem(int index) {
  if (!FSkinMenu || index < 0 || index >= FSkinMenu->Count()) return;
  CheckMenu(FSkinMenu->Buttons[static_cast<size_t>(index)].get());
}

// Opens the button's drop-down and, while the filter asks for it, the neighbours' after it.
bool TWinSkinForm::CheckMenu(TMenuBtn* button) {
  if (!button->SubMenu) {
    // The system sends no command for a disabled item, and the item does not check.
    if (button->Enabled)
      PostMessageW(FHandle, WM_MENUCOMMAND, static_cast<WPARAM>(FSkinMenu->MenuPosition(*button)),
                   reinterpret_cast<LPARAM>(FSkinMenu->MenuHandle));
    return false;
  }
  int index = button->Index;
  while (index >= 0 && index < FSkinMenu->Count()) {
    TMenuBtn& b = *FSkinMenu->Buttons[static_cast<size_t>(index)];
    tracking = TTracking{};
    tracking.form = this;
    tracking.open = index;
    tracking.openMenu = b.SubMenu;
    GetCursorPos(&tracking.lastMouse);
    RECT wr{};
    GetWindowRect(FHandle, &wr);
    FMenuTracking = true;
    if (SkinManager) {
      SkinManager->MenuKind = 1;
      SkinManager->OwnPopup = true;
    }
    tracking.hook = SetWindowsHookExW(WH_MSGFILTER, MenuFilter, nullptr, GetCurrentThreadId());
    if (FHotObject == &b) FHotObject = nullptr;  // the pressed look stays while it is open
    b.State = 2;
    b.Draw();
    if (b.Enabled) {
      // A right-to-left window's drop-down hangs from the button's right end. Either
      // mouse button chooses an item, as in the system's menu bar.
      const int x = wr.left + (FRightToLeft ? b.Bounds.right : b.Bounds.left);
      TOwnerDrawnMenu ownerDrawn(b.SubMenu);
      TrackPopupMenuEx(b.SubMenu, (FRightToLeft ? TPM_RIGHTALIGN : TPM_LEFTALIGN) | TPM_TOPALIGN | TPM_RIGHTBUTTON, x,
                       wr.top + FSkinMenu->Band.bottom, FHandle, nullptr);
    }
    UnhookWindowsHookEx(tracking.hook);
    const int next = tracking.switchTo;
    tracking = TTracking{};
    FMenuTracking = false;
    // The buttons may have been rebuilt meanwhile.
    if (index < FSkinMenu->Count()) {
      TMenuBtn& done = *FSkinMenu->Buttons[static_cast<size_t>(index)];
      done.State = 1;
      done.Draw();
    }
    index = next;
  }
  return true;
}

// While a drop-down is open the button's is opened in its place; otherwise it opens as a
// click on it would.
void TWinSkinForm::ClickButton(TMenuBtn* button) {
  if (tracking.form == this) {
    tracking.switchTo = button->Index;
    EndMenu();
    return;
  }
  POINT p{button->Bounds.left + 1, button->Bounds.top + 1};
  RECT wr{};
  GetWindowRect(FHandle, &wr);
  PostMessageW(FHandle, WM_NCLBUTTONDOWN, HTMENU, MAKELPARAM(wr.left + p.x, wr.top + p.y));
}

void TWinSkinForm::CancelMenu() { FMenuTracking = false; }

// Alt and a character no control of the form took: the bar's menu of that accelerator
// opens; an MDI child's and a modeless window's go on to the window whose bar it is.
void TWinSkinForm::CMDialogChar(TMessage& m) {
  Default(m);
  if (m.Result != 0) return;
  const bool altOnly = GetKeyState(VK_MENU) < 0 && GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_SHIFT) >= 0;
  if (TMenuBtn* b = altOnly ? FindButtonFromAccel(static_cast<wchar_t>(m.WParam)) : nullptr) {
    ClickButton(b);
    m.Result = 1;
    return;
  }
  HWND target = nullptr;
  if (IsMDIChild()) {
    target = GetParent(GetParent(FHandle));
  } else if (FForm && Application && Application->MainForm() && Application->MainForm() != FForm && !FForm->Modal()) {
    target = Application->MainForm()->Handle();
  }
  if (target && SendMessageW(target, CM_DIALOGCHAR, m.WParam, m.LParam) != 0 && IsMDIChild()) m.Result = 1;
}

// Another part of the program asks for the bar's menu under a screen point.
void TWinSkinForm::MenuSelect(TMessage& m) {
  m.Result = 0;
  if (!FSkinMenu || FMenuHeight <= 0) return;
  const POINT screen{static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam))};
  if (TMenuBtn* b = FSkinMenu->FindBtn(GetWinXY(screen.x, screen.y))) CheckMenu(b);
}

// The selection inside the open drop-down, as the menu reports it.
void TWinSkinForm::MenuSelected(const TMessage& m) {
  if (tracking.form != this) return;
  const UINT flags = HIWORD(m.WParam);
  if (flags == 0xFFFF && m.LParam == 0) {
    if (!tracking.keySwitch) CancelMenu();
    return;
  }
  tracking.keySwitch = false;
  tracking.hasKeyItem = true;
  tracking.keyMenu = reinterpret_cast<HMENU>(m.LParam);
  tracking.keyItemPopup = flags & MF_POPUP;
}

// The framework rebuilt the window's menu: the band shows the new one's items, and the
// window stays without a menu of its own. While the data's MenuUpdate is off (an MDI
// frame with children open) the band keeps a menu the MDI client gave it; the frame's
// own menu, whose old handle is about to go, is replaced all the same.
void TWinSkinForm::MenuChanged(TMessage& m) {
  HMENU menu = reinterpret_cast<HMENU>(m.LParam);
  if (!FSkinFrame || FMenuHeight <= 0 || !menu || !FSkinMenu || GetMenu(FHandle)) {
    Default(m);
    return;
  }
  const bool ownMenu = TMenu::ItemAt(FSkinMenu->MenuHandle, 0) == TMenu::ItemAt(menu, 0);
  if (!FSkinData->MenuUpdate && !ownMenu) {
    m.Result = 0;
    return;
  }
  FSkinMenu->BuildButtons(menu);
  UpdateNc(nullptr);
  m.Result = 0;
}

bool TWinSkinForm::HasMenu() const {
  if (GetMenu(FHandle)) return true;
  if (!FSkinMenu || !FSkinMenu->MenuHandle) return false;
  return FForm ? FForm->Menu() != nullptr : IsMenu(FSkinMenu->MenuHandle) != FALSE;
}
