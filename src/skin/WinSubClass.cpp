#include "skin/WinSubClass.h"

#include <commctrl.h>

#include <algorithm>

#include "classlib/ComCtrls.h"
#include "skin/Imgutil.h"
#include "skin/WinSkinForm.h"

namespace {

const wchar_t kLinkProp[] = L"TorvikSkinLink";

RECT Sized(const RECT& r) { return RECT{0, 0, r.right - r.left, r.bottom - r.top}; }
bool EmptyImage(const TBitmap* b) { return !b || b->Empty() || b->Width() == 0 || b->Height() == 0; }

}  // namespace

// The window's procedure as we took it over, and who answers for the window now. With
// no skinner, the link only passes messages on (another subclass sits above ours).
struct TSkinControl::Link {
  WNDPROC old = nullptr;
  TSkinControl* skinner = nullptr;
};

TSkinControl::TSkinControl(TComponent* control) : TComponent(control) {}

TSkinControl::~TSkinControl() {
  if (control_ && recolour_ && stage_ != 6 && control_->HandleAllocated()) control_->SetColor(savedColour_);
  Detach();
  if (formSkin_) formSkin_->DeleteControl(this);
}

bool TSkinControl::Attach(HWND wnd) {
  auto* link = static_cast<Link*>(GetPropW(wnd, kLinkProp));
  if (link && link->skinner) return false;  // one skinner a window
  if (!link) {
    link = new Link;
    link->old = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(wnd, GWLP_WNDPROC));
    SetPropW(wnd, kLinkProp, link);
    SetWindowLongPtrW(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&LinkProc));
  }
  link->skinner = this;
  link_ = link;
  return true;
}

// Gives the window back. When our procedure is still on top the old one returns; when
// another subclass sits above, the link stays, passing messages on, and the window frees
// it when it goes. A window that is already gone took its property with it.
void TSkinControl::Detach() {
  if (!link_) return;
  Link* link = link_;
  link_ = nullptr;
  if (!IsWindow(wnd_) || GetPropW(wnd_, kLinkProp) != link) {
    delete link;
    return;
  }
  if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(wnd_, GWLP_WNDPROC)) == &LinkProc) {
    SetWindowLongPtrW(wnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(link->old));
    RemovePropW(wnd_, kLinkProp);
    delete link;
  } else {
    link->skinner = nullptr;
  }
}

LRESULT CALLBACK TSkinControl::LinkProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  auto* link = static_cast<Link*>(GetPropW(h, kLinkProp));
  if (!link) return DefWindowProcW(h, msg, w, l);
  if (link->skinner) {
    TMessage m{msg, w, l, 0};
    link->skinner->NewWndProc(m);
    return m.Result;
  }
  WNDPROC old = link->old;
  if (msg == WM_NCDESTROY) {
    RemovePropW(h, kLinkProp);
    delete link;
  }
  return CallWindowProcW(old, h, msg, w, l);
}

void TSkinControl::Init(TSkinControlHost* formSkin, TSkinData* data, TCanvas* canvas, bool recolour) {
  if (initialised_) return;
  recolour_ = recolour;
  data_ = data;
  formSkin_ = formSkin;
  canvas_ = canvas;
  control_ = dynamic_cast<TControl*>(Owner());
  if (!control_) return;
  wnd_ = control_->Handle();
  unicode_ = IsWindowUnicode(wnd_);
  if (!Attach(wnd_)) return;
  if (formSkin_) formSkin_->AddControlList(this);
  if (recolour_) {
    savedColour_ = control_->Color();
    control_->SetColor(Face());
  }
  Invalidate();
  initialised_ = true;
  stage_ = 1;
}

void TSkinControl::Inithwnd(HWND wnd, TSkinData* data, TCanvas* canvas, TSkinControlHost* formSkin) {
  if (initialised_) return;
  data_ = data;
  canvas_ = canvas;
  formSkin_ = formSkin;
  wnd_ = wnd;
  enabled_ = true;
  variant_ = 0;
  unicode_ = IsWindowUnicode(wnd);
  text_ = WindowTextW(wnd);
  if (!Attach(wnd)) return;
  if (formSkin_) formSkin_->AddControlList(this);
  InvalidateRect(wnd, nullptr, TRUE);
  initialised_ = true;
  stage_ = 1;
}

