// The main window as a user sees it: the case tree's and the 文件 menu's pictures in
// every look, the smallest size it keeps, and its controls while it is resized.
#include <windows.h>
// after <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "classlib/Gbk.h"
#include "classlib/TIniFile.h"
#include "support/Gui.h"
#include "support/MenuWatch.h"
#include "support/ProgramCopy.h"
#include "ui/Untmain.h"

namespace {

using gbk::U;

// The colour each picture is known by (drawn by the program's image generator).
constexpr COLORREF kFemale = RGB(214, 52, 72), kMale = RGB(44, 100, 196), kFolder = RGB(240, 196, 64),
                   kBook = RGB(46, 140, 84), kDisk = RGB(52, 84, 160), kPencil = RGB(236, 140, 32);

// Whether `colour` shows anywhere in a rectangle of the screen (read in one go: a pixel
// at a time from the screen costs a round trip each).
bool Shows(const RECT& screen, COLORREF colour) {
  const int w = screen.right - screen.left, h = screen.bottom - screen.top;
  if (w <= 0 || h <= 0) return false;
  TBitmap shot;
  shot.SetSize(w, h);
  HDC dc = GetDC(nullptr);
  BitBlt(shot.Canvas().Handle(), 0, 0, w, h, dc, screen.left, screen.top, SRCCOPY);
  ReleaseDC(nullptr, dc);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if ((static_cast<COLORREF>(shot.Pixel(x, y)) & 0xFFFFFF) == colour) return true;
  return false;
}

void StoreCase(MDataBase& db, const char* name, const char* category, bool male) {
  CaseRecord r{};
  std::strncpy(r.name, U(name).c_str(), sizeof r.name - 1);
  std::strncpy(r.category, U(category).c_str(), sizeof r.category - 1);
  r.year = 1990;
  r.month = r.day = 1;
  r.male = male;
  ASSERT_GE(db.Add(r), 0);
}

class WindowItems : public ::testing::Test {
 protected:
  void SetUp() override {
    app.Initialize();
    app.Title = "Riveri 3.5";
    dir.Add("skins");
  }
  void TearDown() override { Stop(); }
  // The window in a look ("" none), shown and painted.
  void Start(const std::string& skin) {
    {
      TIniFile ini(dir.Path("dat\\init.ini"));
      ini.WriteBool("window", "skined", !skin.empty());
      ini.WriteString("window", "skinname", skin);
    }
    frm = new TFrmMain(&app, dir.Dir());
    frm->Show();
    SetForegroundWindow(frm->Handle());
    gui::Pump(500);
  }
  void Stop() {
    delete frm;
    frm = nullptr;
  }
  // The screen rectangle of a node's picture: left of its text.
  RECT NodePicture(TTreeNode* n) {
    RECT r{};
    TreeView_GetItemRect(frm->Tree->Handle(), n->ItemId(), &r, TRUE);
    POINT p{r.left, r.top};
    ClientToScreen(frm->Tree->Handle(), &p);
    return RECT{p.x - 20, p.y, p.x, p.y + (r.bottom - r.top)};
  }
  // Opens 文件 by Alt+F and reads the 保存 item's row while the menu is up.
  bool SaveItemShows(COLORREF colour, const std::string& shot) {
    bool seen = false, open = false;
    std::unique_ptr<TBitmap> picture;
    const DWORD ui = GetCurrentThreadId();
    std::thread watcher([&] {
      menuwatch::PressAlt('F');
      HWND h = menuwatch::WaitMenuWindow(1000);
      if (!h) {
        // The system's bar selects 文件 without dropping it down: Down opens it.
        menuwatch::Press(VK_DOWN);
        h = menuwatch::WaitMenuWindow(2000);
      }
      if (h) {
        Sleep(300);
        auto* menu = reinterpret_cast<HMENU>(SendMessageW(h, MN_GETHMENU, 0, 0));
        for (int i = 0; menu && i < GetMenuItemCount(menu); ++i) {
          MENUITEMINFOW mi{};
          mi.cbSize = sizeof mi;
          mi.fMask = MIIM_DATA;
          GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &mi);
          if (mi.dwItemData != reinterpret_cast<ULONG_PTR>(frm->mnuF_save)) continue;
          RECT r{};
          open = GetMenuItemRect(nullptr, menu, static_cast<UINT>(i), &r);
          r.right = r.left + 40;
          seen = Shows(r, colour);
        }
        picture = gui::Capture(h);
      }
      // Esc until the window's thread has left the menu, its bar included.
      GUITHREADINFO info{};
      info.cbSize = sizeof info;
      for (int i = 0; i < 4 && GetGUIThreadInfo(ui, &info) && (info.flags & GUI_INMENUMODE); ++i) {
        menuwatch::Press(VK_ESCAPE);
        Sleep(200);
      }
    });
    for (int i = 0; i < 100 && !open; ++i) gui::Pump(50);
    watcher.join();
    gui::Pump(100);
    if (picture) gui::SavePicture(*picture, gui::ScreenshotPath(shot));
    EXPECT_TRUE(open) << "Alt+F opened 文件 with the save item";
    return seen;
  }

