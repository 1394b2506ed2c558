// The skin component and the skin menu: one item a package of "skins\", then the plain
// look; the choice is kept in [window] of "dat\init.ini".
#include "classlib/Files.h"
#include "classlib/Gbk.h"
#include "classlib/Menus.h"
#include "skin/WinSkinData.h"
#include "skin/WinSkinDlg.h"
#include "ui/Untmain.h"

namespace {

constexpr int kPlainTag = 1;

std::string SkinPath(const std::string& name) { return AppDir + "skins\\" + name + ".skn"; }

// A package "a.b.skn" is the skin "a".
std::string SkinName(const std::string& fileName) { return fileName.substr(0, fileName.find('.')); }

}  // namespace

void TFrmMain::BuildSkin() {
  UseSkinManager();
  SkinData = new TSkinData(this);
  SkinData->Name = "SkinData";
  SkinData->Loaded();
}

void TFrmMain::BuildSkinMenu(TMenuItem* menu) {
  const std::vector<std::string> files = file::List(AppDir + "skins\\", ".skn");
  for (const std::string& f : files) {
    auto* item = new TMenuItem(this);
    item->SetCaption(SkinName(f));
    item->OnClick = [this](TObject* s) { SkinItemClick(s); };
    menu->Add(item);
  }
  if (files.empty()) return;
  auto* line = new TMenuItem(this);
  line->SetCaption("-");
  menu->Add(line);
  auto* plain = new TMenuItem(this);
  plain->SetCaption(gbk::FromUtf8("系统默认"));
  plain->Tag = kPlainTag;
  plain->OnClick = [this](TObject* s) { SkinItemClick(s); };
  menu->Add(plain);
}

void TFrmMain::ApplySavedSkin() {
  if (IniFile->ReadBool("window", "skined", false)) {
    // A missing package loads nothing: the look stays plain.
    SkinData->LoadFromFile(SkinPath(IniFile->ReadString("window", "skinname", "Mx1")));
    SkinData->SetActive(true);
  } else {
    SkinData->SetActive(false);
  }
}

void TFrmMain::FillSkinMenu(TMenuItem* menu) {
  BuildSkinMenu(menu);
  if (IniFile->ReadBool("window", "skined", false)) {
    const std::string name = IniFile->ReadString("window", "skinname", "Mx1");
    for (int i = 0; i < menu->Count(); ++i) menu->Items(i)->SetChecked(menu->Items(i)->Caption() == name);
  } else if (menu->Count() >= 2) {
    menu->Items(menu->Count() - 1)->SetChecked(true);
  }
}

void TFrmMain::SkinItemClick(TObject* sender) {
  auto* item = static_cast<TMenuItem*>(sender);
  TMenuItem* menu = item->Parent();
  TMenuItem* before = nullptr;
  auto tick = [menu](TMenuItem* chosen) {
    for (int i = 0; menu && i < menu->Count(); ++i) menu->Items(i)->SetChecked(menu->Items(i) == chosen);
  };
  for (int i = 0; menu && i < menu->Count(); ++i) {
    if (menu->Items(i)->Checked()) before = menu->Items(i);
  }
  tick(item);
  if (item->Tag == kPlainTag) {
    SkinData->SetActive(false);
    Repaint();
    IniFile->WriteBool("window", "skined", false);
    return;
  }
  const std::string path = SkinPath(item->Caption());
  if (!file::Exists(path)) {
    ShowMessage(gbk::FromUtf8("对应的皮肤文件已经丢失，请关闭软件，再重新打开软件！"));
    return;
  }
  // A package that cannot be read is said once and not kept as the choice; the look in
  // use stays, and so does its tick.
  if (!SkinData->LoadFromFile(path)) {
    if (!SkinData->LastErrorShown()) ShowMessage(SkinData->LastError());
    tick(before);
    return;
  }
  SkinData->SetActive(true);
  IniFile->WriteString("window", "skinname", item->Caption());
  IniFile->WriteBool("window", "skined", true);
}
