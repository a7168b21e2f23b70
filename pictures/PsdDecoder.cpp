#include "pictures/PsdDecoder.h"

#include <algorithm>
#include <array>
#include <vector>

#include "pictures/ByteReader.h"
#include "pictures/PictureLimits.h"

namespace orb {
namespace {

constexpr const char* kFormat = "PSD";
constexpr std::size_t kPaletteSize = 768;

enum class TColourMode : std::uint16_t {
  Bitmap = 0,
  Grey = 1,
  Indexed = 2,
  Rgb = 3,
  Cmyk = 4,
  Multichannel = 7,
  Duotone = 8,
};

enum class TCompression : std::uint16_t { Raw = 0, PackBits = 1 };

struct TPsdHeader {
  int Version = 1;  // 2: a large document, with 32-bit row counts and section lengths
  int Channels = 0;
  std::uint32_t Width = 0;
  std::uint32_t Height = 0;
  int Depth = 8;
  TColourMode Mode = TColourMode::Rgb;
  std::array<std::uint8_t, kPaletteSize> Palette{};  // indexed: 256 reds, then greens, then blues
  bool TransparentMerge = true;  // whether the first extra channel is the merged image's alpha
};

// The channels that make up the colour; the next one, when present, may be
// the alpha.
int ColourChannels(TColourMode mode) {
  switch (mode) {
    case TColourMode::Rgb: return 3;
    case TColourMode::Cmyk: return 4;
    default: return 1;
  }
}

// Section lengths are 32-bit, or 64-bit in a large document.
std::uint64_t ReadLength(TByteReader& in, int version) {
  return version == 1 ? in.U32BE() : (std::uint64_t(in.U32BE()) << 32) | in.U32BE();
}

// The layer section starts with the layer information: its length, then the
// layer count. A negative count says that the first extra channel of the
// merged image is its transparency; a positive one that the merged image is
// opaque and extra channels are saved selections. Without layer information
// (as simple writers leave it) an extra channel is taken as the alpha.
bool HasTransparentMerge(TByteReader& layers, int version) {
  std::size_t lengthBytes = version == 1 ? 4 : 8;
  if (layers.Remaining() < lengthBytes + 2) return true;
  if (ReadLength(layers, version) < 2) return true;
  return layers.I16BE() <= 0;
}

TPsdHeader ReadHeader(TByteReader& in) {
  if (in.Size() < 4 || in.U32BE() != 0x38425053) in.Fail("not a Photoshop document");  // "8BPS"
  TPsdHeader header;
  header.Version = in.U16BE();
  if (header.Version != 1 && header.Version != 2) in.Fail("bad version");
  in.Skip(6);
  header.Channels = in.U16BE();
  if (header.Channels < 1 || header.Channels > 56) in.Fail("bad channel count");
  header.Height = in.U32BE();
  header.Width = in.U32BE();
  header.Depth = in.U16BE();
  std::uint16_t mode = in.U16BE();
  switch (TColourMode(mode)) {
    case TColourMode::Bitmap:
      if (header.Depth != 1) in.Fail("bad bit depth");
      break;
    case TColourMode::Indexed:
      if (header.Depth != 8) in.Fail("bad bit depth");
      break;
    case TColourMode::Grey:
    case TColourMode::Rgb:
    case TColourMode::Cmyk:
    case TColourMode::Multichannel:
    case TColourMode::Duotone:
      if (header.Depth != 8 && header.Depth != 16) in.Fail("unsupported bit depth");
      break;
    default:
      in.Fail("unsupported colour mode");
  }
  header.Mode = TColourMode(mode);
  if (header.Channels < ColourChannels(header.Mode)) in.Fail("bad channel count");

  // The colour mode data holds an indexed image's palette (a duotone's inks
  // are not needed: duotones show as grey).
  std::uint32_t modeDataLength = in.U32BE();
  std::span<const std::uint8_t> modeData = in.Bytes(modeDataLength);
  if (header.Mode == TColourMode::Indexed) {
    if (modeData.size() < kPaletteSize) in.Fail("bad palette");
    std::copy_n(modeData.begin(), kPaletteSize, header.Palette.begin());
  }
  in.Skip(in.U32BE());  // image resources
  std::uint64_t layerLength = ReadLength(in, header.Version);
  if (layerLength > in.Remaining()) in.Fail("unexpected end of file");
  TByteReader layers(in.Bytes(std::size_t(layerLength)), kFormat);
  header.TransparentMerge = HasTransparentMerge(layers, header.Version);
  return header;
}

// Where one channel's decoded samples go in an RGBA pixel: Count bytes from
// Offset on get the same value (3 for grey).
struct TChannelTarget {
  int Offset;
  int Count;
};

void StoreRow(const std::uint8_t* samples, std::uint8_t* out, int width, TChannelTarget target) {
  out += target.Offset;
  if (target.Count == 3) {
    for (int x = 0; x < width; ++x, out += 4) out[0] = out[1] = out[2] = samples[x];
  } else {
    for (int x = 0; x < width; ++x, out += 4) out[0] = samples[x];
  }
}

// Turns one stored row of a channel into one 8-bit sample per pixel: 16-bit
// samples are big-endian and keep their high byte; in a bitmap a set bit is
// black.
void ToSamples(std::span<const std::uint8_t> row, int depth, int width, std::uint8_t* samples) {
  if (depth == 8) {
    std::copy_n(row.data(), width, samples);
  } else if (depth == 16) {
    for (int x = 0; x < width; ++x) samples[x] = row[std::size_t(x) * 2];
  } else {
    for (int x = 0; x < width; ++x) samples[x] = (row[std::size_t(x) >> 3] >> (7 - (x & 7))) & 1 ? 0 : 255;
  }
}

// Expands one PackBits row: a header byte n of 0..127 copies n + 1 literal
// bytes, -1..-127 repeats the next byte 1 - n times, -128 does nothing. The
// row must come out exactly full; a run past its end fails.
void UnpackRow(TByteReader& in, std::span<std::uint8_t> row) {
  std::size_t filled = 0;
  while (filled < row.size()) {
    auto n = std::int8_t(in.U8());
    if (n == -128) continue;
    std::size_t count = n >= 0 ? std::size_t(n) + 1 : std::size_t(1 - n);
    if (count > row.size() - filled) in.Fail("run past end of row");
    if (n >= 0) {
      std::span<const std::uint8_t> literal = in.Bytes(count);
      std::copy(literal.begin(), literal.end(), row.begin() + std::ptrdiff_t(filled));
    } else {
      std::fill_n(row.begin() + std::ptrdiff_t(filled), count, in.U8());
    }
    filled += count;
  }
}

// MulDiv255(a, b): a * b / 255, rounded, for 8-bit a and b.
std::uint8_t MulDiv255(unsigned a, unsigned b) {
  unsigned t = a * b + 128;
  return std::uint8_t((t + (t >> 8)) >> 8);
}

// CMYK is stored inverted (255 is no ink); C, M, Y sit in R, G, B and K in A.
// Red is (255 - C) * (255 - K) / 255 in ink terms, and so on.
void CmykToRgb(std::span<std::uint8_t> row) {
  for (std::size_t i = 0; i < row.size(); i += 4) {
    std::uint8_t* p = row.data() + i;
    unsigned black = p[3];
    for (int c = 0; c < 3; ++c) p[c] = MulDiv255(p[c], black);
    p[3] = 255;
  }
}

// The index sits in R.
void ApplyPalette(std::span<std::uint8_t> row, const std::array<std::uint8_t, kPaletteSize>& palette) {
  for (std::size_t i = 0; i < row.size(); i += 4) {
    std::uint8_t* p = row.data() + i;
    std::size_t index = p[0];
    p[0] = palette[index];
    p[1] = palette[256 + index];
    p[2] = palette[512 + index];
  }
}

// Photoshop stores the merged image of a transparent document matted against
// white: each colour is c * a + 255 * (1 - a). Taking the white back out
// gives the colour itself, so that soft edges do not show a white fringe.
void RemoveWhiteMatte(std::span<std::uint8_t> row) {
  for (std::size_t i = 0; i < row.size(); i += 4) {
    std::uint8_t* p = row.data() + i;
    int alpha = p[3];
    if (alpha == 0 || alpha == 255) continue;
    for (int c = 0; c < 3; ++c) {
      int scaled = (int(p[c]) + alpha - 255) * 255;
      p[c] = std::uint8_t(scaled <= 0 ? 0 : std::min(255, (scaled + alpha / 2) / alpha));
    }
  }
}

// A picture without an alpha channel is opaque.
void MakeOpaque(std::span<std::uint8_t> row) {
  for (std::size_t i = 3; i < row.size(); i += 4) row[i] = 255;
}

class TPsdImage {
 public:
  TPsdImage(TByteReader& in, const TPsdHeader& header)
      : in_(in),
        header_(header),
        used_(std::min(header.Channels, ColourChannels(header.Mode) + (header.TransparentMerge ? 1 : 0))),
        rowBytes_(header.Depth == 1 ? (std::size_t(header.Width) + 7) / 8
                                    : std::size_t(header.Width) * std::size_t(header.Depth / 8)) {}

