#include "dictionary/Editdict.h"

#include "classlib/Files.h"
#include "classlib/Gbk.h"
#include "classlib/Layout.h"
#include "classlib/StrUtils.h"
#include "dictionary/Chinesedict.h"

namespace {

// clang-format off
const LayoutRow kLayout[] = {
  {New<TLabeledEdit>, "EdtWord", "汉字",        110,  28, 120, 24, "", alNone},
  {New<TLabeledEdit>, "EdtKxLen",   "康熙笔画数",          110,  66,  80, 24, "", alNone},
  {New<TLabeledEdit>, "EdtBig5Len", "繁体笔画数",          110,  98,  80, 24, "", alNone},
  {New<TLabeledEdit>, "EdtGbLen",   "简体笔画数",          110, 130,  80, 24, "", alNone},
  {New<TLabeledEdit>, "EdtTruePy",  "拼音",                110, 162, 200, 24, "", alNone},
  {New<TLabel>,       "LblWuXing",  "五行 ",                14, 200,  44, 20, "", alNone},
  {New<TComboBox>,    "CboWuXing",  "",                     58, 196,  60, 24, "", alNone},
  {New<TLabel>,       "LblSex",     "性别  ",              126, 200,  48, 20, "", alNone},
  {New<TComboBox>,    "CboSex",     "",                    174, 196,  80, 24, "", alNone},
  {New<TLabel>,       "LblJiXiong", "吉凶 ",               262, 200,  44, 20, "", alNone},
  {New<TComboBox>,    "CboJiXiong", "",                    306, 196,  56, 24, "", alNone},
  {New<TLabel>,       "LblExplain", "字意 ",                14, 230,  44, 20, "", alNone},
  {New<TMemo>,        "MeoExplain", "",                     14, 250, 350, 86, "", alNone},
  {New<TButton>,      "Button1",    "查",                  238,  27,  50, 26, "", alNone},
  {New<TButton>,      "BitBtn1",    "保存修改",             70, 346, 110, 30, "", alNone},
  {New<TButton>,      "BtnClose",   "返回",                200, 346, 110, 30, "", alNone},
};
// clang-format on

using gbk::U;

void Focus(TControl* c) { ::SetFocus(c->Handle()); }

// "'" would end an SQL text where the file is written by other tools; the full-width
// quote takes its place. True when anything was replaced.
bool ReplaceApostrophes(std::string& text) {
  std::string fixed = dictsql::ReplaceApostrophes(text);
  bool changed = fixed != text;
  text = std::move(fixed);
  return changed;
}

}  // namespace

TFrmEditDict::TFrmEditDict(TComponent* owner, MNameLibrary& lib) : TForm(owner), lib_(lib) {
  Name = "FrmEditDict";
  SetText(U("编辑字库"));
  BorderStyle = bsDialog;
  Position = poScreenCenter;
  TFont f = Font();
  f.Name = U("宋体");
  f.Size = 12;  // 16 pixels
  SetFont(f);
  SetClientSize(378, 385);
  BuildLayout();
  OnCreate = [this](TObject* s) { FormCreate(s); };
  OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
  DoCreate();
}

void TFrmEditDict::BuildLayout() {
  TLayout layout(this, this, kLayout);
  layout.Bind(EdtWord, "EdtWord");
  layout.Bind(Button1, "Button1");
  layout.Bind(EdtKxLen, "EdtKxLen");
  layout.Bind(EdtBig5Len, "EdtBig5Len");
  layout.Bind(EdtGbLen, "EdtGbLen");
  layout.Bind(EdtTruePy, "EdtTruePy");
  layout.Bind(CboWuXing, "CboWuXing");
  layout.Bind(CboSex, "CboSex");
  layout.Bind(CboJiXiong, "CboJiXiong");
  layout.Bind(MeoExplain, "MeoExplain");
  layout.Bind(BitBtn1, "BitBtn1");
  layout.Bind(BtnClose, "BtnClose");
  OpenDlg = new TOpenDialog(this);

  for (TLabeledEdit* e : {EdtKxLen, EdtBig5Len, EdtGbLen, EdtTruePy}) e->SetLabelPosition(lpLeft);
  EdtTruePy->MaxLength = 30;
  FillDropDownList(CboWuXing, {"水", "木", "火", "土", "金", "无"});
  FillDropDownList(CboSex, {"不区分", "男用名", "女用名"});
  FillDropDownList(CboJiXiong, {"吉", "凶", "平"});
  MeoExplain->MaxLength = 300;
  MeoExplain->SetText(U("字意"));

  Button1->OnClick = [this](TObject* s) { Button1Click(s); };
  EdtWord->OnKeyPress = [this](TObject*, char& key) {
    if (key != VK_RETURN) return;
    key = 0;
    Lookup();
  };
  BitBtn1->OnClick = [this](TObject* s) { BitBtn1Click(s); };
  // Closed through the form, so the groups are rebuilt whichever way it is left.
  BtnClose->OnClick = [this](TObject*) { Close(); };
  BtnClose->Cancel = true;  // Esc closes the editor as 返回 does
}

