#include "tools/Ubjx.h"

#include "classlib/Gbk.h"
#include "classlib/Layout.h"
#include "classlib/StrUtils.h"

std::string LoadSurnameOrigins() {
  HRSRC r = FindResourceW(nullptr, L"BJX", MAKEINTRESOURCEW(10));  // RT_RCDATA
  HGLOBAL g = r ? LoadResource(nullptr, r) : nullptr;
  const void* data = g ? LockResource(g) : nullptr;
  if (!data) throw Exception("resource BJX not found");
  return std::string(static_cast<const char*>(data), SizeofResource(nullptr, r));
}

namespace {

// The bottom panel first, so the list and the memo share what is left.
// clang-format off
const LayoutRow kLayout[] = {
  {New<TPanel>,     "Panel1",    "",       0,  0, 560,  44, "",       alBottom},
  {New<TListBox>,   "Lstbjx",    "",       0,  0, 110, 376, "",       alLeft},
  {New<TMemo>,      "Memo1",     "",     110,  0, 450, 376, "",       alClient},
  {New<TLabeledEdit>, "LedtName",  "姓氏", 150, 11, 100,  22, "Panel1", alNone},
  {New<TButton>,    "BtnSearch", "查找", 270,  9,  75,  26, "Panel1", alNone},
};
// clang-format on

}  // namespace

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

  TLayout layout(this, this, kLayout);
  layout.Bind(Panel1, "Panel1");
  layout.Bind(Lstbjx, "Lstbjx");
  layout.Bind(Memo1, "Memo1");
  layout.Bind(LedtName, "LedtName");
  layout.Bind(BtnSearch, "BtnSearch");
  Lstbjx->SetFont(listFont);
  Memo1->ReadOnly = true;
  LedtName->SetLabelPosition(lpLeft);
  LedtName->MaxLength = 4;
  LedtName->SetFont(redFont);

  Lstbjx->OnClick = [this](TObject* s) { LstbjxClick(s); };
  BtnSearch->OnClick = [this](TObject* s) { BtnSearchClick(s); };
  LedtName->OnKeyPress = [this](TObject* s, char& key) { LedtNameKeyPress(s, key); };
  FormCreate();
  DoCreate();
}

void TFrmBjx::FormCreate() {
  for (const auto& s : MSurnameOrigins::Surnames()) Lstbjx->Items().Add(s);
  origins.SetText(LoadSurnameOrigins());
}

void TFrmBjx::LedtNameKeyPress(TObject* sender, char& key) {
  if (key != VK_RETURN) return;
  key = 0;
  BtnSearchClick(sender);
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
