// The main window's and the calendar's controls in each of our skins, read back from
// the screen: the speed buttons show the skin's button frames and the hot frame under
// the real mouse, the naming page's progress bar fills its share with the fill frame,
// and the box "姓名不能为空" opened by a real click shows a skinned OK button.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "classlib/Files.h"
#include "classlib/Gbk.h"
#include "classlib/Menus.h"
#include "classlib/TIniFile.h"
#include "skin/WinSkinData.h"
#include "skin/WinSkinDlg.h"
#include "skin/WinSkinFrame.h"
#include "skin/WinSubClass.h"
#include "support/Gui.h"
#include "support/SkinPixels.h"
#include "support/TempFolder.h"
#include "tools/Untwnl.h"
#include "ui/ModalDriver.h"
#include "ui/Uinput.h"
#include "ui/Untmain.h"
#include "ui/Untset.h"

namespace {

const char* const kSkins[] = {"Mx1", "Ink", "Plain"};

std::string ShippedSkin(const std::string& name) {
  return std::string(TORVIK_PROGRAM_DIR) + "\\skins\\" + name + ".skn";
}

TMenuItem* Item(const TMenuItem* menu, const std::string& caption) {
  for (int i = 0; i < menu->Count(); ++i)
    if (menu->Items(i)->Caption() == caption) return menu->Items(i);
  return nullptr;
}

// The mouse put where no window of the test stands.
void MouseAway(HWND h) {
  RECT r;
  GetWindowRect(h, &r);
  gui::MoveMouse(std::min<int>(r.right + 20, GetSystemMetrics(SM_CXSCREEN) - 2),
                 std::min<int>(r.bottom + 20, GetSystemMetrics(SM_CYSCREEN) - 2));
  gui::Pump(400);  // the form's cursor poll lets the control go
}

void MouseButton(DWORD flag) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = flag;
  SendInput(1, &in, sizeof in);
  gui::Pump(60);
}

bool Skinned(HWND h) { return SendMessageW(h, CN_IsSkinned, 0, 0) == 1; }

class SkinControls : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Title = "Riveri 3.5";
    file::CreateDir(temp.Path("dat"));
    file::CreateDir(temp.Path("skins"));
    for (const char* s : kSkins)
      ASSERT_TRUE(file::Copy(ShippedSkin(s), temp.Path(std::string("skins\\") + s + ".skn"), false));
    frm = new TFrmMain(Application, temp.Dir());
    frm->OnShow = nullptr;
    IniFile = new TIniFile(temp.Path("dat\\init.ini"));
    frm->ApplySavedSkin();
    frm->FillSkinMenu(frm->Opt_Skin);
    frm->Show();
    gui::Pump(300);
  }
  void TearDown() override {
    delete frm;
    FreeSkinManager();
  }
  void Choose(const char* skin) {
    frm->SkinItemClick(Item(frm->Opt_Skin, skin));
    gui::Pump(400);
    ASSERT_NE(SkinFormOf(frm->Handle()), nullptr);
  }
  // Plain has only borders and colours: its buttons are drawn as Windows draws them.
  bool HasButtons(const std::string& skin) {
    const bool has = frm->SkinData->Buttons && !EmptyImage(frm->SkinData->Buttons->Image.get());
    EXPECT_EQ(has, skin != "Plain");
    return has;
  }
  // The button shows the normal frame with the mouse away and the hot frame under it.
  void ExpectNormalAndHot(HWND form, HWND button) {
    const TDataSkinButton& skin = *frm->SkinData->Buttons;
    EXPECT_TRUE(Skinned(button));
    MouseAway(form);
    const auto normal = skinpixels::MatchButton(button, skin, 1);
    EXPECT_TRUE(normal.Mostly()) << normal.matching << " of " << normal.sampled;
    gui::Hover(button);
    gui::Pump(150);
    const auto hot = skinpixels::MatchButton(button, skin, 4);
    EXPECT_TRUE(hot.Mostly()) << hot.matching << " of " << hot.sampled;
    RECT r;
    GetWindowRect(button, &r);
    if (skinpixels::FramesDiffer(skin, SIZE{Width(r), Height(r)}, 1, 4)) {
      EXPECT_FALSE(skinpixels::MatchButton(button, skin, 1).Mostly()) << "the hot frame, not the normal one";
    }
  }
  TApplication app;
  TempFolder temp;
  TFrmMain* frm = nullptr;
};

TEST_F(SkinControls, SpeedButtonsShowTheButtonFramesAndTheHotFrameUnderTheMouse) {
  for (const char* skin : kSkins) {
    SCOPED_TRACE(skin);
    Choose(skin);
    if (!HasButtons(skin)) continue;
    for (TSpeedButton* b : {frm->SbtoSet, frm->sBtoDecName}) {
      SCOPED_TRACE(gbk::ToUtf8(b->Text()));
      ExpectNormalAndHot(frm->Handle(), b->Handle());
    }
    MouseAway(frm->Handle());
    gui::SaveScreenshot(frm->Handle(), gui::ScreenshotPath(std::string("skincontrols-main-") + skin + ".png"));
  }
}

