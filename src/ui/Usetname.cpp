#include "ui/Usetname.h"

#include <algorithm>

#include "classlib/Gbk.h"
#include "classlib/Layout.h"
#include "classlib/StrUtils.h"
#include "ui/Untmain.h"
#include "ui/Untpianpang.h"

namespace {

using gbk::U;

// clang-format off
const LayoutRow kLayout[] = {
  {New<TLabeledEdit>,  "LedtXing",   "姓氏",          48,   8,  80,  22, "",          alNone},
  {New<TRadioGroup>,   "RdoNameLen", "名字字数",       8,  36, 250,  44, "",          alNone},
  {New<TRadioGroup>,   "RdoSex",     "性别",           8,  84, 250,  44, "",          alNone},
  {New<TRadioGroup>,   "RdoJiWord",  "只用吉字",       8, 132, 250,  44, "",          alNone},
  {New<TGroupBox>,     "GrpWuXing",  "补助五行",       8, 182, 100, 136, "",          alNone},
  {New<TCheckListBox>, "CBoxWuXing", "",               8,  18,  84, 110, "GrpWuXing", alNone},
  {New<TGroupBox>,     "GrpNumber",  "数理吉凶",     116, 182, 142, 136, "",          alNone},
  {New<TCheckListBox>, "ChkNumber",  "",               8,  18, 126, 110, "GrpNumber", alNone},
  {New<TGroupBox>,     "GrpFormula", "起名方式",     268,   8, 244,  50, "",          alNone},
  {New<TComboBox>,     "CboFormula", "",               8,  18, 228,  22, "GrpFormula", alNone},
  {New<TGroupBox>,     "GrpPian",    "指定偏旁",     268,  62, 244,  50, "",          alNone},
  {New<TButton>,       "BtoPian",    "选择名字偏旁",   8,  18, 120,  24, "GrpPian",   alNone},
  {New<TLabeledEdit>,  "EdtExclude", "禁忌字",       324, 120, 188,  22, "",          alNone},
  {New<TLabeledEdit>,  "EdtOneWord", "名第一字",     324, 148,  60,  22, "",          alNone},
  {New<TComboBox>,     "CboCharset", "",             268, 178, 118,  22, "",          alNone},
  {New<TComboBox>,     "CboLibrary", "",             394, 178, 118,  22, "",          alNone},
  {New<TMemo>,         "MeoDec",     "",             268, 208, 244, 110, "",          alNone},
  {New<TButton>,       "BitBtn1",    "起名",         344, 328,  80,  26, "",          alNone},
  {New<TButton>,       "BitBtn2",    "取消",         432, 328,  80,  26, "",          alNone},
};
// clang-format on

void AddItems(TItemStrings& items, std::initializer_list<const char*> texts) {
  for (const char* t : texts) items.Add(U(t));
}

}  // namespace

TFrmSetName::TFrmSetName(TComponent* owner) : TForm(owner) {
  Name = "FrmSetName";
  SetText(U("起名条件"));
  BorderStyle = bsDialog;
  Position = poScreenCenter;
  SetClientSize(520, 362);
  TLayout layout(this, this, kLayout);
  layout.Bind(LedtXing, "LedtXing");
  layout.Bind(RdoNameLen, "RdoNameLen");
  layout.Bind(RdoSex, "RdoSex");
  layout.Bind(RdoJiWord, "RdoJiWord");
  layout.Bind(CBoxWuXing, "CBoxWuXing");
  layout.Bind(ChkNumber, "ChkNumber");
  layout.Bind(CboFormula, "CboFormula");
  layout.Bind(BtoPian, "BtoPian");
  layout.Bind(EdtExclude, "EdtExclude");
  layout.Bind(EdtOneWord, "EdtOneWord");
  layout.Bind(CboCharset, "CboCharset");
  layout.Bind(CboLibrary, "CboLibrary");
  layout.Bind(MeoDec, "MeoDec");
  layout.Bind(BitBtn1, "BitBtn1");
  layout.Bind(BitBtn2, "BitBtn2");

  for (TLabeledEdit* e : {LedtXing, EdtExclude, EdtOneWord}) e->SetLabelPosition(lpLeft);
  // Bytes of GBK, as the conditions keep them: what the fields show is what is used.
  LedtXing->MaxLength = 4;
  EdtExclude->MaxLength = 40;
  EdtOneWord->MaxLength = 2;
  RdoNameLen->SetColumns(2);
  for (const char* t : {"一字名", "两字名"}) RdoNameLen->AddItem(U(t));
  RdoSex->SetColumns(3);
  for (const char* t : {"男性名", "女性名", "不区分"}) RdoSex->AddItem(U(t));
  RdoJiWord->SetColumns(2);
  for (const char* t : {"是", "否"}) RdoJiWord->AddItem(U(t));
  AddItems(CBoxWuXing->Items(), {"水", "木", "火", "土", "金"});
  AddItems(ChkNumber->Items(), {"天格吉", "人格吉", "地格吉", "总格吉", "外格吉", "三才配置吉"});
  for (TComboBox* c : {CboFormula, CboCharset, CboLibrary}) c->Style = csDropDownList;
  AddItems(CboFormula->Items(), {"最佳公式法起名", "优选公式法起名", "普通方式起名"});
  AddItems(CboCharset->Items(), {"查找：常用字", "查找：整个字库"});
  AddItems(CboLibrary->Items(), {"超级字库", "快速字库"});
  MeoDec->ReadOnly = true;
  BitBtn1->ModalResult = mrOk;
  BitBtn2->ModalResult = mrCancel;

  CboFormula->OnClick = [this](TObject* s) { CboFormulaClick(s); };
  CboCharset->OnClick = [this](TObject* s) { CboCharsetChange(s); };
  BtoPian->OnClick = [this](TObject* s) { BtoPianClick(s); };
  BitBtn1->OnClick = [this](TObject* s) { BitBtn1Click(s); };
  OnShow = [this](TObject* s) { FormShow(s); };
  DoCreate();
}

