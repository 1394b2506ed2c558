#include "ui/Untmain.h"

#include <algorithm>
#include <ctime>
#include <utility>

#include "classlib/Files.h"
#include "classlib/Gbk.h"
#include "classlib/Layout.h"
#include "classlib/StrUtils.h"
#include "engine/NameTables.h"
#include "ui/Uinput.h"

std::string AppDir;
MDataBase CaseDb;
MNameLibrary WordLib;
TIniFile* IniFile = nullptr;
uint8_t CurCaseLoaded = 0;
int32_t CurCaseId = 0;
std::string CurCasePath;
TFrmMain* FrmMain = nullptr;

namespace {

// clang-format off
const LayoutRow kLayout[] = {
  {New<TPanel>,       "PanTop",       "",           0,   0, 640,  28, "",             alTop},
  {New<TLabel>,       "txt0",         "水",         8,   6,  20,  16, "PanTop",       alNone},
  {New<TLabel>,       "txt1",         "木",        36,   6,  20,  16, "PanTop",       alNone},
  {New<TLabel>,       "txt2",         "火",        64,   6,  20,  16, "PanTop",       alNone},
  {New<TLabel>,       "txt3",         "土",        92,   6,  20,  16, "PanTop",       alNone},
  {New<TLabel>,       "txt4",         "金",       120,   6,  20,  16, "PanTop",       alNone},
  {New<TPanel>,       "PanLeft",      "",           0,  28, 130, 400, "",             alLeft},
  {New<TPanel>,       "PanWuGe",      "",           0,   0, 130, 162, "PanLeft",      alTop},
  {New<TLabel>,       "Stxt1",        "姓",        24,  30,  20,  20, "PanWuGe",      alNone},
  {New<TLabel>,       "Stxt2",        "姓",        24,  52,  20,  20, "PanWuGe",      alNone},
  {New<TLabel>,       "Stxt3",        "名",        24,  74,  20,  20, "PanWuGe",      alNone},
  {New<TLabel>,       "Stxt4",        "名",        24,  96,  20,  20, "PanWuGe",      alNone},
  {New<TLabel>,       "StxtTian",     "天格",      50,  20,  78,  16, "PanWuGe",      alNone},
  {New<TLabel>,       "StxtRen",      "人格",      50,  48,  78,  16, "PanWuGe",      alNone},
  {New<TLabel>,       "StxtDi",       "地格",      50,  76,  78,  16, "PanWuGe",      alNone},
  {New<TLabel>,       "StxtZong",     "总格",      50, 120,  78,  16, "PanWuGe",      alNone},
  {New<TLabel>,       "StxtWai",      "外格",       2,  20,  18,  96, "PanWuGe",      alNone},
  {New<TLabel>,       "StxtScore",    "得分",      50,   2,  60,  16, "PanWuGe",      alNone},
  {New<TLabel>,       "sTxtSanCai",   "三才",      50, 140,  60,  16, "PanWuGe",      alNone},
  {New<TSpeedButton>, "sBtoDecName",  "解",         2, 138,  24,  20, "PanWuGe",      alNone},
  {New<TTreeView>,    "Tree",     "",           0, 162, 130, 238, "PanLeft",      alClient},
  {New<TPageControl>, "PageControl1", "",         130,  28, 510, 400, "",             alClient},
  {New<TTabSheet>,    "PageName",     "姓名分析",   0,   0, 500, 370, "PageControl1", alNone},
  {New<TTabSheet>,    "PageQiMing",   "个人起名",   0,   0, 500, 370, "PageControl1", alNone},
  {New<TTabSheet>,    "PageCompany",  "公司起名",   0,   0, 500, 370, "PageControl1", alNone},
  {New<TTabSheet>,    "PageDict",     "姓名学字典", 0,   0, 500, 370, "PageControl1", alNone},
  {New<TPanel>,       "PanName",      "",           0,   0, 500,  64, "PageName",     alTop},
  {New<TLabeledEdit>, "LedtName",     "尊姓大名",  64,   8, 100,  22, "PanName",      alNone},
  {New<TComboBox>,    "CboDanFu",     "",         170,   8,  60,  22, "PanName",      alNone},
  {New<TButton>,      "BtoInput",     "输入生日",   8,  35,  72,  24, "PanName",      alNone},
  {New<TButton>,      "BtnPai",       "测名",      86,  35,  56,  24, "PanName",      alNone},
  {New<TSpeedButton>, "SbtoSet",      "用神",     148,  35,  44,  24, "PanName",      alNone},
  {New<TRichEdit>,    "RedtName",     "",           0,  64, 500, 306, "PageName",     alClient},
};
// clang-format on

using gbk::U;

const char* const kGridHelp[5][2] = {
    {"天格",
     "代 表 ：事业宫、长上宫 (男命) 、夫缘宫(女命)\n"
     "代 表 ：父母 、长上、尊长、长官、师长、上司、主官、丈夫、思想、事业、工厂、身体、岳父母\n"
     "代 表 ：头 脑\n"
     "天 格 之 数 理 ，无吉凶之灵动作用，故论生克。"},
    {"人格",
     "代表：命宫、命身宫\n"
     "代表：主运、成功运、主 17 至 32岁之运势，为人之心中，其吉凶作用和影响力乃是一生一世，为姓名学之重点灵现、精华\n"
     "代表：自己、精神、心态、兴趣、意向、表现、能力、性格、才华、成就、境遇、夫妻之情、兄弟姊妹\n"
     "代表：心灵"},
    {"地格",
     "代表：田宅宫、家庭宫(男命)、婚姻宫(女命)、前运、基础运\n"
     "代表：幼年少时期 1 至 16岁之运势吉凶、出身或家庭状况等\n"
     "代表：在家庭中，地格代表主运(为体)，为看家庭及配偶的关系，以及观察夫妻与子女的家属运\n"
     "代表：手足、配偶、子女、子孙、属下、学生、後进晚辈、住宅、内在、性生活\n"
     "代表：行动"},
    {"总格",
     "代表：财帛宫、财库位、后运评断分析事业成就多寡及社会地位以及名望的象徵位与晚运之兴衰、家庭、子女缘分、老运等\n"
     "代表：本命之大环境、岳父母、长上、福禄、财源、贵人\n"
     "代表：当事人之思想与行为之包容性\n"
     "总格是论成就及功过的部位(一生成就及功名荣辱)"},
    {"外格",
     "代表：迁移宫、社交运、外缘、也是副运，中年运，主 33 至 48岁之运势 \n"
     "代表：他人、出外朋友、贵人、在外、自己在外、对手、搬家、 同辈之人、同事、合伙人\n"
     "代表：行为的表达"},
};

TColor ElementColour(int element) { return element >= 0 && element < 5 ? ElementColours[element] : NoElementColour; }

void SetFontColour(TControl* c, TColor colour) {
  TFont f = c->Font();
  f.Color = colour;
  c->SetFont(f);
}

// A value read from the settings, kept inside what the window can use.
long long Clamp(long long v, long long lo, long long hi) { return v < lo ? lo : (v > hi ? hi : v); }

}  // namespace

