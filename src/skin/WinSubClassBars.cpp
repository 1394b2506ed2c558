// The skinners of progress bars, status bars, track bars, tool bars, size grips and
// bare container windows.
#include <algorithm>

#include "skin/Imgutil.h"
#include "skin/WinSkinForm.h"
#include "skin/WinSubClass.h"

// ---- Progress bars ----

bool TSkinProgress::Painted() const { return data_ && data_->Progress && !EmptyImage(data_->Progress->Image.get()); }

bool TSkinProgress::BeforeProc(TMessage& m) {
  if (m.Msg == WM_PAINT && Painted()) {
    WMPaint(m);
    m.Result = 0;
    return false;
  }
  if (m.Msg == WM_ERASEBKGND) {
    m.Result = 1;
    return false;
  }
  return TSkinControl::BeforeProc(m);
}

void TSkinProgress::DrawControl(HDC dc, const RECT& r) {
  if (!Painted() || Width(r) <= 0 || Height(r) <= 0) return;
  const TDataSkinBorder* bar = data_->Progress.get();
  const int frames = std::max(bar->Frame, 2);
  PBRANGE range{};
  SendMessageW(wnd_, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
  const int span = range.iHigh - range.iLow;
  const int position = static_cast<int>(SendMessageW(wnd_, PBM_GETPOS, 0, 0)) - range.iLow;
  const bool vertical = (GetWindowLongW(wnd_, GWL_STYLE) & PBS_VERTICAL) != 0;
  work_.SetSize(Width(r), Height(r));
  HDC w = work_.Canvas().Handle();
  FillBG(w, r);
  DrawSkinMap(w, r, bar, 1, frames);
  if (bar->Style == 1) {
    DrawControl1(w, r, position, span, vertical);
  } else if (span >= 1 && position >= 1) {
    const double part = std::min(1.0, static_cast<double>(position) / span);
    RECT fill = r;
    if (vertical) {
      fill.top = r.bottom - static_cast<int>(Height(r) * part + 0.5);
    } else {
      fill.right = r.left + static_cast<int>(Width(r) * part + 0.5);
    }
    DrawSkinMap(w, fill, bar, 2, frames);
  }
  BitBlt(dc, r.left, r.top, Width(r), Height(r), w, 0, 0, SRCCOPY);
}

// The chunk look: chunks at their own width, a pixel apart, inside the bar's edges.
void TSkinProgress::DrawControl1(HDC dc, const RECT& r, int position, int range, bool vertical) {
  const TDataSkinObject* chunk = data_->ProgressChunk.get();
  if (!chunk || EmptyImage(chunk->Image.get()) || range < 1 || position < 1) return;
  const TDataSkinBorder* bar = data_->Progress.get();
  RECT inside{r.left + bar->LeftWidth, r.top + bar->TopHeight, r.right - bar->RightWidth, r.bottom - bar->BottomHeight};
  const double part = std::min(1.0, static_cast<double>(position) / range);
  const int frames = std::max(chunk->Frame, 1);
  const int step = (vertical ? chunk->Image->Height() : chunk->Image->Width() / frames) + 1;
  const int length = static_cast<int>((vertical ? Height(inside) : Width(inside)) * part + 0.5);
  for (int at = 0; at + step - 1 <= length; at += step) {
    RECT c = inside;
    if (vertical) {
      c.bottom = inside.bottom - at;
      c.top = c.bottom - (step - 1);
    } else {
      c.left = inside.left + at;
      c.right = c.left + step - 1;
    }
    DrawSkinMap(dc, c, chunk, 1, frames);
  }
}

// ---- Size grips and bare containers ----

void TSkinSizer::DrawControl(HDC dc, const RECT& r) { FillBG(dc, r); }

bool TSkinBoxH::BeforeProc(TMessage& m) {
  switch (m.Msg) {
    case WM_ERASEBKGND: {
      RECT r;
      GetWindowRect(wnd_, &r);
      FillBG(reinterpret_cast<HDC>(m.WParam), Sized(r));
      m.Result = 0;
      return false;
    }
    case WM_CTLCOLORSTATIC:
      Default(m);
      SetBkColor(reinterpret_cast<HDC>(m.WParam), ColorToRGB(Face()));
      if (data_ && data_->FaceBrush) m.Result = reinterpret_cast<LRESULT>(data_->FaceBrush);
      return false;
    default:
      return TSkinControl::BeforeProc(m);
  }
}

// ---- Status bars ----

bool TSkinStatusBar::BeforeProc(TMessage& m) {
  if (m.Msg == WM_PAINT) {
    WMPaint(m);
    return false;
  }
  if (m.Msg == WM_ERASEBKGND) {
    m.Result = 1;
    return false;
  }
  return TSkinControl::BeforeProc(m);
}

// Frame 1 for a lowered panel, 2 raised, 3 without a bevel.
void TSkinStatusBar::drawitem(HDC dc, const RECT& r, int bevel) {
  const TDataSkinObject& edges = *data_->StatusBarEdges;
  const int frames = std::max(edges.Frame, 3);
  const int frame = bevel == pbRaised ? 2 : bevel == pbNone ? 3 : 1;
  auto map = GetHMap(Sized(r), edges.Image.get(), edges.Margins(), false, edges.Tile == 1, frames, frame);
  if (map) BitBlt(dc, r.left, r.top, Width(r), Height(r), map->Canvas().Handle(), 0, 0, SRCCOPY);
}

void TSkinStatusBar::Defaultpaint(HDC dc, const RECT& r, int bevel) {
  if (bevel == pbNone) return;
  const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT), dark = GetSysColor(COLOR_BTNSHADOW);
  const COLORREF topLeft = bevel == pbRaised ? light : dark, bottomRight = bevel == pbRaised ? dark : light;
  FillColor(dc, RECT{r.left, r.top, r.right, r.top + 1}, static_cast<TColor>(topLeft));
  FillColor(dc, RECT{r.left, r.top, r.left + 1, r.bottom}, static_cast<TColor>(topLeft));
  FillColor(dc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, static_cast<TColor>(bottomRight));
  FillColor(dc, RECT{r.right - 1, r.top, r.right, r.bottom}, static_cast<TColor>(bottomRight));
}

