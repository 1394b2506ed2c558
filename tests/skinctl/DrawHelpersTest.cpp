// The skinners' drawing helpers on memory bitmaps whose pixels are known, and the
// skinners that only lend a window the skin's ground: bare dialogs, size grips and
// controls that need the background alone.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classlib/Forms.h"
#include "classlib/StdCtrls.h"
#include "skin/BitmapPixels.h"
#include "skin/WinSkinForm.h"
#include "skin/WinSubClass.h"

using skintest::Rgb;

namespace {

constexpr TColor kFace = Rgb(200, 190, 180);
constexpr TColor kWhite = Rgb(255, 255, 255);

TColor At(TBitmap& b, int x, int y) { return static_cast<TColor>(GetPixel(b.Canvas().Handle(), x, y)); }

std::unique_ptr<TBitmap> Blank(int w, int h, TColor c = kWhite) { return skintest::Solid(w, h, c); }

int CountOf(TBitmap& b, TColor c) {
  int n = 0;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) n += At(b, x, y) == c;
  return n;
}

class PlainForm : public TForm {
 public:
  explicit PlainForm(TComponent* owner) : TForm(owner) {
    SetBounds(10, 10, 300, 200);
    DoCreate();
  }
};

class Host : public TSkinControlHost {
 public:
  void AddControlList(TSkinControl*) override {}
  void DeleteControl(TSkinControl*) override {}
};

// A skinner whose helpers the tests call straight.
class Helpers : public TSkinControl {
 public:
  Helpers(TSkinData* data, TSkinControlHost* host) : TSkinControl(nullptr) {
    data_ = data;
    formSkin_ = host;
  }
  using TSkinControl::CheckBiDi;
  using TSkinControl::DrawBMPSkin;
  using TSkinControl::DrawBuf;
  using TSkinControl::DrawImgCaption;
  using TSkinControl::DrawSkin;
  using TSkinControl::PaintBuffer;
  void SetWindow(HWND h) { wnd_ = h; }
  void SetEnabled(bool on) { enabled_ = on; }
};

class DrawHelpers : public ::testing::Test {
 protected:
  DrawHelpers() : data(nullptr) {
    data.SchemeColors[csButtonFace] = kFace;
    object.Image = skintest::MakeBitmap(30, 10, [](int x, int) {
      return x < 10 ? Rgb(250, 0, 0) : x < 20 ? Rgb(0, 250, 0) : Rgb(0, 0, 250);
    });
    object.Frame = 3;
  }
  TSkinData data;
  TDataSkinObject object{"Test"};
  Host host;
};

TEST_F(DrawHelpers, EmptyOrInvertedRectanglesPaintNothingInEveryFramePainter) {
  auto bmp = skintest::Solid(10, 10, Rgb(1, 2, 3));
  Helpers h(&data, &host);
  const RECT bad[] = {{5, 5, 5, 9}, {5, 5, 9, 5}, {8, 8, 2, 2}};
  for (const RECT& r : bad) {
    SCOPED_TRACE(std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
                 std::to_string(r.bottom));
    auto target = Blank(12, 12);
    TCanvas canvas(target->Canvas().Handle());
    DrawSkinMap1(target->Canvas().Handle(), r, bmp.get(), 1, 1);
    DrawSkinMap2(target->Canvas().Handle(), r, bmp.get(), 1, 1);
    DrawSkinMap3(&canvas, r, bmp.get(), 1, 1);
    h.DrawBuf(target->Canvas().Handle(), r);
    EXPECT_EQ(CountOf(*target, kWhite), 144);
  }
}

TEST_F(DrawHelpers, FramePaintersCutFrameNAndStretchItLeavingTheKeyColour) {
  // Frames 1 and 2 of a 2-frame bitmap, the left column of frame 2 key-coloured.
  auto bmp = skintest::MakeBitmap(8, 4, [](int x, int) {
    if (x == 4) return kKeyColour;
    return x < 4 ? Rgb(250, 0, 0) : Rgb(0, 0, 250);
  });
  struct Row {
    const char* name;
    int frame, frames;
    TColor inside;
  };
  for (const Row& row : {Row{"frame 1 of 2", 1, 2, Rgb(250, 0, 0)}, Row{"frame 2 of 2", 2, 2, Rgb(0, 0, 250)},
                         Row{"one frame is the whole bitmap", 1, 1, Rgb(0, 0, 250)}}) {
    SCOPED_TRACE(row.name);
    auto target = Blank(20, 20);
    DrawSkinMap1(target->Canvas().Handle(), RECT{4, 4, 20, 12}, bmp.get(), row.frame, row.frames);
    EXPECT_EQ(At(*target, 18, 10), row.inside);
    EXPECT_EQ(At(*target, 2, 2), kWhite) << "outside r";
    EXPECT_EQ(At(*target, 18, 14), kWhite) << "below r";
    auto canvasTarget = Blank(20, 20);
    TCanvas canvas(canvasTarget->Canvas().Handle());
    DrawSkinMap3(&canvas, RECT{4, 4, 20, 12}, bmp.get(), row.frame, row.frames);
    EXPECT_EQ(At(*canvasTarget, 18, 10), row.inside);
  }
  auto target = Blank(20, 20);
  DrawSkinMap1(target->Canvas().Handle(), RECT{0, 0, 8, 8}, bmp.get(), 2, 2);  // stretched twice as wide
  EXPECT_EQ(At(*target, 0, 3), kWhite) << "the key colour leaves the target's pixel";
  EXPECT_EQ(At(*target, 6, 3), Rgb(0, 0, 250));
}

