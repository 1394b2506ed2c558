#include "classlib/ReadOnlyMemo.h"

#include <windowsx.h>

#include <algorithm>
#include <chrono>

#include "classlib/Gbk.h"

namespace {

constexpr uint16_t kUnknown = 0xFFFF;
constexpr int kMargin = 2, kTopMargin = 1;  // pixels around the text, as the edit control leaves
constexpr UINT_PTR kDragTimer = 1, kWrapTimer = 2;
constexpr int kWrapSliceMs = 15;   // the most a piece of a rewrap keeps the window from its messages
constexpr int kResizeSliceMs = 4;  // the piece a new width makes at once: a drag brings the next soon
constexpr UINT kCopyCommand = 1, kSelectAllCommand = 2;

bool IsBreak(wchar_t c) { return c == L'\r' || c == L'\n'; }

// Ideographs, kana, full-width forms: a line may break before and after each.
bool IsWide(wchar_t c) { return c >= 0x2E80; }
constexpr wchar_t kFirstIdeograph = 0x4E00, kLastIdeograph = 0x9FFF;
bool IsIdeograph(wchar_t c) { return c >= kFirstIdeograph && c <= kLastIdeograph; }

// Punctuation that never starts a line (，。、；：？！）】》」』”’…), and brackets that
// never end one (（【《「『“‘).
bool ClosesPhrase(wchar_t c) {
  return std::wstring_view(
             L"\uFF0C\u3002\u3001\uFF1B\uFF1A\uFF1F\uFF01\uFF09\u3011\u300B\u300D\u300F\u201D\u2019\u2026")
             .find(c) != std::wstring_view::npos;
}
bool OpensPhrase(wchar_t c) {
  return std::wstring_view(L"\uFF08\u3010\u300A\u300C\u300E\u201C\u2018").find(c) != std::wstring_view::npos;
}

// Whole lines above (negative) or below the top of the text for a distance in pixels.
int RowsDown(int pixels, int lineHeight) {
  return pixels >= 0 ? pixels / lineHeight : -((-pixels + lineHeight - 1) / lineHeight);
}

// Runs of letters and digits, or of wide characters, are the words a double click takes.
int WordClass(wchar_t c) {
  if (c == L' ' || c == L'\t' || IsBreak(c) || c == 0x3000) return 0;
  return IsWide(c) ? 2 : 1;
}

// Messages that use the lines: they wait for a rewrap to end.
bool NeedsLines(UINT msg, WPARAM w) {
  if (msg >= EM_GETSEL && msg <= EM_GETIMESTATUS) return true;
  switch (msg) {
    case WM_KEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_VSCROLL:
    case WM_MOUSEWHEEL:
    case WM_SETFOCUS:
    case WM_CONTEXTMENU:
      return true;
    case WM_TIMER:
      return w == kDragTimer;
    default:
      return false;
  }
}

}  // namespace

TReadOnlyMemo::TReadOnlyMemo(TComponent* owner) : TMemo(owner), widths_(0x10000, kUnknown) {
  ReadOnly = true;
  SetColor(clWindow);
}

DWORD TReadOnlyMemo::CreateStyle() const { return TControl::CreateStyle() | WS_TABSTOP | WS_VSCROLL; }

void TReadOnlyMemo::AfterCreate() {
  // The window was made with the text last set (or kept by a re-creation).
  DropRewrap();
  held_.clear();
  starts_.assign(1, 0);
  Replace(0, 0, gbk::ToWide(text_));
}

// ---- Text and layout ----

void TReadOnlyMemo::Replace(int from, int to, std::wstring_view with) {
  held_.replace(static_cast<size_t>(from), static_cast<size_t>(to - from), with);
  const int firstChanged = LineOf(from);
  Layout(from);
  anchor_ = std::min(anchor_, Length());
  caret_ = std::min(caret_, Length());
  ScrollTo(top_);
  UpdateScrollBar();
  if (firstChanged <= top_ + VisibleLines()) Redraw();
}

