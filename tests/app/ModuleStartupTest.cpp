#include <gtest/gtest.h>

#include <QString>

#include <stdexcept>
#include <string>
#include <vector>

#include "app/ModuleStartup.h"
#include "framework/LowAPI_.h"
#include "platform/WindowMessage.h"
#include "templates/AutorunCDMenu_.h"
#include "templates/PackageSoftwareCDForm_.h"
#include "templates/SimpleCDForm_.h"
#include "templates/SoftwareDistributionCDMenu_Unit.h"

using namespace orb;

namespace {

struct TNoMessages : IWindowMessagePoster {
  TWindowMessage Register(const std::string&) override { return 1; }
  void Post(TWindowHandle, TWindowMessage) override {}
};

}  // namespace

TEST(ModuleStartup, TheFourMenusAreRegisteredInOrderAndFoundInAnyCase) {
  TNoMessages poster;
  SetWindowMessagePoster(&poster);
  StartModules();
  EXPECT_EQ(CDMenuNames,
            (std::vector<std::string>{"Package Software", "Simple", "Autorun file", "Software Distribution"}));
  const std::pair<std::string, const TComponentClass*> menus[] = {
      {"Package Software", &ClassOf<TPackageSoftwareCDForm>()},
      {"Simple", &ClassOf<TSimpleCDForm>()},
      {"Autorun file", &ClassOf<TAutorunCDMenu>()},
      {"Software Distribution", &ClassOf<TSoftwareDistributionCDMenu>()},
  };
  for (const auto& [name, menuClass] : menus) {
    const QString text = QString::fromStdString(name);
    for (const QString& asked : {text, text.toUpper(), text.toLower()})
      EXPECT_EQ(&FindCDMenu(asked.toStdString()), menuClass) << asked.toStdString();
  }
  EXPECT_THROW(FindCDMenu("Single Level"), std::out_of_range) << "an editor form is no menu";
  FinishModules();
  SetWindowMessagePoster(nullptr);
}
