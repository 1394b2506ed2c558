// The company page: names proposed by good stroke totals.
#include "ui/Untmain.h"

void TFrmMain::BuildCompanyPage() {}