void TSkinControl::Unsubclass() {
  if (recolour_ && control_ && stage_ != 6) control_->SetColor(savedColour_);
}

void TSkinControl::SkinChange() {
  if (recolour_ && control_) control_->SetColor(Face());
  Invalidate();
}

void TSkinControl::NewWndProc(TMessage& m) {
  if (m.Msg == CN_SkinEnable) {
    skinningOn_ = m.WParam > 0;
    if (skinningOn_) {
      Invalidate();
    } else if (wnd_) {
      InvalidateRect(wnd_, nullptr, TRUE);
    }
    return;
  }
  if (!skinningOn_) {
    Default(m);
    return;
  }
  if (BeforeProc(m)) {
    Default(m);
    AfterProc(m);
  }
}

void TSkinControl::Default(TMessage& m) {
  if (!link_) {
    m.Result = wnd_ ? DefWindowProcW(wnd_, m.Msg, m.WParam, m.LParam) : 0;
    return;
  }
  m.Result = CallWindowProcW(link_->old, wnd_, m.Msg, m.WParam, m.LParam);
}

bool TSkinControl::BeforeProc(TMessage& m) {
  switch (m.Msg) {
    case WM_NCDESTROY:
      Default(m);
      skinningOn_ = false;
      stage_ = 6;
      Unsubclass();
      Detach();
      return false;
    case CN_IsSkinned:
      m.Result = 1;
      return false;
    default:
      return true;
  }
}

void TSkinControl::AfterProc(TMessage& m) {
  switch (m.Msg) {
    case WM_PAINT:
      PaintControl(reinterpret_cast<HDC>(m.WParam));
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
    case WM_SETTEXT:
      Invalidate();
      break;
    default:
      break;
  }
}

void TSkinControl::PaintControl(HDC dc) {
  if (!wnd_ || !GetWindowRect(wnd_, &windowRect_)) return;
  const RECT r = Sized(windowRect_);
  if (dc) {
    DrawControl(dc, r);
    return;
  }
  HDC own = GetWindowDC(wnd_);
  DrawControl(own, r);
  ReleaseDC(wnd_, own);
}

void TSkinControl::DrawControl(HDC, const RECT&) {}

void TSkinControl::Invalidate() {
  if (!wnd_) return;
  InvalidateRect(wnd_, nullptr, TRUE);
  UpdateWindow(wnd_);
}

void TSkinControl::MouseLeave() {
  if (wnd_) SendMessageW(wnd_, WM_MOUSELEAVE, 0, 0);
}

// ---- Painting helpers ----

TColor TSkinControl::Face() const { return data_ ? data_->SchemeColors[csButtonFace] : clBtnFace; }

void FillColor(HDC dc, const RECT& r, TColor colour) {
  HBRUSH b = CreateSolidBrush(ColorToRGB(colour));
  FillRect(dc, &r, b);
  DeleteObject(b);
}

void TSkinControl::FillBG(HDC dc, const RECT& r) const { FillColor(dc, r, Face()); }

TColor TSkinControl::GetParentColor(TColor def) const {
  return control_ && control_->Parent() ? control_->Parent()->Color() : def;
}

void TSkinControl::FillParentBG(HDC dc, const RECT& r) const { FillColor(dc, r, GetParentColor(Face())); }

void DrawTextOn(HDC dc, const std::wstring& text, RECT& r, UINT flags) {
  SetBkMode(dc, TRANSPARENT);
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, flags);
}

void TSkinControl::DrawFocus(HDC dc, const std::wstring& text, const RECT& r, UINT flags) const {
  RECT t = r;
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &t, flags | DT_CALCRECT | DT_NOCLIP);
  const int tw = t.right - t.left, th = t.bottom - t.top;
  if (flags & DT_CENTER) {
    OffsetRect(&t, (r.right - r.left - tw) / 2, (r.bottom - r.top - th) / 2 - 1);
  } else if (flags & DT_RIGHT) {
    OffsetRect(&t, r.right - r.left - tw, 0);
  }
  InflateRect(&t, 2, 1);
  RECT clipped;
  if (IntersectRect(&clipped, &t, &r)) DrawFocusRect(dc, &clipped);
}