void TFrmSetName::FormShow(TObject*) {
  const NamingConditions& c = *conditions;
  LedtXing->SetText(FieldText(c.surname));
  RdoNameLen->SetItemIndex(c.givenLength - 1);
  RdoSex->SetItemIndex(c.sex - 1);
  RdoJiWord->SetItemIndex(c.allowBadChars);
  for (int i = 0; i < 5; ++i) CBoxWuXing->SetChecked(i, (c.elementMask >> i) & 1);
  for (int i = 0; i < 5; ++i) ChkNumber->SetChecked(i, c.gridGood[i] == 1);
  ChkNumber->SetChecked(5, c.talentsGood == 1);
  EdtOneWord->SetText(FieldText(c.firstChar));
  CboFormula->SetItemIndex(c.formula);
  EdtExclude->SetText(FieldText(c.excluded));
  CboCharset->SetItemIndex(c.charset);
  CboLibrary->SetItemIndex(c.library);
  CboFormulaClick(nullptr);
}

void TFrmSetName::CboFormulaClick(TObject*) {
  // The two formulas choose stroke sets by themselves.
  bool ordinary = CboFormula->ItemIndex() == 2;
  ChkNumber->SetEnabled(ordinary);
  EdtOneWord->SetEnabled(ordinary);
}

void TFrmSetName::CboCharsetChange(TObject*) {
  if (CboCharset->ItemIndex() == 1) RdoSex->SetItemIndex(2);
}

void TFrmSetName::BtoPianClick(TObject*) {
  auto* picker = new TFrmPianPang(Application);
  picker->selection = FieldText(conditions->radicals);
  if (picker->ShowModal() == mrYes) {
    if (picker->selection.size() <= 40) {
      ::SetText(conditions->radicals, picker->selection);
    } else {
      ShowMessage(U("偏旁选择过多，只能最多选择20个偏旁！"));
      conditions->radicals[0] = '\0';
    }
  }
  delete picker;
}

bool TFrmSetName::Check() {
  if (Trim(LedtXing->Text()).empty()) {
    Application->MessageBox(U("请输入您的姓氏"), U("提示"), MB_OK | MB_ICONINFORMATION);
    ::SetFocus(LedtXing->Handle());
    return false;
  }
  std::string first = Trim(EdtOneWord->Text());
  if (first.empty()) return true;
  if (RdoNameLen->ItemIndex() != 1) {
    ShowMessage(U("必须是二字名，才能指定名字的第一字！"));
    RdoNameLen->SetItemIndex(1);
    return false;
  }
  CharRecord rec;
  if (first.size() != 2 || !WordLib.GetCharInfo(first, rec)) {
    ShowMessage(U("找不到这个输入的字符的笔画数！"));
    ::SetFocus(EdtOneWord->Handle());
    return false;
  }
  return true;
}

void TFrmSetName::BitBtn1Click(TObject*) {
  if (!Check()) {
    ModalResult = mrNone;
    return;
  }
  NamingConditions& c = *conditions;
  ::SetText(c.surname, Trim(LedtXing->Text()));
  c.givenLength = static_cast<uint8_t>(RdoNameLen->ItemIndex() + 1);
  c.sex = static_cast<uint8_t>(RdoSex->ItemIndex() + 1);
  c.elementMask = 0;
  for (int i = 0; i < 5; ++i)
    if (CBoxWuXing->Checked(i)) c.elementMask = static_cast<int16_t>(c.elementMask | (1 << i));
  c.allowBadChars = static_cast<uint8_t>(RdoJiWord->ItemIndex() == 1 ? 1 : 0);
  for (int i = 0; i < 5; ++i) c.gridGood[i] = ChkNumber->Checked(i) ? 1 : 0;
  c.talentsGood = ChkNumber->Checked(5) ? 1 : 0;
  c.formula = static_cast<uint8_t>(std::max(CboFormula->ItemIndex(), 0));
  ::SetText(c.firstChar, Trim(EdtOneWord->Text()));
  ::SetText(c.excluded, Trim(EdtExclude->Text()));
  c.charset = static_cast<uint8_t>(CboCharset->ItemIndex() == 1 ? 1 : 0);
  c.library = static_cast<uint8_t>(CboLibrary->ItemIndex() == 1 ? 1 : 0);
}