void TFrmEditDict::Say(const char* utf8) { ShowMessage(U(utf8)); }

void TFrmEditDict::FormCreate(TObject*) { lib_.Open(0); }

void TFrmEditDict::Button1Click(TObject*) { Lookup(); }

void TFrmEditDict::Lookup() {
  std::string s = Trim(EdtWord->Text());
  if (RunCommand(s)) return;
  if (s.size() != 2) {
    Say("请输入要查询的汉字！");
    Focus(EdtWord);
    return;
  }
  // A command may have left the quick file open; the editor reads the full one.
  if (lib_.Open(0) && lib_.GetCharInfo(s, EditRecord)) {
    ShowRecord();
    return;
  }
  ShowMessage(lib_.LastError());
  EditRecord.word.clear();
}

bool TFrmEditDict::RunCommand(const std::string& word) {
  std::string message;
  if (word == U("导入字库")) {
    ImportCommand();
  } else if (word == U("修改康熙")) {
    KangxiCommand();
  } else if (word == U("简化字库")) {
    Say("开始创建简化字库，请等待操作完成！");
    lib_.Open(0);
    MakeSimplifiedDb(lib_, message);
    ShowMessage(message);
  } else if (word == U("迷你字库")) {
    MiniCommand();
  } else if (word == U("六爻字库")) {
    Say("请等待操作完成！");
    ExportLiuyaoWords(lib_, message);
    ShowMessage(message);
  } else if (word == U("安卓快速数据")) {
    Say("请等待操作完成！");
    ExportJavaData(lib_, message);
    ShowMessage(message);
  } else {
    return false;
  }
  return true;
}

std::string TFrmEditDict::ChooseFile(const char* filter) {
  OpenDlg->Filter = U(filter);
  OpenDlg->FilterIndex = 1;
  OpenDlg->FileName.clear();
  return OpenDlg->Execute() ? OpenDlg->FileName : std::string();
}

void TFrmEditDict::ImportCommand() {
  std::string chosen = ChooseFile("db文件|*.db");
  if (chosen.empty()) return;
  std::string message;
  ImportDictionary(lib_, chosen, message);
  ShowMessage(message);
}

void TFrmEditDict::KangxiCommand() {
  std::string chosen = ChooseFile("txt文件|*.txt");
  if (chosen.empty()) return;
  std::string message;
  // Any line may have changed a stroke count, so the groups are rebuilt on close.
  if (file::Exists(chosen) && lib_.Open(0)) DbChanged = true;
  FixKangxiStrokes(lib_, chosen, message);
  ShowMessage(message);
}

void TFrmEditDict::MiniCommand() {
  std::string caption = Text();
  std::string message;
  lib_.Open(0);
  MakeMiniDb(lib_, message, [this](const std::string& progress) { SetText(progress); });
  SetText(caption);
  ShowMessage(message);
}

