// Text is kept as bytes. Bytes that form valid UTF-8 are UTF-8 text; any
// other bytes are single-byte text of the Windows-1252 code page, the code
// page of media written on Windows.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace orb {

bool IsValidUtf8(std::string_view text);

// The text cut to at most `size` characters: code points for valid UTF-8
// (never splitting one), bytes otherwise.
std::string_view CutToCharacters(std::string_view text, std::size_t size);

// The text as UTF-8: unchanged when it is valid UTF-8, else read as Windows-1252.
std::string TextAsUtf8(std::string_view text);

}  // namespace orb
