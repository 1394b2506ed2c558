// "分类保存": the category and the note asked for when a new case is stored.
#pragma once

#include <string>

#include "cases/Caseform.h"

class TIniFile;

class TFrmFenLei : public TForm {
 public:
  TFrmFenLei(TComponent* owner, TIniFile& ini);
  std::string ClassName() const override { return "TFrmFenLei"; }

  void FormCreate(TObject* sender);
  void BtnokClick(TObject* sender);

  // Read after a modal result of OK; both trimmed, the category at most 12 bytes.
  std::string category;
  std::string note;

  TComboBox* CboFenLei;
  TMemo* Memo1;
  TButton* Btnok;
  TButton* Btnno;

 private:
  TIniFile& ini_;
};
