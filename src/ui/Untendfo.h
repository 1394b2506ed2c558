// The closing-text dialog "编辑尾部信息": edits "dat\EndInfo.txt" and the setting
// endinfo of "dat\set.ini" that appends it to every report.
#pragma once

#include <memory>
#include <string>

#include "classlib/Forms.h"
#include "classlib/StdCtrls.h"
#include "classlib/TIniFile.h"

class TFrmEndfo : public TForm {
 public:
  explicit TFrmEndfo(TComponent* owner);
  std::string ClassName() const override { return "TFrmEndfo"; }

  void FormShow(TObject* sender);
  void BtnokClick(TObject* sender);
  void FormClose(TObject* sender, TCloseAction& action);

  TMemo* Memo1;
  TCheckBox* ChkAuto;
  TButton* Btnok;
  TButton* BtnCancel;

 private:
  std::unique_ptr<TIniFile> settingsIni;
  std::string endInfoPath;
};
