// Watching menus from a second thread while the menu's own loop runs on the test's
// thread: real key and mouse input, the menu windows on the screen, and the screen's
// pixels as Windows shows them (a screen grab of the X display shows menus black).
#pragma once

#include <windows.h>

#include "support/Gui.h"

namespace menuwatch {

inline void Press(WORD vk) {
  INPUT in[2]{};
  in[0].type = in[1].type = INPUT_KEYBOARD;
  in[0].ki.wVk = in[1].ki.wVk = vk;
  in[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, in, sizeof(INPUT));
}

// Alt and a letter together, as a user opens a menu by its accelerator.
inline void PressAlt(WORD letter) { gui::Chord(VK_MENU, letter); }

inline void ClickAt(int x, int y, bool right = false) {
  gui::MoveMouse(x, y);
  INPUT in[2]{};
  in[0].type = in[1].type = INPUT_MOUSE;
  in[0].mi.dwFlags = right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
  in[1].mi.dwFlags = right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
  SendInput(2, in, sizeof(INPUT));
}

// The visible menu window of this process showing `menu` (nil: any), waiting up to `ms`.
inline HWND WaitMenuWindow(int ms, HMENU menu = nullptr) {
  for (int waited = 0;; waited += 20) {
    HWND h = nullptr;
    while ((h = FindWindowExW(nullptr, h, L"#32768", nullptr)) != nullptr) {
      if (!IsWindowVisible(h)) continue;
      if (!menu || reinterpret_cast<HMENU>(SendMessageW(h, MN_GETHMENU, 0, 0)) == menu) return h;
    }
    if (waited >= ms) return nullptr;
    Sleep(20);
  }
}

// Esc until no menu window is open (three levels at most), so a test leaves none behind.
inline void CloseAll() {
  for (int i = 0; i < 3 && WaitMenuWindow(0); ++i) {
    Press(VK_ESCAPE);
    Sleep(150);
  }
}

using gui::ScreenPixel;

}  // namespace menuwatch