void TSkinControl::DrawCaption(HDC dc, const RECT& r, const std::wstring& text, bool enabled, UINT align) const {
  const UINT flags = align | DT_EXPANDTABS;
  RECT t = r;
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &t, flags | DT_CALCRECT | DT_NOCLIP);
  const int tw = t.right - t.left, th = t.bottom - t.top;
  OffsetRect(&t, 0, (r.bottom - r.top - th) / 2 - 1);
  if (align == DT_CENTER) {
    OffsetRect(&t, (r.right - r.left - tw) / 2, 0);
  } else {
    t.left = r.left;
    t.right = r.right;
  }
  if (!enabled) SetTextColor(dc, ColorToRGB(static_cast<TColor>(0x80000000 | COLOR_BTNSHADOW)));
  DrawTextOn(dc, text, t, CheckBiDi(flags));
}

void TSkinControl::DrawImgCaption(HDC dc, const RECT& r, UINT align, const std::wstring& text, int index,
                                  HIMAGELIST images) const {
  int iw = 0, ih = 0;
  if (images && index >= 0) ImageList_GetIconSize(images, &iw, &ih);
  if (iw >= r.right - r.left) iw = ih = 0;
  const UINT flags = DT_SINGLELINE | DT_EXPANDTABS | DT_END_ELLIPSIS;
  RECT t = r;
  if (!text.empty()) DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &t, flags | DT_CALCRECT);
  const int tw = text.empty() ? 0 : t.right - t.left, th = t.bottom - t.top;
  const int gap = iw > 0 ? 2 : 0;
  const int w = r.right - r.left;
  int x = align == 1 ? (w - iw - gap - tw) / 2 : align == 2 ? w - iw - gap - tw - 2 : 3;
  x = std::max(x, 1) + r.left;
  if (iw > 0) {
    ImageList_Draw(images, index, dc, x, r.top + (r.bottom - r.top - ih) / 2, ILD_TRANSPARENT);
    x += iw + gap;
  }
  if (!enabled_) SetTextColor(dc, ColorToRGB(static_cast<TColor>(0x80000000 | COLOR_BTNSHADOW)));
  RECT out{x, r.top + (r.bottom - r.top - th) / 2, r.right, r.bottom};
  IntersectRect(&out, &out, &r);
  DrawTextOn(dc, text, out, CheckBiDi(flags));
}

int TextHeight(HDC dc, const std::string& text) {
  SIZE s{};
  GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &s);
  return s.cy;
}

void TSkinControl::DrawSkinMap(HDC dc, const RECT& r, const TDataSkinObject* obj, int frame, int frames) const {
  if (!obj || EmptyImage(obj->Image.get()) || r.right < r.left || r.bottom < r.top) return;
  auto map = GetHMap(Sized(r), obj->Image.get(), obj->Margins(), false, obj->Tile == 1, frames, frame);
  if (!map) return;
  if (obj->Trans == 1) {
    DrawTranmap(dc, r, map.get(), kKeyColour);
  } else {
    BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, map->Canvas().Handle(), 0, 0, SRCCOPY);
  }
}

void DrawSkinMap2(HDC dc, const RECT& r, TBitmap* bmp, int frame, int frames) {
  if (EmptyImage(bmp) || r.right <= r.left || r.bottom <= r.top) return;
  DrawRect1(dc, r, bmp, true, frames, frame);
}

void TSkinControl::WMPaint(const TMessage& m) {
  PAINTSTRUCT ps{};
  HDC dc = reinterpret_cast<HDC>(m.WParam);
  if (!dc) dc = BeginPaint(wnd_, &ps);
  if (GetWindowRect(wnd_, &windowRect_)) DrawControl(dc, Sized(windowRect_));
  if (!m.WParam) EndPaint(wnd_, &ps);
}

