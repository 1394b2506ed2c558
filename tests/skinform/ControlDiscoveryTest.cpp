// The form skinner's controls: which controls of a skinned form get a skinner, that
// taking the skin off gives every control its procedure back, a skin change re-skins
// them, and a control freed while skinned is let go.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classlib/ComCtrls.h"
#include "classlib/Forms.h"
#include "classlib/Gbk.h"
#include "classlib/ListView.h"
#include "classlib/RadioGroup.h"
#include "classlib/ReadOnlyMemo.h"
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

class ControlsForm : public TForm {
 public:
  explicit ControlsForm(TComponent* owner) : TForm(owner) {
    SetText(gbk::FromUtf8("控件测试"));
    SetBounds(40, 40, 460, 420);
    button = Put<TButton>(this, this, "确定", 10, 10, 80, 26);
    check = Put<TCheckBox>(this, this, "复选", 100, 10, 80, 22);
    edit = Put<TEdit>(this, this, "文字", 190, 10, 100, 22);
    memo = Put<TMemo>(this, this, "", 300, 10, 140, 60);
    kept = Put<TButton>(this, this, "原样", 10, 44, 80, 26);
    kept->Tag = 99;
    group = Put<TRadioGroup>(this, this, "分组", 100, 44, 180, 60);
    group->Tag = 99;
    group->AddItem(gbk::FromUtf8("甲"));
    group->AddItem(gbk::FromUtf8("乙"));
    pages = Put<TPageControl>(this, this, "", 10, 120, 430, 150);
    sheet = new TTabSheet(this);
    sheet->SetPageControl(pages);
    sheet->SetText(gbk::FromUtf8("第一页"));
    second = new TTabSheet(this);
    second->SetPageControl(pages);
    second->SetText(gbk::FromUtf8("第二页"));
    combo = Put<TComboBox>(this, this, "", 10, 280, 90, 22);
    combo->Items().Add("1");
    list = Put<TListBox>(this, this, "", 110, 280, 60, 50);
    checks = Put<TCheckListBox>(this, this, "", 180, 280, 60, 50);
    tree = Put<TTreeView>(this, this, "", 250, 280, 60, 50);
    view = Put<TListView>(this, this, "", 320, 280, 120, 50);
    view->AddColumn("A", 60);
    rich = Put<TRichEdit>(this, this, "", 10, 340, 90, 40);
    updown = Put<TUpDown>(this, this, "", 110, 340, 16, 22);
    listing = Put<TReadOnlyMemo>(this, this, "", 140, 340, 120, 40);
    DoCreate();
  }
  std::string ClassName() const override { return "TControlsForm"; }

  std::vector<TWinControl*> Skinned() const {
    return {button, check, edit, pages, sheet, second, memo, combo, list, checks, tree, view, rich, updown, listing};
  }
  // Windows inside skinned controls that their skinners take over too.
  std::vector<HWND> Inner() const {
    COMBOBOXINFO cbi{sizeof cbi};
    GetComboBoxInfo(combo->Handle(), &cbi);
    return {cbi.hwndItem, cbi.hwndList, reinterpret_cast<HWND>(SendMessageW(view->Handle(), LVM_GETHEADER, 0, 0))};
  }
  std::vector<TWinControl*> Plain() const {
    std::vector<TWinControl*> plain{kept, group};
    for (int i = 0; i < group->ControlCount(); ++i)
      if (auto* w = dynamic_cast<TWinControl*>(group->Controls(i))) plain.push_back(w);
    return plain;
  }
  std::vector<TWinControl*> All() const {
    auto all = Skinned();
    for (TWinControl* w : Plain()) all.push_back(w);
    return all;
  }

  TButton* button;
  TCheckBox* check;
  TEdit* edit;
  TMemo* memo;
  TButton* kept;
  TRadioGroup* group;
  TPageControl* pages;
  TTabSheet* sheet;
  TTabSheet* second;
  TComboBox* combo;
  TListBox* list;
  TCheckListBox* checks;
  TTreeView* tree;
  TListView* view;
  TRichEdit* rich;
  TUpDown* updown;
  TReadOnlyMemo* listing;
};

