#pragma once
// The platform's own "open"; one source file per platform implements it.

#include <string>

namespace orb {

void SystemShellOpen(const std::string& target);

}  // namespace orb
