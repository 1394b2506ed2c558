#include "classlib/Layout.h"

#include "classlib/ComCtrls.h"
#include "classlib/ExtCtrls.h"
#include "classlib/Gbk.h"

TLayout::TLayout(TWinControl* root, TComponent* owner, std::span<const LayoutRow> rows) {
  for (const LayoutRow& r : rows) {
    TControl* c = r.make(owner);
    c->Name = r.name;
    std::string caption = gbk::FromUtf8(r.caption);
    if (auto* edit = dynamic_cast<TLabeledEdit*>(c))
      edit->EditLabel()->SetText(caption);
    else
      c->SetText(caption);
    c->SetBounds(r.left, r.top, r.width, r.height);
    TWinControl* parent = *r.parent ? Get<TWinControl>(r.parent) : root;
    if (auto* sheet = dynamic_cast<TTabSheet*>(c))
      sheet->SetPageControl(Get<TPageControl>(r.parent));
    else
      c->SetParent(parent);
    c->SetAlign(r.align);
    made_[r.name] = c;
  }
}

TControl* TLayout::Find(const std::string& name) const {
  auto it = made_.find(name);
  if (it == made_.end()) throw Exception("layout: no control named " + name);
  return it->second;
}

void FillDropDownList(TComboBox* box, std::initializer_list<const char*> utf8Items) {
  box->Style = csDropDownList;
  for (const char* item : utf8Items) box->Items().Add(gbk::U(item));
  box->SetItemIndex(0);
}
