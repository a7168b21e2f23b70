// "open" on Windows: the shell's own ShellExecuteW with the verb "open".

#include <windows.h>
#include <shellapi.h>

#include <QString>

#include "platform/ShellOpenBackend.h"

namespace orb {

void SystemShellOpen(const std::string& target) {
  std::wstring wide = QString::fromStdString(target).toStdWString();
  ::ShellExecuteW(nullptr, L"open", wide.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace orb
