#include "skin/WinSkinData.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include "classlib/Files.h"
#include "classlib/Forms.h"
#include "classlib/Gbk.h"
#include "classlib/StrUtils.h"
#include "skin/Imgutil.h"
#include "skin/SkinRead.h"
#include "skin/WinSkinForm.h"
#include "skin/WinSkinIni.h"
#include "skin/WinSkinStore.h"

// ---- Skin objects ----

TDataSkinObject::TDataSkinObject(std::string name) : Image(std::make_unique<TBitmap>()), Name(std::move(name)) {}

TDataSkinBorder::TDataSkinBorder(std::string name)
    : TDataSkinObject(std::move(name)), Image2(std::make_unique<TBitmap>()) {}

TDataSkinButton::TDataSkinButton(std::string name)
    : TDataSkinObject(std::move(name)),
      CheckButton(std::make_unique<TBitmap>()),
      RadioButton(std::make_unique<TBitmap>()) {}

TDataSkinTitle::TDataSkinTitle(std::string name) : TDataSkinObject(std::move(name)) {}

TDataSkinSysButton::TDataSkinSysButton(std::string name) : TDataSkinObject(std::move(name)) {}

TDataSkinBoxLabel::TDataSkinBoxLabel(std::string name) : TDataSkinObject(std::move(name)) {}

// ---- The manager link ----

namespace {
TSkinManagerFactory managerFactory = nullptr;
TSkinManageLink* manager = nullptr;
}  // namespace

void SetSkinManagerFactory(TSkinManagerFactory factory) { managerFactory = factory; }
TSkinManageLink* SkinManagerLink() { return manager; }
void SetSkinManagerLink(TSkinManageLink* m) { manager = m; }

// ---- Free functions ----

const TUser32Extras& User32Extras() {
  static const TUser32Extras extras = [] {
    TUser32Extras e;
    if (HMODULE user32 = GetModuleHandleW(L"user32.dll")) {
      e.GetScrollBarInfo = reinterpret_cast<decltype(e.GetScrollBarInfo)>(
          reinterpret_cast<void*>(GetProcAddress(user32, "GetScrollBarInfo")));
      e.TrackMouseEvent = reinterpret_cast<decltype(e.TrackMouseEvent)>(
          reinterpret_cast<void*>(GetProcAddress(user32, "TrackMouseEvent")));
      e.GetComboBoxInfo = reinterpret_cast<decltype(e.GetComboBoxInfo)>(
          reinterpret_cast<void*>(GetProcAddress(user32, "GetComboBoxInfo")));
      e.DisableProcessWindowsGhosting = reinterpret_cast<decltype(e.DisableProcessWindowsGhosting)>(
          reinterpret_cast<void*>(GetProcAddress(user32, "DisableProcessWindowsGhosting")));
    }
    return e;
  }();
  return extras;
}

bool Win32PlatformIsUnicode() {
  static const bool nt = [] {
    OSVERSIONINFOW v{};
    v.dwOSVersionInfoSize = sizeof v;
    return !GetVersionExW(&v) || v.dwPlatformId == VER_PLATFORM_WIN32_NT;
  }();
  return nt;
}

int Tnt_DrawTextW(HDC dc, const std::wstring& text, RECT& r, UINT flags) {
  if (Win32PlatformIsUnicode()) return DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, flags);
  std::string narrow = WideStringToStringEx(text);
  return DrawTextA(dc, narrow.c_str(), -1, &r, flags);
}

std::wstring StrToWideStr(const std::string& text) {
  if (text.empty()) return {};
  int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
  return out;
}

std::string WideStringToStringEx(const std::wstring& text) {
  if (text.empty()) return {};
  int n = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

std::wstring _WStr(const wchar_t* p, int n) {
  if (!p) return {};
  return n < 0 ? std::wstring(p) : std::wstring(p, static_cast<size_t>(n));
}

TColor strcolor(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.remove_suffix(1);
  int values[3] = {0, 0, 0};
  int found = 0;
  size_t i = 0;
  while (i < text.size() && found < 3) {
    if (!std::isdigit(static_cast<unsigned char>(text[i]))) {
      ++i;
      continue;
    }
    uint32_t v = 0;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
      v = (v * 10 + static_cast<uint32_t>(text[i] - '0')) & 0xFF;  // only the low 8 bits count
      ++i;
    }
    // A run that ends the text counts only as the third number.
    if (i == text.size() && found < 2) break;
    values[found++] = static_cast<int>(v);
  }
  return RGBToColor(values[0], values[1], values[2]);
}

