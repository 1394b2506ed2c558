// What the case dialogs share: the message boxes they show and their category lists
// (Win32 only).
#pragma once

#include <string>

#include "classlib/ComCtrls.h"
#include "classlib/ExtCtrls.h"
#include "classlib/Forms.h"
#include "classlib/Layout.h"
#include "classlib/StdCtrls.h"

class TIniFile;

// A message box with UTF-8 texts; the button pressed (IDYES, IDOK, ...).
int CaseBox(const std::string& utf8Text, const char* utf8Caption, UINT flags);
bool CaseAskYes(const std::string& utf8Text, const char* utf8Caption, UINT icon = 0);
void CaseMessage(const std::string& utf8Text);  // ShowMessage

// The categories of section "classes": count, then keys 1 to count, with this default.
void FillCategories(TComboBox& box, TIniFile& ini, const std::string& fallback);
