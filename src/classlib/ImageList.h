// A list of same-sized images over a comctl32 image list, for tree views and menus.
//
// Images come from a bitmap strip: square images side by side, one colour showing
// through. The list owns its handle; controls given it only borrow it.
#pragma once

#include <windows.h>
// after <windows.h>
#include <commctrl.h>

class TBitmap;

class TImageList {
 public:
  explicit TImageList(int width = 16, int height = 16);
  ~TImageList();
  TImageList(const TImageList&) = delete;
  TImageList& operator=(const TImageList&) = delete;
  HIMAGELIST Handle() const { return handle_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  int Count() const;
  // Adds each image of the module's bitmap resource `name`, `mask` showing through;
  // false when the resource is missing.
  bool AddStrip(const wchar_t* name, COLORREF mask);
  // Adds each image of a strip drawn in memory.
  bool AddStrip(TBitmap& strip, COLORREF mask);
  // Draws image `index` at (x, y), its transparent part left as it is; a disabled image
  // is drawn shaded.
  void Draw(HDC dc, int x, int y, int index, bool enabled = true) const;
  // The opaque part of image `index` painted in one colour (a glyph that must follow the
  // text colour).
  void DrawShape(HDC dc, int x, int y, int index, COLORREF colour) const;

 private:
  int width_, height_;
  HIMAGELIST handle_;
};
