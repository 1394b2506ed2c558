#include "skin/WinSkinDlg.h"

#include <algorithm>
#include <cctype>
#include <cwchar>

#include "skin/WinSkinFrame.h"

TSkinManage* SkinManager = nullptr;

namespace {

std::string WindowClass(HWND window) {
  char name[256] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

HINSTANCE ProgramInstance() { return GetModuleHandleW(nullptr); }

LRESULT CALLBACK SkinHookCBT(int code, WPARAM w, LPARAM l) {
  if (code >= 0 && SkinManager) {
    HWND window = reinterpret_cast<HWND>(w);
    switch (code) {
      case HCBT_CREATEWND:
        SkinManager->WindowCreated(window, *reinterpret_cast<CBT_CREATEWNDA*>(l)->lpcs);
        break;
      case HCBT_ACTIVATE:
        if (SkinManager->State == 0) SkinManager->State = 1;
        SkinManager->InstallFlag = true;
        SkinManager->AddForm(window);
        SkinManager->InstallFlag = false;
        break;
      case HCBT_DESTROYWND:
        SkinManager->DeleteMenu(window);
        SkinManager->WindowDestroyed(window);
        break;
      default:
        break;
    }
  }
  return CallNextHookEx(nullptr, code, w, l);
}

// Another thread's scroll bar is not let onto a skinned form: a hook's non-zero answer
// stops the window's creation.
LRESULT CALLBACK SkinHookCBT2(int code, WPARAM w, LPARAM l) {
  if (code >= 0 && SkinManager) {
    HWND window = reinterpret_cast<HWND>(w);
    if (code == HCBT_CREATEWND) {
      const std::string cls = WindowClass(window);
      const HWND parent = reinterpret_cast<CBT_CREATEWNDA*>(l)->lpcs->hwndParent;
      if (Lower(cls) == "scrollbar" && SkinManager->FindSkinForm(parent)) return 10;
      if (cls == "#32768") SkinManager->AddMenu(window);
    }
    if (code == HCBT_DESTROYWND) {
      SkinManager->DeleteMenu(window);
      SkinManager->WindowDestroyed(window);
    }
    if (code == HCBT_ACTIVATE) {
      if (SkinManager->State == 0) SkinManager->State = 1;
      SkinManager->AddForm(window);
    }
  }
  return CallNextHookEx(nullptr, code, w, l);
}

}  // namespace

// Only menu windows take a menu skin.
LRESULT CALLBACK SkinHookCallback(int code, WPARAM w, LPARAM l) {
  if (code == HC_ACTION && SkinManager) {
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(l);
    switch (call->message) {
      case WM_CREATE:
        if (WindowClass(call->hwnd) == "#32768") SkinManager->AddMenu(call->hwnd);
        break;
      case WM_DESTROY:
      case WM_NCDESTROY:
        SkinManager->DeleteMenu(call->hwnd);
        break;
      case WM_INITMENU:
        SkinManager->FindPopupMenu(reinterpret_cast<HMENU>(call->wParam));
        break;
      default:
        break;
    }
  }
  return CallNextHookEx(nullptr, code, w, l);
}

LRESULT CALLBACK SkinHookCallRet(int code, WPARAM w, LPARAM l) { return CallNextHookEx(nullptr, code, w, l); }

namespace {

// Any class library's control property, this module's or another's.
BOOL CALLBACK HasControlProp(HWND, LPWSTR name, HANDLE, ULONG_PTR found) {
  constexpr wchar_t kPrefix[] = L"ControlOfs";
  if (IS_INTRESOURCE(name) || wcsncmp(name, kPrefix, wcslen(kPrefix)) != 0) return TRUE;
  *reinterpret_cast<bool*>(found) = true;
  return FALSE;
}

BOOL CALLBACK CollectForm(HWND window, LPARAM l) {
  if (TForm* f = TSkinManage::FindTForm(window)) reinterpret_cast<std::vector<TForm*>*>(l)->push_back(f);
  return TRUE;
}

// The manager goes at program end.
struct ManagerEnd {
  ~ManagerEnd() { FreeSkinManager(); }
} managerEnd;

TSkinManageLink* CreateManager() {
  if (!SkinManager) SkinManager = new TSkinManage();
  return SkinManager;
}

}  // namespace

void UseSkinManager() { SetSkinManagerFactory(CreateManager); }

void FreeSkinManager() {
  delete SkinManager;
  SkinManager = nullptr;
}

void SkinDll(TSkinManage* programManager) {
  if (!programManager || programManager == SkinManager) return;  // called in the program itself
  if (!SkinManager) {
    HMODULE self = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&SkinDll), &self);
    SkinManager = new TSkinManage(self);
    if (!SkinManagerLink()) SetSkinManagerLink(SkinManager);
  }
  SkinManager->AssignData(programManager);
  SkinManager->InstallHook();
  SkinManager->CountInstalled();
}

