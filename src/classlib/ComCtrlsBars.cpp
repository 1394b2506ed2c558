// Status bars, track bars and tool bars.
#include <algorithm>

#include "classlib/ComCtrls.h"
#include "classlib/Gbk.h"
#include "classlib/Menus.h"

// ---- TStatusBar ----

namespace {

// The text of a panel as the status bar takes it: one tab before it centres it, two
// right-align it.
std::wstring PanelText(const TStatusPanel& p) {
  const wchar_t* lead = p.Alignment == taCenter ? L"\t" : p.Alignment == taRightJustify ? L"\t\t" : L"";
  return lead + gbk::ToWide(p.Text);
}

WPARAM PanelType(TStatusPanelBevel b) { return b == pbNone ? SBT_NOBORDERS : b == pbRaised ? SBT_POPOUT : 0; }

}  // namespace

void TStatusBar::Update() {
  if (!HandleAllocated()) return;
  Perform(SB_SIMPLE, SimplePanel ? TRUE : FALSE);
  if (SimplePanel) {
    Perform(SB_SETTEXTW, SB_SIMPLEID, reinterpret_cast<LPARAM>(gbk::ToWide(SimpleText).c_str()));
    return;
  }
  std::vector<int> rights;
  int x = 0;
  for (size_t i = 0; i < Panels.size(); ++i) {
    x += Panels[i].Width;
    rights.push_back(i + 1 == Panels.size() ? -1 : x);
  }
  if (rights.empty()) return;
  Perform(SB_SETPARTS, rights.size(), reinterpret_cast<LPARAM>(rights.data()));
  for (size_t i = 0; i < Panels.size(); ++i) {
    const std::wstring text = PanelText(Panels[i]);
    Perform(SB_SETTEXTW, i | PanelType(Panels[i].Bevel), reinterpret_cast<LPARAM>(text.c_str()));
  }
}

// ---- TTrackBar ----

DWORD TTrackBar::CreateStyle() const {
  return TControl::CreateStyle() | WS_TABSTOP | TBS_AUTOTICKS | (Vertical ? TBS_VERT : TBS_HORZ);
}

void TTrackBar::SetRange(int min, int max) {
  min_ = min;
  max_ = std::max(min, max);
  position_ = std::clamp(position_, min_, max_);
  if (HandleAllocated()) AfterCreate();
}

int TTrackBar::Position() {
  if (HandleAllocated()) position_ = static_cast<int>(Perform(TBM_GETPOS));
  return position_;
}

void TTrackBar::SetPosition(int v) {
  position_ = std::clamp(v, min_, max_);
  Perform(TBM_SETPOS, TRUE, position_);
}

void TTrackBar::AfterCreate() {
  Perform(TBM_SETRANGEMIN, FALSE, min_);
  Perform(TBM_SETRANGEMAX, FALSE, max_);
  Perform(TBM_SETPOS, TRUE, position_);
}

// ---- TToolBar ----

DWORD TToolBar::CreateStyle() const {
  return TControl::CreateStyle() | TBSTYLE_FLAT | TBSTYLE_LIST | CCS_NODIVIDER | CCS_NORESIZE;
}

void TToolBar::AddButton(const std::string& caption) {
  buttons_.push_back(caption);
  tools_.push_back(new TToolButton(this));
  if (HandleAllocated()) InsertButton(static_cast<int>(buttons_.size()) - 1);
}

void TToolBar::SetMenu(TMainMenu* menu) {
  if (HandleAllocated()) {
    for (int i = ButtonCount() - 1; i >= 0; --i) Perform(TB_DELETEBUTTON, static_cast<WPARAM>(i));
  }
  for (TToolButton* b : tools_) delete b;
  tools_.clear();
  buttons_.clear();
  menu_ = menu;
  TMenuItem* items = menu ? menu->Items() : nullptr;
  for (int i = 0; items && i < items->Count(); ++i) {
    if (!items->Items(i)->Visible()) continue;
    AddButton(items->Items(i)->Caption());
    tools_.back()->MenuItem = items->Items(i);
  }
}

