// The birth-data dialog under a skin: its combos show the skin's button frames and
// still choose by mouse and keyboard, and the year's up-down keeps stepping while held.
// Real mouse input; runs alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "classlib/Gbk.h"
#include "skin/WinSkinData.h"
#include "skin/WinSkinDlg.h"
#include "skin/WinSkinForm.h"
#include "skin/WinSkinFrame.h"
#include "skin/WinSubClass.h"
#include "support/Gui.h"
#include "support/ProgramCopy.h"
#include "ui/ModalDriver.h"
#include "ui/Uinput.h"
#include "ui/Untmain.h"

namespace {

using gui::ScreenPixel;

class SkinnedInput : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Title = "Riveri 3.5";
    AppDir = folder.Dir();
    birth.year = 1990;
    birth.month = 6;
    birth.day = 15;
    UseSkinManager();
    data = new TSkinData(&app);
    data->Loaded();
    ASSERT_TRUE(data->LoadFromFile(std::string(TORVIK_PROGRAM_DIR) + "\\skins\\Mx1.skn")) << data->LastError();
    data->SetActive(true);
  }
  void TearDown() override {
    delete data;
    FreeSkinManager();
  }
  TApplication app;
  ProgramCopy folder{{"dat\\ChiWord.db", "dat\\dili.ini", "dat\\set.ini"}};
  BirthRecord birth;
  std::string place = gbk::FromUtf8("未知地。");
  TSkinData* data = nullptr;
};

TEST_F(SkinnedInput, CombosShowTheirFramesAndChooseAndTheYearSpinRepeatsWhileHeld) {
  TFrmInput dlg(Application, birth, place);
  TSkinComBox* month = nullptr;
  modal::Driver d(
      {[&] {
         TWinSkinForm* skin = SkinFormOf(dlg.Handle());
         if (!skin) return false;
         month = dynamic_cast<TSkinComBox*>(skin->Lookupcontrol(dlg.cbom->Handle()));
         EXPECT_NE(month, nullptr);
         TSkinControl* spin = skin->Lookupcontrol(dlg.UpDyear->Handle());
         EXPECT_TRUE(spin && spin->ClassName() == "TSkinUpDown");
         return true;
       },
       [&] {
         if (!month) return true;
         HWND h = dlg.cbom->Handle();
         COMBOBOXINFO cbi{sizeof cbi};
         GetComboBoxInfo(h, &cbi);
         POINT button{(cbi.rcButton.left + cbi.rcButton.right) / 2, cbi.rcButton.bottom - 3};
         ClientToScreen(h, &button);
         RECT wr;
         GetWindowRect(h, &wr);
         const TDataSkinBorder& b = *data->ComboButton;
         auto expected = [&](int frame) {
           auto map = GetHMap(Sized(wr), b.Image.get(), b.Margins(), false, false, b.Frame, frame);
           return static_cast<COLORREF>(map->Pixel(button.x - wr.left, button.y - wr.top));
         };
         gui::MoveMouse(button.x, button.y + 60);
         gui::Pump(150);
         EXPECT_EQ(ScreenPixel(button), expected(month->Frame()));
         gui::MoveMouse(button.x, button.y);
         gui::Pump(150);
         EXPECT_EQ(month->Frame(), 4);
         EXPECT_EQ(ScreenPixel(button), expected(4));
         gui::MouseButton(MOUSEEVENTF_LEFTDOWN);
         gui::Pump(60);
         gui::MouseButton(MOUSEEVENTF_LEFTUP);
         gui::Pump(200);
         EXPECT_TRUE(SendMessageW(h, CB_GETDROPPEDSTATE, 0, 0));
         EXPECT_EQ(ScreenPixel(button), expected(2));
         // The fourth month, chosen from the open list.
         RECT lr;
         GetWindowRect(cbi.hwndList, &lr);
         const int ih = static_cast<int>(SendMessageW(cbi.hwndList, LB_GETITEMHEIGHT, 0, 0));
         const int top = static_cast<int>(SendMessageW(cbi.hwndList, LB_GETTOPINDEX, 0, 0));
         gui::MoveMouse(lr.left + 15, lr.top + 1 + (3 - top) * ih + ih / 2);
         gui::Pump(100);
         gui::MouseButton(MOUSEEVENTF_LEFTDOWN);
         gui::Pump(60);
         gui::MouseButton(MOUSEEVENTF_LEFTUP);
         gui::Pump(200);
         EXPECT_EQ(dlg.cbom->ItemIndex(), 3);
         gui::Key(h, VK_DOWN);
         gui::Pump(100);
         EXPECT_EQ(dlg.cbom->ItemIndex(), 4);
         // Sixty minutes in a list of sixteen: its bar is the skin's, the down arrow
         // frame 13 of 23.
         HWND minutes = dlg.cbomin->Handle();
         COMBOBOXINFO mi{sizeof mi};
         GetComboBoxInfo(minutes, &mi);
         POINT open{(mi.rcButton.left + mi.rcButton.right) / 2, (mi.rcButton.top + mi.rcButton.bottom) / 2};
         ClientToScreen(minutes, &open);
         gui::MoveMouse(open.x, open.y);
         gui::Pump(100);
         gui::MouseButton(MOUSEEVENTF_LEFTDOWN);
         gui::Pump(60);
         gui::MouseButton(MOUSEEVENTF_LEFTUP);
         gui::Pump(200);
         EXPECT_TRUE(SendMessageW(minutes, CB_GETDROPPEDSTATE, 0, 0));
         SCROLLBARINFO sbi{sizeof sbi};
         const bool bar = TSkinData::GetScrollBarInfo(mi.hwndList, OBJID_VSCROLL, &sbi) &&
                          !(sbi.rgstate[0] & STATE_SYSTEM_INVISIBLE);
         EXPECT_TRUE(bar);
         if (bar) {
           const TBitmap& arrows = *data->Scrollbar->Image;
           const int fw = arrows.Width() / 23, arrow = GetSystemMetrics(SM_CXHSCROLL);
           const POINT down{(sbi.rcScrollBar.left + sbi.rcScrollBar.right) / 2, sbi.rcScrollBar.bottom - arrow / 2 - 1};
           EXPECT_EQ(ScreenPixel(down), static_cast<COLORREF>(arrows.Pixel(12 * fw + fw / 2, arrows.Height() / 2)));
         }
         gui::Key(minutes, VK_ESCAPE);
         gui::Pump(150);
         EXPECT_FALSE(SendMessageW(minutes, CB_GETDROPPEDSTATE, 0, 0));
         return true;
       },
       [&] {
         RECT r;
         GetWindowRect(dlg.UpDyear->Handle(), &r);
         // The upper half's corner from "UpDown.Vert": the up arrow's normal
         // frame, and its pressed frame while held.
         const TDataSkinBorder& img = *data->UpDownVert;
         auto upFrame = [&](int state) {
           const RECT half{0, 0, r.right - r.left, (r.bottom - r.top) / 2};
           auto map = GetHMap(half, img.Image.get(), img.Margins(), false, img.Tile == 1, img.Frame, state);
           return static_cast<COLORREF>(map->Pixel(1, 1));
         };
         const POINT corner{r.left + 1, r.top + 1};
         EXPECT_EQ(ScreenPixel(corner), upFrame(1));
         const int before = dlg.UpDyear->Position();
         gui::MoveMouse((r.left + r.right) / 2, r.top + (r.bottom - r.top) / 4);
         gui::Pump(100);
         gui::MouseButton(MOUSEEVENTF_LEFTDOWN);
         gui::Pump(900);
         EXPECT_EQ(ScreenPixel(corner), upFrame(2)) << "pressed while held";
         gui::MouseButton(MOUSEEVENTF_LEFTUP);
         gui::Pump(150);
         EXPECT_GT(dlg.UpDyear->Position(), before + 2) << "held, the arrow repeats";
         EXPECT_EQ(dlg.EdtYear->Text(), std::to_string(dlg.UpDyear->Position() + 1900));
         gui::SaveScreenshot(dlg.Handle(), gui::ScreenshotPath("birth-dialog-Mx1.png"));
         PostMessageW(dlg.BitBtn2->Handle(), BM_CLICK, 0, 0);
         return true;
       }});
  dlg.ShowModal();
}

