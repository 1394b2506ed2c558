// "类别编辑": the category list of section "classes" edited as text, one name a line.
#pragma once

#include <string>

#include "cases/Caseform.h"

class TIniFile;

class TFrmClassEdit : public TForm {
 public:
  TFrmClassEdit(TComponent* owner, TIniFile& ini);
  std::string ClassName() const override { return "TFrmClassEdit"; }

  void FormShow(TObject* sender);
  void BitBtn1Click(TObject* sender);
  void Button1Click(TObject* sender);

  TLabel* Label1;
  TMemo* Memo1;
  TButton* BitBtn1;
  TButton* Button1;

 private:
  TIniFile& ini_;
};
