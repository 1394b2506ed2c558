// The skinners of other libraries' controls that draw themselves from pictures of their
// own: the skin's images are written into those pictures.
#include "skin/WinSubClass.h"

#include <algorithm>

#include "classlib/AdvPages.h"
#include "classlib/GlyphChecks.h"
#include "skin/WinSkinForm.h"

// ---- Check boxes and radio buttons ----

void TSkinObjImage::Init(TSkinControlHost* formSkin, TSkinData* data, TCanvas* canvas, bool recolour) {
  TSkinBox::Init(formSkin, data, canvas, recolour);
  if (initialised_) ChangeImage();
}

void TSkinObjImage::SkinChange() {
  ChangeImage();
  TSkinBox::SkinChange();
}

// Kinds 1 and 2 take the check or the radio strip as their custom glyphs, the key colour
// transparent; kind 3 takes the check strip as its glyph.
void TSkinObjImage::ChangeImage() {
  const TDataSkinButton* buttons = data_ ? data_->Buttons.get() : nullptr;
  if (!buttons) return;
  TBitmap* strip = kind_ == 2 ? buttons->RadioButton.get() : buttons->CheckButton.get();
  if (EmptyImage(strip)) return;
  if (auto* rz = dynamic_cast<TRzCheckBox*>(control_); rz && kind_ != 3) {
    CopyBMP(strip, &rz->CustomGlyphs);
    rz->TransparentColor = kKeyColour;
    rz->UseCustomGlyphs = true;
  } else if (auto* cx = dynamic_cast<TcxCheckBox*>(control_); cx && kind_ == 3) {
    CopyBMP(strip, &cx->Properties.Glyph);
  }
  control_->Invalidate();
}

void TSkinObjImage::Unsubclass() {
  if (auto* rz = dynamic_cast<TRzCheckBox*>(control_)) rz->UseCustomGlyphs = false;
  if (auto* cx = dynamic_cast<TcxCheckBox*>(control_)) cx->Properties.Glyph.SetSize(0, 0);
  if (control_ && stage_ != 6) control_->Invalidate();
  TSkinBox::Unsubclass();
}

// ---- Advanced page controls ----

void TSkinAdvPage::Init(TSkinControlHost* formSkin, TSkinData* data, TCanvas* canvas, bool recolour) {
  TSkinControl::Init(formSkin, data, canvas, recolour);
  if (!initialised_) return;
  ChangeImage();
  SkinStripArrows(wnd_, control_, data_, canvas_, formSkin_);
}

void TSkinAdvPage::SkinChange() {
  ChangeImage();
  TSkinControl::SkinChange();
}

// Frames 1 and 2 of "Tabs", each built at the frame's own size, become the pictures of
// the other tabs and of the current one.
void TSkinAdvPage::ChangeImage() {
  auto* pages = dynamic_cast<TAdvPageControl*>(control_);
  const TDataSkinBorder* tabs = data_ ? data_->Tabs.get() : nullptr;
  if (!pages || !tabs || EmptyImage(tabs->Image.get())) return;
  const int frames = std::max(tabs->Frame, 1);
  const RECT size{0, 0, tabs->Image->Width() / frames, tabs->Image->Height()};
  TBitmap* pictures[] = {&pages->TabBackGround, &pages->TabBackGroundActive};
  for (int frame = 1; frame <= 2; ++frame) {
    auto map =
        GetHMap(size, tabs->Image.get(), tabs->Margins(), false, tabs->Tile == 1, frames, std::min(frame, frames));
    CopyBMP(map.get(), pictures[frame - 1]);
  }
  pages->Invalidate();
}

// The strip makes its arrows only once its tabs overflow.
void TSkinAdvPage::AfterProc(TMessage& m) {
  if (m.Msg == WM_SIZE || m.Msg == TCM_INSERTITEMW || m.Msg == TCM_INSERTITEMA)
    SkinStripArrows(wnd_, control_, data_, canvas_, formSkin_);
  TSkinControl::AfterProc(m);
}

void TSkinAdvPage::Unsubclass() {
  TSkinControl::Unsubclass();
  auto* pages = dynamic_cast<TAdvPageControl*>(control_);
  if (!pages || stage_ == 6) return;
  pages->TabBackGround.SetSize(0, 0);
  pages->TabBackGroundActive.SetSize(0, 0);
  pages->Invalidate();
}
