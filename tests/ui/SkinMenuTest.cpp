// The main window's skin menu: the items the skins folder gives, a choice applied to the
// window and kept in init.ini, the plain look, and the saved choice applied at start-up,
// the menu itself made once the window is painted.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "classlib/ComCtrls.h"
#include "classlib/Files.h"
#include "classlib/Gbk.h"
#include "classlib/Menus.h"
#include "classlib/TIniFile.h"
#include "skin/PackageBuilder.h"
#include "skin/WinConvert.h"
#include "skin/WinSkinData.h"
#include "skin/WinSkinDlg.h"
#include "skin/WinSkinFrame.h"
#include "support/Gui.h"
#include "support/ProgramCopy.h"
#include "support/TempFolder.h"
#include "ui/ModalDriver.h"
#include "ui/Uinput.h"
#include "ui/Untmain.h"

namespace {

using gbk::U;

std::string ShippedSkin(const std::string& name) {
  return std::string(TORVIK_PROGRAM_DIR) + "\\skins\\" + name + ".skn";
}

std::vector<std::string> Captions(const TMenuItem* menu) {
  std::vector<std::string> c;
  for (int i = 0; i < menu->Count(); ++i) c.push_back(menu->Items(i)->Caption());
  return c;
}

TMenuItem* Item(const TMenuItem* menu, const std::string& caption) {
  for (int i = 0; i < menu->Count(); ++i) {
    if (menu->Items(i)->Caption() == caption) return menu->Items(i);
  }
  return nullptr;
}

std::vector<std::string> Checked(const TMenuItem* menu) {
  std::vector<std::string> c;
  for (int i = 0; i < menu->Count(); ++i) {
    if (menu->Items(i)->Checked()) c.push_back(menu->Items(i)->Caption());
  }
  return c;
}

class SkinMenu : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Title = "Riveri 3.5";
    file::CreateDir(temp.Path("dat"));
    file::CreateDir(temp.Path("skins"));
  }
  void TearDown() override {
    delete frm;
    FreeSkinManager();
  }
  void AddSkin(const std::string& shipped, const std::string& as) {
    ASSERT_TRUE(file::Copy(ShippedSkin(shipped), temp.Path("skins\\" + as), false));
  }
  // The main window over the temporary program folder, without its data files.
  void MakeWindow() {
    frm = new TFrmMain(Application, temp.Dir());
    frm->OnShow = nullptr;
    IniFile = new TIniFile(temp.Path("dat\\init.ini"));
  }
  bool Skinned() { return SkinFormOf(frm->Handle()) != nullptr; }
  TIniFile Ini() { return TIniFile(temp.Path("dat\\init.ini")); }

  TApplication app;
  TempFolder temp;
  TFrmMain* frm = nullptr;
};

