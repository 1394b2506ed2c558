// The class library's component and control core (Win32 only).
//
// One object per window: a TControl owns its HWND, created on demand (HandleNeeded)
// from the properties set before. The control object is found from its window by
// the window property named "ControlOfs<instance><thread>", which the skin engine
// reads too; GWLP_USERDATA is left free. Our window classes are superclasses named
// after the class-library class ("TButton" over BUTTON, ...); their procedure routes
// every message to the object's virtual WndProc, whose default passes the message on
// through the procedure it replaced. WM_COMMAND, WM_NOTIFY and WM_CTLCOLOR* are
// reflected to the control that sent them. Text is GBK; conversion to UTF-16 with
// code page 936 happens only here.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "classlib/TypInfo.h"

class TObject {
 public:
  virtual ~TObject() = default;
  virtual std::string ClassName() const { return "TObject"; }
};

// Sent to a control's form when Alt and a character were pressed that no control took
// (wParam the character); a form that answers non-zero has used it.
constexpr UINT CM_DIALOGCHAR = 0xB006;
// A dialog key (Tab, Enter, Esc, an arrow; wParam the key) is about to be acted on by the
// form: sent to every control of the form, which may repaint its default look.
constexpr UINT CM_DIALOGKEY = 0xB005;
// The focus moved within the form (lParam the window now focused): sent to every control.
constexpr UINT CM_FOCUSCHANGED = 0xB007;
// The mouse came onto a control / left it (also sent by whoever polls the mouse).
constexpr UINT CM_MOUSEENTER = 0xB013;
constexpr UINT CM_MOUSELEAVE = 0xB014;

// An error meant for the user: its message is GBK text.
class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& gbkMessage) : std::runtime_error(gbkMessage) {}
};

// Colours: a COLORREF, or 0x80000000 | COLOR_xxx for a system colour.
using TColor = int32_t;
constexpr TColor clBtnFace = static_cast<TColor>(0x80000000 | COLOR_BTNFACE);
constexpr TColor clWindow = static_cast<TColor>(0x80000000 | COLOR_WINDOW);
constexpr TColor clWindowText = static_cast<TColor>(0x80000000 | COLOR_WINDOWTEXT);
constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clGreen = 0x008000;
constexpr TColor clBlue = 0xFF0000;
COLORREF ColorToRGB(TColor c);

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

// What a control's window is told of its object, for whoever subclasses the window.
constexpr UINT CM_VISIBLECHANGED = 0xB00B;  // wParam the new Visible
constexpr UINT CM_ENABLEDCHANGED = 0xB00C;  // the new Enabled is the window's
constexpr UINT CM_RECREATEWND = 0xB033;     // this window is about to be replaced by a new one
// A control's WM_COMMAND and WM_CTLCOLOR*, reflected by its parent to the control's own
// window, so that a subclass of the control sees them too.
constexpr UINT CN_BASE = 0xBC00;
constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
// A child's NM_CUSTOMDRAW reaches the child's own window this way (lParam the NMCUSTOMDRAW).
constexpr UINT CN_NOTIFY = CN_BASE + WM_NOTIFY;
constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;

struct TFont {
  std::string Name = "\xCB\xCE\xCC\xE5";  // 宋体
  int Size = 9;                           // points
  TColor Color = clWindowText;
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
  bool operator==(const TFont&) const = default;
};

// A font handle for f at the screen's resolution, crisp ones drawn without smoothing;
// the caller deletes it.
HFONT CreateFontHandle(const TFont& f, bool crisp = false);
// The thread's one handle for f's face, size and style, shared by all who show it and
// deleted with its last holder: making a font costs Wine a search of the installed faces.
std::shared_ptr<HFONT__> SharedFont(const TFont& f, bool crisp = false);

class TComponent : public TObject {
 public:
  explicit TComponent(TComponent* owner);
  ~TComponent() override;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;
  std::string ClassName() const override { return "TComponent"; }

  TComponent* Owner() const { return owner_; }
  int ComponentCount() const { return static_cast<int>(components_.size()); }
  TComponent* Components(int i) const { return components_[i]; }
  TComponent* FindComponent(const std::string& name) const;

  std::string Name;
  int Tag = 0;

  // The properties the component publishes by name, listed at the first call.
  const TPropertyTable& Published();

 protected:
  // Adds the class's published properties; a descendant adds its own after its base's.
  virtual void PublishProperties(TPropertyTable& t);

 private:
  void Remove(TComponent* c);
  TComponent* owner_;
  std::unique_ptr<TPropertyTable> published_;
  std::vector<TComponent*> components_;  // owned: freed with the owner, newest first
};

class TWinControl;
class TPopupMenu;

class TControl : public TComponent {
 public:
  explicit TControl(TComponent* owner);
  ~TControl() override;
  std::string ClassName() const override { return "TControl"; }

  static TControl* FromHandle(HWND h);
  static const wchar_t* ControlPropName();

  HWND Handle();  // creates the window when needed
  bool HandleAllocated() const { return hwnd_ != nullptr; }
  void HandleNeeded() { Handle(); }

  TWinControl* Parent() const { return parent_; }
  void SetParent(TWinControl* parent);
  // Without a Parent, the window is made a child of this window, which has no
  // class-library object (a common dialog's, another library's).
  void SetParentWindow(HWND parent) { parentWindow_ = parent; }

  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetBounds(int left, int top, int width, int height);
  void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
  void SetTop(int v) { SetBounds(left_, v, width_, height_); }
  void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
  void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
  virtual int ClientWidth();
  virtual int ClientHeight();

