// The report views' popup menus and the main menu.
#include "ui/Untmain.h"
// after <windows.h>
#include <shellapi.h>

#include <utility>

#include "classlib/Files.h"
#include "classlib/Gbk.h"
#include "classlib/RichTextFilter.h"
#include "classlib/StrUtils.h"
#include "dictionary/Editdict.h"
#include "tools/Ubjx.h"
#include "tools/Udili.h"
#include "tools/Untwnl.h"
#include "tools/Upicknumber.h"
#include "tools/Utestname.h"
#include "tools/Utxthelp.h"
#include "ui/Untendfo.h"
#include "ui/Untset.h"

namespace {

using gbk::U;

using Handler = void (TFrmMain::*)(TObject*);

// One item of the main menu; a parent of "" is the bar itself.
struct MenuRow {
  const char* parent;
  const char* name;
  const char* caption;
  Handler handler;
};

// clang-format off
const MenuRow kMainMenu[] = {
  {"",          "mnuFile",      "文件(&F)",       nullptr},
  {"mnuFile",   "mnuF_New",     "新建命例",       &TFrmMain::mnuF_NewClick},
  {"mnuFile",   "mnuF_save",    "保存新命",       &TFrmMain::mnuF_saveClick},
  {"mnuFile",   "mnuFileSep1",  "-",              nullptr},
  {"mnuFile",   "mnuF_impotr",  "导入历史记录",   &TFrmMain::mnuF_impotrClick},
  {"mnuFile",   "mnuF_export",  "导出历史记录",   &TFrmMain::mnuF_exportClick},
  {"mnuFile",   "mnuF_delete",  "清除历史记录",   &TFrmMain::mnuF_deleteClick},
  {"mnuFile",   "mnuFileSep2",  "-",              nullptr},
  {"mnuFile",   "fnumclose",    "退出",           &TFrmMain::fnumcloseClick},
  {"",          "mnuTool",      "辅助工具(&T)",   nullptr},
  {"mnuTool",   "TmnuTname",    "巧猜姓氏",       &TFrmMain::TmnuTnameClick},
  {"mnuTool",   "TmnuBjx",      "百家姓查询",     &TFrmMain::TmnuBjxClick},
  {"mnuTool",   "Tmnuxm",       "编辑起名字库",   &TFrmMain::TmnuxmClick},
  {"mnuTool",   "TmnuDili",     "经纬度设置",     &TFrmMain::TmnuDiliClick},
  {"mnuTool",   "Tmnuwnl",      "万年历",         &TFrmMain::TmnuwnlClick},
  {"mnuTool",   "N8",           "挑选手机号",     &TFrmMain::N8Click},
  {"",          "mnuOption",    "选项(&O)",       nullptr},
  {"mnuOption", "Omnuset",      "命稿设置",       nullptr},
  {"Omnuset",   "Osetmo",       "默认",           &TFrmMain::OsetmoClick},
  {"Omnuset",   "Omnusetfont",  "字体设置",       &TFrmMain::OmnusetfontClick},
  {"Omnuset",   "Omnusetcolor", "背景色设置",     &TFrmMain::OmnusetcolorClick},
  {"mnuOption", "OmnuEnd",      "命稿结尾信息",   &TFrmMain::OmnuEndClick},
  {"mnuOption", "N4",           "软件设置",       &TFrmMain::N4Click},
  {"mnuOption", "Opt_Skin",     "界面风格",       nullptr},
  {"",          "mnuHelp",      "帮助(&H)",       nullptr},
  {"mnuHelp",   "HmnuRhelp",    "软件帮助",       &TFrmMain::HmnuRhelpClick},
  {"",          "mnuKnow",      "姓名学知识(&S)", nullptr},
  {"mnuKnow",   "mlzishi",      "相关知识",       &TFrmMain::mlzishiClick},
};

// The same commands on each report view: PopName's item, PopName2's item.
struct PopupRow {
  const char* name;
  Handler handler;
  const char* name2;
  Handler handler2;
  const char* caption;
};

const PopupRow kPopup[] = {
  {"psendundo",    &TFrmMain::psendundoClick,    "MenuItem1",  &TFrmMain::MenuItem1Click,  "撤销"},
  {"",             nullptr,                      "MenuItem2",  nullptr,                    "-"},
  {"psendcopy",    &TFrmMain::psendcopyClick,    "MenuItem3",  &TFrmMain::MenuItem3Click,  "复制"},
  {"psendpaste",   &TFrmMain::psendpasteClick,   "MenuItem4",  &TFrmMain::MenuItem4Click,  "粘帖"},
  {"psendcut",     &TFrmMain::psendcutClick,     "MenuItem5",  &TFrmMain::MenuItem5Click,  "剪切"},
  {"psenddel",     &TFrmMain::psenddelClick,     "MenuItem6",  &TFrmMain::MenuItem6Click,  "删除"},
  {"pRdtselall",   &TFrmMain::pRdtselallClick,   "MenuItem7",  &TFrmMain::MenuItem7Click,  "全选"},
  {"",             nullptr,                      "MenuItem8",  nullptr,                    "-"},
  {"psend_setF",   &TFrmMain::psend_setFClick,   "MenuItem9",  &TFrmMain::MenuItem9Click,  "设置选中文本"},
  {"",             nullptr,                      "MenuItem10", nullptr,                    "-"},
  {"psend_import", &TFrmMain::psend_importClick, "MenuItem11", &TFrmMain::MenuItem11Click, "导入姓名命稿"},
  {"psend_save",   &TFrmMain::psend_saveClick,   "MenuItem12", &TFrmMain::MenuItem12Click, "另存为"},
  {"psend_prt",    &TFrmMain::psend_prtClick,    "MenuItem13", &TFrmMain::MenuItem13Click, "打印"},
};
// clang-format on

TMenuItem* AddItem(TFrmMain* form, TMenuItem* parent, const char* name, const char* caption, Handler handler) {
  auto* item = new TMenuItem(form);
  item->Name = name;
  item->SetCaption(U(caption));
  if (handler) item->OnClick = [form, handler](TObject* s) { (form->*handler)(s); };
  parent->Add(item);
  return item;
}

template <class Form, class... Args>
void ShowModalForm(Args&&... args) {
  Form* form = new Form(Application, std::forward<Args>(args)...);
  form->ShowModal();
  delete form;
}

// The name a report is saved under: the format's extension is added when missing.
std::string ReportFileName(const std::string& typed, bool plainText) {
  const std::string ext = plainText ? ".txt" : ".rtf";
  return SameText(ExtractFileExt(typed), ext) ? typed : typed + ext;
}

}  // namespace