  TApplication app;
  ProgramCopy dir;
  TFrmMain* frm = nullptr;
};

// Root, category, a man's and a woman's case each show their picture in the tree, and the
// save command shows a new case's picture, then a stored case's: with no skin and in
// each of ours.
TEST_F(WindowItems, CaseTreeAndSaveCommandShowTheirPictures) {
  {
    MDataBase db;
    ASSERT_TRUE(db.Open(dir.Dir(), 0));
    StoreCase(db, "李四一", "家人", false);
    StoreCase(db, "张三丰", "朋友", true);
  }
  for (const char* skin : {"", "Mx1", "Ink", "Plain"}) {
    SCOPED_TRACE(*skin ? skin : "no skin");
    const std::string look = *skin ? skin : "none";
    Start(skin);
    TTreeNode* root = frm->Tree->Items().GetFirstNode();
    ASSERT_NE(root, nullptr);
    frm->Tree->FullExpand();
    gui::Pump(200);
    ASSERT_EQ(root->Count(), 2);
    EXPECT_TRUE(Shows(NodePicture(root), kBook)) << "root";
    for (int i = 0; i < 2; ++i) {
      TTreeNode* category = root->Item(i);
      SCOPED_TRACE(gbk::ToUtf8(category->Text()));
      EXPECT_TRUE(Shows(NodePicture(category), kFolder)) << "category";
      const bool male = category->Text() == U("朋友");
      EXPECT_TRUE(Shows(NodePicture(category->Item(0)), male ? kMale : kFemale)) << "case";
      EXPECT_FALSE(Shows(NodePicture(category->Item(0)), male ? kFemale : kMale)) << "case";
    }
    gui::SaveScreenshot(frm->Handle(), gui::ScreenshotPath("pictures-main-" + look + ".png"));
    EXPECT_TRUE(SaveItemShows(kDisk, "pictures-file-menu-" + look + ".png")) << "保存新命";
    frm->cases->SaveMenuState(true);
    gui::Pump(100);
    EXPECT_TRUE(SaveItemShows(kPencil, "pictures-file-menu-stored-" + look + ".png")) << "保存旧命";
    Stop();
  }
}

// Every visible window inside a page lies whole within the page.
std::vector<std::string> CutControls(HWND page) {
  struct Walk {
    RECT area;
    std::vector<std::string> cut;
  } walk{};
  GetClientRect(page, &walk.area);
  MapWindowPoints(page, nullptr, reinterpret_cast<POINT*>(&walk.area), 2);
  EnumChildWindows(
      page,
      [](HWND h, LPARAM l) {
        auto& w = *reinterpret_cast<Walk*>(l);
        RECT r{};
        GetWindowRect(h, &r);
        if (IsWindowVisible(h) && (r.left < w.area.left || r.top < w.area.top || r.right > w.area.right ||
                                   r.bottom > w.area.bottom || r.right <= r.left || r.bottom <= r.top))
          w.cut.push_back(gbk::ToUtf8(gui::Text(h)) + "#" + std::to_string(GetDlgCtrlID(h)));
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&walk));
  return walk.cut;
}

