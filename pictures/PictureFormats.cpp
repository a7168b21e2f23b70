#include "pictures/PictureFormats.h"

#include "pictures/CelDecoder.h"
#include "pictures/PnmDecoder.h"
#include "pictures/PsdDecoder.h"
#include "pictures/SgiDecoder.h"

namespace orb {
namespace {

// One row per registered extension; several extensions of one family share a decoder.
constexpr TPictureFormat kPictureFormats[] = {
    {"", nullptr},
    {"sgi", [](const TPictureInput& in) { return TSgiDecoder::Decode(in.Bytes); }},
    {"rgb", [](const TPictureInput& in) { return TSgiDecoder::Decode(in.Bytes); }},
    {"rgba", [](const TPictureInput& in) { return TSgiDecoder::Decode(in.Bytes); }},
    {"bw", [](const TPictureInput& in) { return TSgiDecoder::Decode(in.Bytes); }},
    {"psd", [](const TPictureInput& in) { return TPsdDecoder::Decode(in.Bytes); }},
    {"pdd", [](const TPictureInput& in) { return TPsdDecoder::Decode(in.Bytes); }},
    {"ppm", [](const TPictureInput& in) { return TPnmDecoder::Decode(in.Bytes); }},
    {"pgm", [](const TPictureInput& in) { return TPnmDecoder::Decode(in.Bytes); }},
    {"pbm", [](const TPictureInput& in) { return TPnmDecoder::Decode(in.Bytes); }},
    {"cel", [](const TPictureInput& in) { return TCelDecoder::Decode(in.Bytes); }},
    {"pic", [](const TPictureInput& in) { return TCelDecoder::Decode(in.Bytes); }},
};

}  // namespace

std::span<const TPictureFormat> PictureFormats() {
  return std::span(kPictureFormats).subspan(1);
}

}  // namespace orb
