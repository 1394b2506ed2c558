// The glyph buttons, speed buttons and progress bars of a test form in a skin whose every
// pixel tells the frame it came from: what the screen shows under the real mouse, where
// a glyph stands, how much of a progress bar is filled, and bare windows skinned by
// their window class.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classlib/Buttons.h"
#include "classlib/ComCtrls.h"
#include "classlib/Forms.h"
#include "classlib/Gbk.h"
#include "classlib/MPlayer.h"
#include "skin/BitmapPixels.h"
#include "skin/WinSubClass.h"
#include "skinctl/SkinCtlFixture.h"
#include "support/Gui.h"

using skinctl::Frames;
using skinctl::kButtonFrames;
using skinctl::kFace;
using skinctl::OnScreen;
using skintest::Rgb;

namespace {

constexpr TColor kEmptyBar = Rgb(30, 60, 90), kFilledBar = Rgb(230, 120, 20);
constexpr TColor kKey = Rgb(255, 0, 255);

void MouseButton(bool down) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  SendInput(1, &in, sizeof in);
}

class ButtonsBars : public skinctl::FormFixture {
 protected:
  ButtonsBars() {
    skinctl::FillButtons(data);
    data.Progress = std::make_unique<TDataSkinBorder>("Progress");
    data.Progress->Image = Frames(20, 16, {kEmptyBar, kFilledBar});
    data.Progress->Frame = 2;
    form = new skinctl::TestForm(&app, "按钮与进度", 60, 60, 420, 260);
  }
  ~ButtonsBars() override {
    delete form;
    gui::Pump(50);
  }
};

// ---- Speed buttons ----

TEST_F(ButtonsBars, SpeedButtonFollowsTheRealMouseAndClicksOnce) {
  auto* b = Add<TSpeedButton>(20, 20, 60, 26, "解");
  int clicks = 0;
  b->OnClick = [&](TObject*) { ++clicks; };
  (new TSkinSpeedButton(b))->Init(&host, &data, nullptr, false);
  ShowAway();
  HWND h = b->Handle();
  EXPECT_EQ(SendMessageW(h, CN_IsSkinned, 0, 0), 1);
  EXPECT_EQ(OnScreen(h, 3, 3), kButtonFrames[0]) << "normal";

  gui::Hover(h);
  gui::Pump(100);
  EXPECT_EQ(OnScreen(h, 3, 3), kButtonFrames[3]) << "hot under the mouse";

  MouseButton(true);
  gui::Pump(100);
  EXPECT_EQ(OnScreen(h, 3, 3), kButtonFrames[1]) << "pressed";
  MouseButton(false);
  gui::Pump(150);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(OnScreen(h, 3, 3), kButtonFrames[3]) << "hot again, no focus look although the window has the focus";
  gui::SaveScreenshot(form->Handle(), gui::ScreenshotPath("speed-button-hot.png"));

  gui::MoveMouse(2, 2);
  gui::Pump(400);  // the form's cursor poll and the leave notice
  EXPECT_EQ(OnScreen(h, 3, 3), kButtonFrames[0]) << "normal once the mouse has left";

  b->SetEnabled(false);
  gui::Pump(100);
  EXPECT_EQ(OnScreen(h, 3, 3), kButtonFrames[2]) << "disabled";
  gui::Hover(h);
  gui::Pump(100);
  EXPECT_EQ(OnScreen(h, 3, 3), kButtonFrames[2]) << "disabled whatever the mouse does";
}

// ---- Menu buttons ----

TEST_F(ButtonsBars, MenuButtonShowsADropDownTriangleOnTheFrame) {
  auto* b = Add<TButton>(20, 60, 80, 26);
  (new TSkinMenuButton(b))->Init(&host, &data, nullptr, false);
  ShowAway();
  HWND h = b->Handle();
  // The triangle's point-down rows start 12 pixels from the right, 2 above the middle.
  EXPECT_EQ(OnScreen(h, 71, 12), static_cast<TColor>(ColorToRGB(clWindowText)));
  EXPECT_EQ(OnScreen(h, 71, 16), kButtonFrames[0]) << "below the point";
  EXPECT_EQ(OnScreen(h, 3, 3), kButtonFrames[0]);
  b->SetEnabled(false);
  gui::Pump(100);
  EXPECT_EQ(OnScreen(h, 71, 12), static_cast<TColor>(ColorToRGB(kBtnShadow)));
  EXPECT_EQ(OnScreen(h, 3, 3), kButtonFrames[2]);
}

// ---- Media players ----

