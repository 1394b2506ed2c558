// Painted scroll bars: the overlay window over a control's scroll bar and the skinners
// that lay it; the bar of a drop-down list is painted in its own frame.
#include <algorithm>
#include <cstdlib>
#include <memory>

#include "classlib/Controls.h"
#include "classlib/StrUtils.h"
#include "skin/WinSkinForm.h"
#include "skin/WinSubClass.h"

namespace {

constexpr int kScrollFrames = 23;

bool ReadBarInfo(HWND wnd, bool vertical, SCROLLBARINFO& info) {
  info = SCROLLBARINFO{};
  info.cbSize = sizeof info;
  return TSkinData::GetScrollBarInfo(wnd, vertical ? OBJID_VSCROLL : OBJID_HSCROLL, &info);
}

HBRUSH FaceBrush(const TSkinData& d) { return CreateSolidBrush(ColorToRGB(d.SchemeColors[csButtonFace])); }

// Arrows and grips are squares cut from the one strip, the key colour left out.
void DrawFrame23(TBitmap& work, const RECT& r, const TDataSkinObject& bar, int frame) {
  DrawSkinMap3(&work.Canvas(), r, bar.Image.get(), frame, kScrollFrames);
}

// The square between a window's two bars, which neither bar covers, in the skin's face.
void FillBarCorner(HWND wnd, const TWScrollbar& horz, const TWScrollbar& vert, const TSkinData& d) {
  if (!horz.Shown() || !vert.Shown()) return;
  const RECT& v = vert.BarRect();
  const RECT& h = horz.BarRect();
  HDC dc = GetWindowDC(wnd);
  FillColor(dc, RECT{v.left, h.top, v.right, h.bottom}, d.SchemeColors[csButtonFace]);
  ReleaseDC(wnd, dc);
}

}  // namespace

// ---- The skin's look of one bar ----

void DrawSkinScrollbar(HDC dc, const RECT& r, const TSkinData& data, bool vertical, bool enabled, int thumbStart,
                       int thumbEnd, int hot, bool pressed, int arrow) {
  const TDataSkinObject* bar = data.Scrollbar.get();
  if (!bar || EmptyImage(bar->Image.get()) || r.right <= r.left || r.bottom <= r.top) return;
  TBitmap work;
  work.SetSize(Width(r), Height(r));
  HDC w = work.Canvas().Handle();
  SetStretchBltMode(w, COLORONCOLOR);
  const RECT all = Sized(r);
  FillColor(w, all, data.SchemeColors[csButtonFace]);
  const int length = vertical ? Height(r) : Width(r);
  const int a = length < 2 * arrow ? length / 2 : arrow;
  auto along = [&](int from, int to) {
    return vertical ? RECT{0, from, all.right, to} : RECT{from, 0, to, all.bottom};
  };
  if (const TDataSkinObject* track = vertical ? data.VertScroll.get() : data.HorzScroll.get();
      track && length > 2 * a) {
    DrawRect2(w, along(a, length - a), track->Image.get(), false, track->Tile == 1, track->Trans == 1, 4,
              enabled ? 1 : 3, track->Margins());
  }
  for (int i = 0; i < 2; ++i) {
    int frame = vertical ? (i ? 13 : 9) : (i ? 5 : 1);
    if (hot == i && enabled) frame += pressed ? 1 : 3;
    if (!enabled) frame += 2;
    DrawFrame23(work, i ? along(length - a, length) : along(0, a), *bar, frame);
  }
  const TDataSkinObject* thumb = vertical ? data.VertScrollThumb.get() : data.HorzScrollThumb.get();
  if (enabled && thumb && thumbStart >= a && thumbEnd <= length - a && thumbEnd > thumbStart) {
    const bool onThumb = hot == 5;
    const int state = onThumb ? (pressed ? 2 : 3) : 1;
    const RECT t = along(thumbStart, thumbEnd);
    DrawRect2(w, t, thumb->Image.get(), false, thumb->Tile == 1, thumb->Trans == 1, std::max(1, thumb->Frame), state,
              thumb->Margins());
    // A grip image far from the system's bar thickness is drawn at the system's.
    const int grip = std::abs(bar->Image->Height() - arrow) > 2 ? arrow : bar->Image->Height();
    if (thumbEnd - thumbStart > grip + 2) {
      const int mid = (thumbStart + thumbEnd) / 2, across = vertical ? Width(all) : Height(all);
      const int off = (across - grip) / 2;
      const RECT g = vertical ? RECT{off, mid - grip / 2, off + grip, mid - grip / 2 + grip}
                              : RECT{mid - grip / 2, off, mid - grip / 2 + grip, off + grip};
      DrawFrame23(work, g, *bar, (vertical ? 20 : 17) + (onThumb ? (pressed ? 1 : 2) : 0));
    }
  }
  StretchBlt(dc, r.left, r.top, Width(r), Height(r), w, 0, 0, Width(r), Height(r), SRCCOPY);
}

