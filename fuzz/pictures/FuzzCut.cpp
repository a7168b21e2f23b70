// Feeds arbitrary bytes to the Cut decoder: it must decode or fail with
// EPictureError, never crash, hang or run away with memory.
#include <cstddef>
#include <cstdint>
#include <span>

#include "pictures/PictureError.h"
#include "pictures/PictureFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    orb::DecodePicture(std::span(data, size), "cut");
  } catch (const orb::EPictureError&) {
  }
  return 0;
}
