#include "classlib/ComCtrls.h"

#include <algorithm>

#include "classlib/Files.h"
#include "classlib/Gbk.h"
#include "classlib/StrUtils.h"
#include "classlib/TStringList.h"

// ---- TTabSheet ----

TTabSheet::TTabSheet(TComponent* owner) : TWinControl(owner) {}

TTabSheet::~TTabSheet() { SetPageControl(nullptr); }

void TTabSheet::SetPageControl(TPageControl* pc) {
  if (pageControl_ == pc) return;
  if (pageControl_) pageControl_->RemovePage(this);
  pageControl_ = pc;
  if (pc) {
    SetVisible(false);
    SetParent(pc);
    pc->AddPage(this);
  } else {
    SetParent(nullptr);
  }
}

int TTabSheet::PageIndex() const {
  if (!pageControl_) return -1;
  auto& p = pageControl_->pages_;
  return static_cast<int>(std::find(p.begin(), p.end(), this) - p.begin());
}

void TTabSheet::SetText(const std::string& s) {
  TWinControl::SetText(s);
  if (pageControl_ && pageControl_->HandleAllocated()) {
    std::wstring w = gbk::ToWide(s);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = w.data();
    pageControl_->Perform(TCM_SETITEMW, static_cast<WPARAM>(PageIndex()), reinterpret_cast<LPARAM>(&item));
  }
}

LRESULT TTabSheet::WndProc(UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_ERASEBKGND) {
    RECT r;
    GetClientRect(hwnd_, &r);
    FillRect(reinterpret_cast<HDC>(w), &r, BackgroundBrush());
    return 1;
  }
  return TWinControl::WndProc(msg, w, l);
}

// ---- TPageControl ----

TPageControl::~TPageControl() {
  for (TTabSheet* p : pages_) p->pageControl_ = nullptr;
}

DWORD TPageControl::CreateStyle() const {
  DWORD s = TControl::CreateStyle() | WS_TABSTOP | WS_CLIPCHILDREN;
  if (Style == tsButtons) s |= TCS_BUTTONS;
  if (Style == tsFlatButtons) s |= TCS_BUTTONS | TCS_FLATBUTTONS;
  return s;
}

