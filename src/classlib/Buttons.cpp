#include "classlib/Buttons.h"

DWORD TSpeedButton::CreateStyle() const { return TControl::CreateStyle() | BS_PUSHBUTTON | (Flat ? BS_FLAT : 0); }

bool TSpeedButton::HandleCommand(WORD code) {
  if (code != BN_CLICKED) return false;
  Click();
  return true;
}
