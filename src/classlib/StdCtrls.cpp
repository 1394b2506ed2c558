#include "classlib/StdCtrls.h"

#include "classlib/EditKeys.h"
#include "classlib/Forms.h"
#include "classlib/Gbk.h"
#include "classlib/StrUtils.h"
#include "classlib/TStringList.h"

#include <algorithm>
#include <cmath>

HBRUSH TLabel::HandleCtlColor(HDC dc) {
  HBRUSH b = TControl::HandleCtlColor(dc);
  if (Transparent) {
    SetBkMode(dc, TRANSPARENT);
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  }
  return b;
}

void TLabel::SetText(const std::string& s) {
  TControl::SetText(s);
  if (Transparent && hwnd_) RedrawWithParent();
}

// A see-through label is painted after what lies behind it: the parent repaints its
// place, the label with it, in the order the system paints them.
void TLabel::RedrawWithParent() {
  HWND parent = GetParent(hwnd_);
  RECT r;
  GetWindowRect(hwnd_, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  RedrawWindow(parent, &r, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// Containers leave their children out of their own painting, except the windows marked
// WS_EX_TRANSPARENT: a label the parent shows through carries the mark, and when it
// gains it the parent paints what lies behind it again.
void TLabel::KeepTransparentStyle() {
  const LONG_PTR ex = GetWindowLongPtrW(hwnd_, GWL_EXSTYLE);
  if (((ex & WS_EX_TRANSPARENT) != 0) == Transparent) return;
  SetWindowLongPtrW(hwnd_, GWL_EXSTYLE, Transparent ? ex | WS_EX_TRANSPARENT : ex & ~WS_EX_TRANSPARENT);
  RedrawWithParent();
}

LRESULT TLabel::WndProc(UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_PAINT) KeepTransparentStyle();
  // A label has no frame: there is nothing to draw outside its text, and asking the
  // system to draw nothing costs Wine a trip to its server.
  if (msg == WM_NCPAINT) return 0;
  if (Outline && msg == WM_PAINT) {
    PaintOutlined();
    return 0;
  }
  if (Outline && msg == WM_ERASEBKGND) return 1;
  return TControl::WndProc(msg, w, l);
}

namespace {

// Relative luminance of a colour (sRGB), 0 for black to 1 for white.
double Luminance(COLORREF c) {
  auto channel = [](int v) {
    double x = v / 255.0;
    return x <= 0.03928 ? x / 12.92 : std::pow((x + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * channel(GetRValue(c)) + 0.7152 * channel(GetGValue(c)) + 0.0722 * channel(GetBValue(c));
}

}  // namespace

COLORREF RimColour(COLORREF text) {
  // The contrast ratio (L1 + 0.05) / (L2 + 0.05) against white and against black.
  double l = Luminance(text);
  return 1.05 / (l + 0.05) >= (l + 0.05) / 0.05 ? RGB(255, 255, 255) : RGB(0, 0, 0);
}

void TLabel::PaintOutlined() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd_, &ps);
  RECT r;
  GetClientRect(hwnd_, &r);
  crisp_ = SharedFont(Font(), true);
  HGDIOBJ old = SelectObject(dc, crisp_.get());
  SetBkMode(dc, TRANSPARENT);
  std::wstring text = gbk::ToWide(Text());
  const UINT flags = DT_WORDBREAK | DT_NOPREFIX;
  // The parent answers the text colour, as it does for a static's own painting (a skin
  // may change it there).
  SetTextColor(dc, ColorToRGB(Font().Color));
  if (HWND parent = GetParent(hwnd_))
    SendMessageW(parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd_));
  const COLORREF colour = GetTextColor(dc);
  SetTextColor(dc, RimColour(colour));
  for (int dx = -1; dx <= 1; ++dx) {
    for (int dy = -1; dy <= 1; ++dy) {
      if (dx == 0 && dy == 0) continue;
      RECT shifted = r;
      OffsetRect(&shifted, dx + 1, dy + 1);
      DrawTextW(dc, text.c_str(), -1, &shifted, flags);
    }
  }
  SetTextColor(dc, colour);
  OffsetRect(&r, 1, 1);
  DrawTextW(dc, text.c_str(), -1, &r, flags);
  SelectObject(dc, old);
  EndPaint(hwnd_, &ps);
}

bool TLabel::HandleCommand(WORD code) {
  if (code == STN_CLICKED)
    Click();
  else if (code == STN_DBLCLK && OnDblClick)
    OnDblClick(this);
  return true;
}

bool TButton::HandleCommand(WORD code) {
  if (code != BN_CLICKED) return false;
  // A button of a modal form answers with its result before its own handler runs.
  if (ModalResult != 0) {
    for (TWinControl* p = Parent(); p; p = p->Parent()) {
      if (auto* f = dynamic_cast<TForm*>(p)) {
        f->ModalResult = ModalResult;
        break;
      }
    }
  }
  Click();
  return true;
}

bool TButtonControl::Checked() {
  if (HandleAllocated()) checked_ = SendMessageW(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED;
  return checked_;
}

void TButtonControl::SetChecked(bool v) {
  checked_ = v;
  if (HandleAllocated()) SendMessageW(hwnd_, BM_SETCHECK, v ? BST_CHECKED : BST_UNCHECKED, 0);
  CheckChanged();
}

void TButtonControl::AfterCreate() { SetChecked(checked_); }

bool TButtonControl::HandleCommand(WORD code) {
  if (code != BN_CLICKED) return false;
  Checked();
  Click();
  return true;
}

std::vector<TRadioButton*> TRadioButton::Group() const {
  std::vector<TRadioButton*> group;
  if (TWinControl* p = Parent()) {
    for (int i = 0; i < p->ControlCount(); ++i) {
      if (auto* r = dynamic_cast<TRadioButton*>(p->Controls(i))) group.push_back(r);
    }
  }
  return group;
}

void TRadioButton::UpdateTabStops() {
  std::vector<TRadioButton*> group = Group();
  auto ticked = std::find_if(group.begin(), group.end(), [](TRadioButton* r) { return r->Checked(); });
  TRadioButton* stop = ticked != group.end() ? *ticked : group.empty() ? this : group.front();
  for (TRadioButton* r : group) {
    if (!r->HandleAllocated()) continue;
    // Only a real change: a new style in the middle of a click loses the click.
    const LONG_PTR style = GetWindowLongPtrW(r->hwnd_, GWL_STYLE);
    const LONG_PTR wanted = r == stop ? style | WS_TABSTOP : style & ~WS_TABSTOP;
    if (wanted != style) SetWindowLongPtrW(r->hwnd_, GWL_STYLE, wanted);
  }
}

bool TRadioButton::HandleCommand(WORD code) {
  if (code != BN_CLICKED) return false;
  // The system clears the other buttons of the group; keep their stored state in step.
  for (TRadioButton* r : Group()) r->Checked();
  UpdateTabStops();
  Click();
  return true;
}

void TRadioButton::MoveInGroup(bool forward) {
  std::vector<TRadioButton*> group = Group();
  const size_t n = group.size();
  const size_t at = static_cast<size_t>(std::find(group.begin(), group.end(), this) - group.begin());
  for (size_t step = 1; at < n && step < n; ++step) {
    TRadioButton* next = group[(at + (forward ? step : n - step)) % n];
    HWND h = next->HandleAllocated() ? next->hwnd_ : nullptr;
    if (!h || !IsWindowVisible(h) || !IsWindowEnabled(h)) continue;
    for (TRadioButton* r : group) r->SetChecked(r == next);
    SetFocus(h);
    // Heard as a click, as the dialog keys tick a button.
    SendMessageW(GetParent(h), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(h), BN_CLICKED), reinterpret_cast<LPARAM>(h));
    return;
  }
}

DWORD TEdit::CreateStyle() const {
  return TControl::CreateStyle() | WS_TABSTOP | ES_AUTOHSCROLL | (ReadOnly ? ES_READONLY : 0);
}

bool TEdit::HandleCommand(WORD code) {
  if (code == EN_CHANGE && OnChange) OnChange(this);
  return code == EN_CHANGE;
}

LRESULT TEdit::WndProc(UINT msg, WPARAM w, LPARAM l) {
  const bool ctrlOnly = GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_MENU) >= 0;
  if (msg == WM_KEYDOWN && w == 'A' && ctrlOnly) {
    SendMessageW(hwnd_, EM_SETSEL, 0, -1);
    return 0;
  }
  if (msg == WM_CHAR && w == 1) return 0;  // Ctrl+A's character: no beep, nothing typed
  const bool multiLine = GetWindowLongW(hwnd_, GWL_STYLE) & ES_MULTILINE;
  if (multiLine && (msg == WM_KEYDOWN || msg == WM_CHAR) && editkeys::CtrlTab(hwnd_, msg, w)) return 0;
  LRESULT result = 0;
  auto base = [this](UINT m, WPARAM a, LPARAM b) { return TWinControl::WndProc(m, a, b); };
  if (MaxLength > 0 && editkeys::LimitBytes(hwnd_, MaxLength, msg, w, l, base, result)) return result;
  if (msg == WM_GETDLGCODE && l && multiLine) {
    // A memo takes every key, Esc too; a read-only one has no typing to keep, so Esc
    // goes on to the form, which closes as it would from anywhere else.
    LRESULT code = editkeys::MultiLineDialogCode(hwnd_, TWinControl::WndProc(msg, w, l), l);
    const MSG* m = reinterpret_cast<const MSG*>(l);
    const bool readOnly = GetWindowLongW(hwnd_, GWL_STYLE) & ES_READONLY;
    if (readOnly && m->message == WM_KEYDOWN && m->wParam == VK_ESCAPE) code &= ~(DLGC_WANTALLKEYS | DLGC_WANTMESSAGE);
    return code;
  }
  return TWinControl::WndProc(msg, w, l);
}

HBRUSH TEdit::HandleCtlColor(HDC dc) {
  if (!IsWindowEnabled(hwnd_)) {  // a disabled box looks it: grey on the face
    SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return GetSysColorBrush(COLOR_BTNFACE);
  }
  SetTextColor(dc, ColorToRGB(Font().Color));
  SetBkColor(dc, ColorToRGB(clWindow));
  return GetSysColorBrush(COLOR_WINDOW);
}

DWORD TMemo::CreateStyle() const {
  DWORD s = TControl::CreateStyle() | WS_TABSTOP | ES_MULTILINE | ES_WANTRETURN | (ReadOnly ? ES_READONLY : 0);
  if (ScrollBars == ssVertical || ScrollBars == ssBoth) s |= WS_VSCROLL;
  if (ScrollBars == ssHorizontal || ScrollBars == ssBoth) s |= WS_HSCROLL;
  if (!WordWrap) s |= ES_AUTOHSCROLL;
  return s;
}

TPanel::TPanel(TComponent* owner) : TWinControl(owner) {}

// The panel's fill covers the see-through children it does not clip. A child painted
// before its panel (the system paints a window at once when asked to) would stay covered,
// so each paints again over what the panel has just painted.
void TPanel::RepaintSeeThroughChildren(const RECT& painted) {
  for (HWND c = GetWindow(hwnd_, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    if (!(GetWindowLongPtrW(c, GWL_EXSTYLE) & WS_EX_TRANSPARENT) || !IsWindowVisible(c)) continue;
    RECT r, both;
    GetWindowRect(c, &r);
    MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
    if (!IntersectRect(&both, &r, &painted)) continue;
    OffsetRect(&both, -r.left, -r.top);
    InvalidateRect(c, &both, FALSE);
  }
}

LRESULT TPanel::WndProc(UINT msg, WPARAM w, LPARAM l) {
  // The bevel runs along the edges: a new size redraws it all, or the old edge stays.
  if (msg == WM_SIZE && BevelOuter != bvNone && hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
  if (msg == WM_ERASEBKGND) {
    RECT r;
    GetClientRect(hwnd_, &r);
    HDC dc = reinterpret_cast<HDC>(w);
    FillRect(dc, &r, BackgroundBrush());
    if (BevelOuter != bvNone) DrawEdge(dc, &r, BevelOuter == bvRaised ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT);
    return 1;
  }
  if (msg == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_, &ps);
    std::wstring text = gbk::ToWide(Text());
    if (!text.empty()) {
      RECT r;
      GetClientRect(hwnd_, &r);
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, ColorToRGB(Font().Color));
      HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(hwnd_, WM_GETFONT, 0, 0)));
      DrawTextW(dc, text.c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
      SelectObject(dc, old);
    }
    EndPaint(hwnd_, &ps);
    RepaintSeeThroughChildren(ps.rcPaint);
    return 0;
  }
  if (msg == WM_SETFONT) {
    // Our own class keeps the font itself, for painting the caption.
    font_handle_ = reinterpret_cast<HFONT>(w);
    if (LOWORD(l)) Invalidate();
    return 0;
  }
  if (msg == WM_GETFONT) return reinterpret_cast<LRESULT>(font_handle_);
  return TWinControl::WndProc(msg, w, l);
}