void TSkinControl::WMERASEBKGND(TMessage& m) {
  HDC dc = reinterpret_cast<HDC>(m.WParam);
  if (control_) {
    DrawParentImage(control_, dc, false);
  } else {
    RECT r;
    GetClientRect(wnd_, &r);
    FillParentBG(dc, r);
  }
  m.Result = 1;
}

HFONT TSkinControl::WindowFont() const { return reinterpret_cast<HFONT>(SendMessageW(wnd_, WM_GETFONT, 0, 0)); }

std::wstring TSkinControl::CaptionText() const { return WindowTextW(wnd_); }

std::wstring WindowTextW(HWND wnd) {
  const int n = GetWindowTextLengthW(wnd);
  std::wstring s(static_cast<size_t>(n) + 1, L'\0');
  s.resize(static_cast<size_t>(GetWindowTextW(wnd, s.data(), n + 1)));
  return s;
}

void CopyBMP(TBitmap* src, TBitmap* dst) {
  if (!src || !dst) return;
  dst->SetSize(src->Width(), src->Height());
  dst->PixelFormat = src->PixelFormat;
  if (!src->Empty())
    BitBlt(dst->Canvas().Handle(), 0, 0, src->Width(), src->Height(), src->Canvas().Handle(), 0, 0, SRCCOPY);
}

// ---- Push buttons ----

namespace {

bool ParentBackground(const TControl* c, const TSkinData* d) {
  return (c && c->Tag == kParentBackgroundTag) || (d && InSet(d->Options, xoParentBackGround));
}

constexpr TColor kBtnShadow = static_cast<TColor>(0x80000000 | COLOR_BTNSHADOW);

std::wstring ReplaceBars(std::wstring s) {
  for (size_t i = s.find(L"||"); i != std::wstring::npos; i = s.find(L"||", i + 2)) s.replace(i, 2, L"\r\n");
  return s;
}

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

bool Disabled(HWND w) { return (GetWindowLongW(w, GWL_STYLE) & WS_DISABLED) != 0; }

}  // namespace

void TSkinButton::Init(TSkinControlHost* formSkin, TSkinData* data, TCanvas* canvas, bool recolour) {
  TSkinControl::Init(formSkin, data, canvas, recolour);
  std::string cls = control_ ? control_->ClassName() : std::string();
  for (char& c : cls) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
  variant_ = cls.rfind("trz", 0) == 0 || cls.rfind("tel", 0) == 0 ? 1 : 0;
  parentBackground_ = ParentBackground(control_, data_);
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
    default:
      break;
  }
  return TSkinControl::BeforeProc(m);
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
        Invalidate();
      }
      DoTrackMouse(wnd_);
      break;
    case WM_MOUSELEAVE:
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
      PaintControl(0);
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
  DrawBtnText(w, r, CaptionText(), DT_CENTER);
  BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, w, 0, 0, SRCCOPY);
}

void TSkinButton::DrawBtnText(HDC dc, const RECT& r, const std::wstring& caption, UINT align) const {
  const std::wstring text = ReplaceBars(caption);
  RECT box = r;
  InflateRect(&box, -2, -2);
  const UINT flags = align | DT_WORDBREAK | DT_EXPANDTABS;
  RECT t = box;
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &t, flags | DT_CALCRECT);
  const int tw = t.right - t.left, th = t.bottom - t.top;
  OffsetRect(&t, 0, (box.bottom - box.top - th) / 2 - 1);
  if (align & DT_CENTER) {
    t.left = box.left + (box.right - box.left - tw) / 2;
    t.right = t.left + tw;
  }
  DrawTextOn(dc, text, t, CheckBiDi(flags));
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

