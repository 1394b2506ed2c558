// The naming page: birth data, conditions, the generator run and its result list.
#include "ui/Untmain.h"

void TFrmMain::BuildNamingPage() {}
