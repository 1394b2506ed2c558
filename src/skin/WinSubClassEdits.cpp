// The skinners of edits and list headers.
#include "skin/WinSubClass.h"

#include <algorithm>
#include <cwctype>

#include "skin/WinSkinForm.h"

// ---- Edits ----

void TSkinEdit::AfterProc(TMessage& m) {
  switch (m.Msg) {
    case WM_PAINT:
    case WM_NCPAINT:  // the system frame would cover ours otherwise
      PaintControl(m.Msg == WM_PAINT ? reinterpret_cast<HDC>(m.WParam) : nullptr);
      break;
    case WM_PRINT:
      PaintControl1(reinterpret_cast<HDC>(m.WParam));
      break;
    case CN_PaintInto:
      if (m.LParam != kPaintIntoTag || !m.WParam) break;
      PaintInto(reinterpret_cast<HDC>(m.WParam));
      m.Result = kPaintIntoTag;
      break;
    default:
      TSkinControl::AfterProc(m);
  }
}

// An up-down beside the edit gets the skin's arrows too: the one whose buddy is this
// edit, or a spin button of another kind among the siblings.
void TSkinEdit::FindUPDown() {
  spinSought_ = true;
  HWND parent = GetParent(wnd_);
  if (!parent) return;
  for (HWND h = GetTopWindow(parent); h; h = GetWindow(h, GW_HWNDNEXT)) {
    wchar_t buf[101] = {};
    GetClassNameW(h, buf, 100);
    std::wstring name(buf);
    std::transform(name.begin(), name.end(), name.begin(), ::towlower);
    const bool updown = name == L"msctls_updown32";
    if (updown && reinterpret_cast<HWND>(SendMessageW(h, UDM_GETBUDDY, 0, 0)) != wnd_) continue;
    if (!updown && name.find(L"spin") == std::wstring::npos && name.find(L"updown") == std::wstring::npos) continue;
    auto* spin = new TSkinUpDown(this);
    spin->Inithwnd(h, data_, canvas_, nullptr);
    if (spin->Stage() == 1) {
      spin_ = spin;
      return;
    }
    delete spin;  // skinned already
  }
}

void TSkinEdit::Unsubclass() {
  TSkinControl::Unsubclass();
  delete spin_;
  spin_ = nullptr;
}

// The whole edit into a DC the size of its window: its own field and text at their place
// inside the border, then our border round them.
void TSkinEdit::PaintInto(HDC dc) {
  RECT wr;
  GetWindowRect(wnd_, &wr);
  POINT origin{0, 0};
  ClientToScreen(wnd_, &origin);
  const int saved = SaveDC(dc);
  OffsetViewportOrgEx(dc, origin.x - wr.left, origin.y - wr.top, nullptr);
  TMessage print{WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND, 0};
  Default(print);
  RestoreDC(dc, saved);
  PaintControl(dc);
}

// The print path: a one-pixel frame where the edit has a border.
void TSkinEdit::PaintControl1(HDC dc) {
  RECT wr, client;
  if (!GetWindowRect(wnd_, &wr)) return;
  GetClientRect(wnd_, &client);
  if (Width(wr) - client.right < 2 || Height(wr) - client.bottom < 2) return;
  HDC own = dc ? dc : GetWindowDC(wnd_);
  RECT r = Sized(wr);
  HBRUSH b = CreateSolidBrush(ColorToRGB(data_->SchemeColors[csButtonShadow]));
  const int saved = SaveDC(own);
  SelectClipRgn(own, nullptr);  // the edit's own printing may leave its client clip behind
  SetViewportOrgEx(own, 0, 0, nullptr);
  FrameRect(own, &r, b);
  RestoreDC(own, saved);
  DeleteObject(b);
  if (!dc) ReleaseDC(wnd_, own);
}

