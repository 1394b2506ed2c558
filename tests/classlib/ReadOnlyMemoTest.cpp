// The read-only memo for long listings: its text and the edit-control messages callers
// send, lines wrapped where the edit control wraps them, and scrolling, selecting and
// copying by real keys and mouse, read back from the memo and the screen.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "classlib/Forms.h"
#include "classlib/Gbk.h"
#include "classlib/ReadOnlyMemo.h"
#include "support/Gui.h"
#include "support/MenuWatch.h"

namespace {

using gbk::U;

// Numbered lines, each "第N行" and some letters, `count` of them.
std::string NumberedLines(int count) {
  std::string text;
  for (int i = 1; i <= count; ++i) text += U("第") + std::to_string(i) + U("行 abc def\r\n");
  return text;
}

// Lines as the dictionary page shows them: Chinese with its punctuation, pinyin with
// tone marks, English sentences and a rule of dashes.
std::string ListingLines() {
  const std::string line =
      U("李：lǐ,7画(繁),7画(简),木,吉,字意：李树，落叶小乔木，果实称李子，可吃；姓。\r\n\r\n"
        "【基本解释】（英）plum; judge; surname, a small deciduous tree whose fruit is eaten fresh.\r\n\r\n"
        "《说文》：“李，果也。从木，子声。”古同“理”，法官；行李（出行时携带的包裹、箱子等）。\r\n") +
      std::string(93, '-') + "\r\n";
  std::string text;
  for (int i = 0; i < 6; ++i) text += line;
  return text;
}

class MemoForm : public TForm {
 public:
  explicit MemoForm(TComponent* owner) : TForm(owner) {
    SetText(U("只读备注"));
    SetBounds(40, 40, 700, 320);
    memo = new TReadOnlyMemo(this);
    memo->SetBounds(8, 8, 320, 240);
    memo->SetParent(this);
    edit = new TMemo(this);
    edit->ReadOnly = true;
    edit->SetBounds(340, 8, 320, 240);
    edit->SetParent(this);
    DoCreate();
  }
  TReadOnlyMemo* memo;
  TMemo* edit;  // the edit control the memo stands in for
};

class ReadOnlyMemoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app.Initialize();
    form = new MemoForm(&app);
    form->Show();
    SetForegroundWindow(form->Handle());
    h = form->memo->Handle();
    gui::Pump(100);
  }
  void TearDown() override {
    delete form;
    gui::ParkMouse();
  }
  LRESULT Send(UINT msg, WPARAM w = 0, LPARAM l = 0) { return SendMessageW(h, msg, w, l); }
  LRESULT Top() { return Send(EM_GETFIRSTVISIBLELINE); }
  std::pair<DWORD, DWORD> Sel() {
    DWORD from = 0, to = 0;
    Send(EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    return {from, to};
  }
  // The line at the memo's bottom edge, as the edit control's EM_CHARFROMPOS tells it.
  int BottomLine() {
    RECT r;
    GetClientRect(h, &r);
    return HIWORD(Send(EM_CHARFROMPOS, 0, MAKELPARAM(4, r.bottom - 4)));
  }
  int LineHeight() {
    HDC dc = GetDC(h);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(Send(WM_GETFONT)));
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(h, dc);
    return tm.tmHeight;
  }
  std::string Clipboard() {
    std::string text;
    if (!OpenClipboard(nullptr)) return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
      text = gbk::FromWide(static_cast<const wchar_t*>(GlobalLock(data)));
      GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
  }

  TApplication app;
  MemoForm* form = nullptr;
  HWND h = nullptr;
};