// ---- TWScrollbar ----

// Made hidden: SetPosition shows it over its bar.
TWScrollbar::TWScrollbar(TComponent* owner) : TPaintedControl(owner), arrow_(GetSystemMetrics(SM_CXHSCROLL)) {
  SetVisible(false);
}

// Beside the covered window: in its parent's object when that has one, so that the
// parent's hints cover the panel too; else straight in the parent's window.
void TWScrollbar::PlaceIn(HWND parent) {
  if (auto* p = dynamic_cast<TWinControl*>(TControl::FromHandle(parent))) {
    SetParent(p);
  } else {
    SetParentWindow(parent);
  }
  HandleNeeded();
}

// The panel stands on the parent's colour; a scroll-bar control's Kind tells its axis.
void TWScrollbar::Attach(TSkinControl* skinner, TWinControl* control, unsigned char mode) {
  const TColor face = skinner->Data() ? skinner->Data()->SchemeColors[csButtonFace] : clBtnFace;
  SetColor(skinner->GetParentColor(face));
  AttachHwnd(skinner, control->Handle(), mode);
  if (mode != 2) return;
  orientation_ = LowerCase(GetProperty(control, "Kind")) == "sbhorizontal" ? 0 : 1;
  SetPosition(wnd_);
}

void TWScrollbar::AttachHwnd(TSkinControl* skinner, HWND wnd, unsigned char mode) {
  skinner_ = skinner;
  wnd_ = wnd;
  mode_ = mode;
  orientation_ = mode == 0 ? 0 : 1;
  if (mode == 2) orientation_ = (GetWindowLongW(wnd, GWL_STYLE) & SBS_VERT) ? 1 : 0;
  if (!HandleAllocated()) PlaceIn(GetParent(wnd));
  SetPosition(wnd);
}

// A scroll-bar control's own bar, its thumb worked out from its scroll information.
bool TWScrollbar::ControlInfo(SCROLLBARINFO& info) {
  info = SCROLLBARINFO{};
  info.cbSize = sizeof info;
  GetClientRect(wnd_, &info.rcScrollBar);
  MapWindowPoints(wnd_, nullptr, reinterpret_cast<POINT*>(&info.rcScrollBar), 2);
  SCROLLINFO si{sizeof si, SIF_ALL};
  if (!GetScrollInfo(wnd_, SB_CTL, &si)) return false;
  const int length = orientation_ ? ::Height(info.rcScrollBar) : ::Width(info.rcScrollBar);
  int range = si.nMax - si.nMin;
  if (range == 0) range = 9999999;
  const int track = length - 2 * arrow_;
  int start = 0, len = 0;
  if (si.nPage > 0) {
    len = MulDiv(track, static_cast<int>(si.nPage) - 1, range);
    if (len < 8) {
      len = 8;
      start = MulDiv(track - 8, si.nPos - si.nMin, range) + arrow_;
    } else {
      start = MulDiv(track, si.nPos - si.nMin, range) + arrow_;
    }
  } else {
    len = arrow_;
    start = MulDiv(length - 3 * arrow_, si.nPos - si.nMin, range) + arrow_;
  }
  if (si.nPos == si.nMin) start = arrow_;
  info.xyThumbTop = start;
  info.xyThumbBottom = start + len;
  if (!IsWindowEnabled(wnd_)) info.rgstate[0] |= STATE_SYSTEM_UNAVAILABLE;
  return true;
}

bool TWScrollbar::ReadInfo(SCROLLBARINFO& info) {
  return mode_ == 2 ? ControlInfo(info) : ReadBarInfo(wnd_, mode_ == 1, info);
}

