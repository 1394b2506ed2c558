#include "classlib/MPlayer.h"

namespace {

int VisibleCount(TMPBtnSet visible) {
  int n = 0;
  for (int i = 0; i < kMPButtonCount; ++i) n += HasButton(visible, i);
  return n;
}

}  // namespace

int TMediaPlayer::ButtonAt(TMPBtnSet visible, int width, int x) {
  const int n = VisibleCount(visible);
  if (n == 0 || x < 0 || width <= 0) return -1;
  const int slot = x * n / width;
  for (int i = 0, seen = 0; i < kMPButtonCount; ++i) {
    if (!HasButton(visible, i)) continue;
    if (seen++ == slot) return i;
  }
  return -1;
}

// Plain raised buttons; a skin lays its own panel over the control.
void TMediaPlayer::Paint(HDC dc) {
  const int n = VisibleCount(VisibleButtons), w = ClientWidth(), h = ClientHeight();
  RECT all{0, 0, w, h};
  FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
  for (int slot = 0; slot < n; ++slot) {
    RECT b{slot * w / n, 0, (slot + 1) * w / n, h};
    DrawEdge(dc, &b, EDGE_RAISED, BF_RECT);
  }
}

LRESULT TMediaPlayer::WndProc(UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_LBUTTONUP) {
    const int i = ButtonAt(VisibleButtons, ClientWidth(), static_cast<short>(LOWORD(l)));
    if (i >= 0 && HasButton(EnabledButtons, i) && OnButtonClick) OnButtonClick(static_cast<TMPBtnType>(i));
  }
  return TPaintedControl::WndProc(msg, w, l);
}
