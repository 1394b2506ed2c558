// The skinners of combo boxes (with their drop-down lists' scroll bars) and up-downs.
#include <algorithm>
#include <string>

#include "skin/WinSkinForm.h"
#include "skin/WinSubClass.h"

namespace {

const wchar_t kComboProp[] = L"TorvikSkinCombo";

}  // namespace

// ---- Combo boxes ----

TSkinComBox::~TSkinComBox() {
  if (stage_ != 6) FreeLists();
}

void TSkinComBox::Init(TSkinControlHost* formSkin, TSkinData* data, TCanvas* canvas, bool recolour) {
  TSkinControl::Init(formSkin, data, canvas, recolour);
  if (initialised_) Setup();
}

void TSkinComBox::Inithwnd(HWND wnd, TSkinData* data, TCanvas* canvas, TSkinControlHost* formSkin) {
  TSkinControl::Inithwnd(wnd, data, canvas, formSkin);
  if (initialised_) Setup();
}

bool TSkinComBox::ReadInfo() {
  info_ = COMBOBOXINFO{};
  info_.cbSize = sizeof info_;
  const auto get = User32Extras().GetComboBoxInfo;
  return get && get(wnd_, &info_);
}

// The lists get their skinners; the edit part tells us when it is pressed.
void TSkinComBox::Setup() {
  style_ = static_cast<DWORD>(GetWindowLongW(wnd_, GWL_STYLE));
  if (!ReadInfo()) return;
  const DWORD kind = style_ & 3;
  if (kind == CBS_SIMPLE && info_.hwndList) {
    simpleList_ = std::make_unique<TSkinScrollbarH>(this);
    simpleList_->Inithwnd(info_.hwndList, data_, canvas_, nullptr);
  } else if (info_.hwndList && IsTopPopup(info_.hwndList) && InSet(data_->SkinControls, xcScrollbar)) {
    dropList_ = std::make_unique<TComboxScrollBar>(this);
    dropList_->Inithwnd(info_.hwndList, data_, canvas_, nullptr);
  }
  FindBtn();
}

void TSkinComBox::FindBtn() {
  HWND child = GetWindow(wnd_, GW_CHILD);
  if (!child || child == info_.hwndList) return;
  edit_ = child;
  SetPropW(edit_, kComboProp, this);
  editOld_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(edit_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TSkinComBox::ButtonProc)));
}

// Gives the edit part its procedure back (unless another subclass sits above ours) and
// frees the lists' skinners, which give their windows back.
void TSkinComBox::FreeLists() {
  if (edit_ && IsWindow(edit_)) {
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(edit_, GWLP_WNDPROC)) == &TSkinComBox::ButtonProc)
      SetWindowLongPtrW(edit_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(editOld_));
    RemovePropW(edit_, kComboProp);
  }
  edit_ = nullptr;
  simpleList_.reset();
  dropList_.reset();
}

void TSkinComBox::Unsubclass() {
  TSkinControl::Unsubclass();
  if (stage_ != 6) FreeLists();
}

LRESULT CALLBACK TSkinComBox::ButtonProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  auto* self = static_cast<TSkinComBox*>(GetPropW(h, kComboProp));
  if (!self) return DefWindowProcW(h, msg, w, l);
  const WNDPROC old = self->editOld_;
  if (msg == WM_NCDESTROY) {
    RemovePropW(h, kComboProp);
    self->edit_ = nullptr;
    return CallWindowProcW(old, h, msg, w, l);
  }
  const LRESULT result = CallWindowProcW(old, h, msg, w, l);
  switch (msg) {
    case WM_PAINT:
      self->PaintControl(nullptr);
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      self->Set(scDown, true);
      self->PaintControl(nullptr);
      break;
    case WM_LBUTTONUP:
      self->Set(scDown, false);
      self->PaintControl(nullptr);
      break;
    default:
      break;
  }
  return result;
}

