// The naming page: birth data, conditions, the generator run and its result list.
#include <algorithm>
#include <array>
#include <chrono>

#include "classlib/Files.h"
#include "classlib/Gbk.h"
#include "classlib/Layout.h"
#include "classlib/StrUtils.h"
#include "engine/NameTables.h"
#include "resources/StringTable.h"
#include "ui/Uinput.h"
#include "ui/Untcontaintext.h"
#include "ui/Untmain.h"
#include "ui/Untsyong.h"
#include "ui/Usetname.h"

namespace {

using gbk::U;

// clang-format off
const LayoutRow kLayout[] = {
  {New<TPanel>,       "PanInfo",         "",          0,   0, 500, 150, "",        alTop},
  {New<TMemo>,        "MeoFormula",      "",          0,   0, 300, 150, "PanInfo", alLeft},
  {New<TStringGrid>,  "sGridFull",       "",          0,   0, 300, 150, "PanInfo", alNone},
  {New<TPanel>,       "PanCmd",          "",        300,   0, 200, 150, "PanInfo", alClient},
  {New<TButton>,      "BtoInput2",       "输入生日",   4,   4,  72,  24, "PanCmd",  alNone},
  {New<TButton>,      "BtoSet",          "起名条件",  80,   4,  72,  24, "PanCmd",  alNone},
  {New<TLabel>,       "StaticName",      "",        156,   2,  56,  28, "PanCmd",  alNone},
  {New<TProgressBar>, "ProBar1",         "",          4,  34, 148,  16, "PanCmd",  alNone},
  {New<TPanel>,       "PanStop",         "",        156,  30,  52,  24, "PanCmd",  alNone},
  {New<TButton>,      "BtoStopGenerate", "停止",      0,   0,  52,  24, "PanStop", alClient},
  {New<TLabel>,       "TxtInfo",         "",          4,  60, 120,  16, "PanCmd",  alNone},
  {New<TButton>,      "Button4",         "<",       128,  56,  24,  22, "PanCmd",  alNone},
  {New<TButton>,      "Button5",         ">",       156,  56,  24,  22, "PanCmd",  alNone},
  {New<TLabeledEdit>, "EdtInText",       "包含文字 ", 62,  84,  90,  22, "PanCmd",  alNone},
  {New<TButton>,      "Button6",         "名",      156,  84,  24,  22, "PanCmd",  alNone},
  {New<TButton>,      "BtoInPrev",       "0 <<<",     4, 112,  64,  24, "PanCmd",  alNone},
  {New<TButton>,      "BtoInNext",       ">>> 0",    72, 112,  64,  24, "PanCmd",  alNone},
  {New<TRichEdit>,    "RedtName2",       "",          0, 150, 200, 220, "",        alLeft},
  {New<TListView>,    "LstName",         "",        200, 150, 300, 220, "",        alClient},
};
// clang-format on

const char* const kColumns[7] = {"序号", "姓名", "姓名五行", "三才", "天人地总外", "笔画数", "得分"};
const int kColumnWidths[7] = {48, 64, 72, 40, 84, 72, 48};
constexpr int kCellPadding = 14;  // what the list leaves beside a column's text, header and cells alike

// The widths that show each column's header and every text of the page whole.
std::array<int, 7> NeededColumnWidths(TListView& list) {
  std::array<int, 7> need{};
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(list.Perform(WM_GETFONT)));
  auto widen = [&](int column, const std::string& text) {
    const std::wstring w = gbk::ToWide(text);
    SIZE size{};
    GetTextExtentPoint32W(dc, w.c_str(), static_cast<int>(w.size()), &size);
    need[column] = std::max(need[column], static_cast<int>(size.cx) + kCellPadding);
  };
  for (int c = 0; c < 7; ++c) {
    widen(c, U(kColumns[c]));
    for (int row = 0; row < list.Count(); ++row) widen(c, list.ItemText(row, c));
  }
  SelectObject(dc, old);
  DeleteDC(dc);
  return need;
}

const std::string& ClassWord(int cls) {
  static const std::string words[3] = {U("凶"), U("平"), U("吉")};
  return words[std::clamp(cls, 0, 2)];
}

