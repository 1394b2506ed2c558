// The case tree's popup menu and the case commands.
#include "ui/Untmain.h"

void TFrmMain::BuildCasePopup() {}