void TSkinComBox::AfterProc(TMessage& m) {
  switch (m.Msg) {
    case WM_MOUSEMOVE: {
      ReadInfo();
      const POINT p{static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam))};
      const bool in = PtInRect(&info_.rcButton, p) && !Disabled(wnd_);
      if (in != Has(scMouseIn)) {
        Set(scMouseIn, in);
        PaintControl(nullptr);
      }
      DoTrackMouse(wnd_);
      break;
    }
    case WM_MOUSELEAVE:
    case CM_MOUSELEAVE:
      Set(scMouseIn, false);
      PaintControl(nullptr);
      break;
    case CN_COMMAND:
      if (HIWORD(m.WParam) == CBN_DROPDOWN || HIWORD(m.WParam) == CBN_CLOSEUP) {
        droppedDown_ = HIWORD(m.WParam) == CBN_DROPDOWN;
        if (!droppedDown_) Set(scDown, false);
        PaintControl(nullptr);
      }
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_DRAWITEM:
    case WM_NCPAINT:
    case WM_ENABLE:
    case WM_CAPTURECHANGED:
    case WM_KEYDOWN:
    case CB_SETCURSEL:
    case CB_SHOWDROPDOWN:
      if (m.Msg == WM_CAPTURECHANGED || m.Msg == WM_KEYDOWN) Set(scDown, false);
      PaintControl(nullptr);
      break;
    default:
      TSkinControl::AfterProc(m);
  }
  if (m.Msg == WM_PAINT || m.Msg == WM_SETFOCUS || m.Msg == WM_KEYDOWN || m.Msg == CB_SETCURSEL ||
      m.Msg == CN_COMMAND || m.Msg == WM_LBUTTONUP)
    PaintSelectedField();
}

// A focused drop-down list shows its text on the system's highlight; it is drawn again
// on the skin's, where the combo draws it.
void TSkinComBox::PaintSelectedField() {
  if ((style_ & 3) != CBS_DROPDOWNLIST || (style_ & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)) || !data_ ||
      GetFocus() != wnd_ || SendMessageW(wnd_, CB_GETDROPPEDSTATE, 0, 0) || !ReadInfo())
    return;
  const LRESULT index = SendMessageW(wnd_, CB_GETCURSEL, 0, 0);
  const LRESULT length = index < 0 ? 0 : SendMessageW(wnd_, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  std::wstring text(static_cast<size_t>(std::max<LRESULT>(length, 0)) + 1, L'\0');
  if (length > 0)
    text.resize(static_cast<size_t>(std::max<LRESULT>(
        0, SendMessageW(wnd_, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data())))));
  else
    text.clear();
  RECT field = info_.rcItem;
  HDC dc = GetDC(wnd_);
  HGDIOBJ font = SelectObject(dc, WindowFont());
  SetBkColor(dc, ColorToRGB(data_->SchemeColors[csHilight]));
  SetTextColor(dc, ColorToRGB(data_->SchemeColors[csHilightText]));
  ExtTextOutW(dc, field.left + 2, field.top + 2, ETO_OPAQUE | ETO_CLIPPED, &field, text.c_str(),
              static_cast<UINT>(text.size()), nullptr);
  InflateRect(&field, -1, -1);
  DrawFocusRect(dc, &field);
  SelectObject(dc, font);
  ReleaseDC(wnd_, dc);
}

// The frame the state shows; the open list keeps the button pressed. A bare combo's
// parent tells us nothing, so its own state is asked.
int TSkinComBox::Frame() const {
  const bool dropped = control_ ? droppedDown_ : SendMessageW(wnd_, CB_GETDROPPEDSTATE, 0, 0) != 0;
  int state = GetFocus() == wnd_ || (edit_ && GetFocus() == edit_) ? 4 : 1;
  if (Has(scDown) || dropped) {
    state = 2;
  } else if (Has(scMouseIn)) {
    state = 4;
  }
  if (Disabled(wnd_)) state = 3;
  return state;
}

