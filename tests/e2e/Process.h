#pragma once
// Starting the built programs and Xvfb from the end-to-end tests.

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace orb::test {

struct TEnvironmentChange {
  std::string Name;
  std::optional<std::string> Value;  // nullopt removes the variable
};

// Starts a program with arguments and environment changes; returns its pid.
// With an output file, its standard output and error go there.
pid_t StartProcess(const std::string& program, const std::vector<std::string>& arguments,
                   const std::vector<TEnvironmentChange>& environment = {}, int keepOpenFd = -1,
                   const std::string& outputFile = {});

// Waits for the process; its exit code, or nullopt when it did not end in
// time (it is then killed) or ended by a signal.
std::optional<int> WaitForExit(pid_t pid, std::chrono::milliseconds timeout);

// Whether a program of that name is on PATH.
bool OnPath(const std::string& program);

// An Xvfb server on a free display number for the life of the object.
class TXvfb {
 public:
  TXvfb();
  ~TXvfb();
  bool Started() const { return !display_.empty(); }
  // ":<n>"
  const std::string& Display() const { return display_; }

 private:
  pid_t pid_ = -1;
  std::string display_;
};

}  // namespace orb::test