void TPageControl::InsertTab(int i) {
  std::wstring w = gbk::ToWide(pages_[static_cast<size_t>(i)]->Caption());
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = w.data();
  Perform(TCM_INSERTITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
}

void TPageControl::AfterCreate() {
  for (int i = 0; i < PageCount(); ++i) InsertTab(i);
  ShowActive();
}

void TPageControl::AddPage(TTabSheet* page) {
  pages_.push_back(page);
  if (HandleAllocated()) InsertTab(PageCount() - 1);
  if (active_ < 0) active_ = 0;
  ShowActive();
}

void TPageControl::RemovePage(TTabSheet* page) {
  int i = page->PageIndex();
  if (i >= PageCount()) return;
  pages_.erase(pages_.begin() + i);
  Perform(TCM_DELETEITEM, static_cast<WPARAM>(i));
  // The page on show stays on show when an earlier one goes.
  if (i < active_ || active_ >= PageCount()) --active_;
  if (active_ < 0 && PageCount() > 0) active_ = 0;
  ShowActive();
}

void TPageControl::SetActivePageIndex(int i) {
  if (i < 0 || i >= PageCount()) return;
  active_ = i;
  ShowActive();
}

void TPageControl::SetActivePage(TTabSheet* page) {
  if (page && page->PageControl() == this) SetActivePageIndex(page->PageIndex());
}

void TPageControl::PlacePages() {
  if (!HandleAllocated()) return;
  RECT r{0, 0, ClientWidth(), ClientHeight()};
  Perform(TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
  for (TTabSheet* p : pages_) p->SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

void TPageControl::ShowActive() {
  if (HandleAllocated()) Perform(TCM_SETCURSEL, static_cast<WPARAM>(active_));
  PlacePages();
  for (int i = 0; i < PageCount(); ++i) pages_[static_cast<size_t>(i)]->SetVisible(i == active_);
}

bool TPageControl::HandleNotify(NMHDR* n, LRESULT& result) {
  if (n->code != TCN_SELCHANGE) return false;
  active_ = static_cast<int>(Perform(TCM_GETCURSEL));
  ShowActive();
  if (OnChange) OnChange(this);
  result = 0;
  return true;
}

LRESULT TPageControl::WndProc(UINT msg, WPARAM w, LPARAM l) {
  LRESULT r = TWinControl::WndProc(msg, w, l);
  if (msg == WM_SIZE) PlacePages();
  return r;
}

// ---- TProgressBar ----

void TProgressBar::SetRange(int min, int max) {
  min_ = min;
  max_ = std::max(min, max);
  SetPosition(position_);
  Perform(PBM_SETRANGE32, static_cast<WPARAM>(min_), max_);
}

void TProgressBar::SetPosition(int v) {
  position_ = std::clamp(v, min_, max_);
  Perform(PBM_SETPOS, static_cast<WPARAM>(position_));
}

void TProgressBar::AfterCreate() {
  Perform(PBM_SETRANGE32, static_cast<WPARAM>(min_), max_);
  Perform(PBM_SETPOS, static_cast<WPARAM>(position_));
}

// ---- TUpDown ----

DWORD TUpDown::CreateStyle() const {
  DWORD s = TControl::CreateStyle() | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_SETBUDDYINT;
  if (Wrap) s |= UDS_WRAP;
  if (!Thousands) s |= UDS_NOTHOUSANDS;
  return s;
}

int TUpDown::Clamp(int v) const { return std::clamp(v, min_, max_); }

void TUpDown::AfterCreate() {
  Perform(UDM_SETRANGE32, static_cast<WPARAM>(min_), max_);
  if (associate_) Perform(UDM_SETBUDDY, reinterpret_cast<WPARAM>(associate_->Handle()));
  Perform(UDM_SETPOS32, 0, position_);
}

void TUpDown::SetRange(int min, int max) {
  min_ = min;
  max_ = std::max(min, max);
  Perform(UDM_SETRANGE32, static_cast<WPARAM>(min_), max_);
  SetPosition(position_);
}

int TUpDown::Position() {
  if (HandleAllocated()) position_ = static_cast<int>(Perform(UDM_GETPOS32));
  return position_;
}

void TUpDown::SetPosition(int v) {
  position_ = Clamp(v);
  Perform(UDM_SETPOS32, 0, position_);
}

void TUpDown::SetAssociate(TWinControl* edit) {
  associate_ = edit;
  if (HandleAllocated()) {
    Perform(UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit ? edit->Handle() : nullptr));
    Perform(UDM_SETPOS32, 0, position_);
  }
}

bool TUpDown::HandleNotify(NMHDR* n, LRESULT& result) {
  if (n->code != UDN_DELTAPOS) return false;
  auto* d = reinterpret_cast<NMUPDOWN*>(n);
  d->iDelta *= Increment;
  lastButton_ = d->iDelta > 0 ? btNext : btPrev;
  result = 0;
  return true;
}

// The position has changed (button, arrow key or wheel): tell the handler which way.
bool TUpDown::HandleScroll(WORD code) {
  if (code == SB_ENDSCROLL) return true;
  Position();
  if (OnClick) OnClick(this, lastButton_);
  return true;
}

// ---- TTextAttributes ----

CHARFORMAT2W TTextAttributes::Read() const {
  CHARFORMAT2W cf{};
  cf.cbSize = sizeof cf;
  edit_.Perform(EM_GETCHARFORMAT, selection_ ? SCF_SELECTION : SCF_DEFAULT, reinterpret_cast<LPARAM>(&cf));
  return cf;
}

void TTextAttributes::Write(CHARFORMAT2W cf) {
  cf.cbSize = sizeof cf;
  edit_.Perform(EM_SETCHARFORMAT, selection_ ? SCF_SELECTION : SCF_DEFAULT, reinterpret_cast<LPARAM>(&cf));
}

TFont TTextAttributes::Get() const {
  CHARFORMAT2W cf = Read();
  TFont f;
  f.Name = gbk::FromWide(cf.szFaceName);
  f.Size = cf.yHeight / 20;
  f.Color = (cf.dwEffects & CFE_AUTOCOLOR) ? clWindowText : static_cast<TColor>(cf.crTextColor);
  f.Bold = cf.dwEffects & CFE_BOLD;
  f.Italic = cf.dwEffects & CFE_ITALIC;
  f.Underline = cf.dwEffects & CFE_UNDERLINE;
  return f;
}

void TTextAttributes::Set(const TFont& f) {
  CHARFORMAT2W cf{};
  cf.dwMask = CFM_FACE | CFM_SIZE | CFM_COLOR | CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_CHARSET;
  std::wstring name = gbk::ToWide(f.Name);
  name.resize(std::min<size_t>(name.size(), LF_FACESIZE - 1));
  std::copy(name.begin(), name.end(), cf.szFaceName);
  cf.bCharSet = GB2312_CHARSET;
  cf.yHeight = f.Size * 20;
  cf.crTextColor = ColorToRGB(f.Color);
  cf.dwEffects = (f.Bold ? CFE_BOLD : 0) | (f.Italic ? CFE_ITALIC : 0) | (f.Underline ? CFE_UNDERLINE : 0);
  Write(cf);
}

void TTextAttributes::SetColor(TColor c) {
  CHARFORMAT2W cf{};
  cf.dwMask = CFM_COLOR;
  cf.crTextColor = ColorToRGB(c);
  Write(cf);
}

void TTextAttributes::SetBold(bool v) {
  CHARFORMAT2W cf{};
  cf.dwMask = CFM_BOLD;
  cf.dwEffects = v ? CFE_BOLD : 0;
  Write(cf);
}

void TTextAttributes::SetSize(int points) {
  CHARFORMAT2W cf{};
  cf.dwMask = CFM_SIZE;
  cf.yHeight = points * 20;
  Write(cf);
}

void TTextAttributes::SetName(const std::string& name) {
  TFont f = Get();
  f.Name = name;
  CHARFORMAT2W cf{};
  cf.dwMask = CFM_FACE | CFM_CHARSET;
  std::wstring w = gbk::ToWide(name);
  w.resize(std::min<size_t>(w.size(), LF_FACESIZE - 1));
  std::copy(w.begin(), w.end(), cf.szFaceName);
  cf.bCharSet = GB2312_CHARSET;
  Write(cf);
}

// ---- TParaAttributes ----

PARAFORMAT2 TParaAttributes::Read() const {
  PARAFORMAT2 pf{};
  pf.cbSize = sizeof pf;
  edit_.Perform(EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf));
  return pf;
}

void TParaAttributes::Write(PARAFORMAT2 pf) {
  pf.cbSize = sizeof pf;
  edit_.Perform(EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf));
}

