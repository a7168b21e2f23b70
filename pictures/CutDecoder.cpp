#include "pictures/CutDecoder.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "pictures/ByteReader.h"
#include "pictures/PictureLimits.h"
#include "text/TextCompare.h"

namespace orb {
namespace {

constexpr const char* kFormat = "CUT";

struct TRgb {
  std::uint8_t R = 0, G = 0, B = 0;
};
using TPalette = std::array<TRgb, 256>;

// Palette file: a 40-byte header ("AH", version, size, file type, subtype,
// board id, graphics mode, then the largest index and the largest red,
// green and blue values), then one 16-bit (R, G, B) triple per colour. The
// file is cut into 512-byte blocks, the header counting in the first; a
// triple never straddles two blocks, the rest of a block is filler.
constexpr std::size_t kPaletteHeaderSize = 40;
constexpr std::size_t kPaletteBlockSize = 512;
constexpr std::size_t kTripleSize = 6;

TPalette GreyRamp() {
  TPalette palette;
  for (int i = 0; i < 256; ++i) palette[i] = {std::uint8_t(i), std::uint8_t(i), std::uint8_t(i)};
  return palette;
}

std::uint8_t ScaleComponent(std::uint16_t value, std::uint16_t max) {
  if (max == 0) return 0;
  return std::uint8_t((std::min<unsigned>(value, max) * 255u + max / 2u) / max);
}

// Reads a Dr. Halo palette; nullopt when the bytes are not one (a .pal file
// of another program may sit beside the picture).
std::optional<TPalette> ReadPalette(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < 2 || bytes[0] != 'A' || bytes[1] != 'H') return std::nullopt;
  // Failures name the palette file, so a damaged palette is not taken for a damaged picture.
  TByteReader reader(bytes, "CUT palette");
  reader.Seek(12);
  unsigned count = unsigned(reader.U16LE()) + 1;
  std::uint16_t maxRed = reader.U16LE();
  std::uint16_t maxGreen = reader.U16LE();
  std::uint16_t maxBlue = reader.U16LE();
  if (count > 256) reader.Fail("bad colour count");

  TPalette palette = GreyRamp();
  reader.Seek(kPaletteHeaderSize);
  for (unsigned i = 0; i < count; ++i) {
    std::size_t inBlock = reader.Position() % kPaletteBlockSize;
    if (kPaletteBlockSize - inBlock < kTripleSize) reader.Skip(kPaletteBlockSize - inBlock);
    std::uint16_t r = reader.U16LE();
    std::uint16_t g = reader.U16LE();
    std::uint16_t b = reader.U16LE();
    palette[i] = {ScaleComponent(r, maxRed), ScaleComponent(g, maxGreen), ScaleComponent(b, maxBlue)};
  }
  return palette;
}

// The palette file beside path: same base name, extension .pal, both
// compared without regard to case (files made on DOS are often upper case).
std::optional<std::filesystem::path> FindPaletteFile(const std::filesystem::path& path) {
  if (path.empty()) return std::nullopt;
  std::filesystem::path exact = path;
  exact.replace_extension(".pal");
  std::error_code error;
  if (std::filesystem::is_regular_file(exact, error)) return exact;
  std::string stem = path.stem().string();
  std::filesystem::path folder = path.parent_path().empty() ? "." : path.parent_path();
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const std::filesystem::path& candidate = it->path();
    if (SameFileName(candidate.stem().string(), stem) &&
        SameFileName(candidate.extension().string(), ".pal") && it->is_regular_file(error))
      return candidate;
  }
  return std::nullopt;
}

TPalette LoadPalette(const std::filesystem::path& path) {
  std::optional<std::filesystem::path> file = FindPaletteFile(path);
  if (!file) return GreyRamp();
  std::ifstream in(*file, std::ios::binary);
  // 256 colours fill a few blocks; anything past 64 KiB is not read.
  std::vector<std::uint8_t> bytes(64 * 1024);
  in.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(bytes.size()));
  bytes.resize(std::size_t(in.gcount()));
  return ReadPalette(bytes).value_or(GreyRamp());
}

// Decodes one row's runs into indices (width entries). A code byte of 0 ends
// the row; otherwise its low 7 bits count pixels, and its high bit says
// whether one following byte is repeated or that many bytes follow as they
// are. Pixels past the width are dropped.
void DecodeRow(TByteReader& reader, std::span<std::uint8_t> indices) {
  std::size_t x = 0;
  const std::size_t width = indices.size();
  for (;;) {
    std::uint8_t code = reader.U8();
    if (code == 0) break;
    std::size_t count = code & 0x7F;
    std::size_t kept = std::min(count, width - x);
    if (code & 0x80) {
      std::uint8_t value = reader.U8();
      std::fill_n(indices.begin() + std::ptrdiff_t(x), kept, value);
    } else {
      auto literal = reader.Bytes(count);
      std::copy_n(literal.begin(), kept, indices.begin() + std::ptrdiff_t(x));
    }
    x += kept;
  }
}

}  // namespace

TBitmap TCutDecoder::Decode(std::span<const std::uint8_t> bytes, const std::filesystem::path& path) {
  TByteReader reader(bytes, kFormat);
  int width = reader.U16LE();
  int height = reader.U16LE();
  reader.Skip(2);
  if (width == 0 || height == 0) reader.Fail("bad dimensions");
  // Every row takes its 2-byte length, its end code and a 2-byte run for
  // each 127 pixels at best, so a short file cannot claim a huge picture.
  const std::size_t minRowBytes = 3 + 2 * ((std::size_t(width) + 126) / 127);
  if (std::size_t(height) * minRowBytes > reader.Remaining()) reader.Fail("unexpected end of file");

  const TPalette palette = LoadPalette(path);
  TBitmap bitmap = AllocateBitmap(kFormat, width, height);
  std::vector<std::uint8_t> indices(std::size_t(width), 0);
  for (int y = 0; y < height; ++y) {
    // The row's byte count is not needed: the end code closes the row.
    reader.Skip(2);
    std::ranges::fill(indices, 0);
    DecodeRow(reader, indices);
    std::uint8_t* out = bitmap.Row(y).data();
    for (std::uint8_t index : indices) {
      const TRgb& c = palette[index];
      out[0] = c.R;
      out[1] = c.G;
      out[2] = c.B;
      out[3] = 255;
      out += 4;
    }
  }
  return bitmap;
}

}  // namespace orb
