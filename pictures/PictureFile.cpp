#include "pictures/PictureFile.h"

#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "pictures/PictureError.h"
#include "pictures/PictureFormats.h"
#include "pictures/PicturePreload.h"
#include "text/TextCompare.h"

namespace orb {
namespace {

const TPictureFormat* FindFormat(std::string_view extension) {
  for (const TPictureFormat& format : PictureFormats())
    if (SameText(format.Extension, extension)) return &format;
  return nullptr;
}

[[noreturn]] void FailUnknownExtension(std::string_view extension) {
  throw EPictureError("Unknown picture file extension (." + std::string(extension) + ")");
}

}  // namespace

bool IsPictureExtension(std::string_view extension) { return FindFormat(extension) != nullptr; }

TBitmap DecodePicture(std::span<const std::uint8_t> bytes, std::string_view extension,
                      const std::filesystem::path& path) {
  const TPictureFormat* format = FindFormat(extension);
  if (!format) FailUnknownExtension(extension);
  return format->Decode(TPictureInput{bytes, path});
}

TBitmap LoadPictureFile(const std::filesystem::path& path) {
  if (std::optional<TBitmap> preloaded = TakePreloadedPicture(path)) return std::move(*preloaded);
  return ReadPictureFile(path);
}

TBitmap ReadPictureFile(const std::filesystem::path& path) {
  std::string extension = path.extension().string();
  if (!extension.empty()) extension.erase(0, 1);
  // The extension is checked before the file is read, so an unknown one
  // fails the same way whatever the file holds.
  if (!IsPictureExtension(extension)) FailUnknownExtension(extension);
  std::ifstream in(path, std::ios::binary);
  if (!in) throw EPictureError("Cannot open file \"" + path.string() + "\"");
  std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) throw EPictureError("Cannot read file \"" + path.string() + "\"");
  return DecodePicture(bytes, extension, path);
}

}  // namespace orb
