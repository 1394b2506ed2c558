// TSkinData: the one object through which the program uses the skin engine, and the skin
// objects it parses a package into.
//
// The component keeps the current package (compressed, as stored in the ".skn" file),
// reads its INI description into skin objects and scheme colours, and asks the skin
// manager to skin, re-skin or unskin the windows. Skinners only read what it holds; every
// skin object except Title, Buttons and the four borders is nil when the skin lacks it.
// Colours are red + green * 256 + blue * 65536; a value with the top bit set is a system
// colour. Skin bitmaps hold their frames side by side (the borders of the caption also
// stacked), with magenta 0xFF00FF as the transparent key.
//
// A package that cannot be read loads nothing: the previous objects stay and, before the
// first good package, the data stay empty, so activating asks nothing of the manager and
// the windows stay plain.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "classlib/Controls.h"
#include "classlib/Graphics.h"
#include "classlib/ImageList.h"
#include "classlib/TStringList.h"

class TQuickIni;
class TSkinReader;
class TSkinStore;
class TSkinData;

// ---- Enumerations and their sets (bit i stands for element i) ----

enum TSkinControlType {
  xcMainMenu,
  xcPopupMenu,
  xcMenuItem,
  xcToolbar,
  xcControlbar,
  xcCombo,
  xcCheckBox,
  xcRadioButton,
  xcProgress,
  xcScrollbar,
  xcEdit,
  xcButton,
  xcBitBtn,
  xcSpeedButton,
  xcSpin,
  xcPanel,
  xcGroupBox,
  xcStatusBar,
  xcTab,
  xcTrackBar,
  xcSystemMenu,
  xcFastReport
};
using TSkinControlTypes = uint32_t;

enum TSkinOption {
  xoMDIScrollbar,
  xoMenuMerge,
  xoTransparent,
  xoPreview,
  xoParentBackGround,
  xoNoFocusRect,
  xoToolbarBK,
  xoMDIChildBorder,
  xoMenuBG,
  xoFormScrollbar
};
using TSkinOptions = uint16_t;

enum TSkinFormType { sfMainform, sfOnlyThisForm, sfDialog, sfDLL };

enum TShemeColor {
  csText,
  csTitleTextActive,
  csTitleTextNoActive,
  csButtonFace,
  csButtonText,
  csButtonHilight,
  csButtonlight,
  csButtonShadow,
  csButtonDkshadow,
  csSelectText,
  csSelectBg,
  csHilightText,
  csHilight,
  csMenuBar,
  csMenuBarText,
  csMenuText,
  csMenubg,
  csCaption,
  csScrollbar,
  csTextDisable,
  csCount
};
using TShemeColors = std::array<TColor, csCount>;

enum TWinContainer {
  xccForm,
  xccFrame,
  xccToolbar,
  xccCoolbar,
  xccControlbar,
  xccPanel,
  xccScrollBox,
  xccGroupBox,
  xccTabSheet,
  xccPageScroller
};
using TWinContainers = uint16_t;

template <class Set, class Element>
constexpr bool InSet(Set set, Element e) {
  return (set >> static_cast<int>(e)) & 1;
}
template <class Set, class Element>
constexpr Set WithElement(Set set, Element e, bool on) {
  const Set bit = static_cast<Set>(Set{1} << static_cast<int>(e));
  return on ? static_cast<Set>(set | bit) : static_cast<Set>(set & ~bit);
}

constexpr TSkinControlTypes kDefaultSkinControls = 0x1FFFFB;  // all but xcMenuItem and xcFastReport
constexpr TSkinOptions kDefaultSkinOptions = 0x48;            // xoPreview, xoToolbarBK
constexpr TColor kNoColour = 0x1FFFFFFF;                      // a title text colour not given
constexpr TColor kKeyColour = 0xFF00FF;                       // transparent magenta

// ---- Skin objects ----

// One kind of painted surface: its frames, fixed edges and colours.
class TDataSkinObject : public TObject {
 public:
  explicit TDataSkinObject(std::string name);
  std::string ClassName() const override { return "TDataSkinObject"; }
  RECT Margins() const { return RECT{LeftWidth, TopHeight, RightWidth, BottomHeight}; }

  int32_t LeftWidth = 0, TopHeight = 0, RightWidth = 0, BottomHeight = 0;
  std::unique_ptr<TBitmap> Image;
  int32_t Trans = 0;
  int32_t Tile = 0;  // 1 tile, 0 stretch; the borders and the menu bar keep their own value here
  std::string Name;
  int32_t Frame = 0;
  int32_t Style = 0;
  TColor NormalColour = -1, MouseOverColour = -1, PressedColour = -1;
  TColor NormalColour2 = 0, MouseOverColour2 = 0, PressedColour2 = 0;
};

