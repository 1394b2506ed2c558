// A window's controls as one table, built in one pass.
//
// Each row names the class to make, the control's name, its caption (UTF-8 in the
// source, stored as GBK), its bounds, its parent by name ("" for the window itself)
// and its alignment. Rows come parent first. Tab sheets join their page control; a
// labelled edit's caption goes to its label. Members are then bound by name.
#pragma once

#include <initializer_list>
#include <map>
#include <span>
#include <string>

#include "classlib/Controls.h"
#include "classlib/StdCtrls.h"

struct LayoutRow {
  TControl* (*make)(TComponent* owner);
  const char* name;
  const char* caption;
  int left, top, width, height;
  const char* parent;
  TAlign align;
};

template <class T>
TControl* New(TComponent* owner) {
  return new T(owner);
}

// A combo box that only picks from its list, showing `Rows` rows when dropped down.
template <int Rows = 8>
TControl* NewDropDownList(TComponent* owner) {
  auto* c = new TComboBox(owner);
  c->Style = csDropDownList;
  c->DropDownCount = Rows;
  return c;
}

// Makes the box a drop-down list of these items (UTF-8 in the source), the first chosen.
void FillDropDownList(TComboBox* box, std::initializer_list<const char*> utf8Items);

class TLayout {
 public:
  // Makes the rows' controls, owned by owner, under root.
  TLayout(TWinControl* root, TComponent* owner, std::span<const LayoutRow> rows);

  TControl* Find(const std::string& name) const;
  // The named control as T; throws when there is none or it is of another class.
  template <class T>
  T* Get(const std::string& name) const {
    T* c = dynamic_cast<T*>(Find(name));
    if (!c) throw Exception("layout: " + name + " is not of the class asked for");
    return c;
  }
  template <class T>
  void Bind(T*& slot, const std::string& name) const {
    slot = Get<T>(name);
  }

 private:
  std::map<std::string, TControl*> made_;
};