// The rebuilt "ComboButton" holds the whole combo, frame and button, with a see-through
// middle; an unrebuilt one only covers the button.
void TSkinComBox::DrawControl(HDC dc, const RECT& r) {
  const TDataSkinBorder* button = data_ ? data_->ComboButton.get() : nullptr;
  if (!button || EmptyImage(button->Image.get()) || !ReadInfo()) return;
  const int state = Frame();
  if (button->Style == 2) {
    DrawRect2(dc, r, button->Image.get(), false, false, true, button->Frame, state, button->Margins());
    return;
  }
  RECT b = info_.rcButton;
  RECT item = info_.rcItem;
  RECT wr;
  GetWindowRect(wnd_, &wr);
  POINT origin{0, 0};
  ClientToScreen(wnd_, &origin);
  OffsetRect(&b, origin.x - wr.left, origin.y - wr.top);
  OffsetRect(&item, origin.x - wr.left, origin.y - wr.top);
  if (button->Style == 1) {
    DrawControl1(dc, r, b, item, state);
    return;
  }
  if (const TDataSkinObject* edge = data_->SunkEdge.get(); edge && !EmptyImage(edge->Image.get())) {
    const int save = SaveDC(dc);
    RECT inner = r;
    InflateRect(&inner, -2, -2);
    ExcludeClipRect(dc, inner.left, inner.top, inner.right, inner.bottom);
    DrawRect2(dc, r, edge->Image.get(), false, false, edge->Trans == 1, std::max(1, edge->Frame), state,
              edge->Margins());
    RestoreDC(dc, save);
  }
  DrawRect2(dc, b, button->Image.get(), false, false, button->Trans == 1, std::max(1, button->Frame), state,
            button->Margins());
}

// The flat look: a line of the skin's shadow colour round a field of the window colour,
// and the button from the image, with no sunk edge. The text area is the combo's own.
void TSkinComBox::DrawControl1(HDC dc, const RECT& r, const RECT& button, const RECT& item, int state) const {
  const TDataSkinBorder& image = *data_->ComboButton;
  const int save = SaveDC(dc);
  ExcludeClipRect(dc, item.left, item.top, item.right, item.bottom);
  ExcludeClipRect(dc, button.left, button.top, button.right, button.bottom);
  FillRect(dc, &r, GetSysColorBrush(COLOR_WINDOW));
  HBRUSH line = CreateSolidBrush(ColorToRGB(data_->SchemeColors[csButtonShadow]));
  FrameRect(dc, &r, line);
  DeleteObject(line);
  RestoreDC(dc, save);
  DrawRect2(dc, button, image.Image.get(), false, false, image.Trans == 1, std::max(1, image.Frame), state,
            image.Margins());
}

// ---- The drop-down list's scroll bar ----

void TComboxScrollBar::Inithwnd(HWND wnd, TSkinData* data, TCanvas* canvas, TSkinControlHost* formSkin) {
  arrow_ = GetSystemMetrics(SM_CXHSCROLL);
  TSkinControl::Inithwnd(wnd, data, canvas, formSkin);
}

// The bar in the list's window coordinates.
bool TComboxScrollBar::BarRect(RECT& bar, SCROLLBARINFO& info) const {
  info = SCROLLBARINFO{};
  info.cbSize = sizeof info;
  if (!TSkinData::GetScrollBarInfo(wnd_, OBJID_VSCROLL, &info) || (info.rgstate[0] & STATE_SYSTEM_INVISIBLE))
    return false;
  RECT wr;
  GetWindowRect(wnd_, &wr);
  bar = info.rcScrollBar;
  OffsetRect(&bar, -wr.left, -wr.top);
  return !IsRectEmpty(&bar);
}

bool TComboxScrollBar::BeforeProc(TMessage& m) {
  switch (m.Msg) {
    case WM_NCPAINT:  // the list's own frame first, then our bar over its bar
      Default(m);
      PaintControl(nullptr);
      return false;
    case WM_NCMOUSEMOVE:
      if (m.WParam == HTVSCROLL || m.WParam == HTHSCROLL) {
        RECT bar;
        SCROLLBARINFO info;
        if (BarRect(bar, info)) {
          const int y = static_cast<short>(HIWORD(m.LParam)) - info.rcScrollBar.top;
          const int hot = y < arrow_                 ? 0
                          : y < info.xyThumbTop      ? 2
                          : y < info.xyThumbBottom   ? 5
                          : y < Height(bar) - arrow_ ? 3
                                                     : 1;
          if (hot != hot_) {
            hot_ = hot;
            PaintControl(nullptr);
          }
        }
        return false;
      }
      if (hot_ != -1) {
        hot_ = -1;
        PaintControl(nullptr);
      }
      return true;
    case WM_NCLBUTTONDOWN:
      if (m.WParam == HTVSCROLL) {
        RECT bar;
        SCROLLBARINFO info;
        const POINT p{static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam))};
        if (!BarRect(bar, info)) return true;
        const int y = p.y - info.rcScrollBar.top;
        if (y >= info.xyThumbTop && y < info.xyThumbBottom) {
          thumbStart_ = info.xyThumbTop;
          thumbEnd_ = info.xyThumbBottom;
          DragThumb(p);
          return false;
        }
      }
      return true;
    default:
      return TSkinControl::BeforeProc(m);
  }
}

