// The skinners of push buttons, check boxes and radio buttons, group boxes, plain
// containers and labels.
#include "skin/WinSubClass.h"

#include <algorithm>

#include "skin/WinSkinForm.h"

// ---- Push buttons ----

namespace {

std::wstring ReplaceBars(std::wstring s) {
  for (size_t i = s.find(L"||"); i != std::wstring::npos; i = s.find(L"||", i + 2)) s.replace(i, 2, L"\r\n");
  return s;
}

}  // namespace

void TSkinButton::Init(TSkinControlHost* formSkin, TSkinData* data, TCanvas* canvas, bool recolour) {
  TSkinControl::Init(formSkin, data, canvas, recolour);
  std::string cls = control_ ? control_->ClassName() : std::string();
  for (char& c : cls) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
  variant_ = cls.rfind("trz", 0) == 0 || cls.rfind("tel", 0) == 0 ? 1 : 0;
  parentBackground_ = ParentBackground(control_, data_);
}

void TSkinButton::SkinChange() {
  parentBackground_ = ParentBackground(control_, data_);
  TSkinControl::SkinChange();
}

bool TSkinButton::BeforeProc(TMessage& m) {
  const bool painted = data_ && data_->Buttons && !EmptyImage(data_->Buttons->Image.get());
  switch (m.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (GetFocus() != wnd_) SetFocus(wnd_);
      Set(scDown, true);
      SetCapture(wnd_);  // the release outside the button must come back here
      PaintControl(0);
      return false;
    case WM_PAINT:
      if (!painted) break;
      WMPaint(m);
      return false;
    case WM_ERASEBKGND:
      if (!painted) break;
      m.Result = 1;
      return false;
    case WM_TIMER:
      if (m.WParam != 1) break;
      ResumeRedraw();
      Invalidate();
      return false;
    case WM_SETTEXT:
      // The system button draws the new caption straight onto the screen.
      if (painted) SuspendRedraw();
      break;
    default:
      break;
  }
  return TSkinControl::BeforeProc(m);
}

void TSkinButton::SuspendRedraw() {
  const LONG style = GetWindowLongW(wnd_, GWL_STYLE);
  if (!(style & WS_VISIBLE)) return;
  SetWindowLongW(wnd_, GWL_STYLE, style & ~WS_VISIBLE);
  redrawSuspended_ = true;
  SetTimer(wnd_, 1, 100, nullptr);
}

void TSkinButton::ResumeRedraw() {
  KillTimer(wnd_, 1);
  if (!redrawSuspended_) return;
  redrawSuspended_ = false;
  SetWindowLongW(wnd_, GWL_STYLE, GetWindowLongW(wnd_, GWL_STYLE) | WS_VISIBLE);
}

void TSkinButton::ClickControl() {
  const int id = GetDlgCtrlID(wnd_);
  PostMessageW(GetParent(wnd_), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(wnd_));
}

void TSkinButton::AfterProc(TMessage& m) {
  switch (m.Msg) {
    case WM_LBUTTONUP:
      if (!Has(scDown)) break;
      Set(scDown, false);
      if (GetCapture() == wnd_) ReleaseCapture();
      Invalidate();
      {
        RECT c;
        GetClientRect(wnd_, &c);
        const POINT p{static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam))};
        if (PtInRect(&c, p)) ClickControl();
      }
      break;
    case WM_MOUSEMOVE:
      if (!Disabled(wnd_) && !Has(scMouseIn)) {
        Set(scMouseIn, true);
        if (formSkin_) formSkin_->SetHotControl(this);
        Invalidate();
      }
      DoTrackMouse(wnd_);
      break;
    case WM_MOUSELEAVE:
    case CM_MOUSELEAVE:  // the form's poll found the pointer gone
      if (formSkin_ && formSkin_->HotControl() == this) formSkin_->SetHotControl(nullptr);
      Set(scMouseIn, false);
      if (GetCapture() != wnd_) Set(scDown, false);
      Invalidate();
      break;
    case WM_KEYDOWN:
    case WM_KEYUP:
      if (m.WParam != VK_SPACE) break;
      Set(scDown, m.Msg == WM_KEYDOWN);
      Invalidate();
      break;
    case WM_SETTEXT:
      ResumeRedraw();
      PaintControl(0);
      break;
    case CM_DIALOGKEY:
    case CM_FOCUSCHANGED:
      Invalidate();
      break;
    default:
      TSkinControl::AfterProc(m);
  }
}

