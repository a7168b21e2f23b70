// orbdeck check MEDIUM [--program NAME] [--json]: everything on a medium
// that the host would get wrong without a word, one finding a line
// ("error: WHERE: WHAT" or "warning: WHERE: WHAT") and then a summary, or
// the findings as a JSON array. Exit code 1 when there is an error.
#include <iostream>

#include <nlohmann/json.hpp>

#include "tools/orbdeck/Commands.h"
#include "tools/orbdeck/MediumCheck.h"
#include "tools/orbdeck/OffscreenQt.h"

namespace orb {
namespace {

const char* SeverityName(TSeverity severity) { return severity == TSeverity::Error ? "error" : "warning"; }

std::string Counted(std::size_t count, const std::string& noun) {
  return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

void PrintText(const TFindings& findings, const std::string& medium) {
  for (const TFinding& finding : findings.All())
    std::cout << SeverityName(finding.Severity) << ": " << finding.Where << ": " << finding.What << '\n';
  std::cout << medium << ": " << Counted(findings.Count(TSeverity::Error), "error") << ", "
            << Counted(findings.Count(TSeverity::Warning), "warning") << '\n';
}

void PrintJson(const TFindings& findings) {
  nlohmann::ordered_json array = nlohmann::ordered_json::array();
  for (const TFinding& finding : findings.All())
    array.push_back({{"severity", SeverityName(finding.Severity)}, {"where", finding.Where}, {"what", finding.What}});
  // Names in the project may hold bytes that are no UTF-8; JSON must be.
  std::cout << array.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
}

}  // namespace

int RunCheckCommand(const TArguments& arguments) {
  std::string medium;
  std::string program = "Setup";
  bool json = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    if (arguments[i] == "--json") {
      json = true;
    } else if (arguments[i] == "--program" && i + 1 < arguments.size()) {
      program = arguments[++i];
      // A program file in the medium's root, beside its project file.
      if (program.empty() || program.find_first_of("/\\") != std::string::npos) throw EUsage();
    } else if (arguments[i].starts_with("--") || !medium.empty()) {
      throw EUsage();
    } else {
      medium = arguments[i];
    }
  }
  if (medium.empty()) throw EUsage();

  TOffscreenQt qt;
  const TFindings findings = CheckMedium(medium, program);
  if (json)
    PrintJson(findings);
  else
    PrintText(findings, medium);
  if (!std::cout.flush()) return 1;
  return findings.Count(TSeverity::Error) > 0 ? 1 : 0;
}

}  // namespace orb
