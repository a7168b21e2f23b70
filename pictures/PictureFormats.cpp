#include "pictures/PictureFormats.h"

namespace orb {
namespace {

// One row per registered extension; several extensions of one family share a decoder.
constexpr TPictureFormat kPictureFormats[] = {
    {"", nullptr},
};

}  // namespace

std::span<const TPictureFormat> PictureFormats() {
  return std::span(kPictureFormats).subspan(1);
}

}  // namespace orb
