// The skinners' drawing helpers: captions with and without an image, skin frames built
// into a bitmap or the window's shared paint buffer, frames of plain bitmaps, arrows.
#include <algorithm>

#include "skin/WinSkinForm.h"
#include "skin/WinSubClass.h"

namespace {

bool EmptyRect(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

UINT AlignFlags(TAlignment a) { return a == taRightJustify ? DT_RIGHT : a == taCenter ? DT_CENTER : 0; }

COLORREF Shadow() { return ColorToRGB(kBtnShadow); }

}  // namespace

UINT TSkinControl::CheckBiDi(UINT flags) const {
  const auto ex = wnd_ ? GetWindowLongW(wnd_, GWL_EXSTYLE) : 0;
  return ex & (WS_EX_RTLREADING | WS_EX_LAYOUTRTL) ? flags | DT_RTLREADING : flags;
}

// ---- Skin frames into bitmaps ----

void TSkinControl::DrawBMPSkin(TBitmap* target, const RECT& r, const TDataSkinObject* obj, int frame, int frames,
                               int trans) const {
  if (!target || !obj || EmptyImage(obj->Image.get()) || EmptyRect(r)) return;
  const RECT at = Sized(r);
  if (target->Width() < at.right || target->Height() < at.bottom)
    target->SetSize(std::max<int>(target->Width(), at.right), std::max<int>(target->Height(), at.bottom));
  auto map = GetHMap(at, obj->Image.get(), obj->Margins(), false, obj->Tile == 1, frames, frame);
  HDC dc = target->Canvas().Handle();
  FillBG(dc, at);
  if (!map) return;
  if (trans == 1) {
    DrawTranmap(dc, at, map.get(), kKeyColour);
  } else {
    BitBlt(dc, 0, 0, at.right, at.bottom, map->Canvas().Handle(), 0, 0, SRCCOPY);
  }
}

TBitmap& TSkinControl::PaintBuffer() { return formSkin_ ? formSkin_->PaintBuffer() : ownBuffer_; }

void TSkinControl::DrawSkin(const RECT& r, const TDataSkinObject* obj, int frame, int frames, int trans) {
  DrawBMPSkin(&PaintBuffer(), r, obj, frame, frames, trans);
}

void TSkinControl::DrawBuf(HDC dc, const RECT& r) {
  TBitmap& b = PaintBuffer();
  if (b.Empty() || EmptyRect(r)) return;
  BitBlt(dc, r.left, r.top, Width(r), Height(r), b.Canvas().Handle(), 0, 0, SRCCOPY);
}

// ---- Frames of plain bitmaps ----

void DrawSkinMap1(HDC dc, const RECT& r, TBitmap* bmp, int frame, int frames) {
  if (EmptyImage(bmp) || EmptyRect(r)) return;
  DrawRect1(dc, r, bmp, true, frames, frame);
}

void DrawSkinMap3(TCanvas* canvas, const RECT& r, TBitmap* bmp, int frame, int frames) {
  if (canvas) DrawSkinMap1(canvas->Handle(), r, bmp, frame, frames);
}

// ---- Captions ----

void MyDrawCaption(TCanvas* canvas, const RECT& r, const std::wstring& text, bool enabled, TAlignment align) {
  if (!canvas || !canvas->Handle()) return;
  HDC dc = canvas->Handle();
  const UINT flags = AlignFlags(align) | DT_SINGLELINE | DT_EXPANDTABS;
  RECT t = r;
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &t, flags | DT_CALCRECT | DT_NOCLIP);
  OffsetRect(&t, 0, (Height(r) - Height(t)) / 2 - 1);
  t.left = r.left;
  t.right = r.right;
  if (!enabled) SetTextColor(dc, Shadow());
  DrawTextOn(dc, text, t, flags);
}

void ImgCaption(HDC dc, const RECT& r, UINT align, const std::wstring& text, int index, HIMAGELIST images, bool enabled,
                UINT extra) {
  int iw = 0, ih = 0;
  if (images && index >= 0) ImageList_GetIconSize(images, &iw, &ih);
  if (iw >= Width(r)) iw = ih = 0;
  const UINT flags = DT_SINGLELINE | DT_EXPANDTABS | DT_END_ELLIPSIS;
  RECT t = r;
  if (!text.empty()) DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &t, flags | DT_CALCRECT);
  const int tw = text.empty() ? 0 : Width(t), th = Height(t);
  const int gap = iw > 0 ? 2 : 0;
  int x = align == 1 ? (Width(r) - iw - gap - tw) / 2 : align == 2 ? Width(r) - iw - gap - tw - 2 : 3;
  x = std::max(x, 1) + r.left;
  if (iw > 0) {
    ImageList_Draw(images, index, dc, x, r.top + (Height(r) - ih) / 2, ILD_TRANSPARENT);
    x += iw + gap;
  }
  if (!enabled) SetTextColor(dc, Shadow());
  RECT out{x, r.top + (Height(r) - th) / 2, r.right, r.bottom};
  IntersectRect(&out, &out, &r);
  DrawTextOn(dc, text, out, flags | extra);
}

void MyDrawImgCaption(TCanvas* canvas, const RECT& r, HIMAGELIST images, int index, const std::wstring& text,
                      bool enabled, TAlignment align) {
  if (!canvas || !canvas->Handle()) return;
  const UINT a = align == taCenter ? 1 : align == taRightJustify ? 2 : 0;
  ImgCaption(canvas->Handle(), r, a, text, index, images, enabled, 0);
}

// ---- Arrows ----

// Four lines, each one shorter on both ends: a filled triangle 7 pixels wide.
void DrawArrow(TCanvas* canvas, int x, int y, int direction) {
  if (!canvas || !canvas->Handle()) return;
  for (int i = 0; i < 4; ++i) {
    switch (direction) {
      case 0:  // up: the point at the top
        canvas->MoveTo(x + 3 - i, y + i);
        canvas->LineTo(x + 4 + i, y + i);
        break;
      case 1:  // down
        canvas->MoveTo(x + i, y + i);
        canvas->LineTo(x + 7 - i, y + i);
        break;
      case 2:  // left: the point at the left
        canvas->MoveTo(x + i, y + 3 - i);
        canvas->LineTo(x + i, y + 4 + i);
        break;
      default:  // right
        canvas->MoveTo(x + i, y + i);
        canvas->LineTo(x + i, y + 7 - i);
        break;
    }
  }
}
