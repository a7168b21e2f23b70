// WMF and EMF playback on a large clip-art-like drawing: thousands of
// filled, outlined polygons, each with its own brush, at 2000 x 2000
// pixels. The peer for WMF is ImageMagick (libwmf); ImageMagick reads EMF
// only on Windows, so EMF is measured alone.

#include <benchmark/benchmark.h>

#include <Magick++.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "pictures/EmfDecoder.h"
#include "pictures/WmfDecoder.h"
#include "tests/pictures/MetafileWriter.h"

namespace {

using namespace orb::test;

constexpr int kPolygons = 3000;
constexpr int kUnits = 20000;  // logical units across, at 960 per inch: 2000 pixels

// Star-like blobs of 12..60 points scattered over the picture.
std::vector<std::vector<int>> MakeShapes() {
  std::mt19937 random(1234);
  std::uniform_int_distribution<int> position(0, kUnits), radius(100, 1500), points(12, 60);
  std::vector<std::vector<int>> shapes;
  for (int i = 0; i < kPolygons; ++i) {
    int cx = position(random), cy = position(random), r = radius(random), n = points(random);
    std::vector<int> xy;
    for (int k = 0; k < n; ++k) {
      double a = 2 * 3.14159265358979 * k / n;
      double rr = r * (k % 2 ? 0.6 : 1.0);
      xy.push_back(std::clamp(int(cx + rr * std::cos(a)), 0, kUnits));
      xy.push_back(std::clamp(int(cy + rr * std::sin(a)), 0, kUnits));
    }
    shapes.push_back(std::move(xy));
  }
  return shapes;
}

std::uint32_t ColorOf(int i) { return ColorRef((i * 37) % 256, (i * 91) % 256, (i * 53) % 256); }

const std::vector<std::uint8_t>& LargeWmf() {
  static const std::vector<std::uint8_t> file = [] {
    TWmfWriter w;
    w.SetMapMode(8).SetWindowOrg(0, 0).SetWindowExt(kUnits, kUnits);
    w.CreatePen(0, 10, ColorRef(0, 0, 0)).SelectObject(0);
    int i = 0;
    for (const std::vector<int>& xy : MakeShapes()) {
      w.CreateBrush(0, ColorOf(i++)).SelectObject(1);
      std::vector<std::uint8_t> params;
      PutU16(params, std::uint32_t(xy.size() / 2));
      for (int v : xy) PutU16(params, std::uint32_t(v));
      w.RecordBytes(0x0324, params);
      w.DeleteObject(1);
    }
    return w.Finish(std::vector<int>{0, 0, kUnits, kUnits}, 960);
  }();
  return file;
}

const std::vector<std::uint8_t>& LargeEmf() {
  static const std::vector<std::uint8_t> file = [] {
    TEmfWriter w;
    w.Record(38, {1, 0, 1, 0, 0}).Record(37, {1});  // a black pen of 1 pixel
    int i = 0;
    for (const std::vector<int>& xy : MakeShapes()) {
      w.Record(39, {2, 0, ColorOf(i++), 0}).Record(37, {2});
      std::vector<std::uint8_t> params(16, 0);  // bounds
      PutU32(params, std::uint32_t(xy.size() / 2));
      for (int v : xy) PutU16(params, std::uint32_t(v / 10));  // device pixels
      w.RecordBytes(86, params);  // POLYGON16
      w.Record(40, {2});
    }
    // 2000 device pixels over 2000 * 25.4 / 96 mm.
    return w.Finish({0, 0, 52917, 52917}, 960, 254);
  }();
  return file;
}

void WmfOurs(benchmark::State& state) {
  const auto& file = LargeWmf();
  for (auto _ : state) benchmark::DoNotOptimize(orb::TWmfDecoder::Decode(file));
}

void WmfMagick(benchmark::State& state) {
  static bool initialised = (Magick::InitializeMagick(nullptr), true);
  (void)initialised;
  const auto& file = LargeWmf();
  for (auto _ : state) {
    Magick::Image image;
    image.density(Magick::Geometry(96, 96));
    image.magick("WMF");
    image.read(Magick::Blob(file.data(), file.size()));
    benchmark::DoNotOptimize(image.columns());
  }
}

void EmfOurs(benchmark::State& state) {
  const auto& file = LargeEmf();
  for (auto _ : state) benchmark::DoNotOptimize(orb::TEmfDecoder::Decode(file));
}

}  // namespace

BENCHMARK(WmfOurs)->Name("Wmf/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(WmfMagick)->Name("Wmf/magick")->Unit(benchmark::kMillisecond);
BENCHMARK(EmfOurs)->Name("Emf/ours")->Unit(benchmark::kMillisecond);
