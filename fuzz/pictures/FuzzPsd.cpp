// Feeds arbitrary bytes to the Photoshop decoder: it must fail with EPictureError or
// decode, never crash, hang or allocate out of proportion.
#include <cstddef>
#include <cstdint>
#include <span>

#include "pictures/PictureError.h"
#include "pictures/PictureFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    orb::DecodePicture(std::span(data, size), "psd");
  } catch (const orb::EPictureError&) {
  }
  return 0;
}
