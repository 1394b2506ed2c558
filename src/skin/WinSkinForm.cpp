#include "skin/WinSkinForm.h"

#include <algorithm>
#include <vector>

#include "skin/Imgutil.h"

namespace {

bool Inverted(const RECT& r) { return r.right < r.left || r.bottom < r.top; }
bool Usable(const TBitmap* b) { return b && !b->Empty(); }
// Whether two edges, as large as a skin may write them, fit into `limit` pixels.
bool Fit(int a, int b, int limit) { return static_cast<int64_t>(a) + b <= limit; }

// Where frame `frame` of `frames` lies in the source.
RECT FrameRect(const TBitmap& source, bool vertical, int frames, int frame) {
  frames = std::max(frames, 1);
  frame = std::clamp(frame, 1, frames);
  if (vertical) {
    const int h = source.Height() / frames;
    return RECT{0, (frame - 1) * h, source.Width(), frame * h};
  }
  const int w = source.Width() / frames;
  return RECT{(frame - 1) * w, 0, frame * w, source.Height()};
}

// Canvas CopyRect: the source piece stretched (when sizes differ) into the target piece.
void CopyPiece(HDC target, const RECT& to, const TBitmap& source, const RECT& from) {
  if (Width(to) <= 0 || Height(to) <= 0 || Width(from) <= 0 || Height(from) <= 0) return;
  StretchBlt(target, to.left, to.top, Width(to), Height(to), const_cast<TBitmap&>(source).Canvas().Handle(), from.left,
             from.top, Width(from), Height(from), SRCCOPY);
}

// A new bitmap of the target's size holding the piece stretched whole.
std::unique_ptr<TBitmap> StretchedPiece(const TBitmap& source, const RECT& piece, int w, int h) {
  if (w <= 0 || h <= 0) return nullptr;
  auto out = std::make_unique<TBitmap>();
  out->SetSize(w, h);
  SetStretchBltMode(out->Canvas().Handle(), COLORONCOLOR);
  CopyPiece(out->Canvas().Handle(), RECT{0, 0, w, h}, source, piece);
  return out;
}

void Put(HDC dc, const RECT& r, TBitmap& image, bool trans) {
  if (trans) {
    DrawTranmap(dc, r, &image, 0xFF00FF);
  } else {
    BitBlt(dc, r.left, r.top, Width(r), Height(r), image.Canvas().Handle(), 0, 0, SRCCOPY);
  }
}

// A monochrome mask of the bitmap: key pixels white (1), the others black (0).
HBITMAP MakeMask(TBitmap& bitmap, TColor key) {
  HBITMAP mask = CreateBitmap(bitmap.Width(), bitmap.Height(), 1, 1, nullptr);
  HDC maskDc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(maskDc, mask);
  HDC source = bitmap.Canvas().Handle();
  COLORREF oldBk = SetBkColor(source, ColorToRGB(key));
  BitBlt(maskDc, 0, 0, bitmap.Width(), bitmap.Height(), source, 0, 0, SRCCOPY);
  SetBkColor(source, oldBk);
  SelectObject(maskDc, old);
  DeleteDC(maskDc);
  return mask;
}

// Collects rectangles for ExtCreateRegion, flushing them into one region in batches.
class RegionBuilder {
 public:
  void Add(const RECT& r) {
    rects_.push_back(r);
    bounds_.left = std::min(bounds_.left, r.left);
    bounds_.top = std::min(bounds_.top, r.top);
    bounds_.right = std::max(bounds_.right, r.right);
    bounds_.bottom = std::max(bounds_.bottom, r.bottom);
    if (rects_.size() == kBatch) Flush();
  }
  HRGN Finish() {
    Flush();
    return result_ ? result_ : CreateRectRgn(0, 0, 0, 0);
  }

 private:
  static constexpr size_t kBatch = 2000;
  void Flush() {
    if (rects_.empty()) return;
    std::vector<char> data(sizeof(RGNDATAHEADER) + rects_.size() * sizeof(RECT));
    auto* header = reinterpret_cast<RGNDATAHEADER*>(data.data());
    header->dwSize = sizeof(RGNDATAHEADER);
    header->iType = RDH_RECTANGLES;
    header->nCount = static_cast<DWORD>(rects_.size());
    header->nRgnSize = static_cast<DWORD>(rects_.size() * sizeof(RECT));
    header->rcBound = bounds_;
    std::copy(rects_.begin(), rects_.end(), reinterpret_cast<RECT*>(data.data() + sizeof(RGNDATAHEADER)));
    HRGN part = ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), reinterpret_cast<RGNDATA*>(data.data()));
    if (!result_) {
      result_ = part;
    } else if (part) {
      CombineRgn(result_, result_, part, RGN_OR);
      DeleteObject(part);
    }
    rects_.clear();
    bounds_ = RECT{0x7FFFFFFF, 0x7FFFFFFF, 0, 0};
  }
  std::vector<RECT> rects_;
  RECT bounds_{0x7FFFFFFF, 0x7FFFFFFF, 0, 0};
  HRGN result_ = nullptr;
};

}  // namespace