TControl* FindControlx(HWND window) { return window ? TControl::FromHandle(window) : nullptr; }

void DoTrackMouse(HWND window) {
  if (!User32Extras().TrackMouseEvent) return;
  TRACKMOUSEEVENT t{sizeof t, TME_LEAVE, window, 0};
  User32Extras().TrackMouseEvent(&t);
}

// ---- The component ----

namespace {

// Other libraries' control classes and the kind of skinner each takes, as written.
struct ThirdPartyKind {
  const char* kind;
  std::initializer_list<const char*> classes;
};
const ThirdPartyKind kSkin3rd[] = {
    {"scrollbar",
     {"TCategoryButtons", "TVirtualStringTree", "TVirtualDrawTree", "TAdvPanelGroup", "THTMLViewer", "TDBCtrlGrid",
      "TImageEnMView", "TImageEnView", "TAdvMemo", "TDBAdvMemo"}},
    {"pngbitbtn", {"TPngBitBtn"}},
    {"speedbutton", {"TRxSpeedButton", "TfrSpeedButton", "TfrTBButton"}},
    {"button", {"TRzButton"}},
    {"bitbtn", {"TRzBitbtn", "TLMDButton", "TcxButton"}},
    {"menubtn", {"TRzMenuButton"}},
    {"Panel",
     {"TTBXDockablePanel", "TControlBar", "TTBDock", "TTBToolbar", "TRzGroup", "TLMDCalculator", "TLMDGROUPBOX",
      "TLMDSIMPLEPANEL", "TLMDDBCalendar", "TLMDButtonPanel", "TLMDLMDCalculator", "TLMDHeaderPanel",
      "TLMDTechnicalLine", "TLMDLMDClock", "TLMDTrackbar"}},
    {"panel",
     {"trmtoolbarsize", "trmtoolbar", "trmtoolbaredit", "trmtoolbarborder", "trmtoolbaralign", "trmtoolbarstandard",
      "trmtoolbaraddintools"}},
    {"combobox", {"TComboboxex",          "TcxDBLookupComboBox",    "TcxDBComboBox",
                  "TcxDBDateEdit",        "TcxDBImageComboBox",     "TcxDBCalcEdit",
                  "TcxDBBlobEdit",        "TcxDBPopupEdit",         "TcxDBFontNameComboBox",
                  "TcxDBShellComboBox",   "TRxLookupEdit",          "TRxDBLookupCombo",
                  "TRzDateTimeEdit",      "TRzColorEdit",           "TRzDateTimePicker",
                  "TRzDBDateTimeEdit",    "TRzDbColorEdit",         "TRzDBDateTimePicker",
                  "TLMDListCombobox",     "TLMDCheckListCombobox",  "TLMDHeaderListCombobox",
                  "TLMDImageCombobox",    "TLMDColorCombobox",      "TLMDFontCombobox",
                  "TLMDFontSizeCombobox", "TLMDFontSizeCombobox",   "TLMDPrinterCombobox",
                  "TLMDDriveCombobox",    "TLMDCalculatorComboBox", "TLMDTrackBarComboBox",
                  "TLMDCalendarComboBox", "TLMDTreeComboBox",       "TDBLookupCombobox"}},
    {"Combobox", {"TWWDBCombobox", "TWWDBCombobox"}},
    {"combobox", {"TWWDBLookupCombo", "TWWKeyCombo", "TWWTempKeyCombo", "TWWDBDateTimePicker"}},
    {"Edit", {"TRzButtonEdit", "TLMDCalculatorEdit"}},
    {"edit",
     {"TLMDEDIT", "TLMDMASKEDIT", "TLMDBROWSEEDIT", "TLMDEXTSPINEDIT", "TLMDCALENDAREDIT", "TLMDFILEOPENEDIT",
      "TLMDFILESAVEEDIT", "TLMDCOLOREDIT", "TLMDDBEDIT", "TLMDDBMASKEDIT", "TLMDDBEXTSPINEDIT", "TLMDDBSPINEDIT"}},
    {"Edit", {"TLMDDBEDITDBLookup", "TLMDEDITDBLookup"}},
    {"edit",
     {"TWWDBEDIT", "TOVCPICTUREFIELD", "TOVCDBPICTUREFIELD", "TOVCSLIDEREDIT", "TOVCDBSLIDEREDIT", "TOVCSIMPLEFIELD",
      "TOVCDBSIMPLEFIELD", "TO32DBFLEXEDIT", "TOVCNUMERICFIELD", "TOVCDBNUMERICFIELD"}},
    {"CheckGroup", {"TRzCheckGroup", "TLMDCheckGroup", "TLMDDBCheckGroup"}},
    {"Radiogroup", {"TRzRadioGroup", "TRzDBRadioGroup"}},
    {"radiogroup", {"TLMDRADIOGROUP", "TLMDDBRADIOGROUP", "TWWRADIOGROUP"}},
    {"Radiogroup", {"TcxDBRadioGroup", "TcxRadioGroup"}},
    {"Radiobutton", {"TRzDBRadioButton", "TLMDRadiobutton"}},
    {"Checkbox", {"TDBCheckboxEh", "TDBCheckboxEh", "TLMDCHECKBOX", "TLMDDBCHECKBOX"}},
    {"Groupbox", {"TLMDGroupBox"}},
    {"groupbox", {"TcxGroupbox"}},
};

// The four menu glyphs of the system menu, 16 x 16 each on white (the mask colour), in
// the order the system menu's commands take them: restore, maximise, minimise, close.
void DrawMenuGlyphs(TBitmap& b) {
  b.SetSize(64, 16);
  TCanvas& c = b.Canvas();
  c.Brush.Color = clWhite;
  c.FillRect(RECT{0, 0, 64, 16});
  c.Brush.Color = clBlack;
  auto box = [&](int x, int y, int w, int h) {
    c.FillRect(RECT{x, y, x + w, y + 2});
    c.FillRect(RECT{x, y, x + 1, y + h});
    c.FillRect(RECT{x + w - 1, y, x + w, y + h});
    c.FillRect(RECT{x, y + h - 1, x + w, y + h});
  };
  box(6, 3, 7, 6);  // restore: two windows
  box(3, 6, 7, 7);
  box(16 + 3, 3, 10, 10);                     // maximise: one window
  c.FillRect(RECT{32 + 4, 11, 32 + 11, 13});  // minimise: a bar
  for (int i = 0; i < 8; ++i) {               // close: a cross
    c.FillRect(RECT{48 + 4 + i, 4 + i, 48 + 6 + i, 5 + i});
    c.FillRect(RECT{48 + 10 - i, 4 + i, 48 + 12 - i, 5 + i});
  }
}

}  // namespace

