// The dictionary editor driven as a user does, on a copy of the shipped dictionaries:
// look-up, the input checks, a confirmed save that both files then hold, the groups
// rebuilt on close, and a Kangxi fix through the file dialog.
#include <gtest/gtest.h>

#include "classlib/Files.h"
#include "classlib/Gbk.h"
#include "classlib/StrUtils.h"
#include "classlib/TStringList.h"
#include "dictionary/Editdict.h"
#include "support/Gui.h"
#include "support/ShippedFolder.h"
#include "support/TempFolder.h"
#include "ui/ModalDriver.h"

namespace {

using gbk::U;

class EditDict : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Title = "Riveri 3.5";
    file::CreateDir(temp.Path("dat"));
    std::string shipped = ShippedFolder() + "dat\\";
    for (const char* name : {"ChiWord.db", "ChiWordMini.db"})
      ASSERT_TRUE(file::Copy(shipped + name, temp.Path(std::string("dat\\") + name), false));
    dlg = new TFrmEditDict(Application, lib);
  }
  void TearDown() override { delete dlg; }

  static void Click(TControl* c) { PostMessageW(c->Handle(), BM_CLICK, 0, 0); }
  std::function<bool()> Type(TControl* box, const std::string& text) {
    return [box, text] {
      gui::SetText(box->Handle(), text);
      return true;
    };
  }
  std::function<bool()> Press(TControl* c) {
    return [c] {
      Click(c);
      return true;
    };
  }
  // The record of `word` in the full (0) or quick (1) file, read afresh.
  CharRecord Stored(int variant, const char* word) {
    MNameLibrary fresh(temp.Dir());
    CharRecord r;
    EXPECT_TRUE(fresh.Open(variant) && fresh.GetCharInfo(U(word), r)) << fresh.LastError();
    return r;
  }
  // Whether `word` stands in the Kangxi stroke group of `strokes` in that file.
  bool Grouped(int variant, const char* word, int strokes) {
    MNameLibrary fresh(temp.Dir());
    std::vector<int> counts;
    TStringList groups;
    EXPECT_TRUE(fresh.Open(variant) && fresh.LoadStrokeGroups(1, counts, groups)) << fresh.LastError();
    return strokes <= groups.Count() && dictsql::FindChar(groups[strokes - 1], U(word)) > 0;
  }

  TApplication app;
  TempFolder temp;
  MNameLibrary lib{temp.Dir()};
  TFrmEditDict* dlg = nullptr;
};

TEST_F(EditDict, LooksUpChecksSavesBothFilesAndRegroupsOnClose) {
  CharRecord before = Stored(0, "李");
  int kx = before.kxLen == 20 ? 21 : 20;  // a count the character does not have yet
  ASSERT_FALSE(Grouped(0, "李", kx));
  std::string oneByte, ask, range, fixed, saved, regroup, label;
  HWND focusAfterRange = nullptr;
  modal::Driver d({
      Type(dlg->EdtWord, "a"),
      Press(dlg->Button1),
      modal::Answer("", IDOK, oneByte),
      Type(dlg->EdtWord, U("李")),
      [&] {
        gui::PressKey(dlg->EdtWord->Handle(), VK_RETURN);
        return true;
      },
      [&] {
        gui::Pump(100);
        label = dlg->EdtWord->EditLabel()->Text();
        gui::SaveScreenshot(dlg->Handle(), gui::ScreenshotPath("dict-editor.png"));
        return true;
      },
      Type(dlg->EdtKxLen, "100"),
      Press(dlg->BitBtn1),
      modal::Answer(U("修改汉字"), IDYES, ask),
      modal::Answer("", IDOK, range),
      [&] {
        focusAfterRange = GetFocus();
        return true;
      },
      Type(dlg->EdtKxLen, IntToStr(kx)),
      Type(dlg->EdtTruePy, "li'zi"),
      Type(dlg->EdtWord, U("王")),  // typed since the look-up: the save still means 李
      Press(dlg->BitBtn1),
      modal::Answer(U("修改汉字"), IDYES, ask),
      modal::Answer("", IDOK, fixed),
      modal::Answer("", IDOK, saved),
      Press(dlg->BtnClose),
      modal::Answer("", IDOK, regroup),
  });
  EXPECT_EQ(dlg->ShowModal(), mrCancel);
  EXPECT_EQ(oneByte, U("请输入要查询的汉字！"));
  EXPECT_EQ(label, U("李 ") + IntToStr(before.id));
  EXPECT_EQ(ask, U("确定要修改【李】这个汉字的数据吗？"));
  EXPECT_EQ(range, U("笔画数在1-99之间！"));
  EXPECT_EQ(focusAfterRange, dlg->EdtKxLen->Handle());
  EXPECT_EQ(fixed, U("矫正输入拼音！"));
  EXPECT_EQ(saved, U("成功修改完成！"));
  EXPECT_EQ(regroup, U("数据库有改动，需要重新计算，请等待操作完成！"));
  EXPECT_EQ(dlg->EdtTruePy->Text(), U("li‘zi"));
  EXPECT_EQ(dlg->EdtWord->Text(), U("李"));

  for (int variant : {0, 1}) {
    SCOPED_TRACE(variant ? "quick file" : "full file");
    CharRecord now = Stored(variant, "李");
    EXPECT_EQ(now.kxLen, kx);
    EXPECT_EQ(now.truePy, U("li‘zi"));
    EXPECT_TRUE(Grouped(variant, "李", kx));
  }
  // The quick file keeps its own id and holds none of the long texts.
  EXPECT_TRUE(Stored(1, "李").normalExp.empty());
  EXPECT_EQ(Stored(0, "李").normalExp, before.normalExp);
}