TEST_F(SkinMenu, ItemsComeFromTheSkinsFolder) {
  struct Row {
    const char* name;
    std::vector<std::string> files;
    std::vector<std::string> captions;
  };
  const Row rows[] = {
      {"empty folder", {}, {}},
      {"other files only", {"notes.txt"}, {}},
      {"two skins", {"a.b.skn", "Ink.skn", "notes.txt"}, {"Ink", "a", "-", U("系统默认")}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    TempFolder folder;
    file::CreateDir(folder.Path("skins"));
    for (const std::string& f : row.files) ASSERT_TRUE(file::WriteAtomic(folder.Path("skins\\" + f), "x"));
    MakeWindow();
    AppDir = folder.Dir();
    frm->BuildSkinMenu(frm->Opt_Skin);
    EXPECT_EQ(Captions(frm->Opt_Skin), row.captions);
    delete frm;
    frm = nullptr;
  }
}

TEST_F(SkinMenu, ChoosingSkinsAndThePlainLook) {
  AddSkin("Mx1", "Mx1.skn");
  AddSkin("Ink", "Ink.skn");
  AddSkin("Plain", "Plain.skn");
  MakeWindow();
  frm->ApplySavedSkin();
  frm->FillSkinMenu(frm->Opt_Skin);
  TMenuItem* menu = frm->Opt_Skin;
  EXPECT_EQ(Checked(menu), std::vector<std::string>{U("系统默认")});
  frm->Show();
  gui::Pump(300);
  EXPECT_FALSE(Skinned());
  gui::SaveScreenshot(frm->Handle(), gui::ScreenshotPath("main-plain.png"));

  for (const char* name : {"Ink", "Plain", "Mx1"}) {
    SCOPED_TRACE(name);
    frm->SkinItemClick(Item(menu, name));
    gui::Pump(400);
    EXPECT_TRUE(Skinned());
    EXPECT_TRUE(frm->SkinData->GetActive());
    EXPECT_EQ(Checked(menu), std::vector<std::string>{name});
    EXPECT_EQ(Ini().ReadString("window", "skinname", ""), name);
    EXPECT_TRUE(Ini().ReadBool("window", "skined", false));
    gui::SaveScreenshot(frm->Handle(), gui::ScreenshotPath(std::string("main-") + name + ".png"));
  }

  frm->SkinItemClick(Item(menu, U("系统默认")));
  gui::Pump(400);
  EXPECT_FALSE(Skinned());
  EXPECT_FALSE(frm->SkinData->GetActive());
  EXPECT_EQ(Checked(menu), std::vector<std::string>{U("系统默认")});
  EXPECT_FALSE(Ini().ReadBool("window", "skined", true));
  EXPECT_EQ(Ini().ReadString("window", "skinname", ""), "Mx1");

  // A package removed after start-up is said, and the choice is not written.
  ASSERT_TRUE(file::Delete(temp.Path("skins\\Ink.skn")));
  std::string said;
  modal::Driver driver({modal::Answer("", IDOK, said)});
  frm->SkinItemClick(Item(menu, "Ink"));
  EXPECT_EQ(said, U("对应的皮肤文件已经丢失，请关闭软件，再重新打开软件！"));
  EXPECT_EQ(Checked(menu), std::vector<std::string>{"Ink"});
  EXPECT_FALSE(Ini().ReadBool("window", "skined", true));
  gui::Pump(400);
  EXPECT_FALSE(Skinned());
}

using gui::ScreenPixel;

// A point near a control's right end, beside its text.
COLORREF BesideTheText(HWND h) {
  RECT r{};
  GetClientRect(h, &r);
  return ScreenPixel(h, r.right - 3, r.bottom / 2);
}

// With the dictionary page shown, a skin chosen at run time paints the tab strip on its
// face, and the birth dialog opened then shows its labels and check box on the face.
TEST_F(SkinMenu, ASkinChosenAtRunTimeShowsItsFaceUnderTabsLabelsAndCheckBoxes) {
  for (const char* name : {"Mx1", "Ink", "Plain"}) AddSkin(name, std::string(name) + ".skn");
  MakeWindow();
  frm->ApplySavedSkin();
  frm->FillSkinMenu(frm->Opt_Skin);
  frm->Show();
  auto* dictionary = dynamic_cast<TTabSheet*>(frm->FindComponent("PageDict"));
  ASSERT_NE(dictionary, nullptr);
  frm->PageControl1->SetActivePageIndex(dictionary->PageIndex());
  gui::Pump(300);
  for (const char* name : {"Mx1", "Ink", "Plain"}) {
    SCOPED_TRACE(name);
    frm->SkinItemClick(Item(frm->Opt_Skin, name));
    gui::Pump(500);
    ASSERT_TRUE(Skinned());
    const COLORREF face = ColorToRGB(frm->SkinData->SchemeColors[csButtonFace]);
    if (frm->SkinData->Tabs) {
      HWND tabs = frm->PageControl1->Handle();
      const int n = static_cast<int>(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0));
      RECT last{};
      SendMessageW(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(n - 1), reinterpret_cast<LPARAM>(&last));
      EXPECT_EQ(ScreenPixel(tabs, last.right + 20, last.top + 4), face) << "tab strip";
    }
    BirthRecord birth{};
    std::string place;
    TFrmInput dlg(Application, birth, place);
    bool looked = false;
    modal::Driver d({[&] {
      if (!IsWindowVisible(dlg.Handle()) || !SkinFormOf(dlg.Handle())) return false;
      gui::Pump(300);
      auto* label = dynamic_cast<TControl*>(dlg.FindComponent("LblPlace"));
      EXPECT_NE(label, nullptr);
      if (label) {
        EXPECT_EQ(BesideTheText(label->Handle()), face) << "label";
      }
      EXPECT_EQ(BesideTheText(dlg.Chkrun->Handle()), face) << "check box";
      gui::SaveScreenshot(dlg.Handle(), gui::ScreenshotPath(std::string("input-") + name + ".png"));
      looked = true;
      dlg.ModalResult = mrCancel;
      return true;
    }});
    dlg.ShowModal();
    EXPECT_TRUE(looked);
  }
}

