// TWinSkinForm: the skin of one top-level window (a class-library form or a "#32770"
// dialog), kept beside the drawing primitives of the same unit.
//
// While attached it owns the window's procedure (WinWndProc, which sees every message
// first), takes the system caption away, paints its own borders, caption, caption
// buttons and menu band from the skin's border objects, and cuts the window's outline
// from the borders' key-coloured pixels with a window region. Detaching puts back the
// procedure, the style, the client size, the region and the form's colour.
//
// The menu band shows the window's own menu bar: its items are drawn in the band and
// a click opens the item's submenu, so the program's menu commands arrive unchanged.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "classlib/ExtCtrls.h"
#include "classlib/Forms.h"
#include "classlib/Menus.h"
#include "skin/WinSkinData.h"

class TWinSkinForm;
class TSkinScrollbar;
class TSkinControl;
struct TMenuItemLook;
class TMenuBtn;
class TWinSkinMenu;
class TToolBar;

constexpr UINT CN_IsSkinned = 0x3523;  // answered 1 by a skinned window
// Posted to the MDI client with a maximized child (wParam): redraw the frame, which
// shows that child's caption and buttons.
constexpr UINT CN_MaxChildActivated = 0x3516;

// What a form skinner offers the skinners of its controls.
class TSkinControlHost {
 public:
  virtual ~TSkinControlHost() = default;
  virtual void AddControlList(TSkinControl* control) = 0;
  virtual void DeleteControl(TSkinControl* control) = 0;
  // The control under the mouse pointer, told when the pointer has gone; nil for none.
  virtual void SetHotControl(TSkinControl*) {}
  virtual TSkinControl* HotControl() const { return nullptr; }
  // One bitmap the window's skinners compose their paints in, one paint at a time.
  TBitmap& PaintBuffer() { return paintBuffer_; }

 private:
  TBitmap paintBuffer_;
};

struct TMessage {
  UINT Msg;
  WPARAM WParam;
  LPARAM LParam;
  LRESULT Result;
};

// Something painted in the non-client area that tracks the mouse itself.
class TNCObject : public TObject {
 public:
  explicit TNCObject(TWinSkinForm* owner) : Owner(owner) {}
  std::string ClassName() const override { return "TNCObject"; }
  virtual void MouseDown();
  virtual void MouseUp();
  virtual void MouseEnter();
  virtual void MouseLeave();
  virtual void Draw() {}

  TWinSkinForm* Owner;
  RECT Bounds{};
  bool Visible = false;
  int State = 1;  // 1 normal, 2 pressed, 3 under the mouse
  bool Enabled = true;
};

// One caption button of the skin.
class TWinSysButton : public TNCObject {
 public:
  TWinSysButton(TWinSkinForm* owner, TDataSkinSysButton* skin) : TNCObject(owner), Skin(skin) {}
  std::string ClassName() const override { return "TWinSysButton"; }
  void Draw() override;
  TDataSkinSysButton* Skin;
};

enum TSkinFormStyle { sfsNormal, sfsMDIform, sfsMDIChild, sfsChild };
enum TSkinFormBorder { sbsSizeable, sbsSingle, sbsNone, sbsDialog };
enum TSkinFormIcon { sbiMax, sbiMin, sbiHelp, sbisystem, sbicaption };
using TSkinFormIcons = uint8_t;
enum TSkinWindowState { swsNormal, swsMax, swsMin };

class TWinSkinForm : public TComponent, public TSkinControlHost {
 public:
  TWinSkinForm();
  ~TWinSkinForm() override;
  std::string ClassName() const override { return "TWinSkinForm"; }

  void InitTform(TSkinData* data, TForm* form);
  void InitDlg(TSkinData* data) { InitSkin(data); }
  void InitSkin(TSkinData* data);
  void InitSkinData();
  void SkinChange();
  void UnSubclass();   // the skin goes while the window lives
  void UnSubclass3();  // the window is going: only the procedure is put back
  void DeleteSysbtn();
  void UpdateNc(HDC dc);
  void Refresh();
  // True while one of this window's messages is being handled; freeing waits for it.
  bool Busy() const { return depth_ > 0; }
  void FreeWhenIdle();

  void WinWndProc(TMessage& m);
  void Default(TMessage& m);

