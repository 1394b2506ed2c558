// The main window and the program-wide objects of the program.
//
// The main window is created at start as the program's only window; its pages and
// commands hang off it. AppDir, the program folder with a trailing "\", is the base
// of every data path and is set when the main window is created. The engines exist
// from the window's show to its close; "dat\init.ini" is open over the same span.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "cases/Database.h"
#include "classlib/Buttons.h"
#include "classlib/ComCtrls.h"
#include "classlib/Dialogs.h"
#include "classlib/ExtCtrls.h"
#include "classlib/Forms.h"
#include "classlib/Grids.h"
#include "classlib/ListView.h"
#include "classlib/Menus.h"
#include "classlib/StdCtrls.h"
#include "classlib/TIniFile.h"
#include "classlib/TStringList.h"
#include "dictionary/Namelibrary.h"
#include "engine/Decname.h"
#include "engine/Searchname.h"
#include "ui/Casetree.h"
#include "ui/Reportview.h"

class TMenuItem;
class TSkinData;

class TFrmMain : public TForm, private MessagePump {
 public:
  // `programFolder` holds "dat\" and "skins\"; empty means the executable's folder.
  explicit TFrmMain(TComponent* owner, std::string programFolder = {});
  ~TFrmMain() override;
  std::string ClassName() const override { return "TFrmMain"; }

  void FormCreate(TObject* sender);
  void FormShow(TObject* sender);
  void FormClose(TObject* sender, TCloseAction& action);
  void ApplicationEvents1ShowHint(THintInfo& info);

  void BtoInputClick(TObject* sender);
  void BtnPaiClick(TObject* sender);
  void StxtClick(int box);
  void GridLabelClick(int grid);
  void sBtoDecNameClick(TObject* sender);
  // Fills the side panel: elements are four element codes (10: no character), grids
  // heaven, person, earth, total, outer.
  void ShowWuGe(const std::string& name, bool singleSurname, const int elements[4], int16_t score,
                const int16_t grids[5]);

  // Controls, built from one layout table.
  TPanel* PanTop;
  TLabel* txt[5];  // the element legend 水 木 火 土 金
  TPanel* PanLeft;
  TPanel* PanWuGe;
  TTreeView* Tree;
  // The tree's node pictures: female case, male case, category, root.
  TImageList ImageListTree;
  TLabel* Stxt[4];  // the four character boxes
  TLabel* StxtTian;
  TLabel* StxtRen;
  TLabel* StxtDi;
  TLabel* StxtZong;
  TLabel* StxtWai;
  TLabel* StxtScore;
  TLabel* sTxtSanCai;
  TSpeedButton* sBtoDecName;
  TPageControl* PageControl1;
  TTabSheet* PageName;
  TTabSheet* PageQiMing;
  TTabSheet* PageCompany;
  TTabSheet* PageDict;
  TPanel* PanName;
  TLabeledEdit* LedtName;
  TComboBox* CboDanFu;
  TButton* BtoInput;
  TButton* BtnPai;
  TSpeedButton* SbtoSet;
  TRichEdit* RedtName;
  TPanel* PanInfo;
  TMemo* MeoFormula;
  TRichEdit* RedtName2;

