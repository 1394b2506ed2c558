// TFrmBjx: the surname-origin window. The classical surnames on the left, the origin
// text of the chosen one beside them, and a search box below.
#pragma once

#include "classlib/ExtCtrls.h"
#include "classlib/Forms.h"
#include "tools/SurnameOrigins.h"

class TFrmBjx : public TForm {
 public:
  explicit TFrmBjx(TComponent* owner);
  std::string ClassName() const override { return "TFrmBjx"; }

  TListBox* Lstbjx;
  TMemo* Memo1;
  TPanel* Panel1;
  TLabeledEdit* LedtName;
  TButton* BtnSearch;

  void LstbjxClick(TObject* sender);
  void BtnSearchClick(TObject* sender);
  void LedtNameKeyPress(TObject* sender, char& key);

 private:
  MSurnameOrigins origins;
  void FormCreate();
};

// The "BJX" resource of the program's module as GBK text; throws when it is missing.
std::string LoadSurnameOrigins();

// The menu command 百家姓查询: the window, modal.
void ShowSurnameOrigins();
