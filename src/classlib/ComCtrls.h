// Common controls: pages, progress, up-down, rich text, trees (Win32 only).
#pragma once

#include "classlib/Controls.h"
#include "classlib/Graphics.h"
// after <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <richedit.h>
#undef FindText  // the dialog function's macro would rename our member

class TPageControl;

// One page of a page control; only the active page is visible. A page's window, and its
// controls' windows, are made when the page is first shown.
class TTabSheet : public TWinControl {
 public:
  explicit TTabSheet(TComponent* owner);
  ~TTabSheet() override;
  std::string ClassName() const override { return "TTabSheet"; }
  TPageControl* PageControl() const { return pageControl_; }
  void SetPageControl(TPageControl* pc);
  int PageIndex() const;
  void SetText(const std::string& s) override;

 protected:
  DWORD ExStyle() const override { return WS_EX_CONTROLPARENT; }  // Tab goes through its controls
  // The page's fill leaves its controls alone (as a panel's does).
  DWORD CreateStyle() const override { return TWinControl::CreateStyle() | WS_CLIPCHILDREN; }
  LRESULT WndProc(UINT msg, WPARAM w, LPARAM l) override;
  bool MadeWithParent() const override { return Visible(); }

 private:
  friend class TPageControl;
  TPageControl* pageControl_ = nullptr;
};

enum TTabStyle { tsTabs, tsButtons, tsFlatButtons };

class TPageControl : public TWinControl {
 public:
  using TWinControl::TWinControl;
  ~TPageControl() override;
  std::string ClassName() const override { return "TPageControl"; }
  int PageCount() const { return static_cast<int>(pages_.size()); }
  TTabSheet* Pages(int i) const { return pages_.at(static_cast<size_t>(i)); }
  int ActivePageIndex() const { return active_; }
  void SetActivePageIndex(int i);
  TTabSheet* ActivePage() const { return active_ >= 0 ? pages_[static_cast<size_t>(active_)] : nullptr; }
  void SetActivePage(TTabSheet* page);
  // Ctrl+Tab (Shift: backwards): the next page round the end comes on show as a click
  // would bring it, and the keyboard goes into it when it was on the page left.
  void TurnPage(bool forward);
  TTabStyle Style = tsTabs;
  TNotifyEvent OnChange;  // the user turned to another page

 protected:
  const wchar_t* BaseClassName() const override { return WC_TABCONTROLW; }
  DWORD CreateStyle() const override;
  // Tab goes on from the tabs into the page on show.
  DWORD ExStyle() const override { return WS_EX_CONTROLPARENT; }
  void AfterCreate() override;
  bool HandleNotify(NMHDR* n, LRESULT& result) override;
  LRESULT WndProc(UINT msg, WPARAM w, LPARAM l) override;

 private:
  friend class TTabSheet;
  void InsertTab(int i);
  void AddPage(TTabSheet* page);
  void RemovePage(TTabSheet* page);
  void PlacePages(bool activeOnly = false);
  void ShowActive();
  std::vector<TTabSheet*> pages_;  // not owned
  int active_ = -1;
};

class TProgressBar : public TWinControl {
 public:
  using TWinControl::TWinControl;
  std::string ClassName() const override { return "TProgressBar"; }
  int Min() const { return min_; }
  int Max() const { return max_; }
  int Position() const { return position_; }
  void SetRange(int min, int max);
  void SetMin(int v) { SetRange(v, max_); }
  void SetMax(int v) { SetRange(min_, v); }
  void SetPosition(int v);
  void StepBy(int delta) { SetPosition(position_ + delta); }

 protected:
  const wchar_t* BaseClassName() const override { return PROGRESS_CLASSW; }
  void AfterCreate() override;

 private:
  int min_ = 0, max_ = 100, position_ = 0;
};

enum TUDBtnType { btNext, btPrev };

// Spin arrows; with an associated edit the edit shows the position.
class TUpDown : public TWinControl {
 public:
  using TWinControl::TWinControl;
  std::string ClassName() const override { return "TUpDown"; }
  int Min() const { return min_; }
  int Max() const { return max_; }
  void SetRange(int min, int max);
  void SetMin(int v) { SetRange(v, max_); }
  void SetMax(int v) { SetRange(min_, v); }
  int Position();
  void SetPosition(int v);
  TWinControl* Associate() const { return associate_; }
  void SetAssociate(TWinControl* edit);
  int Increment = 1;
  bool Wrap = false;
  bool Thousands = false;
  std::function<void(TObject*, TUDBtnType)> OnClick;

