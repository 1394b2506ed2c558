// TSkinControl: the skinner behind one control window, and the skinners built on it.
//
// A skinner takes over the window's procedure (above the class library's own, which it
// calls on), lets the control run and then paints it from the skin. The window finds
// its skinner through a small link record kept in a window property; giving the window
// back restores the procedure that was taken over. When another subclass was put above
// ours meanwhile, the link stays as a pass-through until the window goes, so neither
// procedure is lost. A skinner is owned by its control (freed with it) or, for a bare
// window, by the form skinner; the skin data only lend it colours and bitmaps.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "classlib/Buttons.h"
#include "classlib/ComCtrls.h"
#include "classlib/Controls.h"
#include "classlib/ExtCtrls.h"
#include "classlib/Graphics.h"
#include "classlib/MPlayer.h"
#include "skin/WinSkinData.h"
#include "skin/WinSkinFrame.h"

enum TSkinControlState { scMouseIn, scDown };
using TSkinControlStates = uint8_t;

// The engine's private messages that the skinners send and answer.
constexpr UINT CN_SkinEnable = 0x3506;       // wParam > 0: skin on; 0: the control paints itself
constexpr UINT CN_TabClose = 0x3507;         // wParam the tab control, lParam the tab; 0 frees the page
constexpr UINT CN_ReCreateControl = 0x3517;  // to the form skinner: wParam a control window made anew
constexpr UINT CN_PaintInto = 0xBC4A;        // wParam a DC, lParam kPaintIntoTag: paint the edit into it
constexpr UINT CN_PaintBorder = 0xBC4B;      // wParam a DC, lParam kPaintIntoTag: paint the border into it
constexpr LPARAM kPaintIntoTag = 0x41A2;

constexpr int kParentBackgroundTag = 5555;
constexpr int kTabCloseTag = 7777;

class TSkinControl : public TComponent {
 public:
  explicit TSkinControl(TComponent* control);
  ~TSkinControl() override;
  std::string ClassName() const override { return "TSkinControl"; }

  virtual void Init(TSkinControlHost* formSkin, TSkinData* data, TCanvas* canvas, bool recolour);
  virtual void Inithwnd(HWND wnd, TSkinData* data, TCanvas* canvas, TSkinControlHost* formSkin);
  virtual void Unsubclass();
  virtual bool BeforeProc(TMessage& m);
  virtual void AfterProc(TMessage& m);
  virtual void PaintControl(HDC dc);
  virtual void DrawControl(HDC dc, const RECT& r);
  virtual void SkinChange();
  // The state the skinner's window reports to its form skinner; every skinner answers scDown.
  virtual TSkinControlState GetState() const { return scDown; }

  void NewWndProc(TMessage& m);
  void Default(TMessage& m);
  void Invalidate();
  void MouseLeave();

  HWND Window() const { return wnd_; }
  TSkinData* Data() const { return data_; }
  TControl* Control() const { return control_; }
  int Stage() const { return stage_; }
  bool SkinningOn() const { return skinningOn_; }
  int Variant() const { return variant_; }
  TSkinControlStates States() const { return states_; }
  // The parent's published Color, or def without a parent that publishes one.
  TColor GetParentColor(TColor def) const;
  // GetWindowLongW for a unicode window, else GetWindowLongA.
  LONG GetWindowLongEx(HWND wnd, int index) const;

 protected:
  bool Has(TSkinControlState s) const { return InSet(states_, s); }
  void Set(TSkinControlState s, bool on) { states_ = WithElement(states_, s, on); }
  TColor Face() const;
  void FillBG(HDC dc, const RECT& r) const;
  void FillParentBG(HDC dc, const RECT& r) const;
  void DrawFocus(HDC dc, const std::wstring& text, const RECT& r, UINT flags) const;
  // flags with DT_RTLREADING added for a window that reads right to left.
  UINT CheckBiDi(UINT flags) const;
  void DrawCaption(HDC dc, const RECT& r, const std::wstring& text, bool enabled, UINT align) const;
  void DrawImgCaption(HDC dc, const RECT& r, UINT align, const std::wstring& text, int index, HIMAGELIST images) const;
  void DrawSkinMap(HDC dc, const RECT& r, const TDataSkinObject* obj, int frame, int frames) const;
  // The object's frame built to r's size over the face, in target (from its origin).
  void DrawBMPSkin(TBitmap* target, const RECT& r, const TDataSkinObject* obj, int frame, int frames, int trans) const;
  // The same into the window's shared paint buffer, and that buffer put onto dc at r.
  void DrawSkin(const RECT& r, const TDataSkinObject* obj, int frame, int frames, int trans);
  void DrawBuf(HDC dc, const RECT& r);
  TBitmap& PaintBuffer();
  void WMPaint(const TMessage& m);
  void WMERASEBKGND(TMessage& m);
  HFONT WindowFont() const;
  std::wstring CaptionText() const;

