// Decode time of large BMP, ICO, Targa and PCX files: ours against Qt's
// image reader (bmp, ico, raw tga) and ImageMagick (RLE tga, which Qt does
// not read, and pcx).
// The files are written at start-up by the small writers below: a picture
// of flat blocks in its top half (long runs) and gradients in its bottom
// half (literal spans), so that RLE sees both kinds of data.
#include <benchmark/benchmark.h>

#include <Magick++.h>

#include <QBuffer>
#include <QByteArray>
#include <QCoreApplication>
#include <QImage>
#include <QImageReader>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "pictures/PictureFile.h"

namespace {

constexpr int kSize = 2000;
constexpr int kIconSize = 256;

using TBytes = std::vector<std::uint8_t>;

void Put16(TBytes& out, unsigned v) {
  out.push_back(std::uint8_t(v));
  out.push_back(std::uint8_t(v >> 8));
}
void Put32(TBytes& out, std::uint32_t v) {
  Put16(out, v & 0xffff);
  Put16(out, v >> 16);
}

// The test picture as palette indices and as colours.
std::uint8_t IndexAt(int x, int y) {
  if (y < kSize / 2) return std::uint8_t((x / 40 + (y / 30) * 7) % 256);
  return std::uint8_t((x + y / 3) % 256);
}
std::array<std::uint8_t, 3> PaletteColour(int i) {
  return {std::uint8_t(i), std::uint8_t(255 - i), std::uint8_t((i * 7) % 256)};
}

TBytes BmpFileHeader(std::uint32_t pixelOffset, std::uint32_t size) {
  TBytes out{'B', 'M'};
  Put32(out, size);
  Put32(out, 0);
  Put32(out, pixelOffset);
  return out;
}

void PutInfoHeader(TBytes& out, int width, int height, int bpp, std::uint32_t compression, int colours) {
  for (std::uint32_t v : {40u, std::uint32_t(width), std::uint32_t(height)}) Put32(out, v);
  Put16(out, 1);
  Put16(out, unsigned(bpp));
  for (std::uint32_t v : {compression, 0u, 2835u, 2835u, std::uint32_t(colours), 0u}) Put32(out, v);
}

TBytes WriteBmp24() {
  std::size_t stride = (kSize * 3 + 3) / 4 * 4;
  TBytes out = BmpFileHeader(54, std::uint32_t(54 + stride * kSize));
  PutInfoHeader(out, kSize, kSize, 24, 0, 0);
  for (int y = kSize - 1; y >= 0; --y) {
    std::size_t start = out.size();
    for (int x = 0; x < kSize; ++x) {
      auto c = PaletteColour(IndexAt(x, y));
      out.insert(out.end(), {c[2], c[1], c[0]});
    }
    out.resize(start + stride, 0);
  }
  return out;
}

TBytes WriteBmpRle8() {
  TBytes data;
  for (int y = kSize - 1; y >= 0; --y) {
    int x = 0;
    while (x < kSize) {
      int run = 1;
      while (x + run < kSize && run < 255 && IndexAt(x + run, y) == IndexAt(x, y)) ++run;
      if (run >= 2) {
        data.insert(data.end(), {std::uint8_t(run), IndexAt(x, y)});
        x += run;
        continue;
      }
      int literal = 1;
      while (x + literal < kSize && literal < 255 && IndexAt(x + literal, y) != IndexAt(x + literal - 1, y)) ++literal;
      if (literal < 3) {
        data.insert(data.end(), {1, IndexAt(x, y)});
        ++x;
        continue;
      }
      data.insert(data.end(), {0, std::uint8_t(literal)});
      for (int i = 0; i < literal; ++i) data.push_back(IndexAt(x + i, y));
      if (literal % 2) data.push_back(0);
      x += literal;
    }
    data.insert(data.end(), {0, 0});
  }
  data.insert(data.end(), {0, 1});
  std::uint32_t offset = 54 + 1024;
  TBytes out = BmpFileHeader(offset, std::uint32_t(offset + data.size()));
  PutInfoHeader(out, kSize, kSize, 8, 1, 256);
  for (int i = 0; i < 256; ++i) {
    auto c = PaletteColour(i);
    out.insert(out.end(), {c[2], c[1], c[0], 0});
  }
  out.insert(out.end(), data.begin(), data.end());
  return out;
}

TBytes WriteTga32(bool rle) {
  TBytes out{0, 0, std::uint8_t(rle ? 10 : 2), 0, 0, 0, 0, 0, 0, 0, 0, 0};
  Put16(out, kSize);
  Put16(out, kSize);
  out.insert(out.end(), {32, 8 | 0x20});
  auto pixel = [](int x, int y) {
    auto c = PaletteColour(IndexAt(x, y));
    return std::array<std::uint8_t, 4>{c[2], c[1], c[0], 255};
  };
  for (int y = 0; y < kSize; ++y) {
    int x = 0;
    while (x < kSize) {
      int run = 1;
      if (rle)
        while (x + run < kSize && run < 128 && pixel(x + run, y) == pixel(x, y)) ++run;
      if (rle && run >= 2) {
        out.push_back(std::uint8_t(0x80 | (run - 1)));
        auto p = pixel(x, y);
        out.insert(out.end(), p.begin(), p.end());
        x += run;
        continue;
      }
      int literal = 1;
      while (x + literal < kSize && literal < 128 && (!rle || pixel(x + literal, y) != pixel(x + literal - 1, y)))
        ++literal;
      if (rle) out.push_back(std::uint8_t(literal - 1));
      for (int i = 0; i < literal; ++i) {
        auto p = pixel(x + i, y);
        out.insert(out.end(), p.begin(), p.end());
      }
      x += literal;
    }
  }
  // The TGA 2.0 footer: no extension or developer area. Qt reads only files with it.
  Put32(out, 0);
  Put32(out, 0);
  for (char c : std::string_view("TRUEVISION-XFILE.")) out.push_back(std::uint8_t(c));
  out.push_back(0);
  return out;
}

TBytes WritePcx8() {
  TBytes out{0x0a, 5, 1, 8};
  for (unsigned v : {0u, 0u, unsigned(kSize - 1), unsigned(kSize - 1), 72u, 72u}) Put16(out, v);
  out.resize(out.size() + 48 + 1, 0);
  out.push_back(1);
  Put16(out, kSize);
  Put16(out, 1);
  out.resize(128, 0);
  for (int y = 0; y < kSize; ++y) {
    int x = 0;
    while (x < kSize) {
      std::uint8_t v = IndexAt(x, y);
      int run = 1;
      while (x + run < kSize && run < 63 && IndexAt(x + run, y) == v) ++run;
      if (run > 1 || (v & 0xc0) == 0xc0) out.push_back(std::uint8_t(0xc0 | run));
      out.push_back(v);
      x += run;
    }
  }
  out.push_back(0x0c);
  for (int i = 0; i < 256; ++i) {
    auto c = PaletteColour(i);
    out.insert(out.end(), c.begin(), c.end());
  }
  return out;
}

// An icon of one 256x256 32-bit image with alpha, and its AND mask.
TBytes WriteIco() {
  TBytes out;
  for (unsigned v : {0u, 1u, 1u}) Put16(out, v);
  out.insert(out.end(), {0, 0, 0, 0});
  Put16(out, 1);
  Put16(out, 32);
  std::uint32_t maskStride = kIconSize / 8;
  std::uint32_t size = 40 + kIconSize * kIconSize * 4 + maskStride * kIconSize;
  Put32(out, size);
  Put32(out, 22);
  PutInfoHeader(out, kIconSize, kIconSize * 2, 32, 0, 0);
  for (int y = kIconSize - 1; y >= 0; --y)
    for (int x = 0; x < kIconSize; ++x) {
      auto c = PaletteColour(IndexAt(x * 7, y * 7));
      out.insert(out.end(), {c[2], c[1], c[0], std::uint8_t((x + y) % 256)});
    }
  out.resize(out.size() + maskStride * kIconSize, 0);
  return out;
}

const TBytes& File(const std::string& name) {
  static const TBytes bmp24 = WriteBmp24(), bmpRle8 = WriteBmpRle8(), tga32 = WriteTga32(false),
                      tga32Rle = WriteTga32(true), pcx8 = WritePcx8(), ico = WriteIco();
  if (name == "bmp24") return bmp24;
  if (name == "bmprle8") return bmpRle8;
  if (name == "tga32") return tga32;
  if (name == "tga32rle") return tga32Rle;
  if (name == "pcx8") return pcx8;
  return ico;
}

void Ours(benchmark::State& state, const std::string& file, const char* extension) {
  const TBytes& bytes = File(file);
  for (auto _ : state) benchmark::DoNotOptimize(orb::DecodePicture(bytes, extension).Pixels.data());
}

void EnsureQtApplication() {
  static int argc = 1;
  static char name[] = "bench_pictures_bmp";
  static char* argv[] = {name, nullptr};
  static QCoreApplication app(argc, argv);
}

void Qt(benchmark::State& state, const std::string& file, const char* format) {
  EnsureQtApplication();
  const TBytes& bytes = File(file);
  QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
  for (auto _ : state) {
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    QImage image = reader.read();
    if (image.isNull()) {
      state.SkipWithError(("Qt cannot read " + file).c_str());
      return;
    }
    benchmark::DoNotOptimize(image.constBits());
  }
}

void Magick(benchmark::State& state, const std::string& file, const char* format) {
  const TBytes& bytes = File(file);
  Magick::Blob blob(bytes.data(), bytes.size());
  for (auto _ : state) {
    Magick::Image image;
    image.magick(format);
    image.read(blob);
    benchmark::DoNotOptimize(image.getConstPixels(0, 0, image.columns(), image.rows()));
  }
}

int Register() {
  Magick::InitializeMagick(nullptr);
  benchmark::RegisterBenchmark("Bmp24/ours", Ours, "bmp24", "bmp")->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("Bmp24/qt", Qt, "bmp24", "bmp")->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("BmpRle8/ours", Ours, "bmprle8", "bmp")->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("BmpRle8/qt", Qt, "bmprle8", "bmp")->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("Ico32/ours", Ours, "ico", "ico")->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("Ico32/qt", Qt, "ico", "ico")->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("Tga32/ours", Ours, "tga32", "tga")->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("Tga32/qt", Qt, "tga32", "tga")->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("Tga32Rle/ours", Ours, "tga32rle", "tga")->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("Tga32Rle/magick", Magick, "tga32rle", "TGA")->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("Pcx8/ours", Ours, "pcx8", "pcx")->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("Pcx8/magick", Magick, "pcx8", "PCX")->Unit(benchmark::kMillisecond);
  return 0;
}

const int kRegistered = Register();

}  // namespace
