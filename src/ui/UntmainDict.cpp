// The dictionary page: characters looked up and the dictionary scanned by conditions,
// and the 81-number readings of phone numbers, company names and plates.
#include "classlib/Gbk.h"
#include "classlib/Layout.h"
#include "classlib/ReadOnlyMemo.h"
#include "classlib/StrUtils.h"
#include "dictionary/Dictquery.h"
#include "engine/Numberread.h"
#include "tools/Ustrlist.h"
#include "ui/Untmain.h"
#include "ui/Untpianpang.h"

namespace {

// clang-format off
const LayoutRow kDictLayout[] = {
  {New<TPanel>,        "PanDict",       "",             0,   0, 560, 162, "",           alTop},
  {New<TRadioButton>,  "RdoHanZi",      "汉字查询",     8,   8,  96,  22, "PanDict",    alNone},
  {New<TRadioButton>,  "RdoZuHe",       "组合查询",     8,  38,  96,  22, "PanDict",    alNone},
  {New<TCheckListBox>, "CBoxWuXing",    "",             8,  66,  84,  92, "PanDict",    alNone},
  {New<TLabeledEdit>,  "LedtWord",      "汉字",       150,   8, 220,  24, "PanDict",    alNone},
  {New<TButton>,       "BtnSearchWord", "查询",       378,   7,  70,  26, "PanDict",    alNone},
  {New<TComboBox>,     "CboLibrary",    "",           456,   8,  96,  24, "PanDict",    alNone},
  {New<TLabeledEdit>,  "LedtPinYing",   "拼音",       150,  38,  84,  24, "PanDict",    alNone},
  {New<TComboBox>,     "CboSex",        "",           240,  38,  84,  24, "PanDict",    alNone},
  {New<TComboBox>,     "CboBiHuaZ",     "",           330,  38,  90,  24, "PanDict",    alNone},
  {New<TComboBox>,     "CboJianFan",    "",           426,  38, 100,  24, "PanDict",    alNone},
  {New<TButton>,       "sBtoSelPian",   "偏旁",       108,  67,  60,  26, "PanDict",    alNone},
  {New<TComboBox>,     "CboShowStyle",  "",           176,  68, 100,  24, "PanDict",    alNone},
  {New<TCheckBox>,     "ChkExplain",    "文字解释",   286,  69, 100,  22, "PanDict",    alNone},
  {New<TGroupBox>,     "GrpNumbers",    "81数理吉凶", 108,  98, 418,  58, "PanDict",    alNone},
  {New<TButton>,       "Button1",       "手机号",      10,  22,  80,  28, "GrpNumbers", alNone},
  {New<TButton>,       "Button2",       "公司",        98,  22,  80,  28, "GrpNumbers", alNone},
  {New<TButton>,       "BtoChePai",     "车牌号",     186,  22,  80,  28, "GrpNumbers", alNone},
  {New<TComboBox>,     "CboJianFan2",   "",           278,  24,  80,  24, "GrpNumbers", alNone},
  {New<TReadOnlyMemo>, "MeoWord",       "",             0, 162, 560, 208, "",           alClient},
};
// clang-format on

using gbk::U;

// The first piece of a listing is small, so the first screen shows at once; the rest
// goes in larger pieces, with the window answering after each.
constexpr size_t kFirstPieceBytes = 16 * 1024;
constexpr size_t kPieceBytes = 256 * 1024;

// Appends at the end, leaving the caret and the selection as they were; the memo keeps
// the lines in view where they are.
void AppendKeepingView(HWND h, const std::string& piece) {
  std::wstring text = gbk::ToWide(piece);
  DWORD selStart = 0, selEnd = 0;
  SendMessageW(h, EM_GETSEL, reinterpret_cast<WPARAM>(&selStart), reinterpret_cast<LPARAM>(&selEnd));
  const LRESULT end = GetWindowTextLengthW(h);
  SendMessageW(h, EM_SETSEL, end, end);
  SendMessageW(h, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
  SendMessageW(h, EM_SETSEL, selStart, selEnd);
}

// The blocks, a line each, appended in pieces cut at line ends.
void ShowBlocks(TMemo& memo, const std::vector<std::string>& blocks) {
  HWND h = memo.Handle();
  memo.SetText("");
  std::string piece;
  size_t limit = kFirstPieceBytes;
  auto flush = [&] {
    if (piece.empty()) return;
    AppendKeepingView(h, piece);
    piece.clear();
    limit = kPieceBytes;
    Application->ProcessMessages();
  };
  for (const std::string& block : blocks) {
    // A line end is never inside a two-byte character, so a cut after one keeps every character whole.
    for (size_t at = 0; at < block.size();) {
      const size_t want = limit > piece.size() ? limit - piece.size() : 1;
      size_t cut = block.find("\r\n", at + std::min(want, block.size() - at) - 1);
      cut = cut == std::string::npos ? block.size() : cut + 2;
      piece.append(block, at, cut - at);
      at = cut;
      if (piece.size() >= limit) flush();
    }
    piece += "\r\n";
  }
  flush();
}

constexpr numberread::Tool kNumberTools[3] = {numberread::Tool::Phone, numberread::Tool::Company,
                                              numberread::Tool::Plate};
// The list window's title names what each tool reads.
constexpr const char* kNumberListTitles[3] = {"可以输入多个号码，一行一个", "可以输入多个公司名称，一行一个",
                                              "可以输入多个车牌号，一行一个"};

}  // namespace

void TFrmMain::BuildDictPage() {
  TLayout layout(PageDict, this, kDictLayout);
  auto get = [&layout]<class T>(T*& slot, const std::string& name) { layout.Bind(slot, name); };
  get(PanDict, "PanDict");
  get(RdoHanZi, "RdoHanZi");
  get(RdoZuHe, "RdoZuHe");
  get(CBoxWuXing, "CBoxWuXing");
  get(LedtWord, "LedtWord");
  get(BtnSearchWord, "BtnSearchWord");
  get(CboLibrary, "CboLibrary");
  get(LedtPinYing, "LedtPinYing");
  get(CboSex, "CboSex");
  get(CboBiHuaZ, "CboBiHuaZ");
  get(CboJianFan, "CboJianFan");
  get(sBtoSelPian, "sBtoSelPian");
  get(CboShowStyle, "CboShowStyle");
  get(ChkExplain, "ChkExplain");
  get(GrpNumbers, "GrpNumbers");
  get(Button1, "Button1");
  get(Button2, "Button2");
  get(BtoChePai, "BtoChePai");
  get(CboJianFan2, "CboJianFan2");
  get(MeoWord, "MeoWord");

  RdoZuHe->SetChecked(true);
  LedtWord->SetLabelPosition(lpLeft);
  LedtWord->MaxLength = 100;
  LedtPinYing->SetLabelPosition(lpLeft);
  for (const char* e : {"水", "木", "火", "土", "金"}) CBoxWuXing->Items().Add(U(e));
  FillDropDownList(CboSex, {"性别", "男用名", "女用名"});
  FillDropDownList(CboBiHuaZ, {"笔画数"});
  for (int k = 1; k <= 51; ++k) CboBiHuaZ->Items().Add(Format(U("%d画").c_str(), k));
  CboBiHuaZ->SetItemIndex(0);
  FillDropDownList(CboJianFan, {"康熙笔画", "简体笔画"});
  FillDropDownList(CboShowStyle, {"完整显示", "简化显示"});
  FillDropDownList(CboLibrary, {"超级字库", "快速字库"});
  FillDropDownList(CboJianFan2, {"康熙", "简体"});

  BtnSearchWord->OnClick = [this](TObject* s) { BtnSearchWordClick(s); };
  LedtWord->OnKeyDown = [this](TObject* s, WORD& key) { LedtWordKeyDown(s, key); };
  sBtoSelPian->OnClick = [this](TObject* s) { sBtoSelPianClick(s); };
  CboLibrary->OnClick = [this](TObject* s) { CboLibraryClick(s); };
  LedtWord->OnChange = [this](TObject* s) { LedtWordChange(s); };
  LedtPinYing->OnChange = [this](TObject* s) { LedtPinYingChange(s); };
  CboSex->OnChange = [this](TObject* s) { CboSexChange(s); };
  CBoxWuXing->OnClickCheck = [this](TObject* s) { CBoxWuXingClickCheck(s); };
  Button1->OnClick = [this](TObject* s) { Button1Click(s); };
  Button2->OnClick = [this](TObject* s) { Button2Click(s); };
  BtoChePai->OnClick = [this](TObject* s) { BtoChePaiClick(s); };
}

void TFrmMain::BtnSearchWordClick(TObject*) {
  WordLib.Open(CboLibrary->ItemIndex());
  if (RdoHanZi->Checked()) {
    std::string text = Trim(LedtWord->Text());
    if (text.empty()) return;
    BtnSearchWord->SetEnabled(false);
    SearchWordByChars(text);
    BtnSearchWord->SetEnabled(true);
    return;
  }
  unsigned mask = 0;
  for (int i = 0; i < 5; ++i)
    if (CBoxWuXing->Checked(i)) mask |= 1u << i;
  BtnSearchWord->SetEnabled(false);
  SearchWordByConditions(LedtPinYing->Text(), CboSex->ItemIndex(), radicalText, CboBiHuaZ->ItemIndex(), mask);
  BtnSearchWord->SetEnabled(true);
}

// Enter in the 汉字 field looks its characters up, as 查询 does.
void TFrmMain::LedtWordKeyDown(TObject* s, WORD& key) {
  if (key != VK_RETURN) return;
  key = 0;
  BtnSearchWordClick(s);
}

void TFrmMain::SearchWordByChars(const std::string& text) {
  MeoWord->SetText(U("搜索中请稍候......."));
  MeoWord->Repaint();
  MeoWord->SetText(dictquery::SearchByChars(WordLib, text, ChkExplain->Checked()));
}

void TFrmMain::SearchWordByConditions(const std::string& pinyin, int sex, const std::string& radical, int strokes,
                                      unsigned elementMask) {
  MeoWord->SetText(U("搜索中请稍候......."));
  MeoWord->Repaint();
  dictquery::Conditions c{pinyin, sex, radical, strokes, CboJianFan->ItemIndex(), elementMask};
  dictquery::Style style = CboShowStyle->ItemIndex() == 1 ? dictquery::Style::Brief : dictquery::Style::Full;
  // The window keeps painting but takes no input meanwhile: another command on the
  // dictionary would end the scan's batch and cut its result short.
  SetEnabled(false);
  std::vector<std::string> blocks =
      dictquery::SearchByConditions(WordLib, c, style, ChkExplain->Checked(), [] { Application->ProcessMessages(); });
  ShowBlocks(*MeoWord, blocks);
  SetEnabled(true);
  ::SetFocus(BtnSearchWord->Handle());
}

void TFrmMain::sBtoSelPianClick(TObject*) {
  // The picker lists the radicals of the file the query will scan.
  WordLib.Open(CboLibrary->ItemIndex());
  TFrmPianPang* picker = new TFrmPianPang(Application);
  picker->selection = radicalText;
  if (picker->ShowModal() == mrYes) radicalText = picker->selection;
  delete picker;
}

void TFrmMain::CboLibraryClick(TObject*) { WordLib.Open(CboLibrary->ItemIndex()); }

// A radio button ticked by the program does not clear its neighbour, so both are set.
void TFrmMain::LedtWordChange(TObject*) {
  RdoHanZi->SetChecked(true);
  RdoZuHe->SetChecked(false);
}

void TFrmMain::LedtPinYingChange(TObject*) {
  RdoZuHe->SetChecked(true);
  RdoHanZi->SetChecked(false);
}

void TFrmMain::CboSexChange(TObject* s) { LedtPinYingChange(s); }

void TFrmMain::CBoxWuXingClickCheck(TObject* s) { LedtPinYingChange(s); }

void TFrmMain::Button1Click(TObject*) { RunNumberTool(0); }

void TFrmMain::Button2Click(TObject*) { RunNumberTool(1); }

void TFrmMain::BtoChePaiClick(TObject*) { RunNumberTool(2); }

void TFrmMain::RunNumberTool(int list) {
  TStringList* lines = numberLists[list];
  if (!lines) return;
  WordLib.Open(CboLibrary->ItemIndex());
  TFrmStrList* dlg = new TFrmStrList(Application);
  dlg->SetText(U(kNumberListTitles[list]));
  dlg->MeoInput->SetText(lines->Text());
  bool ok = dlg->ShowModal() == mrOk;
  if (ok) lines->SetText(dlg->MeoInput->Text());
  delete dlg;
  if (!ok) return;
  numberread::StrokeLookup strokes = numberread::DictionaryStrokes(WordLib, CboJianFan2->ItemIndex());
  MeoWord->SetText(numberread::ReadLines(*lines, kNumberTools[list], strokes));
}
