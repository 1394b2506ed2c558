// The rich edit and its text and paragraph attributes.
#include "classlib/ComCtrls.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string_view>

#include "classlib/EditKeys.h"
#include "classlib/Files.h"
#include "classlib/Gbk.h"
#include "classlib/RichTextFilter.h"
#include "classlib/TStringList.h"

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

namespace {

// Under Wine a naming listing of some 23,000 characters clears in 27-50 ms unwrapped and
// 76-108 ms wrapped; at 10,000 the two are alike.
constexpr LRESULT kUnwrapBeforeClearChars = 8 * 1024;

}  // namespace

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

namespace {

constexpr UINT_PTR kNewHeightTimer = 0x5245;
constexpr UINT kNewHeightDelayMs = 150;
constexpr LRESULT kLongText = 100000;  // characters; below this a new layout is quick

}  // namespace

// The rich edit lays its whole text out again at every change of its size, height alone
// included: a quarter of a second for a long listing. While such a text's width stays,
// a new height waits until the sizing has paused; meanwhile the lines laid out show.
bool TRichEdit::PutOffNewHeight(const WINDOWPOS& pos) {
  if (pos.flags & SWP_NOSIZE) return false;
  RECT client;
  GetClientRect(hwnd_, &client);
  if (client.right != laidOutWidth_ || TWinControl::WndProc(WM_GETTEXTLENGTH, 0, 0) < kLongText) {
    KillTimer(hwnd_, kNewHeightTimer);
    laidOutWidth_ = client.right;
    return false;
  }
  SetTimer(hwnd_, kNewHeightTimer, kNewHeightDelayMs, nullptr);
  return true;
}

void TRichEdit::TakeNewHeight() {
  KillTimer(hwnd_, kNewHeightTimer);
  RECT r;
  GetWindowRect(hwnd_, &r);
  MapWindowPoints(nullptr, GetParent(hwnd_), reinterpret_cast<POINT*>(&r), 2);
  WINDOWPOS pos{hwnd_, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE};
  TWinControl::WndProc(WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
}

LRESULT TRichEdit::WndProc(UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_WINDOWPOSCHANGED && PutOffNewHeight(*reinterpret_cast<const WINDOWPOS*>(l)))
    return DefWindowProcW(hwnd_, msg, w, l);
  if (msg == WM_TIMER && w == kNewHeightTimer) {
    TakeNewHeight();
    return 0;
  }
  if ((msg == WM_KEYDOWN || msg == WM_CHAR) && editkeys::CtrlTab(hwnd_, msg, w)) return 0;
  if (msg == WM_GETDLGCODE && l) return editkeys::MultiLineDialogCode(hwnd_, TWinControl::WndProc(msg, w, l), l);
  return TWinControl::WndProc(msg, w, l);
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

void TRichEdit::Clear() {
  // Wine deletes text a run at a time, each time walking the paragraph's lines from its
  // start: a wrapped paragraph of tens of thousands of characters takes seconds. Laid
  // out unwrapped, such a paragraph is one line, and goes at once.
  GETTEXTLENGTHEX len{GTL_NUMCHARS, 1200};
  const bool unwrap = WordWrap && HandleAllocated() &&
                      Perform(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&len)) > kUnwrapBeforeClearChars;
  if (unwrap) Perform(EM_SETTARGETDEVICE, 0, 1);
  SetText("");
  if (unwrap) Perform(EM_SETTARGETDEVICE, 0, 0);
}

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

// Wine's rich edit lays out a paragraph in time that grows with the square of its
// longest run of one format, and joins neighbouring runs of one format before each
// layout: a paragraph of tens of thousands of characters takes minutes. So the text
// goes in as runs of a few dozen characters whose fonts differ only in the family
// bits. The face is found by its name, so the glyphs and the look stay the same, and
// the RTF writer, which names fonts by face and charset, saves what it saves for one
// run.
constexpr size_t kRunChars = 64;

void AppendRtfText(std::string& out, std::wstring_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    const wchar_t c = text[i];
    if (c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') {
      out += "\\par\r\n";
      ++i;
    } else if (c == L'\\' || c == L'{' || c == L'}') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c >= 0x20 && c < 0x80) {
      out += static_cast<char>(c);
    } else {
      // \u takes a signed 16-bit number; the '?' stands for readers without Unicode.
      out += "\\u" + std::to_string(static_cast<int16_t>(c)) + "?";
    }
  }
}

// Readers take a font's name as bytes of its charset (\u is not read there).
std::string FontTableEntry(int number, const char* family, const std::string& face) {
  std::string out = "{\\f" + std::to_string(number) + family + "\\fcharset134 ";
  for (unsigned char c : face) {
    char hex[5];
    std::snprintf(hex, sizeof hex, "\\'%02x", c);
    out += hex;
  }
  return out + ";}";
}

