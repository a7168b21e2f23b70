// The module file of the process, grown until the whole path fits.

#include <windows.h>

#include <QString>

#include <string>

#include "platform/ProgramFile.h"

namespace orb {

std::string RunningProgramFile() {
  std::wstring path(MAX_PATH, L'\0');
  while (true) {
    DWORD length = ::GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return QString::fromStdWString(path).toStdString();
    }
    path.resize(path.size() * 2);
  }
}

}  // namespace orb