bool Skinned(TWinControl* c) { return SendMessageW(c->Handle(), CN_IsSkinned, 0, 0) == 1; }

class ControlDiscovery : public skinform::SkinTest {
 protected:
  void SetUp() override {
    SkinTest::SetUp();
    ASSERT_NE(SkinManager, nullptr);
  }
  void ExpectSkinnedAsMade(const ControlsForm& form) {
    for (TWinControl* c : form.Skinned()) {
      SCOPED_TRACE(c->ClassName());
      EXPECT_TRUE(Skinned(c));
    }
    for (TWinControl* c : form.Plain()) {
      SCOPED_TRACE(c->ClassName() + " " + gbk::ToUtf8(c->Text()));
      EXPECT_FALSE(Skinned(c));
    }
  }
};

TEST_F(ControlDiscovery, KnownControlsGetSkinnersAndDetachingGivesTheirProceduresBack) {
  Activate("Mx1");
  ControlsForm form(&app);
  std::vector<LONG_PTR> procs;
  for (TWinControl* c : form.All()) procs.push_back(GetWindowLongPtrW(c->Handle(), GWLP_WNDPROC));
  std::vector<LONG_PTR> innerProcs;
  for (HWND h : form.Inner()) innerProcs.push_back(GetWindowLongPtrW(h, GWLP_WNDPROC));
  form.Show();
  gui::Pump(400);
  TWinSkinForm* skin = SkinFormOf(form.Handle());
  ASSERT_NE(skin, nullptr);
  ExpectSkinnedAsMade(form);
  // The list view's header has a skinner of its own.
  EXPECT_EQ(skin->ControlCount(), static_cast<int>(form.Skinned().size()) + 1);
  EXPECT_NE(skin->Lookupcontrol(form.button->Handle()), nullptr);
  EXPECT_EQ(skin->Lookupcontrol(form.kept->Handle()), nullptr);
  struct Row {
    TWinControl* control;
    const char* skinner;
  };
  for (const Row& r :
       {Row{form.memo, "TSkinScrollbar"}, Row{form.rich, "TSkinScrollbar"}, Row{form.list, "TSkinScrollbar"},
        Row{form.checks, "TSkinScrollbar"}, Row{form.tree, "TSkinScrollbar"}, Row{form.view, "TSkinListView"},
        Row{form.combo, "TSkinComBox"}, Row{form.updown, "TSkinUpDown"}, Row{form.listing, "TSkinScrollbar"}}) {
    SCOPED_TRACE(r.control->ClassName());
    TSkinControl* s = skin->Lookupcontrol(r.control->Handle());
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->ClassName(), r.skinner);
  }
  const auto inner = form.Inner();
  for (size_t i = 0; i < inner.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_NE(GetWindowLongPtrW(inner[i], GWLP_WNDPROC), innerProcs[i]) << "taken over";
  }
  gui::SaveScreenshot(form.Handle(), gui::ScreenshotPath("skinned-controls-Mx1.png"));

  data->SetActive(false);
  gui::Pump(400);
  ASSERT_EQ(SkinFormOf(form.Handle()), nullptr);
  const auto all = form.All();
  for (size_t i = 0; i < all.size(); ++i) {
    SCOPED_TRACE(all[i]->ClassName());
    EXPECT_EQ(GetWindowLongPtrW(all[i]->Handle(), GWLP_WNDPROC), procs[i]);
    EXPECT_FALSE(Skinned(all[i]));
  }
  for (size_t i = 0; i < inner.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(GetWindowLongPtrW(inner[i], GWLP_WNDPROC), innerProcs[i]) << "given back";
  }
}

