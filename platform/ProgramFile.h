#pragma once
// The running program's own file, as the system tells it; one source file
// per platform implements it.

#include <string>

namespace orb {

// The full path of the running program's file, found without Qt so that it
// is known before Qt starts; empty where the system does not tell.
std::string RunningProgramFile();

}  // namespace orb