// The text as RTF in runs that alternate between two fonts of one face.
std::string PlainTextAsRuns(std::wstring_view text, const TFont& f, size_t& run) {
  const COLORREF c = ColorToRGB(f.Color);
  std::string out = "{\\rtf1\\ansi\\uc1{\\fonttbl" + FontTableEntry(0, "\\fnil", f.Name) +
                    FontTableEntry(1, "\\froman", f.Name) + "}";
  out += "{\\colortbl ;\\red" + std::to_string(GetRValue(c)) + "\\green" + std::to_string(GetGValue(c)) + "\\blue" +
         std::to_string(GetBValue(c)) + ";}";
  out += "\\cf1\\fs" + std::to_string(f.Size * 2) + (f.Bold ? "\\b" : "") + (f.Italic ? "\\i" : "") +
         (f.Underline ? "\\ul" : "") + " ";
  for (size_t at = 0; at < text.size(); ++run) {
    size_t n = std::min(kRunChars, text.size() - at);
    if (text[at + n - 1] == L'\r' && at + n < text.size()) ++n;  // a line break stays whole
    out += run % 2 ? "\\f1 " : "\\f0 ";
    AppendRtfText(out, text.substr(at, n));
    at += n;
  }
  return out + "}";
}

}  // namespace

void TRichEdit::AppendText(const std::string& s, const TFont& font, AppendState& state) {
  if (s.empty()) return;
  HandleNeeded();
  const std::wstring text = gbk::ToWide(s);
  StreamBuffer data{PlainTextAsRuns(text, font, state.run)};
  POINT scroll{};
  Perform(EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scroll));
  const CHARRANGE now = Selection();
  if (!state.open) state.modified = Modified();
  // A selection other than the waiting caret is the user's, made between pieces.
  if (!state.open || now.cpMin != state.end || now.cpMax != state.end) {
    state.kept = now;
    CHARRANGE end{-1, -1};
    Perform(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&end));
  }
  state.open = true;
  EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&data), 0, StreamInProc};
  Perform(EM_STREAMIN, SF_RTF | SFF_SELECTION, reinterpret_cast<LPARAM>(&es));
  // The caret waits only where the next piece goes: at the end.
  GETTEXTLENGTHEX length{GTL_NUMCHARS, 1200};
  const auto total = static_cast<LONG>(Perform(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length)));
  const CHARRANGE after = Selection();
  state.end = after.cpMin == total && after.cpMax == total ? total : -1;
  // Like text set whole, what came in cannot be undone piece by piece.
  Perform(EM_EMPTYUNDOBUFFER);
  // Drawing stays on: Wine's rich edit hides its scroll bar after WM_SETREDRAW.
  Perform(EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scroll));
}

void TRichEdit::EndAppend(AppendState& state) {
  if (!state.open) return;
  POINT scroll{};
  Perform(EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scroll));
  const CHARRANGE now = Selection();
  const CHARRANGE kept = now.cpMin == state.end && now.cpMax == state.end ? state.kept : now;
  Perform(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&kept));
  Perform(EM_EMPTYUNDOBUFFER);
  SetModified(state.modified);
  Perform(EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scroll));
  state.open = false;
  state.end = -1;
}

// Plain text goes in and out as UTF-16, converted from and to GBK here, so that it
// never depends on the system's code page.
bool TRichEdit::LoadFromString(const std::string& data, bool rtf) {
  HandleNeeded();
  StreamBuffer s{rtf ? data : WideBytes(gbk::ToWide(data))};
  EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&s), 0, StreamInProc};
  Perform(EM_STREAMIN, rtf ? SF_RTF : (SF_TEXT | SF_UNICODE), reinterpret_cast<LPARAM>(&es));
  if (es.dwError) return Fail(gbk::U("显示框无法接收这段文字。"));
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
  // The system's reader breaks on some files: it gets only what a parse of the file writes anew.
  ViewText text;
  std::string why;
  if (!ReadRichTextFile(path, PlainText, text, why)) return Fail(why);
  if (LoadFromString(text.data, text.rtf)) return true;
  return Fail(gbk::U("文件“") + path + gbk::U("”的文字无法载入显示框。"));
}

bool TRichEdit::SaveToFile(const std::string& path) {
  if (!file::WriteAtomic(path, SaveToString(!PlainText))) {
    return Fail(gbk::U("无法写入文件“") + path + gbk::U("”：") + file::LastReason());
  }
  return true;
}

bool TRichEdit::Print(HDC printer, const std::string& title) {
  HandleNeeded();
  std::wstring docName = gbk::ToWide(title);
  DOCINFOW di{};
  di.cbSize = sizeof di;
  di.lpszDocName = docName.c_str();
  if (StartDocW(printer, &di) <= 0) return Fail(gbk::U("无法开始打印。"));
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
    return Fail(gbk::U("打印失败。"));
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
