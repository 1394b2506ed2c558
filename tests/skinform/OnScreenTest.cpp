// What a user sees of skinned windows in each of our skins, read back from the screen:
// message boxes without leftovers of their first paint, the system's scroll bars where a
// skin has none, a drop-down list that scrolls while its thumb is dragged, the caption
// icon without a key-coloured fringe, restore in place of maximize, menus without the
// system's highlight or black glyphs on a dark menu, up-downs and progress bars from the
// skin, and a hot button's readable text.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "classlib/ComCtrls.h"
#include "classlib/Dialogs.h"
#include "classlib/ExtCtrls.h"
#include "classlib/Forms.h"
#include "classlib/Gbk.h"
#include "classlib/Menus.h"
#include "classlib/StdCtrls.h"
#include "skin/WinSkinData.h"
#include "skin/WinSkinDlg.h"
#include "skin/WinSkinForm.h"
#include "skin/WinSkinFrame.h"
#include "skin/WinSubClass.h"
#include "skinform/SkinFormFixture.h"
#include "support/Gui.h"
#include "support/MenuWatch.h"
#include "support/SkinPixels.h"

namespace {

using gbk::U;
using skinform::Put;

const char* const kSkins[] = {"Mx1", "Ink", "Plain"};

class ScreenForm : public TForm {
 public:
  explicit ScreenForm(TComponent* owner) : TForm(owner) {
    SetText(U("命稿设置"));
    SetBounds(40, 40, 420, 300);
    DoCreate();
  }
  std::string ClassName() const override { return "TScreenForm"; }
};

using skinpixels::Contrast;
using skinpixels::Luminance;

// Magenta or a colour blended with it: red and blue well above green.
bool NearKey(COLORREF c) {
  return c != RGB(255, 0, 255) && GetRValue(c) - GetGValue(c) >= 90 && GetBValue(c) - GetGValue(c) >= 90;
}

std::vector<COLORREF> Pixels(const TBitmap& b) {
  std::vector<COLORREF> out;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) out.push_back(static_cast<COLORREF>(b.Pixel(x, y)) & 0xFFFFFF);
  return out;
}

class OnScreen : public skinform::SkinTest {
 protected:
  void Show(TForm& form) {
    form.Show();
    SetForegroundWindow(form.Handle());
    gui::Pump(400);
  }
  void Off() {
    data->SetActive(false);
    gui::Pump(300);
  }
  // A drop-down list of the given items on the form, shown, and opened by a real click
  // on its button.
  HWND OpenDropDown(TForm& form, const std::vector<std::string>& items, COMBOBOXINFO& cbi) {
    auto* combo = Put<TComboBox>(&form, 20, 20, 140, 22);
    combo->Style = csDropDownList;
    for (const std::string& item : items) combo->Items().Add(item);
    combo->SetItemIndex(0);
    Show(form);
    HWND h = combo->Handle();
    cbi = COMBOBOXINFO{sizeof cbi};
    GetComboBoxInfo(h, &cbi);
    POINT button{(cbi.rcButton.left + cbi.rcButton.right) / 2, (cbi.rcButton.top + cbi.rcButton.bottom) / 2};
    ClientToScreen(h, &button);
    gui::ParkMouse();
    gui::Pump(200);
    gui::PlayWhilePumping([&] { menuwatch::ClickAt(button.x, button.y); });
    return h;
  }
  static TWinSysButton* Button(TWinSkinForm* skin, int action) {
    for (const auto& b : skin->FButtons)
      if (b->Skin->Action == action && b->Visible) return b.get();
    return nullptr;
  }
};

// ---- Message boxes ----

// The most frequent colour of some pixels: the ground text stands on.
COLORREF Ground(const std::vector<COLORREF>& pixels) {
  std::map<COLORREF, int> count;
  for (COLORREF c : pixels) ++count[c];
  return std::max_element(count.begin(), count.end(), [](auto& a, auto& b) { return a.second < b.second; })->first;
}

// The contrast of text with its ground: of the pixel farthest from the most frequent one.
double TextContrast(const std::vector<COLORREF>& pixels) {
  const COLORREF ground = Ground(pixels);
  COLORREF ink = ground;
  for (COLORREF c : pixels)
    if (skinpixels::Distance(c, ground) > skinpixels::Distance(ink, ground)) ink = c;
  return Contrast(ink, ground);
}

// Where a button's caption shows: its first and last columns with a stroke, a pixel
// farther than `minDistance` from its row's ground, and how many such pixels there are;
// `margin` columns off either side are left out.
struct Strokes {
  int first, last, count;
};
Strokes CaptionStrokes(const TBitmap& shot, int minDistance = 240, int margin = 4) {
  const int h = shot.Height(), w = shot.Width();
  Strokes s{w, -1, 0};
  for (int y = h / 4; y < h * 3 / 4; ++y) {
    std::vector<COLORREF> row;
    for (int x = margin; x < w - margin; ++x) row.push_back(static_cast<COLORREF>(shot.Pixel(x, y)) & 0xFFFFFF);
    const COLORREF ground = Ground(row);
    for (int x = margin; x < w - margin; ++x) {
      if (skinpixels::Distance(row[static_cast<size_t>(x - margin)], ground) <= minDistance) continue;
      s.first = std::min(s.first, x);
      s.last = std::max(s.last, x);
      ++s.count;
    }
  }
  return s;
}