// The lines from the start of the paragraph holding `from` to the end are made anew.
void TReadOnlyMemo::Layout(int from) {
  int line = LineOf(from);
  while (line > 0 && At(starts_[line] - 1) != L'\n') --line;
  int pos = starts_[line];
  MeasureFrom(pos);
  starts_.resize(static_cast<size_t>(line) + 1);
  while (pos < Length()) AddLine(starts_, pos, wrapWidth_);
}

// The line from `pos`, `width` pixels wide; pos moves on to the next.
void TReadOnlyMemo::AddLine(std::vector<int>& starts, int& pos, int width) {
  pos = NextLineStart(pos, width);
  if (pos < Length() || held_.back() == L'\n') starts.push_back(pos);
}

// Where the line from `pos` ends when `width` pixels wide: after its line break, or
// at the last place a line may break before the text runs over.
int TReadOnlyMemo::NextLineStart(int pos, int width) {
  const int n = Length();
  int x = 0, breakAt = -1;
  for (int i = pos; i < n; ++i) {
    const wchar_t c = At(i);
    if (c == L'\n') return i + 1;
    if (c == L'\r') continue;
    const int w = CharWidth(c);
    if (x + w > width && i > pos && c != L' ') return breakAt > pos ? breakAt : i;
    x += w;
    if (i + 1 < n && CanBreakAfter(i)) breakAt = i + 1;
  }
  return n;
}

bool TReadOnlyMemo::CanBreakAfter(int i) const {
  const wchar_t c = At(i), next = At(i + 1);
  if (c == L' ' || c == L'\t') return true;
  if (IsIdeograph(c) && IsIdeograph(next)) return true;  // most of a Chinese text, decided at once
  return (IsWide(c) || IsWide(next)) && !ClosesPhrase(next) && !OpensPhrase(c);
}

// The characters not met before, measured together. The ideographs of a Chinese face
// share one width (they are set in a square), so one measure stands for all of them:
// measuring each would have the font load some 20,000 glyphs, a quarter of a second
// under Wine.
void TReadOnlyMemo::MeasureFrom(int from) {
  std::wstring unknown;
  auto need = [&](wchar_t c) {
    if (widths_[c] != kUnknown) return;
    widths_[c] = 0;  // taken once
    unknown += c;
  };
  const bool ideographs = widths_[kFirstIdeograph] == kUnknown;
  need(kFirstIdeograph);
  for (int i = from; i < Length(); ++i)
    if (!IsIdeograph(At(i))) need(At(i));
  const auto count = static_cast<int>(unknown.size());
  std::vector<WORD> glyphs(unknown.size());
  std::vector<INT> widths(unknown.size());
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, ShownFont());
  const bool ok = count == 0 || (GetGlyphIndicesW(dc, unknown.data(), count, glyphs.data(), 0) != GDI_ERROR &&
                                 GetCharWidthI(dc, 0, static_cast<UINT>(count), glyphs.data(), widths.data()));
  SelectObject(dc, old);
  DeleteDC(dc);
  for (size_t k = 0; ok && k < unknown.size(); ++k)
    widths_[unknown[k]] = static_cast<uint16_t>(std::clamp(widths[k], 0, 0x7FFF));
  if (ideographs)
    std::fill(widths_.begin() + kFirstIdeograph, widths_.begin() + kLastIdeograph + 1, widths_[kFirstIdeograph]);
}

void TReadOnlyMemo::SetFontHandle(HFONT font) {
  font_ = font;
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, ShownFont());
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  lineHeight_ = std::max(1, static_cast<int>(tm.tmHeight));
  SelectObject(dc, old);
  DeleteDC(dc);
  std::fill(widths_.begin(), widths_.end(), kUnknown);
  SettleLines();
  LayOutAll();
  Resized();
}