int TSkinButton::Frame() const {
  int f = 1;
  if (GetFocus() == wnd_) f = 5;
  if (Has(scDown)) {
    f = 2;
  } else if (Has(scMouseIn)) {
    f = 4;
  }
  if (Disabled(wnd_)) f = 3;
  return f;
}

void TSkinButton::DrawControl(HDC dc, const RECT& r) {
  const TDataSkinButton* b = data_ ? data_->Buttons.get() : nullptr;
  if (!b || EmptyImage(b->Image.get())) return;
  focused_ = GetFocus() == wnd_;
  enabled_ = !Disabled(wnd_);
  const int frame = Frame();
  work_.SetSize(r.right - r.left, r.bottom - r.top);
  HDC w = work_.Canvas().Handle();
  if (parentBackground_ && control_) {
    DrawParentImage(control_, w, false);
  } else {
    FillBG(w, r);
  }
  DrawSkinMap(w, r, b, frame, b->Frame);
  FontScope font(w, WindowFont());
  TColor text = data_->SchemeColors[csButtonText];
  if (frame == 1 && b->HasNormalColour2) text = b->NormalColour2;
  if (frame == 4 && b->HasMouseOverColour2) text = b->MouseOverColour2;
  if (frame == 2 && b->HasPressedColour2) text = b->PressedColour2;
  if (!enabled_) text = kBtnShadow;
  SetTextColor(w, ColorToRGB(text));
  DrawFace(w, r);
  BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, w, 0, 0, SRCCOPY);
}

void TSkinButton::DrawFace(HDC dc, const RECT& r) { DrawBtnText(dc, r, CaptionText(), DT_CENTER); }

void TSkinButton::DrawBtnText(HDC dc, const RECT& r, const std::wstring& caption, UINT align) const {
  const std::wstring text = ReplaceBars(caption);
  RECT box = r;
  InflateRect(&box, -2, -2);
  const UINT flags = align | DT_WORDBREAK | DT_EXPANDTABS;
  RECT t = box;
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &t, flags | DT_CALCRECT);
  const int tw = t.right - t.left, th = t.bottom - t.top;
  OffsetRect(&t, 0, (box.bottom - box.top - th) / 2 - 1);
  // Drawn across the whole box, aligned there: in a rectangle just the measured width
  // the last character can wrap onto a line out of sight ("是(Y" for "是(Y)").
  RECT line{box.left, t.top, box.right, t.bottom};
  DrawTextOn(dc, text, line, CheckBiDi(flags));
  if (align & DT_CENTER) t.left = box.left + (box.right - box.left - tw) / 2;
  if (align & DT_RIGHT) t.left = box.right - tw;
  t.right = t.left + tw;
  if (focused_ && !InSet(data_->Options, xoMDIChildBorder)) {
    InflateRect(&t, 2, 2);
    DrawFocusRect(dc, &t);
  }
}

// ---- Check boxes and radio buttons ----

void TSkinCheckBox::Init(TSkinControlHost* formSkin, TSkinData* data, TCanvas* canvas, bool recolour) {
  TSkinControl::Init(formSkin, data, canvas, recolour);
  variant_ = control_ && !EmptyImage(GlyphImage()) ? 1 : 0;
  parentBackground_ = ParentBackground(control_, data_);
}

// The new skin may have no glyphs: the box then paints itself, on the skin's face.
void TSkinCheckBox::SkinChange() {
  variant_ = control_ && !EmptyImage(GlyphImage()) ? 1 : 0;
  parentBackground_ = ParentBackground(control_, data_);
  TSkinControl::SkinChange();
}

TBitmap* TSkinCheckBox::GlyphImage() const {
  return data_ && data_->Buttons ? data_->Buttons->CheckButton.get() : nullptr;
}
int TSkinCheckBox::GlyphCount() const { return data_->Buttons->CheckButtonFrame; }
TBitmap* TSkinRadioButton::GlyphImage() const {
  return data_ && data_->Buttons ? data_->Buttons->RadioButton.get() : nullptr;
}
int TSkinRadioButton::GlyphCount() const { return data_->Buttons->RadioButtonFrame; }

