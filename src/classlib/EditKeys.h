// What the edit controls (the system's edit, the rich edit, the combo box's edit) do
// with the keyboard beyond the system's own handling (Win32 only): a multi-line view is
// left by Tab, and a byte limit counts GBK bytes, as the records the text goes into do.
#pragma once

#include <windows.h>

#include <functional>

namespace editkeys {

// A message passed on to the window's own procedure.
using BaseProc = std::function<LRESULT(UINT, WPARAM, LPARAM)>;

// The dialog code of a multi-line view, `code` the one its class answers: Tab and
// Shift+Tab go on to the form, which moves the focus, and entering the view by Tab
// selects nothing (a key typed next would replace the whole text). Ctrl+Tab stays with
// an editable view, which takes it as a tab.
LRESULT MultiLineDialogCode(HWND view, LRESULT code, LPARAM msg);
// Ctrl+Tab in an editable multi-line view: a tab goes in as typed text. True when the
// message was taken.
bool CtrlTab(HWND view, UINT msg, WPARAM w);

// A byte limit on an edit window: a typed character that would pass `maxBytes` is
// refused with a beep, pasted or inserted text keeps only the whole characters that fit
// (with a beep when some do not), and text the program sets is cut at a character. True
// when the message was handled here, its result in `result`.
bool LimitBytes(HWND edit, int maxBytes, UINT msg, WPARAM w, LPARAM l, const BaseProc& base, LRESULT& result);
// The same limit on an edit window that has no class-library object (a combo box's).
void AttachByteLimit(HWND edit, int maxBytes);

}  // namespace editkeys