std::vector<TForm*> ThreadForms() {
  std::vector<TForm*> forms;
  EnumThreadWindows(GetCurrentThreadId(), CollectForm, reinterpret_cast<LPARAM>(&forms));
  std::reverse(forms.begin(), forms.end());  // the enumeration gives the top of the z-order first
  return forms;
}

// Size grips are made by windows already skinned, after their controls were found; a
// library's manager leaves the menu windows to the program's.
void TSkinManage::WindowCreated(HWND window, const CREATESTRUCTA& cs) {
  const std::string cls = WindowClass(window);
  if (Lower(cls) == "scrollbar" && (cs.style & SBS_SIZEGRIP)) {
    if (TWinSkinForm* form = FindSkinForm(cs.hwndParent)) form->AddControlh(window);
  } else if (!(cs.style & WS_CHILD) && cls == "#32768") {
    if (!ParentManager) AddMenu(window);
  } else if (cs.dwExStyle & WS_EX_MDICHILD) {
    // An MDI child is never activated as a top-level window: it is skinned as it is made.
    AddForm(window);
  }
}

// ---- Life ----

TSkinManage::TSkinManage(HINSTANCE library)
    : ModuleInstance(library), timer_(std::make_unique<TTimer>(nullptr)), lists_(std::make_shared<Lists>()) {
  timer_->SetEnabled(false);
  timer_->SetInterval(100);
  timer_->OnTimer = [this](TObject*) { OnTimer(); };
}

TSkinManage::~TSkinManage() {
  State = 4;
  Enabled = false;
  timer_.reset();
  if (ParentManager) {
    // A library's manager takes its own windows' skins along and leaves the rest.
    DeleteSubForm(ModuleInstance);
    ParentManager->DeleteSub(this);
  } else {
    DeleteAllSub();
    for (const TSkinThread& t : threads()) UnhookWindowsHookEx(t.Hook);
    threads().clear();
    while (!forms().empty()) Drop(0, true);
  }
  FreeMenus();
  if (hook_) UnhookWindowsHookEx(hook_);
  if (SkinManagerLink() == this) SetSkinManagerLink(nullptr);
  if (SkinManager == this) SkinManager = nullptr;
}

void TSkinManage::InstallHook() {
  if (hook_) return;
  WinVersion = GetVersion();
  hook_ = SetWindowsHookExA(WH_CBT, SkinHookCBT, nullptr, GetCurrentThreadId());
}

void TSkinManage::InstallThread(DWORD threadId) {
  for (const TSkinThread& t : threads()) {
    if (t.ThreadId == threadId) return;
  }
  if (HHOOK h = SetWindowsHookExA(WH_CBT, SkinHookCBT2, nullptr, threadId)) threads().push_back({h, threadId});
}

void TSkinManage::UnInstallThread(DWORD threadId) {
  for (size_t i = 0; i < threads().size(); ++i) {
    if (threads()[i].ThreadId != threadId) continue;
    UnhookWindowsHookEx(threads()[i].Hook);
    threads().erase(threads().begin() + static_cast<long>(i));
    return;
  }
}

// ---- Library mode ----

void TSkinManage::AssignData(TSkinManage* parent) {
  if (!parent) {
    State = 4;
    Enabled = false;
    if (hook_) UnhookWindowsHookEx(hook_);
    hook_ = nullptr;
    ParentManager = nullptr;
    lists_ = std::make_shared<Lists>();
    return;
  }
  lists_ = parent->lists_;
  DefaultData = parent->DefaultData;
  State = 1;
  Enabled = parent->Enabled;
  ParentManager = parent;
  if (std::find(parent->SubManagers.begin(), parent->SubManagers.end(), this) == parent->SubManagers.end())
    parent->SubManagers.push_back(this);
}

void TSkinManage::DeleteSub(TSkinManage* sub) {
  if (std::erase(SubManagers, sub) == 0) return;
  sub->AssignData(nullptr);
}

