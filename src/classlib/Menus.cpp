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

void TMenuItem::SetDefault(bool v) {
  default_ = v;
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
  if (TMenu* m = Root()) m->Changed();
}

void TMenuItem::Fill(HMENU menu) {
  for (TMenuItem* c : items_) {
    if (!c->visible_) continue;
    std::wstring text = gbk::ToWide(c->caption_);
    MENUITEMINFOW mi{};
    mi.cbSize = sizeof mi;
    mi.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_DATA | MIIM_STRING | MIIM_SUBMENU;
    mi.fType = c->caption_ == "-" ? MFT_SEPARATOR : (c->RadioItem ? MFT_RADIOCHECK : 0);
    if (TMenu* root = Root(); root && root->ownerDraw_) mi.fType |= MFT_OWNERDRAW;
    if (TMenu* root = Root(); root && root->rightToLeft_) {
      mi.fType |= MFT_RIGHTORDER;
      if (root->bar_ && menu == root->handle_ && GetMenuItemCount(menu) == 0) mi.fType |= MFT_RIGHTJUSTIFY;
    }
    mi.fState = (c->checked_ ? MFS_CHECKED : 0) | (c->enabled_ ? 0 : MFS_DISABLED) | (c->default_ ? MFS_DEFAULT : 0);
    mi.dwItemData = reinterpret_cast<ULONG_PTR>(c);
    mi.dwTypeData = text.data();
    if (c->ShowsImage() && !(mi.fType & MFT_OWNERDRAW)) {
      mi.fMask |= MIIM_BITMAP;
      mi.hbmpItem = HBMMENU_CALLBACK;
    }
    if (!c->items_.empty()) {
      mi.hSubMenu = CreatePopupMenu();
      MENUINFO info{sizeof info, MIM_STYLE, MNS_NOTIFYBYPOS, 0, nullptr, 0, 0};
      SetMenuInfo(mi.hSubMenu, &info);
      c->Fill(mi.hSubMenu);
    }
    InsertMenuItemW(menu, GetMenuItemCount(menu), TRUE, &mi);
  }
}

// ---- Owner drawing ----

std::string ShortCutToText(TShortCut shortcut) {
  const UINT vk = shortcut & 0xFF;
  if (!vk) return "";
  std::string text;
  if (shortcut & scCtrl) text += "Ctrl+";
  if (shortcut & scShift) text += "Shift+";
  if (shortcut & scAlt) text += "Alt+";
  if (vk >= VK_F1 && vk <= VK_F24) return text + "F" + std::to_string(vk - VK_F1 + 1);
  if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z')) return text + static_cast<char>(vk);
  char name[64] = {};
  const LONG scan = static_cast<LONG>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC)) << 16;
  if (GetKeyNameTextA(scan, name, sizeof name) > 0) return text + name;
  return text;
}

namespace {

// The caption with the shortcut after a tab, as the item shows it.
std::wstring ShownText(const TMenuItem& item) {
  std::wstring text = gbk::ToWide(item.Caption());
  if (item.ShortCut) text += L"\t" + gbk::ToWide(ShortCutToText(item.ShortCut));
  return text;
}

}  // namespace

void TMenuItem::MeasureItem(TCanvas& canvas, int& width, int& height) {
  if (caption_ == "-") {
    width = 0;
    height = GetSystemMetrics(SM_CYMENU) / 2;
    return;
  }
  const std::wstring text = ShownText(*this);
  RECT r{0, 0, 0, 0};
  DrawTextW(canvas.Handle(), text.c_str(), static_cast<int>(text.size()), &r,
            DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS | DT_NOCLIP);
  width = r.right - r.left;
  height = std::max<int>(r.bottom - r.top, GetSystemMetrics(SM_CYMENU));
}

