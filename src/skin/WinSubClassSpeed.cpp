// The skinners of buttons with a glyph (bit buttons and speed buttons) and of menu
// buttons: the push button's face and frames, with the glyph laid out beside the caption
// or a drop-down triangle at the right.
#include <algorithm>

#include "classlib/StrUtils.h"
#include "skin/WinSkinForm.h"
#include "skin/WinSubClass.h"

// ---- Glyph layout ----

namespace {

// The glyph strip of a button that carries one, or nil.
TBitmap* GlyphStrip(TControl* c) {
  TBitmap* g = GetObjProp<TBitmap>(c, "Glyph");
  return g && !g->Empty() ? g : nullptr;
}

int Cells(TControl* c) { return std::max(GetIntProperty(c, "NumGlyphs"), 1); }

// The cell `index` (from 1) of `cells` of a strip, drawn at (x, y) with the colour of
// its lower-left pixel left out.
void DrawGlyph(HDC dc, TBitmap& g, int cells, int index, int x, int y) {
  const int w = g.Width() / cells, h = g.Height();
  if (w <= 0 || h <= 0) return;
  HDC src = g.Canvas().Handle();
  const COLORREF key = GetPixel(src, (index - 1) * w, h - 1);
  TransparentBlt(dc, x, y, w, h, src, (index - 1) * w, 0, w, h, key);
}

TButtonLayout LayoutOf(TControl* c) {
  const std::string l = LowerCase(GetEnumProperty(c, "Layout"));
  return l == "blglyphright"    ? blGlyphRight
         : l == "blglyphtop"    ? blGlyphTop
         : l == "blglyphbottom" ? blGlyphBottom
                                : blGlyphLeft;
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
  const int index = frame == 2 ? 3 : frame == 3 ? 2 : 1;
  return GlyphStrip(control_) && index <= Cells(control_) ? index : 1;
}

// The glyph strip when the button has one, else the image of its list (the disabled
// one while disabled, when it names one), else its picture, else the caption alone.
void TSkinBitButton::DrawFace(HDC dc, const RECT& r) {
  Glyph g;
  if ((g.strip = GlyphStrip(control_))) {
    g.cells = Cells(control_);
    g.cell = GlyphIndex(Frame());
    g.size = SIZE{g.strip->Width() / g.cells, g.strip->Height()};
  } else if ((g.images = GetObjProp<_IMAGELIST>(control_, "Images"))) {
    g.index = GetIntProperty(control_, "ImageIndex");
    const int disabled = GetIntProperty(control_, "DisabledIndex");
    if (Disabled(wnd_) && disabled != -1) g.index = disabled;
    int w = 0, h = 0;
    if (g.index >= 0 && ImageList_GetIconSize(g.images, &w, &h)) g.size = SIZE{w, h};
    if (g.index < 0) g.images = nullptr;
  } else if (TBitmap* picture = GetObjProp<TBitmap>(control_, "Picture"); picture && !picture->Empty()) {
    DrawPicControl(dc, r, *picture);
    return;
  }
  if (!g.strip && !g.images) {
    TSkinButton::DrawFace(dc, r);
    return;
  }
  DrawGlyphFace(dc, r, g);
}

void TSkinBitButton::DrawPicControl(HDC dc, const RECT& r, TBitmap& picture) {
  DrawGlyphFace(dc, r, Glyph{.strip = &picture, .size = SIZE{picture.Width(), picture.Height()}});
}

void TSkinBitButton::DrawGlyphFace(HDC dc, const RECT& r, const Glyph& g) {
  RECT client = r;
  InflateRect(&client, -2, -2);
  const SIZE glyph = g.size;
  const TButtonLayout layout = LayoutOf(control_);
  const bool across = layout == blGlyphLeft || layout == blGlyphRight;
  const std::wstring caption = CaptionText();
  SIZE text{0, 0};
  if (!caption.empty()) {
    RECT t{0, 0, Width(client) - (across ? glyph.cx + 2 : 0), Height(client) - (across ? 0 : glyph.cy + 2)};
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &t, DT_CALCRECT | DT_WORDBREAK);
    text = SIZE{Width(t), Height(t)};
  }
  const bool centred = LowerCase(GetEnumProperty(control_, "Alignment")) == "tacenter";
  const Layout at = LayOut(client, glyph, text, layout, GetIntProperty(control_, "Margin"),
                           GetIntProperty(control_, "Spacing"), centred);
  if (g.strip) {
    DrawGlyph(dc, *g.strip, g.cells, g.cell, at.glyph.left, at.glyph.top);
  } else {
    ImageList_Draw(g.images, g.index, dc, at.glyph.left, at.glyph.top, ILD_TRANSPARENT);
  }
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
    case CM_FOCUSCHANGED:  // a speed button shows no focus
    case CM_ENABLEDCHANGED:
      break;
    default:
      TSkinButton::AfterProc(m);
  }
}
