#include "skin/Imgutil.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

constexpr uint32_t kKeyPixel = 0xFF00FF;  // magenta as a pixel word (0x00RRGGBB)

uint32_t PixelOf(TColor c) {
  const uint32_t v = static_cast<uint32_t>(c);
  return ((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF);
}

size_t PixelCount(const TBitmap& b) { return static_cast<size_t>(b.Width()) * static_cast<size_t>(b.Height()); }

// Builds a new image of the given size from the old pixels through map(x, y) -> index in
// the new image, then takes it over.
template <class Map>
void Remap(TBitmap& bitmap, int newWidth, int newHeight, Map map) {
  uint32_t* old = PixelRows(bitmap);
  if (!old) return;
  std::vector<uint32_t> pixels(PixelCount(bitmap));
  const int w = bitmap.Width(), h = bitmap.Height();
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) pixels[map(x, y)] = old[static_cast<size_t>(y) * w + x];
  }
  const TPixelFormat format = bitmap.PixelFormat;
  if (newWidth != w) bitmap.SetSize(newWidth, newHeight);
  bitmap.PixelFormat = format;
  std::memcpy(PixelRows(bitmap), pixels.data(), pixels.size() * sizeof(uint32_t));
}

int Channel(COLORREF c, int shift) { return static_cast<int>((c >> shift) & 0xFF); }

COLORREF ResolveSystem(TColor c) {
  const uint32_t v = static_cast<uint32_t>(c);
  return (v & 0x80000000u) ? GetSysColor(static_cast<int>(v & 0xFF)) : (v & 0xFFFFFF);
}

}  // namespace

uint32_t* PixelRows(const TBitmap& bitmap) {
  if (bitmap.Empty()) return nullptr;
  DIBSECTION ds{};
  if (GetObjectW(bitmap.Handle(), sizeof ds, &ds) != sizeof ds) return nullptr;
  GdiFlush();  // pending drawing must land before the pixels are touched
  return static_cast<uint32_t*>(ds.dsBm.bmBits);
}

void CopyBitmap(TBitmap& target, const TBitmap& source) {
  if (&target == &source) return;
  target.SetSize(source.Width(), source.Height());
  target.PixelFormat = source.PixelFormat;
  if (uint32_t* from = PixelRows(source)) std::memcpy(PixelRows(target), from, PixelCount(source) * sizeof(uint32_t));
}

void ConvertBitmapToGrayscale(TBitmap& bitmap) {
  bitmap.PixelFormat = pf24bit;
  uint32_t* p = PixelRows(bitmap);
  if (!p) return;
  for (size_t i = 0, n = PixelCount(bitmap); i < n; ++i) {
    const uint32_t v = p[i];
    const uint32_t g = (((v >> 16) & 0xFF) + ((v >> 8) & 0xFF) + (v & 0xFF)) / 3;
    p[i] = (g << 16) | (g << 8) | g;
  }
}

void ChangeTrans(TBitmap& bitmap, TColor colour) {
  bitmap.PixelFormat = pf24bit;
  uint32_t* p = PixelRows(bitmap);
  if (!p) return;
  const uint32_t to = PixelOf(colour);
  for (size_t i = 0, n = PixelCount(bitmap); i < n; ++i) {
    if ((p[i] & 0xFFFFFF) == kKeyPixel) p[i] = to;
  }
}

void FillKeyFromRows(TBitmap& bitmap) {
  uint32_t* p = PixelRows(bitmap);
  if (!p) return;
  const int w = bitmap.Width(), h = bitmap.Height();
  auto row = [&](int y) { return p + static_cast<size_t>(y) * w; };
  std::vector<int> blank;
  for (int y = 0; y < h; ++y) {
    uint32_t* r = row(y);
    int first = 0, last = w - 1;
    while (first < w && (r[first] & 0xFFFFFF) == kKeyPixel) ++first;
    if (first == w) {
      blank.push_back(y);
      continue;
    }
    while ((r[last] & 0xFFFFFF) == kKeyPixel) --last;
    std::fill(r, r + first, r[first]);
    std::fill(r + last + 1, r + w, r[last]);
  }
  // A row all key (a narrow side's cut corner) takes the nearest filled row.
  if (static_cast<int>(blank.size()) == h) return;
  for (int y : blank) {
    int from = y;
    for (int d = 1; from == y; ++d) {
      if (y - d >= 0 && !std::binary_search(blank.begin(), blank.end(), y - d))
        from = y - d;
      else if (y + d < h && !std::binary_search(blank.begin(), blank.end(), y + d))
        from = y + d;
    }
    std::copy(row(from), row(from) + w, row(y));
  }
}

void SpiegelnHorizontal(TBitmap& bitmap) {
  const int w = bitmap.Width(), h = bitmap.Height();
  Remap(bitmap, w, h, [&](int x, int y) { return static_cast<size_t>(y) * w + (w - 1 - x); });
}

