#include "cases/FrmFenLei.h"

#include "cases/Caserules.h"
#include "classlib/Gbk.h"
#include "classlib/StrUtils.h"

namespace {

const LayoutRow kLayout[] = {
    {New<TLabel>, "LblFenLei", "类别：", 12, 16, 60, 18, "", alNone},
    {New<TComboBox>, "CboFenLei", "", 72, 12, 200, 24, "", alNone},
    {New<TMemo>, "Memo1", "", 12, 44, 260, 110, "", alNone},
    {New<TButton>, "Btnok", "确定", 110, 166, 76, 26, "", alNone},
    {New<TButton>, "Btnno", "取消", 196, 166, 76, 26, "", alNone},
};

}  // namespace

TFrmFenLei::TFrmFenLei(TComponent* owner, TIniFile& ini) : TForm(owner), ini_(ini) {
  Name = "FrmFenLei";
  SetText(gbk::FromUtf8("分类保存"));
  BorderStyle = bsDialog;
  Position = poScreenCenter;
  SetClientSize(284, 204);
  TLayout layout(this, this, kLayout);
  layout.Bind(CboFenLei, "CboFenLei");
  layout.Bind(Memo1, "Memo1");
  layout.Bind(Btnok, "Btnok");
  layout.Bind(Btnno, "Btnno");
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