void TFrmEditDict::ShowRecord() {
  EdtWord->EditLabel()->SetText(EditRecord.word + " " + IntToStr(EditRecord.id));
  EdtWord->SetLabelPosition(lpAbove);  // sized to its new text
  EdtKxLen->SetText(IntToStr(EditRecord.kxLen));
  EdtBig5Len->SetText(IntToStr(EditRecord.big5Len));
  EdtGbLen->SetText(IntToStr(EditRecord.gbLen));
  EdtTruePy->SetText(EditRecord.truePy);
  CboWuXing->SetItemIndex(EditRecord.wx);
  CboSex->SetItemIndex(EditRecord.useSex);
  CboJiXiong->SetItemIndex(EditRecord.jx);
  MeoExplain->SetText(EditRecord.nameExp);
}

int TFrmEditDict::ReadStrokes(TLabeledEdit* box) {
  long long n = StrToIntDef(Trim(box->Text()), 0);
  if (n >= 1 && n <= 99) return static_cast<int>(n);
  Say("笔画数在1-99之间！");
  Focus(box);
  return 0;
}

bool TFrmEditDict::ReadText(TControl* box, const char* emptyText, const char* fixedText, std::string& out) {
  std::string text = Trim(box->Text());
  if (text.empty()) {
    Say(emptyText);
    Focus(box);
    return false;
  }
  if (ReplaceApostrophes(text)) {
    Say(fixedText);
    box->SetText(text);
  }
  out = text;
  return true;
}

bool TFrmEditDict::ReadForm() {
  int kx = ReadStrokes(EdtKxLen);
  int gb = kx ? ReadStrokes(EdtGbLen) : 0;
  int big5 = gb ? ReadStrokes(EdtBig5Len) : 0;
  if (!big5) return false;
  std::string py, exp;
  if (!ReadText(EdtTruePy, "请输入拼音！", "矫正输入拼音！", py)) return false;
  if (!ReadText(MeoExplain, "请输入汉字的姓名学字意！", "矫正输入字意！", exp)) return false;
  EditRecord.kxLen = static_cast<uint8_t>(kx);
  EditRecord.gbLen = static_cast<uint8_t>(gb);
  EditRecord.big5Len = static_cast<uint8_t>(big5);
  EditRecord.truePy = py;
  EditRecord.nameExp = exp;
  EditRecord.wx = static_cast<uint8_t>(CboWuXing->ItemIndex());
  EditRecord.useSex = static_cast<uint8_t>(CboSex->ItemIndex());
  EditRecord.jx = static_cast<uint8_t>(CboJiXiong->ItemIndex());
  return true;
}

void TFrmEditDict::BitBtn1Click(TObject*) {
  if (EditRecord.word.empty()) {
    Say("请先输入一个要修改的汉字！");
    Focus(EdtWord);
    return;
  }
  std::string ask = Format(U("确定要修改【%s】这个汉字的数据吗？").c_str(), EditRecord.word.c_str());
  if (Application->MessageBox(ask, U("修改汉字"), MB_YESNO | MB_DEFBUTTON2 | MB_ICONWARNING) != IDYES) return;
  EdtWord->SetText(EditRecord.word);
  if (!ReadForm()) return;
  if (!lib_.Open(0) || !lib_.UpdateRecord(EditRecord)) {
    ShowMessage(lib_.LastError());
    return;
  }
  MirrorToMiniDb();
  DbChanged = true;
  Say("成功修改完成！");
}

void TFrmEditDict::MirrorToMiniDb() {
  CharRecord mini;
  if (lib_.Open(1) && lib_.GetCharInfo(EditRecord.word, mini)) {
    int32_t id = mini.id;
    mini = EditRecord;
    mini.id = id;
    for (std::string* s : {&mini.pinYin, &mini.biHua, &mini.normalExp, &mini.words, &mini.poemExp, &mini.relateWords,
                           &mini.poem, &mini.fourWord, &mini.kxExp}) {
      s->clear();
    }
    lib_.UpdateRecord(mini);
  }
  lib_.Open(0);
}

void TFrmEditDict::FormClose(TObject*, TCloseAction&) {
  if (!DbChanged) return;
  BtnClose->SetEnabled(false);
  Say("数据库有改动，需要重新计算，请等待操作完成！");
  if (!lib_.Open(0) || !lib_.RebuildGroups()) ShowMessage(lib_.LastError());
  if (lib_.Open(1)) lib_.RebuildGroups();
}
