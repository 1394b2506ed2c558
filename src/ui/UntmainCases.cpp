// The case tree's popup menu and the case commands.
#include "classlib/Dialogs.h"
#include "classlib/FolderDialog.h"
#include "classlib/Gbk.h"
#include "classlib/InputBox.h"
#include "classlib/StrUtils.h"
#include "ui/Untmain.h"

namespace {

using gbk::U;

TMenuItem* AddItem(TMenuItem* parent, TComponent* owner, const char* utf8Caption, TNotifyEvent onClick) {
  auto* item = new TMenuItem(owner);
  item->SetCaption(U(utf8Caption));
  item->OnClick = std::move(onClick);
  parent->Add(item);
  return item;
}

void AddSeparator(TMenuItem* parent, TComponent* owner) { AddItem(parent, owner, "-", {}); }

}  // namespace

void TFrmMain::BuildCasePopup() {
  PopMingLi = new TPopupMenu(this);
  TMenuItem* top = PopMingLi->Items();
  auto on = [this](void (TFrmMain::*handler)(TObject*)) {
    return [this, handler](TObject* s) { (this->*handler)(s); };
  };
  pop_ming_pai = AddItem(top, this, "查看命例", on(&TFrmMain::pop_ming_paiClick));
  pop_ming_edit = AddItem(top, this, "编辑命例", on(&TFrmMain::pop_ming_editClick));
  pop_move = AddItem(top, this, "移动到", {});
  pop_ming_delete = AddItem(top, this, "删除命例", on(&TFrmMain::pop_ming_deleteClick));
  AddSeparator(top, this);
  pop_class_add = AddItem(top, this, "增加类别", on(&TFrmMain::pop_class_addClick));
  pop_class_edit = AddItem(top, this, "修改类名", on(&TFrmMain::pop_class_editClick));
  pop_class_delete = AddItem(top, this, "删除类别", on(&TFrmMain::pop_class_deleteClick));
  pop_class_editfile = AddItem(top, this, "编辑类别文件", on(&TFrmMain::pop_class_editfileClick));
  AddSeparator(top, this);
  pop_search = AddItem(top, this, "查找", on(&TFrmMain::pop_searchClick));
  pop_s_full = AddItem(top, this, "显示全部命例", on(&TFrmMain::pop_s_fullClick));
  AddSeparator(top, this);
  pop_node_kai = AddItem(top, this, "展开", on(&TFrmMain::pop_node_kaiClick));
  pop_node_shou = AddItem(top, this, "收缩", on(&TFrmMain::pop_node_shouClick));
  PopMingLi->OnPopup = on(&TFrmMain::TreeMouseDown);
  Tree->PopupMenu = PopMingLi;
  Tree->OnDblClick = on(&TFrmMain::pop_ming_paiClick);
}

void TFrmMain::TreeMouseDown(TObject*) {
  // The point the popup opens at is the right click's; a popup from the keyboard opens
  // at the tree's corner and keeps the selection.
  POINT p = PopMingLi->PopupPoint;
  ScreenToClient(Tree->Handle(), &p);
  SelectNodeAt(*Tree, p.x, p.y);
  CasePopupState state = PopupState(*Tree);
  for (TMenuItem* item : {pop_ming_pai, pop_ming_edit, pop_move, pop_ming_delete}) item->SetEnabled(state.caseItems);
  pop_class_edit->SetEnabled(state.categoryEdit);
  pop_class_delete->SetEnabled(state.categoryEdit);
  pop_node_kai->SetEnabled(state.expand);
  pop_node_shou->SetEnabled(state.expand);
  if (!state.caseItems) return;
  while (pop_move->Count() > 0) {
    TMenuItem* old = pop_move->Items(pop_move->Count() - 1);
    pop_move->Delete(pop_move->Count() - 1);
    delete old;
  }
  for (const MoveTarget& t : MoveTargets(*Tree)) {
    auto* item = new TMenuItem(this);
    item->SetCaption(t.caption);
    item->Tag = t.tag;
    item->OnClick = [this](TObject* s) { MoveCaseClick(s); };
    pop_move->Add(item);
  }
}

void TFrmMain::pop_ming_paiClick(TObject*) {
  if (cases) ViewCase(*cases);
}

void TFrmMain::pop_ming_editClick(TObject*) {
  if (cases) EditCase(*cases);
}

void TFrmMain::MoveCaseClick(TObject* sender) {
  auto* item = dynamic_cast<TMenuItem*>(sender);
  if (cases && item) MoveCase(*cases, {item->Caption(), item->Tag});
}

void TFrmMain::pop_ming_deleteClick(TObject*) {
  if (cases) DeleteCase(*cases);
}

void TFrmMain::pop_class_addClick(TObject*) {
  std::string name = U("新类别");
  if (cases && InputQuery(U("新建类别"), U("请输入新建类别名："), name)) AddCategory(*cases, name);
}

void TFrmMain::pop_class_editClick(TObject*) {
  TTreeNode* node = Tree->Selected();
  if (!cases || !node || node->Level() != 1) return;
  std::string name = node->Text();
  if (InputQuery(U("修改类别名"), U("请输入新的类别名："), name)) RenameCategory(*cases, name);
}

void TFrmMain::pop_class_deleteClick(TObject*) {
  if (cases) DeleteCategory(*cases);
}

void TFrmMain::pop_class_editfileClick(TObject*) {
  if (cases) EditCategoryFile(*cases);
}

void TFrmMain::pop_searchClick(TObject*) {
  if (cases) SearchCases(*cases);
}

void TFrmMain::pop_s_fullClick(TObject*) {
  if (cases) ShowAllCases(*cases);
}

void TFrmMain::pop_node_kaiClick(TObject*) { ExpandSelected(*Tree, true); }

void TFrmMain::pop_node_shouClick(TObject*) { ExpandSelected(*Tree, false); }

void TFrmMain::mnuF_NewClick(TObject*) {
  if (cases) NewCase(*cases);
}

void TFrmMain::mnuF_saveClick(TObject*) {
  if (cases) SaveCase(*cases);
}

void TFrmMain::mnuF_impotrClick(TObject*) {
  if (!cases || !ConfirmImport()) return;
  TOpenDialog dlgimport(this);
  dlgimport.Filter = "all.dat|*.dat";
  dlgimport.FileName = "bazi0.dat";
  if (dlgimport.Execute() && ImportHistory(*cases, dlgimport.FileName)) Close();
}

void TFrmMain::mnuF_exportClick(TObject*) {
  std::string folder;
  if (cases && SelectDirectory(U("请选择导出历史记录的文件夹："), folder)) ExportHistory(*cases, folder);
}

void TFrmMain::mnuF_deleteClick(TObject*) {
  if (cases && ClearHistory(*cases)) Close();
}
