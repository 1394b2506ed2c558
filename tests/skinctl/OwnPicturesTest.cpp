// Other libraries' controls that draw themselves from pictures of their own: check boxes
// and radio buttons take the skin's glyph strips, an advanced page control the skin's
// tab frames, and its strip's arrows the skin's up-down look. Read back from the screen,
// clicked with the real mouse.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classlib/AdvPages.h"
#include "classlib/ComCtrls.h"
#include "classlib/Gbk.h"
#include "classlib/GlyphChecks.h"
#include "skin/BitmapPixels.h"
#include "skin/WinSubClass.h"
#include "skinctl/SkinCtlFixture.h"
#include "support/Gui.h"

using skinctl::Frames;
using skinctl::kFace;
using skinctl::OnScreen;
using skintest::Rgb;

namespace {

const std::vector<TColor> kChecks = {Rgb(200, 0, 0), Rgb(0, 200, 0), Rgb(90, 0, 0), Rgb(0, 90, 0)};
const std::vector<TColor> kRadios = {Rgb(0, 0, 200), Rgb(200, 200, 0), Rgb(0, 0, 90), Rgb(90, 90, 0)};
constexpr TColor kOtherTab = Rgb(160, 40, 160), kCurrentTab = Rgb(40, 160, 160);
// Eight arrow frames: left normal, pressed, disabled, hot; then right the same.
const std::vector<TColor> kArrows = {Rgb(11, 0, 0), Rgb(12, 0, 0), Rgb(13, 0, 0), Rgb(14, 0, 0),
                                     Rgb(0, 0, 21), Rgb(0, 0, 22), Rgb(0, 0, 23), Rgb(0, 0, 24)};

class OwnPictures : public skinctl::FormFixture {
 protected:
  OwnPictures() {
    skinctl::FillButtons(data);
    data.Buttons->CheckButton = Frames(16, 16, kChecks);
    data.Buttons->CheckButtonFrame = 4;
    data.Buttons->RadioButton = Frames(16, 16, kRadios);
    data.Buttons->RadioButtonFrame = 4;
    data.Tabs = std::make_unique<TDataSkinBorder>("Tabs");
    data.Tabs->Image = Frames(20, 20, {kOtherTab, kCurrentTab});
    data.Tabs->Frame = 2;
    data.UpDownHorz = std::make_unique<TDataSkinBorder>("UpDown.Horz");
    data.UpDownHorz->Image = Frames(8, 8, kArrows);
    data.UpDownHorz->Frame = 8;
    form = new skinctl::TestForm(&app, "其他控件的图片", 60, 60, 420, 300);
  }
  ~OwnPictures() override {
    delete form;
    gui::Pump(50);
  }
};

TColor GlyphOnScreen(TGlyphCheck* c) { return OnScreen(c->Handle(), 8, c->Height() / 2); }

void ClickAt(HWND h, POINT p) {
  gui::MouseClick(h, p);
  gui::Pump(200);
}

TEST_F(OwnPictures, OtherFamiliesChecksWearTheSkinsGlyphsAndStillTurnOver) {
  auto* rz = Add<TRzCheckBox>(10, 10, 140, 20, "公历");
  auto* radio = Add<TRzRadioButton>(10, 40, 140, 20, "男");
  auto* cx = Add<TcxCheckBox>(10, 70, 140, 20, "闰月");
  auto* rzSkin = new TSkinObjImage(rz, 1);
  rzSkin->Init(&host, &data, nullptr, true);
  (new TSkinObjImage(radio, 2))->Init(&host, &data, nullptr, true);
  (new TSkinObjImage(cx, 3))->Init(&host, &data, nullptr, true);
  ShowAway();
  EXPECT_TRUE(rz->UseCustomGlyphs);
  EXPECT_EQ(rz->TransparentColor, kKeyColour);
  struct Row {
    TGlyphCheck* control;
    const std::vector<TColor>& glyphs;
  };
  for (const Row& row : {Row{rz, kChecks}, Row{radio, kRadios}, Row{cx, kChecks}}) {
    SCOPED_TRACE(row.control->ClassName());
    EXPECT_EQ(GlyphOnScreen(row.control), row.glyphs[0]) << "unchecked";
    EXPECT_EQ(OnScreen(row.control->Handle(), 130, 2), kFace) << "on the skin's face";
    ClickAt(row.control->Handle(), POINT{8, 10});
    EXPECT_TRUE(row.control->Checked());
    EXPECT_EQ(GlyphOnScreen(row.control), row.glyphs[1]) << "checked";
  }
  ClickAt(radio->Handle(), POINT{8, 10});
  EXPECT_TRUE(radio->Checked()) << "a radio button only turns on";
  gui::SaveScreenshot(form->Handle(), gui::ScreenshotPath("other-checks.png"));

  rzSkin->Unsubclass();
  gui::Pump(150);
  EXPECT_FALSE(rz->UseCustomGlyphs);
  EXPECT_NE(GlyphOnScreen(rz), kChecks[1]) << "the control's own look again";
  EXPECT_EQ(rz->Color(), clBtnFace) << "its colour given back";
}

TEST_F(OwnPictures, AnAdvancedPageControlDrawsItsTabsFromTheSkinAndItsArrowsWearIt) {
  auto* pages = Add<TAdvPageControl>(10, 10, 220, 120);
  for (int i = 1; i <= 8; ++i) {
    auto* sheet = new TTabSheet(form);
    sheet->SetPageControl(pages);
    sheet->SetText(gbk::FromUtf8("第") + std::to_string(i) + gbk::FromUtf8("页"));
  }
  pages->SetActivePageIndex(0);
  auto* skinner = new TSkinAdvPage(pages);
  skinner->Init(&host, &data, nullptr, false);
  ShowAway();
  HWND h = pages->Handle();
  EXPECT_FALSE(pages->TabBackGround.Empty());
  auto item = [h](int i) {
    RECT r{};
    SendMessageW(h, TCM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
    return r;
  };
  RECT first = item(0), second = item(1);
  EXPECT_EQ(OnScreen(h, first.left + 2, first.top + 2), kCurrentTab);
  EXPECT_EQ(OnScreen(h, second.left + 2, second.top + 2), kOtherTab);

  HWND arrows = FindWindowExW(h, nullptr, UPDOWN_CLASSW, nullptr);
  ASSERT_NE(arrows, nullptr) << "eight tabs do not fit";
  EXPECT_EQ(SendMessageW(arrows, CN_IsSkinned, 0, 0), 1);
  RECT a;
  GetClientRect(arrows, &a);
  EXPECT_EQ(OnScreen(arrows, 2, a.bottom / 2), kArrows[0]);
  EXPECT_EQ(OnScreen(arrows, a.right - 3, a.bottom / 2), kArrows[4]);
  gui::SaveScreenshot(form->Handle(), gui::ScreenshotPath("advpages.png"));

  ClickAt(arrows, POINT{a.right - 3, a.bottom / 2});
  EXPECT_LT(item(1).left, second.left) << "the right arrow scrolled the strip";
  second = item(1);
  EXPECT_EQ(OnScreen(h, second.left + 2, second.top + 2), kOtherTab);

  skinner->Unsubclass();
  EXPECT_TRUE(pages->TabBackGround.Empty());
  EXPECT_TRUE(pages->TabBackGroundActive.Empty());
}

}  // namespace