void TFrmMain::BuildMenus() {
  MainMenu1 = new TMainMenu(this);
  MainMenu1->Name = "MainMenu1";
  for (const MenuRow& r : kMainMenu) {
    TMenuItem* parent = *r.parent ? static_cast<TMenuItem*>(FindComponent(r.parent)) : MainMenu1->Items();
    AddItem(this, parent, r.name, r.caption, r.handler);
  }
  mnuFile = static_cast<TMenuItem*>(FindComponent("mnuFile"));
  Opt_Skin = static_cast<TMenuItem*>(FindComponent("Opt_Skin"));
  mnuF_save = static_cast<TMenuItem*>(FindComponent("mnuF_save"));
  ImageListMenu.AddStrip(L"SAVEMENU", kImageKeyColour);
  MainMenu1->Images = &ImageListMenu;
  mnuF_save->ImageIndex = 0;
  SetMenu(MainMenu1);

  PopName = new TPopupMenu(this);
  PopName->Name = "PopName";
  PopName2 = new TPopupMenu(this);
  PopName2->Name = "PopName2";
  for (const PopupRow& r : kPopup) {
    AddItem(this, PopName->Items(), r.name, r.caption, r.handler);
    AddItem(this, PopName2->Items(), r.name2, r.caption, r.handler2);
  }
  RedtName->PopupMenu = PopName;
  RedtName2->PopupMenu = PopName2;

  dlgimport = new TOpenDialog(this);
  dlgsave = new TSaveDialog(this);
  dlgprint = new TPrintDialog(this);
  dlgfont = new TFontDialog(this);
  dlgcolor = new TColorDialog(this);
}

