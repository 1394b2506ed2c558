// The common dialogs, confirmed as a user would: their results come back in GBK fields.
#include <gtest/gtest.h>

#include "classlib/Dialogs.h"
#include "classlib/Files.h"
#include "classlib/Forms.h"
#include "classlib/Gbk.h"
#include "support/Gui.h"
#include "support/TempFolder.h"

namespace {

using gbk::U;

// Presses OK on the next dialog box of this thread once it is shown.
void ConfirmNextDialog() {
  SetTimer(nullptr, 0, 300, [](HWND, UINT, UINT_PTR id, DWORD) {
    HWND dlg = gui::WaitTopWindow(GetCurrentProcessId(), "#32770", "", 0);
    if (!dlg) return;
    KillTimer(nullptr, id);
    PostMessageW(dlg, WM_COMMAND, IDOK, 0);
  });
}

class DialogsTest : public ::testing::Test {
 protected:
  void SetUp() override { app.Initialize(); }
  TApplication app;
};

TEST_F(DialogsTest, SaveDialogAddsTheDefaultExtensionAndKeepsTheFilterChoice) {
  TempFolder tmp;
  TSaveDialog dlg(&app);
  dlg.Filter = U("Rtf格式|*.rtf|Txt格式|*.txt");
  dlg.FilterIndex = 2;
  dlg.DefaultExt = "txt";
  dlg.FileName = tmp.Path(U("命稿"));
  ConfirmNextDialog();
  ASSERT_TRUE(dlg.Execute());
  EXPECT_EQ(dlg.FileName, tmp.Path(U("命稿.txt")));
  EXPECT_EQ(dlg.FilterIndex, 2);
}

TEST_F(DialogsTest, OpenDialogReturnsAnExistingFile) {
  TempFolder tmp;
  std::string path = tmp.Path(U("李四.rtf"));
  ASSERT_TRUE(file::WriteAtomic(path, "{\\rtf1 x}"));
  TOpenDialog dlg(&app);
  dlg.Filter = "All.rtf|*.rtf|All.txt|*.txt";
  dlg.FileName = path;
  ConfirmNextDialog();
  ASSERT_TRUE(dlg.Execute());
  EXPECT_EQ(dlg.FileName, path);
  EXPECT_EQ(dlg.FilterIndex, 1);
}

TEST_F(DialogsTest, FontAndColourDialogsGiveBackWhatTheyWereGiven) {
  TFontDialog font(&app);
  font.Font.Name = "Tahoma";
  font.Font.Size = 12;
  font.Font.Bold = true;
  font.Font.Color = clRed;
  ConfirmNextDialog();
  ASSERT_TRUE(font.Execute());
  EXPECT_EQ(font.Font.Size, 12);
  EXPECT_TRUE(font.Font.Bold);
  EXPECT_EQ(font.Font.Color, clRed);
  EXPECT_FALSE(font.Font.Name.empty());

  TColorDialog colour(&app);
  colour.Color = 0xC0CCD0;
  ConfirmNextDialog();
  ASSERT_TRUE(colour.Execute());
  EXPECT_EQ(colour.Color, 0xC0CCD0);
}

}  // namespace
