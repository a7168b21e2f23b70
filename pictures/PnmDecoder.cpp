#include "pictures/PnmDecoder.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <vector>

#include "pictures/ByteReader.h"
#include "pictures/PictureLimits.h"

namespace orb {
namespace {

constexpr const char* kFormat = "PNM";
// Larger header numbers are cut off here so that they cannot overflow; the
// pixel cap rejects such sizes later.
constexpr std::uint32_t kNumberCeiling = 1'000'000'000;

enum class TKind { Bitmap, Grey, Colour };

struct TPnmHeader {
  TKind Kind = TKind::Grey;
  bool Plain = false;
  std::uint32_t Width = 0;
  std::uint32_t Height = 0;
  std::uint32_t MaxVal = 1;
};

bool IsSpace(std::uint8_t c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }
bool IsDigit(std::uint8_t c) { return c >= '0' && c <= '9'; }

// Reads text numbers with whitespace and "#" comments (to the end of the
// line) between them, as both the header and the plain rasters allow.
class TTextReader {
 public:
  explicit TTextReader(TByteReader& in) : in_(in) {}

  void SkipSpaceAndComments() {
    while (!in_.AtEnd()) {
      std::uint8_t c = Peek();
      if (c == '#') {
        while (!in_.AtEnd() && Peek() != '\n' && Peek() != '\r') in_.Skip(1);
      } else if (IsSpace(c)) {
        in_.Skip(1);
      } else {
        return;
      }
    }
  }

  // A decimal number after optional whitespace; anything else fails with what.
  std::uint32_t Number(const char* what) {
    SkipSpaceAndComments();
    if (in_.AtEnd()) in_.Fail("unexpected end of file");
    if (!IsDigit(Peek())) in_.Fail(what);
    std::uint64_t value = 0;
    while (!in_.AtEnd() && IsDigit(Peek())) value = std::min<std::uint64_t>(value * 10 + (in_.U8() - '0'), kNumberCeiling);
    return std::uint32_t(value);
  }

  // One "0" or "1" of a plain bitmap, which needs no whitespace between digits.
  bool Bit() {
    SkipSpaceAndComments();
    if (in_.AtEnd()) in_.Fail("unexpected end of file");
    std::uint8_t c = in_.U8();
    if (c != '0' && c != '1') in_.Fail("bad sample");
    return c == '1';
  }

