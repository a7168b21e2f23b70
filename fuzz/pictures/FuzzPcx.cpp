// Feeds arbitrary bytes to the decoder of .pcx files: it must fail cleanly or decode.
#include <cstddef>
#include <cstdint>
#include <span>

#include "pictures/PictureError.h"
#include "pictures/PictureFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    orb::DecodePicture(std::span(data, size), "pcx");
  } catch (const orb::EPictureError&) {
  }
  return 0;
}