bool TSkinCheckBox::BeforeProc(TMessage& m) {
  if (!TSkinControl::BeforeProc(m)) return false;
  if ((m.Msg == WM_PAINT || m.Msg == WM_PRINTCLIENT || m.Msg == WM_PRINT) && variant_ == 1) {
    WMPaint(m);
    return false;
  }
  if (m.Msg == WM_ERASEBKGND && parentBackground_) {
    WMERASEBKGND(m);
    return false;
  }
  return true;
}

void TSkinCheckBox::AfterProc(TMessage& m) {
  switch (m.Msg) {
    case BM_SETCHECK:
      checkState_ = static_cast<int>(m.WParam) + 1;
      Invalidate();
      break;
    case BM_SETSTATE:  // the system button draws its pressed look straight away
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_KEYUP:
    case 0xB0D0:
      Invalidate();
      break;
    default:
      TSkinControl::AfterProc(m);
  }
}

int TSkinCheckBox::Glyph() const {
  const LRESULT state = SendMessageW(wnd_, BM_GETSTATE, 0, 0);
  const bool disabled = Disabled(wnd_);
  const bool grey = (state & BST_INDETERMINATE) != 0;
  int g = (state & BST_CHECKED) ? 2 : 1;
  if (disabled) g += 2;
  if (grey) g = 4;
  // 8 and 12 glyphs keep the unchecked looks in 1-4 and the checked ones in 5-8; only
  // 12 have grey ones.
  static const int wide[] = {0, 1, 5, 4, 8};
  if (GlyphCount() == 12) {
    g = grey ? (disabled ? 12 : 9) : wide[g];
  } else if (GlyphCount() == 8) {
    g = wide[g];
  }
  return g;
}

int TSkinRadioButton::Glyph() const {
  int g = SendMessageW(wnd_, BM_GETCHECK, 0, 0) == BST_CHECKED ? 2 : 1;
  if (Disabled(wnd_)) g += 2;
  if (GlyphCount() == 8) {
    static const int eight[] = {0, 1, 5, 4, 8};
    g = eight[g];
  }
  return g;
}

void TSkinCheckBox::DrawControl(HDC dc, const RECT& r) {
  TBitmap* image = GlyphImage();
  if (EmptyImage(image) || GlyphCount() < 1) {
    variant_ = 0;
    return;
  }
  enabled_ = !Disabled(wnd_);
  const int gw = image->Width() / GlyphCount(), gh = image->Height();
  const bool leftText = (GetWindowLongW(wnd_, GWL_STYLE) & BS_LEFTTEXT) != 0;
  const int top = r.top + (r.bottom - r.top - gh) / 2;
  RECT glyph = leftText ? RECT{r.right - gw, top, r.right, top + gh} : RECT{r.left, top, r.left + gw, top + gh};
  RECT text =
      leftText ? RECT{r.left, r.top, glyph.left - 2, r.bottom} : RECT{glyph.right + 2, r.top, r.right, r.bottom};
  if (variant_ == 1 && !parentBackground_) {
    FillBG(dc, r);
  } else if (control_) {
    DrawParentImage(control_, dc, false);
  } else {
    // A dialog's box: whatever the system drew there itself (it draws a box straight
    // away when checked) goes under the parent's colour.
    FillParentBG(dc, r);
  }
  DrawSkinMap2(dc, glyph, image, Glyph(), GlyphCount());
  FontScope font(dc, WindowFont());
  // A font left at the system's text colour takes the skin's, which suits its face.
  TColor colour = control_ ? control_->Font().Color : clWindowText;
  if (colour == clWindowText) colour = data_->SchemeColors[csButtonText];
  SetTextColor(dc, ColorToRGB(enabled_ ? colour : kBtnShadow));
  const UINT align = (leftText ? DT_RIGHT : 0) | DT_WORDBREAK | DT_EXPANDTABS;
  const std::wstring caption = CaptionText();
  RECT t = text;
  DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &t, align | DT_CALCRECT);
  OffsetRect(&t, 0, (text.bottom - text.top - (t.bottom - t.top)) / 2);
  t.left = text.left;
  t.right = text.right;
  DrawTextOn(dc, caption, t, CheckBiDi(align));
  if (GetFocus() == wnd_) DrawFocus(dc, caption, t, align);
}

// ---- Group boxes and plain containers ----

void TSkinGroupBox::Init(TSkinControlHost* formSkin, TSkinData* data, TCanvas* canvas, bool recolour) {
  TSkinControl::Init(formSkin, data, canvas, recolour);
  variant_ = control_ ? 1 : 0;
}