class TDataSkinBorder : public TDataSkinObject {
 public:
  explicit TDataSkinBorder(std::string name);
  std::string ClassName() const override { return "TDataSkinBorder"; }
  std::unique_ptr<TBitmap> Image2;
};

class TDataSkinButton : public TDataSkinObject {
 public:
  explicit TDataSkinButton(std::string name);
  std::string ClassName() const override { return "TDataSkinButton"; }
  std::unique_ptr<TBitmap> CheckButton, RadioButton;
  int32_t RadioButtonFrame = 0, CheckButtonFrame = 0;
  bool HasNormalColour2 = false, HasMouseOverColour2 = false, HasPressedColour2 = false;
};

class TDataSkinTitle : public TDataSkinObject {
 public:
  explicit TDataSkinTitle(std::string name);
  std::string ClassName() const override { return "TDataSkinTitle"; }
  int32_t TextAlignment = 0, Textbackground = 0, FontHeight = 14, TXTBackleft = 0, TXTBackRight = 0;
  TColor ActiveText = kNoColour, InActiveText = kNoColour;
};

class TDataSkinSysButton : public TDataSkinObject {
 public:
  explicit TDataSkinSysButton(std::string name);
  std::string ClassName() const override { return "TDataSkinSysButton"; }
  int32_t Action = 0, Align = 0, Xcoord = 0, Ycoord = 0, CombineOp = -1, Visibility = 0, Visibility1 = 0;
};

class TDataSkinBoxLabel : public TDataSkinObject {
 public:
  explicit TDataSkinBoxLabel(std::string name);
  std::string ClassName() const override { return "TDataSkinBoxLabel"; }
  int32_t BackgroundLeftShift = 0, BackgroundRightShift = 0, BackgroundAlignment = 0;
};

// Four lists of other libraries' class names; nothing of the engine reads them.
class TSkinControlList : public TObject {
 public:
  std::string ClassName() const override { return "TSkinControlList"; }
  TStringList Edit, Checkbox, Radiobutton, Combobox;
};

// ---- The skin manager, as the data component sees it ----

// The manager's unit implements this on its one global manager and installs a factory
// with SetSkinManagerFactory; without one, components load and parse skins but nothing
// is ever skinned. Actions: 1 skin all, 2 unskin all, 3 skin changed, 7 re-skin one form.
class TSkinManageLink {
 public:
  virtual ~TSkinManageLink() = default;
  virtual void AddSkinData(TSkinData* data) = 0;
  virtual void RemoveSkinData(TSkinData* data) = 0;
  virtual void SetCurrentData(TSkinData* data) = 0;
  virtual void SetAction(int action, int ms) = 0;
  virtual void SetInstalled() = 0;  // state 1
  virtual bool Installed() const = 0;
  virtual void InstallHook() = 0;
  virtual void InstallThread(DWORD threadId) = 0;
  virtual void UnInstallThread(DWORD threadId) = 0;
  virtual void Enable(bool on) = 0;        // new windows may be skinned
  virtual void CountInstalled() = 0;       // one more component installed (not the main form's)
  virtual bool AddForm(HWND window) = 0;   // skins one top-level window when it should be
  virtual bool SkinForm(HWND window) = 0;  // skins one window now, forced
  virtual void ChangeForm(HWND window, TSkinData* data) = 0;
  virtual void DeleteSysbtn() = 0;
  // Services the data component passes on for the form skinner.
  virtual void UpdateSkinControl(HWND form, TControl* control) = 0;
  virtual void AddNestForm(HWND form, HWND nested) = 0;
  virtual void DeleteGraphicControl(HWND form, TControl* control) = 0;
  virtual void UpdateMenu(HWND form) = 0;
  virtual void RebuildMenuBars() = 0;
};

using TSkinManagerFactory = TSkinManageLink* (*)();
// The manager's unit calls this once; the first component that finishes loading creates
// the manager through it.
void SetSkinManagerFactory(TSkinManagerFactory factory);
// The global manager, nil while none exists.
TSkinManageLink* SkinManagerLink();
// Hands the manager over (the manager's unit, or a test); the previous one is not freed.
void SetSkinManagerLink(TSkinManageLink* manager);

// ---- Events ----

