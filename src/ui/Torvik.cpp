// The program's entry: the application object, its title, the main window as the
// only window created at start, and the message loop.
#include <windows.h>

#include "classlib/Forms.h"
#include "ui/Untmain.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  TApplication app;
  try {
    app.Initialize();
    app.Title = "Riveri 3.5";
    app.CreateForm(FrmMain);
    app.Run();
  } catch (...) {
    // Anything but our Exception is shown as one with an empty message.
    app.HandleException();
  }
  return 0;
}
