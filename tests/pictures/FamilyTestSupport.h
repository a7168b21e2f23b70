#pragma once
// Checks shared by the decoder tests of the SGI, Photoshop, any-map and
// Animator families: a corpus file against its reference decode, the
// corpus's damaged files, and the little byte writers that build files from
// the formats' descriptions.

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "pictures/Bitmap.h"
#include "pictures/PictureError.h"
#include "pictures/PictureFile.h"
#include "tests/pictures/CorpusSupport.h"

namespace orb::test {

using TBytes = std::vector<std::uint8_t>;

// Decodes the corpus file (relative to the corpus's pictures folder) by its
// extension and compares it with its reference; tolerance is the largest
// allowed channel difference.
inline void ExpectMatchesReference(const std::string& file, int tolerance = 0) {
  SCOPED_TRACE(file);
  std::filesystem::path path = PictureCorpusDir() / file;
  TBitmap decoded = LoadPictureFile(path);
  TBitmap reference = ReadReferencePng(path.string() + ".ref.png");
  EXPECT_EQ(decoded.Width, reference.Width);
  EXPECT_EQ(decoded.Height, reference.Height);
  int difference = MaxChannelDifference(decoded, reference);
  EXPECT_GE(difference, 0);
  EXPECT_LE(difference, tolerance);
}

// Every negative file of the family must fail with an EPictureError, except
// that lenient-ok files may decode; ".bin" files are fed as extension.
inline void ExpectDamagedFilesFail(std::string_view family, std::string_view binExtension) {
  int checked = 0;
  for (const TCorpusEntry& entry : CorpusEntries(family)) {
    if (entry.Valid) continue;
    SCOPED_TRACE(entry.File.string());
    std::ifstream in(entry.File, std::ios::binary);
    TBytes bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::string extension = entry.File.extension().string().substr(1);
    if (extension == "bin") extension = binExtension;
    std::string failure = FailureOf([&] { DecodePicture(bytes, extension); });
    if (!entry.LenientOk) {
      EXPECT_NE(failure, "(no failure)");
    }
    ++checked;
  }
  EXPECT_GT(checked, 0);
}

inline void PutU16BE(TBytes& out, unsigned v) {
  out.push_back(std::uint8_t(v >> 8));
  out.push_back(std::uint8_t(v));
}
inline void PutU32BE(TBytes& out, std::uint32_t v) {
  PutU16BE(out, v >> 16);
  PutU16BE(out, v & 0xffff);
}
inline void PutU16LE(TBytes& out, unsigned v) {
  out.push_back(std::uint8_t(v));
  out.push_back(std::uint8_t(v >> 8));
}
inline void PutU32LE(TBytes& out, std::uint32_t v) {
  PutU16LE(out, v & 0xffff);
  PutU16LE(out, v >> 16);
}
inline void PutBytes(TBytes& out, std::initializer_list<std::uint8_t> bytes) { out.insert(out.end(), bytes); }

// The RGBA of one pixel, for comparisons.
inline std::vector<int> PixelAt(const TBitmap& bitmap, int x, int y) {
  const std::uint8_t* p = bitmap.Pixels.data() + (std::size_t(y) * std::size_t(bitmap.Width) + std::size_t(x)) * 4;
  return {p[0], p[1], p[2], p[3]};
}

}  // namespace orb::test