BoxLayout NameBoxes(int chars, bool singleSurname) {
  switch (chars) {
    case 2:
      return {{0, 2, -1, -1}};
    case 3:
      return singleSurname ? BoxLayout{{0, 2, 3, -1}} : BoxLayout{{0, 1, 3, -1}};
    case 4:
      return {{0, 1, 2, 3}};
    default:
      return {{-1, -1, -1, -1}};
  }
}

TFrmMain::TFrmMain(TComponent* owner, std::string folder) : TForm(owner), programFolder(std::move(folder)) {
  Name = "FrmMain";
  SetText(Application ? Application->Title : std::string());
  SetBounds(10, 10, 640, 480);
  BuildLayout();
  BuildNamingPage();
  BuildCompanyPage();
  BuildDictPage();
  BuildMenus();
  BuildCasePopup();
  BuildSkin();
  afterFirstPaint = new TTimer(this);
  afterFirstPaint->SetEnabled(false);
  afterFirstPaint->SetInterval(1);
  afterFirstPaint->OnTimer = [this](TObject*) { FinishStart(); };
  birth.singleSurname = 1;
  ::SetText(conditions.surname, U("李"));
  conditions.givenLength = 2;
  conditions.sex = 1;
  conditions.talentsGood = 1;
  searchCriteria.province = 0xFFFF;
  OnCreate = [this](TObject* s) { FormCreate(s); };
  OnShow = [this](TObject* s) { FormShow(s); };
  OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
  if (Application) Application->OnShowHint = [this](THintInfo& info) { ApplicationEvents1ShowHint(info); };
  DoCreate();
}

