#pragma once
// The one entry point of picture decoding: a file is decoded by the decoder
// that its name's extension selects, compared without regard to case, among
// the registered extensions. Any other extension fails with
// "Unknown picture file extension (.<ext>)".

#include <cstdint>
#include <filesystem>
#include <span>
#include <string_view>

#include "pictures/Bitmap.h"

namespace orb {

// Reads and decodes the file at path, or takes the picture of a pending
// preload of it (PicturePreload.h). Throws EPictureError.
TBitmap LoadPictureFile(const std::filesystem::path& path);

// Reads and decodes the file at path, always. Throws EPictureError.
TBitmap ReadPictureFile(const std::filesystem::path& path);

// Decodes bytes as the format of the given extension (without the dot).
// path is the file the bytes came from, for formats that read a file beside
// it; it may be empty.
TBitmap DecodePicture(std::span<const std::uint8_t> bytes, std::string_view extension,
                      const std::filesystem::path& path = {});

// Whether the extension (without the dot) is registered.
bool IsPictureExtension(std::string_view extension);

}  // namespace orb
