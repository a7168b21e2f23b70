#include "pictures/PcdDecoder.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "pictures/ByteReader.h"
#include "pictures/PictureLimits.h"

namespace orb {
namespace {

constexpr const char* kFormat = "PCD";

// An image pack is laid out in 2048-byte sectors: the pack header in sector 1,
// then Base/16 and Base/4, and the Base image from sector 96 on.
constexpr std::size_t kSectorSize = 2048;
constexpr std::size_t kHeaderOffset = kSectorSize;
constexpr std::size_t kOrientationOffset = kHeaderOffset + 0x602;
constexpr std::size_t kBaseOffset = 96 * kSectorSize;
constexpr int kBaseWidth = 768;
constexpr int kBaseHeight = 512;
// Per pair of rows: two luma rows, then one row each of C1 and C2 at half width.
constexpr std::size_t kRowPairBytes = kBaseWidth * 2 + kBaseWidth;

// PhotoYCC to RGB, in 16.16 fixed point:
//   L = 1.3584 Y,  C1' = 2.2179 (C1 - 156),  C2' = 1.8215 (C2 - 137)
//   R = L + C2',  G = L - 0.194 C1' - 0.509 C2',  B = L + C1'
struct TYccTables {
  std::array<int, 256> Luma{};
  std::array<int, 256> RedFromC2{};
  std::array<int, 256> GreenFromC1{};
  std::array<int, 256> GreenFromC2{};
  std::array<int, 256> BlueFromC1{};
};

TYccTables MakeYccTables() {
  TYccTables t;
  constexpr double kOne = 65536.0;
  for (int v = 0; v < 256; ++v) {
    double c1 = 2.2179 * (v - 156);
    double c2 = 1.8215 * (v - 137);
    t.Luma[v] = int(std::lround(1.3584 * v * kOne));
    t.RedFromC2[v] = int(std::lround(c2 * kOne));
    t.GreenFromC1[v] = int(std::lround(-0.194 * c1 * kOne));
    t.GreenFromC2[v] = int(std::lround(-0.509 * c2 * kOne));
    t.BlueFromC1[v] = int(std::lround(c1 * kOne));
  }
  return t;
}

const TYccTables& YccTables() {
  static const TYccTables tables = MakeYccTables();
  return tables;
}

inline std::uint8_t Clamp16(int fixed) { return std::uint8_t(std::clamp((fixed + 32768) >> 16, 0, 255)); }

// Decodes the Base image as stored, landscape, into bitmap.
void DecodeBase(std::span<const std::uint8_t> base, TBitmap& bitmap) {
  const TYccTables& t = YccTables();
  for (int pair = 0; pair < kBaseHeight / 2; ++pair) {
    const std::uint8_t* rows = base.data() + std::size_t(pair) * kRowPairBytes;
    const std::uint8_t* c1 = rows + 2 * kBaseWidth;
    const std::uint8_t* c2 = c1 + kBaseWidth / 2;
    for (int half = 0; half < 2; ++half) {
      const std::uint8_t* luma = rows + half * kBaseWidth;
      std::uint8_t* out = bitmap.Row(pair * 2 + half).data();
      // Chroma is subsampled 2x2: each sample covers two columns of both rows.
      for (int x = 0; x < kBaseWidth; ++x) {
        int l = t.Luma[luma[x]];
        std::uint8_t cb = c1[x >> 1];
        std::uint8_t cr = c2[x >> 1];
        out[0] = Clamp16(l + t.RedFromC2[cr]);
        out[1] = Clamp16(l + t.GreenFromC1[cb] + t.GreenFromC2[cr]);
        out[2] = Clamp16(l + t.BlueFromC1[cb]);
        out[3] = 255;
        out += 4;
      }
    }
  }
}

// Turns the landscape bitmap a quarter turn: counterclockwise when
// counterclockwise is set, else clockwise.
TBitmap RotateQuarter(const TBitmap& in, bool counterclockwise) {
  TBitmap out = AllocateBitmap(kFormat, in.Height, in.Width);
  for (int y = 0; y < out.Height; ++y) {
    std::uint8_t* dst = out.Row(y).data();
    for (int x = 0; x < out.Width; ++x) {
      int sx = counterclockwise ? in.Width - 1 - y : y;
      int sy = counterclockwise ? x : in.Height - 1 - x;
      std::memcpy(dst + x * 4, in.Row(sy).data() + sx * 4, 4);
    }
  }
  return out;
}

void RotateHalf(TBitmap& bitmap) {
  auto* pixels = reinterpret_cast<std::uint32_t*>(bitmap.Pixels.data());
  std::reverse(pixels, pixels + std::size_t(bitmap.Width) * std::size_t(bitmap.Height));
}

}  // namespace

TBitmap TPcdDecoder::Decode(std::span<const std::uint8_t> bytes) {
  TByteReader reader(bytes, kFormat);
  auto signature = reader.BytesAt(kHeaderOffset, 7);
  if (std::memcmp(signature.data(), "PCD_IPI", 7) != 0) reader.Fail("bad signature");
  int orientation = reader.BytesAt(kOrientationOffset, 1)[0] & 3;
  auto base = reader.BytesAt(kBaseOffset, kRowPairBytes * (kBaseHeight / 2));

  TBitmap bitmap = AllocateBitmap(kFormat, kBaseWidth, kBaseHeight);
  DecodeBase(base, bitmap);
  // The orientation says how the picture was turned on the disc: 1 and 3
  // are portrait pictures lying on their side, 2 is upside down.
  switch (orientation) {
    case 1:
      return RotateQuarter(bitmap, true);
    case 2:
      RotateHalf(bitmap);
      return bitmap;
    case 3:
      return RotateQuarter(bitmap, false);
    default:
      return bitmap;
  }
}

}  // namespace orb
