#include "classlib/StdCtrls.h"

#include "classlib/Forms.h"
#include "classlib/Gbk.h"

HBRUSH TLabel::HandleCtlColor(HDC dc) {
  HBRUSH b = TControl::HandleCtlColor(dc);
  if (Transparent) {
    SetBkMode(dc, TRANSPARENT);
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  }
  return b;
}

bool TLabel::HandleCommand(WORD code) {
  if (code == STN_CLICKED) Click();
  else if (code == STN_DBLCLK && OnDblClick) OnDblClick(this);
  return true;
}

bool TButton::HandleCommand(WORD code) {
  if (code != BN_CLICKED) return false;
  // A button of a modal form answers with its result before its own handler runs.
  if (ModalResult != 0) {
    for (TWinControl* p = Parent(); p; p = p->Parent()) {
      if (auto* f = dynamic_cast<TForm*>(p)) {
        f->ModalResult = ModalResult;
        break;
      }
    }
  }
  Click();
  return true;
}

bool TCheckBox::Checked() {
  if (HandleAllocated()) checked_ = SendMessageW(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED;
  return checked_;
}

void TCheckBox::SetChecked(bool v) {
  checked_ = v;
  if (HandleAllocated()) SendMessageW(hwnd_, BM_SETCHECK, v ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TCheckBox::AfterCreate() { SetChecked(checked_); }

bool TCheckBox::HandleCommand(WORD code) {
  if (code != BN_CLICKED) return false;
  Checked();
  Click();
  return true;
}

DWORD TEdit::Style() const {
  return TControl::Style() | WS_TABSTOP | ES_AUTOHSCROLL | (ReadOnly ? ES_READONLY : 0);
}

void TEdit::AfterCreate() {
  if (MaxLength > 0) SendMessageW(hwnd_, EM_SETLIMITTEXT, MaxLength, 0);
}

bool TEdit::HandleCommand(WORD code) {
  if (code == EN_CHANGE && OnChange) OnChange(this);
  return code == EN_CHANGE;
}

HBRUSH TEdit::HandleCtlColor(HDC dc) {
  SetTextColor(dc, ColorToRGB(Font().Color));
  SetBkColor(dc, ColorToRGB(clWindow));
  return GetSysColorBrush(COLOR_WINDOW);
}

DWORD TMemo::Style() const {
  DWORD s = TControl::Style() | WS_TABSTOP | ES_MULTILINE | ES_WANTRETURN | WS_VSCROLL | (ReadOnly ? ES_READONLY : 0);
  if (!WordWrap) s |= WS_HSCROLL | ES_AUTOHSCROLL;
  return s;
}

TPanel::TPanel(TComponent* owner) : TWinControl(owner) {}

LRESULT TPanel::WndProc(UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_ERASEBKGND) {
    RECT r;
    GetClientRect(hwnd_, &r);
    HDC dc = reinterpret_cast<HDC>(w);
    FillRect(dc, &r, BackgroundBrush());
    if (BevelOuter != bvNone) DrawEdge(dc, &r, BevelOuter == bvRaised ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT);
    return 1;
  }
  if (msg == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_, &ps);
    std::wstring text = gbk::ToWide(Text());
    if (!text.empty()) {
      RECT r;
      GetClientRect(hwnd_, &r);
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, ColorToRGB(Font().Color));
      HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(hwnd_, WM_GETFONT, 0, 0)));
      DrawTextW(dc, text.c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
      SelectObject(dc, old);
    }
    EndPaint(hwnd_, &ps);
    return 0;
  }
  if (msg == WM_SETFONT) {
    // Our own class keeps the font itself, for painting the caption.
    font_handle_ = reinterpret_cast<HFONT>(w);
    if (LOWORD(l)) Invalidate();
    return 0;
  }
  if (msg == WM_GETFONT) return reinterpret_cast<LRESULT>(font_handle_);
  return TWinControl::WndProc(msg, w, l);
}
