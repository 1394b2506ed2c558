// Standard controls over the system's window classes (Win32 only).
#pragma once

#include "classlib/Controls.h"

class TLabel : public TControl {
 public:
  using TControl::TControl;
  std::string ClassName() const override { return "TLabel"; }
  void SetText(const std::string& s) override;
  // The parent shows through; a new caption has the parent repaint what lies behind.
  bool Transparent = false;
  // The caption gets a rim one pixel wide in black or white, whichever stands out more
  // from the caption's colour, so that any colour reads on any background. Drawn
  // without font smoothing, which would blur the rim into the letters.
  bool Outline = false;

 protected:
  const wchar_t* BaseClassName() const override { return L"STATIC"; }
  DWORD CreateStyle() const override { return TControl::CreateStyle() | SS_NOTIFY; }
  DWORD ExStyle() const override { return Transparent ? WS_EX_TRANSPARENT : 0; }
  LRESULT WndProc(UINT msg, WPARAM w, LPARAM l) override;
  HBRUSH HandleCtlColor(HDC dc) override;
  bool HandleCommand(WORD code) override;

 private:
  void PaintOutlined();
  void KeepTransparentStyle();
  void RedrawWithParent();
  std::shared_ptr<HFONT__> crisp_;  // its font without smoothing, held so the next paint finds it made
};

// Black or white, whichever stands out more from `text`: the rim of an outlined label.
COLORREF RimColour(COLORREF text);

class TButton : public TWinControl {
 public:
  using TWinControl::TWinControl;
  std::string ClassName() const override { return "TButton"; }
  int ModalResult = 0;   // closes a modal form with this result when clicked
  bool Default = false;  // Enter in the form presses it
  bool Cancel = false;   // Esc in the form presses it (as it does a button of result mrCancel)

 protected:
  const wchar_t* BaseClassName() const override { return L"BUTTON"; }
  DWORD CreateStyle() const override {
    return TControl::CreateStyle() | WS_TABSTOP | (Default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
  }
  bool HandleCommand(WORD code) override;
};

// A check box or radio button: the ticked state is kept while the window does not exist.
class TButtonControl : public TWinControl {
 public:
  using TWinControl::TWinControl;
  std::string ClassName() const override { return "TButtonControl"; }
  bool Checked();
  void SetChecked(bool v);

 protected:
  const wchar_t* BaseClassName() const override { return L"BUTTON"; }
  void AfterCreate() override;
  bool HandleCommand(WORD code) override;
  virtual void CheckChanged() {}  // SetChecked was called

 private:
  bool checked_ = false;
};

class TCheckBox : public TButtonControl {
 public:
  using TButtonControl::TButtonControl;
  std::string ClassName() const override { return "TCheckBox"; }

 protected:
  DWORD CreateStyle() const override { return TControl::CreateStyle() | WS_TABSTOP | BS_AUTOCHECKBOX; }
};

// Radio buttons with the same parent form one group: ticking one clears the others.
// As in a system dialog, Tab stops at the group's ticked button (the first while none
// is ticked), and the arrow keys move round the group, ticking as they go.
class TRadioButton : public TButtonControl {
 public:
  using TButtonControl::TButtonControl;
  std::string ClassName() const override { return "TRadioButton"; }

 protected:
  DWORD CreateStyle() const override { return TControl::CreateStyle() | BS_AUTORADIOBUTTON; }
  bool HandleCommand(WORD code) override;
  void CheckChanged() override { UpdateTabStops(); }

 private:
  friend class TApplication;  // its dialog keys move round the group
  std::vector<TRadioButton*> Group() const;
  void UpdateTabStops();
  void MoveInGroup(bool forward);
};

class TEdit : public TWinControl {
 public:
  using TWinControl::TWinControl;
  std::string ClassName() const override { return "TEdit"; }
  int MaxLength = 0;  // in GBK bytes, as the records count them; 0: none
  bool ReadOnly = false;
  TNotifyEvent OnChange;

 protected:
  const wchar_t* BaseClassName() const override { return L"EDIT"; }
  DWORD CreateStyle() const override;
  DWORD ExStyle() const override { return WS_EX_CLIENTEDGE; }
  bool HandleCommand(WORD code) override;
  HBRUSH HandleCtlColor(HDC dc) override;
  // Ctrl+A, the byte limit, and in a memo Tab, Ctrl+Tab and Esc.
  LRESULT WndProc(UINT msg, WPARAM w, LPARAM l) override;
};

enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

class TMemo : public TEdit {
 public:
  using TEdit::TEdit;
  std::string ClassName() const override { return "TMemo"; }
  bool WordWrap = true;
  TScrollStyle ScrollBars = ssVertical;

 protected:
  DWORD CreateStyle() const override;
};

class TPanel : public TWinControl {
 public:
  explicit TPanel(TComponent* owner);
  std::string ClassName() const override { return "TPanel"; }
  enum TBevel { bvNone, bvLowered, bvRaised };
  TBevel BevelOuter = bvRaised;