int Min(int a, int b) { return a < b ? a : b; }

std::unique_ptr<TBitmap> GetHMap(const RECT& r, TBitmap* source, const RECT& edges, bool vertical, bool tile,
                                 int frames, int frame) {
  const int w = Width(r), h = Height(r);
  if (!Usable(source) || w <= 0 || h <= 0) return nullptr;
  const RECT f = FrameRect(*source, vertical, frames, frame);
  if (Width(f) <= 0 || Height(f) <= 0) return nullptr;
  int l = std::max<int>(edges.left, 0), t = std::max<int>(edges.top, 0);
  int rr = std::max<int>(edges.right, 0), b = std::max<int>(edges.bottom, 0);
  if (!Fit(l, rr, w)) l = rr = 0;
  if (!Fit(t, b, h)) t = b = 0;
  // Edges wider than the frame itself cannot be cut out of it.
  if (!Fit(l, rr, Width(f))) l = rr = 0;
  if (!Fit(t, b, Height(f))) t = b = 0;

  auto out = std::make_unique<TBitmap>();
  out->SetSize(w, h);
  HDC dc = out->Canvas().Handle();
  SetStretchBltMode(dc, COLORONCOLOR);
  const LONG fl = f.left, ft = f.top, fr = f.right, fb = f.bottom;
  auto copy = [&](RECT to, RECT from) { CopyPiece(dc, to, *source, from); };
  if (l * t > 0) copy({0, 0, l, t}, {fl, ft, fl + l, ft + t});
  if (l * b > 0) copy({0, h - b, l, h}, {fl, fb - b, fl + l, fb});
  if (rr * t > 0) copy({w - rr, 0, w, t}, {fr - rr, ft, fr, ft + t});
  if (l > 0) copy({0, t, l, h - b}, {fl, ft + t, fl + l, fb - b});
  if (t > 0) copy({l, 0, w - rr, t}, {fl + l, ft, fr - rr, ft + t});
  const RECT middle{l, t, w - rr, h - b}, piece{fl + l, ft + t, fr - rr, fb - b};
  if (tile) {
    DrawBGbmp(&out->Canvas(), middle, source, piece);
  } else {
    copy(middle, piece);
  }
  if (rr * b > 0) copy({w - rr, h - b, w, h}, {fr - rr, fb - b, fr, fb});
  if (rr > 0) copy({w - rr, t, w, h - b}, {fr - rr, ft + t, fr, fb - b});
  if (b > 0) copy({l, h - b, w - rr, h}, {fl + l, fb - b, fr - rr, fb});
  return out;
}

void DrawRect2(HDC dc, const RECT& r, TBitmap* source, bool vertical, bool tile, bool trans, int frames, int frame,
               const RECT& edges) {
  if (Inverted(r)) return;
  if (auto map = GetHMap(r, source, edges, vertical, tile, frames, frame)) Put(dc, r, *map, trans);
}

void DrawRect1(HDC dc, const RECT& r, TBitmap* source, bool trans, int frames, int frame) {
  if (Inverted(r) || !Usable(source)) return;
  if (auto map = StretchedPiece(*source, FrameRect(*source, false, frames, frame), Width(r), Height(r))) {
    Put(dc, r, *map, trans);
  }
}

void DrawRect3(HDC dc, const RECT& r, TBitmap* source, bool trans, int frames, int frame) {
  if (Inverted(r) || !Usable(source)) return;
  const RECT f = FrameRect(*source, false, frames, frame);
  const int fw = Width(f), fh = Height(f);
  auto cell = StretchedPiece(*source, f, fw, fh);
  if (!cell) return;
  const int x = r.left + (Width(r) - fw) / 2, y = r.top + (Height(r) - fh) / 2;
  Put(dc, RECT{x, y, x + fw, y + fh}, *cell, trans);
}

void DrawRectH(HDC dc, const RECT& r, TBitmap* source, bool vertical, bool, int frames, int frame, const RECT& edges) {
  if (Inverted(r) || !Usable(source)) return;
  const RECT f = FrameRect(*source, vertical, frames, frame);
  SetStretchBltMode(dc, COLORONCOLOR);
  const int l = std::max<int>(edges.left, 0), rr = std::max<int>(edges.right, 0);
  if (Width(r) < Width(f) || !Fit(l, rr, Width(f))) {
    CopyPiece(dc, r, *source, f);
    return;
  }
  CopyPiece(dc, {r.left, r.top, r.left + l, r.bottom}, *source, {f.left, f.top, f.left + l, f.bottom});
  CopyPiece(dc, {r.left + l, r.top, r.right - rr, r.bottom}, *source, {f.left + l, f.top, f.right - rr, f.bottom});
  CopyPiece(dc, {r.right - rr, r.top, r.right, r.bottom}, *source, {f.right - rr, f.top, f.right, f.bottom});
}

