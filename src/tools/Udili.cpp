#include "tools/Udili.h"

#include <map>

#include "cases/Caserules.h"
#include "classlib/Files.h"
#include "classlib/Gbk.h"
#include "classlib/StrUtils.h"
#include "classlib/TStringList.h"

namespace {

std::string U(const char* utf8) { return gbk::FromUtf8(utf8); }

enum Kind { kCombo, kLabel, kEdit, kButton };

struct Row {
  Kind kind;
  const char* name;
  const char* caption;  // a labelled edit's label
  int left, top, width, height;
  int maxLength;
};

// clang-format off
const Row kLayout[] = {
  {kCombo,  "CboSheng",    "",      8,   8, 116, 22, 0},
  {kCombo,  "CboShi",      "",    132,   8, 120, 22, 0},
  {kLabel,  "LblJing",     "经度",  8,  42,  32, 16, 0},
  {kEdit,   "LedtJingDu",  "度",   44,  38,  40, 22, 3},
  {kEdit,   "LedtJingFen", "分",  104,  38,  32, 22, 2},
  {kLabel,  "LblWei",      "纬度",  8,  72,  32, 16, 0},
  {kEdit,   "LedtWeiDu",   "度",   44,  68,  40, 22, 2},
  {kEdit,   "LedtWeiFen",  "分",  104,  68,  32, 22, 2},
  {kButton, "BtoEdit",     "修改", 176,  52,  72, 26, 0},
};
// clang-format on

constexpr int kSectionCount = kProvinceCount - 1;  // "未知地" has no section

TControl* Make(Kind kind, TComponent* owner) {
  switch (kind) {
    case kCombo: {
      auto* c = new TComboBox(owner);
      c->Style = csDropDownList;
      c->DropDownCount = 16;
      return c;
    }
    case kLabel:
      return new TLabel(owner);
    case kEdit:
      return new TLabeledEdit(owner);
    case kButton:
      return new TButton(owner);
  }
  return nullptr;
}

// Splits at the first separator; without one the first part is empty.
void SplitAt(const std::string& s, char sep, std::string& first, std::string& rest) {
  size_t at = s.find(sep);
  first = at == std::string::npos ? std::string() : s.substr(0, at);
  rest = at == std::string::npos ? s : s.substr(at + 1);
}

long long Number(TEdit* e, long long def) { return StrToIntDef(Trim(e->Text()), def); }

}  // namespace

TFrmDiLi::TFrmDiLi(TComponent* owner) : TForm(owner) {
  Name = "FrmDiLi";
  SetText(U("经纬度修改"));
  BorderStyle = bsDialog;
  Position = poScreenCenter;
  SetClientSize(260, 120);
  BuildLayout();
  OnCreate = [this](TObject* s) { FormCreate(s); };
  OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
  // The edits' labels are measured once their windows exist.
  OnShow = [this](TObject*) {
    for (TLabeledEdit* e : {LedtJingDu, LedtJingFen, LedtWeiDu, LedtWeiFen}) e->SetLabelPosition(lpRight);
  };
  DoCreate();
}

void TFrmDiLi::BuildLayout() {
  std::map<std::string, TControl*> made;
  for (const Row& r : kLayout) {
    TControl* c = Make(r.kind, this);
    c->Name = r.name;
    c->SetBounds(r.left, r.top, r.width, r.height);
    c->SetParent(this);
    if (auto* e = dynamic_cast<TLabeledEdit*>(c)) {
      e->EditLabel()->SetText(U(r.caption));
      e->SetLabelPosition(lpRight);
      e->MaxLength = r.maxLength;
    } else {
      c->SetText(U(r.caption));
    }
    made[r.name] = c;
  }
  auto get = [&made]<class T>(T*& slot, const char* name) { slot = static_cast<T*>(made.at(name)); };
  get(CboSheng, "CboSheng");
  get(CboShi, "CboShi");
  get(LblJing, "LblJing");
  get(LblWei, "LblWei");
  get(LedtJingDu, "LedtJingDu");
  get(LedtJingFen, "LedtJingFen");
  get(LedtWeiDu, "LedtWeiDu");
  get(LedtWeiFen, "LedtWeiFen");
  get(BtoEdit, "BtoEdit");
  LedtJingDu->SetText("120");
  CboSheng->OnSelect = [this](TObject* s) { CboShengClick(s); };
  CboShi->OnSelect = [this](TObject* s) { CboShiClick(s); };
  BtoEdit->OnClick = [this](TObject* s) { BtoEditClick(s); };
}