// The generator's rows into the page's list view.
class ListViewRows : public ResultView {
 public:
  explicit ListViewRows(TListView& v) : view(v) {}
  void Clear() override { view.Clear(); }
  void AddRow(const ResultRow& row) override {
    std::vector<std::string> texts{row.caption};
    texts.insert(texts.end(), std::begin(row.columns), std::end(row.columns));
    view.AddItem(texts);
  }

 private:
  TListView& view;
};

// The run's progress bar, drawn anew at most every kBarInterval: under Wine a paint of
// the bar costs about a millisecond, and a run moves it once a stroke set, up to
// hundreds of times. Flush shows the last position.
class BarProgress : public ProgressSink {
 public:
  explicit BarProgress(TProgressBar& b) : bar(b) {}
  void SetRange(int max) override { bar.SetRange(0, max); }
  void SetPosition(int position) override {
    const auto now = std::chrono::steady_clock::now();
    pending = position;
    if (now - shown < kBarInterval) return;
    Flush();
    shown = now;
  }
  void Flush() {
    if (pending >= 0) bar.SetPosition(pending);
    pending = -1;
  }

 private:
  static constexpr std::chrono::milliseconds kBarInterval{30};
  TProgressBar& bar;
  int pending = -1;
  std::chrono::steady_clock::time_point shown{};
};

int FillPage(const MSearchName& generator, TListView& list, int page) {
  ListViewRows rows(list);
  list.BeginUpdate();
  int p = generator.FillResultList(rows, page);
  list.EndUpdate();
  return p;
}

// Whether `text` holds `part` starting at one of its character boundaries.
bool ContainsAtCharBoundary(std::string_view text, std::string_view part) {
  for (size_t i = 0; i + part.size() <= text.size(); i += gbk::CharLength(text, i))
    if (text.compare(i, part.size(), part) == 0) return true;
  return false;
}

bool PutOnClipboard(HWND owner, const std::string& gbkText) {
  std::wstring w = gbk::ToWide(gbkText);
  if (!OpenClipboard(owner)) return false;
  EmptyClipboard();
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, (w.size() + 1) * sizeof(wchar_t));
  bool ok = mem != nullptr;
  if (ok) {
    std::copy(w.c_str(), w.c_str() + w.size() + 1, static_cast<wchar_t*>(GlobalLock(mem)));
    GlobalUnlock(mem);
    ok = SetClipboardData(CF_UNICODETEXT, mem) != nullptr;
    if (!ok) GlobalFree(mem);
  }
  CloseClipboard();
  return ok;
}

TMenuItem* AddMenuItem(TPopupMenu* menu, const char* caption, TNotifyEvent onClick) {
  auto* item = new TMenuItem(menu);
  item->SetCaption(U(caption));
  item->OnClick = std::move(onClick);
  menu->Items()->Add(item);
  return item;
}

}  // namespace

std::vector<int32_t> FindNameHits(const MSearchName& names, const std::string& text) {
  std::vector<int32_t> hits;
  for (size_t i = 0; i < names.Count(); ++i)
    if (ContainsAtCharBoundary(names.Candidate(i).name, text)) hits.push_back(static_cast<int32_t>(i));
  return hits;
}

int FirstHitOnPage(const std::vector<int32_t>& hits, int page, size_t count) {
  if (hits.empty() || page < 1) return -1;
  size_t lo = static_cast<size_t>(page - 1) * MSearchName::kPageSize;
  size_t hi = std::min(lo + MSearchName::kPageSize, count);
  for (size_t k = 0; k < hits.size(); ++k) {
    size_t v = static_cast<size_t>(hits[k]);
    if (v >= lo && v < hi) return static_cast<int>(k);
  }
  return -1;
}

std::string PadField(std::string s, size_t width, const std::string& pad) {
  while (s.size() < width) s += pad;
  return s;
}

