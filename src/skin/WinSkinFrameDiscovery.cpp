// Control discovery: which skinner each control of a skinned window gets.
#include "skin/WinSkinFrame.h"

#include <algorithm>
#include <cctype>

#include "classlib/ComCtrls.h"
#include "classlib/ExtCtrls.h"
#include "classlib/Grids.h"
#include "classlib/HeaderControl.h"
#include "classlib/ListView.h"
#include "classlib/RadioGroup.h"
#include "classlib/ScrollBar.h"
#include "classlib/StdCtrls.h"
#include "skin/WinSubClass.h"

// ---- Control discovery ----

namespace {

std::string Upper(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return s;
}

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

// A control left at the system's face colour, which the skin's face replaces; one given a
// colour of its own keeps it.
bool OnSystemFace(const TControl* c) { return c->Color() == clBtnFace; }

// A scroll-bar control: one painted bar in control mode; a skinner that did not take its
// window is dropped.
void SkinScrollBarControl(TWinSkinForm& form, TWinControl* control, TCanvas* canvas) {
  auto* bar = new TSkinScControl(control);
  bar->InitScrollbar(control, form.FSkinData, canvas, &form);
  if (form.Lookupcontrol(control->Handle()) != bar) delete bar;
}

}  // namespace

void TWinSkinForm::AddControlList(TSkinControl* control) {
  if (std::find(FControls.begin(), FControls.end(), control) == FControls.end()) FControls.push_back(control);
}

void TWinSkinForm::DeleteControl(TSkinControl* control) {
  if (FHotControl == control) FHotControl = nullptr;
  FControls.erase(std::remove(FControls.begin(), FControls.end(), control), FControls.end());
}

// Each skinner's destructor gives its window back (and frees its control of it).
void TWinSkinForm::DeleteControls() {
  while (!FControls.empty()) {
    TSkinControl* c = FControls.back();
    FControls.pop_back();
    delete c;
  }
}

// A control whose scroll bars were made anew gets a new scroll-bar skinner of the same
// kind; a window no skinner holds is left alone.
void TWinSkinForm::WMReCreateWnd(TMessage& m) {
  m.Result = 0;
  TSkinControl* old = Lookupcontrol(reinterpret_cast<HWND>(m.WParam));
  auto* control = old ? dynamic_cast<TWinControl*>(old->Control()) : nullptr;
  if (!old) return;
  auto* listView = dynamic_cast<TSkinListView*>(old);
  // A list view's header skinner goes with it: the new one makes its own.
  if (TSkinControl* header = listView ? listView->Header() : nullptr) {
    DeleteControl(header);
    delete header;
  }
  DeleteControl(old);
  delete old;
  if (!control) return;
  if (listView) {
    SkinScroll(new TSkinListView(control), control);
  } else {
    SkinScroll(new TSkinScrollbar(control), control);
  }
}

void TWinSkinForm::DeleteSkinDeleted() {
  std::vector<TSkinControl*> gone;
  for (TSkinControl* c : FControls)
    if (c->Stage() == 6) gone.push_back(c);
  for (TSkinControl* c : gone) {
    DeleteControl(c);
    delete c;
  }
}

TSkinControl* TWinSkinForm::Lookupcontrol(HWND window) const {
  for (TSkinControl* c : FControls)
    if (c->Window() == window) return c;
  return nullptr;
}

bool TWinSkinForm::FindSkinComp(TControl* control) const {
  if (control->Perform(CN_IsSkinned) == 1) return true;
  return std::any_of(FControls.begin(), FControls.end(),
                     [control](TSkinControl* c) { return c->Control() == control; });
}

void TWinSkinForm::InitControls(TWinControl* form) {
  if (!FControlCanvas) FControlCanvas = std::make_unique<TCanvas>();
  DeleteSkinDeleted();
  InitControlA(form);
  InitPopMenu(form, true);
  InitMainMenu(form, true);
  InitToolbars(form, true);
}

void TWinSkinForm::InitControlA(TWinControl* owner) {
  for (int i = owner->ComponentCount() - 1; i >= 0; --i)
    if (auto* c = dynamic_cast<TControl*>(owner->Components(i))) AddComp(c, owner);
}

void TWinSkinForm::InitChildCtrl(TWinControl* parent) {
  for (int i = 0; i < parent->ControlCount(); ++i) AddComp(parent->Controls(i), parent);
}