int TParaAttributes::FirstIndent() const { return Read().dxStartIndent / 20; }

void TParaAttributes::SetFirstIndent(int points) {
  PARAFORMAT2 pf{};
  pf.dwMask = PFM_STARTINDENT;
  pf.dxStartIndent = points * 20;
  Write(pf);
}

TAlignment TParaAttributes::Alignment() const {
  switch (Read().wAlignment) {
    case PFA_RIGHT:
      return taRightJustify;
    case PFA_CENTER:
      return taCenter;
    default:
      return taLeftJustify;
  }
}

void TParaAttributes::SetAlignment(TAlignment a) {
  PARAFORMAT2 pf{};
  pf.dwMask = PFM_ALIGNMENT;
  pf.wAlignment = a == taRightJustify ? PFA_RIGHT : a == taCenter ? PFA_CENTER : PFA_LEFT;
  Write(pf);
}

// ---- TRichEdit ----

TRichEdit::TRichEdit(TComponent* owner)
    : TWinControl(owner), selAttributes_(*this, true), defAttributes_(*this, false), paragraph_(*this) {
  SetColor(clWindow);
}

DWORD TRichEdit::CreateStyle() const {
  DWORD s =
      TControl::CreateStyle() | WS_TABSTOP | ES_MULTILINE | ES_WANTRETURN | ES_NOHIDESEL | WS_VSCROLL | ES_AUTOVSCROLL;
  if (ReadOnly) s |= ES_READONLY;
  if (!WordWrap) s |= WS_HSCROLL | ES_AUTOHSCROLL;
  return s;
}

void TRichEdit::CreateHandle() {
  // The class lives in its own library, loaded once for the life of the program.
  static const HMODULE library = LoadLibraryW(L"riched20.dll");
  if (!library) throw Exception("cannot load riched20.dll");
  TWinControl::CreateHandle();
}

void TRichEdit::AfterCreate() {
  Perform(EM_EXLIMITTEXT, 0, MaxLength);
  Perform(EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(ColorToRGB(Color())));
  Perform(EM_SETEVENTMASK, 0, ENM_CHANGE | ENM_SELCHANGE);
  Perform(EM_SETTEXTMODE, PlainText ? TM_PLAINTEXT : TM_RICHTEXT);
  if (!text_.empty()) SetText(text_);
  TFont f = Font();
  defAttributes_.Set(f);
}