using TFormSkinEvent = std::function<void(TObject* sender, const std::string& aName, bool& doSkin)>;
using TSkinFormEvent = std::function<void(TObject* sender, HWND ahwnd, const std::string& aName)>;
using TSkinControlEvent = std::function<void(TComponent* sender, TSkinData* skinData, TControl* form, TControl* control,
                                             const std::string& controlClass, TComponent*& skinnedControl)>;

// ---- The component ----

class TSkinData : public TComponent {
 public:
  explicit TSkinData(TComponent* owner);
  ~TSkinData() override;
  std::string ClassName() const override { return "TSkinData"; }

  // What the program calls.
  bool LoadFromFile(const std::string& fileName);
  bool GetActive() const { return active_; }
  void SetActive(bool value);

  // What the owner's streaming calls: after the properties are set, and the binary
  // property "SkinStream" (32-bit little-endian length, then the package bytes).
  void Loaded();
  bool ReadData(std::string_view stream);
  void WriteData(std::string& stream) const;

  // Loading.
  bool LoadSkin();
  bool LoadFromStream(std::string_view package);
  bool LoadFromCollection(const TSkinStore& store, int index);
  void UpdateSkin();
  bool LoadFromIni();  // Ini holds a description: fills every skin object

  // Requests to the manager.
  void Install();
  void Uninstall();
  void ChangeForm(HWND form);
  void SkinForm(HWND window);
  void EnableSkin(bool on);
  void InstallThread(DWORD threadId);
  void UnInstallThread(DWORD threadId);

  // Services for the form skinner.
  void UpdateSkinControl(HWND form, TControl* control);
  void AddNestForm(HWND form, HWND nested);
  void DeleteGraphicControl(HWND form, TControl* control);
  void UpdateMenu(HWND form);
  void UpdateMainMenu(bool rebuild);
  void DoFormSkin(HWND window, const std::string& className, bool& doSkin);
  void DoSkinChanged();
  void DoDebug(const std::string& text);
  TColor GetColor(const std::string& text, TColor def) const;
  bool GetPrecolor(TColor& colour, int index) const;
  static std::string GetFileName(const std::string& name);
  // Sets an enumerated published property (a Boolean among them) of the object from
  // its value's name; unknown names, values and other kinds of property are left alone.
  // True when the property was set.
  static bool ChangeProperty(TObject* object, const std::string& name, const std::string& value);
  int GetSectionNum(const std::string& prefix, const std::string& key) const;
  static bool GetScrollBarInfo(HWND window, LONG id, SCROLLBARINFO* info);

  // Derived pieces of a load, also offered on their own.
  void CreateCaptionFont();
  void GetAppIcon();
  void CreateMinCaption();
  TColor GetCaptionColor() const;

  // Published properties.
  std::string SkinFile;
  int DisableTag = 99;
  TSkinControlTypes SkinControls = kDefaultSkinControls;
  TSkinOptions Options = kDefaultSkinOptions;
  TSkinFormType SkinFormtype = sfMainform;
  TStringList Skin3rd;
  bool MenuUpdate = true;
  bool MenuMerge = false;
  std::string SkinStore() const { return "(none)"; }
  std::string Version() const { return "4.42.12.06"; }
  TFormSkinEvent OnFormSkin;
  TSkinFormEvent OnBeforeSkinForm, OnAfterSkinForm;
  TNotifyEvent OnSkinChanged;
  TSkinControlEvent OnSkinControl;

  // The parsed skin; read by the skinners.
  TQuickIni* Ini = nullptr;  // only while a package is parsed
  TWinContainers Containers = 0x3FF;
  std::string SkinStream;  // the whole package, compressed
  bool SkinEmpty = true;
  TShemeColors SchemeColors{};
  std::vector<TColor> PreColors;
  std::unique_ptr<TBitmap> AppIcon;
  std::unique_ptr<TDataSkinTitle> Title;
  std::vector<std::unique_ptr<TDataSkinSysButton>> SysButtons;  // the skin's, then three MDI buttons
  std::unique_ptr<TDataSkinButton> Buttons;
  std::unique_ptr<TDataSkinBorder> Tabs, UpDownHorz, UpDownVert, ComboButton, Progress;
  std::unique_ptr<TDataSkinObject> SunkEdge, ExtraImages, ComboxArrow, GroupBoxEdge, Toolbar, ToolBars, ProgressChunk,
      StatusBarEdges, TabPane, Headerbar, MenuBar, MenuItem, MenuBackground, Scrollbar, HorzScroll, VertScroll,
      HorzScrollThumb, VertScrollThumb, TrackbarThumbHorz, TrackbarThumbVert, TrackbarThumbLeft, TrackbarThumbRight,
      TrackbarThumbUp, TrackbarThumbDown, Track, TrackVert, MinCaption;
  std::unique_ptr<TDataSkinBoxLabel> GroupBox;
  std::array<std::unique_ptr<TDataSkinBorder>, 5> Border;  // 1 left, 2 right, 3 top, 4 bottom; [0] unused
  TStringList SectionList;                                 // section names, only while parsing
  std::array<TColor, 10> CustomColors{};
  HBRUSH FaceBrush = nullptr;
  bool MainMenuUpdate = true;
  // Four 16 x 16 menu glyphs side by side (restore, minimise, maximise, close); white is
  // their mask colour.
  std::unique_ptr<TImageList> MenuImages;
  std::string SkinName;
  TStringList* DebugList = nullptr;  // not owned
  int32_t MaxWidth = 0, MaxHeight = 0;
  HFONT CaptionFont = nullptr;
  HWND LastFormHandle = nullptr;
  TSkinControlList ControlList;

