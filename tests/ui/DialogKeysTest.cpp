// The dialogs under a user's keyboard, by real input: Tab reaches every control, the
// arrows move round a group of radio buttons, Enter runs what the dialog is for, and
// Chinese typed into a field stops at the bytes its record keeps, which is then what
// the dialog stores.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "cases/Database.h"
#include "cases/FrmFenLei.h"
#include "cases/FrmInfo.h"
#include "cases/FrmSearch.h"
#include "classlib/Files.h"
#include "classlib/Gbk.h"
#include "classlib/TIniFile.h"
#include "dictionary/Namelibrary.h"
#include "support/Gui.h"
#include "support/ProgramLoop.h"
#include "support/ShippedFolder.h"
#include "support/TempFolder.h"
#include "ui/ModalDriver.h"
#include "ui/Uinput.h"
#include "ui/Untcontaintext.h"
#include "ui/Untmain.h"
#include "ui/Untset.h"
#include "ui/Usetname.h"

namespace {

using gbk::U;

// Forty characters, more than any limited field takes.
const char* const kForty = "天地玄黄宇宙洪荒日月盈昃辰宿列张寒来暑往秋收冬藏闰余成岁律吕调阳云腾致雨露结为霜";

class DialogKeys : public ::testing::Test {
 protected:
  void SetUp() override {
    app.Initialize();
    app.Title = "Riveri 3.5";
    WordLib.SetProgramFolder(ShippedFolder());
    ASSERT_TRUE(WordLib.Open(0)) << WordLib.LastError();
    ASSERT_TRUE(file::ForceDirectories(temp.Path("dat")));
  }
  void TearDown() override { gui::ParkMouse(); }

  // The windows that have the keyboard in turn as Tab is pressed from `start`, once
  // round (at most 60 presses).
  static std::vector<HWND> TabRound(HWND start) {
    gui::Focus(start);
    std::vector<HWND> seen{start};
    for (int i = 0; i < 60; ++i) {
      gui::KeyToFocus(VK_TAB);
      gui::RunLoop(20);
      HWND now = GetFocus();
      if (now == start || now == seen.back()) break;
      seen.push_back(now);
    }
    return seen;
  }
  static bool Reached(const std::vector<HWND>& round, TControl* c) {
    return std::find(round.begin(), round.end(), c->Handle()) != round.end();
  }
  // Forty characters typed into the field, which keeps what fits: its text.
  static std::string TypeForty(TWinControl* field) {
    gui::Focus(field->Handle());
    gui::Chord(VK_CONTROL, VK_END);
    gui::TypeText(U(kForty));
    gui::RunLoop(100);
    return field->Text();
  }
  // A click of the mouse on the control's centre.
  static void Press(TControl* c) {
    RECT r;
    GetClientRect(c->Handle(), &r);
    gui::MouseClick(c->Handle(), {r.right / 2, r.bottom / 2});
  }
  // The first n characters of the forty.
  static std::string First(int n) { return U(kForty).substr(0, static_cast<size_t>(2 * n)); }

