// Driving windows from the Windows tests: start the program or show a form, find
// windows by class and caption, send them real messages, read back what they show,
// and save a screenshot as PNG for people to look at (tests assert on control state).
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "classlib/Graphics.h"

namespace gui {

// Handles the messages of this thread for about `ms` milliseconds.
void Pump(int ms);
// The CPU time this thread has used, in milliseconds: what a step costs on a shared machine.
double ThreadCpuMs();

// The first window of the given process (0: any) with this class and/or caption
// (GBK; empty matches all), waiting up to `ms`; nullptr when none appears.
HWND WaitTopWindow(DWORD processId, const std::string& cls, const std::string& caption, int ms);
// A descendant of `parent` by class and/or caption (GBK; empty matches all).
HWND FindChild(HWND parent, const std::string& cls, const std::string& caption);

std::string Text(HWND h);
void SetText(HWND h, const std::string& gbk);
void Click(HWND button);  // a real mouse click at the button's centre
void Key(HWND h, WORD vk);
// The mouse pointer moved onto the window's centre as a hand moves it (real input),
// as a tooltip needs; messages are handled meanwhile.
void Hover(HWND h);
void MoveMouse(int screenX, int screenY);
// What the screen shows at a point of a window's client area, or of the screen.
COLORREF ScreenPixel(HWND h, int x, int y);
COLORREF ScreenPixel(int x, int y);
inline COLORREF ScreenPixel(POINT p) { return ScreenPixel(p.x, p.y); }
// A mouse button pressed or let go where the pointer is (MOUSEEVENTF_ flags), by real input.
void MouseButton(DWORD flags);
// Input played from another thread while this one pumps: a press on a scroll bar runs
// the control's own tracking loop, which returns only when the button is released.
void PlayWhilePumping(const std::function<void()>& script, int settleMs = 200);
// Real input (SendInput), as a user's hand makes it: the messages arrive through the
// thread's message queue, so whatever loop runs next (the program's own, with its
// dialog keys) handles them. Focus(h) brings h's window to the front and gives h the
// keyboard focus first.
void Focus(HWND h);
void PressKey(HWND h, WORD vk);
// A key pressed into whichever window has the keyboard, nothing focused first.
void KeyToFocus(WORD vk);
// Text (GBK) typed into whichever window has the keyboard, each character as an input
// method hands it over (VK_PACKET): Chinese, which no key of the keyboard makes.
void TypeText(const std::string& gbk);
// A key pressed while a modifier (VK_CONTROL, VK_SHIFT) is held down.
void PressChord(HWND h, WORD modifier, WORD vk);
// The same to whichever window has the focus.
void Chord(WORD modifier, WORD vk);
// The mouse wheel turned where the pointer is: notches towards the user when negative.
void Wheel(int notches);
// A click of the left or right button at a point of h's client area.
void MouseClick(HWND h, POINT client, bool right = false);
// The pointer moved to the screen's bottom-right corner, where no test puts a window,
// so that the windows of later tests do not appear under it.
void ParkMouse();

// What the window itself shows, frame included, other windows over it left out;
// null for a window without area.
std::unique_ptr<TBitmap> Capture(HWND h);
// That picture saved as a PNG file.
bool SaveScreenshot(HWND h, const std::string& path);
// A picture saved as a PNG file (GDI+ on the calling thread: not on a second thread
// while the first runs a menu).
bool SavePicture(TBitmap& picture, const std::string& path);

// Torvik.exe or another program of the program folder, started in that folder.
class Process {
 public:
  explicit Process(const std::string& exePath);
  ~Process();
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;
  bool Started() const { return pi_.hProcess != nullptr; }
  DWORD Id() const { return pi_.dwProcessId; }
  // The exit code, or -1 when the process is still running after `ms`.
  long WaitExit(int ms);

 private:
  PROCESS_INFORMATION pi_{};
};

// Where screenshots go: the folder TORVIK_SCREENSHOT_DIR beside the program folder,
// with the given file name.
std::string ScreenshotPath(const std::string& name);

}  // namespace gui
