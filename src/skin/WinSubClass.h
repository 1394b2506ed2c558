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
#include "classlib/Graphics.h"
#include "classlib/MPlayer.h"
#include "skin/WinSkinData.h"
#include "skin/WinSkinFrame.h"

enum TSkinControlState { scMouseIn, scDown };
using TSkinControlStates = uint8_t;

// The engine's private messages that the skinners send and answer.
constexpr UINT CN_SkinEnable = 0x3506;  // wParam > 0: skin on; 0: the control paints itself
constexpr UINT CN_TabClose = 0x3507;    // wParam the tab control, lParam the tab; 0 frees the page
constexpr UINT CN_PaintInto = 0xBC4A;   // wParam a DC, lParam kPaintIntoTag: paint the edit into it
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

  void NewWndProc(TMessage& m);
  void Default(TMessage& m);
  void Invalidate();
  void MouseLeave();

  HWND Window() const { return wnd_; }
  TControl* Control() const { return control_; }
  int Stage() const { return stage_; }
  bool SkinningOn() const { return skinningOn_; }
  int Variant() const { return variant_; }
  TSkinControlStates States() const { return states_; }

 protected:
  bool Has(TSkinControlState s) const { return InSet(states_, s); }
  void Set(TSkinControlState s, bool on) { states_ = WithElement(states_, s, on); }
  TColor Face() const;
  void FillBG(HDC dc, const RECT& r) const;
  TColor GetParentColor(TColor def) const;
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

void FillColor(HDC dc, const RECT& r, TColor colour);
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

 protected:
  // What stands on the button face: the caption; the work DC has the font and colour.
  virtual void DrawFace(HDC dc, const RECT& r);
  void DrawBtnText(HDC dc, const RECT& r, const std::wstring& caption, UINT align) const;
  void ClickControl();
  TBitmap work_;
  bool parentBackground_ = false;
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

// A control that only needs the skin's background under it.
class TSkinTransObj : public TSkinControl {
 public:
  using TSkinControl::TSkinControl;
  std::string ClassName() const override { return "TSkinTransObj"; }
  bool BeforeProc(TMessage& m) override;
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
  void DrawControl(HDC dc, const RECT& r) override;
  int Position() const { return position_; }
  const std::vector<RECT>& CloseRects() const { return closeRects_; }

 private:
  void Setup();
  bool FindScroll();
  void ClipUpdown(HDC dc);
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

// A track bar: the channel and the thumb from the skin, over the control's own ticks.
class TSkinTrackBar : public TSkinControl {
 public:
  using TSkinControl::TSkinControl;
  std::string ClassName() const override { return "TSkinTrackBar"; }
  void AfterProc(TMessage& m) override;
  void DrawControl(HDC dc, const RECT& r) override;
  void SkinChange() override;

 private:
  void DrawTrack(HDC dc);
  void Drawthumb(HDC dc);
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

class TSkinEdit : public TSkinControl {
 public:
  using TSkinControl::TSkinControl;
  std::string ClassName() const override { return "TSkinEdit"; }
  void AfterProc(TMessage& m) override;
  void DrawControl(HDC dc, const RECT& r) override;
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