void TComboxScrollBar::AfterProc(TMessage& m) {
  switch (m.Msg) {
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_MOUSEWHEEL:
    case WM_KEYDOWN:
    case WM_SHOWWINDOW:
    case WM_WINDOWPOSCHANGED:
    case LB_SETTOPINDEX:
    case LB_SETCURSEL:
    case 0x1AE:  // the list starts tracking the mouse
      PaintControl(nullptr);
      PaintSelection();
      break;
    case WM_PAINT:
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_TIMER:  // the list scrolls while the mouse is held below it
      TSkinControl::AfterProc(m);
      PaintSelection();
      break;
    default:
      TSkinControl::AfterProc(m);
  }
}

// The list draws its selected item in the system's highlight, at once whenever the
// selection moves; the item is drawn again in the skin's, as the list lays it out.
void TComboxScrollBar::PaintSelection() const {
  if (!data_ || !IsWindowVisible(wnd_) ||
      (GetWindowLongW(wnd_, GWL_STYLE) & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)))
    return;
  const LRESULT index = SendMessageW(wnd_, LB_GETCURSEL, 0, 0);
  RECT item{}, client{};
  GetClientRect(wnd_, &client);
  if (index < 0 ||
      SendMessageW(wnd_, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)) == LB_ERR ||
      !IntersectRect(&item, &item, &client))
    return;
  const LRESULT length = SendMessageW(wnd_, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length < 0) return;
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  text.resize(static_cast<size_t>(std::max<LRESULT>(
      0, SendMessageW(wnd_, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data())))));
  HDC dc = GetDC(wnd_);
  HGDIOBJ font = SelectObject(dc, WindowFont());
  SetBkColor(dc, ColorToRGB(data_->SchemeColors[csHilight]));
  SetTextColor(dc, ColorToRGB(data_->SchemeColors[csHilightText]));
  ExtTextOutW(dc, item.left + 1, item.top, ETO_OPAQUE | ETO_CLIPPED, &item, text.c_str(),
              static_cast<UINT>(text.size()), nullptr);
  SelectObject(dc, font);
  ReleaseDC(wnd_, dc);
}

void TComboxScrollBar::DrawControl(HDC dc, const RECT&) {
  RECT bar;
  SCROLLBARINFO info;
  if (!data_ || !BarRect(bar, info)) return;
  const bool enabled = !(info.rgstate[0] & STATE_SYSTEM_UNAVAILABLE);
  const bool dragging = GetCapture() == wnd_ && hot_ == 5;
  DrawSkinScrollbar(dc, bar, *data_, true, enabled, dragging ? thumbStart_ : info.xyThumbTop,
                    dragging ? thumbEnd_ : info.xyThumbBottom, hot_, dragging, arrow_);
}