void TSkinEdit::DrawControl(HDC dc, const RECT& r) {
  if (!spinSought_ && !spin_ && InSet(data_->SkinControls, xcSpin)) FindUPDown();
  RECT client;
  GetClientRect(wnd_, &client);
  if (r.right - r.left <= client.right && r.bottom - r.top <= client.bottom) return;  // no border
  RECT f = r;
  const TColor colours[] = {data_->SchemeColors[csButtonShadow], clWhite, clWhite};
  for (TColor c : colours) {
    HBRUSH b = CreateSolidBrush(ColorToRGB(c));
    FrameRect(dc, &f, b);
    DeleteObject(b);
    InflateRect(&f, -1, -1);
  }
}

// ---- Headers ----

bool TSkinHeader::Painted() const { return data_ && data_->Headerbar && !EmptyImage(data_->Headerbar->Image.get()); }

bool TSkinHeader::BeforeProc(TMessage& m) {
  if (m.Msg == WM_PAINT && Painted()) {
    WMPaint(m);
    return false;
  }
  if (m.Msg == WM_ERASEBKGND && Painted()) {
    m.Result = 1;
    return false;
  }
  return TSkinControl::BeforeProc(m);
}

void TSkinHeader::AfterProc(TMessage& m) {
  if (m.Msg == WM_MOUSEMOVE) {
    const POINT p{static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam))};
    int hot = -1;
    for (size_t i = 0; i < items_.size(); ++i) {
      if (PtInRect(&items_[i], p)) hot = static_cast<int>(i);
    }
    if (hot != hot_) {
      hot_ = hot;
      Invalidate();
    }
    DoTrackMouse(wnd_);
    return;
  }
  if (m.Msg == WM_MOUSELEAVE) {
    hot_ = -1;
    Invalidate();
  }
  TSkinControl::AfterProc(m);
}

void TSkinHeader::DrawItem(HDC dc, int index, const RECT& r, HIMAGELIST images) {
  const TDataSkinObject& bar = *data_->Headerbar;
  wchar_t buf[201] = {};
  HDITEMW item{};
  item.mask = HDI_TEXT | HDI_FORMAT | HDI_IMAGE;
  item.pszText = buf;
  item.cchTextMax = 200;
  SendMessageW(wnd_, HDM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
  DrawRect2(dc, r, bar.Image.get(), false, bar.Tile == 1, bar.Trans == 1, bar.Frame, index == hot_ ? 2 : 1,
            bar.Margins());
  const UINT align = (item.fmt & HDF_JUSTIFYMASK) == HDF_CENTER ? 1 : (item.fmt & HDF_JUSTIFYMASK) == HDF_RIGHT ? 2 : 0;
  DrawImgCaption(dc, r, align, buf, (item.mask & HDI_IMAGE) && images ? item.iImage : -1, images);
}

void TSkinHeader::DrawControl(HDC dc, const RECT& r) {
  if (!Painted()) return;
  const TDataSkinObject& bar = *data_->Headerbar;
  work_.SetSize(r.right - r.left, r.bottom - r.top);
  HDC w = work_.Canvas().Handle();
  FontScope font(w, WindowFont());
  SetTextColor(w, ColorToRGB(data_->SchemeColors[csButtonText]));
  enabled_ = !Disabled(wnd_);
  auto images = reinterpret_cast<HIMAGELIST>(SendMessageW(wnd_, HDM_GETIMAGELIST, 0, 0));
  const int count = std::max(0, static_cast<int>(SendMessageW(wnd_, HDM_GETITEMCOUNT, 0, 0)));
  items_.assign(static_cast<size_t>(count), RECT{});
  int right = r.left;
  for (int i = 0; i < count; ++i) {
    SendMessageW(wnd_, HDM_GETITEMRECT, static_cast<WPARAM>(i),
                 reinterpret_cast<LPARAM>(&items_[static_cast<size_t>(i)]));
    DrawItem(w, i, items_[static_cast<size_t>(i)], images);
    right = std::max(right, static_cast<int>(items_[static_cast<size_t>(i)].right));
  }
  if (right < r.right) {
    DrawRect2(w, RECT{right, r.top, r.right, r.bottom}, bar.Image.get(), false, bar.Tile == 1, false, bar.Frame, 1,
              bar.Margins());
  }
  BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, w, 0, 0, SRCCOPY);
}
