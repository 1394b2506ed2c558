// Torvik.exe as a user meets it: it starts with a fresh "dat\init.ini" and shows its
// painted main window within half a second, also over a long history, analyses a
// typed name into the side panel, refuses an empty one, and keeps its window
// settings across a restart.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "cases/Database.h"
#include "classlib/Files.h"
#include "classlib/Gbk.h"
#include "classlib/StrUtils.h"
#include "classlib/TIniFile.h"
#include "support/Gui.h"
#include "support/ProgramCopy.h"
#include "support/ShippedFolder.h"

#include <commctrl.h>

namespace {

using gbk::U;

BOOL CALLBACK CollectText(HWND h, LPARAM l) {
  reinterpret_cast<std::vector<std::string>*>(l)->push_back(gui::Text(h));
  return TRUE;
}

std::vector<std::string> ChildTexts(HWND parent) {
  std::vector<std::string> texts;
  EnumChildWindows(parent, CollectText, reinterpret_cast<LPARAM>(&texts));
  return texts;
}

bool HasText(const std::vector<std::string>& texts, const std::string& t) {
  for (const std::string& s : texts)
    if (s == t) return true;
  return false;
}

// Presses "测名" and waits for the message box captioned `caption`; its text, or "".
std::string PressAndReadBox(HWND main, DWORD pid, const std::string& caption) {
  PostMessageW(gui::FindChild(main, "TButton", U("测名")), BM_CLICK, 0, 0);
  HWND box = gui::WaitTopWindow(pid, "#32770", caption, 10000);
  if (!box) return {};
  // The box's text is its one non-empty child text besides the button's.
  std::string button = gui::Text(gui::FindChild(box, "Button", ""));
  std::string text;
  for (const std::string& s : ChildTexts(box))
    if (!s.empty() && s != button) text = s;
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  return text;
}

// Torvik.exe with the shipped data in a folder of the test's own, before a first start:
// without "dat\init.ini".
class Program : public ::testing::Test {
 protected:
  void TearDown() override { gui::ParkMouse(); }
  ProgramCopy folder{{"Torvik.exe", "dat\\ChiWord.db", "dat\\ChiWordMini.db", "dat\\dili.ini", "dat\\name.chm",
                      "dat\\set.ini", "dat\\EndInfo.txt", "skins"}};
  std::string exe = folder.Path("Torvik.exe");
  std::string initPath = folder.Path("dat\\init.ini");
};

using Clock = std::chrono::steady_clock;

long Ms(Clock::time_point since) {
  return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count());
}

BOOL CALLBACK FindVisible(HWND h, LPARAM l) {
  auto* want = reinterpret_cast<std::pair<std::wstring, HWND>*>(l);
  wchar_t cls[64] = {};
  GetClassNameW(h, cls, 64);
  if (want->first != cls || !IsWindowVisible(h)) return TRUE;
  want->second = h;
  return FALSE;
}

// The first visible descendant of that class.
HWND VisibleChild(HWND parent, const wchar_t* cls) {
  std::pair<std::wstring, HWND> want{cls, nullptr};
  EnumChildWindows(parent, FindVisible, reinterpret_cast<LPARAM>(&want));
  return want.second;
}

// A point of the side panel that none of its boxes covers.
POINT BarePanelPoint(HWND panel) {
  RECT r{};
  GetClientRect(panel, &r);
  for (int y = r.bottom - 3; y > 2; y -= 3) {
    for (int x = r.right - 3; x > 2; x -= 3) {
      if (ChildWindowFromPointEx(panel, POINT{x, y}, CWP_SKIPINVISIBLE) == panel) return {x, y};
    }
  }
  return {-1, -1};
}