 protected:
  // Tab and the arrows go through the controls it holds, as through the form's own.
  DWORD ExStyle() const override { return WS_EX_CONTROLPARENT; }
  // A panel repaints its whole face when resized: its children are left out of it, or
  // they vanish until they paint again.
  DWORD CreateStyle() const override { return TWinControl::CreateStyle() | WS_CLIPCHILDREN; }
  LRESULT WndProc(UINT msg, WPARAM w, LPARAM l) override;

 private:
  void RepaintSeeThroughChildren(const RECT& painted);
  HFONT font_handle_ = nullptr;  // set by WM_SETFONT; owned by TControl
};

class TGroupBox : public TWinControl {
 public:
  using TWinControl::TWinControl;
  std::string ClassName() const override { return "TGroupBox"; }

 protected:
  const wchar_t* BaseClassName() const override { return L"BUTTON"; }
  DWORD CreateStyle() const override { return TControl::CreateStyle() | BS_GROUPBOX; }
  // Tab reaches the buttons and boxes inside it.
  DWORD ExStyle() const override { return WS_EX_CONTROLPARENT; }
  // The system's group box never erases its inside, and its parent clips it out.
  LRESULT WndProc(UINT msg, WPARAM w, LPARAM l) override;
};

// The items of a list or combo box, kept here and mirrored into the window, so that
// they survive the window being created late or recreated.
class TItemStrings {
 public:
  TItemStrings(TControl& control, bool combo) : control_(control), combo_(combo) {}
  int Count() const { return static_cast<int>(items_.size()); }
  const std::string& operator[](int i) const { return items_.at(static_cast<size_t>(i)); }
  int Add(const std::string& s);
  void Insert(int i, const std::string& s);
  void Delete(int i);
  void Clear();
  int IndexOf(const std::string& s) const;
  std::string Text() const;               // lines joined with "\r\n"
  void SetText(const std::string& text);  // one item a line
  void Fill();                            // the window was created: put every item in

 private:
  UINT InsertMsg() const { return combo_ ? CB_INSERTSTRING : LB_INSERTSTRING; }
  TControl& control_;
  bool combo_;
  std::vector<std::string> items_;
};

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList };

class TComboBox : public TWinControl {
 public:
  explicit TComboBox(TComponent* owner);
  std::string ClassName() const override { return "TComboBox"; }
  TItemStrings& Items() { return items_; }
  int ItemIndex();
  void SetItemIndex(int i);
  std::string Text() override;
  void SetText(const std::string& s) override;
  TComboBoxStyle Style = csDropDown;
  int DropDownCount = 8;
  int MaxLength = 0;      // of the typed text, in GBK bytes; 0: none
  TNotifyEvent OnChange;  // typed text or chosen item changed
  TNotifyEvent OnSelect;  // an item was chosen; OnClick follows

 protected:
  const wchar_t* BaseClassName() const override { return L"COMBOBOX"; }
  DWORD CreateStyle() const override;
  void AfterCreate() override;
  bool HandleCommand(WORD code) override;
  HBRUSH HandleCtlColor(HDC dc) override;
  int ExtraWindowHeight() const override;

 private:
  TItemStrings items_;
  int index_ = -1;
};

class TListBox : public TWinControl {
 public:
  explicit TListBox(TComponent* owner);
  std::string ClassName() const override { return "TListBox"; }
  TItemStrings& Items() { return items_; }
  int ItemIndex();
  void SetItemIndex(int i);
  int TopIndex();
  int ItemHeight = 0;  // pixels a row; 0 for the font's own
  int Columns = 0;     // side by side, filled top to bottom; 0 for one plain column

 protected:
  const wchar_t* BaseClassName() const override { return L"LISTBOX"; }
  DWORD CreateStyle() const override;
  DWORD ExStyle() const override { return WS_EX_CLIENTEDGE; }
  void AfterCreate() override;
  bool HandleCommand(WORD code) override;
  HBRUSH HandleCtlColor(HDC dc) override;

 private:
  TItemStrings items_;
  int index_ = -1;
};

// A list box whose items carry a tick box, toggled by a click on the box or the space key.
class TCheckListBox : public TListBox {
 public:
  using TListBox::TListBox;
  std::string ClassName() const override { return "TCheckListBox"; }
  bool Checked(int i) const;
  void SetChecked(int i, bool v);
  TNotifyEvent OnClickCheck;

 protected:
  DWORD CreateStyle() const override;
  bool HandleDrawItem(DRAWITEMSTRUCT* d) override;
  LRESULT WndProc(UINT msg, WPARAM w, LPARAM l) override;

 private:
  void Toggle(int i);
  int BoxWidth() const;
  std::vector<bool> checked_;  // by item; items past the end are unticked
};
