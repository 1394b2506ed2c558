#include "classlib/AdvPages.h"

#include "classlib/Gbk.h"

// The control paints itself first; the pictures then stand over its tabs.
LRESULT TAdvPageControl::WndProc(UINT msg, WPARAM w, LPARAM l) {
  if (msg != WM_PAINT || (TabBackGround.Empty() && TabBackGroundActive.Empty()))
    return TPageControl::WndProc(msg, w, l);
  PAINTSTRUCT ps{};
  HDC dc = w ? reinterpret_cast<HDC>(w) : BeginPaint(Handle(), &ps);
  TPageControl::WndProc(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
  PaintTabs(dc);
  if (!w) EndPaint(Handle(), &ps);
  return 0;
}

void TAdvPageControl::PaintTabs(HDC dc) {
  const int current = static_cast<int>(Perform(TCM_GETCURSEL));
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(Perform(WM_GETFONT)));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  SetStretchBltMode(dc, COLORONCOLOR);
  for (int i = 0; i < PageCount(); ++i) {
    RECT r{};
    Perform(TCM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
    TBitmap& picture = i == current && !TabBackGroundActive.Empty() ? TabBackGroundActive : TabBackGround;
    if (!picture.Empty())
      StretchBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, picture.Canvas().Handle(), 0, 0,
                 picture.Width(), picture.Height(), SRCCOPY);
    const std::wstring text = gbk::ToWide(Pages(i)->Caption());
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
  SelectObject(dc, old);
}

void TAdvPageControl::PublishProperties(TPropertyTable& t) {
  TPageControl::PublishProperties(t);
  t.Class<TBitmap>("TabBackGround", [this] { return &TabBackGround; });
  t.Class<TBitmap>("TabBackGroundActive", [this] { return &TabBackGroundActive; });
}