std::wstring TRichEdit::ControlText() {
  GETTEXTLENGTHEX len{GTL_NUMCHARS | GTL_PRECISE, 1200};
  auto n = static_cast<size_t>(Perform(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&len)));
  std::wstring buf(n + 1, L'\0');
  GETTEXTEX get{static_cast<DWORD>((n + 1) * sizeof(wchar_t)), GT_DEFAULT, 1200, nullptr, nullptr};
  n = static_cast<size_t>(Perform(EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get), reinterpret_cast<LPARAM>(buf.data())));
  buf.resize(n);
  return buf;
}

// GBK byte positions against the control's character positions: ASCII and the
// paragraph break take one byte, every other character two.
int TRichEdit::ToControl(int gbkPos) {
  std::wstring t = ControlText();
  int bytes = 0;
  size_t i = 0;
  while (i < t.size() && bytes < gbkPos) bytes += t[i++] < 0x80 ? 1 : 2;
  return gbkPos > bytes ? static_cast<int>(t.size()) + 1 : static_cast<int>(i);
}

int TRichEdit::FromControl(int pos) {
  std::wstring t = ControlText();
  int bytes = 0;
  for (size_t i = 0; i < t.size() && static_cast<int>(i) < pos; ++i) bytes += t[i] < 0x80 ? 1 : 2;
  return bytes;
}

CHARRANGE TRichEdit::Selection() {
  CHARRANGE r{0, 0};
  Perform(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&r));
  return r;
}

void TRichEdit::SetSelection(int gbkStart, int gbkLength) {
  CHARRANGE r;
  r.cpMin = ToControl(std::max(gbkStart, 0));
  r.cpMax = ToControl(std::max(gbkStart, 0) + std::max(gbkLength, 0));
  Perform(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&r));
}

std::string TRichEdit::Text() {
  if (!HandleAllocated()) return text_;
  GETTEXTLENGTHEX len{GTL_USECRLF | GTL_NUMCHARS | GTL_PRECISE, 1200};
  auto n = static_cast<size_t>(Perform(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&len)));
  std::wstring buf(n + 1, L'\0');
  GETTEXTEX get{static_cast<DWORD>((n + 1) * sizeof(wchar_t)), GT_USECRLF, 1200, nullptr, nullptr};
  n = static_cast<size_t>(Perform(EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get), reinterpret_cast<LPARAM>(buf.data())));
  buf.resize(n);
  return gbk::FromWide(buf);
}

void TRichEdit::SetText(const std::string& s) {
  text_ = s;
  if (!HandleAllocated()) return;
  std::wstring w = gbk::ToWide(s);
  SETTEXTEX set{ST_DEFAULT, 1200};
  Perform(EM_SETTEXTEX, reinterpret_cast<WPARAM>(&set), reinterpret_cast<LPARAM>(w.c_str()));
}

void TRichEdit::Clear() { SetText(""); }

int TRichEdit::LineCount() { return static_cast<int>(Perform(EM_GETLINECOUNT)); }

std::string TRichEdit::Line(int i) {
  TStringList lines;
  lines.SetText(Text());
  return i >= 0 && i < lines.Count() ? lines[i] : std::string();
}

int TRichEdit::SelStart() { return FromControl(Selection().cpMin); }

void TRichEdit::SetSelStart(int pos) { SetSelection(pos, 0); }

int TRichEdit::SelLength() {
  CHARRANGE r = Selection();
  return FromControl(r.cpMax) - FromControl(r.cpMin);
}

void TRichEdit::SetSelLength(int len) { SetSelection(SelStart(), len); }

std::string TRichEdit::SelText() {
  CHARRANGE r = Selection();
  std::wstring t = ControlText();
  auto from = static_cast<size_t>(std::clamp<LONG>(r.cpMin, 0, static_cast<LONG>(t.size())));
  auto to = static_cast<size_t>(std::clamp<LONG>(r.cpMax, r.cpMin, static_cast<LONG>(t.size())));
  return gbk::FromWide(std::wstring_view(t).substr(from, to - from));
}

void TRichEdit::SetSelText(const std::string& s) {
  Perform(EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(gbk::ToWide(s).c_str()));
}