void TSkinManage::DeleteAllSub() {
  while (!SubManagers.empty()) DeleteSub(SubManagers.back());
}

void TSkinManage::DeleteSubForm(HINSTANCE instance) {
  for (size_t i = forms().size(); i-- > 0;) {
    HWND w = forms()[i]->FHandle;
    if (IsWindow(w) && reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(w, GWLP_HINSTANCE)) == instance) Drop(i, true);
  }
}

// ---- Components ----

void TSkinManage::AddSkinData(TSkinData* data) {
  if (std::find(datas().begin(), datas().end(), data) != datas().end()) return;
  datas().push_back(data);
  if (!DefaultData && data->SkinFormtype == sfMainform) DefaultData = data;
}

void TSkinManage::RemoveSkinData(TSkinData* data) {
  std::erase(datas(), data);
  if (DefaultData == data) DefaultData = nullptr;
  if (CurrentData == data) CurrentData = nullptr;
  // Forms painted from it must not outlive it.
  for (size_t i = forms().size(); i-- > 0;) {
    if (forms()[i]->FSkinData == data) Drop(i, true);
  }
}

TSkinData* TSkinManage::FindSkindata(HWND window) const {
  const std::string cls = Lower(WindowClass(window));
  for (auto it = datas().rbegin(); it != datas().rend(); ++it) {
    auto* owner = dynamic_cast<TControl*>((*it)->Owner());
    if ((*it)->SkinFormtype == sfOnlyThisForm && owner && owner->HandleAllocated() && owner->Handle() == window)
      return *it;
  }
  if (cls == "tmessageform" || cls == "#32770") {
    for (auto it = datas().rbegin(); it != datas().rend(); ++it) {
      if ((*it)->SkinFormtype == sfDialog) return *it;
    }
  }
  for (auto it = datas().rbegin(); it != datas().rend(); ++it) {
    if ((*it)->SkinFormtype == sfMainform) return *it;
  }
  return datas().empty() ? nullptr : datas().front();
}

// ---- Deciding to skin a window ----

TForm* TSkinManage::FindTForm(HWND window) { return dynamic_cast<TForm*>(TControl::FromHandle(window)); }

TWinSkinForm* TSkinManage::FindSkinForm(HWND window) const {
  for (TWinSkinForm* f : forms()) {
    if (f->FHandle == window) return f;
  }
  return nullptr;
}

bool TSkinManage::NestedForm(HWND window) {
  const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE), ex = GetWindowLongPtrW(window, GWL_EXSTYLE);
  if (!(style & WS_CHILD) || (ex & WS_EX_MDICHILD)) return false;
  return Lower(WindowClass(GetParent(window))) != "mdiclient";
}

bool TSkinManage::OnBeforeSkin(HWND window, const std::string& className) const {
  bool doSkin = true;
  if (!DefaultData) return doSkin;
  if (!InSet(DefaultData->Options, xoPreview) && Lower(className).find("preview") != std::string::npos) doSkin = false;
  if (className == "#32770" && (GetWindowLongPtrW(window, GWL_STYLE) & 0x200)) doSkin = false;
  DefaultData->DoFormSkin(window, className, doSkin);
  return doSkin;
}

bool TSkinManage::AddForm(HWND window) {
  if (!Enabled || !IsWindow(window)) return false;
  DeleteDeleted();
  if (SendMessageW(window, CN_IsSkinned, 0, 0) == 1 || FindSkinForm(window)) return false;
  TForm* form = FindTForm(window);
  if (!Forced && NestedForm(window)) return false;
  const std::string cls = WindowClass(window);
  const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window, GWLP_HINSTANCE));
  if (!form && instance != ProgramInstance() && cls != "#32770") return false;
  RECT r{};
  GetWindowRect(window, &r);
  const bool mdiChild = GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_MDICHILD;
  if ((r.right - r.left) * (r.bottom - r.top) == 0 && !mdiChild) return false;
  if (form && form->Tag == 99) return false;
  if (cls.find("TcxPopupEditPopupWindow") != std::string::npos || cls == "TApplication") return false;
  if (!OnBeforeSkin(window, cls)) return false;
  TSkinData* data = FindSkindata(window);
  if (!data || data->SkinEmpty) return false;
  auto* skin = new TWinSkinForm();
  skin->FHandle = window;
  skin->FName = cls;
  forms().push_back(skin);
  if (form) {
    skin->InitTform(data, form);
  } else {
    skin->InitDlg(data);
  }
  PostMessageW(window, CN_SkinActive, 0, 1000);
  return true;
}

