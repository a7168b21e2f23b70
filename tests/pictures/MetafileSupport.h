#pragma once
// Pixel checks shared by the WMF and EMF tests.

#include <cstdlib>
#include <string>

#include <QImage>

#include "pictures/Bitmap.h"
#include "tests/pictures/CorpusSupport.h"

namespace orb::test {

// Whether the pixel at (x, y) is opaque and within a few levels of r, g, b.
inline bool IsColor(const TBitmap& b, int x, int y, int r, int g, int blue) {
  if (x < 0 || y < 0 || x >= b.Width || y >= b.Height) return false;
  const std::uint8_t* p = b.Row(y).data() + std::size_t(x) * 4;
  return std::abs(p[0] - r) <= 8 && std::abs(p[1] - g) <= 8 && std::abs(p[2] - blue) <= 8 && p[3] == 255;
}

// The bitmap resampled to width x height (smoothly, as a reference scaler would).
inline TBitmap Scaled(const TBitmap& b, int width, int height) {
  QImage image(b.Pixels.data(), b.Width, b.Height, b.Width * 4, QImage::Format_RGBA8888);
  // Stretched to exactly width x height ({}: proportions not kept).
  QImage small = image.scaled(QSize(width, height), {}, Qt::SmoothTransformation)
                     .convertToFormat(QImage::Format_RGBA8888);
  TBitmap result;
  result.Width = width;
  result.Height = height;
  for (int y = 0; y < height; ++y)
    result.Pixels.insert(result.Pixels.end(), small.constScanLine(y), small.constScanLine(y) + width * 4);
  return result;
}

// The share of pixels where some channel differs by more than threshold.
inline double ShareOfDifferentPixels(const TBitmap& a, const TBitmap& b, int threshold) {
  if (a.Width != b.Width || a.Height != b.Height) return 1;
  std::size_t different = 0;
  for (std::size_t i = 0; i < a.Pixels.size(); i += 4) {
    for (int c = 0; c < 4; ++c) {
      if (std::abs(int(a.Pixels[i + c]) - int(b.Pixels[i + c])) > threshold) {
        ++different;
        break;
      }
    }
  }
  return double(different) / double(a.Width * a.Height);
}

}  // namespace orb::test
