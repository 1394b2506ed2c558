// The skin's face under a skinned form's controls, read back from the screen: tabs,
// labels, check and radio boxes and group boxes show the skin's face colour, and labels,
// on the form as on a page or a panel, the skin's text colour, whether the form was shown
// skinned or the skin came on while it was open; the system's colours come back once the
// skin is taken off.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <cstdlib>
#include <string>

#include "classlib/ComCtrls.h"
#include "classlib/ExtCtrls.h"
#include "classlib/Forms.h"
#include "classlib/Gbk.h"
#include "classlib/StdCtrls.h"
#include "skin/WinSkinData.h"
#include "skin/WinSkinDlg.h"
#include "skin/WinSkinFrame.h"
#include "skinform/SkinFormFixture.h"
#include "support/Gui.h"
#include "support/SkinPixels.h"

namespace {

using skinform::Put;
using skinform::SkinPath;

class FaceForm : public TForm {
 public:
  explicit FaceForm(TComponent* owner) : TForm(owner) {
    SetText(gbk::FromUtf8("底色测试"));
    SetBounds(40, 40, 460, 370);
    pages = Put<TPageControl>(this, this, "", 10, 10, 430, 150);
    sheet = new TTabSheet(this);
    sheet->SetPageControl(pages);
    sheet->SetText(gbk::FromUtf8("第一页"));
    onSheet = Put<TLabel>(sheet, this, "页上", 10, 10, 140, 20);
    label = Put<TLabel>(this, this, "标签", 10, 170, 120, 20);
    check = Put<TCheckBox>(this, this, "复选", 140, 170, 120, 22);
    radio = Put<TRadioButton>(this, this, "单选", 270, 170, 120, 22);
    group = Put<TGroupBox>(this, this, "分组", 10, 200, 200, 70);
    labelled = Put<TLabeledEdit>(this, this, "", 300, 230, 80, 22);
    labelled->EditLabel()->SetText(gbk::FromUtf8("左边距离"));
    labelled->SetLabelPosition(lpLeft);
    panel = Put<TPanel>(this, this, "", 10, 280, 430, 40);
    onPanel = Put<TLabeledEdit>(panel, this, "", 100, 9, 80, 22);
    onPanel->EditLabel()->SetText(gbk::FromUtf8("尊姓大名"));
    onPanel->SetLabelPosition(lpLeft);
    DoCreate();
  }
  std::string ClassName() const override { return "TFaceForm"; }
  TPageControl* pages;
  TTabSheet* sheet;
  TLabel *onSheet, *label;
  TCheckBox* check;
  TRadioButton* radio;
  TGroupBox* group;
  TLabeledEdit* labelled;
  TPanel* panel;
  TLabeledEdit* onPanel;
};

using gui::ScreenPixel;
using skinpixels::WritesIn;

// A point of the tab strip right of the last tab, in the tab control's client area.
POINT BesideTheTabs(HWND tabs) {
  const int n = static_cast<int>(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0));
  RECT item{};
  SendMessageW(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(n - 1), reinterpret_cast<LPARAM>(&item));
  return POINT{item.right + 30, item.top + 4};
}

struct Probe {
  const char* what;
  HWND window;
  POINT at;  // client coordinates, beside the text
  bool needsTabs;
};

class SkinFace : public skinform::SkinTest {
 protected:
  // Labels left in the system's text colour write in the skin's, so they read on a dark face.
  void ExpectSkinsText(FaceForm& form, COLORREF face, COLORREF text) {
    for (TLabel* label : {form.label, form.onSheet, form.labelled->EditLabel(), form.onPanel->EditLabel()})
      EXPECT_TRUE(WritesIn(label->Handle(), face, text)) << gbk::ToUtf8(label->Text());
  }
  void ExpectFace(FaceForm& form, COLORREF face, bool skinTabs) {
    const Probe probes[] = {
        {"tab strip", form.pages->Handle(), BesideTheTabs(form.pages->Handle()), true},
        {"label on the form", form.label->Handle(), POINT{form.label->Width() - 3, form.label->Height() / 2}, false},
        {"label on a page", form.onSheet->Handle(), POINT{form.onSheet->Width() - 3, form.onSheet->Height() / 2},
         false},
        {"check box", form.check->Handle(), POINT{form.check->Width() - 3, form.check->Height() / 2}, false},
        {"radio button", form.radio->Handle(), POINT{form.radio->Width() - 3, form.radio->Height() / 2}, false},
        {"group box", form.group->Handle(), POINT{form.group->Width() / 2, form.group->Height() / 2}, false},
        {"an edit's own label", form.labelled->EditLabel()->Handle(), POINT{1, 0}, false},
        {"an edit's label on a panel", form.onPanel->EditLabel()->Handle(), POINT{1, 0}, false},
    };
    for (const Probe& p : probes) {
      SCOPED_TRACE(p.what);
      if (p.needsTabs && !skinTabs) continue;
      EXPECT_EQ(ScreenPixel(p.window, p.at.x, p.at.y), face) << std::hex << face;
    }
  }
};

TEST_F(SkinFace, ControlsShowTheSkinsFaceFromTheirFirstPaintAndAfterASwitchAtRunTime) {
  struct Row {
    const char* skin;
    bool switchedOn;  // the skin comes on while the form is open
  };
  const Row rows[] = {{"Mx1", true}, {"Mx1", false}, {"Ink", true}, {"Ink", false}, {"Plain", true}, {"Plain", false}};
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.skin << (row.switchedOn ? " switched on" : " shown skinned"));
    ASSERT_TRUE(data->LoadFromFile(SkinPath(row.skin))) << data->LastError();
    FaceForm form(&app);
    if (row.switchedOn) {
      form.Show();
      gui::Pump(300);
      data->SetActive(true);
    } else {
      data->SetActive(true);
      form.Show();
    }
    gui::Pump(600);
    ASSERT_NE(SkinFormOf(form.Handle()), nullptr);
    const COLORREF face = ColorToRGB(data->SchemeColors[csButtonFace]);
    ASSERT_NE(face, GetSysColor(COLOR_BTNFACE)) << "the skin's face must differ from the system's";
    ExpectFace(form, face, data->Tabs != nullptr);
    ExpectSkinsText(form, face, ColorToRGB(data->SchemeColors[csText]));
    gui::SaveScreenshot(form.Handle(), gui::ScreenshotPath(std::string("skin-face-") + row.skin + ".png"));

    data->SetActive(false);
    gui::Pump(500);
    ASSERT_EQ(SkinFormOf(form.Handle()), nullptr);
    for (HWND h : {form.label->Handle(), form.check->Handle()}) {
      RECT r{};
      GetClientRect(h, &r);
      EXPECT_EQ(ScreenPixel(h, r.right - 3, r.bottom / 2), GetSysColor(COLOR_BTNFACE)) << "plain again";
    }
    EXPECT_TRUE(WritesIn(form.label->Handle(), GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_WINDOWTEXT)));
  }
}

}  // namespace
