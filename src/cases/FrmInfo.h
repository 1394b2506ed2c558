// "命例信息": one stored case edited in a copy; the caller writes it back after OK.
#pragma once

#include <string>

#include "cases/Caseform.h"
#include "cases/Caserules.h"

class TIniFile;

class TFrmInfo : public TForm {
 public:
  // programFolder: with its trailing backslash; the place table is its "dat\dili.ini".
  TFrmInfo(TComponent* owner, TIniFile& ini, std::string programFolder);
  std::string ClassName() const override { return "TFrmInfo"; }

  void FormShow(TObject* sender);
  void cbodiZClick(TObject* sender);
  void cbodiCClick(TObject* sender);
  void UpDyearClick(TObject* sender, TUDBtnType button);
  void BitBtn1Click(TObject* sender);

  CaseRecord record{};  // filled before showing, read after OK

  TLabeledEdit* Edtname;
  TEdit* EdtYear;
  TUpDown* UpDyear;
  TComboBox* cbom;
  TComboBox* cbod;
  TComboBox* cbos;
  TComboBox* cbomin;
  TRadioButton* Rdogl;
  TRadioButton* Rdonl;
  TCheckBox* Chkrun;
  TRadioButton* Rdona;
  TRadioButton* Rdonv;
  TComboBox* cbodiZ;
  TComboBox* cbodiC;
  TComboBox* CboFenLei;
  TMemo* Memo1;
  TButton* BitBtn1;
  TButton* Button1;

 private:
  void FillLists();
  bool TakeFields();
  TIniFile& ini_;
  std::string programFolder_;
  float longitude_ = 0, latitude_ = 0;  // of the place chosen in this showing
  bool placeChosen_ = false;
};
