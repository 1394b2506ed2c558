// The main window's naming page under a skin: the hints memo's scroll bar is the skin's
// and scrolls by its arrow and its thumb, the names list's header follows the mouse and
// still resizes; the plain look gives every window its procedure back.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <string>
#include <thread>

#include "classlib/Files.h"
#include "classlib/Gbk.h"
#include "classlib/TIniFile.h"
#include "skin/WinSkinData.h"
#include "skin/WinSkinDlg.h"
#include "skin/WinSkinForm.h"
#include "skin/WinSkinFrame.h"
#include "skin/WinSubClass.h"
#include "support/Gui.h"
#include "support/TempFolder.h"
#include "ui/Untmain.h"

namespace {

std::string U(const char* utf8) { return gbk::FromUtf8(utf8); }

TMenuItem* Item(const TMenuItem* menu, const std::string& caption) {
  for (int i = 0; i < menu->Count(); ++i)
    if (menu->Items(i)->Caption() == caption) return menu->Items(i);
  return nullptr;
}

std::map<HWND, LONG_PTR> Procedures(HWND top) {
  std::map<HWND, LONG_PTR> procs;
  EnumChildWindows(
      top,
      [](HWND h, LPARAM l) {
        (*reinterpret_cast<std::map<HWND, LONG_PTR>*>(l))[h] = GetWindowLongPtrW(h, GWLP_WNDPROC);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&procs));
  return procs;
}

TEST(SkinnedQiMing, TheMemosBarAndTheListsHeaderAreTheSkinsAndStillWorkAndThePlainLookGivesEveryProcedureBack) {
  TApplication app;
  Application->Title = "Riveri 3.5";
  TempFolder temp;
  file::CreateDir(temp.Path("dat"));
  file::CreateDir(temp.Path("skins"));
  ASSERT_TRUE(file::Copy(std::string(TORVIK_PROGRAM_DIR) + "\\skins\\Mx1.skn", temp.Path("skins\\Mx1.skn"), false));
  auto* frm = new TFrmMain(Application, temp.Dir());
  frm->OnShow = nullptr;
  IniFile = new TIniFile(temp.Path("dat\\init.ini"));
  frm->ApplySavedSkin();
  frm->FillSkinMenu(frm->Opt_Skin);
  frm->Show();
  frm->PageControl1->SetActivePageIndex(frm->PageQiMing->PageIndex());
  std::string text;
  for (int i = 1; i <= 120; ++i) text += U("笔画组合 ") + std::to_string(i) + "\r\n";
  frm->MeoFormula->SetText(text);
  gui::Pump(300);
  const auto before = Procedures(frm->Handle());

  frm->SkinItemClick(Item(frm->Opt_Skin, "Mx1"));
  gui::Pump(500);
  TWinSkinForm* skin = SkinFormOf(frm->Handle());
  ASSERT_NE(skin, nullptr);
  HWND memo = frm->MeoFormula->Handle();
  auto* bars = dynamic_cast<TSkinScrollbar*>(skin->Lookupcontrol(memo));
  ASSERT_NE(bars, nullptr);
  ASSERT_TRUE(bars->VertBar()->Shown());
  RECT br;
  GetWindowRect(bars->VertBar()->Handle(), &br);
  const int arrow = GetSystemMetrics(SM_CXHSCROLL);
  const POINT down{(br.left + br.right) / 2, br.bottom - arrow / 2 - 1};
  const TBitmap& frames = *frm->SkinData->Scrollbar->Image;
  const int fw = frames.Width() / 23;
  HDC screen = GetDC(nullptr);
  EXPECT_EQ(GetPixel(screen, down.x, down.y),
            static_cast<COLORREF>(frames.Pixel(12 * fw + fw / 2, frames.Height() / 2)));
  ReleaseDC(nullptr, screen);
  gui::SaveScreenshot(frm->Handle(), gui::ScreenshotPath("main-qiming-Mx1.png"));

  // The arrow scrolls the memo: the press runs the memo's own tracking until released.
  const LRESULT first = SendMessageW(memo, EM_GETFIRSTVISIBLELINE, 0, 0);
  std::atomic<bool> done{false};
  std::thread player([&] {
    gui::MoveMouse(down.x, down.y);
    Sleep(80);
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    SendInput(1, &in, sizeof in);
    Sleep(60);
    in.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(1, &in, sizeof in);
    done = true;
  });
  while (!done) gui::Pump(10);
  player.join();
  gui::Pump(200);
  EXPECT_GT(SendMessageW(memo, EM_GETFIRSTVISIBLELINE, 0, 0), first);

  // Dragging the thumb past the end shows the last line.
  SCROLLBARINFO info{sizeof info};
  ASSERT_TRUE(TSkinData::GetScrollBarInfo(memo, OBJID_VSCROLL, &info));
  const POINT thumb{down.x, br.top + (info.xyThumbTop + info.xyThumbBottom) / 2};
  done = false;
  std::thread dragger([&] {
    gui::MoveMouse(thumb.x, thumb.y);
    Sleep(80);
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    SendInput(1, &in, sizeof in);
    for (int y = thumb.y; y <= br.bottom + 8; y += 8) {
      Sleep(30);
      gui::MoveMouse(thumb.x, y);
    }
    Sleep(60);
    in.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(1, &in, sizeof in);
    done = true;
  });
  while (!done) gui::Pump(10);
  dragger.join();
  gui::Pump(200);
  RECT client;
  GetClientRect(memo, &client);
  const LRESULT lastShown = SendMessageW(memo, EM_CHARFROMPOS, 0, MAKELPARAM(2, client.bottom - 2));
  EXPECT_GE(HIWORD(lastShown), SendMessageW(memo, EM_GETLINECOUNT, 0, 0) - 2) << "the last line is in view";

  // The names list's header: the hot column follows the mouse, and a divider still drags.
  auto* names = dynamic_cast<TSkinListView*>(skin->Lookupcontrol(frm->LstName->Handle()));
  ASSERT_NE(names, nullptr);
  ASSERT_NE(names->Header(), nullptr);
  HWND header = names->Header()->Window();
  RECT item;
  SendMessageW(header, HDM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
  MapWindowPoints(header, nullptr, reinterpret_cast<POINT*>(&item), 2);
  const TDataSkinObject& hb = *frm->SkinData->Headerbar;
  auto headerFrame = [&](int frame) {
    auto map = GetHMap(RECT{0, 0, Width(item), Height(item)}, hb.Image.get(), hb.Margins(), false, hb.Tile == 1,
                       hb.Frame, frame);
    return static_cast<COLORREF>(map->Pixel(1, Height(item) / 2));
  };
  const POINT edge{item.left + 1, (item.top + item.bottom) / 2};
  auto screenAt = [](POINT p) {
    HDC dc = GetDC(nullptr);
    const COLORREF c = GetPixel(dc, p.x, p.y);
    ReleaseDC(nullptr, dc);
    return c;
  };
  gui::MoveMouse(item.left + Width(item) / 2, edge.y);
  gui::Pump(200);
  EXPECT_EQ(names->Header()->HotItem(), 1);
  EXPECT_EQ(screenAt(edge), headerFrame(2)) << "the hot column";
  gui::MoveMouse(item.left - Width(item) / 2 + 4, edge.y);
  gui::Pump(200);
  EXPECT_EQ(names->Header()->HotItem(), 0);
  EXPECT_EQ(screenAt(edge), headerFrame(1));
  // Narrowed, as widening the list past its room has the page fit the columns anew.
  const LRESULT width = SendMessageW(frm->LstName->Handle(), LVM_GETCOLUMNWIDTH, 1, 0);
  done = false;
  std::thread resizer([&] {
    gui::MoveMouse(item.right, edge.y);
    Sleep(80);
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    SendInput(1, &in, sizeof in);
    for (int dx = 0; dx <= 20; dx += 5) {
      Sleep(30);
      gui::MoveMouse(item.right - dx, edge.y);
    }
    Sleep(60);
    in.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(1, &in, sizeof in);
    done = true;
  });
  while (!done) gui::Pump(10);
  resizer.join();
  gui::Pump(200);
  EXPECT_LE(SendMessageW(frm->LstName->Handle(), LVM_GETCOLUMNWIDTH, 1, 0), width - 12) << "the column narrowed";

  // The hint beside the list has nothing to scroll: asked to, it stays put, and its bar,
  // if shown at all, has no thumb.
  HWND hint = frm->RedtName2->Handle();
  auto* hintBars = dynamic_cast<TSkinScrollbar*>(skin->Lookupcontrol(hint));
  ASSERT_NE(hintBars, nullptr);
  SendMessageW(hint, WM_VSCROLL, SB_PAGEDOWN, 0);
  SendMessageW(hint, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
  gui::Pump(150);
  EXPECT_EQ(SendMessageW(hint, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
  if (hintBars->VertBar()->Shown()) {
    RECT hr;
    GetWindowRect(hintBars->VertBar()->Handle(), &hr);
    const TDataSkinObject& thumb = *frm->SkinData->VertScrollThumb;
    const int tw = thumb.Image->Width() / std::max(1, thumb.Frame);
    EXPECT_NE(screenAt(POINT{(hr.left + hr.right) / 2, (hr.top + hr.bottom) / 2}),
              static_cast<COLORREF>(thumb.Image->Pixel(tw / 2, thumb.Image->Height() / 2)));
  }

  frm->SkinItemClick(Item(frm->Opt_Skin, U("系统默认")));
  gui::Pump(500);
  ASSERT_EQ(SkinFormOf(frm->Handle()), nullptr);
  for (const auto& [h, proc] : before) {
    if (!IsWindow(h)) continue;
    wchar_t cls[64] = {};
    GetClassNameW(h, cls, 63);
    SCOPED_TRACE(gbk::ToUtf8(gbk::FromWide(cls)));
    EXPECT_EQ(GetWindowLongPtrW(h, GWLP_WNDPROC), proc);
  }
  delete frm;
  FreeSkinManager();
}

}  // namespace