int TRichEdit::FindText(const std::string& text, int start, int length, bool matchCase) {
  std::wstring w = gbk::ToWide(text);
  FINDTEXTEXW ft{};
  ft.chrg.cpMin = ToControl(start);
  ft.chrg.cpMax = length < 0 ? -1 : ToControl(start + length);
  ft.lpstrText = w.c_str();
  WPARAM flags = FR_DOWN | (matchCase ? FR_MATCHCASE : 0);
  auto found = static_cast<LONG>(Perform(EM_FINDTEXTEXW, flags, reinterpret_cast<LPARAM>(&ft)));
  return found < 0 ? -1 : FromControl(found);
}

bool TRichEdit::Modified() { return Perform(EM_GETMODIFY) != 0; }

void TRichEdit::SetModified(bool v) { Perform(EM_SETMODIFY, v); }

bool TRichEdit::Fail(const std::string& what) {
  lastError_ = what;
  return false;
}

namespace {

struct StreamBuffer {
  std::string data;
  size_t at = 0;
};

DWORD CALLBACK StreamInProc(DWORD_PTR cookie, LPBYTE buf, LONG cb, LONG* done) {
  auto* s = reinterpret_cast<StreamBuffer*>(cookie);
  size_t n = std::min(static_cast<size_t>(cb), s->data.size() - s->at);
  std::copy_n(s->data.data() + s->at, n, buf);
  s->at += n;
  *done = static_cast<LONG>(n);
  return 0;
}

DWORD CALLBACK StreamOutProc(DWORD_PTR cookie, LPBYTE buf, LONG cb, LONG* done) {
  reinterpret_cast<StreamBuffer*>(cookie)->data.append(reinterpret_cast<const char*>(buf), static_cast<size_t>(cb));
  *done = cb;
  return 0;
}

std::string WideBytes(const std::wstring& w) {
  return std::string(reinterpret_cast<const char*>(w.data()), w.size() * sizeof(wchar_t));
}

}  // namespace

// Plain text goes in and out as UTF-16, converted from and to GBK here, so that it
// never depends on the system's code page.
bool TRichEdit::LoadFromString(const std::string& data, bool rtf) {
  HandleNeeded();
  StreamBuffer s{rtf ? data : WideBytes(gbk::ToWide(data))};
  EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&s), 0, StreamInProc};
  Perform(EM_STREAMIN, rtf ? SF_RTF : (SF_TEXT | SF_UNICODE), reinterpret_cast<LPARAM>(&es));
  if (es.dwError) return Fail("cannot read the text into the view");
  return true;
}

std::string TRichEdit::SaveToString(bool rtf) {
  HandleNeeded();
  StreamBuffer s;
  EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&s), 0, StreamOutProc};
  Perform(EM_STREAMOUT, rtf ? SF_RTF : (SF_TEXT | SF_UNICODE), reinterpret_cast<LPARAM>(&es));
  if (rtf) return s.data;
  std::wstring w(s.data.size() / sizeof(wchar_t), L'\0');
  std::copy_n(s.data.data(), w.size() * sizeof(wchar_t), reinterpret_cast<char*>(w.data()));
  return gbk::FromWide(w);
}

bool TRichEdit::LoadFromFile(const std::string& path) {
  std::string data;
  if (!file::ReadAll(path, data)) return Fail("cannot read " + path + ": " + file::LastErrorText());
  bool rtf = !PlainText && data.compare(0, 5, "{\\rtf") == 0;
  return LoadFromString(data, rtf);
}

bool TRichEdit::SaveToFile(const std::string& path) {
  if (!file::WriteAtomic(path, SaveToString(!PlainText))) {
    return Fail("cannot write " + path + ": " + file::LastErrorText());
  }
  return true;
}

