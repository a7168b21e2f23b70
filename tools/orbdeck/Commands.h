// The command groups of orbdeck. Each group takes the arguments after its
// name and returns the exit code; failures are exceptions.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace orb {

// The arguments do not fit the command: orbdeck prints the usage and exits
// with 2, after the message if there is one.
class EUsage : public std::runtime_error {
 public:
  explicit EUsage(const std::string& message = {}) : std::runtime_error(message) {}
};

using TArguments = std::vector<std::string>;

// orbdeck data export FILE | data import --fields FIELDS.json IN.json OUT.xml
int RunDataCommand(const TArguments& arguments);

// orbdeck picture IN OUT.png
int RunPictureCommand(const TArguments& arguments);

// orbdeck trailer read FILE | trailer write FILE TEXT
int RunTrailerCommand(const TArguments& arguments);

// orbdeck check MEDIUM [--program NAME] [--json]
int RunCheckCommand(const TArguments& arguments);

// orbdeck new TEMPLATE FOLDER [--setup PATH]
int RunNewCommand(const TArguments& arguments);

}  // namespace orb