TEST_F(ReadOnlyMemoTest, TextSelectionAndAppendsAnswerAsTheEditControlsDo) {
  const std::string text = ListingLines();
  form->memo->SetText(text);
  EXPECT_EQ(form->memo->Text(), text);  // byte for byte, tone marks too
  EXPECT_EQ(GetWindowTextLengthW(h), static_cast<int>(gbk::ToWide(text).size()));
  Send(EM_SETSEL, 0, -1);
  EXPECT_EQ(Sel(), std::make_pair(DWORD{0}, static_cast<DWORD>(GetWindowTextLengthW(h))));
  Send(EM_SETSEL, static_cast<WPARAM>(-1), 0);
  EXPECT_EQ(Sel().first, Sel().second);

  // Text appended at the end moves neither the view nor the selection.
  form->memo->SetText(NumberedLines(100));
  EXPECT_EQ(Send(EM_GETLINECOUNT), 101);  // and the empty line after the last line end
  Send(EM_LINESCROLL, 0, 40);
  EXPECT_EQ(Top(), 40);
  const LRESULT end = GetWindowTextLengthW(h);
  Send(EM_SETSEL, end, end);
  const std::wstring more = gbk::ToWide(NumberedLines(50));
  Send(EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(more.c_str()));
  EXPECT_EQ(Top(), 40);
  EXPECT_EQ(Send(EM_GETLINECOUNT), 151);
  EXPECT_EQ(Sel(), std::make_pair(static_cast<DWORD>(end + more.size()), static_cast<DWORD>(end + more.size())));
  EXPECT_EQ(form->memo->Text(), NumberedLines(100) + NumberedLines(50));
  form->memo->SetText(U("找不到符合条件的汉字。"));
  EXPECT_EQ(Top(), 0);
  EXPECT_EQ(Send(EM_GETLINECOUNT), 1);
}

// At widths that cut words and phrases in different places, every line fits the memo,
// none starts with a mark that closes a phrase, and the text takes about as many lines
// as in the edit control (whose rules differ in detail, around quotation marks and in
// words longer than a line).
TEST_F(ReadOnlyMemoTest, LinesWrapToTheWidthAsInTheEditControl) {
  const std::string text = ListingLines();
  const std::wstring wide = gbk::ToWide(text);
  const int line = LineHeight();
  for (int width : {320, 251, 187}) {
    SCOPED_TRACE(width);
    form->memo->SetWidth(width);
    form->edit->SetWidth(width);
    form->memo->SetText(text);
    form->edit->SetText(text);
    const auto lines = static_cast<double>(Send(EM_GETLINECOUNT));
    const auto editLines = static_cast<double>(SendMessageW(form->edit->Handle(), EM_GETLINECOUNT, 0, 0));
    EXPECT_NEAR(lines, editLines, editLines * 0.1);
    RECT client;
    GetClientRect(h, &client);
    HDC dc = GetDC(h);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(Send(WM_GETFONT)));
    for (int y = line / 2 + 1; y + line < client.bottom; y += line) {
      const int from = LOWORD(Send(EM_CHARFROMPOS, 0, MAKELPARAM(0, y)));
      const int to = LOWORD(Send(EM_CHARFROMPOS, 0, MAKELPARAM(0, y + line)));
      std::wstring shown = wide.substr(static_cast<size_t>(from), static_cast<size_t>(to - from));
      while (!shown.empty() && std::wstring_view(L"\r\n ").find(shown.back()) != std::wstring_view::npos)
        shown.pop_back();  // a space at the end may hang past the edge
      SIZE extent{};
      GetTextExtentPoint32W(dc, shown.c_str(), static_cast<int>(shown.size()), &extent);
      EXPECT_LE(extent.cx, client.right - 4) << gbk::ToUtf8(gbk::FromWide(shown));
      EXPECT_EQ(std::wstring_view(L"\uFF0C\u3002\uFF1B\uFF1A\u201D").find(shown.empty() ? L' ' : shown[0]),
                std::wstring_view::npos)
          << gbk::ToUtf8(gbk::FromWide(shown));
    }
    SelectObject(dc, old);
    ReleaseDC(h, dc);
  }
  gui::Pump(100);
  gui::SaveScreenshot(form->Handle(), gui::ScreenshotPath("readonly-memo-beside-edit.png"));
}

