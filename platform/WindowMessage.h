#pragma once
// Window messages registered by name and posted to another program's window,
// the way two programs agree on a message without sharing a header. On X11 a
// registered message is an atom and a post is a 32-bit client message; on
// Windows, RegisterWindowMessageW and PostMessageW. Without a display nothing
// is registered (the identifier is 0) and nothing is sent.

#include <cstdint>
#include <string>

namespace orb {

// The identifier of a registered message; 0 when none could be registered.
using TWindowMessage = std::uint32_t;
// A window of any program on the same display, by its identifier.
using TWindowHandle = std::uint32_t;

TWindowMessage RegisterWindowMessage(const std::string& name);
// Posts the message with both parameters 0. Does not wait; a window that no
// longer exists makes the post fail silently.
void PostWindowMessage(TWindowHandle window, TWindowMessage message);

// The seam through which tests record messages instead of sending them.
class IWindowMessagePoster {
 public:
  virtual ~IWindowMessagePoster() = default;
  virtual TWindowMessage Register(const std::string& name) = 0;
  virtual void Post(TWindowHandle window, TWindowMessage message) = 0;
};

// Replaces the system's messages; nullptr restores them.
void SetWindowMessagePoster(IWindowMessagePoster* poster);

}  // namespace orb
