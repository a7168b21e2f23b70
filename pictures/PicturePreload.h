#pragma once
// Decoding pictures ahead of their use: a program that knows early which
// picture files it will show starts decoding them on worker threads while it
// does other work. LoadPictureFile then takes the result, or the failure,
// instead of decoding the file again. A preload is taken once; a later load
// of the same file decodes it anew.

#include <filesystem>
#include <optional>

#include "pictures/Bitmap.h"

namespace orb {

// Starts decoding the file at path, unless a preload of it is pending.
void PreloadPictureFile(const std::filesystem::path& path);

// Waits for every preload that was not taken and drops it, with its picture.
void DropPicturePreloads();

// The picture of a pending preload of path, once decoded, or nothing when
// there is none; rethrows the preload's failure. The preload is gone after.
std::optional<TBitmap> TakePreloadedPicture(const std::filesystem::path& path);

}  // namespace orb