TEST_F(ReadOnlyMemoTest, KeysWheelAndScrollBarScrollTheLines) {
  form->memo->SetText(NumberedLines(300));
  gui::Focus(h);
  gui::Pump(100);
  const int page = BottomLine() + 1;
  gui::PressKey(h, VK_NEXT);
  gui::Pump(150);
  EXPECT_GE(Top(), page - 1);
  gui::PressChord(h, VK_CONTROL, VK_END);
  gui::Pump(150);
  EXPECT_EQ(BottomLine(), Send(EM_GETLINECOUNT) - 1) << "the last line in view";
  gui::PressChord(h, VK_CONTROL, VK_HOME);
  gui::Pump(150);
  EXPECT_EQ(Top(), 0);
  gui::PressKey(h, VK_DOWN);  // the caret moves a line within the page: nothing scrolls
  gui::Pump(150);
  EXPECT_EQ(Top(), 0);
  // Ctrl and the arrows go from word to word, a word being a run of wide characters or
  // one of letters and digits: in "第2行 abc def", from 第 to 2, 行, abc and def.
  gui::PressKey(h, VK_HOME);
  for (int i = 0; i < 4; ++i) gui::PressChord(h, VK_CONTROL, VK_RIGHT);
  gui::Pump(150);
  const auto line2 = static_cast<DWORD>(gbk::ToWide(NumberedLines(1)).size());
  EXPECT_EQ(Sel().second, line2 + 8);
  gui::PressChord(h, VK_CONTROL, VK_LEFT);
  gui::Pump(150);
  EXPECT_EQ(Sel().second, line2 + 4);

  UINT perNotch = 3;
  SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &perNotch, 0);
  RECT r;
  GetWindowRect(h, &r);
  gui::MoveMouse((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  gui::Pump(60);
  gui::Wheel(-2);
  gui::Pump(200);
  EXPECT_EQ(Top(), static_cast<LRESULT>(2 * perNotch));

  SCROLLBARINFO bar{};
  bar.cbSize = sizeof bar;
  ASSERT_TRUE(GetScrollBarInfo(h, OBJID_VSCROLL, &bar));
  const int arrow = GetSystemMetrics(SM_CYVSCROLL);
  const POINT down{(bar.rcScrollBar.left + bar.rcScrollBar.right) / 2, bar.rcScrollBar.bottom - arrow / 2};
  const LRESULT before = Top();
  gui::PlayWhilePumping([&] {
    gui::MoveMouse(down.x, down.y);
    Sleep(60);
    gui::MouseButton(MOUSEEVENTF_LEFTDOWN);
    Sleep(60);
    gui::MouseButton(MOUSEEVENTF_LEFTUP);
  });
  EXPECT_EQ(Top(), before + 1);
}

TEST_F(ReadOnlyMemoTest, MouseAndKeysSelectCopyAndShowTheSelection) {
  form->memo->SetText(NumberedLines(20));
  const int line = LineHeight();
  const std::wstring first = gbk::ToWide(U("第1行 abc def"));
  // A drag from the first line's start to the second line selects across the line end.
  POINT from{4, line / 2 + 1}, to{60, line + line / 2 + 1};
  ClientToScreen(h, &from);
  ClientToScreen(h, &to);
  gui::MoveMouse(from.x - 2, from.y);
  gui::Pump(60);
  gui::MouseButton(MOUSEEVENTF_LEFTDOWN);
  gui::Pump(60);
  gui::MoveMouse(to.x, to.y);
  gui::Pump(60);
  gui::MouseButton(MOUSEEVENTF_LEFTUP);
  gui::Pump(150);
  auto [start, end] = Sel();
  EXPECT_EQ(start, 0u);
  EXPECT_GT(end, first.size() + 2);
  gui::PressChord(h, VK_CONTROL, 'C');
  gui::Pump(150);
  const std::wstring all = gbk::ToWide(form->memo->Text());
  EXPECT_EQ(Clipboard(), gbk::FromWide(all.substr(0, end)));

  // Shift and End take the selection to the end of the caret's line.
  gui::PressChord(h, VK_SHIFT, VK_END);
  gui::Pump(150);
  EXPECT_EQ(Sel().second, 2 * (first.size() + 2) - 2);
  // The selection shows in the system's highlight colour; the text elsewhere on white.
  gui::Pump(100);
  int highlighted = 0;
  for (int x = 4; x < 60; ++x) highlighted += gui::ScreenPixel(h, x, line / 2) == GetSysColor(COLOR_HIGHLIGHT);
  EXPECT_GT(highlighted, 20);
  EXPECT_EQ(gui::ScreenPixel(h, 250, line * 5 + 2), GetSysColor(COLOR_WINDOW));

  // A double click takes a word; Ctrl and A the whole text.
  POINT word{0, line * 3 + line / 2};
  HDC dc = GetDC(h);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(Send(WM_GETFONT)));
  SIZE before{};
  GetTextExtentPoint32W(dc, L"\u7B2C4\u884C a", 5, &before);  // "第4行 a"
  SelectObject(dc, old);
  ReleaseDC(h, dc);
  word.x = 2 + before.cx;
  gui::MouseClick(h, word);
  gui::MouseClick(h, word);
  gui::Pump(150);
  auto [wordStart, wordEnd] = Sel();
  EXPECT_EQ(all.substr(wordStart, wordEnd - wordStart), L"abc");
  gui::PressChord(h, VK_CONTROL, 'A');
  gui::Pump(150);
  EXPECT_EQ(Sel(), std::make_pair(DWORD{0}, static_cast<DWORD>(all.size())));

  // The right button's menu copies it too.
  if (OpenClipboard(nullptr)) {
    EmptyClipboard();
    CloseClipboard();
  }
  gui::PlayWhilePumping([&] {
    POINT at{100, line * 2};
    ClientToScreen(h, &at);
    gui::MoveMouse(at.x, at.y);
    Sleep(60);
    gui::MouseButton(MOUSEEVENTF_RIGHTDOWN);
    gui::MouseButton(MOUSEEVENTF_RIGHTUP);
    Sleep(400);
    menuwatch::Press('C');
  });
  EXPECT_EQ(Clipboard(), form->memo->Text());
}