// ---- TItemStrings ----

int TItemStrings::Add(const std::string& s) {
  Insert(Count(), s);
  return Count() - 1;
}

void TItemStrings::Insert(int i, const std::string& s) {
  if (i < 0 || i > Count()) throw Exception("list index out of bounds " + IntToStr(i));
  items_.insert(items_.begin() + i, s);
  control_.Perform(InsertMsg(), static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(gbk::ToWide(s).c_str()));
}

void TItemStrings::Delete(int i) {
  if (i < 0 || i >= Count()) throw Exception("list index out of bounds " + IntToStr(i));
  items_.erase(items_.begin() + i);
  control_.Perform(combo_ ? CB_DELETESTRING : LB_DELETESTRING, static_cast<WPARAM>(i));
}

void TItemStrings::Clear() {
  items_.clear();
  control_.Perform(combo_ ? CB_RESETCONTENT : LB_RESETCONTENT);
}

int TItemStrings::IndexOf(const std::string& s) const {
  for (int i = 0; i < Count(); ++i) {
    if (SameText(items_[static_cast<size_t>(i)], s)) return i;
  }
  return -1;
}

std::string TItemStrings::Text() const {
  std::string t;
  for (const std::string& s : items_) t += s + "\r\n";
  return t;
}

void TItemStrings::SetText(const std::string& text) {
  TStringList lines;
  lines.SetText(text);
  Clear();
  for (int i = 0; i < lines.Count(); ++i) Add(lines[i]);
}