TSkinData::TSkinData(TComponent* owner)
    : TComponent(owner),
      AppIcon(std::make_unique<TBitmap>()),
      Title(std::make_unique<TDataSkinTitle>("Title")),
      Buttons(std::make_unique<TDataSkinButton>("Buttons")),
      MenuImages(std::make_unique<TImageList>()) {
  const char* names[] = {"Left", "Right", "Top", "Bottom"};
  for (int i = 1; i <= 4; ++i) Border[i] = std::make_unique<TDataSkinBorder>(names[i - 1]);
  AppIcon->PixelFormat = pf24bit;
  TBitmap glyphs;
  DrawMenuGlyphs(glyphs);
  MenuImages->AddStrip(glyphs, RGB(255, 255, 255));
  FillSkin3rd();
  MaxWidth = GetSystemMetrics(SM_CXMAXIMIZED);
  MaxHeight = GetSystemMetrics(SM_CYMAXIMIZED);
}

TSkinData::~TSkinData() {
  if (TSkinManageLink* m = SkinManagerLink()) m->RemoveSkinData(this);
  if (FaceBrush) DeleteObject(FaceBrush);
  if (CaptionFont) DeleteObject(CaptionFont);
}

void TSkinData::FillSkin3rd() {
  for (const ThirdPartyKind& k : kSkin3rd) {
    for (const char* cls : k.classes) Skin3rd.Add(std::string(cls) + "=" + k.kind);
  }
}

