#include "pictures/PictureFormats.h"

#include "pictures/CutDecoder.h"
#include "pictures/PcdDecoder.h"
#include "pictures/PspDecoder.h"
#include "pictures/RlaDecoder.h"

namespace orb {
namespace {

// One row per registered extension; several extensions of one family share a decoder.
constexpr TPictureFormat kPictureFormats[] = {
    {"", nullptr},
    {"pcd", [](const TPictureInput& in) { return TPcdDecoder::Decode(in.Bytes); }},
    {"cut", [](const TPictureInput& in) { return TCutDecoder::Decode(in.Bytes, in.Path); }},
    {"psp", [](const TPictureInput& in) { return TPspDecoder::Decode(in.Bytes); }},
    {"rla", [](const TPictureInput& in) { return TRlaDecoder::Decode(in.Bytes); }},
    {"rpf", [](const TPictureInput& in) { return TRlaDecoder::Decode(in.Bytes); }},
};

}  // namespace

std::span<const TPictureFormat> PictureFormats() {
  return std::span(kPictureFormats).subspan(1);
}

}  // namespace orb