bool TSkinGroupBox::BeforeProc(TMessage& m) {
  if (!TSkinControl::BeforeProc(m)) return false;
  if (m.Msg == WM_PAINT && variant_ == 1) {
    WMPaint(m);
    return false;
  }
  return true;
}

// The skin's group-box edge when it has one, else an etched line in the skin's shadow
// and highlight colours: the frame follows the skin, never the system's colours.
void TSkinGroupBox::DrawEtched(HDC dc, const RECT& frame) const {
  const TDataSkinObject* edge = data_->GroupBoxEdge.get();
  if (edge && !EmptyImage(edge->Image.get())) {
    const int frames = std::max(edge->Frame, 1);
    DrawRect2(dc, frame, edge->Image.get(), false, edge->Tile == 1, true, frames, 1, edge->Margins());
    return;
  }
  const TColor shadow = data_->SchemeColors[csButtonShadow], light = data_->SchemeColors[csButtonHilight];
  auto box = [dc](const RECT& b, TColor c) {
    FillColor(dc, RECT{b.left, b.top, b.right, b.top + 1}, c);
    FillColor(dc, RECT{b.left, b.bottom - 1, b.right, b.bottom}, c);
    FillColor(dc, RECT{b.left, b.top, b.left + 1, b.bottom}, c);
    FillColor(dc, RECT{b.right - 1, b.top, b.right, b.bottom}, c);
  };
  box(RECT{frame.left + 1, frame.top + 1, frame.right, frame.bottom}, light);
  box(RECT{frame.left, frame.top, frame.right - 1, frame.bottom - 1}, shadow);
}

void TSkinGroupBox::DrawControl(HDC dc, const RECT& r) {
  FillBG(dc, r);
  FontScope font(dc, WindowFont());
  const int h = TextHeight(dc, "0");
  RECT frame = r;
  frame.top += h / 2;
  if (variant_ == 0) InflateRect(&frame, -1, -1);
  DrawEtched(dc, frame);
  const std::wstring caption = CaptionText();
  if (caption.empty()) return;
  RECT t{r.left + 8, r.top, r.right - 8, r.top + h};
  DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &t, DT_SINGLELINE | DT_CALCRECT);
  FillBG(dc, t);
  SetTextColor(dc, ColorToRGB(Disabled(wnd_) ? kBtnShadow : data_->SchemeColors[csButtonText]));
  DrawTextOn(dc, caption, t, CheckBiDi(DT_SINGLELINE));
}

void TSkinBox::Init(TSkinControlHost* formSkin, TSkinData* data, TCanvas* canvas, bool recolour) {
  if (initialised_) return;
  data_ = data;
  canvas_ = canvas;
  formSkin_ = formSkin;
  control_ = dynamic_cast<TControl*>(Owner());
  if (!control_) return;
  wnd_ = control_->Handle();
  if (formSkin_) formSkin_->AddControlList(this);
  recolour_ = recolour;
  if (recolour_) {
    savedColour_ = control_->Color();
    control_->SetColor(Face());
  }
  initialised_ = true;
  stage_ = 1;
}

void TSkinBox::Unsubclass() {
  TSkinControl::Unsubclass();
  stage_ = 2;
}

void TSkinLabel::AfterProc(TMessage& m) {
  if (m.Msg != CN_CTLCOLORSTATIC || !data_) return;
  const auto* label = dynamic_cast<const TLabel*>(control_);
  if (!label || label->Font().Color != clWindowText) return;
  const bool onFace =
      label->Transparent || label->Color() == clBtnFace || ColorToRGB(label->Color()) == ColorToRGB(Face());
  if (onFace) SetTextColor(reinterpret_cast<HDC>(m.WParam), ColorToRGB(data_->SchemeColors[csText]));
}

bool TSkinTransObj::BeforeProc(TMessage& m) {
  if (m.Msg == WM_PAINT && m.WParam) SetBkColor(reinterpret_cast<HDC>(m.WParam), ColorToRGB(Face()));
  if (m.Msg == WM_ERASEBKGND) {
    RECT r;
    GetWindowRect(wnd_, &r);
    FillBG(reinterpret_cast<HDC>(m.WParam), Sized(r));
    m.Result = 1;
    return false;
  }
  return TSkinControl::BeforeProc(m);
}