// The main window is painted when its visible parts show their own colours from the
// screen: the side panel's and the report's face (the default 0xC0CCD0) and the tree's
// window colour.
bool MainWindowPainted(HWND main) {
  const COLORREF face = 0xC0CCD0;
  HWND report = VisibleChild(main, L"TRichEdit"), tree = VisibleChild(main, L"TTreeView");
  HWND label = gui::FindChild(main, "TLabel", U("天格"));
  HWND panel = label ? GetParent(label) : nullptr;
  if (!report || !tree || !panel) return false;
  RECT rr{}, tr{};
  GetClientRect(report, &rr);
  GetClientRect(tree, &tr);
  const POINT bare = BarePanelPoint(panel);
  return bare.x >= 0 && gui::ScreenPixel(report, rr.right / 2, rr.bottom / 2) == face &&
         gui::ScreenPixel(panel, bare.x, bare.y) == face &&
         gui::ScreenPixel(tree, tr.right / 2, tr.bottom * 3 / 4) == GetSysColor(COLOR_WINDOW);
}

// Starts the program and waits for its main window, shown and painted; how long each took.
struct StartTimes {
  long shownMs = -1, paintedMs = -1;
};
StartTimes TimeStart(gui::Process& torvik, Clock::time_point start) {
  StartTimes t;
  HWND main = nullptr;
  while (Ms(start) < 20000 && t.paintedMs < 0) {
    if (!main) main = gui::WaitTopWindow(torvik.Id(), "TFrmMain", "Riveri 3.5", 0);
    if (main && t.shownMs < 0 && IsWindowVisible(main)) t.shownMs = Ms(start);
    if (t.shownMs >= 0 && MainWindowPainted(main)) t.paintedMs = Ms(start);
    if (t.paintedMs < 0) Sleep(2);
  }
  return t;
}

// A history of `count` cases, written straight into the data file as the store lays it out.
void WriteHistory(const std::string& path, int32_t count) {
  CaseFileHeader h{};
  h.count = count;
  h.fileCount = 1;
  std::string data(reinterpret_cast<const char*>(&h), sizeof h);
  for (int32_t id = 0; id < count; ++id) {
    CaseRecord r{};
    r.id = id;
    SetText(r.name, U("张") + IntToStr(id));
    SetText(r.category, id % 2 ? U("亲友") : U("客户"));
    r.year = 1990, r.month = 5, r.day = 1, r.male = 1;
    r.provinceIndex = 34, r.longitude = 120.0f, r.latitude = 30.0f, r.singleSurname = 1;
    data.append(reinterpret_cast<const char*>(&r), sizeof r);
  }
  ASSERT_TRUE(file::WriteAtomic(path, data));
}

// From the start of the process to its main window shown and painted: half a second is
// the aim; past three times that the start has become slow. The tree of a long history
// holds the 1000 newest cases under their two categories.
TEST_F(Program, StartsToAPaintedMainWindowWithinItsTarget) {
  constexpr long kTargetMs = 500, kLimitMs = 3 * kTargetMs;
  struct Row {
    const char* name;
    int32_t cases;
    LRESULT treeItems;  // the root, the categories and the cases
  };
  const Row rows[] = {{"first start", 0, 1}, {"1500 cases", 1500, 1 + 2 + 1000}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    if (row.cases > 0) WriteHistory(folder.Path("dat\\bazi0.dat"), row.cases);
    const Clock::time_point start = Clock::now();
    gui::Process torvik(exe);
    ASSERT_TRUE(torvik.Started());
    const StartTimes t = TimeStart(torvik, start);
    std::printf("%s: start to main window shown %ld ms, painted %ld ms (target %ld ms)\n", row.name, t.shownMs,
                t.paintedMs, kTargetMs);
    ASSERT_GE(t.paintedMs, 0) << "the main window was not shown painted";
    EXPECT_LE(t.paintedMs, kLimitMs);
    HWND main = gui::WaitTopWindow(torvik.Id(), "TFrmMain", "Riveri 3.5", 0);
    EXPECT_EQ(SendMessageW(VisibleChild(main, L"TTreeView"), TVM_GETCOUNT, 0, 0), row.treeItems);
    EXPECT_TRUE(gui::SaveScreenshot(
        main, gui::ScreenshotPath(std::string("start-") + (row.cases ? "history" : "first") + ".png")));
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(torvik.WaitExit(20000), 0);
    file::Delete(initPath);  // each row starts as a first start
  }
}

