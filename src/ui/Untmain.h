// The main window and the program-wide objects of the program.
//
// The main window is created at start as the program's only window; its pages and
// commands hang off it. AppDir, the program folder with a trailing "\", is the base
// of every data path and is set when the main window is created.
#pragma once

#include <string>

#include "classlib/Forms.h"
#include "classlib/StdCtrls.h"

class TFrmMain : public TForm {
 public:
  explicit TFrmMain(TComponent* owner);
  ~TFrmMain() override;
  std::string ClassName() const override { return "TFrmMain"; }

  void FormCreate(TObject* sender);
  void FormShow(TObject* sender);
  void FormClose(TObject* sender, TCloseAction& action);

  TPanel* PanTop;
  TLabel* txt[5];  // the element labels 水 木 火 土 金
};

// Colours of the five elements, water first (Windows colour values, blue in the high byte).
constexpr TColor ElementColours[5] = {0x000000, 0x008000, 0x0000FF, 0x00FFFF, 0xFFFFFF};

// Program-wide objects.
extern std::string AppDir;
extern TFrmMain* FrmMain;