void TSkinGroupBox::DrawControl(HDC dc, const RECT& r) {
  FillBG(dc, r);
  FontScope font(dc, WindowFont());
  const int h = TextHeight(dc, "0");
  RECT frame = r;
  frame.top += h / 2;
  if (variant_ == 0) InflateRect(&frame, -1, -1);
  DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
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

// ---- Tabs ----

void TSkinTab::Init(TSkinControlHost* formSkin, TSkinData* data, TCanvas* canvas, bool recolour) {
  TSkinControl::Init(formSkin, data, canvas, recolour);
  if (!initialised_) return;
  const LONG style = GetWindowLongW(wnd_, GWL_STYLE);
  if (style & TCS_VERTICAL) {
    position_ = (style & TCS_RIGHT) ? 3 : 2;
  } else {
    position_ = (style & TCS_BOTTOM) ? 1 : 0;
  }
  closeButtons_ = control_ && control_->Tag == kTabCloseTag && dynamic_cast<TPageControl*>(control_);
  inittab();
}

void TSkinTab::SkinChange() {
  TSkinControl::SkinChange();
  inittab();
}

void TSkinTab::inittab() {
  const TDataSkinBorder* tabs = data_ ? data_->Tabs.get() : nullptr;
  tabImage_.SetSize(0, 0);
  paneImage_.SetSize(0, 0);
  if (!tabs) return;
  CopyBMP(tabs->Image.get(), &tabImage_);
  TBitmap* pane = tabs->Style == 1 && data_->TabPane ? data_->TabPane->Image.get() : tabs->Image2.get();
  CopyBMP(pane, &paneImage_);
  tabImage_.PixelFormat = paneImage_.PixelFormat = pf24bit;
  if (position_ == 1) {
    if (!tabImage_.Empty()) SpiegelnVertikal(tabImage_);
    if (!paneImage_.Empty()) SpiegelnVertikal(paneImage_);
  } else if (position_ == 2 && !paneImage_.Empty()) {
    Drehen270Grad(paneImage_);
  } else if (position_ == 3 && !paneImage_.Empty()) {
    Drehen90Grad(paneImage_);
  }
}

bool TSkinTab::BeforeProc(TMessage& m) {
  const bool painted = !EmptyImage(&tabImage_);
  if (m.Msg == WM_PAINT && painted) {
    WMPaint(m);
    return false;
  }
  if (m.Msg == WM_ERASEBKGND && painted) {
    m.Result = 1;
    return false;
  }
  // Only a click on a close box is ours; any other click still turns the page.
  if (m.Msg == WM_LBUTTONDOWN && closeButtons_ &&
      ClickClose(POINT{static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam))})) {
    m.Result = 0;
    return false;
  }
  return TSkinControl::BeforeProc(m);
}

bool TSkinTab::ClickClose(POINT p) {
  for (size_t i = 0; i < closeRects_.size(); ++i) {
    if (!PtInRect(&closeRects_[i], p)) continue;
    HWND form = GetAncestor(wnd_, GA_ROOT);
    const LRESULT answer = SendMessageW(form, CN_TabClose, reinterpret_cast<WPARAM>(wnd_), static_cast<LPARAM>(i));
    auto* pages = dynamic_cast<TPageControl*>(control_);
    if (answer == 0 && pages && static_cast<int>(i) < pages->PageCount()) delete pages->Pages(static_cast<int>(i));
    return true;
  }
  return false;
}

