#include "ui/Uinput.h"

#include "classlib/Gbk.h"
#include "classlib/Layout.h"
#include "classlib/StrUtils.h"
#include "classlib/TIniFile.h"
#include "engine/NameTables.h"
#include "ui/Untmain.h"

namespace {

using gbk::U;

// clang-format off
const LayoutRow kLayout[] = {
  {New<TLabel>,         "LblDate",  "出生时间",  12,  14,  60, 16, "",        alNone},
  {New<TEdit>,          "EdtYear",  "",          76,  10,  50, 22, "",        alNone},
  {New<TUpDown>,        "UpDyear",  "",         126,  10,  16, 22, "",        alNone},
  {New<TLabel>,         "LblYear",  "年",       146,  14,  16, 16, "",        alNone},
  {NewDropDownList<16>, "cbom",     "",         164,  10,  56, 22, "",        alNone},
  {NewDropDownList<16>, "cbod",     "",         224,  10,  56, 22, "",        alNone},
  {NewDropDownList<16>, "cbos",     "",          76,  40,  76, 22, "",        alNone},
  {NewDropDownList<16>, "cbomin",   "",         164,  40,  56, 22, "",        alNone},
  {New<TLabel>,         "LblPlace", "出生地点",  12,  74,  60, 16, "",        alNone},
  {NewDropDownList<16>, "cbodiZ",   "",          76,  70,  96, 22, "",        alNone},
  {NewDropDownList<16>, "cbodiC",   "",         176,  70, 104, 22, "",        alNone},
  {New<TGroupBox>,      "GrpSex",   "性别",      12, 100, 130, 44, "",        alNone},
  {New<TRadioButton>,   "Rdona",    "男",        12,  18,  50, 20, "GrpSex",  alNone},
  {New<TRadioButton>,   "Rdonv",    "女",        68,  18,  50, 20, "GrpSex",  alNone},
  {New<TGroupBox>,      "GrpDate",  "日期方式", 150, 100, 130, 44, "",        alNone},
  {New<TRadioButton>,   "Rdogl",    "公历",      12,  18,  52, 20, "GrpDate", alNone},
  {New<TRadioButton>,   "Rdonl",    "农历",      68,  18,  52, 20, "GrpDate", alNone},
  {New<TCheckBox>,      "Chkrun",   "农历闰月", 150, 150, 100, 20, "",        alNone},
  {New<TButton>,        "BitBtn1",  "确定",      76, 180,  72, 26, "",        alNone},
  {New<TButton>,        "BitBtn2",  "取消",     164, 180,  72, 26, "",        alNone},
};
// clang-format on

// Degrees and minutes "d:m" as degrees; the minutes follow the sign of the degrees.
bool ParseDegrees(const std::string& text, float& out) {
  size_t colon = text.find(':');
  if (colon == std::string::npos) return false;
  long long d = 0, m = 0;
  if (!TryStrToInt(Trim(text.substr(0, colon)), d) || !TryStrToInt(Trim(text.substr(colon + 1)), m)) return false;
  if (m < 0 || m >= 60) return false;
  bool negative = d < 0 || Trim(text.substr(0, colon)).starts_with('-');
  out = static_cast<float>(negative ? static_cast<double>(d) - m / 60.0 : static_cast<double>(d) + m / 60.0);
  return true;
}

int Clamp(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }

const std::string& ProvinceName(int index) {
  return ProvinceNames().at(static_cast<size_t>(Clamp(index, 0, kProvinceCount - 1)));
}

}  // namespace

bool ParsePlaceValue(const std::string& value, float& longitude, float& latitude) {
  size_t star = value.find('*');
  float lon = 0, lat = 0;
  if (star == std::string::npos || !ParseDegrees(value.substr(0, star), lon) ||
      !ParseDegrees(value.substr(star + 1), lat) || lon < -180 || lon > 180 || lat < -90 || lat > 90) {
    longitude = 120.0f;
    latitude = 30.0f;
    return false;
  }
  longitude = lon;
  latitude = lat;
  return true;
}

TFrmInput::TFrmInput(TComponent* owner, BirthRecord& birthRecord, std::string& place)
    : TForm(owner), birth(birthRecord), placeText(place) {
  Name = "FrmInput";
  SetText(U("输入生日"));
  BorderStyle = bsDialog;
  Position = poScreenCenter;
  SetClientSize(296, 216);
  BuildLayout();
  OnShow = [this](TObject* s) { FormShow(s); };
  DoCreate();
}

void TFrmInput::BuildLayout() {
  TLayout layout(this, this, kLayout);
  auto get = [&layout]<class T>(T*& slot, const char* name) { layout.Bind(slot, name); };
  get(EdtYear, "EdtYear");
  get(UpDyear, "UpDyear");
  get(cbom, "cbom");
  get(cbod, "cbod");
  get(cbos, "cbos");
  get(cbomin, "cbomin");
  get(cbodiZ, "cbodiZ");
  get(cbodiC, "cbodiC");
  get(GrpSex, "GrpSex");
  get(Rdona, "Rdona");
  get(Rdonv, "Rdonv");
  get(GrpDate, "GrpDate");
  get(Rdogl, "Rdogl");
  get(Rdonl, "Rdonl");
  get(Chkrun, "Chkrun");
  get(BitBtn1, "BitBtn1");
  get(BitBtn2, "BitBtn2");
  EdtYear->MaxLength = 4;
  UpDyear->SetRange(0, 200);
  cbodiC->Hint = U("选择邻近城市");
  cbodiC->ShowHint = true;
  BitBtn1->ModalResult = mrOk;
  BitBtn1->Default = true;
  BitBtn2->ModalResult = mrCancel;
  UpDyear->OnClick = [this](TObject* s, TUDBtnType) { UpDyearClick(s); };
  cbodiZ->OnSelect = [this](TObject* s) { cbodiZClick(s); };
  BitBtn1->OnClick = [this](TObject* s) { BitBtn1Click(s); };
}