void TFrmMain::BuildLayout() {
  TLayout layout(this, this, kLayout);
  auto get = [&layout]<class T>(T*& slot, const std::string& name) { layout.Bind(slot, name); };
  get(PanTop, "PanTop");
  for (int i = 0; i < 5; ++i) get(txt[i], "txt" + std::to_string(i));
  get(PanLeft, "PanLeft");
  get(PanWuGe, "PanWuGe");
  get(Tree, "Tree");
  for (int i = 0; i < 4; ++i) get(Stxt[i], "Stxt" + std::to_string(i + 1));
  get(StxtTian, "StxtTian");
  get(StxtRen, "StxtRen");
  get(StxtDi, "StxtDi");
  get(StxtZong, "StxtZong");
  get(StxtWai, "StxtWai");
  get(StxtScore, "StxtScore");
  get(sTxtSanCai, "sTxtSanCai");
  get(sBtoDecName, "sBtoDecName");
  get(PageControl1, "PageControl1");
  get(PageName, "PageName");
  get(PageQiMing, "PageQiMing");
  get(PageCompany, "PageCompany");
  get(PageDict, "PageDict");
  get(PanName, "PanName");
  get(LedtName, "LedtName");
  get(CboDanFu, "CboDanFu");
  get(BtoInput, "BtoInput");
  get(BtnPai, "BtnPai");
  get(SbtoSet, "SbtoSet");
  get(RedtName, "RedtName");

  // The element colours run from black to white, so no one face serves them all: each
  // text of the panel and the legend carries its own rim and shows the face through.
  for (TLabel* l : {txt[0], txt[1], txt[2], txt[3], txt[4], Stxt[0], Stxt[1], Stxt[2], Stxt[3], StxtTian, StxtRen,
                    StxtDi, StxtZong, StxtWai, StxtScore, sTxtSanCai}) {
    l->Transparent = true;
    l->Outline = true;
  }
  LedtName->SetLabelPosition(lpLeft);
  LedtName->MaxLength = 8;
  LedtName->SetText(U("李四一"));
  CboDanFu->Style = csDropDownList;
  CboDanFu->Items().Add(U("复姓"));
  CboDanFu->Items().Add(U("单姓"));
  CboDanFu->SetItemIndex(1);
  SbtoSet->Hint = U("设定用神");
  SbtoSet->ShowHint = true;
  sBtoDecName->Hint = U("分析");
  sBtoDecName->ShowHint = true;
  PageControl1->SetActivePageIndex(0);

  BtoInput->OnClick = [this](TObject* s) { BtoInputClick(s); };
  BtnPai->OnClick = [this](TObject* s) { BtnPaiClick(s); };
  sBtoDecName->OnClick = [this](TObject* s) { sBtoDecNameClick(s); };
  for (int i = 0; i < 4; ++i) Stxt[i]->OnClick = [this, i](TObject*) { StxtClick(i); };
  TLabel* grids[5] = {StxtTian, StxtRen, StxtDi, StxtZong, StxtWai};
  for (int i = 0; i < 5; ++i) grids[i]->OnClick = [this, i](TObject*) { GridLabelClick(i); };
}

