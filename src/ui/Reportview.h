// The analyser's report view over a rich edit: the report's byte offsets (in which
// "\r\n" takes two bytes and "\n" one) become the control's positions, where every line
// break is one paragraph mark.
#pragma once

#include <functional>
#include <string>

#include "classlib/ComCtrls.h"
#include "engine/ReportView.h"

class TReportView : public ReportView {
 public:
  explicit TReportView(TRichEdit& edit) : edit(edit) {}

  void Reset(int firstIndent) override;
  void SetText(const std::string& text) override;
  void FormatSpan(size_t start, size_t length, uint32_t rgb, bool bold) override;
  void CaretToStart() override;

  // The control's position of a byte offset of the text last set.
  int Position(size_t offset) const;

 private:
  TRichEdit& edit;
  std::string text;
  int indent = 0;
};

// The view's own font and the font of the text typed or loaded next.
void SetViewFont(TRichEdit& view, const std::string& name, int size);
// The view's background; the rich edit paints it itself, so the control is told too.
void SetViewColour(TRichEdit& view, TColor colour);
// Long plain text added to the view in `font` a piece at a time, the first screen's
// worth first: `pump` runs after each piece, and returning false drops the rest.
void AppendLongText(TRichEdit& view, const std::string& text, const TFont& font, const std::function<bool()>& pump);