TEST_F(ControlDiscovery, ASkinChangeReskinsAndAFreedControlIsLetGo) {
  Activate("Mx1");
  ControlsForm form(&app);
  form.Show();
  gui::Pump(400);
  ASSERT_NE(SkinFormOf(form.Handle()), nullptr);
  ASSERT_TRUE(data->LoadFromFile(SkinPath("Ink")));
  gui::Pump(400);
  TWinSkinForm* skin = SkinFormOf(form.Handle());
  ASSERT_NE(skin, nullptr);
  ExpectSkinnedAsMade(form);
  const int count = skin->ControlCount();
  EXPECT_EQ(count, static_cast<int>(form.Skinned().size()) + 1);
  gui::SaveScreenshot(form.Handle(), gui::ScreenshotPath("skinned-controls-Ink.png"));

  delete form.check;
  EXPECT_EQ(skin->ControlCount(), count - 1);
  gui::Pump(100);
  data->SetActive(false);
  gui::Pump(400);
  EXPECT_EQ(SkinFormOf(form.Handle()), nullptr);
  EXPECT_FALSE(Skinned(form.button));
}

// Controls made after the form was skinned: the program asks for them to be skinned,
// for a nested container with its controls, and for one to be let go again.
TEST_F(ControlDiscovery, ControlsAddedLaterAreSkinnedWhenTheProgramAsks) {
  Activate("Mx1");
  ControlsForm form(&app);
  form.Show();
  gui::Pump(400);
  TWinSkinForm* skin = SkinFormOf(form.Handle());
  ASSERT_NE(skin, nullptr);
  const int before = skin->ControlCount();

  auto* later = Put<TButton>(&form, &form, "后来", 300, 80, 80, 26);
  later->HandleNeeded();
  EXPECT_FALSE(Skinned(later));
  data->UpdateSkinControl(form.Handle(), nullptr);
  EXPECT_TRUE(Skinned(later));
  EXPECT_EQ(skin->ControlCount(), before + 1);

  auto* nested = Put<TPanel>(&form, &form, "", 300, 110, 140, 60);
  auto* inside = new TCheckBox(nested);
  inside->SetParent(nested);
  inside->SetText(gbk::FromUtf8("内嵌"));
  inside->SetBounds(4, 4, 100, 22);
  nested->HandleNeeded();
  inside->HandleNeeded();
  data->AddNestForm(form.Handle(), nested->Handle());
  EXPECT_TRUE(Skinned(inside));
  EXPECT_EQ(nested->Color(), data->SchemeColors[csButtonFace]);
  bool spied = false;
  for (int i = 0; i < nested->ComponentCount(); ++i)
    spied |= dynamic_cast<TWinSkinSpy*>(nested->Components(i)) != nullptr;
  EXPECT_TRUE(spied) << "the nested form is watched for its host";

  data->DeleteGraphicControl(form.Handle(), later);
  EXPECT_FALSE(Skinned(later));
  EXPECT_EQ(skin->Lookupcontrol(later->Handle()), nullptr);

  data->SetActive(false);
  gui::Pump(400);
  EXPECT_FALSE(Skinned(inside));
  EXPECT_EQ(nested->Color(), clBtnFace) << "the nested form's colour comes back";
}

// A button the pointer is over forgets it when its window is deactivated, before any
// leave report of its own comes.
TEST_F(ControlDiscovery, TheHotButtonIsToldWhenItsWindowIsDeactivated) {
  Activate("Mx1");
  ControlsForm form(&app);
  form.Show();
  gui::Pump(400);
  TWinSkinForm* skin = SkinFormOf(form.Handle());
  ASSERT_NE(skin, nullptr);
  TSkinControl* button = skin->Lookupcontrol(form.button->Handle());
  ASSERT_NE(button, nullptr);
  RECT r{};
  GetWindowRect(form.button->Handle(), &r);
  SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  SendMessageW(form.button->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  EXPECT_TRUE(InSet(button->States(), scMouseIn));
  EXPECT_EQ(skin->HotControl(), button);
  SendMessageW(form.Handle(), WM_NCACTIVATE, FALSE, 0);
  EXPECT_FALSE(InSet(button->States(), scMouseIn));
  EXPECT_EQ(skin->HotControl(), nullptr);
  SendMessageW(form.Handle(), WM_NCACTIVATE, TRUE, 0);
}

}  // namespace
