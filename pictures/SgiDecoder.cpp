#include "pictures/SgiDecoder.h"

#include <algorithm>
#include <vector>

#include "pictures/ByteReader.h"
#include "pictures/PictureLimits.h"

namespace orb {
namespace {

constexpr const char* kFormat = "SGI";
constexpr std::uint16_t kMagic = 474;
constexpr std::size_t kHeaderSize = 512;
constexpr std::size_t kColourMapOffset = 104;  // after the sizes, pixel range and 80-byte name

struct TSgiHeader {
  bool Rle = false;
  int BytesPerChannel = 1;
  int Width = 0;
  int Height = 0;
  int Channels = 0;
};

TSgiHeader ReadHeader(TByteReader& in) {
  if (in.Size() < kHeaderSize) in.Fail("unexpected end of file");
  if (in.U16BE() != kMagic) in.Fail("not an SGI image");
  TSgiHeader header;
  std::uint8_t storage = in.U8();
  if (storage > 1) in.Fail("bad storage format");
  header.Rle = storage == 1;
  header.BytesPerChannel = in.U8();
  if (header.BytesPerChannel != 1 && header.BytesPerChannel != 2) in.Fail("bad bytes per channel");
  std::uint16_t dimension = in.U16BE();
  header.Width = in.U16BE();
  header.Height = in.U16BE();
  header.Channels = in.U16BE();
  // A one-dimensional image is a single row and a two-dimensional one a single
  // channel, whatever the unused size fields hold.
  if (dimension == 1) {
    header.Height = 1;
    header.Channels = 1;
  } else if (dimension == 2) {
    header.Channels = 1;
  } else if (dimension != 3) {
    in.Fail("bad dimension");
  }
  if (header.Channels < 1 || header.Channels > 4) in.Fail("bad channel count");
  in.Seek(kColourMapOffset);
  // Colour-mapped and dithered images are obsolete variants of the format.
  if (in.U32BE() != 0) in.Fail("unsupported colour map");
  in.Seek(kHeaderSize);
  return header;
}

// Where one channel's samples go in an RGBA pixel: grey fills R, G and B;
// grey+alpha puts its second channel in A; RGB(A) go to their own slots.
struct TChannelTarget {
  int Offset;  // first byte within a pixel
  int Count;   // bytes per pixel written with the same value (3 for grey)
};

TChannelTarget TargetOf(int channels, int channel) {
  if (channels <= 2) return channel == 0 ? TChannelTarget{0, 3} : TChannelTarget{3, 1};
  return TChannelTarget{channel, 1};
}

// samples holds at least width samples of Bytes bytes; the first byte of each is used.
template <int Bytes>
void StoreRow(std::span<const std::uint8_t> samples, std::uint8_t* out, int width, TChannelTarget target) {
  const std::uint8_t* in = samples.data();
  out += target.Offset;
  if (target.Count == 3) {
    for (int x = 0; x < width; ++x, out += 4, in += Bytes) out[0] = out[1] = out[2] = in[0];
  } else {
    for (int x = 0; x < width; ++x, out += 4, in += Bytes) out[0] = in[0];
  }
}

// Images without an alpha channel are opaque.
void MakeOpaque(std::uint8_t* out, int width) {
  for (int x = 0; x < width; ++x) out[std::size_t(x) * 4 + 3] = 255;
}

bool HasAlpha(const TSgiHeader& header) { return header.Channels == 2 || header.Channels == 4; }

// Pixels are written row by row, every channel of a row while it is in the
// cache, although the file stores the channels one after another.
void DecodeVerbatim(TByteReader& in, const TSgiHeader& header, TBitmap& bitmap) {
  std::size_t rowBytes = std::size_t(header.Width) * std::size_t(header.BytesPerChannel);
  std::size_t planeBytes = rowBytes * std::size_t(header.Height);
  std::size_t start = in.Position();
  for (int y = 0; y < header.Height; ++y) {
    std::uint8_t* out = bitmap.Row(header.Height - 1 - y).data();
    for (int channel = 0; channel < header.Channels; ++channel) {
      TChannelTarget target = TargetOf(header.Channels, channel);
      std::span<const std::uint8_t> row =
          in.BytesAt(start + std::size_t(channel) * planeBytes + std::size_t(y) * rowBytes, rowBytes);
      // Sixteen-bit samples are big-endian: their high byte comes first.
      if (header.BytesPerChannel == 1)
        StoreRow<1>(row, out, header.Width, target);
      else
        StoreRow<2>(row, out, header.Width, target);
    }
    if (!HasAlpha(header)) MakeOpaque(out, header.Width);
  }
}

// Expands one RLE row of 8- or 16-bit elements into one sample byte per
// pixel (the high byte for 16 bits). Each control element holds a count in
// its low 7 bits and, in bit 7, whether that many literal elements follow
// (set) or one element to repeat (clear); a zero count, or the end of the
// row's data once the row is full, ends the row. Runs past the row's width or
// data past the row's stored length fail.
template <int Bytes>
void ExpandRow(TByteReader& rowReader, std::uint8_t* samples, int width) {
  std::span<const std::uint8_t> data = rowReader.Bytes(rowReader.Remaining());
  std::size_t pos = 0;
  int x = 0;
  for (;;) {
    if (x == width && pos == data.size()) break;
    if (pos + Bytes > data.size()) rowReader.Fail("row data past its length");
    unsigned control = data[pos + Bytes - 1];
    pos += Bytes;
    int count = int(control & 0x7f);
    if (count == 0) break;
    if (count > width - x) rowReader.Fail("run past end of row");
    if (control & 0x80) {
      std::size_t need = std::size_t(count) * Bytes;
      if (need > data.size() - pos) rowReader.Fail("row data past its length");
      const std::uint8_t* from = data.data() + pos;
      if constexpr (Bytes == 1) {
        std::copy(from, from + count, samples + x);
      } else {
        for (int i = 0; i < count; ++i) samples[x + i] = from[i * Bytes];
      }
      pos += need;
    } else {
      if (pos + Bytes > data.size()) rowReader.Fail("row data past its length");
      std::fill(samples + x, samples + x + count, data[pos]);
      pos += Bytes;
    }
    x += count;
  }
  if (x != width) rowReader.Fail("short row");
}

// Where each row's RLE data lies, channel by channel, rows bottom-up.
struct TRowSpan {
  std::uint32_t Start;
  std::uint32_t Length;
};

// Reads the offset and length tables and checks every row against the file
// and against the least data a full row needs (one control element and one
// value per 127 samples), before any pixel buffer exists. Rows may share data,
// so only each row on its own is bounded by the file.
std::vector<TRowSpan> ReadRowTable(TByteReader& in, const TSgiHeader& header) {
  std::size_t rows = std::size_t(header.Height) * std::size_t(header.Channels);
  if (rows * 8 > in.Remaining()) in.Fail("unexpected end of file");
  TByteReader starts(in.Bytes(rows * 4), kFormat);
  TByteReader lengths(in.Bytes(rows * 4), kFormat);
  std::uint64_t least = (std::uint64_t(header.Width) + 126) / 127 * 2 * std::uint64_t(header.BytesPerChannel);
  std::vector<TRowSpan> table(rows);
  for (TRowSpan& row : table) {
    row.Start = starts.U32BE();
    row.Length = lengths.U32BE();
    if (row.Length < least) in.Fail("bad row length");
    in.BytesAt(row.Start, row.Length);
  }
  return table;
}

void DecodeRle(const std::vector<TRowSpan>& table, TByteReader& in, const TSgiHeader& header, TBitmap& bitmap) {
  std::vector<std::uint8_t> samples(std::size_t(header.Width));
  for (int y = 0; y < header.Height; ++y) {
    std::uint8_t* out = bitmap.Row(header.Height - 1 - y).data();
    for (int channel = 0; channel < header.Channels; ++channel) {
      const TRowSpan& span = table[std::size_t(channel) * std::size_t(header.Height) + std::size_t(y)];
      TByteReader rowReader(in.BytesAt(span.Start, span.Length), kFormat);
      if (header.BytesPerChannel == 1)
        ExpandRow<1>(rowReader, samples.data(), header.Width);
      else
        ExpandRow<2>(rowReader, samples.data(), header.Width);
      StoreRow<1>(samples, out, header.Width, TargetOf(header.Channels, channel));
    }
    if (!HasAlpha(header)) MakeOpaque(out, header.Width);
  }
}

}  // namespace

TBitmap TSgiDecoder::Decode(std::span<const std::uint8_t> bytes) {
  TByteReader in(bytes, kFormat);
  TSgiHeader header = ReadHeader(in);
  std::vector<TRowSpan> table;
  if (header.Rle) {
    table = ReadRowTable(in, header);
  } else {
    std::uint64_t size = std::uint64_t(header.Height) * std::uint64_t(header.Channels) *
                         std::uint64_t(header.Width) * std::uint64_t(header.BytesPerChannel);
    if (size > in.Remaining()) in.Fail("unexpected end of file");
  }
  TBitmap bitmap = AllocateBitmap(kFormat, header.Width, header.Height);
  if (header.Rle)
    DecodeRle(table, in, header, bitmap);
  else
    DecodeVerbatim(in, header, bitmap);
  return bitmap;
}

}  // namespace orb