// How wide the button's caption is in its own font, the accelerator's mark left out.
int CaptionWidth(HWND button) {
  std::wstring text(64, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(button, text.data(), 64)));
  std::erase(text, L'&');
  HDC dc = GetDC(button);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(button, WM_GETFONT, 0, 0)));
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(button, dc);
  return size.cx;
}

// Message boxes, with and without an icon, in each skin: 300 ms and 2 s after one
// shows, what it shows is what a full repaint of it shows (a box narrower than its
// caption is widened when the skin comes on), and its buttons show their captions whole.
TEST_F(OnScreen, AMessageBoxShowsNoLeftoversAndWholeButtonCaptionsInEachSkin) {
  struct Box {
    const char *text, *caption;
    UINT flags;
  };
  const Box boxes[] = {
      {"恢复默认设置？", "命稿设置：恢复全部默认设置", MB_YESNO | MB_ICONQUESTION},
      {"请先排一个正确的盘", "排盘", MB_OK | MB_ICONINFORMATION},
      {"执行此操作将覆盖现有的历史记录，要继续吗？", "注意了", MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2},
  };
  for (const char* name : kSkins) {
    Activate(name);
    ScreenForm form(&app);
    Show(form);
    for (const Box& b : boxes) {
      SCOPED_TRACE(std::string(name) + " " + b.caption);
      HWND box = nullptr;
      std::unique_ptr<TBitmap> early, late, repainted;
      struct Caption {
        int shown, wanted, leftGap, rightGap;
      };
      std::vector<Caption> captions;
      DWORD seenAt = 0;
      TTimer step(nullptr);
      step.SetInterval(50);
      step.OnTimer = [&](TObject*) {
        if (!box) box = gui::WaitTopWindow(GetCurrentProcessId(), "#32770", "", 0);
        if (!box || !IsWindowVisible(box)) return;
        if (!seenAt) seenAt = GetTickCount();
        const DWORD shown = GetTickCount() - seenAt;
        if (shown >= 300 && !early) early = gui::Capture(box);
        if (shown < 2000 || late) return;
        late = gui::Capture(box);
        gui::SaveScreenshot(
            box, gui::ScreenshotPath(std::string("message-box-") + name + "-" + std::to_string(&b - boxes) + ".png"));
        for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
          // A focused button's dotted rectangle would hide where its caption ends.
          if (gui::Text(c).empty() || !(GetWindowLongW(c, GWL_STYLE) & WS_TABSTOP) || GetFocus() == c) continue;
          auto shot = gui::Capture(c);
          if (!shot) continue;
          const Strokes k = CaptionStrokes(*shot);
          captions.push_back({k.last - k.first + 1, CaptionWidth(c), k.first, shot->Width() - 1 - k.last});
        }
        RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        repainted = gui::Capture(box);
        PostMessageW(box, WM_COMMAND, (b.flags & MB_YESNO) ? IDNO : IDOK, 0);
      };
      Application->MessageBox(U(b.text), U(b.caption), b.flags);
      step.SetEnabled(false);
      ASSERT_TRUE(early && late && repainted);
      EXPECT_NE(SkinFormOf(form.Handle()), nullptr);
      const std::vector<COLORREF> want = Pixels(*repainted);
      for (const auto* shot : {early.get(), late.get()}) {
        ASSERT_EQ(shot->Width(), repainted->Width());
        ASSERT_EQ(shot->Height(), repainted->Height());
        const std::vector<COLORREF> seen = Pixels(*shot);
        int differ = 0;
        for (size_t i = 0; i < seen.size(); ++i) differ += seen[i] != want[i];
        EXPECT_EQ(differ, 0) << "pixels that only a full repaint puts right, at " << (shot == early.get() ? 300 : 2000)
                             << " ms";
      }
      EXPECT_EQ(captions.empty(), !(b.flags & MB_YESNO));
      for (const Caption& c : captions) {
        EXPECT_GE(c.shown, c.wanted - 1) << "a button's caption cut short";
        EXPECT_LE(std::abs(c.leftGap - c.rightGap), 2) << "a button's caption off its centre";
      }
    }
    Off();
  }
}

// ---- Scroll bars ----

// The system's bar where a skin without a bar image shows it: its down arrow's dark
// glyph, and not the skin's blank face over the strip.
void ExpectSystemsBar(HWND h, const TSkinData& data) {
  SCROLLBARINFO info{sizeof info};
  ASSERT_TRUE(TSkinData::GetScrollBarInfo(h, OBJID_VSCROLL, &info));
  const RECT& bar = info.rcScrollBar;
  const COLORREF skinFace = ColorToRGB(data.SchemeColors[csButtonFace]);
  const int arrow = GetSystemMetrics(SM_CYVSCROLL);
  int glyph = 0, face = 0, all = 0;
  for (int y = bar.top; y < bar.bottom; ++y) {
    for (int x = bar.left; x < bar.right; ++x, ++all) {
      const COLORREF c = gui::ScreenPixel(x, y);
      face += c == skinFace;
      if (y >= bar.bottom - arrow) glyph += Luminance(c) < 0.15;
    }
  }
  EXPECT_GT(glyph, 3) << "the arrow's glyph";
  EXPECT_LT(face, all / 4) << "the skin's face";
}