bool TSkinData::Fail(std::string text) {
  lastError_ = std::move(text);
  return false;
}

// ---- What the program calls ----

// SkinFile is the last name given, loaded or not. A package that cannot be read leaves
// the data as they were (not empty): the windows wearing the skin keep painting it, and
// it can still be switched on.
bool TSkinData::LoadFromFile(const std::string& fileName) {
  SkinFile = fileName;
  if (!file::Exists(fileName)) return Fail(gbk::FromUtf8("找不到皮肤文件 ") + fileName);
  std::string package;
  if (!file::ReadAll(fileName, package)) return Fail(file::LastErrorText());
  if (!LoadPackage(std::move(package))) return false;  // nothing new to show: the windows keep their look
  UpdateSkin();
  return true;
}

void TSkinData::SetActive(bool value) {
  if (value == active_) return;
  active_ = value;
  if (SkinFormtype != sfMainform && SkinFormtype != sfOnlyThisForm) return;
  if (value && SkinEmpty) return;
  if (value) {
    Install();
  } else {
    Uninstall();
  }
}

// ---- Streaming ----

void TSkinData::Loaded() {
  if (!User32Extras().GetScrollBarInfo) SkinControls = WithElement(SkinControls, xcScrollbar, false);
  TSkinManageLink* m = SkinManagerLink();
  if (!m && managerFactory) SetSkinManagerLink(m = managerFactory());
  if (m) m->AddSkinData(this);
  CreateCaptionFont();
  if (SkinFormtype == sfMainform) {
    if (m) m->InstallHook();
    if (active_ && SkinEmpty) {
      active_ = false;
    } else if (active_) {
      RequestAction(1);
    }
    SkinControls = WithElement(SkinControls, InSet(SkinControls, xcMainMenu) ? xcMenuItem : xcSystemMenu, false);
    GetAppIcon();
    return;
  }
  if (!m) return;
  m->Enable(true);
  m->CountInstalled();
  auto* form = dynamic_cast<TControl*>(Owner());
  if (form && active_ && form->HandleAllocated()) m->AddForm(form->Handle());
}

bool TSkinData::ReadData(std::string_view stream) {
  if (stream.size() < 4) return Fail("SkinStream: no length");
  const uint32_t n = static_cast<uint8_t>(stream[0]) | static_cast<uint8_t>(stream[1]) << 8 |
                     static_cast<uint8_t>(stream[2]) << 16 |
                     static_cast<uint32_t>(static_cast<uint8_t>(stream[3])) << 24;
  if (n == 0) return true;
  if (n > stream.size() - 4) return Fail("SkinStream: the length exceeds the data");
  return LoadPackage(std::string(stream.substr(4, n)));
}

void TSkinData::WriteData(std::string& stream) const {
  const uint32_t n = static_cast<uint32_t>(SkinStream.size());
  for (int shift = 0; shift < 32; shift += 8) stream.push_back(static_cast<char>((n >> shift) & 0xFF));
  stream += SkinStream;
}

// ---- Loading ----

// A package that cannot be read changes nothing: the skin objects, the stream and the
// data's state stay those of the skin in use. Only a description read in part leaves
// the data empty.
bool TSkinData::LoadSkin() {
  lastErrorShown_ = false;
  TSkinReader reader;
  if (!reader.Loadfromstream(SkinStream)) {
    if (reader.LastError() == gbk::FromUtf8("此文件版本不同\r请升级新版本 !")) {
      ShowMessage(reader.LastError());
      lastErrorShown_ = true;
    }
    return Fail(reader.LastError());
  }
  std::string text, entryName;
  if (!reader.readIni(".ini", text, entryName)) return Fail("the package holds no description");
  SkinEmpty = true;
  TQuickIni ini;
  ini.LoadFromStream(text);
  reader_ = &reader;
  Ini = &ini;
  bool ok = LoadFromIni();
  Ini = nullptr;
  reader_ = nullptr;
  return ok;
}

