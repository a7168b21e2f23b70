#pragma once
// Comparison of names without regard to case. Menu, component and field
// names fold only ASCII letters, so the result never depends on the locale;
// file names fold as Windows folds them.

#include <algorithm>
#include <string_view>

namespace orb {

constexpr char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

// Names of menus, components, fields and picture extensions.
constexpr bool SameText(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

// Names of files and folders, each read as text is (UTF-8 when valid, else
// Windows-1252). Besides ASCII, the letters of Latin-1, Latin Extended-A,
// Greek and Cyrillic fold as Unicode's simple case folding folds them;
// other characters must be equal.
bool SameFileName(std::string_view a, std::string_view b);

}  // namespace orb