 protected:
  const wchar_t* BaseClassName() const override { return UPDOWN_CLASSW; }
  DWORD CreateStyle() const override;
  void AfterCreate() override;
  bool HandleNotify(NMHDR* n, LRESULT& result) override;
  bool HandleScroll(WORD code) override;

 private:
  int Clamp(int v) const;
  int min_ = 0, max_ = 100, position_ = 0;
  TWinControl* associate_ = nullptr;
  TUDBtnType lastButton_ = btNext;
};

enum TDateTimeKind { dtkDate, dtkTime };
enum TDTDateMode { dmComboBox, dmUpDown };

// A date or time field with a drop-down calendar or spin arrows.
class TDateTimePicker : public TWinControl {
 public:
  using TWinControl::TWinControl;
  std::string ClassName() const override { return "TDateTimePicker"; }
  TDateTimeKind Kind = dtkDate;
  TDTDateMode DateMode = dmComboBox;

 protected:
  const wchar_t* BaseClassName() const override { return DATETIMEPICK_CLASSW; }
  DWORD CreateStyle() const override;
};

// The attributes of the selection (or of new text) of a rich edit.
class TTextAttributes {
 public:
  TTextAttributes(class TRichEdit& edit, bool selection) : edit_(edit), selection_(selection) {}
  TFont Get() const;
  void Set(const TFont& f);
  void SetColor(TColor c);
  void SetBold(bool v);
  void SetSize(int points);
  void SetName(const std::string& name);

 private:
  CHARFORMAT2W Read() const;
  void Write(CHARFORMAT2W cf);
  TRichEdit& edit_;
  bool selection_;
};

enum TAlignment { taLeftJustify, taRightJustify, taCenter };

class TParaAttributes {
 public:
  explicit TParaAttributes(class TRichEdit& edit) : edit_(edit) {}
  int FirstIndent() const;  // points
  void SetFirstIndent(int points);
  TAlignment Alignment() const;
  void SetAlignment(TAlignment a);

 private:
  PARAFORMAT2 Read() const;
  void Write(PARAFORMAT2 pf);
  TRichEdit& edit_;
};

// Rich text over the system's rich edit 2.0 class. Positions and lengths are those of
// the text as GBK bytes, in which a Chinese character counts 2 and a paragraph break 1;
// they are mapped to the control's UTF-16 positions here.
class TRichEdit : public TWinControl {
 public:
  explicit TRichEdit(TComponent* owner);
  std::string ClassName() const override { return "TRichEdit"; }

  // The whole text with "\r\n" line ends.
  std::string Text() override;
  void SetText(const std::string& s) override;
  int LineCount();
  std::string Line(int i);
  void Clear();

  int SelStart();
  void SetSelStart(int pos);
  int SelLength();
  void SetSelLength(int len);
  std::string SelText();
  void SetSelText(const std::string& s);  // replaces the selection
  void SelectAll() { Perform(EM_SETSEL, 0, -1); }
  void ClearSelection() { Perform(WM_CLEAR); }
  void Undo() { Perform(EM_UNDO); }
  void CopyToClipboard() { Perform(WM_COPY); }
  void CutToClipboard() { Perform(WM_CUT); }
  void PasteFromClipboard() { Perform(WM_PASTE); }
  // Case-sensitive when asked; the position found, or -1.
  int FindText(const std::string& text, int start, int length, bool matchCase);

  TTextAttributes& SelAttributes() { return selAttributes_; }
  TTextAttributes& DefAttributes() { return defAttributes_; }
  TParaAttributes& Paragraph() { return paragraph_; }

  bool Modified();
  void SetModified(bool v);
  bool ReadOnly = false;
  bool PlainText = false;  // files are read and written as plain text
  bool WordWrap = true;
  int MaxLength = 0x7FFFFFF0;

  // Files and streams; false with LastError() set when the file cannot be read or written.
  bool LoadFromFile(const std::string& path);
  bool SaveToFile(const std::string& path);
  bool LoadFromString(const std::string& data, bool rtf);
  // Plain text added at the end in `font`, a piece at a time: the lines in view stay as
  // they were after each piece, and EndAppend puts back the caret, the selection and
  // the modified flag as they were before the first piece (or as the user left them
  // between pieces) and empties the undo list. Between pieces the caret waits at the
  // end, for moving it there and back lays the view out twice a piece.
  struct AppendState {
    size_t run = 0;  // runs of the text so far, so that pieces keep alternating
    bool open = false;
    CHARRANGE kept{};  // the selection to put back
    LONG end = -1;     // where the caret waits, or -1
    bool modified = false;
  };
  void AppendText(const std::string& s, const TFont& font, AppendState& state);
  void EndAppend(AppendState& state);
  std::string SaveToString(bool rtf);
  // Prints onto a printer DC from StartDoc to EndDoc; false when printing fails.
  bool Print(HDC printer, const std::string& title);
  const std::string& LastError() const { return lastError_; }

