// The naming-conditions dialog "起名条件": edits the main window's conditions in
// place, which must be set before it is shown. Only a successful "起名" writes them,
// except the radicals, which the picker writes at once.
#pragma once

#include <string>

#include "classlib/ExtCtrls.h"
#include "classlib/Forms.h"
#include "classlib/RadioGroup.h"
#include "classlib/StdCtrls.h"
#include "engine/Searchname.h"

class TFrmSetName : public TForm {
 public:
  explicit TFrmSetName(TComponent* owner);
  std::string ClassName() const override { return "TFrmSetName"; }

  void FormShow(TObject* sender);
  void CboFormulaClick(TObject* sender);
  void CboCharsetChange(TObject* sender);
  void BtoPianClick(TObject* sender);
  void BitBtn1Click(TObject* sender);

  NamingConditions* conditions = nullptr;

  TLabeledEdit* LedtXing;
  TRadioGroup* RdoNameLen;
  TRadioGroup* RdoSex;
  TRadioGroup* RdoJiWord;
  TCheckListBox* CBoxWuXing;
  TCheckListBox* ChkNumber;
  TComboBox* CboFormula;
  TButton* BtoPian;
  TLabeledEdit* EdtExclude;
  TLabeledEdit* EdtOneWord;
  TComboBox* CboCharset;
  TComboBox* CboLibrary;
  TMemo* MeoDec;
  TButton* BitBtn1;
  TButton* BitBtn2;

 private:
  bool Check();
};
