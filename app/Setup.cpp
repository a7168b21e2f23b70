// Setup: the menu host. It lies beside a project file and a Data folder and
// shows the menu that the project names.

#include "app/MenuDataPreload.h"
#include "app/ModuleStartup.h"
#include "app/SetupModule_.h"
#include "platform/Application.h"
#include "platform/ProgramFile.h"

int main(int argc, char** argv) {
  orb::StartModules();
  orb::PreloadMenuData(orb::RunningProgramFile());
  {
    orb::TApplication application(argc, argv);
    application.SetTitle("Setup");
    application.CreateForm<orb::TSetupModule>();
    application.Run();
  }  // The application destroys its components here: the menu, then the data module.
  orb::FinishModules();
  return 0;
}
