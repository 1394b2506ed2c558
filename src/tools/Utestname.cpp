#include "tools/Utestname.h"

#include "classlib/Gbk.h"
#include "classlib/Layout.h"

TNameGrid::TNameGrid(TComponent* owner) : TPaintedControl(owner) {
  TFont f;
  f.Size = 18;  // 24 pixels at 96 dpi
  f.Color = clBlue;
  SetFont(f);
  SetColor(clWindow);
}

DWORD TNameGrid::CreateStyle() const { return TPaintedControl::CreateStyle() | WS_BORDER | WS_TABSTOP; }

void TNameGrid::Select(int column, int row) {
  col_ = column;
  row_ = row;
  if (HandleAllocated()) InvalidateRect(hwnd_, nullptr, TRUE);
}

void TNameGrid::Paint(HDC dc) {
  RECT all;
  GetClientRect(hwnd_, &all);
  FillRect(dc, &all, BackgroundBrush());
  HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(hwnd_, WM_GETFONT, 0, 0)));
  SetBkMode(dc, TRANSPARENT);
  HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
  HGDIOBJ oldPen = SelectObject(dc, pen);
  for (int r = 0; r < MSurnameGame::kRows; ++r) {
    for (int c = 0; c < MSurnameGame::kColumns; ++c) {
      RECT cell{c * kCellWidth, r * kCellHeight, (c + 1) * kCellWidth, (r + 1) * kCellHeight};
      const bool selected = c == col_ && r == row_;
      if (selected) FillRect(dc, &cell, GetSysColorBrush(COLOR_HIGHLIGHT));
      MoveToEx(dc, cell.right - 1, cell.top, nullptr);
      LineTo(dc, cell.right - 1, cell.bottom - 1);
      LineTo(dc, cell.left - 1, cell.bottom - 1);
      SetTextColor(dc, selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : ColorToRGB(Font().Color));
      if (CellText) {
        const std::wstring text = gbk::ToWide(CellText(c, r));
        DrawTextW(dc, text.c_str(), -1, &cell, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
      }
    }
  }
  SelectObject(dc, oldPen);
  DeleteObject(pen);
  SelectObject(dc, oldFont);
}

LRESULT TNameGrid::WndProc(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_LBUTTONDOWN:
      SetFocus(hwnd_);
      return 0;
    case WM_LBUTTONUP: {
      const int c = static_cast<short>(LOWORD(l)) / kCellWidth;
      const int r = static_cast<short>(HIWORD(l)) / kCellHeight;
      if (c >= 0 && c < MSurnameGame::kColumns && r >= 0 && r < MSurnameGame::kRows) {
        Select(c, r);
        if (OnCellMouseUp) OnCellMouseUp(c, r);
      }
      return 0;
    }
  }
  return TPaintedControl::WndProc(msg, w, l);
}

namespace {

constexpr int kGridWidth = 8 * TNameGrid::kCellWidth;
constexpr int kGridHeight = 8 * TNameGrid::kCellHeight;
constexpr int kButtonsTop = 42 + kGridHeight + 20;

// clang-format off
const LayoutRow kLayout[] = {
  {New<TLabel>,    "StaticText1", "回答下表中有否你的姓 ",  12,          12,                  200,              18, "", alNone},
  {New<TPanel>,    "Panel1",      "",                      220,           6, kGridWidth + 12 - 220,              28, "", alNone},
  {New<TNameGrid>, "GridName",    "",                       12,          42,       kGridWidth + 2, kGridHeight + 2, "", alNone},
  {New<TButton>,   "Btnok",       "有",                     40, kButtonsTop,                   80,              28, "", alNone},
  {New<TButton>,   "Btnno",       "没有",                  150, kButtonsTop,                   80,              28, "", alNone},
  {New<TButton>,   "BtnReset",    "重来",                  260, kButtonsTop,                   80,              28, "", alNone},
};
// clang-format on

}  // namespace

TFrmTestName::TFrmTestName(TComponent* owner) : TForm(owner) {
  SetText(gbk::FromUtf8("巧猜姓氏"));
  SetClientSize(8 * TNameGrid::kCellWidth + 24, 8 * TNameGrid::kCellHeight + 130);
  Position = poScreenCenter;
  BorderStyle = bsDialog;

  TLayout layout(this, this, kLayout);
  layout.Bind(StaticText1, "StaticText1");
  layout.Bind(Panel1, "Panel1");
  layout.Bind(GridName, "GridName");
  layout.Bind(Btnok, "Btnok");
  layout.Bind(Btnno, "Btnno");
  layout.Bind(BtnReset, "BtnReset");
  Btnok->Default = true;
  Timer1 = new TTimer(this);
  Timer1->SetInterval(500);

  GridName->CellText = [this](int c, int r) -> const std::string& { return game.Cell(c, r); };
  GridName->OnCellMouseUp = [this](int c, int r) { GridNameMouseUp(c, r); };
  Btnok->OnClick = [this](TObject* s) { BtnokClick(s); };
  Btnno->OnClick = [this](TObject* s) { BtnnoClick(s); };
  BtnReset->OnClick = [this](TObject* s) { BtnResetClick(s); };
  Timer1->OnTimer = [this](TObject* s) { Timer1Timer(s); };
  BtnResetClick(nullptr);
  DoCreate();
}

void TFrmTestName::BtnResetClick(TObject*) {
  game.Reset();
  animCell = 0;
  Btnok->SetEnabled(true);
  Btnno->SetEnabled(true);
  Timer1->SetEnabled(true);
  Panel1->SetText(game.PanelText());
  GridName->Invalidate();
}

void TFrmTestName::NextTable(int answer) {
  animCell = 0;
  game.NextTable(answer);
  // A miss leaves the panel showing the last table: only a hit has something to say there.
  if (const std::string text = game.PanelText(); !text.empty()) Panel1->SetText(text);
  GridName->Invalidate();
  if (!game.Finished()) {
    if (GridName->HandleAllocated()) SetFocus(GridName->Handle());
    return;
  }
  Btnok->SetEnabled(false);
  Btnno->SetEnabled(false);
  Timer1->SetEnabled(false);
  const UINT icon = game.Sum() != 0 ? MB_ICONINFORMATION : MB_ICONWARNING;
  Application->MessageBox(game.ResultText(), game.ResultCaption(), MB_OK | icon);
}

void TFrmTestName::BtnokClick(TObject*) { NextTable(1); }

void TFrmTestName::BtnnoClick(TObject*) { NextTable(0); }

void TFrmTestName::Timer1Timer(TObject*) {
  constexpr int columns = MSurnameGame::kColumns, rows = MSurnameGame::kRows;
  GridName->Select(animCell % columns, (animCell / columns) % rows);
  animCell = (animCell + 1) % (columns * rows);
}

void TFrmTestName::GridNameMouseUp(int column, int row) { animCell = row * MSurnameGame::kColumns + column; }

void ShowSurnameGame() {
  TFrmTestName form(Application);
  form.ShowModal();
}
