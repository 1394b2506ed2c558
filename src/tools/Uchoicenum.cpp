#include "tools/Uchoicenum.h"

#include "classlib/Gbk.h"
#include "classlib/StrUtils.h"

TFrmChoiceNum::TFrmChoiceNum(TComponent* owner) : TForm(owner) {
  SetText(gbk::FromUtf8("选择想要的几个号码"));
  SetClientSize(220, 250);
  Position = poScreenCenter;
  BorderStyle = bsDialog;
  ChkNum = new TCheckListBox(this);
  ChkNum->SetParent(this);
  ChkNum->SetBounds(10, 10, 200, 190);
  for (int d = 0; d <= 9; ++d) ChkNum->Items().Add(IntToStr(d));
  BitBtn1 = new TButton(this);
  BitBtn1->SetParent(this);
  BitBtn1->SetText(gbk::FromUtf8("选定"));
  BitBtn1->SetBounds(20, 212, 80, 28);
  BitBtn1->Default = true;
  BitBtn2 = new TButton(this);
  BitBtn2->SetParent(this);
  BitBtn2->SetText(gbk::FromUtf8("取消"));
  BitBtn2->SetBounds(120, 212, 80, 28);
  BitBtn2->ModalResult = mrCancel;
  BitBtn1->OnClick = [this](TObject* s) { BitBtn1Click(s); };
  DoCreate();
}

void TFrmChoiceNum::SetDigits(const std::vector<int>& digits) {
  for (int d = 0; d <= 9; ++d) ChkNum->SetChecked(d, false);
  for (int d : digits) ChkNum->SetChecked(d, true);
}

std::vector<int> TFrmChoiceNum::Digits() const {
  std::vector<int> out;
  for (int d = 0; d <= 9; ++d)
    if (ChkNum->Checked(d)) out.push_back(d);
  return out;
}

void TFrmChoiceNum::BitBtn1Click(TObject*) {
  if (Digits().empty()) {
    ShowMessage(gbk::FromUtf8("至少选择一个数字！"));
    return;
  }
  ModalResult = mrOk;
}
