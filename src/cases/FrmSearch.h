// "查找命例": searches the stored cases by name, category, birth years, sex and province.
// The criteria block belongs to the caller and outlives the dialog, so the dialog opens
// with the last search. Tag 1 after closing: show the hits in ids.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cases/Caseform.h"
#include "cases/Caserules.h"

class TIniFile;

class TFrmSearch : public TForm {
 public:
  TFrmSearch(TComponent* owner, TIniFile& ini, MDataBase& db, CaseCriteria& criteria);
  std::string ClassName() const override { return "TFrmSearch"; }

  void FormShow(TObject* sender);
  void BtnSearchClick(TObject* sender);
  void BtoAllClick(TObject* sender);
  void BtoCancelClick(TObject* sender);

  std::vector<int32_t> ids;  // the hits of the last search, ascending

  TLabeledEdit* Edtname;
  TCheckBox* ChkName;
  TComboBox* CboFenLei;
  TCheckBox* ChkClass;
  TLabeledEdit* LedtY1;
  TLabeledEdit* LedtY2;
  TGroupBox* RdoSex;
  TComboBox* cbodiZ;
  TButton* BtoAll;
  TButton* BtnSearch;
  TButton* BtoCancel;
  TLabel* Animate1;  // shown while searching

  int SexItem();
  void SetSexItem(int i);

 private:
  SearchFields Fields();
  void ShowFields(const SearchFields& f);
  void SetBusy(bool busy);
  TRadioButton* sexItems_[3];
  TIniFile& ini_;
  MDataBase& db_;
  CaseCriteria& criteria_;
};