HFONT TReadOnlyMemo::ShownFont() const { return font_ ? font_ : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

int TReadOnlyMemo::LineOf(int pos) const {
  return static_cast<int>(std::upper_bound(starts_.begin() + 1, starts_.end(), pos) - starts_.begin()) - 1;
}

int TReadOnlyMemo::LineEnd(int line) const {
  return BeforeBreaks(starts_[line], line + 1 < LineCount() ? starts_[line + 1] : Length());
}

int TReadOnlyMemo::BeforeBreaks(int from, int end) const {
  while (end > from && IsBreak(At(end - 1))) --end;
  return end;
}

int TReadOnlyMemo::CaretLine() const {
  const int line = LineOf(caret_);
  return afterWrap_ && line > 0 && caret_ == starts_[line] ? line - 1 : line;
}

int TReadOnlyMemo::XOf(int line, int pos) {
  int x = 0;
  for (int i = starts_[line]; i < pos; ++i) x += IsBreak(At(i)) ? 0 : CharWidth(At(i));
  return x;
}

// The place nearest to x in the line; at a wrapped line's end, after its last character.
int TReadOnlyMemo::PosIn(int line, int x, bool& afterWrap) {
  const int end = LineEnd(line);
  int at = 0;
  for (int i = starts_[line]; i < end; ++i) {
    const int w = CharWidth(At(i));
    if (x < at + w / 2) {
      afterWrap = false;
      return i;
    }
    at += w;
  }
  afterWrap = line + 1 < LineCount() && end == starts_[line + 1];
  return end;
}

int TReadOnlyMemo::PosAt(POINT p, bool& afterWrap) {
  const RECT r = TextRect();
  const int line = std::clamp(top_ + RowsDown(p.y - r.top, lineHeight_), 0, LineCount() - 1);
  return PosIn(line, p.x - r.left, afterWrap);
}

// As the edit control's: inside small margins, as many whole lines high as fit.
RECT TReadOnlyMemo::TextRect() const {
  RECT r{};
  if (hwnd_) GetClientRect(hwnd_, &r);
  r.left += kMargin;
  r.right = std::max(r.left, r.right - kMargin);
  r.top += kTopMargin;
  r.bottom = r.top + std::max(1L, (r.bottom - r.top) / lineHeight_) * lineHeight_;
  return r;
}

// ---- The view ----

int TReadOnlyMemo::VisibleLines() const {
  const RECT r = TextRect();
  return static_cast<int>(r.bottom - r.top) / lineHeight_;
}

void TReadOnlyMemo::ScrollTo(int line) {
  line = std::clamp(line, 0, std::max(0, LineCount() - VisibleLines()));
  if (line == top_) return;
  top_ = line;
  Redraw();
  UpdateScrollBar();
  PlaceCaret();
}

// As the edit control's: always there, disabled while everything is in view. Drawing
// the bar costs milliseconds under Wine, so it is drawn only when it looks different:
// text appended far below leaves a long text's thumb as it was.
void TReadOnlyMemo::UpdateScrollBar() {
  if (!hwnd_) return;
  SCROLLINFO si{sizeof si,
                SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL,
                0,
                LineCount() - 1,
                static_cast<UINT>(VisibleLines()),
                top_,
                0};
  SCROLLBARINFO before{}, after{};
  before.cbSize = after.cbSize = sizeof before;
  GetScrollBarInfo(hwnd_, OBJID_VSCROLL, &before);
  SetScrollInfo(hwnd_, SB_VERT, &si, FALSE);
  GetScrollBarInfo(hwnd_, OBJID_VSCROLL, &after);
  if (before.xyThumbTop != after.xyThumbTop || before.xyThumbBottom != after.xyThumbBottom ||
      !std::equal(std::begin(before.rgstate), std::end(before.rgstate), std::begin(after.rgstate)))
    SetScrollInfo(hwnd_, SB_VERT, &si, TRUE);
}

void TReadOnlyMemo::Scroll(WORD code) {
  const int page = VisibleLines();
  switch (code) {
    case SB_LINEUP:
      ScrollTo(top_ - 1);
      break;
    case SB_LINEDOWN:
      ScrollTo(top_ + 1);
      break;
    case SB_PAGEUP:
      ScrollTo(top_ - page);
      break;
    case SB_PAGEDOWN:
      ScrollTo(top_ + page);
      break;
    case SB_TOP:
      ScrollTo(0);
      break;
    case SB_BOTTOM:
      ScrollTo(LineCount());
      break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
      SCROLLINFO si{sizeof si, SIF_TRACKPOS, 0, 0, 0, 0, 0};
      GetScrollInfo(hwnd_, SB_VERT, &si);
      ScrollTo(si.nTrackPos);
      break;
    }
    default:
      break;
  }
}

