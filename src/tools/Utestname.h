// TFrmTestName: the surname-guessing game over MSurnameGame. The table of the moment
// is painted as an 8 x 8 grid whose selected cell wanders every 500 ms.
#pragma once

#include <functional>

#include "classlib/ExtCtrls.h"
#include "classlib/Forms.h"
#include "tools/SurnameGame.h"

// The painted table of surnames: cells 45 x 30, one selected cell.
class TNameGrid : public TPaintedControl {
 public:
  explicit TNameGrid(TComponent* owner);
  std::string ClassName() const override { return "TNameGrid"; }
  static constexpr int kCellWidth = 45;
  static constexpr int kCellHeight = 30;
  std::function<const std::string&(int column, int row)> CellText;
  int Col() const { return col_; }
  int Row() const { return row_; }
  void Select(int column, int row);
  std::function<void(int column, int row)> OnCellMouseUp;

 protected:
  DWORD CreateStyle() const override;
  LRESULT WndProc(UINT msg, WPARAM w, LPARAM l) override;

 private:
  int col_ = 0;
  int row_ = 0;
  void Paint(HDC dc) override;
};

class TFrmTestName : public TForm {
 public:
  explicit TFrmTestName(TComponent* owner);
  std::string ClassName() const override { return "TFrmTestName"; }

  TNameGrid* GridName;
  TLabel* StaticText1;
  TPanel* Panel1;
  TButton* Btnok;
  TButton* Btnno;
  TButton* BtnReset;
  TTimer* Timer1;

  const MSurnameGame& Game() const { return game; }
  void BtnokClick(TObject* sender);
  void BtnnoClick(TObject* sender);
  void BtnResetClick(TObject* sender);
  void Timer1Timer(TObject* sender);
  void GridNameMouseUp(int column, int row);

 private:
  MSurnameGame game;
  int animCell = 0;
  void NextTable(int answer);
};

// The menu command 巧猜姓氏: the game, modal.
void ShowSurnameGame();
