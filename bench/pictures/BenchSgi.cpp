// Decode time of a typical large file of the SGI, Photoshop, any-map and
// Animator families, ours against a peer decoding the same bytes in memory:
// Qt's image reader for the any-map, ImageMagick for SGI and Photoshop. No
// peer reads Animator cels (ImageMagick has no coder for them), so that case
// is ours alone.
#include <benchmark/benchmark.h>

#include <Magick++.h>
#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "pictures/PictureFile.h"

namespace {

using TBytes = std::vector<std::uint8_t>;

constexpr int kSize = 2000;

// A photograph-like RGB picture: smooth gradients with a little noise, so
// that RLE finds short runs and long literals as it does in real pictures.
std::vector<std::uint8_t> MakeRgb() {
  std::vector<std::uint8_t> rgb(std::size_t(kSize) * kSize * 3);
  std::uint32_t noise = 12345;
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) {
      noise = noise * 1103515245 + 12345;
      int n = int((noise >> 16) & 3);
      std::uint8_t* p = rgb.data() + (std::size_t(y) * kSize + x) * 3;
      p[0] = std::uint8_t(x * 255 / kSize + n);
      p[1] = std::uint8_t(y * 255 / kSize);
      p[2] = std::uint8_t(((x + y) / 16) % 200 + n);
    }
  return rgb;
}

TBytes WriteWithMagick(const std::vector<std::uint8_t>& rgb, const char* format, Magick::CompressionType compression) {
  Magick::Image image(kSize, kSize, "RGB", Magick::CharPixel, rgb.data());
  image.magick(format);
  image.compressType(compression);
  image.depth(8);
  // Left undefined, each writer uses its own default (for PPM: binary P6;
  // "no compression" would make it write plain text).
  Magick::Blob blob;
  image.write(&blob);
  const auto* data = static_cast<const std::uint8_t*>(blob.data());
  return TBytes(data, data + blob.length());
}

// An Animator picture: 32-byte header, 6-bit palette, one byte per pixel.
TBytes MakeCel(const std::vector<std::uint8_t>& rgb) {
  TBytes out;
  auto u16 = [&](unsigned v) {
    out.push_back(std::uint8_t(v));
    out.push_back(std::uint8_t(v >> 8));
  };
  u16(0x9119);
  u16(kSize);
  u16(kSize);
  u16(0);
  u16(0);
  out.push_back(8);
  out.push_back(0);
  std::uint32_t size = std::uint32_t(kSize) * kSize;
  for (int i = 0; i < 4; ++i) out.push_back(std::uint8_t(size >> (8 * i)));
  out.resize(32, 0);
  for (int i = 0; i < 768; ++i) out.push_back(std::uint8_t((i * 7) % 64));
  for (std::size_t i = 0; i < std::size_t(size); ++i) out.push_back(rgb[i * 3]);
  return out;
}

std::uint32_t U32BE(const TBytes& b, std::size_t at) {
  return (std::uint32_t(b.at(at)) << 24) | (std::uint32_t(b.at(at + 1)) << 16) | (std::uint32_t(b.at(at + 2)) << 8) |
         b.at(at + 3);
}

// The PSD's merged image compression word, after the three length-prefixed sections.
unsigned PsdCompression(const TBytes& psd) {
  std::size_t at = 26;
  for (int section = 0; section < 3; ++section) at += 4 + U32BE(psd, at);
  return (unsigned(psd.at(at)) << 8) | psd.at(at + 1);
}

// The cases are only meaningful if ImageMagick wrote the variants named.
void CheckVariants(const TBytes& sgi, const TBytes& psd, const TBytes& ppm) {
  if (sgi.at(2) != 1) throw std::runtime_error("the SGI file is not RLE");
  if (PsdCompression(psd) != 1) throw std::runtime_error("the PSD file is not PackBits");
  if (ppm.at(0) != 'P' || ppm.at(1) != '6') throw std::runtime_error("the PPM file is not binary P6");
}

struct TFiles {
  TBytes Sgi, Psd, Ppm, Cel;
};

const TFiles& Files() {
  static const TFiles files = [] {
    std::vector<std::uint8_t> rgb = MakeRgb();
    TFiles made;
    made.Sgi = WriteWithMagick(rgb, "SGI", Magick::RLECompression);
    made.Psd = WriteWithMagick(rgb, "PSD", Magick::RLECompression);
    made.Ppm = WriteWithMagick(rgb, "PPM", Magick::UndefinedCompression);
    made.Cel = MakeCel(rgb);
    CheckVariants(made.Sgi, made.Psd, made.Ppm);
    return made;
  }();
  return files;
}

void Ours(benchmark::State& state, const TBytes& bytes, const char* extension) {
  for (auto _ : state) {
    orb::TBitmap bitmap = orb::DecodePicture(bytes, extension);
    benchmark::DoNotOptimize(bitmap.Pixels.data());
  }
}

void Magick(benchmark::State& state, const TBytes& bytes, const char* format) {
  Magick::Blob blob(bytes.data(), bytes.size());
  for (auto _ : state) {
    Magick::Image image;
    image.magick(format);
    image.read(blob);
    benchmark::DoNotOptimize(image.columns());
  }
}

void Qt(benchmark::State& state, const TBytes& bytes, const char* format) {
  QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
  for (auto _ : state) {
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    QImage image = reader.read();
    if (image.isNull()) state.SkipWithError("Qt cannot read the file");
    benchmark::DoNotOptimize(image.constBits());
  }
}

void BM_SgiOurs(benchmark::State& s) { Ours(s, Files().Sgi, "sgi"); }
void BM_SgiMagick(benchmark::State& s) { Magick(s, Files().Sgi, "SGI"); }
void BM_PsdOurs(benchmark::State& s) { Ours(s, Files().Psd, "psd"); }
void BM_PsdMagick(benchmark::State& s) { Magick(s, Files().Psd, "PSD"); }
void BM_PpmOurs(benchmark::State& s) { Ours(s, Files().Ppm, "ppm"); }
void BM_PpmQt(benchmark::State& s) { Qt(s, Files().Ppm, "ppm"); }
void BM_CelOurs(benchmark::State& s) { Ours(s, Files().Cel, "cel"); }

}  // namespace

BENCHMARK(BM_SgiOurs)->Name("SgiRleRgb2000/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SgiMagick)->Name("SgiRleRgb2000/magick")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PsdOurs)->Name("PsdPackBitsRgb2000/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PsdMagick)->Name("PsdPackBitsRgb2000/magick")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PpmOurs)->Name("PpmP6Rgb2000/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PpmQt)->Name("PpmP6Rgb2000/qt")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CelOurs)->Name("Cel2000/ours")->Unit(benchmark::kMillisecond);
