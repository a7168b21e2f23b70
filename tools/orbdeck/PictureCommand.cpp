// orbdeck picture IN OUT.png: decodes a picture as the picture box does and
// writes the bitmap as PNG.
#include <QGuiApplication>

#include <png.h>

#include <stdexcept>
#include <string>

#include "pictures/PictureFile.h"
#include "tools/orbdeck/Commands.h"

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
  // Metafiles draw their text through Qt, which needs an application object;
  // nothing is shown, so no display is needed. Qt's own notes about the
  // environment would mix with the one line a failure prints, so they go.
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
  int argc = 1;
  char name[] = "orbdeck";
  char* argv[] = {name, nullptr};
  QGuiApplication application(argc, argv);
  WritePng(LoadPictureFile(arguments[0]), arguments[1]);
  return 0;
}

}  // namespace orb