TEST_F(SkinControls, CalendarNowButtonWearsTheSkin) {
  for (const char* skin : kSkins) {
    SCOPED_TRACE(skin);
    Choose(skin);
    auto* wnl = new TFrmWnl(Application);
    wnl->Show();
    gui::Pump(500);
    ASSERT_NE(SkinFormOf(wnl->Handle()), nullptr);
    if (HasButtons(skin)) ExpectNormalAndHot(wnl->Handle(), wnl->BtoNow->Handle());
    MouseAway(wnl->Handle());
    gui::SaveScreenshot(wnl->Handle(), gui::ScreenshotPath(std::string("skincontrols-calendar-") + skin + ".png"));
    delete wnl;
    gui::Pump(200);
  }
}

TEST_F(SkinControls, NamingPageProgressBarFillsHalfAtHalfItsRange) {
  frm->PageControl1->SetActivePage(frm->PageQiMing);
  for (const char* skin : kSkins) {
    SCOPED_TRACE(skin);
    Choose(skin);
    const TDataSkinBorder* bar = frm->SkinData->Progress.get();
    // Mx1 and Ink draw their bars; Plain leaves the bar as Windows draws it.
    EXPECT_EQ(bar && !EmptyImage(bar->Image.get()), std::string(skin) != "Plain");
    if (!bar || EmptyImage(bar->Image.get())) continue;
    const int frames = std::max(bar->Frame, 2);
    HWND h = frm->ProBar1->Handle();
    EXPECT_TRUE(Skinned(h));
    RECT r;
    GetWindowRect(h, &r);
    const int w = Width(r), ht = Height(r);
    const RECT whole{0, 0, w, ht};

    frm->ProBar1->SetRange(0, 100);
    frm->ProBar1->SetPosition(0);
    gui::Pump(150);
    const auto empty = skinpixels::MatchRows(h, *bar, frames, 1, whole, {ht / 2}, 1, w - 1);
    EXPECT_TRUE(empty.Mostly()) << "empty bar " << empty.matching << " of " << empty.sampled;

    frm->ProBar1->SetPosition(50);
    gui::Pump(150);
    const RECT filled{0, 0, w / 2, ht};
    const auto left = skinpixels::MatchRows(h, *bar, frames, 2, filled, {ht / 2}, 1, w / 2 - 1);
    EXPECT_TRUE(left.Mostly()) << "filled half " << left.matching << " of " << left.sampled;
    const auto right = skinpixels::MatchRows(h, *bar, frames, 1, whole, {ht / 2}, w / 2 + 2, w - 1);
    EXPECT_TRUE(right.Mostly()) << "empty half " << right.matching << " of " << right.sampled;
    gui::SaveScreenshot(frm->Handle(), gui::ScreenshotPath(std::string("skincontrols-naming-") + skin + ".png"));
  }
}

TEST_F(SkinControls, EmptyNameBoxShowsASkinnedOkButton) {
  frm->PageControl1->SetActivePage(frm->PageName);
  for (const char* skin : kSkins) {
    SCOPED_TRACE(skin);
    Choose(skin);
    const bool painted = HasButtons(skin);
    frm->LedtName->SetText("");
    LRESULT answered = -1;
    skinpixels::Match shown;
    std::string said;
    int tries = 0;
    modal::Driver driver({[&] {
      HWND box = gui::WaitTopWindow(GetCurrentProcessId(), "#32770", gbk::FromUtf8("提示"), 50);
      HWND ok = box ? FindWindowExW(box, nullptr, L"Button", nullptr) : nullptr;
      if (!ok) return false;
      answered = SendMessageW(ok, CN_IsSkinned, 0, 0);
      if (answered != 1 && ++tries < 30) return false;
      said = modal::MessageText(box);
      MouseAway(box);
      TWinSkinForm* form = SkinFormOf(box);
      auto* button = dynamic_cast<TSkinButton*>(form ? form->Lookupcontrol(ok) : nullptr);
      if (painted) shown = skinpixels::MatchButton(ok, *frm->SkinData->Buttons, button ? button->Frame() : 1);
      gui::SaveScreenshot(box, gui::ScreenshotPath(std::string("skincontrols-emptyname-") + skin + ".png"));
      gui::Hover(ok);
      MouseButton(MOUSEEVENTF_LEFTDOWN);
      MouseButton(MOUSEEVENTF_LEFTUP);
      return true;
    }});
    gui::Hover(frm->BtnPai->Handle());
    MouseButton(MOUSEEVENTF_LEFTDOWN);
    MouseButton(MOUSEEVENTF_LEFTUP);  // the box runs its loop inside this click
    gui::Pump(300);
    EXPECT_EQ(said, gbk::FromUtf8("姓名不能为空"));
    EXPECT_EQ(answered, 1);
    if (painted) {
      EXPECT_TRUE(shown.Mostly()) << shown.matching << " of " << shown.sampled;
    }
    EXPECT_EQ(gui::WaitTopWindow(GetCurrentProcessId(), "#32770", gbk::FromUtf8("提示"), 0), nullptr)
        << "the real click on OK closed the box";
  }
}

