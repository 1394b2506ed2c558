#include "classlib/HeaderControl.h"

#include "classlib/Gbk.h"

void THeaderControl::InsertSection(int i) {
  std::wstring text = gbk::ToWide(sections_[static_cast<size_t>(i)].text);
  HDITEMW item{};
  item.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
  item.fmt = HDF_LEFT | HDF_STRING;
  item.cxy = sections_[static_cast<size_t>(i)].width;
  item.pszText = text.data();
  SendMessageW(hwnd_, HDM_INSERTITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
}

void THeaderControl::AddSection(const std::string& text, int width) {
  sections_.push_back({text, width});
  if (HandleAllocated()) InsertSection(SectionCount() - 1);
}

void THeaderControl::AfterCreate() {
  for (int i = 0; i < SectionCount(); ++i) InsertSection(i);
}

// A section the user dragged wider or narrower keeps its new width here.
bool THeaderControl::HandleNotify(NMHDR* n, LRESULT& result) {
  if (n->code != HDN_ITEMCHANGEDW && n->code != HDN_ITEMCHANGEDA) return false;
  const auto* h = reinterpret_cast<NMHEADERW*>(n);
  if (!h->pitem || !(h->pitem->mask & HDI_WIDTH) || h->iItem < 0 || h->iItem >= SectionCount()) return false;
  sections_[static_cast<size_t>(h->iItem)].width = h->pitem->cxy;
  if (OnSectionResize) OnSectionResize(this);
  result = 0;
  return true;
}
