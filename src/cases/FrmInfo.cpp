#include "cases/FrmInfo.h"

#include "classlib/Gbk.h"
#include "classlib/StrUtils.h"
#include "classlib/TIniFile.h"
#include "classlib/TStringList.h"

namespace {

const LayoutRow kLayout[] = {
    {New<TLabeledEdit>, "Edtname", "姓名", 16, 28, 120, 22, "", alNone},
    {New<TLabel>, "LblDate", "出生时间", 16, 60, 80, 16, "", alNone},
    {New<TEdit>, "EdtYear", "", 16, 78, 52, 22, "", alNone},
    {New<TUpDown>, "UpDyear", "", 68, 78, 16, 22, "", alNone},
    {NewDropDownList, "cbom", "", 90, 78, 62, 24, "", alNone},
    {NewDropDownList, "cbod", "", 158, 78, 62, 24, "", alNone},
    {NewDropDownList, "cbos", "", 226, 78, 74, 24, "", alNone},
    {NewDropDownList, "cbomin", "", 306, 78, 62, 24, "", alNone},
    {New<TGroupBox>, "GrpCalendar", "历法", 16, 108, 220, 44, "", alNone},
    {New<TRadioButton>, "Rdogl", "公历", 10, 18, 56, 20, "GrpCalendar", alNone},
    {New<TRadioButton>, "Rdonl", "农历", 70, 18, 56, 20, "GrpCalendar", alNone},
    {New<TCheckBox>, "Chkrun", "农历闰月", 130, 18, 84, 20, "GrpCalendar", alNone},
    {New<TGroupBox>, "GrpSex", "性别", 246, 108, 122, 44, "", alNone},
    {New<TRadioButton>, "Rdona", "男", 10, 18, 48, 20, "GrpSex", alNone},
    {New<TRadioButton>, "Rdonv", "女", 64, 18, 48, 20, "GrpSex", alNone},
    {New<TLabel>, "LblPlace", "出生地", 16, 160, 80, 16, "", alNone},
    {NewDropDownList, "cbodiZ", "", 16, 178, 120, 24, "", alNone},
    {NewDropDownList, "cbodiC", "", 144, 178, 156, 24, "", alNone},
    {New<TLabel>, "LblFenLei", "类别", 16, 210, 80, 16, "", alNone},
    {New<TComboBox>, "CboFenLei", "", 16, 228, 150, 24, "", alNone},
    {New<TLabel>, "LblNote", "附加信息", 16, 260, 80, 16, "", alNone},
    {New<TMemo>, "Memo1", "", 16, 278, 352, 90, "", alNone},
    {New<TButton>, "BitBtn1", "保存", 206, 380, 76, 26, "", alNone},
    {New<TButton>, "Button1", "关闭", 292, 380, 76, 26, "", alNone},
};

constexpr const char* kYearRangeText =
    "年份必须在-850到2100年之间，并且没有公元0年\r\n注意：公元前用负数，比如公元前120年，就输入-120";

}  // namespace