bool TSkinData::LoadPackage(std::string package) {
  std::string previous = std::exchange(SkinStream, std::move(package));
  const bool wasEmpty = SkinEmpty;
  if (LoadSkin()) return true;
  if (SkinEmpty == wasEmpty) SkinStream = std::move(previous);
  return false;
}

bool TSkinData::LoadFromStream(std::string_view package) {
  if (!LoadPackage(std::string(package))) return false;
  if (SkinFormtype == sfMainform) UpdateSkin();
  return true;
}

bool TSkinData::LoadFromCollection(const TSkinStore& store, int index) {
  const TSkinCollection& items = store.Store();
  if (index < 0 || index >= items.Count()) return Fail("no skin of that index in the store");
  std::string package;
  items.Items(index).CopyData(package);
  if (!LoadPackage(std::move(package))) return false;
  UpdateSkin();
  return true;
}

void TSkinData::UpdateSkin() {
  if (!SkinManagerLink()) Loaded();
  TSkinManageLink* m = SkinManagerLink();
  if (!m) return;
  m->SetCurrentData(this);
  m->DeleteSysbtn();
  if (m->Installed()) m->SetAction(3, 250);
}

// ---- Requests to the manager ----

void TSkinData::RequestAction(int action) {
  if (TSkinManageLink* m = SkinManagerLink()) {
    m->SetCurrentData(this);
    m->SetAction(action, 250);
  }
}

void TSkinData::Install() {
  RequestAction(1);
  if (TSkinManageLink* m = SkinManagerLink()) m->SetInstalled();
}

void TSkinData::Uninstall() { RequestAction(2); }

void TSkinData::ChangeForm(HWND form) {
  if (TSkinManageLink* m = SkinManagerLink()) m->ChangeForm(form, this);
}

void TSkinData::SkinForm(HWND window) {
  if (TSkinManageLink* m = SkinManagerLink()) {
    m->SetCurrentData(this);
    m->SkinForm(window);
  }
}

void TSkinData::EnableSkin(bool on) {
  if (TSkinManageLink* m = SkinManagerLink()) m->Enable(on);
}

void TSkinData::InstallThread(DWORD threadId) {
  if (TSkinManageLink* m = SkinManagerLink()) m->InstallThread(threadId);
}

void TSkinData::UnInstallThread(DWORD threadId) {
  if (TSkinManageLink* m = SkinManagerLink()) m->UnInstallThread(threadId);
}

// ---- Services for the form skinner ----

void TSkinData::UpdateSkinControl(HWND form, TControl* control) {
  if (TSkinManageLink* m = SkinManagerLink()) m->UpdateSkinControl(form, control);
}

void TSkinData::AddNestForm(HWND form, HWND nested) {
  if (TSkinManageLink* m = SkinManagerLink()) m->AddNestForm(form, nested);
}

void TSkinData::DeleteGraphicControl(HWND form, TControl* control) {
  if (TSkinManageLink* m = SkinManagerLink()) m->DeleteGraphicControl(form, control);
}

void TSkinData::UpdateMenu(HWND form) {
  if (TSkinManageLink* m = SkinManagerLink()) m->UpdateMenu(form);
}

void TSkinData::UpdateMainMenu(bool rebuild) {
  MainMenuUpdate = rebuild;
  if (!rebuild) return;
  if (TSkinManageLink* m = SkinManagerLink()) m->RebuildMenuBars();
}

void TSkinData::DoFormSkin(HWND window, const std::string& className, bool& doSkin) {
  LastFormHandle = window;
  if (OnFormSkin) {
    OnFormSkin(this, className, doSkin);
    return;
  }
  if (className == "SysMonthCal32") doSkin = false;
  if (InSet(SkinControls, xcFastReport) && className.compare(0, 3, "Tfr") == 0) doSkin = false;
}

void TSkinData::DoSkinChanged() {
  if (OnSkinChanged) OnSkinChanged(this);
}

void TSkinData::DoDebug(const std::string& text) {
  if (DebugList) DebugList->Add(text);
}

TColor TSkinData::GetColor(const std::string& text, TColor def) const { return text.empty() ? def : strcolor(text); }

