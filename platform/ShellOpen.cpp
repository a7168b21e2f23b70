#include "platform/ShellOpen.h"

#include "platform/ShellOpenBackend.h"

namespace orb {
namespace {

IShellOpener* replacement = nullptr;

}  // namespace

void ShellOpen(const std::string& target) {
  if (replacement)
    replacement->Open(target);
  else
    SystemShellOpen(target);
}

void SetShellOpener(IShellOpener* opener) { replacement = opener; }

}  // namespace orb
