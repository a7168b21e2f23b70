#pragma once
// Helpers of the BMP, ICO, Targa and PCX decoder tests: a byte writer for
// files written from the formats' descriptions, and the corpus check.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <iostream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "pictures/Bitmap.h"
#include "pictures/PictureError.h"
#include "pictures/PictureFile.h"
#include "tests/pictures/CorpusSupport.h"

namespace orb::test {

// Little-endian fields appended one after another, as a format describes them.
class TBytes {
 public:
  TBytes& U8(std::initializer_list<int> values) {
    for (int v : values) bytes_.push_back(std::uint8_t(v));
    return *this;
  }
  TBytes& U16(std::initializer_list<int> values) {
    for (int v : values) U8({v & 0xff, (v >> 8) & 0xff});
    return *this;
  }
  TBytes& U32(std::initializer_list<std::int64_t> values) {
    for (std::int64_t v : values) U8({int(v & 0xff), int((v >> 8) & 0xff), int((v >> 16) & 0xff), int((v >> 24) & 0xff)});
    return *this;
  }
  TBytes& Zeros(std::size_t count) {
    bytes_.insert(bytes_.end(), count, 0);
    return *this;
  }
  std::size_t Size() const { return bytes_.size(); }
  std::vector<std::uint8_t>& Data() { return bytes_; }

 private:
  std::vector<std::uint8_t> bytes_;
};

inline std::vector<std::uint8_t> ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The pixel at (x, y) as {r, g, b, a}.
inline std::vector<int> PixelAt(const TBitmap& bitmap, int x, int y) {
  auto row = bitmap.Row(y);
  return {row[x * 4], row[x * 4 + 1], row[x * 4 + 2], row[x * 4 + 3]};
}

// Decodes every valid corpus file of a family by the given extension: files
// with a reference must match it within tolerance (tolerance(name) may allow
// more for some files), files without one must decode or fail cleanly.
// needs(name) names an extension a file depends on (an embedded PNG); the
// file is skipped while that extension is not registered.
inline void CheckValidCorpusFiles(std::string_view family, std::string_view extension,
                                  const std::function<int(const std::string&)>& tolerance,
                                  const std::function<std::string(const std::string&)>& needs) {
  int compared = 0;
  for (const TCorpusEntry& entry : CorpusEntries(family)) {
    std::string name = entry.File.filename().string();
    SCOPED_TRACE(name);
    if (!entry.Valid) continue;
    if (std::string need = needs(name); !need.empty() && !IsPictureExtension(need)) {
      std::cout << "skipped " << name << ": no ." << need << " decoder in this build\n";
      continue;
    }
    std::vector<std::uint8_t> bytes = ReadFileBytes(entry.File);
    if (!entry.HasReference) {
      try {
        EXPECT_FALSE(DecodePicture(bytes, extension).IsEmpty());
      } catch (const EPictureError&) {
      }
      continue;
    }
    TBitmap ours;
    ASSERT_NO_THROW(ours = DecodePicture(bytes, extension));
    TBitmap reference = ReadReferencePng(entry.File.string() + ".ref.png");
    int difference = MaxChannelDifference(ours, reference);
    EXPECT_GE(difference, 0) << "size " << ours.Width << "x" << ours.Height;
    EXPECT_LE(difference, tolerance(name));
    ++compared;
  }
  EXPECT_GT(compared, 0);
}

// Every negative corpus file of a family must fail with EPictureError; one
// marked lenient-ok may decode instead. Neither may crash.
inline void CheckDamagedCorpusFiles(std::string_view family, std::string_view extension) {
  int checked = 0;
  for (const TCorpusEntry& entry : CorpusEntries(family)) {
    if (entry.Valid) continue;
    SCOPED_TRACE(entry.File.filename().string());
    std::vector<std::uint8_t> bytes = ReadFileBytes(entry.File);
    ++checked;
    if (!entry.LenientOk) {
      EXPECT_THROW(DecodePicture(bytes, extension), EPictureError);
      continue;
    }
    try {
      DecodePicture(bytes, extension);
    } catch (const EPictureError&) {
    }
  }
  EXPECT_GT(checked, 0);
}

}  // namespace orb::test