  // The naming page and its dialogs (UntmainQiMing.cpp).
  void BuildNamingPage();
  void BtoInput2Click(TObject* sender);
  void BtoSetClick(TObject* sender);
  std::string NamingHints();
  void ShowNamePage(int delta, bool reselect);
  void Button4Click(TObject* sender);
  void Button5Click(TObject* sender);
  void LstNameClick(TObject* sender);
  void AnalyseListName(const std::string& name);
  void N13Click(TObject* sender);
  void N14Click(TObject* sender);
  void N16Click(TObject* sender);
  // Writes every generated name to a new file; false (with a message) when it exists
  // or cannot be written.
  bool ExportNames(const std::string& path);
  void EdtInTextKeyDown(TObject* sender, WORD& key);
  int FirstHitOnPage() const;
  void GotoHit(int step);
  void BtoInPrevClick(TObject* sender);
  void BtoInNextClick(TObject* sender);
  void Button6Click(TObject* sender);
  void BtoStopGenerateClick(TObject* sender);
  void SbtoSetClick(TObject* sender);
  bool Generating() const { return generating; }
  TPanel* PanCmd;
  TButton* BtoInput2;
  TButton* BtoSet;
  TLabel* StaticName;
  TProgressBar* ProBar1;
  TPanel* PanStop;
  TButton* BtoStopGenerate;
  TListView* LstName;
  TLabel* TxtInfo;
  TButton* Button4;
  TButton* Button5;
  TLabeledEdit* EdtInText;
  TButton* BtoInPrev;
  TButton* BtoInNext;
  TButton* Button6;
  TPopupMenu* pMenuMakeName;
  TMenuItem* N13;
  TMenuItem* N14;
  TMenuItem* N16;
  // A grid of given names with its popups; no command of the program fills it, so it
  // stays hidden until something does.
  void sGridFullMouseDown(TObject* sender, TMouseButton button, int x, int y);
  void N11Click(TObject* sender);
  void N12Click(TObject* sender);
  void MenuItem14Click(TObject* sender);
  void MenuItem15Click(TObject* sender);
  // The list's columns shrink to the list's width, the name and the score kept whole;
  // the widths its texts need are measured again when `measure` (a page of new rows).
  void FitNameColumns(bool measure = false);
  // The listing beside the list while the page is wide enough for both, else below it.
  void ArrangeNamingPage();
  // The one-time cost of a rich edit's first text, paid before the first naming run.
  void PrepareListingView();
  TStringGrid* sGridFull;
  TPopupMenu* pMenuFormula;
  TMenuItem* N11;
  TMenuItem* N12;
  TPopupMenu* pMenuFormulaOne;
  TMenuItem* MenuItem14;
  TMenuItem* MenuItem15;

  // The company page (UntmainCompany.cpp).
  void BuildCompanyPage();
  void BtoGongSiClick(TObject* sender);
  void Button3Click(TObject* sender);
  TPanel* PanCompany;
  TLabeledEdit* LedtGongCe;
  TButton* Button3;
  TLabeledEdit* LedtGongStart;
  TLabel* LblGongLen;
  TComboBox* CboGongLen;
  TLabeledEdit* LedtGongEnd;
  TCheckListBox* CboWuXingGong;
  TButton* BtoGongSi;
  TMemo* MeoCompany;

  // The dictionary page (UntmainDict.cpp).
  void BuildDictPage();
  void BtnSearchWordClick(TObject* sender);
  void SearchWordByChars(const std::string& text);
  void SearchWordByConditions(const std::string& pinyin, int sex, const std::string& radical, int strokes,
                              unsigned elementMask);
  void sBtoSelPianClick(TObject* sender);
  void CboLibraryClick(TObject* sender);
  void LedtWordChange(TObject* sender);
  void LedtWordKeyDown(TObject* sender, WORD& key);
  void LedtPinYingChange(TObject* sender);
  void CboSexChange(TObject* sender);
  void CBoxWuXingClickCheck(TObject* sender);
  void Button1Click(TObject* sender);
  void Button2Click(TObject* sender);
  void BtoChePaiClick(TObject* sender);
  void RunNumberTool(int list);  // 0 phones, 1 companies, 2 plates
  TPanel* PanDict = nullptr;     // the last page's panel: set once every page is laid out
  TRadioButton* RdoHanZi;
  TRadioButton* RdoZuHe;
  TLabeledEdit* LedtWord;
  TLabeledEdit* LedtPinYing;
  TComboBox* CboSex;
  TCheckListBox* CBoxWuXing;
  TComboBox* CboBiHuaZ;
  TComboBox* CboJianFan;
  TButton* sBtoSelPian;
  TComboBox* CboShowStyle;
  TCheckBox* ChkExplain;
  TComboBox* CboLibrary;
  TButton* BtnSearchWord;
  TGroupBox* GrpNumbers;
  TButton* Button1;
  TButton* Button2;
  TButton* BtoChePai;
  TComboBox* CboJianFan2;
  TMemo* MeoWord;

