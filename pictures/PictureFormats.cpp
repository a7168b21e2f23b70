#include "pictures/PictureFormats.h"

#include "pictures/EmfDecoder.h"
#include "pictures/WmfDecoder.h"

namespace orb {
namespace {

// One row per registered extension; several extensions of one family share a decoder.
constexpr TPictureFormat kPictureFormats[] = {
    {"", nullptr},
    {"wmf", [](const TPictureInput& in) { return TWmfDecoder::Decode(in.Bytes); }},
    {"emf", [](const TPictureInput& in) { return TEmfDecoder::Decode(in.Bytes); }},
};

}  // namespace

std::span<const TPictureFormat> PictureFormats() {
  return std::span(kPictureFormats).subspan(1);
}

}  // namespace orb
