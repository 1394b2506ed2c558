// A grid of text cells (Win32 only): fixed column widths and row heights, lines between
// the cells, no editing. The first FixedRows rows and FixedCols columns are headings,
// on FixedColor.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "classlib/ExtCtrls.h"

enum TMouseButton { mbLeft, mbRight, mbMiddle };

class TStringGrid : public TPaintedControl {
 public:
  explicit TStringGrid(TComponent* owner);
  std::string ClassName() const override { return "TStringGrid"; }

  int ColCount() const { return cols_; }
  int RowCount() const { return rows_; }
  void SetSize(int cols, int rows);  // keeps the cells that still fit
  const std::string& Cell(int col, int row) const;
  void SetCell(int col, int row, const std::string& text);
  int DefaultColWidth = 64;
  int DefaultRowHeight = 24;
  int FixedCols = 0, FixedRows = 0;
  TColor FixedColor() const { return fixedColor_; }
  void SetFixedColor(TColor c);
  // The cell under a point of the client area; false off the cells.
  bool MouseToCell(int x, int y, int& col, int& row) const;

  // A button went down over the grid, at a point of its client area.
  std::function<void(TObject* sender, TMouseButton button, int x, int y)> OnMouseDown;

 protected:
  DWORD CreateStyle() const override { return TPaintedControl::CreateStyle() | WS_BORDER | WS_TABSTOP; }
  LRESULT WndProc(UINT msg, WPARAM w, LPARAM l) override;
  void Paint(HDC dc) override;
  void PublishProperties(TPropertyTable& t) override;

 private:
  int cols_ = 5, rows_ = 5;
  TColor fixedColor_ = clBtnFace;
  std::vector<std::string> cells_;  // row by row
};
