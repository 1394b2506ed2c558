#include "cases/Caseform.h"

#include "classlib/Gbk.h"
#include "classlib/StrUtils.h"
#include "classlib/TIniFile.h"

namespace {

TControl* Make(TForm& form, CaseCtl kind) {
  switch (kind) {
    case CaseCtl::Label:
      return new TLabel(&form);
    case CaseCtl::Edit:
      return new TEdit(&form);
    case CaseCtl::LabeledEdit:
      return new TLabeledEdit(&form);
    case CaseCtl::Memo:
      return new TMemo(&form);
    case CaseCtl::Combo:
      return new TComboBox(&form);
    case CaseCtl::ComboList: {
      auto* c = new TComboBox(&form);
      c->Style = csDropDownList;
      return c;
    }
    case CaseCtl::Check:
      return new TCheckBox(&form);
    case CaseCtl::Radio:
      return new TRadioButton(&form);
    case CaseCtl::Button:
      return new TButton(&form);
    case CaseCtl::Group:
      return new TGroupBox(&form);
    case CaseCtl::UpDown:
      return new TUpDown(&form);
  }
  return nullptr;
}

}  // namespace

void BuildCaseLayout(TForm& form, std::span<const CaseLayoutRow> rows) {
  for (const CaseLayoutRow& r : rows) {
    TControl* c = Make(form, r.kind);
    c->Name = r.name;
    c->SetBounds(r.left, r.top, r.width, r.height);
    std::string caption = gbk::FromUtf8(r.caption);
    if (auto* le = dynamic_cast<TLabeledEdit*>(c)) {
      le->EditLabel()->SetText(caption);
    } else if (!caption.empty()) {
      c->SetText(caption);
    }
    TWinControl* parent = *r.parent ? CaseControl<TWinControl>(form, r.parent) : &form;
    c->SetParent(parent);
  }
}

int CaseBox(const std::string& utf8Text, const char* utf8Caption, UINT flags) {
  return Application->MessageBox(gbk::FromUtf8(utf8Text), gbk::FromUtf8(utf8Caption), flags);
}

bool CaseAskYes(const std::string& utf8Text, const char* utf8Caption, UINT icon) {
  return CaseBox(utf8Text, utf8Caption, MB_YESNO | icon) == IDYES;
}

void CaseMessage(const std::string& utf8Text) { ShowMessage(gbk::FromUtf8(utf8Text)); }

void FillCategories(TComboBox& box, TIniFile& ini, const std::string& fallback) {
  box.Items().Clear();
  int count = static_cast<int>(ini.ReadInteger("classes", "count", 0));
  for (int i = 1; i <= count; ++i) box.Items().Add(ini.ReadString("classes", IntToStr(i), fallback));
}
