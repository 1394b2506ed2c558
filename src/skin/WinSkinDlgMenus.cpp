// The manager's skinned menu windows: one popup-menu skin for every menu window created
// while skinning is on, freed when the window goes.
#include <algorithm>

#include "skin/WinSkinDlg.h"
#include "skin/WinSkinMenu.h"

namespace {

// Which of the skin's switches lets a menu of this kind be skinned.
bool MenuKindSkinned(const TSkinData& data, int kind) {
  switch (kind) {
    case 0:
      return InSet(data.SkinControls, xcPopupMenu);
    case 1:
      return InSet(data.SkinControls, xcMainMenu) || InSet(data.SkinControls, xcMenuItem);
    case 2:
      return InSet(data.SkinControls, xcSystemMenu);
    default:
      return false;
  }
}

}  // namespace

void TSkinManage::AddMenu(HWND window) {
  if (!Enabled || State == 4) return;
  if (SendMessageW(window, CN_IsSkinned, 0, 0) == 1 || FindSkinMenu(window)) return;
  TSkinData* data = FindSkindata(window);
  if (!data || data->SkinEmpty || !MenuKindSkinned(*data, MenuKind)) return;
  // A program popup menu that carries the skin's "leave me plain" tag keeps its look.
  if (TPopupMenu* popup = TPopupMenu::Tracking(); popup && popup->Tag == data->DisableTag) return;
  auto* menu = new TWinSkinPopMenu();
  menu->InitSkin(window, data, nullptr);
  menus_.push_back(menu);
  if (OwnPopup || TPopupMenu::Tracking()) menu->IsOwnPopup = true;
}

void TSkinManage::DeleteMenu(HWND window) {
  auto at = std::find_if(menus_.begin(), menus_.end(), [window](TWinSkinPopMenu* m) { return m->Wnd == window; });
  if (at == menus_.end()) return;
  TWinSkinPopMenu* menu = *at;
  menus_.erase(at);
  delete menu;
  if (menus_.empty()) {
    MenuKind = 0;
    OwnPopup = false;
  }
}

bool TSkinManage::FindSkinMenu(HWND window) const {
  return std::any_of(menus_.begin(), menus_.end(), [window](TWinSkinPopMenu* m) { return m->Wnd == window; });
}

void TSkinManage::SetPopMenu() {
  for (TWinSkinPopMenu* m : menus_) m->IsOwnPopup = true;
}

// Menu windows are created before their items are drawn, so the newest one without a
// menu is the one whose items are being drawn now.
void TSkinManage::SetHMenu(HMENU menu) {
  if (!menu) return;
  for (TWinSkinPopMenu* m : menus_) {
    if (m->MenuHandle == menu) return;
  }
  for (TWinSkinPopMenu* m : menus_) {
    if (!m->MenuHandle && reinterpret_cast<HMENU>(SendMessageW(m->Wnd, MN_GETHMENU, 0, 0)) == menu) {
      m->MenuHandle = menu;
      return;
    }
  }
  for (auto it = menus_.rbegin(); it != menus_.rend(); ++it) {
    if (!(*it)->MenuHandle) {
      (*it)->MenuHandle = menu;
      return;
    }
  }
}

TWinSkinPopMenu* TSkinManage::FindMenuOf(HMENU menu) const {
  for (TWinSkinPopMenu* m : menus_) {
    if (m->MenuHandle == menu) return m;
  }
  return nullptr;
}

TBitmap* TSkinManage::GetMenuBg(HMENU menu) const {
  TWinSkinPopMenu* m = FindMenuOf(menu);
  return m ? m->Background() : nullptr;
}

void TSkinManage::FindPopupMenu(HMENU menu) {
  if (TPopupMenu* popup = TPopupMenu::Tracking(); popup && popup->Handle() == menu) OwnPopup = true;
}

void TSkinManage::FreeMenus() {
  for (TWinSkinPopMenu* m : menus_) delete m;
  menus_.clear();
}
