// The skinners of other libraries' controls that draw themselves from pictures of their
// own: the skin's images are written into those pictures.
#include "skin/WinSubClass.h"

#include <algorithm>

#include "classlib/Gbk.h"
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

namespace {

// The glyph held among the "Properties" of a check box of the second family.
TBitmap* DevGlyph(TControl* c) {
  auto* props = GetObjProp<TcxCheckBox::TProperties>(c, "Properties");
  return props ? &props->Glyph : nullptr;
}

}  // namespace

// Kinds 1 and 2 take the check or the radio strip as their custom glyphs, the key colour
// transparent; kind 3 takes the check strip as its glyph.
void TSkinObjImage::ChangeImage() {
  const TDataSkinButton* buttons = data_ ? data_->Buttons.get() : nullptr;
  if (!buttons) return;
  TBitmap* strip = kind_ == 2 ? buttons->RadioButton.get() : buttons->CheckButton.get();
  if (EmptyImage(strip)) return;
  if (TBitmap* custom = GetObjProp<TBitmap>(control_, "CustomGlyphs"); custom && kind_ != 3) {
    CopyBMP(strip, custom);
    SetProperty(control_, "TransparentColor", std::to_string(kKeyColour));
    SetProperty(control_, "UseCustomGlyphs", "true");
  } else if (TBitmap* glyph = DevGlyph(control_); glyph && kind_ == 3) {
    CopyBMP(strip, glyph);
  }
  control_->Invalidate();
}

void TSkinObjImage::Unsubclass() {
  if (kind_ != 3) SetProperty(control_, "UseCustomGlyphs", "false");
  if (TBitmap* glyph = kind_ == 3 ? DevGlyph(control_) : nullptr) glyph->SetSize(0, 0);
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
  TBitmap* pictures[] = {GetObjProp<TBitmap>(control_, "TabBackGround"),
                         GetObjProp<TBitmap>(control_, "TabBackGroundActive")};
  const TDataSkinBorder* tabs = data_ ? data_->Tabs.get() : nullptr;
  if (!pictures[0] || !pictures[1] || !tabs || EmptyImage(tabs->Image.get())) return;
  const int frames = std::max(tabs->Frame, 1);
  const RECT size{0, 0, tabs->Image->Width() / frames, tabs->Image->Height()};
  for (int frame = 1; frame <= 2; ++frame) {
    auto map =
        GetHMap(size, tabs->Image.get(), tabs->Margins(), false, tabs->Tile == 1, frames, std::min(frame, frames));
    CopyBMP(map.get(), pictures[frame - 1]);
  }
  control_->Invalidate();
}

// The strip makes its arrows only once its tabs overflow.
void TSkinAdvPage::AfterProc(TMessage& m) {
  if (m.Msg == WM_SIZE || m.Msg == TCM_INSERTITEMW || m.Msg == TCM_INSERTITEMA)
    SkinStripArrows(wnd_, control_, data_, canvas_, formSkin_);
  TSkinControl::AfterProc(m);
}

void TSkinAdvPage::Unsubclass() {
  TSkinControl::Unsubclass();
  if (!control_ || stage_ == 6) return;
  for (const char* name : {"TabBackGround", "TabBackGroundActive"})
    if (TBitmap* picture = GetObjProp<TBitmap>(control_, name)) picture->SetSize(0, 0);
  control_->Invalidate();
}

// ---- Properties by name ----

const TPropInfo* FindPublished(TObject* obj, const std::string& name) {
  auto* c = dynamic_cast<TComponent*>(obj);
  return c ? c->Published().Find(name) : nullptr;
}

std::string GetProperty(TObject* obj, const std::string& name) { return PropText(FindPublished(obj, name)); }

int GetIntProperty(TObject* obj, const std::string& name) { return PropInt(FindPublished(obj, name)); }

std::string GetEnumProperty(TObject* obj, const std::string& name) { return PropEnumName(FindPublished(obj, name)); }

std::wstring GetStringProp(TObject* obj, const std::string& name) {
  const TPropInfo* p = FindPublished(obj, name);
  if (p && p->Kind == tkWString && p->GetWStr) return p->GetWStr();
  if (p && p->Kind == tkString && p->GetStr) return gbk::ToWide(p->GetStr());
  return {};
}

TNotifyEvent GetObjMethod(TObject* obj, const std::string& name) {
  const TPropInfo* p = FindPublished(obj, name);
  return p && p->Kind == tkMethod && p->GetMethod ? p->GetMethod() : TNotifyEvent{};
}

void SetProperty(TObject* obj, const std::string& name, const std::string& value) {
  SetPropText(FindPublished(obj, name), value);
}