// A size saved too small is not restored, the window cannot be made smaller than its
// least size, at that size every control of every page is whole, and closing saves no
// smaller size.
TEST_F(WindowItems, KeepsTheLeastSizeAtWhichEveryControlIsWhole) {
  {
    TIniFile ini(dir.Path("dat\\init.ini"));
    ini.WriteInteger("winpos", "width", 300);
    ini.WriteInteger("winpos", "height", 200);
  }
  Start("");
  const SIZE least = frm->MinimumClientSize();
  EXPECT_GE(least.cx, 600);
  EXPECT_GE(frm->ClientWidth(), least.cx) << "restored from init.ini";
  EXPECT_GE(frm->ClientHeight(), least.cy) << "restored from init.ini";
  SetWindowPos(frm->Handle(), nullptr, 0, 0, 200, 150, SWP_NOMOVE | SWP_NOZORDER);
  gui::Pump(300);
  EXPECT_EQ(frm->ClientWidth(), least.cx) << "sized down";
  EXPECT_EQ(frm->ClientHeight(), least.cy) << "sized down";
  for (TTabSheet* page : {frm->PageName, frm->PageQiMing, frm->PageCompany, frm->PageDict}) {
    SCOPED_TRACE(gbk::ToUtf8(page->Caption()));
    frm->PageControl1->SetActivePage(page);
    gui::Pump(200);
    EXPECT_EQ(CutControls(page->Handle()), std::vector<std::string>{});
  }
  EXPECT_EQ(CutControls(frm->PanLeft->Handle()), std::vector<std::string>{});
  frm->Close();
  gui::Pump(200);
  TIniFile ini(dir.Path("dat\\init.ini"));
  EXPECT_GE(ini.ReadInteger("winpos", "width", 0), least.cx);
  EXPECT_GE(ini.ReadInteger("winpos", "height", 0), least.cy);
}

// A resize step by the window's bottom-right corner: the controls at the top left stay
// where they are and must not go missing (the parent painted over them) while the
// window is laid out and painted again. The longest time any of them is missing is
// printed and bounded.
TEST_F(WindowItems, ControlsStayOnTheScreenWhileTheWindowIsResized) {
  for (const char* skin : {"", "Mx1"}) {
    SCOPED_TRACE(*skin ? skin : "no skin");
    Start(skin);
    frm->SetClientSize(900, 600);
    gui::Pump(800);
    struct Probe {
      HWND h;
      POINT at;  // client point whose colour tells the control from its parent
      COLORREF steady = 0;
      double missingMs = 0;
    };
    std::vector<Probe> probes = {
        {frm->LedtName->Handle(), {6, frm->LedtName->ClientHeight() / 2}},
        {frm->Tree->Handle(), {frm->Tree->ClientWidth() - 6, frm->Tree->ClientHeight() - 6}},
        {frm->BtnPai->Handle(), {frm->BtnPai->Width() - 2, frm->BtnPai->Height() - 2}},
        {frm->RedtName->Handle(), {frm->RedtName->ClientWidth() / 2, frm->RedtName->ClientHeight() - 20}},
    };
    for (Probe& p : probes) {
      ClientToScreen(p.h, &p.at);
      p.steady = gui::ScreenPixel(p.at);
    }
    for (int step = 0; step < 3; ++step) {
      std::atomic<bool> done{false};
      using Clock = std::chrono::steady_clock;
      std::thread watcher([&] {
        std::vector<Clock::time_point> first(probes.size()), last(probes.size());
        std::vector<bool> seen(probes.size(), false);
        while (!done) {
          for (size_t i = 0; i < probes.size(); ++i) {
            if (gui::ScreenPixel(probes[i].at) == probes[i].steady) continue;
            if (!seen[i]) first[i] = Clock::now();
            seen[i] = true;
            last[i] = Clock::now();
          }
        }
        for (size_t i = 0; i < probes.size(); ++i) {
          if (!seen[i]) continue;
          const double ms = std::chrono::duration<double, std::milli>(last[i] - first[i]).count();
          probes[i].missingMs = std::max(probes[i].missingMs, ms);
        }
      });
      Sleep(30);
      const int grow = step % 2 ? -60 : 60;
      frm->SetBounds(frm->Left(), frm->Top(), frm->Width() + grow, frm->Height() + grow);
      gui::Pump(700);
      done = true;
      watcher.join();
    }
    double worst = 0;
    for (const Probe& p : probes) {
      EXPECT_EQ(gui::ScreenPixel(p.at), p.steady) << "the control shows again as before";
      worst = std::max(worst, p.missingMs);
    }
    std::printf("controls missing during a resize step (%s): %.0f ms at most\n", *skin ? skin : "no skin", worst);
    EXPECT_LT(worst, 50.0);
    Stop();
  }
}

}  // namespace