// Run only by the check of the zip (program_zip_as_shipped), with TORVIK_UNPACKED naming
// the folder it was unpacked into: the program as a user unpacks it starts to its painted
// main window and closes.
TEST(UnpackedZip, DISABLED_StartsFromTheUnpackedZip) {
  const char* unpacked = std::getenv("TORVIK_UNPACKED");
  ASSERT_TRUE(unpacked) << "TORVIK_UNPACKED names no folder";
  gui::Process torvik(FolderOfBuild(unpacked) + "Torvik.exe");
  ASSERT_TRUE(torvik.Started());
  const StartTimes t = TimeStart(torvik, Clock::now());
  ASSERT_GE(t.paintedMs, 0) << "the main window was not shown painted";
  PostMessageW(gui::WaitTopWindow(torvik.Id(), "TFrmMain", "Riveri 3.5", 0), WM_CLOSE, 0, 0);
  EXPECT_EQ(torvik.WaitExit(20000), 0);
}

TEST_F(Program, AnalysesANameIntoTheSidePanelAndRefusesAnEmptyOne) {
  Clock::time_point start = Clock::now();
  gui::Process torvik(exe);
  ASSERT_TRUE(torvik.Started());
  HWND main = gui::WaitTopWindow(torvik.Id(), "TFrmMain", "Riveri 3.5", 20000);
  ASSERT_NE(main, nullptr) << "no main window captioned \"Riveri 3.5\"";
  while (!IsWindowVisible(main) && Ms(start) < 20000) gui::Pump(5);
  std::printf("start to main window shown: %ld ms\n", Ms(start));
  EXPECT_NE(gui::FindChild(main, "TLabel", U("水")), nullptr);

  HWND name = gui::FindChild(main, "TLabeledEdit", "");
  ASSERT_NE(name, nullptr);
  gui::SetText(name, U("李四一"));
  HWND pai = gui::FindChild(main, "TButton", U("测名"));
  ASSERT_NE(pai, nullptr);
  // The click is handled within the call: it returns once the report is shown.
  Clock::time_point click = Clock::now();
  SendMessageW(pai, BM_CLICK, 0, 0);
  std::printf("analysis to report shown: %ld ms\n", Ms(click));
  gui::Pump(300);

  // 李 7, 四 4, 一 1 strokes in the generated dictionary: heaven 8, person 11, earth 5,
  // total 12, outer 2.
  std::vector<std::string> texts = ChildTexts(main);
  const char* const expected[] = {"天格:08(吉)", "人格:11(吉)", "地格:05(吉)", "总格:12(凶)",
                                  "外格02凶",    "李",          "四",          "一"};
  for (const char* e : expected) {
    SCOPED_TRACE(e);
    EXPECT_TRUE(HasText(texts, U(e)));
  }
  bool score = false;
  for (const std::string& s : texts)
    score |= s.size() > 2 && s.substr(s.size() - 2) == U("分") && s[0] >= '1' && s[0] <= '9';
  EXPECT_TRUE(score) << "no score on the side panel";
  // The report opens with the name and place line and the solar birth time.
  std::string report = gui::Text(gui::FindChild(main, "TRichEdit", ""));
  EXPECT_EQ(report.substr(0, report.find('\r')), U("姓名：李四一  出生地：未知地。"));
  EXPECT_NE(report.find(U("出生公历：")), std::string::npos);
  // The surname's line explains it in Chinese, its element last.
  const std::string head = U("【李】7画，字意：");
  const size_t at = report.find(head);
  ASSERT_NE(at, std::string::npos);
  const std::string line = report.substr(at + head.size(), report.find('\r', at) - at - head.size());
  const std::string wood = U("（木）");
  ASSERT_GT(line.size(), wood.size() + 6);
  EXPECT_EQ(line.substr(line.size() - wood.size()), wood);
  EXPECT_TRUE(std::none_of(line.begin(), line.end(), [](char c) { return c > 0 && c < 0x7F; })) << gbk::ToUtf8(line);
  EXPECT_TRUE(gui::SaveScreenshot(main, gui::ScreenshotPath("main-window-analysis.png")));

  struct Refused {
    const char* input;
    const char* caption;
    const char* text;
  };
  const Refused refused[] = {{"", "提示", "姓名不能为空"},
                             {"   ", "提示", "姓名不能为空"},
                             {"Li", "提示", "姓名须为两到四个汉字"},
                             {"李", "提示", "姓名须为两到四个汉字"}};
  for (const Refused& r : refused) {
    SCOPED_TRACE(r.input);
    gui::SetText(name, U(r.input));
    EXPECT_EQ(PressAndReadBox(main, torvik.Id(), U(r.caption)), U(r.text));
    gui::Pump(200);
  }

  PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(torvik.WaitExit(20000), 0);
}