  TSkinControlStates states_ = 0;
  TCanvas* canvas_ = nullptr;
  bool enabled_ = false;
  bool focused_ = false;
  std::wstring text_;
  bool skinningOn_ = true;
  bool unicode_ = false;
  TSkinData* data_ = nullptr;
  HWND wnd_ = nullptr;
  TControl* control_ = nullptr;
  RECT windowRect_{};
  bool recolour_ = false;
  TColor savedColour_ = 0;
  bool initialised_ = false;
  int stage_ = 0;
  TSkinControlHost* formSkin_ = nullptr;
  int variant_ = 0;
  TBitmap ownBuffer_;  // the paint buffer of a skinner without a form skinner

 private:
  struct Link;
  static LRESULT CALLBACK LinkProc(HWND h, UINT msg, WPARAM w, LPARAM l);
  bool Attach(HWND wnd);
  void Detach();
  Link* link_ = nullptr;
};

// ---- Free functions of the unit ----

// The text and image index of tab i of a tab control.
std::wstring TabItemText(HWND tabs, int i, int& image);
// The up-down window of a tab strip skinned once (owned by `owner`); whether it shows.
bool SkinStripArrows(HWND strip, TComponent* owner, TSkinData* data, TCanvas* canvas, TSkinControlHost* formSkin);

void FillColor(HDC dc, const RECT& r, TColor colour);
// Whether a window stands on its own above the desktop: a pop-up, or a child of the
// desktop window (a combo box's drop-down list).
bool IsTopPopup(HWND wnd);

// ---- Properties by name ----
// For controls known only by their class name: each reads or sets a property the object
// publishes (TComponent::Published), and does nothing and answers its default for a nil
// object or a name the object does not publish.

// An enumeration as its value name, an integer as decimal text, anything else "".
std::string GetProperty(TObject* obj, const std::string& name);
// An integer property's value, else -1.
int GetIntProperty(TObject* obj, const std::string& name);
// An enumeration property's value name, else "".
std::string GetEnumProperty(TObject* obj, const std::string& name);
// A wide-string property, or another string property converted; else empty.
std::wstring GetStringProp(TObject* obj, const std::string& name);
// An event property's handler, else none.
TNotifyEvent GetObjMethod(TObject* obj, const std::string& name);
const TPropInfo* FindPublished(TObject* obj, const std::string& name);
// The object of class T a class property holds, else null (also when it holds another class).
template <class T>
T* GetObjProp(TObject* obj, const std::string& name) {
  const TPropInfo* p = FindPublished(obj, name);
  if (!p || p->Kind != tkClass || !p->GetObj) return nullptr;
  const std::any held = p->GetObj();
  T* const* typed = std::any_cast<T*>(&held);
  return typed ? *typed : nullptr;
}
// An enumeration by value name, an integer by its decimal text, a string as given.
void SetProperty(TObject* obj, const std::string& name, const std::string& value);
// The answer to WM_PAINT of a window we draw ourselves: paint(dc) between BeginPaint and EndPaint.
template <class Paint>
LRESULT PaintWindow(HWND h, Paint paint) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(h, &ps);
  paint(dc);
  EndPaint(h, &ps);
  return 0;
}
std::wstring WindowTextW(HWND wnd);
void CopyBMP(TBitmap* src, TBitmap* dst);
// Frame `frame` of `frames` of a plain bitmap stretched to r, key-coloured pixels left alone.
void DrawSkinMap2(HDC dc, const RECT& r, TBitmap* bmp, int frame, int frames);
// Draws text on dc in the DC's current font and colour, transparent.
void DrawTextOn(HDC dc, const std::wstring& text, RECT& r, UINT flags);
int TextHeight(HDC dc, const std::string& text);
// Frame `frame` of `frames` of a plain bitmap stretched to r and put at r's top-left,
// key-coloured pixels left alone: on a DC, and on a canvas.
void DrawSkinMap1(HDC dc, const RECT& r, TBitmap* bmp, int frame, int frames);
void DrawSkinMap3(TCanvas* canvas, const RECT& r, TBitmap* bmp, int frame, int frames);
// One caption in r, centred vertically and placed by the alignment; disabled in the
// shadow colour. The form's menu band draws with it too.
void MyDrawCaption(TCanvas* canvas, const RECT& r, const std::wstring& text, bool enabled, TAlignment align);
// An image of the list (none for index -1) followed by the caption, placed by the alignment.
void MyDrawImgCaption(TCanvas* canvas, const RECT& r, HIMAGELIST images, int index, const std::wstring& text,
                      bool enabled, TAlignment align);
