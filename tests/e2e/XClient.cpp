#include "tests/e2e/XClient.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <thread>

namespace orb::test {
namespace {

std::string TitleOf(Display* display, ::Window window) {
  XTextProperty property;
  std::string title;
  if (XGetWMName(display, window, &property) && property.value) {
    title.assign(reinterpret_cast<char*>(property.value), property.nitems);
    XFree(property.value);
  }
  return title;
}

void Pause() { std::this_thread::sleep_for(std::chrono::milliseconds(30)); }

// A pixel's channel scaled to 8 bits, by the channel's mask.
std::uint32_t Channel(unsigned long pixel, unsigned long mask) {
  if (mask == 0) return 0;
  int shift = 0;
  while (!(mask & 1)) {
    mask >>= 1;
    pixel >>= 1;
    ++shift;
  }
  return std::uint32_t((pixel & mask) * 255 / mask);
}

}  // namespace

TXClient::TXClient(const std::string& display) : display_(XOpenDisplay(display.c_str())) {}

TXClient::~TXClient() {
  if (display_) XCloseDisplay(display_);
}

int TXClient::ScreenWidth() const { return DisplayWidth(display_, DefaultScreen(display_)); }
int TXClient::ScreenHeight() const { return DisplayHeight(display_, DefaultScreen(display_)); }

std::optional<TWindowPlace> TXClient::FindWindow(const std::string& title) {
  ::Window root = DefaultRootWindow(display_), parent = 0, *children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(display_, root, &root, &parent, &children, &count)) return std::nullopt;
  std::optional<TWindowPlace> found;
  for (unsigned i = 0; i < count && !found; ++i) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display_, children[i], &attributes) || attributes.map_state != IsViewable) continue;
    if (TitleOf(display_, children[i]) != title) continue;
    ::Window child = 0;
    TWindowPlace place{children[i], 0, 0, attributes.width, attributes.height};
    XTranslateCoordinates(display_, children[i], root, 0, 0, &place.X, &place.Y, &child);
    found = place;
  }
  if (children) XFree(children);
  return found;
}

std::optional<TWindowPlace> TXClient::WaitForWindow(const std::string& title, std::chrono::milliseconds timeout) {
  auto deadline = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < deadline) {
    if (auto window = FindWindow(title)) {
      Pause();  // let the program paint and take input
      return window;
    }
    Pause();
  }
  return std::nullopt;
}

bool TXClient::WaitUntilGone(const std::string& title, std::chrono::milliseconds timeout) {
  auto deadline = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < deadline) {
    if (!FindWindow(title)) return true;
    Pause();
  }
  return false;
}

void TXClient::Click(const TWindowPlace& window, int x, int y) {
  XTestFakeMotionEvent(display_, DefaultScreen(display_), window.X + x, window.Y + y, 0);
  XTestFakeButtonEvent(display_, 1, True, 0);
  XTestFakeButtonEvent(display_, 1, False, 0);
  XSync(display_, False);
  Pause();
}

void TXClient::PressKey(unsigned long keysym) {
  KeyCode code = XKeysymToKeycode(display_, keysym);
  XTestFakeKeyEvent(display_, code, True, 0);
  XTestFakeKeyEvent(display_, code, False, 0);
  XSync(display_, False);
  Pause();
}

void TXClient::Close(const TWindowPlace& window) {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window.Id;
  event.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = long(XInternAtom(display_, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display_, window.Id, False, NoEventMask, &event);
  XSync(display_, False);
  Pause();
}

TWindowImage TXClient::Capture(const TWindowPlace& window) {
  TWindowImage image;
  XImage* shot = XGetImage(display_, window.Id, 0, 0, unsigned(window.Width), unsigned(window.Height), AllPlanes, ZPixmap);
  if (!shot) return image;
  image.Width = window.Width;
  image.Height = window.Height;
  image.Pixels.reserve(std::size_t(window.Width) * std::size_t(window.Height));
  for (int y = 0; y < window.Height; ++y)
    for (int x = 0; x < window.Width; ++x) {
      const unsigned long pixel = XGetPixel(shot, x, y);
      image.Pixels.push_back(Channel(pixel, shot->red_mask) << 16 | Channel(pixel, shot->green_mask) << 8 |
                             Channel(pixel, shot->blue_mask));
    }
  XDestroyImage(shot);
  return image;
}

}  // namespace orb::test