  TNotifyEvent OnChange;
  TNotifyEvent OnSelectionChange;

 protected:
  const wchar_t* BaseClassName() const override { return L"RichEdit20W"; }
  DWORD CreateStyle() const override;
  DWORD ExStyle() const override { return WS_EX_CLIENTEDGE; }
  void CreateHandle() override;
  void AfterCreate() override;
  // Tab leaves the view; Ctrl+Tab types a tab.
  LRESULT WndProc(UINT msg, WPARAM w, LPARAM l) override;
  bool HandleCommand(WORD code) override;
  bool HandleNotify(NMHDR* n, LRESULT& result) override;

 private:
  friend class TTextAttributes;
  friend class TParaAttributes;
  std::wstring ControlText();  // paragraph breaks as the control counts them
  int ToControl(int gbkPos);
  int FromControl(int pos);
  CHARRANGE Selection();
  void SetSelection(int gbkStart, int gbkLength);
  bool Fail(const std::string& what);
  bool PutOffNewHeight(const WINDOWPOS& pos);
  void TakeNewHeight();
  TTextAttributes selAttributes_;
  TTextAttributes defAttributes_;
  TParaAttributes paragraph_;
  std::string lastError_;
  int laidOutWidth_ = -1;  // the client width the text was last laid out at
};

class TTreeView;

// A node of a tree view, owned by the view's node list.
class TTreeNode {
 public:
  TTreeNode(TTreeView& tree, TTreeNode* parent) : tree_(tree), parent_(parent) {}
  TTreeNode(const TTreeNode&) = delete;
  TTreeNode& operator=(const TTreeNode&) = delete;
  const std::string& Text() const { return text_; }
  void SetText(const std::string& s);
  void* Data = nullptr;
  int ImageIndex() const { return image_; }
  void SetImageIndex(int i);
  int SelectedIndex() const { return selectedImage_; }
  void SetSelectedIndex(int i);
  TTreeNode* Parent() const { return parent_; }
  int Count() const { return static_cast<int>(children_.size()); }
  TTreeNode* Item(int i) const { return children_.at(static_cast<size_t>(i)).get(); }
  int Index() const;
  int Level() const;
  bool Expanded();
  void Expand(bool recurse);
  void Collapse(bool recurse);
  void Delete();
  HTREEITEM ItemId() const { return item_; }

 private:
  friend class TTreeNodes;
  friend class TTreeView;
  void CreateItems(HTREEITEM after);
  void Update();
  TTreeView& tree_;
  TTreeNode* parent_;
  std::string text_;
  int image_ = -1, selectedImage_ = -1;
  HTREEITEM item_ = nullptr;
  std::vector<std::unique_ptr<TTreeNode>> children_;
};

class TTreeNodes {
 public:
  explicit TTreeNodes(TTreeView& tree) : tree_(tree), root_(tree, nullptr) {}
  int Count() const;  // every node
  TTreeNode* GetFirstNode() const { return root_.Count() ? root_.Item(0) : nullptr; }
  int TopCount() const { return root_.Count(); }
  TTreeNode* Top(int i) const { return root_.Item(i); }
  // A new last sibling of `sibling` (nullptr: a new top-level node).
  TTreeNode* Add(TTreeNode* sibling, const std::string& text);
  TTreeNode* AddChild(TTreeNode* parent, const std::string& text);
  TTreeNode* Insert(TTreeNode* before, const std::string& text);
  void Delete(TTreeNode* node);
  void Clear();

 private:
  friend class TTreeView;
  friend class TTreeNode;
  TTreeNode* AddAt(TTreeNode* parent, int index, const std::string& text);
  TTreeView& tree_;
  TTreeNode root_;
};

class TTreeView : public TWinControl {
 public:
  explicit TTreeView(TComponent* owner);
  ~TTreeView() override;
  std::string ClassName() const override { return "TTreeView"; }
  TTreeNodes& Items() { return items_; }
  TTreeNode* Selected();
  void SetSelected(TTreeNode* node);
  void FullExpand();
  void FullCollapse();
  TTreeNode* GetNodeAt(int x, int y);
  HIMAGELIST Images = nullptr;  // not owned
  bool ReadOnly = true;
  TNotifyEvent OnChange;  // the selection changed