void TReadOnlyMemo::Wheel(int delta) {
  UINT lines = 3;
  SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  wheel_ += delta;
  const int notches = wheel_ / WHEEL_DELTA;
  wheel_ %= WHEEL_DELTA;
  const int step = lines == WHEEL_PAGESCROLL ? VisibleLines() : static_cast<int>(lines);
  ScrollTo(top_ - notches * step);
}

// A new width wraps the lines anew; the line on top stays on top.
void TReadOnlyMemo::Resized() {
  const RECT r = TextRect();
  const int width = static_cast<int>(r.right - r.left);
  if (width != (rewrap_ ? rewrap_->width : wrapWidth_)) Rewrap(width);
  if (rewrap_) {
    LayOutView();
    Redraw();
    return;
  }
  const int keep = top_;
  top_ = -1;  // the scroll bar and caret follow the new height too
  ScrollTo(keep);
}

// Every line made anew at the window's width, the widths of the characters measured again.
void TReadOnlyMemo::LayOutAll() {
  const RECT r = TextRect();
  const int topChar = starts_[top_];
  wrapWidth_ = static_cast<int>(r.right - r.left);
  starts_.assign(1, 0);
  Layout(0);
  top_ = LineOf(topChar);
  Redraw();
}

// Wrapping megabytes takes most of a second: a new width shows the lines in view at once
// and makes the rest a piece at a time while the window is idle.
void TReadOnlyMemo::Rewrap(int width) {
  const int topChar = rewrap_ ? rewrap_->topChar : starts_[top_];
  if (width == wrapWidth_) {  // back to the width the lines were made for
    rewrap_.reset();
    viewStarts_.clear();
    if (hwnd_) KillTimer(hwnd_, kWrapTimer);
    Redraw();
    return;
  }
  rewrap_ = Rewrapping{width, topChar, {0}, 0};
  if (!WrapSome(kResizeSliceMs) && hwnd_) SetTimer(hwnd_, kWrapTimer, USER_TIMER_MINIMUM, nullptr);
}

// More lines of the rewrap, for about budgetMs; true when it has ended.
bool TReadOnlyMemo::WrapSome(int budgetMs) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point until = Clock::now() + std::chrono::milliseconds(budgetMs);
  Rewrapping& r = *rewrap_;
  for (int lines = 1; r.pos < Length(); ++lines) {
    AddLine(r.starts, r.pos, r.width);
    if (lines % 512 == 0 && Clock::now() >= until) return false;
  }
  FinishRewrap();
  return true;
}

void TReadOnlyMemo::FinishRewrap() {
  starts_ = std::move(rewrap_->starts);
  wrapWidth_ = rewrap_->width;
  const int topChar = rewrap_->topChar;
  DropRewrap();
  top_ = -1;  // the scroll bar and caret follow the new lines
  ScrollTo(LineOf(topChar));
  Redraw();
}

// What needs the lines has them at once.
void TReadOnlyMemo::SettleLines() {
  while (rewrap_) WrapSome(1000);
}

// The whole text is laid out anew at the rewrap's width: the rewrap has no more use.
void TReadOnlyMemo::DropRewrap() {
  if (!rewrap_) return;
  wrapWidth_ = rewrap_->width;
  rewrap_.reset();
  viewStarts_.clear();
  if (hwnd_) KillTimer(hwnd_, kWrapTimer);
}

// While the rewrap goes on: the lines in view at the new width, from the one holding the
// character that was on top, made from the start of its paragraph.
void TReadOnlyMemo::LayOutView() {
  const Rewrapping& r = *rewrap_;
  int pos = r.topChar;
  while (pos > 0 && At(pos - 1) != L'\n') --pos;
  for (int next = pos; pos < Length() && (next = NextLineStart(pos, r.width)) <= r.topChar;) pos = next;
  viewStarts_.assign(1, pos);
  const auto rows = static_cast<size_t>(VisibleLines()) + 1;
  while (pos < Length() && viewStarts_.size() <= rows) {
    pos = NextLineStart(pos, r.width);
    viewStarts_.push_back(pos);
  }
}