void TWScrollbar::SetPosition(HWND wnd) {
  wnd_ = wnd;
  if (!HandleAllocated()) return;
  // A skin without a bar image leaves the system's bar in sight.
  const TSkinData* data = skinner_ ? skinner_->Data() : nullptr;
  if (!data || !data->Scrollbar || EmptyImage(data->Scrollbar->Image.get())) {
    HideScrollbar();
    return;
  }
  SCROLLBARINFO info;
  shown_ = ReadInfo(info);
  if (!shown_) return;
  if (!(GetWindowLongW(wnd, GWL_STYLE) & WS_VISIBLE) || (info.rgstate[0] & STATE_SYSTEM_INVISIBLE) ||
      IsRectEmpty(&info.rcScrollBar)) {
    HideScrollbar();
    return;
  }
  barRect_ = info.rcScrollBar;
  RECT inWindow;
  GetWindowRect(wnd, &inWindow);
  OffsetRect(&barRect_, -inWindow.left, -inWindow.top);
  length_ = orientation_ ? ::Height(info.rcScrollBar) : ::Width(info.rcScrollBar);
  RECT place = info.rcScrollBar;
  MapWindowPoints(nullptr, GetParent(wnd), reinterpret_cast<POINT*>(&place), 2);
  HWND above = GetWindow(wnd, GW_HWNDPREV);
  UINT flags = SWP_NOACTIVATE | SWP_SHOWWINDOW;
  if (AboveWindow(wnd)) flags |= SWP_NOZORDER;
  SetWindowPos(hwnd_, above ? above : HWND_TOP, place.left, place.top, ::Width(place), ::Height(place), flags);
  InvalidateRect(hwnd_, nullptr, FALSE);
}

// Right above the window already, maybe under its other bar: the order stays, so that
// the two bars of one window do not swap places (and repaint it) at every placing.
bool TWScrollbar::AboveWindow(HWND wnd) const {
  for (HWND h = GetWindow(wnd, GW_HWNDPREV); h; h = GetWindow(h, GW_HWNDPREV)) {
    if (h == hwnd_) return true;
    auto* other = dynamic_cast<TWScrollbar*>(TControl::FromHandle(h));
    if (!other || other->wnd_ != wnd) return false;
  }
  return false;
}

void TWScrollbar::HideScrollbar() {
  if (HandleAllocated()) ShowWindow(hwnd_, SW_HIDE);
  shown_ = false;
}

void TWScrollbar::Repaint() {
  if (Shown()) RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

int TWScrollbar::GetScrollPos(POINT p) const {
  const int at = orientation_ ? p.y : p.x;
  if (at < arrow_) return 0;
  if (at < thumbStart_) return 2;
  if (at >= thumbEnd_) return at < length_ - arrow_ ? 3 : 1;
  return 5;
}

// While the thumb is dragged it follows the cursor, stopping at the arrows.
void TWScrollbar::GetThumb(int& start, int& end) const {
  POINT c;
  GetCursorPos(&c);
  const int len = thumbEnd_ - thumbStart_;
  const int moved = orientation_ ? c.y - pressPoint_.y : c.x - pressPoint_.x;
  start = std::clamp(thumbAtPress_ + moved, arrow_, std::max(arrow_, length_ - arrow_ - len));
  end = start + len;
}

POINT TWScrollbar::ToScreen(POINT p) const {
  ClientToScreen(hwnd_, &p);
  return p;
}

void TWScrollbar::Press(POINT p) {
  GetCursorPos(&pressPoint_);
  SCROLLBARINFO info;
  if (ReadInfo(info)) {
    thumbStart_ = info.xyThumbTop;
    thumbEnd_ = info.xyThumbBottom;
    length_ = orientation_ ? ::Height(info.rcScrollBar) : ::Width(info.rcScrollBar);
  }
  thumbAtPress_ = thumbStart_;
  hot_ = GetScrollPos(p);
  POINT s = p;
  if (mode_ != 2) {
    RECT r;
    GetWindowRect(hwnd_, &r);
    origin_ = POINT{r.left, r.top};
    s = ToScreen(p);
  }
  pressed_ = true;
  Repaint();
  ReleaseCapture();
  if (mode_ == 2) {
    SendMessageA(wnd_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
  } else {
    SendMessageA(wnd_, WM_NCLBUTTONDOWN, mode_ ? HTVSCROLL : HTHSCROLL, MAKELPARAM(s.x, s.y));
  }
  pressed_ = false;
  ReleaseCapture();
  Repaint();
}

void TWScrollbar::Release(POINT p) {
  const POINT s = mode_ == 2 ? p : ToScreen(p);
  pressed_ = false;
  ReleaseCapture();
  if (mode_ == 2) {
    PostMessageA(wnd_, WM_LBUTTONUP, MK_LBUTTON, MAKELPARAM(s.x, s.y));
  } else {
    PostMessageA(wnd_, WM_NCLBUTTONUP, mode_ ? HTVSCROLL : HTHSCROLL, MAKELPARAM(s.x, s.y));
  }
  Repaint();
}

void TWScrollbar::MouseMove(POINT p) {
  SCROLLBARINFO info;
  if (!pressed_ && ReadInfo(info)) {
    thumbStart_ = info.xyThumbTop;
    thumbEnd_ = info.xyThumbBottom;
  }
  const int part = GetScrollPos(p);
  if (part != hot_) {
    hot_ = part;
    Repaint();
  }
  DoTrackMouse(hwnd_);
}

void TWScrollbar::Paint(HDC dc) {
  const TSkinData* data = skinner_ ? skinner_->Data() : nullptr;
  SCROLLBARINFO info;
  RECT r;
  GetClientRect(hwnd_, &r);
  if (!data || !ReadInfo(info) || (info.rgstate[0] & STATE_SYSTEM_INVISIBLE)) {
    if (data) FillColor(dc, r, data->SchemeColors[csButtonFace]);
    return;
  }
  const bool enabled = !(info.rgstate[0] & STATE_SYSTEM_UNAVAILABLE) && IsWindowEnabled(wnd_);
  length_ = orientation_ ? ::Height(r) : ::Width(r);
  thumbStart_ = info.xyThumbTop;
  thumbEnd_ = info.xyThumbBottom;
  int start = thumbStart_, end = thumbEnd_;
  if (pressed_ && hot_ == 5 && mode_ != 2) GetThumb(start, end);
  if (!data->Scrollbar || EmptyImage(data->Scrollbar->Image.get())) {
    FillColor(dc, r, data->SchemeColors[csButtonFace]);
    return;
  }
  DrawSkinScrollbar(dc, r, *data, orientation_ == 1, enabled, start, end, hot_, pressed_, arrow_);
}

LRESULT TWScrollbar::WndProc(UINT msg, WPARAM w, LPARAM l) {
  const POINT p{static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l))};
  switch (msg) {
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      Press(p);
      return 0;
    case WM_LBUTTONUP:
      Release(p);
      return 0;
    case WM_MOUSEMOVE:
      MouseMove(p);
      return 0;
    case WM_MOUSELEAVE:
      if (!pressed_) {
        hot_ = -1;
        Repaint();
      }
      return 0;
    default:
      return TPaintedControl::WndProc(msg, w, l);
  }
}

