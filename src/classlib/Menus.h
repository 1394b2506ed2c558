// Menu bars and popup menus (Win32 only).
//
// Every menu carries MNS_NOTIFYBYPOS, so a chosen item arrives as WM_MENUCOMMAND with
// its menu and position; the item object is found from the item's data, and no table
// of command ids is kept. A change to any item rebuilds its whole menu.
#pragma once

#include "classlib/Controls.h"
#include "classlib/Graphics.h"
#include "classlib/ImageList.h"

class TMenu;
class TMenuItem;

// Owner drawing of an item: its rectangle on the canvas of the menu window, and whether
// it is selected; measuring gives its width and height.
using TAdvancedMenuDrawItemEvent = std::function<void(TMenuItem* item, TCanvas& canvas, const RECT& r, bool selected)>;
using TMenuMeasureItemEvent = std::function<void(TMenuItem* item, TCanvas& canvas, int& width, int& height)>;

// A key with its modifiers: the virtual key in the low byte.
using TShortCut = int;
constexpr TShortCut scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000;
std::string ShortCutToText(TShortCut shortcut);

// Sent to a form when its menu bar's menu was rebuilt (lParam the new menu). The form
// puts the menu on its window; a window that draws its own bar answers it itself.
constexpr UINT CM_MENUCHANGED = 0xB015;

class TMenuItem : public TComponent {
 public:
  explicit TMenuItem(TComponent* owner);
  ~TMenuItem() override;
  std::string ClassName() const override { return "TMenuItem"; }

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& s);  // "-" makes a separator
  bool Checked() const { return checked_; }
  void SetChecked(bool v);  // a radio item clears the others of its group
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v);
  bool Visible() const { return visible_; }
  void SetVisible(bool v);
  bool RadioItem = false;
  int GroupIndex = 0;
  // What an owner-drawn item shows beside its caption.
  int ImageIndex = -1;
  TShortCut ShortCut = 0;
  bool Default() const { return default_; }
  void SetDefault(bool v);  // shown in bold
  TAdvancedMenuDrawItemEvent OnAdvancedDrawItem;
  TMenuMeasureItemEvent OnMeasureItem;
  // The standard size of the item in the canvas's font.
  void MeasureItem(TCanvas& canvas, int& width, int& height);
  // The owner-draw messages of a menu of the class library (WM_MEASUREITEM, WM_DRAWITEM
  // with ODT_MENU): true when the item was measured or drawn.
  static bool OwnerDrawMessage(UINT msg, LPARAM l);

  int Count() const { return static_cast<int>(items_.size()); }
  TMenuItem* Items(int i) const { return items_.at(static_cast<size_t>(i)); }
  int IndexOf(const TMenuItem* item) const;
  void Add(TMenuItem* item);
  void Insert(int i, TMenuItem* item);
  void Delete(int i);  // unlinks the item; its owner still frees it
  TMenuItem* Parent() const { return parent_; }
  TMenu* GetParentMenu() const { return Root(); }

  void Click();
  TNotifyEvent OnClick;

 private:
  friend class TMenu;
  void Changed();
  void Fill(HMENU menu);
  TMenu* Root() const;
  void Draw(TCanvas& canvas, const RECT& r, bool selected);
  // The image of an item the system draws, beside its caption (HBMMENU_CALLBACK).
  bool ShowsImage() const;
  std::string caption_;
  bool checked_ = false, enabled_ = true, visible_ = true, default_ = false;
  TMenuItem* parent_ = nullptr;
  TMenu* menu_ = nullptr;  // set on a menu's top item only
  std::vector<TMenuItem*> items_;
};

class TMenu : public TComponent {
 public:
  explicit TMenu(TComponent* owner, bool bar);
  ~TMenu() override;
  std::string ClassName() const override { return "TMenu"; }
  TMenuItem* Items() const { return items_; }
  HMENU Handle();  // made from the items when first asked for after a change
  // Items drawn by their OnAdvancedDrawItem (or plainly) instead of by the system.
  bool OwnerDraw() const { return ownerDraw_; }
  void SetOwnerDraw(bool v);
  // Items that read and cascade right to left (MFT_RIGHTORDER); a bar's items then line
  // up from its right end.
  bool RightToLeft() const { return rightToLeft_; }
  void SetRightToLeft(bool v);
  // The images the items' ImageIndex picks from; not owned. Set before the menu is
  // first shown (a change reaches the items at their next change).
  TImageList* Images = nullptr;
  // The item behind a WM_MENUCOMMAND.
  static TMenuItem* ItemAt(HMENU menu, int position);

 protected:
  virtual void Rebuilt() {}
  // Whether a window shows the menu now, so that a change must reach it at once.
  virtual bool Shown() const { return false; }

 private:
  friend class TMenuItem;
  void Changed();
  void Rebuild();
  bool bar_;
  bool ownerDraw_ = false;
  bool rightToLeft_ = false;
  bool stale_ = true;  // the items changed since the handle was made
  HMENU handle_ = nullptr;
  TMenuItem* items_;  // owned by this menu
};

class TMainMenu : public TMenu {
 public:
  explicit TMainMenu(TComponent* owner) : TMenu(owner, true) {}
  std::string ClassName() const override { return "TMainMenu"; }
  HWND Window = nullptr;  // the form showing the bar; set by the form

 protected:
  void Rebuilt() override;
  bool Shown() const override { return Window != nullptr; }
};

class TPopupMenu : public TMenu {
 public:
  explicit TPopupMenu(TComponent* owner) : TMenu(owner, false) {}
  std::string ClassName() const override { return "TPopupMenu"; }
  // Shows the menu at a screen point for the given window; returns when it closes.
  void Popup(int x, int y, HWND window);
  // The popup menu whose TrackPopupMenuEx is running on this thread, or nil.
  static TPopupMenu* Tracking();
  TComponent* PopupComponent = nullptr;
  POINT PopupPoint{};  // where the menu opens, in screen coordinates; set before OnPopup
  TNotifyEvent OnPopup;
};
