#include "classlib/Tabs.h"

#include "classlib/Gbk.h"

namespace {

constexpr int kStartX = 4;    // the first tab stands a little in from the left
constexpr int kPadding = 16;  // room beside a caption

}  // namespace

void TTabSet::SetTabIndex(int i) {
  if (i < -1 || i >= TabCount() || i == tabIndex_) return;
  tabIndex_ = i;
  Invalidate();
  if (OnChange) OnChange(this);
}

RECT TTabSet::ItemRect(int i) {
  if (i < 0 || i >= TabCount()) return RECT{};
  HDC dc = GetDC(Handle());
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(Handle(), WM_GETFONT, 0, 0)));
  int x = kStartX;
  RECT r{};
  for (int k = 0; k <= i; ++k) {
    const std::wstring text = gbk::ToWide(Tabs[static_cast<size_t>(k)]);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    r = RECT{x, 0, x + size.cx + kPadding, ClientHeight() - 2};
    x = r.right;
  }
  SelectObject(dc, old);
  ReleaseDC(Handle(), dc);
  return r;
}

int TTabSet::TabAt(POINT p) {
  for (int i = 0; i < TabCount(); ++i) {
    const RECT r = ItemRect(i);
    if (PtInRect(&r, p)) return i;
  }
  return -1;
}

// Plain raised tabs below a line; the current one joins the area above.
void TTabSet::Paint(HDC dc) {
  RECT all{0, 0, ClientWidth(), ClientHeight()};
  FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(Handle(), WM_GETFONT, 0, 0)));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  for (int i = 0; i < TabCount(); ++i) {
    RECT r = ItemRect(i);
    DrawEdge(dc, &r, EDGE_RAISED, BF_LEFT | BF_RIGHT | BF_BOTTOM);
    const std::wstring text = gbk::ToWide(Tabs[static_cast<size_t>(i)]);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
  RECT line{0, 0, ClientWidth(), 1};
  FillRect(dc, &line, GetSysColorBrush(COLOR_BTNSHADOW));
  SelectObject(dc, old);
}

LRESULT TTabSet::WndProc(UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_LBUTTONDOWN) {
    const int i = TabAt(POINT{static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l))});
    if (i >= 0) SetTabIndex(i);
  }
  return TPaintedControl::WndProc(msg, w, l);
}
