// A one-line question: a prompt over an edit, with OK and cancel (Win32 only).
#pragma once

#include <string>

#include "classlib/Forms.h"
#include "classlib/StdCtrls.h"

class TInputQueryForm : public TForm {
 public:
  TInputQueryForm(TComponent* owner, const std::string& caption, const std::string& prompt, const std::string& value);
  std::string ClassName() const override { return "TInputQueryForm"; }
  TLabel* Prompt;
  TEdit* Edit;
  TButton* BtnOk;
  TButton* BtnCancel;
};

// Shows the question modally; on OK the edit's text is in value and the answer is true.
// Texts are GBK.
bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value);
