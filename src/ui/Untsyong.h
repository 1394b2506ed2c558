// The favourable-element dialog "设定用神": the ten-god scores, the group of each role
// and the class of the day master of the current chart, changed by the user.
#pragma once

#include <cstdint>
#include <string>

#include "classlib/ExtCtrls.h"
#include "classlib/Forms.h"
#include "classlib/RadioGroup.h"
#include "classlib/StdCtrls.h"
#include "engine/Records.h"

class TFrmSetYong : public TForm {
 public:
  explicit TFrmSetYong(TComponent* owner);
  std::string ClassName() const override { return "TFrmSetYong"; }

  // The stem (0 癸 … 9 壬) of ten-god k for day stem d.
  static int16_t TenGodStem(int16_t d, int16_t k);

  void FormShow(TObject* sender);
  void BitBtn2Click(TObject* sender);

  // Filled before showing, read back after an OK result.
  FavourableRecord favourable{};

  TLabeledEdit* Ledt[10];
  TRadioGroup* RdoYong;
  TRadioGroup* RdoXi;
  TRadioGroup* RdoJi;
  TRadioGroup* RdoChou;
  TRadioGroup* RdoXian;
  TRadioGroup* RdoRi;
  TLabel* Label2;
  TButton* BitBtn2;
  TButton* BitBtn1;

 private:
  TRadioGroup* Roles(int i) const;
  bool ReadScores();
};
