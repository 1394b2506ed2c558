// The skinners of buttons with a glyph (bit buttons and speed buttons) and of menu
// buttons: the push button's face and frames, with the glyph laid out beside the caption
// or a drop-down triangle at the right.
#include <algorithm>

#include "skin/WinSkinForm.h"
#include "skin/WinSubClass.h"

// ---- Glyph layout ----

namespace {

// The glyph of a button that carries one, or nil.
const TBitBtn* GlyphButton(const TControl* c) {
  auto* b = dynamic_cast<const TBitBtn*>(c);
  return b && !b->Glyph.Empty() ? b : nullptr;
}

int Cells(const TBitBtn& b) { return std::max(b.NumGlyphs, 1); }

// The cell `index` (from 1) of the glyph, drawn at (x, y) with the colour of its
// lower-left pixel left out.
void DrawGlyph(HDC dc, const TBitBtn& b, int index, int x, int y) {
  TBitmap& g = const_cast<TBitmap&>(b.Glyph);
  const int w = g.Width() / Cells(b), h = g.Height();
  if (w <= 0 || h <= 0) return;
  HDC src = g.Canvas().Handle();
  const COLORREF key = GetPixel(src, (index - 1) * w, h - 1);
  TransparentBlt(dc, x, y, w, h, src, (index - 1) * w, 0, w, h, key);
}

}  // namespace

TSkinBitButton::Layout TSkinBitButton::LayOut(const RECT& client, SIZE glyph, SIZE text, TButtonLayout layout,
                                              int margin, int spacing, bool centred) {
  if (glyph.cx == 0 || text.cx == 0) spacing = 0;
  const bool across = layout == blGlyphLeft || layout == blGlyphRight;  // glyph and caption side by side
  const int size = across ? Width(client) : Height(client);
  const int g = across ? glyph.cx : glyph.cy, t = across ? text.cx : text.cy;
  if (margin != -1 && !centred) {
    if (spacing == -1) spacing = (size - margin - g - t) / 2;
  } else if (spacing != -1) {
    margin = (size - (g + spacing + t)) / 2;
  } else {
    margin = spacing = (size - g - t) / 3;
  }
  const bool glyphFirst = layout == blGlyphLeft || layout == blGlyphTop;
  const int gAt = glyphFirst ? margin : size - margin - g;
  const int tAt = glyphFirst ? gAt + g + spacing : gAt - spacing - t;
  Layout out;
  out.flags = DT_WORDBREAK | (layout == blGlyphRight ? DT_RIGHT : 0) | (across ? 0 : DT_CENTER);
  if (across) {
    const int gy = (Height(client) - glyph.cy + 1) / 2, ty = (Height(client) - text.cy + 1) / 2;
    out.glyph = RECT{client.left + gAt, client.top + gy, client.left + gAt + glyph.cx, client.top + gy + glyph.cy};
    out.text = RECT{client.left + tAt, client.top + ty, client.left + tAt + text.cx, client.top + ty + text.cy};
  } else {
    const int gx = (Width(client) - glyph.cx + 1) / 2, tx = (Width(client) - text.cx + 1) / 2;
    out.glyph = RECT{client.left + gx, client.top + gAt, client.left + gx + glyph.cx, client.top + gAt + glyph.cy};
    out.text = RECT{client.left + tx, client.top + tAt, client.left + tx + text.cx, client.top + tAt + text.cy};
  }
  return out;
}

int TSkinBitButton::GlyphIndex(int frame) const {
  const TBitBtn* b = GlyphButton(control_);
  const int index = frame == 2 ? 3 : frame == 3 ? 2 : 1;
  return b && index <= Cells(*b) ? index : 1;
}

void TSkinBitButton::DrawFace(HDC dc, const RECT& r) {
  const TBitBtn* b = GlyphButton(control_);
  if (!b) {
    TSkinButton::DrawFace(dc, r);
    return;
  }
  RECT client = r;
  InflateRect(&client, -2, -2);
  const SIZE glyph{b->Glyph.Width() / Cells(*b), b->Glyph.Height()};
  const bool across = b->Layout == blGlyphLeft || b->Layout == blGlyphRight;
  const std::wstring caption = CaptionText();
  SIZE text{0, 0};
  if (!caption.empty()) {
    RECT t{0, 0, Width(client) - (across ? glyph.cx + 2 : 0), Height(client) - (across ? 0 : glyph.cy + 2)};
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &t, DT_CALCRECT | DT_WORDBREAK);
    text = SIZE{Width(t), Height(t)};
  }
  const Layout at = LayOut(client, glyph, text, b->Layout, b->Margin, b->Spacing, false);
  DrawGlyph(dc, *b, GlyphIndex(Frame()), at.glyph.left, at.glyph.top);
  if (caption.empty()) return;
  RECT box = at.text;
  InflateRect(&box, 2, 2);  // DrawBtnText takes the face and keeps 2 pixels off it
  DrawBtnText(dc, box, caption, at.flags & (DT_RIGHT | DT_CENTER));
}

// ---- Menu buttons ----

void TSkinMenuButton::DrawFace(HDC dc, const RECT& r) {
  RECT face = r;
  face.right -= 12;  // the triangle's column
  DrawBtnText(dc, face, CaptionText(), DT_CENTER);
  const int x = r.right - 12, y = r.top + Height(r) / 2 - 2;
  const POINT tri[] = {{x, y}, {x + 7, y}, {x + 3, y + 4}};
  const COLORREF c = ColorToRGB(Disabled(wnd_) ? kBtnShadow : clWindowText);
  HBRUSH brush = CreateSolidBrush(c);
  HPEN pen = CreatePen(PS_SOLID, 1, c);
  HGDIOBJ oldBrush = SelectObject(dc, brush), oldPen = SelectObject(dc, pen);
  Polygon(dc, tri, 3);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  DeleteObject(brush);
  DeleteObject(pen);
}

// ---- Speed buttons ----

int TSkinSpeedButton::Frame() const {
  if (Disabled(wnd_)) return 3;
  if (Has(scDown)) return 2;
  return Has(scMouseIn) ? 4 : 1;
}

bool TSkinSpeedButton::BeforeProc(TMessage& m) {
  switch (m.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      Default(m);  // the button keeps its own press and click
      Set(scDown, true);
      PaintControl(0);
      return false;
    case WM_LBUTTONUP:
      return TSkinControl::BeforeProc(m);
    default:
      return TSkinButton::BeforeProc(m);
  }
}

void TSkinSpeedButton::AfterProc(TMessage& m) {
  switch (m.Msg) {
    case WM_LBUTTONUP:
      Set(scDown, false);
      PaintControl(0);
      break;
    // The system button draws these changes straight onto the screen: cover them at once.
    case BM_SETSTATE:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      PaintControl(0);
      break;
    default:
      TSkinButton::AfterProc(m);
  }
}
