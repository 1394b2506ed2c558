// Tool bars of a skinned form: their background and buttons drawn from the skin through
// the tool bar's custom-draw events; the tool bar draws the texts itself.
#include "classlib/ComCtrls.h"
#include "classlib/Menus.h"
#include "skin/WinSkinForm.h"
#include "skin/WinSkinFrame.h"

namespace {

// The skinner's custom drawing, told apart from a program's own handlers by its type.
struct TSkinToolbarBackground {
  TWinSkinForm* skin;
  void operator()(TToolBar* bar, TCanvas& canvas, const RECT& r, bool& defaultDraw) const {
    skin->ToolBarDrawBackground(bar, canvas, r, defaultDraw);
  }
};

struct TSkinToolbarButton {
  TWinSkinForm* skin;
  void operator()(TToolBar* bar, TCanvas& canvas, int index, const RECT& r, UINT state, bool& defaultDraw) const {
    skin->ToolBarDrawButton(bar, canvas, index, r, state, defaultDraw);
  }
};

// The frame of the skin's tool-bar button for a draw state; 0 for none.
int ButtonFrame(UINT state) {
  if (state & CDIS_SELECTED) return 2;
  if (state & (CDIS_FOCUS | CDIS_HOT)) return 4;
  if (state & (CDIS_GRAYED | CDIS_DISABLED)) return 0;
  return state & CDIS_DEFAULT ? 1 : 0;
}

void SetEvents(TToolBar* bar, TWinSkinForm* skin, bool on) {
  const auto* background = bar->OnCustomDraw.target<TSkinToolbarBackground>();
  const auto* button = bar->OnCustomDrawButton.target<TSkinToolbarButton>();
  if (on) {
    if (!bar->OnCustomDraw) bar->OnCustomDraw = TSkinToolbarBackground{skin};
    if (!bar->OnCustomDrawButton) bar->OnCustomDrawButton = TSkinToolbarButton{skin};
  } else {
    if (background && background->skin == skin) bar->OnCustomDraw = nullptr;
    if (button && button->skin == skin) bar->OnCustomDrawButton = nullptr;
  }
  if (bar->HandleAllocated()) InvalidateRect(bar->Handle(), nullptr, TRUE);
}

}  // namespace

void TWinSkinForm::InitToolbars(TComponent* owner, bool on) {
  if (on && !InSet(FSkinData->SkinControls, xcToolbar)) return;
  for (int i = 0; i < owner->ComponentCount(); ++i) {
    TComponent* c = owner->Components(i);
    if (auto* bar = dynamic_cast<TToolBar*>(c)) {
      SetEvents(bar, this, on);
      if (!on && bar->Menu()) InitToolbarMenu(bar->Menu()->Items(), false);
    }
    if (c->ComponentCount() > 0) InitToolbars(c, on);
  }
}

namespace {

void SetToolbarItemEvents(TWinSkinForm* skin, TMenuItem* item, bool on) {
  if (on) {
    item->OnAdvancedDrawItem = [skin](TMenuItem* it, TCanvas& canvas, const RECT& r, bool selected) {
      skin->DrawPopupItem(it, canvas, r, selected);
    };
    item->OnMeasureItem = [skin](TMenuItem* it, TCanvas& canvas, int& w, int& h) {
      skin->MeasureItem(it, canvas, w, h);
    };
  } else {
    item->OnAdvancedDrawItem = nullptr;
    item->OnMeasureItem = nullptr;
  }
  for (int i = 0; i < item->Count(); ++i) SetToolbarItemEvents(skin, item->Items(i), on);
}

}  // namespace

// The events are cleared both when the skin goes: a measuring event left behind would
// outlive this skinner. The menu stays owner-drawn until the whole of it is let go.
void TWinSkinForm::InitToolbarMenu(TMenuItem* item, bool on) {
  SetToolbarItemEvents(this, item, on);
  TMenu* menu = item->GetParentMenu();
  if (menu && (on || !item->Parent())) menu->SetOwnerDraw(on);
}

void TWinSkinForm::InitToolbarButtons(TToolBar* bar, bool withMenu) {
  for (int i = 0; i < bar->ButtonCount(); ++i) {
    if (TMenuItem* item = bar->Buttons(i)->MenuItem) InitToolbarMenu(item, true);
  }
  if (withMenu && bar->Menu()) InitToolbarMenu(bar->Menu()->Items(), true);
}

void TWinSkinForm::ToolBarDrawBackground(TToolBar*, TCanvas& canvas, const RECT& r, bool&) {
  const TDataSkinObject* skin = FSkinData->Toolbar.get();
  if (!skin || !skin->Image || skin->Image->Empty() || !InSet(FSkinData->Options, xoToolbarBK)) return;
  HDC dc = canvas.Handle();
  const int mode = SetStretchBltMode(dc, COLORONCOLOR);
  StretchBlt(dc, r.left, r.top, Width(r), Height(r), skin->Image->Canvas().Handle(), 0, 0, skin->Image->Width(),
             skin->Image->Height(), SRCCOPY);
  SetStretchBltMode(dc, mode);
}

void TWinSkinForm::ToolBarDrawButton(TToolBar*, TCanvas& canvas, int, const RECT& r, UINT state, bool&) {
  const TDataSkinObject* skin = FSkinData->ToolBars.get();
  if (FState != 1 || !skin || !skin->Image || skin->Image->Empty()) return;
  const int frame = ButtonFrame(state);
  if (!frame) return;
  const TColor colour = frame == 1 ? skin->NormalColour : frame == 4 ? skin->MouseOverColour : skin->PressedColour;
  if (colour != -1) canvas.Font.Color = colour;
  RECT inner = r;
  InflateRect(&inner, -1, -1);
  DrawRect2(canvas.Handle(), inner, skin->Image.get(), false, false, skin->Trans != 0, 5, frame, skin->Margins());
}