// ---- the report views' commands ----

void TFrmMain::psendundoClick(TObject*) { RedtName->Undo(); }
void TFrmMain::psendcopyClick(TObject*) { RedtName->CopyToClipboard(); }
void TFrmMain::psendpasteClick(TObject*) { RedtName->PasteFromClipboard(); }
void TFrmMain::psendcutClick(TObject*) { RedtName->CutToClipboard(); }
void TFrmMain::psenddelClick(TObject*) { RedtName->ClearSelection(); }
void TFrmMain::pRdtselallClick(TObject*) { RedtName->SelectAll(); }
void TFrmMain::psend_setFClick(TObject*) { SetSelectionFont(*RedtName); }
void TFrmMain::psend_importClick(TObject*) { ImportReport(*RedtName); }
void TFrmMain::psend_saveClick(TObject*) { SaveReport(*RedtName); }
void TFrmMain::psend_prtClick(TObject*) { PrintReport(*RedtName); }

void TFrmMain::MenuItem1Click(TObject*) { RedtName2->Undo(); }
void TFrmMain::MenuItem3Click(TObject*) { RedtName2->CopyToClipboard(); }
void TFrmMain::MenuItem4Click(TObject*) { RedtName2->PasteFromClipboard(); }
void TFrmMain::MenuItem5Click(TObject*) { RedtName2->CutToClipboard(); }
void TFrmMain::MenuItem6Click(TObject*) { RedtName2->ClearSelection(); }
void TFrmMain::MenuItem7Click(TObject*) { RedtName2->SelectAll(); }
void TFrmMain::MenuItem9Click(TObject*) { SetSelectionFont(*RedtName2); }
void TFrmMain::MenuItem11Click(TObject*) { ImportReport(*RedtName2); }
void TFrmMain::MenuItem12Click(TObject*) { SaveReport(*RedtName2); }
void TFrmMain::MenuItem13Click(TObject*) { PrintReport(*RedtName2); }

void TFrmMain::SetSelectionFont(TRichEdit& view) {
  if (view.SelLength() < 1) return;
  dlgfont->Font = view.SelAttributes().Get();
  if (dlgfont->Execute()) view.SelAttributes().Set(dlgfont->Font);
}

void TFrmMain::ImportReport(TRichEdit& view) {
  dlgimport->Filter = U("All.rtf|*.rtf|All.txt|*.txt");
  dlgimport->FilterIndex = 1;
  if (!dlgimport->Execute()) return;
  // The reason goes beneath the command's own words.
  auto fail = [](const std::string& why) {
    Application->MessageBox(U("导入文件出错,请重试一次\r\n") + why, U("重试一次"), MB_OK | MB_ICONWARNING);
  };
  // The view gets only what a parse of the file writes anew; a file that cannot be
  // read or parsed is refused before the view is touched.
  ViewText text;
  std::string why;
  if (!ReadRichTextFile(dlgimport->FileName, view.PlainText, text, why)) return fail(why);
  view.Clear();
  TFont f = view.DefAttributes().Get();
  f.Size = view.Font().Size;
  f.Color = clBlack;
  f.Bold = f.Italic = f.Underline = false;
  view.DefAttributes().Set(f);
  if (!view.LoadFromString(text.data, text.rtf)) {
    view.Clear();
    return fail(U("文件“") + dlgimport->FileName + U("”的文字无法载入显示框。"));
  }
  view.SetModified(true);  // the user's own text, to be offered for saving
}

