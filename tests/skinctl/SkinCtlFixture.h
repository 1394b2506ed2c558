// What the control-skinner suites share: frame strips whose every pixel tells the frame
// it came from, a host that records its skinners, a test form with controls put on it,
// and the screen read back under a window.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <vector>

#include "classlib/Forms.h"
#include "classlib/Gbk.h"
#include "skin/BitmapPixels.h"
#include "skin/WinSubClass.h"
#include "support/Gui.h"

namespace skinctl {

using skintest::Rgb;

constexpr TColor kFace = Rgb(200, 190, 180);
inline const std::vector<TColor> kButtonFrames = {Rgb(10, 10, 200), Rgb(10, 200, 10), Rgb(120, 120, 120),
                                                  Rgb(200, 200, 10), Rgb(10, 200, 200)};

// One solid colour a frame, frames side by side.
inline std::unique_ptr<TBitmap> Frames(int w, int h, const std::vector<TColor>& colours) {
  return skintest::MakeBitmap(w * static_cast<int>(colours.size()), h,
                              [=](int x, int) { return colours[static_cast<size_t>(x / w)]; });
}

// The face, the text colour and the five button frames the suites' skins share.
inline void FillButtons(TSkinData& d) {
  d.SchemeColors[csButtonFace] = kFace;
  d.SchemeColors[csButtonText] = Rgb(0, 0, 90);
  d.Buttons = std::make_unique<TDataSkinButton>("Buttons");
  d.Buttons->Image = Frames(20, 20, kButtonFrames);
  d.Buttons->Frame = 5;
}

class Host : public TSkinControlHost {
 public:
  void AddControlList(TSkinControl* c) override { controls.push_back(c); }
  void DeleteControl(TSkinControl* c) override { std::erase(controls, c); }
  std::vector<TSkinControl*> controls;
};

class TestForm : public TForm {
 public:
  TestForm(TComponent* owner, const char* utf8Caption, int left, int top, int width, int height) : TForm(owner) {
    SetBounds(left, top, width, height);
    SetText(gbk::FromUtf8(utf8Caption));
    DoCreate();
  }
};

// The control painted into a bitmap of its size through WM_PAINT with a DC.
inline std::unique_ptr<TBitmap> Painted(HWND h) {
  RECT r;
  GetWindowRect(h, &r);
  auto b = std::make_unique<TBitmap>();
  b->SetSize(r.right - r.left, r.bottom - r.top);
  SendMessageW(h, WM_PAINT, reinterpret_cast<WPARAM>(b->Canvas().Handle()), 0);
  return b;
}

// What the screen shows at a point of the window, as a TColor.
inline TColor OnScreen(HWND h, int x, int y) {
  RECT r;
  GetWindowRect(h, &r);
  HDC screen = GetDC(nullptr);
  const COLORREF c = GetPixel(screen, r.left + x, r.top + y);
  ReleaseDC(nullptr, screen);
  return static_cast<TColor>(c);
}

// An application, skin data the suite fills, the suite's test form and a host.
class FormFixture : public ::testing::Test {
 protected:
  FormFixture() : data(nullptr) {}
  template <class C>
  C* Add(int x, int y, int w, int h, const char* utf8 = nullptr) {
    auto* c = new C(form);
    c->SetParent(form);
    c->SetBounds(x, y, w, h);
    if (utf8) c->SetText(gbk::FromUtf8(utf8));
    return c;
  }
  // The form shown with the mouse away from it, and the keyboard on the form itself:
  // a shown form gives it to its first control, whose focused look these tests do not read.
  void ShowAway() {
    gui::MoveMouse(2, 2);
    form->Show();
    gui::Pump(150);
    SetFocus(form->Handle());
    gui::Pump(150);
  }
  TApplication app;
  TSkinData data;
  TForm* form = nullptr;
  Host host;
};

}  // namespace skinctl