TEST_F(SkinMenu, APackageOfUnknownVersionIsSaidOnceAndTheSkinInUseStays) {
  AddSkin("Ink", "Ink.skn");
  std::string packed;
  TLZH::Compress(skintest::Content(12345, {{"skin.ini", "[Title]"}}), packed);
  ASSERT_TRUE(file::WriteAtomic(temp.Path("skins\\Bad.skn"), packed));
  MakeWindow();
  frm->ApplySavedSkin();
  frm->FillSkinMenu(frm->Opt_Skin);
  TMenuItem* menu = frm->Opt_Skin;
  frm->Show();
  gui::Pump(300);
  frm->SkinItemClick(Item(menu, "Ink"));
  gui::Pump(400);
  ASSERT_TRUE(Skinned());

  std::set<HWND> boxes;
  std::string said;
  TTimer answer(nullptr);
  answer.SetInterval(100);
  answer.OnTimer = [&](TObject*) {
    if (HWND box = gui::WaitTopWindow(GetCurrentProcessId(), "#32770", "", 0)) {
      if (boxes.insert(box).second) said = modal::MessageText(box);
      PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
  };
  frm->SkinItemClick(Item(menu, "Bad"));
  gui::Pump(800);
  answer.SetEnabled(false);
  EXPECT_EQ(boxes.size(), 1u);
  EXPECT_NE(said.find(U("此文件版本不同")), std::string::npos) << said;
  EXPECT_EQ(SendMessageW(frm->Handle(), CN_IsSkinned, 0, 0), 1);
  EXPECT_TRUE(frm->SkinData->GetActive());
  EXPECT_FALSE(frm->SkinData->SkinEmpty);
  EXPECT_EQ(Checked(menu), std::vector<std::string>{"Ink"});
  EXPECT_EQ(Ini().ReadString("window", "skinname", ""), "Ink");
}

// The start puts the saved skin on before the first paint and leaves the menu to the
// first moment after it: the shown window has no skin items until its messages run.
TEST_F(SkinMenu, TheStartFillsTheMenuOnceTheWindowIsPainted) {
  ProgramCopy folder;
  folder.Add("skins");
  {
    TIniFile ini(folder.Path("dat\\init.ini"));
    ini.WriteBool("window", "skined", true);
    ini.WriteString("window", "skinname", "Ink");
  }
  frm = new TFrmMain(Application, folder.Dir());
  frm->Show();
  EXPECT_EQ(frm->Opt_Skin->Count(), 0);
  EXPECT_TRUE(frm->SkinData->GetActive());
  EXPECT_FALSE(frm->SkinData->SkinEmpty) << "the saved skin is loaded for the first paint";
  gui::Pump(400);
  EXPECT_EQ(Captions(frm->Opt_Skin), (std::vector<std::string>{"Ink", "Mx1", "Plain", "-", U("系统默认")}));
  EXPECT_EQ(Checked(frm->Opt_Skin), std::vector<std::string>{"Ink"});
  EXPECT_TRUE(Skinned());
  frm->Close();
}

TEST_F(SkinMenu, StartUpAppliesTheSavedChoice) {
  struct Row {
    const char* saved;  // nullptr: no skin chosen
    bool skinned;
    std::vector<std::string> ticked;
  };
  const Row rows[] = {{"Ink", true, {"Ink"}}, {"gone", false, {}}, {nullptr, false, {U("系统默认")}}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.saved ? row.saved : "plain");
    TempFolder folder;
    file::CreateDir(folder.Path("dat"));
    file::CreateDir(folder.Path("skins"));
    ASSERT_TRUE(file::Copy(ShippedSkin("Ink"), folder.Path("skins\\Ink.skn"), false));
    {
      TIniFile ini(folder.Path("dat\\init.ini"));
      ini.WriteBool("window", "skined", row.saved != nullptr);
      if (row.saved) ini.WriteString("window", "skinname", row.saved);
    }
    frm = new TFrmMain(Application, folder.Dir());
    frm->OnShow = nullptr;
    IniFile = new TIniFile(folder.Path("dat\\init.ini"));
    frm->ApplySavedSkin();
    frm->FillSkinMenu(frm->Opt_Skin);
    frm->Show();
    gui::Pump(400);
    EXPECT_EQ(Skinned(), row.skinned);
    EXPECT_EQ(frm->SkinData->SkinEmpty, !row.skinned);
    EXPECT_EQ(Checked(frm->Opt_Skin), row.ticked);
    delete frm;
    frm = nullptr;
    FreeSkinManager();
  }
}

}  // namespace
