// The report views' popup menus and the main menu.
#include "ui/Untmain.h"

void TFrmMain::BuildMenus() {}