namespace {

// A panel's text without the leading tabs that align it, and the alignment they give.
std::wstring PanelText(HWND bar, int index, UINT& align, int& bevel, bool& ownerDrawn) {
  const LRESULT info = SendMessageW(bar, SB_GETTEXTLENGTHW, static_cast<WPARAM>(index), 0);
  const UINT type = HIWORD(info);
  ownerDrawn = (type & SBT_OWNERDRAW) != 0;
  bevel = type & SBT_NOBORDERS ? pbNone : type & SBT_POPOUT ? pbRaised : pbLowered;
  std::wstring text(LOWORD(info) + 1u, L'\0');
  if (!ownerDrawn) SendMessageW(bar, SB_GETTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(wcslen(text.c_str()));
  size_t tabs = 0;
  while (tabs < 2 && tabs < text.size() && text[tabs] == L'\t') ++tabs;
  align = tabs == 1 ? DT_CENTER : tabs == 2 ? DT_RIGHT : 0;
  return text.substr(tabs);
}

}  // namespace

void TSkinStatusBar::DrawControl(HDC dc, const RECT& r) {
  TBitmap& buffer = PaintBuffer();
  if (buffer.Width() < Width(r) || buffer.Height() < Height(r))
    buffer.SetSize(std::max(buffer.Width(), Width(r)), std::max(buffer.Height(), Height(r)));
  HDC b = buffer.Canvas().Handle();
  FillBG(b, r);
  FontScope font(b, WindowFont());
  const TDataSkinObject* edges = data_->StatusBarEdges.get();
  const bool skinned = edges && !EmptyImage(edges->Image.get());
  SetTextColor(b, ColorToRGB(edges ? edges->NormalColour2 : data_->SchemeColors[csButtonText]));
  const bool simple = SendMessageW(wnd_, SB_ISSIMPLE, 0, 0) != 0;
  const int parts = simple ? 1 : static_cast<int>(SendMessageW(wnd_, SB_GETPARTS, 0, 0));
  for (int i = 0; i < parts; ++i) {
    const int index = simple ? SB_SIMPLEID : i;
    RECT p{};
    if (simple) {
      p = r;
    } else {
      SendMessageW(wnd_, SB_GETRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&p));
    }
    UINT align = 0;
    int bevel = pbLowered;
    bool ownerDrawn = false;
    const std::wstring text = PanelText(wnd_, index, align, bevel, ownerDrawn);
    if (skinned) {
      drawitem(b, p, bevel);
    } else {
      Defaultpaint(b, p, bevel);
    }
    if (ownerDrawn) continue;
    RECT t = p;
    InflateRect(&t, -2, 0);
    DrawCaption(b, t, text, !Disabled(wnd_), align | DT_SINGLELINE);
  }
  DrawBuf(dc, r);
}

// ---- Track bars ----

bool TSkinTrackBar::BeforeProc(TMessage& m) {
  if ((m.Msg == WM_NOTIFY || m.Msg == CN_NOTIFY) &&
      reinterpret_cast<const NMHDR*>(m.LParam)->code == static_cast<UINT>(NM_CUSTOMDRAW)) {
    m.Result = CustomDraw(*reinterpret_cast<const NMCUSTOMDRAW*>(m.LParam));
    return false;
  }
  return TSkinControl::BeforeProc(m);
}

