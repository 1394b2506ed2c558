#include "classlib/Graphics.h"

#include <cstring>

#include "classlib/Files.h"
#include "classlib/Gbk.h"

// ---- TCanvas ----

TCanvas::~TCanvas() { Restore(); }

void TCanvas::SetHandle(HDC dc) {
  Restore();
  dc_ = dc;
}

// Puts the DC's own objects back and frees ours.
void TCanvas::Restore() {
  if (dc_) {
    if (oldPen_) SelectObject(dc_, oldPen_);
    if (oldBrush_) SelectObject(dc_, oldBrush_);
    if (oldFont_) SelectObject(dc_, oldFont_);
  }
  for (HGDIOBJ o : {pen_, brush_, font_}) {
    if (o) DeleteObject(o);
  }
  pen_ = brush_ = font_ = oldPen_ = oldBrush_ = oldFont_ = nullptr;
}

void TCanvas::SelectPen() {
  HGDIOBJ p = CreatePen(PS_SOLID, Pen.Width, ColorToRGB(Pen.Color));
  HGDIOBJ old = SelectObject(dc_, p);
  if (!oldPen_) oldPen_ = old;
  if (pen_) DeleteObject(pen_);
  pen_ = p;
}

void TCanvas::SelectBrush() {
  HGDIOBJ b = Brush.Clear ? GetStockObject(NULL_BRUSH) : CreateSolidBrush(ColorToRGB(Brush.Color));
  HGDIOBJ old = SelectObject(dc_, b);
  if (!oldBrush_) oldBrush_ = old;
  if (brush_) DeleteObject(brush_);
  brush_ = Brush.Clear ? nullptr : b;
}

void TCanvas::SelectFont() {
  int height = -MulDiv(Font.Size, GetDeviceCaps(dc_, LOGPIXELSY), 72);
  HGDIOBJ f = CreateFontW(height, 0, 0, 0, Font.Bold ? FW_BOLD : FW_NORMAL, Font.Italic, Font.Underline, FALSE,
                          GB2312_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH,
                          gbk::ToWide(Font.Name).c_str());
  HGDIOBJ old = SelectObject(dc_, f);
  if (!oldFont_) oldFont_ = old;
  if (font_) DeleteObject(font_);
  font_ = f;
}

void TCanvas::FillRect(const RECT& r) {
  if (Brush.Clear) return;
  HBRUSH b = CreateSolidBrush(ColorToRGB(Brush.Color));
  ::FillRect(dc_, &r, b);
  DeleteObject(b);
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
  SelectPen();
  SelectBrush();
  ::Rectangle(dc_, x1, y1, x2, y2);
}

void TCanvas::MoveTo(int x, int y) { MoveToEx(dc_, x, y, nullptr); }

void TCanvas::LineTo(int x, int y) {
  SelectPen();
  ::LineTo(dc_, x, y);
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
  SelectFont();
  SetTextColor(dc_, ColorToRGB(Font.Color));
  SetBkMode(dc_, Brush.Clear ? TRANSPARENT : OPAQUE);
  SetBkColor(dc_, ColorToRGB(Brush.Color));
  std::wstring w = gbk::ToWide(text);
  ::TextOutW(dc_, x, y, w.c_str(), static_cast<int>(w.size()));
}

int TCanvas::TextWidth(const std::string& text) {
  SelectFont();
  std::wstring w = gbk::ToWide(text);
  SIZE s{};
  GetTextExtentPoint32W(dc_, w.c_str(), static_cast<int>(w.size()), &s);
  return s.cx;
}

int TCanvas::TextHeight(const std::string& text) {
  SelectFont();
  std::wstring w = gbk::ToWide(text.empty() ? std::string("W") : text);
  SIZE s{};
  GetTextExtentPoint32W(dc_, w.c_str(), static_cast<int>(w.size()), &s);
  return s.cy;
}

void TCanvas::Draw(int x, int y, TBitmap& bmp) {
  if (bmp.Empty()) return;
  BitBlt(dc_, x, y, bmp.Width(), bmp.Height(), bmp.Canvas().Handle(), 0, 0, SRCCOPY);
}

