// What the analyser needs of the window that shows its report. The engine stays free of
// window code; the window side implements this over its rich-text control.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class ReportView {
 public:
  virtual ~ReportView() = default;

  // Empties the view and sets the default attributes: the view's own font size, black,
  // no style, left alignment and the given first-line indent.
  virtual void Reset(int firstIndent) = 0;
  // Replaces the whole text (GBK).
  virtual void SetText(const std::string& text) = 0;
  // Colours a span given in bytes of the GBK text last set; bold false leaves the style.
  virtual void FormatSpan(size_t start, size_t length, uint32_t rgb, bool bold) = 0;
  // Caret at the start, nothing selected.
  virtual void CaretToStart() = 0;
};

// A coloured heading of the report, in bytes of the report text.
struct ReportSpan {
  size_t start = 0;
  size_t length = 0;
  uint32_t rgb = 0;  // 0xRRGGBB
  bool bold = false;
};
