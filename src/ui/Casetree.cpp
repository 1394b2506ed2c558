#include "ui/Casetree.h"

#include <algorithm>
#include <map>
#include <set>

#include "cases/Caseform.h"
#include "cases/FrmClassEdit.h"
#include "cases/FrmFenLei.h"
#include "cases/FrmInfo.h"
#include "cases/FrmSearch.h"
#include "classlib/Files.h"
#include "classlib/Gbk.h"
#include "classlib/StrUtils.h"
#include "classlib/TIniFile.h"

namespace {

using gbk::U;

TTreeNode* Root(TTreeView& tree) { return tree.Items().GetFirstNode(); }

void SetImage(TTreeNode* n, int image) {
  n->SetImageIndex(image);
  n->SetSelectedIndex(image);
}

void SetCaseNode(TTreeNode* n, const CaseRecord& r) {
  n->SetText(CaseNodeText(r));
  SetImage(n, r.male ? kImageMale : kImageFemale);
}

TTreeNode* CategoryNode(TTreeView& tree, const std::string& name) {
  if (TTreeNode* n = FindCategoryNode(tree, name)) return n;
  TTreeNode* n = tree.Items().AddChild(Root(tree), name);
  SetImage(n, kImageCategory);
  return n;
}

TTreeNode* AddCaseNode(TTreeView& tree, const CaseRecord& r) {
  TTreeNode* n = tree.Items().AddChild(CategoryNode(tree, FieldText(r.category)), CaseNodeText(r));
  SetImage(n, r.male ? kImageMale : kImageFemale);
  return n;
}

TTreeNode* SelectedCategory(TTreeView& tree) {
  TTreeNode* n = tree.Selected();
  return n && n->Level() == 1 ? n : nullptr;
}

bool NeedCase(int32_t id) {
  if (id >= 0) return true;
  CaseMessage("请先选择一个命例！");
  return false;
}

void EndViewing(CaseContext& c) {
  c.RedtName.Clear();
  c.RedtName.SetModified(false);
  c.chartValid = false;
  c.CurCaseLoaded = 0;
  if (c.SaveMenuState) c.SaveMenuState(false);
}

// The shown case changed in the store: take it again, so a later save keeps the change.
void RereadShown(CaseContext& c, int32_t id) {
  CaseRecord r{};
  if (c.CurCaseLoaded && c.CurCaseId == id && c.Db.Read(id, r) && c.Db.Generation() == c.heldGeneration) {
    c.heldCase = r;
  }
}

// Writes the report view as the report of a case of that history.
bool WriteReport(CaseContext& c, int32_t id, uint32_t generation) {
  if (!c.Db.WriteReport(id, c.RedtName.SaveToString(!c.RedtName.PlainText), generation)) {
    if (!c.Db.Replaced()) ShowMessage(U("命例报告无法保存：") + c.Db.LastError());
    return false;
  }
  c.RedtName.SetModified(false);
  return true;
}

void StoreError(CaseContext& c) { ShowMessage(U("命例记录无法保存：") + c.Db.LastError()); }

// The tree was read from a history another window has since cleared or imported: its
// ids name other cases now, so it is read anew before anything is done by them.
void TreeReplaced(CaseContext& c) {
  CaseBox("另一个窗口已经清除或导入了历史记录，命例列表已按现在的历史记录重新列出，请重新选择命例。", "注意",
          MB_OK | MB_ICONWARNING);
  BuildCaseTree(c, RecentCaseIds(c.Db), true);
}

// Reads the case of a tree node; false when it cannot be read, told when the tree is stale.
bool ReadTreeCase(CaseContext& c, int32_t id, CaseRecord& r) {
  bool read = c.Db.Read(id, r);
  if (c.Db.Generation() == c.treeGeneration) return read;
  TreeReplaced(c);
  return false;
}

// A store refusal of a tree id: a stale tree is read anew, anything else is told.
void TreeStoreError(CaseContext& c) {
  if (c.Db.Replaced()) {
    TreeReplaced(c);
  } else {
    StoreError(c);
  }
}

// What an operation that took effect could not tidy up.
void ShowNotice(CaseContext& c) {
  if (!c.Db.Notice().empty()) ShowMessage(c.Db.Notice());
}

bool SaveNewCase(CaseContext& c);

// The shown case was read from a history another window has since cleared or imported:
// writing it by its id would overwrite another case. It can still be kept as a new one.
bool OfferSaveAsNew(CaseContext& c) {
  if (!CaseAskYes("另一个窗口已经清除或导入了历史记录，当前查看的命例已不在其中，没有保存（" +
                      gbk::ToUtf8(c.Db.LastError()) + "）。\r\n要把它另存为一个新命例吗？",
                  "注意", MB_ICONWARNING)) {
    return false;
  }
  return SaveNewCase(c);
}

bool SamePerson(const CaseRecord& a, const CaseRecord& b) {
  return FieldText(a.name) == FieldText(b.name) && a.year == b.year && a.month == b.month && a.day == b.day &&
         a.hour == b.hour && a.minute == b.minute && a.lunar == b.lunar && a.leapMonth == b.leapMonth &&
         a.male == b.male && a.provinceIndex == b.provinceIndex && a.cityIndex == b.cityIndex &&
         a.longitude == b.longitude && a.latitude == b.latitude && FieldText(a.place) == FieldText(b.place);
}

// A case's name and birth data on one line (UTF-8), as the save question names it.
std::string PersonText(const CaseRecord& r) {
  std::string s = gbk::ToUtf8(FieldText(r.name)) + (r.male ? "，男，" : "，女，");
  s += r.lunar ? (r.leapMonth ? "农历闰" : "农历") : "公历";
  s += Format("%d年%d月%d日%d时%d分", ShownYear(r.year), r.month, r.day, r.hour, r.minute);
  const std::string place = gbk::ToUtf8(FieldText(r.place));
  return place.empty() ? s : s + "，" + place;
}

// Whether the shown case is to be written over its record. When its name or birth
// data are no longer the stored ones, the question names both, so that nobody writes
// one person's case over another's by mistake.
bool AskUpdate(CaseContext& c) {
  CaseRecord stored{};
  if (c.Db.Read(c.CurCaseId, stored) && !SamePerson(stored, c.heldCase)) {
    return CaseAskYes(
        "这条记录现在是“" + PersonText(stored) + "”，修改后将是“" + PersonText(c.heldCase) + "”。\n要修改这条记录吗？",
        "提示", MB_ICONWARNING);
  }
  return CaseAskYes(Format("要修改“%s”这条记录吗？", gbk::ToUtf8(FieldText(c.heldCase.name)).c_str()), "提示");
}

bool UpdateShownCase(CaseContext& c) {
  if (!AskUpdate(c)) return false;
  // The report goes first: when it cannot be written the record is left as it was.
  if (!WriteReport(c, c.CurCaseId, c.heldGeneration)) return c.Db.Replaced() && OfferSaveAsNew(c);
  if (!c.Db.Write(c.CurCaseId, c.heldCase, c.heldGeneration)) {
    if (c.Db.Replaced()) return OfferSaveAsNew(c);
    StoreError(c);
    return false;
  }
  if (TTreeNode* n = FindCaseNode(c.Tree, c.CurCaseId)) SetCaseNode(n, c.heldCase);
  CaseMessage("已保存编辑后的命例。");
  return true;
}

// A new case; the case shown is then that case.
bool SaveNewCase(CaseContext& c) {
  TFrmFenLei dlg(c.owner, c.Ini);
  if (dlg.ShowModal() != mrOk) return false;
  CaseRecord r = c.heldCase;
  SetText(r.category, dlg.category);
  SetNote(r, dlg.note);
  int32_t id = c.Db.Add(r);
  if (id < 0) {
    StoreError(c);
    return false;
  }
  uint32_t generation = c.Db.Generation();
  // A case without its report is not kept.
  if (!WriteReport(c, id, generation)) {
    c.Db.Delete(id, generation);
    return false;
  }
  c.heldCase = r;
  if (c.CurCaseLoaded) {
    c.CurCaseId = id;
    c.CurCasePath = CaseReportPath(c.AppDir, id);
    c.heldGeneration = generation;
  }
  if (generation != c.treeGeneration) {
    BuildCaseTree(c, RecentCaseIds(c.Db), true);
    return true;
  }
  TTreeNode* n = AddCaseNode(c.Tree, r);
  Root(c.Tree)->Expand(false);  // a first case goes under a root that had nothing to show
  n->Parent()->Expand(false);
  return true;
}

}  // namespace

