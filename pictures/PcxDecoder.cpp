#include "pictures/PcxDecoder.h"

#include <array>
#include <cstring>
#include <vector>

#include "pictures/ByteReader.h"
#include "pictures/PictureLimits.h"

namespace orb {
namespace {

constexpr const char* kFormat = "PCX";
constexpr std::size_t kHeaderSize = 128;
// The 256-colour palette: a 0x0C marker and 768 bytes at the end of the file.
constexpr std::size_t kVgaPaletteSize = 769;
constexpr std::uint8_t kVgaPaletteMarker = 0x0c;
// Version 3 files carry no palette; they use the standard EGA colours.
constexpr int kVersionWithoutPalette = 3;

using TColour = std::array<std::uint8_t, 4>;
using TPalette = std::array<TColour, 256>;

constexpr std::array<std::uint8_t, 48> kEgaColours{
    0,   0,   0,   0,   0,   170, 0,   170, 0,   0,   170, 170, 170, 0,   0,   170, 0,   170, 170, 85,  0,   170, 170, 170,
    85,  85,  85,  85,  85,  255, 85,  255, 85,  85,  255, 255, 255, 85,  85,  255, 85,  255, 255, 255, 85,  255, 255, 255};

struct THeader {
  int Version = 0;
  bool Rle = false;
  int Bits = 0;
  int Planes = 0;
  std::int64_t Width = 0;
  std::int64_t Height = 0;
  std::size_t BytesPerLine = 0;
  std::span<const std::uint8_t> EgaPalette;
};

THeader ReadHeader(TByteReader& in) {
  THeader h;
  if (in.U8() != 0x0a) in.Fail("not a PCX file");
  h.Version = in.U8();
  int encoding = in.U8();
  if (encoding > 1) in.Fail("unsupported encoding");
  h.Rle = encoding == 1;
  h.Bits = in.U8();
  std::int64_t xMin = in.U16LE(), yMin = in.U16LE(), xMax = in.U16LE(), yMax = in.U16LE();
  in.Skip(4);  // resolution
  h.EgaPalette = in.Bytes(48);
  in.Skip(1);
  h.Planes = in.U8();
  h.BytesPerLine = in.U16LE();
  h.Width = xMax - xMin + 1;
  h.Height = yMax - yMin + 1;
  bool supported = (h.Bits == 1 && h.Planes >= 1 && h.Planes <= 4) ||
                   ((h.Bits == 2 || h.Bits == 4) && h.Planes == 1) ||
                   (h.Bits == 8 && (h.Planes == 1 || h.Planes == 3 || h.Planes == 4));
  if (!supported) in.Fail("bad bits per pixel");
  if (h.Width <= 0 || h.Height <= 0) in.Fail("bad dimensions");
  if (h.BytesPerLine < std::size_t((h.Width * h.Bits + 7) / 8)) in.Fail("bad bytes per line");
  return h;
}

// Unpacks the RLE stream into scanlines (every plane's line in turn). A run
// may go on past the end of a scanline, so its state outlives the line.
class TRleBytes {
 public:
  TRleBytes(TByteReader& in, std::size_t end) : in_(in), end_(end) {}

  void Fill(std::uint8_t* out, std::size_t count) {
    while (count > 0) {
      if (left_ == 0) {
        if (in_.Position() >= end_) in_.Fail("unexpected end of file");
        std::uint8_t b = in_.U8();
        if ((b & 0xc0) == 0xc0) {
          left_ = b & 0x3f;
          if (in_.Position() >= end_) in_.Fail("unexpected end of file");
          value_ = in_.U8();
        } else {
          left_ = 1;
          value_ = b;
        }
      }
      std::size_t n = std::min(left_, count);
      std::memset(out, value_, n);
      out += n;
      left_ -= n;
      count -= n;
    }
  }

