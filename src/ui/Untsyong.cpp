#include "ui/Untsyong.h"

#include <algorithm>

#include "classlib/Gbk.h"
#include "classlib/Layout.h"
#include "classlib/StrUtils.h"
#include "engine/NameTables.h"

namespace {

using gbk::U;

// clang-format off
const LayoutRow kLayout[] = {
  {New<TLabeledEdit>, "Ledt0",   "", 72,   8, 40, 22, "", alNone},
  {New<TLabeledEdit>, "Ledt1",   "", 72,  36, 40, 22, "", alNone},
  {New<TLabeledEdit>, "Ledt2",   "", 72,  64, 40, 22, "", alNone},
  {New<TLabeledEdit>, "Ledt3",   "", 72,  92, 40, 22, "", alNone},
  {New<TLabeledEdit>, "Ledt4",   "", 72, 120, 40, 22, "", alNone},
  {New<TLabeledEdit>, "Ledt5",   "", 188,  8, 40, 22, "", alNone},
  {New<TLabeledEdit>, "Ledt6",   "", 188, 36, 40, 22, "", alNone},
  {New<TLabeledEdit>, "Ledt7",   "", 188, 64, 40, 22, "", alNone},
  {New<TLabeledEdit>, "Ledt8",   "", 188, 92, 40, 22, "", alNone},
  {New<TLabeledEdit>, "Ledt9",   "", 188, 120, 40, 22, "", alNone},
  {New<TRadioGroup>,  "RdoRi",   "日元",   244,   4, 308, 70, "", alNone},
  {New<TLabel>,       "Label2",  "重设以上参数将改变软件的判断。", 244, 84, 308, 18, "", alNone},
  {New<TButton>,      "BitBtn2", "设定",   384, 112, 80, 26, "", alNone},
  {New<TButton>,      "BitBtn1", "取消",   472, 112, 80, 26, "", alNone},
  {New<TRadioGroup>,  "RdoYong", "用神",     8, 152, 104, 140, "", alNone},
  {New<TRadioGroup>,  "RdoXi",   "喜神",   118, 152, 104, 140, "", alNone},
  {New<TRadioGroup>,  "RdoJi",   "忌神",   228, 152, 104, 140, "", alNone},
  {New<TRadioGroup>,  "RdoChou", "仇神",   338, 152, 104, 140, "", alNone},
  {New<TRadioGroup>,  "RdoXian", "闲神",   448, 152, 104, 140, "", alNone},
};
// clang-format on

}  // namespace

TFrmSetYong::TFrmSetYong(TComponent* owner) : TForm(owner) {
  Name = "FrmSetYong";
  SetText(U("设定用神"));
  BorderStyle = bsDialog;
  Position = poScreenCenter;
  SetClientSize(560, 300);
  TLayout layout(this, this, kLayout);
  for (int k = 0; k < 10; ++k) {
    layout.Bind(Ledt[k], "Ledt" + std::to_string(k));
    Ledt[k]->MaxLength = 3;
  }
  layout.Bind(RdoYong, "RdoYong");
  layout.Bind(RdoXi, "RdoXi");
  layout.Bind(RdoJi, "RdoJi");
  layout.Bind(RdoChou, "RdoChou");
  layout.Bind(RdoXian, "RdoXian");
  layout.Bind(RdoRi, "RdoRi");
  layout.Bind(Label2, "Label2");
  layout.Bind(BitBtn2, "BitBtn2");
  layout.Bind(BitBtn1, "BitBtn1");
  RdoRi->SetColumns(4);
  for (const char* t : {"从旺", "太弱", "偏弱", "平和", "偏旺", "太旺", "从弱"}) RdoRi->AddItem(U(t));
  BitBtn2->ModalResult = mrOk;
  BitBtn2->Default = true;
  BitBtn1->ModalResult = mrCancel;
  BitBtn2->OnClick = [this](TObject* s) { BitBtn2Click(s); };
  OnShow = [this](TObject* s) { FormShow(s); };
  DoCreate();
}

int16_t TFrmSetYong::TenGodStem(int16_t d, int16_t k) {
  int s = (d % 10 + k) % 10;
  // A yin day stem swaps the yang and yin stems of each pair.
  if (d % 2 == 0 && k % 2 == 1) s = s - 2 < 0 ? s + 8 : s - 2;
  return static_cast<int16_t>(s);
}

TRadioGroup* TFrmSetYong::Roles(int i) const {
  TRadioGroup* const roles[5] = {RdoYong, RdoXi, RdoJi, RdoChou, RdoXian};
  return roles[i];
}

void TFrmSetYong::FormShow(TObject*) {
  const NameTables::Texts& t = NameTables::Text();
  int16_t day = static_cast<int16_t>(((favourable.dayStem % 10) + 10) % 10);
  int e = NameTables::StemElement[static_cast<size_t>(day)];
  for (int i = 0; i < 5; ++i) {
    TRadioGroup* group = Roles(i);
    if (group->Count() == 0) {
      for (int g = 0; g < 5; ++g)
        group->AddItem(t.TenGodNames[static_cast<size_t>(10 + g)] + "-" +
                       t.ElementNames[static_cast<size_t>((e + g) % 5)]);
    }
    group->SetItemIndex(favourable.roles[i]);
  }
  RdoRi->SetItemIndex(favourable.dayMasterClass);
  for (int k = 0; k < 10; ++k) {
    size_t stem = static_cast<size_t>(TenGodStem(day, static_cast<int16_t>(k)));
    Ledt[k]->EditLabel()->SetText(t.TenGodNames[static_cast<size_t>(k)] + t.StemNames[stem] +
                                  t.ElementNames[NameTables::StemElement[stem]]);
    Ledt[k]->SetLabelPosition(lpLeft);
    Ledt[k]->SetText(IntToStr(favourable.tenGodScores[k]));
  }
}

bool TFrmSetYong::ReadScores() {
  int sum = 0;
  for (int k = 0; k < 10; ++k) {
    long long v = StrToIntDef(Trim(Ledt[k]->Text()), -1);
    if (v < 0 || v > 999) {
      Application->MessageBox(U("请输入0至999之间的数"), U("分数无效"), MB_OK | MB_ICONERROR);
      ::SetFocus(Ledt[k]->Handle());
      return false;
    }
    favourable.tenGodScores[k] = static_cast<int16_t>(v);
    sum += static_cast<int>(v);
  }
  if (sum < 36) {
    Application->MessageBox(U("十神之和不能小于36"), U("分数无效"), MB_OK | MB_ICONERROR);
    return false;
  }
  return true;
}

void TFrmSetYong::BitBtn2Click(TObject*) {
  if (!ReadScores()) {
    ModalResult = mrNone;
    return;
  }
  for (int i = 0; i < 5; ++i) favourable.roles[i] = static_cast<int16_t>(std::max(Roles(i)->ItemIndex(), 0));
  favourable.dayMasterClass = static_cast<int16_t>(std::max(RdoRi->ItemIndex(), 0));
}
