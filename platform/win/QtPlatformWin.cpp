// Windows always has its desktop: Qt's own platform plugin.

#include "platform/QtPlatformBackend.h"

namespace orb {

std::string SystemQtPlatforms() { return {}; }

void PrepareSystemFonts() {}

}  // namespace orb
