#pragma once
// The Qt platform plugins to try, in order, where the user chose none; one
// source file per platform implements it.

#include <string>

namespace orb {

// A list for QT_QPA_PLATFORM that ends in "offscreen", so that a machine
// without a display still starts; empty leaves the choice to Qt.
std::string SystemQtPlatforms();

}  // namespace orb