// Plain has no scroll-bar image: a memo keeps the system's bar, arrows and all, whether
// Plain is the first skin or replaces one with bars while the window is shown.
TEST_F(OnScreen, PlainLeavesAMemoTheSystemsScrollBar) {
  for (const char* first : {"Plain", "Mx1", "Ink"}) {
    SCOPED_TRACE(first);
    Activate(first);
    ScreenForm form(&app);
    auto* memo = Put<TMemo>(&form, 20, 20, 200, 160);
    std::string text;
    for (int i = 1; i <= 60; ++i) text += std::to_string(i) + "\r\n";
    memo->SetText(text);
    Show(form);
    Activate("Plain");
    gui::Pump(400);
    RedrawWindow(form.Handle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    gui::Pump(100);
    ExpectSystemsBar(memo->Handle(), *data);
    gui::SaveScreenshot(form.Handle(), gui::ScreenshotPath(std::string("plain-memo-after-") + first + ".png"));
    Off();
  }
}

// The list of an open drop-down follows its painted thumb while the mouse drags it.
TEST_F(OnScreen, AnOpenListScrollsWhileItsThumbIsDragged) {
  for (const char* name : {"Mx1", "Ink"}) {
    SCOPED_TRACE(name);
    Activate(name);
    ScreenForm form(&app);
    std::vector<std::string> items;
    for (int i = 1; i <= 60; ++i) items.push_back(std::to_string(i));
    COMBOBOXINFO cbi{};
    HWND h = OpenDropDown(form, items, cbi);
    ASSERT_TRUE(SendMessageW(h, CB_GETDROPPEDSTATE, 0, 0));
    HWND list = cbi.hwndList;
    SCROLLBARINFO info{sizeof info};
    ASSERT_TRUE(TSkinData::GetScrollBarInfo(list, OBJID_VSCROLL, &info));
    const RECT bar = info.rcScrollBar;
    const int x = (bar.left + bar.right) / 2, grab = bar.top + (info.xyThumbTop + info.xyThumbBottom) / 2;
    std::atomic<LRESULT> during{-1};
    gui::PlayWhilePumping([&] {
      gui::MoveMouse(x, grab);
      Sleep(80);
      gui::MouseButton(MOUSEEVENTF_LEFTDOWN);
      for (int y = grab; y <= (bar.top + bar.bottom) / 2; y += 4) {
        Sleep(30);
        gui::MoveMouse(x, y);
      }
      Sleep(150);
      during = SendMessageW(list, LB_GETTOPINDEX, 0, 0);  // the button still held
      gui::MouseButton(MOUSEEVENTF_LEFTUP);
    });
    EXPECT_GT(during.load(), 10) << "the list scrolled before the button was let go";
    menuwatch::Press(VK_ESCAPE);
    gui::Pump(200);
    Off();
  }
}

// The pixels of a rectangle of the screen.
std::vector<COLORREF> ScreenPixels(const RECT& r) {
  std::vector<COLORREF> px;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) px.push_back(gui::ScreenPixel(x, y));
  return px;
}

// A selection on the skin's highlight, not the system's, its text readable there.
void ExpectSkinsHighlight(const std::vector<COLORREF>& px, const TSkinData& data) {
  const COLORREF ground = Ground(px);
  EXPECT_EQ(ground, ColorToRGB(data.SchemeColors[csHilight]));
  EXPECT_EQ(std::count(px.begin(), px.end(), GetSysColor(COLOR_HIGHLIGHT)), 0) << "pixels of the system's highlight";
  EXPECT_GE(TextContrast(px), 4.5);
}

// An open list shows the item under the mouse in the skin's highlight, and so does the
// focused drop-down list its chosen item once the list is closed.
TEST_F(OnScreen, ListAndComboSelectionsShowTheSkinsHighlight) {
  for (const char* name : {"Mx1", "Ink"}) {
    SCOPED_TRACE(name);
    Activate(name);
    ScreenForm form(&app);
    std::vector<std::string> items;
    for (int i = 1; i <= 8; ++i) items.push_back(U("选项") + std::to_string(i));
    COMBOBOXINFO cbi{};
    HWND h = OpenDropDown(form, items, cbi);
    ASSERT_TRUE(SendMessageW(h, CB_GETDROPPEDSTATE, 0, 0));
    RECT item{};
    SendMessageW(cbi.hwndList, LB_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&item));
    MapWindowPoints(cbi.hwndList, nullptr, reinterpret_cast<POINT*>(&item), 2);
    gui::PlayWhilePumping([&] { gui::MoveMouse(item.left + 20, (item.top + item.bottom) / 2); }, 400);
    EXPECT_EQ(SendMessageW(cbi.hwndList, LB_GETCURSEL, 0, 0), 3);
    gui::SaveScreenshot(cbi.hwndList, gui::ScreenshotPath(std::string("open-list-") + name + ".png"));
    ExpectSkinsHighlight(ScreenPixels(item), *data);
    menuwatch::Press(VK_ESCAPE);
    gui::Pump(300);
    ASSERT_FALSE(SendMessageW(h, CB_GETDROPPEDSTATE, 0, 0));
    ASSERT_EQ(GetFocus(), h);
    RECT field = cbi.rcItem;
    MapWindowPoints(h, nullptr, reinterpret_cast<POINT*>(&field), 2);
    gui::SaveScreenshot(form.Handle(), gui::ScreenshotPath(std::string("combo-field-") + name + ".png"));
    ExpectSkinsHighlight(ScreenPixels(field), *data);
    Off();
  }
}