void TReadOnlyMemo::Redraw() {
  if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
}

// ---- Caret and selection ----

void TReadOnlyMemo::MoveCaret(int pos, bool extend, bool afterWrap) {
  caret_ = std::clamp(pos, 0, Length());
  afterWrap_ = afterWrap;
  if (!extend) anchor_ = caret_;
  goalX_ = -1;
  ScrollCaretIntoView();
  PlaceCaret();
  Redraw();
}

// Up and down keep the caret's place across the line, on the lines they pass.
void TReadOnlyMemo::MoveToLine(int line, bool extend) {
  const int goal = goalX_ >= 0 ? goalX_ : XOf(CaretLine(), caret_);
  bool afterWrap = false;
  const int pos = PosIn(std::clamp(line, 0, LineCount() - 1), goal, afterWrap);
  MoveCaret(pos, extend, afterWrap);
  goalX_ = goal;
}

void TReadOnlyMemo::ScrollCaretIntoView() {
  const int line = CaretLine();
  if (line < top_) ScrollTo(line);
  if (line >= top_ + VisibleLines()) ScrollTo(line - VisibleLines() + 1);
}

void TReadOnlyMemo::PlaceCaret() {
  if (!hwnd_ || GetFocus() != hwnd_) return;
  const RECT r = TextRect();
  const int line = CaretLine();
  SetCaretPos(r.left + XOf(line, caret_), r.top + (line - top_) * lineHeight_);
}

// Only a selection shown or taken away needs the lines drawn again; the caret moves itself.
void TReadOnlyMemo::SetSel(int anchor, int caret) {
  const bool wasShown = anchor_ != caret_;
  anchor_ = std::clamp(anchor, 0, Length());
  caret_ = std::clamp(caret, 0, Length());
  afterWrap_ = false;
  goalX_ = -1;
  PlaceCaret();
  if (wasShown || anchor_ != caret_) Redraw();
}

void TReadOnlyMemo::SelectWordAt(int pos) {
  const int n = Length();
  if (pos >= n) return;
  const int kind = WordClass(At(pos));
  int from = pos, to = pos + 1;
  if (kind != 0) {
    while (from > 0 && WordClass(At(from - 1)) == kind) --from;
    while (to < n && WordClass(At(to)) == kind) ++to;
  }
  SetSel(from, to);
}

// Ctrl with the arrows goes from word to word: back to the start of the word before,
// on past the word and the spaces after.
int TReadOnlyMemo::WordStartBefore(int pos) const {
  while (pos > 0 && WordClass(At(pos - 1)) == 0) --pos;
  const int kind = pos > 0 ? WordClass(At(pos - 1)) : 0;
  while (pos > 0 && WordClass(At(pos - 1)) == kind) --pos;
  return pos;
}

int TReadOnlyMemo::WordStartAfter(int pos) const {
  const int n = Length();
  const int kind = pos < n ? WordClass(At(pos)) : 0;
  while (pos < n && kind != 0 && WordClass(At(pos)) == kind) ++pos;
  while (pos < n && WordClass(At(pos)) == 0) ++pos;
  return pos;
}

void TReadOnlyMemo::Copy() {
  const int from = SelStart(), to = SelEnd();
  if (from == to || !OpenClipboard(hwnd_)) return;
  EmptyClipboard();
  const size_t bytes = static_cast<size_t>(to - from + 1) * sizeof(wchar_t);
  if (HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
    auto* p = static_cast<wchar_t*>(GlobalLock(mem));
    std::copy(held_.begin() + from, held_.begin() + to, p);
    p[to - from] = L'\0';
    GlobalUnlock(mem);
    if (!SetClipboardData(CF_UNICODETEXT, mem)) GlobalFree(mem);
  }
  CloseClipboard();
}