void TWinSkinForm::UpdateControls(TControl* control) {
  DeleteSkinDeleted();
  if (!control) {
    if (FForm) InitControls(FForm);
  } else if (auto* w = dynamic_cast<TWinControl*>(control)) {
    InitChildCtrl(w);
  }
}

void TWinSkinForm::DeleteGraphicControl(TControl* control) {
  for (TSkinControl* c : FControls) {
    if (c->Control() != control) continue;
    DeleteControl(c);
    delete c;
    return;
  }
}

void TWinSkinForm::DisableControl(TControl* control) {
  auto* w = dynamic_cast<TWinControl*>(control);
  if (!w) return;
  const std::string name = Lower(w->ClassName());
  if (name.find("radiogroup") == std::string::npos && name.find("checkgroup") == std::string::npos) return;
  for (int i = 0; i < w->ControlCount(); ++i) w->Controls(i)->Tag = FSkinData->DisableTag;
}

bool TWinSkinForm::Has(TSkinControlType kind) const { return InSet(FSkinData->SkinControls, kind); }

// A skinner that did not take its window (another skinner holds it) is dropped again.
// One that did paints its control once it is wholly set up.
void TWinSkinForm::Skin(TSkinControl* skinner, bool recolour) {
  skinner->Init(this, FSkinData, FControlCanvas.get(), recolour);
  if (std::find(FControls.begin(), FControls.end(), skinner) == FControls.end()) {
    delete skinner;
    return;
  }
  skinner->Invalidate();
}

// A radio or check group of another library: its buttons, then the group's frame.
bool TWinSkinForm::SkinGroup(TWinControl* group, bool checks) {
  if (Has(xcRadioButton)) {
    for (int i = 0; i < group->ControlCount(); ++i) {
      TControl* c = group->Controls(i);
      if (FindSkinComp(c)) continue;
      if (Upper(c->ClassName()).find("TRZ") != std::string::npos) {
        Skin(new TSkinObjImage(c, checks ? 1 : 2), true);
      } else if (checks) {
        Skin(new TSkinCheckBox(c));
      } else {
        Skin(new TSkinRadioButton(c));
      }
    }
  }
  if (Has(xcGroupBox)) Skin(new TSkinGroupBox(group));
  return true;
}

// Scroll-bar skinners cover the control's bars; a skinner that did not take its window is dropped.
void TWinSkinForm::SkinScroll(TSkinScrollbar* skinner, TWinControl* control) {
  skinner->InitScrollbar(control, FSkinData, FControlCanvas.get(), this);
  if (std::find(FControls.begin(), FControls.end(), skinner) == FControls.end()) delete skinner;
}

bool TWinSkinForm::Find3rdControl(const std::string& className, TControl* control) {
  const std::string prefix = Lower(className) + "=";
  for (int i = 0; i < FSkinData->Skin3rd.Count(); ++i) {
    const std::string line = Lower(FSkinData->Skin3rd[i]);
    if (line.compare(0, prefix.size(), prefix) != 0) continue;
    const std::string kind = line.substr(prefix.size(), 50);
    auto* w = dynamic_cast<TWinControl*>(control);
    const bool buttons = Has(xcButton);
    if (kind == "button" && buttons) {
      Skin(new TSkinButton(control));
    } else if ((kind == "bitbtn" || kind == "pngbitbtn") && buttons) {
      Skin(new TSkinBitButton(control));
    } else if (kind == "menubtn" && buttons) {
      Skin(new TSkinMenuButton(control));
    } else if (kind == "speedbutton" && Has(xcSpeedButton)) {
      Skin(new TSkinSpeedButton(control));
    } else if (kind == "checkbox" && Has(xcCheckBox)) {
      Skin(new TSkinCheckBox(control));
    } else if (kind == "radiobutton" && Has(xcRadioButton)) {
      Skin(new TSkinRadioButton(control));
    } else if (kind == "groupbox" && Has(xcGroupBox)) {
      Skin(new TSkinGroupBox(control));
    } else if (kind == "panel" && Has(xcPanel)) {
      Skin(new TSkinBox(control));
    } else if (kind == "tab" && Has(xcTab) && FSkinData->Tabs) {
      Skin(new TSkinTab(control));
    } else if (kind == "advpagecontrol" && Has(xcTab)) {
      Skin(new TSkinAdvPage(control));
    } else if (kind == "mediaplayer" && buttons) {
      Skin(new TSkinMP(control));
    } else if (kind == "trackbar" && buttons) {
      Skin(new TSkinTrackBar(control));
    } else if (kind == "progress" && Has(xcProgress)) {
      Skin(new TSkinProgress(control));
    } else if (kind == "edit" && Has(xcEdit) && w) {
      RECT wr{}, cr{};
      GetWindowRect(w->Handle(), &wr);
      GetClientRect(w->Handle(), &cr);
      if (wr.right - wr.left != cr.right || wr.bottom - wr.top != cr.bottom) Skin(new TSkinEdit(control));
    } else if (kind == "combobox" && Has(xcCombo)) {
      Skin(new TSkinComBox(control));
    } else if (kind == "datetimepicker" && Has(xcCombo)) {
      Skin(new TSkinDateTime(control));
    } else if ((kind == "scrollbar" || kind == "singlescrollbar") && Has(xcScrollbar) && w) {
      SkinScroll(new TSkinScrollbar(control), w);
      if (kind == "scrollbar") InitChildCtrl(w);
    } else if (kind == "embedscrollbar" && Has(xcScrollbar) && w) {
      // Another library's container of scrolling controls: each gets its bars.
      for (int c = 0; c < w->ControlCount(); ++c) {
        auto* child = dynamic_cast<TWinControl*>(w->Controls(c));
        if (!child || FindSkinComp(child)) continue;
        if (dynamic_cast<TScrollBar*>(child)) {
          SkinScrollBarControl(*this, child, FControlCanvas.get());
        } else if (IsScrollControl(child)) {
          SkinScroll(new TSkinScrollbar(child), child);
        }
      }
    } else if (kind == "container" && w) {
      InitChildCtrl(w);
    } else if (kind == "radiogroup" && Has(xcGroupBox) && w) {
      SkinGroup(w, false);
    } else if (kind == "checkgroup" && Has(xcPanel) && w) {
      SkinGroup(w, true);
    }
    return true;  // a listed class never falls through to the table, whatever its kind
  }
  return false;
}