// ---- The caption ----

// A 16-pixel icon: an opaque blue square with a soft shadow right of it and below.
HICON ShadowedIcon() {
  constexpr int kSize = 16;
  std::vector<uint32_t> argb(kSize * kSize, 0);
  for (int y = 2; y < 12; ++y)
    for (int x = 2; x < 12; ++x) argb[static_cast<size_t>(y * kSize + x)] = 0xFF2060C0;
  for (int i = 3; i < 14; ++i) {
    argb[static_cast<size_t>(12 * kSize + i)] = 0x50000000;
    argb[static_cast<size_t>(13 * kSize + i)] = 0x28000000;
    argb[static_cast<size_t>(i * kSize + 12)] = 0x50000000;
  }
  BITMAPV5HEADER h{};
  h.bV5Size = sizeof h;
  h.bV5Width = kSize;
  h.bV5Height = -kSize;
  h.bV5Planes = 1;
  h.bV5BitCount = 32;
  h.bV5Compression = BI_BITFIELDS;
  h.bV5RedMask = 0x00FF0000;
  h.bV5GreenMask = 0x0000FF00;
  h.bV5BlueMask = 0x000000FF;
  h.bV5AlphaMask = 0xFF000000;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HBITMAP colour = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&h), DIB_RGB_COLORS, &bits, nullptr, 0);
  ReleaseDC(nullptr, screen);
  if (!colour || !bits) return nullptr;
  std::copy(argb.begin(), argb.end(), static_cast<uint32_t*>(bits));
  HBITMAP mask = CreateBitmap(kSize, kSize, 1, 1, nullptr);
  ICONINFO ii{TRUE, 0, 0, mask, colour};
  HICON icon = CreateIconIndirect(&ii);
  DeleteObject(mask);
  DeleteObject(colour);
  return icon;
}

// An icon with a soft shadow keeps no pixel blended with the key colour.
TEST_F(OnScreen, AnIconOnTheKeyColourKeepsNoBlendOfIt) {
  constexpr int kSize = 16;
  HICON icon = ShadowedIcon();
  ASSERT_TRUE(icon);
  TBitmap out;
  DrawIconOnKey(out, icon, kSize, kSize);
  DestroyIcon(icon);
  int keyed = 0, blended = 0;
  for (COLORREF c : Pixels(out)) {
    keyed += c == RGB(255, 0, 255);
    blended += NearKey(c);
  }
  EXPECT_EQ(blended, 0);
  EXPECT_GE(keyed, kSize * kSize - 100 - 11 * 2) << "the faint shadow and the ground are the key";
  EXPECT_EQ(static_cast<COLORREF>(out.Pixel(6, 6)) & 0xFFFFFF, RGB(0x20, 0x60, 0xC0)) << "the icon's own colour";
}

