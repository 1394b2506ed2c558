#include "cases/FrmFenLei.h"

#include "cases/Caserules.h"
#include "classlib/Gbk.h"
#include "classlib/StrUtils.h"

namespace {

constexpr CaseLayoutRow kLayout[] = {
    {CaseCtl::Label, "LblFenLei", "类别：", 12, 16, 60, 18, ""},
    {CaseCtl::Combo, "CboFenLei", "", 72, 12, 200, 24, ""},
    {CaseCtl::Memo, "Memo1", "", 12, 44, 260, 110, ""},
    {CaseCtl::Button, "Btnok", "确定", 110, 166, 76, 26, ""},
    {CaseCtl::Button, "Btnno", "取消", 196, 166, 76, 26, ""},
};

}  // namespace

TFrmFenLei::TFrmFenLei(TComponent* owner, TIniFile& ini) : TForm(owner), ini_(ini) {
  Name = "FrmFenLei";
  SetText(gbk::FromUtf8("分类保存"));
  BorderStyle = bsDialog;
  Position = poScreenCenter;
  SetClientSize(284, 204);
  BuildCaseLayout(*this, kLayout);
  CboFenLei = CaseControl<TComboBox>(*this, "CboFenLei");
  Memo1 = CaseControl<TMemo>(*this, "Memo1");
  Btnok = CaseControl<TButton>(*this, "Btnok");
  Btnno = CaseControl<TButton>(*this, "Btnno");
  CboFenLei->DropDownCount = 16;
  Memo1->MaxLength = 1000;
  Memo1->SetText(gbk::FromUtf8("备注:"));
  Btnok->Default = true;
  Btnno->ModalResult = mrCancel;
  Btnok->OnClick = [this](TObject* s) { BtnokClick(s); };
  OnCreate = [this](TObject* s) { FormCreate(s); };
  DoCreate();
}

void TFrmFenLei::FormCreate(TObject*) {
  category.clear();
  note.clear();
  FillCategories(*CboFenLei, ini_, gbk::FromUtf8("临时保存"));
  if (CboFenLei->Items().Count() > 0) CboFenLei->SetItemIndex(0);
}

void TFrmFenLei::BtnokClick(TObject*) {
  std::string typed = Trim(CboFenLei->Text());
  if (typed.empty()) {
    CaseBox("类别不能为空", "错误", MB_OK | MB_ICONERROR);
    return;
  }
  // The record holds a category of at most 12 bytes; a longer one is refused, not cut.
  if (!CategoryNameValid(typed)) {
    CaseBox("类别名不能为空，并且最多可以有6个汉字！", "错误", MB_OK | MB_ICONERROR);
    return;
  }
  std::string typedNote = Trim(Memo1->Text());
  if (typedNote.empty()) {
    CaseBox("附加信息不能为空", "错误", MB_OK | MB_ICONERROR);
    return;
  }
  category = typed;
  note = typedNote;
  ModalResult = mrOk;
}
