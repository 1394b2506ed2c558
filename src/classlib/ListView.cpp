#include "classlib/ListView.h"

#include "classlib/Gbk.h"

TListView::TListView(TComponent* owner) : TWinControl(owner) { SetColor(clWindow); }

DWORD TListView::CreateStyle() const {
  return TControl::CreateStyle() | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS;
}

void TListView::AfterCreate() {
  Perform(LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  for (int i = 0; i < ColumnCount(); ++i) InsertColumn(i);
  for (int i = 0; i < Count(); ++i) InsertRow(i);
  if (index_ >= 0) SetItemIndex(index_);
}

void TListView::InsertColumn(int i) {
  std::wstring text = gbk::ToWide(columns_[static_cast<size_t>(i)].caption);
  LVCOLUMNW c{};
  c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
  c.fmt = LVCFMT_LEFT;
  c.cx = columns_[static_cast<size_t>(i)].width;
  c.pszText = text.data();
  Perform(LVM_INSERTCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&c));
}

void TListView::InsertRow(int i) {
  const std::vector<std::string>& texts = rows_[static_cast<size_t>(i)];
  for (size_t k = 0; k < texts.size() && k < columns_.size(); ++k) {
    std::wstring text = gbk::ToWide(texts[k]);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = i;
    item.iSubItem = static_cast<int>(k);
    item.pszText = text.data();
    Perform(k == 0 ? LVM_INSERTITEMW : LVM_SETITEMTEXTW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
  }
}

void TListView::AddColumn(const std::string& caption, int width) {
  columns_.push_back({caption, width});
  if (HandleAllocated()) InsertColumn(ColumnCount() - 1);
}

void TListView::SetColumnWidth(int i, int width) {
  columns_.at(static_cast<size_t>(i)).width = width;
  if (HandleAllocated()) Perform(LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(i), width);
}

int TListView::AddItem(const std::vector<std::string>& texts) {
  rows_.push_back(texts);
  if (HandleAllocated()) InsertRow(Count() - 1);
  return Count() - 1;
}

void TListView::Clear() {
  rows_.clear();
  index_ = -1;
  Perform(LVM_DELETEALLITEMS);
}

std::string TListView::ItemText(int row, int column) const {
  if (row < 0 || row >= Count()) return {};
  const std::vector<std::string>& texts = rows_[static_cast<size_t>(row)];
  return column >= 0 && static_cast<size_t>(column) < texts.size() ? texts[static_cast<size_t>(column)] : std::string();
}

void TListView::BeginUpdate() { Perform(WM_SETREDRAW, FALSE); }

void TListView::EndUpdate() {
  Perform(WM_SETREDRAW, TRUE);
  Invalidate();
}

int TListView::ItemIndex() {
  if (HandleAllocated()) index_ = static_cast<int>(Perform(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  return index_;
}

void TListView::SetItemIndex(int i) {
  index_ = i >= 0 && i < Count() ? i : -1;
  if (!HandleAllocated()) return;
  LVITEMW clear{};
  clear.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  Perform(LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&clear));
  if (index_ < 0) return;
  LVITEMW set{};
  set.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  set.state = LVIS_SELECTED | LVIS_FOCUSED;
  Perform(LVM_SETITEMSTATE, static_cast<WPARAM>(index_), reinterpret_cast<LPARAM>(&set));
}

int TListView::ItemTop(int i) {
  RECT r{};
  r.left = LVIR_BOUNDS;
  if (!HandleAllocated() || !Perform(LVM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r))) return 0;
  return r.top;
}

void TListView::ScrollBy(int dy) { Perform(LVM_SCROLL, 0, dy); }

bool TListView::HandleNotify(NMHDR* n, LRESULT& result) {
  if (n->code != NM_CLICK && n->code != NM_DBLCLK) return false;
  ItemIndex();
  if (n->code == NM_CLICK) Click();
  if (n->code == NM_DBLCLK && OnDblClick) OnDblClick(this);
  result = 0;
  return true;
}
