#include "pictures/FaxDecoder.h"

#include <algorithm>
#include <vector>

#include "pictures/PictureError.h"
#include "pictures/PictureLimits.h"
#include "pictures/TiffDecoder.h"
#include "pictures/TiffHandle.h"

namespace orb {
namespace {

// The line width of a standard A4 fax page, tried besides the widths the
// first lines measure (they may be damaged).
constexpr std::uint32_t kA4Width = 1728;
// Wider than any fax line: the width at which the first line is decoded to
// measure its real length.
constexpr std::uint32_t kMeasuringWidth = 16384;

struct TFaxGuess {
  std::uint32_t Width = 0;
  std::uint32_t Group3Options = 0;  // 0: one-dimensional coding, 1: two-dimensional
  std::uint16_t FillOrder = FILLORDER_MSB2LSB;
};

void PutU16(std::vector<std::uint8_t>& out, unsigned v) {
  out.push_back(std::uint8_t(v));
  out.push_back(std::uint8_t(v >> 8));
}
void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  PutU16(out, v & 0xffff);
  PutU16(out, v >> 16);
}

// A little-endian TIFF file of one strip holding the raw data: the way to
// hand headerless Group 3 data to libtiff's decoder.
std::vector<std::uint8_t> WrapInTiff(std::span<const std::uint8_t> data, const TFaxGuess& guess, std::uint32_t height) {
  struct TEntry {
    std::uint16_t Tag, Type;
    std::uint32_t Value;
  };
  constexpr std::uint16_t kShort = 3, kLong = 4;
  constexpr std::uint32_t kEntries = 11;
  constexpr std::uint32_t kDataOffset = 8 + 2 + kEntries * 12 + 4;
  const TEntry entries[kEntries] = {
      {TIFFTAG_IMAGEWIDTH, kLong, guess.Width},
      {TIFFTAG_IMAGELENGTH, kLong, height},
      {TIFFTAG_BITSPERSAMPLE, kShort, 1},
      {TIFFTAG_COMPRESSION, kShort, COMPRESSION_CCITTFAX3},
      {TIFFTAG_PHOTOMETRIC, kShort, PHOTOMETRIC_MINISWHITE},
      {TIFFTAG_FILLORDER, kShort, guess.FillOrder},
      {TIFFTAG_STRIPOFFSETS, kLong, kDataOffset},
      {TIFFTAG_SAMPLESPERPIXEL, kShort, 1},
      {TIFFTAG_ROWSPERSTRIP, kLong, height},
      {TIFFTAG_STRIPBYTECOUNTS, kLong, std::uint32_t(data.size())},
      {TIFFTAG_GROUP3OPTIONS, kLong, guess.Group3Options},
  };
  std::vector<std::uint8_t> file{'I', 'I', 42, 0};
  PutU32(file, 8);
  PutU16(file, kEntries);
  for (const TEntry& entry : entries) {
    PutU16(file, entry.Tag);
    PutU16(file, entry.Type);
    PutU32(file, 1);
    if (entry.Type == kShort) {
      PutU16(file, entry.Value);
      PutU16(file, 0);
    } else {
      PutU32(file, entry.Value);
    }
  }
  PutU32(file, 0);
  file.insert(file.end(), data.begin(), data.end());
  return file;
}

// Lines before the first complete one that are skipped: extra end-of-line
// codes at the start of a page, or a damaged first line.
constexpr std::uint32_t kMaxLeadingLines = 8;

// libtiff's fax decoder hands each decoded line to a fill function as run
// lengths, alternately white and black. A line shorter than the declared
// width gets one more white run up to that width, so the runs before the
// last one add up to the line's real length. The function has no context
// argument, hence the thread-local result.
using TFaxFill = void (*)(unsigned char*, std::uint32_t*, std::uint32_t*, std::uint32_t);
thread_local std::uint32_t measuredWidth = 0;

void MeasureLine(unsigned char*, std::uint32_t* runs, std::uint32_t* end, std::uint32_t) {
  std::uint64_t sum = 0;
  for (const std::uint32_t* run = runs; run < end; ++run) sum += *run;
  measuredWidth = end > runs ? std::uint32_t(sum - end[-1]) : 0;
}

// The different real lengths of the first lines, in order: the candidates
// for the page width.
std::vector<std::uint32_t> MeasureFirstLines(std::span<const std::uint8_t> data, TFaxGuess guess) {
  guess.Width = kMeasuringWidth;
  std::vector<std::uint8_t> file = WrapInTiff(data, guess, kMaxLeadingLines + 1);
  TTiffHandle handle(file, "FAX");
  TIFFSetField(handle.Get(), TIFFTAG_FAXFILLFUNC, static_cast<TFaxFill>(MeasureLine));
  std::vector<std::uint8_t> line(kMeasuringWidth / 8);
  std::vector<std::uint32_t> widths;
  for (std::uint32_t row = 0; row <= kMaxLeadingLines; ++row) {
    measuredWidth = 0;
    if (TIFFReadScanline(handle.Get(), line.data(), row, 0) < 0) break;
    if (measuredWidth > 0 && measuredWidth < kMeasuringWidth && std::ranges::find(widths, measuredWidth) == widths.end())
      widths.push_back(measuredWidth);
  }
  return widths;
}

// Decodes lines, skipping a few bad ones at the start, until the data ends
// or a line has a bad code (libtiff reports an error and goes on) or comes
// out of the wrong length (libtiff warns). Hands each complete line to take;
// returns their count.
template <typename TTake>
std::uint32_t DecodeLines(std::span<const std::uint8_t> data, const TFaxGuess& guess, std::uint32_t maxLines, TTake take) {
  std::vector<std::uint8_t> file = WrapInTiff(data, guess, maxLines + kMaxLeadingLines);
  TTiffHandle handle(file, "FAX");
  std::vector<std::uint8_t> line((guess.Width + 7) / 8);
  std::uint32_t lines = 0;
  for (std::uint32_t row = 0; lines < maxLines; ++row) {
    const int errors = handle.Errors(), warnings = handle.Warnings();
    if (TIFFReadScanline(handle.Get(), line.data(), row, 0) < 0) break;
    if (handle.Errors() != errors || handle.Warnings() != warnings) {
      if (lines == 0 && row < kMaxLeadingLines) continue;
      break;
    }
    take(lines, line);
    ++lines;
  }
  return lines;
}

}  // namespace

