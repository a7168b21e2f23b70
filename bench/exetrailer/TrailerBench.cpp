// Reading the trailer of a 1 GiB program file against the same on a 1 MiB
// one: the read touches the footer and the payload only, so the size of
// what lies before them must not count. The large file is sparse.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "exetrailer/ExeModifier_.h"

namespace {

namespace fs = std::filesystem;

// A program file of the size with a trailer naming a document, made once
// per run and removed at its end.
class TProgramFile {
 public:
  explicit TProgramFile(std::uintmax_t size)
      : path_(fs::temp_directory_path() /
              ("orb-bench-trailer-" + std::to_string(getpid()) + "-" + std::to_string(size))) {
    std::ofstream(path_, std::ios::binary).put('M');
    fs::resize_file(path_, size);
    orb::TExeBuf payload;
    orb::StrToExeBuf(std::string("Docs\\Manual.pdf") + '\0', payload);
    orb::AppendExeBuf(path_.string(), payload);
  }
  ~TProgramFile() {
    std::error_code error;
    fs::remove(path_, error);
  }
  std::string Path() const { return path_.string(); }

 private:
  fs::path path_;
};

void Read(benchmark::State& state, std::uintmax_t size) {
  static const TProgramFile small(std::uintmax_t(1) << 20);
  static const TProgramFile large(std::uintmax_t(1) << 30);
  const std::string path = size == (std::uintmax_t(1) << 20) ? small.Path() : large.Path();
  for (auto _ : state) {
    orb::TExeBuf payload;
    orb::ReadExeBuf(path, payload);
    benchmark::DoNotOptimize(payload.data());
  }
}

void ReadExeBuf_Large(benchmark::State& state) { Read(state, std::uintmax_t(1) << 30); }
void ReadExeBuf_Small(benchmark::State& state) { Read(state, std::uintmax_t(1) << 20); }

}  // namespace

BENCHMARK(ReadExeBuf_Large)->Name("ReadExeBuf1GiB/ours")->Unit(benchmark::kMicrosecond);
BENCHMARK(ReadExeBuf_Small)->Name("ReadExeBuf1GiB/1MiB-file")->Unit(benchmark::kMicrosecond);
