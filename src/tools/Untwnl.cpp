#include "tools/Untwnl.h"

#include "classlib/Gbk.h"
#include "classlib/Layout.h"
#include "classlib/StrUtils.h"
#include "engine/NameTables.h"

TFrmWnl* FrmWnl = nullptr;

namespace {

constexpr COLORREF kPaper = RGB(255, 255, 200);

// The calendar engine of every calendar window.
MVoDateEx& Calendar() {
  static MVoDateEx engine;
  return engine;
}

using gbk::U;

HFONT MakeFont(HDC dc, int points) {
  const int height = -MulDiv(points, GetDeviceCaps(dc, LOGPIXELSY), 72);
  return CreateFontW(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, GB2312_CHARSET, 0, 0, 0, 0, L"\x5B8B\x4F53");  // 宋体
}

// Centred in r at the given size. A text that would run over the cell's lines (a long
// lunar date such as 十一月廿三) first sets its characters closer, as their squares leave
// room at the sides; only beyond that is its type made smaller.
void DrawCentred(HDC dc, const std::string& text, RECT r, int points, COLORREF colour) {
  constexpr int kTightest = -3;  // pixels taken from each character's advance
  const std::wstring w = gbk::ToWide(text);
  const int room = r.right - r.left - 4;
  HFONT f = MakeFont(dc, points);
  HGDIOBJ old = SelectObject(dc, f);
  const int oldExtra = GetTextCharacterExtra(dc);
  auto tooWide = [&] {
    SIZE size{};
    return GetTextExtentPoint32W(dc, w.c_str(), static_cast<int>(w.size()), &size) && size.cx > room;
  };
  for (int extra = 0; tooWide();) {
    if (extra > kTightest) {
      SetTextCharacterExtra(dc, --extra);
      continue;
    }
    if (points <= 6) break;
    SelectObject(dc, old);
    DeleteObject(f);
    f = MakeFont(dc, --points);
    SelectObject(dc, f);
  }
  SetTextColor(dc, colour);
  DrawTextW(dc, w.c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  SetTextCharacterExtra(dc, oldExtra);
  SelectObject(dc, old);
  DeleteObject(f);
}

// The narrow eras memo breaks its line only at blanks, so no era name is cut in two; a
// Chinese text would otherwise break wherever the line runs out.
int CALLBACK BreakAtBlanks(LPWSTR text, int pos, int count, int code) {
  auto blank = [text](int i) { return text[i] == L' '; };
  int i = pos;
  switch (code) {
    case WB_ISDELIMITER:
      return pos < count && blank(pos);
    case WB_LEFT:
      if (i == 0) return 0;
      for (--i; i > 0 && blank(i);) --i;
      while (i > 0 && !blank(i)) --i;
      return blank(i) ? i + 1 : i;
    case WB_RIGHT:
      while (i < count && !blank(i)) ++i;
      while (i < count && blank(i)) ++i;
      return i;
  }
  return 0;
}

DateRecord LocalNow() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  return DateRecord{static_cast<int16_t>(t.wYear), static_cast<int16_t>(t.wMonth), static_cast<int16_t>(t.wDay),
                    static_cast<int16_t>(t.wHour), static_cast<int16_t>(t.wMinute)};
}

}  // namespace

// ---- TMonthImage ----

LRESULT TMonthImage::WndProc(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_LBUTTONDOWN:
      if (OnLeftDown) OnLeftDown(static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l)));
      return 0;
  }
  return TPaintedControl::WndProc(msg, w, l);
}

