// The skinned system menu: a popup menu of ours holding the window's system-menu items,
// owner-drawn from the skin, whose choice goes back to the window as WM_SYSCOMMAND.
#include "classlib/Gbk.h"
#include "skin/WinSkinDlg.h"
#include "skin/WinSkinForm.h"
#include "skin/WinSkinFrame.h"

namespace {

constexpr int kSysPopupTag = 33333;
constexpr UINT kMaxText = 80;  // bytes of an item's text

// The window's system-menu item at a position: its text (GBK, "-" for a separator), its
// command and its state.
struct TSysItem {
  std::string caption;
  UINT id = 0, state = 0;
};

bool ReadSysItem(HMENU menu, UINT position, TSysItem& item) {
  wchar_t text[kMaxText + 1] = {};
  MENUITEMINFOW mi{};
  mi.cbSize = sizeof mi;
  mi.fMask = MIIM_STATE | MIIM_ID | MIIM_FTYPE | MIIM_STRING;
  mi.dwTypeData = text;
  mi.cch = kMaxText;
  if (!GetMenuItemInfoW(menu, position, TRUE, &mi)) return false;
  item.caption = (mi.fType & MFT_SEPARATOR) || !text[0] ? "-" : gbk::FromWide(text);
  if (item.caption.size() > kMaxText) item.caption.resize(kMaxText);
  item.id = mi.wID;
  item.state = mi.fState;
  return true;
}

// An item set up before it joins the menu, which is rebuilt at every change of its items.
TMenuItem* AddItem(TPopupMenu& popup, const std::string& caption, int tag, int image, bool enabled = true,
                   bool checked = false) {
  auto* item = new TMenuItem(&popup);
  item->SetCaption(caption);
  item->Tag = tag;
  item->ImageIndex = image;
  item->SetEnabled(enabled);
  item->SetChecked(checked);
  popup.Items()->Add(item);
  return item;
}

}  // namespace

// A second press on the icon within the double-click time closes the window instead.
void TWinSkinForm::PopSysmenu(POINT pt) {
  const DWORD now = GetTickCount();
  if (FLastIconClick && now - FLastIconClick < FDoubleClickTime && FHotObject) {
    FTimer->SetEnabled(false);
    PostMessageW(FHandle, WM_CLOSE, 0, 0);
    return;
  }
  FLastIconClick = now;
  if (SkinManager) SkinManager->MenuKind = 2;
  CreateSysmenu2();
  if (FSysPopup) FSysPopup->Popup(pt.x, pt.y, FHandle);
}

void TWinSkinForm::CreateSysmenu2() {
  FSysPopup.reset();
  if (WinNtBefore5()) {
    CreateSysmenu();
    return;
  }
  HMENU system = GetSystemMenu(FHandle, FALSE);
  if (!system) return;
  auto popup = std::make_unique<TPopupMenu>(nullptr);
  popup->Tag = kSysPopupTag;
  popup->Images = FSkinData->MenuImages.get();
  for (int i = 0, n = GetMenuItemCount(system); i < n; ++i) {
    TSysItem read;
    if (!ReadSysItem(system, static_cast<UINT>(i), read)) continue;
    int image = -1;
    bool enabled = true;
    SysCommandLook(read.id, image, enabled);
    TMenuItem* item = AddItem(*popup, read.caption, static_cast<int>(read.id), image,
                              enabled && !(read.state & MFS_DISABLED), read.state & MFS_CHECKED);
    item->OnClick = [this](TObject* sender) { DoSysMenu2(sender); };
  }
  FSysPopup = std::move(popup);
  InitSysPopupItems();
}

// A system command's glyph among the skin's menu images, and whether the window's state
// offers it.
void TWinSkinForm::SysCommandLook(UINT id, int& image, bool& enabled) const {
  switch (id) {
    case SC_RESTORE:
      image = 0;
      enabled = FWindowState != swsNormal;
      break;
    case SC_MAXIMIZE:
      image = 1;
      enabled = !IsMaximized() && HasIcon(sbiMax);
      break;
    case SC_MINIMIZE:
      image = 2;
      enabled = !IsMinimized() && HasIcon(sbiMin);
      break;
    case SC_CLOSE:
      image = 3;
      break;
    case SC_MOVE:
      enabled = !IsMaximized();
      break;
    case SC_SIZE:
      // A window of fixed size offers no sizing whatever its menu says.
      enabled = !IsMaximized() && FSizeable;
      break;
    default:
      break;
  }
}

// The fixed menu of old Windows, whose system menu the skin cannot show as its own.
void TWinSkinForm::CreateSysmenu() {
  FSysPopup = std::make_unique<TPopupMenu>(nullptr);
  TPopupMenu& popup = *FSysPopup;
  popup.Tag = kSysPopupTag;
  popup.Images = FSkinData->MenuImages.get();
  AddItem(popup, " Restore ", 0, 0);
  if (HasIcon(sbiMax)) AddItem(popup, " Maximize ", 1, 1);
  if (HasIcon(sbiMin)) AddItem(popup, " Minimize ", 2, 2);
  AddItem(popup, "-", 100, -1);
  AddItem(popup, " Close ", 3, 3)->ShortCut = scAlt | VK_F4;
  for (int i = 0; i < popup.Items()->Count(); ++i)
    popup.Items()->Items(i)->OnClick = [this](TObject* sender) { DoSysMenu(sender); };
  InitSysPopupItems();
}

// Every item drawn and measured by this skinner, the menu drawn by its owner.
void TWinSkinForm::InitSysPopupItems() {
  TMenuItem* items = FSysPopup->Items();
  for (int i = 0; i < items->Count(); ++i) {
    items->Items(i)->OnAdvancedDrawItem = [this](TMenuItem* it, TCanvas& canvas, const RECT& r, bool selected) {
      DrawPopupItem(it, canvas, r, selected);
    };
    items->Items(i)->OnMeasureItem = [this](TMenuItem* it, TCanvas& canvas, int& w, int& h) {
      MeasureItemPop(it, canvas, w, h);
    };
  }
  FSysPopup->SetOwnerDraw(true);
}

void TWinSkinForm::DoSysMenu2(TObject* sender) {
  if (auto* item = dynamic_cast<TMenuItem*>(sender))
    PostMessageW(FHandle, WM_SYSCOMMAND, static_cast<WPARAM>(item->Tag), 0);
}

void TWinSkinForm::DoSysMenu(TObject* sender) {
  auto* item = dynamic_cast<TMenuItem*>(sender);
  if (!item) return;
  switch (item->Tag) {
    case 0:
      Restore();
      break;
    case 1:
      Maximize();
      break;
    case 2:
      Minimize();
      break;
    case 3:
      FTimer->SetEnabled(false);
      PostMessageW(FHandle, WM_CLOSE, 0, 0);
      break;
    default:
      break;
  }
}

// The system menu's messages reach its items whether or not the window is a form of the
// class library, which would otherwise hand them on.
bool TWinSkinForm::SysPopupMessage(TMessage& m) {
  if (!FSysPopup) return false;
  if (m.Msg == WM_MENUCOMMAND) {
    if (reinterpret_cast<HMENU>(m.LParam) != FSysPopup->Handle()) return false;
    if (TMenuItem* item = TMenu::ItemAt(FSysPopup->Handle(), static_cast<int>(m.WParam))) item->Click();
    m.Result = 0;
    return true;
  }
  if (TPopupMenu::Tracking() != FSysPopup.get() || !TMenuItem::OwnerDrawMessage(m.Msg, m.LParam)) return false;
  m.Result = TRUE;
  return true;
}
