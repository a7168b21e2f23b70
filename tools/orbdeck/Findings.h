#pragma once
// What orbdeck check reports: each thing that the host would get wrong on a
// medium, as one finding that names where it is and what happens.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace orb {

enum class TSeverity { Error, Warning };

struct TFinding {
  TSeverity Severity;
  // The file, relative to the medium, then the element, record or slot.
  std::string Where;
  std::string What;
};

class TFindings {
 public:
  void Error(std::string where, std::string what) { Add(TSeverity::Error, std::move(where), std::move(what)); }
  void Warning(std::string where, std::string what) { Add(TSeverity::Warning, std::move(where), std::move(what)); }

  const std::vector<TFinding>& All() const { return findings_; }
  std::size_t Count(TSeverity severity) const;

 private:
  void Add(TSeverity severity, std::string where, std::string what) {
    findings_.push_back({severity, std::move(where), std::move(what)});
  }

  std::vector<TFinding> findings_;
};

// Text of the medium in double quotes, as UTF-8 (bytes that are no UTF-8
// read as Windows-1252), with control characters as \xNN so that a finding
// stays one line.
std::string Quoted(std::string_view text);

// " (did you mean "X"?)" for the candidate nearest to the text when one is
// near, ignoring letter case; empty otherwise.
std::string DidYouMean(std::string_view text, const std::vector<std::string>& candidates);

}  // namespace orb
