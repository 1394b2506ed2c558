// TSkinManage: the one object that decides which windows of the process wear the skin.
//
// A thread-local CBT hook tells it of windows being activated and destroyed; the first
// activation of a window skins it while a skin is active. Switching the skin on, off or
// to another skin once a window was activated runs from a one-shot timer (actions 1
// skin all, 2 unskin all, 3 skin changed, 6 drop closed forms, 7 re-skin one window).
// The manager owns every form skinner it attaches and frees it when the skin is removed
// or its window is destroyed. It is created through the data component's factory
// (UseSkinManager installs it) by the first component that finishes loading.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "classlib/ExtCtrls.h"
#include "classlib/Forms.h"
#include "skin/WinSkinData.h"
#include "skin/WinSkinFrame.h"

class TWinSkinForm;
class TWinSkinPopMenu;

// A hook installed for another thread.
struct TSkinThread {
  HHOOK Hook = nullptr;
  DWORD ThreadId = 0;
};

// Messages the engine posts and sends to skinned windows.
constexpr UINT CN_SkinActive = 0x3503;  // finish attaching (lParam 1000)
constexpr UINT kManagerRequest = 0x3508;

class TSkinManage : public TObject, public TSkinManageLink {
 public:
  // The program's manager, or with a library's instance the manager of a loaded library.
  explicit TSkinManage(HINSTANCE library = nullptr);
  ~TSkinManage() override;
  std::string ClassName() const override { return "TSkinManage"; }

  // What the data component asks.
  void AddSkinData(TSkinData* data) override;
  void RemoveSkinData(TSkinData* data) override;
  void SetCurrentData(TSkinData* data) override { CurrentData = data; }
  void SetAction(int action, int ms) override;
  void SetInstalled() override { State = 1; }
  bool Installed() const override { return State != 0; }
  void InstallHook() override;
  void InstallThread(DWORD threadId) override;
  void UnInstallThread(DWORD threadId) override;
  void Enable(bool on) override { Enabled = on; }
  void CountInstalled() override { ++InstalledCount; }
  bool AddForm(HWND window) override;
  bool SkinForm(HWND window) override;
  void ChangeForm(HWND window, TSkinData* data) override;
  void DeleteSysbtn() override;
  void UpdateSkinControl(HWND form, TControl* control) override;
  void AddNestForm(HWND form, HWND nested) override;
  void DeleteGraphicControl(HWND form, TControl* control) override;
  void UpdateMenu(HWND form) override;
  void RebuildMenuBars() override;

  // The skinned menu windows.
  void AddMenu(HWND window);
  void DeleteMenu(HWND window);
  bool FindSkinMenu(HWND window) const;
  void SetPopMenu();
  void SetHMenu(HMENU menu);
  TBitmap* GetMenuBg(HMENU menu) const;
  TWinSkinPopMenu* FindMenuOf(HMENU menu) const;
  void FindPopupMenu(HMENU menu);
  int MenuCount() const { return static_cast<int>(menus_.size()); }

  void ActiveForm(TForm* form);
  // What the hook does with a window being created.
  void WindowCreated(HWND window, const CREATESTRUCTA& cs);
  // MDI: the children shown maximized or not; the number of skinned children; every
  // skinned child given its caption style back.
  void SetMDIMax(bool maximized);
  void SetMDIMax2(bool maximized);
  int GetMDIChildNum() const;
  void SetCaption();
  // A window no class library made: it carries no library's control property, of this
  // module or of another.
  static bool IsDllForm(HWND window);
  // The manager loads no optional scroll-bar library.
  bool initsb(HWND) const { return false; }
  bool Uninitsb(HWND) const { return false; }
  TWinSkinForm* FindSkinForm(HWND window) const;
  static TForm* FindTForm(HWND window);
  TSkinData* FindSkindata(HWND window) const;
  static bool NestedForm(HWND window);
  bool OnBeforeSkin(HWND window, const std::string& className) const;
  void DeleteDeleted();
  void DeleteForm3();
  void WindowDestroyed(HWND window);
  int FormCount() const { return static_cast<int>(forms().size()); }
  TWinSkinForm* Forms(int i) const { return forms()[static_cast<size_t>(i)]; }