void TMenuItem::Draw(TCanvas& canvas, const RECT& r, bool selected) {
  HDC dc = canvas.Handle();
  FillRect(dc, &r, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
  if (caption_ == "-") {
    RECT line{r.left, (r.top + r.bottom) / 2, r.right, r.bottom};
    DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
    return;
  }
  const std::wstring text = ShownText(*this);
  RECT t{r.left + GetSystemMetrics(SM_CXMENUCHECK) + 4, r.top, r.right - 8, r.bottom};
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(!enabled_ ? COLOR_GRAYTEXT : selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &t, DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS);
}

bool TMenuItem::ShowsImage() const {
  const TMenu* root = Root();
  return root && root->Images && ImageIndex >= 0 && ImageIndex < root->Images->Count();
}

// Every menu of this program is the class library's, whose items carry their object as
// the item data; owner-drawn items without data belong to someone else. An item of a
// menu that is not owner-drawn asks only for its image (HBMMENU_CALLBACK).
bool TMenuItem::OwnerDrawMessage(UINT msg, LPARAM l) {
  if (msg == WM_MEASUREITEM) {
    auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(l);
    if (mis->CtlType != ODT_MENU || !mis->itemData) return false;
    auto* item = reinterpret_cast<TMenuItem*>(mis->itemData);
    if (const TMenu* root = item->Root(); root && !root->ownerDraw_) {
      mis->itemWidth = root->Images ? static_cast<UINT>(root->Images->Width()) : 0;
      mis->itemHeight = root->Images ? static_cast<UINT>(root->Images->Height()) : 0;
      return true;
    }
    HDC dc = GetDC(nullptr);
    NONCLIENTMETRICSW nc{};
    nc.cbSize = sizeof nc;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof nc, &nc, 0);
    HFONT font = CreateFontIndirectW(&nc.lfMenuFont);
    HGDIOBJ old = SelectObject(dc, font);
    {
      TCanvas canvas(dc);
      int width = 0, height = 0;
      item->MeasureItem(canvas, width, height);
      if (item->OnMeasureItem) item->OnMeasureItem(item, canvas, width, height);
      mis->itemWidth = static_cast<UINT>(std::max(width, 0));
      mis->itemHeight = static_cast<UINT>(std::max(height, 0));
    }
    SelectObject(dc, old);
    DeleteObject(font);
    ReleaseDC(nullptr, dc);
    return true;
  }
  if (msg == WM_DRAWITEM) {
    auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(l);
    if (dis->CtlType != ODT_MENU || !dis->itemData) return false;
    auto* item = reinterpret_cast<TMenuItem*>(dis->itemData);
    if (const TMenu* root = item->Root(); root && !root->ownerDraw_) {
      if (root->Images) {
        const RECT& r = dis->rcItem;
        root->Images->Draw(dis->hDC, r.left + (r.right - r.left - root->Images->Width()) / 2,
                           r.top + (r.bottom - r.top - root->Images->Height()) / 2, item->ImageIndex, item->enabled_);
      }
      return true;
    }
    TCanvas canvas(dis->hDC);
    const bool selected = dis->itemState & ODS_SELECTED;
    if (item->OnAdvancedDrawItem) {
      item->OnAdvancedDrawItem(item, canvas, dis->rcItem, selected);
    } else {
      item->Draw(canvas, dis->rcItem, selected);
    }
    return true;
  }
  return false;
}

// ---- TMenu ----

TMenu::TMenu(TComponent* owner, bool bar) : TComponent(owner), bar_(bar), items_(new TMenuItem(nullptr)) {
  items_->menu_ = this;
}

TMenu::~TMenu() {
  items_->menu_ = nullptr;
  delete items_;
  if (handle_) DestroyMenu(handle_);
}

HMENU TMenu::Handle() {
  if (stale_) Rebuild();
  return handle_;
}

// A menu that no window shows is made again only when it is next asked for: one filled
// an item at a time is not remade whole for each item.
void TMenu::Changed() {
  stale_ = true;
  if (Shown()) Rebuild();
}

// Submenus are destroyed with the menu that holds them.
void TMenu::Rebuild() {
  stale_ = false;
  HMENU old = handle_;
  handle_ = bar_ ? CreateMenu() : CreatePopupMenu();
  MENUINFO info{sizeof info, MIM_STYLE | MIM_APPLYTOSUBMENUS, MNS_NOTIFYBYPOS, 0, nullptr, 0, 0};
  items_->Fill(handle_);
  SetMenuInfo(handle_, &info);
  Rebuilt();
  if (old) DestroyMenu(old);
}

void TMenu::SetOwnerDraw(bool v) {
  if (ownerDraw_ == v) return;
  ownerDraw_ = v;
  Changed();
}

void TMenu::SetRightToLeft(bool v) {
  if (rightToLeft_ == v) return;
  rightToLeft_ = v;
  Changed();
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