TFrmMain::~TFrmMain() {
  if (Application) Application->OnShowHint = nullptr;
  // The image lists go before the menu and the tree that borrow them.
  if (MainMenu1) MainMenu1->Images = nullptr;
  if (Tree->HandleAllocated()) Tree->Perform(TVM_SETIMAGELIST, TVSIL_NORMAL, 0);
  Tree->Images = nullptr;
  // The engines go last, also when the window is destroyed without a close.
  delete analyser;
  delete namingAnalyser;
  delete cases;
  delete generator;
  delete reportView;
  delete reportView2;
  for (TStringList*& l : numberLists) {
    delete l;
    l = nullptr;
  }
  delete IniFile;
  IniFile = nullptr;
}

// Moving the mouse from one hinted control to the next shows the next hint after 200 ms.
void TFrmMain::ApplicationEvents1ShowHint(THintInfo& info) { info.ReshowTimeout = 200; }

void TFrmMain::FormCreate(TObject*) {
  AppDir = IncludeTrailingBackslash(programFolder.empty() ? file::ProgramFolder() : programFolder);
  WordLib.SetProgramFolder(AppDir);
}

int TFrmMain::Ask(const char* utf8Text, const char* utf8Caption, unsigned flags) {
  return Application->MessageBox(U(utf8Text), U(utf8Caption), flags);
}

void TFrmMain::FormShow(TObject*) {
  if (!WordLib.Open(0)) ShowMessage(WordLib.LastError());
  delete IniFile;
  IniFile = new TIniFile(AppDir + "dat\\init.ini");
  ApplySavedSkin();
  ReadSettings();
  ArrangeNamingPage();  // the saved widths may not fit the saved window
  PanWuGe->SetColor(0xC0CCD0);
  for (int i = 0; i < 5; ++i) {
    TFont f = txt[i]->Font();
    f.Color = ElementColours[i];
    f.Bold = true;
    f.Size = 11;
    txt[i]->SetFont(f);
  }
  radicalText.clear();
  SetBirthDefaults();
  Stxt[0]->SetText(U("姓"));
  Stxt[1]->SetText(U("姓"));
  Stxt[2]->SetText(U("名"));
  Stxt[3]->SetText(U("名"));
  StxtScore->SetText(U("得分"));
  StxtTian->SetText(U("天格"));
  StxtDi->SetText(U("地格"));
  StxtRen->SetText(U("人格"));
  StxtZong->SetText(U("总格"));
  StxtWai->SetText(U("外格"));
  OpenCaseTree();
  // A case's text is long for the narrow tree: each level steps in by less.
  Tree->Perform(TVM_SETINDENT, 12);
  ImageListTree.AddStrip(L"CASETREE", kImageKeyColour);
  Tree->Images = ImageListTree.Handle();
  Tree->Perform(TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(Tree->Images));
  reportView = new TReportView(*RedtName);
  reportView2 = new TReportView(*RedtName2);
  analyser = new MDecName(WordLib);
  analyser->SetView(reportView);
  namingAnalyser = new MDecName(WordLib);
  namingAnalyser->SetView(reportView2);
  generator = new MSearchName(WordLib, this);
  for (TStringList*& l : numberLists) l = new TStringList;
  // A timer's message comes only when no window of the thread waits to be painted.
  afterFirstPaint->SetEnabled(true);
}

void TFrmMain::FinishStart() {
  afterFirstPaint->SetEnabled(false);
  if (afterFirstPaint->Interval() == kListingWarmUpMs) {
    PrepareListingView();
    return;
  }
  if (IniFile && Opt_Skin->Count() == 0) FillSkinMenu(Opt_Skin);
  // What was painted reaches the screen while the thread waits: the rich edit's first
  // text is paid a moment later.
  afterFirstPaint->SetInterval(kListingWarmUpMs);
  afterFirstPaint->SetEnabled(true);
}

