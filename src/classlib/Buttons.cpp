#include "classlib/Buttons.h"

DWORD TSpeedButton::CreateStyle() const { return TControl::CreateStyle() | BS_PUSHBUTTON | (Flat ? BS_FLAT : 0); }

bool TSpeedButton::HandleCommand(WORD code) {
  if (code != BN_CLICKED) return false;
  Click();
  return true;
}

void TBitBtn::PublishProperties(TPropertyTable& t) {
  TButton::PublishProperties(t);
  t.Class<TBitmap>("Glyph", [this] { return &Glyph; });
  t.Integer(
      "NumGlyphs", [this] { return NumGlyphs; }, [this](long long v) { NumGlyphs = static_cast<int>(v); });
  t.Enumeration(
      "Layout", {"blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom"}, [this] { return Layout; },
      [this](long long v) { Layout = static_cast<TButtonLayout>(v); });
  t.Integer(
      "Margin", [this] { return Margin; }, [this](long long v) { Margin = static_cast<int>(v); });
  t.Integer(
      "Spacing", [this] { return Spacing; }, [this](long long v) { Spacing = static_cast<int>(v); });
  t.Class<std::remove_pointer_t<HIMAGELIST>>("Images", [this] { return Images; });
  t.Integer(
      "ImageIndex", [this] { return ImageIndex; }, [this](long long v) { ImageIndex = static_cast<int>(v); });
  t.Integer(
      "DisabledIndex", [this] { return DisabledIndex; }, [this](long long v) { DisabledIndex = static_cast<int>(v); });
  t.Enumeration(
      "Alignment", {"taLeftJustify", "taRightJustify", "taCenter"}, [this] { return Alignment; },
      [this](long long v) { Alignment = static_cast<TAlignment>(v); });
}