  TBitmap Decode() {
    auto compression = TCompression(in_.U16BE());
    if (compression != TCompression::Raw && compression != TCompression::PackBits)
      in_.Fail("unsupported compression");
    if (compression == TCompression::Raw)
      CheckRaw();
    else
      ReadRowCounts();
    TBitmap bitmap = AllocateBitmap(kFormat, header_.Width, header_.Height);
    int colour = ColourChannels(header_.Mode);
    std::vector<std::uint8_t> row(rowBytes_);
    std::vector<std::uint8_t> samples(header_.Width);
    // Pixels are written row by row, every channel of a row while it is in
    // the cache, although the file stores the channels one after another.
    for (int y = 0; y < bitmap.Height; ++y) {
      std::span<std::uint8_t> out = bitmap.Row(y);
      for (int channel = 0; channel < used_; ++channel) {
        // Colour is converted once all its channels are in, before the alpha
        // channel takes the A slot.
        if (channel == colour) ConvertColour(out);
        std::span<const std::uint8_t> stored =
            compression == TCompression::Raw ? RawRow(channel, y) : PackedRow(channel, y, row);
        ToSamples(stored, header_.Depth, bitmap.Width, samples.data());
        StoreRow(samples.data(), out.data(), bitmap.Width, TargetOf(channel, colour));
      }
      if (used_ == colour) {
        ConvertColour(out);
        MakeOpaque(out);
      } else if (IsMatted()) {
        RemoveWhiteMatte(out);
      }
    }
    return bitmap;
  }