TEST_F(ButtonsBars, MediaPlayerWearsButtonFramesAndPassesOnlyCompletedClicks) {
  auto* player = Add<TMediaPlayer>(20, 160, 270, 30);
  player->VisibleButtons = 1 << 0 | 1 << 1 | 1 << 2;  // play, pause, stop: 90 pixels each
  player->EnabledButtons = 1 << 0 | 1 << 2;
  std::vector<TMPBtnType> clicked;
  player->OnButtonClick = [&](TMPBtnType b) { clicked.push_back(b); };
  auto* skinner = new TSkinMP(player);
  skinner->Init(&host, &data, nullptr, false);
  ASSERT_NE(skinner->Panel(), nullptr);
  ShowAway();
  HWND h = player->Handle();
  EXPECT_EQ(OnScreen(h, 5, 5), kButtonFrames[0]) << "play";
  EXPECT_EQ(OnScreen(h, 95, 5), kButtonFrames[2]) << "pause is disabled";
  EXPECT_EQ(OnScreen(h, 185, 5), kButtonFrames[0]) << "stop";

  RECT r;
  GetWindowRect(h, &r);
  gui::MoveMouse(r.left + 225, r.top + 15);
  gui::Pump(60);
  MouseButton(true);
  gui::Pump(100);
  EXPECT_EQ(OnScreen(h, 185, 5), kButtonFrames[1]) << "stop held down";
  MouseButton(false);
  gui::Pump(100);
  EXPECT_EQ(OnScreen(h, 185, 5), kButtonFrames[0]);
  EXPECT_EQ(clicked, std::vector<TMPBtnType>{TMPBtnType::btStop});

  gui::MoveMouse(r.left + 45, r.top + 15);
  gui::Pump(60);
  MouseButton(true);
  gui::Pump(60);
  gui::MoveMouse(r.left + 45, r.top + 80);  // released off the button: no click
  gui::Pump(60);
  MouseButton(false);
  gui::Pump(100);
  EXPECT_EQ(clicked.size(), 1u);
  EXPECT_EQ(OnScreen(h, 5, 5), kButtonFrames[0]) << "unpressed again";
  gui::SaveScreenshot(form->Handle(), gui::ScreenshotPath("mediaplayer.png"));

  player->SetBounds(20, 200, 180, 30);
  gui::Pump(100);
  EXPECT_EQ(skinner->Panel()->Top(), 200) << "the panel follows the player";
  EXPECT_EQ(skinner->Panel()->Width(), 180);
}

// ---- Glyph layout ----

TEST(BitButtonLayout, GlyphAndCaptionStandByLayoutMarginAndSpacing) {
  struct Row {
    const char* name;
    RECT client;
    SIZE text;
    TButtonLayout layout;
    int margin, spacing;
    RECT glyph, caption;
    UINT flags;
  };
  const SIZE glyph{16, 16};
  const RECT wide{0, 0, 100, 30}, tall{0, 0, 60, 60};
  const Row rows[] = {
      {"left, centred together", wide, {40, 14}, blGlyphLeft, -1, 4, {20, 7, 36, 23}, {40, 8, 80, 22}, DT_WORDBREAK},
      {"right", wide, {40, 14}, blGlyphRight, -1, 4, {64, 7, 80, 23}, {20, 8, 60, 22}, DT_WORDBREAK | DT_RIGHT},
      {"top", tall, {40, 14}, blGlyphTop, -1, 4, {22, 13, 38, 29}, {10, 33, 50, 47}, DT_WORDBREAK | DT_CENTER},
      {"bottom", tall, {40, 14}, blGlyphBottom, -1, 4, {22, 31, 38, 47}, {10, 13, 50, 27}, DT_WORDBREAK | DT_CENTER},
      {"margin given, spacing free", wide, {40, 14}, blGlyphLeft, 5, -1, {5, 7, 21, 23}, {40, 8, 80, 22}, DT_WORDBREAK},
      {"both free: thirds", wide, {40, 14}, blGlyphLeft, -1, -1, {14, 7, 30, 23}, {44, 8, 84, 22}, DT_WORDBREAK},
      {"no caption: no spacing", wide, {0, 0}, blGlyphLeft, -1, 4, {42, 7, 58, 23}, {58, 15, 58, 15}, DT_WORDBREAK},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const auto at = TSkinBitButton::LayOut(row.client, glyph, row.text, row.layout, row.margin, row.spacing, false);
    EXPECT_TRUE(EqualRect(&at.glyph, &row.glyph))
        << at.glyph.left << "," << at.glyph.top << "," << at.glyph.right << "," << at.glyph.bottom;
    EXPECT_TRUE(EqualRect(&at.text, &row.caption))
        << at.text.left << "," << at.text.top << "," << at.text.right << "," << at.text.bottom;
    EXPECT_EQ(at.flags, row.flags);
  }
}