  // The control skinners: each control of the form gets the skinner of its class once;
  // they are let go when their control goes and freed when the skin leaves the form.
  void AddControlList(TSkinControl* control) override;
  void DeleteControl(TSkinControl* control) override;
  void SetHotControl(TSkinControl* control) override { FHotControl = control; }
  TSkinControl* HotControl() const override { return FHotControl; }
  void InitControls(TWinControl* form);
  // The child windows of a window without class-library objects (a message box, a
  // common dialog), by their window classes.
  void InitHwndControls(HWND parent);
  // A form placed inside another form: its colour and its controls.
  void InitNestform(TWinControl* form);
  static BOOL CALLBACK EnumControl(HWND window, LPARAM formSkin);
  // One child window of a window skinned already, by its window class.
  void AddControlh(HWND window);
  void DeleteControls();
  TSkinControl* Lookupcontrol(HWND window) const;
  bool FindSkinComp(TControl* control) const;
  int ControlCount() const { return static_cast<int>(FControls.size()); }
  // Re-walks a control's children (the whole form's for nil) for skinners.
  void UpdateControls(TControl* control);
  void DeleteGraphicControl(TControl* control);

  // The frame, in pixels, as the skin gives it.
  int FLeftWidth = 0, FCaptionHeight = 0, FRightWidth = 0, FBottomHeight = 0, FMenuHeight = 0;
  int FState = 0;  // 0 attached, 1 active, 3 skin changing, 4 window going, 5 resizing, 6 gone
  bool FSkinFrame = false;
  bool FActive = true;
  bool FHasRegion = false;
  HWND FHandle = nullptr;
  std::string FName;
  TForm* FForm = nullptr;
  TSkinData* FSkinData = nullptr;
  TSkinFormBorder FBorderStyle = sbsSingle;
  TSkinFormIcons FIcons = 0;
  TSkinWindowState FWindowState = swsNormal;
  std::vector<std::unique_ptr<TWinSysButton>> FButtons;
  TNCObject* FHotObject = nullptr;
  RECT FTextRect{};
  int FButtonsLeft = 0;

  // Caption-button rules, public for the tests.
  bool SysBtnVisible(const TDataSkinSysButton& b) const;
  void OnTimer();
  static int ButtonFrames(const TDataSkinSysButton& b) { return b.Frame < 1 ? 1 : b.Frame; }
  TNCObject* FindBtn(POINT pt);
  POINT GetWinXY(int x, int y) const;
  void DrawSysbtn(TWinSysButton& b, int state);
  void SysBtnAction(int action, int x, int y);

  // MDI: the frame's client window and the children inside it.
  TSkinFormStyle FFormStyle = sfsNormal;
  HWND FMDIClient = nullptr;
  bool IsMDIChild() const { return FFormStyle == sfsMDIChild; }
  bool SystemFramedChild() const { return IsMDIChild() && (IsIconic(FHandle) || IsZoomed(FHandle)); }
  void WinMDIProc(TMessage& m);
  void MDIMaxChanged(bool maximized);
  HWND ActiveMDIChild(bool* maximized) const;

  // Our procedure given back while another subclass sits above it keeps passing
  // messages on until the window goes; a later skin takes its place again.
  static LRESULT PassOn(HWND h, UINT msg, WPARAM w, LPARAM l);

