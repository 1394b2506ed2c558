// The place editor "经纬度修改": changes the longitude and latitude of a place of
// "dat\dili.ini". It never adds or removes places or provinces.
#pragma once

#include <memory>
#include <string>

#include "classlib/ExtCtrls.h"
#include "classlib/Forms.h"
#include "classlib/StdCtrls.h"
#include "classlib/TIniFile.h"

class TFrmDiLi : public TForm {
 public:
  // `programFolder` holds "dat\dili.ini"; empty means the executable's folder.
  explicit TFrmDiLi(TComponent* owner, std::string programFolder = {});
  std::string ClassName() const override { return "TFrmDiLi"; }

  void FormCreate(TObject* sender);
  void FormCloseQuery(TObject* sender, bool& canClose);
  void FormClose(TObject* sender, TCloseAction& action);
  void CboShengClick(TObject* sender);
  void CboShiClick(TObject* sender);
  void BtoEditClick(TObject* sender);

  TComboBox* CboSheng;
  TComboBox* CboShi;
  TLabel* LblJing;
  TLabel* LblWei;
  TLabeledEdit* LedtJingDu;
  TLabeledEdit* LedtJingFen;
  TLabeledEdit* LedtWeiDu;
  TLabeledEdit* LedtWeiFen;
  TButton* BtoEdit;

 private:
  void BuildLayout();
  std::string Coordinates();  // the four edits' texts
  std::string saved;          // those texts as the file holds them
  std::string programFolder;
  std::unique_ptr<TIniFile> ini;
};
