// TFrmPickNumber: the mobile-number picker window over MNumberPicker. One combo a
// position ("任意", "选择" or a digit), the list of good numbers and the reading of
// the chosen one.
#pragma once

#include <array>

#include "classlib/Forms.h"
#include "classlib/StdCtrls.h"
#include "tools/NumberPicker.h"

class TFrmPickNumber : public TForm {
 public:
  explicit TFrmPickNumber(TComponent* owner);
  std::string ClassName() const override { return "TFrmPickNumber"; }

  TGroupBox* GroupBox1;
  std::array<TComboBox*, MNumberPicker::kPositions> Cbo{};  // Cbo1 .. Cbo11
  TButton* BitBtn1;
  TListBox* LstNumber;
  TMemo* MeoExplain;

  const MNumberPicker& Picker() const { return picker; }
  void DigitComboChange(TComboBox* combo, int position);
  void GenerateNumbers();
  void LstNumberClick(TObject* sender);

  // Lets a test answer the "选择" dialog; the default shows it modally.
  std::function<int(class TFrmChoiceNum&)> RunChoice;

 private:
  MNumberPicker picker;
  void FillDigitCombos();
};

// The menu command 挑选手机号: the window, modal.
void ShowNumberPicker();