// A listing of 4 MB takes each new width of a drag without a wait: the lines in view at
// once, the rest while the window is idle or as soon as something asks for them. The
// lines in view while the rest is made are those shown after; all lines are those the
// same text gets when set at that width.
TEST_F(ReadOnlyMemoTest, ANewWidthOfMegabytesShowsAtOnceAndWrapsTheRestMeanwhile) {
  using Clock = std::chrono::steady_clock;
  std::string big;
  while (big.size() < (4u << 20)) big += ListingLines();
  form->memo->SetText(big);
  Send(EM_LINESCROLL, 0, Send(EM_GETLINECOUNT) / 2);
  gui::Pump(50);
  // What a person sees of the text, the scroll bar left out (it follows when all is done).
  auto shownText = [&] {
    UpdateWindow(h);
    const std::unique_ptr<TBitmap> shot = gui::Capture(h);
    std::vector<TColor> pixels;
    const int width = shot->Width() - GetSystemMetrics(SM_CXVSCROLL) - 4;
    for (int y = 0; y < shot->Height(); ++y)
      for (int x = 0; x < width; ++x) pixels.push_back(shot->Pixel(x, y));
    return pixels;
  };
  auto range = [&] {
    SCROLLINFO si{sizeof si, SIF_RANGE, 0, 0, 0, 0, 0};
    GetScrollInfo(h, SB_VERT, &si);
    return si.nMax;
  };
  // A drag to narrower widths: each step painted within 50 ms of the thread's time
  // (the machine may be shared: the wall clock is printed beside it).
  double longestStepCpu = 0;
  long longestStep = 0;
  for (int width = 310; width >= 230; width -= 10) {
    const Clock::time_point start = Clock::now();
    const double cpu = gui::ThreadCpuMs();
    form->memo->SetWidth(width);
    UpdateWindow(h);
    longestStepCpu = std::max(longestStepCpu, gui::ThreadCpuMs() - cpu);
    longestStep = std::max(
        longestStep,
        static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count()));
  }
  const std::vector<TColor> during = shownText();
  const int rangeBefore = range();
  const Clock::time_point idleStart = Clock::now();
  while (range() == rangeBefore && Clock::now() - idleStart < std::chrono::seconds(20)) gui::Pump(10);
  const long idleMs =
      static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - idleStart).count());
  std::printf(
      "%zu bytes: longest resize step %.0f ms of the thread (%ld ms wall), the rest wrapped while idle in %ld ms\n",
      big.size(), longestStepCpu, longestStep, idleMs);
  RecordProperty("resizeStepCpuMs", std::to_string(longestStepCpu));
  RecordProperty("resizeStepMs", std::to_string(longestStep));
  EXPECT_LT(longestStepCpu, 50);
  EXPECT_GT(range(), rangeBefore) << "narrower lines are more";
  EXPECT_TRUE(shownText() == during);
  const auto lines = Send(EM_GETLINECOUNT);
  EXPECT_EQ(range(), lines - 1);

  // Something that needs the lines has them at once, as a new text at this width has.
  form->memo->SetWidth(300);
  const auto wider = Send(EM_GETLINECOUNT);
  const auto top = Top();
  EXPECT_LT(wider, lines);
  EXPECT_GT(top, 0);
  form->memo->SetText(big);
  EXPECT_EQ(Send(EM_GETLINECOUNT), wider);
}

}  // namespace
