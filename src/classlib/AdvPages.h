// A page control of another family (Win32 only): while its two tab pictures are set, it
// draws each tab from them (the current tab from the active one) with its caption.
#pragma once

#include <string>

#include "classlib/ComCtrls.h"
#include "classlib/Graphics.h"

class TAdvPageControl : public TPageControl {
 public:
  using TPageControl::TPageControl;
  std::string ClassName() const override { return "TAdvPageControl"; }
  TBitmap TabBackGround, TabBackGroundActive;

 protected:
  LRESULT WndProc(UINT msg, WPARAM w, LPARAM l) override;
  void PublishProperties(TPropertyTable& t) override;

 private:
  void PaintTabs(HDC dc);
};