void TSkinManage::SetMDIMax(bool maximized) {
  if (DefaultData && InSet(DefaultData->Options, xoMDIChildBorder)) return;
  SetMDIMax2(maximized);
}

void TSkinManage::SetMDIMax2(bool maximized) {
  if (maximized == MDIMaximized) return;
  MDIMaximized = maximized;
  for (TWinSkinForm* f : forms()) f->MDIMaxChanged(maximized);
}

int TSkinManage::GetMDIChildNum() const {
  return static_cast<int>(
      std::count_if(forms().begin(), forms().end(), [](TWinSkinForm* f) { return f->IsMDIChild(); }));
}

void TSkinManage::SetCaption() {
  for (TWinSkinForm* f : forms()) {
    if (!f->IsMDIChild() || !IsWindow(f->FHandle)) continue;
    SetWindowLongW(f->FHandle, GWL_STYLE, GetWindowLongW(f->FHandle, GWL_STYLE) | WS_CAPTION);
  }
}

bool TSkinManage::IsDllForm(HWND window) {
  bool found = false;
  EnumPropsExW(window, HasControlProp, reinterpret_cast<LPARAM>(&found));
  return !found;
}

void TSkinManage::ActiveForm(TForm* form) {
  if (!form->HandleAllocated() || !IsWindowVisible(form->Handle())) return;
  if (GetWindowLongPtrW(form->Handle(), GWL_STYLE) & WS_CHILD) return;
  AddForm(form->Handle());
}

bool TSkinManage::SkinForm(HWND window) {
  Forced = true;
  Enabled = true;
  const bool done = AddForm(window);
  Forced = false;
  return done;
}

void TSkinManage::ChangeForm(HWND window, TSkinData* data) {
  CurrentData = data;
  ActionWindow = window;
  SetAction(7, 250);
}

// ---- Dropping skinned forms ----

void TSkinManage::Drop(size_t index, bool unskin) {
  TWinSkinForm* f = forms()[index];
  forms().erase(forms().begin() + static_cast<long>(index));
  if (unskin && f->FState != 6) {
    if (IsWindow(f->FHandle)) {
      f->UnSubclass();
      InvalidateRect(f->FHandle, nullptr, TRUE);
    } else {
      f->UnSubclass3();
    }
  }
  f->FreeWhenIdle();
}

void TSkinManage::DeleteDeleted() {
  if (State == 4) return;
  for (size_t i = forms().size(); i-- > 0;) {
    if (forms()[i]->FState == 6 || !IsWindow(forms()[i]->FHandle)) Drop(i, false);
  }
}

void TSkinManage::DeleteForm3() {
  if (State == 4) return;
  for (size_t i = forms().size(); i-- > 0;) {
    if (forms()[i]->FState == 6) Drop(i, false);
  }
}

// The class library puts the window's own procedure back before destroying it, so the
// skinner may never see WM_NCDESTROY: the hook lets it go here.
void TSkinManage::WindowDestroyed(HWND window) {
  for (size_t i = 0; i < forms().size(); ++i) {
    if (forms()[i]->FHandle != window) continue;
    forms()[i]->FState = 4;
    forms()[i]->UnSubclass3();
    forms()[i]->FState = 6;
    Drop(i, false);
    return;
  }
}

void TSkinManage::DeleteSysbtn() {
  for (TWinSkinForm* f : forms()) {
    if (f->FSkinData == CurrentData) f->DeleteSysbtn();
  }
}

void TSkinManage::UpdateSkinControl(HWND form, TControl* control) {
  if (TWinSkinForm* f = FindSkinForm(form)) f->UpdateControls(control);
}

void TSkinManage::AddNestForm(HWND form, HWND nested) {
  TWinSkinForm* host = FindSkinForm(form);
  auto* inner = dynamic_cast<TWinControl*>(TControl::FromHandle(nested));
  if (!host || !inner) return;
  new TWinSkinSpy(inner, host);
  host->InitNestform(inner);
}

void TSkinManage::DeleteGraphicControl(HWND form, TControl* control) {
  if (TWinSkinForm* f = FindSkinForm(form)) f->DeleteGraphicControl(control);
}

// Popup menus the form was given after it was skinned take the skin too.
void TSkinManage::UpdateMenu(HWND form) {
  TWinSkinForm* f = FindSkinForm(form);
  if (f && f->FForm) f->InitPopMenu(f->FForm, true);
}