std::string ExportText(const MSearchName& names) {
  const std::string wide = U("　");
  const auto& elementNames = NameTables::Text().ElementNames;
  std::string out = Format(U("共有姓名%d个。\r\n\r\n").c_str(), static_cast<int>(names.Count())) + "\r\n";
  out += U("序号  姓名　　　　姓名五行　　三才　　天人地总外　　笔画数　　　　得分\r\n\r\n") + "\r\n";
  for (size_t i = 0; i < names.Count(); ++i) {
    const CandidateRecord& c = names.Candidate(i);
    std::string elements, grids, strokes;
    for (uint8_t e : c.elements)
      if (e < elementNames.size()) elements += elementNames[e];
    for (uint8_t g : c.gridClasses) grids += ClassWord(g);
    for (uint8_t s : c.strokes)
      if (s) strokes += Format("%02d ", s);
    out += PadField(IntToStr(static_cast<long long>(i + 1)), 6, " ") + PadField(c.name, 12, wide) +
           PadField(elements, 12, wide) + PadField(ClassWord(c.talentsClass), 8, wide) + PadField(grids, 14, wide) +
           PadField(strokes, 14, wide) + Format("%d\r\n", c.score) + "\r\n";
  }
  return out;
}

void TFrmMain::BuildNamingPage() {
  TLayout layout(PageQiMing, this, kLayout);
  layout.Bind(PanInfo, "PanInfo");
  layout.Bind(MeoFormula, "MeoFormula");
  layout.Bind(PanCmd, "PanCmd");
  layout.Bind(BtoInput2, "BtoInput2");
  layout.Bind(BtoSet, "BtoSet");
  layout.Bind(StaticName, "StaticName");
  layout.Bind(ProBar1, "ProBar1");
  layout.Bind(PanStop, "PanStop");
  layout.Bind(BtoStopGenerate, "BtoStopGenerate");
  layout.Bind(TxtInfo, "TxtInfo");
  layout.Bind(Button4, "Button4");
  layout.Bind(Button5, "Button5");
  layout.Bind(EdtInText, "EdtInText");
  layout.Bind(Button6, "Button6");
  layout.Bind(BtoInPrev, "BtoInPrev");
  layout.Bind(BtoInNext, "BtoInNext");
  layout.Bind(RedtName2, "RedtName2");
  layout.Bind(LstName, "LstName");
  layout.Bind(sGridFull, "sGridFull");

  PanInfo->BevelOuter = TPanel::bvNone;
  PanCmd->BevelOuter = TPanel::bvNone;
  // Stroke sets and hints of a large run outgrow an edit's default limit.
  MeoFormula->MaxLength = 0x7FFFFFFE;
  MeoFormula->ReadOnly = true;
  RedtName2->SetText(U("点选了某个名字后，点击软件左上角姓名分数上面的“解”字，可以查看姓名的完整分析。"));
  TFont big = StaticName->Font();
  big.Color = clRed;
  big.Size = 16;
  big.Bold = true;
  StaticName->SetFont(big);
  StaticName->ParentFont = false;
  BtoSet->SetEnabled(false);
  PanStop->Hide();
  ProBar1->SetRange(0, 100);
  Button4->Hint = U("上一页");
  Button5->Hint = U("下一页");
  EdtInText->Hint = U("回车查找包含文字的姓名");
  for (TControl* c : std::initializer_list<TControl*>{Button4, Button5, EdtInText}) c->ShowHint = true;
  EdtInText->SetLabelPosition(lpLeft);
  for (int i = 0; i < 7; ++i) LstName->AddColumn(U(kColumns[i]), kColumnWidths[i]);

  pMenuMakeName = new TPopupMenu(this);
  N13 = AddMenuItem(pMenuMakeName, "复制姓名", [this](TObject* s) { N13Click(s); });
  N14 = AddMenuItem(pMenuMakeName, "查看姓名分析", [this](TObject* s) { N14Click(s); });
  N16 = AddMenuItem(pMenuMakeName, "导出所有姓名", [this](TObject* s) { N16Click(s); });
  LstName->PopupMenu = pMenuMakeName;
  LstName->OnResize = [this](TObject*) { FitNameColumns(); };
  PageQiMing->OnResize = [this](TObject*) { ArrangeNamingPage(); };

  sGridFull->Hide();
  pMenuFormula = new TPopupMenu(this);
  N11 = AddMenuItem(pMenuFormula, "复制姓名", [this](TObject* s) { N11Click(s); });
  N12 = AddMenuItem(pMenuFormula, "查看姓名分析", [this](TObject* s) { N12Click(s); });
  sGridFull->PopupMenu = pMenuFormula;
  pMenuFormulaOne = new TPopupMenu(this);
  MenuItem14 = AddMenuItem(pMenuFormulaOne, "复制姓名", [this](TObject* s) { MenuItem14Click(s); });
  MenuItem15 = AddMenuItem(pMenuFormulaOne, "查看姓名分析", [this](TObject* s) { MenuItem15Click(s); });
  sGridFull->OnMouseDown = [this](TObject* s, TMouseButton b, int x, int y) { sGridFullMouseDown(s, b, x, y); };

  BtoInput2->OnClick = [this](TObject* s) { BtoInput2Click(s); };
  BtoSet->OnClick = [this](TObject* s) { BtoSetClick(s); };
  BtoStopGenerate->OnClick = [this](TObject* s) { BtoStopGenerateClick(s); };
  Button4->OnClick = [this](TObject* s) { Button4Click(s); };
  Button5->OnClick = [this](TObject* s) { Button5Click(s); };
  EdtInText->OnKeyDown = [this](TObject* s, WORD& key) { EdtInTextKeyDown(s, key); };
  BtoInPrev->OnClick = [this](TObject* s) { BtoInPrevClick(s); };
  BtoInNext->OnClick = [this](TObject* s) { BtoInNextClick(s); };
  Button6->OnClick = [this](TObject* s) { Button6Click(s); };
  LstName->OnClick = [this](TObject* s) { LstNameClick(s); };
  SbtoSet->OnClick = [this](TObject* s) { SbtoSetClick(s); };
  // Closing during a run ends the run first; the window closes when it has returned.
  OnCloseQuery = [this](TObject*, bool& canClose) {
    if (!generating) return;
    closeAfterRun = true;
    generator->Stop();
    canClose = false;
  };
}