void TFrmMain::OpenCaseTree() {
  // A store that refuses to open says why; one that mended itself or set a damaged file
  // aside says what it did.
  if (!CaseDb.Open(AppDir, 0)) {
    ShowMessage(CaseDb.LastError());
  } else if (!CaseDb.Notice().empty()) {
    ShowMessage(CaseDb.Notice());
  }
  cases = new CaseContext{this,
                          *Tree,
                          *RedtName,
                          CaseDb,
                          *IniFile,
                          AppDir,
                          heldCase,
                          CurCaseLoaded,
                          CurCaseId,
                          CurCasePath,
                          searchCriteria,
                          chartValid,
                          birth,
                          [this](bool writeReport) { return RunAnalysis(writeReport); },
                          [this](bool stored) {
                            if (!mnuF_save) return;
                            mnuF_save->ImageIndex = stored ? 1 : 0;
                            mnuF_save->SetCaption(U(stored ? "保存旧命" : "保存新命"));
                          }};
  // The 1000 most recent ids, newest first; the tree shows those the store can read,
  // all read in one go. Ids below 0 name no slot, so they are not asked for.
  std::vector<int32_t> ids;
  const int32_t n = CaseDb.GetCount();
  for (int32_t i = 1; i <= 1000 && n - i >= 0; ++i) ids.push_back(n - i);
  BuildCaseTree(*cases, ids, true);
}

// Back from another program, perhaps another window of this one that changed the
// history, the case tree is read again; not while a dialog of ours is up, whose
// command may still hold a node of the tree.
LRESULT TFrmMain::WndProc(UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_ACTIVATEAPP && w && cases && IsWindowEnabled(Handle())) RefreshCaseTree(*cases);
  if (msg == WM_GETMINMAXINFO && PanDict && !IsIconic(Handle())) {
    const LRESULT result = TForm::WndProc(msg, w, l);
    // The frame, caption and menu bar as they are now (a skin draws its own).
    RECT window{}, client{};
    GetWindowRect(Handle(), &window);
    GetClientRect(Handle(), &client);
    const SIZE least = MinimumClientSize();
    auto* info = reinterpret_cast<MINMAXINFO*>(l);
    info->ptMinTrackSize.x =
        std::max<LONG>(info->ptMinTrackSize.x, least.cx + (window.right - window.left) - client.right);
    info->ptMinTrackSize.y =
        std::max<LONG>(info->ptMinTrackSize.y, least.cy + (window.bottom - window.top) - client.bottom);
    return result;
  }
  return TForm::WndProc(msg, w, l);
}

SIZE TFrmMain::MinimumClientSize() const {
  // The dictionary page's fixed row of fields is the widest; each view keeps this much.
  constexpr int kWidestPage = 560, kLeastView = 60;
  TTabSheet* page = PageControl1->ActivePage() ? PageControl1->ActivePage() : PageName;
  const int frameX = PageControl1->Width() - page->ClientWidth();
  const int frameY = PageControl1->Height() - page->ClientHeight();
  const int panels = std::max({PanName->Height(), PanInfo->Height(), PanCompany->Height(), PanDict->Height()});
  return SIZE{PanLeft->Width() + frameX + kWidestPage,
              PanTop->Height() + std::max(PanWuGe->Height() + kLeastView, frameY + panels + kLeastView)};
}