// The edit control's menu, as far as a text that cannot change has use for it.
void TReadOnlyMemo::ContextMenu(LPARAM at) {
  POINT p{GET_X_LPARAM(at), GET_Y_LPARAM(at)};
  if (at == -1) {
    GetCaretPos(&p);
    ClientToScreen(hwnd_, &p);
  }
  HMENU menu = CreatePopupMenu();
  AppendMenuW(menu, MF_STRING | (SelStart() == SelEnd() ? MF_GRAYED : 0), kCopyCommand,
              gbk::ToWide(gbk::U("复制(&C)")).c_str());
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING, kSelectAllCommand, gbk::ToWide(gbk::U("全选(&A)")).c_str());
  const UINT chosen =
      static_cast<UINT>(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, p.x, p.y, 0, hwnd_, nullptr));
  DestroyMenu(menu);
  if (chosen == kCopyCommand) Copy();
  if (chosen == kSelectAllCommand) SetSel(0, Length());
}

// ---- Input ----

bool TReadOnlyMemo::KeyDown(WPARAM key) {
  const bool shift = GetKeyState(VK_SHIFT) < 0, ctrl = GetKeyState(VK_CONTROL) < 0;
  const int line = CaretLine();
  switch (key) {
    case VK_LEFT:
      MoveCaret(ctrl                                       ? WordStartBefore(caret_)
                : caret_ >= 2 && IsLineBreakAt(caret_ - 2) ? caret_ - 2
                                                           : caret_ - 1,
                shift);
      return true;
    case VK_RIGHT:
      MoveCaret(ctrl ? WordStartAfter(caret_) : IsLineBreakAt(caret_) ? caret_ + 2 : caret_ + 1, shift);
      return true;
    case VK_UP:
      MoveToLine(line - 1, shift);
      return true;
    case VK_DOWN:
      MoveToLine(line + 1, shift);
      return true;
    case VK_PRIOR:
    case VK_NEXT: {
      const int page = key == VK_PRIOR ? -VisibleLines() : VisibleLines();
      ScrollTo(top_ + page);
      MoveToLine(line + page, shift);
      return true;
    }
    case VK_HOME:
      MoveCaret(ctrl ? 0 : starts_[line], shift);
      return true;
    case VK_END:
      if (ctrl) {
        MoveCaret(Length(), shift);
      } else {
        const int end = LineEnd(line);
        MoveCaret(end, shift, line + 1 < LineCount() && end == starts_[line + 1]);
      }
      return true;
    case 'A':
      if (ctrl) SetSel(0, Length());
      return ctrl;
    case 'C':
    case VK_INSERT:
      if (ctrl) Copy();
      return ctrl;
    default:
      return false;
  }
}

void TReadOnlyMemo::MouseDown(POINT p, bool extend) {
  SetFocus(hwnd_);
  bool afterWrap = false;
  const int pos = PosAt(p, afterWrap);
  MoveCaret(pos, extend, afterWrap);
  SetCapture(hwnd_);
  SetTimer(hwnd_, kDragTimer, 50, nullptr);
  selecting_ = true;
}

// Dragging past the top or the bottom scrolls a line at a time, also while the mouse rests.
void TReadOnlyMemo::MouseDrag(POINT p) {
  RECT r;
  GetClientRect(hwnd_, &r);
  if (p.y < r.top) ScrollTo(top_ - 1);
  if (p.y >= r.bottom) ScrollTo(top_ + 1);
  p.y = std::clamp(p.y, r.top, r.bottom - 1);
  bool afterWrap = false;
  const int pos = PosAt(p, afterWrap);
  if (pos != caret_) MoveCaret(pos, true, afterWrap);
}

// ---- Painting ----

