// The tree view, its nodes and their list.
#include "classlib/ComCtrls.h"

#include "classlib/Gbk.h"

// ---- TTreeNode ----

void TTreeNode::SetText(const std::string& s) {
  text_ = s;
  Update();
}

void TTreeNode::SetImageIndex(int i) {
  image_ = i;
  Update();
}

void TTreeNode::SetSelectedIndex(int i) {
  selectedImage_ = i;
  Update();
}

int TTreeNode::Index() const {
  if (!parent_) return 0;
  const auto& c = parent_->children_;
  for (size_t i = 0; i < c.size(); ++i) {
    if (c[i].get() == this) return static_cast<int>(i);
  }
  return -1;
}

int TTreeNode::Level() const {
  int n = -1;  // the hidden root is not a level
  for (const TTreeNode* p = parent_; p; p = p->parent_) ++n;
  return n;
}

bool TTreeNode::Expanded() {
  if (!item_) return false;
  return tree_.Perform(TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item_), TVIS_EXPANDED) & TVIS_EXPANDED;
}

void TTreeNode::Expand(bool recurse) {
  if (item_ && !children_.empty()) tree_.Perform(TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item_));
  if (recurse) {
    for (auto& c : children_) c->Expand(true);
  }
}

void TTreeNode::Collapse(bool recurse) {
  if (item_) tree_.Perform(TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(item_));
  if (recurse) {
    for (auto& c : children_) c->Collapse(true);
  }
}

void TTreeNode::Delete() { tree_.Items().Delete(this); }

// Puts this node and its subtree into the window, after the given sibling item.
void TTreeNode::CreateItems(HTREEITEM after) {
  std::wstring w = gbk::ToWide(text_);
  TVINSERTSTRUCTW ins{};
  ins.hParent = parent_ && parent_->parent_ ? parent_->item_ : TVI_ROOT;
  ins.hInsertAfter = after;
  ins.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  ins.item.pszText = w.data();
  ins.item.lParam = reinterpret_cast<LPARAM>(this);
  ins.item.iImage = image_;
  ins.item.iSelectedImage = selectedImage_;
  item_ = reinterpret_cast<HTREEITEM>(tree_.Perform(TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&ins)));
  for (auto& c : children_) c->CreateItems(TVI_LAST);
}

void TTreeNode::Update() {
  if (!item_) return;
  std::wstring w = gbk::ToWide(text_);
  TVITEMW it{};
  it.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  it.hItem = item_;
  it.pszText = w.data();
  it.iImage = image_;
  it.iSelectedImage = selectedImage_;
  tree_.Perform(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&it));
}

// ---- TTreeNodes ----

int TTreeNodes::Count() const {
  int n = 0;
  std::vector<const TTreeNode*> todo{&root_};
  while (!todo.empty()) {
    const TTreeNode* t = todo.back();
    todo.pop_back();
    for (auto& c : t->children_) todo.push_back(c.get());
    n += static_cast<int>(t->children_.size());
  }
  return n;
}

TTreeNode* TTreeNodes::AddAt(TTreeNode* parent, int index, const std::string& text) {
  if (!parent) parent = &root_;
  auto node = std::make_unique<TTreeNode>(tree_, parent);
  node->text_ = text;
  TTreeNode* n = node.get();
  auto& c = parent->children_;
  c.insert(c.begin() + index, std::move(node));
  if (tree_.HandleAllocated() && (parent == &root_ || parent->item_)) {
    n->CreateItems(index == 0 ? TVI_FIRST : c[static_cast<size_t>(index) - 1]->item_);
  }
  return n;
}

TTreeNode* TTreeNodes::Add(TTreeNode* sibling, const std::string& text) {
  TTreeNode* parent = sibling ? sibling->parent_ : &root_;
  return AddAt(parent, parent->Count(), text);
}

TTreeNode* TTreeNodes::AddChild(TTreeNode* parent, const std::string& text) {
  if (!parent) parent = &root_;
  return AddAt(parent, parent->Count(), text);
}

TTreeNode* TTreeNodes::Insert(TTreeNode* before, const std::string& text) {
  if (!before) return AddChild(nullptr, text);
  return AddAt(before->parent_, before->Index(), text);
}

void TTreeNodes::Delete(TTreeNode* node) {
  if (!node || node == &root_) return;
  if (node->item_) tree_.Perform(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(node->item_));
  auto& c = node->parent_->children_;
  c.erase(c.begin() + node->Index());
}

void TTreeNodes::Clear() {
  tree_.Perform(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
  root_.children_.clear();
}

// ---- TTreeView ----

TTreeView::TTreeView(TComponent* owner) : TWinControl(owner), items_(*this) { SetColor(clWindow); }

TTreeView::~TTreeView() { DestroyHandle(); }

DWORD TTreeView::CreateStyle() const {
  DWORD s = TControl::CreateStyle() | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS;
  if (!ReadOnly) s |= TVS_EDITLABELS;
  return s;
}

void TTreeView::AfterCreate() {
  if (Images) Perform(TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(Images));
  Perform(TVM_SETBKCOLOR, 0, static_cast<LPARAM>(ColorToRGB(Color())));
  for (auto& c : items_.root_.children_) c->CreateItems(TVI_LAST);
}

void TTreeView::DestroyHandle() {
  // The items go with the window; the nodes stay, to be put into a new window.
  std::vector<TTreeNode*> todo{&items_.root_};
  while (!todo.empty()) {
    TTreeNode* t = todo.back();
    todo.pop_back();
    t->item_ = nullptr;
    for (auto& c : t->children_) todo.push_back(c.get());
  }
  destroying_ = true;
  TWinControl::DestroyHandle();
  destroying_ = false;
}

TTreeNode* TTreeView::NodeOf(HTREEITEM item) {
  if (!item) return nullptr;
  TVITEMW it{};
  it.mask = TVIF_PARAM;
  it.hItem = item;
  if (!Perform(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&it))) return nullptr;
  return reinterpret_cast<TTreeNode*>(it.lParam);
}

TTreeNode* TTreeView::Selected() { return NodeOf(reinterpret_cast<HTREEITEM>(Perform(TVM_GETNEXTITEM, TVGN_CARET))); }

void TTreeView::SetSelected(TTreeNode* node) {
  Perform(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(node ? node->item_ : nullptr));
}

void TTreeView::FullExpand() {
  for (auto& c : items_.root_.children_) c->Expand(true);
}

void TTreeView::FullCollapse() {
  for (auto& c : items_.root_.children_) c->Collapse(true);
}

TTreeNode* TTreeView::GetNodeAt(int x, int y) {
  TVHITTESTINFO hit{};
  hit.pt = {x, y};
  Perform(TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
  return (hit.flags & TVHT_ONITEM) ? NodeOf(hit.hItem) : nullptr;
}

bool TTreeView::HandleNotify(NMHDR* n, LRESULT& result) {
  if (n->code == NM_RCLICK && PopupMenu && !destroying_) {
    // The popup opens here, where the click was; answering the click keeps the tree
    // from sending a context menu of its own as well.
    DWORD at = GetMessagePos();
    Perform(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd_), static_cast<LPARAM>(at));
    result = 1;
    return true;
  }
  if (n->code == NM_DBLCLK && OnDblClick && !destroying_) {
    OnDblClick(this);
    result = 0;
    return true;
  }
  if (n->code != TVN_SELCHANGEDW || destroying_) return false;
  if (OnChange) OnChange(this);
  result = 0;
  return true;
}