  // The report views' popup menus and the main menu (UntmainMenus.cpp).
  void BuildMenus();
  TMainMenu* MainMenu1 = nullptr;
  TMenuItem* mnuFile = nullptr;    // 文件: the case commands go before 退出
  TMenuItem* Opt_Skin = nullptr;   // 选项 › 界面风格, filled by the skin menu
  TMenuItem* mnuF_save = nullptr;  // 保存新命 / 保存旧命
  TImageList ImageListMenu;        // mnuF_save's pictures: new case, stored case
  TPopupMenu* PopName = nullptr;   // on RedtName
  TPopupMenu* PopName2 = nullptr;  // on RedtName2
  TOpenDialog* dlgimport = nullptr;
  TSaveDialog* dlgsave = nullptr;  // shared with the naming page's export
  TPrintDialog* dlgprint = nullptr;
  TFontDialog* dlgfont = nullptr;
  TColorDialog* dlgcolor = nullptr;
  void psendundoClick(TObject* sender);
  void psendcopyClick(TObject* sender);
  void psendpasteClick(TObject* sender);
  void psendcutClick(TObject* sender);
  void psenddelClick(TObject* sender);
  void pRdtselallClick(TObject* sender);
  void psend_setFClick(TObject* sender);
  void psend_importClick(TObject* sender);
  void psend_saveClick(TObject* sender);
  void psend_prtClick(TObject* sender);
  void MenuItem1Click(TObject* sender);
  void MenuItem3Click(TObject* sender);
  void MenuItem4Click(TObject* sender);
  void MenuItem5Click(TObject* sender);
  void MenuItem6Click(TObject* sender);
  void MenuItem7Click(TObject* sender);
  void MenuItem9Click(TObject* sender);
  void MenuItem11Click(TObject* sender);
  void MenuItem12Click(TObject* sender);
  void MenuItem13Click(TObject* sender);
  void OsetmoClick(TObject* sender);
  void OmnusetfontClick(TObject* sender);
  void OmnusetcolorClick(TObject* sender);
  void TmnuTnameClick(TObject* sender);
  void TmnuBjxClick(TObject* sender);
  void TmnuxmClick(TObject* sender);
  void TmnuDiliClick(TObject* sender);
  void TmnuwnlClick(TObject* sender);
  void N8Click(TObject* sender);
  void OmnuEndClick(TObject* sender);
  void N4Click(TObject* sender);
  void HmnuRhelpClick(TObject* sender);
  void mlzishiClick(TObject* sender);
  void fnumcloseClick(TObject* sender);
  // What the popup commands do to either view.
  void SetSelectionFont(TRichEdit& view);
  void ImportReport(TRichEdit& view);
  void SaveReport(TRichEdit& view);
  void PrintReport(TRichEdit& view);

  // The case tree's popup menu and commands (UntmainCases.cpp).
  void BuildCasePopup();
  TPopupMenu* PopMingLi;
  TMenuItem* pop_ming_pai;
  TMenuItem* pop_ming_edit;
  TMenuItem* pop_move;  // "移动到", one item a target category
  TMenuItem* pop_ming_delete;
  TMenuItem* pop_class_add;
  TMenuItem* pop_class_edit;
  TMenuItem* pop_class_delete;
  TMenuItem* pop_class_editfile;
  TMenuItem* pop_search;
  TMenuItem* pop_s_full;
  TMenuItem* pop_node_kai;
  TMenuItem* pop_node_shou;
  // The right click: selects the node under the mouse and sets the items by its level.
  void TreeMouseDown(TObject* sender);
  void pop_ming_paiClick(TObject* sender);
  void pop_ming_editClick(TObject* sender);
  void MoveCaseClick(TObject* sender);
  void pop_ming_deleteClick(TObject* sender);
  void pop_class_addClick(TObject* sender);
  void pop_class_editClick(TObject* sender);
  void pop_class_deleteClick(TObject* sender);
  void pop_class_editfileClick(TObject* sender);
  void pop_searchClick(TObject* sender);
  void pop_s_fullClick(TObject* sender);
  void pop_node_kaiClick(TObject* sender);
  void pop_node_shouClick(TObject* sender);
  // Commands of the menu 文件: 新建命例, 保存, 导入/导出/清除历史记录.
  void mnuF_NewClick(TObject* sender);
  void mnuF_saveClick(TObject* sender);
  void mnuF_impotrClick(TObject* sender);
  void mnuF_exportClick(TObject* sender);
  void mnuF_deleteClick(TObject* sender);

