// Decoding speed of the Photo CD, Dr. Halo, Paint Shop Pro and RLA decoders
// against ImageMagick (Magick++), both decoding the same file. Photo CD uses
// the corpus's real image pack; Dr. Halo, RLA and Paint Shop Pro pictures of
// 2000x2000 are written at start-up by the small writers below, since
// ImageMagick writes none of those formats. Two cases run without a peer:
// ImageMagick has no Paint Shop Pro reader, and the RLA reader of the
// ImageMagick 6 on our machines refuses every picture of more than one row
// ("corrupt image": its pixel counter is not reset between rows).
#include <Magick++.h>
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "pictures/PictureFile.h"

namespace {

using TBytes = std::vector<std::uint8_t>;
constexpr int kSide = 2000;

void Put16LE(TBytes& out, unsigned v) {
  out.push_back(std::uint8_t(v));
  out.push_back(std::uint8_t(v >> 8));
}
void Put16BE(TBytes& out, std::size_t at, unsigned v) {
  out[at] = std::uint8_t(v >> 8);
  out[at + 1] = std::uint8_t(v);
}

// A picture with flat stretches and noisy ones, like a scanned drawing: runs
// of 1 to 24 equal samples.
std::vector<TBytes> SamplePlanes(int channels) {
  std::mt19937 random(7);
  std::vector<TBytes> planes(std::size_t(channels), TBytes(std::size_t(kSide) * kSide));
  for (TBytes& plane : planes)
    for (std::size_t i = 0; i < plane.size();) {
      std::size_t run = 1 + random() % 24;
      std::uint8_t value = std::uint8_t(random());
      for (std::size_t k = 0; k < run && i < plane.size(); ++k) plane[i++] = value;
    }
  return planes;
}

// One row in Dr. Halo runs: repeats of 2+ equal bytes, else literals.
void EncodeCutRow(const std::uint8_t* row, TBytes& out) {
  std::size_t start = out.size();
  Put16LE(out, 0);
  for (int x = 0; x < kSide;) {
    int run = 1;
    while (x + run < kSide && run < 127 && row[x + run] == row[x]) ++run;
    if (run > 1) {
      out.push_back(std::uint8_t(0x80 | run));
      out.push_back(row[x]);
    } else {
      int literal = 1;
      while (x + literal < kSide && literal < 127 && row[x + literal] != row[x + literal - 1]) ++literal;
      if (x + literal < kSide && literal > 1) --literal;
      out.push_back(std::uint8_t(literal));
      out.insert(out.end(), row + x, row + x + literal);
      run = literal;
    }
    x += run;
  }
  out.push_back(0);
  unsigned count = unsigned(out.size() - start - 2);
  out[start] = std::uint8_t(count);
  out[start + 1] = std::uint8_t(count >> 8);
}

TBytes MakeCut() {
  TBytes plane = SamplePlanes(1)[0];
  TBytes out;
  Put16LE(out, kSide);
  Put16LE(out, kSide);
  Put16LE(out, 0);
  for (int y = 0; y < kSide; ++y) EncodeCutRow(plane.data() + std::size_t(y) * kSide, out);
  return out;
}

// One channel row in RLA runs: count n >= 0 repeats n + 1 times, n < 0 copies -n.
void EncodeRlaRow(const std::uint8_t* row, TBytes& out) {
  TBytes record;
  for (int x = 0; x < kSide;) {
    int run = 1;
    while (x + run < kSide && run < 128 && row[x + run] == row[x]) ++run;
    if (run > 1) {
      record.push_back(std::uint8_t(run - 1));
      record.push_back(row[x]);
    } else {
      int literal = 1;
      while (x + literal < kSide && literal < 128 && row[x + literal] != row[x + literal - 1]) ++literal;
      if (x + literal < kSide && literal > 1) --literal;
      record.push_back(std::uint8_t(-literal));
      record.insert(record.end(), row + x, row + x + literal);
      run = literal;
    }
    x += run;
  }
  out.push_back(std::uint8_t(record.size() >> 8));
  out.push_back(std::uint8_t(record.size()));
  out.insert(out.end(), record.begin(), record.end());
}

TBytes MakeRla() {
  std::vector<TBytes> planes = SamplePlanes(4);
  TBytes out(740, 0);
  Put16BE(out, 2, kSide - 1);
  Put16BE(out, 6, kSide - 1);
  Put16BE(out, 10, kSide - 1);
  Put16BE(out, 14, kSide - 1);
  Put16BE(out, 20, 3);
  Put16BE(out, 22, 1);
  Put16BE(out, 26, 0xFFFE);
  Put16BE(out, 658, 8);
  Put16BE(out, 662, 8);
  std::size_t table = out.size();
  out.resize(table + kSide * 4);
  for (int row = 0; row < kSide; ++row) {
    std::uint32_t offset = std::uint32_t(out.size());
    for (int i = 0; i < 4; ++i)
      out[table + std::size_t(row) * 4 + std::size_t(i)] = std::uint8_t(offset >> (24 - 8 * i));
    for (const TBytes& plane : planes) EncodeRlaRow(plane.data() + std::size_t(row) * kSide, out);
  }
  return out;
}

// A version 6 Paint Shop Pro file: one 24-bit raster layer, LZ77 channels.
TBytes MakePsp() {
  auto block = [](unsigned id, const TBytes& data) {
    TBytes out{'~', 'B', 'K', 0};
    Put16LE(out, id);
    Put16LE(out, unsigned(data.size()));
    Put16LE(out, unsigned(data.size() >> 16));
    out.insert(out.end(), data.begin(), data.end());
    return out;
  };
  auto u32 = [](TBytes& out, std::uint32_t v) {
    Put16LE(out, v & 0xFFFF);
    Put16LE(out, v >> 16);
  };
  constexpr char kSignature[] = "Paint Shop Pro Image File\n\x1a";
  TBytes file(32, 0);
  std::memcpy(file.data(), kSignature, sizeof kSignature - 1);
  Put16LE(file, 6);
  Put16LE(file, 0);
  TBytes attributes;
  u32(attributes, 46);
  u32(attributes, kSide);
  u32(attributes, kSide);
  attributes.resize(attributes.size() + 9, 0);
  Put16LE(attributes, 2);  // LZ77
  Put16LE(attributes, 24);
  attributes.resize(46, 0);
  TBytes image = block(0, attributes);
  file.insert(file.end(), image.begin(), image.end());

  TBytes layer;
  u32(layer, 0);
  Put16LE(layer, 0);
  layer.push_back(1);  // raster
  for (int rect = 0; rect < 2; ++rect) {
    u32(layer, 0);
    u32(layer, 0);
    u32(layer, kSide);
    u32(layer, kSide);
  }
  layer.push_back(255);  // opacity
  layer.push_back(0);
  layer.push_back(1);  // visible
  layer.resize(layer.size() + 2 + 32 + 3 + 2 + 40, 0);
  std::uint32_t size = std::uint32_t(layer.size());
  for (int i = 0; i < 4; ++i) layer[std::size_t(i)] = std::uint8_t(size >> (8 * i));
  u32(layer, 8);
  Put16LE(layer, 1);
  Put16LE(layer, 3);
  std::vector<TBytes> planes = SamplePlanes(3);
  for (unsigned c = 0; c < 3; ++c) {
    uLongf packed = compressBound(uLong(planes[c].size()));
    TBytes data(packed);
    compress(data.data(), &packed, planes[c].data(), uLong(planes[c].size()));
    data.resize(packed);
    TBytes channel;
    u32(channel, 16);
    u32(channel, std::uint32_t(data.size()));
    u32(channel, std::uint32_t(planes[c].size()));
    Put16LE(channel, 0);
    Put16LE(channel, c + 1);
    channel.insert(channel.end(), data.begin(), data.end());
    TBytes sub = block(5, channel);
    layer.insert(layer.end(), sub.begin(), sub.end());
  }
  TBytes bank = block(3, block(4, layer));
  file.insert(file.end(), bank.begin(), bank.end());
  return file;
}

std::string WriteTemp(const char* name, const TBytes& bytes) {
  std::string file = (std::filesystem::temp_directory_path() / name).string();
  std::ofstream(file, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  return file;
}

// ImageMagick reads Dr. Halo and RLA pictures only from files, so every case
// decodes from a file, reading included, for both decoders.
const std::string& PcdFile() {
  static const std::string path = ORB_CORPUS_DIR "/pictures/pcd/hopper.pcd";
  return path;
}
const std::string& CutFile() {
  static const std::string path = WriteTemp("orb_bench_rare.cut", MakeCut());
  return path;
}
const std::string& RlaFile() {
  static const std::string path = WriteTemp("orb_bench_rare.rla", MakeRla());
  return path;
}
const std::string& PspFile() {
  static const std::string path = WriteTemp("orb_bench_rare.psp", MakePsp());
  return path;
}

void Ours(benchmark::State& state, const std::string& path) {
  for (auto _ : state) {
    orb::TBitmap bitmap = orb::LoadPictureFile(path);
    benchmark::DoNotOptimize(bitmap.Pixels.data());
  }
}

[[maybe_unused]] const bool kMagickReady = (Magick::InitializeMagick(nullptr), true);

// ImageMagick's decode, its pixels fetched as 8-bit RGBA bytes as ours come out.
void Magick(benchmark::State& state, const std::string& path) {
  for (auto _ : state) {
    Magick::Image image;
    image.read(path);
    Magick::Blob pixels;
    image.magick("RGBA");
    image.depth(8);
    image.write(&pixels);
    benchmark::DoNotOptimize(pixels.data());
  }
}

void PcdOurs(benchmark::State& s) { Ours(s, PcdFile()); }
void PcdMagick(benchmark::State& s) { Magick(s, PcdFile()); }
void CutOurs(benchmark::State& s) { Ours(s, CutFile()); }
void CutMagick(benchmark::State& s) { Magick(s, CutFile()); }
void RlaOurs(benchmark::State& s) { Ours(s, RlaFile()); }
void PspOurs(benchmark::State& s) { Ours(s, PspFile()); }

}  // namespace

// ImageMagick reads the 768x512 Base image of an image pack by default.
BENCHMARK(PcdOurs)->Name("Pcd/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(PcdMagick)->Name("Pcd/magick")->Unit(benchmark::kMillisecond);
BENCHMARK(CutOurs)->Name("Cut/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(CutMagick)->Name("Cut/magick")->Unit(benchmark::kMillisecond);
BENCHMARK(RlaOurs)->Name("Rla/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(PspOurs)->Name("Psp/ours")->Unit(benchmark::kMillisecond);