// A menu button's item drops down its items from the button's bottom-left corner; the
// menu's messages come to the bar, whose items draw and click themselves.
void TToolBar::ButtonClicked(int i) {
  TMenuItem* item = i >= 0 && i < ButtonCount() ? tools_[static_cast<size_t>(i)]->MenuItem : nullptr;
  if (!item) {
    if (OnButtonClick) OnButtonClick(i);
    return;
  }
  if (item->Count() == 0) {
    item->Click();
    return;
  }
  TMenuItem* items = menu_->Items();
  int position = 0;
  for (int k = 0; k < items->IndexOf(item); ++k) position += items->Items(k)->Visible() ? 1 : 0;
  RECT r{};
  Perform(TB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
  MapWindowPoints(Handle(), nullptr, reinterpret_cast<POINT*>(&r), 2);
  TrackPopupMenuEx(GetSubMenu(menu_->Handle(), position), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, r.left,
                   r.bottom, Handle(), nullptr);
}

void TToolBar::InsertButton(int i) {
  const std::wstring text = gbk::ToWide(buttons_[static_cast<size_t>(i)]);
  TBBUTTON b{};
  b.iBitmap = I_IMAGENONE;
  b.idCommand = i + 1;
  b.fsState = TBSTATE_ENABLED;
  b.fsStyle = BTNS_BUTTON | BTNS_AUTOSIZE | BTNS_SHOWTEXT;
  b.iString = reinterpret_cast<INT_PTR>(text.c_str());
  Perform(TB_INSERTBUTTONW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&b));
}

LRESULT TToolBar::CustomDraw(NMTBCUSTOMDRAW& cd) {
  TCanvas canvas(cd.nmcd.hdc);
  bool defaultDraw = true;
  if (cd.nmcd.dwDrawStage == CDDS_PREPAINT) {
    if (OnCustomDraw) OnCustomDraw(this, canvas, cd.nmcd.rc, defaultDraw);
    if (!defaultDraw) return CDRF_SKIPDEFAULT;
    return OnCustomDrawButton ? CDRF_NOTIFYITEMDRAW : CDRF_DODEFAULT;
  }
  if (cd.nmcd.dwDrawStage != CDDS_ITEMPREPAINT || !OnCustomDrawButton) return CDRF_DODEFAULT;
  const TColor text = static_cast<TColor>(cd.clrText);
  canvas.Font.Color = text;
  OnCustomDrawButton(this, canvas, static_cast<int>(cd.nmcd.dwItemSpec) - 1, cd.nmcd.rc, cd.nmcd.uItemState,
                     defaultDraw);
  if (!defaultDraw) return CDRF_SKIPDEFAULT;
  LRESULT result = TBCDRF_NOEDGES | TBCDRF_NOBACKGROUND | TBCDRF_NOOFFSET;
  if (canvas.Font.Color != text) {
    cd.clrText = ColorToRGB(canvas.Font.Color);
    result |= CDRF_NEWFONT;
  }
  return result;
}

// The tool bar tells itself of its clicks, so that they need no parent to pass them on.
void TToolBar::AfterCreate() {
  Perform(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
  Perform(TB_SETPARENT, reinterpret_cast<WPARAM>(Handle()));
  for (int i = 0; i < static_cast<int>(buttons_.size()); ++i) InsertButton(i);
}

LRESULT TToolBar::WndProc(UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_COMMAND && reinterpret_cast<HWND>(l) == Handle()) {
    ButtonClicked(LOWORD(w) - 1);
    return 0;
  }
  if (msg == WM_NOTIFY && reinterpret_cast<NMHDR*>(l)->hwndFrom == Handle() &&
      reinterpret_cast<NMHDR*>(l)->code == static_cast<UINT>(NM_CUSTOMDRAW))
    return CustomDraw(*reinterpret_cast<NMTBCUSTOMDRAW*>(l));
  return TWinControl::WndProc(msg, w, l);
}
