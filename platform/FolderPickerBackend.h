#pragma once
// The platform's own folder picker; one source file per platform implements it.

#include <string>

namespace orb {

bool SystemPickFolder(const std::string& title, const std::string& root, std::string& folder);

}  // namespace orb
