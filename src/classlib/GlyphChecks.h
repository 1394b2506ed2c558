// Check boxes and radio buttons of other families (Win32 only). They draw themselves:
// the state glyph from their own strip of square glyphs when they have one, else the
// system's check mark, then the caption.
#pragma once

#include <string>

#include "classlib/ExtCtrls.h"
#include "classlib/Graphics.h"

class TGlyphCheck : public TPaintedControl {
 public:
  using TPaintedControl::TPaintedControl;
  bool Checked() const { return checked_; }
  void SetChecked(bool on);
  // The glyph (from 1) the state shows in a strip of `count` glyphs: 4 glyphs unchecked,
  // checked, and both disabled; 12 glyphs in the wider family order.
  int GlyphIndex(int count) const;

 protected:
  // The strip in force, or null for the system's look; its key colour is transparent.
  virtual TBitmap* Glyphs() = 0;
  virtual TColor KeyColour() const;
  virtual bool Radio() const { return false; }
  void Paint(HDC dc) override;
  LRESULT WndProc(UINT msg, WPARAM w, LPARAM l) override;

 private:
  void DrawGlyph(HDC dc, const RECT& cell);
  void Toggle();
  bool checked_ = false;
  bool down_ = false;
};

// The first family: a custom glyph strip used only while UseCustomGlyphs is set.
class TRzCheckBox : public TGlyphCheck {
 public:
  using TGlyphCheck::TGlyphCheck;
  std::string ClassName() const override { return "TRzCheckBox"; }
  TBitmap CustomGlyphs;
  TColor TransparentColor = 0x008080;  // olive, the family's default
  bool UseCustomGlyphs = false;

 protected:
  TBitmap* Glyphs() override;
  TColor KeyColour() const override { return TransparentColor; }
  void PublishProperties(TPropertyTable& t) override;
};

class TRzRadioButton : public TRzCheckBox {
 public:
  using TRzCheckBox::TRzCheckBox;
  std::string ClassName() const override { return "TRzRadioButton"; }

 protected:
  bool Radio() const override { return true; }
};

// The second family: its glyph strip stands among its properties, used when not empty.
class TcxCheckBox : public TGlyphCheck {
 public:
  using TGlyphCheck::TGlyphCheck;
  std::string ClassName() const override { return "TcxCheckBox"; }
  struct TProperties {
    TBitmap Glyph;
  } Properties;

 protected:
  TBitmap* Glyphs() override;
  void PublishProperties(TPropertyTable& t) override;
};