void TFrmDiLi::FormCreate(TObject*) {
  ini = std::make_unique<TIniFile>(IncludeTrailingBackslash(file::ProgramFolder()) + "dat\\dili.ini");
  for (int i = 0; i < kSectionCount; ++i) CboSheng->Items().Add(ProvinceNames()[static_cast<size_t>(i)]);
  CboSheng->SetItemIndex(0);
  CboShengClick(nullptr);
}

void TFrmDiLi::CboShengClick(TObject*) {
  int p = CboSheng->ItemIndex();
  if (p < 0) return;
  CboShi->Items().Clear();
  TStringList keys;
  ini->ReadSection(CboSheng->Items()[p], keys);
  for (int i = 0; i < keys.Count(); ++i) CboShi->Items().Add(keys[i]);
  if (CboShi->Items().Count() > 0) {
    CboShi->SetItemIndex(0);
    CboShiClick(nullptr);
  }
}

void TFrmDiLi::CboShiClick(TObject*) {
  int p = CboSheng->ItemIndex(), c = CboShi->ItemIndex();
  if (p < 0 || c < 0) return;
  std::string value = ini->ReadString(CboSheng->Items()[p], CboShi->Items()[c], "120:0*30:0");
  std::string lon, lat, d, m;
  SplitAt(value, '*', lon, lat);
  SplitAt(lon, ':', d, m);
  LedtJingDu->SetText(d);
  LedtJingFen->SetText(m);
  SplitAt(lat, ':', d, m);
  LedtWeiDu->SetText(d);
  LedtWeiFen->SetText(m);
}

void TFrmDiLi::BtoEditClick(TObject*) {
  int p = CboSheng->ItemIndex(), c = CboShi->ItemIndex();
  if (p < 0 || c < 0) return;
  const std::string& province = CboSheng->Items()[p];
  const std::string& place = CboShi->Items()[c];
  std::string ask = Format(U("确定要修改：%s%s 的经纬度数据吗？").c_str(), province.c_str(), place.c_str());
  if (Application->MessageBox(ask, U("注意了"), MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES) return;
  long long lonD = Number(LedtJingDu, -300), lonM = Number(LedtJingFen, -1);
  if (!(lonD > -180 && lonD < 180 && lonM >= 0 && lonM < 60)) {
    Application->MessageBox(U("经度在-180到180之间，分数在0-60之间"), U("输入错误"), MB_OK | MB_ICONERROR);
    return;
  }
  long long latD = Number(LedtWeiDu, -300), latM = Number(LedtWeiFen, -1);
  if (!(latD > -90 && latD < 90 && latM >= 0 && latM < 60)) {
    Application->MessageBox(U("纬度在-90到90之间，分数在0-60之间"), U("输入错误"), MB_OK | MB_ICONERROR);
    return;
  }
  std::string value = Format("%d:%d*", static_cast<int>(lonD), static_cast<int>(lonM)) +
                      Format("%d:%d", static_cast<int>(latD), static_cast<int>(latM));
  // A failed write is said; "完成" only follows a written file.
  if (!ini->WriteString(province, place, value)) {
    Application->MessageBox(U("无法保存文件：") + ini->FileName(), U("错误"), MB_OK | MB_ICONERROR);
    return;
  }
  ShowMessage(U("完成"));
}

void TFrmDiLi::FormClose(TObject*, TCloseAction&) { ini.reset(); }
