// Which skinner the form skinner gives each kind of control of a skinned form, in a
// shipped skin, and that a skin without a kind leaves those controls alone.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classlib/AdvPages.h"
#include "classlib/Buttons.h"
#include "classlib/ComCtrls.h"
#include "classlib/Forms.h"
#include "classlib/Gbk.h"
#include "classlib/GlyphChecks.h"
#include "classlib/MPlayer.h"
#include "classlib/StdCtrls.h"
#include "skin/WinSkinData.h"
#include "skin/WinSkinDlg.h"
#include "skin/WinSkinFrame.h"
#include "skin/WinSubClass.h"
#include "skinform/SkinFormFixture.h"
#include "support/Gui.h"

namespace {

using skinform::Put;
using skinform::SkinPath;

class KindsForm : public TForm {
 public:
  explicit KindsForm(TComponent* owner) : TForm(owner) {
    SetText(gbk::FromUtf8("控件种类"));
    SetBounds(40, 40, 520, 360);
    speed = Put<TSpeedButton>(this, 10, 10, 40, 24);
    speed->SetText(gbk::FromUtf8("解"));
    bit = Put<TBitBtn>(this, 60, 10, 80, 24);
    bit->SetText(gbk::FromUtf8("确定"));
    progress = Put<TProgressBar>(this, 150, 10, 150, 16);
    track = Put<TTrackBar>(this, 10, 50, 200, 30);
    tools = Put<TToolBar>(this, 220, 50, 200, 28);
    tools->AddButton(gbk::FromUtf8("打开"));
    player = Put<TMediaPlayer>(this, 10, 90, 180, 28);
    buttons = Put<TPageControl>(this, 10, 130, 300, 120);
    buttons->Style = tsButtons;
    auto* sheet = new TTabSheet(this);
    sheet->SetPageControl(buttons);
    sheet->SetText(gbk::FromUtf8("一"));
    status = Put<TStatusBar>(this, 0, 0, 100, 22);
    status->SetAlign(alBottom);
    status->Panels = {{gbk::FromUtf8("就绪"), 100, pbLowered, taLeftJustify}};
    DoCreate();
  }
  std::string ClassName() const override { return "TKindsForm"; }
  TSpeedButton* speed;
  TBitBtn* bit;
  TProgressBar* progress;
  TTrackBar* track;
  TToolBar* tools;
  TMediaPlayer* player;
  TPageControl* buttons;
  TStatusBar* status;
};

// Controls of other libraries, known to the engine only by their class names.
template <class Base>
class Named : public Base {
 public:
  Named(TComponent* owner, std::string name) : Base(owner), name_(std::move(name)) {}
  std::string ClassName() const override { return name_; }