TEST_F(DrawHelpers, SkinFramesGoIntoABitmapOrTheSharedBufferAndOutAgain) {
  Helpers h(&data, &host);
  TBitmap target;
  h.DrawBMPSkin(&target, RECT{10, 10, 40, 30}, &object, 2, 3, 0);
  ASSERT_GE(target.Width(), 30);
  EXPECT_EQ(At(target, 15, 10), Rgb(0, 250, 0)) << "frame 2 from the target's origin";

  // A frame of nothing but key colour shows the face under it.
  auto keyed = skintest::MakeBitmap(30, 10, [](int x, int) { return x >= 20 && x < 30 ? kKeyColour : Rgb(9, 9, 9); });
  TDataSkinObject holes("Holes");
  holes.Image = std::move(keyed);
  TBitmap faced;
  h.DrawBMPSkin(&faced, RECT{0, 0, 10, 10}, &holes, 3, 3, 1);
  EXPECT_EQ(At(faced, 5, 5), kFace);

  h.DrawSkin(RECT{0, 0, 12, 6}, &object, 1, 3, 0);
  EXPECT_EQ(&h.PaintBuffer(), &host.PaintBuffer()) << "the form skinner's buffer is shared";
  auto screen = Blank(30, 20);
  h.DrawBuf(screen->Canvas().Handle(), RECT{5, 5, 17, 11});
  EXPECT_EQ(At(*screen, 6, 6), Rgb(250, 0, 0));
  EXPECT_EQ(At(*screen, 18, 6), kWhite) << "only r is copied";
}

TEST_F(DrawHelpers, CaptionsStartThreePixelsInAndDisabledOnesUseTheShadowColour) {
  Helpers h(&data, &host);
  auto target = Blank(120, 24);
  HDC dc = target->Canvas().Handle();
  SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  SetTextColor(dc, RGB(0, 0, 0));
  h.SetEnabled(true);
  h.DrawImgCaption(dc, RECT{0, 0, 120, 24}, 0, L"WWW", -1, nullptr);
  int first = -1;
  for (int x = 0; x < 120 && first < 0; ++x)
    for (int y = 0; y < 24; ++y)
      if (At(*target, x, y) != kWhite) {
        first = x;
        break;
      }
  EXPECT_GE(first, 3);
  EXPECT_LE(first, 4) << "no image: the text starts 3 pixels in";

  const COLORREF shadow = ColorToRGB(kBtnShadow);
  auto grey = Blank(120, 24);
  TCanvas canvas(grey->Canvas().Handle());
  // Without smoothing, so that every pixel of the text is the text's colour.
  HFONT sharp =
      CreateFontW(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, NONANTIALIASED_QUALITY, 0, L"Tahoma");
  HGDIOBJ old = SelectObject(grey->Canvas().Handle(), sharp);
  MyDrawCaption(&canvas, RECT{0, 0, 120, 24}, L"WWW", false, taCenter);
  int inShadow = 0, other = 0;
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 120; ++x) {
      const COLORREF c = GetPixel(grey->Canvas().Handle(), x, y);
      if (c == shadow)
        ++inShadow;
      else if (c != ColorToRGB(kWhite))
        ++other;
    }
  EXPECT_GT(inShadow, 10);
  EXPECT_EQ(other, 0) << "disabled text is the shadow colour, greyed no other way";
  SelectObject(grey->Canvas().Handle(), old);
  DeleteObject(sharp);
}

