// Windows without class-library objects in a skin: a message box's buttons get their
// skinners by window class, show the skin's button frames on the screen and still
// answer the real mouse.
#include <gtest/gtest.h>

#include <string>

#include "classlib/Forms.h"
#include "classlib/Gbk.h"
#include "skin/WinSkinData.h"
#include "skin/WinSkinDlg.h"
#include "skin/WinSkinForm.h"
#include "skin/WinSkinFrame.h"
#include "skin/WinSubClass.h"
#include "skinform/SkinFormFixture.h"
#include "support/Gui.h"
#include "support/SkinPixels.h"
#include "ui/ModalDriver.h"

namespace {

using skinform::SkinPath;

void RealClick(HWND h) {
  gui::Hover(h);
  for (DWORD flag : {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flag;
    SendInput(1, &in, sizeof in);
    gui::Pump(60);
  }
}

class BareWindows : public skinform::SkinTest {};

TEST_F(BareWindows, MessageBoxButtonWearsTheSkinAndAnswersTheRealMouse) {
  for (const char* skin : {"Mx1", "Ink"}) {
    SCOPED_TRACE(skin);
    ASSERT_TRUE(data->LoadFromFile(SkinPath(skin))) << data->LastError();
    data->SetActive(true);
    ASSERT_TRUE(data->Buttons && !EmptyImage(data->Buttons->Image.get()));
    LRESULT answered = -1;
    std::string skinner;
    skinpixels::Match normal;
    int tries = 0;
    modal::Driver driver({[&] {
      HWND box = gui::WaitTopWindow(GetCurrentProcessId(), "#32770", gbk::FromUtf8("提示"), 50);
      HWND ok = box ? FindWindowExW(box, nullptr, L"Button", nullptr) : nullptr;
      if (!ok) return false;
      answered = SendMessageW(ok, CN_IsSkinned, 0, 0);
      if (answered != 1 && ++tries < 30) return false;  // the box is skinned once it is active
      if (TWinSkinForm* form = SkinFormOf(box)) {
        if (TSkinControl* s = form->Lookupcontrol(ok)) skinner = s->ClassName();
      }
      gui::MoveMouse(2, 2);
      gui::Pump(300);
      auto* button = dynamic_cast<TSkinButton*>(SkinFormOf(box) ? SkinFormOf(box)->Lookupcontrol(ok) : nullptr);
      normal = skinpixels::MatchButton(ok, *data->Buttons, button ? button->Frame() : 5);
      gui::SaveScreenshot(box, gui::ScreenshotPath(std::string("messagebox-") + skin + ".png"));
      RealClick(ok);
      return true;
    }});
    const int result = MessageBoxW(nullptr, gbk::ToWide(gbk::FromUtf8("姓名不能为空")).c_str(),
                                   gbk::ToWide(gbk::FromUtf8("提示")).c_str(), MB_OK | MB_ICONINFORMATION);
    EXPECT_EQ(answered, 1);
    EXPECT_EQ(skinner, "TSkinButton");
    EXPECT_GT(normal.sampled, 40);
    EXPECT_TRUE(normal.Mostly()) << normal.matching << " of " << normal.sampled;
    EXPECT_EQ(result, IDOK) << "the real click on the skinned OK closes the box";
    data->SetActive(false);
    gui::Pump(200);
  }
}

}  // namespace
