// A tab set: a row of tabs hanging from the top edge, as under a page area; a click
// chooses a tab. When the tabs do not all fit, a scroller at the right end moves the
// first tab shown (Win32 only).
#pragma once

#include <string>
#include <vector>

#include "classlib/ExtCtrls.h"

class TTabSet;

// Two arrows side by side: a press on the left one shows one earlier tab first, on the
// right one a later one.
class TScroller : public TPaintedControl {
 public:
  explicit TScroller(TTabSet* set);
  std::string ClassName() const override { return "TScroller"; }
  static constexpr int kArrowWidth = 16;

 protected:
  void Paint(HDC dc) override;
  LRESULT WndProc(UINT msg, WPARAM w, LPARAM l) override;

 private:
  TTabSet* set_;
  int held_ = -1;  // the arrow under the press: 0 left, 1 right
};

class TTabSet : public TPaintedControl {
 public:
  explicit TTabSet(TComponent* owner);
  std::string ClassName() const override { return "TTabSet"; }
  std::vector<std::string> Tabs;  // the captions (GBK); Invalidate after a change
  int TabIndex() const { return tabIndex_; }
  void SetTabIndex(int i);
  int TabCount() const { return static_cast<int>(Tabs.size()); }
  // The first tab shown; earlier ones are scrolled out of the strip.
  int FirstIndex() const { return firstIndex_; }
  void SetFirstIndex(int i);
  // Tab i's rectangle in client coordinates; empty when there is no such tab or it is
  // scrolled out.
  RECT ItemRect(int i);
  // The tab at a client point, or -1.
  int TabAt(POINT p);
  TScroller* Scroller() const { return scroller_; }
  TNotifyEvent OnChange;

 protected:
  DWORD CreateStyle() const override;
  void Paint(HDC dc) override;
  LRESULT WndProc(UINT msg, WPARAM w, LPARAM l) override;

 private:
  void PlaceScroller();
  int tabIndex_ = -1;
  int firstIndex_ = 0;
  TScroller* scroller_;  // owned through the component tree
};
