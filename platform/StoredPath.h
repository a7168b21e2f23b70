#pragma once
// Stored paths keep the medium's portable form: relative and
// backslash-separated, as written on Windows. Joining one to a folder turns
// its backslashes into the platform's separator; on a case-sensitive file
// system a path that does not exist as written is resolved component by
// component ignoring case, as Windows would find it.

#include <string>
#include <string_view>

namespace orb {

// folder (ending in a separator) followed by the stored path, by plain
// concatenation, then resolved as above. When no existing file matches,
// the joined name is returned as written (with the platform's separators).
std::string JoinStoredPath(std::string_view folder, std::string_view storedPath);

}  // namespace orb
