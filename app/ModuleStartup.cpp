#include "app/ModuleStartup.h"

#include "framework/LowAPI_.h"
#include "framework/OrbMessages_.h"

namespace orb {

void StartModules() {
  InitializeLowAPI();
  RegisterStudioMessage();
}

void FinishModules() { FinalizeLowAPI(); }

}  // namespace orb
