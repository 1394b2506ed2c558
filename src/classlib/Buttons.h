// Speed buttons (Win32 only).
#pragma once

#include "classlib/StdCtrls.h"

// A small tool button: no tab stop and no default-button frame; Flat draws it without
// a raised border until the mouse is over it.
class TSpeedButton : public TWinControl {
 public:
  using TWinControl::TWinControl;
  std::string ClassName() const override { return "TSpeedButton"; }
  bool Flat = false;

 protected:
  const wchar_t* BaseClassName() const override { return L"BUTTON"; }
  DWORD CreateStyle() const override;
  bool HandleCommand(WORD code) override;
};