TFrmInfo::TFrmInfo(TComponent* owner, TIniFile& ini, std::string programFolder)
    : TForm(owner), ini_(ini), programFolder_(std::move(programFolder)) {
  Name = "FrmInfo";
  SetText(gbk::FromUtf8("命例信息"));
  BorderStyle = bsDialog;
  Position = poScreenCenter;
  SetClientSize(384, 416);
  TLayout layout(this, this, kLayout);
  layout.Bind(Edtname, "Edtname");
  layout.Bind(EdtYear, "EdtYear");
  layout.Bind(UpDyear, "UpDyear");
  layout.Bind(cbom, "cbom");
  layout.Bind(cbod, "cbod");
  layout.Bind(cbos, "cbos");
  layout.Bind(cbomin, "cbomin");
  layout.Bind(Rdogl, "Rdogl");
  layout.Bind(Rdonl, "Rdonl");
  layout.Bind(Chkrun, "Chkrun");
  layout.Bind(Rdona, "Rdona");
  layout.Bind(Rdonv, "Rdonv");
  layout.Bind(cbodiZ, "cbodiZ");
  layout.Bind(cbodiC, "cbodiC");
  layout.Bind(CboFenLei, "CboFenLei");
  layout.Bind(Memo1, "Memo1");
  layout.Bind(BitBtn1, "BitBtn1");
  layout.Bind(Button1, "Button1");
  Edtname->MaxLength = 10;
  EdtYear->MaxLength = 4;
  TFont bold = EdtYear->Font();
  bold.Bold = true;
  EdtYear->SetFont(bold);
  UpDyear->SetRange(-849, 2100);
  CboFenLei->MaxLength = 13;
  Memo1->MaxLength = 1000;
  for (TComboBox* c : {cbom, cbod, cbos, cbomin, cbodiZ, cbodiC}) c->DropDownCount = 16;
  Button1->ModalResult = mrCancel;
  UpDyear->OnClick = [this](TObject* s, TUDBtnType b) { UpDyearClick(s, b); };
  cbodiZ->OnSelect = [this](TObject* s) { cbodiZClick(s); };
  cbodiC->OnSelect = [this](TObject* s) { cbodiCClick(s); };
  BitBtn1->OnClick = [this](TObject* s) { BitBtn1Click(s); };
  OnShow = [this](TObject* s) { FormShow(s); };
  DoCreate();
}

void TFrmInfo::FillLists() {
  FillCategories(*CboFenLei, ini_, gbk::FromUtf8("临时保存"));
  for (TComboBox* c : {cbom, cbod, cbos, cbomin, cbodiZ}) c->Items().Clear();
  for (int i = 1; i <= 12; ++i) cbom->Items().Add(IntToStr(i) + gbk::FromUtf8("月"));
  for (int i = 1; i <= 31; ++i) cbod->Items().Add(IntToStr(i) + gbk::FromUtf8("日"));
  for (int i = 0; i < 24; ++i) cbos->Items().Add(HourItemText(i));
  for (int i = 0; i < 60; ++i) cbomin->Items().Add(IntToStr(i) + gbk::FromUtf8("分"));
  for (const std::string& p : ProvinceNames()) cbodiZ->Items().Add(p);
}

void TFrmInfo::FormShow(TObject*) {
  FillLists();
  placeChosen_ = false;
  UpDyear->SetPosition(record.year);
  EdtYear->SetText(IntToStr(ShownYear(record.year)));
  cbom->SetItemIndex(record.month - 1);
  cbod->SetItemIndex(record.day - 1);
  cbos->SetItemIndex(record.hour);
  cbomin->SetItemIndex(record.minute);
  Rdogl->SetChecked(record.lunar == 0);
  Rdonl->SetChecked(record.lunar != 0);
  Chkrun->SetChecked(record.leapMonth != 0);
  Rdona->SetChecked(record.male != 0);
  Rdonv->SetChecked(record.male == 0);
  Edtname->SetText(FieldText(record.name));
  cbodiZ->SetItemIndex(record.provinceIndex);
  cbodiZClick(cbodiZ);
  placeChosen_ = false;  // showing the stored place is no new choice
  cbodiC->SetItemIndex(record.cityIndex >= 0 && record.cityIndex < cbodiC->Items().Count() ? record.cityIndex : 0);
  Memo1->SetText(FieldText(record.note));
  CboFenLei->SetText(FieldText(record.category));
}

void TFrmInfo::cbodiZClick(TObject*) {
  int p = cbodiZ->ItemIndex();
  if (p < 0) return;
  cbodiC->Items().Clear();
  if (p == kProvinceCount - 1) {
    cbodiC->Items().Add(ProvinceNames().back());
  } else {
    TIniFile places(programFolder_ + "dat\\dili.ini");
    TStringList keys;
    places.ReadSection(ProvinceNames()[static_cast<size_t>(p)], keys);
    for (int i = 0; i < keys.Count(); ++i) cbodiC->Items().Add(keys[i]);
  }
  if (cbodiC->Items().Count() > 0) cbodiC->SetItemIndex(0);
  cbodiCClick(cbodiC);
}

