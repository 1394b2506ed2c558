// The settings dialog "设置": the analysis and report settings of "dat\set.ini",
// section "set" (every key but endinfo, which the closing-text dialog owns).
#pragma once

#include <memory>
#include <string>

#include "classlib/ExtCtrls.h"
#include "classlib/Forms.h"
#include "classlib/StdCtrls.h"
#include "classlib/TIniFile.h"

class TFrmSet : public TForm {
 public:
  explicit TFrmSet(TComponent* owner);
  std::string ClassName() const override { return "TFrmSet"; }

  void FormShow(TObject* sender);
  void BitBtn1Click(TObject* sender);
  void FormClose(TObject* sender, TCloseAction& action);

  TCheckBox* ChkSave;
  TCheckBox* ChkZiShi;
  TCheckBox* ChkCongGe;
  TCheckBox* ChkScore;
  TCheckBox* ChkBianGe;
  TLabel* LblDate;
  TComboBox* CboSelDate;
  TGroupBox* GrpWordLen;
  TComboBox* CboWordLen;
  TLabeledEdit* LedtLeft;
  TButton* BitBtn1;
  TButton* BitBtn2;

 private:
  void BuildLayout();
  std::unique_ptr<TIniFile> settingsIni;
};
