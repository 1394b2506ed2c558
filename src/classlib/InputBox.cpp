#include "classlib/InputBox.h"

#include "classlib/Layout.h"

namespace {

// clang-format off
const LayoutRow kLayout[] = {
  {New<TLabel>,  "Prompt",    "",      12, 12, 276, 18, "", alNone},
  {New<TEdit>,   "Edit",      "",      12, 34, 276, 22, "", alNone},
  {New<TButton>, "BtnOk",     "确定", 126, 68,  76, 26, "", alNone},
  {New<TButton>, "BtnCancel", "取消", 212, 68,  76, 26, "", alNone},
};
// clang-format on

}  // namespace

TInputQueryForm::TInputQueryForm(TComponent* owner, const std::string& caption, const std::string& prompt,
                                 const std::string& value)
    : TForm(owner) {
  Name = "InputQueryForm";
  SetText(caption);
  BorderStyle = bsDialog;
  Position = poScreenCenter;
  SetClientSize(300, 104);
  TLayout layout(this, this, kLayout);
  layout.Bind(Prompt, "Prompt");
  layout.Bind(Edit, "Edit");
  layout.Bind(BtnOk, "BtnOk");
  layout.Bind(BtnCancel, "BtnCancel");
  Prompt->SetText(prompt);
  Edit->SetText(value);
  BtnOk->Default = true;
  BtnOk->ModalResult = mrOk;
  BtnCancel->ModalResult = mrCancel;
  ActiveControl = Edit;
  DoCreate();
}

bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value) {
  TInputQueryForm form(Application, caption, prompt, value);
  if (form.ShowModal() != mrOk) return false;
  value = form.Edit->Text();
  return true;
}