// A place chosen here brings its coordinates, so the case is analysed where it was born.
void TFrmInfo::cbodiCClick(TObject*) {
  int p = cbodiZ->ItemIndex();
  int c = cbodiC->ItemIndex();
  if (p < 0 || c < 0 || p == kProvinceCount - 1) return;
  TIniFile places(programFolder_ + "dat\\dili.ini");
  std::string value = places.ReadString(ProvinceNames()[static_cast<size_t>(p)], cbodiC->Items()[c], "120:0*30:0");
  placeChosen_ = PlaceCoordinates(value, longitude_, latitude_);
}

void TFrmInfo::UpDyearClick(TObject*, TUDBtnType) { EdtYear->SetText(IntToStr(ShownYear(UpDyear->Position()))); }

// Steps of the save: the record takes the fields before the note and category checks.
bool TFrmInfo::TakeFields() {
  int year = TypedYearOf(EdtYear->Text());
  if (!TypedYearValid(year, -849)) {
    CaseBox(kYearRangeText, "年份错误", MB_OK | MB_ICONWARNING);
    SetFocus(EdtYear->Handle());
    return false;
  }
  record.year = static_cast<int16_t>(StoredYear(year));
  UpDyear->SetPosition(record.year);
  record.month = static_cast<int16_t>(std::max(0, cbom->ItemIndex()) + 1);
  record.day = static_cast<int16_t>(std::max(0, cbod->ItemIndex()) + 1);
  record.hour = static_cast<int16_t>(std::max(0, cbos->ItemIndex()));
  record.minute = static_cast<int16_t>(std::max(0, cbomin->ItemIndex()));
  record.lunar = Rdonl->Checked() ? 1 : 0;
  record.leapMonth = Chkrun->Checked() ? 1 : 0;
  record.male = Rdona->Checked() ? 1 : 0;
  record.provinceIndex = static_cast<int16_t>(std::max(0, cbodiZ->ItemIndex()));
  record.cityIndex = static_cast<int16_t>(std::max(0, cbodiC->ItemIndex()));
  if (placeChosen_) {
    record.longitude = longitude_;
    record.latitude = latitude_;
  }
  // A stored place off the globe (a damaged or imported record) is not kept by a save.
  if (!BirthPlaceValid(record.longitude, record.latitude)) {
    CaseBox(std::string(kBirthPlaceRangeText) + "，请重新选择出生地点", "输入错误", MB_OK | MB_ICONERROR);
    SetFocus(cbodiC->Handle());
    return false;
  }
  ::SetText(record.name, Edtname->Text());
  int c = cbodiC->ItemIndex();
  SetPlace(record, record.provinceIndex, c >= 0 ? cbodiC->Items()[c] : std::string());
  SetNote(record, Memo1->Text());
  return true;
}

void TFrmInfo::BitBtn1Click(TObject*) {
  if (!CaseAskYes("确定要保存修改吗？", "提示")) return;
  if (Edtname->Text().empty()) {
    CaseBox("姓名不能为空", "提示", MB_OK | MB_ICONINFORMATION);
    return;
  }
  if (!TakeFields()) return;
  if (FieldText(record.note).empty()) {
    CaseBox("附加信息不能为空", "错误", MB_OK | MB_ICONERROR);
    return;
  }
  std::string category = Trim(CboFenLei->Text());
  if (!CategoryNameValid(category)) {
    CaseBox(category.empty() ? "类别不能为空" : "类别名不能为空，并且最多可以有6个汉字！", "错误",
            MB_OK | MB_ICONERROR);
    return;
  }
  ::SetText(record.category, category);
  ModalResult = mrOk;
}
