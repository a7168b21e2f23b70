// Linux names the program's file in /proc; other systems leave it empty.

#include <filesystem>
#include <system_error>

#include "platform/ProgramFile.h"

namespace orb {

std::string RunningProgramFile() {
  std::error_code error;
  std::filesystem::path file = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string() : file.string();
}

}  // namespace orb