std::vector<int32_t> RecentCaseIds(MDataBase& db, size_t limit) {
  CaseCriteria all;
  std::vector<int32_t> ids;
  if (!db.Search(all, ids)) return {};
  std::reverse(ids.begin(), ids.end());
  if (ids.size() > limit) ids.resize(limit);
  return ids;
}

void BuildCaseTree(CaseContext& c, const std::vector<int32_t>& ids, bool followNew) {
  c.shownCount = followNew ? std::max(0, c.Db.GetCount()) : -1;
  TTreeView& tree = c.Tree;
  tree.Perform(WM_SETREDRAW, FALSE);
  tree.Items().Clear();
  TTreeNode* root = tree.Items().AddChild(nullptr, U("命例"));
  SetImage(root, kImageRoot);
  c.Db.ReadMany(ids, [&tree](const CaseRecord& r) { AddCaseNode(tree, r); });
  c.treeGeneration = c.Db.Generation();
  tree.Perform(WM_SETREDRAW, TRUE);
  root->Expand(false);
  tree.Invalidate();
}

// Brings the tree up to what the store holds in place: nodes of cases that are gone
// leave, changed cases are retitled or moved, and cases added since (by another window
// too) are appended as this window appends its own. Nothing is rebuilt, so a tree whose
// cases did not change keeps its order, open categories and selection.
void RefreshCaseTree(CaseContext& c) {
  int32_t count = c.Db.GetCount();
  if (count < 0) return;  // busy or unreadable: the tree stays as it is
  if (c.Db.Generation() != c.treeGeneration) {
    BuildCaseTree(c, RecentCaseIds(c.Db), true);
    return;
  }
  std::map<int32_t, TTreeNode*> nodes;
  TTreeNode* root = Root(c.Tree);
  for (int i = 0; root && i < root->Count(); ++i) {
    TTreeNode* cat = root->Item(i);
    for (int k = 0; k < cat->Count(); ++k) nodes[CaseIdOfText(cat->Item(k)->Text())] = cat->Item(k);
  }
  std::vector<int32_t> ids;
  for (const auto& [id, node] : nodes) ids.push_back(id);
  for (int32_t id = std::max(c.shownCount, 0); c.shownCount >= 0 && id < count; ++id) {
    if (!nodes.count(id)) ids.push_back(id);
  }
  std::sort(ids.begin(), ids.end());
  std::set<int32_t> live;
  bool read = c.Db.ReadMany(ids, [&](const CaseRecord& r) {
    live.insert(r.id);
    auto it = nodes.find(r.id);
    if (it == nodes.end()) {
      AddCaseNode(c.Tree, r);
    } else if (it->second->Parent()->Text() != FieldText(r.category)) {
      it->second->Delete();
      AddCaseNode(c.Tree, r);
    } else {
      SetCaseNode(it->second, r);
    }
  });
  if (!read) return;
  for (const auto& [id, node] : nodes) {
    if (!live.count(id)) node->Delete();
  }
  if (c.shownCount >= 0) c.shownCount = count;
}

