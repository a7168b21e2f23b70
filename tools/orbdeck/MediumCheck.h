#pragma once
// orbdeck check: a medium read as the host reads it when it starts, with
// the host's own code, reporting everything the host would get wrong
// without a word. Nothing is written and nothing is opened.

#include <filesystem>
#include <string>

#include "tools/orbdeck/Findings.h"

namespace orb {

class TCDMenuForm;
class TForm;

// Where the findings about the data file stand: DataFolder's db.xml,
// relative to the medium.
inline const std::string kDataFileWhere = "Data/db.xml";

// Checks the medium folder whose program file has that name. Qt's
// application object must exist: menu forms are built, never shown. The
// host's process-wide state holds the medium's while the check runs and is
// empty again afterwards.
TFindings CheckMedium(const std::filesystem::path& medium, const std::string& programName);

// The saved appearance of the project, restored onto the menu form step by
// step; projectWhere names the project file, menuName the menu.
void CheckAppearance(TForm& form, const std::string& menuName, const std::string& projectWhere, TFindings& findings);

// The data file of a record-keeping menu and the links of every record.
void CheckRecords(TCDMenuForm& menu, TFindings& findings);

}  // namespace orb
