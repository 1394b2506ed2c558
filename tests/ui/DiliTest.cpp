// The place editor driven as a user does: a place's coordinates shown and changed,
// out-of-range input refused with the file unchanged, and No changing nothing.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "classlib/Gbk.h"
#include "classlib/TIniFile.h"
#include "support/Gui.h"
#include "support/ProgramCopy.h"
#include "tools/Udili.h"
#include "ui/ModalDriver.h"

namespace {

using gbk::U;

class PlaceEditor : public ::testing::Test {
 protected:
  void SetUp() override { Application->Title = "Riveri 3.5"; }
  std::string Value(const char* province, const char* place) {
    return TIniFile(path).ReadString(U(province), U(place), "");
  }
  TApplication app;
  ProgramCopy folder{{"dat\\dili.ini"}};  // the shipped table, changed in the test's own folder
  std::string path = folder.Path("dat\\dili.ini");
};

TEST_F(PlaceEditor, ShowsAndChangesAPlace) {
  TFrmDiLi dlg(Application, folder.Dir());
  std::string shown[4], ask, done;
  auto edit = [&](const char* d1, const char* m1, const char* d2, const char* m2) {
    gui::SetText(dlg.LedtJingDu->Handle(), d1);
    gui::SetText(dlg.LedtJingFen->Handle(), m1);
    gui::SetText(dlg.LedtWeiDu->Handle(), d2);
    gui::SetText(dlg.LedtWeiFen->Handle(), m2);
    PostMessageW(dlg.BtoEdit->Handle(), BM_CLICK, 0, 0);
    return true;
  };
  modal::Driver d({[&] {
                     TEdit* edits[4] = {dlg.LedtJingDu, dlg.LedtJingFen, dlg.LedtWeiDu, dlg.LedtWeiFen};
                     for (int i = 0; i < 4; ++i) shown[i] = edits[i]->Text();
                     gui::SaveScreenshot(dlg.Handle(), gui::ScreenshotPath("place-editor.png"));
                     return true;
                   },
                   [&] { return edit("179", "59", "89", "59"); }, modal::Answer(U("注意了"), IDYES, ask),
                   modal::Answer("Riveri 3.5", IDOK, done),
                   [&] {
                     PostMessageW(dlg.Handle(), WM_CLOSE, 0, 0);
                     return true;
                   }});
  dlg.ShowModal();
  EXPECT_EQ(dlg.CboSheng->Items()[0], U("福建省"));
  EXPECT_EQ(dlg.CboSheng->Items().Count(), 34);
  EXPECT_EQ(shown[0], "119");
  EXPECT_EQ(shown[1], "25");
  EXPECT_EQ(shown[2], "26");
  EXPECT_EQ(shown[3], "9");
  EXPECT_EQ(ask, U("确定要修改：福建省福州市 的经纬度数据吗？"));
  EXPECT_EQ(done, U("完成"));
  EXPECT_EQ(Value("福建省", "福州市"), "179:59*89:59");
}

TEST_F(PlaceEditor, RefusesOutOfRangeInputAndNoChangesNothing) {
  struct Row {
    const char* d1;
    const char* m1;
    const char* d2;
    const char* m2;
    const char* message;
  };
  const char* lonText = "经度在-180到180之间，分数在0-60之间";
  const char* latText = "纬度在-90到90之间，分数在0-60之间";
  // Each fits its field's length (three places of degrees for the longitude, two for the rest).
  const Row rows[] = {{"180", "0", "30", "0", lonText},  {"200", "0", "30", "0", lonText},
                      {"120", "60", "30", "0", lonText}, {"abc", "0", "30", "0", lonText},
                      {"120", "0", "90", "0", latText},  {"120", "0", "99", "0", latText},
                      {"120", "0", "30", "60", latText}, {"120", "0", "30", "", latText}};
  TFrmDiLi dlg(Application, folder.Dir());
  std::vector<std::string> messages(std::size(rows));
  std::vector<std::string> asks(std::size(rows) + 1);
  std::vector<std::function<bool()>> steps;
  for (size_t i = 0; i < std::size(rows); ++i) {
    const Row& r = rows[i];
    steps.push_back([&dlg, r] {
      gui::SetText(dlg.LedtJingDu->Handle(), r.d1);
      gui::SetText(dlg.LedtJingFen->Handle(), r.m1);
      gui::SetText(dlg.LedtWeiDu->Handle(), r.d2);
      gui::SetText(dlg.LedtWeiFen->Handle(), r.m2);
      PostMessageW(dlg.BtoEdit->Handle(), BM_CLICK, 0, 0);
      return true;
    });
    steps.push_back(modal::Answer(U("注意了"), IDYES, asks[i]));
    steps.push_back(modal::Answer(U("输入错误"), IDOK, messages[i]));
  }
  steps.push_back([&dlg] {
    gui::SetText(dlg.LedtJingDu->Handle(), "100");
    PostMessageW(dlg.BtoEdit->Handle(), BM_CLICK, 0, 0);
    return true;
  });
  steps.push_back(modal::Answer(U("注意了"), IDNO, asks.back()));
  steps.push_back([&dlg] {
    PostMessageW(dlg.Handle(), WM_CLOSE, 0, 0);
    return true;
  });
  std::string dropped;  // the typed coordinates are left unsaved: closing asks first
  steps.push_back(modal::Answer(U("注意了"), IDYES, dropped));
  modal::Driver d(steps);
  dlg.ShowModal();
  for (size_t i = 0; i < std::size(rows); ++i) {
    SCOPED_TRACE(std::string(rows[i].d1) + "/" + rows[i].m1 + "/" + rows[i].d2 + "/" + rows[i].m2);
    EXPECT_EQ(messages[i], U(rows[i].message));
  }
  EXPECT_NE(dropped.find(U("放弃改动")), std::string::npos) << gbk::ToUtf8(dropped);
  EXPECT_EQ(Value("福建省", "福州市"), "119:25*26:9");
}

}  // namespace