void DrawRectTile(TCanvas* canvas, const RECT& r, TBitmap* source, bool vertical, bool trans, int frames, int frame,
                  const RECT& edges) {
  const int w = Width(r), h = Height(r);
  if (!canvas || !Usable(source) || w <= 0 || h <= 0) return;
  const RECT f = FrameRect(*source, vertical, frames, frame);
  int l = std::max<int>(edges.left, 0), rr = std::max<int>(edges.right, 0);
  if (!Fit(l, rr, Width(f))) l = rr = 0;
  TBitmap strip;
  strip.SetSize(w, h);
  HDC dc = strip.Canvas().Handle();
  SetStretchBltMode(dc, COLORONCOLOR);
  CopyPiece(dc, {0, 0, l, h}, *source, {f.left, f.top, f.left + l, f.bottom});
  const int step = Width(f) - l - rr;
  for (int x = l; step > 0 && x < w - rr; x += step) {
    const int part = std::min(step, w - rr - x);
    CopyPiece(dc, {x, 0, x + part, h}, *source, {f.left + l, f.top, f.left + l + part, f.bottom});
  }
  CopyPiece(dc, {w - rr, 0, w, h}, *source, {f.right - rr, f.top, f.right, f.bottom});
  Put(canvas->Handle(), r, strip, trans);
}

void DrawBGbmp(TCanvas* canvas, const RECT& r, TBitmap* source, const RECT& piece) {
  const int pw = Width(piece), ph = Height(piece);
  if (!canvas || !Usable(source) || pw <= 0 || ph <= 0) return;
  HDC from = source->Canvas().Handle();
  for (LONG y = r.top; y < r.bottom; y += ph) {
    for (LONG x = r.left; x < r.right; x += pw) {
      BitBlt(canvas->Handle(), x, y, std::min<LONG>(pw, r.right - x), std::min<LONG>(ph, r.bottom - y), from,
             piece.left, piece.top, SRCCOPY);
    }
  }
}

void DrawTranmap(HDC dc, const RECT& r, TBitmap* bitmap, TColor key) {
  if (Inverted(r) || !Usable(bitmap)) return;
  HBITMAP mask = MakeMask(*bitmap, key);
  HDC source = bitmap->Canvas().Handle();
  // Where the mask is black the bitmap is copied; the key's white keeps the target.
  MaskBlt(dc, r.left, r.top, Width(r), Height(r), source, 0, 0, mask, 0, 0, MAKEROP4(0x00AA0029, SRCCOPY));
  DeleteObject(mask);
}

HRGN BitmapToRegion(TBitmap* bitmap, int x, int y, TColor key, uint8_t tolRed, uint8_t tolGreen, uint8_t tolBlue) {
  RegionBuilder region;
  if (!Usable(bitmap)) return region.Finish();
  const uint32_t k = static_cast<uint32_t>(key);
  const int lo[3] = {static_cast<int>(k & 0xFF), static_cast<int>((k >> 8) & 0xFF), static_cast<int>((k >> 16) & 0xFF)};
  const int hi[3] = {std::min(lo[0] + tolRed, 255), std::min(lo[1] + tolGreen, 255), std::min(lo[2] + tolBlue, 255)};
  bitmap->PixelFormat = pf32bit;
  const uint32_t* rows = PixelRows(*bitmap);
  const int w = bitmap->Width();
  auto isKey = [&](uint32_t p) {
    const int c[3] = {static_cast<int>((p >> 16) & 0xFF), static_cast<int>((p >> 8) & 0xFF),
                      static_cast<int>(p & 0xFF)};
    for (int i = 0; i < 3; ++i) {
      if (c[i] < lo[i] || c[i] > hi[i]) return false;
    }
    return true;
  };
  for (int row = 0; row < bitmap->Height(); ++row) {
    const uint32_t* line = rows + static_cast<size_t>(row) * w;
    for (int col = 0; col < w;) {
      while (col < w && isKey(line[col])) ++col;
      const int start = col;
      while (col < w && !isKey(line[col])) ++col;
      if (col > start) region.Add(RECT{start + x, row + y, col + x, row + 1 + y});
    }
  }
  return region.Finish();
}

void DrawParentImage(TControl* control, HDC dc, bool) {
  if (!control || !control->Parent()) return;
  const int saved = SaveDC(dc);
  POINT origin{};
  GetViewportOrgEx(dc, &origin);
  SetViewportOrgEx(dc, origin.x - control->Left(), origin.y - control->Top(), nullptr);
  IntersectClipRect(dc, control->Left(), control->Top(), control->Left() + control->Width(),
                    control->Top() + control->Height());
  TWinControl* parent = control->Parent();
  parent->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  parent->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
  RestoreDC(dc, saved);
}