// The caption of a window without an icon of its own shows the program's, taken from
// the main window and shown through the key colour: in each skin, its shadow leaves no
// fringe.
TEST_F(OnScreen, TheCaptionIconHasNoKeyColouredFringe) {
  ScreenForm* main = nullptr;
  app.CreateForm(main);
  HICON icon = ShadowedIcon();
  ASSERT_TRUE(icon);
  SendMessageW(main->Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  for (const char* name : kSkins) {
    SCOPED_TRACE(name);
    Activate(name);
    data->GetAppIcon();
    ScreenForm form(&app);
    Show(form);
    TWinSkinForm* skin = SkinFormOf(form.Handle());
    ASSERT_NE(skin, nullptr);
    TWinSysButton* icon = Button(skin, 3);
    ASSERT_NE(icon, nullptr);
    RECT wr{};
    GetWindowRect(form.Handle(), &wr);
    const RECT& b = icon->Bounds;
    int fringe = 0;
    for (int y = b.top; y < b.bottom + 2; ++y)
      for (int x = b.left - 1; x < b.right + 1; ++x) fringe += NearKey(gui::ScreenPixel(wr.left + x, wr.top + y));
    EXPECT_EQ(fringe, 0);
    EXPECT_EQ(gui::ScreenPixel(wr.left + b.left + 6, wr.top + b.top + 6), RGB(0x20, 0x60, 0xC0)) << "the icon";
    gui::SaveScreenshot(form.Handle(), gui::ScreenshotPath(std::string("caption-") + name + ".png"));
    Off();
  }
  SendMessageW(main->Handle(), WM_SETICON, ICON_SMALL, 0);
  DestroyIcon(icon);
}

// Maximized, the window shows the skin's restore button where maximize was, and square
// corners without the key colour.
TEST_F(OnScreen, AMaximizedWindowShowsRestoreWhereMaximizeWas) {
  for (const char* name : kSkins) {
    SCOPED_TRACE(name);
    Activate(name);
    ScreenForm form(&app);
    Show(form);
    HWND h = form.Handle();
    TWinSkinForm* skin = SkinFormOf(h);
    ASSERT_NE(skin, nullptr);
    TWinSysButton* max = Button(skin, 1);
    ASSERT_NE(max, nullptr);
    ASSERT_EQ(max->Skin->Visibility, 2);
    RECT wr{};
    GetWindowRect(h, &wr);
    const int fromRight = Width(wr) - max->Bounds.left;
    // Checked at once: with no window manager, Wine soon restores a maximized window.
    ShowWindow(h, SW_MAXIMIZE);
    ASSERT_TRUE(IsZoomed(h));
    GetWindowRect(h, &wr);
    TBitmap frame;
    frame.SetSize(wr.right - wr.left, wr.bottom - wr.top);
    skin->UpdateNc(frame.Canvas().Handle());
    // With no region to cut them away, the frame's corners show no key colour.
    int keyed = 0;
    for (int y = 0; y < frame.Height(); ++y)
      for (int x = 0; x < frame.Width(); ++x) keyed += frame.Pixel(x, y) == kKeyColour;
    EXPECT_EQ(keyed, 0) << "key-coloured pixels in the maximized frame";
    gui::SaveScreenshot(h, gui::ScreenshotPath(std::string("maximized-") + name + ".png"));
    TWinSysButton* restore = Button(skin, 1);
    ASSERT_NE(restore, nullptr);
    EXPECT_EQ(restore->Skin->Visibility, 1);
    EXPECT_EQ(Width(wr) - restore->Bounds.left, fromRight) << "in maximize's place";
    // What the frame shows there is frame 1 of the restore image, not of maximize's.
    const RECT& r = restore->Bounds;
    auto matches = [&](TBitmap* image) {
      TBitmap want;
      want.SetSize(Width(r), Height(r));
      want.Canvas().Brush.Color = kKeyColour;
      want.Canvas().FillRect(RECT{0, 0, Width(r), Height(r)});
      DrawRect1(want.Canvas().Handle(), RECT{0, 0, Width(r), Height(r)}, image, true, 4, 1);
      int same = 0;
      for (int y = 0; y < Height(r); ++y)
        for (int x = 0; x < Width(r); ++x)
          same += want.Pixel(x, y) == frame.Pixel(r.left + x, r.top + y) && want.Pixel(x, y) != kKeyColour;
      return same;
    };
    const int asRestore = matches(restore->Skin->Image.get()), asMax = matches(max->Skin->Image.get());
    EXPECT_GT(asRestore, Width(r) * Height(r) * 3 / 4);
    EXPECT_GT(asRestore, asMax) << "the glyph is restore's";
    ShowWindow(h, SW_RESTORE);
    gui::Pump(200);
    Off();
  }
}

// A caption button under the mouse stands out from its normal look at a glance: most of
// its pixels change by more than 30 levels a channel.
TEST_F(OnScreen, ACaptionButtonUnderTheMouseLooksClearlyHot) {
  for (const char* name : kSkins) {
    SCOPED_TRACE(name);
    Activate(name);
    ScreenForm form(&app);
    Show(form);
    TWinSkinForm* skin = SkinFormOf(form.Handle());
    ASSERT_NE(skin, nullptr);
    for (int action : {0, 1, 2}) {  // close, maximize, minimize
      TWinSysButton* button = Button(skin, action);
      ASSERT_NE(button, nullptr);
      const RECT b = button->Bounds;
      auto part = [&] {
        std::vector<COLORREF> px;
        auto shot = gui::Capture(form.Handle());
        for (int y = b.top + 2; shot && y < b.bottom - 2; ++y)
          for (int x = b.left + 2; x < b.right - 2; ++x) px.push_back(static_cast<COLORREF>(shot->Pixel(x, y)));
        return px;
      };
      gui::ParkMouse();
      gui::Pump(300);
      const std::vector<COLORREF> normal = part();
      RECT wr{};
      GetWindowRect(form.Handle(), &wr);
      gui::MoveMouse(wr.left + (b.left + b.right) / 2, wr.top + (b.top + b.bottom) / 2);
      gui::Pump(400);
      const std::vector<COLORREF> hot = part();
      if (action == 0)
        gui::SaveScreenshot(form.Handle(), gui::ScreenshotPath(std::string("hot-close-") + name + ".png"));
      ASSERT_EQ(normal.size(), hot.size());
      int changed = 0;
      for (size_t i = 0; i < hot.size(); ++i) changed += skinpixels::Distance(normal[i], hot[i]) > 90;
      EXPECT_GE(changed * 2, static_cast<int>(hot.size())) << "button " << action;
    }
    gui::ParkMouse();
    Off();
  }
}

// ---- Menus ----

// What a watcher thread saw of the first menu window to open.
struct MenuSeen {
  HWND window = nullptr;
  RECT item{};  // the selected item
  std::vector<COLORREF> row;
};

// Opens a menu with `open` (it returns when the menu closes), selects `down` items with
// the Down key, and reads the selected item's row back from the screen.
MenuSeen WatchSelected(const std::function<void()>& open, int down) {
  MenuSeen seen;
  std::thread watcher([&seen, down] {
    HWND h = menuwatch::WaitMenuWindow(3000);
    if (h) {
      Sleep(150);
      for (int i = 0; i < down; ++i) {
        menuwatch::Press(VK_DOWN);
        Sleep(120);
      }
      Sleep(200);
      seen.window = h;
      auto* menu = reinterpret_cast<HMENU>(SendMessageW(h, MN_GETHMENU, 0, 0));
      for (int i = 0, n = GetMenuItemCount(menu); i < n; ++i) {
        if (!(GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_HILITE)) continue;
        GetMenuItemRect(nullptr, menu, static_cast<UINT>(i), &seen.item);
      }
      for (int y = seen.item.top; y < seen.item.bottom; ++y)
        for (int x = seen.item.left; x < seen.item.right; ++x) seen.row.push_back(gui::ScreenPixel(x, y));
      gui::SaveScreenshot(h, gui::ScreenshotPath("menu-selected.png"));
    }
    menuwatch::CloseAll();
  });
  open();
  for (int i = 0; i < 30 && watcher.joinable(); ++i) gui::Pump(20);
  watcher.join();
  return seen;
}

// A selected item that opens a submenu shows its arrow in the skin's colours: no pixel
// of the system's highlight anywhere on its row.
TEST_F(OnScreen, ASelectedSubmenuItemShowsNoSystemHighlight) {
  for (const char* name : {"Mx1", "Ink"}) {
    SCOPED_TRACE(name);
    Activate(name);
    ScreenForm form(&app);
    auto* popup = new TPopupMenu(&form);  // the form's: skinned with it
    auto* more = new TMenuItem(&form);
    more->SetCaption(U("更多"));
    auto* sub = new TMenuItem(&form);
    sub->SetCaption(U("子项"));
    more->Add(sub);
    popup->Items()->Add(more);
    Show(form);
    RECT wr{};
    GetWindowRect(form.Handle(), &wr);
    const MenuSeen seen = WatchSelected([&] { popup->Popup(wr.left + 80, wr.top + 100, form.Handle()); }, 1);
    ASSERT_NE(seen.window, nullptr);
    ASSERT_FALSE(seen.row.empty());
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT), text = ColorToRGB(data->SchemeColors[csHilightText]);
    int system = 0, arrow = 0;
    const int w = Width(seen.item);
    for (size_t i = 0; i < seen.row.size(); ++i) {
      system += seen.row[i] == highlight;
      if (static_cast<int>(i) % w >= w - 16) arrow += seen.row[i] == text;
    }
    EXPECT_EQ(system, 0);
    EXPECT_GE(arrow, 10) << "our arrow in the selected text colour";
    Off();
  }
}

