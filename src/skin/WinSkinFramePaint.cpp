// The frame of a skinned window: its geometry, borders and caption, the menu band and
// the window region cut from the borders.
#include "skin/WinSkinFrame.h"

#include <algorithm>

#include "skin/Imgutil.h"
#include "skin/WinSkinDlg.h"
#include "skin/WinSkinForm.h"
#include "skin/WinSubClass.h"

NONCLIENTMETRICSW TWinSkinForm::Metrics() {
  NONCLIENTMETRICSW nc{};
  nc.cbSize = sizeof nc;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof nc, &nc, 0);
  return nc;
}

// ---- Frame geometry ----

// A minimized or maximized MDI child keeps the system's frame.
void TWinSkinForm::WMNCCalcSize(TMessage& m) {
  if (SystemFramedChild()) {
    Default(m);
    return;
  }
  // Asked without a window position (wParam FALSE) the system's client rectangle stands.
  if (!m.WParam) {
    Default(m);
    m.Result = 0;
    return;
  }
  const RECT proposed = reinterpret_cast<NCCALCSIZE_PARAMS*>(m.LParam)->rgrc[0];
  Default(m);
  FMenuHeight = MenuBandHeight();
  const RECT client{proposed.left + FLeftWidth, proposed.top + FCaptionHeight + FMenuHeight,
                    proposed.right - FRightWidth, proposed.bottom - FBottomHeight};
  auto* p = reinterpret_cast<NCCALCSIZE_PARAMS*>(m.LParam);
  if (FBorderStyle != sbsNone) p->rgrc[0] = client;
  p->rgrc[1] = p->rgrc[0];
  // A dialog whose client changes size is drawn anew rather than keeping its old pixels:
  // widened for its caption it moves its controls, and kept pixels left lines along the
  // old client's edges.
  m.Result = FIsDialog ? WVR_VALIDRECTS | WVR_REDRAW : WVR_VALIDRECTS;
}

void TWinSkinForm::WMNCHitTest(TMessage& m) {
  Default(m);
  // Windows places its caption by its own metrics; the skinned one is taller or lower.
  // Its borders, client area and scroll bars stand.
  if (m.Result != HTNOWHERE && m.Result != HTCAPTION) return;
  const POINT p = GetWinXY(static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam)));
  if (p.y <= 3 || p.y >= FCaptionHeight + FMenuHeight) return;
  m.Result = FMenuHeight > 0 && p.y > FCaptionHeight ? HTMENU : HTCAPTION;
}

void TWinSkinForm::WMNCPaint(TMessage& m) {
  UpdateStyle(true);
  if (!FSkinData->MainMenuUpdate) {
    m.Result = 0;
    return;
  }
  if (FBorderStyle == sbsNone) {
    Default(m);
    return;
  }
  UpdateNc(nullptr);
  m.Result = 0;
}

