#pragma once
// Access to the real picture files of the shared corpus and their reference
// decodes, for the decoder tests of every family.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "pictures/Bitmap.h"
#include "pictures/PictureError.h"

namespace orb::test {

struct TCorpusEntry {
  std::filesystem::path File;  // absolute path of the picture
  std::string Family;          // the folder: bmp, tga, ...
  bool Valid = false;          // false: the decoder must fail cleanly
  bool HasReference = false;   // File + ".ref.png" exists
  bool LenientOk = false;      // a negative file that a decoder may decode instead
  std::string Notes;
};

// The corpus folder of pictures, or an empty path when it is absent.
std::filesystem::path PictureCorpusDir();

// The manifest's entries of one family, in manifest order.
std::vector<TCorpusEntry> CorpusEntries(std::string_view family);

// Reads a reference PNG with libpng's own reader (not our decoder) as 8-bit RGBA.
TBitmap ReadReferencePng(const std::filesystem::path& file);

// The message of the EPictureError that call throws, or "(no failure)".
template <typename TCall>
std::string FailureOf(TCall&& call) {
  try {
    call();
  } catch (const EPictureError& e) {
    return e.what();
  }
  return "(no failure)";
}

// The largest difference of any channel between two bitmaps of the same size
// (-1 when the sizes differ). Fully transparent pixels compare only their alpha.
int MaxChannelDifference(const TBitmap& a, const TBitmap& b);

}  // namespace orb::test

// Skips the current test when the corpus folder is absent.
#define ORB_REQUIRE_CORPUS()                                                        \
  do {                                                                              \
    if (::orb::test::PictureCorpusDir().empty()) GTEST_SKIP() << "picture corpus absent"; \
  } while (0)
