// The settings dialogs driven as a user does: what a fresh set.ini shows, the left
// margin's range, and the closing text with its switch.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "classlib/ExtCtrls.h"
#include "classlib/Files.h"
#include "classlib/Gbk.h"
#include "classlib/TIniFile.h"
#include "classlib/TStringList.h"
#include "support/Gui.h"
#include "support/TempFolder.h"
#include "ui/Untendfo.h"
#include "ui/Untmain.h"
#include "ui/Untset.h"

namespace {

std::string U(const char* utf8) { return gbk::FromUtf8(utf8); }

// Runs one step a timer tick while a dialog is modal; a step returning false is retried.
class Driver {
 public:
  explicit Driver(std::vector<std::function<bool()>> steps) : steps_(std::move(steps)), timer_(nullptr) {
    timer_.SetInterval(100);
    timer_.OnTimer = [this](TObject*) {
      if (busy_ || next_ >= steps_.size()) return;
      busy_ = true;
      if (steps_[next_]()) ++next_;
      busy_ = false;
    };
  }

 private:
  std::vector<std::function<bool()>> steps_;
  size_t next_ = 0;
  bool busy_ = false;
  TTimer timer_;
};

// The text of the message box on show, after pressing its OK; "" while none is up.
std::string CloseMessageBox() {
  HWND box = gui::WaitTopWindow(GetCurrentProcessId(), "#32770", "", 50);
  if (!box) return {};
  std::string text;
  for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    if (gui::Text(c).size() > 4) text = gui::Text(c);
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  return text.empty() ? std::string(" ") : text;
}

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
  std::vector<std::string> messages;
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
  for (const char* margin : {"501", "abc", "-1"}) {
    steps.push_back([&dlg, margin] {
      gui::SetText(dlg.LedtLeft->Handle(), margin);
      PostMessageW(dlg.BitBtn1->Handle(), BM_CLICK, 0, 0);
      return true;
    });
    steps.push_back([&] {
      std::string t = CloseMessageBox();
      if (!t.empty()) messages.push_back(t);
      return !t.empty();
    });
  }
  steps.push_back([&] {
    gui::SetText(dlg.LedtLeft->Handle(), "500");
    dlg.ChkSave->SetChecked(true);
    dlg.CboSelDate->SetItemIndex(1);
    dlg.CboWordLen->SetItemIndex(1);
    PostMessageW(dlg.BitBtn1->Handle(), BM_CLICK, 0, 0);
    return true;
  });
  Driver d(steps);
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
  Driver d({[&] {
              ticked = dlg.ChkAuto->Checked();
              PostMessageW(dlg.Btnok->Handle(), BM_CLICK, 0, 0);
              return true;
            },
            [&] {
              message = CloseMessageBox();
              return !message.empty();
            },
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
