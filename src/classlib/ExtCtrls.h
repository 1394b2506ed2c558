// Timers, the labelled edit and the base of self-painted controls (Win32 only).
#pragma once

#include "classlib/StdCtrls.h"

// Fires OnTimer every Interval milliseconds while enabled, from the message loop of
// the thread that made it, through a hidden message-only window of its own.
class TTimer : public TComponent {
 public:
  explicit TTimer(TComponent* owner);
  ~TTimer() override;
  std::string ClassName() const override { return "TTimer"; }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v);
  unsigned Interval() const { return interval_; }
  void SetInterval(unsigned ms);
  TNotifyEvent OnTimer;

 private:
  static LRESULT CALLBACK Proc(HWND h, UINT msg, WPARAM w, LPARAM l);
  void Update();
  HWND window_ = nullptr;
  bool enabled_ = true;
  unsigned interval_ = 1000;
};

// A control that paints itself whole in Paint: its background is never erased first,
// so it does not flicker.
class TPaintedControl : public TWinControl {
 public:
  using TWinControl::TWinControl;

 protected:
  LRESULT WndProc(UINT msg, WPARAM w, LPARAM l) override;
  virtual void Paint(HDC dc) = 0;
};

enum TLabelPosition { lpAbove, lpBelow, lpLeft, lpRight };

// An edit with its caption label beside it; the label follows the edit's parent,
// position and visibility.
class TLabeledEdit : public TEdit {
 public:
  explicit TLabeledEdit(TComponent* owner);
  std::string ClassName() const override { return "TLabeledEdit"; }
  TLabel* EditLabel() const { return label_; }
  TLabelPosition LabelPosition() const { return position_; }
  void SetLabelPosition(TLabelPosition p);
  int LabelSpacing = 3;

 protected:
  void CreateHandle() override;
  LRESULT WndProc(UINT msg, WPARAM w, LPARAM l) override;

 private:
  void PlaceLabel();
  TLabel* label_;
  TLabelPosition position_ = lpAbove;
};
