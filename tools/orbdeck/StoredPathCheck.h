#pragma once
// A stored path (a link, a picture path, the trailer's target) checked as
// the host resolves it below the program folder: backslashes as the
// platform's separator and, where a name does not exist as written, letter
// case ignored.

#include <optional>
#include <string>
#include <string_view>

#include "tools/orbdeck/Findings.h"

namespace orb {

// What the host opens for the stored path, or nullopt when it names nothing
// on the medium. Adds the finding for a path that the host does not find as
// written, with subject naming it (File link "Docs\x"): an error for a full
// path, a path leading outside the medium or one that names nothing, a
// warning for one found only with letter case ignored. Reads ProgramFolder.
std::optional<std::string> CheckStoredPath(TFindings& findings, const std::string& where, const std::string& subject,
                                           std::string_view storedPath);

}  // namespace orb
