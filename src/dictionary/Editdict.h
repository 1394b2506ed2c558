// The dictionary editor "编辑字库": one character's naming data corrected in the full
// file and mirrored into the quick one; six command words run the maintenance commands.
// When the dialog closes after a change, the stroke groups of both files are rebuilt.
#pragma once

#include <string>

#include "classlib/Dialogs.h"
#include "classlib/ExtCtrls.h"
#include "classlib/Forms.h"
#include "classlib/StdCtrls.h"
#include "dictionary/Namelibrary.h"

class TFrmEditDict : public TForm {
 public:
  // `lib` is the program's dictionary; its program folder holds "dat\".
  TFrmEditDict(TComponent* owner, MNameLibrary& lib);
  std::string ClassName() const override { return "TFrmEditDict"; }

  void FormCreate(TObject* sender);
  void Button1Click(TObject* sender);
  void BitBtn1Click(TObject* sender);
  void FormClose(TObject* sender, TCloseAction& action);

  TLabeledEdit* EdtWord = nullptr;
  TButton* Button1 = nullptr;
  TLabeledEdit* EdtKxLen = nullptr;
  TLabeledEdit* EdtBig5Len = nullptr;
  TLabeledEdit* EdtGbLen = nullptr;
  TLabeledEdit* EdtTruePy = nullptr;
  TComboBox* CboWuXing = nullptr;
  TComboBox* CboSex = nullptr;
  TComboBox* CboJiXiong = nullptr;
  TMemo* MeoExplain = nullptr;
  TButton* BitBtn1 = nullptr;
  TButton* BtnClose = nullptr;
  TOpenDialog* OpenDlg = nullptr;

  CharRecord EditRecord;
  bool DbChanged = false;

 private:
  void BuildLayout();
  void Lookup();
  bool RunCommand(const std::string& word);
  void ShowRecord();
  int ReadStrokes(TLabeledEdit* box);
  bool ReadText(TControl* box, const char* emptyText, const char* fixedText, std::string& out);
  bool ReadForm();
  void MirrorToMiniDb();
  // The file chosen for a command, or empty when the dialog was cancelled.
  std::string ChooseFile(const char* filter);
  void ImportCommand();
  void KangxiCommand();
  void MiniCommand();
  void Say(const char* utf8);

  MNameLibrary& lib_;
};
