#pragma once
// The links that a record-keeping menu opens for the records of its editor
// form, each with a launcher bound as the menu binds its launch controls:
// the Simple menu's one link per entry, the Package Software menu's five
// program slots per package, the Software Distribution menu's one link per
// entry, opened by its kind. A tool that checks a medium walks the records
// and asks each launcher what it would open.

#include <optional>
#include <vector>

#include "controls/OrbDBExecute.h"

namespace orb {

class TCDMenuForm;
class TDataSet;
class TField;

// One link of the current record.
struct TMenuLink {
  // The program slot of a package, 1 to 5; 0 for an entry's one link.
  int Slot = 0;
  // The field whose text the menu shows for the link.
  TField* Title = nullptr;
  // A copy of the menu's launcher for it.
  TOrbDBExecute Launcher;
};

// The records a menu shows and the links of each.
struct TMenuRecords {
  // The master store; the links read its current record.
  TDataSet* Records = nullptr;
  // The field that names a record in the menu.
  TField* Title = nullptr;
  std::vector<TMenuLink> Links;
};

// The records and links of a record-keeping menu; nullopt for any other menu.
std::optional<TMenuRecords> MenuRecords(TCDMenuForm& menu);

}  // namespace orb