void TFrmMain::ReadSettings() {
  TIniFile& ini = *IniFile;
  int left = static_cast<int>(ini.ReadInteger("winpos", "left", 10));
  int top = static_cast<int>(ini.ReadInteger("winpos", "top", 10));
  int width = static_cast<int>(Clamp(ini.ReadInteger("winpos", "width", 400), 200, 4000));
  int height = static_cast<int>(Clamp(ini.ReadInteger("winpos", "height", 400), 150, 3000));
  // A window saved on a screen that is gone comes back onto this one.
  int screenW = GetSystemMetrics(SM_CXVIRTUALSCREEN), screenH = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  int screenX = GetSystemMetrics(SM_XVIRTUALSCREEN), screenY = GetSystemMetrics(SM_YVIRTUALSCREEN);
  if (left < screenX || left > screenX + screenW - 50) left = 10;
  if (top < screenY || top > screenY + screenH - 50) top = 10;
  const SIZE least = MinimumClientSize();
  SetBounds(left, top, Width(), Height());
  SetClientSize(std::max<int>(width, least.cx), std::max<int>(height, least.cy));
  SetWindowState(static_cast<TWindowState>(Clamp(ini.ReadInteger("winpos", "state", 0), 0, 2)));
  PanWuGe->SetHeight(static_cast<int>(Clamp(ini.ReadInteger("winpos", "wuge", 162), 60, 1000)));
  PanLeft->SetWidth(static_cast<int>(Clamp(ini.ReadInteger("winpos", "panleft", 130), 100, 1000)));
  PanInfo->SetHeight(static_cast<int>(Clamp(ini.ReadInteger("winpos", "PanInfo", 150), 20, 2000)));
  formulaWidth = static_cast<int>(Clamp(ini.ReadInteger("winpos", "MeoFormula", 300), 20, 2000));
  MeoFormula->SetWidth(formulaWidth);

  birth.provinceIndex = static_cast<int16_t>(Clamp(ini.ReadInteger("minggao", "sheng", 34), 0, 34));
  birth.cityIndex = static_cast<int16_t>(Clamp(ini.ReadInteger("minggao", "shi", 0), 0, 999));
  std::string fontName = ini.ReadString("minggao", "fname", U("宋体"));
  int fontSize = static_cast<int>(Clamp(ini.ReadInteger("minggao", "fsize", 10), 5, 72));
  TColor back = static_cast<TColor>(Clamp(ini.ReadInteger("minggao", "bcolor", 0xC0CCD0), 0, 0xFFFFFF));
  for (TRichEdit* view : {RedtName, RedtName2}) {
    SetViewFont(*view, fontName, fontSize);
    SetViewColour(*view, back);
  }
}

void TFrmMain::SetBirthDefaults() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  if (const std::tm* t = std::localtime(&now)) local = *t;
  int year = local.tm_year + 1900;
  birth.year = static_cast<int16_t>(year < 1900 || year > 2100 ? 2100 : year);
  birth.month = static_cast<int16_t>(local.tm_mon + 1);
  birth.day = static_cast<int16_t>(local.tm_mday);
  birth.hour = static_cast<int16_t>(local.tm_hour);
  birth.minute = static_cast<int16_t>(local.tm_min);
  birth.lunar = 0;
  birth.leapMonth = 0;
  birth.male = 1;
  birth.longitude = 120.0f;
  birth.latitude = 30.0f;
  placeText = U("未知地。");
  ::SetText(birth.name, U("李名字"));
}

bool TFrmMain::WriteSettings() {
  TIniFile& ini = *IniFile;
  bool ok = true;
  if (WindowState() == wsNormal) {
    ok &= ini.WriteInteger("winpos", "left", Left());
    ok &= ini.WriteInteger("winpos", "top", Top());
    const SIZE least = MinimumClientSize();
    ok &= ini.WriteInteger("winpos", "width", std::max<int>(ClientWidth(), least.cx));
    ok &= ini.WriteInteger("winpos", "height", std::max<int>(ClientHeight(), least.cy));
  }
  ok &= ini.WriteInteger("winpos", "state", WindowState());
  ok &= ini.WriteInteger("winpos", "wuge", PanWuGe->Height());
  ok &= ini.WriteInteger("winpos", "panleft", PanLeft->Width());
  ok &= ini.WriteInteger("winpos", "PanInfo", PanInfo->Height());
  ok &= ini.WriteInteger("winpos", "MeoFormula", formulaWidth);
  ok &= ini.WriteString("minggao", "fname", RedtName->Font().Name);
  ok &= ini.WriteInteger("minggao", "fsize", RedtName->Font().Size);
  ok &= ini.WriteInteger("minggao", "bcolor", RedtName->Color());
  ok &= ini.WriteInteger("minggao", "sheng", birth.provinceIndex);
  ok &= ini.WriteInteger("minggao", "shi", birth.cityIndex);
  return ok;
}

