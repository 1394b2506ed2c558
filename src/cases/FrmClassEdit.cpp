#include "cases/FrmClassEdit.h"

#include "cases/Caserules.h"
#include "classlib/Gbk.h"
#include "classlib/StrUtils.h"
#include "classlib/TIniFile.h"
#include "classlib/TStringList.h"

namespace {

const LayoutRow kLayout[] = {
    {New<TLabel>, "Label1", "一行一个类别，类别名最长6个汉字", 12, 10, 260, 18, "", alNone},
    {New<TMemo>, "Memo1", "", 12, 32, 260, 220, "", alNone},
    {New<TButton>, "BitBtn1", "保存", 110, 262, 76, 26, "", alNone},
    {New<TButton>, "Button1", "取消", 196, 262, 76, 26, "", alNone},
};

// The memo's lines; a final line break does not start another line.
std::vector<std::string> LinesOf(const std::string& text) {
  TStringList list;
  list.SetText(text);
  std::vector<std::string> lines;
  for (int i = 0; i < list.Count(); ++i) lines.push_back(list[i]);
  return lines;
}

}  // namespace

TFrmClassEdit::TFrmClassEdit(TComponent* owner, TIniFile& ini) : TForm(owner), ini_(ini) {
  Name = "FrmClassEdit";
  SetText(gbk::FromUtf8("类别编辑"));
  BorderStyle = bsDialog;
  Position = poScreenCenter;
  SetClientSize(284, 300);
  TLayout layout(this, this, kLayout);
  layout.Bind(Label1, "Label1");
  layout.Bind(Memo1, "Memo1");
  layout.Bind(BitBtn1, "BitBtn1");
  layout.Bind(Button1, "Button1");
  Memo1->WordWrap = true;
  BitBtn1->OnClick = [this](TObject* s) { BitBtn1Click(s); };
  Button1->OnClick = [this](TObject* s) { Button1Click(s); };
  Button1->Cancel = true;
  OnShow = [this](TObject* s) { FormShow(s); };
  DoCreate();
}

void TFrmClassEdit::FormShow(TObject*) {
  TIniFile::ReadingSession session(ini_);
  int count = CategoryCount(ini_.ReadInteger("classes", "count", 0));
  std::string text;
  for (int i = 1; i <= count; ++i) text += ini_.ReadString("classes", IntToStr(i), "") + "\r\n";
  Memo1->SetText(text);
}

void TFrmClassEdit::BitBtn1Click(TObject*) {
  std::vector<std::string> lines = LinesOf(Memo1->Text());
  if (lines.empty()) {
    CaseMessage("类别不能为空");
    return;
  }
  if (int bad = FirstBadCategoryLine(lines)) {
    ShowMessage(gbk::FromUtf8("第") + IntToStr(bad) + gbk::FromUtf8("行类别名不合规定，不能加入。"));
    return;
  }
  for (size_t i = 0; i < lines.size(); ++i) ini_.WriteString("classes", IntToStr(static_cast<int>(i) + 1), lines[i]);
  ini_.WriteInteger("classes", "count", static_cast<long long>(lines.size()));
  ModalResult = mrOk;
}

void TFrmClassEdit::Button1Click(TObject*) { ModalResult = mrCancel; }
