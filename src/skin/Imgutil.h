// Bitmap and colour utilities the skin engine derives images with.
//
// Pixels are read and written in place in the class library's DIB sections (top-down,
// one 32-bit word a pixel, blue in the low byte); the functions that the skin treats as
// 24-bit set PixelFormat to pf24bit. Colours are red + green * 256 + blue * 65536; only
// Blend and GradFill resolve system colours (top bit set), the others use the low three
// bytes as they are. The key colour is magenta 0xFF00FF.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "classlib/Graphics.h"

// The first pixel row of a bitmap (rows follow each other, Width() words each); nil when
// the bitmap is empty.
uint32_t* PixelRows(const TBitmap& bitmap);
// Makes target an exact copy of source: size, pixels and pixel format.
void CopyBitmap(TBitmap& target, const TBitmap& source);

void ConvertBitmapToGrayscale(TBitmap& bitmap);
// Every pixel that is exactly the key colour takes the colour.
void ChangeTrans(TBitmap& bitmap, TColor colour);
// The key-coloured pixels at either end of each row take the colour of the row's first
// (last) other pixel, and a row all key the nearest other row: a shape's cut corners
// filled square.
void FillKeyFromRows(TBitmap& bitmap);
void SpiegelnHorizontal(TBitmap& bitmap);  // left to right
void SpiegelnVertikal(TBitmap& bitmap);    // top to bottom
void Drehen180Grad(TBitmap& bitmap);
void Drehen90Grad(TBitmap& bitmap);   // clockwise: (x, y) goes to (H - 1 - y, x)
void Drehen270Grad(TBitmap& bitmap);  // counter-clockwise: (x, y) goes to (y, W - 1 - x)
// A counter-clockwise copy of a 24-bit bitmap; nil for any other format.
std::unique_ptr<TBitmap> Rotate90(const TBitmap& bitmap);

// Mixes c1 and c2: p below 100 is a percentage of c1, otherwise a per-mille value.
TColor Blend(TColor c1, TColor c2, int p);
// Direction 1: one-pixel bands moving down; 0: bands moving right. Only the bands inside
// the DC's clip box are painted.
void GradFill(HDC dc, const RECT& r, TColor from, TColor to, int direction);
// The n colours of GradFill's ramp from a to b (COLORREFs). The last 16 ramps are kept,
// filled round-robin, because captions and bars repaint the same gradients over and
// over; the reference stays valid until 16 further ramps have been computed.
const std::vector<COLORREF>& GradRamp(COLORREF a, COLORREF b, int n);
// The saturation on 0 to 255; 200 for a colour whose channels are all below 160.
int GetHSV(TColor colour);
