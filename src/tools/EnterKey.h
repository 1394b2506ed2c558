// TEnterKey<Edit>: an edit control of the class library that reports the Enter key
// (and swallows it, so the edit does not beep).
#pragma once

#include "classlib/Controls.h"

template <class Edit>
class TEnterKey : public Edit {
 public:
  using Edit::Edit;
  TNotifyEvent OnEnter;

 protected:
  LRESULT WndProc(UINT msg, WPARAM w, LPARAM l) override {
    if (msg == WM_CHAR && w == VK_RETURN) {
      if (OnEnter) OnEnter(this);
      return 0;
    }
    return Edit::WndProc(msg, w, l);
  }
};