// The speed buttons and the side panel's boxes show their hints; moving between them
// shows the next one after 200 ms; the name's label sits just left of its edit.
TEST_F(Program, ShowsHintsOverTheSpeedButtonsAndTheSidePanel) {
  gui::Process torvik(exe);
  HWND main = gui::WaitTopWindow(torvik.Id(), "TFrmMain", "Riveri 3.5", 20000);
  ASSERT_NE(main, nullptr);
  gui::Pump(300);
  SendMessageW(gui::FindChild(main, "TButton", U("测名")), BM_CLICK, 0, 0);
  gui::Pump(300);

  RECT label{}, edit{};
  GetWindowRect(gui::FindChild(main, "TLabel", U("尊姓大名")), &label);
  GetWindowRect(gui::FindChild(main, "TLabeledEdit", ""), &edit);
  EXPECT_EQ(label.right + 3, edit.left);
  EXPECT_GT(label.right - label.left, 40);

  struct Row {
    const char* cls;
    const char* caption;
    const char* hintStart;
  } rows[] = {
      {"TSpeedButton", "解", "分析"},
      {"TSpeedButton", "用神", "设定用神"},
      {"TLabel", "李", "【李】"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.caption);
    HWND control = gui::FindChild(main, r.cls, U(r.caption));
    ASSERT_NE(control, nullptr);
    gui::MoveMouse(0, 0);
    gui::Pump(800);
    gui::Hover(control);
    HWND tip = gui::WaitTopWindow(torvik.Id(), "tooltips_class32", "", 5000);
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(gui::Text(tip).substr(0, U(r.hintStart).size()), U(r.hintStart));
    EXPECT_EQ(SendMessageW(tip, TTM_GETDELAYTIME, TTDT_RESHOW, 0), 200);
  }
  PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(torvik.WaitExit(20000), 0);
}

TEST_F(Program, ClosingWritesTheSettingsAndTheNextStartRestoresThem) {
  {
    gui::Process torvik(exe);
    HWND main = gui::WaitTopWindow(torvik.Id(), "TFrmMain", "Riveri 3.5", 20000);
    ASSERT_NE(main, nullptr);
    SetWindowPos(main, nullptr, 40, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    gui::Pump(200);
    PostMessageW(main, WM_CLOSE, 0, 0);
    ASSERT_EQ(torvik.WaitExit(20000), 0);
  }
  TIniFile ini(initPath);
  EXPECT_EQ(ini.ReadInteger("winpos", "left", -1), 40);
  EXPECT_EQ(ini.ReadInteger("winpos", "top", -1), 50);
  EXPECT_EQ(ini.ReadInteger("minggao", "sheng", -1), 34);
  EXPECT_EQ(ini.ReadString("minggao", "fname", ""), U("宋体"));

  // A stale place index and an off-screen position are brought back in range.
  ini.WriteInteger("winpos", "left", -30000);
  ini.WriteInteger("minggao", "sheng", 99);
  ini.WriteInteger("minggao", "fsize", 14);
  gui::Process again(exe);
  HWND main = gui::WaitTopWindow(again.Id(), "TFrmMain", "Riveri 3.5", 20000);
  ASSERT_NE(main, nullptr);
  RECT r{};
  GetWindowRect(main, &r);
  EXPECT_EQ(r.left, 10);
  EXPECT_EQ(r.top, 50);
  PostMessageW(main, WM_CLOSE, 0, 0);
  ASSERT_EQ(again.WaitExit(20000), 0);
  TIniFile after(initPath);
  EXPECT_EQ(after.ReadInteger("minggao", "sheng", -1), 34);
  EXPECT_EQ(after.ReadInteger("minggao", "fsize", -1), 14);
}

}  // namespace
