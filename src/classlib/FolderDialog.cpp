#include "classlib/FolderDialog.h"

#include <windows.h>
// after <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include "classlib/Gbk.h"

namespace {

int CALLBACK StartAt(HWND dialog, UINT msg, LPARAM, LPARAM start) {
  if (msg == BFFM_INITIALIZED && start) SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, start);
  return 0;
}

}  // namespace

bool SelectDirectory(const std::string& prompt, std::string& folder) {
  // The dialog's new-folder button needs COM in this thread.
  HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  std::wstring title = gbk::ToWide(prompt), start = gbk::ToWide(folder);
  BROWSEINFOW bi{};
  bi.hwndOwner = GetActiveWindow();
  bi.lpszTitle = title.c_str();
  bi.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
  bi.lpfn = StartAt;
  bi.lParam = start.empty() ? 0 : reinterpret_cast<LPARAM>(start.c_str());
  bool chosen = false;
  if (PIDLIST_ABSOLUTE list = SHBrowseForFolderW(&bi)) {
    wchar_t path[MAX_PATH] = {};
    chosen = SHGetPathFromIDListW(list, path) && path[0];
    if (chosen) folder = gbk::FromWide(path);
    CoTaskMemFree(list);
  }
  if (SUCCEEDED(com)) CoUninitialize();
  return chosen;
}