bool TSkinData::GetPrecolor(TColor& colour, int index) const {
  if (index < 0 || index >= static_cast<int>(PreColors.size())) return false;
  colour = PreColors[static_cast<size_t>(index)];
  return true;
}

namespace {

// The class library's enumerated published properties: the value names in their order,
// and how to set one on an object (false when the object has no such property).
struct EnumProperty {
  const char* name;
  std::initializer_list<const char*> values;
  bool (*set)(TObject* object, int value);
};

template <class T, class F>
bool On(TObject* object, F apply) {
  auto* t = dynamic_cast<T*>(object);
  if (t) apply(*t);
  return t != nullptr;
}

const EnumProperty kEnumProperties[] = {
    {"BorderStyle",
     {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"},
     [](TObject* o, int v) { return On<TForm>(o, [v](TForm& f) { f.BorderStyle = TFormBorderStyle(v); }); }},
    {"Position",
     {"poDesigned", "poScreenCenter", "poMainFormCenter"},
     [](TObject* o, int v) { return On<TForm>(o, [v](TForm& f) { f.Position = TPosition(v); }); }},
    {"WindowState",
     {"wsNormal", "wsMinimized", "wsMaximized"},
     [](TObject* o, int v) { return On<TForm>(o, [v](TForm& f) { f.SetWindowState(TWindowState(v)); }); }},
    {"KeyPreview",
     {"False", "True"},
     [](TObject* o, int v) { return On<TForm>(o, [v](TForm& f) { f.KeyPreview = v != 0; }); }},
    {"AutoScroll",
     {"False", "True"},
     [](TObject* o, int v) { return On<TForm>(o, [v](TForm& f) { f.SetAutoScroll(v != 0); }); }},
    {"Align",
     {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"},
     [](TObject* o, int v) { return On<TControl>(o, [v](TControl& c) { c.SetAlign(TAlign(v)); }); }},
    {"Visible",
     {"False", "True"},
     [](TObject* o, int v) { return On<TControl>(o, [v](TControl& c) { c.SetVisible(v != 0); }); }},
    {"Enabled",
     {"False", "True"},
     [](TObject* o, int v) { return On<TControl>(o, [v](TControl& c) { c.SetEnabled(v != 0); }); }},
    {"ParentFont",
     {"False", "True"},
     [](TObject* o, int v) { return On<TControl>(o, [v](TControl& c) { c.ParentFont = v != 0; }); }},
};

}  // namespace

bool TSkinData::ChangeProperty(TObject* object, const std::string& name, const std::string& value) {
  if (!object) return false;
  for (const EnumProperty& p : kEnumProperties) {
    if (!SameText(p.name, name)) continue;
    int index = 0;
    for (const char* v : p.values) {
      if (SameText(v, value)) return p.set(object, index);
      ++index;
    }
    return false;
  }
  return false;
}

std::string TSkinData::GetFileName(const std::string& name) {
  size_t dot = name.find('.');
  return dot == std::string::npos ? std::string() : name.substr(0, dot);
}

int TSkinData::GetSectionNum(const std::string& prefix, const std::string& key) const {
  if (!Ini) return 0;
  int n = 0;
  while (!Ini->ReadString(Format("%s%1d", prefix.c_str(), n), key, "").empty()) ++n;
  return n;
}

bool TSkinData::GetScrollBarInfo(HWND window, LONG id, SCROLLBARINFO* info) {
  return User32Extras().GetScrollBarInfo && User32Extras().GetScrollBarInfo(window, id, info);
}

// ---- Derived pieces ----

void TSkinData::CreateCaptionFont() {
  if (CaptionFont) DeleteObject(CaptionFont);
  CaptionFont = nullptr;
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
    CaptionFont = CreateFontIndirectW(&metrics.lfCaptionFont);
  }
}

namespace {

HICON WindowIcon(HWND window) {
  if (!window) return nullptr;
  auto icon = reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_SMALL, 0));
  if (!icon) icon = reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_BIG, 0));
  if (!icon) icon = reinterpret_cast<HICON>(GetClassLongPtrW(window, GCLP_HICONSM));
  if (!icon) icon = reinterpret_cast<HICON>(GetClassLongPtrW(window, GCLP_HICON));
  return icon;
}

