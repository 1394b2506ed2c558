#include "tools/Udili.h"

#include <utility>

#include "cases/Caserules.h"
#include "classlib/Files.h"
#include "classlib/Gbk.h"
#include "classlib/Layout.h"
#include "classlib/StrUtils.h"
#include "classlib/TStringList.h"

namespace {

using gbk::U;

// clang-format off
const LayoutRow kLayout[] = {
  {NewDropDownList<16>, "CboSheng",    "",       8,  8, 116, 22, "", alNone},
  {NewDropDownList<16>, "CboShi",      "",     132,  8, 120, 22, "", alNone},
  {New<TLabel>,         "LblJing",     "经度",   8, 42,  32, 16, "", alNone},
  {New<TLabeledEdit>,   "LedtJingDu",  "度",    44, 38,  40, 22, "", alNone},
  {New<TLabeledEdit>,   "LedtJingFen", "分",   104, 38,  32, 22, "", alNone},
  {New<TLabel>,         "LblWei",      "纬度",   8, 72,  32, 16, "", alNone},
  {New<TLabeledEdit>,   "LedtWeiDu",   "度",    44, 68,  40, 22, "", alNone},
  {New<TLabeledEdit>,   "LedtWeiFen",  "分",   104, 68,  32, 22, "", alNone},
  {New<TButton>,        "BtoEdit",     "修改", 176, 52,  72, 26, "", alNone},
};
// clang-format on

constexpr int kSectionCount = kProvinceCount - 1;  // "未知地" has no section

// Splits at the first separator; without one the first part is empty.
void SplitAt(const std::string& s, char sep, std::string& first, std::string& rest) {
  size_t at = s.find(sep);
  first = at == std::string::npos ? std::string() : s.substr(0, at);
  rest = at == std::string::npos ? s : s.substr(at + 1);
}

long long Number(TEdit* e, long long def) { return StrToIntDef(Trim(e->Text()), def); }

}  // namespace

TFrmDiLi::TFrmDiLi(TComponent* owner, std::string folder) : TForm(owner), programFolder(std::move(folder)) {
  Name = "FrmDiLi";
  SetText(U("经纬度修改"));
  BorderStyle = bsDialog;
  Position = poScreenCenter;
  SetClientSize(260, 120);
  BuildLayout();
  saved = Coordinates();  // an empty place table shows empty fields, and nothing is typed yet
  OnCreate = [this](TObject* s) { FormCreate(s); };
  OnCloseQuery = [this](TObject* s, bool& canClose) { FormCloseQuery(s, canClose); };
  OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
  DoCreate();
}

void TFrmDiLi::BuildLayout() {
  TLayout layout(this, this, kLayout);
  auto get = [&layout]<class T>(T*& slot, const char* name) { layout.Bind(slot, name); };
  get(CboSheng, "CboSheng");
  get(CboShi, "CboShi");
  get(LblJing, "LblJing");
  get(LblWei, "LblWei");
  get(LedtJingDu, "LedtJingDu");
  get(LedtJingFen, "LedtJingFen");
  get(LedtWeiDu, "LedtWeiDu");
  get(LedtWeiFen, "LedtWeiFen");
  get(BtoEdit, "BtoEdit");
  LedtJingDu->MaxLength = 3;
  for (TLabeledEdit* e : {LedtJingFen, LedtWeiDu, LedtWeiFen}) e->MaxLength = 2;
  for (TLabeledEdit* e : {LedtJingDu, LedtJingFen, LedtWeiDu, LedtWeiFen}) e->SetLabelPosition(lpRight);
  LedtJingDu->SetText("120");
  CboSheng->OnSelect = [this](TObject* s) { CboShengClick(s); };
  CboShi->OnSelect = [this](TObject* s) { CboShiClick(s); };
  BtoEdit->OnClick = [this](TObject* s) { BtoEditClick(s); };
}

void TFrmDiLi::FormCreate(TObject*) {
  const std::string folder = programFolder.empty() ? file::ProgramFolder() : programFolder;
  ini = std::make_unique<TIniFile>(IncludeTrailingBackslash(folder) + "dat\\dili.ini");
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
  saved = Coordinates();
}

std::string TFrmDiLi::Coordinates() {
  return LedtJingDu->Text() + ":" + LedtJingFen->Text() + "*" + LedtWeiDu->Text() + ":" + LedtWeiFen->Text();
}

// Esc and the close box close alike, but typed coordinates not yet saved are not
// thrown away without a word.
void TFrmDiLi::FormCloseQuery(TObject*, bool& canClose) {
  canClose = Coordinates() == saved || Application->MessageBox(U("经纬度的改动还没有保存，要放弃改动吗？"), U("注意了"),
                                                               MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
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
  saved = Coordinates();
  ShowMessage(U("完成"));
}

void TFrmDiLi::FormClose(TObject*, TCloseAction&) { ini.reset(); }
