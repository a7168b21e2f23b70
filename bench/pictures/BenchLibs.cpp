// Decode time of typical large JPEG, PNG and TIFF files: ours against Qt's
// QImageReader, and for JPEG and PNG against libjpeg-turbo and libpng called
// directly into a bare buffer (the floor any wrapper can reach).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <vector>

#include <QBuffer>
#include <QByteArray>
#include <QCoreApplication>
#include <QImage>
#include <QImageReader>

#include <jpeglib.h>
#include <png.h>
#include <tiffio.h>

#include "bench/support/SyntheticPictures.h"
#include "pictures/JpegDecoder.h"
#include "pictures/PngDecoder.h"
#include "pictures/TiffDecoder.h"

namespace {

using orb::bench::MakePixels;
using orb::bench::TBytes;
using orb::bench::WriteJpeg;

TBytes WritePng(int width, int height) {
  std::vector<std::uint8_t> pixels = MakePixels(width, height, 4);
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = png_uint_32(width);
  image.height = png_uint_32(height);
  image.format = PNG_FORMAT_RGBA;
  png_alloc_size_t size = PNG_IMAGE_PNG_SIZE_MAX(image);
  TBytes file(size);
  png_image_write_to_memory(&image, file.data(), &size, 0, pixels.data(), 0, nullptr);
  file.resize(size);
  return file;
}

TBytes WriteLzwTiff(int width, int height) {
  std::vector<std::uint8_t> pixels = MakePixels(width, height, 3);
  char path[] = "/tmp/bench_pictures_libs_XXXXXX";
  int fd = mkstemp(path);
  TIFF* tiff = TIFFFdOpen(fd, path, "w");
  TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, std::uint32_t(width));
  TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, std::uint32_t(height));
  TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
  TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 3);
  TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
  TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
  TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tiff, 0));
  for (int y = 0; y < height; ++y) TIFFWriteScanline(tiff, pixels.data() + std::size_t(y) * width * 3, std::uint32_t(y), 0);
  TIFFClose(tiff);
  std::FILE* in = std::fopen(path, "rb");
  TBytes file;
  for (int c; (c = std::fgetc(in)) != EOF;) file.push_back(std::uint8_t(c));
  std::fclose(in);
  std::remove(path);
  return file;
}

const TBytes& JpegFile() {
  static const TBytes file = WriteJpeg(3000, 2000);
  return file;
}
const TBytes& PngFile() {
  static const TBytes file = WritePng(2000, 2000);
  return file;
}
const TBytes& TiffFile() {
  static const TBytes file = WriteLzwTiff(2000, 2000);
  return file;
}

// Qt finds its image plugins (jpeg, tiff) through the application object.
void EnsureQt() {
  static int argc = 1;
  static char name[] = "bench_pictures_libs";
  static char* argv[] = {name, nullptr};
  static QCoreApplication application(argc, argv);
}

QImage ReadWithQt(const TBytes& file, const char* format) {
  QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(file.data()), qsizetype(file.size()));
  QBuffer buffer(&data);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer, format);
  return reader.read();
}

// libjpeg-turbo straight into a buffer of RGBA rows (the pixels our decoder
// delivers), no checks beyond its own.
std::unique_ptr<std::uint8_t[]> BareJpeg(const TBytes& file) {
  jpeg_decompress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, file.data(), static_cast<unsigned long>(file.size()));
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_EXT_RGBA;
  jpeg_start_decompress(&info);
  std::size_t stride = std::size_t(info.output_width) * 4;
  auto pixels = std::make_unique_for_overwrite<std::uint8_t[]>(stride * info.output_height);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = pixels.get() + stride * info.output_scanline;
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return pixels;
}

// libpng straight into a buffer of RGBA rows (the file is 8-bit RGBA).
std::unique_ptr<std::uint8_t[]> BarePng(const TBytes& file) {
  struct TSource {
    const TBytes* File;
    std::size_t Position;
  } source{&file, 0};
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_set_read_fn(png, &source, [](png_structp p, png_bytep data, png_size_t length) {
    auto* s = static_cast<TSource*>(png_get_io_ptr(p));
    std::memcpy(data, s->File->data() + s->Position, length);
    s->Position += length;
  });
  png_read_info(png, info);
  png_uint_32 width = png_get_image_width(png, info), height = png_get_image_height(png, info);
  std::size_t stride = png_get_rowbytes(png, info);
  auto pixels = std::make_unique_for_overwrite<std::uint8_t[]>(stride * height);
  std::vector<png_bytep> rows(height);
  for (png_uint_32 y = 0; y < height; ++y) rows[y] = pixels.get() + stride * y;
  png_read_image(png, rows.data());
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  (void)width;
  return pixels;
}

// Each case takes its file before the timed loop: the first call writes it.
void Jpeg_Ours(benchmark::State& state) {
  const TBytes& file = JpegFile();
  for (auto _ : state) benchmark::DoNotOptimize(orb::TJpegDecoder::Decode(file));
}
void Jpeg_Qt(benchmark::State& state) {
  EnsureQt();
  const TBytes& file = JpegFile();
  for (auto _ : state) {
    QImage image = ReadWithQt(file, "jpeg");
    if (image.isNull()) state.SkipWithError("Qt cannot read JPEG");
    benchmark::DoNotOptimize(image);
  }
}
void Jpeg_Bare(benchmark::State& state) {
  const TBytes& file = JpegFile();
  for (auto _ : state) benchmark::DoNotOptimize(BareJpeg(file));
}
void Png_Ours(benchmark::State& state) {
  const TBytes& file = PngFile();
  for (auto _ : state) benchmark::DoNotOptimize(orb::TPngDecoder::Decode(file));
}
void Png_Qt(benchmark::State& state) {
  EnsureQt();
  const TBytes& file = PngFile();
  for (auto _ : state) {
    QImage image = ReadWithQt(file, "png");
    if (image.isNull()) state.SkipWithError("Qt cannot read PNG");
    benchmark::DoNotOptimize(image);
  }
}
void Png_Bare(benchmark::State& state) {
  const TBytes& file = PngFile();
  for (auto _ : state) benchmark::DoNotOptimize(BarePng(file));
}
void Tiff_Ours(benchmark::State& state) {
  const TBytes& file = TiffFile();
  for (auto _ : state) benchmark::DoNotOptimize(orb::TTiffDecoder::Decode(file));
}
void Tiff_Qt(benchmark::State& state) {
  EnsureQt();
  const TBytes& file = TiffFile();
  for (auto _ : state) {
    QImage image = ReadWithQt(file, "tiff");
    if (image.isNull()) state.SkipWithError("Qt cannot read TIFF (qt6-image-formats-plugins)");
    benchmark::DoNotOptimize(image);
  }
}

}  // namespace

BENCHMARK(Jpeg_Ours)->Name("Jpeg3000x2000q90/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(Jpeg_Qt)->Name("Jpeg3000x2000q90/qt")->Unit(benchmark::kMillisecond);
BENCHMARK(Jpeg_Bare)->Name("Jpeg3000x2000q90/bare")->Unit(benchmark::kMillisecond);
BENCHMARK(Png_Ours)->Name("Png2000x2000Rgba/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(Png_Qt)->Name("Png2000x2000Rgba/qt")->Unit(benchmark::kMillisecond);
BENCHMARK(Png_Bare)->Name("Png2000x2000Rgba/bare")->Unit(benchmark::kMillisecond);
BENCHMARK(Tiff_Ours)->Name("TiffLzwRgb2000x2000/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(Tiff_Qt)->Name("TiffLzwRgb2000x2000/qt")->Unit(benchmark::kMillisecond);