void TFrmMain::BtoInput2Click(TObject*) {
  auto* dlg = new TFrmInput(Application, birth, placeText);
  int result = dlg->ShowModal();
  delete dlg;
  if (result != mrOk) return;
  ::SetText(birth.place, placeText);
  if (!analyser->Analyse(birth)) {
    Application->MessageBox(analyser->LastError(), U("错误"), MB_OK | MB_ICONERROR);
    return;
  }
  PrepareConditions();
  conditions.radicals[0] = '\0';
  conditions.excluded[0] = '\0';
  chartText = analyser->ChartSummary();
  ChartResult chart;
  BirthRecord b;
  AnalysisSettings s;
  analyser->GetSnapshot(chart, b, s);
  generator->Scorer().SetTexts(chart, b, s);
  BtoSet->SetEnabled(true);
  BtoSetClick(nullptr);
}

void TFrmMain::BtoSetClick(TObject*) {
  auto* dlg = new TFrmSetName(Application);
  dlg->conditions = &conditions;
  dlg->MeoDec->SetText(chartText);
  int result = dlg->ShowModal();
  delete dlg;
  if (result != mrOk) return;
  generator->SetConditions(conditions);
  std::string surname = FieldText(conditions.surname);
  StaticName->SetText(surname.size() == 2 ? " " + surname + " " : surname);

  BtoInput2->SetEnabled(false);
  BtoSet->SetEnabled(false);
  TxtInfo->SetText("");  // the count of the last run no longer holds
  PanStop->Show();
  generating = true;
  BarProgress progress(*ProBar1);
  bool ok = generator->Generate(&progress);
  progress.Flush();
  currentPage = 1;
  FillPage(*generator, *LstName, 1);
  FitNameColumns(true);
  TxtInfo->SetText(Format(U("找到：%d个姓名").c_str(), static_cast<int>(generator->Count())));
  PanStop->Hide();
  std::string sets;
  generator->ListGoodStrokeSets(sets);
  MeoFormula->SetText(sets + NamingHints());
  hits.clear();
  BtoInPrev->SetText("0 <<<");
  BtoInNext->SetText(">>> 0");
  RedtName2->Clear();
  TFont f = RedtName2->Font();
  f.Color = clBlack;
  f.Bold = f.Italic = f.Underline = false;
  RedtName2->SelAttributes().Set(f);
  RedtName2->Paragraph().SetAlignment(taLeftJustify);
  RedtName2->SetModified(false);  // the listing is the program's text, not the user's
  // The run goes on until the listing is in: closing meanwhile ends it there.
  AppendLongText(*RedtName2, generator->Listing(), f, [this] {
    Application->ProcessMessages();
    return !closeAfterRun;
  });
  ::SetFocus(RedtName2->Handle());
  RedtName2->SetSelStart(0);
  generating = false;
  BtoInput2->SetEnabled(true);
  BtoSet->SetEnabled(true);
  if (!ok) Application->MessageBox(generator->LastError(), U("错误"), MB_OK | MB_ICONERROR);
  if (closeAfterRun) Close();
}