void TFrmInput::FormShow(TObject*) {
  const NameTables::Texts& t = NameTables::Text();
  for (int m = 1; m <= 12; ++m) cbom->Items().Add(IntToStr(m) + U("月"));
  for (int d = 1; d <= 31; ++d) cbod->Items().Add(IntToStr(d) + U("日"));
  for (int h = 0; h < 24; ++h) {
    int k = h % 2 == 1 ? (h + 1) % 24 : h;
    cbos->Items().Add(IntToStr(h) + U("时") + t.BranchNames[static_cast<size_t>((k / 2 + 1) % 12)]);
  }
  for (int m = 0; m < 60; ++m) cbomin->Items().Add(IntToStr(m) + U("分"));
  for (int p = 0; p < kProvinceCount; ++p) cbodiZ->Items().Add(ProvinceName(p));

  UpDyear->SetPosition(Clamp(birth.year - 1900, 0, 200));
  EdtYear->SetText(IntToStr(UpDyear->Position() + 1900));
  cbom->SetItemIndex(Clamp(birth.month - 1, 0, 11));
  cbod->SetItemIndex(Clamp(birth.day - 1, 0, 30));
  cbos->SetItemIndex(Clamp(birth.hour, 0, 23));
  cbomin->SetItemIndex(Clamp(birth.minute, 0, 59));
  cbodiZ->SetItemIndex(Clamp(birth.provinceIndex, 0, kProvinceCount - 1));
  cbodiZClick(nullptr);
  if (cbodiC->Items().Count() > 0) cbodiC->SetItemIndex(Clamp(birth.cityIndex, 0, cbodiC->Items().Count() - 1));
  Rdonl->SetChecked(birth.lunar == 1);
  Rdogl->SetChecked(birth.lunar != 1);
  Chkrun->SetChecked(birth.leapMonth != 0);
  Rdona->SetChecked(birth.male == 1);
  Rdonv->SetChecked(birth.male != 1);
}

void TFrmInput::UpDyearClick(TObject*) { EdtYear->SetText(IntToStr(UpDyear->Position() + 1900)); }

void TFrmInput::cbodiZClick(TObject*) {
  int p = cbodiZ->ItemIndex();
  if (p < 0) return;
  longitudes.clear();
  latitudes.clear();
  cbodiC->Items().Clear();
  if (p == kProvinceCount - 1) {
    cbodiC->Items().Add(ProvinceName(p));
    longitudes.push_back(120.0f);
    latitudes.push_back(30.0f);
  } else {
    TIniFile ini(AppDir + "dat\\dili.ini");
    TIniFile::ReadingSession session(ini);
    TStringList keys;
    ini.ReadSection(ProvinceName(p), keys);
    for (int i = 0; i < keys.Count(); ++i) {
      float lon = 0, lat = 0;
      // A malformed value gives this place the default; the rest of the list still loads.
      ParsePlaceValue(ini.ReadString(ProvinceName(p), keys[i], "120:0*30:0"), lon, lat);
      cbodiC->Items().Add(keys[i]);
      longitudes.push_back(lon);
      latitudes.push_back(lat);
    }
  }
  if (cbodiC->Items().Count() > 0) cbodiC->SetItemIndex(0);
}

void TFrmInput::Refuse(const char* utf8, TWinControl* focus) {
  ModalResult = mrNone;
  ShowMessage(U(utf8));
  ::SetFocus(focus->Handle());
}

void TFrmInput::BitBtn1Click(TObject*) {
  long long y = StrToIntDef(Trim(EdtYear->Text()), 0);
  if (y < 1900 || y > 2100) return Refuse("年份在1900-2100年之间", EdtYear);
  int city = cbodiC->ItemIndex();
  if (city < 0 || city >= static_cast<int>(longitudes.size())) return Refuse("请选择出生地点", cbodiC);
  birth.year = static_cast<int16_t>(y);
  birth.month = static_cast<int16_t>(cbom->ItemIndex() + 1);
  birth.day = static_cast<int16_t>(cbod->ItemIndex() + 1);
  birth.hour = static_cast<int16_t>(cbos->ItemIndex());
  birth.minute = static_cast<int16_t>(cbomin->ItemIndex());
  birth.lunar = Rdonl->Checked() ? 1 : 0;
  birth.leapMonth = Chkrun->Checked() ? 1 : 0;
  birth.male = Rdona->Checked() ? 1 : 0;
  int p = cbodiZ->ItemIndex();
  birth.provinceIndex = static_cast<int16_t>(p);
  birth.cityIndex = static_cast<int16_t>(city);
  birth.longitude = longitudes[static_cast<size_t>(city)];
  birth.latitude = latitudes[static_cast<size_t>(city)];
  placeText = p == kProvinceCount - 1 ? U("未知。") : ProvinceName(p) + "-" + cbodiC->Items()[city] + ",";
}