void TSkinManage::RebuildMenuBars() {
  for (TWinSkinForm* f : forms()) f->UpdateNc(nullptr);
}

// ---- Actions ----

void TSkinManage::SetAction(int action, int ms) {
  PendingAction = action;
  timer_->SetInterval(static_cast<unsigned>(ms));
  if (State == 0) {
    if (action == 1) Enabled = true;
    if (action == 2) Enabled = false;
    return;
  }
  for (TSkinManage* sub : SubManagers) {
    sub->CurrentData = CurrentData;
    if (action == 1) {
      sub->Enabled = true;
      sub->SetAction(1, 300);
    } else if (action == 2) {
      sub->Enabled = false;
    }
  }
  timer_->SetEnabled(true);
}

void TSkinManage::SkinAll() {
  Enabled = true;
  Forced = true;
  InstallFlag = false;
  DeleteDeleted();
  std::vector<TForm*> forms = ThreadForms();
  for (auto it = forms.rbegin(); it != forms.rend(); ++it) ActiveForm(*it);
  Forced = false;
  for (TSkinManage* sub : SubManagers) {
    sub->Enabled = true;
    sub->SetAction(1, 300);
  }
}

void TSkinManage::UnskinAll() {
  Enabled = false;
  DeleteDeleted();
  while (!forms().empty()) Drop(0, true);
  for (TSkinManage* sub : SubManagers) sub->Enabled = false;
}

void TSkinManage::SkinChanged() {
  DeleteDeleted();
  std::vector<TWinSkinForm*> changed;
  for (TWinSkinForm* f : forms()) {
    if (f->FSkinData != CurrentData) continue;
    f->DeleteSysbtn();
    f->InitSkinData();
    changed.push_back(f);
  }
  for (TWinSkinForm* f : changed) f->SkinChange();
}

void TSkinManage::RunOnlyThisForm(int action) {
  auto* owner = dynamic_cast<TForm*>(CurrentData->Owner());
  auto ownForms = [this]() {
    std::vector<TWinSkinForm*> mine;
    for (TWinSkinForm* f : forms()) {
      if (f->FSkinData == CurrentData) mine.push_back(f);
    }
    return mine;
  };
  if (action == 1 && owner) {
    Enabled = true;
    Forced = true;
    ActiveForm(owner);
    Forced = false;
  } else if (action == 2) {
    Enabled = false;
    std::vector<TWinSkinForm*> mine = ownForms();
    if (!mine.empty()) {
      auto at = std::find(forms().begin(), forms().end(), mine.back());
      Drop(static_cast<size_t>(at - forms().begin()), true);
    }
  } else if (action == 3) {
    std::vector<TWinSkinForm*> mine = ownForms();
    if (!mine.empty()) {
      mine.front()->DeleteSysbtn();
      mine.front()->InitSkinData();
      mine.front()->SkinChange();
    }
  } else if (action == 6) {
    DeleteForm3();
  }
}

bool TSkinManage::Reskin(HWND window) {
  TWinSkinForm* f = FindSkinForm(window);
  if (!f) return false;
  f->UnSubclass();
  f->FState = 6;
  DeleteDeleted();
  return AddForm(window);
}

void TSkinManage::WndProc(TMessage& m) {
  if (m.Msg == kManagerRequest && m.WParam == 7) {
    const auto window = reinterpret_cast<HWND>(m.LParam);
    // The window's own messages run between taking the skin off and putting it on.
    if (Application) Application->ProcessMessages();
    Sleep(10);
    m.Result = Reskin(window);
    Sleep(10);
    return;
  }
  m.Result = DefWindowProcW(nullptr, m.Msg, m.WParam, m.LParam);
}

void TSkinManage::OnTimer() {
  timer_->SetEnabled(false);
  if (!CurrentData) return;
  const int action = PendingAction;
  if (CurrentData->SkinFormtype == sfOnlyThisForm) {
    RunOnlyThisForm(action);
  } else if (action == 7) {
    Reskin(ActionWindow);
    return;
  } else if (action == 1) {
    SkinAll();
  } else if (action == 2) {
    UnskinAll();
  } else if (action == 3) {
    SkinChanged();
  } else if (action == 6) {
    DeleteForm3();
  }
  TSkinData* data = CurrentData;
  CurrentData = nullptr;
  data->DoSkinChanged();
}