void TFrmMain::FormClose(TObject*, TCloseAction&) {
  // The shown case is offered for saving while the engines and the settings still exist.
  if (cases) OfferSaveShownCase(*cases);
  delete cases;
  cases = nullptr;
  if (IniFile && !WriteSettings())
    Application->MessageBox(U("无法保存设置文件：") + IniFile->FileName(), U("错误"), MB_OK | MB_ICONERROR);
  delete analyser;
  analyser = nullptr;
  delete namingAnalyser;
  namingAnalyser = nullptr;
  delete generator;
  generator = nullptr;
  delete reportView;
  reportView = nullptr;
  delete reportView2;
  reportView2 = nullptr;
  for (TStringList*& l : numberLists) {
    delete l;
    l = nullptr;
  }
  delete IniFile;
  IniFile = nullptr;
}

void TFrmMain::BtoInputClick(TObject*) {
  TFrmInput* dlg = new TFrmInput(Application, birth, placeText);
  int result = dlg->ShowModal();
  delete dlg;
  if (result == mrOk) BtnPaiClick(nullptr);
}

void TFrmMain::BtnPaiClick(TObject*) {
  std::string name = Trim(LedtName->Text());
  if (name.empty()) {
    chartValid = false;
    Ask("姓名不能为空", "提示", MB_OK | MB_ICONINFORMATION);
    ::SetFocus(LedtName->Handle());
    return;
  }
  // The side panel lays out two to four Chinese characters; anything else is refused
  // before it can reach the analyser or the fixed name field.
  size_t chars = name.size() / 2;
  bool allDouble = name.size() % 2 == 0;
  for (size_t i = 0; allDouble && i < name.size(); i += 2)
    allDouble = gbk::IsLeadByte(static_cast<unsigned char>(name[i]));
  if (!allDouble || chars < 2 || chars > 4) {
    chartValid = false;
    Ask("姓名须为两到四个汉字", "提示", MB_OK | MB_ICONINFORMATION);
    ::SetFocus(LedtName->Handle());
    return;
  }
  // The shown case is offered for saving while its chart still counts: a Yes keeps the
  // user's edits of the report before the new analysis replaces them.
  if (cases) OfferSaveShownCase(*cases);
  chartValid = false;
  birth.singleSurname = static_cast<uint8_t>(CboDanFu->ItemIndex() == 0 ? 0 : 1);
  ::SetText(birth.name, name);
  heldCase.year = birth.year;
  heldCase.month = birth.month;
  heldCase.day = birth.day;
  heldCase.hour = birth.hour;
  heldCase.minute = birth.minute;
  ::SetText(heldCase.name, name);
  heldCase.lunar = birth.lunar;
  heldCase.leapMonth = birth.leapMonth;
  heldCase.male = birth.male;
  heldCase.provinceIndex = birth.provinceIndex;
  heldCase.cityIndex = birth.cityIndex;
  heldCase.longitude = birth.longitude;
  heldCase.latitude = birth.latitude;
  heldCase.singleSurname = birth.singleSurname;
  ::SetText(birth.place, placeText);
  if (RunAnalysis(true) && analyser->SaveEnabled() && cases) SaveCase(*cases);
}

bool TFrmMain::RunAnalysis(bool writeReport) {
  chartValid = false;
  LedtName->SetText(FieldText(birth.name));
  CboDanFu->SetItemIndex(birth.singleSurname ? 1 : 0);
  analyser->writeToView = writeReport;
  if (!analyser->Analyse(birth)) {
    Application->MessageBox(analyser->LastError(), U("错误"), MB_OK | MB_ICONERROR);
    return false;
  }
  int elements[4];
  int16_t grids[5];
  analyser->GetCharElements(elements);
  analyser->GetFiveGrids(grids);
  ShowWuGe(FieldText(birth.name), birth.singleSurname != 0, elements, analyser->GetScore(), grids);
  PageControl1->SetActivePageIndex(0);
  chartValid = true;
  PrepareConditions();
  return true;
}

