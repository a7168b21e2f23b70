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

// The relative-path rule on paths written as on Windows (backslashes; a
// drive letter with its colon or a \\server\share prefix): the target
// relative to the base folder, with "..\" for each folder of the base that
// the target does not share (names compared without regard to case), or the
// target unchanged when the drives differ.
std::string ExtractRelativePath(std::string_view base, std::string_view target);

// The same rule on the platform's own paths, giving the medium's portable
// form, relative and backslash-separated: under the program folder
// /media/cd/ the file /media/cd/Setup/run.exe gives Setup\run.exe. A target
// that is no full path (already stored, or empty) comes out unchanged, so
// the rule can run any number of times. The base folder itself is ".", which
// opens it wherever the medium lies; named through its parent ("..\cd") it
// would be lost as soon as the medium's folder had another name, as the root
// of a CD has.
std::string StoredRelativePath(std::string_view baseFolder, std::string_view target);

}  // namespace orb
