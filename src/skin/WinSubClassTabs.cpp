// The skinners of tab controls and their pages.
#include "skin/WinSubClass.h"

#include <algorithm>

#include "classlib/ComCtrls.h"
#include "classlib/Gbk.h"
#include "classlib/Tabs.h"
#include "skin/Imgutil.h"
#include "skin/WinSkinForm.h"

// ---- Tabs ----

void TSkinTab::Init(TSkinControlHost* formSkin, TSkinData* data, TCanvas* canvas, bool recolour) {
  TSkinControl::Init(formSkin, data, canvas, recolour);
  if (initialised_) Setup();
}

void TSkinTab::Inithwnd(HWND wnd, TSkinData* data, TCanvas* canvas, TSkinControlHost* formSkin) {
  focused_ = GetFocus() == wnd;
  TSkinControl::Inithwnd(wnd, data, canvas, formSkin);
  if (initialised_) Setup();
}

// The strip's side from the style, the close boxes, and the images turned to the side.
void TSkinTab::Setup() {
  const LONG style = GetWindowLongW(wnd_, GWL_STYLE);
  if (style & TCS_VERTICAL) {
    position_ = (style & TCS_RIGHT) ? 3 : 2;
  } else {
    position_ = (style & TCS_BOTTOM) ? 1 : 0;
  }
  closeButtons_ = control_ && control_->Tag == kTabCloseTag && dynamic_cast<TPageControl*>(control_);
  inittab();
}

void TSkinTab::SkinChange() {
  TSkinControl::SkinChange();
  inittab();
}

void TSkinTab::inittab() {
  const TDataSkinBorder* tabs = data_ ? data_->Tabs.get() : nullptr;
  tabImage_.SetSize(0, 0);
  paneImage_.SetSize(0, 0);
  if (!tabs) return;
  CopyBMP(tabs->Image.get(), &tabImage_);
  TBitmap* pane = tabs->Style == 1 && data_->TabPane ? data_->TabPane->Image.get() : tabs->Image2.get();
  CopyBMP(pane, &paneImage_);
  tabImage_.PixelFormat = paneImage_.PixelFormat = pf24bit;
  if (position_ == 1) {
    if (!tabImage_.Empty()) SpiegelnVertikal(tabImage_);
    if (!paneImage_.Empty()) SpiegelnVertikal(paneImage_);
  } else if (position_ == 2 && !paneImage_.Empty()) {
    Drehen270Grad(paneImage_);
  } else if (position_ == 3 && !paneImage_.Empty()) {
    Drehen90Grad(paneImage_);
  }
}

bool TSkinTab::BeforeProc(TMessage& m) {
  const bool painted = !EmptyImage(&tabImage_);
  if (m.Msg == WM_PAINT && painted) {
    WMPaint(m);
    return false;
  }
  if (m.Msg == WM_ERASEBKGND && painted) {
    ERASEBKGND(reinterpret_cast<HDC>(m.WParam));
    m.Result = 1;
    return false;
  }
  // Only a click on a close box is ours; any other click still turns the page.
  if (m.Msg == WM_LBUTTONDOWN && closeButtons_ &&
      ClickClose(POINT{static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam))})) {
    m.Result = 0;
    return false;
  }
  return TSkinControl::BeforeProc(m);
}

// A strip without pages (a bare tab control) would otherwise show stale pixels there.
void TSkinTab::ERASEBKGND(HDC dc) {
  RECT page;
  GetClientRect(wnd_, &page);
  SendMessageW(wnd_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&page));
  if (data_->FaceBrush) {
    FillRect(dc, &page, data_->FaceBrush);
  } else {
    FillBG(dc, page);
  }
}

bool TSkinTab::ClickClose(POINT p) {
  for (size_t i = 0; i < closeRects_.size(); ++i) {
    if (!PtInRect(&closeRects_[i], p)) continue;
    HWND form = GetAncestor(wnd_, GA_ROOT);
    const LRESULT answer = SendMessageW(form, CN_TabClose, reinterpret_cast<WPARAM>(wnd_), static_cast<LPARAM>(i));
    auto* pages = dynamic_cast<TPageControl*>(control_);
    if (answer == 0 && pages && static_cast<int>(i) < pages->PageCount()) delete pages->Pages(static_cast<int>(i));
    return true;
  }
  return false;
}

