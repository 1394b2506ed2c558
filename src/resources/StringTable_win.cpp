#include <windows.h>

#include "classlib/Gbk.h"
#include "resources/StringTable.h"

std::string LoadStr(int id) {
  // A zero buffer size returns a pointer into the resource itself, so long texts are
  // never cut at a buffer's length.
  const wchar_t* text = nullptr;
  int len = ::LoadStringW(::GetModuleHandleW(nullptr), static_cast<UINT>(id), reinterpret_cast<LPWSTR>(&text), 0);
  if (len <= 0 || text == nullptr) return std::string();
  return gbk::FromWide(std::wstring_view(text, static_cast<size_t>(len)));
}