  // Owner-drawn menu items (the drop-downs of the menu band and the system menu).
  void WMMEASUREITEM(TMessage& m);
  void WMDRAWITEM(TMessage& m);
  void DrawMenuItem(const TMenuItemLook& item, HMENU menu, HDC dc, const RECT& r, bool selected);
  void DefaultMenuItem(const TMenuItemLook& item, HDC dc, const RECT& r, bool selected);
  void DrawHMenuItem2(HMENU menu, const TMenuItemLook& item, bool selected, const RECT& r, HDC dc);
  void DrawItemText(const TMenuItemLook& item, HDC dc, const RECT& r, bool selected);
  void DrawMenuCaption(HDC dc, const RECT& r);
  // The program's popup menus on the owner, owner-drawn by this skinner while on.
  void InitPopMenu(TComponent* owner, bool on);
  void InitMainMenu(TComponent* owner, bool on);
  void InitToolbars(TComponent* owner, bool on);
  // An item of a tool bar's menu and its items at every depth, drawn by this skinner.
  void InitToolbarMenu(TMenuItem* item, bool on);
  // The items of the menu a tool bar shows and of the items its buttons stand for.
  void InitToolbarButtons(TToolBar* bar, bool withMenu);
  void ToolBarDrawBackground(TToolBar* bar, TCanvas& canvas, const RECT& r, bool& defaultDraw);
  void ToolBarDrawButton(TToolBar* bar, TCanvas& canvas, int index, const RECT& r, UINT state, bool& defaultDraw);
  void DrawPopupItem(TMenuItem* item, TCanvas& canvas, const RECT& r, bool selected);
  void MeasureItemPop(TMenuItem* item, TCanvas& canvas, int& width, int& height);
  void MeasureItem(TMenuItem* item, TCanvas& canvas, int& width, int& height);
  // The skinned system menu: the window's own items in a popup menu of ours, or on old
  // Windows a fixed one; the menu shown last lives until the next is built.
  void CreateSysmenu2();
  void CreateSysmenu();
  void DoSysMenu(TObject* sender);
  TPopupMenu* SysPopup() const { return FSysPopup.get(); }

  // The skinned menu bar: opening a button's drop-down, and moving to a neighbour's.
  bool CheckMenu(TMenuBtn* button);
  void ClickButton(TMenuBtn* button);
  void CancelMenu();
  void MenuSelected(const TMessage& m);
  void MenuSelect(TMessage& m);
  void MenuChanged(TMessage& m);
  void CMDialogChar(TMessage& m);
  bool HasMenu() const;  // on the window, or taken off it by the skinned bar
  int MenuBandHeight() const;
  TMenuBtn* FindButtonFromAccel(wchar_t key) const;
  TWinSkinMenu* MenuBar() const { return FSkinMenu.get(); }
  bool FMenuTracking = false;

 private:
  friend class TNCObject;
  void Activate();
  void ActivateMDIChild();
  void GetFormstyle();
  void SubclassMDI();
  void UnSubclassMDI();
  void LastChildClosed();
  void TakeMDIMenu(HMENU menu);
  void DefaultMDI(TMessage& m);
  HWND MDIClientWindow() const;
  bool MDIChildMax() const;
  void MDIChildCommand(WPARAM command);
  static void SetPassThrough(HWND window, const wchar_t* prop, WNDPROC old);
  static WNDPROC TakePassThrough(HWND window);
  static WNDPROC Subclass(HWND window, const wchar_t* prop, void* self, WNDPROC proc);
  static bool Unsubclass(HWND window, const wchar_t* prop, WNDPROC ours, WNDPROC old);
  void StopUpdate();
  void BeginUpdate();
  void SecondStage(TMessage& m);
  void ThirdStage(TMessage& m);
  void GetWindowstate();
  void EnableSysbtn(bool on);
  void GetBorderSize();
  void UpdateStyle(bool paint);
  void SetText(TMessage& m);
  void EngineMessage(TMessage& m);
  void WMReCreateWnd(TMessage& m);

  void WMNCCalcSize(TMessage& m);
  void WMNCHitTest(TMessage& m);
  void WMNCPaint(TMessage& m);
  void WMNCActive(TMessage& m);
  void WMSize(TMessage& m);
  void WMGetMinMaxInfo(TMessage& m);
  void WMCommand(TMessage& m);
  void WMSysCommand(TMessage& m);
  void WMNCMouseMove(TMessage& m);
  void WMNCLButtonDown(TMessage& m);
  void WMNCLButtonUp(TMessage& m);
  void WMNCLButtonDblClk(TMessage& m);
  void WMNCRButtonDown(TMessage& m);
  void LeaveHotControl();

