#include "pictures/PictureFormats.h"

#include "pictures/BmpDecoder.h"
#include "pictures/IcoDecoder.h"
#include "pictures/PcxDecoder.h"
#include "pictures/TgaDecoder.h"

namespace orb {
namespace {

// One row per registered extension; several extensions of one family share a decoder.
constexpr TPictureFormat kPictureFormats[] = {
    {"", nullptr},
    {"bmp", [](const TPictureInput& in) { return TBmpDecoder::Decode(in.Bytes); }},
    {"dib", [](const TPictureInput& in) { return TBmpDecoder::Decode(in.Bytes); }},
    {"rle", [](const TPictureInput& in) { return TBmpDecoder::Decode(in.Bytes); }},
    {"ico", [](const TPictureInput& in) { return TIcoDecoder::Decode(in.Bytes); }},
    {"tga", [](const TPictureInput& in) { return TTgaDecoder::Decode(in.Bytes); }},
    {"win", [](const TPictureInput& in) { return TTgaDecoder::Decode(in.Bytes); }},
    {"vst", [](const TPictureInput& in) { return TTgaDecoder::Decode(in.Bytes); }},
    {"vda", [](const TPictureInput& in) { return TTgaDecoder::Decode(in.Bytes); }},
    {"icb", [](const TPictureInput& in) { return TTgaDecoder::Decode(in.Bytes); }},
    {"pcx", [](const TPictureInput& in) { return TPcxDecoder::Decode(in.Bytes); }},
    {"pcc", [](const TPictureInput& in) { return TPcxDecoder::Decode(in.Bytes); }},
    {"scr", [](const TPictureInput& in) { return TPcxDecoder::Decode(in.Bytes); }},
};

}  // namespace

std::span<const TPictureFormat> PictureFormats() {
  return std::span(kPictureFormats).subspan(1);
}

}  // namespace orb
