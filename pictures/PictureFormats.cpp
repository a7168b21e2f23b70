#include "pictures/PictureFormats.h"

#include "pictures/CutDecoder.h"
#include "pictures/PcdDecoder.h"
#include "pictures/PspDecoder.h"
#include "pictures/RlaDecoder.h"
#include "pictures/CelDecoder.h"
#include "pictures/PnmDecoder.h"
#include "pictures/PsdDecoder.h"
#include "pictures/SgiDecoder.h"
#include "pictures/BmpDecoder.h"
#include "pictures/IcoDecoder.h"
#include "pictures/PcxDecoder.h"
#include "pictures/TgaDecoder.h"
#include "pictures/EpsDecoder.h"
#include "pictures/FaxDecoder.h"
#include "pictures/JpegDecoder.h"
#include "pictures/PngDecoder.h"
#include "pictures/TiffDecoder.h"
#include "pictures/EmfDecoder.h"
#include "pictures/WmfDecoder.h"

namespace orb {
namespace {

// One row per registered extension; several extensions of one family share a decoder.
constexpr TPictureFormat kPictureFormats[] = {
    {"pcd", [](const TPictureInput& in) { return TPcdDecoder::Decode(in.Bytes); }},
    {"cut", [](const TPictureInput& in) { return TCutDecoder::Decode(in.Bytes, in.Path); }},
    {"psp", [](const TPictureInput& in) { return TPspDecoder::Decode(in.Bytes); }},
    {"rla", [](const TPictureInput& in) { return TRlaDecoder::Decode(in.Bytes); }},
    {"rpf", [](const TPictureInput& in) { return TRlaDecoder::Decode(in.Bytes); }},
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
    {"jpg", [](const TPictureInput& in) { return TJpegDecoder::Decode(in.Bytes); }},
    {"jpeg", [](const TPictureInput& in) { return TJpegDecoder::Decode(in.Bytes); }},
    {"jpe", [](const TPictureInput& in) { return TJpegDecoder::Decode(in.Bytes); }},
    {"jfif", [](const TPictureInput& in) { return TJpegDecoder::Decode(in.Bytes); }},
    {"png", [](const TPictureInput& in) { return TPngDecoder::Decode(in.Bytes); }},
    {"tif", [](const TPictureInput& in) { return TTiffDecoder::Decode(in.Bytes); }},
    {"tiff", [](const TPictureInput& in) { return TTiffDecoder::Decode(in.Bytes); }},
    {"fax", [](const TPictureInput& in) { return TFaxDecoder::Decode(in.Bytes); }},
    {"eps", [](const TPictureInput& in) { return TEpsDecoder::Decode(in.Bytes); }},
    {"wmf", [](const TPictureInput& in) { return TWmfDecoder::Decode(in.Bytes); }},
    {"emf", [](const TPictureInput& in) { return TEmfDecoder::Decode(in.Bytes); }},
};

}  // namespace

std::span<const TPictureFormat> PictureFormats() {
  return kPictureFormats;
}

}  // namespace orb
