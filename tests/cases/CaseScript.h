// Drives the case dialogs while their modal loops run: steps taken one after another
// from a timer, each retried on the next tick until it answers true. Actions are posted,
// never run inside a step, so a box they open does not block the script.
#pragma once

#include <windows.h>

#include <cstdio>
#include <deque>
#include <functional>
#include <string>

#include "classlib/ExtCtrls.h"
#include "classlib/Forms.h"
#include "classlib/Gbk.h"
#include "support/Gui.h"

class CaseScript {
 public:
  CaseScript() : timer_(nullptr) {
    timer_.SetInterval(40);
    timer_.OnTimer = [this](TObject*) { Tick(); };
  }
  void Then(std::function<bool()> step) { steps_.push_back(std::move(step)); }
  bool Done() const { return steps_.empty(); }

  // Answers the message box with this caption (UTF-8) by button id, keeping its text.
  void Answer(const char* caption, int id) {
    Then([this, caption, id] {
      HWND box = gui::WaitTopWindow(GetCurrentProcessId(), "#32770", gbk::FromUtf8(caption), 0);
      if (!box) return false;
      texts.push_back(gbk::ToUtf8(BoxText(box)));
      PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(id), 0);
      return true;
    });
  }

  // Waits for a form of the class, then acts on it.
  template <class F>
  void OnForm(const char* cls, std::function<void(F&)> act) {
    Then([cls, act] {
      HWND h = gui::WaitTopWindow(GetCurrentProcessId(), cls, "", 0);
      auto* f = h && IsWindowVisible(h) ? dynamic_cast<F*>(TControl::FromHandle(h)) : nullptr;
      if (!f) return false;
      act(*f);
      return true;
    });
  }

  static void Press(TControl* button) { PostMessageW(button->Handle(), BM_CLICK, 0, 0); }

  std::vector<std::string> texts;  // of the boxes answered, UTF-8

 private:
  static std::string BoxText(HWND box) {
    std::string found;
    for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
      wchar_t cls[16];
      GetClassNameW(c, cls, 16);
      if (lstrcmpiW(cls, L"Static") == 0 && !gui::Text(c).empty()) found = gui::Text(c);
    }
    return found;
  }
  void Tick() {
    if (steps_.empty()) return;
    if (steps_.front()()) {
      steps_.pop_front();
      waited_ = 0;
    } else if (++waited_ == 125) {
      ReportWindows();  // a step waiting 5 s: say what is on the screen instead
    }
  }
  static BOOL CALLBACK ReportOne(HWND h, LPARAM) {
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (pid == GetCurrentProcessId() && IsWindowVisible(h)) {
      wchar_t cls[64];
      GetClassNameW(h, cls, 64);
      std::fprintf(stderr, "waiting; on screen: %s \"%s\" %s\n", gbk::ToUtf8(gbk::FromWide(cls)).c_str(),
                   gbk::ToUtf8(gui::Text(h)).c_str(), gbk::ToUtf8(BoxText(h)).c_str());
    }
    return TRUE;
  }
  static void ReportWindows() { EnumWindows(ReportOne, 0); }
  int waited_ = 0;
  TTimer timer_;
  std::deque<std::function<bool()>> steps_;
};
