// Drawing: a canvas over a device context and bitmaps held as DIB sections (Win32 only).
#pragma once

#include "classlib/Controls.h"

#undef TextOut  // the system function's macro would rename our member

class TBitmap;

struct TBrush {
  TColor Color = clWhite;
  bool Clear = false;  // hollow: shapes are not filled
};

struct TPen {
  TColor Color = clBlack;
  int Width = 1;
};

// Draws on a DC it does not own. Brush, Pen and Font are applied at each call, so they
// may be changed freely between calls.
class TCanvas {
 public:
  explicit TCanvas(HDC dc = nullptr) : dc_(dc) {}
  ~TCanvas();
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;
  HDC Handle() const { return dc_; }
  void SetHandle(HDC dc);

  TBrush Brush;
  TPen Pen;
  TFont Font;

  void FillRect(const RECT& r);
  void Rectangle(int x1, int y1, int x2, int y2);
  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  void TextOut(int x, int y, const std::string& text);  // background per Brush
  int TextWidth(const std::string& text);
  int TextHeight(const std::string& text);
  void Draw(int x, int y, TBitmap& bmp);
  void StretchDraw(const RECT& r, TBitmap& bmp);
  TColor Pixel(int x, int y) const { return static_cast<TColor>(GetPixel(dc_, x, y)); }
  void SetPixel(int x, int y, TColor c) { ::SetPixel(dc_, x, y, ColorToRGB(c)); }

 private:
  void SelectPen();
  void SelectBrush();
  void SelectFont();
  void Restore();
  HDC dc_;
  HGDIOBJ pen_ = nullptr, brush_ = nullptr, font_ = nullptr;  // ours, selected
  HGDIOBJ oldPen_ = nullptr, oldBrush_ = nullptr, oldFont_ = nullptr;
};

enum TPixelFormat { pf24bit, pf32bit };

// A top-down DIB section with its own memory DC for the canvas.
class TBitmap {
 public:
  TBitmap() = default;
  ~TBitmap();
  TBitmap(const TBitmap&) = delete;
  TBitmap& operator=(const TBitmap&) = delete;
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetSize(int width, int height);  // contents are cleared to black
  HBITMAP Handle() const { return bitmap_; }
  TCanvas& Canvas();
  bool Empty() const { return !bitmap_; }
  TPixelFormat PixelFormat = pf32bit;
  // Reads a BMP file (1 to 32 bits a pixel, uncompressed or RLE); false when it is not one.
  bool LoadFromFile(const std::string& path);
  bool LoadFromStream(const std::string& data);
  // The pixel at (x, y) as a colour value; no bounds check beyond the size.
  TColor Pixel(int x, int y) const;

 private:
  void Free();
  int width_ = 0, height_ = 0;
  HBITMAP bitmap_ = nullptr;
  HDC dc_ = nullptr;
  HGDIOBJ oldBitmap_ = nullptr;
  uint32_t* bits_ = nullptr;
  TCanvas canvas_;
};
