#include "pictures/CelDecoder.h"

#include <algorithm>
#include <array>

#include "pictures/ByteReader.h"
#include "pictures/PictureLimits.h"

namespace orb {
namespace {

constexpr const char* kFormat = "CEL";
constexpr std::uint16_t kMagic = 0x9119;
constexpr std::size_t kHeaderSize = 32;
constexpr std::size_t kPaletteSize = 768;

// The header, all fields little-endian: magic, width, height, x and y
// offset, bits per pixel, compression, image size in bytes, 16 reserved bytes.
struct TCelHeader {
  int Width = 0;
  int Height = 0;
  std::uint32_t ImageSize = 0;
};

TCelHeader ReadHeader(TByteReader& in) {
  if (in.Size() < 2 || in.U16LE() != kMagic) in.Fail("not an Animator cel or picture");
  TCelHeader header;
  header.Width = in.U16LE();
  header.Height = in.U16LE();
  in.Skip(4);  // position on the screen
  if (in.U8() != 8) in.Fail("bad bits per pixel");
  if (in.U8() != 0) in.Fail("unsupported compression");
  header.ImageSize = in.U32LE();
  in.Seek(kHeaderSize);
  return header;
}

// The palette's values run from 0 to 63 (the VGA's 6-bit DAC); they are
// scaled to 0..255 rounded. Larger values are out of range and show at full
// intensity.
std::array<std::uint8_t, kPaletteSize> ReadPalette(TByteReader& in) {
  std::array<std::uint8_t, kPaletteSize> palette{};
  std::span<const std::uint8_t> stored = in.Bytes(kPaletteSize);
  for (std::size_t i = 0; i < kPaletteSize; ++i) {
    unsigned value = std::min<unsigned>(stored[i], 63);
    palette[i] = std::uint8_t((value * 255 + 31) / 63);
  }
  return palette;
}

}  // namespace

TBitmap TCelDecoder::Decode(std::span<const std::uint8_t> bytes) {
  TByteReader in(bytes, kFormat);
  TCelHeader header = ReadHeader(in);
  std::uint64_t pixels = std::uint64_t(header.Width) * std::uint64_t(header.Height);
  if (header.ImageSize < pixels) in.Fail("bad image size");
  if (kPaletteSize + pixels > in.Remaining()) in.Fail("unexpected end of file");
  std::array<std::uint8_t, kPaletteSize> palette = ReadPalette(in);
  TBitmap bitmap = AllocateBitmap(kFormat, header.Width, header.Height);
  std::span<const std::uint8_t> indices = in.Bytes(std::size_t(pixels));
  std::uint8_t* out = bitmap.Pixels.data();
  for (std::uint8_t index : indices) {
    const std::uint8_t* colour = palette.data() + std::size_t(index) * 3;
    out[0] = colour[0];
    out[1] = colour[1];
    out[2] = colour[2];
    out[3] = 255;
    out += 4;
  }
  return bitmap;
}

}  // namespace orb
