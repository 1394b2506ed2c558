#include "classlib/Grids.h"

#include <algorithm>

#include "classlib/Gbk.h"

TStringGrid::TStringGrid(TComponent* owner) : TPaintedControl(owner), cells_(static_cast<size_t>(cols_ * rows_)) {
  SetColor(clWindow);
}

void TStringGrid::SetSize(int cols, int rows) {
  std::vector<std::string> cells(static_cast<size_t>(cols * rows));
  for (int r = 0; r < std::min(rows, rows_); ++r)
    for (int c = 0; c < std::min(cols, cols_); ++c) cells[static_cast<size_t>(r * cols + c)] = Cell(c, r);
  cells_.swap(cells);
  cols_ = cols;
  rows_ = rows;
  Invalidate();
}

const std::string& TStringGrid::Cell(int col, int row) const {
  static const std::string none;
  if (col < 0 || row < 0 || col >= cols_ || row >= rows_) return none;
  return cells_[static_cast<size_t>(row * cols_ + col)];
}

void TStringGrid::SetCell(int col, int row, const std::string& text) {
  if (col < 0 || row < 0 || col >= cols_ || row >= rows_) throw Exception("grid index out of bounds");
  cells_[static_cast<size_t>(row * cols_ + col)] = text;
  Invalidate();
}

void TStringGrid::SetFixedColor(TColor c) {
  fixedColor_ = c;
  Invalidate();
}

void TStringGrid::PublishProperties(TPropertyTable& t) {
  TPaintedControl::PublishProperties(t);
  t.Integer(
      "FixedColor", [this] { return FixedColor(); }, [this](long long v) { SetFixedColor(static_cast<TColor>(v)); });
  t.Integer(
      "FixedCols", [this] { return FixedCols; }, [this](long long v) { FixedCols = static_cast<int>(v); });
  t.Integer(
      "FixedRows", [this] { return FixedRows; }, [this](long long v) { FixedRows = static_cast<int>(v); });
}

bool TStringGrid::MouseToCell(int x, int y, int& col, int& row) const {
  if (x < 0 || y < 0 || DefaultColWidth <= 0 || DefaultRowHeight <= 0) return false;
  col = x / DefaultColWidth;
  row = y / DefaultRowHeight;
  return col < cols_ && row < rows_;
}

void TStringGrid::Paint(HDC dc) {
  RECT all;
  GetClientRect(hwnd_, &all);
  FillRect(dc, &all, BackgroundBrush());
  HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(hwnd_, WM_GETFONT, 0, 0)));
  HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
  HGDIOBJ oldPen = SelectObject(dc, pen);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(Font().Color));
  for (int r = 0; r < rows_; ++r) {
    for (int c = 0; c < cols_; ++c) {
      RECT cell{c * DefaultColWidth, r * DefaultRowHeight, (c + 1) * DefaultColWidth, (r + 1) * DefaultRowHeight};
      if (r < FixedRows || c < FixedCols) {
        HBRUSH fixed = CreateSolidBrush(ColorToRGB(fixedColor_));
        FillRect(dc, &cell, fixed);
        DeleteObject(fixed);
      }
      MoveToEx(dc, cell.right - 1, cell.top, nullptr);
      LineTo(dc, cell.right - 1, cell.bottom - 1);
      LineTo(dc, cell.left - 1, cell.bottom - 1);
      const std::wstring text = gbk::ToWide(Cell(c, r));
      DrawTextW(dc, text.c_str(), -1, &cell, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
  }
  SelectObject(dc, oldPen);
  DeleteObject(pen);
  SelectObject(dc, oldFont);
}

LRESULT TStringGrid::WndProc(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
      SetFocus(hwnd_);
      if (OnMouseDown)
        OnMouseDown(this, msg == WM_LBUTTONDOWN ? mbLeft : mbRight, static_cast<short>(LOWORD(l)),
                    static_cast<short>(HIWORD(l)));
      break;
    default:
      break;
  }
  return TPaintedControl::WndProc(msg, w, l);
}
