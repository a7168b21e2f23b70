#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "app/MenuDataPreload.h"
#include "framework/LowAPI_.h"
#include "store/DataFilePreload.h"
#include "templates/TemplateMenus.h"

using namespace orb;
namespace fs = std::filesystem;

namespace {

// A medium with the program file "Setup.exe", a data file and a project
// that names the menu.
class MenuDataPreload : public ::testing::Test {
 protected:
  void SetUp() override {
    medium_ = fs::temp_directory_path() / ("orb-data-preload-" + std::to_string(getpid()));
    fs::remove_all(medium_);
    fs::create_directories(medium_ / "Data");
    std::ofstream(medium_ / "Data" / "db.xml") << "<DATAPACKET/>";
    InitializeLowAPI();
    RegisterTemplateMenus();
  }
  void TearDown() override {
    DropDataFilePreloads();
    FinalizeLowAPI();
    fs::remove_all(medium_);
  }

  void WriteProject(const std::string& text) { std::ofstream(medium_ / "Setup.orbproj") << text; }
  static std::string Naming(const std::string& menu) {
    return "<Orbdeck><Project><CDFormClass><Title>" + menu + "</Title></CDFormClass></Project></Orbdeck>";
  }
  // Whether the preload for the program file started a preload of the data file.
  bool DataFilePreloaded() {
    PreloadMenuData((medium_ / "Setup.exe").string());
    return TakePreloadedDataFile((medium_ / "Data" / "db.xml").string()).has_value();
  }

  fs::path medium_;
};

}  // namespace

TEST_F(MenuDataPreload, TheDataFileOfAMenuFormIsPreloaded) {
  for (const char* menu : {"Simple", "package software", "Software Distribution"}) {
    WriteProject(Naming(menu));
    EXPECT_TRUE(DataFilePreloaded()) << menu;
  }
}

TEST_F(MenuDataPreload, NothingIsPreloadedForOtherMediaAndNothingFails) {
  EXPECT_FALSE(DataFilePreloaded()) << "no project";
  for (const char* project : {"<Orbdeck><Project/></Orbdeck>", "<Orbdeck", "<Other/>"}) {
    WriteProject(project);
    EXPECT_FALSE(DataFilePreloaded()) << project;
  }
  for (const char* menu : {"Autorun file", "Single Level", ""}) {
    WriteProject(Naming(menu));
    EXPECT_FALSE(DataFilePreloaded()) << menu;
  }
  PreloadMenuData("");
}
