// Tooltips (Win32 only).
//
// A form keeps one tooltip window; every windowed control of the form is a tool of it
// from the moment its window exists, and hands it its mouse messages. The text is asked for each time a tip is about to
// show, so a control's Hint and ShowHint may change at any time. The application's
// hint settings give the delays, and its OnShowHint may change a hint before it shows.
#pragma once

#include <windows.h>

#include <string>

#include "classlib/Controls.h"

struct THintInfo {
  TControl* HintControl = nullptr;
  std::string HintStr;    // GBK
  int ReshowTimeout = 0;  // ms before a tip shows when moving from one tool to the next
  int HideTimeout = 0;    // ms a tip stays
};

class THintWindow {
 public:
  explicit THintWindow(HWND form);
  ~THintWindow();
  THintWindow(const THintWindow&) = delete;
  THintWindow& operator=(const THintWindow&) = delete;

  HWND Handle() const { return tip_; }
  void AddTool(HWND control);
  void RemoveTool(HWND control);
  // A mouse message of a control, so the tip shows and hides as the mouse moves.
  void Relay(const MSG& m);
  // Answers the tooltip's request for a tool's text; false for any other notification.
  bool HandleNotify(NMHDR* n);

 private:
  void SetDelay(WPARAM which, int ms);
  HWND form_;
  HWND tip_;
  std::wstring text_;  // the text on show: the tooltip reads it after the answer
};