// The image and caption block of DrawImgCaption and MyDrawImgCaption: align 0 left,
// 1 centre, 2 right; extra flags (right-to-left reading) added to the text's.
void ImgCaption(HDC dc, const RECT& r, UINT align, const std::wstring& text, int index, HIMAGELIST images, bool enabled,
                UINT extra);
// A small arrow of pen lines anchored at (x, y): 0 up, 1 down, 2 left, 3 right.
void DrawArrow(TCanvas* canvas, int x, int y, int direction);

// ---- Rules the skinners share ----

// r moved to the origin, its size kept.
RECT Sized(const RECT& r);
bool EmptyImage(const TBitmap* b);
bool Disabled(HWND w);
// Whether the control is painted on its parent's background rather than the face.
bool ParentBackground(const TControl* c, const TSkinData* d);
constexpr TColor kBtnShadow = static_cast<TColor>(0x80000000 | COLOR_BTNSHADOW);

// Selects a font into a DC for one paint and puts the old one back.
class FontScope {
 public:
  FontScope(HDC dc, HFONT f) : dc_(dc), old_(f ? SelectObject(dc, f) : nullptr) {}
  ~FontScope() {
    if (old_) SelectObject(dc_, old_);
  }
  FontScope(const FontScope&) = delete;
  FontScope& operator=(const FontScope&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// ---- Push buttons ----

class TSkinButton : public TSkinControl {
 public:
  using TSkinControl::TSkinControl;
  std::string ClassName() const override { return "TSkinButton"; }
  void Init(TSkinControlHost* formSkin, TSkinData* data, TCanvas* canvas, bool recolour) override;
  void SkinChange() override;
  bool BeforeProc(TMessage& m) override;
  void AfterProc(TMessage& m) override;
  void DrawControl(HDC dc, const RECT& r) override;
  // The frame of the button image the current state shows (1 normal, 2 pressed,
  // 3 disabled, 4 hot, 5 focused).
  virtual int Frame() const;
  // Keeps the system's own drawing of the button off the screen (the window loses
  // WS_VISIBLE) until ResumeRedraw, or timer 1 at the latest.
  void SuspendRedraw();
  void ResumeRedraw();

 protected:
  // What stands on the button face: the caption; the work DC has the font and colour.
  virtual void DrawFace(HDC dc, const RECT& r);
  void DrawBtnText(HDC dc, const RECT& r, const std::wstring& caption, UINT align) const;
  void ClickControl();
  TBitmap work_;
  bool parentBackground_ = false;
  bool redrawSuspended_ = false;
};

// A button with a glyph beside its caption (a bit button, a speed button).
class TSkinBitButton : public TSkinButton {
 public:
  using TSkinButton::TSkinButton;
  std::string ClassName() const override { return "TSkinBitButton"; }
  // Where the glyph and the caption stand in the client area (the face less 2 a side).
  struct Layout {
    RECT glyph{}, text{};
    UINT flags = 0;
  };
  static Layout LayOut(const RECT& client, SIZE glyph, SIZE text, TButtonLayout layout, int margin, int spacing,
                       bool centred);

 protected:
  void DrawFace(HDC dc, const RECT& r) override;
  // The glyph cell of frame `frame` (1 normal, 3 pressed, 2 disabled in the glyph order).
  int GlyphIndex(int frame) const;
  // A button that carries only a picture (its "Picture"): the picture as its one glyph.
  void DrawPicControl(HDC dc, const RECT& r, TBitmap& picture);

 private:
  // What stands beside the caption: a cell of a glyph strip, or an image of a list.
  struct Glyph {
    TBitmap* strip = nullptr;
    int cells = 1, cell = 1;
    HIMAGELIST images = nullptr;
    int index = -1;
    SIZE size{0, 0};
  };
  void DrawGlyphFace(HDC dc, const RECT& r, const Glyph& g);
};

// A menu button: the face and caption with a small drop-down triangle at the right.
class TSkinMenuButton : public TSkinButton {
 public:
  using TSkinButton::TSkinButton;
  std::string ClassName() const override { return "TSkinMenuButton"; }

 protected:
  void DrawFace(HDC dc, const RECT& r) override;
};

// A speed button: no focus look; the button's own procedure sees the presses and clicks.
class TSkinSpeedButton : public TSkinBitButton {
 public:
  using TSkinBitButton::TSkinBitButton;
  std::string ClassName() const override { return "TSkinSpeedButton"; }
  bool BeforeProc(TMessage& m) override;
  void AfterProc(TMessage& m) override;
  int Frame() const override;
};

// ---- Media players ----

class TSkinMP;

// The skinned face laid over a media player: its buttons in the skin's button frames.
class TWMediaPlayer : public TPaintedControl {
 public:
  TWMediaPlayer(TComponent* owner, TSkinMP* skinner, TMediaPlayer* player);
  std::string ClassName() const override { return "TWMediaPlayer"; }
  void SetPosition();  // the player's place and size, over it
  int Pressed() const { return pressed_ ? down_ : -1; }

 protected:
  void Paint(HDC dc) override;
  LRESULT WndProc(UINT msg, WPARAM w, LPARAM l) override;

 private:
  void LoadBitmaps();
  TSkinMP* skinner_;
  TMediaPlayer* player_;
  int down_ = -1;
  bool pressed_ = false;
  // Per button: enabled, disabled and coloured pictures from the program's resources.
  std::array<std::array<std::unique_ptr<TBitmap>, 3>, kMPButtonCount> bitmaps_;
};

class TSkinMP : public TSkinControl {
 public:
  using TSkinControl::TSkinControl;
  std::string ClassName() const override { return "TSkinMP"; }
  void Init(TSkinControlHost* formSkin, TSkinData* data, TCanvas* canvas, bool recolour) override;
  void AfterProc(TMessage& m) override;
  void Unsubclass() override;
  TSkinData* Data() const { return data_; }
  TWMediaPlayer* Panel() const { return panel_; }

 private:
  TWMediaPlayer* panel_ = nullptr;  // owned by the skinner
};

// ---- State glyphs and containers ----

class TSkinCheckBox : public TSkinControl {
 public:
  using TSkinControl::TSkinControl;
  std::string ClassName() const override { return "TSkinCheckBox"; }
  void Init(TSkinControlHost* formSkin, TSkinData* data, TCanvas* canvas, bool recolour) override;
  void SkinChange() override;
  bool BeforeProc(TMessage& m) override;
  void AfterProc(TMessage& m) override;
  void DrawControl(HDC dc, const RECT& r) override;
  // The glyph (from 1) of the image the control's state shows.
  virtual int Glyph() const;

 protected:
  virtual TBitmap* GlyphImage() const;
  virtual int GlyphCount() const;
  int checkState_ = 0;  // the last BM_SETCHECK + 1; 0 not known
  bool parentBackground_ = false;
};

class TSkinRadioButton : public TSkinCheckBox {
 public:
  using TSkinCheckBox::TSkinCheckBox;
  std::string ClassName() const override { return "TSkinRadioButton"; }
  int Glyph() const override;

 protected:
  TBitmap* GlyphImage() const override;
  int GlyphCount() const override;
};

class TSkinGroupBox : public TSkinControl {
 public:
  using TSkinControl::TSkinControl;
  std::string ClassName() const override { return "TSkinGroupBox"; }
  void Init(TSkinControlHost* formSkin, TSkinData* data, TCanvas* canvas, bool recolour) override;
  bool BeforeProc(TMessage& m) override;
  void DrawControl(HDC dc, const RECT& r) override;

 private:
  void DrawEtched(HDC dc, const RECT& frame) const;
};

// Gives a container or a label the skin's face colour and nothing else; keeps the procedure.
class TSkinBox : public TSkinControl {
 public:
  using TSkinControl::TSkinControl;
  std::string ClassName() const override { return "TSkinBox"; }
  void Init(TSkinControlHost* formSkin, TSkinData* data, TCanvas* canvas, bool recolour) override;
  void AfterProc(TMessage&) override {}
  void Unsubclass() override;
};

// A label on the face: with recolour it takes the skin's face, and while its text is left
// in the system's text colour it writes in the skin's, so that it reads on a dark face as
// on a light one. Its parent, whatever skinner that has, reflects the colour question to
// the label's own window, where this skinner answers it after the label.
class TSkinLabel : public TSkinControl {
 public:
  using TSkinControl::TSkinControl;
  std::string ClassName() const override { return "TSkinLabel"; }
  void AfterProc(TMessage& m) override;
};

// A control that only needs the skin's background under it.
class TSkinTransObj : public TSkinControl {
 public:
  using TSkinControl::TSkinControl;
  std::string ClassName() const override { return "TSkinTransObj"; }
  bool BeforeProc(TMessage& m) override;
};

// Another library's check box or radio button, which draws itself from a glyph strip of
// its own: the skin's check or radio strip is written into that strip. The control keeps
// its procedure. Kind 1 a check box and 2 a radio button of the first family, 3 a check
// box of the second.
class TSkinObjImage : public TSkinBox {
 public:
  TSkinObjImage(TComponent* control, int kind) : TSkinBox(control), kind_(kind) {}
  std::string ClassName() const override { return "TSkinObjImage"; }
  void Init(TSkinControlHost* formSkin, TSkinData* data, TCanvas* canvas, bool recolour) override;
  void SkinChange() override;
  void Unsubclass() override;
  int Kind() const { return kind_; }

 private:
  void ChangeImage();
  int kind_;
};

// ---- Tabs ----

class TSkinTab : public TSkinControl {
 public:
  using TSkinControl::TSkinControl;
  std::string ClassName() const override { return "TSkinTab"; }
  void Init(TSkinControlHost* formSkin, TSkinData* data, TCanvas* canvas, bool recolour) override;
  void Inithwnd(HWND wnd, TSkinData* data, TCanvas* canvas, TSkinControlHost* formSkin) override;
  void SkinChange() override;
  bool BeforeProc(TMessage& m) override;
  void AfterProc(TMessage& m) override;
  void DrawControl(HDC dc, const RECT& r) override;
  // The page's frame from the second "Tabs" image, on dc or (null) the window's own DC.
  void DrawTabBorder(HDC dc);
  int Position() const { return position_; }
  const std::vector<RECT>& CloseRects() const { return closeRects_; }

 private:
  void Setup();
  bool FindScroll();
  void ClipUpdown(HDC dc);
  // The page area, which the strip's paint leaves to the pages, on the skin's face brush.
  void ERASEBKGND(HDC dc);
  void inittab();
  void Drawitem(HDC dc, const RECT& r, int state);
  void DrawTurned(HDC dc, const RECT& item, int state, COLORREF colour, const std::wstring& text, int image,
                  HIMAGELIST images);
  void drawCloseBtn(HDC dc, const RECT& r, int index);
  bool ClickClose(POINT p);
  std::vector<RECT> closeRects_;
  int position_ = 0;
  TBitmap tabImage_, paneImage_, work_;
  bool closeButtons_ = false;
  HWND arrows_ = nullptr;
};

// Button-style tabs (a page control whose Style is not tsTabs), from the button object.
class TSkinTabBtn : public TSkinControl {
 public:
  using TSkinControl::TSkinControl;
  std::string ClassName() const override { return "TSkinTabBtn"; }
  bool BeforeProc(TMessage& m) override;
  void DrawControl(HDC dc, const RECT& r) override;

 private:
  TBitmap work_;
};

// A tab set's strip, from the "Tabs" frames turned upside down: its tabs hang downwards.
// Its scroller's arrows get the skin's horizontal up-down look.
class TSkinTab31 : public TSkinControl {
 public:
  using TSkinControl::TSkinControl;
  std::string ClassName() const override { return "TSkinTab31"; }
  void Init(TSkinControlHost* formSkin, TSkinData* data, TCanvas* canvas, bool recolour) override;
  void SkinChange() override;
  bool BeforeProc(TMessage& m) override;
  void DrawControl(HDC dc, const RECT& r) override;

 private:
  void FlipTabs();
  void SkinScroller();
  TBitmap flipped_, work_;
};

// Another library's page control that draws its tabs from two pictures of its own: the
// skin's tab frames are written into them. Its strip's scroll arrows wear the skin.
class TSkinAdvPage : public TSkinControl {
 public:
  using TSkinControl::TSkinControl;
  std::string ClassName() const override { return "TSkinAdvPage"; }
  void Init(TSkinControlHost* formSkin, TSkinData* data, TCanvas* canvas, bool recolour) override;
  void SkinChange() override;
  void AfterProc(TMessage& m) override;
  void Unsubclass() override;

 private:
  void ChangeImage();
};

// A page of a page control, on the skin's face.
class TSkinTabSheet : public TSkinControl {
 public:
  using TSkinControl::TSkinControl;
  std::string ClassName() const override { return "TSkinTabSheet"; }
  bool BeforeProc(TMessage& m) override;
  void DrawControl(HDC dc, const RECT& r) override;
};

// ---- Bars and bare containers ----

// A progress bar: the empty bar (frame 1) with the filled part (frame 2) over it.
class TSkinProgress : public TSkinControl {
 public:
  using TSkinControl::TSkinControl;
  std::string ClassName() const override { return "TSkinProgress"; }
  bool BeforeProc(TMessage& m) override;
  void DrawControl(HDC dc, const RECT& r) override;

 private:
  bool Painted() const;
  void DrawControl1(HDC dc, const RECT& r, int position, int range, bool vertical);
  TBitmap work_;
};

// A status bar: its panels framed by the skin's status-bar edges, their texts, in the
// window's shared paint buffer.
class TSkinStatusBar : public TSkinControl {
 public:
  using TSkinControl::TSkinControl;
  std::string ClassName() const override { return "TSkinStatusBar"; }
  bool BeforeProc(TMessage& m) override;
  void DrawControl(HDC dc, const RECT& r) override;

 private:
  void drawitem(HDC dc, const RECT& r, int bevel);
  void Defaultpaint(HDC dc, const RECT& r, int bevel);
};

// A track bar: the channel and the thumb from the skin, drawn in place of the control's
// own as it asks through custom drawing; the ticks stay the control's.
class TSkinTrackBar : public TSkinControl {
 public:
  using TSkinControl::TSkinControl;
  std::string ClassName() const override { return "TSkinTrackBar"; }
  bool BeforeProc(TMessage& m) override;
  void AfterProc(TMessage& m) override;
  void SkinChange() override;

 private:
  LRESULT CustomDraw(const NMCUSTOMDRAW& cd);
  // Each answers whether the skin had the image to draw.
  bool DrawTrack(HDC dc);
  bool Drawthumb(HDC dc);
};

// A tool bar on the skin's tool-bar image, or a gradient of the caption colour.
class TSkinToolbar : public TSkinControl {
 public:
  using TSkinControl::TSkinControl;
  std::string ClassName() const override { return "TSkinToolbar"; }
  void Init(TSkinControlHost* formSkin, TSkinData* data, TCanvas* canvas, bool recolour) override;
  bool BeforeProc(TMessage& m) override;

 private:
  void ERASEBKGND(HDC dc);
  TColor colour1_ = 0, colour2_ = 0;
};

// A size grip on the skin's face.
class TSkinSizer : public TSkinControl {
 public:
  using TSkinControl::TSkinControl;
  std::string ClassName() const override { return "TSkinSizer"; }
  void DrawControl(HDC dc, const RECT& r) override;
};

// A bare container window (a dialog, a tool bar): its ground and its static children on
// the skin's face.
class TSkinBoxH : public TSkinControl {
 public:
  using TSkinControl::TSkinControl;
  std::string ClassName() const override { return "TSkinBoxH"; }
  bool BeforeProc(TMessage& m) override;
};

// ---- Edits ----

class TSkinUpDown;

class TSkinEdit : public TSkinControl {
 public:
  using TSkinControl::TSkinControl;
  std::string ClassName() const override { return "TSkinEdit"; }
  void AfterProc(TMessage& m) override;
  void DrawControl(HDC dc, const RECT& r) override;
  void Unsubclass() override;
  TSkinUpDown* Spin() const { return spin_; }

 private:
  void FindUPDown();
  void PaintInto(HDC dc);
  void PaintControl1(HDC dc);
  TSkinUpDown* spin_ = nullptr;  // owned
  bool spinSought_ = false;
};

// ---- Headers ----

class TSkinHeader : public TSkinControl {
 public:
  using TSkinControl::TSkinControl;
  std::string ClassName() const override { return "TSkinHeader"; }
  bool BeforeProc(TMessage& m) override;
  void AfterProc(TMessage& m) override;
  void DrawControl(HDC dc, const RECT& r) override;
  int HotItem() const { return hot_; }

 private:
  bool Painted() const;
  void DrawItem(HDC dc, int index, const RECT& r, HIMAGELIST images);
  std::vector<RECT> items_;
  int hot_ = -1;
  TBitmap work_;
};

// ---- Combo boxes, date-time pickers and up-downs ----

class TComboxScrollBar;
class TSkinScrollbarH;

class TSkinComBox : public TSkinControl {
 public:
  using TSkinControl::TSkinControl;
  ~TSkinComBox() override;
  std::string ClassName() const override { return "TSkinComBox"; }
  void Init(TSkinControlHost* formSkin, TSkinData* data, TCanvas* canvas, bool recolour) override;
  void Inithwnd(HWND wnd, TSkinData* data, TCanvas* canvas, TSkinControlHost* formSkin) override;
  void Unsubclass() override;
  void AfterProc(TMessage& m) override;
  void DrawControl(HDC dc, const RECT& r) override;
  // The "ComboButton" frame the current state shows (1 normal, 2 pressed, 3 disabled, 4 hot or focused).
  int Frame() const;
  HWND EditWindow() const { return edit_; }
  TComboxScrollBar* ListSkinner() const { return dropList_.get(); }

 private:
  void Setup();
  void FindBtn();
  void FreeLists();
  bool ReadInfo();
  void DrawControl1(HDC dc, const RECT& r, const RECT& button, const RECT& item, int state) const;
  void PaintSelectedField();
  static LRESULT CALLBACK ButtonProc(HWND h, UINT msg, WPARAM w, LPARAM l);
  DWORD style_ = 0;
  HWND edit_ = nullptr;
  WNDPROC editOld_ = nullptr;
  bool droppedDown_ = false;
  std::unique_ptr<TSkinScrollbarH> simpleList_;
  std::unique_ptr<TComboxScrollBar> dropList_;
  COMBOBOXINFO info_{};
};

class TSkinDateTime;

// The drop-down arrow laid over a date-time picker's own, from the skin's combo arrow.
class TArrowButton : public TComponent {
 public:
  explicit TArrowButton(TComponent* owner) : TComponent(owner) {}
  ~TArrowButton() override;
  std::string ClassName() const override { return "TArrowButton"; }
  void Attach(TSkinDateTime* skinner, HWND picker);
  void Place();
  HWND Handle() const { return handle_; }
  // The frame shown: 2 pressed, 4 mouse in, else 1.
  int Frame() const { return pressed_ ? 2 : mouseIn_ ? 4 : 1; }

 private:
  static LRESULT CALLBACK Proc(HWND h, UINT msg, WPARAM w, LPARAM l);
  void Paint(HDC dc);
  HWND handle_ = nullptr, picker_ = nullptr;
  TSkinDateTime* skinner_ = nullptr;
  bool mouseIn_ = false, pressed_ = false;
};

class TSkinDateTime : public TSkinControl {
 public:
  using TSkinControl::TSkinControl;
  std::string ClassName() const override { return "TSkinDateTime"; }
  void Init(TSkinControlHost* formSkin, TSkinData* data, TCanvas* canvas, bool recolour) override;
  void Unsubclass() override;
  void AfterProc(TMessage& m) override;
  void DrawControl(HDC dc, const RECT& r) override;
  TArrowButton* Arrow() const { return arrow_; }

 private:
  TArrowButton* arrow_ = nullptr;  // owned
};

// The arrows of an up-down control, from the skin's "UpDown.Vert" / "UpDown.Horz".
class TSkinUpDown : public TSkinControl {
 public:
  using TSkinControl::TSkinControl;
  std::string ClassName() const override { return "TSkinUpDown"; }
  bool BeforeProc(TMessage& m) override;
  void AfterProc(TMessage& m) override;
  void DrawControl(HDC dc, const RECT& r) override;
  // The state (1 normal, 2 pressed, 3 disabled, 4 hot) half 0 (up or left) or 1 shows.
  int HalfState(int half) const;
  bool Horizontal = false;

 private:
  bool IsHorizontal() const;
  RECT Half(const RECT& r, int half) const;
  int HalfAt(POINT p) const;
  int hotHalf_ = -1;
};

// ---- Painted scroll bars ----

// A small panel laid over one scroll bar of a control, painting the skin there and
// handing the mouse back to the control, whose own scrolling keeps working. It stands in
// the control's parent, beside the control.
class TWScrollbar : public TPaintedControl {
 public:
  explicit TWScrollbar(TComponent* owner);
  std::string ClassName() const override { return "TWScrollbar"; }
  // mode 0 the window's horizontal bar, 1 its vertical bar, 2 a scroll-bar control.
  void Attach(TSkinControl* skinner, TWinControl* control, unsigned char mode);
  void AttachHwnd(TSkinControl* skinner, HWND wnd, unsigned char mode);
  void SetPosition(HWND wnd);
  void HideScrollbar();
  void Repaint();
  // The scroll code of the part under p (bar coordinates): 0, 1 arrows, 2, 3 pages, 5 thumb.
  int GetScrollPos(POINT p) const;
  bool Shown() const { return shown_ && HandleAllocated(); }
  int HotPart() const { return hot_; }
  void SetHotPart(int part) { hot_ = part; }
  const RECT& BarRect() const { return barRect_; }

 protected:
  DWORD ExStyle() const override { return WS_EX_TOOLWINDOW; }
  LRESULT WndProc(UINT msg, WPARAM w, LPARAM l) override;
  void Paint(HDC dc) override;

 private:
  void PlaceIn(HWND parent);
  bool AboveWindow(HWND wnd) const;
  bool ReadInfo(SCROLLBARINFO& info);
  bool ControlInfo(SCROLLBARINFO& info);
  void GetThumb(int& start, int& end) const;
  void Press(POINT p);
  void Release(POINT p);
  void MouseMove(POINT p);
  POINT ToScreen(POINT p) const;
  int length_ = 0, thumbStart_ = 0, thumbEnd_ = 0, thumbAtPress_ = 0;
  POINT origin_{}, pressPoint_{};
  bool pressed_ = false;
  int orientation_ = 1;
  int hot_ = -1;
  int arrow_ = 0;
  HWND wnd_ = nullptr;
  TSkinControl* skinner_ = nullptr;
  unsigned char mode_ = 0;
  RECT barRect_{};
  bool shown_ = false;
};

// A control's own scroll bars covered by two painted bars.
class TSkinScrollbar : public TSkinControl {
 public:
  using TSkinControl::TSkinControl;
  ~TSkinScrollbar() override;
  std::string ClassName() const override { return "TSkinScrollbar"; }
  virtual void InitScrollbar(TWinControl* control, TSkinData* data, TCanvas* canvas, TSkinControlHost* formSkin);
  bool BeforeProc(TMessage& m) override;
  void AfterProc(TMessage& m) override;
  void DrawControl(HDC dc, const RECT& r) override;
  void Unsubclass() override;
  void SkinChange() override;
  TWScrollbar* HorzBar() const { return bars_[0].get(); }
  TWScrollbar* VertBar() const { return bars_[1].get(); }

 protected:
  void PlaceBars();
  // A grid's headings take the skin's face; their own colour comes back with the skin.
  bool fixedRecoloured_ = false;
  TColor savedFixed_ = 0;
  void PaintBorder(HDC dc);
  std::unique_ptr<TWScrollbar> bars_[2];
  bool drawBorder_ = false;
};

// A list view's bars and its header.
class TSkinListView : public TSkinScrollbar {
 public:
  using TSkinScrollbar::TSkinScrollbar;
  std::string ClassName() const override { return "TSkinListView"; }
  void InitScrollbar(TWinControl* control, TSkinData* data, TCanvas* canvas, TSkinControlHost* formSkin) override;
  TSkinHeader* Header() const { return header_; }

 private:
  TSkinHeader* header_ = nullptr;  // owned by the list view
};

// The bars of a window without a framework object.
class TSkinScrollbarH : public TSkinControl {
 public:
  using TSkinControl::TSkinControl;
  ~TSkinScrollbarH() override;
  std::string ClassName() const override { return "TSkinScrollbarH"; }
  void Inithwnd(HWND wnd, TSkinData* data, TCanvas* canvas, TSkinControlHost* formSkin) override;
  void AfterProc(TMessage& m) override;
  void DrawControl(HDC dc, const RECT& r) override;
  void Unsubclass() override;
  TWScrollbar* HorzBar() const { return bars_[0].get(); }
  TWScrollbar* VertBar() const { return bars_[1].get(); }

 private:
  std::unique_ptr<TWScrollbar> bars_[2];
};

// A scroll-bar control covered by one painted bar.
class TSkinScControl : public TSkinControl {
 public:
  using TSkinControl::TSkinControl;
  ~TSkinScControl() override;
  std::string ClassName() const override { return "TSkinScControl"; }
  void InitScrollbar(TWinControl* control, TSkinData* data, TCanvas* canvas, TSkinControlHost* formSkin);
  void AfterProc(TMessage& m) override;
  void DrawControl(HDC dc, const RECT& r) override;
  void Unsubclass() override;
  TWScrollbar* Bar() const { return bar_.get(); }

 private:
  std::unique_ptr<TWScrollbar> bar_;
};

// The vertical scroll bar of a combo box's drop-down list, painted in its frame.
class TComboxScrollBar : public TSkinControl {
 public:
  using TSkinControl::TSkinControl;
  std::string ClassName() const override { return "TComboxScrollBar"; }
  void Inithwnd(HWND wnd, TSkinData* data, TCanvas* canvas, TSkinControlHost* formSkin) override;
  bool BeforeProc(TMessage& m) override;
  void AfterProc(TMessage& m) override;
  void DrawControl(HDC dc, const RECT& r) override;
  int HotPart() const { return hot_; }

 private:
  bool BarRect(RECT& bar, SCROLLBARINFO& info) const;
  void DragThumb(POINT start);
  void PaintSelection() const;
  int arrow_ = 0;
  int thumbStart_ = 0, thumbEnd_ = 0;
  int hot_ = -1;
};

// The skin's look of one scroll bar of `length` along its axis, drawn into dc at r.
// thumb is the extent {start, end} along the axis; hot the scroll code under the mouse.
void DrawSkinScrollbar(HDC dc, const RECT& r, const TSkinData& data, bool vertical, bool enabled, int thumbStart,
                       int thumbEnd, int hot, bool pressed, int arrow);

// Whether a control scrolls (window scroll bars, or one of the scrolling classes).
bool IsScrollControl(TComponent* c);
