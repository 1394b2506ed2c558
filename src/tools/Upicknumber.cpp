#include "tools/Upicknumber.h"

#include "classlib/Gbk.h"
#include "classlib/StrUtils.h"
#include "tools/Uchoicenum.h"

namespace {

constexpr int kAny = 0;     // item "任意"
constexpr int kChoose = 1;  // item "选择"; digit d is item d + 2

TColor PositionColour(int p) { return p <= 3 ? clBlack : p <= 7 ? clBlue : clRed; }

}  // namespace

TFrmPickNumber::TFrmPickNumber(TComponent* owner) : TForm(owner) {
  SetText(gbk::FromUtf8("吉利手机号码"));
  SetClientSize(640, 440);
  Position = poScreenCenter;
  BorderStyle = bsDialog;

  GroupBox1 = new TGroupBox(this);
  GroupBox1->SetParent(this);
  GroupBox1->SetText(gbk::FromUtf8("手机号码组合"));
  GroupBox1->SetBounds(8, 4, 624, 56);
  for (int p = 1; p <= MNumberPicker::kPositions; ++p) {
    TComboBox* c = new TComboBox(this);
    c->SetParent(GroupBox1);
    c->SetBounds(8 + (p - 1) * 55, 22, 53, 22);
    TFont f;
    f.Color = PositionColour(p);
    c->SetFont(f);
    c->DropDownCount = 12;
    Cbo[p - 1] = c;
  }
  BitBtn1 = new TButton(this);
  BitBtn1->SetParent(this);
  BitBtn1->SetText(gbk::FromUtf8("挑选"));
  BitBtn1->SetBounds(8, 68, 90, 28);
  LstNumber = new TListBox(this);
  LstNumber->SetParent(this);
  LstNumber->SetBounds(8, 104, 260, 328);
  MeoExplain = new TMemo(this);
  MeoExplain->SetParent(this);
  MeoExplain->SetBounds(276, 104, 356, 328);
  MeoExplain->ReadOnly = true;

  BitBtn1->OnClick = [this](TObject*) { GenerateNumbers(); };
  LstNumber->OnClick = [this](TObject* s) { LstNumberClick(s); };
  RunChoice = [](TFrmChoiceNum& dlg) { return dlg.ShowModal(); };
  FillDigitCombos();
  DoCreate();
}

void TFrmPickNumber::FillDigitCombos() {
  for (int p = 1; p <= MNumberPicker::kPositions; ++p) {
    TComboBox* c = Cbo[p - 1];
    c->Items().Add(gbk::FromUtf8("任意"));
    c->Items().Add(gbk::FromUtf8("选择"));
    for (int d = 0; d <= 9; ++d) c->Items().Add(IntToStr(d));
    c->Tag = p;
    c->SetItemIndex(p <= 7 ? 1 + 2 : kAny);  // digit 1 on the first seven
    c->OnChange = [this, c, p](TObject*) { DigitComboChange(c, p); };
  }
  // The picker itself starts with 1111111 and four free digits, as the combos show.
}

void TFrmPickNumber::DigitComboChange(TComboBox* combo, int p) {
  const int i = combo->ItemIndex();
  if (i == kAny) {
    picker.SetAny(p);
  } else if (i == kChoose) {
    TFrmChoiceNum dlg(this);
    dlg.SetDigits(picker.Digits(p));
    if (RunChoice(dlg) == mrOk) picker.SetDigits(p, dlg.Digits());
  } else if (i >= 2) {
    picker.SetDigit(p, i - 2);
  }
}

void TFrmPickNumber::GenerateNumbers() {
  std::vector<std::string> lines;
  std::string message;
  const bool any = picker.Generate(lines, message);
  LstNumber->Items().Clear();
  SendMessageW(LstNumber->Handle(), WM_SETREDRAW, FALSE, 0);
  for (const auto& l : lines) LstNumber->Items().Add(l);
  SendMessageW(LstNumber->Handle(), WM_SETREDRAW, TRUE, 0);
  LstNumber->Invalidate();
  if (!any || !message.empty()) ShowMessage(message);
}

void TFrmPickNumber::LstNumberClick(TObject*) {
  const int i = LstNumber->ItemIndex();
  if (i < 0) return;
  const std::string text = MNumberPicker::Explain(LstNumber->Items()[i]);
  if (!text.empty()) MeoExplain->SetText(text);
}

void ShowNumberPicker() {
  TFrmPickNumber form(Application);
  form.ShowModal();
}
