#include "bench/host/FirstFrame.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>

extern char** environ;

namespace orb::bench {
namespace {

using TClock = std::chrono::steady_clock;

int Spawn(const std::string& program, const std::vector<std::string>& arguments) {
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  pid_t pid = -1;
  return posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) == 0 ? pid : -1;
}

}  // namespace

TOwnDisplay::TOwnDisplay() {
  int fds[2];
  if (pipe(fds) != 0) return;
  pid_ = Spawn("/usr/bin/Xvfb", {"-displayfd", std::to_string(fds[1]), "-nolisten", "tcp", "-screen", "0", "1920x1080x24"});
  close(fds[1]);
  pollfd ready{fds[0], POLLIN, 0};
  std::string number;
  char c;
  while (poll(&ready, 1, 10000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n') number += c;
  close(fds[0]);
  if (!number.empty()) name_ = ":" + number;
}

TOwnDisplay::~TOwnDisplay() {
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  waitpid(pid_, nullptr, 0);
}

namespace {

// One start: the seconds to the first frame, kMissed when the window was
// viewable before its damage was watched, or -1 when no frame came.
constexpr double kMissed = -2;

double OneStart(const std::string& display, const std::string& program, const std::vector<std::string>& arguments) {
  Display* x = XOpenDisplay(display.c_str());
  if (!x) return -1;
  int damageEvent = 0, damageError = 0;
  if (!XDamageQueryExtension(x, &damageEvent, &damageError)) {
    XCloseDisplay(x);
    return -1;
  }
  XSelectInput(x, DefaultRootWindow(x), SubstructureNotifyMask);
  XSync(x, False);
  setenv("DISPLAY", display.c_str(), 1);
  unsetenv("QT_QPA_PLATFORM");

  const TClock::time_point start = TClock::now();
  const int pid = Spawn(program, arguments);
  double seconds = -1;
  std::vector<Damage> damages;
  // A window may be gone before it is watched or asked about.
  XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
  while (pid > 0 && seconds == -1 && TClock::now() - start < std::chrono::seconds(30)) {
    if (!XPending(x)) {
      pollfd ready{ConnectionNumber(x), POLLIN, 0};
      poll(&ready, 1, 100);
      continue;
    }
    XEvent event;
    XNextEvent(x, &event);
    // Every new top-level window is watched from its creation on; one that
    // was shown already when the watch began makes the start a miss.
    if (event.type == CreateNotify && event.xcreatewindow.parent == DefaultRootWindow(x)) {
      damages.push_back(XDamageCreate(x, event.xcreatewindow.window, XDamageReportNonEmpty));
      // The round trip orders the question after the watch: a window not
      // yet viewable has painted nothing.
      XWindowAttributes attributes;
      if (XGetWindowAttributes(x, event.xcreatewindow.window, &attributes) && attributes.map_state == IsViewable)
        seconds = kMissed;
    } else if (event.type == damageEvent + XDamageNotify)
      seconds = std::chrono::duration<double>(TClock::now() - start).count();
  }
  if (pid > 0) {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
  }
  for (Damage damage : damages) XDamageDestroy(x, damage);
  XSync(x, False);
  XSetErrorHandler(nullptr);
  XCloseDisplay(x);
  return seconds;
}

}  // namespace

double SecondsToFirstFrame(const std::string& display, const std::string& program,
                           const std::vector<std::string>& arguments) {
  double seconds = kMissed;
  for (int attempt = 0; attempt < 5 && seconds == kMissed; ++attempt) seconds = OneStart(display, program, arguments);
  return seconds == kMissed ? -1 : seconds;
}

}  // namespace orb::bench