void TMonthImage::Paint(HDC dc) {
  const int cw = CellWidth(), ch = CellHeight();
  RECT all{0, 0, Width(), Height()};
  HBRUSH paper = CreateSolidBrush(kPaper);
  FillRect(dc, &all, paper);
  FrameRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
  for (int i = 1; i < 7; ++i) {
    MoveToEx(dc, i * cw, 0, nullptr);
    LineTo(dc, i * cw, 7 * ch);
    MoveToEx(dc, 0, i * ch, nullptr);
    LineTo(dc, 7 * cw, i * ch);
  }
  SetBkMode(dc, TRANSPARENT);
  const auto& names = NameTables::Text().WeekdayNames;
  for (int c = 0; c < 7; ++c) {
    RECT r{c * cw, 0, (c + 1) * cw, ch};
    DrawCentred(dc, U("星期") + names[c], r, 13, c < 5 ? RGB(0, 128, 0) : RGB(255, 0, 0));
  }
  for (const MonthCell& cell : view.cells) {
    const RECT box{cell.column * cw, cell.row * ch, (cell.column + 1) * cw, (cell.row + 1) * ch};
    const COLORREF colour = cell.termDay ? RGB(255, 0, 0) : RGB(0, 0, 255);
    RECT upper = box, lower = box;
    upper.bottom = box.top + ch / 2;
    lower.top = upper.bottom;
    DrawCentred(dc, cell.upper, upper, cell.termDay ? 10 : 14, colour);
    DrawCentred(dc, cell.lower, lower, cell.lower.size() > 10 ? 8 : 9, colour);
    if (cell.day != view.shown.day) continue;
    HPEN red = CreatePen(PS_SOLID, 3, RGB(255, 0, 0));
    SelectObject(dc, red);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, box.left + 1, box.top + 1, box.right, box.bottom);
    SelectObject(dc, oldBrush);
    SelectObject(dc, GetStockObject(BLACK_PEN));
    DeleteObject(red);
  }
  SelectObject(dc, oldPen);
  DeleteObject(paper);
}

// ---- TFrmWnl ----

namespace {

// The month grid paints the window's own view.
TControl* NewMonthImage(TComponent* owner) { return new TMonthImage(owner, static_cast<TFrmWnl*>(owner)->View()); }

// clang-format off
const LayoutRow kLayout[] = {
  {New<TEdit>,            "EdtYear",   "1900", 8,   8,  56,  22, "", alNone},
  {New<TUpDown>,          "UpYear",    "",    64,   8,  16,  22, "", alNone},
  {NewDropDownList<12>,   "CboM",      "",    88,   8,  60,  22, "", alNone},
  {NewDropDownList<12>,   "CboD",      "",   152,   8,  60,  22, "", alNone},
  {NewDropDownList<12>,   "CboH",      "",   216,   8,  60,  22, "", alNone},
  {NewDropDownList<12>,   "CboMinute", "",   280,   8,  60,  22, "", alNone},
  {New<TButton>,          "BitBtn2",   "<",  348,   6,  28,  26, "", alNone},
  {New<TButton>,          "BitBtn1",   ">",  380,   6,  28,  26, "", alNone},
  {New<TSpeedButton>,     "BtoNow",    "今", 412,   6,  28,  26, "", alNone},
  {NewMonthImage,         "Img",       "",     6,  40, 392, 336, "", alNone},
  {New<TLabel>,           "LabShow",   "",   404,  40, 128,  22, "", alNone},
  {New<TMemo>,            "MeoTitle",  "",   404,  66, 128, 110, "", alNone},
  {New<TMemo>,            "MeoJie",    "",   404, 180, 128, 110, "", alNone},
  {New<TMemo>,            "MeoGanZhi", "",   404, 294, 128,  82, "", alNone},
};
// clang-format on

}  // namespace

