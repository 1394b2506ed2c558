// The fonts the program draws with: the symbol font of the caption buttons of plain
// windows and message boxes, and faces for 宋体 and the dialog fonts that draw every
// GBK character and the pinyin vowels with tone marks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>

#include "classlib/Gbk.h"
#include "classlib/Graphics.h"
#include "support/Gui.h"

namespace {

// ǎ ǐ ǒ ǔ ǚ ǜ, then 李 好 女 (lǐ, hǎo, nǚ).
const wchar_t kPinyinVowels[] = L"\x01CE\x01D0\x01D2\x01D4\x01DA\x01DC";
const wchar_t kHanzi[] = L"\x674E\x597D\x5973";

HFONT MakeFont(const std::wstring& face, int height, BYTE charset) {
  return CreateFontW(-height, 0, 0, 0, FW_NORMAL, 0, 0, 0, charset, 0, 0, ANTIALIASED_QUALITY, 0, face.c_str());
}

// Dark pixels of one character drawn black on white at `height` pixels.
int Ink(HFONT font, wchar_t ch, int height) {
  TBitmap b;
  b.SetSize(3 * height, 3 * height);
  HDC dc = b.Canvas().Handle();
  RECT all{0, 0, b.Width(), b.Height()};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  HGDIOBJ old = SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(0, 0, 0));
  TextOutW(dc, height / 2, height / 2, &ch, 1);
  SelectObject(dc, old);
  int dark = 0;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) dark += GetRValue(b.Pixel(x, y)) < 128;
  return dark;
}

int CALLBACK NoteFace(const LOGFONTW* f, const TEXTMETRICW*, DWORD, LPARAM found) {
  if (std::wstring(f->lfFaceName) == L"Marlett") *reinterpret_cast<bool*>(found) = true;
  return 1;
}

TEST(Fonts, TheSymbolFontIsInstalled) {
  LOGFONTW lf{};
  lf.lfCharSet = DEFAULT_CHARSET;
  wcscpy(lf.lfFaceName, L"Marlett");
  HDC dc = GetDC(nullptr);
  bool found = false;
  EnumFontFamiliesExW(dc, &lf, NoteFace, reinterpret_cast<LPARAM>(&found), 0);
  ReleaseDC(nullptr, dc);
  EXPECT_TRUE(found) << "no Marlett: caption buttons are drawn as letters";
}

LRESULT CALLBACK PlainProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcW(h, m, w, l); }

// A plain top-level window's close button, read from the window itself, shows the
// symbol font's cross: its ink is the same mirrored left to right and top to bottom,
// as the letter "r" that stands for it in the font is not.
TEST(Fonts, APlainWindowsCloseButtonShowsACross) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = PlainProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = L"TorvikPlainWindow";
  RegisterClassW(&wc);
  HWND h = CreateWindowExW(0, wc.lpszClassName, L"Plain", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 320, 200, nullptr,
                           nullptr, wc.hInstance, nullptr);
  ASSERT_NE(h, nullptr);
  gui::Pump(200);
  gui::SaveScreenshot(h, gui::ScreenshotPath("plain-window.png"));
  std::unique_ptr<TBitmap> shot = gui::Capture(h);
  ASSERT_NE(shot, nullptr);

  RECT wr;
  GetWindowRect(h, &wr);
  POINT client{0, 0};
  ClientToScreen(h, &client);
  const int frame = client.x - wr.left;
  const int captionBottom = client.y - wr.top;
  ASSERT_GT(captionBottom, frame + 8) << "no caption drawn";
  // The close button is the caption's last square; its edges are left out.
  const int right = shot->Width() - frame - 3, left = shot->Width() - frame - GetSystemMetrics(SM_CXSIZE) + 3;
  const int top = frame + 3, bottom = captionBottom - 3;
  auto ink = [&](int x, int y) {
    TColor c = shot->Pixel(x, y);
    return GetRValue(c) + GetGValue(c) + GetBValue(c) < 150;
  };
  int x0 = right, x1 = left, y0 = bottom, y1 = top, count = 0;
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x)
      if (ink(x, y)) {
        x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y), ++count;
      }
  ASSERT_GT(count, 4) << "no cross on the close button";
  int mirrored = 0, flipped = 0;
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x)
      if (ink(x, y)) {
        mirrored += ink(x1 - (x - x0), y);
        flipped += ink(x, y1 - (y - y0));
      }
  EXPECT_GE(mirrored * 10, count * 8) << count << " dark pixels, " << mirrored << " mirrored";
  EXPECT_GE(flipped * 10, count * 8) << count << " dark pixels, " << flipped << " flipped";
  DestroyWindow(h);
}

