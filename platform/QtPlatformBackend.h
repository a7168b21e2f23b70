#pragma once
// How Qt starts on each platform; one source file per platform implements it.

#include <string>

namespace orb {

// A list for QT_QPA_PLATFORM that ends in "offscreen", so that a machine
// without a display still starts; empty leaves the choice to Qt.
std::string SystemQtPlatforms();

// Loads what the platform's font matching needs before any text is laid
// out, where that can run beside the start of Qt on a worker thread; Qt
// then finds it loaded. May do nothing.
void PrepareSystemFonts();

}  // namespace orb