// Steps in order, the first that applies decides. Only kinds this engine has a skinner
// for are skinned; a control that would get another kind's skinner stays as Windows draws it.
void TWinSkinForm::AddComp(TControl* control, TWinControl* parent) {
  if (control->Tag == FSkinData->DisableTag) {
    DisableControl(control);
    return;
  }
  // A labelled edit owns its label, which no walk of the form's components meets.
  if (auto* labelled = dynamic_cast<TLabeledEdit*>(control)) AddComp(labelled->EditLabel(), parent);
  // A label is a static window that paints its own colour: on the system face it takes
  // the skin's instead; one the face shows through keeps its colour, but its text too
  // must read on the skin's face.
  if (auto* label = dynamic_cast<TLabel*>(control)) {
    if (control->Parent() && (OnSystemFace(control) || label->Transparent) && !FindSkinComp(control))
      Skin(new TSkinLabel(control), OnSystemFace(control));
    return;
  }
  auto* w = dynamic_cast<TWinControl*>(control);
  if (!w || !control->Parent() || !parent) return;  // graphic controls have no skinner here
  w->HandleNeeded();
  if (FindSkinComp(control)) return;
  const std::string name = Upper(control->ClassName());
  if (FSkinData->OnSkinControl) {
    TComponent* skinned = nullptr;
    FSkinData->OnSkinControl(this, FSkinData, parent, control, name, skinned);
    if (auto* s = dynamic_cast<TSkinControl*>(skinned)) {
      AddControlList(s);
      s->Init(this, FSkinData, FControlCanvas.get(), false);
      s->Invalidate();
      if (dynamic_cast<TPanel*>(control)) InitChildCtrl(w);
      return;
    }
  }
  if (Find3rdControl(name, control)) return;
  const bool tabs = Has(xcTab) && FSkinData->Tabs;
  if (auto* pages = dynamic_cast<TPageControl*>(control)) {
    if (!tabs) return;
    if (pages->Style == tsTabs) {
      Skin(new TSkinTab(control));
    } else {
      Skin(new TSkinTabBtn(control));
    }
  } else if (name == "TTABSET") {
    if (tabs) Skin(new TSkinTab31(control));
  } else if (dynamic_cast<TTabSheet*>(control)) {
    if (tabs) Skin(new TSkinTabSheet(control));
  } else if (name == "TRZCHECKBOX" || name == "TRZDBCHECKBOX") {
    if (Has(xcCheckBox)) Skin(new TSkinObjImage(control, 1), true);
  } else if (name == "TRZRADIOBUTTON" || name == "TRZDBRADIOBUTTON") {
    if (Has(xcRadioButton)) Skin(new TSkinObjImage(control, 2), true);
  } else if (name == "TCXCHECKBOX" || name == "TCXDBCHECKBOX") {
    if (Has(xcCheckBox)) Skin(new TSkinObjImage(control, 3), true);
  } else if (dynamic_cast<TCheckBox*>(control)) {
    if (Has(xcCheckBox)) Skin(new TSkinCheckBox(control), OnSystemFace(control));
  } else if (name == "TUPDOWN" || name == "TSPINBUTTON") {
    if (Has(xcSpin)) Skin(new TSkinUpDown(control));
  } else if (dynamic_cast<THeaderControl*>(control)) {
    if (Has(xcPanel)) Skin(new TSkinHeader(control));
  } else if (dynamic_cast<TRadioGroup*>(control)) {
    if (!Has(xcRadioButton)) return;
    for (int i = 0; i < w->ControlCount(); ++i)
      if (!FindSkinComp(w->Controls(i))) Skin(new TSkinRadioButton(w->Controls(i)), OnSystemFace(w->Controls(i)));
    Skin(new TSkinGroupBox(control));
  } else if (dynamic_cast<TGroupBox*>(control)) {
    if (!Has(xcPanel)) return;
    InitChildCtrl(w);
    Skin(new TSkinGroupBox(control));
  } else if (dynamic_cast<TRadioButton*>(control)) {
    if (Has(xcRadioButton)) Skin(new TSkinRadioButton(control), OnSystemFace(control));
  } else if (dynamic_cast<TComboBox*>(control)) {
    if (Has(xcCombo)) Skin(new TSkinComBox(control));
  } else if (auto* picker = dynamic_cast<TDateTimePicker*>(control)) {
    if (!Has(xcEdit)) return;
    if (picker->DateMode == dmUpDown || picker->Kind == dtkTime) {
      Skin(new TSkinEdit(control));
    } else {
      Skin(new TSkinDateTime(control));
    }
  } else if (name == "TRICHEDIT" || name == "TWWDBRICHEDIT" || name == "TDXDBMEMO" || name == "TDXTREELIST" ||
             name == "TDXDBTREELIST" || name == "TDXDBGRID") {
    if (Has(xcScrollbar)) SkinScroll(new TSkinScrollbar(control), w);
  } else if (name == "TMEDIAPLAYER") {
    if (Has(xcButton)) Skin(new TSkinMP(control));
  } else if (dynamic_cast<TTrackBar*>(control)) {
    if (Has(xcTrackBar)) Skin(new TSkinTrackBar(control));
  } else if (auto* toolbar = dynamic_cast<TToolBar*>(control)) {
    // The items its buttons stand for are skinned with the frame; the whole menu with
    // the tool bar.
    if (FSkinFrame) InitToolbarButtons(toolbar, false);
    if (!Has(xcToolbar)) return;
    Skin(new TSkinToolbar(control));
    InitToolbarButtons(toolbar, true);
  } else if (dynamic_cast<TStatusBar*>(control)) {
    if (Has(xcStatusBar)) Skin(new TSkinStatusBar(control));
  } else if (dynamic_cast<TProgressBar*>(control)) {
    if (Has(xcProgress)) Skin(new TSkinProgress(control));
  } else if (dynamic_cast<TScrollBar*>(control)) {
    if (Has(xcScrollbar)) SkinScrollBarControl(*this, w, FControlCanvas.get());
  } else if (name == "TTNTCOMBOBOX") {
    if (Has(xcCombo)) Skin(new TSkinComBox(control));
  } else if (dynamic_cast<TBitBtn*>(control)) {
    if (Has(xcBitBtn)) Skin(new TSkinBitButton(control));
  } else if (dynamic_cast<TSpeedButton*>(control)) {
    if (Has(xcSpeedButton)) Skin(new TSkinSpeedButton(control));
  } else if (dynamic_cast<TPanel*>(control)) {
    if (!Has(xcPanel)) return;
    InitChildCtrl(w);
    Skin(new TSkinBox(control), true);
  } else if (dynamic_cast<TListView*>(control)) {
    if (Has(xcScrollbar)) SkinScroll(new TSkinListView(control), w);
  } else if (dynamic_cast<TMemo*>(control) || dynamic_cast<TStringGrid*>(control) || IsScrollControl(w)) {
    if (Has(xcScrollbar)) SkinScroll(new TSkinScrollbar(control), w);
  } else if (dynamic_cast<TButton*>(control)) {
    if (Has(xcButton)) Skin(new TSkinButton(control));
  } else if (dynamic_cast<TEdit*>(control)) {
    if (Has(xcEdit)) Skin(new TSkinEdit(control));
  }
}