// Every colour the window shows.
std::set<COLORREF> Colours(HWND h) {
  std::set<COLORREF> seen;
  auto picture = gui::Capture(h);
  for (int y = 0; picture && y < picture->Height(); ++y)
    for (int x = 0; x < picture->Width(); ++x) seen.insert(static_cast<COLORREF>(picture->Pixel(x, y)));
  return seen;
}

// The combo's text field, in its window's coordinates.
RECT ComboField(HWND combo) {
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  GetComboBoxInfo(combo, &info);
  RECT wr;
  GetWindowRect(combo, &wr);
  POINT origin{0, 0};
  ClientToScreen(combo, &origin);
  OffsetRect(&info.rcItem, origin.x - wr.left, origin.y - wr.top);
  return info.rcItem;
}

// The name panel's label and surname combo and the side panel's outlined texts read on
// each skin's face: the label in the skin's text colour, the combo's text far from its
// field, and an outlined text, left in the system's text colour, in the skin's text colour
// with the rim that stands out from it (dark round the light text of a dark skin).
TEST_F(SkinControls, NameAndSidePanelTextsReadInEachSkin) {
  frm->PageControl1->SetActivePage(frm->PageName);
  for (const char* skin : kSkins) {
    SCOPED_TRACE(skin);
    Choose(skin);
    MouseAway(frm->Handle());
    const COLORREF face = ColorToRGB(frm->SkinData->SchemeColors[csButtonFace]);
    const COLORREF text = ColorToRGB(frm->SkinData->SchemeColors[csText]);
    EXPECT_TRUE(skinpixels::WritesIn(frm->LedtName->EditLabel()->Handle(), face, text)) << "尊姓大名";

    HWND combo = frm->CboDanFu->Handle();
    const RECT field = ComboField(combo);
    const COLORREF ground =
        static_cast<COLORREF>(gui::Capture(combo)->Pixel(field.right - 3, (field.top + field.bottom) / 2));
    EXPECT_GE(skinpixels::Distance(skinpixels::Ink(combo, ground, field), ground), 3 * 128)
        << "单姓 on " << std::hex << ground;

    const COLORREF rim = RimColour(text);
    for (TLabel* l : {frm->StxtTian, frm->StxtWai, frm->sTxtSanCai, frm->txt[0]}) {
      SCOPED_TRACE(gbk::ToUtf8(l->Text()));
      const std::set<COLORREF> seen = Colours(l->Handle());
      EXPECT_TRUE(seen.count(text) && seen.count(rim)) << "text and rim";
      for (COLORREF c : seen) EXPECT_TRUE(c == face || c == text || c == rim) << std::hex << c;
    }
  }
}

// What a person sees in each skin: the main window and two of its dialogs, each skinned
// while open, saved for a look.
TEST_F(SkinControls, MainWindowAndTwoDialogsInEachSkinForALook) {
  for (const char* skin : kSkins) {
    SCOPED_TRACE(skin);
    Choose(skin);
    MouseAway(frm->Handle());
    EXPECT_TRUE(gui::SaveScreenshot(frm->Handle(), gui::ScreenshotPath(std::string("look-main-") + skin + ".png")));
    BirthRecord birth{};
    birth.year = 1990;
    birth.month = 6;
    birth.day = 15;
    std::string place = gbk::FromUtf8("未知地");
    TFrmInput input(Application, birth, place);
    TFrmSet settings(Application);
    const std::pair<TForm*, const char*> dialogs[] = {{&input, "input"}, {&settings, "settings"}};
    for (const auto& [dlg, name] : dialogs) {
      SCOPED_TRACE(name);
      bool skinned = false;
      int tries = 0;
      const std::string path = gui::ScreenshotPath(std::string("look-") + name + "-" + skin + ".png");
      modal::Driver driver({[&, dlg = dlg] {
        skinned = SkinFormOf(dlg->Handle()) != nullptr;
        if (!skinned && ++tries < 30) return false;
        MouseAway(dlg->Handle());
        EXPECT_TRUE(gui::SaveScreenshot(dlg->Handle(), path));
        dlg->ModalResult = mrCancel;
        return true;
      }});
      dlg->ShowModal();
      EXPECT_TRUE(skinned);
    }
  }
}

}  // namespace