int32_t SelectedCaseId(TTreeView& tree) {
  TTreeNode* n = tree.Selected();
  return n && n->Level() == 2 ? CaseIdOfText(n->Text()) : -1;
}

TTreeNode* FindCaseNode(TTreeView& tree, int32_t id) {
  TTreeNode* root = Root(tree);
  for (int i = 0; root && i < root->Count(); ++i) {
    TTreeNode* cat = root->Item(i);
    for (int k = 0; k < cat->Count(); ++k) {
      if (CaseIdOfText(cat->Item(k)->Text()) == id) return cat->Item(k);
    }
  }
  return nullptr;
}

TTreeNode* FindCategoryNode(TTreeView& tree, const std::string& name) {
  TTreeNode* root = Root(tree);
  for (int i = 0; root && i < root->Count(); ++i) {
    if (root->Item(i)->Text() == name) return root->Item(i);
  }
  return nullptr;
}

bool SaveCase(CaseContext& c) {
  if (!c.chartValid) {
    CaseBox("请先排一个正确的盘后再保存", "提示", MB_OK | MB_ICONINFORMATION);
    return false;
  }
  return c.CurCaseLoaded ? UpdateShownCase(c) : SaveNewCase(c);
}

void OfferSaveShownCase(CaseContext& c) {
  if (c.CurCaseLoaded && c.RedtName.Modified() &&
      CaseAskYes("当前命例文本已改变，要保存吗？", "提示", MB_ICONWARNING)) {
    SaveCase(c);
  }
}