 protected:
  const wchar_t* BaseClassName() const override { return WC_TREEVIEWW; }
  DWORD CreateStyle() const override;
  DWORD ExStyle() const override { return WS_EX_CLIENTEDGE; }
  void AfterCreate() override;
  void DestroyHandle() override;
  bool HandleNotify(NMHDR* n, LRESULT& result) override;

 private:
  friend class TTreeNode;
  TTreeNode* NodeOf(HTREEITEM item);
  TTreeNodes items_;
  bool destroying_ = false;
};

// ---- Bars (ComCtrlsBars.cpp) ----

enum TStatusPanelBevel { pbNone, pbLowered, pbRaised };

struct TStatusPanel {
  std::string Text;
  int Width = 50;
  TStatusPanelBevel Bevel = pbLowered;
  TAlignment Alignment = taLeftJustify;
};

// A status bar of panels (the last one takes the rest) or, in simple mode, one text.
class TStatusBar : public TWinControl {
 public:
  using TWinControl::TWinControl;
  std::string ClassName() const override { return "TStatusBar"; }
  std::vector<TStatusPanel> Panels;
  bool SimplePanel = false;
  std::string SimpleText;
  void Update();  // puts Panels and the simple text into the window

 protected:
  const wchar_t* BaseClassName() const override { return STATUSCLASSNAMEW; }
  void AfterCreate() override { Update(); }
};

// A track bar: a thumb moved along a channel between Min and Max.
class TTrackBar : public TWinControl {
 public:
  using TWinControl::TWinControl;
  std::string ClassName() const override { return "TTrackBar"; }
  void SetRange(int min, int max);
  int Position();
  void SetPosition(int v);
  bool Vertical = false;

 protected:
  const wchar_t* BaseClassName() const override { return TRACKBAR_CLASSW; }
  DWORD CreateStyle() const override;
  void AfterCreate() override;

 private:
  int min_ = 0, max_ = 10, position_ = 0;
};

// A flat tool bar of text buttons; a button's click arrives as OnButtonClick(index).
class TMainMenu;
class TMenuItem;

// One button of a tool bar, owned by it; on a tool bar that shows a menu it stands for
// one of the menu's top-level items.
class TToolButton : public TComponent {
 public:
  using TComponent::TComponent;
  std::string ClassName() const override { return "TToolButton"; }
  TMenuItem* MenuItem = nullptr;  // not owned
};

class TToolBar : public TWinControl {
 public:
  using TWinControl::TWinControl;
  std::string ClassName() const override { return "TToolBar"; }
  void AddButton(const std::string& caption);
  int ButtonCount() const { return static_cast<int>(tools_.size()); }
  TToolButton* Buttons(int i) const { return tools_.at(static_cast<size_t>(i)); }
  // A menu shown as the bar's buttons, one for each shown top-level item: a click drops
  // down the item's items under its button, or clicks an item without any. Not owned;
  // it takes the place of the buttons the bar had.
  TMainMenu* Menu() const { return menu_; }
  void SetMenu(TMainMenu* menu);
  std::function<void(int)> OnButtonClick;  // a button that stands for no menu item
  // Custom drawing on the tool bar's canvas: the background before the buttons, then each
  // button's face (state: its CDIS_* bits), after which the tool bar draws only the text,
  // in the canvas's font colour. Clearing defaultDraw leaves the whole part to the event.
  std::function<void(TToolBar*, TCanvas&, const RECT&, bool& defaultDraw)> OnCustomDraw;
  std::function<void(TToolBar*, TCanvas&, int index, const RECT& bounds, UINT state, bool& defaultDraw)>
      OnCustomDrawButton;

 protected:
  const wchar_t* BaseClassName() const override { return TOOLBARCLASSNAMEW; }
  DWORD CreateStyle() const override;
  void AfterCreate() override;
  LRESULT WndProc(UINT msg, WPARAM w, LPARAM l) override;

 private:
  void InsertButton(int i);
  void ButtonClicked(int i);
  LRESULT CustomDraw(NMTBCUSTOMDRAW& cd);
  std::vector<std::string> buttons_;
  std::vector<TToolButton*> tools_;  // one a button, owned as components
  TMainMenu* menu_ = nullptr;
};