TBitmap TFaxDecoder::Decode(std::span<const std::uint8_t> bytes) {
  if (TTiffDecoder::IsTiff(bytes)) return TTiffDecoder::Decode(bytes);
  if (bytes.empty() || bytes.size() > UINT32_MAX - 4096) throw EPictureError("FAX: bad file size");

  // Every line starts with a 12-bit end-of-line code, so the data holds at
  // most this many lines.
  const std::uint64_t lineBound = bytes.size() * 8 / 12 + 1;
  TFaxGuess best;
  std::uint32_t bestLines = 0;
  for (std::uint16_t fillOrder : {FILLORDER_MSB2LSB, FILLORDER_LSB2MSB}) {
    for (std::uint32_t options : {0u, std::uint32_t(GROUP3OPT_2DENCODING)}) {
      TFaxGuess guess{0, options, fillOrder};
      std::vector<std::uint32_t> widths = MeasureFirstLines(bytes, guess);
      if (std::ranges::find(widths, kA4Width) == widths.end()) widths.push_back(kA4Width);
      for (std::uint32_t width : widths) {
        guess.Width = width;
        // One line more than the cap allows, so that a picture beyond it fails below.
        auto maxLines = std::uint32_t(std::min<std::uint64_t>(lineBound, kMaxPicturePixels / width + 1));
        std::uint32_t lines = DecodeLines(bytes, guess, maxLines, [](std::uint32_t, const std::vector<std::uint8_t>&) {});
        // Misread data (wrong bit order or coding) decodes into a few lines
        // at most before it fails; ties go to the reading tried first.
        if (lines > bestLines) {
          best = guess;
          bestLines = lines;
        }
      }
    }
  }
  if (bestLines == 0) throw EPictureError("FAX: no complete fax line");

  TBitmap bitmap = AllocateBitmap("FAX", best.Width, bestLines);
  DecodeLines(bytes, best, bestLines, [&](std::uint32_t y, const std::vector<std::uint8_t>& line) {
    std::uint8_t* target = bitmap.Row(int(y)).data();
    for (std::uint32_t x = 0; x < best.Width; ++x, target += 4) {
      // Photometric min-is-white: a set bit is black.
      std::uint8_t value = (line[x >> 3] >> (7 - (x & 7))) & 1 ? 0 : 255;
      target[0] = target[1] = target[2] = value;
      target[3] = 255;
    }
  });
  return bitmap;
}

}  // namespace orb
