#include "text/TextConvert.h"

#include <charconv>
#include <string>

#include "text/TextCompare.h"

namespace orb {
namespace {

int DigitValue(char c, int base) {
  int value = -1;
  if (c >= '0' && c <= '9')
    value = c - '0';
  else if (c >= 'a' && c <= 'f')
    value = c - 'a' + 10;
  else if (c >= 'A' && c <= 'F')
    value = c - 'A' + 10;
  return value < base ? value : -1;
}

}  // namespace

std::int32_t StrToInt(std::string_view text) {
  auto fail = [&]() -> std::int32_t {
    throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
  };
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int base = 10;
  if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
    base = 16;
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i == text.size()) return fail();

  // Decimal allows magnitudes up to 2^31 (for the negative end), hexadecimal
  // up to 2^32 - 1, which then stands for its 32-bit pattern.
  const std::uint64_t limit = base == 16 ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
  std::uint64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    int digit = DigitValue(text[i], base);
    if (digit < 0) return fail();
    magnitude = magnitude * std::uint64_t(base) + std::uint64_t(digit);
    if (magnitude > limit) return fail();
  }
  auto bits = static_cast<std::uint32_t>(magnitude);
  if (negative) bits = 0u - bits;
  return static_cast<std::int32_t>(bits);
}

bool StrToBool(std::string_view text) {
  try {
    return StrToInt(text) != 0;
  } catch (const EConvertError&) {
  }
  std::string_view trimmed = text.substr(std::min(text.find_first_not_of(' '), text.size()));
  trimmed = trimmed.substr(0, trimmed.find_last_not_of(' ') + 1);
  double number = 0;
  auto [end, error] = std::from_chars(trimmed.data(), trimmed.data() + trimmed.size(), number);
  if (error == std::errc() && end == trimmed.data() + trimmed.size() && !trimmed.empty()) return number != 0;
  if (SameText(text, "True")) return true;
  if (SameText(text, "False")) return false;
  throw EConvertError("'" + std::string(text) + "' is not a valid boolean value");
}

}  // namespace orb
