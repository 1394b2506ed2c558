#include "tools/Upicknumber.h"

#include "classlib/Gbk.h"
#include "classlib/Layout.h"
#include "classlib/StrUtils.h"
#include "tools/Uchoicenum.h"

namespace {

constexpr int kAny = 0;     // item "任意"
constexpr int kChoose = 1;  // item "选择"; digit d is item d + 2

// The group holds one list for each digit position of the number.
// clang-format off
const LayoutRow kLayout[] = {
  {New<TGroupBox>,      "GroupBox1",  "手机号码组合",   8,   4, 624,  56, "",          alNone},
  {NewDropDownList<12>, "Cbo1",       "",               8,  22,  53,  22, "GroupBox1", alNone},
  {NewDropDownList<12>, "Cbo2",       "",              63,  22,  53,  22, "GroupBox1", alNone},
  {NewDropDownList<12>, "Cbo3",       "",             118,  22,  53,  22, "GroupBox1", alNone},
  {NewDropDownList<12>, "Cbo4",       "",             173,  22,  53,  22, "GroupBox1", alNone},
  {NewDropDownList<12>, "Cbo5",       "",             228,  22,  53,  22, "GroupBox1", alNone},
  {NewDropDownList<12>, "Cbo6",       "",             283,  22,  53,  22, "GroupBox1", alNone},
  {NewDropDownList<12>, "Cbo7",       "",             338,  22,  53,  22, "GroupBox1", alNone},
  {NewDropDownList<12>, "Cbo8",       "",             393,  22,  53,  22, "GroupBox1", alNone},
  {NewDropDownList<12>, "Cbo9",       "",             448,  22,  53,  22, "GroupBox1", alNone},
  {NewDropDownList<12>, "Cbo10",      "",             503,  22,  53,  22, "GroupBox1", alNone},
  {NewDropDownList<12>, "Cbo11",      "",             558,  22,  53,  22, "GroupBox1", alNone},
  {New<TButton>,        "BitBtn1",    "挑选",           8,  68,  90,  28, "",          alNone},
  {New<TListBox>,       "LstNumber",  "",               8, 104, 260, 328, "",          alNone},
  {New<TMemo>,          "MeoExplain", "",             276, 104, 356, 328, "",          alNone},
};
// clang-format on

TColor PositionColour(int p) { return p <= 3 ? clBlack : p <= 7 ? clBlue : clRed; }

}  // namespace

TFrmPickNumber::TFrmPickNumber(TComponent* owner) : TForm(owner) {
  SetText(gbk::FromUtf8("吉利手机号码"));
  SetClientSize(640, 440);
  Position = poScreenCenter;
  BorderStyle = bsDialog;

  TLayout layout(this, this, kLayout);
  layout.Bind(GroupBox1, "GroupBox1");
  for (int p = 1; p <= MNumberPicker::kPositions; ++p) {
    TComboBox* c = layout.Get<TComboBox>("Cbo" + IntToStr(p));
    TFont f;
    f.Color = PositionColour(p);
    c->SetFont(f);
    Cbo[p - 1] = c;
  }
  layout.Bind(BitBtn1, "BitBtn1");
  layout.Bind(LstNumber, "LstNumber");
  layout.Bind(MeoExplain, "MeoExplain");
  MeoExplain->ReadOnly = true;
  // Rows half as high again as the font, for a long list read by eye.
  HDC screen = GetDC(nullptr);
  LstNumber->ItemHeight = 3 * LstNumber->Font().Size * GetDeviceCaps(screen, LOGPIXELSY) / 72 / 2;
  ReleaseDC(nullptr, screen);

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
