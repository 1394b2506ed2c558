#include "ui/Untpianpang.h"

#include "classlib/Gbk.h"
#include "classlib/Layout.h"
#include "ui/Untmain.h"

namespace {

constexpr int kColumnWidth = 40;

// The radicals in twelve columns; the base class ticks a box in any column.
class TRadicalList : public TCheckListBox {
 public:
  using TCheckListBox::TCheckListBox;

 protected:
  DWORD CreateStyle() const override { return TCheckListBox::CreateStyle() | LBS_MULTICOLUMN | WS_HSCROLL; }
  void AfterCreate() override {
    TCheckListBox::AfterCreate();
    Perform(LB_SETCOLUMNWIDTH, kColumnWidth);
  }
};

// clang-format off
const LayoutRow kLayout[] = {
  {New<TRadicalList>, "ChkPian", "",     8,   8, 496, 300, "", alNone},
  {New<TCheckBox>,    "ChkAll",  "全选",  8, 318,  80,  22, "", alNone},
  {New<TButton>,      "BitBtn1", "确定", 336, 316,  80,  26, "", alNone},
  {New<TButton>,      "BitBtn2", "返回", 424, 316,  80,  26, "", alNone},
};
// clang-format on

}  // namespace

bool HasWholeChar(std::string_view text, std::string_view ch) {
  if (ch.empty()) return false;
  for (size_t i = 0; i < text.size(); i += gbk::CharLength(text, i))
    if (text.substr(i, gbk::CharLength(text, i)) == ch) return true;
  return false;
}

TFrmPianPang::TFrmPianPang(TComponent* owner) : TForm(owner) {
  Name = "FrmPianPang";
  SetText(gbk::FromUtf8("偏旁选择"));
  BorderStyle = bsDialog;
  Position = poScreenCenter;
  SetClientSize(512, 350);
  TLayout layout(this, this, kLayout);
  layout.Bind(ChkPian, "ChkPian");
  layout.Bind(ChkAll, "ChkAll");
  layout.Bind(BitBtn1, "BitBtn1");
  layout.Bind(BitBtn2, "BitBtn2");
  BitBtn1->ModalResult = mrYes;
  BitBtn2->ModalResult = mrCancel;
  ChkAll->OnClick = [this](TObject* s) { ChkAllClick(s); };
  BitBtn1->OnClick = [this](TObject* s) { BitBtn1Click(s); };
  OnShow = [this](TObject* s) { FormShow(s); };
  DoCreate();
}

void TFrmPianPang::FormShow(TObject*) {
  ChkPian->Items().Clear();
  std::string radicals = WordLib.GetRadicals();
  for (size_t i = 0; i < radicals.size(); i += gbk::CharLength(radicals, i))
    ChkPian->Items().Add(radicals.substr(i, gbk::CharLength(radicals, i)));
  for (int i = 0; i < ChkPian->Items().Count(); ++i)
    if (HasWholeChar(selection, ChkPian->Items()[i])) ChkPian->SetChecked(i, true);
}

void TFrmPianPang::ChkAllClick(TObject*) {
  bool all = ChkAll->Checked();
  for (int i = 0; i < ChkPian->Items().Count(); ++i) ChkPian->SetChecked(i, all);
}

void TFrmPianPang::BitBtn1Click(TObject*) {
  selection.clear();
  for (int i = 0; i < ChkPian->Items().Count(); ++i)
    if (ChkPian->Checked(i)) selection += ChkPian->Items()[i];
}
