#include "pictures/EpsDecoder.h"

#include <string>

#include "pictures/ByteReader.h"
#include "pictures/PictureError.h"
#include "pictures/PictureFile.h"
#include "pictures/TiffDecoder.h"

namespace orb {
namespace {

// The DOS EPS binary header: a magic number, then offset and length of the
// PostScript, the WMF preview and the TIFF preview, all 32-bit little-endian.
constexpr std::uint32_t kDosEpsMagic = 0xC6D3D0C5;
constexpr std::size_t kHeaderSize = 30;

struct TSection {
  std::uint32_t Offset = 0;
  std::uint32_t Length = 0;
};

}  // namespace

TBitmap TEpsDecoder::Decode(std::span<const std::uint8_t> bytes) {
  TByteReader reader(bytes, "EPS");
  if (bytes.size() < 4 || reader.U32LE() != kDosEpsMagic) reader.Fail("no preview picture");
  TSection postScript{reader.U32LE(), reader.U32LE()};
  TSection wmf{reader.U32LE(), reader.U32LE()};
  TSection tiff{reader.U32LE(), reader.U32LE()};
  // Every section must lie within the file, after the header.
  for (const TSection& section : {postScript, wmf, tiff}) {
    if (section.Length == 0) continue;
    if (section.Offset < kHeaderSize || std::uint64_t(section.Offset) + section.Length > bytes.size())
      reader.Fail("section outside the file");
  }
  if (tiff.Length == 0 && wmf.Length == 0) reader.Fail("no preview picture");
  // The failure of a damaged preview names the EPS file's format first.
  try {
    if (tiff.Length > 0) return TTiffDecoder::Decode(reader.BytesAt(tiff.Offset, tiff.Length));
    return DecodePicture(reader.BytesAt(wmf.Offset, wmf.Length), "wmf");
  } catch (const EPictureError& error) {
    throw EPictureError(std::string("EPS: bad preview picture (") + error.what() + ")");
  }
}

}  // namespace orb
