#include "classlib/ComCtrls.h"

#include <algorithm>

#include "classlib/Gbk.h"

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

void TPageControl::TurnPage(bool forward) {
  if (PageCount() < 2 || !HandleAllocated()) return;
  TTabSheet* left = ActivePage();
  const bool focusOnPage = left && left->HandleAllocated() && IsChild(left->Handle(), GetFocus());
  SetActivePageIndex((active_ + (forward ? 1 : PageCount() - 1)) % PageCount());
  if (OnChange) OnChange(this);
  if (!focusOnPage) return;
  // The keyboard must not stay on a hidden page.
  HWND page = ActivePage()->Handle();
  HWND first = GetNextDlgTabItem(page, nullptr, FALSE);
  SetFocus(first && IsChild(page, first) ? first : hwnd_);
}

void TPageControl::PlacePages(bool activeOnly) {
  if (!HandleAllocated()) return;
  RECT r{0, 0, ClientWidth(), ClientHeight()};
  Perform(TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
  for (TTabSheet* p : pages_) {
    if (!activeOnly || p == ActivePage()) p->SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
  }
}

void TPageControl::ShowActive() {
  if (HandleAllocated()) Perform(TCM_SETCURSEL, static_cast<WPARAM>(active_));
  PlacePages();
  for (int i = 0; i < PageCount(); ++i) pages_[static_cast<size_t>(i)]->SetVisible(i == active_);
  if (TTabSheet* page = ActivePage(); page && HandleAllocated()) page->HandleNeeded();
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
  // A resize lays out the page in view; the others are placed when they are shown.
  if (msg == WM_SIZE) PlacePages(true);
  return r;
}

// ---- TProgressBar ----

DWORD TDateTimePicker::CreateStyle() const {
  DWORD s = TControl::CreateStyle() | WS_TABSTOP;
  if (Kind == dtkTime) return s | DTS_TIMEFORMAT;
  return DateMode == dmUpDown ? s | DTS_UPDOWN : s;
}

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
