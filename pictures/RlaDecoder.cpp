#include "pictures/RlaDecoder.h"

#include <algorithm>
#include <vector>

#include "pictures/ByteReader.h"
#include "pictures/PictureLimits.h"

namespace orb {
namespace {

constexpr const char* kFormat = "RLA";

// The header is 740 bytes, big-endian. The fields read here:
//   0  window (left, right, bottom, top), 8  active window (same order),
//   18 storage type of colour channels, 20 colour channel count,
//   22 matte channel count, 24 auxiliary channel count,
//   658 bits per colour channel, 660 matte storage type, 662 matte bits.
// The rest is text (gamma, chromaticities, names, dates) and, for .rpf,
// more auxiliary channel description; none of it changes the pixels.
constexpr std::size_t kHeaderSize = 740;
constexpr int kStorageByte = 0;
constexpr int kStorageWord = 1;

struct TChannelGroup {
  int Count = 0;
  int Bits = 8;
  int BytesPerSample = 1;
};

struct THeader {
  int Width = 0;
  int Height = 0;
  TChannelGroup Colour;
  TChannelGroup Matte;
};

TChannelGroup ReadGroup(const TByteReader& reader, int count, int storage, int bits) {
  if (count < 0) reader.Fail("bad channel count");
  TChannelGroup group;
  group.Count = count;
  if (count == 0) return group;
  // Some writers leave the storage type at "byte" for deeper samples, so
  // the bit count decides the sample size.
  if ((storage != kStorageByte && storage != kStorageWord) || bits < 1 || bits > 16)
    reader.Fail("unsupported channel type");
  group.Bits = bits;
  group.BytesPerSample = bits > 8 ? 2 : 1;
  return group;
}

THeader ReadHeader(TByteReader& reader) {
  if (reader.Size() < kHeaderSize) reader.Fail("unexpected end of file");
  reader.Seek(8);
  int left = reader.I16BE();
  int right = reader.I16BE();
  int bottom = reader.I16BE();
  int top = reader.I16BE();
  reader.Skip(2);  // frame number
  int colourStorage = reader.I16BE();
  int colourCount = reader.I16BE();
  int matteCount = reader.I16BE();
  reader.Seek(658);
  int colourBits = reader.I16BE();
  int matteStorage = reader.I16BE();
  int matteBits = reader.I16BE();
  reader.Seek(kHeaderSize);

  THeader header;
  header.Width = right - left + 1;
  header.Height = top - bottom + 1;
  if (header.Width <= 0 || header.Height <= 0) reader.Fail("bad dimensions");
  header.Colour = ReadGroup(reader, colourCount, colourStorage, colourBits);
  header.Matte = ReadGroup(reader, matteCount, matteStorage, matteBits);
  if (header.Colour.Count == 0) reader.Fail("no colour channels");
  return header;
}

// Decodes one run-length record of count samples into out. A signed count
// byte n >= 0 repeats the next byte n + 1 times; n < 0 copies -n bytes.
void DecodeRuns(const TByteReader& reader, std::span<const std::uint8_t> record, std::span<std::uint8_t> out) {
  std::size_t in = 0;
  std::size_t x = 0;
  while (x < out.size()) {
    if (in >= record.size()) reader.Fail("bad run length data");
    int n = static_cast<std::int8_t>(record[in++]);
    if (n >= 0) {
      if (in >= record.size()) reader.Fail("bad run length data");
      std::size_t count = std::min<std::size_t>(std::size_t(n) + 1, out.size() - x);
      std::fill_n(out.begin() + std::ptrdiff_t(x), count, record[in++]);
      x += count;
    } else {
      std::size_t count = std::size_t(-n);
      if (count > record.size() - in || count > out.size() - x) reader.Fail("bad run length data");
      std::copy_n(record.begin() + std::ptrdiff_t(in), count, out.begin() + std::ptrdiff_t(x));
      in += count;
      x += count;
    }
  }
}

// Reads a channel's record at the reader's position and leaves its 8-bit
// samples in plane. Deeper samples are stored as byte planes, most
// significant first; the high plane is kept, or the value is rescaled when
// it does not use all 16 bits.
void ReadChannel(TByteReader& reader, const TChannelGroup& group, std::vector<std::uint8_t>& scratch,
                 std::span<std::uint8_t> plane) {
  std::size_t length = reader.U16BE();
  auto record = reader.Bytes(length);
  const std::size_t width = plane.size();
  if (group.BytesPerSample == 1 && group.Bits == 8) {
    DecodeRuns(reader, record, plane);
    return;
  }
  scratch.resize(width * std::size_t(group.BytesPerSample));
  DecodeRuns(reader, record, scratch);
  const unsigned max = (1u << group.Bits) - 1;
  for (std::size_t x = 0; x < width; ++x) {
    unsigned value = group.BytesPerSample == 1 ? scratch[x] : (unsigned(scratch[x]) << 8) | scratch[width + x];
    if (group.Bits == 16)
      plane[x] = std::uint8_t(value >> 8);
    else
      plane[x] = std::uint8_t((std::min(value, max) * 255u + max / 2) / max);
  }
}

}  // namespace

TBitmap TRlaDecoder::Decode(std::span<const std::uint8_t> bytes) {
  TByteReader reader(bytes, kFormat);
  const THeader header = ReadHeader(reader);
  // The scanline offset table must fit, and every channel of every row takes
  // at least its 2-byte length and one run of at most 128 samples per 2 bytes.
  const std::size_t channels = std::size_t(header.Colour.Count) + std::size_t(header.Matte.Count);
  const std::size_t minRowBytes = channels * (2 + 2 * ((std::size_t(header.Width) + 127) / 128));
  if (std::size_t(header.Height) * (4 + minRowBytes) > reader.Remaining()) reader.Fail("unexpected end of file");
  std::vector<std::uint32_t> offsets(std::size_t(header.Height));
  for (std::uint32_t& offset : offsets) offset = reader.U32BE();

  TBitmap bitmap = AllocateBitmap(kFormat, header.Width, header.Height);
  const std::size_t width = std::size_t(header.Width);
  // Planes: up to three colour samples and one matte sample per pixel.
  std::vector<std::uint8_t> planes(width * 4);
  std::vector<std::uint8_t> scratch;
  const bool grey = header.Colour.Count < 3;
  const int stored = grey ? 1 : 3;
  for (int row = 0; row < header.Height; ++row) {
    reader.Seek(offsets[std::size_t(row)]);
    for (int c = 0; c < header.Colour.Count; ++c) {
      // Colour channels past the third are read only to reach the matte.
      if (c < stored)
        ReadChannel(reader, header.Colour, scratch, std::span(planes).subspan(width * std::size_t(c), width));
      else
        reader.Skip(reader.U16BE());
    }
    std::span<std::uint8_t> matte = std::span(planes).subspan(width * 3, width);
    if (header.Matte.Count > 0)
      ReadChannel(reader, header.Matte, scratch, matte);
    else
      std::ranges::fill(matte, 255);

    // Row 0 of the file is the bottom of the picture.
    std::uint8_t* out = bitmap.Row(header.Height - 1 - row).data();
    const std::uint8_t* r = planes.data();
    const std::uint8_t* g = grey ? r : r + width;
    const std::uint8_t* b = grey ? r : r + 2 * width;
    const std::uint8_t* a = matte.data();
    for (std::size_t x = 0; x < width; ++x) {
      out[0] = r[x];
      out[1] = g[x];
      out[2] = b[x];
      out[3] = a[x];
      out += 4;
    }
  }
  return bitmap;
}

}  // namespace orb
