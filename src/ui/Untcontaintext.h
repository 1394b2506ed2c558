// "双击查看姓名": the names that contain the searched text, one to choose.
#pragma once

#include <string>

#include "classlib/Forms.h"
#include "classlib/StdCtrls.h"

class TFrmContainText : public TForm {
 public:
  explicit TFrmContainText(TComponent* owner);
  std::string ClassName() const override { return "TFrmContainText"; }

  void BitBtn1Click(TObject* sender);

  TListBox* LstName;
  TButton* BitBtn1;
  TButton* BitBtn2;
};

// Row height of the list: one and a half times the font's pixel height.
int ContainTextRowHeight(int fontSize, int pixelsPerInch);
