// The skinned menus: the popup-menu window skin that paints the frame and background of
// every menu window ("#32768") the manager sees created, and the menu bar a skinned form
// draws in its menu band, one button a top-level item.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "classlib/Graphics.h"
#include "classlib/Menus.h"
#include "skin/WinSkinData.h"
#include "skin/WinSkinFrame.h"

// The skin of one menu window: its 3-pixel frame and its background come from the skin's
// MenuBackground object; the items are left to the menu's own drawing (or to the form
// skinner's owner drawing, which reads the background through the manager).
class TWinSkinPopMenu : public TObject {
 public:
  TWinSkinPopMenu();
  ~TWinSkinPopMenu() override;
  std::string ClassName() const override { return "TWinSkinPopMenu"; }

  void InitSkin(HWND window, TSkinData* data, HMENU menu);
  void UnSubClass();
  void Default(TMessage& m);
  void WinWndProc(TMessage& m);
  void WMERASEBKGND(TMessage& m);
  void NcPaint(TMessage& m);
  void WMPrint(TMessage& m);
  void WMPrintClient(TMessage& m);
  void UpdateMenu(TMessage& m);
  // One message of the menu window written to the skin's debug list, for tracing.
  void AddLog(const TMessage& m);
  // Whether the skin has a background to paint with.
  bool Usable() const;
  // The window-size background, built at the last paint or now; nil without a usable skin.
  TBitmap* Background();
  // Where the window's client area starts inside the window.
  POINT ClientOrigin() const;
  bool Subclassed() const { return OldWndProc != nullptr; }

  WNDPROC OldWndProc = nullptr;
  bool PaintPending = false;
  HWND Wnd = nullptr;
  TSkinData* Data = nullptr;
  int SelItem = -1;
  std::unique_ptr<TBitmap> Bitmap;
  HMENU MenuHandle = nullptr;
  bool HasRegion = false;
  HRGN Region = nullptr;
  bool IsOwnPopup = false;

 private:
  static LRESULT CALLBACK Proc(HWND h, UINT msg, WPARAM w, LPARAM l);
  void BuildBackground();
  void PaintFrame(HDC dc);
};

// The most recent menu window that painted while it had no menu handle.
TWinSkinPopMenu* NewSkinMenu();

// The items of one drop-down (and of its submenus) turned into owner-drawn items while it
// is open, so the form skinner paints them; the items are given back when it closes, so
// an unskinned window never sees an owner-drawn item of ours.
class TOwnerDrawnMenu {
 public:
  explicit TOwnerDrawnMenu(HMENU menu);
  ~TOwnerDrawnMenu();
  TOwnerDrawnMenu(const TOwnerDrawnMenu&) = delete;
  TOwnerDrawnMenu& operator=(const TOwnerDrawnMenu&) = delete;
  // The open one on this thread, or nil.
  static TOwnerDrawnMenu* Current();
  // The menu and position of an item being measured (by its data, else by its id).
  bool Find(ULONG_PTR data, UINT id, HMENU& menu, UINT& position) const;

 private:
  struct Item {
    HMENU menu;
    UINT position, id;
    ULONG_PTR data;
  };
  void Mark(HMENU menu);
  std::vector<Item> items_;
  TOwnerDrawnMenu* outer_;
};

// What one menu item shows, read from its menu.
struct TMenuItemLook {
  std::wstring Caption;   // before the tab
  std::wstring ShortCut;  // after the tab
  bool Separator = false, Enabled = true, Checked = false, Default = false;
  bool SubMenu = false;  // opens a submenu: shows an arrow
  int ImageIndex = -1;
  TImageList* Images = nullptr;  // the images ImageIndex picks from
};
TMenuItemLook CreateMenuItem(HMENU menu, UINT position);

class TWinSkinMenu;

// One top-level item of the skinned menu bar.
class TMenuBtn : public TNCObject {
 public:
  TMenuBtn(TWinSkinForm* owner, TWinSkinMenu* bar) : TNCObject(owner), Bar(bar) {}
  std::string ClassName() const override { return "TMenuBtn"; }
  void Draw() override;

  TWinSkinMenu* Bar;
  TSkinData* SkinData = nullptr;
  int Index = 0;
  std::wstring Caption;
  HMENU SubMenu = nullptr;  // the drop-down, nil for a plain command item
  UINT Command = 0;
  TMenuItem* MenuItem = nullptr;  // the class library's item, when the menu is a form's
};

// The menu bar a skinned form draws in its menu band: a button for each top-level item of
// the window's menu, painted over the skin's MenuBar object.
class TWinSkinMenu : public TComponent {
 public:
  explicit TWinSkinMenu(TWinSkinForm* owner);
  std::string ClassName() const override { return "TWinSkinMenu"; }

  // Rebuilds the buttons when the window's menu is another one than at the last build,
  // and takes the menu off the window.
  void UpdataBtn();
  // With menuTextFirst the class library's caption shows only for an item without text.
  void BuildButtons(HMENU menu, bool menuTextFirst = false);
  // The buttons from a menu given the window from outside, which is then taken off it.
  void UpdataBtn2(HMENU menu);
  // The buttons from the form's menu items themselves, hidden ones included (old Windows,
  // whose menu the bar cannot read back item by item).
  void UpdataBtn1();
  void GiveMenuBack();
  void DrawMenu(HDC dc, const RECT& band);
  void SetMenuRect(const RECT& band);
  // The first button with a caption whose bounds (window coordinates) hold the point.
  TMenuBtn* FindBtn(POINT pt) const;
  TMenuBtn* FindButtonFromAccel(wchar_t key) const;
  int MenuPosition(const TMenuBtn& button) const;
  bool RightToLeft() const;
  void DrawButton(TMenuBtn& button);
  int Count() const { return static_cast<int>(Buttons.size()); }

  std::vector<std::unique_ptr<TMenuBtn>> Buttons;
  RECT Band{};
  TSkinData* SkinData = nullptr;
  TWinSkinForm* FormSkin;
  std::unique_ptr<TBitmap> Background;  // the bar as last drawn, without texts
  bool Drawing = false;
  HMENU MenuHandle = nullptr;

 private:
  void ClearButtons();
  int FirstButtonLeft(int bandWidth, bool rightToLeft) const;
  int RightEnd(const RECT& band, int start) const;
  void NoteMaximizedChild();
  void Layout(HDC dc, const RECT& band);
};

// The drop-down of the skinned menu bar that is open on this thread: the bar's index of
// its button, or -1.
int OpenMenuButton();