// ---- Scroll-bar skinners ----

bool IsScrollControl(TComponent* c) {
  auto* w = dynamic_cast<TWinControl*>(c);
  if (!w) return false;
  const auto style = static_cast<DWORD>(GetWindowLongW(w->Handle(), GWL_STYLE));
  if (style & (WS_VSCROLL | WS_HSCROLL)) return true;
  const std::string n = w->ClassName();
  return n == "TListBox" || n == "TCheckListBox" || n == "TMemo" || n == "TTreeView" || n == "TScrollBox";
}

TSkinScrollbar::~TSkinScrollbar() = default;

void TSkinScrollbar::InitScrollbar(TWinControl* control, TSkinData* data, TCanvas* canvas, TSkinControlHost* formSkin) {
  if (initialised_ || !control) return;
  TSkinControl::Init(formSkin, data, canvas, false);
  if (!initialised_) return;
  const auto ex = static_cast<DWORD>(GetWindowLongW(wnd_, GWL_EXSTYLE));
  drawBorder_ = (ex & WS_EX_CLIENTEDGE) != 0;
  if (const TPropInfo* fixed = FindPublished(control, "FixedColor"); fixed && fixed->Kind == tkInteger) {
    savedFixed_ = static_cast<TColor>(fixed->GetOrd());
    fixedRecoloured_ = true;
    SetProperty(control, "FixedColor", std::to_string(Face()));
  }
  for (unsigned char mode = 0; mode < 2; ++mode) {
    bars_[mode] = std::make_unique<TWScrollbar>(this);
    bars_[mode]->Attach(this, control, mode);
    bars_[mode]->SetEnabled(control->Enabled());
    if (!control->Visible()) bars_[mode]->HideScrollbar();
  }
}

void TSkinScrollbar::PlaceBars() {
  for (auto& b : bars_)
    if (b) b->SetPosition(wnd_);
}

