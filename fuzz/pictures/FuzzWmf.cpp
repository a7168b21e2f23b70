// Fuzzes the WMF player through the extension table. A GUI application
// object exists, as in the host, so that text records reach the fonts.
#include <QGuiApplication>

#include "pictures/PictureError.h"
#include "pictures/PictureFile.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static QGuiApplication app(*argc, *argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    orb::DecodePicture({data, size}, "wmf");
  } catch (const orb::EPictureError&) {
  }
  return 0;
}
