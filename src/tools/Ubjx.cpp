#include "tools/Ubjx.h"

#include "classlib/Gbk.h"
#include "classlib/StrUtils.h"

std::string LoadSurnameOrigins() {
  HRSRC r = FindResourceW(nullptr, L"BJX", MAKEINTRESOURCEW(10));  // RT_RCDATA
  HGLOBAL g = r ? LoadResource(nullptr, r) : nullptr;
  const void* data = g ? LockResource(g) : nullptr;
  if (!data) throw Exception("resource BJX not found");
  return std::string(static_cast<const char*>(data), SizeofResource(nullptr, r));
}

TFrmBjx::TFrmBjx(TComponent* owner) : TForm(owner) {
  SetText(gbk::FromUtf8("百家姓查询"));
  SetClientSize(560, 420);
  Position = poScreenCenter;
  BorderStyle = bsDialog;

  TFont listFont;
  listFont.Size = 14;  // 19 pixels at 96 dpi
  listFont.Color = clBlue;
  TFont redFont;
  redFont.Color = clRed;

  // The layout: bottom panel first, so the list and the memo share what is left.
  Panel1 = new TPanel(this);
  Panel1->SetParent(this);
  Panel1->SetHeight(44);
  Panel1->SetAlign(alBottom);
  Lstbjx = new TListBox(this);
  Lstbjx->SetParent(this);
  Lstbjx->SetWidth(110);
  Lstbjx->SetAlign(alLeft);
  Lstbjx->SetFont(listFont);
  Memo1 = new TMemo(this);
  Memo1->SetParent(this);
  Memo1->SetAlign(alClient);
  Memo1->ReadOnly = true;
  LedtName = new TEnterEdit(this);
  LedtName->SetParent(Panel1);
  LedtName->SetLabelPosition(lpLeft);
  LedtName->EditLabel()->SetText(gbk::FromUtf8("姓氏"));
  LedtName->SetBounds(150, 11, 100, 22);
  LedtName->MaxLength = 4;
  LedtName->SetFont(redFont);
  BtnSearch = new TButton(this);
  BtnSearch->SetParent(Panel1);
  BtnSearch->SetText(gbk::FromUtf8("查找"));
  BtnSearch->SetBounds(270, 9, 75, 26);

  Lstbjx->OnClick = [this](TObject* s) { LstbjxClick(s); };
  BtnSearch->OnClick = [this](TObject* s) { BtnSearchClick(s); };
  LedtName->OnEnter = [this](TObject* s) { BtnSearchClick(s); };
  FormCreate();
  DoCreate();
}

void TFrmBjx::FormCreate() {
  for (const auto& s : MSurnameOrigins::Surnames()) Lstbjx->Items().Add(s);
  origins.SetText(LoadSurnameOrigins());
}

void TFrmBjx::LstbjxClick(TObject*) {
  const int i = Lstbjx->ItemIndex();
  if (i < 0) return;
  Memo1->SetText(origins.Entry(Lstbjx->Items()[i]));
}

void TFrmBjx::BtnSearchClick(TObject*) {
  const std::string name = Trim(LedtName->Text());
  if (name.size() < 2) return;
  const int i = Lstbjx->Items().IndexOf(name);
  if (i < 0) {
    ShowMessage(gbk::FromUtf8("没有这个姓氏的资料。"));
    SetFocus(LedtName->Handle());
    return;
  }
  Lstbjx->SetItemIndex(i);
  LstbjxClick(Lstbjx);
}

void ShowSurnameOrigins() {
  TFrmBjx form(Application);
  form.ShowModal();
}