std::string TFrmMain::NamingHints() {
  std::string out = U("★起名附加提示★\r\n\r\n");
  // The surname list holds two-byte surnames; only whole ones count.
  std::string surname = FieldText(conditions.surname);
  std::string list = LoadStr(1400);
  for (size_t i = 0; !surname.empty() && i + surname.size() <= list.size(); i += 2) {
    if (list.compare(i, surname.size(), surname) == 0) {
      out += U("●") + LoadStr(1401 + static_cast<int>(i / 2)) + "\r\n\r\n";
      break;
    }
  }
  for (int i = 0; i < 5; ++i)
    if ((conditions.elementMask >> i) & 1) out += U("◆") + LoadStr(1790 + i) + "\r\n";
  out += "\r\n" + U("●") + LoadStr(1310 + analyser->YearBranch());
  return out;
}

void TFrmMain::ShowNamePage(int delta, bool reselect) {
  int p = FillPage(*generator, *LstName, currentPage + delta);
  FitNameColumns(true);
  if (p == 0) return;
  currentPage = p;
  if (!reselect) return;
  int k = FirstHitOnPage();
  if (k != -1) {
    hitIndex = k;
    GotoHit(0);
  }
}

void TFrmMain::Button4Click(TObject*) { ShowNamePage(-1, true); }

void TFrmMain::Button5Click(TObject*) { ShowNamePage(1, true); }

void TFrmMain::LstNameClick(TObject*) {
  int row = LstName->ItemIndex();
  if (row >= 0) AnalyseListName(Trim(LstName->ItemText(row, 1)));
}

void TFrmMain::AnalyseListName(const std::string& name) {
  bool single = FieldText(conditions.surname).size() == 2;
  BirthRecord copy = birth;
  ::SetText(copy.name, name);
  // The analyser splits the name by the same surname kind the panel shows.
  copy.singleSurname = single ? 1 : 0;
  namingAnalyser->writeToView = false;
  if (!namingAnalyser->Analyse(copy)) {
    Application->MessageBox(namingAnalyser->LastError(), U("错误"), MB_OK | MB_ICONERROR);
    return;
  }
  int elements[4];
  int16_t grids[5];
  namingAnalyser->GetCharElements(elements);
  namingAnalyser->GetFiveGrids(grids);
  ShowWuGe(name, single, elements, namingAnalyser->GetScore(), grids);
}

void TFrmMain::N13Click(TObject*) {
  int row = LstName->ItemIndex();
  if (row < 0) {
    ShowMessage(U("没有选中的姓名，不能复制！"));
    return;
  }
  PutOnClipboard(Handle(), Trim(LstName->ItemText(row, 1)));
}

void TFrmMain::N14Click(TObject*) {
  int row = LstName->ItemIndex();
  if (row < 0) {
    ShowMessage(U("没有选中的姓名，不能复制！"));
    return;
  }
  PageControl1->SetActivePageIndex(0);
  LedtName->SetText(Trim(LstName->ItemText(row, 1)));
  CboDanFu->SetItemIndex(FieldText(conditions.surname).size() == 2 ? 1 : 0);
  BtnPaiClick(nullptr);
}

void TFrmMain::N16Click(TObject*) {
  if (generator->Count() == 0) return;
  // The dialog is shared with the report views: set every field it shows.
  dlgsave->Filter = U("Txt格式|*.txt");
  dlgsave->FilterIndex = 1;
  dlgsave->FileName.clear();
  dlgsave->DefaultExt = "txt";
  dlgsave->Title = U("输入导出的文件名");
  dlgsave->OverwritePrompt = false;  // an existing file is refused below
  if (!dlgsave->Execute()) return;
  ExportNames(dlgsave->FileName);
}

