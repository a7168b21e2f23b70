// The Qt platform plugins of X11 and Wayland desktops.

#include <cstdlib>

#include "platform/QtPlatformBackend.h"

namespace orb {

std::string SystemQtPlatforms() {
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  return wayland && *wayland ? "wayland;xcb;offscreen" : "xcb;offscreen";
}

}  // namespace orb
