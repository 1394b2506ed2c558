// What the form-skinner suites share: the shipped skins by name, forms with a button or
// with controls put on them, and a test with one application, one skin manager and one
// skin component.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "classlib/Forms.h"
#include "classlib/Gbk.h"
#include "classlib/StdCtrls.h"
#include "skin/WinSkinData.h"
#include "skin/WinSkinDlg.h"
#include "skin/WinSkinFrame.h"
#include "support/Gui.h"

namespace skinform {

inline std::string SkinPath(const std::string& name) {
  return std::string(TORVIK_PROGRAM_DIR) + "\\skins\\" + name + ".skn";
}

// A control of `owner` put on `parent`.
template <typename T>
T* Put(TWinControl* parent, TComponent* owner, int left, int top, int width, int height) {
  auto* c = new T(owner);
  c->SetParent(parent);
  c->SetBounds(left, top, width, height);
  return c;
}
template <typename T>
T* Put(TWinControl* parent, TComponent* owner, const char* text, int left, int top, int width, int height) {
  auto* c = new T(owner);
  c->SetParent(parent);
  c->SetText(gbk::FromUtf8(text));
  c->SetBounds(left, top, width, height);
  return c;
}
template <typename T>
T* Put(TForm* form, int left, int top, int width, int height) {
  return Put<T>(form, form, left, top, width, height);
}

// A form with one button, under its own class name.
class ButtonForm : public TForm {
 public:
  ButtonForm(TComponent* owner, const char* utf8Caption, int left, int top, int width, int height,
             std::string className)
      : TForm(owner), className_(std::move(className)) {
    SetText(gbk::FromUtf8(utf8Caption));
    SetBounds(left, top, width, height);
    Put<TButton>(this, this, "确定", 20, 20, 80, 26);
    DoCreate();
  }
  std::string ClassName() const override { return className_; }

 private:
  std::string className_;
};

// The caption band as the window shows it, row by row; with `fresh` as the skinner
// paints it now.
inline std::vector<COLORREF> CaptionBand(TWinSkinForm* skin, bool fresh = false) {
  if (fresh) skin->UpdateNc(nullptr);
  std::vector<COLORREF> band;
  auto shot = gui::Capture(skin->FHandle);
  if (!shot) return band;
  for (int y = 0; y < skin->FCaptionHeight; ++y)
    for (int x = 0; x < shot->Width(); ++x) band.push_back(static_cast<COLORREF>(shot->Pixel(x, y)));
  return band;
}

// One application, one manager and one skin component for each test.
class SkinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    UseSkinManager();
    data = new TSkinData(&app);
    data->Loaded();
  }
  void TearDown() override {
    delete data;
    FreeSkinManager();
  }
  void Activate(const std::string& skin) {
    ASSERT_TRUE(data->LoadFromFile(SkinPath(skin))) << data->LastError();
    data->SetActive(true);
  }
  TApplication app;
  TSkinData* data = nullptr;
};

}  // namespace skinform