  // Library mode: a library's manager shares the program manager's lists while attached
  // (AssignData with the program's manager) and is detached with nil.
  void AssignData(TSkinManage* parent);
  void DeleteSub(TSkinManage* sub);
  void DeleteAllSub();
  // Drops the skins of the windows of one module.
  void DeleteSubForm(HINSTANCE instance);
  std::vector<TSkinManage*> SubManagers;
  TSkinManage* ParentManager = nullptr;
  HINSTANCE ModuleInstance = nullptr;
  // The action timer's handler, public so a test need not wait for the timer.
  void OnTimer();
  // Requests of another copy of the engine: 0x3508 with wParam 7 re-skins the window in
  // lParam (the result says whether it is skinned again). The manager has no window of
  // its own, so such a request is handed to it directly.
  void WndProc(TMessage& m);
  bool TimerEnabled() const { return timer_->Enabled(); }

  bool Enabled = false;
  bool Forced = false;
  // Set while the hook skins a window as it is activated (being shown): such a window
  // stays unpainted until its skin is complete. Skinning all windows clears it.
  bool InstallFlag = false;
  int State = 0;          // 0 created, 1 installed, 4 being destroyed
  int MenuKind = 0;       // the menu about to open: 0 popup, 1 of the menu band, 2 system menu
  bool OwnPopup = false;  // the menu about to open is one of the program's popup menus
  int PendingAction = 0;
  TSkinData* CurrentData = nullptr;
  TSkinData* DefaultData = nullptr;
  HWND ActionWindow = nullptr;
  bool MDIMaximized = false;
  HWND MDIClient = nullptr;  // of the MDI frame, recorded when the frame is skinned
  TForm* MDIForm = nullptr;
  int InstalledCount = 0;  // components installed besides the main window's

 private:
  void Drop(size_t index, bool unskin);
  void SkinAll();
  void UnskinAll();
  void SkinChanged();
  void RunOnlyThisForm(int action);
  bool Reskin(HWND window);
  void FreeMenus();

  std::unique_ptr<TTimer> timer_;
  HHOOK hook_ = nullptr;
  // The lists a library's manager shares with the program's.
  struct Lists {
    std::vector<TWinSkinForm*> forms;  // owned
    std::vector<TSkinData*> datas;
    std::vector<TSkinThread> threads;
  };
  std::vector<TWinSkinForm*>& forms() const { return lists_->forms; }
  std::vector<TSkinData*>& datas() const { return lists_->datas; }
  std::vector<TSkinThread>& threads() const { return lists_->threads; }
  std::shared_ptr<Lists> lists_;
  std::vector<TWinSkinPopMenu*> menus_;  // owned
};

// The manager; nil until the first skin component has loaded.
extern TSkinManage* SkinManager;
// Lets the data component create the manager; call once before the first component loads.
void UseSkinManager();
// Frees the manager (program end, or a test starting afresh).
void FreeSkinManager();
// Called inside a loaded library with the program's manager: the library's own manager
// (made when the library has none) shares the program's windows and hooks this thread.
void SkinDll(TSkinManage* programManager);
// Hooks of window-procedure calls, which the manager never installs: menu windows are
// skinned as they are made and let go as they go, and a menu of the program's popup
// menus is told apart as it opens (WH_CALLWNDPROC); the other passes everything on
// (WH_CALLWNDPROCRET).
LRESULT CALLBACK SkinHookCallback(int code, WPARAM w, LPARAM l);
LRESULT CALLBACK SkinHookCallRet(int code, WPARAM w, LPARAM l);
// The visible top-level forms of this thread, the class library's equivalent of the
// screen's form list, most recently created last.
std::vector<TForm*> ThreadForms();
