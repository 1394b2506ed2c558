// Forms, the application object and message boxes (Win32 only).
//
// A form is a top-level window of our own class named after the form class. Forms
// are created per use and shown modally (ShowModal runs a nested message loop until
// ModalResult is set) or modeless; the application object runs the main loop and
// shows any exception that escapes a message handler in its standard box.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "classlib/Controls.h"
#include "classlib/Hints.h"

class TButton;
class TMainMenu;

enum TModalResult { mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6, mrNo = 7 };
enum TCloseAction { caNone, caHide, caFree, caMinimize };
enum TWindowState { wsNormal = 0, wsMinimized = 1, wsMaximized = 2 };
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TPosition { poDesigned, poScreenCenter, poMainFormCenter };

class TForm : public TWinControl {
 public:
  explicit TForm(TComponent* owner);
  ~TForm() override;
  std::string ClassName() const override { return "TForm"; }

  void Show();
  int ShowModal();
  bool Modal() const { return modal_; }  // while ShowModal runs
  void Close();
  void Release();  // frees the form once the current message is handled

  int ModalResult = mrNone;
  TFormBorderStyle BorderStyle = bsSizeable;
  TPosition Position = poDesigned;
  bool KeyPreview = false;
  // Esc closes a form that has no cancel button when it is modal, or when this is set.
  bool EscapeCloses = false;
  // The control that has the keyboard when the form is first activated; without one
  // the first control in tab order has it, as in a system dialog.
  TWinControl* ActiveControl = nullptr;
  // A form that reads right to left (set before its window exists): its text, its
  // caption and the menu it is given.
  bool RightToLeft = false;
  TMainMenu* Menu() const { return menu_; }
  void SetMenu(TMainMenu* m);  // the bar shown above the client area; not owned

  TWindowState WindowState();
  void SetWindowState(TWindowState s);
  void SetClientSize(int width, int height);
  void SetClientWidth(int w) { SetClientSize(w, ClientHeight()); }
  void SetClientHeight(int h) { SetClientSize(ClientWidth(), h); }
  bool Active();
  // Controls lying beyond the client area give the form scroll bars, which scroll the
  // controls that are not aligned; switched off, the bars go and the controls return.
  bool AutoScroll() const { return autoScroll_; }
  void SetAutoScroll(bool on);

  // Fired when the form object is complete (after the layout is built), before it is shown.
  TNotifyEvent OnCreate;
  TNotifyEvent OnShow;  // each time the form is shown, before its window comes onto the screen
  std::function<void(TObject*, TCloseAction&)> OnClose;
  std::function<void(TObject*, bool&)> OnCloseQuery;
  TNotifyEvent OnDestroy;
  TNotifyEvent OnActivate;

 protected:
  // Call at the end of a derived form's constructor, when its controls exist.
  void DoCreate();
  DWORD CreateStyle() const override;
  DWORD ExStyle() const override;
  void CreateHandle() override;
  void AfterCreate() override;
  LRESULT WndProc(UINT msg, WPARAM w, LPARAM l) override;
  void HintToolCreated(HWND h) override;
  void HintToolDestroyed(HWND h) override;
  void HintRelay(const MSG& m) override;
  void ChildBoundsChanged() override { UpdateScrollRange(); }

 private:
  void PlaceOnScreen();
  SIZE ScrollExtent() const;
  void UpdateScrollRange();
  bool SetScrollBar(int bar, int extent, int page);
  void ScrollMessage(int bar, WORD code);
  void ScrollTo(int x, int y);
  // The buttons the dialog keys press: for Enter the focused push button, else the
  // Default one; for Esc the Cancel one, else one whose result is mrCancel. Only
  // buttons a user could click count (shown and enabled).
  TButton* DefaultButton();
  TButton* CancelButton();
  void PressButton(TButton* b);
  // The keyboard to the control that had it when the form was last left, else to the
  // ActiveControl or the first in tab order (an edit's text selected, as a dialog does).
  void TakeFocus();
  HWND focusKept_ = nullptr;
  std::unique_ptr<THintWindow> hints_;
  TMainMenu* menu_ = nullptr;
  bool modal_ = false;
  bool shownOnce_ = false;
  TWindowState state_ = wsNormal;
  bool autoScroll_ = true;
  bool rangeUpdating_ = false;
  POINT scrollPos_{0, 0};
};

class TApplication : public TComponent {
 public:
  TApplication();
  ~TApplication() override;
  std::string ClassName() const override { return "TApplication"; }

  void Initialize();
  template <class F>
  void CreateForm(F*& ref) {
    ref = new F(this);
    if (!mainForm_) mainForm_ = ref;
  }
  void Run();
  void ProcessMessages();
  void HandleMessage();  // waits for and handles one message
  void Terminate();
  bool Terminated() const { return terminated_; }

  TForm* MainForm() const { return mainForm_; }
  std::string Title;
  // Tooltip delays in ms: before a tip shows, before the next tool's tip shows while
  // one is on show, and how long a tip stays.
  int HintPause = 500;
  int HintShortPause = 50;
  int HintHidePause = 2500;
  // Called before each hint shows; may change its text and timeouts.
  std::function<void(THintInfo& info)> OnShowHint;

  int MessageBox(const std::string& text, const std::string& caption, UINT flags);
  void ShowException(const std::exception& e);
  void HandleException();

 private:
  friend class TForm;
  bool DispatchOne(MSG& m);
  bool ControlKey(MSG& m);
  bool PageKey(MSG& m);
  bool RadioKey(MSG& m);
  TForm* mainForm_ = nullptr;
  bool terminated_ = false;
};

// The one application object of the program (constructed by the entry point).
extern TApplication* Application;

// A plain message box captioned with the application's title.
void ShowMessage(const std::string& text);
