// TFrmChoiceNum: chooses several allowed digits for one position of a mobile number.
#pragma once

#include <vector>

#include "classlib/Forms.h"
#include "classlib/StdCtrls.h"

class TFrmChoiceNum : public TForm {
 public:
  explicit TFrmChoiceNum(TComponent* owner);
  std::string ClassName() const override { return "TFrmChoiceNum"; }

  TCheckListBox* ChkNum;
  TButton* BitBtn1;
  TButton* BitBtn2;

  void SetDigits(const std::vector<int>& digits);
  std::vector<int> Digits() const;  // the ticked digits, increasing
  void BitBtn1Click(TObject* sender);
};