std::wstring TabItemText(HWND tabs, int i, int& image) {
  wchar_t buf[81] = {};
  TCITEMW item{};
  item.mask = TCIF_TEXT | TCIF_IMAGE;
  item.pszText = buf;
  item.cchTextMax = 80;
  SendMessageW(tabs, TCM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
  image = item.iImage;
  return buf;
}

void TSkinTab::Drawitem(HDC dc, const RECT& r, int state) {
  const TDataSkinBorder& tabs = *data_->Tabs;
  DrawRect2(dc, r, &tabImage_, false, tabs.Tile == 1, tabs.Trans == 1, tabs.Frame, state, tabs.Margins());
}

// A tab of a left or right strip: drawn upright as on a top strip, then turned so that
// its top faces the strip's side.
void TSkinTab::DrawTurned(HDC dc, const RECT& item, int state, COLORREF colour, const std::wstring& text, int image,
                          HIMAGELIST images) {
  if (Width(item) <= 0 || Height(item) <= 0) return;
  TBitmap tab;
  tab.SetSize(Height(item), Width(item));
  tab.PixelFormat = pf24bit;
  HDC t = tab.Canvas().Handle();
  const RECT upright{0, 0, Height(item), Width(item)};
  FillParentBG(t, upright);
  Drawitem(t, upright, state);
  {
    FontScope font(t, WindowFont());
    SetTextColor(t, colour);
    DrawImgCaption(t, upright, 1, text, image, images);
  }
  if (position_ == 2) {
    Drehen270Grad(tab);
  } else {
    Drehen90Grad(tab);
  }
  BitBlt(dc, item.left, item.top, Width(item), Height(item), tab.Canvas().Handle(), 0, 0, SRCCOPY);
}

void TSkinTab::drawCloseBtn(HDC dc, const RECT& r, int index) {
  const RECT box{r.right - 8, r.top + 2, r.right - 2, r.top + 8};
  HPEN pen = CreatePen(PS_SOLID, 1, ColorToRGB(data_->SchemeColors[csButtonText]));
  HGDIOBJ old = SelectObject(dc, pen);
  HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
  Rectangle(dc, box.left, box.top, box.right, box.bottom);
  MoveToEx(dc, box.left + 1, box.top + 1, nullptr);
  LineTo(dc, box.right - 1, box.bottom - 1);
  MoveToEx(dc, box.right - 2, box.top + 1, nullptr);
  LineTo(dc, box.left, box.bottom - 1);
  SelectObject(dc, oldBrush);
  SelectObject(dc, old);
  DeleteObject(pen);
  closeRects_[static_cast<size_t>(index)] = box;
}

void TSkinTab::DrawControl(HDC dc, const RECT& r) {
  if (!data_ || !data_->Tabs || EmptyImage(&tabImage_)) return;
  const TDataSkinBorder& tabs = *data_->Tabs;
  RECT display;
  GetClientRect(wnd_, &display);
  SendMessageW(wnd_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
  InflateRect(&display, 4, 4);
  const int count = static_cast<int>(SendMessageW(wnd_, TCM_GETITEMCOUNT, 0, 0));
  const int current = static_cast<int>(SendMessageW(wnd_, TCM_GETCURFOCUS, 0, 0));
  auto images = reinterpret_cast<HIMAGELIST>(SendMessageW(wnd_, TCM_GETIMAGELIST, 0, 0));
  work_.SetSize(r.right - r.left, r.bottom - r.top);
  work_.PixelFormat = pf24bit;
  HDC w = work_.Canvas().Handle();
  FillParentBG(w, r);
  if (!paneImage_.Empty()) {
    const RECT edges = tabs.Style == 1 && data_->TabPane ? data_->TabPane->Margins() : tabs.Margins();
    DrawRect2(w, display, &paneImage_, false, false, false, 1, 1, edges);
  }
  FontScope font(w, WindowFont());
  closeRects_.assign(static_cast<size_t>(std::max(count, 0)), RECT{});
  enabled_ = !Disabled(wnd_);
  for (int i = 0; i < count; ++i) {
    RECT item{};
    SendMessageW(wnd_, TCM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    OffsetRect(&item, 0, position_ == 1 ? -1 : 1);
    const int state = i == current ? 2 : 1;
    const TColor given = state == 2 ? tabs.PressedColour : tabs.NormalColour;
    const COLORREF colour = ColorToRGB(given >= 0 ? given : data_->SchemeColors[csButtonText]);
    int image = -1;
    const std::wstring text = TabItemText(wnd_, i, image);
    if (position_ >= 2) {
      DrawTurned(w, item, state, colour, text, image, images);
    } else {
      Drawitem(w, item, state);
      SetTextColor(w, colour);
      DrawImgCaption(w, item, 1, text, image, images);
    }
    if (closeButtons_) drawCloseBtn(w, item, i);
  }
  // The pages are child windows that paint themselves: keep off their area.
  RECT inner = display;
  InflateRect(&inner, -4, -4);
  const int saved = SaveDC(dc);
  ExcludeClipRect(dc, inner.left, inner.top, inner.right, inner.bottom);
  if (FindScroll()) ClipUpdown(dc);
  BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, w, 0, 0, SRCCOPY);
  RestoreDC(dc, saved);
}

bool SkinStripArrows(HWND strip, TComponent* owner, TSkinData* data, TCanvas* canvas, TSkinControlHost* formSkin) {
  HWND arrows = FindWindowExW(strip, nullptr, UPDOWN_CLASSW, nullptr);
  if (!arrows) return false;
  if (SendMessageW(arrows, CN_IsSkinned, 0, 0) != 1) {
    auto* skinner = new TSkinUpDown(owner);
    skinner->Inithwnd(arrows, data, canvas, formSkin);
    if (skinner->Stage() != 1) delete skinner;
  }
  return (GetWindowLongW(arrows, GWL_STYLE) & WS_VISIBLE) != 0;
}

// The strip's scroll arrows, a child window of their own: skinned, and whether they show.
bool TSkinTab::FindScroll() {
  arrows_ = FindWindowExW(wnd_, nullptr, UPDOWN_CLASSW, nullptr);
  return SkinStripArrows(wnd_, control_ ? static_cast<TComponent*>(control_) : this, data_, canvas_, formSkin_);
}

void TSkinTab::AfterProc(TMessage& m) {
  // A strip that paints its own tabs still has its page framed by the skin.
  if (m.Msg == WM_PAINT && EmptyImage(&tabImage_)) DrawTabBorder(reinterpret_cast<HDC>(m.WParam));
  TSkinControl::AfterProc(m);
}

void TSkinTab::DrawTabBorder(HDC dc) {
  const TDataSkinBorder* tabs = data_ ? data_->Tabs.get() : nullptr;
  if (!tabs || EmptyImage(tabs->Image2.get())) return;
  RECT r;
  GetClientRect(wnd_, &r);
  SendMessageW(wnd_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
  InflateRect(&r, 4, 2);
  OffsetRect(&r, 0, 1);
  HDC own = dc ? dc : GetDC(wnd_);
  DrawRect2(own, r, tabs->Image2.get(), false, false, false, 1, 1, RECT{4, 5, 4, 4});
  if (!dc) ReleaseDC(wnd_, own);
}

// Keeps the strip off the arrows, which paint themselves.
void TSkinTab::ClipUpdown(HDC dc) {
  RECT a;
  GetWindowRect(arrows_, &a);
  MapWindowPoints(nullptr, wnd_, reinterpret_cast<POINT*>(&a), 2);
  ExcludeClipRect(dc, a.left, a.top, a.right, a.bottom);
}

// ---- Tab sets ----

void TSkinTab31::Init(TSkinControlHost* formSkin, TSkinData* data, TCanvas* canvas, bool recolour) {
  TSkinControl::Init(formSkin, data, canvas, recolour);
  if (!initialised_) return;
  FlipTabs();
  SkinScroller();
}

// The set's scroller lies across the strip: its halves are the left and right arrows.
void TSkinTab31::SkinScroller() {
  for (int i = 0; i < control_->ComponentCount(); ++i) {
    auto* scroller = dynamic_cast<TScroller*>(control_->Components(i));
    if (!scroller) continue;
    if (scroller->Perform(CN_IsSkinned) == 1) return;
    auto* arrows = new TSkinUpDown(scroller);
    arrows->Horizontal = true;
    arrows->Init(formSkin_, data_, canvas_, false);
    if (arrows->Stage() != 1) delete arrows;
    return;
  }
}

void TSkinTab31::SkinChange() {
  FlipTabs();
  TSkinControl::SkinChange();
}

void TSkinTab31::FlipTabs() {
  flipped_.SetSize(0, 0);
  if (!data_ || !data_->Tabs) return;
  CopyBMP(data_->Tabs->Image.get(), &flipped_);
  if (flipped_.Empty()) return;
  flipped_.PixelFormat = pf24bit;
  SpiegelnVertikal(flipped_);
}

// The set paints after us into an update region already made valid, so it shows nothing.
bool TSkinTab31::BeforeProc(TMessage& m) {
  if (EmptyImage(&flipped_)) return TSkinControl::BeforeProc(m);
  if (m.Msg == WM_PAINT) {
    WMPaint(m);
    return true;
  }
  if (m.Msg == WM_ERASEBKGND) {
    m.Result = 1;
    return false;
  }
  return TSkinControl::BeforeProc(m);
}

void TSkinTab31::DrawControl(HDC dc, const RECT& r) {
  auto* set = dynamic_cast<TTabSet*>(control_);
  if (!set || EmptyImage(&flipped_)) return;
  const TDataSkinBorder& tabs = *data_->Tabs;
  work_.SetSize(Width(r), Height(r));
  work_.PixelFormat = pf24bit;
  HDC w = work_.Canvas().Handle();
  FillParentBG(w, r);
  FontScope font(w, WindowFont());
  enabled_ = !Disabled(wnd_);
  for (int i = 0; i < set->TabCount(); ++i) {
    const RECT item = set->ItemRect(i);
    if (IsRectEmpty(&item)) continue;  // scrolled out of the strip
    const int state = i == set->TabIndex() ? 2 : 1;
    DrawRect2(w, item, &flipped_, false, tabs.Tile == 1, tabs.Trans == 1, tabs.Frame, state, tabs.Margins());
    const TColor given = state == 2 ? tabs.PressedColour : tabs.NormalColour;
    SetTextColor(w, ColorToRGB(given >= 0 ? given : data_->SchemeColors[csButtonText]));
    DrawCaption(w, item, gbk::ToWide(set->Tabs[static_cast<size_t>(i)]), enabled_, DT_CENTER);
  }
  BitBlt(dc, r.left, r.top, Width(r), Height(r), w, 0, 0, SRCCOPY);
}

// ---- Button-style tabs ----

bool TSkinTabBtn::BeforeProc(TMessage& m) {
  const bool painted = data_ && data_->Buttons && !EmptyImage(data_->Buttons->Image.get());
  if (m.Msg == WM_PAINT && painted) {
    WMPaint(m);
    return false;
  }
  return TSkinControl::BeforeProc(m);
}

void TSkinTabBtn::DrawControl(HDC dc, const RECT& r) {
  const TDataSkinButton* b = data_ ? data_->Buttons.get() : nullptr;
  if (!b || EmptyImage(b->Image.get())) return;
  RECT display;
  GetClientRect(wnd_, &display);
  SendMessageW(wnd_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
  const int count = static_cast<int>(SendMessageW(wnd_, TCM_GETITEMCOUNT, 0, 0));
  const int current = static_cast<int>(SendMessageW(wnd_, TCM_GETCURFOCUS, 0, 0));
  auto images = reinterpret_cast<HIMAGELIST>(SendMessageW(wnd_, TCM_GETIMAGELIST, 0, 0));
  work_.SetSize(Width(r), Height(r));
  HDC w = work_.Canvas().Handle();
  FillBG(w, r);
  FontScope font(w, WindowFont());
  enabled_ = !Disabled(wnd_);
  for (int i = 0; i < count; ++i) {
    RECT item{};
    SendMessageW(wnd_, TCM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    const int frame = i == current ? 2 : 1;
    DrawRect2(w, item, b->Image.get(), false, b->Tile == 1, b->Trans == 1, b->Frame, frame, b->Margins());
    TColor text = data_->SchemeColors[csButtonText];
    if (frame == 2 && b->HasPressedColour2) text = b->PressedColour2;
    if (frame == 1 && b->HasNormalColour2) text = b->NormalColour2;
    SetTextColor(w, ColorToRGB(text));
    int image = -1;
    const std::wstring caption = TabItemText(wnd_, i, image);
    DrawImgCaption(w, item, 1, caption, image, images);
  }
  // The pages paint themselves: keep off their area.
  const int saved = SaveDC(dc);
  ExcludeClipRect(dc, display.left, display.top, display.right, display.bottom);
  BitBlt(dc, r.left, r.top, Width(r), Height(r), w, 0, 0, SRCCOPY);
  RestoreDC(dc, saved);
}

// ---- Pages ----

bool TSkinTabSheet::BeforeProc(TMessage& m) {
  if (!TSkinControl::BeforeProc(m)) return false;
  if (variant_ != 0) return true;
  switch (m.Msg) {
    case WM_PAINT:
    case WM_PRINTCLIENT:
      WMPaint(m);
      return false;
    case WM_ERASEBKGND: {
      RECT r;
      GetClientRect(wnd_, &r);
      FillBG(reinterpret_cast<HDC>(m.WParam), r);
      m.Result = 1;
      return false;
    }
    default:
      return true;
  }
}

void TSkinTabSheet::DrawControl(HDC dc, const RECT& r) { FillBG(dc, r); }