// ---- Windows without class-library objects ----

void TWinSkinForm::InitNestform(TWinControl* form) {
  if (!FControlCanvas) FControlCanvas = std::make_unique<TCanvas>();
  DeleteSkinDeleted();
  if (!FindSkinComp(form)) Skin(new TSkinBox(form), true);
  InitControlA(form);
}

void TWinSkinForm::InitHwndControls(HWND parent) {
  if (!FControlCanvas) FControlCanvas = std::make_unique<TCanvas>();
  for (HWND h = GetTopWindow(parent); h; h = GetWindow(h, GW_HWNDNEXT))
    if (GetWindowLongW(h, GWL_STYLE) & WS_CHILD) AddControlh(h);
}

BOOL CALLBACK TWinSkinForm::EnumControl(HWND window, LPARAM formSkin) {
  reinterpret_cast<TWinSkinForm*>(formSkin)->AddControlh(window);
  return TRUE;
}

// A bare window's skinner belongs to the form skinner; one that did not take its window
// (another skinner holds it) is dropped again.
void TWinSkinForm::SkinH(TSkinControl* skinner, HWND window) {
  skinner->Inithwnd(window, FSkinData, FControlCanvas.get(), this);
  if (std::find(FControls.begin(), FControls.end(), skinner) == FControls.end()) delete skinner;
}

