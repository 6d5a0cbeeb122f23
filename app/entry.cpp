#include "app/entry.h"

#include <cstring>
#include <exception>

#include "counter/Untcount.h"
#include "data/Untdata.h"
#include "platform/files.h"
#include "settings/Untmain.h"
#include "ui/ui.h"

bool IsCounterSwitch(int argc, const char* const* argv) {
  return argc >= 2 && argv[1] != nullptr && std::strcmp(argv[1], "/C") == 0;
}

int RunProgram(int argc, const char* const* argv) {
  ui::Application& app = ui::Application::Instance();
  try {
    // The counter cleans its working files out of the current folder; started from anywhere
    // else (a prompt in the user's documents, a shortcut without a working folder) it would
    // delete the user's own files. Work in the program's own folder, even one whose name
    // Shift-JIS cannot write: the work folder's files are named relative to it.
    platform::EnterProgramFolder();
    app.title = kCounterCaption;
    // The program's data, made before its main window and given up after it: Run destroys
    // the window on every way out.
    TfrmData data;
    if (IsCounterSwitch(argc, argv)) {
      app.HideTaskbarWindow();
      app.showMainForm = false;
      app.SetMainForm(std::make_unique<TfrmCount>(data));
    } else {
      app.SetMainForm(std::make_unique<TfrmMain>(data));
    }
    app.Run();
  } catch (const std::exception& error) {
    app.ShowException(error);
  }
  return 0;
}