void TReadOnlyMemo::Paint() {
  PAINTSTRUCT ps;
  HDC screen = BeginPaint(hwnd_, &ps);
  RECT client;
  GetClientRect(hwnd_, &client);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, std::max(1L, client.right), std::max(1L, client.bottom));
  HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
  // A read-only edit control asks its parent for its colours as a static one does.
  auto brush = reinterpret_cast<HBRUSH>(
      SendMessageW(GetParent(hwnd_), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd_)));
  FillRect(dc, &client, brush ? brush : GetSysColorBrush(COLOR_WINDOW));
  const COLORREF text = GetTextColor(dc);
  HGDIOBJ oldFont = SelectObject(dc, ShownFont());
  SetBkMode(dc, TRANSPARENT);
  const RECT r = TextRect();
  IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
  if (rewrap_) {
    int y = r.top;
    for (size_t i = 0; i + 1 < viewStarts_.size() && y < r.bottom; ++i, y += lineHeight_)
      PaintLine(dc, viewStarts_[i], BeforeBreaks(viewStarts_[i], viewStarts_[i + 1]), y, text);
  } else {
    for (int line = top_, y = r.top; line < LineCount() && y < r.bottom; ++line, y += lineHeight_)
      PaintLine(dc, starts_[line], LineEnd(line), y, text);
  }
  BitBlt(screen, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
  SelectObject(dc, oldFont);
  SelectObject(dc, oldBitmap);
  DeleteObject(bitmap);
  DeleteDC(dc);
  EndPaint(hwnd_, &ps);
}

// The selection shows while the memo has the focus, as in the edit control.
void TReadOnlyMemo::PaintLine(HDC dc, int from, int to, int y, COLORREF text) {
  const bool focused = GetFocus() == hwnd_;
  const int selFrom = focused ? std::clamp(SelStart(), from, to) : to;
  const int selTo = focused ? std::clamp(SelEnd(), from, to) : to;
  int x = TextRect().left;
  DrawRun(dc, x, y, from, selFrom, false, text);
  DrawRun(dc, x, y, selFrom, selTo, true, text);
  DrawRun(dc, x, y, selTo, to, false, text);
}

// Drawn with the widths the lines were wrapped by, so that text, caret and clicks agree.
void TReadOnlyMemo::DrawRun(HDC dc, int& x, int y, int from, int to, bool selected, COLORREF text) {
  if (from >= to) return;
  std::vector<INT> dx(static_cast<size_t>(to - from));
  int width = 0;
  for (int i = from; i < to; ++i) width += dx[i - from] = CharWidth(At(i));
  const RECT box{x, y, x + width, y + lineHeight_};
  SetTextColor(dc, selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : text);
  SetBkColor(dc, GetSysColor(COLOR_HIGHLIGHT));
  ExtTextOutW(dc, x, y, selected ? ETO_OPAQUE : 0, &box, held_.data() + from, static_cast<UINT>(to - from), dx.data());
  x += width;
}

// ---- Messages ----

