// Driving a modal dialog from inside its own message loop: one step a timer tick,
// and the answering of the message boxes it opens.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "classlib/ExtCtrls.h"
#include "support/Gui.h"

namespace modal {

// Runs one step a timer tick while a dialog is modal; a step returning false is retried.
class Driver {
 public:
  // `intervalMs`: the time between ticks; short for a step that must come in while
  // something brief is going on.
  explicit Driver(std::vector<std::function<bool()>> steps, int intervalMs = 100)
      : steps_(std::move(steps)), timer_(nullptr) {
    timer_.SetInterval(intervalMs);
    timer_.OnTimer = [this](TObject*) {
      if (busy_ || next_ >= steps_.size()) return;
      busy_ = true;
      if (steps_[next_]()) ++next_;
      busy_ = false;
    };
  }

 private:
  std::vector<std::function<bool()>> steps_;
  size_t next_ = 0;
  bool busy_ = false;
  TTimer timer_;
};

// The message of a message box: its one non-empty static text.
inline std::string MessageText(HWND box) {
  std::string text;
  for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    wchar_t cls[16] = {};
    GetClassNameW(c, cls, 16);
    if (lstrcmpiW(cls, L"Static") == 0 && !gui::Text(c).empty()) text = gui::Text(c);
  }
  return text;
}

// A step that answers the message box captioned `caption` (empty: any) with `id`,
// keeping its message in `text`; it waits while no box is up.
inline std::function<bool()> Answer(const std::string& caption, int id, std::string& text) {
  return [caption, id, &text] {
    HWND box = gui::WaitTopWindow(GetCurrentProcessId(), "#32770", caption, 50);
    if (!box) return false;
    text = MessageText(box);
    PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(id), 0);
    return true;
  };
}

}  // namespace modal
