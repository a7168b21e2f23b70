#include "tests/e2e/Process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <thread>

namespace orb::test {

pid_t StartProcess(const std::string& program, const std::vector<std::string>& arguments,
                   const std::vector<TEnvironmentChange>& environment, int keepOpenFd,
                   const std::string& outputFile) {
  pid_t pid = ::fork();
  if (pid != 0) return pid;
  if (!outputFile.empty()) {
    int out = ::open(outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ::dup2(out, STDOUT_FILENO);
    ::dup2(out, STDERR_FILENO);
  }
  for (const TEnvironmentChange& change : environment) {
    if (change.Value)
      ::setenv(change.Name.c_str(), change.Value->c_str(), 1);
    else
      ::unsetenv(change.Name.c_str());
  }
  // Close inherited descriptors but the standard ones and the one asked for.
  for (int fd = 3; fd < 256; ++fd)
    if (fd != keepOpenFd) ::close(fd);
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  ::execvp(program.c_str(), argv.data());
  ::_exit(127);
}

std::optional<int> WaitForExit(pid_t pid, std::chrono::milliseconds timeout) {
  auto deadline = std::chrono::steady_clock::now() + timeout;
  int status = 0;
  while (std::chrono::steady_clock::now() < deadline) {
    pid_t done = ::waitpid(pid, &status, WNOHANG);
    if (done == pid) return WIFEXITED(status) ? std::optional<int>(WEXITSTATUS(status)) : std::nullopt;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ::kill(pid, SIGKILL);
  ::waitpid(pid, &status, 0);
  return std::nullopt;
}

bool OnPath(const std::string& program) {
  std::stringstream path(std::getenv("PATH") ? std::getenv("PATH") : "");
  std::string dir;
  while (std::getline(path, dir, ':'))
    if (!dir.empty() && ::access((std::filesystem::path(dir) / program).c_str(), X_OK) == 0) return true;
  return false;
}

TXvfb::TXvfb() {
  if (!OnPath("Xvfb")) return;
  int fds[2];
  if (::pipe(fds) != 0) return;
  // Xvfb picks a free display itself and writes its number to the pipe.
  pid_ = StartProcess("Xvfb", {"-displayfd", std::to_string(fds[1]), "-nolisten", "tcp", "-screen", "0",
                               "1280x1024x24"},
                      {}, fds[1]);
  ::close(fds[1]);
  pollfd ready{fds[0], POLLIN, 0};
  std::string number;
  while (::poll(&ready, 1, 10000) > 0) {
    char c;
    if (::read(fds[0], &c, 1) != 1 || c == '\n') break;
    number += c;
  }
  ::close(fds[0]);
  if (!number.empty()) display_ = ":" + number;
}

TXvfb::~TXvfb() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGTERM);
  WaitForExit(pid_, std::chrono::seconds(5));
}

}  // namespace orb::test