void SpiegelnVertikal(TBitmap& bitmap) {
  const int w = bitmap.Width(), h = bitmap.Height();
  Remap(bitmap, w, h, [&](int x, int y) { return static_cast<size_t>(h - 1 - y) * w + x; });
}

void Drehen180Grad(TBitmap& bitmap) {
  const int w = bitmap.Width(), h = bitmap.Height();
  Remap(bitmap, w, h, [&](int x, int y) { return static_cast<size_t>(h - 1 - y) * w + (w - 1 - x); });
}

void Drehen90Grad(TBitmap& bitmap) {
  const int w = bitmap.Width(), h = bitmap.Height();
  Remap(bitmap, h, w, [&](int x, int y) { return static_cast<size_t>(x) * h + (h - 1 - y); });
}

void Drehen270Grad(TBitmap& bitmap) {
  const int w = bitmap.Width(), h = bitmap.Height();
  Remap(bitmap, h, w, [&](int x, int y) { return static_cast<size_t>(w - 1 - x) * h + y; });
}

std::unique_ptr<TBitmap> Rotate90(const TBitmap& bitmap) {
  if (bitmap.PixelFormat != pf24bit) return nullptr;
  auto out = std::make_unique<TBitmap>();
  CopyBitmap(*out, bitmap);
  Drehen270Grad(*out);
  return out;
}

TColor Blend(TColor c1, TColor c2, int p) {
  const COLORREF a = ResolveSystem(c1), b = ResolveSystem(c2);
  const int d = p < 100 ? 100 : 1000;
  TColor out = 0;
  for (int shift : {0, 8, 16}) {
    const int v = (Channel(a, shift) * p + Channel(b, shift) * (d - p) + d / 2) / d;
    out |= (v & 0xFF) << shift;
  }
  return out;
}

const std::vector<COLORREF>& GradRamp(COLORREF a, COLORREF b, int n) {
  struct Cache {
    std::array<std::vector<COLORREF>, 16> slots;
    size_t next = 0;
  };
  static Cache cache;
  for (size_t i = cache.slots.size(); i-- > 0;) {
    const std::vector<COLORREF>& ramp = cache.slots[i];
    if (static_cast<int>(ramp.size()) == n && ramp.front() == a && ramp.back() == b) return ramp;
  }
  std::vector<COLORREF>& ramp = cache.slots[cache.next];
  cache.next = (cache.next + 1) % cache.slots.size();
  ramp.assign(static_cast<size_t>(std::max(n, 0)), 0);
  for (int i = 0; i < n; ++i) {
    COLORREF c = 0;
    for (int shift : {0, 8, 16}) {
      const int diff = Channel(b, shift) - Channel(a, shift);
      // Rounded to nearest on both sides of zero, so a falling ramp ends on its colour too.
      const int half = diff < 0 ? -(n - 1) / 2 : (n - 1) / 2;
      const int step = n == 1 ? diff / 2 : (diff * i + half) / (n - 1);
      c |= static_cast<COLORREF>((Channel(a, shift) + step) & 0xFF) << shift;
    }
    ramp[static_cast<size_t>(i)] = c;
  }
  return ramp;
}

void GradFill(HDC dc, const RECT& r, TColor from, TColor to, int direction) {
  if (!RectVisible(dc, &r)) return;
  const bool down = direction == 1;
  const int n = down ? r.bottom - r.top : r.right - r.left;
  if (n < 1) return;
  const std::vector<COLORREF>& ramp = GradRamp(ColorToRGB(from), ColorToRGB(to), n);
  RECT clip{};
  GetClipBox(dc, &clip);
  const LONG origin = down ? r.top : r.left;
  const int first = static_cast<int>(std::max<LONG>(0, (down ? clip.top : clip.left) - origin));
  const int last = static_cast<int>(std::min<LONG>(n, (down ? clip.bottom : clip.right) - origin));
  for (int i = first; i < last; ++i) {
    RECT band =
        down ? RECT{r.left, r.top + i, r.right, r.top + i + 1} : RECT{r.left + i, r.top, r.left + i + 1, r.bottom};
    HBRUSH brush = CreateSolidBrush(ramp[static_cast<size_t>(i)]);
    FillRect(dc, &band, brush);
    DeleteObject(brush);
  }
}

int GetHSV(TColor colour) {
  const uint32_t v = static_cast<uint32_t>(colour);
  const int r = v & 0xFF, g = (v >> 8) & 0xFF, b = (v >> 16) & 0xFF;
  if (r < 160 && g < 160 && b < 160) return 200;
  const int hi = std::max({r, g, b}), lo = std::min({r, g, b});
  const double s = hi == 0 ? 0.0 : static_cast<double>(hi - lo) / hi;
  return static_cast<int>(std::nearbyint(s * 255.0));  // halves to even
}
