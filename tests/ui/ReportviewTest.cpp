// A report written into a rich edit: the text, the six coloured headings, the indent and
// the caret, and all of it kept through RTF out and back in.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "classlib/ComCtrls.h"
#include "classlib/Forms.h"
#include "dictionary/DictFixture.h"
#include "engine/Decname.h"
#include "support/Gui.h"
#include "ui/Reportview.h"

namespace {

struct TextRun {
  std::wstring text;
  COLORREF colour;
  bool bold;
};

// Runs of text that is not black, read character by character from the control.
std::vector<TextRun> ColouredRuns(HWND h) {
  GETTEXTLENGTHEX len{GTL_NUMCHARS | GTL_PRECISE, 1200};
  const auto n = static_cast<int>(SendMessageW(h, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&len), 0));
  std::wstring all(static_cast<size_t>(n) + 1, L'\0');
  GETTEXTEX get{static_cast<DWORD>((n + 1) * sizeof(wchar_t)), GT_DEFAULT, 1200, nullptr, nullptr};
  SendMessageW(h, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get), reinterpret_cast<LPARAM>(all.data()));
  std::vector<TextRun> runs;
  bool inRun = false;
  for (int i = 0; i < n; ++i) {
    CHARRANGE r{i, i + 1};
    SendMessageW(h, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&r));
    CHARFORMAT2W cf{};
    cf.cbSize = sizeof cf;
    SendMessageW(h, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
    const bool bold = (cf.dwEffects & CFE_BOLD) != 0;
    if (cf.crTextColor == 0 && !bold) {
      inRun = false;
      continue;
    }
    if (!inRun || runs.back().colour != cf.crTextColor || runs.back().bold != bold)
      runs.push_back({L"", cf.crTextColor, bold});
    runs.back().text += all[static_cast<size_t>(i)];
    inRun = true;
  }
  return runs;
}

CharRecord Char(const char* word, int strokes, int element, const char* meaning) {
  CharRecord r;
  r.word = U(word);
  r.truePy = r.pinYin = "py";
  r.buShou = U("木");
  r.bsLen = 4;
  r.gbLen = r.big5Len = r.kxLen = static_cast<uint8_t>(strokes);
  r.wx = static_cast<uint8_t>(element);
  r.useSex = 2;
  r.nameExp = U(meaning);
  return r;
}

// Report line ends as the control gives them back.
std::string WithCrLf(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\n' && (i == 0 || s[i - 1] != '\r')) out += '\r';
    out += s[i];
  }
  return out;
}

class ReportviewTest : public DictFixture {
 protected:
  void SetUp() override {
    app.Initialize();
    form = new TForm(&app);
    form->SetClientSize(640, 480);
    Build("ChiWord.db", {Char("李", 7, 1, "李树"), Char("四", 5, 4, "数目"), Char("一", 1, 3, "开端")}, U("李"));
    ASSERT_TRUE(file::WriteAtomic(tmp.Path("dat\\set.ini"), "[set]\r\nileft=12\r\n"));
  }
  TRichEdit* AddEdit() {
    auto* e = new TRichEdit(form);
    e->SetBounds(0, 0, 640, 480);
    e->SetParent(form);
    return e;
  }
  static BirthRecord Birth() {
    BirthRecord b;
    const std::string n = U("李四一"), p = U("未知地。");
    std::memcpy(b.name, n.data(), n.size());
    std::memcpy(b.place, p.data(), p.size());
    b.year = 2000, b.month = 1, b.day = 1, b.hour = 12;
    return b;
  }

  TApplication app;
  TForm* form = nullptr;
  MNameLibrary lib{tmp.Dir()};
};

TEST_F(ReportviewTest, HeadingsIndentAndTextSurviveRtf) {
  MDecName plain(lib);
  ASSERT_TRUE(plain.Analyse(Birth())) << gbk::ToUtf8(plain.LastError());
  const std::string report = plain.ReportText();

  TRichEdit* edit = AddEdit();
  TFont font = edit->Font();
  font.Size = 11;
  edit->SetFont(font);
  form->Show();
  TReportView view(*edit);
  MDecName a(lib);
  a.SetView(&view);
  a.writeToView = true;
  ASSERT_TRUE(a.Analyse(Birth()));
  EXPECT_TRUE(a.ReportText().empty());
  EXPECT_EQ(edit->Text(), WithCrLf(report));
  EXPECT_EQ(edit->SelStart(), 0);
  EXPECT_EQ(edit->SelLength(), 0);
  EXPECT_EQ(edit->Paragraph().FirstIndent(), 12);

  const std::string rtf = edit->SaveToString(true);
  ASSERT_EQ(rtf.compare(0, 5, "{\\rtf"), 0);
  const size_t table = rtf.find("{\\colortbl");
  ASSERT_NE(table, std::string::npos);
  const std::string colours = rtf.substr(table, rtf.find('}', table) - table);
  EXPECT_NE(colours.find("\\red0\\green0\\blue255;"), std::string::npos) << colours;
  EXPECT_NE(colours.find("\\red255\\green0\\blue0;"), std::string::npos) << colours;

  TRichEdit* copy = AddEdit();
  ASSERT_TRUE(copy->LoadFromString(rtf, true));
  EXPECT_EQ(copy->Text(), edit->Text());
  copy->SetSelStart(0);
  EXPECT_EQ(copy->Paragraph().FirstIndent(), 12);
  EXPECT_EQ(copy->SelAttributes().Get().Size, 11);

  struct Expected {
    const char* text;
    COLORREF colour;
    bool bold;
  };
  const Expected kRuns[] = {
      {"乾造    己卯  丙子  戊午  戊午", RGB(0, 0, 255), false},
      {"姓名评论：", RGB(255, 0, 0), true},
      {"尊姓大名：", RGB(255, 0, 0), true},
      {"姓名综合得分：71分", RGB(255, 0, 0), true},
      {"三才配置[金木土]", RGB(255, 0, 0), true},
      {"附加信息：", RGB(0, 0, 255), true},
  };
  for (HWND h : {edit->Handle(), copy->Handle()}) {
    const std::vector<TextRun> runs = ColouredRuns(h);
    ASSERT_EQ(runs.size(), std::size(kRuns));
    for (size_t i = 0; i < runs.size(); ++i) {
      SCOPED_TRACE(kRuns[i].text);
      EXPECT_EQ(gbk::FromWide(runs[i].text), U(kRuns[i].text));
      EXPECT_EQ(runs[i].colour, kRuns[i].colour);
      EXPECT_EQ(runs[i].bold, kRuns[i].bold);
    }
  }
  copy->SetVisible(false);
  edit->SetSelStart(0);
  gui::Pump(100);
  gui::SaveScreenshot(form->Handle(), gui::ScreenshotPath("reportview.png"));
}

TEST_F(ReportviewTest, PositionsSkipTheSecondByteOfCrLf) {
  TRichEdit* edit = AddEdit();
  form->Show();
  TReportView view(*edit);
  view.Reset(0);
  view.SetText(U("甲\r\n乙\n丙"));
  struct Row {
    size_t offset;
    int position;
  } rows[] = {{0, 0}, {2, 2}, {4, 3}, {6, 5}, {7, 6}, {9, 8}, {99, 8}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.offset);
    EXPECT_EQ(view.Position(r.offset), r.position);
  }
  view.FormatSpan(7, 2, 0xFF0000, true);
  edit->SetSelStart(6);
  edit->SetSelLength(2);
  EXPECT_EQ(edit->SelText(), U("丙"));
  EXPECT_EQ(edit->SelAttributes().Get().Color, clRed);
}

}  // namespace
