// What the case dialogs share: their layouts as tables, read by one builder, and the
// message boxes they show (Win32 only).
#pragma once

#include <span>
#include <string>

#include "classlib/ComCtrls.h"
#include "classlib/ExtCtrls.h"
#include "classlib/Forms.h"
#include "classlib/StdCtrls.h"

class TIniFile;

enum class CaseCtl { Label, Edit, LabeledEdit, Memo, Combo, ComboList, Check, Radio, Button, Group, UpDown };

// One control: kind, name, caption (UTF-8), bounds, and the name of its parent ("" = the form).
struct CaseLayoutRow {
  CaseCtl kind;
  const char* name;
  const char* caption;
  int left, top, width, height;
  const char* parent;
};

// Creates the controls of the table in order, owned by the form.
void BuildCaseLayout(TForm& form, std::span<const CaseLayoutRow> rows);

template <class T>
T* CaseControl(const TForm& form, const char* name) {
  return dynamic_cast<T*>(form.FindComponent(name));
}

// A message box with UTF-8 texts; the button pressed (IDYES, IDOK, ...).
int CaseBox(const std::string& utf8Text, const char* utf8Caption, UINT flags);
bool CaseAskYes(const std::string& utf8Text, const char* utf8Caption, UINT icon = 0);
void CaseMessage(const std::string& utf8Text);  // ShowMessage

// The categories of section "classes": count, then keys 1 to count, with this default.
void FillCategories(TComboBox& box, TIniFile& ini, const std::string& fallback);
