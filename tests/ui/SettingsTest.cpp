// The settings dialogs driven as a user does: what a fresh set.ini shows, the left
// margin's range, and the closing text with its switch.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "classlib/Files.h"
#include "classlib/Gbk.h"
#include "classlib/TIniFile.h"
#include "classlib/TStringList.h"
#include "support/Gui.h"
#include "support/TempFolder.h"
#include "ui/ModalDriver.h"
#include "ui/Untendfo.h"
#include "ui/Untmain.h"
#include "ui/Untset.h"

namespace {

using gbk::U;

class Settings : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Title = "Riveri 3.5";
    AppDir = temp.Dir();
    file::CreateDir(temp.Path("dat"));
  }
  TApplication app;
  TempFolder temp;
};

TEST_F(Settings, FreshFileShowsTheDefaultsAndTheMarginIsChecked) {
  TFrmSet dlg(Application);
  bool fresh[7] = {};
  const char* const margins[] = {"501", "abc", "-1"};
  std::vector<std::string> messages(std::size(margins));
  std::vector<std::function<bool()>> steps = {[&] {
    fresh[0] = dlg.ChkSave->Checked();
    fresh[1] = dlg.ChkZiShi->Checked();
    fresh[2] = dlg.ChkCongGe->Checked();
    fresh[3] = dlg.ChkScore->Checked();
    fresh[4] = dlg.ChkBianGe->Checked();
    fresh[5] = dlg.CboSelDate->ItemIndex() == 0;
    fresh[6] = dlg.CboWordLen->ItemIndex() == 0;
    gui::SaveScreenshot(dlg.Handle(), gui::ScreenshotPath("settings-dialog.png"));
    return true;
  }};
  for (size_t i = 0; i < std::size(margins); ++i) {
    const char* margin = margins[i];
    steps.push_back([&dlg, margin] {
      gui::SetText(dlg.LedtLeft->Handle(), margin);
      PostMessageW(dlg.BitBtn1->Handle(), BM_CLICK, 0, 0);
      return true;
    });
    steps.push_back(modal::Answer("", IDOK, messages[i]));
  }
  steps.push_back([&] {
    gui::SetText(dlg.LedtLeft->Handle(), "500");
    dlg.ChkSave->SetChecked(true);
    dlg.CboSelDate->SetItemIndex(1);
    dlg.CboWordLen->SetItemIndex(1);
    PostMessageW(dlg.BitBtn1->Handle(), BM_CLICK, 0, 0);
    return true;
  });
  modal::Driver d(steps);
  ASSERT_EQ(dlg.ShowModal(), mrOk);
  const bool expected[7] = {false, false, false, false, true, true, true};
  for (int i = 0; i < 7; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(fresh[i], expected[i]);
  }
  ASSERT_EQ(messages.size(), 3u);
  for (const std::string& m : messages) EXPECT_EQ(m, U("文件左边距离在0－500之间。"));
  TIniFile ini(temp.Path("dat\\set.ini"));
  EXPECT_EQ(ini.ReadInteger("set", "ileft", -1), 500);
  EXPECT_EQ(ini.ReadInteger("set", "iDate", -1), 1);
  EXPECT_EQ(ini.ReadInteger("set", "iwordlen", -1), 1);
  EXPECT_TRUE(ini.ReadBool("set", "save", false));
  EXPECT_TRUE(ini.ReadBool("set", "biange", false));
}

TEST_F(Settings, ClosingTextRefusesEmptyTextAndWritesItsSwitch) {
  TIniFile(temp.Path("dat\\set.ini")).WriteBool("set", "endinfo", true);
  TFrmEndfo dlg(Application);
  std::string message;
  bool ticked = false;
  modal::Driver d({[&] {
                     ticked = dlg.ChkAuto->Checked();
                     PostMessageW(dlg.Btnok->Handle(), BM_CLICK, 0, 0);
                     return true;
                   },
                   modal::Answer(U("信息"), IDOK, message),
                   [&] {
                     gui::SetText(dlg.Memo1->Handle(), U("仅供参考\r\n第二行"));
                     dlg.ChkAuto->SetChecked(false);
                     PostMessageW(dlg.Btnok->Handle(), BM_CLICK, 0, 0);
                     return true;
                   }});
  ASSERT_EQ(dlg.ShowModal(), mrOk);
  EXPECT_TRUE(ticked);
  EXPECT_EQ(message, U("输入不能为空"));
  TStringList lines;
  ASSERT_TRUE(lines.LoadFromFile(temp.Path("dat\\EndInfo.txt")));
  ASSERT_EQ(lines.Count(), 2);
  EXPECT_EQ(lines[1], U("第二行"));
  EXPECT_FALSE(TIniFile(temp.Path("dat\\set.ini")).ReadBool("set", "endinfo", true));
}

}  // namespace
