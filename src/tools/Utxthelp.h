// The help window: how to use Torvik and its version history, each on a tab page
// in a read-only memo.
#pragma once

#include "classlib/ComCtrls.h"
#include "classlib/Forms.h"
#include "classlib/StdCtrls.h"

class TFrmTxtHelp : public TForm {
 public:
  explicit TFrmTxtHelp(TComponent* owner);
  std::string ClassName() const override { return "TFrmTxtHelp"; }

  TPageControl* PageControl1 = nullptr;
  TTabSheet* TabUsage = nullptr;    // "使用说明"
  TTabSheet* TabHistory = nullptr;  // "升级改进历史"
  TMemo* MeoUsage = nullptr;
  TMemo* MeoHistory = nullptr;

 private:
  void BuildLayout();
};
