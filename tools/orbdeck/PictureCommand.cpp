// orbdeck picture IN OUT.png: decodes a picture as the picture box does and
// writes the bitmap as PNG.
#include <png.h>

#include <stdexcept>
#include <string>

#include "pictures/PictureFile.h"
#include "tools/orbdeck/Commands.h"
#include "tools/orbdeck/OffscreenQt.h"

namespace orb {
namespace {

void WritePng(const TBitmap& bitmap, const std::string& file) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = png_uint_32(bitmap.Width);
  image.height = png_uint_32(bitmap.Height);
  image.format = PNG_FORMAT_RGBA;
  if (!png_image_write_to_file(&image, file.c_str(), 0, bitmap.Pixels.data(), 0, nullptr))
    throw std::runtime_error("Cannot create file \"" + file + "\". " + image.message);
}

}  // namespace

int RunPictureCommand(const TArguments& arguments) {
  if (arguments.size() != 2) throw EUsage();
  // Metafiles draw their text through Qt, which needs an application object.
  TOffscreenQt qt;
  WritePng(LoadPictureFile(arguments[0]), arguments[1]);
  return 0;
}

}  // namespace orb
