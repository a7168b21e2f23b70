#pragma once
// The table of registered picture extensions and their decoders.

#include <cstdint>
#include <filesystem>
#include <span>
#include <string_view>

#include "pictures/Bitmap.h"

namespace orb {

// What a decoder gets: the file's bytes and, for formats that read a
// companion file beside it, the file's path (may be empty).
struct TPictureInput {
  std::span<const std::uint8_t> Bytes;
  const std::filesystem::path& Path;
};

struct TPictureFormat {
  std::string_view Extension;  // lower case, without the dot
  TBitmap (*Decode)(const TPictureInput& input);
};

// Every registered extension, in one constant table.
std::span<const TPictureFormat> PictureFormats();

}  // namespace orb