  TApplication app;
  TempFolder temp;
  TIniFile ini{temp.Path("dat\\init.ini")};
};

// ---- Tab and the arrows ----

TEST_F(DialogKeys, TabReachesTheButtonsInsideGroupsAndTheArrowsTickRoundAGroup) {
  BirthRecord birth{};
  birth.year = 1990;
  birth.month = 5;
  birth.day = 6;
  birth.male = 1;
  std::string place = U("未知地。");
  TFrmInput dlg(&app, birth, place);
  std::vector<HWND> round;
  bool femaleTicked = false, femaleFocused = false, backToMale = false;
  modal::Driver d({[&] {
    if (!IsWindowVisible(dlg.Handle())) return false;
    round = TabRound(dlg.EdtYear->Handle());
    // The arrows from the ticked 男: on to 女, ticking it, and round back.
    gui::Focus(dlg.Rdona->Handle());
    gui::KeyToFocus(VK_RIGHT);
    gui::RunLoop(50);
    femaleTicked = dlg.Rdonv->Checked() && !dlg.Rdona->Checked();
    femaleFocused = GetFocus() == dlg.Rdonv->Handle();
    gui::KeyToFocus(VK_DOWN);
    gui::RunLoop(50);
    backToMale = dlg.Rdona->Checked() && GetFocus() == dlg.Rdona->Handle();
    gui::KeyToFocus(VK_ESCAPE);
    return true;
  }});
  dlg.ShowModal();
  // Each group is one stop, at its ticked button.
  EXPECT_TRUE(Reached(round, dlg.Rdona)) << "性别 not reached";
  EXPECT_FALSE(Reached(round, dlg.Rdonv)) << "an unticked 性别 button is a stop of its own";
  EXPECT_TRUE(Reached(round, dlg.Rdogl) || Reached(round, dlg.Rdonl)) << "日期方式 not reached";
  EXPECT_TRUE(Reached(round, dlg.Chkrun));
  EXPECT_TRUE(Reached(round, dlg.BitBtn1));
  EXPECT_TRUE(femaleTicked);
  EXPECT_TRUE(femaleFocused);
  EXPECT_TRUE(backToMale);

  TFrmSet settings(&app);
  modal::Driver d2({[&] {
    if (!IsWindowVisible(settings.Handle())) return false;
    round = TabRound(settings.ChkSave->Handle());
    gui::KeyToFocus(VK_ESCAPE);
    return true;
  }});
  settings.ShowModal();
  EXPECT_TRUE(Reached(round, settings.CboWordLen)) << "汉字笔画数选择 not reached";

  NamingConditions c{};
  ::SetText(c.surname, U("李"));
  TFrmSetName naming(&app);
  naming.conditions = &c;
  modal::Driver d3({[&] {
    if (!IsWindowVisible(naming.Handle())) return false;
    round = TabRound(naming.LedtXing->Handle());
    gui::KeyToFocus(VK_ESCAPE);
    return true;
  }});
  naming.ShowModal();
  for (TControl* inGroup :
       std::initializer_list<TControl*>{naming.CBoxWuXing, naming.CboFormula, naming.BtoPian, naming.BitBtn1}) {
    EXPECT_TRUE(Reached(round, inGroup)) << inGroup->Name << " not reached";
  }
  EXPECT_TRUE(Reached(round, naming.MeoDec));
  int radioStops = 0;
  for (HWND h : round) {
    wchar_t cls[32] = {};
    GetClassNameW(h, cls, 32);
    radioStops += std::wstring(cls) == L"TRadioButton";
  }
  EXPECT_EQ(radioStops, 3) << "名字字数, 性别 and 只用吉字 are a stop each";
}

// ---- Enter ----

TEST_F(DialogKeys, EnterOnAChosenNameShowsIt) {
  TFrmContainText dlg(&app);
  for (const char* n : {"李明", "李华"}) dlg.LstName->Items().Add(U(n));
  modal::Driver d({[&] {
                     if (!IsWindowVisible(dlg.Handle())) return false;
                     gui::Focus(dlg.LstName->Handle());
                     gui::KeyToFocus(VK_DOWN);
                     return true;
                   },
                   [&] {
                     gui::KeyToFocus(VK_RETURN);
                     return true;
                   }});
  TTimer watchdog(nullptr);
  watchdog.SetInterval(5000);
  watchdog.OnTimer = [&](TObject*) { dlg.ModalResult = mrAbort; };
  EXPECT_EQ(dlg.ShowModal(), mrOk);
  EXPECT_GE(dlg.LstName->ItemIndex(), 0);
}

// ---- byte limits ----

TEST_F(DialogKeys, TypedChineseStopsAtTheNamingFieldsBytesAndIsUsedWhole) {
  NamingConditions c{};
  c.givenLength = 2;
  c.sex = 1;
  TFrmSetName dlg(&app);
  dlg.conditions = &c;
  std::string surname, excluded;
  modal::Driver d({[&] {
    if (!IsWindowVisible(dlg.Handle())) return false;
    surname = TypeForty(dlg.LedtXing);
    excluded = TypeForty(dlg.EdtExclude);
    Press(dlg.BitBtn1);
    return true;
  }});
  TTimer watchdog(nullptr);
  watchdog.SetInterval(8000);
  watchdog.OnTimer = [&](TObject*) { dlg.ModalResult = mrAbort; };
  ASSERT_EQ(dlg.ShowModal(), mrOk);
  EXPECT_EQ(surname, First(2));
  EXPECT_EQ(excluded, First(20));
  EXPECT_EQ(FieldText(c.surname), surname);
  EXPECT_EQ(FieldText(c.excluded), excluded);
}

TEST_F(DialogKeys, TypedChineseStopsAtTheCaseFieldsBytesAndIsStoredWhole) {
  ini.WriteInteger("classes", "count", 1);
  ini.WriteString("classes", "1", U("家人"));
  const std::string nearlyFull(990, 'a');  // a note ten bytes short of its limit
  {
    TFrmFenLei dlg(&app, ini);
    std::string note;
    modal::Driver d({[&] {
      if (!IsWindowVisible(dlg.Handle())) return false;
      gui::SetText(dlg.Memo1->Handle(), nearlyFull);
      note = TypeForty(dlg.Memo1);
      Press(dlg.Btnok);
      return true;
    }});
    ASSERT_EQ(dlg.ShowModal(), mrOk);
    EXPECT_EQ(note, nearlyFull + First(5));
    EXPECT_EQ(dlg.note, note);
  }
  {
    MDataBase db;
    ASSERT_TRUE(db.Open(temp.Dir(), 0));
    CaseCriteria criteria;
    TFrmSearch dlg(&app, ini, db, criteria);
    std::string name, category, said;
    modal::Driver d({[&] {
                       if (!IsWindowVisible(dlg.Handle())) return false;
                       name = TypeForty(dlg.Edtname);
                       gui::SetText(dlg.CboFenLei->Handle(), "");
                       category = TypeForty(dlg.CboFenLei);
                       Press(dlg.BtnSearch);
                       return true;
                     },
                     modal::Answer("", IDOK, said),
                     [&] {
                       dlg.ModalResult = mrCancel;
                       return true;
                     }});
    dlg.ShowModal();
    EXPECT_EQ(name, First(5));
    EXPECT_EQ(category, First(6)) << "13 bytes hold six characters whole";
    EXPECT_EQ(FieldText(criteria.name), name);
    EXPECT_EQ(FieldText(criteria.category), category);
  }
  {
    TFrmInfo dlg(&app, ini, temp.Dir());
    ::SetText(dlg.record.name, U("张三"));
    ::SetText(dlg.record.category, U("家人"));
    dlg.record.year = 1990;
    dlg.record.month = 1;
    dlg.record.day = 1;
    std::string name, category, note, asked;
    modal::Driver d({[&] {
                       if (!IsWindowVisible(dlg.Handle())) return false;
                       gui::SetText(dlg.Edtname->Handle(), "");
                       name = TypeForty(dlg.Edtname);
                       gui::SetText(dlg.CboFenLei->Handle(), "");
                       category = TypeForty(dlg.CboFenLei);
                       gui::SetText(dlg.Memo1->Handle(), nearlyFull);
                       note = TypeForty(dlg.Memo1);
                       Press(dlg.BitBtn1);
                       return true;
                     },
                     modal::Answer(U("提示"), IDYES, asked)});
    ASSERT_EQ(dlg.ShowModal(), mrOk);
    EXPECT_EQ(name, First(5));
    EXPECT_EQ(category, First(6));
    EXPECT_EQ(note, nearlyFull + First(5));
    EXPECT_EQ(FieldText(dlg.record.name), name);
    EXPECT_EQ(FieldText(dlg.record.category), category);
    EXPECT_EQ(FieldText(dlg.record.note), note);
  }
}

}  // namespace