void TWinSkinForm::AddControlh(HWND window) {
  if (Lookupcontrol(window) || SendMessageW(window, CN_IsSkinned, 0, 0) == 1) return;
  char buffer[101] = {};
  GetClassNameA(window, buffer, sizeof buffer);
  const std::string cls = Lower(buffer);
  const auto style = static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE));
  const TColor face = FSkinData->SchemeColors[csButtonFace];
  if (cls == "button") {
    const DWORD type = style & BS_TYPEMASK;
    if (style & BS_BITMAP) return;
    if ((type == 2 || type == 3 || type == 5 || type == 6 || type == 10) && Has(xcCheckBox)) {
      SkinH(new TSkinCheckBox(this), window);
    } else if ((type == 0 || type == 1 || type == 8) && Has(xcButton)) {
      SkinH(new TSkinButton(this), window);
    } else if ((type == 4 || type == 9) && Has(xcRadioButton)) {
      SkinH(new TSkinRadioButton(this), window);
    }
  } else if (cls == "combobox") {
    if (Has(xcCombo) && (style & 3) != CBS_SIMPLE) SkinH(new TSkinComBox(this), window);
  } else if (cls == "comboboxex32") {
    if (HWND combo = GetWindow(window, GW_CHILD); combo && Has(xcCombo) && !Lookupcontrol(combo))
      SkinH(new TSkinComBox(this), combo);
  } else if (cls == "scrollbar") {
    if (!(style & 0x10000)) SkinH(new TSkinSizer(this), window);
  } else if (cls == "#32770") {
    if (style & 0x10000) return;
    InitHwndControls(window);
    SkinH(new TSkinBoxH(this), window);
  } else if (cls == "tpanel" || cls == "ttntpanel.unicodeclass" || cls == "ttntsilentpaintpanel.unicodeclass" ||
             cls == "tsilentpaintpanel") {
    if (cls != "tsilentpaintpanel") InitHwndControls(window);
    if (TControl* c = TControl::FromHandle(window)) c->SetColor(face);
  } else if (cls == "tcheckbox") {
    if (Has(xcCheckBox)) SkinH(new TSkinCheckBox(this), window);
  } else if (cls == "tcombobox") {
    if (Has(xcCombo)) SkinH(new TSkinComBox(this), window);
  } else if (cls == "tbutton") {
    if (Has(xcButton)) SkinH(new TSkinButton(this), window);
  } else if (cls == "tprogressbar") {
    SkinH(new TSkinProgress(this), window);
  } else if (cls == "systabcontrol32") {
    if (Has(xcTab) && FSkinData->Tabs && !(style & 0x2000)) SkinH(new TSkinTab(this), window);
  } else if (cls == "toolbarwindow32") {
    SkinH(new TSkinBoxH(this), window);
  } else if (cls == "edit") {
    if (Has(xcEdit)) SkinH(new TSkinEdit(this), window);
  }
}
