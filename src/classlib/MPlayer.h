// A media player's button panel: a row of buttons (play, pause, stop, ...) sharing the
// control's width; a release over an enabled button reports that button.
#pragma once

#include <cstdint>
#include <functional>

#include "classlib/ExtCtrls.h"

enum class TMPBtnType { btPlay, btPause, btStop, btNext, btPrev, btStep, btBack, btRecord, btEject };
using TMPBtnSet = uint16_t;  // bit n stands for the button type n
constexpr TMPBtnSet kAllMPButtons = 0x1FF;
constexpr int kMPButtonCount = 9;

inline bool HasButton(TMPBtnSet set, int type) { return (set >> type) & 1; }

class TMediaPlayer : public TPaintedControl {
 public:
  using TPaintedControl::TPaintedControl;
  std::string ClassName() const override { return "TMediaPlayer"; }
  TMPBtnSet VisibleButtons = kAllMPButtons, EnabledButtons = kAllMPButtons, ColoredButtons = kAllMPButtons;
  std::function<void(TMPBtnType)> OnButtonClick;
  // The visible button at x of a panel `width` wide, or -1.
  static int ButtonAt(TMPBtnSet visible, int width, int x);

 protected:
  void Paint(HDC dc) override;
  LRESULT WndProc(UINT msg, WPARAM w, LPARAM l) override;
};
