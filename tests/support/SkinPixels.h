// Reading back from the screen whether a window shows a skin object's frame: the frame
// built to a size as the skinners build it, compared with Wine's own view of the screen.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <initializer_list>

#include "skin/WinSkinData.h"
#include "skin/WinSkinForm.h"
#include "support/Gui.h"

namespace skinpixels {

// Relative luminance and contrast ratio as the accessibility guidelines define them.
inline double Luminance(COLORREF c) {
  auto channel = [](int v) {
    const double s = v / 255.0;
    return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * channel(GetRValue(c)) + 0.7152 * channel(GetGValue(c)) + 0.0722 * channel(GetBValue(c));
}

inline double Contrast(COLORREF a, COLORREF b) {
  const double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

inline int Distance(COLORREF a, COLORREF b) {
  return std::abs(GetRValue(a) - GetRValue(b)) + std::abs(GetGValue(a) - GetGValue(b)) +
         std::abs(GetBValue(a) - GetBValue(b));
}

// The pixel of what the window shows in `part` (window coordinates; all of it when empty)
// farthest from `ground`, the colour behind its text: the text's darkest or lightest stroke.
inline COLORREF Ink(HWND h, COLORREF ground, RECT part = {}) {
  auto picture = gui::Capture(h);
  if (!picture) return ground;
  if (IsRectEmpty(&part)) part = RECT{0, 0, picture->Width(), picture->Height()};
  COLORREF ink = ground;
  for (int y = part.top; y < part.bottom; ++y) {
    for (int x = part.left; x < part.right; ++x) {
      const auto c = static_cast<COLORREF>(picture->Pixel(x, y));
      if (Distance(c, ground) > Distance(ink, ground)) ink = c;
    }
  }
  return ink;
}

// Whether a label's text is written in the colour text on the face: its pixel farthest
// from the face lies on text's side of the way between them (font smoothing leaves thin
// strokes short of the colour itself).
inline bool WritesIn(HWND label, COLORREF face, COLORREF text) {
  return 2 * Distance(Ink(label, face), text) < Distance(face, text);
}

inline bool Near(COLORREF a, COLORREF b) {
  return std::abs(GetRValue(a) - GetRValue(b)) <= 8 && std::abs(GetGValue(a) - GetGValue(b)) <= 8 &&
         std::abs(GetBValue(a) - GetBValue(b)) <= 8;
}

struct Match {
  int sampled = 0, matching = 0;
  bool Mostly() const { return sampled > 0 && matching * 10 >= sampled * 9; }
};

// Frame `frame` of the object built to `part`'s size (in window coordinates of h), compared
// on the given rows (relative to part) from x0 to x1 (relative to part, exclusive); the
// frame's key-coloured pixels are skipped.
inline Match MatchRows(HWND h, const TDataSkinObject& skin, int frames, int frame, const RECT& part,
                       std::initializer_list<int> rows, int x0, int x1) {
  RECT w;
  GetWindowRect(h, &w);
  const RECT size{0, 0, Width(part), Height(part)};
  auto map = GetHMap(size, skin.Image.get(), skin.Margins(), false, skin.Tile == 1, frames < 1 ? 1 : frames, frame);
  Match m;
  if (!map) return m;
  HDC screen = GetDC(nullptr);
  for (int y : rows) {
    for (int x = x0; x < x1; ++x) {
      const COLORREF want = GetPixel(map->Canvas().Handle(), x, y);
      if (want == ColorToRGB(kKeyColour)) continue;
      ++m.sampled;
      if (Near(GetPixel(screen, w.left + part.left + x, w.top + part.top + y), want)) ++m.matching;
    }
  }
  ReleaseDC(nullptr, screen);
  return m;
}

// The button's top and bottom rows (inside 2 pixels) against frame `frame` of the skin's buttons.
inline Match MatchButton(HWND h, const TDataSkinButton& skin, int frame) {
  RECT r;
  GetWindowRect(h, &r);
  const RECT part{0, 0, Width(r), Height(r)};
  return MatchRows(h, skin, skin.Frame, frame, part, {1, Height(part) - 2}, 2, Width(part) - 2);
}

// Whether two frames of the button differ on the rows MatchButton reads, at this size.
inline bool FramesDiffer(const TDataSkinButton& skin, SIZE size, int a, int b) {
  const RECT r{0, 0, size.cx, size.cy};
  auto ma = GetHMap(r, skin.Image.get(), skin.Margins(), false, skin.Tile == 1, skin.Frame, a);
  auto mb = GetHMap(r, skin.Image.get(), skin.Margins(), false, skin.Tile == 1, skin.Frame, b);
  if (!ma || !mb) return false;
  int differ = 0;
  for (int y : {1, static_cast<int>(size.cy) - 2})
    for (int x = 2; x < size.cx - 2; ++x)
      if (!Near(GetPixel(ma->Canvas().Handle(), x, y), GetPixel(mb->Canvas().Handle(), x, y))) ++differ;
  return differ * 5 > size.cx;
}

}  // namespace skinpixels