std::wstring TSkinTab::ItemText(int i, int& image) const {
  wchar_t buf[81] = {};
  TCITEMW item{};
  item.mask = TCIF_TEXT | TCIF_IMAGE;
  item.pszText = buf;
  item.cchTextMax = 80;
  SendMessageW(wnd_, TCM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
  image = item.iImage;
  return buf;
}

void TSkinTab::Drawitem(HDC dc, const RECT& r, int state) {
  const TDataSkinBorder& tabs = *data_->Tabs;
  DrawRect2(dc, r, &tabImage_, false, tabs.Tile == 1, tabs.Trans == 1, tabs.Frame, state, tabs.Margins());
}

void TSkinTab::drawCloseBtn(HDC dc, const RECT& r, int index) {
  const RECT box{r.right - 8, r.top + 2, r.right - 2, r.top + 8};
  HPEN pen = CreatePen(PS_SOLID, 1, ColorToRGB(data_->SchemeColors[csButtonText]));
  HGDIOBJ old = SelectObject(dc, pen);
  HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
  Rectangle(dc, box.left, box.top, box.right, box.bottom);
  MoveToEx(dc, box.left + 1, box.top + 1, nullptr);
  LineTo(dc, box.right - 1, box.bottom - 1);
  MoveToEx(dc, box.right - 2, box.top + 1, nullptr);
  LineTo(dc, box.left, box.bottom - 1);
  SelectObject(dc, oldBrush);
  SelectObject(dc, old);
  DeleteObject(pen);
  closeRects_[static_cast<size_t>(index)] = box;
}

void TSkinTab::DrawControl(HDC dc, const RECT& r) {
  if (!data_ || !data_->Tabs || EmptyImage(&tabImage_)) return;
  const TDataSkinBorder& tabs = *data_->Tabs;
  RECT display;
  GetClientRect(wnd_, &display);
  SendMessageW(wnd_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
  InflateRect(&display, 4, 4);
  const int count = static_cast<int>(SendMessageW(wnd_, TCM_GETITEMCOUNT, 0, 0));
  const int current = static_cast<int>(SendMessageW(wnd_, TCM_GETCURFOCUS, 0, 0));
  auto images = reinterpret_cast<HIMAGELIST>(SendMessageW(wnd_, TCM_GETIMAGELIST, 0, 0));
  work_.SetSize(r.right - r.left, r.bottom - r.top);
  work_.PixelFormat = pf24bit;
  HDC w = work_.Canvas().Handle();
  FillParentBG(w, r);
  if (!paneImage_.Empty()) {
    const RECT edges = tabs.Style == 1 && data_->TabPane ? data_->TabPane->Margins() : tabs.Margins();
    DrawRect2(w, display, &paneImage_, false, false, false, 1, 1, edges);
  }
  FontScope font(w, WindowFont());
  closeRects_.assign(static_cast<size_t>(std::max(count, 0)), RECT{});
  enabled_ = !Disabled(wnd_);
  for (int i = 0; i < count; ++i) {
    RECT item{};
    SendMessageW(wnd_, TCM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    OffsetRect(&item, 0, position_ == 1 ? -1 : 1);
    const int state = i == current ? 2 : 1;
    Drawitem(w, item, state);
    if (closeButtons_) drawCloseBtn(w, item, i);
    const TColor given = state == 2 ? tabs.PressedColour : tabs.NormalColour;
    SetTextColor(w, ColorToRGB(given >= 0 ? given : data_->SchemeColors[csButtonText]));
    int image = -1;
    const std::wstring text = ItemText(i, image);
    DrawImgCaption(w, item, 1, text, image, images);
  }
  // The pages are child windows that paint themselves: keep off their area.
  RECT inner = display;
  InflateRect(&inner, -4, -4);
  const int saved = SaveDC(dc);
  ExcludeClipRect(dc, inner.left, inner.top, inner.right, inner.bottom);
  BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, w, 0, 0, SRCCOPY);
  RestoreDC(dc, saved);
}

bool TSkinTabSheet::BeforeProc(TMessage& m) {
  if (!TSkinControl::BeforeProc(m)) return false;
  if (variant_ != 0) return true;
  switch (m.Msg) {
    case WM_PAINT:
    case WM_PRINTCLIENT:
      WMPaint(m);
      return false;
    case WM_ERASEBKGND: {
      RECT r;
      GetClientRect(wnd_, &r);
      FillBG(reinterpret_cast<HDC>(m.WParam), r);
      m.Result = 1;
      return false;
    }
    default:
      return true;
  }
}

void TSkinTabSheet::DrawControl(HDC dc, const RECT& r) { FillBG(dc, r); }

// ---- Edits ----

void TSkinEdit::AfterProc(TMessage& m) {
  switch (m.Msg) {
    case WM_PAINT:
    case WM_NCPAINT:  // the system frame would cover ours otherwise
      PaintControl(m.Msg == WM_PAINT ? reinterpret_cast<HDC>(m.WParam) : nullptr);
      break;
    case CN_PaintInto:
      if (m.LParam != kPaintIntoTag || !m.WParam) break;
      PaintControl(reinterpret_cast<HDC>(m.WParam));
      m.Result = kPaintIntoTag;
      break;
    default:
      TSkinControl::AfterProc(m);
  }
}

void TSkinEdit::DrawControl(HDC dc, const RECT& r) {
  RECT client;
  GetClientRect(wnd_, &client);
  if (r.right - r.left <= client.right && r.bottom - r.top <= client.bottom) return;  // no border
  RECT f = r;
  const TColor colours[] = {data_->SchemeColors[csButtonShadow], clWhite, clWhite};
  for (TColor c : colours) {
    HBRUSH b = CreateSolidBrush(ColorToRGB(c));
    FrameRect(dc, &f, b);
    DeleteObject(b);
    InflateRect(&f, -1, -1);
  }
}

// ---- Headers ----

bool TSkinHeader::Painted() const { return data_ && data_->Headerbar && !EmptyImage(data_->Headerbar->Image.get()); }

bool TSkinHeader::BeforeProc(TMessage& m) {
  if (m.Msg == WM_PAINT && Painted()) {
    WMPaint(m);
    return false;
  }
  if (m.Msg == WM_ERASEBKGND && Painted()) {
    m.Result = 1;
    return false;
  }
  return TSkinControl::BeforeProc(m);
}

void TSkinHeader::AfterProc(TMessage& m) {
  if (m.Msg == WM_MOUSEMOVE) {
    const POINT p{static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam))};
    int hot = -1;
    for (size_t i = 0; i < items_.size(); ++i) {
      if (PtInRect(&items_[i], p)) hot = static_cast<int>(i);
    }
    if (hot != hot_) {
      hot_ = hot;
      Invalidate();
    }
    DoTrackMouse(wnd_);
    return;
  }
  if (m.Msg == WM_MOUSELEAVE) {
    hot_ = -1;
    Invalidate();
  }
  TSkinControl::AfterProc(m);
}

