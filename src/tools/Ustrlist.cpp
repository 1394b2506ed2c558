#include "tools/Ustrlist.h"

#include "classlib/Gbk.h"
#include "classlib/Layout.h"

namespace {

// clang-format off
const LayoutRow kLayout[] = {
  {New<TPanel>,  "PanButtons", "",       0, 0, 360,  40, "",           alBottom},
  {New<TMemo>,   "MeoInput",   "",       0, 0, 360, 260, "",           alClient},
  {New<TButton>, "BitBtn2",    "测算",  86, 7,  80,  26, "PanButtons", alNone},
  {New<TButton>, "BitBtn1",    "返回", 194, 7,  80,  26, "PanButtons", alNone},
};
// clang-format on

}  // namespace

TFrmStrList::TFrmStrList(TComponent* owner) : TForm(owner) {
  Name = "FrmStrList";
  SetText(gbk::FromUtf8("可以输入多个号码，一行一个"));
  BorderStyle = bsDialog;
  Position = poScreenCenter;
  SetClientSize(360, 300);
  BuildLayout();
  DoCreate();
}

void TFrmStrList::BuildLayout() {
  TLayout layout(this, this, kLayout);
  layout.Bind(MeoInput, "MeoInput");
  layout.Bind(BitBtn2, "BitBtn2");
  layout.Bind(BitBtn1, "BitBtn1");
  BitBtn2->ModalResult = mrOk;
  BitBtn2->Default = true;
  BitBtn1->ModalResult = mrCancel;
  TFont big = MeoInput->Font();
  big.Size = 14;  // 19 pixels at 96 dpi
  MeoInput->SetFont(big);
  MeoInput->ParentFont = false;
  ActiveControl = MeoInput;  // the lines are typed at once; Enter there breaks a line
}