// The text of a selected menu item reads well on the skin's highlight.
TEST_F(OnScreen, ASelectedMenuItemsTextContrastsWithItsHighlight) {
  for (const char* name : kSkins) {
    SCOPED_TRACE(name);
    Activate(name);
    ScreenForm form(&app);
    auto* popup = new TPopupMenu(&form);
    for (const char* caption : {"打开(O)", "关闭(C)"}) {
      auto* item = new TMenuItem(&form);
      item->SetCaption(U(caption));
      popup->Items()->Add(item);
    }
    Show(form);
    RECT wr{};
    GetWindowRect(form.Handle(), &wr);
    const MenuSeen seen = WatchSelected([&] { popup->Popup(wr.left + 80, wr.top + 100, form.Handle()); }, 1);
    ASSERT_FALSE(seen.row.empty());
    // Inside the highlight's edges, where the caption is.
    const int w = Width(seen.item), h = Height(seen.item);
    std::vector<COLORREF> inner;
    for (int y = 4; y < h - 4; ++y)
      for (int x = 4; x < w - 4; ++x) inner.push_back(seen.row[static_cast<size_t>(y * w + x)]);
    EXPECT_GE(TextContrast(inner), 4.5);
    Off();
  }
}

// The widest run of columns without a stroke between the first and the last stroke of a
// row of text, the pixels of a rectangle `w` wide read row by row.
int WidestGap(const std::vector<COLORREF>& pixels, int w, int from) {
  const COLORREF ground = Ground(pixels);
  std::vector<bool> ink(static_cast<size_t>(w));
  for (size_t i = 0; i < pixels.size(); ++i)
    if (skinpixels::Distance(pixels[i], ground) > 200) ink[i % static_cast<size_t>(w)] = true;
  int widest = 0, run = 0, seen = 0;
  for (int x = from; x < w; ++x) {
    if (ink[static_cast<size_t>(x)]) {
      if (seen++) widest = std::max(widest, run);
      run = 0;
    } else {
      ++run;
    }
  }
  return widest;
}

