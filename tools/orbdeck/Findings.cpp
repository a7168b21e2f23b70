#include "tools/orbdeck/Findings.h"

#include <algorithm>
#include <cstdio>

#include "text/TextBytes.h"
#include "text/TextCompare.h"

namespace orb {
namespace {

// The edit distance of two texts, letter case ignored, where swapping two
// neighbours is one edit.
std::size_t Distance(std::string_view a, std::string_view b) {
  const std::size_t width = b.size() + 1;
  std::vector<std::size_t> d((a.size() + 1) * width);
  auto at = [&](std::size_t i, std::size_t j) -> std::size_t& { return d[i * width + j]; };
  auto same = [&](std::size_t i, std::size_t j) { return AsciiLower(a[i]) == AsciiLower(b[j]); };
  for (std::size_t i = 0; i <= a.size(); ++i) at(i, 0) = i;
  for (std::size_t j = 0; j <= b.size(); ++j) at(0, j) = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    for (std::size_t j = 1; j <= b.size(); ++j) {
      at(i, j) = std::min({at(i - 1, j) + 1, at(i, j - 1) + 1, at(i - 1, j - 1) + (same(i - 1, j - 1) ? 0 : 1)});
      if (i > 1 && j > 1 && same(i - 1, j - 2) && same(i - 2, j - 1)) at(i, j) = std::min(at(i, j), at(i - 2, j - 2) + 1);
    }
  }
  return at(a.size(), b.size());
}

bool ContainsIgnoringCase(std::string_view text, std::string_view part) {
  return std::search(text.begin(), text.end(), part.begin(), part.end(),
                     [](char x, char y) { return AsciiLower(x) == AsciiLower(y); }) != text.end();
}

// A misspelling, or a name that lacks a word of the right one.
bool Near(std::string_view text, std::string_view candidate) {
  if (Distance(text, candidate) <= std::max<std::size_t>(1, text.size() / 3)) return true;
  std::string_view shorter = text.size() < candidate.size() ? text : candidate;
  std::string_view longer = text.size() < candidate.size() ? candidate : text;
  return shorter.size() >= 4 && ContainsIgnoringCase(longer, shorter);
}

}  // namespace

std::size_t TFindings::Count(TSeverity severity) const {
  return std::size_t(std::count_if(findings_.begin(), findings_.end(),
                                   [&](const TFinding& finding) { return finding.Severity == severity; }));
}

std::string Quoted(std::string_view text) {
  std::string quoted = "\"";
  for (char c : TextAsUtf8(text)) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
      char escape[5];
      std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<unsigned char>(c));
      quoted += escape;
    } else {
      quoted += c;
    }
  }
  return quoted + '"';
}

std::string DidYouMean(std::string_view text, const std::vector<std::string>& candidates) {
  const std::string* nearest = nullptr;
  std::size_t best = 0;
  for (const std::string& candidate : candidates) {
    std::size_t distance = Distance(text, candidate);
    if (Near(text, candidate) && (!nearest || distance < best)) {
      nearest = &candidate;
      best = distance;
    }
  }
  return nearest ? " (did you mean " + Quoted(*nearest) + "?)" : "";
}

}  // namespace orb
