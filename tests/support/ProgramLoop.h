// The program's own message loop, with its dialog keys, run between a test's inputs as
// the program runs it between a user's.
#pragma once

#include <windows.h>

#include "classlib/Forms.h"

namespace gui {

// Runs the application's loop for about `ms`.
inline void RunLoop(int ms) {
  DWORD end = GetTickCount() + ms;
  do {
    Application->ProcessMessages();
    Sleep(10);
  } while (static_cast<int>(end - GetTickCount()) > 0);
}

}  // namespace gui
