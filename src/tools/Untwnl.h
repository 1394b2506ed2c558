// TFrmWnl: the perpetual calendar window over MMonthView. Modeless and on top; the menu
// keeps at most one, and closing it frees it and forgets it.
#pragma once

#include "classlib/Buttons.h"
#include "classlib/ComCtrls.h"
#include "classlib/ExtCtrls.h"
#include "classlib/Forms.h"
#include "classlib/StdCtrls.h"
#include "tools/MonthView.h"

// The month grid, painted from the view; a left click reports its grid cell.
class TMonthImage : public TPaintedControl {
 public:
  explicit TMonthImage(TComponent* owner, const MMonthView& view) : TPaintedControl(owner), view(view) {}
  std::string ClassName() const override { return "TMonthImage"; }
  int CellWidth() const { return Width() / 7; }
  int CellHeight() const { return Height() / 7; }
  std::function<void(int x, int y)> OnLeftDown;

 protected:
  LRESULT WndProc(UINT msg, WPARAM w, LPARAM l) override;

 private:
  const MMonthView& view;
  void Paint(HDC dc) override;
};

class TFrmWnl : public TForm {
 public:
  explicit TFrmWnl(TComponent* owner);
  std::string ClassName() const override { return "TFrmWnl"; }

  TEdit* EdtYear;
  TUpDown* UpYear;
  TComboBox* CboM;
  TComboBox* CboD;
  TComboBox* CboH;
  TComboBox* CboMinute;
  TButton* BitBtn2;
  TButton* BitBtn1;
  TSpeedButton* BtoNow;
  TMonthImage* Img;
  TLabel* LabShow;
  TMemo* MeoTitle;
  TMemo* MeoJie;
  TMemo* MeoGanZhi;

  const MMonthView& View() const { return view; }
  void ShowDate(const DateRecord& date);  // historical year
  void LoadYearTerms();
  void UpdateView();

  void UpYearClick();
  void BitBtn2Click(TObject* sender);
  void BitBtn1Click(TObject* sender);
  void BtoNowClick(TObject* sender);
  void EdtYearKeyPress(TObject* sender, char& key);
  void ImgMouseDown(int x, int y);

 private:
  MMonthView view;
  void FillLists();
  void SetControls(const DateRecord& date);  // historical year
  int TypedYear(int fallback);
};

// The one calendar window while it is open (nullptr otherwise).
extern TFrmWnl* FrmWnl;

// The menu command 万年历: creates the window when none exists, opens it at the
// present local time and shows it without blocking.
void ShowPerpetualCalendar();