void ViewCase(CaseContext& c) {
  int32_t id = SelectedCaseId(c.Tree);
  if (!NeedCase(id)) return;
  CaseRecord r{};
  if (!ReadTreeCase(c, id, r)) return;
  OfferSaveShownCase(c);
  c.heldCase = r;
  CaseToBirth(r, c.birth);
  c.CurCaseLoaded = 1;
  c.CurCaseId = id;
  c.heldGeneration = c.treeGeneration;
  c.CurCasePath = CaseReportPath(c.AppDir, id);
  const bool exists = file::Exists(c.CurCasePath);
  bool stored = false;
  if (exists) {
    c.RedtName.Clear();
    stored = c.RedtName.LoadFromFile(c.CurCasePath);
    // A report the view cannot take is left on disk as it is: the case is shown with
    // a report written anew, which is stored only when the user saves the case.
    if (!stored)
      Application->MessageBox(U("命例报告无法载入，已重新生成命稿，原文件未改动。\r\n") + c.RedtName.LastError(),
                              U("注意"), MB_OK | MB_ICONWARNING);
  }
  c.chartValid = false;
  if (!c.AnalyseBirth(!stored)) return;
  c.chartValid = true;
  if (!exists) WriteReport(c, id, c.heldGeneration);
  c.RedtName.SetModified(false);
  if (c.SaveMenuState) c.SaveMenuState(true);
}

void EditCase(CaseContext& c) {
  int32_t id = SelectedCaseId(c.Tree);
  if (!NeedCase(id)) return;
  TFrmInfo dlg(c.owner, c.Ini, c.AppDir);
  if (!ReadTreeCase(c, id, dlg.record)) return;
  if (dlg.ShowModal() != mrOk) return;
  if (!c.Db.Write(id, dlg.record, c.treeGeneration)) {
    TreeStoreError(c);
    return;
  }
  if (TTreeNode* n = FindCaseNode(c.Tree, id)) SetCaseNode(n, dlg.record);
  RereadShown(c, id);
  CaseBox("完成修改", "完成", MB_OK);
}

void DeleteCase(CaseContext& c) {
  int32_t id = SelectedCaseId(c.Tree);
  if (!NeedCase(id)) return;
  std::string text = c.Tree.Selected()->Text();
  std::string name = text.substr(0, text.find(' '));
  // The tree may be brought up to date while a question is open (the program coming back
  // to the front): the case chosen goes, by the ids of the tree it was chosen from.
  const uint32_t generation = c.treeGeneration;
  if (!CaseAskYes("确定要删除“" + gbk::ToUtf8(name) + "”这个命例吗？", "注意", MB_ICONWARNING | MB_DEFBUTTON2)) return;
  if (c.Db.Generation() != generation) return TreeReplaced(c);
  if (c.CurCaseLoaded && c.CurCaseId == id) {
    if (!CaseAskYes("确定要删除当前正在查看的命例吗？", "提示")) return;
    EndViewing(c);
  }
  // The store deletes the report with the record.
  if (!c.Db.Delete(id, generation)) {
    TreeStoreError(c);
    return;
  }
  if (TTreeNode* n = FindCaseNode(c.Tree, id)) n->Delete();
}

void SearchCases(CaseContext& c) {
  TFrmSearch dlg(c.owner, c.Ini, c.Db, c.searchCriteria);
  dlg.ShowModal();
  if (dlg.Tag == 1) BuildCaseTree(c, dlg.ids);
}

