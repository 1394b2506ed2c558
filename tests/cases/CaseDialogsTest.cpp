// The case dialogs shown modally and driven through real messages.
#include <gtest/gtest.h>

#include "cases/CaseScript.h"
#include "cases/FrmClassEdit.h"
#include "cases/FrmFenLei.h"
#include "cases/FrmInfo.h"
#include "cases/FrmSearch.h"
#include "classlib/Files.h"
#include "classlib/TIniFile.h"
#include "support/TempFolder.h"

namespace {

using gbk::U;

class CaseDialogs : public ::testing::Test {
 protected:
  void SetUp() override {
    app.Initialize();
    app.Title = "Torvik";
    file::ForceDirectories(temp.Path("dat"));
  }
  void Shot(HWND h, const char* name) { gui::SaveScreenshot(h, gui::ScreenshotPath(name)); }
  TApplication app;
  TempFolder temp;
  TIniFile ini{temp.Path("dat\\init.ini")};
};

TEST_F(CaseDialogs, FenLeiRefusesAnEmptyCategoryThenTakesTheTypedOne) {
  ini.WriteInteger("classes", "count", 2);
  ini.WriteString("classes", "1", U("家人"));
  ini.WriteString("classes", "2", U("朋友"));
  TFrmFenLei dlg(&app, ini);
  CaseScript s;
  s.OnForm<TFrmFenLei>("TFrmFenLei", [&](TFrmFenLei& f) {
    EXPECT_EQ(f.CboFenLei->Text(), U("家人"));
    EXPECT_EQ(f.Memo1->Text(), U("备注:"));
    Shot(f.Handle(), "FrmFenLei.png");
    f.CboFenLei->SetText("  ");
    CaseScript::Press(f.Btnok);
  });
  s.Answer("错误", IDOK);
  s.OnForm<TFrmFenLei>("TFrmFenLei", [&](TFrmFenLei& f) {
    f.CboFenLei->SetText(U(" 同学 "));
    CaseScript::Press(f.Btnok);
  });
  EXPECT_EQ(dlg.ShowModal(), mrOk);
  ASSERT_EQ(s.texts.size(), 1u);
  EXPECT_EQ(s.texts[0], "类别不能为空");
  EXPECT_EQ(dlg.category, U("同学"));
  EXPECT_EQ(dlg.note, U("备注:"));
}

TEST_F(CaseDialogs, ClassEditNamesTheBadLineAndWritesAGoodList) {
  ini.WriteInteger("classes", "count", 5);
  for (int i = 1; i <= 5; ++i) ini.WriteString("classes", std::to_string(i), "c" + std::to_string(i));
  TFrmClassEdit dlg(&app, ini);
  CaseScript s;
  s.OnForm<TFrmClassEdit>("TFrmClassEdit", [&](TFrmClassEdit& f) {
    EXPECT_EQ(f.Memo1->Text(), "c1\r\nc2\r\nc3\r\nc4\r\nc5\r\n");
    Shot(f.Handle(), "FrmClassEdit.png");
    f.Memo1->SetText(U("家人\r\n七个汉字的类别\r\n"));
    CaseScript::Press(f.BitBtn1);
  });
  s.Answer("Torvik", IDOK);
  s.OnForm<TFrmClassEdit>("TFrmClassEdit", [&](TFrmClassEdit& f) {
    f.Memo1->SetText(U("家人\r\n六个汉字类别\r\n同学"));
    CaseScript::Press(f.BitBtn1);
  });
  EXPECT_EQ(dlg.ShowModal(), mrOk);
  ASSERT_EQ(s.texts.size(), 1u);
  EXPECT_EQ(s.texts[0], "第2行类别名不合规定，不能加入。");
  EXPECT_EQ(ini.ReadInteger("classes", "count", 0), 3);
  EXPECT_EQ(ini.ReadString("classes", "2", ""), U("六个汉字类别"));
  EXPECT_EQ(ini.ReadString("classes", "5", ""), "c5");  // past count, left alone
}

TEST_F(CaseDialogs, InfoShowsBcYearsAndTakesThePlaceWithItsCoordinates) {
  ASSERT_TRUE(file::WriteAtomic(temp.Path("dat\\dili.ini"), U("[福建省]\r\n福州=119:18*26:5\r\n厦门=118:6*24:30\r\n")));
  TFrmInfo dlg(&app, ini, temp.Dir());
  SetText(dlg.record.name, U("张三"));
  SetText(dlg.record.category, U("家人"));
  SetText(dlg.record.note, U("备注:"));
  dlg.record.year = 0;
  dlg.record.month = 2;
  dlg.record.day = 3;
  dlg.record.hour = 23;
  dlg.record.male = 1;
  dlg.record.provinceIndex = 0;
  dlg.record.cityIndex = 9;  // past the list: the first place
  CaseScript s;
  s.OnForm<TFrmInfo>("TFrmInfo", [&](TFrmInfo& f) {
    EXPECT_EQ(f.EdtYear->Text(), "-1");
    EXPECT_EQ(f.UpDyear->Position(), 0);
    EXPECT_EQ(f.cbos->Items()[f.cbos->ItemIndex()], U("23时子"));
    EXPECT_EQ(f.cbodiC->ItemIndex(), 0);
    Shot(f.Handle(), "FrmInfo.png");
    f.EdtYear->SetText("-850");
    CaseScript::Press(f.BitBtn1);
  });
  s.Answer("提示", IDYES);
  s.Answer("年份错误", IDOK);
  s.OnForm<TFrmInfo>("TFrmInfo", [&](TFrmInfo& f) {
    f.EdtYear->SetText("-849");
    f.cbodiC->SetItemIndex(1);
    f.cbodiCClick(f.cbodiC);
    CaseScript::Press(f.BitBtn1);
  });
  s.Answer("提示", IDYES);
  EXPECT_EQ(dlg.ShowModal(), mrOk);
  EXPECT_EQ(dlg.record.year, -848);
  EXPECT_EQ(FieldText(dlg.record.place), U("福建省-厦门"));
  EXPECT_NEAR(dlg.record.longitude, 118.1f, 1e-4);
  EXPECT_NEAR(dlg.record.latitude, 24.5f, 1e-4);
  EXPECT_EQ(dlg.record.cityIndex, 1);
}

}  // namespace
