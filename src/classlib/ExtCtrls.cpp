#include "classlib/ExtCtrls.h"

#include "classlib/Gbk.h"

void ApplicationHandleException();

// ---- TTimer ----

namespace {

constexpr wchar_t kTimerClass[] = L"TTimerWindow";
constexpr wchar_t kTimerProp[] = L"TorvikTimer";
constexpr UINT_PTR kTimerId = 1;

}  // namespace

TTimer::TTimer(TComponent* owner) : TComponent(owner) {
  HINSTANCE inst = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  if (!GetClassInfoExW(inst, kTimerClass, &wc)) {
    wc.lpfnWndProc = Proc;
    wc.hInstance = inst;
    wc.lpszClassName = kTimerClass;
    RegisterClassExW(&wc);
  }
  window_ = CreateWindowExW(0, kTimerClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, inst, nullptr);
  if (!window_) throw Exception("cannot create the timer window");
  SetPropW(window_, kTimerProp, this);
  Update();
}

TTimer::~TTimer() {
  KillTimer(window_, kTimerId);
  RemovePropW(window_, kTimerProp);
  DestroyWindow(window_);
}

void TTimer::SetEnabled(bool v) {
  enabled_ = v;
  Update();
}

void TTimer::SetInterval(unsigned ms) {
  interval_ = ms;
  Update();
}

// A new interval or a new start restarts the count; interval 0 stops the timer.
void TTimer::Update() {
  KillTimer(window_, kTimerId);
  if (enabled_ && interval_ > 0) SetTimer(window_, kTimerId, interval_, nullptr);
}

LRESULT CALLBACK TTimer::Proc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_TIMER) {
    auto* self = static_cast<TTimer*>(GetPropW(h, kTimerProp));
    try {
      if (self && self->enabled_ && self->OnTimer) self->OnTimer(self);
    } catch (...) {
      ApplicationHandleException();
    }
    return 0;
  }
  return DefWindowProcW(h, msg, w, l);
}

// ---- TLabeledEdit ----

TLabeledEdit::TLabeledEdit(TComponent* owner) : TEdit(owner), label_(new TLabel(this)) {}

void TLabeledEdit::SetLabelPosition(TLabelPosition p) {
  position_ = p;
  PlaceLabel();
}

void TLabeledEdit::CreateHandle() {
  TEdit::CreateHandle();
  PlaceLabel();
}

void TLabeledEdit::PlaceLabel() {
  if (!Parent()) return;
  if (label_->Parent() != Parent()) label_->SetParent(Parent());
  // The label's size is its text's size in its font, measured on the screen so that
  // it is right also before the label's window exists.
  HDC dc = GetDC(nullptr);
  std::shared_ptr<HFONT__> font = SharedFont(label_->EffectiveFont());
  HGDIOBJ old = SelectObject(dc, font.get());
  std::wstring text = gbk::ToWide(label_->Text());
  SIZE size{0, label_->EffectiveFont().Size * 2};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  int w = size.cx, h = size.cy;
  int x = Left(), y = Top();
  switch (position_) {
    case lpAbove:
      y -= h + LabelSpacing;
      break;
    case lpBelow:
      y += Height() + LabelSpacing;
      break;
    case lpLeft:
      x -= w + LabelSpacing;
      y += (Height() - h) / 2;
      break;
    case lpRight:
      x += Width() + LabelSpacing;
      y += (Height() - h) / 2;
      break;
  }
  label_->SetBounds(x, y, w, h);
  label_->SetVisible(Visible());
}

LRESULT TLabeledEdit::WndProc(UINT msg, WPARAM w, LPARAM l) {
  LRESULT r = TEdit::WndProc(msg, w, l);
  if (msg == WM_WINDOWPOSCHANGED) PlaceLabel();
  // The caption greys with its edit.
  if (msg == WM_ENABLE && label_->HandleAllocated()) EnableWindow(label_->Handle(), static_cast<BOOL>(w));
  return r;
}

// ---- TPaintedControl ----

LRESULT TPaintedControl::WndProc(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd_, &ps);
      Paint(dc);
      EndPaint(hwnd_, &ps);
      return 0;
    }
  }
  return TWinControl::WndProc(msg, w, l);
}