void ShowAllCases(CaseContext& c) {
  if (c.Db.GetCount() <= 0) {
    CaseMessage("没有记录，无从查找。");
    return;
  }
  CaseCriteria all;
  std::vector<int32_t> ids;
  if (!c.Db.Search(all, ids) || ids.empty()) {
    CaseBox("没有找到符合条件的命例。", "信息", MB_OK | MB_ICONINFORMATION);
    return;
  }
  BuildCaseTree(c, ids, true);
}

void ExpandSelected(TTreeView& tree, bool expand) {
  TTreeNode* n = tree.Selected();
  if (!n || n->Level() > 1) return;
  if (expand) {
    n->Expand(true);
  } else {
    n->Collapse(true);
  }
}

void NewCase(CaseContext& c) {
  OfferSaveShownCase(c);
  EndViewing(c);
}

std::vector<MoveTarget> MoveTargets(TTreeView& tree) {
  std::vector<MoveTarget> targets;
  TTreeNode* n = tree.Selected();
  if (!n || n->Level() != 2) return targets;
  TTreeNode* root = Root(tree);
  for (int i = 0; i < root->Count(); ++i) {
    if (root->Item(i) != n->Parent()) targets.push_back({root->Item(i)->Text(), i});
  }
  return targets;
}

void MoveCase(CaseContext& c, const MoveTarget& target) {
  int32_t id = SelectedCaseId(c.Tree);
  TTreeNode* root = Root(c.Tree);
  if (id < 0 || target.tag < 0 || target.tag >= root->Count()) return;
  CaseRecord r{};
  if (!ReadTreeCase(c, id, r)) return;
  SetText(r.category, target.caption);
  if (!c.Db.Write(id, r, c.treeGeneration)) {
    TreeStoreError(c);
    return;
  }
  RereadShown(c, id);
  c.Tree.Selected()->Delete();
  TTreeNode* n = c.Tree.Items().AddChild(root->Item(target.tag), CaseNodeText(r));
  SetImage(n, r.male ? kImageMale : kImageFemale);
}

CasePopupState PopupState(TTreeView& tree) {
  TTreeNode* n = tree.Selected();
  int level = n ? n->Level() : -1;
  return {level == 2, level == 1, level == 0 || level == 1};
}

void SelectNodeAt(TTreeView& tree, int x, int y) {
  if (TTreeNode* n = tree.GetNodeAt(x, y)) tree.SetSelected(n);
}

void AddCategory(CaseContext& c, const std::string& typed) {
  std::string name = Trim(typed);
  if (!CategoryNameValid(name)) {
    CaseMessage("类别名不能为空，并且最多可以有6个汉字！");
    return;
  }
  if (TTreeNode* n = FindCategoryNode(c.Tree, name)) {
    CaseBox("已有这个类别了！", "提示", MB_OK | MB_ICONWARNING);
    c.Tree.SetSelected(n);
    return;
  }
  CategoryNode(c.Tree, name);
  int count = CategoryCount(c.Ini.ReadInteger("classes", "count", 0));
  for (int i = 1; i <= count; ++i) {
    if (c.Ini.ReadString("classes", IntToStr(i), "") == name) return;
  }
  c.Ini.WriteString("classes", IntToStr(count + 1), name);
  c.Ini.WriteInteger("classes", "count", count + 1);
}

void RenameCategory(CaseContext& c, const std::string& typed) {
  TTreeNode* node = SelectedCategory(c.Tree);
  if (!node) return;
  std::string name = Trim(typed);
  if (!CategoryNameValid(name)) {
    CaseMessage("类别名不能为空，并且最多可以有6个汉字！");
    return;
  }
  TTreeNode* other = FindCategoryNode(c.Tree, name);
  if (other && other != node) {
    CaseBox("已有这个类别了，请另起一个名称！", "提示", MB_OK | MB_ICONWARNING);
    c.Tree.SetSelected(other);
    return;
  }
  std::string old = node->Text();
  // One store operation for all its cases: begun, it is finished even after a crash.
  if (!c.Db.RenameCategory(old, name, c.treeGeneration)) {
    TreeStoreError(c);
    return;
  }
  if (c.CurCaseLoaded) RereadShown(c, c.CurCaseId);
  int count = CategoryCount(c.Ini.ReadInteger("classes", "count", 0));
  for (int i = 1; i <= count; ++i) {
    if (c.Ini.ReadString("classes", IntToStr(i), "") == old) {
      c.Ini.WriteString("classes", IntToStr(i), name);
      break;
    }
  }
  node->SetText(name);
}