  void Drawborder(int kind, const RECT& r, HDC dc);
  void DrawFLine(HDC dc);
  void DrawLine(HDC dc, const RECT& line);
  void DrawMenuBand(HDC dc, const RECT& band);
  void SetSysbtnRect();
  void DrawAllSysbtn(HDC dc);
  void DrawBandButtons(HDC dc);
  void DrawIcon(HDC dc, const RECT& r);
  void GetIcon(TBitmap& bitmap);
  void Cropwindow();
  HRGN BorderRegion(int kind, int pw, int ph, int x, int y, bool keyed);
  void Uncropwindow();
  void ResizeForm(bool keepClient);
  int WidenForCaption(int width);
  void WMCtlcolor(TMessage& m);
  void KeepSystemFaceUnderSamples(HDC dc) const;
  void DeleteSkinDeleted();
  void InitControlA(TWinControl* owner);
  void InitChildCtrl(TWinControl* parent);
  void AddComp(TControl* control, TWinControl* parent);
  void SkinH(TSkinControl* skinner, HWND window);
  bool SkinGroup(TWinControl* group, bool checks);
  bool Find3rdControl(const std::string& className, TControl* control);
  void DisableControl(TControl* control);
  bool Has(TSkinControlType kind) const;
  void Skin(TSkinControl* skinner, bool recolour = false);
  void SkinScroll(TSkinScrollbar* skinner, TWinControl* control);
  void Maximize();
  void Minimize();
  void Restore();
  void PopSysmenu(POINT pt);
  void DoSysMenu2(TObject* sender);
  void InitSysPopupItems();
  void SysCommandLook(UINT id, int& image, bool& enabled) const;
  bool SysPopupMessage(TMessage& m);
  std::vector<RECT> MenuItemRects() const;
  int MenuItemOfKey(wchar_t key) const;
  void OpenMenuItem(int index);
  bool IsMinimized() const { return FWindowState == swsMin; }
  bool IsMaximized() const { return FWindowState == swsMax; }
  bool HasIcon(TSkinFormIcon i) const { return (FIcons >> i) & 1; }
  static NONCLIENTMETRICSW Metrics();

  WNDPROC FOldWndProc = nullptr;
  WNDPROC FOldMDIProc = nullptr;
  bool subclassed_ = false;
  HFONT FCaptionFont = nullptr;
  std::unique_ptr<TTimer> FTimer;
  std::wstring FCaptionSuffix = L"  ", FCaptionPrefix = L" ";
  std::string FClassName;
  RECT FSystemFrame{};
  RECT FClientRect{};
  DWORD FLastIconClick = 0, FDoubleClickTime = 0;
  DWORD FStyle = 0;
  bool FRightToLeft = false, FSizeable = false, FIsDialog = false, FIsChild = false;
  bool FUnicode = false;         // as the window was made, before the skin took its procedure
  bool FSavedMenuUpdate = true;  // an MDI frame's: the data's MenuUpdate while no child is open
  HWND FOwnerWnd = nullptr;
  HMENU FSystemMenu = nullptr;
  TColor FOldColor = 0;
  int FWidth = 0, FHeight = 0, FRegionWidth = 0, FRegionHeight = 0;
  std::unique_ptr<TBitmap> FTitleBitmap, FIconBitmap;
  int depth_ = 0;
  bool freePending_ = false;
  bool FActivated = false, FUpdateStopped = false, FRepaintAll = false;
  std::vector<TSkinControl*> FControls;  // owned by their controls
  TSkinControl* FHotControl = nullptr;
  std::unique_ptr<TCanvas> FControlCanvas;
  std::unique_ptr<TWinSkinMenu> FSkinMenu;
  std::unique_ptr<TPopupMenu> FSysPopup;
};

// Watches a form nested inside a skinned window (freed with it) for the host's skinner.
class TWinSkinSpy : public TComponent {
 public:
  TWinSkinSpy(TComponent* nested, TWinSkinForm* host) : TComponent(nested), FormSkin(host) {}
  std::string ClassName() const override { return "TWinSkinSpy"; }
  TWinSkinForm* FormSkin;
};

// The form skinner of a window attached to it, or nil.
TWinSkinForm* SkinFormOf(HWND window);
// GetVersion as read when the manager installed its hook.
extern DWORD WinVersion;
// Windows NT before version 5, whose menus the skin cannot owner-draw on the fly; a
// version not read yet counts as a current one.
inline bool WinNtBefore5() { return WinVersion && !(WinVersion & 0x80000000u) && LOBYTE(LOWORD(WinVersion)) < 5; }
// Any Windows of version 4.0.
inline bool WinVersion40() { return LOBYTE(LOWORD(WinVersion)) == 4 && HIBYTE(LOWORD(WinVersion)) == 0; }
