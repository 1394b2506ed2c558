// A tab set: a row of tabs hanging from the top edge, as under a page area; a click
// chooses a tab (Win32 only).
#pragma once

#include <string>
#include <vector>

#include "classlib/ExtCtrls.h"

class TTabSet : public TPaintedControl {
 public:
  using TPaintedControl::TPaintedControl;
  std::string ClassName() const override { return "TTabSet"; }
  std::vector<std::string> Tabs;  // the captions (GBK); Invalidate after a change
  int TabIndex() const { return tabIndex_; }
  void SetTabIndex(int i);
  int TabCount() const { return static_cast<int>(Tabs.size()); }
  // Tab i's rectangle in client coordinates; empty when there is no such tab.
  RECT ItemRect(int i);
  // The tab at a client point, or -1.
  int TabAt(POINT p);
  TNotifyEvent OnChange;

 protected:
  void Paint(HDC dc) override;
  LRESULT WndProc(UINT msg, WPARAM w, LPARAM l) override;

 private:
  int tabIndex_ = -1;
};
