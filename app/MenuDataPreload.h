#pragma once
// The data file of a medium's menu, read ahead: before Qt starts, the
// project beside the program is read to find its menu, and when the menu is
// a form, which keeps its records in the data file, that file is read and
// parsed on a worker thread while Qt starts and the form is built. The
// form's load takes the parsed file, or the failure to read it, so it
// behaves as if it had read the file itself.

#include <string>

namespace orb {

// Starts the preload for the program file's medium. Changes no shared state
// and fails silently: what cannot be read here fails again, where it
// counts, when the menu starts.
void PreloadMenuData(const std::string& programFile);

}  // namespace orb
