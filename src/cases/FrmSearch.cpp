#include "cases/FrmSearch.h"

#include "classlib/Gbk.h"
#include "classlib/StrUtils.h"

namespace {

const LayoutRow kLayout[] = {
    {New<TLabeledEdit>, "Edtname", "姓名", 16, 28, 150, 22, "", alNone},
    {New<TCheckBox>, "ChkName", "全字匹配", 180, 29, 90, 20, "", alNone},
    {New<TLabel>, "LblFenLei", "类别", 16, 60, 60, 16, "", alNone},
    {New<TComboBox>, "CboFenLei", "", 16, 78, 150, 24, "", alNone},
    {New<TCheckBox>, "ChkClass", "全字匹配", 180, 80, 90, 20, "", alNone},
    {New<TLabeledEdit>, "LedtY1", "出生年从", 16, 128, 70, 22, "", alNone},
    {New<TLabeledEdit>, "LedtY2", "到", 100, 128, 70, 22, "", alNone},
    {New<TGroupBox>, "RdoSex", "性别", 16, 160, 254, 46, "", alNone},
    {New<TRadioButton>, "RdoSex0", "不分", 12, 18, 64, 20, "RdoSex", alNone},
    {New<TRadioButton>, "RdoSex1", "男", 92, 18, 64, 20, "RdoSex", alNone},
    {New<TRadioButton>, "RdoSex2", "女", 172, 18, 64, 20, "RdoSex", alNone},
    {New<TLabel>, "LbldiZ", "出生地", 16, 214, 60, 16, "", alNone},
    {NewDropDownList, "cbodiZ", "", 16, 232, 150, 24, "", alNone},
    {New<TButton>, "BtoAll", "清除", 290, 20, 80, 26, "", alNone},
    {New<TButton>, "BtnSearch", "查找", 290, 56, 80, 26, "", alNone},
    {New<TButton>, "BtoCancel", "取消", 290, 92, 80, 26, "", alNone},
    {New<TLabel>, "Animate1", "正在查找……", 290, 134, 90, 18, "", alNone},
};

constexpr const char* kYearRangeText =
    "年份必须在-850到2100年之间，并且没有公元0年\r\n注意：公元前用负数，比如公元前120年，就输入-120";

}  // namespace

TFrmSearch::TFrmSearch(TComponent* owner, TIniFile& ini, MDataBase& db, CaseCriteria& criteria)
    : TForm(owner), ini_(ini), db_(db), criteria_(criteria) {
  Name = "FrmSearch";
  SetText(gbk::FromUtf8("查找命例"));
  BorderStyle = bsDialog;
  Position = poScreenCenter;
  SetClientSize(390, 272);
  TLayout layout(this, this, kLayout);
  layout.Bind(Edtname, "Edtname");
  layout.Bind(ChkName, "ChkName");
  layout.Bind(CboFenLei, "CboFenLei");
  layout.Bind(ChkClass, "ChkClass");
  layout.Bind(LedtY1, "LedtY1");
  layout.Bind(LedtY2, "LedtY2");
  layout.Bind(RdoSex, "RdoSex");
  for (int i = 0; i < 3; ++i) layout.Bind(sexItems_[i], ("RdoSex" + IntToStr(i)));
  layout.Bind(cbodiZ, "cbodiZ");
  layout.Bind(BtoAll, "BtoAll");
  layout.Bind(BtnSearch, "BtnSearch");
  layout.Bind(BtoCancel, "BtoCancel");
  layout.Bind(Animate1, "Animate1");
  Edtname->MaxLength = 10;
  CboFenLei->MaxLength = 13;
  LedtY1->MaxLength = 4;
  LedtY2->MaxLength = 4;
  cbodiZ->DropDownCount = 16;
  Animate1->Hide();
  BtnSearch->Default = true;
  BtnSearch->OnClick = [this](TObject* s) { BtnSearchClick(s); };
  BtoAll->OnClick = [this](TObject* s) { BtoAllClick(s); };
  BtoCancel->OnClick = [this](TObject* s) { BtoCancelClick(s); };
  BtoCancel->Cancel = true;
  OnShow = [this](TObject* s) { FormShow(s); };
  DoCreate();
}

int TFrmSearch::SexItem() {
  for (int i = 0; i < 3; ++i) {
    if (sexItems_[i]->Checked()) return i;
  }
  return 0;
}

void TFrmSearch::SetSexItem(int i) {
  for (int k = 0; k < 3; ++k) sexItems_[k]->SetChecked(k == i);
}

void TFrmSearch::FormShow(TObject*) {
  FillCategories(*CboFenLei, ini_, gbk::FromUtf8("临时保存"));
  cbodiZ->Items().Clear();
  cbodiZ->Items().Add(" ");
  for (const std::string& p : ProvinceNames()) cbodiZ->Items().Add(p);
  ShowFields(FieldsOf(criteria_));
  Tag = 0;
}

SearchFields TFrmSearch::Fields() {
  SearchFields f;
  f.provinceItem = std::max(0, cbodiZ->ItemIndex());
  f.sexItem = SexItem();
  f.yearFrom = LedtY1->Text();
  f.yearTo = LedtY2->Text();
  f.name = Edtname->Text();
  f.nameWhole = ChkName->Checked();
  f.category = CboFenLei->Text();
  f.categoryWhole = ChkClass->Checked();
  return f;
}

void TFrmSearch::ShowFields(const SearchFields& f) {
  cbodiZ->SetItemIndex(f.provinceItem);
  SetSexItem(f.sexItem);
  LedtY1->SetText(f.yearFrom);
  LedtY2->SetText(f.yearTo);
  Edtname->SetText(f.name);
  ChkName->SetChecked(f.nameWhole);
  CboFenLei->SetText(f.category);
  ChkClass->SetChecked(f.categoryWhole);
}

void TFrmSearch::SetBusy(bool busy) {
  for (TButton* b : {BtoAll, BtnSearch, BtoCancel}) b->SetEnabled(!busy);
  Animate1->SetVisible(busy);
  if (busy) Animate1->Repaint();
}

void TFrmSearch::BtnSearchClick(TObject*) {
  switch (FillCriteria(Fields(), criteria_)) {
    case CriteriaError::YearRange:
      CaseBox(kYearRangeText, "年份错误", MB_OK | MB_ICONWARNING);
      return;
    case CriteriaError::YearOrder:
      CaseBox("结束年必须大于或等于起始年", "年份错误", MB_OK | MB_ICONWARNING);
      return;
    case CriteriaError::None:
      break;
  }
  if (db_.GetCount() <= 0) {
    CaseMessage("没有记录，无从查找。");
    return;
  }
  SetBusy(true);
  ids.clear();
  bool ok = db_.Search(criteria_, ids);
  SetBusy(false);
  if (!ok) {
    ShowMessage(gbk::FromUtf8("查找失败：") + db_.LastError());
    return;
  }
  if (ids.empty()) {
    CaseBox("没有找到符合条件的命例。", "信息", MB_OK | MB_ICONINFORMATION);
    return;
  }
  if (CaseAskYes(Format("共找到%d条记录，要显示到命例列表中吗？", static_cast<int>(ids.size())), "提示")) {
    Tag = 1;
    ModalResult = mrOk;
  }
}

void TFrmSearch::BtoAllClick(TObject*) {
  if (!CaseAskYes("这将清除所有输入的条件参数，以便搜索所有命例，确定吗？", "提示")) return;
  ShowFields(SearchFields{});
}

void TFrmSearch::BtoCancelClick(TObject*) {
  Tag = 0;
  ModalResult = mrCancel;
}