void TItemStrings::Fill() {
  control_.Perform(combo_ ? CB_RESETCONTENT : LB_RESETCONTENT);
  for (size_t i = 0; i < items_.size(); ++i) {
    control_.Perform(InsertMsg(), i, reinterpret_cast<LPARAM>(gbk::ToWide(items_[i]).c_str()));
  }
}

// ---- TComboBox ----

TComboBox::TComboBox(TComponent* owner) : TWinControl(owner), items_(*this, true) { SetColor(clWindow); }

DWORD TComboBox::CreateStyle() const {
  DWORD s = TControl::CreateStyle() | WS_TABSTOP | WS_VSCROLL;
  switch (Style) {
    case csDropDownList:
      return s | CBS_DROPDOWNLIST;
    case csSimple:
      return s | CBS_SIMPLE | CBS_AUTOHSCROLL;
    default:
      return s | CBS_DROPDOWN | CBS_AUTOHSCROLL;
  }
}

int TComboBox::ExtraWindowHeight() const {
  if (Style == csSimple) return 0;
  return DropDownCount * (Font().Size * 2 + 2) + 2;  // about one item a line of the font
}

void TComboBox::AfterCreate() {
  items_.Fill();
  // The typed text lives in the box's own edit, which takes the limit in bytes.
  if (MaxLength > 0 && Style != csDropDownList)
    editkeys::AttachByteLimit(FindWindowExW(hwnd_, nullptr, L"Edit", nullptr), MaxLength);
  if (index_ >= 0)
    SendMessageW(hwnd_, CB_SETCURSEL, index_, 0);
  else if (Style != csDropDownList)
    SetWindowTextW(hwnd_, gbk::ToWide(text_).c_str());
}

