#include "classlib/GlyphChecks.h"

#include "classlib/Gbk.h"

namespace {

constexpr int kGap = 4;  // between the glyph and the caption

}  // namespace

void TGlyphCheck::SetChecked(bool on) {
  if (on == checked_) return;
  checked_ = on;
  Invalidate();
}

int TGlyphCheck::GlyphIndex(int count) const {
  const bool disabled = !Enabled();
  if (count >= 12) return checked_ ? (disabled ? 8 : 5) : (disabled ? 4 : 1);
  return (checked_ ? 2 : 1) + (disabled ? 2 : 0);
}

TColor TGlyphCheck::KeyColour() const { return 0xFF00FF; }

void TGlyphCheck::DrawGlyph(HDC dc, const RECT& cell) {
  TBitmap* strip = Glyphs();
  if (!strip || strip->Empty() || strip->Height() <= 0) {
    RECT r = cell;
    UINT state = (Radio() ? DFCS_BUTTONRADIO : DFCS_BUTTONCHECK) | (checked_ ? DFCS_CHECKED : 0);
    if (!Enabled()) state |= DFCS_INACTIVE;
    DrawFrameControl(dc, &r, DFC_BUTTON, state);
    return;
  }
  const int side = strip->Height();
  const int count = strip->Width() / side;
  if (count < 1) return;
  const int wanted = GlyphIndex(count);
  const int index = wanted <= count ? wanted : 1;
  TransparentBlt(dc, cell.left, cell.top, side, side, strip->Canvas().Handle(), (index - 1) * side, 0, side, side,
                 ColorToRGB(KeyColour()));
}

void TGlyphCheck::Paint(HDC dc) {
  RECT all{0, 0, ClientWidth(), ClientHeight()};
  HBRUSH face = CreateSolidBrush(ColorToRGB(Color()));
  FillRect(dc, &all, face);
  DeleteObject(face);
  TBitmap* strip = Glyphs();
  const int side = strip && !strip->Empty() ? strip->Height() : 13;
  const int top = (all.bottom - side) / 2;
  DrawGlyph(dc, RECT{0, top, side, top + side});
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(Handle(), WM_GETFONT, 0, 0)));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(Enabled() ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
  const std::wstring text = gbk::ToWide(Caption());
  RECT t{side + kGap, 0, all.right, all.bottom};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &t, DT_SINGLELINE | DT_VCENTER);
  SelectObject(dc, old);
}

// A radio button only turns on; a check box turns over.
void TGlyphCheck::Toggle() {
  SetChecked(Radio() || !checked_);
  Click();
}

// A click counts when the button is let go over the control.
LRESULT TGlyphCheck::WndProc(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_LBUTTONDOWN:
      down_ = true;
      SetCapture(Handle());
      return 0;
    case WM_LBUTTONUP: {
      if (!down_) break;
      down_ = false;
      ReleaseCapture();
      const POINT p{static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l))};
      RECT c{0, 0, ClientWidth(), ClientHeight()};
      if (PtInRect(&c, p)) Toggle();
      return 0;
    }
    case WM_SETTEXT: {
      const LRESULT r = TPaintedControl::WndProc(msg, w, l);
      Invalidate();
      return r;
    }
    default:
      break;
  }
  return TPaintedControl::WndProc(msg, w, l);
}

TBitmap* TRzCheckBox::Glyphs() { return UseCustomGlyphs && !CustomGlyphs.Empty() ? &CustomGlyphs : nullptr; }

TBitmap* TcxCheckBox::Glyphs() { return Properties.Glyph.Empty() ? nullptr : &Properties.Glyph; }

void TRzCheckBox::PublishProperties(TPropertyTable& t) {
  TGlyphCheck::PublishProperties(t);
  t.Class<TBitmap>("CustomGlyphs", [this] { return &CustomGlyphs; });
  t.Integer(
      "TransparentColor", [this] { return TransparentColor; },
      [this](long long v) { TransparentColor = static_cast<TColor>(v); });
  t.Boolean(
      "UseCustomGlyphs", [this] { return UseCustomGlyphs; }, [this](bool v) { UseCustomGlyphs = v; });
}

void TcxCheckBox::PublishProperties(TPropertyTable& t) {
  TGlyphCheck::PublishProperties(t);
  t.Class<TProperties>("Properties", [this] { return &Properties; });
}
