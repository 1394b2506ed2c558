#include "classlib/EditKeys.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "classlib/Gbk.h"

namespace editkeys {

namespace {

bool CtrlOnly() { return GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_MENU) >= 0; }

bool Editable(HWND h) { return !(GetWindowLongW(h, GWL_STYLE) & ES_READONLY); }

bool MultiLine(HWND h) { return GetWindowLongW(h, GWL_STYLE) & ES_MULTILINE; }

std::wstring WindowText(HWND h) {
  std::wstring t(static_cast<size_t>(GetWindowTextLengthW(h)) + 1, L'\0');
  t.resize(static_cast<size_t>(GetWindowTextW(h, t.data(), static_cast<int>(t.size()))));
  return t;
}

size_t Bytes(std::wstring_view w) { return gbk::FromWide(w).size(); }

// The bytes of the text outside the selection, which typed or inserted text replaces.
size_t BytesKept(HWND h) {
  std::wstring t = WindowText(h);
  DWORD start = 0, end = 0;
  SendMessageW(h, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  start = std::min<DWORD>(start, static_cast<DWORD>(t.size()));
  end = std::clamp<DWORD>(end, start, static_cast<DWORD>(t.size()));
  return Bytes(t) - Bytes(std::wstring_view(t).substr(start, end - start));
}

// The whole characters of `text` that fit in `room` bytes.
std::wstring Fit(std::wstring_view text, size_t room) {
  return gbk::ToWide(gbk::CutAtCharBoundary(gbk::FromWide(text), room));
}

std::wstring ClipboardText(HWND owner) {
  std::wstring text;
  if (!OpenClipboard(owner)) return text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* p = static_cast<const wchar_t*>(GlobalLock(data))) {
      text = p;
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

constexpr UINT_PTR kLimitSubclass = 0x4C42;  // "LB"

LRESULT CALLBACK LimitProc(HWND h, UINT msg, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR maxBytes) {
  LRESULT result = 0;
  auto base = [h](UINT m, WPARAM a, LPARAM b) { return DefSubclassProc(h, m, a, b); };
  if (LimitBytes(h, static_cast<int>(maxBytes), msg, w, l, base, result)) return result;
  if (msg == WM_NCDESTROY) RemoveWindowSubclass(h, LimitProc, kLimitSubclass);
  return DefSubclassProc(h, msg, w, l);
}

}  // namespace

LRESULT MultiLineDialogCode(HWND view, LRESULT code, LPARAM msg) {
  code &= ~DLGC_HASSETSEL;
  const auto* m = reinterpret_cast<const MSG*>(msg);
  const bool tab = m && (m->message == WM_KEYDOWN || m->message == WM_CHAR) && m->wParam == VK_TAB;
  if (tab && !(CtrlOnly() && Editable(view))) code &= ~(DLGC_WANTALLKEYS | DLGC_WANTMESSAGE | DLGC_WANTTAB);
  return code;
}

bool CtrlTab(HWND view, UINT msg, WPARAM w) {
  if (w != VK_TAB || !CtrlOnly() || !Editable(view)) return false;
  if (msg == WM_KEYDOWN) {
    SendMessageW(view, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"\t"));
    return true;
  }
  return msg == WM_CHAR;  // the chord's own character, where the keyboard makes one
}

bool LimitBytes(HWND edit, int maxBytes, UINT msg, WPARAM w, LPARAM l, const BaseProc& base, LRESULT& result) {
  if (maxBytes <= 0) return false;
  const auto limit = static_cast<size_t>(maxBytes);
  switch (msg) {
    case WM_CHAR: {
      const bool text = w >= 0x20 || (MultiLine(edit) && (w == '\r' || w == '\t'));
      if (!text || !Editable(edit)) return false;
      const std::wstring typed = w == '\r' ? std::wstring(L"\r\n") : std::wstring(1, static_cast<wchar_t>(w));
      if (BytesKept(edit) + Bytes(typed) <= limit) return false;
      MessageBeep(MB_OK);
      result = 0;
      return true;
    }
    case WM_PASTE: {
      if (!Editable(edit)) return false;
      std::wstring clip = ClipboardText(edit);
      if (!MultiLine(edit)) clip = clip.substr(0, clip.find_first_of(L"\r\n"));  // one line, as the edit takes it
      if (clip.empty()) return false;
      result = SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(clip.c_str()));
      return true;
    }
    case EM_REPLACESEL: {
      const auto* text = reinterpret_cast<const wchar_t*>(l);
      if (!text) return false;
      const size_t room = limit - std::min(limit, BytesKept(edit));
      if (Bytes(text) <= room) return false;
      MessageBeep(MB_OK);
      const std::wstring fitted = Fit(text, room);
      result = base(msg, w, reinterpret_cast<LPARAM>(fitted.c_str()));
      return true;
    }
    case WM_SETTEXT: {
      const auto* text = reinterpret_cast<const wchar_t*>(l);
      if (!text || Bytes(text) <= limit) return false;
      const std::wstring fitted = Fit(text, limit);
      result = base(msg, w, reinterpret_cast<LPARAM>(fitted.c_str()));
      return true;
    }
    default:
      return false;
  }
}

void AttachByteLimit(HWND edit, int maxBytes) {
  if (edit && maxBytes > 0) SetWindowSubclass(edit, LimitProc, kLimitSubclass, static_cast<DWORD_PTR>(maxBytes));
}

}  // namespace editkeys
