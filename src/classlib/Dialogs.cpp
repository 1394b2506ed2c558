#include "classlib/Dialogs.h"

#include <algorithm>

#include "classlib/Gbk.h"

namespace {

HWND OwnerWindow() { return GetActiveWindow(); }

// "a|b|c|d" as the system wants it: pieces ended by NULs, the whole by two.
std::wstring FilterPieces(const std::string& filter) {
  std::wstring w = gbk::ToWide(filter);
  std::replace(w.begin(), w.end(), L'|', L'\0');
  w.push_back(L'\0');
  w.push_back(L'\0');
  return w;
}

}  // namespace

bool TOpenDialog::Execute() {
  std::wstring filter = FilterPieces(Filter);
  std::wstring name = gbk::ToWide(FileName);
  name.resize(std::max<size_t>(name.size() + 1, 4096), L'\0');
  std::wstring ext = gbk::ToWide(DefaultExt), dir = gbk::ToWide(InitialDir), title = gbk::ToWide(Title);
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = OwnerWindow();
  ofn.lpstrFilter = Filter.empty() ? nullptr : filter.c_str();
  ofn.nFilterIndex = static_cast<DWORD>(std::max(FilterIndex, 1));
  ofn.lpstrFile = name.data();
  ofn.nMaxFile = static_cast<DWORD>(name.size());
  ofn.lpstrInitialDir = dir.empty() ? nullptr : dir.c_str();
  ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
  ofn.lpstrDefExt = ext.empty() ? nullptr : ext.c_str();
  ofn.Flags = Flags() | OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!Run(ofn)) return false;
  FileName = gbk::FromWide(name.c_str());
  FilterIndex = static_cast<int>(ofn.nFilterIndex);
  return true;
}

bool TFontDialog::Execute() {
  LOGFONTW lf{};
  HDC screen = GetDC(nullptr);
  lf.lfHeight = -MulDiv(Font.Size, GetDeviceCaps(screen, LOGPIXELSY), 72);
  lf.lfWeight = Font.Bold ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = Font.Italic;
  lf.lfUnderline = Font.Underline;
  lf.lfCharSet = GB2312_CHARSET;
  std::wstring face = gbk::ToWide(Font.Name);
  face.resize(std::min<size_t>(face.size(), LF_FACESIZE - 1));
  std::copy(face.begin(), face.end(), lf.lfFaceName);
  CHOOSEFONTW cf{};
  cf.lStructSize = sizeof cf;
  cf.hwndOwner = OwnerWindow();
  cf.lpLogFont = &lf;
  cf.rgbColors = ColorToRGB(Font.Color);
  cf.Flags = CF_SCREENFONTS | CF_EFFECTS | CF_INITTOLOGFONTSTRUCT;
  bool ok = ChooseFontW(&cf);
  if (ok) {
    Font.Name = gbk::FromWide(lf.lfFaceName);
    Font.Size =
        cf.iPointSize > 0 ? cf.iPointSize / 10 : MulDiv(std::abs(lf.lfHeight), 72, GetDeviceCaps(screen, LOGPIXELSY));
    Font.Bold = lf.lfWeight >= FW_BOLD;
    Font.Italic = lf.lfItalic;
    Font.Underline = lf.lfUnderline;
    Font.Color = static_cast<TColor>(cf.rgbColors);
  }
  ReleaseDC(nullptr, screen);
  return ok;
}

bool TColorDialog::Execute() {
  CHOOSECOLORW cc{};
  cc.lStructSize = sizeof cc;
  cc.hwndOwner = OwnerWindow();
  cc.rgbResult = ColorToRGB(Color);
  cc.lpCustColors = custom_;
  cc.Flags = CC_RGBINIT | CC_FULLOPEN;
  if (!ChooseColorW(&cc)) return false;
  Color = static_cast<TColor>(cc.rgbResult);
  return true;
}

TPrintDialog::~TPrintDialog() {
  if (dc_) DeleteDC(dc_);
}

bool TPrintDialog::Execute() {
  PRINTDLGW pd{};
  pd.lStructSize = sizeof pd;
  pd.hwndOwner = OwnerWindow();
  pd.Flags = PD_RETURNDC | PD_NOSELECTION | PD_NOPAGENUMS;
  if (!PrintDlgW(&pd)) return false;
  if (pd.hDevMode) GlobalFree(pd.hDevMode);
  if (pd.hDevNames) GlobalFree(pd.hDevNames);
  if (dc_) DeleteDC(dc_);
  dc_ = pd.hDC;
  return dc_ != nullptr;
}
