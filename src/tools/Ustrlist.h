// The list input of the main window's 81-number tools: one number or text a line.
// The caller fills MeoInput with the remembered lines, shows the form modally and,
// on mrOk, takes the memo's lines back.
#pragma once

#include "classlib/Forms.h"
#include "classlib/StdCtrls.h"

class TFrmStrList : public TForm {
 public:
  explicit TFrmStrList(TComponent* owner);
  std::string ClassName() const override { return "TFrmStrList"; }

  TMemo* MeoInput = nullptr;
  TButton* BitBtn2 = nullptr;  // "测算": mrOk
  TButton* BitBtn1 = nullptr;  // "返回": mrCancel

 private:
  void BuildLayout();
};
