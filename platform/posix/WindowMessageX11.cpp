// Window messages on X11: a registered message is an interned atom, and a
// post is a client message of format 32 with all data words 0.

#include <X11/Xlib.h>

#include "platform/WindowMessageBackend.h"

namespace orb {
namespace {

// A connection of our own, independent of the toolkit's, opened when the
// first message is registered and kept for the life of the process.
Display* MessageDisplay() {
  static Display* display = XOpenDisplay(nullptr);
  return display;
}

// A failed post (BadWindow for a window that has gone) must not end the
// program, which Xlib's default handler would do.
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

}  // namespace

TWindowMessage SystemRegisterWindowMessage(const std::string& name) {
  Display* display = MessageDisplay();
  if (!display) return 0;
  return TWindowMessage(XInternAtom(display, name.c_str(), False));
}

void SystemPostWindowMessage(TWindowHandle window, TWindowMessage message) {
  Display* display = MessageDisplay();
  if (!display || message == 0) return;
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.display = display;
  event.xclient.window = Window(window);
  event.xclient.message_type = Atom(message);
  event.xclient.format = 32;
  XErrorHandler previous = XSetErrorHandler(IgnoreXError);
  XSendEvent(display, Window(window), False, NoEventMask, &event);
  // XSync flushes the request and collects any error while our handler is in place.
  XSync(display, False);
  XSetErrorHandler(previous);
}

}  // namespace orb