TFrmWnl::TFrmWnl(TComponent* owner) : TForm(owner), view(Calendar()) {
  SetText(U("Karvell万年历"));
  SetClientSize(536, 380);
  SetColor(static_cast<TColor>(kPaper));
  BorderStyle = bsSingle;
  Position = poScreenCenter;
  EscapeCloses = true;  // shown without blocking, it closes as a dialog does

  TLayout layout(this, this, kLayout);
  auto get = [&layout]<class T>(T*& slot, const char* name) { layout.Bind(slot, name); };
  get(EdtYear, "EdtYear");
  get(UpYear, "UpYear");
  get(CboM, "CboM");
  get(CboD, "CboD");
  get(CboH, "CboH");
  get(CboMinute, "CboMinute");
  get(BitBtn2, "BitBtn2");
  get(BitBtn1, "BitBtn1");
  get(BtoNow, "BtoNow");
  get(Img, "Img");
  get(LabShow, "LabShow");
  get(MeoTitle, "MeoTitle");
  get(MeoJie, "MeoJie");
  get(MeoGanZhi, "MeoGanZhi");
  EdtYear->MaxLength = 5;
  UpYear->SetRange(MMonthView::ToInternalYear(MMonthView::kMinYear), MMonthView::kMaxYear);
  BitBtn2->Hint = U("上一月");
  BitBtn1->Hint = U("下一月");
  BtoNow->Hint = U("当前时间");
  BtoNow->Flat = true;
  BitBtn2->ShowHint = true;
  BitBtn1->ShowHint = true;
  BtoNow->ShowHint = true;
  TFont bold;
  bold.Bold = true;
  bold.Size = 12;
  LabShow->SetFont(bold);
  TFont red, blue;
  red.Color = clRed;
  blue.Color = clBlue;
  MeoJie->SetFont(red);
  MeoGanZhi->SetFont(blue);
  // The side texts are short: without scroll bars a line such as 小寒:16日10时52分
  // keeps its words together.
  for (TMemo* m : {MeoTitle, MeoJie, MeoGanZhi}) {
    m->ReadOnly = true;
    m->ScrollBars = ssNone;
  }
  MeoTitle->ScrollBars = ssVertical;  // a year of many eras runs long

  UpYear->OnClick = [this](TObject*, TUDBtnType) { UpYearClick(); };
  BitBtn2->OnClick = [this](TObject* s) { BitBtn2Click(s); };
  BitBtn1->OnClick = [this](TObject* s) { BitBtn1Click(s); };
  BtoNow->OnClick = [this](TObject* s) { BtoNowClick(s); };
  EdtYear->OnKeyPress = [this](TObject* s, char& key) { EdtYearKeyPress(s, key); };
  for (TComboBox* c : {CboM, CboD, CboH, CboMinute}) c->OnChange = [this](TObject*) { UpdateView(); };
  Img->OnLeftDown = [this](int x, int y) { ImgMouseDown(x, y); };
  OnClose = [this](TObject*, TCloseAction& action) {
    action = caFree;
    if (FrmWnl == this) FrmWnl = nullptr;
  };
  OnShow = [this](TObject*) {
    SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SendMessageW(MeoTitle->Handle(), EM_SETWORDBREAKPROC, 0, reinterpret_cast<LPARAM>(&BreakAtBlanks));
  };
  FillLists();
  DoCreate();
}

void TFrmWnl::FillLists() {
  struct List {
    TComboBox* combo;
    int first, last;
    const char* unit;
  } lists[] = {{CboM, 1, 12, "月"}, {CboD, 1, 31, "日"}, {CboH, 0, 23, "时"}, {CboMinute, 0, 59, "分"}};
  for (const List& l : lists) {
    l.combo->Items().Clear();
    for (int i = l.first; i <= l.last; ++i) l.combo->Items().Add(IntToStr(i) + U(l.unit));
    l.combo->DropDownCount = 12;
  }
}

int TFrmWnl::TypedYear(int fallback) { return static_cast<int>(StrToIntDef(Trim(EdtYear->Text()), fallback)); }

void TFrmWnl::SetControls(const DateRecord& date) {
  EdtYear->SetText(IntToStr(date.year));
  UpYear->SetPosition(MMonthView::ToInternalYear(date.year));
  CboM->SetItemIndex(date.month - 1);
  CboD->SetItemIndex(date.day - 1);
  CboH->SetItemIndex(date.hour);
  CboMinute->SetItemIndex(date.minute);
}

void TFrmWnl::ShowDate(const DateRecord& date) {
  FillLists();
  DateRecord d = date;
  DateRecord internal = d;
  internal.year = static_cast<int16_t>(MMonthView::ToInternalYear(d.year));
  if (view.CheckDate(internal) == 0) d.day = 15;
  SetControls(d);
  LoadYearTerms();
  UpdateView();
}

