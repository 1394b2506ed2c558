// A read-only memo for long listings (Win32 only). The edit control lays out all of its
// text again on every change, seconds for a few megabytes; this one holds its text
// itself, wraps it with widths measured once a character (once for all ideographs),
// and paints only the lines in view. It answers the edit-control messages callers use
// (text, selection, EM_REPLACESEL, scrolling) and lets the user scroll, select and
// copy as in a read-only edit control. Lines always wrap at the window's width; unlike
// the edit control, EM_REPLACESEL does not scroll, so text appended below leaves the
// view alone. A new width wraps the lines in view at once and the rest a piece at a
// time while the window is idle (or at once when something asks for them), so that
// dragging the window's edge over a listing of megabytes never waits for the whole.
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string_view>

#include "classlib/StdCtrls.h"

class TReadOnlyMemo : public TMemo {
 public:
  explicit TReadOnlyMemo(TComponent* owner);
  std::string ClassName() const override { return "TReadOnlyMemo"; }

 protected:
  const wchar_t* BaseClassName() const override { return nullptr; }
  DWORD CreateStyle() const override;
  void AfterCreate() override;
  LRESULT WndProc(UINT msg, WPARAM w, LPARAM l) override;

 private:
  // The text and its lines on screen.
  void Replace(int from, int to, std::wstring_view with);
  void Layout(int from);
  int NextLineStart(int pos, int width);
  bool CanBreakAfter(int i) const;
  void MeasureFrom(int from);
  int CharWidth(wchar_t c) const { return widths_[c]; }
  void SetFontHandle(HFONT font);
  HFONT ShownFont() const;
  int Length() const { return static_cast<int>(held_.size()); }
  wchar_t At(int i) const { return held_[static_cast<size_t>(i)]; }
  bool IsLineBreakAt(int i) const { return i >= 0 && held_.compare(static_cast<size_t>(i), 2, L"\r\n") == 0; }
  int LineCount() const { return static_cast<int>(starts_.size()); }
  int LineOf(int pos) const;
  int LineEnd(int line) const;  // after the line's last character, its line break left out
  int BeforeBreaks(int from, int end) const;
  void AddLine(std::vector<int>& starts, int& pos, int width);
  int CaretLine() const;
  int XOf(int line, int pos);
  int PosIn(int line, int x, bool& afterWrap);
  int PosAt(POINT p, bool& afterWrap);
  RECT TextRect() const;

  // The view.
  int VisibleLines() const;
  void ScrollTo(int line);
  void UpdateScrollBar();
  void Scroll(WORD code);
  void Wheel(int delta);
  void Resized();
  void LayOutAll();
  void Rewrap(int width);
  bool WrapSome(int budgetMs);
  void FinishRewrap();
  void SettleLines();
  void DropRewrap();
  void LayOutView();
  void Redraw();

  // Caret and selection.
  void MoveCaret(int pos, bool extend, bool afterWrap = false);
  void MoveToLine(int line, bool extend);
  void ScrollCaretIntoView();
  void PlaceCaret();
  int SelStart() const { return std::min(anchor_, caret_); }
  int SelEnd() const { return std::max(anchor_, caret_); }
  void SetSel(int anchor, int caret);
  void SelectWordAt(int pos);
  int WordStartBefore(int pos) const;
  int WordStartAfter(int pos) const;
  void Copy();
  void ContextMenu(LPARAM at);

  // Messages: true when taken, with the answer in result (0 unless set).
  bool EditMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result);
  bool InputMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result);

  // Input and painting.
  bool KeyDown(WPARAM key);
  void MouseDown(POINT p, bool extend);
  void MouseDrag(POINT p);
  void Paint();
  void PaintLine(HDC dc, int from, int to, int y, COLORREF text);
  void DrawRun(HDC dc, int& x, int y, int from, int to, bool selected, COLORREF text);

  std::wstring held_;             // the whole text (TControl::text_ keeps only what was last set)
  std::vector<int> starts_{0};    // the first character of each line on screen
  std::vector<uint16_t> widths_;  // by UTF-16 unit, measured as the text is laid out
  HFONT font_ = nullptr;          // set by WM_SETFONT; owned by TControl
  int lineHeight_ = 16;
  int wrapWidth_ = 0;
  int top_ = 0;  // the first line in view
  int anchor_ = 0, caret_ = 0;
  bool afterWrap_ = false;  // the caret shows at the end of the line before its own
  int goalX_ = -1;          // where up and down keep the caret; -1: its own place
  int wheel_ = 0;           // wheel movement below one notch
  bool selecting_ = false;

  // Lines for a new width, made while the old ones still answer for the text.
  struct Rewrapping {
    int width = 0;
    int topChar = 0;             // the character the top line shows, kept on top
    std::vector<int> starts{0};  // the lines made so far
    int pos = 0;                 // where the next line starts
  };
  std::optional<Rewrapping> rewrap_;
  std::vector<int> viewStarts_;  // while rewrapping: the lines in view at the new width, and the end of the last
};
