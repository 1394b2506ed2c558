// The dictionary page: characters looked up and the dictionary scanned by conditions.
#include "ui/Untmain.h"

void TFrmMain::BuildDictPage() {}