  // The skin component and the skin menu (UntmainSkin.cpp).
  void BuildSkin();
  void BuildSkinMenu(TMenuItem* menu);
  // The skin saved in "dat\init.ini", put on before the window is first painted.
  void ApplySavedSkin();
  // The skin menu with the saved choice ticked, made once the window is painted.
  void FillSkinMenu(TMenuItem* menu);
  void SkinItemClick(TObject* sender);
  TSkinData* SkinData = nullptr;

  // Records and engines shared with the dialogs.
  bool chartValid = false;
  CaseRecord heldCase{};
  CaseCriteria searchCriteria{};
  MDecName* analyser = nullptr;
  MDecName* namingAnalyser = nullptr;
  MSearchName* generator = nullptr;
  TReportView* reportView = nullptr;  // RedtName as the analysers' report view
  TReportView* reportView2 = nullptr;
  CaseContext* cases = nullptr;  // the case tree's view of this window, from show to close
  std::string chartText;
  std::string radicalText;
  std::string pickedName;
  TStringList* numberLists[3] = {};
  std::vector<int32_t> hits;
  int32_t hitIndex = 0;
  int32_t currentPage = 0;
  BirthRecord birth{};
  std::string placeText;
  NamingConditions conditions{};
  // The smallest client area at which every control of every page is whole and the
  // views keep a few lines, for the left column and the pages' panels as they stand.
  SIZE MinimumClientSize() const;

 protected:
  LRESULT WndProc(UINT msg, WPARAM w, LPARAM l) override;

 private:
  void Pump() override { Application->ProcessMessages(); }
  void BuildLayout();
  void ReadSettings();
  bool WriteSettings();
  void SetBirthDefaults();
  void PrepareConditions();
  bool RunAnalysis(bool writeReport);
  void OpenCaseTree();
  // What the first paint does not need: done once the window is painted.
  void FinishStart();
  TTimer* afterFirstPaint = nullptr;
  static constexpr unsigned kListingWarmUpMs = 50;
  int Ask(const char* utf8Text, const char* utf8Caption, unsigned flags);
  std::string programFolder;
  // The naming run in progress; a close asked for meanwhile waits for its end.
  bool generating = false;
  bool closeAfterRun = false;
  int formulaWidth = 300;                // the stroke-set memo's width as set, shown when there is room
  std::array<int, 7> nameColumnNeeds{};  // what each column of the shown page needs, measured once
};

// Colours of the five elements, water first (Windows colour values, blue in the high byte).
constexpr TColor ElementColours[5] = {0x000000, 0x008000, 0x0000FF, 0x00FFFF, 0xFFFFFF};
// A character without an element is drawn in this neutral grey.
constexpr TColor NoElementColour = 0x808080;

// The boxes that show a name of n characters (0-based), -1 past the end; all -1 when
// the panel cannot lay the name out (fewer than 2 or more than 4 characters).
struct BoxLayout {
  int box[4];
};
BoxLayout NameBoxes(int chars, bool singleSurname);

// The naming page's list helpers, over the generator's names (0-based, best first).
// Indexes of the names containing `text` as whole characters, ascending.
std::vector<int32_t> FindNameHits(const MSearchName& names, const std::string& text);
// Position in `hits` of the first hit on `page` (pages of 500 from 1), -1 when none.
int FirstHitOnPage(const std::vector<int32_t>& hits, int page, size_t count);
// The export text of all names: a count, a header, one padded line a name.
std::string ExportText(const MSearchName& names);
// `s` followed by whole copies of `pad` while it is shorter than `width` bytes.
std::string PadField(std::string s, size_t width, const std::string& pad);

// Program-wide objects.
extern std::string AppDir;
extern MDataBase CaseDb;
extern MNameLibrary WordLib;
extern TIniFile* IniFile;
extern uint8_t CurCaseLoaded;
extern int32_t CurCaseId;
extern std::string CurCasePath;
extern TFrmMain* FrmMain;
