// Speed buttons (Win32 only).
#pragma once

#include "classlib/ComCtrls.h"
#include "classlib/Graphics.h"
#include "classlib/StdCtrls.h"

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// A push button with a glyph: Glyph holds NumGlyphs cells side by side in the order
// up, disabled, down; Margin -1 centres glyph and caption together. Without a Glyph the
// image ImageIndex of Images stands in (DisabledIndex while disabled, when not -1).
class TBitBtn : public TButton {
 public:
  using TButton::TButton;
  std::string ClassName() const override { return "TBitBtn"; }
  TBitmap Glyph;
  int NumGlyphs = 1;
  TButtonLayout Layout = blGlyphLeft;
  int Margin = -1;
  int Spacing = 4;
  HIMAGELIST Images = nullptr;  // not owned
  int ImageIndex = -1;
  int DisabledIndex = -1;
  TAlignment Alignment = taLeftJustify;  // taCenter centres glyph and caption whatever the Margin

 protected:
  void PublishProperties(TPropertyTable& t) override;
};

// A small tool button: no tab stop and no default-button frame; Flat draws it without
// a raised border until the mouse is over it.
class TSpeedButton : public TWinControl {
 public:
  using TWinControl::TWinControl;
  std::string ClassName() const override { return "TSpeedButton"; }
  bool Flat = false;

 protected:
  const wchar_t* BaseClassName() const override { return L"BUTTON"; }
  DWORD CreateStyle() const override;
  bool HandleCommand(WORD code) override;
};
