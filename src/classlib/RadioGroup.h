// A group box of radio buttons, one chosen at a time, laid out in columns (Win32 only).
#pragma once

#include <string>
#include <vector>

#include "classlib/StdCtrls.h"

class TRadioGroup : public TGroupBox {
 public:
  using TGroupBox::TGroupBox;
  std::string ClassName() const override { return "TRadioGroup"; }

  void AddItem(const std::string& caption);
  int Count() const { return static_cast<int>(buttons_.size()); }
  std::string Item(int i) const { return buttons_.at(static_cast<size_t>(i))->Caption(); }
  // The chosen item, -1 when none.
  int ItemIndex();
  void SetItemIndex(int i);
  void SetColumns(int n);
  // OnClick fires when the user chooses an item.

 protected:
  LRESULT WndProc(UINT msg, WPARAM w, LPARAM l) override;

 private:
  void Arrange();
  std::vector<TRadioButton*> buttons_;  // owned as components of the group
  int columns_ = 1;
};
