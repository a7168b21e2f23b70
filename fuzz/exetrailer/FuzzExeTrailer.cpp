// Any bytes as a program file: reading its trailer fails with a message, or
// gives bytes that stand right in front of the footer.
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>

#include "exetrailer/ExeModifier_.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  std::istringstream file(bytes);
  orb::TExeBuf payload;
  try {
    orb::ReadExeBuf(file, payload);
  } catch (const orb::EExeTrailerError&) {
    return 0;
  }
  std::string text;
  orb::ExeBufToStr(payload, text);
  if (size < 12 || !std::string_view(bytes).substr(0, size - 12).ends_with(text)) std::abort();
  return 0;
}