void TSkinScrollbar::PaintBorder(HDC dc) {
  RECT r;
  GetWindowRect(wnd_, &r);
  r = Sized(r);
  HBRUSH outer = CreateSolidBrush(ColorToRGB(data_->SchemeColors[csButtonShadow]));
  HBRUSH inner = FaceBrush(*data_);
  FrameRect(dc, &r, outer);
  InflateRect(&r, -1, -1);
  FrameRect(dc, &r, inner);
  DeleteObject(outer);
  DeleteObject(inner);
}

bool TSkinScrollbar::BeforeProc(TMessage& m) {
  if (m.Msg == WM_NCPAINT) {
    Default(m);
    if (drawBorder_) {
      HDC dc = GetWindowDC(wnd_);
      PaintBorder(dc);
      ReleaseDC(wnd_, dc);
    }
    DrawControl(nullptr, RECT{});
    return false;
  }
  return TSkinControl::BeforeProc(m);
}

void TSkinScrollbar::AfterProc(TMessage& m) {
  switch (m.Msg) {
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED:
    case WM_SHOWWINDOW:
      if (m.Msg == WM_SHOWWINDOW && !m.WParam) {
        for (auto& b : bars_) b->HideScrollbar();
      } else {
        PlaceBars();
      }
      break;
    case WM_HSCROLL:
    case WM_VSCROLL:
      bars_[m.Msg == WM_VSCROLL]->SetHotPart(LOWORD(m.WParam) == SB_ENDSCROLL ? -1 : LOWORD(m.WParam));
      bars_[m.Msg == WM_VSCROLL]->Repaint();
      break;
    case WM_ENABLE:
      for (auto& b : bars_) b->SetEnabled(m.WParam != 0);
      DrawControl(nullptr, RECT{});
      break;
    case CM_VISIBLECHANGED:
      if (m.WParam) {
        PlaceBars();
      } else {
        for (auto& b : bars_) b->HideScrollbar();
      }
      break;
    case CM_ENABLEDCHANGED:
      for (auto& b : bars_) b->SetEnabled(control_->Enabled());
      DrawControl(nullptr, RECT{});
      break;
    case CM_RECREATEWND:
      // The form skinner skins the new window once this one is gone.
      if (auto* form = dynamic_cast<TWinSkinForm*>(formSkin_); form && control_)
        PostMessageW(form->FHandle, CN_ReCreateControl, reinterpret_cast<WPARAM>(wnd_), 0);
      break;
    case WM_MOUSEWHEEL:
    case WM_KEYDOWN:
    case WM_CHAR:
    case WM_SETTEXT:
    case WM_LBUTTONUP:
    case WM_MOUSEMOVE:
    case EM_LINESCROLL:
    case EM_SCROLL:
    case EM_SCROLLCARET:
    case EM_REPLACESEL:
    case EM_SETSEL:
    case LB_SETTOPINDEX:
    case LB_ADDSTRING:
    case LB_INSERTSTRING:
    case LB_DELETESTRING:
    case LB_RESETCONTENT:
      DrawControl(nullptr, RECT{});
      break;
    case CN_PaintBorder:
      if (m.LParam != kPaintIntoTag) break;
      if (m.WParam) PaintBorder(reinterpret_cast<HDC>(m.WParam));
      m.Result = kPaintIntoTag;
      break;
    default:
      TSkinControl::AfterProc(m);
  }
}

// The bars follow their scroll bars: a hidden one comes back when its bar does.
void TSkinScrollbar::DrawControl(HDC, const RECT&) {
  const auto style = static_cast<DWORD>(GetWindowLongW(wnd_, GWL_STYLE));
  const DWORD wants[2] = {WS_HSCROLL, WS_VSCROLL};
  for (int i = 0; i < 2; ++i) {
    if (!bars_[i]) return;
    if (bars_[i]->Shown() && (style & wants[i])) {
      bars_[i]->Repaint();
    } else {
      bars_[i]->SetPosition(wnd_);
    }
  }
  FillBarCorner(wnd_, *bars_[0], *bars_[1], *data_);
}

// The headings take the new face; the colour saved at the start is the grid's own and
// stays what the grid gets back.
void TSkinScrollbar::SkinChange() {
  if (fixedRecoloured_) SetProperty(control_, "FixedColor", std::to_string(Face()));
  TSkinControl::SkinChange();
  // Placed anew, the bars hide where the new skin has no bar image.
  PlaceBars();
}

void TSkinScrollbar::Unsubclass() {
  if (fixedRecoloured_ && stage_ != 6) SetProperty(control_, "FixedColor", std::to_string(savedFixed_));
  fixedRecoloured_ = false;
  TSkinControl::Unsubclass();
  if (stage_ == 6) return;
  for (auto& b : bars_) b.reset();
}

