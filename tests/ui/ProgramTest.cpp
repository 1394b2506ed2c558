// Torvik.exe as a user meets it: it starts, shows its main window, and ends cleanly.
#include <gtest/gtest.h>

#include "classlib/Files.h"
#include "classlib/Gbk.h"
#include "support/Gui.h"

namespace {

TEST(Program, StartsShowsMainWindowAndExitsCleanly) {
  gui::Process torvik(file::ProgramFolder() + "Torvik.exe");
  ASSERT_TRUE(torvik.Started());
  HWND main = gui::WaitTopWindow(torvik.Id(), "TFrmMain", "Riveri 3.5", 20000);
  ASSERT_NE(main, nullptr) << "no main window captioned \"Riveri 3.5\"";

  // The element labels of the top panel show their Chinese text.
  HWND water = gui::FindChild(main, "TLabel", gbk::FromUtf8("水"));
  EXPECT_NE(water, nullptr);
  EXPECT_NE(gui::FindChild(main, "TLabel", gbk::FromUtf8("金")), nullptr);
  gui::Pump(500);
  EXPECT_TRUE(gui::SaveScreenshot(main, gui::ScreenshotPath("main-window.png")));

  PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(torvik.WaitExit(20000), 0);
}

}  // namespace
