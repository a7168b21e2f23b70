#include "pictures/TgaDecoder.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "pictures/ByteReader.h"
#include "pictures/PictureLimits.h"

namespace orb {
namespace {

constexpr const char* kFormat = "TGA";
constexpr std::size_t kHeaderSize = 18;

enum : int { kColourMapped = 1, kTrueColour = 2, kGrey = 3, kRleFlag = 8 };

using TColour = std::array<std::uint8_t, 4>;
constexpr TColour kOpaqueBlack{0, 0, 0, 255};

struct THeader {
  int IdLength = 0;
  int MapType = 0;
  int ImageType = 0;
  int MapFirst = 0;
  int MapLength = 0;
  int MapEntryBits = 0;
  std::int64_t Width = 0;
  std::int64_t Height = 0;
  int Depth = 0;
  int AlphaBits = 0;
  bool RightToLeft = false;
  bool TopDown = false;
};

THeader ReadHeader(TByteReader& in) {
  THeader h;
  h.IdLength = in.U8();
  h.MapType = in.U8();
  h.ImageType = in.U8();
  h.MapFirst = in.U16LE();
  h.MapLength = in.U16LE();
  h.MapEntryBits = in.U8();
  in.Skip(4);  // x and y origin on the screen
  h.Width = in.U16LE();
  h.Height = in.U16LE();
  h.Depth = in.U8();
  int descriptor = in.U8();
  h.AlphaBits = descriptor & 15;
  h.RightToLeft = descriptor & 0x10;
  h.TopDown = descriptor & 0x20;

  int kind = h.ImageType & ~kRleFlag;
  if (h.ImageType == 0) in.Fail("no image data");
  if (kind < kColourMapped || kind > kGrey) in.Fail("unsupported image type");
  if (h.MapType > 1) in.Fail("bad colour map type");
  if (h.MapType == 1 && h.MapEntryBits != 15 && h.MapEntryBits != 16 && h.MapEntryBits != 24 &&
      h.MapEntryBits != 32)
    in.Fail("bad colour map entry size");
  bool depthOk = kind == kColourMapped ? h.MapType == 1 && (h.Depth == 8 || h.Depth == 16)
                 : kind == kTrueColour ? h.Depth == 15 || h.Depth == 16 || h.Depth == 24 || h.Depth == 32
                                       : h.Depth == 8 || h.Depth == 16;
  if (!depthOk) in.Fail("bad bits per pixel");
  if (h.Width == 0 || h.Height == 0) in.Fail("bad dimensions");
  return h;
}

// A 15/16-bit value, five bits per channel, widened as v * 255 / 31. When
// the descriptor declares an attribute bit, the top bit is the overlay bit
// of the Targa boards: set, the pixel lets the background show through.
TColour From555(unsigned v, bool alphaBit) {
  return {std::uint8_t(((v >> 10) & 31) * 255 / 31), std::uint8_t(((v >> 5) & 31) * 255 / 31),
          std::uint8_t((v & 31) * 255 / 31), std::uint8_t(alphaBit && (v & 0x8000) ? 0 : 255)};
}

std::vector<TColour> ReadColourMap(TByteReader& in, const THeader& h) {
  std::vector<TColour> map;
  if (h.MapType == 0) return map;
  std::size_t entryBytes = std::size_t(h.MapEntryBits + 7) / 8;
  auto bytes = in.Bytes(std::size_t(h.MapLength) * entryBytes);
  map.resize(std::size_t(h.MapLength));
  for (std::size_t i = 0; i < map.size(); ++i) {
    const std::uint8_t* e = &bytes[i * entryBytes];
    if (entryBytes == 2)
      map[i] = From555(unsigned(e[0] | (e[1] << 8)), h.MapEntryBits == 16 && h.AlphaBits > 0);
    else
      map[i] = {e[2], e[1], e[0], entryBytes == 4 ? e[3] : std::uint8_t(255)};
  }
  return map;
}

// Unpacks RLE packets into rows of stored pixels; a packet may run on into
// the next row, so its state outlives the row.
class TRlePixels {
 public:
  TRlePixels(TByteReader& in, std::size_t pixelBytes) : in_(in), pixelBytes_(pixelBytes) {}

  void Fill(std::uint8_t* out, std::size_t pixels) {
    while (pixels > 0) {
      if (left_ == 0) {
        std::uint8_t head = in_.U8();
        repeat_ = head & 0x80;
        left_ = std::size_t(head & 0x7f) + 1;
        if (repeat_) std::memcpy(value_.data(), in_.Bytes(pixelBytes_).data(), pixelBytes_);
      }
      std::size_t n = std::min(left_, pixels);
      if (repeat_) {
        for (std::size_t i = 0; i < n; ++i, out += pixelBytes_) std::memcpy(out, value_.data(), pixelBytes_);
      } else {
        std::memcpy(out, in_.Bytes(n * pixelBytes_).data(), n * pixelBytes_);
        out += n * pixelBytes_;
      }
      left_ -= n;
      pixels -= n;
    }
  }

