#include "app/ModuleStartup.h"

#include "framework/LowAPI_.h"
#include "framework/OrbMessages_.h"
#include "templates/TemplateMenus.h"

namespace orb {

void StartModules() {
  InitializeLowAPI();
  RegisterTemplateMenus();
  RegisterStudioMessage();
}

void FinishModules() { FinalizeLowAPI(); }

}  // namespace orb
