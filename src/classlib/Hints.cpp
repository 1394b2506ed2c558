#include "classlib/Hints.h"

#include <commctrl.h>

#include "classlib/Forms.h"
#include "classlib/Gbk.h"

namespace {

constexpr int kMaxTipWidth = 320;  // long hints wrap instead of running off the screen

TOOLINFOW ToolOf(HWND form, HWND control) {
  TOOLINFOW ti{};
  ti.cbSize = sizeof ti;
  // No TTF_SUBCLASS: comctl32's subclass costs window-server trips on every message of
  // the control under Wine; the controls relay their mouse messages themselves.
  ti.uFlags = TTF_IDISHWND;
  ti.hwnd = form;
  ti.uId = reinterpret_cast<UINT_PTR>(control);
  ti.lpszText = LPSTR_TEXTCALLBACKW;
  return ti;
}

}  // namespace

THintWindow::THintWindow(HWND form) : form_(form) {
  // Not owned by the form: a window's owned popups take part in its z-order, and a
  // topmost form would lose its place to its own tooltip.
  tip_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, TOOLTIPS_CLASSW, nullptr,
                         WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                         CW_USEDEFAULT, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!tip_) return;
  SendMessageW(tip_, TTM_SETMAXTIPWIDTH, 0, kMaxTipWidth);
  if (Application) {
    SetDelay(TTDT_INITIAL, Application->HintPause);
    SetDelay(TTDT_RESHOW, Application->HintShortPause);
    SetDelay(TTDT_AUTOPOP, Application->HintHidePause);
  }
}

THintWindow::~THintWindow() {
  if (tip_ && IsWindow(tip_)) DestroyWindow(tip_);
}

void THintWindow::SetDelay(WPARAM which, int ms) { SendMessageW(tip_, TTM_SETDELAYTIME, which, MAKELPARAM(ms, 0)); }

void THintWindow::AddTool(HWND control) {
  if (!tip_) return;
  TOOLINFOW ti = ToolOf(form_, control);
  SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

void THintWindow::RemoveTool(HWND control) {
  if (!tip_) return;
  TOOLINFOW ti = ToolOf(form_, control);
  SendMessageW(tip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

void THintWindow::Relay(const MSG& m) {
  if (tip_) SendMessageW(tip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&m));
}

bool THintWindow::HandleNotify(NMHDR* n) {
  if (!tip_ || n->hwndFrom != tip_ || n->code != TTN_GETDISPINFOW) return false;
  auto* d = reinterpret_cast<NMTTDISPINFOW*>(n);
  THintInfo info;
  info.HintControl = TControl::FromHandle(reinterpret_cast<HWND>(n->idFrom));
  if (info.HintControl && info.HintControl->ShowHint) info.HintStr = info.HintControl->Hint;
  if (Application) {
    info.ReshowTimeout = Application->HintShortPause;
    info.HideTimeout = Application->HintHidePause;
    if (!info.HintStr.empty() && Application->OnShowHint) Application->OnShowHint(info);
  }
  SetDelay(TTDT_RESHOW, info.ReshowTimeout);
  SetDelay(TTDT_AUTOPOP, info.HideTimeout);
  // An empty text keeps the tip hidden.
  text_ = gbk::ToWide(info.HintStr);
  d->lpszText = text_.data();
  d->szText[0] = L'\0';
  d->hinst = nullptr;
  return true;
}
