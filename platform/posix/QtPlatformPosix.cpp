// The Qt platform plugins of X11 and Wayland desktops, whose fonts
// fontconfig matches.

#include <fontconfig/fontconfig.h>

#include <cstdlib>

#include "platform/QtPlatformBackend.h"

namespace orb {

std::string SystemQtPlatforms() {
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  return wayland && *wayland ? "wayland;xcb;offscreen" : "xcb;offscreen";
}

// The configuration and the caches of every font, a few milliseconds of
// file reading that Qt would otherwise do at the first text.
void PrepareSystemFonts() { FcInit(); }

}  // namespace orb
