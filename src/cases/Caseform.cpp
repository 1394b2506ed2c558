#include "cases/Caseform.h"

#include "cases/Caserules.h"
#include "classlib/Gbk.h"
#include "classlib/StrUtils.h"
#include "classlib/TIniFile.h"

int CaseBox(const std::string& utf8Text, const char* utf8Caption, UINT flags) {
  return Application->MessageBox(gbk::FromUtf8(utf8Text), gbk::FromUtf8(utf8Caption), flags);
}

bool CaseAskYes(const std::string& utf8Text, const char* utf8Caption, UINT icon) {
  return CaseBox(utf8Text, utf8Caption, MB_YESNO | icon) == IDYES;
}

void CaseMessage(const std::string& utf8Text) { ShowMessage(gbk::FromUtf8(utf8Text)); }

void FillCategories(TComboBox& box, TIniFile& ini, const std::string& fallback) {
  box.Items().Clear();
  TIniFile::ReadingSession session(ini);
  int count = CategoryCount(ini.ReadInteger("classes", "count", 0));
  for (int i = 1; i <= count; ++i) box.Items().Add(ini.ReadString("classes", IntToStr(i), fallback));
}
