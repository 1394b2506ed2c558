// The company page: names proposed by good stroke totals, and the reading of a name.
#include "classlib/Gbk.h"
#include "classlib/Layout.h"
#include "classlib/StrUtils.h"
#include "engine/Numberread.h"
#include "ui/Untmain.h"

namespace {

using gbk::U;

// clang-format off
const LayoutRow kLayout[] = {
  {New<TPanel>,        "PanCompany",    "",            0,   0, 500, 112, "",           alTop},
  {New<TLabeledEdit>,  "LedtGongCe",    "公司名称",   68,   8, 200,  22, "PanCompany", alNone},
  {New<TButton>,       "Button3",       "测名",      276,   7,  56,  24, "PanCompany", alNone},
  {New<TLabeledEdit>,  "LedtGongStart", "公司名前缀", 80,  40, 120,  22, "PanCompany", alNone},
  {New<TLabel>,        "LblGongLen",    "中间名",    208,  44,  44,  16, "PanCompany", alNone},
  {New<TComboBox>,     "CboGongLen",    "",          252,  40,  80,  22, "PanCompany", alNone},
  {New<TLabeledEdit>,  "LedtGongEnd",   "公司名后缀", 80,  72, 120,  22, "PanCompany", alNone},
  {New<TButton>,       "BtoGongSi",     "起名",      252,  71,  80,  24, "PanCompany", alNone},
  {New<TCheckListBox>, "CboWuXingGong", "",          344,   8,  72,  96, "PanCompany", alNone},
  {New<TMemo>,         "MeoCompany",    "",            0, 112, 500, 258, "",           alClient},
};
// clang-format on

}  // namespace

void TFrmMain::BuildCompanyPage() {
  TLayout layout(PageCompany, this, kLayout);
  layout.Bind(PanCompany, "PanCompany");
  layout.Bind(LedtGongCe, "LedtGongCe");
  layout.Bind(Button3, "Button3");
  layout.Bind(LedtGongStart, "LedtGongStart");
  layout.Bind(LblGongLen, "LblGongLen");
  layout.Bind(CboGongLen, "CboGongLen");
  layout.Bind(LedtGongEnd, "LedtGongEnd");
  layout.Bind(BtoGongSi, "BtoGongSi");
  layout.Bind(CboWuXingGong, "CboWuXingGong");
  layout.Bind(MeoCompany, "MeoCompany");

  PanCompany->BevelOuter = TPanel::bvNone;
  for (TLabeledEdit* e : {LedtGongCe, LedtGongStart, LedtGongEnd}) e->SetLabelPosition(lpLeft);
  LedtGongCe->SetText(U("某某市网络有限公司"));
  CboGongLen->Style = csDropDownList;
  for (const char* t : {"一字名", "二字名", "三字名", "四字名", "五字名", "六字名", "七字名", "八字名"})
    CboGongLen->Items().Add(U(t));
  CboGongLen->SetItemIndex(1);
  for (const char* t : {"水", "木", "火", "土", "金"}) CboWuXingGong->Items().Add(U(t));
  CboWuXingGong->Hint = U("包含的五行");
  CboWuXingGong->ShowHint = true;
  // Every character of several stroke counts outgrows an edit's default limit.
  MeoCompany->MaxLength = 0x7FFFFFFE;
  MeoCompany->ReadOnly = true;
  BtoGongSi->OnClick = [this](TObject* s) { BtoGongSiClick(s); };
  Button3->OnClick = [this](TObject* s) { Button3Click(s); };
}

void TFrmMain::BtoGongSiClick(TObject*) {
  std::string prefix = Trim(LedtGongStart->Text());
  std::string suffix = Trim(LedtGongEnd->Text());
  int n = CboGongLen->ItemIndex() + 1;
  int mask = 0;
  for (int i = 0; i < 5; ++i)
    if (CboWuXingGong->Checked(i)) mask |= 1 << i;
  BtoGongSi->SetEnabled(false);
  if (analyser->ProposeCompanyNames(prefix, suffix, mask, n > 0 ? n : 2))
    MeoCompany->SetText(prefix);
  else
    Application->MessageBox(analyser->LastError(), U("错误"), MB_OK | MB_ICONERROR);
  BtoGongSi->SetEnabled(true);
}

void TFrmMain::Button3Click(TObject*) {
  if (!WordLib.Open(0)) {
    ShowMessage(WordLib.LastError());
    return;
  }
  std::string s = Trim(LedtGongCe->Text());
  if (s.empty()) return;
  std::string text;
  if (!numberread::CompanyReading(s, numberread::DictionaryStrokes(WordLib, analyser->StrokeMode()), text)) {
    Ask("找不到其中的一个汉字", "提示", MB_OK | MB_ICONINFORMATION);
    return;
  }
  MeoCompany->SetText(text);
}