int TComboBox::ItemIndex() {
  if (HandleAllocated()) index_ = static_cast<int>(SendMessageW(hwnd_, CB_GETCURSEL, 0, 0));
  return index_;
}

void TComboBox::SetItemIndex(int i) {
  index_ = (i >= 0 && i < items_.Count()) ? i : -1;
  text_ = index_ >= 0 ? items_[index_] : std::string();
  Perform(CB_SETCURSEL, static_cast<WPARAM>(index_));
}

std::string TComboBox::Text() {
  if (!HandleAllocated()) return text_;
  return TControl::Text();
}

void TComboBox::SetText(const std::string& s) {
  // A drop-down list shows only its items: choosing by text selects the item.
  if (Style == csDropDownList) {
    SetItemIndex(items_.IndexOf(s));
    return;
  }
  index_ = items_.IndexOf(s);
  if (HandleAllocated()) SendMessageW(hwnd_, CB_SETCURSEL, index_, 0);
  TControl::SetText(s);
}

bool TComboBox::HandleCommand(WORD code) {
  switch (code) {
    case CBN_SELCHANGE:
      ItemIndex();
      if (OnSelect) OnSelect(this);
      Click();
      if (OnChange) OnChange(this);
      return true;
    case CBN_EDITCHANGE:
      index_ = -1;
      if (OnChange) OnChange(this);
      return true;
    default:
      return false;
  }
}

