#include "app/MenuDataPreload.h"

#include <filesystem>
#include <stdexcept>
#include <system_error>

#include "framework/LowAPI_.h"
#include "project/Orbproject.h"
#include "store/DataFilePreload.h"
#include "templates/TemplateDBForm.h"

namespace orb {
namespace {

bool IsFile(const std::string& name) {
  std::error_code error;
  return std::filesystem::is_regular_file(name, error);
}

}  // namespace

void PreloadMenuData(const std::string& programFile) {
  if (programFile.empty()) return;
  try {
    const std::filesystem::path program(programFile);
    const std::string folder = program.parent_path().string() + PathDelimiter;
    const std::string project = ProjectFileName(folder, ChangeFileExt(program.filename().string(), ""));
    if (!IsFile(project)) return;
    TXMLDocument document;
    document.LoadFromFile(project);
    if (!FindCDMenu(GetOrbdeck(document).Get_Project().Get_CDFormClass().Get_Title()).IsForm) return;
    const std::string dataFile = TTemplateDBForm::DataFileIn(DataFolder(folder));
    if (IsFile(dataFile)) PreloadDataFile(dataFile);
  } catch (const std::exception&) {
  }
}

}  // namespace orb