void TFrmMain::SaveReport(TRichEdit& view) {
  // The dialog is shared with the naming page's export, which sets its own fields.
  dlgsave->Filter = U("Rtf格式|*.rtf|Txt格式|*.txt");
  dlgsave->FilterIndex = 1;
  dlgsave->FileName.clear();
  dlgsave->DefaultExt.clear();
  dlgsave->Title.clear();
  dlgsave->OverwritePrompt = true;
  if (!dlgsave->Execute()) return;
  const bool plainText = dlgsave->FilterIndex == 2;
  const std::string path = ReportFileName(dlgsave->FileName, plainText);
  // The dialog asked about the name as typed; a name we completed is asked about here.
  if (path != dlgsave->FileName && file::Exists(path) &&
      Application->MessageBox(path + U(" 已存在。\r\n要替换它吗？"), U("另存为"), MB_YESNO | MB_ICONWARNING) != IDYES)
    return;
  view.PlainText = plainText;
  const bool saved = view.SaveToFile(path);
  view.PlainText = false;
  if (!saved) {
    Application->MessageBox(U("保存文件出错,请重试一次\r\n") + view.LastError(), U("重试一次"), MB_OK | MB_ICONWARNING);
    return;
  }
  ShowMessage(U("已保存！"));
}

void TFrmMain::PrintReport(TRichEdit& view) {
  if (Ask("准备开始打印吗?", "打印", MB_YESNO | MB_ICONQUESTION) != IDYES) return;
  if (!dlgprint->Execute()) return;
  if (!view.Print(dlgprint->DC(), "")) Ask("打印错误，请检查打印设备！", "打印错误", MB_OK | MB_ICONERROR);
}

// ---- 选项 › 命稿设置 ----

void TFrmMain::OsetmoClick(TObject*) {
  for (TRichEdit* view : {RedtName, RedtName2}) {
    SetViewFont(*view, U("宋体"), 12);
    SetViewColour(*view, clWhite);
  }
  ShowMessage(U("设置完成"));
}

void TFrmMain::OmnusetfontClick(TObject*) {
  dlgfont->Font = RedtName->Font();
  if (!dlgfont->Execute()) return;
  for (TRichEdit* view : {RedtName, RedtName2}) SetViewFont(*view, dlgfont->Font.Name, dlgfont->Font.Size);
  ShowMessage(U("设置完成"));
}

void TFrmMain::OmnusetcolorClick(TObject*) {
  dlgcolor->Color = RedtName->Color();
  if (!dlgcolor->Execute()) return;
  for (TRichEdit* view : {RedtName, RedtName2}) SetViewColour(*view, dlgcolor->Color);
  ShowMessage(U("设置完成"));
}

// ---- tools, settings and help ----

void TFrmMain::TmnuTnameClick(TObject*) { ShowModalForm<TFrmTestName>(); }
void TFrmMain::TmnuBjxClick(TObject*) { ShowModalForm<TFrmBjx>(); }
void TFrmMain::TmnuxmClick(TObject*) {
  TFrmEditDict* dlg = new TFrmEditDict(Application, WordLib);
  dlg->ShowModal();
  delete dlg;
}
void TFrmMain::TmnuDiliClick(TObject*) { ShowModalForm<TFrmDiLi>(AppDir); }
void TFrmMain::TmnuwnlClick(TObject*) { ShowPerpetualCalendar(); }
void TFrmMain::N8Click(TObject*) { ShowModalForm<TFrmPickNumber>(); }
void TFrmMain::OmnuEndClick(TObject*) { ShowModalForm<TFrmEndfo>(); }
void TFrmMain::N4Click(TObject*) { ShowModalForm<TFrmSet>(); }
void TFrmMain::HmnuRhelpClick(TObject*) { ShowModalForm<TFrmTxtHelp>(); }

void TFrmMain::mlzishiClick(TObject*) {
  const std::wstring path = gbk::ToWide(AppDir + "dat\\name.chm");
  HINSTANCE result = ShellExecuteW(Handle(), L"open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  if (reinterpret_cast<INT_PTR>(result) <= 32) Ask("请重试一次", "重试", MB_OK | MB_ICONINFORMATION);
}

void TFrmMain::fnumcloseClick(TObject*) { Close(); }