HBRUSH TComboBox::HandleCtlColor(HDC dc) {
  SetTextColor(dc, ColorToRGB(Font().Color));
  SetBkColor(dc, ColorToRGB(Color()));
  return BackgroundBrush();
}

// ---- TListBox ----

TListBox::TListBox(TComponent* owner) : TWinControl(owner), items_(*this, false) { SetColor(clWindow); }

DWORD TListBox::CreateStyle() const {
  DWORD s = TControl::CreateStyle() | WS_TABSTOP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
  return s | (Columns > 0 ? LBS_MULTICOLUMN | WS_HSCROLL : WS_VSCROLL);
}

void TListBox::AfterCreate() {
  if (ItemHeight > 0) SendMessageW(hwnd_, LB_SETITEMHEIGHT, 0, ItemHeight);
  if (Columns > 0) SendMessageW(hwnd_, LB_SETCOLUMNWIDTH, ClientWidth() / Columns, 0);
  items_.Fill();
  if (index_ >= 0) SendMessageW(hwnd_, LB_SETCURSEL, index_, 0);
}

int TListBox::ItemIndex() {
  if (HandleAllocated()) index_ = static_cast<int>(SendMessageW(hwnd_, LB_GETCURSEL, 0, 0));
  return index_;
}

void TListBox::SetItemIndex(int i) {
  index_ = (i >= 0 && i < items_.Count()) ? i : -1;
  Perform(LB_SETCURSEL, static_cast<WPARAM>(index_));
}

int TListBox::TopIndex() { return static_cast<int>(Perform(LB_GETTOPINDEX)); }

bool TListBox::HandleCommand(WORD code) {
  if (code == LBN_SELCHANGE) {
    ItemIndex();
    Click();
    return true;
  }
  if (code == LBN_DBLCLK) {
    if (OnDblClick) OnDblClick(this);
    return true;
  }
  return false;
}

HBRUSH TListBox::HandleCtlColor(HDC dc) {
  if (!IsWindowEnabled(hwnd_)) {  // a disabled list looks it: grey on the face
    SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return GetSysColorBrush(COLOR_BTNFACE);
  }
  SetTextColor(dc, ColorToRGB(Font().Color));
  SetBkColor(dc, ColorToRGB(Color()));
  return BackgroundBrush();
}

// ---- TCheckListBox ----

DWORD TCheckListBox::CreateStyle() const { return TListBox::CreateStyle() | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS; }

