#include "ui/Untendfo.h"

#include "classlib/Files.h"
#include "classlib/Gbk.h"
#include "classlib/Layout.h"
#include "classlib/TStringList.h"
#include "ui/Untmain.h"

namespace {

using gbk::U;

// clang-format off
const LayoutRow kLayout[] = {
  {New<TMemo>,     "Memo1",     "",                 8,   8, 344, 180, "", alNone},
  {New<TCheckBox>, "ChkAuto",   "加入到命稿尾部",   8, 204, 140,  20, "", alNone},
  {New<TButton>,   "Btnok",     "保存",           196, 200,  72,  26, "", alNone},
  {New<TButton>,   "BtnCancel", "取消",           278, 200,  72,  26, "", alNone},
};
// clang-format on

}  // namespace

TFrmEndfo::TFrmEndfo(TComponent* owner) : TForm(owner) {
  Name = "FrmEndfo";
  SetText(U("编辑尾部信息"));
  BorderStyle = bsDialog;
  Position = poScreenCenter;
  SetClientSize(360, 240);
  TLayout layout(this, this, kLayout);
  layout.Bind(Memo1, "Memo1");
  layout.Bind(ChkAuto, "ChkAuto");
  layout.Bind(Btnok, "Btnok");
  layout.Bind(BtnCancel, "BtnCancel");
  BtnCancel->ModalResult = mrCancel;
  Btnok->OnClick = [this](TObject* s) { BtnokClick(s); };
  OnShow = [this](TObject* s) { FormShow(s); };
  OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
  DoCreate();
}

void TFrmEndfo::FormShow(TObject*) {
  endInfoPath = AppDir + "dat\\EndInfo.txt";
  TStringList lines;
  if (file::Exists(endInfoPath) && lines.LoadFromFile(endInfoPath)) Memo1->SetText(lines.Text());
  settingsIni = std::make_unique<TIniFile>(AppDir + "dat\\set.ini");
  ChkAuto->SetChecked(settingsIni->ReadBool("set", "endinfo", false));
}

void TFrmEndfo::BtnokClick(TObject*) {
  if (Memo1->Text().empty()) {
    Application->MessageBox(U("输入不能为空"), U("信息"), MB_OK | MB_ICONINFORMATION);
    ::SetFocus(Memo1->Handle());
    return;
  }
  TStringList lines;
  lines.SetText(Memo1->Text());
  if (!lines.SaveToFile(endInfoPath) || !settingsIni->WriteBool("set", "endinfo", ChkAuto->Checked())) {
    Application->MessageBox(U("无法保存文件：") + endInfoPath, U("错误"), MB_OK | MB_ICONERROR);
    return;
  }
  ModalResult = mrOk;
}

void TFrmEndfo::FormClose(TObject*, TCloseAction&) { settingsIni.reset(); }