// Which caption buttons of the skin a window shows, by action: 0 close, 1 maximize,
// 2 minimize.
std::string ShownButtons(HWND h) {
  std::string shown;
  if (TWinSkinForm* skin = SkinFormOf(h)) {
    for (const auto& b : skin->FButtons) {
      if (b->Visible && b->Skin->Action >= 0 && b->Skin->Action <= 2) shown += std::to_string(b->Skin->Action);
    }
  }
  return shown;
}

// A dialog has no minimize or maximize box, so its skinned caption shows only the close
// button; a sizeable window keeps all three.
TEST_F(SkinnedInput, TheDialogShowsOnlyItsCloseButtonAndAWindowAllThree) {
  TForm window(&app);
  window.SetBounds(40, 40, 300, 200);
  window.Show();
  gui::Pump(300);
  std::string windowButtons = ShownButtons(window.Handle());
  std::sort(windowButtons.begin(), windowButtons.end());
  EXPECT_EQ(windowButtons, "012");
  window.Hide();
  TFrmInput dlg(Application, birth, place);
  modal::Driver d({[&] {
    if (!SkinFormOf(dlg.Handle())) return false;
    gui::Pump(200);
    EXPECT_EQ(ShownButtons(dlg.Handle()), "0");
    gui::SaveScreenshot(dlg.Handle(), gui::ScreenshotPath("birth-dialog-buttons-Mx1.png"));
    PostMessageW(dlg.BitBtn2->Handle(), BM_CLICK, 0, 0);
    return true;
  }});
  dlg.ShowModal();
}

}  // namespace