void DeleteCategory(CaseContext& c) {
  TTreeNode* node = SelectedCategory(c.Tree);
  if (!node) return;
  const std::string name = node->Text();
  // Exactly the cases the node lists as the user chooses go, each still of this category
  // (another window may have moved one meanwhile); cases the tree does not show (a
  // search's view, past the newest, added while the question was open) stay. A listed id
  // whose case now reads otherwise than its node (deleted and given to another case
  // meanwhile) is not the case the user sees.
  std::map<int32_t, std::string> shown;
  for (int k = 0; k < node->Count(); ++k) shown[CaseIdOfText(node->Item(k)->Text())] = node->Item(k)->Text();
  const uint32_t generation = c.treeGeneration;
  if (!CaseAskYes("确定要删除“" + gbk::ToUtf8(name) + "”这个类别吗？", "注意", MB_ICONWARNING)) return;
  std::vector<int32_t> listed, ids;
  for (const auto& [id, text] : shown) listed.push_back(id);
  if (!c.Db.ReadMany(listed, [&](const CaseRecord& r) {
        if (FieldText(r.category) == name && shown[r.id] == CaseNodeText(r)) ids.push_back(r.id);
      })) {
    StoreError(c);
    return;
  }
  if (c.Db.Generation() != generation) return TreeReplaced(c);
  // The shown case goes with its category; a later save must not write a free slot.
  if (c.CurCaseLoaded && std::find(ids.begin(), ids.end(), c.CurCaseId) != ids.end()) EndViewing(c);
  for (int32_t id : ids) {
    if (!c.Db.Delete(id, generation)) {
      StoreError(c);
      RefreshCaseTree(c);
      return;
    }
  }
  for (int k = node->Count() - 1; k >= 0; --k) {
    if (std::find(ids.begin(), ids.end(), CaseIdOfText(node->Item(k)->Text())) != ids.end()) node->Item(k)->Delete();
  }
  // Nodes of cases moved meanwhile follow them; the category goes when nothing is left in it.
  RefreshCaseTree(c);
  node = FindCategoryNode(c.Tree, name);
  if (node && node->Count() == 0) node->Delete();
}

void EditCategoryFile(CaseContext& c) {
  TFrmClassEdit dlg(c.owner, c.Ini);
  dlg.ShowModal();
}

bool ExportHistory(CaseContext& c, const std::string& folder) {
  std::string dest = IncludeTrailingBackslash(folder);
  if (!c.Db.Backup(dest)) {
    ShowMessage(U("导出失败：") + c.Db.LastError());
    return false;
  }
  ShowMessage(U("成功导出，已保存到") + dest + U("目录下"));
  ShowNotice(c);
  return true;
}

bool ConfirmImport() {
  return CaseAskYes("执行此操作将覆盖现有的历史记录，要继续吗？", "注意了", MB_ICONWARNING | MB_DEFBUTTON2);
}

bool ImportHistory(CaseContext& c, const std::string& path) {
  std::string error;
  if (!CheckImportSource(path, c.AppDir, error)) {
    ShowMessage(error);
    return false;
  }
  // Restore puts the whole new history together aside and switches it in at once, so a
  // failure leaves the old history whole.
  if (!c.Db.Restore(path)) {
    ShowMessage(U("导入失败，原有历史记录未改变：") + c.Db.LastError());
    return false;
  }
  EndViewing(c);
  CaseMessage("成功导入，请重启软件！");
  ShowNotice(c);
  return true;
}

bool ClearHistory(CaseContext& c) {
  if (!CaseAskYes("这将清除所有历史记录，要继续吗？", "注意了", MB_ICONWARNING | MB_DEFBUTTON2) ||
      !CaseAskYes("确定要清除吗？", "注意了", MB_ICONWARNING | MB_DEFBUTTON2)) {
    return false;
  }
  EndViewing(c);
  if (!c.Db.Clear()) {
    ShowMessage(U("清除失败：") + c.Db.LastError());
    return false;
  }
  CaseMessage("清除完成,请重启软件。");
  ShowNotice(c);
  return true;
}