// The thumb follows the mouse until the button is released; the list scrolls with it.
void TComboxScrollBar::DragThumb(POINT start) {
  SetCapture(wnd_);
  SCROLLINFO si{sizeof si, SIF_ALL};
  GetScrollInfo(wnd_, SB_VERT, &si);
  RECT bar;
  SCROLLBARINFO info;
  BarRect(bar, info);
  const int startOffset = thumbStart_ - arrow_;
  const int track = Height(bar) - 2 * arrow_;
  const int thumbLength = thumbEnd_ - thumbStart_;
  // The thumb's travel spans every position the list can take, so that the thumb at
  // the bottom shows the last page (or the last item without a page).
  const int travel = std::max(1, track - thumbLength);
  const int last = si.nPage > 0 ? si.nMax - static_cast<int>(si.nPage) + 1 : si.nMax;
  hot_ = 5;
  int pos = si.nPos;
  for (;;) {
    MSG msg;
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      WaitMessage();
      continue;
    }
    if (msg.message == WM_NCLBUTTONUP || msg.message == WM_LBUTTONUP || msg.message == WM_QUIT) {
      SendMessageW(wnd_, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, pos), 0);
      PostMessageW(wnd_, WM_VSCROLL, SB_ENDSCROLL, 0);
      if (msg.message == WM_QUIT) PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    if (msg.message != WM_NCMOUSEMOVE && msg.message != WM_MOUSEMOVE) continue;
    POINT c;
    GetCursorPos(&c);
    const int offset = std::clamp(startOffset + static_cast<int>(c.y - start.y), 0, travel);
    const int next = std::max(std::min(MulDiv(offset, last - si.nMin, travel) + si.nMin, last), si.nMin);
    thumbStart_ = arrow_ + offset;
    thumbEnd_ = thumbStart_ + thumbLength;
    if (next != pos) {
      pos = next;
      SendMessageW(wnd_, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, pos), 0);
      // A list may take the tracked position from the system's own tracking, which a
      // painted bar never starts: its top item is set as well, so it scrolls live.
      SendMessageW(wnd_, LB_SETTOPINDEX, static_cast<WPARAM>(pos), 0);
    }
    PaintControl(nullptr);
  }
  ReleaseCapture();
  hot_ = -1;
  PaintControl(nullptr);
}

// ---- Date-time pickers ----

void TSkinDateTime::Init(TSkinControlHost* formSkin, TSkinData* data, TCanvas* canvas, bool recolour) {
  TSkinControl::Init(formSkin, data, canvas, recolour);
  if (!initialised_ || !data_->ComboxArrow) return;
  arrow_ = new TArrowButton(this);
  arrow_->Attach(this, wnd_);
}

void TSkinDateTime::Unsubclass() {
  TSkinControl::Unsubclass();
  if (stage_ == 6) return;
  delete arrow_;
  arrow_ = nullptr;
}

