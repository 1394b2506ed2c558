#include "classlib/ScrollBar.h"

#include <algorithm>

DWORD TScrollBar::CreateStyle() const {
  return TWinControl::CreateStyle() | WS_TABSTOP | (Kind == sbVertical ? SBS_VERT : SBS_HORZ);
}

// The last position is the one that shows the end of a page.
int TScrollBar::Clamp(int v) const { return std::clamp(v, min_, std::max(min_, max_ - std::max(page_ - 1, 0))); }

void TScrollBar::Update() {
  if (!HandleAllocated()) return;
  SCROLLINFO si{sizeof si, SIF_ALL | SIF_DISABLENOSCROLL, min_, max_, static_cast<UINT>(page_), position_, 0};
  SetScrollInfo(hwnd_, SB_CTL, &si, TRUE);
}

void TScrollBar::SetParams(int position, int min, int max) {
  min_ = min;
  max_ = std::max(min, max);
  position_ = Clamp(position);
  Update();
}

void TScrollBar::SetPageSize(int v) {
  page_ = std::clamp(v, 0, max_ - min_ + 1);
  position_ = Clamp(position_);
  Update();
}

void TScrollBar::SetPosition(int v) {
  v = Clamp(v);
  if (v == position_) return;
  position_ = v;
  Update();
  if (OnChange) OnChange(this);
}

// The control only reports what the user did; the thumb moves when we say so.
bool TScrollBar::HandleScroll(WORD code) {
  int to = position_;
  switch (code) {
    case SB_LINEUP:
      to -= SmallChange;
      break;
    case SB_LINEDOWN:
      to += SmallChange;
      break;
    case SB_PAGEUP:
      to -= LargeChange;
      break;
    case SB_PAGEDOWN:
      to += LargeChange;
      break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
      SCROLLINFO si{sizeof si, SIF_TRACKPOS, 0, 0, 0, 0, 0};
      GetScrollInfo(hwnd_, SB_CTL, &si);
      to = si.nTrackPos;
      break;
    }
    case SB_TOP:
      to = min_;
      break;
    case SB_BOTTOM:
      to = max_;
      break;
    default:
      return true;
  }
  SetPosition(to);
  return true;
}

void TScrollBar::PublishProperties(TPropertyTable& t) {
  TWinControl::PublishProperties(t);
  t.Enumeration(
      "Kind", {"sbHorizontal", "sbVertical"}, [this] { return Kind; },
      [this](long long v) { Kind = static_cast<TScrollBarKind>(v); });
}
