// The main window's side of the case history: the case tree (root "命例", categories,
// cases), saving and viewing cases, the popup's case and category commands, and the
// history commands of the menu 文件. The main window keeps the state and the controls
// and hands them in as a CaseContext; it asks for names, files and folders itself and
// calls these functions with the answers.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "cases/Caserules.h"
#include "cases/Database.h"
#include "classlib/ComCtrls.h"
#include "engine/Records.h"

class TIniFile;

struct CaseContext {
  TComponent* owner;  // owns the dialogs while they are shown
  TTreeView& Tree;
  TRichEdit& RedtName;  // the analysis page's report
  MDataBase& Db;
  TIniFile& Ini;           // "dat\init.ini"
  std::string AppDir;      // with its trailing backslash
  CaseRecord& heldCase;    // the case of the analysis page
  uint8_t& CurCaseLoaded;  // 1 while a stored case is shown
  int32_t& CurCaseId;
  std::string& CurCasePath;
  CaseCriteria& searchCriteria;
  bool& chartValid;
  BirthRecord& birth;
  // Shows `birth` in the page's inputs and analyses it; writeReport false keeps the
  // loaded report. False (the error already shown) when the analysis fails.
  std::function<bool(bool writeReport)> AnalyseBirth;
  // mnuF_save: "保存旧命" (image 1) while a stored case is shown, else "保存新命" (image 0).
  std::function<void(bool storedCaseShown)> SaveMenuState;
  // >= 0: the view also takes the cases added since the store counted that many (the
  // recent and all-cases views); -1: it shows a search's cases only.
  int32_t shownCount = -1;
  // The history the tree's ids were read from: after another window cleared or imported
  // it, they name other cases.
  uint32_t treeGeneration = 0;
  uint32_t heldGeneration = 0;  // that of the shown case
};

// Tree images.
inline constexpr int kImageFemale = 0, kImageMale = 1, kImageCategory = 2, kImageRoot = 3;
// The colour that shows through in the program's picture strips.
inline constexpr COLORREF kImageKeyColour = RGB(255, 0, 255);

// The ids the tree starts with: the most recent live cases, newest first.
std::vector<int32_t> RecentCaseIds(MDataBase& db, size_t limit = 1000);
// followNew: a view of the latest cases, which a refresh extends by cases added since.
void BuildCaseTree(CaseContext& c, const std::vector<int32_t>& ids, bool followNew = false);
// Reads the tree again, keeping its view, the open categories and the selection:
// another window may have changed the history meanwhile.
void RefreshCaseTree(CaseContext& c);
int32_t SelectedCaseId(TTreeView& tree);
TTreeNode* FindCaseNode(TTreeView& tree, int32_t id);
TTreeNode* FindCategoryNode(TTreeView& tree, const std::string& name);

// Case commands (menu 文件 and the popup).
bool SaveCase(CaseContext& c);  // mnuF_save, and the analysis when setting "save" is on
void ViewCase(CaseContext& c);  // "查看命例" and a double click
void EditCase(CaseContext& c);  // "编辑命例"
void DeleteCase(CaseContext& c);
void SearchCases(CaseContext& c);                   // "查找"
void ShowAllCases(CaseContext& c);                  // "显示全部命例"
void ExpandSelected(TTreeView& tree, bool expand);  // "展开", "收缩"
void NewCase(CaseContext& c);                       // "新建命例"
// Offers to save a shown case whose report was changed; for closing the window too.
void OfferSaveShownCase(CaseContext& c);

// "移动到": one target for each category node but the case's own, in tree order.
struct MoveTarget {
  std::string caption;  // the category
  int tag;              // its index among the root's children
};
std::vector<MoveTarget> MoveTargets(TTreeView& tree);
void MoveCase(CaseContext& c, const MoveTarget& target);

// The popup's items by the level of the selected node.
struct CasePopupState {
  bool caseItems;     // 查看命例, 编辑命例, 移动到, 删除命例
  bool categoryEdit;  // 修改类名, 删除类别
  bool expand;        // 展开, 收缩
};
CasePopupState PopupState(TTreeView& tree);
// A right click: the node under the mouse becomes the selection before the popup acts.
void SelectNodeAt(TTreeView& tree, int x, int y);

// Category commands; typed is the text the user entered in the input box.
void AddCategory(CaseContext& c, const std::string& typed);     // "增加类别"
void RenameCategory(CaseContext& c, const std::string& typed);  // "修改类名"
void DeleteCategory(CaseContext& c);                            // "删除类别"
void EditCategoryFile(CaseContext& c);                          // "编辑类别文件"

// History commands. Import and clear answer true when the program is to close.
bool ExportHistory(CaseContext& c, const std::string& folder);
// "导入历史记录": the warning before the file dialog, then the import of the chosen file.
bool ConfirmImport();
bool ImportHistory(CaseContext& c, const std::string& path);
bool ClearHistory(CaseContext& c);  // asks twice itself
