// Drawing primitives every skinned surface is painted with.
//
// A skin bitmap holds `frames` frames of equal size, side by side or, with `vertical`,
// stacked; frame k counts from 1. Edges are a RECT whose fields are the widths of a
// frame's fixed left, top, right and bottom edges, not coordinates. The key colour of
// every transparent drawing is magenta 0xFF00FF. A frame count below 1 counts as 1 and a
// frame outside 1..frames as the nearest one, so no skin value divides by zero or reads
// outside its bitmap; an empty or nil bitmap draws nothing.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

#include "classlib/Controls.h"
#include "classlib/Graphics.h"

// Nine-part scaling of one frame into a new bitmap of r's size: corners kept, edges
// stretched along, the middle tiled or stretched. Nil when there is nothing to draw.
std::unique_ptr<TBitmap> GetHMap(const RECT& r, TBitmap* source, const RECT& edges, bool vertical, bool tile,
                                 int frames, int frame);
void DrawRect2(HDC dc, const RECT& r, TBitmap* source, bool vertical, bool tile, bool trans, int frames, int frame,
               const RECT& edges);
// The frame (side by side) stretched whole into r.
void DrawRect1(HDC dc, const RECT& r, TBitmap* source, bool trans, int frames, int frame);
// The frame at its natural size, centred in r.
void DrawRect3(HDC dc, const RECT& r, TBitmap* source, bool trans, int frames, int frame);
// Left and right edges stretched only in height, the middle to the rest, straight onto dc.
void DrawRectH(HDC dc, const RECT& r, TBitmap* source, bool vertical, bool unused, int frames, int frame,
               const RECT& edges);
// Left edge, the middle repeated, right edge, all at r's full height.
void DrawRectTile(TCanvas* canvas, const RECT& r, TBitmap* source, bool vertical, bool trans, int frames, int frame,
                  const RECT& edges);
// Tiles the source piece over r, row by row.
void DrawBGbmp(TCanvas* canvas, const RECT& r, TBitmap* source, const RECT& piece);
// The bitmap at r's top-left, r's size, leaving key-coloured pixels of the target alone.
void DrawTranmap(HDC dc, const RECT& r, TBitmap* bitmap, TColor key);
// The region of the pixels outside the key colour's tolerance, moved by (x, y).
HRGN BitmapToRegion(TBitmap* bitmap, int x, int y, TColor key, uint8_t tolRed, uint8_t tolGreen, uint8_t tolBlue);
// Paints the control's parent under the control into dc.
void DrawParentImage(TControl* control, HDC dc, bool unused);
int Min(int a, int b);
// A rectangle's width and height.
inline int Width(const RECT& r) { return r.right - r.left; }
inline int Height(const RECT& r) { return r.bottom - r.top; }
