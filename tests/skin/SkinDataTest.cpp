// The skin data component: our three skins and made-up packages read into skin objects,
// and what the component asks of the skin manager.
#include "skin/WinSkinData.h"

#include <gtest/gtest.h>

#include "classlib/Files.h"
#include "classlib/Forms.h"
#include "classlib/StdCtrls.h"
#include "skin/BitmapPixels.h"
#include "skin/PackageBuilder.h"
#include "skin/SkinRead.h"
#include "skin/WinConvert.h"
#include "skin/WinSkinForm.h"
#include "skin/WinSkinStore.h"
#include "support/TempFolder.h"

using skintest::Rgb;

namespace {

std::string SkinPath(const std::string& name) { return std::string(TORVIK_PROGRAM_DIR) + "\\skins\\" + name + ".skn"; }

// A package of one description and its images, compressed as a ".skn" file holds it.
std::string Package(const std::string& ini, std::vector<skintest::Entry> images = {}) {
  images.insert(images.begin(), {"skin.ini", ini});
  std::string packed;
  TLZH::Compress(skintest::Content(TSkinReader::kVersion20000, images), packed);
  return packed;
}

// Records every request the component makes of the manager.
class FakeManager : public TSkinManageLink {
 public:
  FakeManager() { SetSkinManagerLink(this); }
  ~FakeManager() override { SetSkinManagerLink(nullptr); }
  void AddSkinData(TSkinData*) override { log += "add;"; }
  void RemoveSkinData(TSkinData*) override { log += "remove;"; }
  void SetCurrentData(TSkinData* d) override { current = d; }
  void SetAction(int action, int ms) override {
    log += "action" + std::to_string(action) + "@" + std::to_string(ms) + ";";
  }
  void SetInstalled() override { installed = true; }
  bool Installed() const override { return installed; }
  void InstallHook() override { log += "hook;"; }
  void InstallThread(DWORD) override {}
  void UnInstallThread(DWORD) override {}
  void Enable(bool) override {}
  void CountInstalled() override {}
  bool AddForm(HWND) override { return false; }
  bool SkinForm(HWND) override { return false; }
  void ChangeForm(HWND, TSkinData*) override {}
  void DeleteSysbtn() override { log += "sysbtn;"; }
  void UpdateSkinControl(HWND, TControl*) override {}
  void AddNestForm(HWND, HWND) override {}
  void DeleteGraphicControl(HWND, TControl*) override {}
  void UpdateMenu(HWND) override {}
  void RebuildMenuBars() override {}
  std::string log;
  TSkinData* current = nullptr;
  bool installed = false;
};

struct OurSkin {
  const char* name;
  TColor buttonFace;
  int sysButtons;  // the skin's caption buttons and the three MDI buttons
  std::vector<const char*> present, absent;
};

const OurSkin kOurSkins[] = {
    {"Mx1",
     Rgb(232, 238, 246),
     5 + 3,
     {"Tabs",          "UpDownHorz",      "UpDownVert",      "SunkEdge",          "ExtraImages",
      "ComboButton",   "ComboxArrow",     "GroupBoxEdge",    "ToolBars",          "Progress",
      "ProgressChunk", "GroupBox",        "StatusBarEdges",  "TabPane",           "Headerbar",
      "MenuBar",       "MenuItem",        "MenuBackground",  "Scrollbar",         "HorzScroll",
      "VertScroll",    "HorzScrollThumb", "VertScrollThumb", "TrackbarThumbHorz", "TrackbarThumbVert"},
     {"TrackbarThumbLeft", "TrackbarThumbUp", "MinCaption"}},
    {"Ink",
     Rgb(58, 58, 64),
     5 + 3,
     {"Tabs", "SunkEdge", "ComboButton", "ComboxArrow", "TabPane", "MenuItem", "Scrollbar", "HorzScrollThumb",
      "Progress", "ProgressChunk", "UpDownHorz", "UpDownVert", "TrackbarThumbHorz"},
     {"TrackbarThumbLeft", "TrackbarThumbUp", "MinCaption"}},
    {"Plain",
     Rgb(236, 233, 216),
     5 + 3,
     {},
     {"Tabs", "SunkEdge", "ComboButton", "ComboxArrow", "MenuItem", "Scrollbar"}},
};

const TDataSkinObject* Field(const TSkinData& d, const std::string& name) {
  const std::pair<const char*, const TDataSkinObject*> fields[] = {
      {"Tabs", d.Tabs.get()},
      {"UpDownHorz", d.UpDownHorz.get()},
      {"UpDownVert", d.UpDownVert.get()},
      {"SunkEdge", d.SunkEdge.get()},
      {"ExtraImages", d.ExtraImages.get()},
      {"ComboButton", d.ComboButton.get()},
      {"ComboxArrow", d.ComboxArrow.get()},
      {"GroupBoxEdge", d.GroupBoxEdge.get()},
      {"ToolBars", d.ToolBars.get()},
      {"Progress", d.Progress.get()},
      {"ProgressChunk", d.ProgressChunk.get()},
      {"GroupBox", d.GroupBox.get()},
      {"StatusBarEdges", d.StatusBarEdges.get()},
      {"TabPane", d.TabPane.get()},
      {"Headerbar", d.Headerbar.get()},
      {"MenuBar", d.MenuBar.get()},
      {"MenuItem", d.MenuItem.get()},
      {"MenuBackground", d.MenuBackground.get()},
      {"Scrollbar", d.Scrollbar.get()},
      {"HorzScroll", d.HorzScroll.get()},
      {"VertScroll", d.VertScroll.get()},
      {"HorzScrollThumb", d.HorzScrollThumb.get()},
      {"VertScrollThumb", d.VertScrollThumb.get()},
      {"TrackbarThumbHorz", d.TrackbarThumbHorz.get()},
      {"TrackbarThumbVert", d.TrackbarThumbVert.get()},
      {"TrackbarThumbLeft", d.TrackbarThumbLeft.get()},
      {"TrackbarThumbUp", d.TrackbarThumbUp.get()},
      {"MinCaption", d.MinCaption.get()},
  };
  for (const auto& [n, o] : fields) {
    if (name == n) return o;
  }
  ADD_FAILURE() << "no field " << name;
  return nullptr;
}

TEST(SkinData, OurSkinsFillTheObjectsTheirDescriptionsName) {
  for (const OurSkin& s : kOurSkins) {
    SCOPED_TRACE(s.name);
    TSkinData d(nullptr);
    ASSERT_TRUE(d.LoadFromFile(SkinPath(s.name))) << d.LastError();
    EXPECT_FALSE(d.SkinEmpty);
    EXPECT_EQ(d.SkinName, s.name);
    EXPECT_EQ(d.SchemeColors[csButtonFace], s.buttonFace);
    EXPECT_EQ(d.SchemeColors[csMenuBar] == s.buttonFace, std::string(s.name) == "Plain") << "Menubar given or not";
    for (int i = 1; i <= 4; ++i) {
      SCOPED_TRACE(d.Border[i]->Name);
      EXPECT_FALSE(d.Border[i]->Image->Empty());
      EXPECT_EQ(d.Border[i]->Frame, 2);
    }
    EXPECT_EQ(static_cast<int>(d.SysButtons.size()), s.sysButtons);
    for (const char* name : s.present) {
      const TDataSkinObject* o = Field(d, name);
      ASSERT_TRUE(o) << name;
      EXPECT_FALSE(o->Image->Empty()) << name;
      EXPECT_GE(o->Frame, 1) << name;
      if (!o->Image->Empty()) {
        EXPECT_EQ(o->Image->Width() % o->Frame, 0) << name << ": whole frames";
      }
    }
    for (const char* name : s.absent) EXPECT_FALSE(Field(d, name)) << name;
    // Always there: the track (built in when the skin has none) and the tool bar gradient.
    ASSERT_TRUE(d.Track && d.TrackVert && d.Toolbar);
    EXPECT_EQ(d.Toolbar->Image->Width(), 10);
    EXPECT_EQ(d.Toolbar->Image->Height(), 40);
    const TBitmap& top = *d.Border[3]->Image;
    EXPECT_EQ(d.SchemeColors[csCaption], top.Pixel(top.Width() / 3, top.Height() / 2 / 3));
    EXPECT_TRUE(d.FaceBrush);
  }
}

TEST(SkinData, Mx1DetailsAsItsDescriptionSaysThem) {
  TSkinData d(nullptr);
  ASSERT_TRUE(d.LoadFromFile(SkinPath("Mx1")));
  EXPECT_EQ(d.Border[1]->TopHeight, 26);
  EXPECT_EQ(d.Border[1]->BottomHeight, 4);
  EXPECT_EQ(d.Border[3]->LeftWidth, 12);
  EXPECT_EQ(d.Border[3]->TopHeight, 0);
  EXPECT_EQ(d.Border[3]->Image->Height(), 52);
  EXPECT_EQ(d.Title->LeftWidth, 26);
  EXPECT_EQ(d.Title->RightWidth, 78);
  EXPECT_EQ(d.Title->ActiveText, Rgb(255, 255, 255));
  EXPECT_EQ(d.Title->InActiveText, Rgb(70, 80, 96));
  EXPECT_EQ(d.Title->FontHeight, 14);
  EXPECT_EQ(d.SchemeColors[csHilight], Rgb(51, 119, 204));
  EXPECT_EQ(d.SchemeColors[csSelectBg], 0) << "not read from a skin";
  ASSERT_EQ(d.PreColors.size(), 2u);
  EXPECT_EQ(d.PreColors[1], Rgb(150, 166, 190));
  EXPECT_EQ(d.CustomColors[9], Rgb(232, 238, 246));
  // Caption buttons in file order, then the MDI buttons cut from "MDICONTROLS" (192 / 12 = 16).
  EXPECT_EQ(d.SysButtons[0]->Name, "BUTTON0");
  EXPECT_EQ(d.SysButtons[0]->Frame, 4);
  // Maximize shows on a window that is not maximized, restore in its place on one that is.
  EXPECT_EQ(d.SysButtons[1]->Action, 1);
  EXPECT_EQ(d.SysButtons[1]->Visibility, 2);
  EXPECT_EQ(d.SysButtons[2]->Action, 1);
  EXPECT_EQ(d.SysButtons[2]->Visibility, 1);
  EXPECT_EQ(d.SysButtons[2]->Xcoord, d.SysButtons[1]->Xcoord);
  EXPECT_EQ(d.SysButtons[4]->Action, 3);
  for (int k = 0; k < 3; ++k) {
    SCOPED_TRACE(k);
    const TDataSkinSysButton& b = *d.SysButtons[5 + k];
    EXPECT_EQ(b.Action, 7 + k);
    EXPECT_EQ(b.Visibility, 100);
    EXPECT_EQ(b.Frame, 4);
    EXPECT_EQ(b.Image->Width(), 64);
    EXPECT_EQ(b.Xcoord, (3 - k) * 20);
  }
  // Buttons: five frames; the check and radio counts as the skin gives them.
  EXPECT_EQ(d.Buttons->Frame, 5);
  EXPECT_EQ(d.Buttons->CheckButtonFrame, 8);
  EXPECT_TRUE(d.Buttons->HasNormalColour2);
  EXPECT_FALSE(d.Buttons->HasPressedColour2);
  EXPECT_EQ(d.Buttons->MouseOverColour2, Rgb(51, 119, 204));
  EXPECT_EQ(d.Buttons->PressedColour2, d.SchemeColors[csButtonText]);
  EXPECT_EQ(d.Buttons->NormalColour, -1);
  // The combo box strip: four 50-pixel cells, the sunken edge its mirror, the arrow cut out.
  const int bw = GetSystemMetrics(SM_CXHSCROLL) + 2;
  EXPECT_EQ(d.ComboButton->Style, 2);
  EXPECT_EQ(d.ComboButton->Image->Width(), 200);
  EXPECT_EQ(d.ComboButton->Image->Height(), 21);
  EXPECT_EQ(d.ComboButton->RightWidth, bw + 2);
  EXPECT_EQ(d.SunkEdge->LeftWidth, bw + 2);
  EXPECT_EQ(d.SunkEdge->Image->Pixel(0, 10), d.ComboButton->Image->Pixel(199, 10));
  EXPECT_EQ(d.ComboButton->Image->Pixel(10, 10), kKeyColour) << "the text area is see-through";
  EXPECT_EQ(d.ComboxArrow->Image->Width(), 68);
  EXPECT_EQ(d.ComboxArrow->Image->Height(), 17);
  EXPECT_EQ(d.ComboxArrow->Frame, 4);
  EXPECT_EQ(d.Headerbar->Frame, 5);
  EXPECT_EQ(d.HorzScrollThumb->Frame, 3);
  EXPECT_EQ(d.Scrollbar->Frame, 23);
  EXPECT_EQ(d.MenuBar->Tile, 1);
  EXPECT_EQ(d.MenuBar->LeftWidth, 2);
}

TEST(SkinData, PlainWithoutATrackTakesTheBuiltInOne) {
  TSkinData d(nullptr);
  ASSERT_TRUE(d.LoadFromFile(SkinPath("Plain")));
  EXPECT_EQ(d.Track->Image->Width(), 16);
  EXPECT_EQ(d.Track->Image->Height(), 4);
  EXPECT_EQ(d.TrackVert->Image->Width(), 4);
  EXPECT_EQ(d.Track->LeftWidth, 3);
  EXPECT_EQ(d.Track->BottomHeight, 3);
  EXPECT_EQ(d.Track->Frame, 1);
}

TEST(SkinData, AnotherSkinReplacesEveryObject) {
  TSkinData d(nullptr);
  ASSERT_TRUE(d.LoadFromFile(SkinPath("Mx1")));
  ASSERT_TRUE(d.LoadFromFile(SkinPath("Plain")));
  EXPECT_FALSE(d.ComboButton);
  EXPECT_FALSE(d.ComboxArrow) << "no arrow of the earlier skin survives";
  EXPECT_FALSE(d.Progress);
  EXPECT_TRUE(d.Buttons->Image->Empty());
  EXPECT_EQ(d.SysButtons.size(), 8u);  // its own five caption buttons and the three of MDI children
  EXPECT_EQ(d.SchemeColors[csButtonFace], Rgb(236, 233, 216));
}

// A package that cannot be read leaves the skin in use as it was: its objects, its file
// and its state, so the windows keep it and it can still be switched on.
TEST(SkinData, MissingOrBrokenFilesLoadNothingAndKeepTheSkinInUse) {
  TempFolder tmp;
  std::string broken = tmp.Path("broken.skn"), bad = tmp.Path("bad.skn");
  ASSERT_TRUE(file::WriteAtomic(broken, "not a package at all"));
  std::string pkg;
  ASSERT_TRUE(file::ReadAll(SkinPath("Ink"), pkg));
  ASSERT_TRUE(file::WriteAtomic(bad, pkg.substr(0, pkg.size() / 2)));
  for (const std::string& path : {tmp.Path("none.skn"), broken, bad}) {
    SCOPED_TRACE(path);
    TSkinData d(nullptr);
    ASSERT_TRUE(d.LoadFromFile(SkinPath("Mx1")));
    FakeManager m;
    m.installed = true;
    EXPECT_FALSE(d.LoadFromFile(path));
    EXPECT_FALSE(d.LastError().empty());
    EXPECT_FALSE(d.LastErrorShown());
    EXPECT_FALSE(d.SkinEmpty);
    EXPECT_EQ(d.SkinFile, path) << "the last file given";
    EXPECT_EQ(d.SkinName, "Mx1") << "the objects stay";
    EXPECT_TRUE(d.ComboButton);
    EXPECT_EQ(m.log, "") << "nothing to re-skin with";
    std::string stream;
    d.WriteData(stream);
    std::string mx1;
    ASSERT_TRUE(file::ReadAll(SkinPath("Mx1"), mx1));
    EXPECT_EQ(stream.substr(4), mx1) << "the stream kept is the skin in use";
    d.SetActive(true);
    EXPECT_NE(m.log.find("action1"), std::string::npos) << "the skin in use switches on";
  }
}

TEST(SkinData, ActiveAsksTheManagerOnlyForChangesAndOnlyWithASkin) {
  FakeManager m;
  TSkinData d(nullptr);
  d.SetActive(true);
  EXPECT_EQ(m.log, "") << "no skin yet";
  d.SetActive(false);
  EXPECT_EQ(m.log, "action2@250;");
  m.log.clear();
  ASSERT_TRUE(d.LoadFromFile(SkinPath("Plain")));
  EXPECT_EQ(m.log, "sysbtn;") << "not installed: no action 3";
  m.log.clear();
  d.SetActive(true);
  d.SetActive(true);
  EXPECT_EQ(m.log, "action1@250;");
  EXPECT_TRUE(m.installed);
  EXPECT_EQ(m.current, &d);
  m.log.clear();
  ASSERT_TRUE(d.LoadFromFile(SkinPath("Ink")));
  EXPECT_EQ(m.log, "sysbtn;action3@250;");
  m.log.clear();
  d.SkinFormtype = sfDialog;
  d.SetActive(false);
  EXPECT_EQ(m.log, "") << "dialog-type components ask nothing";
}

TEST(SkinData, LoadedInstallsTheHookAndTrimsTheMenuKinds) {
  FakeManager m;
  TSkinData d(nullptr);
  d.SetActive(true);  // as a form layout would set it before any skin is loaded
  d.Loaded();
  EXPECT_EQ(m.log, "add;hook;");
  EXPECT_FALSE(d.GetActive()) << "nothing to show yet";
  EXPECT_FALSE(InSet(d.SkinControls, xcMenuItem));
  EXPECT_TRUE(InSet(d.SkinControls, xcSystemMenu));
  TSkinData noMenu(nullptr);
  noMenu.SkinControls = WithElement(noMenu.SkinControls, xcMainMenu, false);
  noMenu.Loaded();
  EXPECT_FALSE(InSet(noMenu.SkinControls, xcSystemMenu));
}

TEST(SkinData, DefaultsOfANewComponent) {
  TSkinData d(nullptr);
  EXPECT_TRUE(d.SkinEmpty);
  EXPECT_EQ(d.SkinControls, 0x1FFFFBu);
  EXPECT_EQ(d.Options, 0x48);
  EXPECT_EQ(d.DisableTag, 99);
  EXPECT_EQ(d.Version(), "4.42.12.06");
  EXPECT_EQ(d.Containers, 0x3FF);
  EXPECT_EQ(d.Skin3rd.Count(), 124);
  EXPECT_GE(d.Skin3rd.IndexOf("TControlBar=Panel"), 0);
  EXPECT_GE(d.Skin3rd.IndexOf("trmtoolbar=panel"), 0);
  EXPECT_GE(d.Skin3rd.IndexOf("TWWDBCombobox=Combobox"), 0);
  EXPECT_GE(d.Skin3rd.IndexOf("TWWTempKeyCombo=combobox"), 0);
  EXPECT_EQ(d.Border[2]->Name, "Right");
  ASSERT_EQ(d.MenuImages->Count(), 4);
  // In the system menu's order, white showing through: restore, maximise (a window's top
  // edge), minimise (a bar at the bottom), close.
  TBitmap shown;
  shown.SetSize(64, 16);
  shown.Canvas().Brush.Color = clWhite;
  shown.Canvas().FillRect(RECT{0, 0, 64, 16});
  for (int i = 0; i < 4; ++i) d.MenuImages->Draw(shown.Canvas().Handle(), i * 16, 0, i);
  auto black = [&](int cell, int x, int y) { return (shown.Pixel(cell * 16 + x, y) & 0xFFFFFF) == 0; };
  EXPECT_TRUE(black(1, 6, 3));
  EXPECT_FALSE(black(2, 6, 3));
  EXPECT_TRUE(black(2, 6, 11));
  EXPECT_FALSE(black(1, 8, 8)) << "the maximise glyph is an outline";
  EXPECT_FALSE(black(0, 0, 0)) << "white ground";
}

TEST(SkinData, ColourTexts) {
  struct Case {
    const char* text;
    TColor want;
  };
  const Case cases[] = {
      {"255 0 0", Rgb(255, 0, 0)},
      {"1,2,3", Rgb(1, 2, 3)},
      {" 10;20;30 ", Rgb(10, 20, 30)},
      {"7", 0},
      {"7 8", Rgb(7, 0, 0)},
      {"7 8 9 10", Rgb(7, 8, 9)},
      {"256 257 258", Rgb(0, 1, 2)},
      {"r=12 g=34 b=56", Rgb(12, 34, 56)},
      {"", 0},
      {"4294967596 0 0", Rgb(44, 0, 0)},  // 2^32 + 300: kept to 8 bits, no overflow
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(strcolor(c.text), c.want);
  }
  TSkinData d(nullptr);
  EXPECT_EQ(d.GetColor("", 0x123), 0x123);
  EXPECT_EQ(d.GetColor("0 0 255", 0x123), Rgb(0, 0, 255));
}

TEST(SkinData, SmallHelpers) {
  EXPECT_EQ(TSkinData::GetFileName("Mx1.skn"), "Mx1");
  EXPECT_EQ(TSkinData::GetFileName("a.b.skn"), "a");
  EXPECT_EQ(TSkinData::GetFileName("noext"), "");
  TSkinData d(nullptr);
  d.PreColors = {0x10, 0x20};
  TColor c = 7;
  EXPECT_FALSE(d.GetPrecolor(c, -1));
  EXPECT_FALSE(d.GetPrecolor(c, 2));
  EXPECT_EQ(c, 7);
  EXPECT_TRUE(d.GetPrecolor(c, 1));
  EXPECT_EQ(c, 0x20);
  bool skin = true;
  d.DoFormSkin(reinterpret_cast<HWND>(1), "SysMonthCal32", skin);
  EXPECT_FALSE(skin);
  skin = true;
  d.DoFormSkin(nullptr, "TfrPreview", skin);
  EXPECT_TRUE(skin) << "only refused with xcFastReport";
  d.SkinControls = WithElement(d.SkinControls, xcFastReport, true);
  d.DoFormSkin(nullptr, "TfrPreview", skin);
  EXPECT_FALSE(skin);
}

// Enumerated properties by their value names, as a form layout writes them.
TEST(SkinData, ChangePropertySetsEnumeratedPropertiesByTheirValueNames) {
  TApplication app;
  TForm form(&app);
  TButton button(&form);
  EXPECT_TRUE(TSkinData::ChangeProperty(&form, "borderstyle", "BSDIALOG"));
  EXPECT_EQ(form.BorderStyle, bsDialog);
  EXPECT_TRUE(TSkinData::ChangeProperty(&form, "KeyPreview", "True"));
  EXPECT_TRUE(form.KeyPreview);
  EXPECT_TRUE(TSkinData::ChangeProperty(&form, "AutoScroll", "False"));
  EXPECT_FALSE(form.AutoScroll());
  EXPECT_TRUE(TSkinData::ChangeProperty(&button, "Enabled", "False"));
  EXPECT_FALSE(button.Enabled());
  struct Row {
    TObject* object;
    const char *name, *value;
  };
  for (const Row& r : {Row{&form, "BorderStyle", "bsRound"}, Row{&form, "AutoSize", "False"}, Row{&form, "Tag", "5"},
                       Row{&button, "Position", "poScreenCenter"}, Row{nullptr, "Visible", "False"}}) {
    SCOPED_TRACE(r.name);
    EXPECT_FALSE(TSkinData::ChangeProperty(r.object, r.name, r.value));
  }
  EXPECT_EQ(form.BorderStyle, bsDialog) << "an unknown value name changes nothing";
  EXPECT_EQ(form.Tag, 0);
}

const char kEdgeIni[] =
    "[TitlebarSkin]\r\nSkinName=Edge\r\n"
    "[Personality]\r\nTop=top.bmp\r\nTopFrame=0\r\nLeft=folder\\left.BMP\r\n"
    "[Colours]\r\nButtonFace=1 2 3\r\nMenubar=\r\n"
    "[colour7]\r\ncolor=9 9 9\r\n[COLOURS]\r\ncolor=1 1 1\r\n[Colour]\r\n"
    "[Button1]\r\nAction=0\r\nButtonImage=b57.bmp\r\n"
    "[BUTTON2]\r\nAction=1\r\nButtonImage=b114.bmp\r\n"
    "[button3]\r\nAction=-1\r\n[BUTTON4]\r\nAction=-1\r\nVisibility=0\r\nButtonImage=b57.bmp\r\n"
    "[BUTTON5]\r\nAction=3\r\nButtonImage=b57.bmp\r\n"
    "[Buttons]\r\nBitmap=missing.bmp\r\nTile=5\r\nRadioButton=r.bmp\r\n"
    "[Button.Radio]\r\nAction=1\r\n"
    "[Tab.Pane]\r\nImage=pane.bmp\r\nLeftWidth=9\r\nTopHeight=3\r\nTile=2\r\n"
    "[Progress]\r\nBitmap=pane.bmp\r\nTile=7\r\nStyle=1\r\n"
    "[Progress.Chunk]\r\nImage=pane.bmp\r\nFrame=0\r\n"
    "[SunkEdge]\r\nImage=pane.bmp\r\n"
    "[MDICONTROLS]\r\nImage=tiny.bmp\r\n";

TEST(SkinData, MadeUpDescriptionReachesTheEdgesOfTheRules) {
  using skintest::Bitmap;
  TSkinData d(nullptr);
  ASSERT_TRUE(d.LoadFromStream(Package(kEdgeIni, {{"top.bmp", Bitmap(30, 9, 0x00FF00)},
                                                  {"left.bmp", Bitmap(4, 4)},
                                                  {"b57.bmp", Bitmap(57, 19)},
                                                  {"b114.bmp", Bitmap(114, 19)},
                                                  {"r.bmp", Bitmap(64, 13)},
                                                  {"pane.bmp", Bitmap(12, 12)},
                                                  {"tiny.bmp", Bitmap(11, 3)}})))
      << d.LastError();
  EXPECT_EQ(d.SkinName, "Edge");
  // A frame count of 0 would divide by zero in the painters: one frame.
  EXPECT_EQ(d.Border[3]->Frame, 1);
  EXPECT_EQ(d.SchemeColors[csCaption], Rgb(0, 255, 0));
  EXPECT_TRUE(d.Border[1]->Image->Empty()) << "only a lower-case .bmp counts";
  EXPECT_EQ(d.SchemeColors[csMenuBar], Rgb(1, 2, 3)) << "an empty Menubar takes ButtonFace";
  EXPECT_EQ(d.SchemeColors[csText], static_cast<TColor>(0x80000008));
  ASSERT_EQ(d.PreColors.size(), 2u) << "COLOUR7 and COLOUR, not COLOURS";
  EXPECT_EQ(d.PreColors[0], Rgb(9, 9, 9));
  EXPECT_EQ(d.PreColors[1], static_cast<TColor>(0x80000008));
  EXPECT_EQ(d.CustomColors[0], 0xFFFFFF);
  // Caption buttons: 57 x 19 is three frames, 114 x 19 six; an action -1 stays only
  // when visible; the window-icon button without a count loses its image.
  ASSERT_EQ(d.SysButtons.size(), 4u + 3u);
  EXPECT_EQ(d.SysButtons[0]->Name, "BUTTON1");
  EXPECT_EQ(d.SysButtons[0]->Frame, 3);
  EXPECT_EQ(d.SysButtons[1]->Frame, 6);
  EXPECT_EQ(d.SysButtons[2]->Name, "BUTTON4");
  EXPECT_EQ(d.SysButtons[2]->Frame, 6);
  EXPECT_EQ(d.SysButtons[2]->Visibility1, -1);
  EXPECT_EQ(d.SysButtons[3]->Action, 3);
  EXPECT_TRUE(d.SysButtons[3]->Image->Empty());
  EXPECT_TRUE(d.SysButtons[4]->Image->Empty()) << "an MDI image narrower than 12 cells is not cut";
  EXPECT_TRUE(d.Buttons->Image->Empty());
  EXPECT_EQ(d.Buttons->Tile, 0);
  EXPECT_EQ(d.Buttons->RadioButtonFrame, 64 / 13);
  EXPECT_EQ(d.TabPane->LeftWidth, 4);
  EXPECT_EQ(d.TabPane->TopHeight, 3);
  EXPECT_EQ(d.TabPane->Tile, 0);
  EXPECT_EQ(d.Progress->Tile, 1);
  EXPECT_EQ(d.Progress->Frame, 1);
  EXPECT_EQ(d.ProgressChunk->Frame, 1);
  EXPECT_FALSE(d.ComboButton);
  EXPECT_FALSE(d.ComboxArrow) << "a sunken edge alone gives no arrow";
  EXPECT_EQ(d.SunkEdge->Image->Width(), 12) << "no strip without a combo button";
}

TEST(SkinData, HostileDescriptionsStaySafe) {
  const char* inis[] = {
      "",
      "[Personality]\r\nTop=top.bmp\r\nTopFrame=-5\r\nTopTopHeight=99999\r\n",
      "[SunkEdge]\r\nImage=top.bmp\r\n[ComboButton]\r\nImage=top.bmp\r\n[ExtraImages]\r\nImage=top.bmp\r\n",
      "[HorzScrollThumb]\r\nImage=top.bmp\r\nFrameCount=0\r\n[Headerbar]\r\nImage=top.bmp\r\nFrame=-1\r\n",
      "[BUTTON0]\r\nButtonImage=top.bmp\r\nframe=-3\r\n[MDICONTROLS]\r\nImage=top.bmp\r\n",
      "[Buttons]\r\nCheckButton=top.bmp\r\nCheckButtonFrame=0\r\n",
      "[ToolBars]\r\nImage=top.bmp\r\nLeftWidth=2147483647\r\nRightWidth=0x7FFFFFFF\r\nTopHeight=-2147483648\r\n",
  };
  for (const char* ini : inis) {
    SCOPED_TRACE(ini);
    TSkinData d(nullptr);
    ASSERT_TRUE(d.LoadFromStream(Package(ini, {{"top.bmp", skintest::Bitmap(3, 2)}})));
    TBitmap target;
    target.SetSize(40, 30);
    const TDataSkinObject* objects[] = {d.Border[3].get(),       d.SunkEdge.get(),  d.ComboButton.get(),
                                        d.HorzScrollThumb.get(), d.Headerbar.get(), d.Buttons.get(),
                                        d.ToolBars.get()};
    for (const TDataSkinObject* o : objects) {
      if (!o) continue;
      SCOPED_TRACE(o->Name);
      EXPECT_GE(o->Frame, 1);
      const RECT r{0, 0, 40, 30};
      DrawRect2(target.Canvas().Handle(), r, o->Image.get(), false, true, true, o->Frame, 1, o->Margins());
      DrawRectH(target.Canvas().Handle(), r, o->Image.get(), false, false, o->Frame, 1, o->Margins());
      DrawRectTile(&target.Canvas(), r, o->Image.get(), false, true, o->Frame, 1, o->Margins());
    }
    EXPECT_GE(d.Buttons->CheckButtonFrame, 0);
  }
}

TEST(SkinData, SkinStreamPropertyRoundTrips) {
  TSkinData d(nullptr);
  EXPECT_TRUE(d.ReadData(std::string(4, '\0')));
  EXPECT_TRUE(d.SkinStream.empty());
  EXPECT_TRUE(d.SkinEmpty);
  EXPECT_FALSE(d.ReadData(skintest::Le32(100) + "short")) << "a length beyond the data";
  ASSERT_TRUE(d.LoadFromFile(SkinPath("Ink")));
  std::string stream;
  d.WriteData(stream);
  EXPECT_EQ(stream.size(), d.SkinStream.size() + 4);
  TSkinData copy(nullptr);
  ASSERT_TRUE(copy.ReadData(stream));
  EXPECT_EQ(copy.SkinName, "Ink");
  EXPECT_FALSE(copy.SkinEmpty);
}

TEST(SkinStore, ItemsNamesAndData) {
  TSkinStore store(nullptr);
  TSkinCollectionItem& first = store.Store().Add();
  TSkinCollectionItem& second = store.Store().Add();
  EXPECT_EQ(first.Name(), "SkinItem0");
  EXPECT_EQ(second.Name(), "SkinItem1");
  EXPECT_EQ(first.SkinData(), "Load Skin");
  first.SetName("SkinItem0");
  EXPECT_THROW(first.SetName("SkinItem1"), Exception);
  EXPECT_EQ(first.Name(), "SkinItem0");
  try {
    first.SetName("SkinItem1");
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "The name SkinItem1 is already used.");
  }
  ASSERT_TRUE(second.LoadFromFile(SkinPath("Mx1")));
  EXPECT_EQ(second.DataSize(), file::Size(SkinPath("Mx1")));
  std::string stream;
  second.WriteData(stream);
  first.ReadData(stream);
  EXPECT_EQ(first.Data(), second.Data());
  TSkinStore other(nullptr);
  other.SetStore(&store.Store());
  ASSERT_EQ(other.Store().Count(), 2);
  EXPECT_EQ(other.Store().Items(1).Name(), "SkinItem1");
  EXPECT_EQ(other.Store().Items(1).DataSize(), second.DataSize());
}

TEST(SkinStore, CollectionLoadsTheSameSkinAsTheFile) {
  TSkinStore store(nullptr);
  store.Store().Add();
  ASSERT_TRUE(store.Store().Add().LoadFromFile(SkinPath("Ink")));
  TSkinData fromFile(nullptr), fromStore(nullptr);
  ASSERT_TRUE(fromFile.LoadFromFile(SkinPath("Ink")));
  ASSERT_TRUE(fromStore.LoadFromCollection(store, 1));
  EXPECT_EQ(fromStore.SkinStream, fromFile.SkinStream);
  EXPECT_EQ(fromStore.SkinName, "Ink");
  EXPECT_EQ(fromStore.SchemeColors, fromFile.SchemeColors);
  EXPECT_FALSE(fromStore.LoadFromCollection(store, 2));
  EXPECT_FALSE(fromStore.LoadFromCollection(store, 0)) << "an empty item is no package";
  EXPECT_EQ(fromStore.SkinName, "Ink");
}

}  // namespace