void TFrmWnl::LoadYearTerms() { view.LoadYearTerms(MMonthView::ToInternalYear(TypedYear(1900))); }

void TFrmWnl::UpdateView() {
  const int y = TypedYear(0);
  if (y == 0 || y < MMonthView::kMinYear || y > MMonthView::kMaxYear) {
    Application->MessageBox(U("年份在-4713 到 9999年之间，并且没有公元0年"), U("年份不对"), MB_OK | MB_ICONERROR);
    return;
  }
  const int internal = MMonthView::ToInternalYear(y);
  const DateRecord date{static_cast<int16_t>(internal), static_cast<int16_t>(CboM->ItemIndex() + 1),
                        static_cast<int16_t>(CboD->ItemIndex() + 1), static_cast<int16_t>(CboH->ItemIndex()),
                        static_cast<int16_t>(CboMinute->ItemIndex())};
  if (!view.Build(date)) {
    Application->MessageBox(view.lastError, U("日期不对"), MB_OK | MB_ICONINFORMATION);
    return;
  }
  UpYear->SetPosition(internal);
  LabShow->SetText(view.heading);
  MeoTitle->SetText(view.titleText);
  MeoJie->SetText(view.termsText);
  MeoGanZhi->SetText(view.ganZhiText);
  Img->Invalidate();
}

void TFrmWnl::UpYearClick() {
  EdtYear->SetText(IntToStr(MMonthView::ToHistoricalYear(UpYear->Position())));
  LoadYearTerms();
  UpdateView();
}

void TFrmWnl::BitBtn2Click(TObject*) {
  int y = TypedYear(1900);
  int m = CboM->ItemIndex() + 1;
  if (y == MMonthView::kMinYear && m == 1) return;
  if (m == 1) {
    m = 12;
    y = y == 1 ? -1 : y - 1;
    EdtYear->SetText(IntToStr(y));
    UpYear->SetPosition(MMonthView::ToInternalYear(y));
    LoadYearTerms();
  } else {
    --m;
  }
  CboM->SetItemIndex(m - 1);
  CboD->SetItemIndex(0);
  UpdateView();
}

void TFrmWnl::BitBtn1Click(TObject*) {
  int y = TypedYear(1900);
  int m = CboM->ItemIndex() + 1;
  if (y == MMonthView::kMaxYear && m == 12) return;
  if (m == 12) {
    m = 1;
    y = y == -1 ? 1 : y + 1;
    EdtYear->SetText(IntToStr(y));
    UpYear->SetPosition(MMonthView::ToInternalYear(y));
    LoadYearTerms();
  } else {
    ++m;
  }
  CboM->SetItemIndex(m - 1);
  CboD->SetItemIndex(0);
  UpdateView();
}

void TFrmWnl::BtoNowClick(TObject*) {
  const DateRecord now = LocalNow();
  if (now.year < MMonthView::kMinYear || now.year > MMonthView::kMaxYear) return;
  SetControls(now);
  LoadYearTerms();
  UpdateView();
}

void TFrmWnl::EdtYearKeyPress(TObject*, char& key) {
  if (key != VK_RETURN) return;
  key = 0;
  if (!view.CheckYear(TypedYear(0))) {
    Application->MessageBox(view.lastError, U("错误"), MB_OK | MB_ICONERROR);
    SetFocus(EdtYear->Handle());
    return;
  }
  LoadYearTerms();
  UpdateView();
}

void TFrmWnl::ImgMouseDown(int x, int y) {
  if (Img->CellWidth() == 0 || Img->CellHeight() == 0) return;
  const int cell = (y / Img->CellHeight()) * 7 + x / Img->CellWidth() - 7;
  const int day = view.DayAtCell(cell);
  if (day == 0) return;
  CboD->SetItemIndex(day - 1);
  UpdateView();
}

void ShowPerpetualCalendar() {
  if (!FrmWnl) FrmWnl = new TFrmWnl(Application);
  FrmWnl->ShowDate(LocalNow());
  FrmWnl->Show();
}
