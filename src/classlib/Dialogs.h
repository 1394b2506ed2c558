// The system's common dialogs: files, font, colour, printer (Win32 only).
//
// Execute shows the dialog modally over the active window and returns true when the
// user confirms; the chosen values are then in the dialog's fields (text is GBK).
#pragma once

#include "classlib/Controls.h"
// after <windows.h>
#include <commdlg.h>

class TOpenDialog : public TComponent {
 public:
  using TComponent::TComponent;
  std::string ClassName() const override { return "TOpenDialog"; }
  bool Execute();
  std::string Filter;      // "description|pattern|description|pattern"
  int FilterIndex = 1;     // from 1
  std::string DefaultExt;  // without the dot
  std::string FileName;
  std::string InitialDir;
  std::string Title;

 protected:
  virtual bool Run(OPENFILENAMEW& ofn) { return GetOpenFileNameW(&ofn); }
  virtual DWORD Flags() const { return OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST; }
};

class TSaveDialog : public TOpenDialog {
 public:
  using TOpenDialog::TOpenDialog;
  std::string ClassName() const override { return "TSaveDialog"; }
  bool OverwritePrompt = true;  // asks before replacing an existing file

 protected:
  bool Run(OPENFILENAMEW& ofn) override { return GetSaveFileNameW(&ofn); }
  DWORD Flags() const override { return OFN_PATHMUSTEXIST | (OverwritePrompt ? OFN_OVERWRITEPROMPT : 0); }
};

class TFontDialog : public TComponent {
 public:
  using TComponent::TComponent;
  std::string ClassName() const override { return "TFontDialog"; }
  bool Execute();
  TFont Font;  // with its colour
};

class TColorDialog : public TComponent {
 public:
  using TComponent::TComponent;
  std::string ClassName() const override { return "TColorDialog"; }
  bool Execute();
  TColor Color = clBlack;

 private:
  COLORREF custom_[16] = {};
};

class TPrintDialog : public TComponent {
 public:
  using TComponent::TComponent;
  ~TPrintDialog() override;
  std::string ClassName() const override { return "TPrintDialog"; }
  bool Execute();
  HDC DC() const { return dc_; }  // the chosen printer's DC, owned by the dialog

 private:
  HDC dc_ = nullptr;
};
