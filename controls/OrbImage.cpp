#include "controls/OrbImage.h"

#include <QPainter>

#include <filesystem>
#include <system_error>

#include "framework/LowAPI_.h"
#include "pictures/PictureFile.h"
#include "text/StoredPath.h"

namespace orb {
namespace {

// The image takes over the bitmap's pixels instead of copying them, so a
// large picture is never held twice.
QImage ToImage(TBitmap&& bitmap) {
  auto* pixels = new TPixelBuffer(std::move(bitmap.Pixels));
  return QImage(
      pixels->data(), bitmap.Width, bitmap.Height, qsizetype(bitmap.Width) * 4, QImage::Format_RGBA8888,
      [](void* buffer) { delete static_cast<TPixelBuffer*>(buffer); }, pixels);
}

}  // namespace

QRect PictureDestination(QSize picture, QSize box, bool center, bool stretch, bool proportional) {
  int w = picture.width();
  int h = picture.height();
  const int cw = box.width();
  const int ch = box.height();
  if (stretch || (proportional && (w > cw || h > ch))) {
    if (proportional && w > 0 && h > 0) {
      const double aspect = double(w) / double(h);
      if (w > h) {
        w = cw;
        h = int(cw / aspect);
        if (h > ch) {
          h = ch;
          w = int(ch * aspect);
        }
      } else {
        h = ch;
        w = int(ch * aspect);
        if (w > cw) {
          w = cw;
          h = int(cw / aspect);
        }
      }
    } else {
      w = cw;
      h = ch;
    }
  }
  int x = 0;
  int y = 0;
  if (center) {
    x = (cw - w) / 2;
    y = (ch - h) / 2;
  }
  return QRect(x, y, w, h);
}

TOrbImage::TOrbImage(QWidget* parent) : QWidget(parent) {}

void TOrbImage::SetPath(const QString& path) {
  path_ = path;
  std::string file = JoinStoredPath(ProgramFolder, path.toStdString());
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) return;
  picture_ = ToImage(LoadPictureFile(file));
  update();
}

void TOrbImage::SetCenter(bool center) {
  center_ = center;
  update();
}

void TOrbImage::SetStretch(bool stretch) {
  stretch_ = stretch;
  update();
}

void TOrbImage::SetProportional(bool proportional) {
  proportional_ = proportional;
  update();
}

void TOrbImage::paintEvent(QPaintEvent*) {
  if (picture_.isNull()) return;
  QPainter painter(this);
  painter.setRenderHint(QPainter::SmoothPixmapTransform, stretch_ || proportional_);
  painter.drawImage(PictureDestination(picture_.size(), size(), center_, stretch_, proportional_), picture_);
}

}  // namespace orb
