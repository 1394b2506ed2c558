#include "ui/Untmain.h"

#include "classlib/Files.h"
#include "classlib/Gbk.h"
#include "classlib/StrUtils.h"

std::string AppDir;
TFrmMain* FrmMain = nullptr;

TFrmMain::TFrmMain(TComponent* owner) : TForm(owner) {
  Name = "FrmMain";
  SetText(Application ? Application->Title : std::string());
  SetBounds(10, 10, 640, 480);
  PanTop = new TPanel(this);
  PanTop->Name = "PanTop";
  PanTop->SetHeight(28);
  PanTop->SetParent(this);
  PanTop->SetAlign(alTop);
  PanTop->SetColor(0xC0CCD0);
  static const char* const kElements[5] = {"水", "木", "火", "土", "金"};
  for (int i = 0; i < 5; ++i) {
    txt[i] = new TLabel(this);
    txt[i]->Name = "txt" + std::to_string(i);
    txt[i]->SetText(gbk::FromUtf8(kElements[i]));
    txt[i]->SetBounds(8 + 28 * i, 6, 20, 16);
    txt[i]->Transparent = true;
    txt[i]->SetParent(PanTop);
  }
  OnCreate = [this](TObject* s) { FormCreate(s); };
  OnShow = [this](TObject* s) { FormShow(s); };
  OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
  DoCreate();
}

TFrmMain::~TFrmMain() = default;

void TFrmMain::FormCreate(TObject*) { AppDir = IncludeTrailingBackslash(file::ProgramFolder()); }

void TFrmMain::FormShow(TObject*) {
  for (int i = 0; i < 5; ++i) {
    TFont f = txt[i]->Font();
    f.Color = ElementColours[i];
    f.Bold = true;
    f.Size = 11;
    txt[i]->SetFont(f);
  }
}

void TFrmMain::FormClose(TObject*, TCloseAction&) {}
