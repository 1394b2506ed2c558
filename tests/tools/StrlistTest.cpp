// The list-input and help windows through real messages: which button gives which
// modal result, the lines handed in and taken back, and the read-only help memos.
#include <gtest/gtest.h>

#include <functional>

#include "classlib/ExtCtrls.h"
#include "classlib/Gbk.h"
#include "classlib/TStringList.h"
#include "support/Gui.h"
#include "tools/Ustrlist.h"
#include "tools/Utxthelp.h"

namespace {

using gbk::U;

class StrlistTest : public ::testing::Test {
 protected:
  void SetUp() override { app.Initialize(); }
  // Runs `action` once the modal form is on the screen.
  int RunModal(TForm& form, std::function<void()> action) {
    TTimer timer(nullptr);
    timer.SetInterval(150);
    timer.OnTimer = [&](TObject*) {
      timer.SetEnabled(false);
      action();
    };
    timer.SetEnabled(true);
    return form.ShowModal();
  }
  TApplication app;
};

TEST_F(StrlistTest, OnlyTheOkButtonAccepts) {
  struct Row {
    const char* what;
    std::function<void(TFrmStrList&)> act;
    int result;
  } rows[] = {
      {"测算", [](TFrmStrList& f) { PostMessageW(f.BitBtn2->Handle(), BM_CLICK, 0, 0); }, mrOk},
      {"返回", [](TFrmStrList& f) { PostMessageW(f.BitBtn1->Handle(), BM_CLICK, 0, 0); }, mrCancel},
      {"close", [](TFrmStrList& f) { PostMessageW(f.Handle(), WM_CLOSE, 0, 0); }, mrCancel},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    TFrmStrList f(&app);
    EXPECT_EQ(RunModal(f, [&] { r.act(f); }), r.result);
  }
}

TEST_F(StrlistTest, RemembersLinesRoundTrip) {
  TStringList remembered;
  remembered.Add("13812345678");
  remembered.Add(U("某某公司"));
  TFrmStrList f(&app);
  EXPECT_EQ(f.Caption(), U("可以输入多个号码，一行一个"));
  EXPECT_EQ(f.BitBtn2->Caption(), U("测算"));
  EXPECT_EQ(f.BitBtn1->Caption(), U("返回"));
  f.MeoInput->SetText(remembered.Text());
  int result = RunModal(f, [&] {
    HWND memo = f.MeoInput->Handle();
    EXPECT_EQ(gui::Text(memo), U("13812345678\r\n某某公司\r\n"));
    EXPECT_TRUE(GetWindowLongW(memo, GWL_STYLE) & WS_VSCROLL);
    gui::SetText(memo, U("88\r\n京A 12345\r\n"));
    gui::Pump(50);
    gui::SaveScreenshot(f.Handle(), gui::ScreenshotPath("strlist.png"));
    gui::Click(f.BitBtn2->Handle());
  });
  ASSERT_EQ(result, mrOk);
  remembered.SetText(f.MeoInput->Text());
  ASSERT_EQ(remembered.Count(), 2);
  EXPECT_EQ(remembered[0], "88");
  EXPECT_EQ(remembered[1], U("京A 12345"));
}

TEST_F(StrlistTest, HelpMemosAreReadOnlyAndScroll) {
  TFrmTxtHelp f(&app);
  EXPECT_EQ(f.Caption(), U("软件帮助"));
  ASSERT_EQ(f.PageControl1->PageCount(), 2);
  struct Row {
    TTabSheet* tab;
    TMemo* memo;
    const char* caption;
    const char* shot;
  } rows[] = {
      {f.TabUsage, f.MeoUsage, "使用说明", "txthelp-usage.png"},
      {f.TabHistory, f.MeoHistory, "升级改进历史", "txthelp-history.png"},
  };
  RunModal(f, [&] {
    for (const Row& r : rows) {
      SCOPED_TRACE(r.caption);
      EXPECT_EQ(r.tab->Caption(), U(r.caption));
      f.PageControl1->SetActivePage(r.tab);
      HWND memo = r.memo->Handle();
      LONG style = GetWindowLongW(memo, GWL_STYLE);
      EXPECT_TRUE(style & ES_READONLY);
      EXPECT_TRUE(style & WS_VSCROLL);
      std::string text = gui::Text(memo);
      EXPECT_EQ(text.rfind("Torvik", 0), 0u);
      for (size_t i = text.find('\n'); i != std::string::npos; i = text.find('\n', i + 1)) {
        ASSERT_TRUE(i > 0 && text[i - 1] == '\r') << "bare line end at " << i;
      }
      // Typing into a read-only memo changes nothing.
      PostMessageW(memo, WM_CHAR, 'x', 0);
      gui::Pump(50);
      EXPECT_EQ(gui::Text(memo), text);
      EXPECT_TRUE(IsWindowVisible(memo));
      gui::SaveScreenshot(f.Handle(), gui::ScreenshotPath(r.shot));
    }
    PostMessageW(f.Handle(), WM_CLOSE, 0, 0);
  });
}

}  // namespace
