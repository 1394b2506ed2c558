#include "classlib/ImageList.h"

#include "classlib/Graphics.h"

TImageList::TImageList(int width, int height)
    : width_(width), height_(height), handle_(ImageList_Create(width, height, ILC_COLOR24 | ILC_MASK, 4, 4)) {}

TImageList::~TImageList() {
  if (handle_) ImageList_Destroy(handle_);
}

int TImageList::Count() const { return handle_ ? ImageList_GetImageCount(handle_) : 0; }

bool TImageList::AddStrip(const wchar_t* name, COLORREF mask) {
  auto strip =
      static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (!strip) return false;
  const bool added = ImageList_AddMasked(handle_, strip, mask) >= 0;
  DeleteObject(strip);
  return added;
}

// The strip's own bitmap stays selected into its canvas, where the list cannot take it:
// a copy goes in.
bool TImageList::AddStrip(TBitmap& strip, COLORREF mask) {
  if (strip.Empty()) return false;
  HDC screen = GetDC(nullptr);
  HBITMAP copy = CreateCompatibleBitmap(screen, strip.Width(), strip.Height());
  HDC dc = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(dc, copy);
  BitBlt(dc, 0, 0, strip.Width(), strip.Height(), strip.Canvas().Handle(), 0, 0, SRCCOPY);
  SelectObject(dc, old);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  const bool added = ImageList_AddMasked(handle_, copy, mask) >= 0;
  DeleteObject(copy);
  return added;
}

void TImageList::Draw(HDC dc, int x, int y, int index, bool enabled) const {
  if (index < 0 || index >= Count()) return;
  if (enabled) {
    ImageList_Draw(handle_, index, dc, x, y, ILD_TRANSPARENT);
    return;
  }
  DrawShape(dc, x, y, index, GetSysColor(COLOR_GRAYTEXT));
}

// The mask, drawn on white, is black where the image is opaque: those pixels take the
// colour. (The list keeps its mask bitmap selected, so it is drawn rather than read.)
void TImageList::DrawShape(HDC dc, int x, int y, int index, COLORREF colour) const {
  if (index < 0 || index >= Count()) return;
  TBitmap mask;
  mask.SetSize(width_, height_);
  mask.Canvas().Brush.Color = clWhite;
  mask.Canvas().FillRect(RECT{0, 0, width_, height_});
  ImageList_Draw(handle_, index, mask.Canvas().Handle(), 0, 0, ILD_MASK);
  for (int row = 0; row < height_; ++row) {
    for (int col = 0; col < width_; ++col) {
      if ((static_cast<COLORREF>(mask.Pixel(col, row)) & 0xFFFFFF) != RGB(255, 255, 255))
        SetPixelV(dc, x + col, y + row, colour);
    }
  }
}
