#include "pictures/IcoDecoder.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "pictures/BmpDecoder.h"
#include "pictures/ByteReader.h"
#include "pictures/PictureError.h"
#include "pictures/PictureFile.h"

namespace orb {
namespace {

constexpr const char* kFormat = "ICO";
constexpr std::array<std::uint8_t, 8> kPngSignature{0x89, 'P', 'N', 'G', 0x0d, 0x0a, 0x1a, 0x0a};

struct TIconImage {
  std::span<const std::uint8_t> Bytes;
  bool Png = false;
  std::int64_t Pixels = 0;  // width * height, from the image's own header
  int Depth = 0;            // bits per pixel, from the image's own header
};

// Reads the size and depth from the image itself: the directory's bytes for
// them are often wrong (0 means 256, and the depth is frequently left 0).
TIconImage Describe(std::span<const std::uint8_t> bytes) {
  TIconImage image{bytes};
  TByteReader in(bytes, kFormat);
  image.Png = bytes.size() >= kPngSignature.size() && std::ranges::equal(bytes.first(8), kPngSignature);
  if (image.Png) {
    in.Seek(16);
    // PNG dimensions stop below 2^31, so their product fits.
    std::int64_t width = std::min<std::int64_t>(in.U32BE(), INT32_MAX);
    std::int64_t height = std::min<std::int64_t>(in.U32BE(), INT32_MAX);
    int bitDepth = in.U8();
    int colourType = in.U8();
    constexpr std::array<int, 7> kChannels{1, 0, 3, 1, 2, 0, 4};
    image.Pixels = width * height;
    image.Depth = bitDepth * (colourType < 7 ? kChannels[std::size_t(colourType)] : 0);
  } else {
    in.Skip(4);
    std::int64_t width = in.I32LE();
    std::int64_t height = in.I32LE() / 2;
    in.Skip(2);
    image.Pixels = width * height;
    image.Depth = in.U16LE();
  }
  return image;
}

TBitmap DecodeImage(const TIconImage& image) {
  if (image.Png) {
    if (!IsPictureExtension("png")) throw EPictureError("ICO: PNG images not supported");
    return DecodePicture(image.Bytes, "png");
  }
  try {
    return TBmpDecoder::DecodeIconImage(image.Bytes);
  } catch (const EPictureError& error) {
    // The bitmap decoder names its own format; the file is an icon.
    std::string_view what = error.what();
    if (what.starts_with("BMP: ")) what.remove_prefix(5);
    throw EPictureError(std::string(kFormat) + ": " + std::string(what));
  }
}

}  // namespace

TBitmap TIcoDecoder::Decode(std::span<const std::uint8_t> bytes) {
  TByteReader in(bytes, kFormat);
  std::uint16_t reserved = in.U16LE();
  std::uint16_t type = in.U16LE();
  std::uint16_t count = in.U16LE();
  if (reserved != 0 || (type != 1 && type != 2)) in.Fail("not an icon file");
  if (count == 0) in.Fail("no images");
  TIconImage best;
  bool found = false;
  for (int i = 0; i < count; ++i) {
    in.Skip(8);  // width, height, colours, reserved, planes, bit count
    std::uint32_t size = in.U32LE();
    std::uint32_t offset = in.U32LE();
    if (offset >= bytes.size()) continue;
    // A size running past the end is trimmed; a short image then fails when
    // decoded. An entry whose header cannot be read is passed over.
    TIconImage image;
    try {
      image = Describe(bytes.subspan(offset, std::min<std::size_t>(size, bytes.size() - offset)));
    } catch (const EPictureError&) {
      continue;
    }
    if (!found || image.Pixels > best.Pixels || (image.Pixels == best.Pixels && image.Depth > best.Depth)) {
      best = image;
      found = true;
    }
  }
  if (!found) in.Fail("no readable image");
  return DecodeImage(best);
}

}  // namespace orb