// The system menu in each skin shows Close's caption apart from its keys, and Ink's dark
// menu shows its glyphs in its light text colour.
TEST_F(OnScreen, TheSystemMenuShowsCloseApartFromItsKeys) {
  for (const char* name : kSkins) {
    SCOPED_TRACE(name);
    Activate(name);
    ScreenForm form(&app);
    Show(form);
    TWinSkinForm* skin = SkinFormOf(form.Handle());
    ASSERT_NE(skin, nullptr);
    RECT wr{};
    GetWindowRect(form.Handle(), &wr);
    const COLORREF text = ColorToRGB(data->SchemeColors[csMenuText]);
    const int edge = data->MenuItem ? data->MenuItem->LeftWidth : 0;
    int light = 0, black = 0, gap = -1;
    std::thread watcher([&] {
      HWND h = menuwatch::WaitMenuWindow(3000);
      if (h) {
        Sleep(250);
        auto* menu = reinterpret_cast<HMENU>(SendMessageW(h, MN_GETHMENU, 0, 0));
        for (int i = 0, n = GetMenuItemCount(menu); i < n; ++i) {
          const TMenuItem* item = TMenu::ItemAt(menu, i);
          if (GetMenuItemID(menu, i) != SC_CLOSE && !(item && item->Tag == SC_CLOSE)) continue;
          RECT r{};
          GetMenuItemRect(nullptr, menu, static_cast<UINT>(i), &r);
          const int gx = r.left + 1 + edge, gy = r.top + (Height(r) - 16) / 2;
          for (int k = 0; k < 8; ++k) {  // the close glyph's cross, two pixels wide, from (4, 4)
            const COLORREF c = gui::ScreenPixel(gx + 5 + k, gy + 4 + k);
            light += c == text;
            black += c == 0;
          }
          std::vector<COLORREF> row;
          for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) row.push_back(gui::ScreenPixel(x, y));
          gap = WidestGap(row, Width(r), 1 + edge + 16 + 1);
        }
        gui::SaveScreenshot(h, gui::ScreenshotPath(std::string("system-menu-") + name + ".png"));
      }
      menuwatch::CloseAll();
    });
    menuwatch::ClickAt((wr.left + wr.right) / 2, wr.top + skin->FCaptionHeight / 2, true);
    for (int i = 0; i < 200 && watcher.joinable(); ++i) gui::Pump(20);
    watcher.join();
    gui::Pump(200);
    EXPECT_GE(gap, 8) << "between the caption and the keys";
    if (std::string(name) == "Ink") {
      EXPECT_EQ(light, 8);
      EXPECT_EQ(black, 0);
    }
    Off();
  }
}

// ---- The font dialog ----

// The font dialog in each skin: its sample, black as chosen, reads well, and in the
// skins with check glyphs each effect box shows its caption once, as many strokes as
// the caption written once in the skin's text colour (the system draws a box straight
// away when it is checked, a little to the side).
TEST_F(OnScreen, TheFontDialogsSampleReadsWellAndItsBoxesShowTheirCaptionsOnce) {
  for (const char* name : kSkins) {
    SCOPED_TRACE(name);
    Activate(name);
    const bool glyphs = data->Buttons && !data->Buttons->CheckButton->Empty();
    const int glyph = glyphs ? data->Buttons->CheckButton->Width() / data->Buttons->CheckButtonFrame : 0;
    double sample = 0;
    ScreenForm form(&app);
    Show(form);
    std::vector<std::pair<int, int>> strokes;  // shown, and of the caption written once
    DWORD seenAt = 0;
    TTimer step(nullptr);
    step.SetInterval(100);
    step.OnTimer = [&](TObject*) {
      HWND box = gui::WaitTopWindow(GetCurrentProcessId(), "#32770", "", 0);
      if (!box || !IsWindowVisible(box)) return;
      if (!seenAt) seenAt = GetTickCount();
      if (GetTickCount() - seenAt < 800 || sample > 0) return;
      gui::SaveScreenshot(box, gui::ScreenshotPath(std::string("font-dialog-") + name + ".png"));
      RECT place{};  // the hidden static the sample is painted over
      GetWindowRect(GetDlgItem(box, 0x444), &place);
      InflateRect(&place, -3, -3);
      sample = TextContrast(ScreenPixels(place));
      for (int id : {0x410, 0x411}) {  // strikeout and underline
        if (!glyphs) break;
        HWND c = GetDlgItem(box, id);
        auto shot = gui::Capture(c);
        if (!shot) continue;
        const RECT right{glyph, 0, shot->Width(), shot->Height()};
        TBitmap shown, once;
        for (TBitmap* b : {&shown, &once}) b->SetSize(Width(right), Height(right));
        BitBlt(shown.Canvas().Handle(), 0, 0, Width(right), Height(right), shot->Canvas().Handle(), glyph, 0, SRCCOPY);
        HDC dc = once.Canvas().Handle();
        HBRUSH ground = CreateSolidBrush(ColorToRGB(data->SchemeColors[csButtonFace]));
        const RECT all{0, 0, Width(right), Height(right)};
        FillRect(dc, &all, ground);
        DeleteObject(ground);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, ColorToRGB(data->SchemeColors[csButtonText]));
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(c, WM_GETFONT, 0, 0)));
        RECT t{2, 0, Width(right), Height(right)};
        const std::wstring caption = gbk::ToWide(gui::Text(c));
        DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &t, DT_SINGLELINE | DT_VCENTER);
        SelectObject(dc, old);
        strokes.emplace_back(CaptionStrokes(shown, 120, 0).count, CaptionStrokes(once, 120, 0).count);
      }
      PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
    };
    TFontDialog dialog(&form);
    dialog.Execute();
    step.SetEnabled(false);
    EXPECT_GE(sample, 4.5) << "the sample";
    ASSERT_EQ(strokes.size(), glyphs ? 2u : 0u);
    for (const auto& [shown, once] : strokes) EXPECT_LE(shown * 4, once * 5) << "a caption drawn twice";
    Off();
  }
}

