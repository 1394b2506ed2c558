// The main window's naming page under a skin: the hints memo's scroll bar is the skin's
// and scrolls by its arrow; the plain look gives every window its procedure back.
#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <string>
#include <thread>

#include "classlib/Files.h"
#include "classlib/Gbk.h"
#include "classlib/TIniFile.h"
#include "skin/WinSkinData.h"
#include "skin/WinSkinDlg.h"
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

TEST(SkinnedQiMing, TheMemosBarIsTheSkinsAndThePlainLookGivesEveryProcedureBack) {
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
