// libFuzzer target: arbitrary bytes decoded as a .jpg file must either give
// a picture or fail with EPictureError; anything else is a bug.
#include <cstddef>
#include <cstdint>
#include <span>

#include "pictures/PictureError.h"
#include "pictures/PictureFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    orb::DecodePicture(std::span(data, size), "jpg");
  } catch (const orb::EPictureError&) {
  }
  return 0;
}
