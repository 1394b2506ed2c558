#include "skin/WinSkinData.h"

#include <cctype>

#include "classlib/Gbk.h"

// ---- Skin objects ----

TDataSkinObject::TDataSkinObject(std::string name) : Image(std::make_unique<TBitmap>()), Name(std::move(name)) {}

TDataSkinBorder::TDataSkinBorder(std::string name)
    : TDataSkinObject(std::move(name)), Image2(std::make_unique<TBitmap>()) {}

TDataSkinButton::TDataSkinButton(std::string name)
    : TDataSkinObject(std::move(name)),
      CheckButton(std::make_unique<TBitmap>()),
      RadioButton(std::make_unique<TBitmap>()) {}

TDataSkinTitle::TDataSkinTitle(std::string name) : TDataSkinObject(std::move(name)) {}

TDataSkinSysButton::TDataSkinSysButton(std::string name) : TDataSkinObject(std::move(name)) {}

TDataSkinBoxLabel::TDataSkinBoxLabel(std::string name) : TDataSkinObject(std::move(name)) {}

// ---- The manager link ----

namespace {
TSkinManagerFactory managerFactory = nullptr;
TSkinManageLink* manager = nullptr;
}  // namespace

void SetSkinManagerFactory(TSkinManagerFactory factory) { managerFactory = factory; }
TSkinManageLink* SkinManagerLink() { return manager; }
void SetSkinManagerLink(TSkinManageLink* m) { manager = m; }

// ---- Free functions ----

const TUser32Extras& User32Extras() {
  static const TUser32Extras extras = [] {
    TUser32Extras e;
    if (HMODULE user32 = GetModuleHandleW(L"user32.dll")) {
      e.GetScrollBarInfo = reinterpret_cast<decltype(e.GetScrollBarInfo)>(
          reinterpret_cast<void*>(GetProcAddress(user32, "GetScrollBarInfo")));
      e.TrackMouseEvent = reinterpret_cast<decltype(e.TrackMouseEvent)>(
          reinterpret_cast<void*>(GetProcAddress(user32, "TrackMouseEvent")));
      e.GetComboBoxInfo = reinterpret_cast<decltype(e.GetComboBoxInfo)>(
          reinterpret_cast<void*>(GetProcAddress(user32, "GetComboBoxInfo")));
      e.DisableProcessWindowsGhosting = reinterpret_cast<decltype(e.DisableProcessWindowsGhosting)>(
          reinterpret_cast<void*>(GetProcAddress(user32, "DisableProcessWindowsGhosting")));
    }
    return e;
  }();
  return extras;
}

bool Win32PlatformIsUnicode() {
  static const bool nt = [] {
    OSVERSIONINFOW v{};
    v.dwOSVersionInfoSize = sizeof v;
    return !GetVersionExW(&v) || v.dwPlatformId == VER_PLATFORM_WIN32_NT;
  }();
  return nt;
}

int Tnt_DrawTextW(HDC dc, const std::wstring& text, RECT& r, UINT flags) {
  if (Win32PlatformIsUnicode()) return DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, flags);
  std::string narrow = WideStringToStringEx(text);
  return DrawTextA(dc, narrow.c_str(), -1, &r, flags);
}

std::wstring StrToWideStr(const std::string& text) {
  if (text.empty()) return {};
  int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
  return out;
}

std::string WideStringToStringEx(const std::wstring& text) {
  if (text.empty()) return {};
  int n = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

std::wstring _WStr(const wchar_t* p, int n) {
  if (!p) return {};
  return n < 0 ? std::wstring(p) : std::wstring(p, static_cast<size_t>(n));
}

TColor strcolor(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.remove_suffix(1);
  int values[3] = {0, 0, 0};
  int found = 0;
  size_t i = 0;
  while (i < text.size() && found < 3) {
    if (!std::isdigit(static_cast<unsigned char>(text[i]))) {
      ++i;
      continue;
    }
    uint32_t v = 0;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
      v = (v * 10 + static_cast<uint32_t>(text[i] - '0')) & 0xFF;  // only the low 8 bits count
      ++i;
    }
    // A run that ends the text counts only as the third number.
    if (i == text.size() && found < 2) break;
    values[found++] = static_cast<int>(v);
  }
  return RGBToColor(values[0], values[1], values[2]);
}

TControl* FindControlx(HWND window) { return window ? TControl::FromHandle(window) : nullptr; }

void DoTrackMouse(HWND window) {
  if (!User32Extras().TrackMouseEvent) return;
  TRACKMOUSEEVENT t{sizeof t, TME_LEAVE, window, 0};
  User32Extras().TrackMouseEvent(&t);
}
