// The birth-data dialog: date (solar or lunar, with the leap month), hour, minute,
// sex and birth place from the place table "dat\dili.ini". It works on the main
// window's birth record and place text; Cancel leaves both untouched.
#pragma once

#include <string>
#include <vector>

#include "cases/Caserules.h"
#include "classlib/ComCtrls.h"
#include "classlib/Forms.h"
#include "classlib/StdCtrls.h"
#include "engine/Records.h"

// A place value "lonDeg:lonMin*latDeg:latMin" in degrees; minutes take the sign of
// their degrees. False (and 120, 30) when the value has another form.
bool ParsePlaceValue(const std::string& value, float& longitude, float& latitude);

class TFrmInput : public TForm {
 public:
  TFrmInput(TComponent* owner, BirthRecord& birth, std::string& placeText);
  std::string ClassName() const override { return "TFrmInput"; }

  void FormShow(TObject* sender);
  void UpDyearClick(TObject* sender);
  void cbodiZClick(TObject* sender);
  void BitBtn1Click(TObject* sender);

  TEdit* EdtYear;
  TUpDown* UpDyear;
  TComboBox* cbom;
  TComboBox* cbod;
  TComboBox* cbos;
  TComboBox* cbomin;
  TComboBox* cbodiZ;
  TComboBox* cbodiC;
  TGroupBox* GrpSex;
  TRadioButton* Rdona;
  TRadioButton* Rdonv;
  TGroupBox* GrpDate;
  TRadioButton* Rdogl;
  TRadioButton* Rdonl;
  TCheckBox* Chkrun;
  TButton* BitBtn1;
  TButton* BitBtn2;

 private:
  void BuildLayout();
  void Refuse(const char* utf8, TWinControl* focus);
  BirthRecord& birth;
  std::string& placeText;
  std::vector<float> longitudes;
  std::vector<float> latitudes;
};
