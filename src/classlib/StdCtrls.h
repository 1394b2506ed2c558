// Standard controls over the system's window classes (Win32 only).
#pragma once

#include "classlib/Controls.h"

class TLabel : public TControl {
 public:
  using TControl::TControl;
  std::string ClassName() const override { return "TLabel"; }
  bool Transparent = false;

 protected:
  const wchar_t* BaseClassName() const override { return L"STATIC"; }
  DWORD Style() const override { return TControl::Style() | SS_NOTIFY; }
  HBRUSH HandleCtlColor(HDC dc) override;
  bool HandleCommand(WORD code) override;
};

class TButton : public TWinControl {
 public:
  using TWinControl::TWinControl;
  std::string ClassName() const override { return "TButton"; }
  int ModalResult = 0;  // closes a modal form with this result when clicked
  bool Default = false;

 protected:
  const wchar_t* BaseClassName() const override { return L"BUTTON"; }
  DWORD Style() const override { return TControl::Style() | WS_TABSTOP | (Default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON); }
  bool HandleCommand(WORD code) override;
};

class TCheckBox : public TWinControl {
 public:
  using TWinControl::TWinControl;
  std::string ClassName() const override { return "TCheckBox"; }
  bool Checked();
  void SetChecked(bool v);

 protected:
  const wchar_t* BaseClassName() const override { return L"BUTTON"; }
  DWORD Style() const override { return TControl::Style() | WS_TABSTOP | BS_AUTOCHECKBOX; }
  void AfterCreate() override;
  bool HandleCommand(WORD code) override;

 private:
  bool checked_ = false;
};

class TEdit : public TWinControl {
 public:
  using TWinControl::TWinControl;
  std::string ClassName() const override { return "TEdit"; }
  int MaxLength = 0;
  bool ReadOnly = false;
  TNotifyEvent OnChange;

 protected:
  const wchar_t* BaseClassName() const override { return L"EDIT"; }
  DWORD Style() const override;
  DWORD ExStyle() const override { return WS_EX_CLIENTEDGE; }
  void AfterCreate() override;
  bool HandleCommand(WORD code) override;
  HBRUSH HandleCtlColor(HDC dc) override;
};

class TMemo : public TEdit {
 public:
  using TEdit::TEdit;
  std::string ClassName() const override { return "TMemo"; }
  bool WordWrap = true;

 protected:
  DWORD Style() const override;
};

class TPanel : public TWinControl {
 public:
  explicit TPanel(TComponent* owner);
  std::string ClassName() const override { return "TPanel"; }
  enum TBevel { bvNone, bvLowered, bvRaised };
  TBevel BevelOuter = bvRaised;

 protected:
  LRESULT WndProc(UINT msg, WPARAM w, LPARAM l) override;

 private:
  HFONT font_handle_ = nullptr;  // set by WM_SETFONT; owned by TControl
};

class TGroupBox : public TWinControl {
 public:
  using TWinControl::TWinControl;
  std::string ClassName() const override { return "TGroupBox"; }

 protected:
  const wchar_t* BaseClassName() const override { return L"BUTTON"; }
  DWORD Style() const override { return TControl::Style() | BS_GROUPBOX; }
};