void TFrmMain::PrepareConditions() {
  std::string name = FieldText(birth.name);
  int n = static_cast<int>(name.size() / 2);
  bool single = birth.singleSurname != 0;
  conditions.givenLength = static_cast<uint8_t>(single ? n - 1 : n - 2);
  conditions.sex = static_cast<uint8_t>(birth.male ? 1 : 2);
  ::SetText(conditions.surname, name.substr(0, single ? 2 : 4));
  conditions.elementMask = static_cast<int16_t>(analyser->FavourableMask());
  conditions.excluded[0] = '\0';
}

void TFrmMain::ShowWuGe(const std::string& name, bool singleSurname, const int elements[4], int16_t score,
                        const int16_t grids[5]) {
  int talents[3];
  for (int i = 0; i < 3; ++i) talents[i] = NameTables::TalentElement(grids[i]);
  int talentClass = NameTables::TalentClass(talents[0], talents[1], talents[2]);
  StxtScore->SetText(IntToStr(score) + U("分"));

  BoxLayout layout = NameBoxes(static_cast<int>(name.size() / 2), singleSurname);
  bool kangxi = analyser->StrokeMode() == 0;
  for (TLabel* box : Stxt) {
    box->Hide();
    box->Hint.clear();
  }
  for (int j = 0; j < 4 && layout.box[j] >= 0; ++j) {
    TLabel* box = Stxt[layout.box[j]];
    std::string c = name.substr(static_cast<size_t>(j) * 2, 2);
    SetFontColour(box, ElementColour(elements[j]));
    box->SetText(c);
    box->Show();
    CharRecord rec;
    if (WordLib.GetCharInfo(c, rec))
      box->Hint = Format(U("【%s】%s，%d画，").c_str(), c.c_str(), rec.truePy.c_str(), kangxi ? rec.kxLen : rec.gbLen) +
                  Format(U("字意：%s").c_str(), rec.nameExp.c_str());
    box->ShowHint = true;
  }

  const std::string words[3] = {U("凶"), U("平"), U("吉")};
  TLabel* labels[5] = {StxtTian, StxtRen, StxtDi, StxtZong, StxtWai};
  const std::array<std::string, 5>& gridNames = NameTables::Text().GridNames;
  for (int i = 0; i < 5; ++i) {
    int cls = NameTables::NumberClass81[static_cast<size_t>(grids[i] % 81)];
    std::string gridName = i < 4 ? gridNames[static_cast<size_t>(i)] : U("外");
    std::string text = i < 4 ? Format(U("%s格:%02d(%s)").c_str(), gridName.c_str(), grids[i], words[cls].c_str())
                             : Format(U("%s格%02d%s").c_str(), gridName.c_str(), grids[i], words[cls].c_str());
    labels[i]->SetText(text);
    int x = grids[i] % 10;
    if (x % 2 == 1) x = (x + 1) % 10;
    SetFontColour(labels[i], ElementColours[x / 2]);
  }
  sTxtSanCai->SetText(U("三才:") + words[talentClass]);
}

void TFrmMain::StxtClick(int box) {
  CharRecord rec;
  if (Stxt[box]->Visible() && WordLib.GetCharInfo(Stxt[box]->Text(), rec)) ShowMessage(rec.normalExp);
}

void TFrmMain::GridLabelClick(int grid) { Ask(kGridHelp[grid][1], kGridHelp[grid][0], MB_OK | MB_ICONINFORMATION); }

void TFrmMain::sBtoDecNameClick(TObject*) {
  PageControl1->SetActivePageIndex(0);
  std::string name;
  for (TLabel* box : Stxt)
    if (box->Visible()) name += box->Text();
  LedtName->SetText(name);
  CboDanFu->SetItemIndex(FieldText(conditions.surname).size() == 2 ? 1 : 0);
  BtnPaiClick(nullptr);
}
