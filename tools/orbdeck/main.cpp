// orbdeck: prepares and checks media without the studio. The first word names
// a command group; the group reads the rest.
#include <cstdio>
#include <exception>
#include <string_view>

#include "tools/orbdeck/Commands.h"

namespace {

struct TCommand {
  std::string_view Name;
  std::string_view Usage;  // one line per form, without the program name
  int (*Run)(const orb::TArguments&);
};

constexpr TCommand Commands[] = {
    {"data", "data export FILE\ndata import --fields FIELDS.json IN.json OUT.xml", orb::RunDataCommand},
    {"picture", "picture IN OUT.png", orb::RunPictureCommand},
    {"trailer", "trailer read FILE\ntrailer write FILE TEXT", orb::RunTrailerCommand},
    {"check", "check MEDIUM [--program NAME] [--json]", orb::RunCheckCommand},
    {"new", "new TEMPLATE FOLDER [--setup PATH]", orb::RunNewCommand},
};

void PrintUsage(std::FILE* out) {
  std::fputs("usage:\n", out);
  for (const TCommand& command : Commands) {
    std::string_view usage = command.Usage;
    while (!usage.empty()) {
      std::size_t end = usage.find('\n');
      std::string_view line = usage.substr(0, end);
      std::fprintf(out, "  orbdeck %.*s\n", static_cast<int>(line.size()), line.data());
      usage = end == std::string_view::npos ? std::string_view() : usage.substr(end + 1);
    }
  }
}

// Arguments that fit no command: the usage on standard error, exit code 2.
int WrongArguments() {
  PrintUsage(stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return WrongArguments();
  std::string_view name = argv[1];
  if (name == "--help" && argc == 2) {
    PrintUsage(stdout);
    return 0;
  }
  for (const TCommand& command : Commands) {
    if (command.Name != name) continue;
    try {
      return command.Run(orb::TArguments(argv + 2, argv + argc));
    } catch (const orb::EUsage& usage) {
      if (*usage.what()) std::fprintf(stderr, "%s\n", usage.what());
      return WrongArguments();
    } catch (const std::exception& error) {
      std::fprintf(stderr, "%s\n", error.what());
      return 1;
    }
  }
  return WrongArguments();
}