void TSkinDateTime::AfterProc(TMessage& m) {
  switch (m.Msg) {
    case WM_SIZE:
      if (arrow_) arrow_->Place();
      break;
    case WM_PAINT:
      PaintControl(reinterpret_cast<HDC>(m.WParam));
      if (arrow_) RedrawWindow(arrow_->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
      break;
    case WM_NCPAINT:
      PaintControl(nullptr);
      break;
    default:
      TSkinControl::AfterProc(m);
  }
}

// A flat frame in the skin's shadow colour over the picker's sunken edge.
void TSkinDateTime::DrawControl(HDC dc, const RECT& r) {
  RECT client;
  GetClientRect(wnd_, &client);
  if (Width(r) <= client.right && Height(r) <= client.bottom) return;
  RECT f = r;
  const TColor colours[] = {data_->SchemeColors[csButtonShadow], clWhite};
  for (TColor c : colours) {
    HBRUSH b = CreateSolidBrush(ColorToRGB(c));
    FrameRect(dc, &f, b);
    DeleteObject(b);
    InflateRect(&f, -1, -1);
  }
}

TArrowButton::~TArrowButton() {
  if (handle_ && IsWindow(handle_)) {
    SetWindowLongPtrW(handle_, GWLP_USERDATA, 0);
    DestroyWindow(handle_);
  }
}

void TArrowButton::Attach(TSkinDateTime* skinner, HWND picker) {
  static const ATOM atom = [] {
    WNDCLASSEXW c{};
    c.cbSize = sizeof c;
    c.lpfnWndProc = &TArrowButton::Proc;
    c.hInstance = GetModuleHandleW(nullptr);
    c.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    c.lpszClassName = L"TorvikSkinArrowButton";
    return RegisterClassExW(&c);
  }();
  (void)atom;
  skinner_ = skinner;
  picker_ = picker;
  handle_ = CreateWindowExW(0, L"TorvikSkinArrowButton", L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, picker, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
  SetWindowLongPtrW(handle_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  Place();
}

// Over the picker's own drop-down button, at its right (or left for right-to-left).
void TArrowButton::Place() {
  RECT client;
  GetClientRect(picker_, &client);
  const int size = GetSystemMetrics(SM_CXHSCROLL);
  const bool left = GetWindowLongW(picker_, GWL_EXSTYLE) & WS_EX_LEFTSCROLLBAR;
  const int x = left ? 2 : client.right - size;
  MoveWindow(handle_, std::max(0, x), 0, size, std::min<int>(size + 1, client.bottom), TRUE);
}

void TArrowButton::Paint(HDC dc) {
  RECT r;
  GetClientRect(handle_, &r);
  const TDataSkinObject* arrow = skinner_->Data() ? skinner_->Data()->ComboxArrow.get() : nullptr;
  if (!arrow || EmptyImage(arrow->Image.get())) {
    DrawFrameControl(dc, &r, DFC_SCROLL, DFCS_SCROLLCOMBOBOX | (pressed_ ? DFCS_PUSHED : 0));
    return;
  }
  DrawRect1(dc, r, arrow->Image.get(), false, std::max(1, arrow->Frame), Frame());
}

LRESULT CALLBACK TArrowButton::Proc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  auto* self = reinterpret_cast<TArrowButton*>(GetWindowLongPtrW(h, GWLP_USERDATA));
  if (!self) return DefWindowProcW(h, msg, w, l);
  switch (msg) {
    case WM_PAINT:
      return PaintWindow(h, [self](HDC dc) { self->Paint(dc); });
    case WM_ERASEBKGND:
      return 1;
    case WM_MOUSEMOVE:
      if (!self->mouseIn_) {
        self->mouseIn_ = true;
        InvalidateRect(h, nullptr, FALSE);
        DoTrackMouse(h);
      }
      return 0;
    case WM_MOUSELEAVE:
      self->mouseIn_ = false;
      InvalidateRect(h, nullptr, FALSE);
      return 0;
    case WM_LBUTTONDOWN: {
      // The picker opens its calendar for a press on its own button, under ours.
      POINT p{static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l))};
      MapWindowPoints(h, self->picker_, &p, 1);
      self->pressed_ = true;
      RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
      PostMessageW(self->picker_, WM_LBUTTONDOWN, w, MAKELPARAM(p.x, p.y));
      PostMessageW(self->picker_, WM_LBUTTONUP, w, MAKELPARAM(p.x, p.y));
      return 0;
    }
    case WM_LBUTTONUP:
      self->pressed_ = false;
      InvalidateRect(h, nullptr, FALSE);
      SetFocus(self->picker_);
      return 0;
    case WM_NCDESTROY:
      self->handle_ = nullptr;
      break;
    default:
      break;
  }
  return DefWindowProcW(h, msg, w, l);
}

// ---- Up-downs ----

namespace {

// One bevel round r: top and left edges in one colour, bottom and right in the other.
void Bevel(TCanvas& c, const RECT& r, TColor topLeft, TColor bottomRight) {
  c.Pen.Color = topLeft;
  c.MoveTo(r.left, r.bottom - 1);
  c.LineTo(r.left, r.top);
  c.LineTo(r.right - 1, r.top);
  c.Pen.Color = bottomRight;
  c.LineTo(r.right - 1, r.bottom - 1);
  c.LineTo(r.left - 1, r.bottom - 1);
}

// A plain raised button in the skin's colours with an arrow (0 up, 1 down, 2 left,
// 3 right) in its text colour; pressed, it is sunken and the arrow moves by a pixel.
void DrawButton(HDC dc, const RECT& r, const TSkinData& d, int direction, int state) {
  if (Width(r) < 2 || Height(r) < 2) return;
  FillColor(dc, r, d.SchemeColors[csButtonFace]);
  TCanvas c(dc);
  const TColor light = d.SchemeColors[csButtonHilight], shadow = d.SchemeColors[csButtonShadow],
               dark = d.SchemeColors[csButtonDkshadow];
  const bool pressed = state == 2;
  Bevel(c, r, pressed ? dark : light, pressed ? light : dark);
  Bevel(c, RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}, pressed ? shadow : d.SchemeColors[csButtonFace],
        pressed ? d.SchemeColors[csButtonFace] : shadow);
  c.Pen.Color = state == 3 ? shadow : d.SchemeColors[csButtonText];
  const bool across = direction < 2;  // up and down arrows are 7 wide and 4 high
  const int shift = pressed ? 1 : 0;
  const int x = r.left + Width(r) / 2 - (across ? 3 : 2) + shift, y = r.top + Height(r) / 2 - (across ? 2 : 3) + shift;
  DrawArrow(&c, x, y, direction);
}

}  // namespace

