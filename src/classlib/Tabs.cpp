#include "classlib/Tabs.h"

#include "classlib/Gbk.h"

namespace {

constexpr int kStartX = 4;    // the first tab stands a little in from the left
constexpr int kPadding = 16;  // room beside a caption

}  // namespace

// ---- The scroller ----

TScroller::TScroller(TTabSet* set) : TPaintedControl(set), set_(set) {}

void TScroller::Paint(HDC dc) {
  const int half = ClientWidth() / 2;
  RECT left{0, 0, half, ClientHeight()}, right{half, 0, ClientWidth(), ClientHeight()};
  DrawFrameControl(dc, &left, DFC_SCROLL, DFCS_SCROLLLEFT | (held_ == 0 ? DFCS_PUSHED : 0));
  DrawFrameControl(dc, &right, DFC_SCROLL, DFCS_SCROLLRIGHT | (held_ == 1 ? DFCS_PUSHED : 0));
}

LRESULT TScroller::WndProc(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      held_ = static_cast<short>(LOWORD(l)) < ClientWidth() / 2 ? 0 : 1;
      SetCapture(Handle());
      set_->SetFirstIndex(set_->FirstIndex() + (held_ ? 1 : -1));
      Invalidate();
      return 0;
    case WM_LBUTTONUP:
      held_ = -1;
      ReleaseCapture();
      Invalidate();
      return 0;
    default:
      return TPaintedControl::WndProc(msg, w, l);
  }
}

// ---- The tab set ----

TTabSet::TTabSet(TComponent* owner) : TPaintedControl(owner), scroller_(new TScroller(this)) {
  scroller_->SetVisible(false);
  scroller_->SetParent(this);
}

// The scroller is a child window: the strip's painting keeps off it.
DWORD TTabSet::CreateStyle() const { return TPaintedControl::CreateStyle() | WS_CLIPCHILDREN; }

void TTabSet::SetTabIndex(int i) {
  if (i < -1 || i >= TabCount() || i == tabIndex_) return;
  tabIndex_ = i;
  Invalidate();
  if (OnChange) OnChange(this);
}

void TTabSet::SetFirstIndex(int i) {
  if (i < 0 || i >= TabCount() || i == firstIndex_) return;
  firstIndex_ = i;
  Invalidate();
}

RECT TTabSet::ItemRect(int i) {
  if (i < firstIndex_ || i >= TabCount()) return RECT{};
  HDC dc = GetDC(Handle());
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(Handle(), WM_GETFONT, 0, 0)));
  int x = kStartX;
  RECT r{};
  for (int k = firstIndex_; k <= i; ++k) {
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
  for (int i = firstIndex_; i < TabCount(); ++i) {
    const RECT r = ItemRect(i);
    if (PtInRect(&r, p)) return i;
  }
  return -1;
}

// The scroller shows while the last tab does not fit or earlier tabs are scrolled out.
void TTabSet::PlaceScroller() {
  const int width = 2 * TScroller::kArrowWidth;
  const RECT last = ItemRect(TabCount() - 1);
  const bool needed = firstIndex_ > 0 || (TabCount() > 0 && last.right > ClientWidth());
  const int left = ClientWidth() - width, height = ClientHeight() - 2;
  if (needed && (scroller_->Left() != left || scroller_->Width() != width || scroller_->Height() != height))
    scroller_->SetBounds(left, 1, width, height);
  if (needed != scroller_->Visible()) scroller_->SetVisible(needed);
}

// Plain raised tabs below a line; the current one joins the area above.
void TTabSet::Paint(HDC dc) {
  PlaceScroller();
  RECT all{0, 0, ClientWidth(), ClientHeight()};
  FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(Handle(), WM_GETFONT, 0, 0)));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  for (int i = firstIndex_; i < TabCount(); ++i) {
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
