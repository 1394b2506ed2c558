#include "classlib/Menus.h"

#include <algorithm>

#include "classlib/Gbk.h"

// ---- TMenuItem ----

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner) {}

TMenuItem::~TMenuItem() {
  for (TMenuItem* c : items_) c->parent_ = nullptr;
  if (parent_) parent_->Delete(parent_->IndexOf(this));
}

void TMenuItem::SetCaption(const std::string& s) {
  caption_ = s;
  Changed();
}

void TMenuItem::SetChecked(bool v) {
  checked_ = v;
  if (v && RadioItem && parent_) {
    for (TMenuItem* sib : parent_->items_) {
      if (sib != this && sib->RadioItem && sib->GroupIndex == GroupIndex) sib->checked_ = false;
    }
  }
  Changed();
}

void TMenuItem::SetEnabled(bool v) {
  enabled_ = v;
  Changed();
}

void TMenuItem::SetVisible(bool v) {
  visible_ = v;
  Changed();
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
  auto it = std::find(items_.begin(), items_.end(), item);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::Insert(int i, TMenuItem* item) {
  if (i < 0 || i > Count() || item->parent_) throw Exception("menu index out of bounds or item in use");
  items_.insert(items_.begin() + i, item);
  item->parent_ = this;
  Changed();
}

void TMenuItem::Delete(int i) {
  if (i < 0 || i >= Count()) throw Exception("menu index out of bounds");
  items_[static_cast<size_t>(i)]->parent_ = nullptr;
  items_.erase(items_.begin() + i);
  Changed();
}

void TMenuItem::Click() {
  if (OnClick) OnClick(this);
}

TMenu* TMenuItem::Root() const {
  const TMenuItem* t = this;
  while (t->parent_) t = t->parent_;
  return t->menu_;
}

void TMenuItem::Changed() {
  if (TMenu* m = Root()) m->Rebuild();
}

void TMenuItem::Fill(HMENU menu) {
  for (TMenuItem* c : items_) {
    if (!c->visible_) continue;
    std::wstring text = gbk::ToWide(c->caption_);
    MENUITEMINFOW mi{};
    mi.cbSize = sizeof mi;
    mi.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_DATA | MIIM_STRING | MIIM_SUBMENU;
    mi.fType = c->caption_ == "-" ? MFT_SEPARATOR : (c->RadioItem ? MFT_RADIOCHECK : 0);
    mi.fState = (c->checked_ ? MFS_CHECKED : 0) | (c->enabled_ ? 0 : MFS_DISABLED);
    mi.dwItemData = reinterpret_cast<ULONG_PTR>(c);
    mi.dwTypeData = text.data();
    if (!c->items_.empty()) {
      mi.hSubMenu = CreatePopupMenu();
      MENUINFO info{sizeof info, MIM_STYLE, MNS_NOTIFYBYPOS, 0, nullptr, 0, 0};
      SetMenuInfo(mi.hSubMenu, &info);
      c->Fill(mi.hSubMenu);
    }
    InsertMenuItemW(menu, GetMenuItemCount(menu), TRUE, &mi);
  }
}

// ---- TMenu ----

TMenu::TMenu(TComponent* owner, bool bar) : TComponent(owner), bar_(bar), items_(new TMenuItem(nullptr)) {
  items_->menu_ = this;
  Rebuild();
}

TMenu::~TMenu() {
  items_->menu_ = nullptr;
  delete items_;
  if (handle_) DestroyMenu(handle_);
}

// Submenus are destroyed with the menu that holds them.
void TMenu::Rebuild() {
  HMENU old = handle_;
  handle_ = bar_ ? CreateMenu() : CreatePopupMenu();
  MENUINFO info{sizeof info, MIM_STYLE | MIM_APPLYTOSUBMENUS, MNS_NOTIFYBYPOS, 0, nullptr, 0, 0};
  items_->Fill(handle_);
  SetMenuInfo(handle_, &info);
  Rebuilt();
  if (old) DestroyMenu(old);
}

TMenuItem* TMenu::ItemAt(HMENU menu, int position) {
  MENUITEMINFOW mi{};
  mi.cbSize = sizeof mi;
  mi.fMask = MIIM_DATA;
  if (!GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &mi)) return nullptr;
  return reinterpret_cast<TMenuItem*>(mi.dwItemData);
}

void TMainMenu::Rebuilt() {
  if (Window) SendMessageW(Window, CM_MENUCHANGED, 0, reinterpret_cast<LPARAM>(Handle()));
}

namespace {
thread_local TPopupMenu* tracking = nullptr;
}

TPopupMenu* TPopupMenu::Tracking() { return tracking; }

void TPopupMenu::Popup(int x, int y, HWND window) {
  PopupPoint = {x, y};
  if (OnPopup) OnPopup(this);
  SetForegroundWindow(window);
  TPopupMenu* outer = tracking;
  tracking = this;
  TrackPopupMenuEx(Handle(), TPM_LEFTALIGN | TPM_RIGHTBUTTON, x, y, window, nullptr);
  tracking = outer;
}