void TSkinHeader::DrawItem(HDC dc, int index, const RECT& r, HIMAGELIST images) {
  const TDataSkinObject& bar = *data_->Headerbar;
  wchar_t buf[201] = {};
  HDITEMW item{};
  item.mask = HDI_TEXT | HDI_FORMAT | HDI_IMAGE;
  item.pszText = buf;
  item.cchTextMax = 200;
  SendMessageW(wnd_, HDM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
  DrawRect2(dc, r, bar.Image.get(), false, bar.Tile == 1, bar.Trans == 1, bar.Frame, index == hot_ ? 2 : 1,
            bar.Margins());
  const UINT align = (item.fmt & HDF_JUSTIFYMASK) == HDF_CENTER ? 1 : (item.fmt & HDF_JUSTIFYMASK) == HDF_RIGHT ? 2 : 0;
  DrawImgCaption(dc, r, align, buf, (item.mask & HDI_IMAGE) && images ? item.iImage : -1, images);
}

void TSkinHeader::DrawControl(HDC dc, const RECT& r) {
  if (!Painted()) return;
  const TDataSkinObject& bar = *data_->Headerbar;
  work_.SetSize(r.right - r.left, r.bottom - r.top);
  HDC w = work_.Canvas().Handle();
  FontScope font(w, WindowFont());
  SetTextColor(w, ColorToRGB(data_->SchemeColors[csButtonText]));
  enabled_ = !Disabled(wnd_);
  auto images = reinterpret_cast<HIMAGELIST>(SendMessageW(wnd_, HDM_GETIMAGELIST, 0, 0));
  const int count = std::max(0, static_cast<int>(SendMessageW(wnd_, HDM_GETITEMCOUNT, 0, 0)));
  items_.assign(static_cast<size_t>(count), RECT{});
  int right = r.left;
  for (int i = 0; i < count; ++i) {
    SendMessageW(wnd_, HDM_GETITEMRECT, static_cast<WPARAM>(i),
                 reinterpret_cast<LPARAM>(&items_[static_cast<size_t>(i)]));
    DrawItem(w, i, items_[static_cast<size_t>(i)], images);
    right = std::max(right, static_cast<int>(items_[static_cast<size_t>(i)].right));
  }
  if (right < r.right) {
    DrawRect2(w, RECT{right, r.top, r.right, r.bottom}, bar.Image.get(), false, bar.Tile == 1, false, bar.Frame, 1,
              bar.Margins());
  }
  BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, w, 0, 0, SRCCOPY);
}
