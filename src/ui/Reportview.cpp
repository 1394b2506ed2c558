#include "ui/Reportview.h"

#include <algorithm>
#include <chrono>

void TReportView::Reset(int firstIndent) {
  indent = firstIndent;
  text.clear();
  edit.Clear();
  // The view's own font (name and size from the settings), plain black.
  TFont f = edit.Font();
  f.Color = clBlack;
  f.Bold = f.Italic = f.Underline = false;
  edit.DefAttributes().Set(f);
  edit.Paragraph().SetAlignment(taLeftJustify);
  edit.Paragraph().SetFirstIndent(indent);
}

void TReportView::SetText(const std::string& t) {
  text = t;
  edit.SetText(t);
  // New text can take the paragraph format of its own first line; set it on all.
  edit.SelectAll();
  edit.Paragraph().SetAlignment(taLeftJustify);
  edit.Paragraph().SetFirstIndent(indent);
}

int TReportView::Position(size_t offset) const {
  offset = std::min(offset, text.size());
  size_t pairs = 0;
  for (size_t i = 0; i + 1 < offset; ++i)
    if (text[i] == '\r' && text[i + 1] == '\n') ++pairs;
  return static_cast<int>(offset - pairs);
}

void TReportView::FormatSpan(size_t start, size_t length, uint32_t rgb, bool bold) {
  const int from = Position(start), to = Position(start + length);
  edit.SetSelStart(from);
  edit.SetSelLength(to - from);
  const auto r = static_cast<TColor>((rgb >> 16) & 0xFF), g = static_cast<TColor>((rgb >> 8) & 0xFF);
  const auto b = static_cast<TColor>(rgb & 0xFF);
  edit.SelAttributes().SetColor(r | (g << 8) | (b << 16));
  if (bold) edit.SelAttributes().SetBold(true);
}

// The last step of every report written: what the program wrote is no edit of the
// user's, so the view is left unmodified (a save offer is for the user's own changes).
void TReportView::CaretToStart() {
  edit.SetSelStart(0);
  edit.Perform(EM_SCROLLCARET);
  edit.SetModified(false);
}

// The view's own font and the font of the text typed or loaded next.
void SetViewFont(TRichEdit& view, const std::string& name, int size) {
  TFont f = view.Font();
  f.Name = name;
  f.Size = size;
  view.SetFont(f);
  view.DefAttributes().SetName(name);
  view.DefAttributes().SetSize(size);
}

// The rich edit paints its background itself, so the colour goes to the control too.
void SetViewColour(TRichEdit& view, TColor colour) {
  view.SetColor(colour);
  view.Perform(EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(ColorToRGB(colour)));
  view.Invalidate();
}

namespace {

// Small enough that the first screen shows at once. Each later piece makes the view
// lay out again the whole paragraph that the piece ends, so fewer, larger pieces cost
// less in all: a piece grows while the view takes it quicker than the budget and
// shrinks when the view is slower, between the least and the most size below, so the
// window answers about every budget on a fast machine and a loaded one alike.
constexpr size_t kFirstPieceBytes = 4 * 1024;
constexpr size_t kLeastPieceBytes = 16 * 1024;
constexpr size_t kMostPieceBytes = 64 * 1024;
constexpr std::chrono::milliseconds kPieceBudget{50};

// The size of the next piece after one of `bytes` took `took`; it at most doubles, as
// a piece costs more than its size alone says (its paragraph's layout grows).
size_t NextPieceBytes(size_t bytes, std::chrono::steady_clock::duration took) {
  const double ms = std::max(std::chrono::duration<double, std::milli>(took).count(), 0.001);
  const double scaled = std::min(static_cast<double>(bytes) * static_cast<double>(kPieceBudget.count()) / ms,
                                 2.0 * static_cast<double>(bytes));
  return static_cast<size_t>(std::clamp(scaled, double{kLeastPieceBytes}, double{kMostPieceBytes}));
}

// Where the piece from `at` ends: after its last line break, else after its last space
// (ASCII never stands inside a two-byte character), else at the next of either.
size_t PieceEnd(const std::string& text, size_t at, size_t limit) {
  if (text.size() - at <= limit) return text.size();
  const size_t last = at + limit;
  size_t cut = text.rfind("\r\n", last - 2);
  if (cut != std::string::npos && cut >= at) return cut + 2;
  cut = text.rfind(' ', last - 1);
  if (cut != std::string::npos && cut >= at) return cut + 1;
  cut = text.find_first_of(" \n", last);
  return cut == std::string::npos ? text.size() : cut + 1;
}

}  // namespace

void AppendLongText(TRichEdit& view, const std::string& text, const TFont& font, const std::function<bool()>& pump) {
  TRichEdit::AppendState state;
  size_t limit = kFirstPieceBytes;
  for (size_t at = 0; at < text.size();) {
    const size_t end = PieceEnd(text, at, limit);
    const auto start = std::chrono::steady_clock::now();
    view.AppendText(text.substr(at, end - at), font, state);
    limit = NextPieceBytes(end - at, std::chrono::steady_clock::now() - start);
    at = end;
    if (at < text.size() && !pump()) break;
  }
  view.EndAppend(state);
}