 private:
  TByteReader& in_;
  std::size_t pixelBytes_;
  std::size_t left_ = 0;
  bool repeat_ = false;
  std::array<std::uint8_t, 4> value_{};
};

// Turns one row of stored pixels into RGBA, in the row's stored direction.
class TRowConverter {
 public:
  TRowConverter(const THeader& h, std::vector<TColour> map) : h_(h), map_(std::move(map)) {}

  void Convert(const std::uint8_t* in, std::uint8_t* out) const {
    std::ptrdiff_t step = 4;
    if (h_.RightToLeft) {
      out += (h_.Width - 1) * 4;
      step = -4;
    }
    int kind = h_.ImageType & ~kRleFlag;
    std::int64_t width = h_.Width;
    if (kind == kColourMapped) {
      for (std::int64_t x = 0; x < width; ++x, out += step) {
        int index = h_.Depth == 8 ? *in++ : (in[0] | (in[1] << 8));
        if (h_.Depth == 16) in += 2;
        index -= h_.MapFirst;
        // Indices outside the map are shown black.
        const TColour& c = index >= 0 && std::size_t(index) < map_.size() ? map_[std::size_t(index)] : kOpaqueBlack;
        std::memcpy(out, c.data(), 4);
      }
    } else if (kind == kGrey) {
      bool alpha = h_.Depth == 16;
      for (std::int64_t x = 0; x < width; ++x, out += step) {
        out[0] = out[1] = out[2] = in[0];
        out[3] = alpha ? in[1] : 255;
        in += alpha ? 2 : 1;
      }
    } else if (h_.Depth <= 16) {
      bool alphaBit = h_.Depth == 16 && h_.AlphaBits > 0;
      for (std::int64_t x = 0; x < width; ++x, in += 2, out += step)
        std::memcpy(out, From555(unsigned(in[0] | (in[1] << 8)), alphaBit).data(), 4);
    } else if (h_.Depth == 24) {
      for (std::int64_t x = 0; x < width; ++x, in += 3, out += step) {
        out[0] = in[2];
        out[1] = in[1];
        out[2] = in[0];
        out[3] = 255;
      }
    } else {
      for (std::int64_t x = 0; x < width; ++x, in += 4, out += step) {
        out[0] = in[2];
        out[1] = in[1];
        out[2] = in[0];
        out[3] = in[3];
      }
    }
  }

 private:
  const THeader& h_;
  std::vector<TColour> map_;
};

// Many writers store alpha bytes but declare no alpha bits, others leave the
// bytes zero: a picture without declared alpha whose alpha is zero
// throughout is shown opaque.
void MakeOpaqueIfAllClear(TBitmap& bitmap) {
  for (std::size_t i = 3; i < bitmap.Pixels.size(); i += 4)
    if (bitmap.Pixels[i] != 0) return;
  for (std::size_t i = 3; i < bitmap.Pixels.size(); i += 4) bitmap.Pixels[i] = 255;
}

}  // namespace

TBitmap TTgaDecoder::Decode(std::span<const std::uint8_t> bytes) {
  TByteReader in(bytes, kFormat);
  THeader h = ReadHeader(in);
  in.Seek(kHeaderSize + std::size_t(h.IdLength));
  TRowConverter converter(h, ReadColourMap(in, h));

  std::size_t pixelBytes = std::size_t(h.Depth + 7) / 8;
  std::size_t rowBytes = std::size_t(h.Width) * pixelBytes;
  bool rle = h.ImageType & kRleFlag;
  // Checked before allocating: raw rows must all be there, and an RLE packet
  // of at least 1 + pixelBytes bytes gives at most 128 pixels.
  std::uint64_t pixels = std::uint64_t(h.Width) * std::uint64_t(h.Height);
  if (rle ? pixels > (in.Remaining() / (1 + pixelBytes) + 1) * 128 : pixels * pixelBytes > in.Remaining())
    in.Fail("unexpected end of file");
  TBitmap bitmap = AllocateBitmap(kFormat, h.Width, h.Height);

  std::vector<std::uint8_t> row(rle ? rowBytes : 0);
  TRlePixels packets(in, pixelBytes);
  for (std::int64_t r = 0; r < h.Height; ++r) {
    const std::uint8_t* src;
    if (rle) {
      packets.Fill(row.data(), std::size_t(h.Width));
      src = row.data();
    } else {
      src = in.Bytes(rowBytes).data();
    }
    converter.Convert(src, bitmap.Row(int(h.TopDown ? r : h.Height - 1 - r)).data());
  }
  if (h.AlphaBits == 0) MakeOpaqueIfAllClear(bitmap);
  return bitmap;
}

}  // namespace orb
