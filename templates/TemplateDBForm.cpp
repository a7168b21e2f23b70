#include "templates/TemplateDBForm.h"

#include <filesystem>
#include <system_error>

#include "platform/ErrorReport.h"

namespace orb {

TTemplateDBForm::TTemplateDBForm(TComponent* owner, TDataSet& master) : TDBForm(owner), master_(master) {}

std::string TTemplateDBForm::DataFileName() const { return DataFileIn(DataFolder()); }

std::string TTemplateDBForm::DataFileIn(std::string_view dataFolder) { return std::string(dataFolder) + "db.xml"; }

void TTemplateDBForm::SaveData() {
  TDBForm::SaveData();
  master_.SaveToFile(DataFileName());
}

void TTemplateDBForm::FormCreate() {
  Guard([this] {
    try {
      std::error_code error;
      // One test: a missing data folder counts as a missing file.
      if (std::filesystem::is_regular_file(DataFileName(), error)) {
        master_.LoadFromFile(DataFileName());
      } else {
        master_.CreateDataSet();
        AddRecord();
      }
      master_.SetLogChanges(false);
      SetUpLoadedData();
    } catch (...) {
      UpdateControls();
      throw;
    }
    UpdateControls();
  });
}

void TTemplateDBForm::RefreshCurrentMenu() {
  if (CurrentMenu) CurrentMenu->Refresh();
}

}  // namespace orb