// The parts the skin has an image for are ours; the control skips drawing them.
LRESULT TSkinTrackBar::CustomDraw(const NMCUSTOMDRAW& cd) {
  if (cd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
  if (cd.dwDrawStage != CDDS_ITEMPREPAINT) return CDRF_DODEFAULT;
  if (cd.dwItemSpec == TBCD_CHANNEL) return DrawTrack(cd.hdc) ? CDRF_SKIPDEFAULT : CDRF_DODEFAULT;
  if (cd.dwItemSpec == TBCD_THUMB) return Drawthumb(cd.hdc) ? CDRF_SKIPDEFAULT : CDRF_DODEFAULT;
  return CDRF_DODEFAULT;
}

void TSkinTrackBar::AfterProc(TMessage& m) {
  switch (m.Msg) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
    case TBM_SETPOS:
      Invalidate();
      break;
    default:
      TSkinControl::AfterProc(m);
  }
}

void TSkinTrackBar::SkinChange() {
  // Taking the focus and giving it back makes the control redraw itself whole.
  HWND had = GetFocus();
  SetFocus(wnd_);
  if (had != wnd_) SetFocus(had);
  TSkinControl::SkinChange();
}

// The track in three pieces along the channel: two ends at their size, the middle stretched.
bool TSkinTrackBar::DrawTrack(HDC dc) {
  const bool vertical = (GetWindowLongW(wnd_, GWL_STYLE) & TBS_VERT) != 0;
  const TDataSkinObject* track = vertical ? data_->TrackVert.get() : data_->Track.get();
  if (!track || EmptyImage(track->Image.get())) return false;
  RECT c{};
  SendMessageW(wnd_, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&c));
  if (vertical && Width(c) > Height(c)) {  // some systems give a vertical channel across
    std::swap(c.left, c.top);
    std::swap(c.right, c.bottom);
  }
  HDC src = track->Image->Canvas().Handle();
  const int iw = track->Image->Width(), ih = track->Image->Height();
  SetStretchBltMode(dc, COLORONCOLOR);
  if (vertical) {
    const int end = std::min(track->TopHeight, ih / 2), x = (c.left + c.right - iw) / 2;
    StretchBlt(dc, x, c.top, iw, end, src, 0, 0, iw, end, SRCCOPY);
    StretchBlt(dc, x, c.top + end, iw, Height(c) - 2 * end, src, 0, end, iw, ih - 2 * end, SRCCOPY);
    StretchBlt(dc, x, c.bottom - end, iw, end, src, 0, ih - end, iw, end, SRCCOPY);
  } else {
    const int end = std::min(track->LeftWidth, iw / 2), y = (c.top + c.bottom - ih) / 2;
    StretchBlt(dc, c.left, y, end, ih, src, 0, 0, end, ih, SRCCOPY);
    StretchBlt(dc, c.left + end, y, Width(c) - 2 * end, ih, src, end, 0, iw - 2 * end, ih, SRCCOPY);
    StretchBlt(dc, c.right - end, y, end, ih, src, iw - end, 0, end, ih, SRCCOPY);
  }
  return true;
}

bool TSkinTrackBar::Drawthumb(HDC dc) {
  if (!IsWindow(wnd_)) return false;
  const bool vertical = (GetWindowLongW(wnd_, GWL_STYLE) & TBS_VERT) != 0;
  const TDataSkinObject* thumb =
      vertical && data_->TrackbarThumbVert ? data_->TrackbarThumbVert.get() : data_->TrackbarThumbHorz.get();
  if (!thumb || EmptyImage(thumb->Image.get())) return false;
  RECT t{};
  SendMessageW(wnd_, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&t));
  DrawSkinMap1(dc, t, thumb->Image.get(), 2, 5);
  return true;
}

// ---- Tool bars ----

void TSkinToolbar::Init(TSkinControlHost* formSkin, TSkinData* data, TCanvas* canvas, bool recolour) {
  TSkinControl::Init(formSkin, data, canvas, recolour);
  if (!data_) return;
  colour1_ = Blend(0x808080, data_->GetCaptionColor(), 150);
  colour2_ = Blend(data_->SchemeColors[csButtonFace], 0xFFFFFF, 150);
}

bool TSkinToolbar::BeforeProc(TMessage& m) {
  if (m.Msg == WM_ERASEBKGND) {
    ERASEBKGND(reinterpret_cast<HDC>(m.WParam));
    m.Result = 1;
    return false;
  }
  return TSkinControl::BeforeProc(m);
}

void TSkinToolbar::ERASEBKGND(HDC dc) {
  RECT r;
  GetClientRect(wnd_, &r);
  const TDataSkinObject* bg =
      data_->ToolBars && !EmptyImage(data_->ToolBars->Image.get()) ? data_->ToolBars.get() : data_->Toolbar.get();
  if (bg && !EmptyImage(bg->Image.get())) {
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, 0, 0, Width(r), Height(r), bg->Image->Canvas().Handle(), 0, 0, bg->Image->Width(),
               bg->Image->Height(), SRCCOPY);
  } else {
    GradFill(dc, r, colour2_, colour1_, 1);
  }
}