bool TFrmMain::ExportNames(const std::string& path) {
  if (file::Exists(path)) {
    ShowMessage(U("已经有同名文件，请另外起个文件名！"));
    return false;
  }
  if (!file::WriteAtomic(path, ExportText(*generator))) {
    Application->MessageBox(U("无法保存文件：") + path, U("错误"), MB_OK | MB_ICONERROR);
    return false;
  }
  ShowMessage(U("已经保存到：") + path);
  return true;
}

void TFrmMain::EdtInTextKeyDown(TObject*, WORD& key) {
  if (key != VK_RETURN) return;
  key = 0;  // taken: no beep, and no default button to press
  if (generator->Count() == 0) return;
  std::string t = Trim(EdtInText->Text());
  hits.clear();
  if (!t.empty()) hits = FindNameHits(*generator, t);
  if (hits.empty()) {
    if (!t.empty()) ShowMessage(U("没有包含输入文字的姓名！"));
    BtoInPrev->SetText("0 <<<");
    BtoInNext->SetText(">>> 0");
    return;
  }
  int k = FirstHitOnPage();
  if (k != -1) {
    hitIndex = k;
    GotoHit(0);
  }
  BtoInPrev->SetText(Format("%d <<<", 1));
  BtoInNext->SetText(Format(">>> %d", static_cast<int>(hits.size())));
}

int TFrmMain::FirstHitOnPage() const { return ::FirstHitOnPage(hits, currentPage, generator->Count()); }

void TFrmMain::GotoHit(int step) {
  int n = static_cast<int>(hits.size());
  if (n < 1) return;
  hitIndex = ((hitIndex + step) % n + n) % n;
  int v = hits[static_cast<size_t>(hitIndex)];
  int page = v / MSearchName::kPageSize + 1;
  if (page != currentPage) {
    currentPage = page;
    ShowNamePage(0, false);
  }
  int row = v - (currentPage - 1) * MSearchName::kPageSize;
  LstName->SetItemIndex(row);
  ::SetFocus(LstName->Handle());
  // The hit ends up about two rows below the top. Rows are placed below the column
  // headers: the distance counts from the top row's place.
  HDC dc = GetDC(nullptr);
  int fontHeight = -(LstName->Font().Size * GetDeviceCaps(dc, LOGPIXELSY) / 72);
  ReleaseDC(nullptr, dc);
  const int top = static_cast<int>(LstName->Perform(LVM_GETTOPINDEX));
  LstName->ScrollBy(LstName->ItemTop(row) - LstName->ItemTop(top) + 2 * fontHeight);
  LstNameClick(nullptr);
}

// The first text a rich edit takes in the process costs a third of a second under Wine
// (the face is loaded and made ready for the text). A line like the listing's goes
// through a hidden rich edit of the listing's font, so that the first run lists as
// quickly as the others.
void TFrmMain::PrepareListingView() {
  TRichEdit warm(nullptr);
  warm.SetVisible(false);
  warm.SetBounds(0, 0, RedtName2->Width(), RedtName2->Height());
  warm.SetParent(PageQiMing);
  TFont f = RedtName2->Font();
  f.Color = clBlack;
  f.Bold = f.Italic = f.Underline = false;
  warm.SetFont(f);
  TRichEdit::AppendState state;
  warm.AppendText(U("1  李明华  木火土  吉  吉吉吉吉吉  07 08 11  95\r\n"), f, state);
  warm.EndAppend(state);
}

void TFrmMain::FitNameColumns(bool measure) {
  if (!LstName->HandleAllocated()) return;
  // Measuring every text of a page takes thousands of calls: a resize reuses the widths.
  if (measure || nameColumnNeeds[0] == 0) nameColumnNeeds = NeededColumnWidths(*LstName);
  const int room = LstName->ClientWidth();
  const std::array<int, 7>& need = nameColumnNeeds;
  int wanted = 0, needed = 0;
  for (int i = 0; i < 7; ++i) {
    wanted += std::max(kColumnWidths[i], need[i]);
    needed += need[i];
  }
  // Roomy: the usual widths. Narrower: each column keeps what its header and texts
  // need, and what is left goes to the columns in proportion to what they lack.
  // Narrower still: 序号, 姓名 and 得分 keep their widths; the others give up room.
  const int kept = need[0] + need[1] + need[6];
  const double share = wanted <= room   ? 1.0
                       : needed <= room ? double(room - needed) / double(wanted - needed)
                                        : std::max(0.0, double(room - kept) / double(needed - kept));
  std::array<int, 7> widths{};
  bool changed = false;
  for (int i = 0; i < 7; ++i) {
    const int want = std::max(kColumnWidths[i], need[i]);
    int w = needed <= room ? need[i] + int((want - need[i]) * share) : int(need[i] * share);
    if (needed > room && (i == 0 || i == 1 || i == 6)) w = need[i];
    widths[i] = std::max(12, w);
    changed |= LstName->Perform(LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(i)) != widths[i];
  }
  if (!changed) return;
  // Each new width has the list lay out and draw its rows and header again: once for all.
  LstName->BeginUpdate();
  for (int i = 0; i < 7; ++i) LstName->SetColumnWidth(i, widths[i]);
  LstName->EndUpdate();
}

