// Whole-process time of Setup on a medium without a project file, against a
// minimal Qt program that creates its application object and exits. Both run
// on the display of the environment (offscreen when there is none).
#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

extern char** environ;

namespace {

namespace fs = std::filesystem;

void RunToEnd(benchmark::State& state, const std::string& program) {
  if (!std::getenv("DISPLAY")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  for (auto _ : state) {
    pid_t pid = 0;
    char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
    if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, environ) != 0) {
      state.SkipWithError("cannot start the program");
      return;
    }
    int status = 0;
    waitpid(pid, &status, 0);
  }
}

// A medium folder holding only Setup.
std::string MediumWithSetup() {
  static const std::string program = [] {
    fs::path medium = fs::temp_directory_path() / ("orb-bench-medium-" + std::to_string(getpid()));
    fs::create_directories(medium);
    fs::copy_file(ORB_SETUP_BINARY, medium / "Setup", fs::copy_options::overwrite_existing);
    return (medium / "Setup").string();
  }();
  return program;
}

void Startup_Ours(benchmark::State& state) { RunToEnd(state, MediumWithSetup()); }
void Startup_Peer(benchmark::State& state) { RunToEnd(state, ORB_MINIMAL_QT_APP); }

}  // namespace

BENCHMARK(Startup_Ours)->Name("StartupWithoutProject/ours")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Startup_Peer)->Name("StartupWithoutProject/qt-minimal")->Unit(benchmark::kMillisecond)->UseRealTime();
