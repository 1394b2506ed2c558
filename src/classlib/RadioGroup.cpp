#include "classlib/RadioGroup.h"

void TRadioGroup::AddItem(const std::string& caption) {
  auto* b = new TRadioButton(this);
  b->SetText(caption);
  b->SetParent(this);
  b->OnClick = [this](TObject*) { Click(); };
  buttons_.push_back(b);
  Arrange();
}

int TRadioGroup::ItemIndex() {
  for (int i = 0; i < Count(); ++i)
    if (buttons_[static_cast<size_t>(i)]->Checked()) return i;
  return -1;
}

void TRadioGroup::SetItemIndex(int i) {
  for (int k = 0; k < Count(); ++k) buttons_[static_cast<size_t>(k)]->SetChecked(k == i);
}

void TRadioGroup::SetColumns(int n) {
  columns_ = n < 1 ? 1 : n;
  Arrange();
}

void TRadioGroup::Arrange() {
  if (buttons_.empty()) return;
  const int top = 16, margin = 8;
  int rows = (Count() + columns_ - 1) / columns_;
  int width = (Width() - 2 * margin) / columns_;
  int height = (Height() - top - 4) / rows;
  int h = height < 16 ? 16 : (height > 22 ? 22 : height);
  for (int i = 0; i < Count(); ++i) {
    int col = i / rows, row = i % rows;
    buttons_[static_cast<size_t>(i)]->SetBounds(margin + col * width, top + row * height + (height - h) / 2, width - 2,
                                                h);
  }
}

LRESULT TRadioGroup::WndProc(UINT msg, WPARAM w, LPARAM l) {
  LRESULT r = TGroupBox::WndProc(msg, w, l);
  if (msg == WM_SIZE) Arrange();
  return r;
}
