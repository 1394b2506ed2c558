#include "ui/Untset.h"

#include "classlib/Gbk.h"
#include "classlib/Layout.h"
#include "classlib/StrUtils.h"
#include "ui/Untmain.h"

namespace {

using gbk::U;

// clang-format off
const LayoutRow kLayout[] = {
  {New<TCheckBox>,    "ChkSave",    "提示保存",            16,  12, 200, 20, "",           alNone},
  {New<TCheckBox>,    "ChkZiShi",   "区分夜、早子时",      16,  36, 200, 20, "",           alNone},
  {New<TCheckBox>,    "ChkCongGe",  "分析使用从格",        16,  60, 200, 20, "",           alNone},
  {New<TCheckBox>,    "ChkScore",   "姓名高分制",          16,  84, 200, 20, "",           alNone},
  {New<TCheckBox>,    "ChkBianGe",  "变格时按格局取用神",  16, 108, 200, 20, "",           alNone},
  {New<TLabel>,       "LblDate",    "时间",                16, 138,  40, 16, "",           alNone},
  {NewDropDownList,  "CboSelDate", "",                    60, 134, 110, 22, "",           alNone},
  {New<TLabeledEdit>, "LedtLeft",   "文件左边距离",       108, 166,  62, 22, "",           alNone},
  {New<TGroupBox>,    "GrpWordLen", "汉字笔画数选择",      16, 196, 220, 52, "",           alNone},
  {NewDropDownList,  "CboWordLen", "",                    12,  20, 140, 22, "GrpWordLen", alNone},
  {New<TButton>,      "BitBtn1",    "设置",                40, 262,  72, 26, "",           alNone},
  {New<TButton>,      "BitBtn2",    "取消",               128, 262,  72, 26, "",           alNone},
};
// clang-format on

int ClampIndex(long long v, int count) { return v < 0 || v >= count ? 0 : static_cast<int>(v); }

}  // namespace

TFrmSet::TFrmSet(TComponent* owner) : TForm(owner) {
  Name = "FrmSet";
  SetText(U("设置"));
  BorderStyle = bsDialog;
  Position = poScreenCenter;
  SetClientSize(252, 300);
  BuildLayout();
  OnShow = [this](TObject* s) { FormShow(s); };
  OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
  DoCreate();
}

void TFrmSet::BuildLayout() {
  TLayout layout(this, this, kLayout);
  auto get = [&layout]<class T>(T*& slot, const char* name) { layout.Bind(slot, name); };
  get(ChkSave, "ChkSave");
  get(ChkZiShi, "ChkZiShi");
  get(ChkCongGe, "ChkCongGe");
  get(ChkScore, "ChkScore");
  get(ChkBianGe, "ChkBianGe");
  get(LblDate, "LblDate");
  get(CboSelDate, "CboSelDate");
  get(GrpWordLen, "GrpWordLen");
  get(CboWordLen, "CboWordLen");
  get(LedtLeft, "LedtLeft");
  get(BitBtn1, "BitBtn1");
  get(BitBtn2, "BitBtn2");
  for (const char* item : {"北京时间", "真太阳时", "地方时"}) CboSelDate->Items().Add(U(item));
  for (const char* item : {"康熙笔画", "简体笔画"}) CboWordLen->Items().Add(U(item));
  LedtLeft->SetLabelPosition(lpLeft);
  LedtLeft->MaxLength = 3;
  BitBtn1->ModalResult = mrOk;
  BitBtn1->Default = true;
  BitBtn2->ModalResult = mrCancel;
  BitBtn1->OnClick = [this](TObject* s) { BitBtn1Click(s); };
}

void TFrmSet::FormShow(TObject*) {
  settingsIni = std::make_unique<TIniFile>(AppDir + "dat\\set.ini");
  TIniFile& ini = *settingsIni;
  ChkSave->SetChecked(ini.ReadBool("set", "save", false));
  ChkZiShi->SetChecked(ini.ReadBool("set", "zishi", false));
  ChkCongGe->SetChecked(ini.ReadBool("set", "congGe", false));
  ChkScore->SetChecked(ini.ReadBool("set", "score", false));
  ChkBianGe->SetChecked(ini.ReadBool("set", "biange", true));
  CboSelDate->SetItemIndex(ClampIndex(ini.ReadInteger("set", "iDate", 0), 3));
  CboWordLen->SetItemIndex(ClampIndex(ini.ReadInteger("set", "iwordlen", 0), 2));
  LedtLeft->SetText(IntToStr(ini.ReadInteger("set", "ileft", 0)));
}

void TFrmSet::BitBtn1Click(TObject*) {
  long long m = StrToIntDef(Trim(LedtLeft->Text()), -1);
  if (m < 0 || m > 500) {
    ModalResult = mrNone;
    ShowMessage(U("文件左边距离在0－500之间。"));
    return;
  }
  TIniFile& ini = *settingsIni;
  bool ok =
      ini.WriteBool("set", "save", ChkSave->Checked()) && ini.WriteInteger("set", "iDate", CboSelDate->ItemIndex()) &&
      ini.WriteBool("set", "congGe", ChkCongGe->Checked()) && ini.WriteBool("set", "zishi", ChkZiShi->Checked()) &&
      ini.WriteInteger("set", "ileft", m) && ini.WriteBool("set", "score", ChkScore->Checked()) &&
      ini.WriteBool("set", "biange", ChkBianGe->Checked()) &&
      ini.WriteInteger("set", "iwordlen", CboWordLen->ItemIndex());
  if (!ok) {
    // A failed write is said, and the dialog stays open for another try.
    ModalResult = mrNone;
    Application->MessageBox(U("无法保存设置文件：") + ini.FileName(), U("错误"), MB_OK | MB_ICONERROR);
  }
}

void TFrmSet::FormClose(TObject*, TCloseAction&) { settingsIni.reset(); }
