#include "tools/Uchoicenum.h"

#include "classlib/Gbk.h"
#include "classlib/Layout.h"
#include "classlib/StrUtils.h"

namespace {

// clang-format off
const LayoutRow kLayout[] = {
  {New<TCheckListBox>, "ChkNum",  "",      10,  10, 200,  92, "", alNone},
  {New<TButton>,       "BitBtn1", "选定",  20, 112,  80,  28, "", alNone},
  {New<TButton>,       "BitBtn2", "取消", 120, 112,  80,  28, "", alNone},
};
// clang-format on

}  // namespace

TFrmChoiceNum::TFrmChoiceNum(TComponent* owner) : TForm(owner) {
  SetText(gbk::FromUtf8("选择想要的几个号码"));
  SetClientSize(220, 150);
  Position = poScreenCenter;
  BorderStyle = bsDialog;
  TLayout layout(this, this, kLayout);
  layout.Bind(ChkNum, "ChkNum");
  layout.Bind(BitBtn1, "BitBtn1");
  layout.Bind(BitBtn2, "BitBtn2");
  // Three columns of four rows: 0-3, 4-7, 8-9.
  ChkNum->Columns = 3;
  ChkNum->ItemHeight = 21;
  for (int d = 0; d <= 9; ++d) ChkNum->Items().Add(IntToStr(d));
  BitBtn1->Default = true;
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
