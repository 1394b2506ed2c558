// The radical picker "偏旁选择": ticks radicals of the dictionary; `selection` holds
// the chosen ones, 2 bytes each, in list order.
#pragma once

#include <string>
#include <string_view>

#include "classlib/Forms.h"
#include "classlib/StdCtrls.h"

class TFrmPianPang : public TForm {
 public:
  explicit TFrmPianPang(TComponent* owner);
  std::string ClassName() const override { return "TFrmPianPang"; }

  void FormShow(TObject* sender);
  void ChkAllClick(TObject* sender);
  void BitBtn1Click(TObject* sender);

  // Set before showing, read after a Yes result.
  std::string selection;

  TCheckListBox* ChkPian;
  TCheckBox* ChkAll;
  TButton* BitBtn1;
  TButton* BitBtn2;
};

// Whether `text` holds `ch` as one of its own characters: a byte match that straddles
// two neighbouring characters does not count.
bool HasWholeChar(std::string_view text, std::string_view ch);