// ---- Controls ----

// Ink's up-down and progress bar come from its images; Plain's up-down, without one, is
// a plain button in Plain's colours.
TEST_F(OnScreen, UpDownsAndProgressBarsComeFromTheSkin) {
  for (const char* name : {"Ink", "Plain"}) {
    SCOPED_TRACE(name);
    Activate(name);
    ScreenForm form(&app);
    auto* edit = Put<TEdit>(&form, 20, 20, 60, 22);
    auto* ud = Put<TUpDown>(&form, 80, 20, 16, 22);
    ud->SetRange(0, 100);
    ud->SetPosition(50);
    ud->SetAssociate(edit);
    auto* bar = Put<TProgressBar>(&form, 20, 60, 200, 18);
    bar->SetRange(0, 100);
    bar->SetPosition(50);
    Show(form);
    gui::SaveScreenshot(form.Handle(), gui::ScreenshotPath(std::string("updown-progress-") + name + ".png"));
    RECT ur{};
    GetWindowRect(ud->Handle(), &ur);
    const RECT upHalf{0, 0, Width(ur), Height(ur) / 2};
    if (std::string(name) == "Plain") {
      ASSERT_FALSE(data->UpDownVert);
      // Face, light top edge and the arrow, in the skin's colours.
      EXPECT_EQ(gui::ScreenPixel(ur.left + 3, ur.top + 3), ColorToRGB(data->SchemeColors[csButtonFace]));
      EXPECT_EQ(gui::ScreenPixel(ur.left + 2, ur.top), ColorToRGB(data->SchemeColors[csButtonHilight]));
      int arrow = 0;
      for (int y = 0; y < Height(upHalf); ++y)
        for (int x = 2; x < Width(ur) - 2; ++x)
          arrow += gui::ScreenPixel(ur.left + x, ur.top + y) == ColorToRGB(data->SchemeColors[csButtonText]);
      EXPECT_GE(arrow, 10);
      Off();
      continue;
    }
    ASSERT_TRUE(data->UpDownVert && data->Progress);
    const TDataSkinBorder& img = *data->UpDownVert;
    auto upMap = GetHMap(upHalf, img.Image.get(), img.Margins(), false, img.Tile == 1, img.Frame, 1);
    ASSERT_TRUE(upMap);
    EXPECT_EQ(gui::ScreenPixel(ur.left + 1, ur.top + 1), static_cast<COLORREF>(upMap->Pixel(1, 1)));
    RECT pr{};
    GetWindowRect(bar->Handle(), &pr);
    const TDataSkinObject& p = *data->Progress;
    const RECT whole{0, 0, Width(pr), Height(pr)};
    auto empty = GetHMap(whole, p.Image.get(), p.Margins(), false, p.Tile == 1, 2, 1);
    auto filled = GetHMap(whole, p.Image.get(), p.Margins(), false, p.Tile == 1, 2, 2);
    ASSERT_TRUE(empty && filled);
    const int mid = Height(pr) / 2;
    EXPECT_EQ(gui::ScreenPixel(pr.left + Width(pr) / 4, pr.top + mid),
              static_cast<COLORREF>(filled->Pixel(Width(pr) / 4, mid)))
        << "the filled half";
    EXPECT_EQ(gui::ScreenPixel(pr.right - 1 - Width(pr) / 4, pr.top + mid),
              static_cast<COLORREF>(empty->Pixel(Width(pr) * 3 / 4 - 1, mid)))
        << "the empty half";
    Off();
  }
}

// In Ink a button under the mouse lights up; its text stays readable on it.
TEST_F(OnScreen, InksHotButtonTextContrastsWithTheButton) {
  Activate("Ink");
  ScreenForm form(&app);
  auto* button = Put<TButton>(&form, &form, "确定", 40, 40, 100, 30);
  Show(form);
  gui::Hover(button->Handle());
  gui::Pump(300);
  auto shot = gui::Capture(button->Handle());
  ASSERT_TRUE(shot);
  gui::SaveScreenshot(button->Handle(), gui::ScreenshotPath("ink-hot-button.png"));
  // The strongest contrast of a text pixel with the button's own colour on its row.
  double best = 0;
  for (int y = 6; y < shot->Height() - 6; ++y) {
    const auto ground = static_cast<COLORREF>(shot->Pixel(6, y)) & 0xFFFFFF;
    for (int x = 20; x < shot->Width() - 20; ++x)
      best = std::max(best, Contrast(static_cast<COLORREF>(shot->Pixel(x, y)) & 0xFFFFFF, ground));
  }
  EXPECT_GE(best, 3.0);
  const COLORREF hot = ColorToRGB(data->Buttons->MouseOverColour2);
  EXPECT_GE(Contrast(hot, static_cast<COLORREF>(shot->Pixel(6, shot->Height() / 2)) & 0xFFFFFF), 3.0)
      << "the skin's hot text colour on the hot button's middle";
}

}  // namespace
