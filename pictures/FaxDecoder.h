#pragma once
// TFaxDecoder: fax pictures (fax): a TIFF file, or raw CCITT Group 3 data
// without any header, decoded through libtiff's fax decoder.

#include <cstdint>
#include <span>

#include "pictures/Bitmap.h"

namespace orb {

class TFaxDecoder {
 public:
  // A TIFF file decodes as TIFF. Raw Group 3 data has no header: the line
  // width is one of the decoded lengths of its first lines or the A4 width
  // of 1728 pixels; of these widths, one- and two-dimensional coding and
  // either bit order, the reading that decodes the most complete lines wins
  // (a page of only a few lines can be misread). A few bad lines at the
  // start are skipped; the picture ends with the last complete line (before
  // the end-of-page codes). Throws EPictureError ("FAX: ...").
  static TBitmap Decode(std::span<const std::uint8_t> bytes);
};

}  // namespace orb
