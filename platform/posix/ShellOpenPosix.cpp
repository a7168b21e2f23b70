// "open" on Linux and other POSIX desktops.

#include <QProcess>
#include <QString>

#include <sys/stat.h>
#include <unistd.h>

#include "platform/ShellOpenBackend.h"

namespace orb {
namespace {

#ifdef __APPLE__
constexpr const char* kDesktopOpener = "open";
#else
constexpr const char* kDesktopOpener = "xdg-open";
#endif

bool IsExecutableRegularFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

}  // namespace

void SystemShellOpen(const std::string& target) {
  QString text = QString::fromStdString(target);
  // startDetached runs the program itself, never a shell, so no character of
  // the target is ever interpreted.
  if (IsExecutableRegularFile(target))
    QProcess::startDetached(text, {});
  else
    QProcess::startDetached(QString::fromLatin1(kDesktopOpener), {text});
}

}  // namespace orb