// The faces behind 宋体 (every control's font) and the dialog fonts draw the pinyin
// vowels and the characters, in both the character sets the program asks for.
TEST(Fonts, SongAndDialogFacesDrawPinyinWithToneMarks) {
  const std::wstring faces[] = {L"\x5B8B\x4F53", L"SimSun",         L"\x65B0\x5B8B\x4F53",
                                L"MS Shell Dlg", L"MS Shell Dlg 2", L"Tahoma"};
  for (const std::wstring& face : faces) {
    for (BYTE charset : {static_cast<BYTE>(GB2312_CHARSET), static_cast<BYTE>(DEFAULT_CHARSET)}) {
      SCOPED_TRACE(gbk::ToUtf8(gbk::FromWide(face)) + (charset == GB2312_CHARSET ? " GB2312" : " default"));
      HFONT font = MakeFont(face, 24, charset);
      for (const wchar_t* text : {kPinyinVowels, kHanzi}) {
        for (const wchar_t* c = text; *c; ++c) {
          SCOPED_TRACE(static_cast<unsigned>(*c));
          EXPECT_GT(Ink(font, *c, 24), 10) << "drawn empty";
        }
      }
      DeleteObject(font);
    }
  }
}

// The face that 宋体 stands for holds glyphs of its own for the pinyin vowels.
TEST(Fonts, TheSongFaceHasThePinyinVowels) {
  HFONT font = MakeFont(L"\x5B8B\x4F53", 24, GB2312_CHARSET);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  wchar_t used[LF_FACESIZE] = {};
  GetTextFaceW(dc, LF_FACESIZE, used);
  SCOPED_TRACE(gbk::ToUtf8(gbk::FromWide(used)));
  const std::wstring text = std::wstring(kPinyinVowels) + kHanzi;
  WORD glyphs[16] = {};
  ASSERT_EQ(GetGlyphIndicesW(dc, text.c_str(), static_cast<int>(text.size()), glyphs, GGI_MARK_NONEXISTING_GLYPHS),
            static_cast<DWORD>(text.size()));
  for (size_t i = 0; i < text.size(); ++i) {
    SCOPED_TRACE(static_cast<unsigned>(text[i]));
    EXPECT_NE(glyphs[i], 0xFFFF);
  }
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(font);
}

// A label in 宋体 at 9 pt, the program's own font, draws crisp and black, as the face's
// bitmap glyphs do on Windows: smoothed grey text would make enabled controls look
// disabled. The pinyin vowels still draw at that size.
TEST(Fonts, NinePointSongTextIsBlackWithItsPinyin) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = PlainProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = L"TorvikLabelWindow";
  RegisterClassW(&wc);
  HWND h = CreateWindowExW(0, wc.lpszClassName, L"Label", WS_POPUP | WS_VISIBLE, 40, 40, 240, 60, nullptr, nullptr,
                           wc.hInstance, nullptr);
  ASSERT_NE(h, nullptr);
  const std::wstring text = std::wstring(L"\x59D3\x540D\x4E94\x884C l") + kPinyinVowels;  // 姓名五行
  HWND label = CreateWindowExW(0, L"STATIC", text.c_str(), WS_CHILD | WS_VISIBLE, 8, 8, 220, 24, h, nullptr,
                               wc.hInstance, nullptr);
  HDC screen = GetDC(nullptr);
  const int height = MulDiv(9, GetDeviceCaps(screen, LOGPIXELSY), 72);
  ReleaseDC(nullptr, screen);
  HFONT font =
      CreateFontW(-height, 0, 0, 0, FW_NORMAL, 0, 0, 0, GB2312_CHARSET, 0, 0, DEFAULT_QUALITY, 0, L"\x5B8B\x4F53");
  SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  gui::Pump(150);
  std::unique_ptr<TBitmap> shot = gui::Capture(label);
  ASSERT_NE(shot, nullptr);
  int darkest = 255;
  for (int y = 0; y < shot->Height(); ++y)
    for (int x = 0; x < shot->Width(); ++x) {
      const TColor c = shot->Pixel(x, y);
      darkest = std::min(darkest, (GetRValue(c) + GetGValue(c) + GetBValue(c)) / 3);
    }
  std::printf("darkest pixel of 9-pt 宋体 text: %d\n", darkest);
  EXPECT_LE(darkest, 0x30);
  gui::SaveScreenshot(h, gui::ScreenshotPath("song-9pt-label.png"));
  for (const wchar_t* c = kPinyinVowels; *c; ++c) {
    SCOPED_TRACE(static_cast<unsigned>(*c));
    EXPECT_GT(Ink(font, *c, height), 3) << "drawn empty";
  }
  DestroyWindow(h);
  DeleteObject(font);
}

}  // namespace
