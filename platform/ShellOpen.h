#pragma once
// The shell's "open": opens a file, folder, document or address the way the
// desktop would. Never through a command shell. On Linux an executable
// regular file is started directly and detached; anything else goes to the
// desktop opener with the target as its one argument. Nothing is reported:
// a target that does not exist simply opens nothing.

#include <string>

namespace orb {

void ShellOpen(const std::string& target);

// The seam through which tests record what would be opened.
class IShellOpener {
 public:
  virtual ~IShellOpener() = default;
  virtual void Open(const std::string& target) = 0;
};

// Replaces the system opener; nullptr restores it.
void SetShellOpener(IShellOpener* opener);

}  // namespace orb