// The edit control's messages for its text, selection and lines.
bool TReadOnlyMemo::EditMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result) {
  const POINT p{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
  switch (msg) {
    case WM_SETTEXT:
      DropRewrap();
      top_ = anchor_ = caret_ = 0;
      Replace(0, Length(), l ? reinterpret_cast<const wchar_t*>(l) : L"");
      result = TRUE;
      return true;
    case WM_GETTEXTLENGTH:
      result = Length();
      return true;
    case WM_GETTEXT: {
      if (w == 0) return true;
      const size_t n = std::min(static_cast<size_t>(w) - 1, held_.size());
      auto* out = reinterpret_cast<wchar_t*>(l);
      std::copy_n(held_.begin(), n, out);
      out[n] = L'\0';
      result = static_cast<LRESULT>(n);
      return true;
    }
    case EM_REPLACESEL: {
      const std::wstring_view with = l ? reinterpret_cast<const wchar_t*>(l) : L"";
      const int from = SelStart();
      Replace(from, SelEnd(), with);
      SetSel(from + static_cast<int>(with.size()), from + static_cast<int>(with.size()));
      return true;
    }
    case EM_GETSEL:
      if (w) *reinterpret_cast<DWORD*>(w) = static_cast<DWORD>(SelStart());
      if (l) *reinterpret_cast<DWORD*>(l) = static_cast<DWORD>(SelEnd());
      result = MAKELRESULT(std::min(SelStart(), 0xFFFF), std::min(SelEnd(), 0xFFFF));
      return true;
    case EM_SETSEL:
      // As the edit control: a start of -1 takes the selection away, an end of -1 is the text's end.
      if (static_cast<DWORD>(w) == static_cast<DWORD>(-1)) {
        SetSel(caret_, caret_);
      } else {
        const auto len = static_cast<DWORD>(Length());
        SetSel(static_cast<int>(std::min(static_cast<DWORD>(w), len)),
               static_cast<int>(std::min(static_cast<DWORD>(l), len)));
      }
      return true;
    case EM_SCROLLCARET:
      ScrollCaretIntoView();
      result = TRUE;
      return true;
    case EM_GETFIRSTVISIBLELINE:
      result = top_;
      return true;
    case EM_GETLINECOUNT:
      result = LineCount();
      return true;
    case EM_CHARFROMPOS: {
      bool afterWrap = false;
      const int pos = PosAt(p, afterWrap);
      result = MAKELRESULT(std::min(pos, 0xFFFF), std::min(LineOf(pos), 0xFFFF));
      return true;
    }
    case EM_LINESCROLL:
      ScrollTo(top_ + static_cast<int>(l));
      result = TRUE;
      return true;
    case WM_COPY:
      Copy();
      return true;
    default:
      return false;
  }
}

// Keys, mouse and focus, as a read-only edit control takes them; false for what the
// default handling should see too.
bool TReadOnlyMemo::InputMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result) {
  const POINT p{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
  switch (msg) {
    case WM_GETDLGCODE:
      result = DLGC_WANTARROWS | DLGC_WANTCHARS;  // entered by Tab, the view selects nothing
      return true;
    case WM_SETFOCUS:
      CreateCaret(hwnd_, nullptr, 1, lineHeight_);
      PlaceCaret();
      ShowCaret(hwnd_);
      Redraw();
      break;
    case WM_KILLFOCUS:
      DestroyCaret();
      Redraw();
      break;
    case WM_KEYDOWN:
      return KeyDown(w);
    case WM_SETCURSOR:
      if (LOWORD(l) != HTCLIENT) break;
      SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_IBEAM)));
      result = TRUE;
      return true;
    case WM_LBUTTONDOWN:
      MouseDown(p, (w & MK_SHIFT) != 0);
      return true;
    case WM_LBUTTONDBLCLK: {
      bool afterWrap = false;
      SelectWordAt(PosAt(p, afterWrap));
      return true;
    }
    case WM_MOUSEMOVE:
      if (selecting_) MouseDrag(p);
      break;
    case WM_TIMER:
      if (w != kDragTimer) break;
      if (selecting_) {
        POINT at;
        GetCursorPos(&at);
        ScreenToClient(hwnd_, &at);
        MouseDrag(at);
      }
      return true;
    case WM_LBUTTONUP:
      ReleaseCapture();
      break;
    case WM_CAPTURECHANGED:
      selecting_ = false;
      KillTimer(hwnd_, kDragTimer);
      break;
    case WM_CONTEXTMENU:
      if (PopupMenu || reinterpret_cast<HWND>(w) != hwnd_) break;
      ContextMenu(l);
      return true;
    default:
      break;
  }
  return false;
}

LRESULT TReadOnlyMemo::WndProc(UINT msg, WPARAM w, LPARAM l) {
  LRESULT result = 0;
  if (rewrap_ && (selecting_ || NeedsLines(msg, w))) SettleLines();
  if (EditMessage(msg, w, l, result) || InputMessage(msg, w, l, result)) return result;
  switch (msg) {
    case WM_SETFONT:
      SetFontHandle(reinterpret_cast<HFONT>(w));
      return 0;
    case WM_SIZE:
      Resized();
      break;
    case WM_TIMER:
      if (w != kWrapTimer) break;
      if (rewrap_)
        WrapSome(kWrapSliceMs);
      else
        KillTimer(hwnd_, kWrapTimer);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      Paint();
      return 0;
    case WM_ENABLE:
      Redraw();
      break;
    case WM_VSCROLL:
      if (l) break;
      Scroll(LOWORD(w));
      return 0;
    case WM_MOUSEWHEEL:
      Wheel(GET_WHEEL_DELTA_WPARAM(w));
      return 0;
    default:
      break;
  }
  return TMemo::WndProc(msg, w, l);
}