TEST_F(EditDict, FailedLookUpForgetsTheCharacterAndCloseWithoutSaveKeepsGroups) {
  std::string missing, noWord;
  bool boxOnClose = false;
  modal::Driver d({
      Type(dlg->EdtWord, U("李")),
      Press(dlg->Button1),
      Type(dlg->EdtWord, U("　")),  // two bytes, not a character of the dictionary
      Press(dlg->Button1),
      modal::Answer("", IDOK, missing),
      Press(dlg->BitBtn1),
      modal::Answer("", IDOK, noWord),
      Press(dlg->BtnClose),
      [&] {
        boxOnClose = gui::WaitTopWindow(GetCurrentProcessId(), "#32770", "", 300) != nullptr;
        return true;
      },
  });
  EXPECT_EQ(dlg->ShowModal(), mrCancel);
  EXPECT_EQ(missing, U("字库里面没有这个汉字！"));
  EXPECT_EQ(noWord, U("请先输入一个要修改的汉字！"));
  EXPECT_FALSE(boxOnClose);
  EXPECT_FALSE(dlg->DbChanged);
}

// Types `path` into the open dialog's file name and confirms it.
std::function<bool()> ChooseInFileDialog(const std::string& path) {
  return [path] {
    HWND box = gui::WaitTopWindow(GetCurrentProcessId(), "#32770", "", 50);
    if (!box) return false;
    HWND name = GetDlgItem(box, 0x47C);  // the file name combo
    if (!name) name = GetDlgItem(box, 0x480);
    if (!name) return false;
    SetWindowTextW(name, gbk::ToWide(path).c_str());
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    return true;
  };
}

TEST_F(EditDict, KangxiFixMarksTheDictionaryChanged) {
  TStringList lines;
  lines.Add(U("李 9"));
  lines.Add("abcd");
  lines.Add("ab");
  std::string list = temp.Path("kx.txt");
  ASSERT_TRUE(lines.SaveToFile(list));
  std::string result, regroup;
  modal::Driver d({
      Type(dlg->EdtWord, U("修改康熙")),
      Press(dlg->Button1),
      ChooseInFileDialog(list),
      modal::Answer("", IDOK, result),
      Press(dlg->BtnClose),
      modal::Answer("", IDOK, regroup),
  });
  EXPECT_EQ(dlg->ShowModal(), mrCancel);
  EXPECT_EQ(result, U("无法修改笔画的汉字：abcd，"));
  EXPECT_EQ(regroup, U("数据库有改动，需要重新计算，请等待操作完成！"));
  EXPECT_EQ(Stored(0, "李").kxLen, 9);
  EXPECT_TRUE(Grouped(0, "李", 9));
}

}  // namespace
