#include "templates/MenuLinks.h"

#include "controls/OrbExecText.h"
#include "templates/PackageSoftwareCDForm_.h"
#include "templates/PackageSoftwareDBForm_.h"
#include "templates/SimpleCDForm_.h"
#include "templates/SimpleDBForm_.h"
#include "templates/SingleLevelDBForm_.h"
#include "templates/SoftwareDistributionCDMenu_Unit.h"
#include "ui_PackageSoftwareCDForm_.h"
#include "ui_SimpleCDForm_.h"

namespace orb {

std::optional<TMenuRecords> MenuRecords(TCDMenuForm& menu) {
  if (auto* simple = dynamic_cast<TSimpleCDForm*>(&menu)) {
    TSimpleDBForm& editor = simple->Editor();
    // "Install" opens the same link as the title.
    return TMenuRecords{&editor.Data, editor.DataTitle,
                        {{0, editor.DataTitle, simple->Components().OrbExecText->DBExecute()}}};
  }
  if (auto* package = dynamic_cast<TPackageSoftwareCDForm*>(&menu)) {
    TPackageSoftwareDBForm& editor = package->Editor();
    const Ui::PackageSoftwareCDForm& ui = package->Components();
    TOrbExecText* programs[] = {ui.OrbExecText1, ui.OrbExecText2, ui.OrbExecText3, ui.OrbExecText4, ui.OrbExecText5};
    TMenuRecords records{&editor.PackageData, editor.PackageDataName, {}};
    for (int slot = 1; slot <= TPackageSoftwareDBForm::kSlots; ++slot) {
      TOrbExecText& program = *programs[slot - 1];
      TField* title = &editor.SoftwaresData.FieldByName(program.DataField().toStdString());
      records.Links.push_back({slot, title, program.DBExecute()});
    }
    return records;
  }
  if (auto* distribution = dynamic_cast<TSoftwareDistributionCDMenu*>(&menu)) {
    TSingleLevelDBForm& catalogue = distribution->Catalogue();
    return TMenuRecords{&catalogue.Data, catalogue.DataTitle, {{0, catalogue.DataTitle, distribution->EntryLauncher()}}};
  }
  return std::nullopt;
}

}  // namespace orb
