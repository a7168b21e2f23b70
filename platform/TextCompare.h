#pragma once
// Comparison of names without regard to case, as the program compares menu
// and component names. Only ASCII letters fold, so the result never depends
// on the locale.

#include <algorithm>
#include <string_view>

namespace orb {

constexpr char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

constexpr bool SameText(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

}  // namespace orb