bool TSkinUpDown::IsHorizontal() const { return Horizontal || (GetWindowLongW(wnd_, GWL_STYLE) & UDS_HORZ); }

RECT TSkinUpDown::Half(const RECT& r, int half) const {
  if (IsHorizontal()) {
    const int mid = r.left + Width(r) / 2;
    return half ? RECT{mid, r.top, r.right, r.bottom} : RECT{r.left, r.top, mid, r.bottom};
  }
  const int mid = r.top + Height(r) / 2;
  return half ? RECT{r.left, mid, r.right, r.bottom} : RECT{r.left, r.top, r.right, mid};
}

int TSkinUpDown::HalfAt(POINT p) const {
  RECT c;
  GetClientRect(wnd_, &c);
  if (!PtInRect(&c, p)) return -1;
  const RECT first = Half(c, 0);
  return PtInRect(&first, p) ? 0 : 1;
}

int TSkinUpDown::HalfState(int half) const {
  if (Disabled(wnd_)) return 3;
  if (half != hotHalf_) return 1;
  if (Has(scDown)) return 2;
  return Has(scMouseIn) ? 4 : 1;
}

bool TSkinUpDown::BeforeProc(TMessage& m) {
  const POINT p{static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam))};
  switch (m.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      Default(m);  // the control starts its repeat here
      hotHalf_ = HalfAt(p);
      Set(scDown, true);
      PaintControl(nullptr);
      return false;
    case WM_LBUTTONUP:
      Set(scDown, false);
      Default(m);
      PaintControl(nullptr);
      return false;
    case WM_PAINT:
      WMPaint(m);
      return false;
    case WM_ERASEBKGND:
      if (!control_) {  // a bare window paints nothing of its own under the halves
        RECT c;
        GetClientRect(wnd_, &c);
        FillColor(reinterpret_cast<HDC>(m.WParam), c, clWhite);
      }
      m.Result = 1;
      return false;
    default:
      return TSkinControl::BeforeProc(m);
  }
}

void TSkinUpDown::AfterProc(TMessage& m) {
  switch (m.Msg) {
    case WM_MOUSEMOVE: {
      const POINT p{static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam))};
      const int half = Has(scDown) ? hotHalf_ : HalfAt(p);
      if (half != hotHalf_ || !Has(scMouseIn)) {
        hotHalf_ = half;
        Set(scMouseIn, true);
        PaintControl(nullptr);
      }
      DoTrackMouse(wnd_);
      break;
    }
    case WM_MOUSELEAVE:
      Set(scMouseIn, false);
      if (!Has(scDown)) hotHalf_ = -1;
      PaintControl(nullptr);
      break;
    case WM_CAPTURECHANGED:
      if (Has(scDown) && GetCapture() != wnd_) {
        Set(scDown, false);
        PaintControl(nullptr);
      }
      break;
    default:
      TSkinControl::AfterProc(m);
  }
}

// Each half from the skin's arrow buttons: four states a direction, then the glyph on it;
// without them a plain button in the skin's colours.
void TSkinUpDown::DrawControl(HDC dc, const RECT& r) {
  const bool horz = IsHorizontal();
  const TDataSkinBorder* img = horz ? data_->UpDownHorz.get() : data_->UpDownVert.get();
  for (int half = 0; half < 2; ++half) {
    const RECT h = Half(r, half);
    const int state = HalfState(half);
    if (img && !EmptyImage(img->Image.get())) {
      const int frames = std::max(2, img->Frame);
      const int frame = std::min(frames, half * (frames / 2) + state);
      DrawRect2(dc, h, img->Image.get(), false, img->Tile == 1, img->Trans == 1, frames, frame, img->Margins());
      if (img->Image2 && !EmptyImage(img->Image2.get())) DrawRect3(dc, h, img->Image2.get(), true, frames, frame);
      continue;
    }
    DrawButton(dc, h, *data_, horz ? 2 + half : half, state);
  }
}
