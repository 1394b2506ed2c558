#include "support/Gui.h"

// GDI+ needs the COM declarations that WIN32_LEAN_AND_MEAN leaves out.
#include <objidl.h>
// after objidl.h
#include <gdiplus.h>

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

#include "classlib/Files.h"
#include "classlib/Gbk.h"
#include "classlib/StrUtils.h"

namespace gui {

void Pump(int ms) {
  DWORD end = GetTickCount() + ms;
  do {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&m);
      DispatchMessageW(&m);
    }
    Sleep(10);
  } while (static_cast<int>(end - GetTickCount()) > 0);
}

namespace {

bool Matches(HWND h, const std::string& cls, const std::string& caption) {
  wchar_t name[256];
  GetClassNameW(h, name, 256);
  if (!cls.empty() && !SameText(gbk::FromWide(name), cls)) return false;
  return caption.empty() || Text(h) == caption;
}

struct Search {
  DWORD pid;
  const std::string* cls;
  const std::string* caption;
  HWND found;
};

BOOL CALLBACK TopProc(HWND h, LPARAM l) {
  auto* s = reinterpret_cast<Search*>(l);
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  if ((s->pid == 0 || pid == s->pid) && IsWindowVisible(h) && Matches(h, *s->cls, *s->caption)) {
    s->found = h;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK ChildProc(HWND h, LPARAM l) {
  auto* s = reinterpret_cast<Search*>(l);
  if (Matches(h, *s->cls, *s->caption)) {
    s->found = h;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

HWND WaitTopWindow(DWORD processId, const std::string& cls, const std::string& caption, int ms) {
  DWORD end = GetTickCount() + ms;
  for (;;) {
    Search s{processId, &cls, &caption, nullptr};
    EnumWindows(TopProc, reinterpret_cast<LPARAM>(&s));
    if (s.found || static_cast<int>(end - GetTickCount()) <= 0) return s.found;
    Pump(50);
  }
}

HWND FindChild(HWND parent, const std::string& cls, const std::string& caption) {
  Search s{0, &cls, &caption, nullptr};
  EnumChildWindows(parent, ChildProc, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

std::string Text(HWND h) {
  LRESULT n = SendMessageW(h, WM_GETTEXTLENGTH, 0, 0);
  std::wstring buf(static_cast<size_t>(n) + 1, L'\0');
  n = SendMessageW(h, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()));
  buf.resize(static_cast<size_t>(n));
  return gbk::FromWide(buf);
}

void SetText(HWND h, const std::string& text) {
  SendMessageW(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(gbk::ToWide(text).c_str()));
}

void Click(HWND button) {
  RECT r;
  GetClientRect(button, &r);
  LPARAM at = MAKELPARAM(r.right / 2, r.bottom / 2);
  SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(button, WM_LBUTTONUP, 0, at);
  Pump(50);
}

COLORREF ScreenPixel(HWND h, int x, int y) {
  POINT p{x, y};
  ClientToScreen(h, &p);
  return ScreenPixel(p);
}

COLORREF ScreenPixel(int x, int y) {
  HDC dc = GetDC(nullptr);
  const COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(nullptr, dc);
  return c;
}

void MouseButton(DWORD flags) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = flags;
  SendInput(1, &in, sizeof in);
}

void PlayWhilePumping(const std::function<void()>& script, int settleMs) {
  std::atomic<bool> done{false};
  std::thread player([&] {
    script();
    done = true;
  });
  while (!done) Pump(10);
  player.join();
  Pump(settleMs);
}

void MoveMouse(int screenX, int screenY) {
  SetCursorPos(screenX, screenY);
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dx = screenX * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
  in.mi.dy = screenY * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &in, sizeof in);
}

void Focus(HWND h) {
  HWND top = GetAncestor(h, GA_ROOT);
  SetForegroundWindow(top);
  SetActiveWindow(top);
  SetFocus(h);
}

void PressKey(HWND h, WORD vk) {
  Focus(h);
  KeyToFocus(vk);
}

void KeyToFocus(WORD vk) {
  INPUT in[2]{};
  for (INPUT& i : in) {
    i.type = INPUT_KEYBOARD;
    i.ki.wVk = vk;
    i.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
  }
  in[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, in, sizeof(INPUT));
}

void TypeText(const std::string& gbk) {
  for (wchar_t ch : gbk::ToWide(gbk)) {
    INPUT in[2]{};
    for (INPUT& i : in) {
      i.type = INPUT_KEYBOARD;
      i.ki.wScan = ch;
      i.ki.dwFlags = KEYEVENTF_UNICODE;
    }
    in[1].ki.dwFlags |= KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof(INPUT));
  }
}

void PressChord(HWND h, WORD modifier, WORD vk) {
  Focus(h);
  Chord(modifier, vk);
}

void Chord(WORD modifier, WORD vk) {
  INPUT in[4]{};
  for (INPUT& i : in) i.type = INPUT_KEYBOARD;
  in[0].ki.wVk = in[3].ki.wVk = modifier;
  in[1].ki.wVk = in[2].ki.wVk = vk;
  in[2].ki.dwFlags = in[3].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(4, in, sizeof(INPUT));
}

void Wheel(int notches) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = MOUSEEVENTF_WHEEL;
  in.mi.mouseData = static_cast<DWORD>(notches * WHEEL_DELTA);
  SendInput(1, &in, sizeof in);
}

void MouseClick(HWND h, POINT client, bool right) {
  POINT at = client;
  ClientToScreen(h, &at);
  MoveMouse(at.x, at.y);
  INPUT in[2]{};
  for (INPUT& i : in) i.type = INPUT_MOUSE;
  in[0].mi.dwFlags = right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
  in[1].mi.dwFlags = right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
  SendInput(2, in, sizeof(INPUT));
}

void ParkMouse() { MoveMouse(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1); }

void Hover(HWND h) {
  RECT r;
  GetWindowRect(h, &r);
  int x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
  // A few small moves: a tooltip starts its delay on a move over the control.
  for (int i = 0; i < 3; ++i) {
    MoveMouse(x + i, y);
    Pump(30);
  }
}

void Key(HWND h, WORD vk) {
  SendMessageW(h, WM_KEYDOWN, vk, 1);
  SendMessageW(h, WM_CHAR, vk, 1);
  SendMessageW(h, WM_KEYUP, vk, 0xC0000001);
}

double ThreadCpuMs() {
  FILETIME created, exited, kernel, user;
  if (!GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user)) return 0;
  auto ms = [](const FILETIME& t) {
    return static_cast<double>((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e4;
  };
  return ms(kernel) + ms(user);
}

std::unique_ptr<TBitmap> Capture(HWND h) {
  RECT r;
  if (!GetWindowRect(h, &r) || r.right <= r.left || r.bottom <= r.top) return nullptr;
  auto picture = std::make_unique<TBitmap>();
  picture->SetSize(r.right - r.left, r.bottom - r.top);
  // Read from the window's own DC, not the screen: whatever else lies over it on the
  // display stays out of the picture.
  HDC own = GetWindowDC(h);
  BitBlt(picture->Canvas().Handle(), 0, 0, picture->Width(), picture->Height(), own, 0, 0, SRCCOPY);
  ReleaseDC(h, own);
  return picture;
}

bool SaveScreenshot(HWND h, const std::string& path) {
  std::unique_ptr<TBitmap> picture = Capture(h);
  return picture && SavePicture(*picture, path);
}

bool SavePicture(TBitmap& picture, const std::string& path) {
  Gdiplus::GdiplusStartupInput in;
  ULONG_PTR token = 0;
  bool ok = Gdiplus::GdiplusStartup(&token, &in, nullptr) == Gdiplus::Ok;
  if (ok) {
    // The PNG encoder's class id, as GDI+ registers it.
    const CLSID png = {0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
    Gdiplus::Bitmap* image = Gdiplus::Bitmap::FromHBITMAP(picture.Handle(), nullptr);
    ok = image && image->Save(gbk::ToWide(path).c_str(), &png, nullptr) == Gdiplus::Ok;
    delete image;
    Gdiplus::GdiplusShutdown(token);
  }
  return ok;
}

Process::Process(const std::string& exePath) {
  STARTUPINFOW si{};
  si.cb = sizeof si;
  std::wstring cmd = L"\"" + gbk::ToWide(exePath) + L"\"";
  std::wstring dir = gbk::ToWide(ExtractFilePath(exePath));
  if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si, &pi_)) pi_ = {};
}

Process::~Process() {
  if (!pi_.hProcess) return;
  if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) {
    TerminateProcess(pi_.hProcess, 1);
    WaitForSingleObject(pi_.hProcess, 5000);  // its files are free once it is gone
  }
  CloseHandle(pi_.hProcess);
  CloseHandle(pi_.hThread);
}

long Process::WaitExit(int ms) {
  if (!pi_.hProcess || WaitForSingleObject(pi_.hProcess, ms) != WAIT_OBJECT_0) return -1;
  DWORD code = 0;
  GetExitCodeProcess(pi_.hProcess, &code);
  return static_cast<long>(code);
}

std::string ScreenshotPath(const std::string& name) {
  // Beside the tests' folder, never in the program folder.
  std::string dir = file::ProgramFolder() + "..\\" TORVIK_SCREENSHOT_DIR;
  CreateDirectoryW(gbk::ToWide(dir).c_str(), nullptr);
  return dir + "\\" + name;
}

}  // namespace gui
