#pragma once
// Conversions of text to numbers as the program's stored values and its
// command line write them.

#include <cstdint>
#include <stdexcept>
#include <string_view>

namespace orb {

// A text that is not a number of the kind asked for.
class EConvertError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A signed 32-bit integer: optional spaces and an optional sign, then decimal
// digits, or hexadecimal digits after "$", "x", "X", "0x" or "0X". Hexadecimal
// values take all 32 bits ("$FFFFFFFF" is -1). An empty text, any other
// character or a value outside 32 bits fails with
// "'<text>' is not a valid integer value".
std::int32_t StrToInt(std::string_view text);

// A truth value: a number (an integer as StrToInt reads it, or a decimal
// number) is true when it is not 0; otherwise "True" or "False" in any case.
// Anything else fails with "'<text>' is not a valid boolean value".
bool StrToBool(std::string_view text);

}  // namespace orb