bool TRichEdit::Print(HDC printer, const std::string& title) {
  HandleNeeded();
  std::wstring docName = gbk::ToWide(title);
  DOCINFOW di{};
  di.cbSize = sizeof di;
  di.lpszDocName = docName.c_str();
  if (StartDocW(printer, &di) <= 0) return Fail("cannot start the print job");
  // The page in twips, less the printer's unprintable margins.
  int dpiX = GetDeviceCaps(printer, LOGPIXELSX), dpiY = GetDeviceCaps(printer, LOGPIXELSY);
  FORMATRANGE fr{};
  fr.hdc = fr.hdcTarget = printer;
  fr.rcPage = {0, 0, MulDiv(GetDeviceCaps(printer, HORZRES), 1440, dpiX),
               MulDiv(GetDeviceCaps(printer, VERTRES), 1440, dpiY)};
  fr.rc = fr.rcPage;
  GETTEXTLENGTHEX len{GTL_NUMCHARS | GTL_PRECISE, 1200};
  auto total = static_cast<LONG>(Perform(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&len)));
  fr.chrg = {0, -1};
  bool ok = true;
  while (ok && fr.chrg.cpMin < total) {
    ok = StartPage(printer) > 0;
    LONG next = ok ? static_cast<LONG>(Perform(EM_FORMATRANGE, TRUE, reinterpret_cast<LPARAM>(&fr))) : 0;
    ok = ok && EndPage(printer) > 0 && next > fr.chrg.cpMin;
    fr.chrg.cpMin = next;
  }
  Perform(EM_FORMATRANGE, FALSE, 0);
  if (!ok) {
    AbortDoc(printer);
    return Fail("printing failed");
  }
  EndDoc(printer);
  return true;
}

bool TRichEdit::HandleCommand(WORD code) {
  if (code != EN_CHANGE) return false;
  if (OnChange) OnChange(this);
  return true;
}

bool TRichEdit::HandleNotify(NMHDR* n, LRESULT& result) {
  if (n->code != EN_SELCHANGE) return false;
  if (OnSelectionChange) OnSelectionChange(this);
  result = 0;
  return true;
}

// ---- TTreeNode ----

void TTreeNode::SetText(const std::string& s) {
  text_ = s;
  Update();
}

void TTreeNode::SetImageIndex(int i) {
  image_ = i;
  Update();
}

void TTreeNode::SetSelectedIndex(int i) {
  selectedImage_ = i;
  Update();
}

int TTreeNode::Index() const {
  if (!parent_) return 0;
  const auto& c = parent_->children_;
  for (size_t i = 0; i < c.size(); ++i) {
    if (c[i].get() == this) return static_cast<int>(i);
  }
  return -1;
}

int TTreeNode::Level() const {
  int n = -1;  // the hidden root is not a level
  for (const TTreeNode* p = parent_; p; p = p->parent_) ++n;
  return n;
}

bool TTreeNode::Expanded() {
  if (!item_) return false;
  return tree_.Perform(TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item_), TVIS_EXPANDED) & TVIS_EXPANDED;
}

void TTreeNode::Expand(bool recurse) {
  if (item_ && !children_.empty()) tree_.Perform(TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item_));
  if (recurse) {
    for (auto& c : children_) c->Expand(true);
  }
}

void TTreeNode::Collapse(bool recurse) {
  if (item_) tree_.Perform(TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(item_));
  if (recurse) {
    for (auto& c : children_) c->Collapse(true);
  }
}

void TTreeNode::Delete() { tree_.Items().Delete(this); }

// Puts this node and its subtree into the window, after the given sibling item.
void TTreeNode::CreateItems(HTREEITEM after) {
  std::wstring w = gbk::ToWide(text_);
  TVINSERTSTRUCTW ins{};
  ins.hParent = parent_ && parent_->parent_ ? parent_->item_ : TVI_ROOT;
  ins.hInsertAfter = after;
  ins.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  ins.item.pszText = w.data();
  ins.item.lParam = reinterpret_cast<LPARAM>(this);
  ins.item.iImage = image_;
  ins.item.iSelectedImage = selectedImage_;
  item_ = reinterpret_cast<HTREEITEM>(tree_.Perform(TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&ins)));
  for (auto& c : children_) c->CreateItems(TVI_LAST);
}

void TTreeNode::Update() {
  if (!item_) return;
  std::wstring w = gbk::ToWide(text_);
  TVITEMW it{};
  it.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  it.hItem = item_;
  it.pszText = w.data();
  it.iImage = image_;
  it.iSelectedImage = selectedImage_;
  tree_.Perform(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&it));
}

// ---- TTreeNodes ----

int TTreeNodes::Count() const {
  int n = 0;
  std::vector<const TTreeNode*> todo{&root_};
  while (!todo.empty()) {
    const TTreeNode* t = todo.back();
    todo.pop_back();
    for (auto& c : t->children_) todo.push_back(c.get());
    n += static_cast<int>(t->children_.size());
  }
  return n;
}