 private:
  // Only RGB and grey pictures have a white that is plainly the matte.
  bool IsMatted() const {
    return header_.Mode == TColourMode::Rgb || header_.Mode == TColourMode::Grey ||
           header_.Mode == TColourMode::Duotone;
  }

  void ConvertColour(std::span<std::uint8_t> row) const {
    if (header_.Mode == TColourMode::Cmyk) CmykToRgb(row);
    if (header_.Mode == TColourMode::Indexed) ApplyPalette(row, header_.Palette);
  }

  TChannelTarget TargetOf(int channel, int colour) const {
    if (channel == colour) return {3, 1};
    if (header_.Mode == TColourMode::Rgb || header_.Mode == TColourMode::Cmyk || header_.Mode == TColourMode::Indexed)
      return {channel, 1};
    return {0, 3};
  }

  // A raw image holds every row of every channel, channel after channel.
  void CheckRaw() {
    dataStart_ = in_.Position();
    std::uint64_t size = std::uint64_t(used_) * header_.Height * rowBytes_;
    if (size > in_.Remaining()) in_.Fail("unexpected end of file");
  }

  std::span<const std::uint8_t> RawRow(int channel, int y) const {
    std::size_t index = std::size_t(channel) * header_.Height + std::size_t(y);
    return in_.BytesAt(dataStart_ + index * rowBytes_, rowBytes_);
  }

  // A PackBits image starts with the byte count of every row of every channel
  // (16-bit, or 32-bit in a large document); the rows follow in that order.
  // Each row needs at least two bytes per 128 bytes it expands to, which
  // bounds the picture by the file before anything is allocated.
  void ReadRowCounts() {
    std::size_t rows = std::size_t(header_.Channels) * header_.Height;
    std::size_t countBytes = header_.Version == 1 ? 2 : 4;
    if (std::uint64_t(rows) * countBytes > in_.Remaining()) in_.Fail("unexpected end of file");
    std::size_t usedRows = std::size_t(used_) * header_.Height;
    std::uint64_t least = (rowBytes_ + 127) / 128 * 2;
    rowStarts_.resize(usedRows + 1);
    std::uint64_t offset = in_.Position() + rows * countBytes;
    for (std::size_t i = 0; i < rows; ++i) {
      std::uint32_t count = countBytes == 2 ? in_.U16BE() : in_.U32BE();
      if (i >= usedRows) continue;
      if (count < least) in_.Fail("bad row length");
      rowStarts_[i] = offset;
      offset += count;
    }
    rowStarts_[usedRows] = offset;
    if (offset > in_.Size()) in_.Fail("unexpected end of file");
  }

  std::span<const std::uint8_t> PackedRow(int channel, int y, std::span<std::uint8_t> row) const {
    std::size_t index = std::size_t(channel) * header_.Height + std::size_t(y);
    TByteReader packed(in_.BytesAt(rowStarts_[index], rowStarts_[index + 1] - rowStarts_[index]), kFormat);
    UnpackRow(packed, row);
    return row;
  }

  TByteReader& in_;
  const TPsdHeader& header_;
  int used_;  // colour channels and alpha; further channels are not shown
  std::size_t rowBytes_;
  std::size_t dataStart_ = 0;
  std::vector<std::uint64_t> rowStarts_;
};

}  // namespace

TBitmap TPsdDecoder::Decode(std::span<const std::uint8_t> bytes) {
  TByteReader in(bytes, kFormat);
  TPsdHeader header = ReadHeader(in);
  return TPsdImage(in, header).Decode();
}

}  // namespace orb
