#include "skin/BitmapPixels.h"

// GDI+ needs the COM declarations that WIN32_LEAN_AND_MEAN leaves out.
#include <objidl.h>
// (before this header, which lacks them)
#include <gdiplus.h>

#include "classlib/Gbk.h"

namespace skintest {

bool SavePng(const TBitmap& bitmap, const std::string& path) {
  Gdiplus::GdiplusStartupInput in;
  ULONG_PTR token = 0;
  if (Gdiplus::GdiplusStartup(&token, &in, nullptr) != Gdiplus::Ok) return false;
  // The PNG encoder's class id, as GDI+ registers it.
  const CLSID png = {0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
  Gdiplus::Bitmap* image = Gdiplus::Bitmap::FromHBITMAP(bitmap.Handle(), nullptr);
  bool ok = image && image->Save(gbk::ToWide(path).c_str(), &png, nullptr) == Gdiplus::Ok;
  delete image;
  Gdiplus::GdiplusShutdown(token);
  return ok;
}

}  // namespace skintest
