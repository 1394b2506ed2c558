// A scroll-bar control: a thumb moved between Min and Max by its arrows, its track and
// dragging (Win32 only).
#pragma once

#include "classlib/Controls.h"

enum TScrollBarKind { sbHorizontal, sbVertical };

class TScrollBar : public TWinControl {
 public:
  using TWinControl::TWinControl;
  std::string ClassName() const override { return "TScrollBar"; }
  TScrollBarKind Kind = sbHorizontal;  // set before the window is made
  int Min() const { return min_; }
  int Max() const { return max_; }
  int Position() const { return position_; }
  int PageSize() const { return page_; }
  void SetParams(int position, int min, int max);
  void SetPosition(int v);
  void SetPageSize(int v);
  int SmallChange = 1;  // an arrow's step
  int LargeChange = 1;  // a click on the track
  TNotifyEvent OnChange;

 protected:
  const wchar_t* BaseClassName() const override { return L"SCROLLBAR"; }
  DWORD CreateStyle() const override;
  void AfterCreate() override { Update(); }
  bool HandleScroll(WORD code) override;
  void PublishProperties(TPropertyTable& t) override;

 private:
  void Update();
  int Clamp(int v) const;
  int min_ = 0, max_ = 100, position_ = 0, page_ = 0;
};
