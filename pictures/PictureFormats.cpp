#include "pictures/PictureFormats.h"

#include "pictures/EpsDecoder.h"
#include "pictures/FaxDecoder.h"
#include "pictures/JpegDecoder.h"
#include "pictures/PngDecoder.h"
#include "pictures/TiffDecoder.h"

namespace orb {
namespace {

// One row per registered extension; several extensions of one family share a decoder.
constexpr TPictureFormat kPictureFormats[] = {
    {"", nullptr},
    {"jpg", [](const TPictureInput& in) { return TJpegDecoder::Decode(in.Bytes); }},
    {"jpeg", [](const TPictureInput& in) { return TJpegDecoder::Decode(in.Bytes); }},
    {"jpe", [](const TPictureInput& in) { return TJpegDecoder::Decode(in.Bytes); }},
    {"jfif", [](const TPictureInput& in) { return TJpegDecoder::Decode(in.Bytes); }},
    {"png", [](const TPictureInput& in) { return TPngDecoder::Decode(in.Bytes); }},
    {"tif", [](const TPictureInput& in) { return TTiffDecoder::Decode(in.Bytes); }},
    {"tiff", [](const TPictureInput& in) { return TTiffDecoder::Decode(in.Bytes); }},
    {"fax", [](const TPictureInput& in) { return TFaxDecoder::Decode(in.Bytes); }},
    {"eps", [](const TPictureInput& in) { return TEpsDecoder::Decode(in.Bytes); }},
};

}  // namespace

std::span<const TPictureFormat> PictureFormats() {
  return std::span(kPictureFormats).subspan(1);
}

}  // namespace orb
