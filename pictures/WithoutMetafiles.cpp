// The metafile decoders of a program built without Qt, which they paint
// with: the table keeps .wmf and .emf, and reading one fails.

#include "pictures/EmfDecoder.h"
#include "pictures/PictureError.h"
#include "pictures/WmfDecoder.h"

namespace orb {

TBitmap TWmfDecoder::Decode(std::span<const std::uint8_t>) { throw EPictureError("WMF: not readable by this program"); }

TBitmap TEmfDecoder::Decode(std::span<const std::uint8_t>) { throw EPictureError("EMF: not readable by this program"); }

}  // namespace orb
