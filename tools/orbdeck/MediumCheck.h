#pragma once
// orbdeck check: a medium read as the host reads it when it starts, with
// the host's own code, reporting everything the host would get wrong
// without a word. Nothing is written and nothing is opened.

#include <filesystem>
#include <string>
#include <vector>

#include "platform/ShellOpen.h"
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

// Keeps what would be opened through the shell, instead of opening it, for
// as long as it exists: nothing that a check builds or launches reaches the
// shell.
class TShellRecorder : public IShellOpener {
 public:
  TShellRecorder() { SetShellOpener(this); }
  ~TShellRecorder() override { SetShellOpener(nullptr); }
  TShellRecorder(const TShellRecorder&) = delete;
  TShellRecorder& operator=(const TShellRecorder&) = delete;
  void Open(const std::string& target) override { Opened.push_back(target); }
  std::vector<std::string> Opened;
};

// The data file of a record-keeping menu and the links of every record,
// each handed to its launcher with the shell recording.
void CheckRecords(TCDMenuForm& menu, TShellRecorder& shell, TFindings& findings);

}  // namespace orb