 private:
  std::string name_;
};

template <class Base>
Named<Base>* PutNamed(TWinControl* parent, TComponent* owner, const char* name, int left, int top) {
  auto* c = new Named<Base>(owner, name);
  c->SetParent(parent);
  c->SetBounds(left, top, 90, 24);
  return c;
}

class OthersForm : public TForm {
 public:
  explicit OthersForm(TComponent* owner) : TForm(owner) {
    SetText(gbk::FromUtf8("其他控件"));
    SetBounds(40, 40, 420, 300);
    bit = PutNamed<TButton>(this, this, "TOurBitBtn", 10, 10);
    menu = PutNamed<TButton>(this, this, "TOurMenuBtn", 110, 10);
    speed = PutNamed<TButton>(this, this, "TOurSpeedBtn", 210, 10);
    plain = PutNamed<TButton>(this, this, "TOurPlainBtn", 310, 10);
    bar = PutNamed<TProgressBar>(this, this, "TOurBar", 10, 50);
    group = PutNamed<TPanel>(this, this, "TOurRadios", 10, 90);
    group->SetBounds(10, 90, 200, 80);
    first = PutNamed<TRadioButton>(group, this, "TOurRadio", 5, 5);
    second = PutNamed<TRadioButton>(group, this, "TOurRadio", 5, 40);
    pages = Put<TAdvPageControl>(this, 220, 90, 180, 80);
    auto* sheet = new TTabSheet(this);
    sheet->SetPageControl(pages);
    sheet->SetText(gbk::FromUtf8("一"));
    rz = Put<TRzCheckBox>(this, 10, 180, 90, 20);
    rzRadio = Put<TRzRadioButton>(this, 110, 180, 90, 20);
    cx = Put<TcxCheckBox>(this, 210, 180, 90, 20);
    DoCreate();
  }
  std::string ClassName() const override { return "TOthersForm"; }
  TButton *bit, *menu, *speed, *plain;
  TProgressBar* bar;
  TPanel* group;
  TRadioButton *first, *second;
  TAdvPageControl* pages;
  TRzCheckBox* rz;
  TRzRadioButton* rzRadio;
  TcxCheckBox* cx;
};

class NestedForm : public TForm {
 public:
  explicit NestedForm(TComponent* owner) : TForm(owner) {
    button = new TButton(this);
    button->SetParent(this);
    button->SetBounds(10, 10, 80, 26);
    DoCreate();
  }
  TButton* button;
};

class ControlKinds : public skinform::SkinTest {
 protected:
  std::string SkinnerOf(TWinSkinForm* skin, TWinControl* c) {
    TSkinControl* s = skin->Lookupcontrol(c->Handle());
    return s ? s->ClassName() : "";
  }
};

TEST_F(ControlKinds, EachKindGetsItsSkinnerOnlyWhenTheSkinSkinsIt) {
  ASSERT_TRUE(data->LoadFromFile(SkinPath("Mx1"))) << data->LastError();
  struct Row {
    const char* name;
    TSkinControlTypes off;  // kinds the skin leaves out; 0 all of them in
    bool skinned;
  };
  const Row rows[] = {
      {"every kind on", 0, true},
      {"every kind off",
       static_cast<TSkinControlTypes>(1u << xcSpeedButton | 1u << xcBitBtn | 1u << xcProgress | 1u << xcTrackBar |
                                      1u << xcToolbar | 1u << xcButton | 1u << xcTab | 1u << xcStatusBar),
       false}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    data->SkinControls = kDefaultSkinControls & ~row.off;
    data->SetActive(true);
    KindsForm form(&app);
    form.Show();
    gui::Pump(400);
    TWinSkinForm* skin = SkinFormOf(form.Handle());
    ASSERT_NE(skin, nullptr);
    const std::vector<std::pair<TWinControl*, std::string>> expected = {
        {form.speed, "TSkinSpeedButton"}, {form.bit, "TSkinBitButton"},   {form.progress, "TSkinProgress"},
        {form.track, "TSkinTrackBar"},    {form.tools, "TSkinToolbar"},   {form.player, "TSkinMP"},
        {form.buttons, "TSkinTabBtn"},    {form.status, "TSkinStatusBar"}};
    for (const auto& [control, skinner] : expected) {
      SCOPED_TRACE(control->ClassName());
      EXPECT_EQ(SkinnerOf(skin, control), row.skinned ? skinner : "");
    }
    if (row.skinned) gui::SaveScreenshot(form.Handle(), gui::ScreenshotPath("control-kinds-Mx1.png"));
    data->SetActive(false);
    gui::Pump(200);
  }
}

TEST_F(ControlKinds, OtherLibrariesControlsAreSkinnedByTheirListedKind) {
  ASSERT_TRUE(data->LoadFromFile(SkinPath("Mx1"))) << data->LastError();
  for (const char* line : {"TOurBitBtn=BitBtn", "TOurMenuBtn=menubtn", "TOurSpeedBtn=SpeedButton", "TOurPlainBtn=nil",
                           "TOurBar=progress", "TOurRadios=RadioGroup", "TAdvPageControl=AdvPageControl"})
    data->Skin3rd.Add(line);
  data->SetActive(true);
  OthersForm form(&app);
  form.Show();
  gui::Pump(400);
  TWinSkinForm* skin = SkinFormOf(form.Handle());
  ASSERT_NE(skin, nullptr);
  const std::vector<std::pair<TWinControl*, std::string>> expected = {
      {form.bit, "TSkinBitButton"},
      {form.menu, "TSkinMenuButton"},
      {form.speed, "TSkinSpeedButton"},
      {form.plain, ""},  // "nil" keeps it plain although the table would skin a button
      {form.bar, "TSkinProgress"},
      {form.group, "TSkinGroupBox"},
      {form.first, "TSkinRadioButton"},
      {form.second, "TSkinRadioButton"},
      {form.pages, "TSkinAdvPage"},  // listed, so not the page controls' tab skinner
      {form.rz, "TSkinObjImage"},
      {form.rzRadio, "TSkinObjImage"},
      {form.cx, "TSkinObjImage"}};
  for (const auto& [control, skinner] : expected) {
    SCOPED_TRACE(control->ClassName() + " " + std::to_string(control->Left()));
    EXPECT_EQ(SkinnerOf(skin, control), skinner);
  }
  data->SetActive(false);
  gui::Pump(200);
}

TEST_F(ControlKinds, AFormNestedInASkinnedFormWearsItsSkin) {
  ASSERT_TRUE(data->LoadFromFile(SkinPath("Mx1"))) << data->LastError();
  data->SetActive(true);
  KindsForm outer(&app);
  outer.Show();
  gui::Pump(400);
  TWinSkinForm* skin = SkinFormOf(outer.Handle());
  ASSERT_NE(skin, nullptr);
  auto* inner = new NestedForm(&outer);
  SetWindowLongW(inner->Handle(), GWL_STYLE, WS_CHILD | WS_VISIBLE);
  inner->SetParent(&outer);
  inner->SetBounds(300, 10, 150, 80);
  data->AddNestForm(outer.Handle(), inner->Handle());
  gui::Pump(100);
  EXPECT_EQ(SkinnerOf(skin, inner), "TSkinBox");
  EXPECT_EQ(SkinnerOf(skin, inner->button), "TSkinButton");
  EXPECT_EQ(inner->Color(), data->SchemeColors[csButtonFace]);
  data->SetActive(false);
  gui::Pump(200);
}

}  // namespace
