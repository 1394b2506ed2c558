// A header bar of sections side by side, each as wide as the user drags it (Win32 only).
#pragma once

#include <string>
#include <vector>

#include "classlib/Controls.h"
// after <windows.h>
#include <commctrl.h>

class THeaderControl : public TWinControl {
 public:
  using TWinControl::TWinControl;
  std::string ClassName() const override { return "THeaderControl"; }
  void AddSection(const std::string& text, int width);  // text in GBK
  int SectionCount() const { return static_cast<int>(sections_.size()); }
  int SectionWidth(int i) const { return sections_.at(static_cast<size_t>(i)).width; }
  TNotifyEvent OnSectionResize;

 protected:
  const wchar_t* BaseClassName() const override { return WC_HEADERW; }
  DWORD CreateStyle() const override { return TWinControl::CreateStyle() | HDS_HORZ | HDS_BUTTONS; }
  void AfterCreate() override;
  bool HandleNotify(NMHDR* n, LRESULT& result) override;

 private:
  struct Section {
    std::string text;
    int width;
  };
  void InsertSection(int i);
  std::vector<Section> sections_;
};
