#include "templates/TemplateMenus.h"

#include "framework/LowAPI_.h"
#include "templates/AutorunCDMenu_.h"
#include "templates/PackageSoftwareCDForm_.h"
#include "templates/SimpleCDForm_.h"
#include "templates/SoftwareDistributionCDMenu_Unit.h"

namespace orb {

void RegisterTemplateMenus() {
  RegisterCDMenu(ClassOf<TPackageSoftwareCDForm>(), "Package Software");
  RegisterCDMenu(ClassOf<TSimpleCDForm>(), "Simple");
  RegisterCDMenu(ClassOf<TAutorunCDMenu>(), "Autorun file");
  RegisterCDMenu(ClassOf<TSoftwareDistributionCDMenu>(), "Software Distribution");
}

}  // namespace orb