void TWinSkinForm::ResizeForm(bool keepClient) {
  if (IsMaximized()) {
    Refresh();
    return;
  }
  RECT w{};
  GetWindowRect(FHandle, &w);
  if (keepClient || FIsDialog || FState == 3) GetClientRect(FHandle, &FClientRect);
  int width = Width(FClientRect) + FLeftWidth + FRightWidth;
  const int height = Height(FClientRect) + FCaptionHeight + FBottomHeight + FMenuHeight;
  if (FIsDialog && !keepClient) width = WidenForCaption(width);
  SetWindowPos(FHandle, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

// A dialog as wide as its caption needs, its controls moved to stay centred.
int TWinSkinForm::WidenForCaption(int width) {
  const std::wstring text = FCaptionPrefix + WindowTextW(FHandle) + FCaptionSuffix;
  HDC dc = GetDC(FHandle);
  HGDIOBJ old = SelectObject(dc, FCaptionFont);
  SIZE extent{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
  SelectObject(dc, old);
  ReleaseDC(FHandle, dc);
  const TDataSkinTitle& title = *FSkinData->Title;
  const int needed = title.LeftWidth + extent.cx + title.RightWidth;
  if (width >= needed) return width;
  const int shift = (needed - width) / 2;
  for (HWND c = GetWindow(FHandle, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    RECT r{};
    GetWindowRect(c, &r);
    MapWindowPoints(nullptr, FHandle, reinterpret_cast<POINT*>(&r), 2);
    SetWindowPos(c, nullptr, r.left + shift, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  return needed;
}

// Static texts and buttons of a plain dialog on the skin's face; a form's labels answer
// for themselves (TSkinLabel).
void TWinSkinForm::WMCtlcolor(TMessage& m) {
  Default(m);
  if (FForm) return;
  auto dc = reinterpret_cast<HDC>(m.WParam);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(FSkinData->SchemeColors[csText]));
  if (m.Msg == WM_CTLCOLORSTATIC && FSkinData->FaceBrush) m.Result = reinterpret_cast<LRESULT>(FSkinData->FaceBrush);
}

// A plain dialog paints some things itself over a hidden static that marks their place,
// as the font dialog paints its sample in the chosen colour: there the system's face
// stays, so the sample shows as it will on a page, whatever the skin's face.
void TWinSkinForm::KeepSystemFaceUnderSamples(HDC dc) const {
  for (HWND c = GetWindow(FHandle, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    wchar_t cls[8] = {};
    GetClassNameW(c, cls, 8);
    if (IsWindowVisible(c) || lstrcmpiW(cls, L"Static") != 0) continue;
    RECT r{};
    GetWindowRect(c, &r);
    MapWindowPoints(nullptr, FHandle, reinterpret_cast<POINT*>(&r), 2);
    FillRect(dc, &r, GetSysColorBrush(COLOR_3DFACE));
  }
}

// ---- Painting the frame ----

void TWinSkinForm::Drawborder(int kind, const RECT& r, HDC dc) {
  const int w = Width(r), h = Height(r);
  if (w <= 0 || h <= 0) return;
  const TDataSkinBorder& b = *FSkinData->Border[static_cast<size_t>(kind)];
  const int frame = b.Frame <= 1 || FActive ? 1 : 2;
  auto map = GetHMap(RECT{0, 0, w, h}, b.Image.get(), b.Margins(), kind >= 3, b.Tile != 1, b.Frame, frame);
  if (!map) return;
  // Maximized, the window has no region to cut the key colour away: its corners are
  // filled square.
  if (IsMaximized() && b.Trans == 1) FillKeyFromRows(*map);
  BitBlt(dc, r.left, r.top, w, h, map->Canvas().Handle(), 0, 0, SRCCOPY);
}

void TWinSkinForm::UpdateNc(HDC dc) {
  if ((FState != 1 && FState != 3) || FBorderStyle == sbsNone || !FSkinFrame || FSkinData->SkinEmpty ||
      SystemFramedChild())
    return;
  // Caption buttons whose skin objects were replaced by a new load are dropped until the
  // change re-creates them.
  for (const auto& b : FButtons) {
    const auto& all = FSkinData->SysButtons;
    if (std::none_of(all.begin(), all.end(), [&](const auto& s) { return s.get() == b->Skin; })) {
      DeleteSysbtn();
      break;
    }
  }
  RECT wr{};
  GetWindowRect(FHandle, &wr);
  FWidth = Width(wr);
  FHeight = Height(wr);
  HDC own = dc ? dc : GetWindowDC(FHandle);
  if (!IsMinimized()) {
    Drawborder(1, RECT{0, 0, FLeftWidth, FHeight}, own);
    Drawborder(2, RECT{FWidth - FRightWidth, 0, FWidth, FHeight}, own);
    Drawborder(4, RECT{FLeftWidth, FHeight - FBottomHeight, FWidth - FRightWidth, FHeight}, own);
    DrawFLine(own);
    const RECT band{FLeftWidth, FCaptionHeight, FWidth - FRightWidth, FCaptionHeight + FMenuHeight};
    if (FMenuHeight > 0 && HasMenu()) {
      DrawMenuBand(own, band);
      DrawBandButtons(own);
    } else if (FMenuHeight > 0 && FSkinData->FaceBrush) {
      FillRect(own, &band, FSkinData->FaceBrush);
    }
  } else {
    DrawFLine(own);
  }
  if (!dc) ReleaseDC(FHandle, own);
  FHotObject = nullptr;
}

void TWinSkinForm::DrawFLine(HDC dc) {
  const RECT band{0, 0, FWidth, FCaptionHeight};
  RECT line{FLeftWidth, 0, FWidth - FRightWidth, FCaptionHeight};
  if (!IsMinimized()) {
    FTitleBitmap->SetSize(FWidth, FCaptionHeight);
  } else {
    FTitleBitmap->SetSize(FWidth, FHeight);
    line = band;
  }
  HDC bdc = FTitleBitmap->Canvas().Handle();
  if (IsMinimized()) {
    HBRUSH face = CreateSolidBrush(ColorToRGB(FSkinData->SchemeColors[csButtonFace]));
    RECT all{0, 0, FWidth, FHeight};
    FillRect(bdc, &all, face);
    DeleteObject(face);
  } else {
    BitBlt(bdc, 0, 0, FWidth, FCaptionHeight, dc, 0, 0, SRCCOPY);
  }
  Drawborder(3, band, bdc);
  DrawLine(bdc, line);
  SetSysbtnRect();
  DrawAllSysbtn(bdc);
  BitBlt(dc, 0, 0, FWidth, FCaptionHeight, bdc, 0, 0, SRCCOPY);
  SetBkMode(dc, OPAQUE);
}

void TWinSkinForm::DrawLine(HDC dc, const RECT& line) {
  const TDataSkinTitle& title = *FSkinData->Title;
  const std::wstring text = FCaptionPrefix + WindowTextW(FHandle) + FCaptionSuffix;
  HGDIOBJ oldFont = SelectObject(dc, FCaptionFont);
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  TColor colour = FActive ? title.ActiveText : title.InActiveText;
  if (colour == kNoColour) colour = FSkinData->SchemeColors[FActive ? csTitleTextActive : csTitleTextNoActive];
  SetTextColor(dc, ColorToRGB(colour));
  RECT t{line.left, line.top, line.left, line.top};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &t, DT_CALCRECT | DT_NOCLIP);
  t.right += title.TXTBackleft + title.TXTBackRight;
  const int tw = Width(t), th = Height(t), lw = Width(line), lh = Height(line);
  int x = title.LeftWidth;
  if (title.TextAlignment == 1) x = (lw - tw) / 2;
  if (title.TextAlignment == 2 || FRightToLeft) x = lw - title.RightWidth - tw;
  const int y = (lh - th) / 2 + title.TopHeight / 2;
  OffsetRect(&t, x, y);
  if (!(FStyle & WS_POPUP)) {
    t.right = std::min<LONG>(t.right, line.right - title.RightWidth);
  } else if (FButtonsLeft > 5) {
    t.right = std::min<LONG>(t.right, FButtonsLeft - 5);
  }
  if (FBorderStyle == sbsDialog && title.TextAlignment == 0) t.left -= 16;
  FTextRect = t;
  if (!title.Image->Empty()) {
    TCanvas canvas(dc);
    DrawRectTile(&canvas, t, title.Image.get(), true, title.Trans == 1, 2, FActive ? 1 : 2,
                 RECT{title.TXTBackleft, 0, title.TXTBackRight, 0});
  }
  t.left += title.TXTBackleft;
  t.right -= title.TXTBackRight;
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &t,
            DT_SINGLELINE | DT_END_ELLIPSIS | (FRightToLeft ? DT_RIGHT : 0));
  SetBkMode(dc, oldMode);
  SelectObject(dc, oldFont);
}

// ---- Window region ----

// The outline of one border painted at (x, y): its non-key pixels when keyed, else its
// rectangle.
HRGN TWinSkinForm::BorderRegion(int kind, int pw, int ph, int x, int y, bool keyed) {
  if (!keyed || pw <= 0 || ph <= 0) return CreateRectRgn(x, y, x + std::max(pw, 0), y + std::max(ph, 0));
  TBitmap work;
  work.SetSize(pw, ph);
  Drawborder(kind, RECT{0, 0, pw, ph}, work.Canvas().Handle());
  HRGN r = BitmapToRegion(&work, x, y, kKeyColour, 1, 1, 1);
  return r ? r : CreateRectRgn(x, y, x + pw, y + ph);
}

void TWinSkinForm::Cropwindow() {
  RECT wr{};
  GetWindowRect(FHandle, &wr);
  const int w = Width(wr), h = Height(wr);
  if (FState == 6 || !FSkinFrame || w * h == 0) return;
  if (SystemFramedChild()) return;  // the system's frame shows
  if (FHasRegion && w == FRegionWidth && h == FRegionHeight && FState != 3) return;
  auto& b = FSkinData->Border;
  const bool anyTrans = b[1]->Trans || b[2]->Trans || b[3]->Trans || b[4]->Trans;
  HRGN region = nullptr;
  if (FBorderStyle != sbsNone && IsMinimized()) {
    // A minimized window shows only its caption band, cut like the caption's top: the
    // system's minimized height may be taller than the band, and the rows below it are
    // the menu band's, which is not painted then.
    region = BorderRegion(3, w, FCaptionHeight, 0, 0, b[3]->Trans == 1 && FCaptionHeight >= 2);
    HRGN window = CreateRectRgn(0, 0, w, h);
    CombineRgn(region, region, window, RGN_AND);
    DeleteObject(window);
    FRegionWidth = w;
    FRegionHeight = h;
  } else if (anyTrans && FBorderStyle != sbsNone) {
    // The caption band is painted across the whole width over the side borders, so the
    // top border's key pixels decide the outline there and the sides only below it.
    const int middle = w - FLeftWidth - FRightWidth;
    region = CreateRectRgn(FLeftWidth, FCaptionHeight, w - FRightWidth, h - FBottomHeight);
    HRGN left = BorderRegion(1, FLeftWidth, h, 0, 0, b[1]->Trans == 1 && h >= 2);
    HRGN right = BorderRegion(2, FRightWidth, h, w - FRightWidth, 0, b[2]->Trans == 1 && h >= 2);
    HRGN bottom =
        BorderRegion(4, middle, FBottomHeight, FLeftWidth, h - FBottomHeight, b[4]->Trans == 1 && FBottomHeight >= 2);
    HRGN top = BorderRegion(3, w, FCaptionHeight, 0, 0, b[3]->Trans == 1 && FCaptionHeight >= 2);
    HRGN below = CreateRectRgn(0, FCaptionHeight, w, h);
    CombineRgn(left, left, right, RGN_OR);
    CombineRgn(left, left, below, RGN_AND);
    CombineRgn(top, top, bottom, RGN_OR);
    CombineRgn(left, left, top, RGN_OR);
    CombineRgn(region, region, left, RGN_OR);
    DeleteObject(below);
    for (HRGN r : {left, right, bottom, top}) DeleteObject(r);
    FRegionWidth = w;
    FRegionHeight = h;
  } else {
    region = CreateRectRgn(0, 0, w, h);
  }
  // The system owns a region once it is set, and frees the one it replaces.
  SetWindowRgn(FHandle, region, TRUE);
  FHasRegion = true;
}

void TWinSkinForm::Uncropwindow() {
  if (!FHasRegion) return;
  SetWindowRgn(FHandle, nullptr, TRUE);
  FHasRegion = false;
}
