#include "app/ModuleStartup.h"

#include "framework/LowAPI_.h"
#include "framework/OrbMessages_.h"
#include "templates/AutorunCDMenu_.h"
#include "templates/PackageSoftwareCDForm_.h"
#include "templates/SimpleCDForm_.h"

namespace orb {

void StartModules() {
  InitializeLowAPI();
  // The template modules register their menus in this order.
  RegisterCDMenu(ClassOf<TPackageSoftwareCDForm>(), "Package Software");
  RegisterCDMenu(ClassOf<TSimpleCDForm>(), "Simple");
  RegisterCDMenu(ClassOf<TAutorunCDMenu>(), "Autorun file");
  RegisterStudioMessage();
}

void FinishModules() { FinalizeLowAPI(); }

}  // namespace orb
