// A report-style list view: columns, rows of texts, one selected row (Win32 only).
//
// Rows are kept here and mirrored into the window, so they survive the window being
// created late. Texts are GBK; column 0 is a row's caption.
#pragma once

#include <string>
#include <vector>

#include "classlib/Controls.h"
// after <windows.h>
#include <commctrl.h>

class TListView : public TWinControl {
 public:
  explicit TListView(TComponent* owner);
  std::string ClassName() const override { return "TListView"; }

  void AddColumn(const std::string& caption, int width);
  int ColumnCount() const { return static_cast<int>(columns_.size()); }
  int ColumnWidth(int i) const { return columns_.at(static_cast<size_t>(i)).width; }
  void SetColumnWidth(int i, int width);
  // Rows: the caption, then one text a further column.
  int AddItem(const std::vector<std::string>& texts);
  void Clear();
  int Count() const { return static_cast<int>(rows_.size()); }
  std::string ItemText(int row, int column) const;
  // Redraw held back between the two calls while many rows are added.
  void BeginUpdate();
  void EndUpdate();

  // The selected row, -1 when none.
  int ItemIndex();
  // Clears the selection, then selects and focuses row i (-1: none).
  void SetItemIndex(int i);
  // The top of row i in client pixels, 0 when it is not laid out.
  int ItemTop(int i);
  void ScrollBy(int dy);

 protected:
  const wchar_t* BaseClassName() const override { return WC_LISTVIEWW; }
  DWORD CreateStyle() const override;
  DWORD ExStyle() const override { return WS_EX_CLIENTEDGE; }
  void AfterCreate() override;
  bool HandleNotify(NMHDR* n, LRESULT& result) override;

 private:
  struct Column {
    std::string caption;
    int width;
  };
  void InsertColumn(int i);
  void InsertRow(int i);
  std::vector<Column> columns_;
  std::vector<std::vector<std::string>> rows_;
  int index_ = -1;
};