TEST_F(DrawHelpers, ArrowsPointTheirWayAndRightToLeftWindowsReadThatWay) {
  struct Row {
    int direction;
    POINT tip, base;  // the tip is one pixel, the base seven
  };
  for (const Row& row :
       {Row{0, {3, 0}, {0, 3}}, Row{1, {3, 3}, {0, 0}}, Row{2, {0, 3}, {3, 0}}, Row{3, {3, 3}, {0, 0}}}) {
    SCOPED_TRACE(row.direction);
    auto target = Blank(10, 10);
    TCanvas canvas(target->Canvas().Handle());
    canvas.Pen.Color = Rgb(0, 0, 0);
    DrawArrow(&canvas, 0, 0, row.direction);
    EXPECT_EQ(CountOf(*target, Rgb(0, 0, 0)), 16) << "7 + 5 + 3 + 1 pixels";
    EXPECT_EQ(At(*target, row.tip.x, row.tip.y), Rgb(0, 0, 0));
    EXPECT_EQ(At(*target, row.base.x, row.base.y), Rgb(0, 0, 0));
  }

  TApplication app;
  PlainForm form(&app);
  Helpers h(&data, &host);
  h.SetWindow(form.Handle());
  EXPECT_EQ(h.CheckBiDi(DT_CENTER), static_cast<UINT>(DT_CENTER));
  SetWindowLongW(form.Handle(), GWL_EXSTYLE, GetWindowLongW(form.Handle(), GWL_EXSTYLE) | WS_EX_RTLREADING);
  EXPECT_EQ(h.CheckBiDi(DT_CENTER), static_cast<UINT>(DT_CENTER | DT_RTLREADING));
}

// ---- Skinners that lend the skin's ground ----

// A child dialog with one static text, as a property page is.
HWND ChildDialog(HWND parent) {
  struct {
    DLGTEMPLATE dlg;
    WORD menu, cls, title;
    DLGITEMTEMPLATE item;
    WORD itemClass[2], itemTitle[2], extra;
  } t{};
  t.dlg.style = WS_CHILD | WS_VISIBLE | DS_CONTROL;
  t.dlg.cdit = 1;
  t.dlg.cx = 100;
  t.dlg.cy = 60;
  t.item.style = WS_CHILD | WS_VISIBLE | SS_LEFT;
  t.item.x = 5;
  t.item.y = 5;
  t.item.cx = 60;
  t.item.cy = 12;
  t.item.id = 100;
  t.itemClass[0] = 0xFFFF;
  t.itemClass[1] = 0x0082;  // static
  return CreateDialogIndirectParamW(
      GetModuleHandleW(nullptr), &t.dlg, parent, [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0);
}

TEST_F(DrawHelpers, BareDialogsGripsAndBackgroundOnlyControlsStandOnTheFace) {
  data.FaceBrush = CreateSolidBrush(ColorToRGB(kFace));
  TApplication app;
  PlainForm form(&app);

  HWND dialog = ChildDialog(form.Handle());
  ASSERT_NE(dialog, nullptr);
  auto* box = new TSkinBoxH(&form);
  box->Inithwnd(dialog, &data, nullptr, &host);
  auto ground = Blank(40, 40);
  EXPECT_EQ(SendMessageW(dialog, WM_ERASEBKGND, reinterpret_cast<WPARAM>(ground->Canvas().Handle()), 0), 0);
  EXPECT_EQ(At(*ground, 20, 20), kFace);
  HWND text = GetDlgItem(dialog, 100);
  auto label = Blank(4, 4);
  const LRESULT brush = SendMessageW(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(label->Canvas().Handle()),
                                     reinterpret_cast<LPARAM>(text));
  EXPECT_EQ(reinterpret_cast<HBRUSH>(brush), data.FaceBrush) << "static children on the skin's face";
  EXPECT_EQ(GetBkColor(label->Canvas().Handle()), ColorToRGB(kFace));

  HWND grip = CreateWindowExW(0, L"SCROLLBAR", L"", WS_CHILD | WS_VISIBLE | SBS_SIZEGRIP, 200, 150, 16, 16,
                              form.Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
  auto* sizer = new TSkinSizer(&form);
  sizer->Inithwnd(grip, &data, nullptr, &host);
  auto gripped = Blank(16, 16);
  SendMessageW(grip, WM_PAINT, reinterpret_cast<WPARAM>(gripped->Canvas().Handle()), 0);
  EXPECT_EQ(At(*gripped, 8, 8), kFace);

  auto* edit = new TEdit(&form);
  edit->SetParent(&form);
  edit->SetBounds(10, 120, 80, 22);
  auto* trans = new TSkinTransObj(edit);
  trans->Init(&host, &data, nullptr, false);
  auto under = Blank(80, 22);
  EXPECT_EQ(SendMessageW(edit->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(under->Canvas().Handle()), 0), 1);
  EXPECT_EQ(At(*under, 40, 11), kFace);

  delete box;
  delete sizer;
  DestroyWindow(dialog);
  DeleteObject(data.FaceBrush);
  data.FaceBrush = nullptr;
}

}  // namespace
