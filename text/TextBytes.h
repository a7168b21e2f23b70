// Text is kept as bytes. Bytes that form valid UTF-8 are UTF-8 text; any
// other bytes are single-byte text of the Windows-1252 code page, the code
// page of media written on Windows.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace orb {

// One character of UTF-8 text: its code point and the bytes it takes.
struct TCodePoint {
  char32_t Value = 0;
  std::size_t Length = 0;  // 0 where the bytes are no valid UTF-8 sequence
};

// The character whose UTF-8 sequence starts at `at` (< text.size()).
// Overlong forms, surrogates and code points above U+10FFFF are not valid.
TCodePoint Utf8CodePointAt(std::string_view text, std::size_t at);

bool IsValidUtf8(std::string_view text);

// The text cut to at most `size` characters: code points for valid UTF-8
// (never splitting one), bytes otherwise.
std::string_view CutToCharacters(std::string_view text, std::size_t size);

// Windows-1252 text as UTF-8.
std::string Windows1252ToUtf8(std::string_view text);

// The text as UTF-8: unchanged when it is valid UTF-8, else read as Windows-1252.
std::string TextAsUtf8(std::string_view text);

}  // namespace orb