void TFrmMain::ArrangeNamingPage() {
  constexpr int kListing = 200, kLeastList = 260, kCommands = 190;
  const int width = PageQiMing->ClientWidth();
  // The commands beside the stroke sets stay in reach: the memo gives way to them.
  const int memo = std::max(40, std::min(formulaWidth, width - kCommands));
  if (MeoFormula->Width() != memo) MeoFormula->SetWidth(memo);
  // Alignment first: aligning overrides the size across it.
  if (width >= kListing + kLeastList) {
    if (RedtName2->Align() != alLeft) RedtName2->SetAlign(alLeft);
    if (RedtName2->Width() != kListing) RedtName2->SetWidth(kListing);
  } else {
    if (RedtName2->Align() != alBottom) RedtName2->SetAlign(alBottom);
    const int height = std::max(60, (PageQiMing->ClientHeight() - PanInfo->Height()) / 3);
    if (RedtName2->Height() != height) RedtName2->SetHeight(height);
  }
}

void TFrmMain::sGridFullMouseDown(TObject*, TMouseButton button, int x, int y) {
  int col = 0, row = 0;
  if (button != mbLeft || !sGridFull->MouseToCell(x, y, col, row) || Trim(sGridFull->Cell(col, row)).empty()) return;
  pickedName = FieldText(conditions.surname) + Trim(sGridFull->Cell(col, row));
  AnalyseListName(pickedName);
}

void TFrmMain::N11Click(TObject*) { PutOnClipboard(Handle(), pickedName); }

void TFrmMain::MenuItem14Click(TObject*) { PutOnClipboard(Handle(), pickedName); }

void TFrmMain::N12Click(TObject* sender) { sBtoDecNameClick(sender); }

void TFrmMain::MenuItem15Click(TObject* sender) { sBtoDecNameClick(sender); }

void TFrmMain::BtoInPrevClick(TObject*) { GotoHit(-1); }

void TFrmMain::BtoInNextClick(TObject*) { GotoHit(1); }

void TFrmMain::Button6Click(TObject*) {
  if (hits.empty()) return;
  auto* dlg = new TFrmContainText(Application);
  for (int32_t v : hits) dlg->LstName->Items().Add(generator->Candidate(static_cast<size_t>(v)).name);
  dlg->LstName->SetItemIndex(0);
  if (dlg->ShowModal() == mrOk) {
    hitIndex = dlg->LstName->ItemIndex();
    GotoHit(0);
  }
  delete dlg;
}

void TFrmMain::BtoStopGenerateClick(TObject*) {
  if (PanStop->Visible()) generator->Stop();
}

void TFrmMain::SbtoSetClick(TObject*) {
  if (!chartValid) {
    Ask("请先排一个正确的盘", "排盘", MB_OK | MB_ICONINFORMATION);
    return;
  }
  auto* dlg = new TFrmSetYong(Application);
  analyser->GetDayMaster(dlg->favourable);
  if (dlg->ShowModal() != mrOk) {
    delete dlg;
    return;
  }
  if (cases) OfferSaveShownCase(*cases);
  PageControl1->SetActivePageIndex(0);
  analyser->writeToView = true;
  analyser->SetFavourable(dlg->favourable);
  delete dlg;
  int elements[4];
  int16_t grids[5];
  analyser->GetCharElements(elements);
  analyser->GetFiveGrids(grids);
  ShowWuGe(FieldText(birth.name), birth.singleSurname != 0, elements, analyser->GetScore(), grids);
}