TEST_F(ButtonsBars, BitButtonShowsTheGlyphCellOfItsStateOnTheFrame) {
  const std::vector<TColor> cells = {Rgb(250, 0, 0), Rgb(128, 128, 0), Rgb(0, 128, 255)};  // up, disabled, down
  struct Row {
    const char* name;
    int numGlyphs;
    bool disabled, pressed;
    TColor glyph, frame;
  };
  const Row rows[] = {
      {"normal", 3, false, false, cells[0], kButtonFrames[0]},
      {"pressed shows the down cell", 3, false, true, cells[2], kButtonFrames[1]},
      {"disabled shows the disabled cell", 3, true, false, cells[1], kButtonFrames[2]},
      {"one cell serves every state", 1, true, false, cells[0], kButtonFrames[2]},
      {"a cell count below one counts as one", 0, false, false, cells[0], kButtonFrames[0]},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    auto* b = Add<TBitBtn>(20, 60, 80, 40);
    const int n = std::max(row.numGlyphs, 1);
    auto glyph = skintest::MakeBitmap(
        16 * n, 16, [&](int x, int y) { return x % 16 == 0 && y == 15 ? kKey : cells[static_cast<size_t>(x / 16)]; });
    b->Glyph.SetSize(glyph->Width(), glyph->Height());
    BitBlt(b->Glyph.Canvas().Handle(), 0, 0, glyph->Width(), 16, glyph->Canvas().Handle(), 0, 0, SRCCOPY);
    b->NumGlyphs = row.numGlyphs;
    (new TSkinBitButton(b))->Init(&host, &data, nullptr, false);
    ShowAway();
    HWND h = b->Handle();
    if (row.disabled) b->SetEnabled(false);
    if (row.pressed) SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    gui::Pump(100);
    // No caption: the glyph stands in the middle of the face (80 x 40 less 2 a side).
    EXPECT_EQ(OnScreen(h, 40, 20), row.glyph);
    EXPECT_EQ(OnScreen(h, 32, 27), row.frame) << "the glyph's transparent pixel shows the frame";
    EXPECT_EQ(OnScreen(h, 3, 3), row.frame);
    if (row.pressed) SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(200, 200));
    delete b;
  }
}

// ---- Progress bars ----

TEST_F(ButtonsBars, ProgressBarFillsItsPositionsShareWithTheFillFrame) {
  auto* bar = Add<TProgressBar>(20, 120, 200, 16);
  bar->SetRange(0, 100);
  (new TSkinProgress(bar))->Init(&host, &data, nullptr, false);
  ShowAway();
  HWND h = bar->Handle();
  struct Row {
    int position;
    int filledUpTo;  // pixels from the left shown filled
  };
  for (const Row& row : {Row{0, 0}, Row{50, 100}, Row{25, 50}, Row{100, 200}}) {
    SCOPED_TRACE(row.position);
    bar->SetPosition(row.position);
    gui::Pump(100);
    for (int x : {1, 49, 51, 99, 101, 150, 198}) {
      SCOPED_TRACE(x);
      EXPECT_EQ(OnScreen(h, x, 8), x < row.filledUpTo ? kFilledBar : kEmptyBar);
    }
  }
  bar->SetPosition(50);
  gui::Pump(100);
  gui::SaveScreenshot(form->Handle(), gui::ScreenshotPath("progress-half.png"));
}

TEST_F(ButtonsBars, BareVerticalProgressBarFillsFromTheBottom) {
  ShowAway();
  HWND h = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE | PBS_VERTICAL, 300, 20, 20, 120,
                           form->Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(h, nullptr);
  SendMessageW(h, PBM_SETRANGE32, 0, 60);
  SendMessageW(h, PBM_SETPOS, 30, 0);
  auto* s = new TSkinProgress(form);
  s->Inithwnd(h, &data, nullptr, &host);
  gui::Pump(150);
  EXPECT_EQ(SendMessageW(h, CN_IsSkinned, 0, 0), 1);
  EXPECT_EQ(OnScreen(h, 10, 118), kFilledBar);
  EXPECT_EQ(OnScreen(h, 10, 61), kFilledBar);
  EXPECT_EQ(OnScreen(h, 10, 58), kEmptyBar);
  EXPECT_EQ(OnScreen(h, 10, 2), kEmptyBar);
  DestroyWindow(h);
  EXPECT_EQ(s->Stage(), 6);
  delete s;
}

}  // namespace