void TSkinListView::InitScrollbar(TWinControl* control, TSkinData* data, TCanvas* canvas, TSkinControlHost* formSkin) {
  TSkinScrollbar::InitScrollbar(control, data, canvas, formSkin);
  if (!initialised_ || header_) return;
  HWND h = reinterpret_cast<HWND>(SendMessageW(wnd_, LVM_GETHEADER, 0, 0));
  if (!h) return;
  // A header that another skinner holds already stays with that one.
  auto header = std::make_unique<TSkinHeader>(control);
  header->Inithwnd(h, data, canvas, formSkin);
  if (header->Stage() != 0) header_ = header.release();
}

// ---- Bars of a bare window ----

TSkinScrollbarH::~TSkinScrollbarH() = default;

void TSkinScrollbarH::Inithwnd(HWND wnd, TSkinData* data, TCanvas* canvas, TSkinControlHost* formSkin) {
  TSkinControl::Inithwnd(wnd, data, canvas, formSkin);
  if (!initialised_) return;
  for (unsigned char mode = 0; mode < 2; ++mode) {
    bars_[mode] = std::make_unique<TWScrollbar>(this);
    bars_[mode]->AttachHwnd(this, wnd, mode);
  }
}

void TSkinScrollbarH::AfterProc(TMessage& m) {
  if (!IsWindowVisible(wnd_) && bars_[1]) bars_[1]->HideScrollbar();
  switch (m.Msg) {
    case WM_SIZE:
    case WM_NCPAINT:
    case WM_WINDOWPOSCHANGED:
      for (auto& b : bars_) b->SetPosition(wnd_);
      FillBarCorner(wnd_, *bars_[0], *bars_[1], *data_);  // the window's own frame painting covered it
      break;
    case WM_HSCROLL:
    case WM_VSCROLL:
      bars_[m.Msg == WM_VSCROLL]->SetHotPart(LOWORD(m.WParam) == SB_ENDSCROLL ? -1 : LOWORD(m.WParam));
      bars_[m.Msg == WM_VSCROLL]->Repaint();
      break;
    case WM_MOUSEWHEEL:
    case WM_KEYDOWN:
    case LB_SETTOPINDEX:
      DrawControl(nullptr, RECT{});
      break;
    default:
      TSkinControl::AfterProc(m);
  }
}

void TSkinScrollbarH::DrawControl(HDC, const RECT&) {
  for (auto& b : bars_) {
    if (!b) return;
    if (b->Shown()) {
      b->Repaint();
    } else {
      b->SetPosition(wnd_);
    }
  }
  FillBarCorner(wnd_, *bars_[0], *bars_[1], *data_);
}

void TSkinScrollbarH::Unsubclass() {
  TSkinControl::Unsubclass();
  if (stage_ == 6) return;
  for (auto& b : bars_) b.reset();
}

// ---- A scroll-bar control ----

TSkinScControl::~TSkinScControl() = default;

void TSkinScControl::InitScrollbar(TWinControl* control, TSkinData* data, TCanvas* canvas, TSkinControlHost* formSkin) {
  if (initialised_ || !control) return;
  TSkinControl::Init(formSkin, data, canvas, false);
  if (!initialised_) return;
  bar_ = std::make_unique<TWScrollbar>(this);
  bar_->Hint = control->Hint;  // the bar covers the control: its hint shows over the bar
  bar_->ShowHint = control->ShowHint;
  bar_->Attach(this, control, 2);
  if (!control->Visible()) bar_->HideScrollbar();
}

void TSkinScControl::AfterProc(TMessage& m) {
  switch (m.Msg) {
    case WM_WINDOWPOSCHANGED:
    case WM_NCPAINT:
      bar_->SetPosition(wnd_);
      break;
    case SBM_SETSCROLLINFO:
    case SBM_SETPOS:
    case SBM_SETRANGE:
      bar_->Repaint();
      break;
    case WM_SHOWWINDOW:
    case CM_VISIBLECHANGED:
      if (m.WParam) {
        bar_->SetPosition(wnd_);
      } else {
        bar_->HideScrollbar();
      }
      break;
    default:
      TSkinControl::AfterProc(m);
  }
}

void TSkinScControl::DrawControl(HDC, const RECT&) {
  if (bar_) bar_->Repaint();
}

void TSkinScControl::Unsubclass() {
  TSkinControl::Unsubclass();
  if (stage_ != 6) bar_.reset();
}
