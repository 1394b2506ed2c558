#include "tools/Ustrlist.h"

#include "classlib/Gbk.h"

namespace {

enum Kind { kPanel, kMemo, kButton };

struct Row {
  Kind kind;
  const char* name;
  const char* caption;
  int left, top, width, height;
  const char* parent;
  TAlign align;
  int modalResult;
};

// clang-format off
const Row kLayout[] = {
  {kPanel,  "PanButtons", "",     0,   0, 360, 40, "",           alBottom, mrNone},
  {kMemo,   "MeoInput",   "",     0,   0, 360, 260, "",          alClient, mrNone},
  {kButton, "BitBtn2",    "测算", 86,  7,  80,  26, "PanButtons", alNone,   mrOk},
  {kButton, "BitBtn1",    "返回", 194, 7,  80,  26, "PanButtons", alNone,   mrCancel},
};
// clang-format on

TControl* Make(const Row& r, TComponent* owner) {
  switch (r.kind) {
    case kPanel:
      return new TPanel(owner);
    case kMemo:
      return new TMemo(owner);
    case kButton: {
      auto* b = new TButton(owner);
      b->ModalResult = r.modalResult;
      b->Default = r.modalResult == mrOk;
      return b;
    }
  }
  return nullptr;
}

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
  for (const Row& r : kLayout) {
    TControl* c = Make(r, this);
    c->Name = r.name;
    c->SetText(gbk::FromUtf8(r.caption));
    c->SetBounds(r.left, r.top, r.width, r.height);
    c->SetParent(*r.parent ? static_cast<TWinControl*>(FindComponent(r.parent)) : this);
    c->SetAlign(r.align);
  }
  MeoInput = static_cast<TMemo*>(FindComponent("MeoInput"));
  BitBtn2 = static_cast<TButton*>(FindComponent("BitBtn2"));
  BitBtn1 = static_cast<TButton*>(FindComponent("BitBtn1"));
  TFont big = MeoInput->Font();
  big.Size = 14;  // 19 pixels at 96 dpi
  MeoInput->SetFont(big);
  MeoInput->ParentFont = false;
}
