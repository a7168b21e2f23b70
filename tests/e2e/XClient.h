#pragma once
// What the end-to-end tests do on the X display as a user would: find a
// window by its title, click into it, press a key, close it.

#include <X11/Xlib.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orb::test {

struct TWindowPlace {
  ::Window Id = 0;
  int X = 0, Y = 0, Width = 0, Height = 0;  // in screen coordinates
};

// What a window showed, pixel by pixel, each as 0xRRGGBB.
struct TWindowImage {
  int Width = 0, Height = 0;
  std::vector<std::uint32_t> Pixels;
  std::uint32_t At(int x, int y) const { return Pixels[std::size_t(y) * std::size_t(Width) + std::size_t(x)]; }
};

class TXClient {
 public:
  explicit TXClient(const std::string& display);
  ~TXClient();
  TXClient(const TXClient&) = delete;
  TXClient& operator=(const TXClient&) = delete;

  bool Open() const { return display_ != nullptr; }
  int ScreenWidth() const;
  int ScreenHeight() const;

  // The first mapped top-level window with exactly that title, once it shows.
  std::optional<TWindowPlace> WaitForWindow(const std::string& title, std::chrono::milliseconds timeout);
  // Whether no mapped top-level window has that title any more, once it goes.
  bool WaitUntilGone(const std::string& title, std::chrono::milliseconds timeout);

  // A left click at a point of the window, in its own coordinates.
  void Click(const TWindowPlace& window, int x, int y);
  // Presses and releases a key (an X key symbol such as XK_Down).
  void PressKey(unsigned long keysym);
  // Asks the window to close, as its close box would.
  void Close(const TWindowPlace& window);
  // What the window shows now.
  TWindowImage Capture(const TWindowPlace& window);

 private:
  std::optional<TWindowPlace> FindWindow(const std::string& title);

  Display* display_;
};

}  // namespace orb::test