void TCanvas::StretchDraw(const RECT& r, TBitmap& bmp) {
  if (bmp.Empty()) return;
  SetStretchBltMode(dc_, COLORONCOLOR);
  StretchBlt(dc_, r.left, r.top, r.right - r.left, r.bottom - r.top, bmp.Canvas().Handle(), 0, 0, bmp.Width(),
             bmp.Height(), SRCCOPY);
}

// ---- TBitmap ----

TBitmap::~TBitmap() { Free(); }

void TBitmap::Free() {
  canvas_.SetHandle(nullptr);
  if (dc_) {
    SelectObject(dc_, oldBitmap_);
    DeleteDC(dc_);
  }
  if (bitmap_) DeleteObject(bitmap_);
  dc_ = nullptr;
  bitmap_ = nullptr;
  bits_ = nullptr;
  width_ = height_ = 0;
}

void TBitmap::SetSize(int width, int height) {
  Free();
  if (width <= 0 || height <= 0) return;
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;  // top-down
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  bitmap_ = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap_) throw Exception("cannot create a bitmap of " + std::to_string(width) + "x" + std::to_string(height));
  bits_ = static_cast<uint32_t*>(bits);
  width_ = width;
  height_ = height;
  dc_ = CreateCompatibleDC(nullptr);
  oldBitmap_ = SelectObject(dc_, bitmap_);
  canvas_.SetHandle(dc_);
}

TCanvas& TBitmap::Canvas() { return canvas_; }

TColor TBitmap::Pixel(int x, int y) const {
  if (!bits_ || x < 0 || y < 0 || x >= width_ || y >= height_) return clBlack;
  GdiFlush();
  uint32_t p = bits_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)];
  return static_cast<TColor>(((p >> 16) & 0xFF) | (p & 0xFF00) | ((p & 0xFF) << 16));
}

bool TBitmap::LoadFromFile(const std::string& path) {
  std::string data;
  return file::ReadAll(path, data) && LoadFromStream(data);
}

// Checks the headers against the data's size before the system reads the pixels.
bool TBitmap::LoadFromStream(const std::string& data) {
  BITMAPFILEHEADER fh;
  BITMAPINFOHEADER ih;
  if (data.size() < sizeof fh + sizeof ih) return false;
  std::memcpy(&fh, data.data(), sizeof fh);
  std::memcpy(&ih, data.data() + sizeof fh, sizeof ih);
  if (fh.bfType != 0x4D42 || ih.biSize < sizeof ih || fh.bfOffBits >= data.size()) return false;
  if (ih.biWidth <= 0 || ih.biHeight == 0 || ih.biWidth > 16384 || std::abs(ih.biHeight) > 16384) return false;
  const int bpp = ih.biBitCount;
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return false;
  size_t infoEnd = sizeof fh + ih.biSize + (bpp <= 8 ? (ih.biClrUsed ? ih.biClrUsed : (1u << bpp)) * 4 : 0);
  if (ih.biCompression == BI_BITFIELDS) infoEnd += 12;
  if (infoEnd > fh.bfOffBits) return false;
  size_t stride = ((static_cast<size_t>(ih.biWidth) * bpp + 31) / 32) * 4;
  size_t need = ih.biCompression == BI_RGB || ih.biCompression == BI_BITFIELDS
                    ? stride * static_cast<size_t>(std::abs(ih.biHeight))
                    : ih.biSizeImage;
  if (need > data.size() - fh.bfOffBits) return false;
  int w = ih.biWidth, h = std::abs(ih.biHeight);
  SetSize(w, h);
  auto* info = reinterpret_cast<const BITMAPINFO*>(data.data() + sizeof fh);
  int lines = SetDIBitsToDevice(dc_, 0, 0, static_cast<DWORD>(w), static_cast<DWORD>(h), 0, 0, 0, static_cast<UINT>(h),
                                data.data() + fh.bfOffBits, info, DIB_RGB_COLORS);
  if (lines <= 0) {
    Free();
    return false;
  }
  PixelFormat = bpp == 32 ? pf32bit : pf24bit;
  return true;
}