TTreeNode* TTreeNodes::AddAt(TTreeNode* parent, int index, const std::string& text) {
  if (!parent) parent = &root_;
  auto node = std::make_unique<TTreeNode>(tree_, parent);
  node->text_ = text;
  TTreeNode* n = node.get();
  auto& c = parent->children_;
  c.insert(c.begin() + index, std::move(node));
  if (tree_.HandleAllocated() && (parent == &root_ || parent->item_)) {
    n->CreateItems(index == 0 ? TVI_FIRST : c[static_cast<size_t>(index) - 1]->item_);
  }
  return n;
}

TTreeNode* TTreeNodes::Add(TTreeNode* sibling, const std::string& text) {
  TTreeNode* parent = sibling ? sibling->parent_ : &root_;
  return AddAt(parent, parent->Count(), text);
}

TTreeNode* TTreeNodes::AddChild(TTreeNode* parent, const std::string& text) {
  if (!parent) parent = &root_;
  return AddAt(parent, parent->Count(), text);
}

TTreeNode* TTreeNodes::Insert(TTreeNode* before, const std::string& text) {
  if (!before) return AddChild(nullptr, text);
  return AddAt(before->parent_, before->Index(), text);
}

void TTreeNodes::Delete(TTreeNode* node) {
  if (!node || node == &root_) return;
  if (node->item_) tree_.Perform(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(node->item_));
  auto& c = node->parent_->children_;
  c.erase(c.begin() + node->Index());
}

void TTreeNodes::Clear() {
  tree_.Perform(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
  root_.children_.clear();
}

// ---- TTreeView ----

TTreeView::TTreeView(TComponent* owner) : TWinControl(owner), items_(*this) { SetColor(clWindow); }

TTreeView::~TTreeView() { DestroyHandle(); }

DWORD TTreeView::CreateStyle() const {
  DWORD s = TControl::CreateStyle() | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS;
  if (!ReadOnly) s |= TVS_EDITLABELS;
  return s;
}

void TTreeView::AfterCreate() {
  if (Images) Perform(TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(Images));
  Perform(TVM_SETBKCOLOR, 0, static_cast<LPARAM>(ColorToRGB(Color())));
  for (auto& c : items_.root_.children_) c->CreateItems(TVI_LAST);
}

void TTreeView::DestroyHandle() {
  // The items go with the window; the nodes stay, to be put into a new window.
  std::vector<TTreeNode*> todo{&items_.root_};
  while (!todo.empty()) {
    TTreeNode* t = todo.back();
    todo.pop_back();
    t->item_ = nullptr;
    for (auto& c : t->children_) todo.push_back(c.get());
  }
  destroying_ = true;
  TWinControl::DestroyHandle();
  destroying_ = false;
}

TTreeNode* TTreeView::NodeOf(HTREEITEM item) {
  if (!item) return nullptr;
  TVITEMW it{};
  it.mask = TVIF_PARAM;
  it.hItem = item;
  if (!Perform(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&it))) return nullptr;
  return reinterpret_cast<TTreeNode*>(it.lParam);
}

TTreeNode* TTreeView::Selected() { return NodeOf(reinterpret_cast<HTREEITEM>(Perform(TVM_GETNEXTITEM, TVGN_CARET))); }

void TTreeView::SetSelected(TTreeNode* node) {
  Perform(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(node ? node->item_ : nullptr));
}

void TTreeView::FullExpand() {
  for (auto& c : items_.root_.children_) c->Expand(true);
}

void TTreeView::FullCollapse() {
  for (auto& c : items_.root_.children_) c->Collapse(true);
}

TTreeNode* TTreeView::GetNodeAt(int x, int y) {
  TVHITTESTINFO hit{};
  hit.pt = {x, y};
  Perform(TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
  return (hit.flags & TVHT_ONITEM) ? NodeOf(hit.hItem) : nullptr;
}

bool TTreeView::HandleNotify(NMHDR* n, LRESULT& result) {
  if (n->code == NM_RCLICK && PopupMenu && !destroying_) {
    // The popup opens here, where the click was; answering the click keeps the tree
    // from sending a context menu of its own as well.
    DWORD at = GetMessagePos();
    Perform(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd_), static_cast<LPARAM>(at));
    result = 1;
    return true;
  }
  if (n->code == NM_DBLCLK && OnDblClick && !destroying_) {
    OnDblClick(this);
    result = 0;
    return true;
  }
  if (n->code != TVN_SELCHANGEDW || destroying_) return false;
  if (OnChange) OnChange(this);
  result = 0;
  return true;
}