  TAlign Align() const { return align_; }
  void SetAlign(TAlign a);

  // Caption and Text are the window text (GBK).
  std::string Caption() { return Text(); }
  void SetCaption(const std::string& s) { SetText(s); }
  virtual std::string Text();
  virtual void SetText(const std::string& s);

  bool Visible() const { return visible_; }
  void SetVisible(bool v);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v);

  const TFont& Font() const { return font_; }
  void SetFont(const TFont& f);
  // The font the window shows: with ParentFont, the nearest ancestor's own font, also
  // before any window exists.
  const TFont& EffectiveFont() const;
  TColor Color() const { return color_; }
  void SetColor(TColor c);
  bool ParentFont = true;
  std::string Hint;
  bool ShowHint = false;
  TPopupMenu* PopupMenu = nullptr;  // shown on a right click; not owned

  LRESULT Perform(UINT msg, WPARAM w = 0, LPARAM l = 0);
  void Invalidate();
  void Repaint();

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TNotifyEvent OnResize;

 protected:
  // Window class to superclass (nullptr: a class of our own) and the creation styles.
  virtual const wchar_t* BaseClassName() const { return nullptr; }
  virtual DWORD CreateStyle() const;
  virtual DWORD ExStyle() const { return 0; }
  virtual void CreateHandle();
  virtual void AfterCreate() {}  // the window exists: push stored state into it
  // Whether the window is made when its parent's is; one that is not is made when asked
  // for (Handle), from the properties kept meanwhile.
  virtual bool MadeWithParent() const { return true; }
  virtual void DestroyHandle();

  // Every message; the default passes it to the procedure that was replaced.
  virtual LRESULT WndProc(UINT msg, WPARAM w, LPARAM l);
  LRESULT DefaultHandler(UINT msg, WPARAM w, LPARAM l);
  // Reflected notifications from the parent.
  virtual bool HandleCommand(WORD /*code*/) { return false; }
  virtual bool HandleNotify(NMHDR* /*n*/, LRESULT& /*result*/) { return false; }
  virtual HBRUSH HandleCtlColor(HDC dc);
  virtual bool HandleScroll(WORD /*code*/) { return false; }
  virtual bool HandleDrawItem(DRAWITEMSTRUCT* /*d*/) { return false; }
  // Height the window takes beyond Height(): a combo box's dropped list.
  virtual int ExtraWindowHeight() const { return 0; }

  void PublishProperties(TPropertyTable& t) override;
  void Click();
  void ApplyFont();
  HBRUSH BackgroundBrush();
  HWND hwnd_ = nullptr;
  std::string text_;

 private:
  friend class TWinControl;
  bool DialogChar(WPARAM w, LPARAM l);
  static LRESULT CALLBACK StaticProc(HWND h, UINT msg, WPARAM w, LPARAM l);
  void RegisterClassOnce();
  WNDPROC BaseProc() const;
  void Attach(HWND h);

  TWinControl* parent_ = nullptr;
  HWND parentWindow_ = nullptr;
  int left_ = 0, top_ = 0, width_ = 100, height_ = 25;
  TAlign align_ = alNone;
  bool visible_ = true;
  bool enabled_ = true;
  TFont font_;
  TColor color_ = clBtnFace;
  std::shared_ptr<HFONT__> hfont_;
  HBRUSH brush_ = nullptr;
  COLORREF brushColor_ = 0;
  WNDPROC baseProc_ = nullptr;
};

// A control that holds child controls and lays out the aligned ones.
class TWinControl : public TControl {
 public:
  using TControl::TControl;
  ~TWinControl() override;
  std::string ClassName() const override { return "TWinControl"; }

  int ControlCount() const { return static_cast<int>(controls_.size()); }
  TControl* Controls(int i) const { return controls_[i]; }
  void AlignControls();
  // The window made anew from the object's properties, its children's with it.
  void RecreateWnd();
  // msg sent to the window of every control within this one that has a window.
  void Broadcast(UINT msg, WPARAM w, LPARAM l);
  // msg broadcast over the form (top-level control) that holds the window, if any.
  static void BroadcastToForm(HWND within, UINT msg, WPARAM w, LPARAM l);

  // The keys typed into the control, before the window and the form's dialog keys see
  // them (Enter for the default button, Esc for the cancel button). A handler takes a
  // key by setting it to 0. OnKeyPress sees the ASCII characters, Enter and Esc among
  // them; OnKeyDown every key.
  std::function<void(TObject* sender, WORD& key)> OnKeyDown;
  std::function<void(TObject* sender, char& key)> OnKeyPress;

 protected:
  void CreateHandle() override;
  LRESULT WndProc(UINT msg, WPARAM w, LPARAM l) override;
  // A descendant's window was made or is going away: passed up to the form, whose
  // tooltips cover every control.
  virtual void HintToolCreated(HWND h);
  virtual void HintToolDestroyed(HWND h);
  // A mouse message of a descendant, for the form's tooltips.
  virtual void HintRelay(const MSG& m);
  // A child was moved, sized, shown, hidden, added or taken away.
  virtual void ChildBoundsChanged() {}
  // Every child that is not aligned moved by (dx, dy), its window with it.
  void MoveFreeControls(int dx, int dy);

 private:
  friend class TControl;
  // The next id for a child window of this top-level control: the dialog keys find a
  // form's default button by its id.
  int NextChildId();
  std::vector<TControl*> controls_;  // not owned: the owner frees them
  int nextChildId_ = kFirstChildId;
  static constexpr int kFirstChildId = 100;  // above IDOK, IDCANCEL and their kin
};
