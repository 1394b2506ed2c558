// The birth-data dialog driven as a user does: a lunar date with its leap month and a
// place from the table reach the birth record and the analysis; bad input keeps the
// dialog open with its message.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "classlib/Gbk.h"
#include "classlib/StrUtils.h"
#include "classlib/TIniFile.h"
#include "engine/Decname.h"
#include "support/Gui.h"
#include "support/ProgramCopy.h"
#include "ui/ModalDriver.h"
#include "ui/Uinput.h"
#include "ui/Untmain.h"

namespace {

using gbk::U;

TEST(PlaceValue, ReadsDegreesAndMinutesOrGivesTheDefault) {
  struct Row {
    const char* value;
    bool ok;
    float lon, lat;
  };
  const Row rows[] = {
      {"119:18*26:5", true, 119.3f, 26.0833f},
      {"120:0*30:0", true, 120.0f, 30.0f},
      {"-0:30*-10:15", true, -0.5f, -10.25f},
      {"119*26", false, 120.0f, 30.0f},
      {"abc", false, 120.0f, 30.0f},
      {"119:75*26:0", false, 120.0f, 30.0f},
      {"", false, 120.0f, 30.0f},
      {"200:0*26:0", false, 120.0f, 30.0f},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.value);
    float lon = 0, lat = 0;
    EXPECT_EQ(ParsePlaceValue(r.value, lon, lat), r.ok);
    EXPECT_NEAR(lon, r.lon, 1e-3);
    EXPECT_NEAR(lat, r.lat, 1e-3);
  }
}

class InputDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Title = "Riveri 3.5";
    AppDir = folder.Dir();
    birth.year = 1990;
    birth.month = 6;
    birth.day = 15;
    birth.hour = 8;
    place = U("未知地。");
  }
  TApplication app;
  // The shipped dictionary, place table and settings, in the test's own folder.
  ProgramCopy folder{{"dat\\ChiWord.db", "dat\\dili.ini", "dat\\set.ini"}};
  BirthRecord birth;
  std::string place;
};

TEST_F(InputDialog, LunarLeapMonthAndPlaceReachTheRecordAndTheAnalysis) {
  TFrmInput dlg(Application, birth, place);
  modal::Driver d({[&] {
                     gui::SetText(dlg.EdtYear->Handle(), "2020");
                     dlg.cbom->SetItemIndex(3);  // the (leap) fourth month
                     dlg.cbod->SetItemIndex(0);
                     dlg.cbos->SetItemIndex(23);
                     dlg.Rdonl->SetChecked(true);
                     dlg.Rdogl->SetChecked(false);
                     dlg.Chkrun->SetChecked(true);
                     dlg.Rdonv->SetChecked(true);
                     dlg.Rdona->SetChecked(false);
                     dlg.cbodiZ->SetItemIndex(0);
                     dlg.cbodiZClick(nullptr);
                     return true;
                   },
                   [&] {
                     gui::SaveScreenshot(dlg.Handle(), gui::ScreenshotPath("birth-dialog.png"));
                     PostMessageW(dlg.BitBtn1->Handle(), BM_CLICK, 0, 0);
                     return true;
                   }});
  ASSERT_EQ(dlg.ShowModal(), mrOk);
  EXPECT_EQ(dlg.cbos->Items()[23], U("23时子"));
  EXPECT_EQ(dlg.cbos->Items()[0], U("0时子"));
  EXPECT_EQ(dlg.cbos->Items()[1], U("1时丑"));
  EXPECT_EQ(birth.year, 2020);
  EXPECT_EQ(birth.month, 4);
  EXPECT_EQ(birth.lunar, 1);
  EXPECT_EQ(birth.leapMonth, 1);
  EXPECT_EQ(birth.male, 0);
  EXPECT_EQ(birth.provinceIndex, 0);
  EXPECT_EQ(birth.cityIndex, 0);
  EXPECT_NEAR(birth.longitude, 119.0f + 25.0f / 60, 1e-3);  // 福州市 in the shipped table
  EXPECT_EQ(place, U("福建省-福州市,"));

  // The leap fourth month of 2020 began on 23 May.
  MNameLibrary library(folder.Dir());
  ASSERT_TRUE(library.Open(0)) << library.LastError();
  MDecName analyser(library);
  ::SetText(birth.name, U("李四一"));
  ASSERT_TRUE(analyser.Analyse(birth)) << analyser.LastError();
  EXPECT_EQ(analyser.SolarDate().year, 2020);
  EXPECT_EQ(analyser.SolarDate().month, 5);
  EXPECT_EQ(analyser.SolarDate().day, 23);

  // True solar time at 福州 (119°25' E) in late May: about 2 minutes behind Beijing's
  // meridian and about 3 ahead by the equation of time.
  ASSERT_TRUE(TIniFile(folder.Path("dat\\set.ini")).WriteInteger("set", "iDate", 1));
  ASSERT_TRUE(analyser.Analyse(birth)) << analyser.LastError();
  const DateRecord& b = analyser.BeijingDate();
  const DateRecord& t = analyser.SolarDate();
  int shift = (t.day - b.day) * 1440 + (t.hour - b.hour) * 60 + (t.minute - b.minute);
  EXPECT_EQ(b.hour, 23);
  EXPECT_GE(shift, 0);
  EXPECT_LE(shift, 2);
}

TEST_F(InputDialog, BadYearsAreRefusedAndTheDialogStaysOpen) {
  TFrmInput dlg(Application, birth, place);
  const char* const years[] = {"1899", "2101", "abc", ""};
  std::vector<std::string> messages(std::size(years));
  std::vector<std::function<bool()>> steps;
  for (size_t i = 0; i < std::size(years); ++i) {
    const char* year = years[i];
    steps.push_back([&dlg, year] {
      gui::SetText(dlg.EdtYear->Handle(), year);
      PostMessageW(dlg.BitBtn1->Handle(), BM_CLICK, 0, 0);
      return true;
    });
    steps.push_back(modal::Answer("", IDOK, messages[i]));
  }
  steps.push_back([&] {
    EXPECT_TRUE(IsWindowVisible(dlg.Handle()));
    PostMessageW(dlg.BitBtn2->Handle(), BM_CLICK, 0, 0);
    return true;
  });
  modal::Driver d(steps);
  EXPECT_EQ(dlg.ShowModal(), mrCancel);
  ASSERT_EQ(messages.size(), 4u);
  for (const std::string& m : messages) EXPECT_EQ(m, U("年份在1900-2100年之间"));
  EXPECT_EQ(birth.year, 1990);
  EXPECT_EQ(place, U("未知地。"));
}

TEST_F(InputDialog, UnknownPlaceAndStaleIndexes) {
  birth.provinceIndex = 77;  // stale values from an old settings file
  birth.cityIndex = 500;
  birth.year = 1850;
  TFrmInput dlg(Application, birth, place);
  std::string shownYear;
  modal::Driver d({[&] {
    shownYear = gui::Text(dlg.EdtYear->Handle());
    PostMessageW(dlg.BitBtn1->Handle(), BM_CLICK, 0, 0);
    return true;
  }});
  ASSERT_EQ(dlg.ShowModal(), mrOk);
  EXPECT_EQ(shownYear, "1900");
  EXPECT_EQ(birth.provinceIndex, 34);
  EXPECT_EQ(birth.cityIndex, 0);
  EXPECT_FLOAT_EQ(birth.longitude, 120.0f);
  EXPECT_FLOAT_EQ(birth.latitude, 30.0f);
  EXPECT_EQ(place, U("未知。"));
}

}  // namespace
