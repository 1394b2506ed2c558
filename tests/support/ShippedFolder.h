// The program folder the build made: Torvik.exe and its data, as a user installs them.
// The tests are built elsewhere and only read it; what a test writes goes into a folder
// of its own (ProgramCopy).
#pragma once

#include <string>

#include "classlib/Gbk.h"
#include "classlib/StrUtils.h"

#ifdef _WIN32
#include <windows.h>
#endif

// A folder named by the build machine (UTF-8) as the program names it, with a trailing
// separator. Under Wine the build's paths are Unix ones: Wine gives their Windows form.
inline std::string FolderOfBuild(const char* utf8) {
  const std::string given = gbk::FromUtf8(utf8);
#ifdef _WIN32
  using DosName = wchar_t*(CDECL*)(const char*);
  auto dosName = reinterpret_cast<DosName>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name")));
  if (dosName && !given.empty() && given[0] == '/') {
    if (wchar_t* name = dosName(utf8)) {
      std::string out = gbk::FromWide(name);
      HeapFree(GetProcessHeap(), 0, name);
      return IncludeTrailingBackslash(out);
    }
  }
  wchar_t full[4096];
  const DWORD n = GetFullPathNameW(gbk::ToWide(given).c_str(), 4096, full, nullptr);
  return IncludeTrailingBackslash(n > 0 && n < 4096 ? gbk::FromWide(std::wstring(full, n)) : given);
#else
  return IncludeTrailingBackslash(given);
#endif
}

inline std::string ShippedFolder() { return FolderOfBuild(TORVIK_PROGRAM_DIR); }