BOOL CALLBACK FirstIconGroup(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR found) {
  *reinterpret_cast<LPWSTR*>(found) = name;
  return FALSE;
}

// The icon the program file carries, or the one Windows shows for a program without.
HICON ProgramIcon() {
  HMODULE self = GetModuleHandleW(nullptr);
  LPWSTR name = nullptr;
  EnumResourceNamesW(self, RT_GROUP_ICON, FirstIconGroup, reinterpret_cast<LONG_PTR>(&name));
  if (name) {
    if (auto icon = LoadIconW(self, name)) return icon;
  }
  return LoadIconW(nullptr, IDI_APPLICATION);
}

}  // namespace

// The program's icon: that of its main window (the application's window), else the
// program file's own.
void TSkinData::GetAppIcon() {
  HWND app = nullptr;
  if (Application && Application->MainForm() && Application->MainForm()->HandleAllocated())
    app = Application->MainForm()->Handle();
  if (auto* form = dynamic_cast<TControl*>(Owner()); !app && form && form->HandleAllocated()) app = form->Handle();
  HICON icon = WindowIcon(app);
  if (!icon) icon = ProgramIcon();
  if (!icon) return;
  const int w = GetSystemMetrics(SM_CXSMICON), h = GetSystemMetrics(SM_CYSMICON);
  auto copy = static_cast<HICON>(CopyImage(icon, IMAGE_ICON, w, h, LR_COPYFROMRESOURCE));
  if (!copy) copy = static_cast<HICON>(CopyImage(icon, IMAGE_ICON, w, h, 0));
  if (!copy) return;
  DrawIconOnKey(*AppIcon, copy, w, h);
  DestroyIcon(copy);
}

void DrawIconOnKey(TBitmap& bitmap, HICON icon, int w, int h) {
  // Drawn on black and on white, a pixel differs by what shows through it: that gives
  // its opacity, and the black drawing divided by it the icon's own colour.
  TBitmap onBlack, onWhite;
  for (TBitmap* ground : {&onBlack, &onWhite}) {
    ground->SetSize(w, h);
    ground->Canvas().Brush.Color = ground == &onBlack ? clBlack : clWhite;
    ground->Canvas().FillRect(RECT{0, 0, w, h});
    DrawIconEx(ground->Canvas().Handle(), 0, 0, icon, w, h, 0, nullptr, DI_NORMAL);
  }
  bitmap.SetSize(w, h);
  bitmap.PixelFormat = pf24bit;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const COLORREF dark = ColorToRGB(onBlack.Pixel(x, y)), light = ColorToRGB(onWhite.Pixel(x, y));
      const int seen = (GetRValue(light) - GetRValue(dark) + GetGValue(light) - GetGValue(dark) + GetBValue(light) -
                        GetBValue(dark)) /
                       3;
      const int opacity = 255 - std::clamp(seen, 0, 255);
      if (opacity < 128) {
        bitmap.Canvas().SetPixel(x, y, kKeyColour);
        continue;
      }
      auto own = [opacity](int c) { return std::min(255, c * 255 / opacity); };
      bitmap.Canvas().SetPixel(x, y, RGBToColor(own(GetRValue(dark)), own(GetGValue(dark)), own(GetBValue(dark))));
    }
  }
}

void TSkinData::CreateMinCaption() {
  if (!MinCaption) MinCaption = std::make_unique<TDataSkinObject>("MinCaption");
  TBitmap& b = *MinCaption->Image;
  b.SetSize(80, 29);
  const TColor caption = GetCaptionColor();
  b.Canvas().Brush.Color = caption;
  b.Canvas().Pen.Color = Blend(0, caption, 50);
  b.Canvas().Rectangle(0, 0, 80, 29);
  MinCaption->Frame = 1;
  MinCaption->LeftWidth = MinCaption->TopHeight = MinCaption->RightWidth = MinCaption->BottomHeight = 3;
}

TColor TSkinData::GetCaptionColor() const {
  const TBitmap& top = *Border[3]->Image;
  if (top.Empty()) return SchemeColors[csButtonFace];
  const int frames = std::max(Border[3]->Frame, 1);
  return top.Pixel(top.Width() / 3, (top.Height() / frames) / 3);
}