bool TCheckListBox::Checked(int i) const { return i >= 0 && static_cast<size_t>(i) < checked_.size() && checked_[i]; }

void TCheckListBox::SetChecked(int i, bool v) {
  if (i < 0 || i >= Items().Count()) throw Exception("list index out of bounds " + IntToStr(i));
  if (checked_.size() <= static_cast<size_t>(i)) checked_.resize(static_cast<size_t>(i) + 1, false);
  checked_[static_cast<size_t>(i)] = v;
  if (HandleAllocated()) {
    RECT r;
    if (SendMessageW(hwnd_, LB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&r)) != LB_ERR) InvalidateRect(hwnd_, &r, TRUE);
  }
}

void TCheckListBox::Toggle(int i) {
  if (i < 0 || i >= Items().Count()) return;
  SetChecked(i, !Checked(i));
  if (OnClickCheck) OnClickCheck(this);
}

int TCheckListBox::BoxWidth() const { return Font().Size * 2; }

bool TCheckListBox::HandleDrawItem(DRAWITEMSTRUCT* d) {
  if (d->itemID == static_cast<UINT>(-1)) return true;
  const bool enabled = IsWindowEnabled(hwnd_);
  bool selected = enabled && (d->itemState & ODS_SELECTED);
  FillRect(d->hDC, &d->rcItem,
           selected  ? GetSysColorBrush(COLOR_HIGHLIGHT)
           : enabled ? BackgroundBrush()
                     : GetSysColorBrush(COLOR_BTNFACE));
  int side = std::min(BoxWidth(), static_cast<int>(d->rcItem.bottom - d->rcItem.top)) - 2;
  RECT box{d->rcItem.left + 2, d->rcItem.top + 1, d->rcItem.left + 2 + side, d->rcItem.top + 1 + side};
  DrawFrameControl(
      d->hDC, &box, DFC_BUTTON,
      DFCS_BUTTONCHECK | (Checked(static_cast<int>(d->itemID)) ? DFCS_CHECKED : 0) | (enabled ? 0 : DFCS_INACTIVE));
  RECT text = d->rcItem;
  text.left = box.right + 4;
  SetBkMode(d->hDC, TRANSPARENT);
  SetTextColor(d->hDC, selected  ? GetSysColor(COLOR_HIGHLIGHTTEXT)
                       : enabled ? ColorToRGB(Font().Color)
                                 : GetSysColor(COLOR_GRAYTEXT));
  std::wstring w = gbk::ToWide(Items()[static_cast<int>(d->itemID)]);
  DrawTextW(d->hDC, w.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  if (d->itemState & ODS_FOCUS) DrawFocusRect(d->hDC, &d->rcItem);
  return true;
}

LRESULT TCheckListBox::WndProc(UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK) {
    int x = static_cast<short>(LOWORD(l)), y = static_cast<short>(HIWORD(l));
    LRESULT hit = DefaultHandler(LB_ITEMFROMPOINT, 0, MAKELPARAM(x, y));
    RECT item{};
    if (!HIWORD(hit)) DefaultHandler(LB_GETITEMRECT, LOWORD(hit), reinterpret_cast<LPARAM>(&item));
    if (!HIWORD(hit) && x - item.left < BoxWidth() + 2) Toggle(LOWORD(hit));
  } else if (msg == WM_KEYDOWN && w == VK_SPACE) {
    Toggle(ItemIndex());
    return 0;
  } else if (msg == LB_DELETESTRING && w < checked_.size()) {
    checked_.erase(checked_.begin() + static_cast<std::ptrdiff_t>(w));
  } else if (msg == LB_RESETCONTENT && Items().Count() == 0) {
    checked_.clear();  // cleared, not refilled
  }
  return TListBox::WndProc(msg, w, l);
}

LRESULT TGroupBox::WndProc(UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_ERASEBKGND) {
    RECT r;
    GetClientRect(hwnd_, &r);
    FillRect(reinterpret_cast<HDC>(w), &r, BackgroundBrush());
    return 1;
  }
  return TWinControl::WndProc(msg, w, l);
}