  const std::string& LastError() const { return lastError_; }
  // Whether the last failed load already told the user (a package of unknown version).
  bool LastErrorShown() const { return lastErrorShown_; }

 private:
  bool Fail(std::string text);
  bool LoadPackage(std::string package);
  void FillSkin3rd();
  void RequestAction(int action);
  void ReadBord();
  void ReadColor();
  void ReadSysButton();
  void CreateMdibtn();
  void ReadButton();
  void ReadTitle();
  void ReadSurfaces();
  void ReadImage(const std::string& section, const std::string& key, TBitmap& target) const;
  std::unique_ptr<TDataSkinObject> ReadObject(const std::string& section) const;
  std::unique_ptr<TDataSkinBorder> ReadObject2(const std::string& section, const std::string& key2) const;
  std::unique_ptr<TDataSkinBoxLabel> ReadBoxLabel(const std::string& section) const;
  std::unique_ptr<TDataSkinBorder> ReadProgress(const std::string& section) const;
  std::unique_ptr<TDataSkinObject> ReadMenuBar(const std::string& section) const;
  std::unique_ptr<TDataSkinObject> ReadTrack(bool vertical) const;
  void ReadCommon(const std::string& section, TDataSkinObject& o, bool frame, int tileMax) const;
  void ReadStateColours(const std::string& section, TDataSkinObject& o) const;
  void ReadRGB(const std::string& section, const std::string& prefix, TColor& colour) const;
  void SetFrame();
  void ReBuildCombobox();
  void ReBuildComboxArrow();
  void RebuildToolbar();

  bool active_ = false;
  TSkinReader* reader_ = nullptr;  // only while a package is parsed
  std::string lastError_;
  bool lastErrorShown_ = false;
};

// ---- Free functions of the unit ----

// user32 functions that older systems lack; nil when absent.
struct TUser32Extras {
  BOOL(WINAPI* GetScrollBarInfo)(HWND, LONG, PSCROLLBARINFO) = nullptr;
  BOOL(WINAPI* TrackMouseEvent)(LPTRACKMOUSEEVENT) = nullptr;
  BOOL(WINAPI* GetComboBoxInfo)(HWND, PCOMBOBOXINFO) = nullptr;
  void(WINAPI* DisableProcessWindowsGhosting)() = nullptr;
};
const TUser32Extras& User32Extras();

// Text helpers: wide drawing on NT, code-page text elsewhere (the system code page).
bool Win32PlatformIsUnicode();
int Tnt_DrawTextW(HDC dc, const std::wstring& text, RECT& r, UINT flags);
std::wstring StrToWideStr(const std::string& text);
std::string WideStringToStringEx(const std::wstring& text);
std::wstring _WStr(const wchar_t* p, int n);  // n characters, or up to the terminator when n is -1

constexpr TColor RGBToColor(int r, int g, int b) { return r + g * 256 + b * 65536; }
// The first three runs of digits as red, green and blue (see the reader for the rule).
TColor strcolor(std::string_view text);
// The class library's control behind a window; nil for a null window or none.
TControl* FindControlx(HWND window);
// Asks for WM_MOUSELEAVE when the system offers it.
void DoTrackMouse(HWND window);
// An icon drawn at w x h on the key colour for drawing with that key: its mostly
// transparent pixels become the key, the others keep the icon's own colour, so that no
// shadow blended into the key survives the transparency as a magenta fringe.
void DrawIconOnKey(TBitmap& bitmap, HICON icon, int w, int h);