 private:
  std::uint8_t Peek() const { return in_.BytesAt(in_.Position(), 1)[0]; }
  TByteReader& in_;
};

TPnmHeader ReadHeader(TByteReader& in) {
  if (in.Size() < 2 || in.U8() != 'P') in.Fail("not a portable any-map");
  std::uint8_t kind = in.U8();
  if (kind < '1' || kind > '6') in.Fail("not a portable any-map");
  TPnmHeader header;
  header.Plain = kind <= '3';
  header.Kind = (kind == '1' || kind == '4') ? TKind::Bitmap : (kind == '2' || kind == '5') ? TKind::Grey : TKind::Colour;
  TTextReader text(in);
  header.Width = text.Number("bad header");
  header.Height = text.Number("bad header");
  if (header.Kind != TKind::Bitmap) {
    header.MaxVal = text.Number("bad header");
    if (header.MaxVal < 1 || header.MaxVal > 65535) in.Fail("bad maxval");
  }
  // Exactly one whitespace character separates the header from a binary raster.
  if (in.AtEnd() || !IsSpace(in.U8())) in.Fail("bad header");
  return header;
}

int ChannelsOf(TKind kind) { return kind == TKind::Colour ? 3 : 1; }

// Scales every possible sample to 8 bits, rounded: v * 255 / maxval. Samples
// above maxval are out of range and show at full intensity.
std::vector<std::uint8_t> ScaleTable(std::uint32_t maxVal) {
  std::vector<std::uint8_t> table(maxVal < 256 ? 256 : 65536, 255);
  for (std::uint32_t v = 0; v <= maxVal; ++v) table[v] = std::uint8_t((v * 255 + maxVal / 2) / maxVal);
  return table;
}

// Writes one opaque pixel; the alpha is set in the same pass as the colour
// so the bitmap is walked only once.
inline void PutPixel(std::uint8_t* out, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  out[0] = r;
  out[1] = g;
  out[2] = b;
  out[3] = 255;
}

// Expands a row of 8-bit RGB triples to opaque RGBA. On little-endian
// machines every pixel but the last is one 4-byte load and one 4-byte store
// (the load's fourth byte, the next pixel's red, is replaced by the alpha);
// the last pixel is copied bytewise so the load never leaves the row.
void ExpandRgbRow(const std::uint8_t* row, std::uint8_t* out, int width) {
  int x = 0;
  if constexpr (std::endian::native == std::endian::little) {
    for (; x + 1 < width; ++x, out += 4, row += 3) {
      std::uint32_t pixel;
      std::memcpy(&pixel, row, 4);
      pixel |= 0xff000000u;
      std::memcpy(out, &pixel, 4);
    }
  }
  for (; x < width; ++x, out += 4, row += 3) PutPixel(out, row[0], row[1], row[2]);
}

void StorePixel(std::uint8_t* out, int channels, const std::uint8_t* values) {
  if (channels == 1)
    PutPixel(out, values[0], values[0], values[0]);
  else
    PutPixel(out, values[0], values[1], values[2]);
}

void DecodeBinaryBitmap(TByteReader& in, TBitmap& bitmap) {
  // Rows are padded to whole bytes; a set bit is black.
  std::size_t rowBytes = (std::size_t(bitmap.Width) + 7) / 8;
  for (int y = 0; y < bitmap.Height; ++y) {
    std::span<const std::uint8_t> row = in.Bytes(rowBytes);
    std::uint8_t* out = bitmap.Row(y).data();
    for (int x = 0; x < bitmap.Width; ++x, out += 4) {
      std::uint8_t value = (row[std::size_t(x) >> 3] >> (7 - (x & 7))) & 1 ? 0 : 255;
      PutPixel(out, value, value, value);
    }
  }
}

void DecodeBinary(TByteReader& in, const TPnmHeader& header, TBitmap& bitmap) {
  int channels = ChannelsOf(header.Kind);
  std::size_t rowSamples = std::size_t(bitmap.Width) * std::size_t(channels);
  std::vector<std::uint8_t> scale = ScaleTable(header.MaxVal);
  for (int y = 0; y < bitmap.Height; ++y) {
    std::uint8_t* out = bitmap.Row(y).data();
    if (header.MaxVal < 256) {
      const std::uint8_t* row = in.Bytes(rowSamples).data();
      if (header.MaxVal == 255 && channels == 3) {
        ExpandRgbRow(row, out, bitmap.Width);
      } else if (channels == 3) {
        for (int x = 0; x < bitmap.Width; ++x, out += 4, row += 3)
          PutPixel(out, scale[row[0]], scale[row[1]], scale[row[2]]);
      } else {
        for (int x = 0; x < bitmap.Width; ++x, out += 4) PutPixel(out, scale[row[x]], scale[row[x]], scale[row[x]]);
      }
    } else {
      // Sixteen-bit samples are big-endian.
      const std::uint8_t* row = in.Bytes(rowSamples * 2).data();
      std::array<std::uint8_t, 3> values{};
      for (int x = 0; x < bitmap.Width; ++x, out += 4) {
        for (int c = 0; c < channels; ++c, row += 2) values[std::size_t(c)] = scale[(row[0] << 8) | row[1]];
        StorePixel(out, channels, values.data());
      }
    }
  }
}

void DecodePlain(TByteReader& in, const TPnmHeader& header, TBitmap& bitmap) {
  TTextReader text(in);
  int channels = ChannelsOf(header.Kind);
  std::vector<std::uint8_t> scale = ScaleTable(header.MaxVal);
  std::array<std::uint8_t, 3> values{};
  for (int y = 0; y < bitmap.Height; ++y) {
    std::uint8_t* out = bitmap.Row(y).data();
    for (int x = 0; x < bitmap.Width; ++x, out += 4) {
      if (header.Kind == TKind::Bitmap) {
        values[0] = text.Bit() ? 0 : 255;
      } else {
        for (int c = 0; c < channels; ++c)
          values[std::size_t(c)] = scale[std::min<std::size_t>(text.Number("bad sample"), scale.size() - 1)];
      }
      StorePixel(out, channels, values.data());
    }
  }
}

}  // namespace

TBitmap TPnmDecoder::Decode(std::span<const std::uint8_t> bytes) {
  TByteReader in(bytes, kFormat);
  TPnmHeader header = ReadHeader(in);
  // Every sample takes at least one byte of a plain raster, and a binary
  // raster holds exactly its samples; a file too short fails before any
  // pixel buffer exists.
  std::uint64_t samples = std::uint64_t(header.Width) * std::uint64_t(header.Height) * std::uint64_t(ChannelsOf(header.Kind));
  std::uint64_t least = samples;
  if (!header.Plain) {
    if (header.Kind == TKind::Bitmap)
      least = (std::uint64_t(header.Width) + 7) / 8 * header.Height;
    else if (header.MaxVal > 255)
      least = samples * 2;
  }
  if (header.Width != 0 && header.Height != 0 && least > in.Remaining()) in.Fail("unexpected end of file");
  TBitmap bitmap = AllocateBitmap(kFormat, header.Width, header.Height);
  if (header.Plain)
    DecodePlain(in, header, bitmap);
  else if (header.Kind == TKind::Bitmap)
    DecodeBinaryBitmap(in, bitmap);
  else
    DecodeBinary(in, header, bitmap);
  return bitmap;
}

}  // namespace orb