 private:
  TByteReader& in_;
  std::size_t end_;
  std::size_t left_ = 0;
  std::uint8_t value_ = 0;
};

TPalette ReadPalette(TByteReader& in, const THeader& h, bool vgaPalette) {
  TPalette palette;
  palette.fill({0, 0, 0, 255});
  if (h.Bits == 8 && h.Planes == 1) {
    if (vgaPalette) {
      auto rgb = in.BytesAt(in.Size() - kVgaPaletteSize + 1, 768);
      for (std::size_t i = 0; i < 256; ++i) palette[i] = {rgb[i * 3], rgb[i * 3 + 1], rgb[i * 3 + 2], 255};
    } else {
      // No palette at the end: a grey ramp.
      for (std::size_t i = 0; i < 256; ++i) palette[i] = {std::uint8_t(i), std::uint8_t(i), std::uint8_t(i), 255};
    }
  } else if (h.Bits == 1 && h.Planes == 1) {
    // Monochrome pictures are black and white whatever the header palette holds.
    palette[1] = {255, 255, 255, 255};
  } else {
    std::span<const std::uint8_t> rgb = h.Version == kVersionWithoutPalette ? std::span(kEgaColours) : h.EgaPalette;
    for (std::size_t i = 0; i < 16; ++i) palette[i] = {rgb[i * 3], rgb[i * 3 + 1], rgb[i * 3 + 2], 255};
  }
  return palette;
}

void ConvertLine(const std::uint8_t* line, const THeader& h, const TPalette& palette, std::uint8_t* out) {
  std::size_t bpl = h.BytesPerLine;
  if (h.Bits == 8 && h.Planes == 1) {
    for (std::int64_t x = 0; x < h.Width; ++x) std::memcpy(out + x * 4, palette[line[x]].data(), 4);
  } else if (h.Bits == 8) {
    for (std::int64_t x = 0; x < h.Width; ++x, out += 4) {
      out[0] = line[x];
      out[1] = line[bpl + std::size_t(x)];
      out[2] = line[2 * bpl + std::size_t(x)];
      out[3] = h.Planes == 4 ? line[3 * bpl + std::size_t(x)] : 255;
    }
  } else if (h.Bits == 1) {
    // One bit of the colour index per plane, plane 0 the lowest.
    for (std::int64_t x = 0; x < h.Width; ++x) {
      unsigned index = 0;
      for (int p = 0; p < h.Planes; ++p)
        index |= unsigned((line[std::size_t(p) * bpl + std::size_t(x / 8)] >> (7 - x % 8)) & 1) << p;
      std::memcpy(out + x * 4, palette[index].data(), 4);
    }
  } else {
    int perByte = 8 / h.Bits;
    unsigned valueMask = (1u << h.Bits) - 1;
    for (std::int64_t x = 0; x < h.Width; ++x) {
      unsigned shift = unsigned(8 - h.Bits * (x % perByte + 1));
      std::memcpy(out + x * 4, palette[(line[x / perByte] >> shift) & valueMask].data(), 4);
    }
  }
}

}  // namespace

TBitmap TPcxDecoder::Decode(std::span<const std::uint8_t> bytes) {
  TByteReader in(bytes, kFormat);
  THeader h = ReadHeader(in);
  bool vgaPalette = h.Bits == 8 && h.Planes == 1 && bytes.size() >= kHeaderSize + kVgaPaletteSize &&
                    bytes[bytes.size() - kVgaPaletteSize] == kVgaPaletteMarker;
  std::size_t dataEnd = vgaPalette ? bytes.size() - kVgaPaletteSize : bytes.size();
  std::size_t lineBytes = h.BytesPerLine * std::size_t(h.Planes);
  // Checked before allocating: a two-byte run gives at most 63 bytes.
  std::uint64_t needed = std::uint64_t(lineBytes) * std::uint64_t(h.Height);
  std::uint64_t available = dataEnd > kHeaderSize ? dataEnd - kHeaderSize : 0;
  if (needed > (h.Rle ? available * 63 / 2 + 63 : available)) in.Fail("unexpected end of file");
  TPalette palette = ReadPalette(in, h, vgaPalette);
  TBitmap bitmap = AllocateBitmap(kFormat, h.Width, h.Height);

  in.Seek(kHeaderSize);
  std::vector<std::uint8_t> line(lineBytes);
  TRleBytes runs(in, dataEnd);
  for (std::int64_t y = 0; y < h.Height; ++y) {
    if (h.Rle)
      runs.Fill(line.data(), lineBytes);
    else
      std::memcpy(line.data(), in.Bytes(lineBytes).data(), lineBytes);
    ConvertLine(line.data(), h, palette, bitmap.Row(int(y)).data());
  }
  return bitmap;
}

}  // namespace orb
