// Window messages on Windows: RegisterWindowMessageW and PostMessageW.

#include <windows.h>

#include <QString>

#include "platform/WindowMessageBackend.h"

namespace orb {

TWindowMessage SystemRegisterWindowMessage(const std::string& name) {
  std::wstring wide = QString::fromStdString(name).toStdWString();
  return TWindowMessage(::RegisterWindowMessageW(wide.c_str()));
}

void SystemPostWindowMessage(TWindowHandle window, TWindowMessage message) {
  if (message == 0) return;
  // Handles are 32-bit values even in 64-bit processes; extend them as Windows does.
  HWND handle = reinterpret_cast<HWND>(static_cast<INT_PTR>(static_cast<std::int32_t>(window)));
  ::PostMessageW(handle, message, 0, 0);
}

}  // namespace orb
