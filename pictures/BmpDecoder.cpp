#include "pictures/BmpDecoder.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <optional>
#include <vector>

#include "pictures/ByteReader.h"
#include "pictures/PictureFile.h"
#include "pictures/PictureLimits.h"

namespace orb {
namespace {

constexpr const char* kFormat = "BMP";
constexpr std::size_t kFileHeaderSize = 14;

// Compression values of the info header. OS/2 headers give 3 and 4 other
// meanings: Huffman 1D and RLE24.
enum : std::uint32_t {
  kBiRgb = 0,
  kBiRle8 = 1,
  kBiRle4 = 2,
  kBiBitfields = 3,
  kBiJpeg = 4,
  kBiPng = 5,
  kBiAlphaBitfields = 6,
};

enum class TEncoding { Raw, Bitfields, Rle8, Rle4, Rle24, Jpeg, Png };

using TColour = std::array<std::uint8_t, 4>;
constexpr TColour kOpaqueBlack{0, 0, 0, 255};

// RLE can leave pixels undefined (early end of line or bitmap, deltas), so a
// tiny file can declare a huge picture. Beyond this floor, a picture may not
// have more pixels than this many per byte of compressed data.
constexpr std::int64_t kRleFreePixels = std::int64_t(1) << 22;
constexpr std::int64_t kRlePixelsPerByte = 2048;

// One channel of a bit-field pixel: where its bits sit and how they widen to
// 8 bits (scaled as v * 255 / max, so that the largest value becomes 255).
class TChannel {
 public:
  TChannel() = default;
  explicit TChannel(std::uint32_t mask) : mask_(mask) {
    if (mask == 0) return;
    shift_ = std::countr_zero(mask);
    max_ = mask >> shift_;
    if (max_ < 4096) {
      lut_.resize(max_ + 1);
      for (std::uint32_t v = 0; v <= max_; ++v) lut_[v] = Widen(v);
    }
  }
  bool Present() const { return mask_ != 0; }
  std::uint32_t Mask() const { return mask_; }
  std::uint8_t Scale(std::uint32_t pixel) const {
    std::uint32_t v = (pixel & mask_) >> shift_;
    return lut_.empty() ? Widen(v) : lut_[v];
  }

 private:
  std::uint8_t Widen(std::uint32_t v) const {
    return std::uint8_t(std::uint64_t(v) * 255 / max_);
  }
  std::uint32_t mask_ = 0;
  int shift_ = 0;
  std::uint32_t max_ = 0;
  std::vector<std::uint8_t> lut_;
};

// What the headers say, checked against the file before any pixel exists.
struct TDibInfo {
  std::int64_t Width = 0;
  std::int64_t Height = 0;  // always positive; TopDown gives the row order
  bool TopDown = false;
  int Bpp = 0;
  TEncoding Encoding = TEncoding::Raw;
  std::array<std::uint32_t, 4> Masks{};  // red, green, blue, alpha
  std::array<TColour, 256> Palette{};    // indices past the palette are black
  std::size_t PixelOffset = 0;
};

bool IsWindowsHeaderSize(std::uint32_t size) {
  return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

// Reads the info header at dibStart, the masks and palette after it.
// pixelOffset is the file header's offset of the pixels, or 0 when there is
// no file header (then the pixels follow the palette). For icons, the height
// counts the AND mask too and 32-bit pixels without bit fields carry alpha.
TDibInfo ReadDibInfo(TByteReader& in, std::size_t dibStart, std::size_t pixelOffset, bool icon) {
  in.Seek(dibStart);
  std::uint32_t headerSize = in.U32LE();
  bool core = headerSize == 12;
  bool os2 = !core && !IsWindowsHeaderSize(headerSize);
  if (!core && (headerSize < 16 || headerSize > 124 || (os2 && (headerSize > 64 || headerSize % 4 != 0))))
    in.Fail("bad header size");
  // Fields an OS/2 v2 header leaves out are zero.
  std::array<std::uint8_t, 124> header{};
  auto headerBytes = in.BytesAt(dibStart, headerSize);
  std::copy(headerBytes.begin(), headerBytes.end(), header.begin());
  TByteReader fields(std::span<const std::uint8_t>(header).subspan(4), kFormat);

  TDibInfo info;
  std::uint32_t compression = kBiRgb;
  std::uint32_t coloursUsed = 0;
  if (core) {
    info.Width = fields.U16LE();
    info.Height = fields.U16LE();
    fields.U16LE();  // planes
    info.Bpp = fields.U16LE();
  } else {
    info.Width = fields.I32LE();
    info.Height = fields.I32LE();
    fields.U16LE();  // planes: some writers get it wrong, and nothing depends on it
    info.Bpp = fields.U16LE();
    compression = fields.U32LE();
    fields.Skip(12);  // image size (often wrong), resolution
    coloursUsed = fields.U32LE();
    fields.Skip(4);  // important colours
    if (!os2) {
      for (auto& mask : info.Masks) mask = fields.U32LE();
      if (headerSize < 56) info.Masks[3] = 0;
      if (headerSize < 52) info.Masks = {};
    }
  }
  if (info.Height < 0) {
    info.TopDown = true;
    info.Height = -info.Height;
  }
  if (icon) info.Height /= 2;
  if (info.Width <= 0 || info.Height <= 0) in.Fail("bad dimensions");
  // Checked here already, so that the sizes computed from them stay small.
  if (info.Width > kMaxPicturePixels || info.Height > kMaxPicturePixels ||
      info.Width * info.Height > kMaxPicturePixels)
    in.Fail("picture too large");

  std::size_t maskBytes = 0;
  switch (compression) {
    case kBiRgb:
      if (info.Bpp == 16) info.Masks = {0x7c00, 0x03e0, 0x001f, 0};
      if (info.Bpp == 32) info.Masks = {0xff0000, 0xff00, 0xff, icon ? 0xff000000u : 0u};
      info.Encoding = info.Bpp == 16 || info.Bpp == 32 ? TEncoding::Bitfields : TEncoding::Raw;
      if (info.Bpp != 1 && info.Bpp != 2 && info.Bpp != 4 && info.Bpp != 8 && info.Bpp != 16 &&
          info.Bpp != 24 && info.Bpp != 32)
        in.Fail("bad bits per pixel");
      break;
    case kBiRle8:
      if (info.Bpp != 8) in.Fail("bad bits per pixel");
      info.Encoding = TEncoding::Rle8;
      break;
    case kBiRle4:
      if (info.Bpp != 4) in.Fail("bad bits per pixel");
      info.Encoding = TEncoding::Rle4;
      break;
    case kBiBitfields:
    case kBiAlphaBitfields:
      if (os2 && compression == kBiBitfields) in.Fail("Huffman compression not supported");
      if (info.Bpp != 16 && info.Bpp != 32) in.Fail("bad bits per pixel");
      info.Encoding = TEncoding::Bitfields;
      if (headerSize < 52 || (compression == kBiAlphaBitfields && headerSize < 56)) {
        // The masks follow a short header.
        maskBytes = compression == kBiAlphaBitfields ? 16 : 12;
        TByteReader masks(in.BytesAt(dibStart + headerSize, maskBytes), kFormat);
        for (std::size_t i = 0; i < maskBytes / 4; ++i) info.Masks[i] = masks.U32LE();
      }
      if (compression == kBiBitfields && headerSize < 56) info.Masks[3] = 0;
      if (!info.Masks[0] && !info.Masks[1] && !info.Masks[2]) in.Fail("bad bit fields");
      break;
    case kBiJpeg:
      if (os2) {
        if (info.Bpp != 24) in.Fail("bad bits per pixel");
        info.Encoding = TEncoding::Rle24;
      } else {
        info.Encoding = TEncoding::Jpeg;
      }
      break;
    case kBiPng:
      info.Encoding = TEncoding::Png;
      break;
    default:
      in.Fail("unsupported compression");
  }

  // The palette: as many entries as the header says, or all that the bit
  // depth can index; an OS/2 v1 palette may be shorter, up to the pixels.
  std::size_t paletteStart = dibStart + headerSize + maskBytes;
  std::size_t entrySize = core ? 3 : 4;
  std::uint64_t entries = coloursUsed;
  if (entries == 0 && info.Bpp <= 8) entries = std::uint64_t(1) << info.Bpp;
  if (paletteStart > in.Size() || entries > (in.Size() - paletteStart) / entrySize) in.Fail("bad palette size");
  std::size_t paletteEnd = paletteStart + std::size_t(entries) * entrySize;
  if (pixelOffset >= paletteStart && pixelOffset < paletteEnd) {
    entries = (pixelOffset - paletteStart) / entrySize;
    paletteEnd = pixelOffset;
  }
  info.Palette.fill(kOpaqueBlack);
  if (info.Bpp <= 8) {
    TByteReader palette(in.BytesAt(paletteStart, std::size_t(entries) * entrySize), kFormat);
    for (std::size_t i = 0; i < std::min<std::uint64_t>(entries, 256); ++i) {
      auto bgr = palette.Bytes(entrySize);
      info.Palette[i] = {bgr[2], bgr[1], bgr[0], 255};
    }
  }
  // A pixel offset inside the headers is a writer's mistake: the pixels follow the palette.
  info.PixelOffset = pixelOffset >= dibStart + headerSize ? pixelOffset : paletteEnd;
  if (info.PixelOffset > in.Size()) in.Fail("unexpected end of file");
  return info;
}

std::size_t RowStride(const TDibInfo& info) {
  return std::size_t((info.Width * info.Bpp + 31) / 32 * 4);
}

// Palette rows of 1, 2, 4 or 8 bits per pixel, most significant bits first.
void ConvertIndexedRow(std::span<const std::uint8_t> src, const TDibInfo& info, std::uint8_t* out) {
  int bpp = info.Bpp;
  if (bpp == 8) {
    for (std::int64_t x = 0; x < info.Width; ++x) std::memcpy(out + x * 4, info.Palette[src[x]].data(), 4);
    return;
  }
  int perByte = 8 / bpp;
  unsigned valueMask = (1u << bpp) - 1;
  for (std::int64_t x = 0; x < info.Width; ++x) {
    unsigned shift = unsigned(8 - bpp * (x % perByte + 1));
    unsigned index = (src[x / perByte] >> shift) & valueMask;
    std::memcpy(out + x * 4, info.Palette[index].data(), 4);
  }
}

// 16- and 32-bit rows through bit-field masks, with a fast path for the
// ordinary 8-bit channels of 32-bit pixels.
class TBitfieldRows {
 public:
  explicit TBitfieldRows(const TDibInfo& info)
      : info_(info),
        red_(info.Masks[0]),
        green_(info.Masks[1]),
        blue_(info.Masks[2]),
        alpha_(info.Masks[3]),
        plain32_(info.Bpp == 32 && info.Masks[0] == 0xff0000 && info.Masks[1] == 0xff00 &&
                 info.Masks[2] == 0xff && (info.Masks[3] == 0 || info.Masks[3] == 0xff000000u)) {}

  void Convert(std::span<const std::uint8_t> src, std::uint8_t* out) const {
    const std::uint8_t* in = src.data();
    if (plain32_) {
      bool alpha = alpha_.Present();
      for (std::int64_t x = 0; x < info_.Width; ++x, in += 4, out += 4) {
        out[0] = in[2];
        out[1] = in[1];
        out[2] = in[0];
        out[3] = alpha ? in[3] : 255;
      }
      return;
    }
    for (std::int64_t x = 0; x < info_.Width; ++x, out += 4) {
      std::uint32_t pixel;
      if (info_.Bpp == 16) {
        pixel = std::uint32_t(in[0] | (in[1] << 8));
        in += 2;
      } else {
        pixel = std::uint32_t(in[0]) | (std::uint32_t(in[1]) << 8) | (std::uint32_t(in[2]) << 16) |
                (std::uint32_t(in[3]) << 24);
        in += 4;
      }
      out[0] = red_.Present() ? red_.Scale(pixel) : 0;
      out[1] = green_.Present() ? green_.Scale(pixel) : 0;
      out[2] = blue_.Present() ? blue_.Scale(pixel) : 0;
      out[3] = alpha_.Present() ? alpha_.Scale(pixel) : 255;
    }
  }

 private:
  const TDibInfo& info_;
  TChannel red_, green_, blue_, alpha_;
  bool plain32_;
};

void ConvertBgrRow(std::span<const std::uint8_t> src, std::int64_t width, std::uint8_t* out) {
  const std::uint8_t* in = src.data();
  for (std::int64_t x = 0; x < width; ++x, in += 3, out += 4) {
    out[0] = in[2];
    out[1] = in[1];
    out[2] = in[0];
    out[3] = 255;
  }
}

TBitmap DecodeUncompressed(TByteReader& in, const TDibInfo& info) {
  std::size_t stride = RowStride(info);
  std::size_t rowBytes = std::size_t((info.Width * info.Bpp + 7) / 8);
  std::uint64_t needed = std::uint64_t(stride) * std::uint64_t(info.Height - 1) + rowBytes;
  if (needed > in.Size() - info.PixelOffset) in.Fail("unexpected end of file");
  TBitmap bitmap = AllocateBitmap(kFormat, info.Width, info.Height);
  std::optional<TBitfieldRows> bitfields;
  if (info.Encoding == TEncoding::Bitfields) bitfields.emplace(info);
  for (std::int64_t row = 0; row < info.Height; ++row) {
    auto src = in.BytesAt(info.PixelOffset + std::size_t(row) * stride, rowBytes);
    int y = int(info.TopDown ? row : info.Height - 1 - row);
    std::uint8_t* out = bitmap.Row(y).data();
    if (bitfields)
      bitfields->Convert(src, out);
    else if (info.Bpp == 24)
      ConvertBgrRow(src, info.Width, out);
    else
      ConvertIndexedRow(src, info, out);
  }
  return bitmap;
}

// RLE8, RLE4 and OS/2 RLE24: runs and literal spans, row by row from the
// first row stored, with end-of-line, end-of-bitmap and delta codes. Pixels
// that no code reaches get palette entry 0; pixels past a row's end are
// dropped. Codes only move forward, so every pixel is written once: the
// pixels skipped on the way to the next write are filled as it happens.
class TRleDecoder {
 public:
  TRleDecoder(TByteReader& in, const TDibInfo& info, TBitmap& bitmap) : in_(in), info_(info), bitmap_(bitmap) {
    std::memcpy(&background_, info.Palette[0].data(), 4);
  }

  void Run() {
    in_.Seek(info_.PixelOffset);
    while (row_ < info_.Height && !in_.AtEnd()) {
      std::uint8_t count = in_.U8();
      std::uint8_t code = in_.U8();
      if (count > 0) {
        Repeat(count, code);
      } else if (code == 0) {
        x_ = 0;
        ++row_;
      } else if (code == 1) {
        break;
      } else if (code == 2) {
        x_ += in_.U8();
        row_ += in_.U8();
      } else {
        Literal(code);
      }
    }
    FillTo(info_.Height, 0);
  }

 private:
  std::uint8_t* PixelAt(std::int64_t row, std::int64_t x) {
    return bitmap_.Row(int(info_.TopDown ? row : info_.Height - 1 - row)).data() + x * 4;
  }
  void Fill(std::uint8_t* out, std::int64_t count, std::uint32_t colour) {
    for (std::int64_t i = 0; i < count; ++i) std::memcpy(out + i * 4, &colour, 4);
  }
  // Fills the pixels not yet written before (row, x) with the background.
  void FillTo(std::int64_t row, std::int64_t x) {
    row = std::min(row, info_.Height);
    x = row < info_.Height ? std::min(x, info_.Width) : 0;
    while (doneRow_ < row) {
      Fill(PixelAt(doneRow_, doneX_), info_.Width - doneX_, background_);
      ++doneRow_;
      doneX_ = 0;
    }
    if (doneRow_ == row && doneX_ < x) {
      Fill(PixelAt(row, doneX_), x - doneX_, background_);
      doneX_ = x;
    }
  }
  // Prepares a write of count pixels at the position: returns how many fall inside the row.
  std::int64_t Begin(std::int64_t count) {
    FillTo(row_, x_);
    std::int64_t visible = std::clamp<std::int64_t>(info_.Width - x_, 0, count);
    if (visible > 0) doneX_ = x_ + visible;
    return visible;
  }

  void Repeat(int count, std::uint8_t value) {
    std::array<std::uint32_t, 2> colours;
    if (info_.Encoding == TEncoding::Rle24) {
      auto gr = in_.Bytes(2);
      TColour c{gr[1], gr[0], value, 255};
      std::memcpy(&colours[0], c.data(), 4);
      colours[1] = colours[0];
    } else if (info_.Encoding == TEncoding::Rle4) {
      std::memcpy(&colours[0], info_.Palette[value >> 4].data(), 4);
      std::memcpy(&colours[1], info_.Palette[value & 15].data(), 4);
    } else {
      std::memcpy(&colours[0], info_.Palette[value].data(), 4);
      colours[1] = colours[0];
    }
    std::int64_t n = Begin(count);
    std::uint8_t* out = n > 0 ? PixelAt(row_, x_) : nullptr;
    if (colours[0] == colours[1]) {
      Fill(out, n, colours[0]);
    } else {
      for (std::int64_t i = 0; i < n; ++i) std::memcpy(out + i * 4, &colours[i & 1], 4);
    }
    x_ += count;
  }

  void Literal(int count) {
    std::size_t bytes = info_.Encoding == TEncoding::Rle8   ? std::size_t(count)
                        : info_.Encoding == TEncoding::Rle4 ? std::size_t(count + 1) / 2
                                                            : std::size_t(count) * 3;
    const std::uint8_t* src = in_.Bytes(bytes).data();
    std::int64_t n = Begin(count);
    std::uint8_t* out = n > 0 ? PixelAt(row_, x_) : nullptr;
    if (info_.Encoding == TEncoding::Rle8) {
      for (std::int64_t i = 0; i < n; ++i) std::memcpy(out + i * 4, info_.Palette[src[i]].data(), 4);
    } else if (info_.Encoding == TEncoding::Rle4) {
      for (std::int64_t i = 0; i < n; ++i) {
        std::uint8_t pair = src[i / 2];
        std::memcpy(out + i * 4, info_.Palette[i % 2 ? pair & 15 : pair >> 4].data(), 4);
      }
    } else {
      for (std::int64_t i = 0; i < n; ++i, src += 3, out += 4) {
        out[0] = src[2];
        out[1] = src[1];
        out[2] = src[0];
        out[3] = 255;
      }
    }
    x_ += count;
    // Literal spans are padded to a 16-bit boundary; a file may end without the pad.
    if (bytes % 2 && !in_.AtEnd()) in_.Skip(1);
  }

  TByteReader& in_;
  const TDibInfo& info_;
  TBitmap& bitmap_;
  std::uint32_t background_ = 0;
  std::int64_t x_ = 0;
  std::int64_t row_ = 0;
  // Every pixel before (doneRow_, doneX_) in stored order is written.
  std::int64_t doneRow_ = 0;
  std::int64_t doneX_ = 0;
};

TBitmap DecodeRle(TByteReader& in, const TDibInfo& info) {
  std::int64_t dataBytes = std::int64_t(in.Size() - info.PixelOffset);
  if (info.Width * info.Height > std::max(kRleFreePixels, dataBytes * kRlePixelsPerByte))
    in.Fail("picture too large for its data");
  TBitmap bitmap = AllocateBitmap(kFormat, info.Width, info.Height);
  TRleDecoder(in, info, bitmap).Run();
  return bitmap;
}

// JPEG and PNG streams inside a bitmap go to the decoders of those formats.
TBitmap DecodeEmbedded(TByteReader& in, const TDibInfo& info) {
  const char* extension = info.Encoding == TEncoding::Jpeg ? "jpg" : "png";
  if (!IsPictureExtension(extension))
    in.Fail(info.Encoding == TEncoding::Jpeg ? "embedded JPEG not supported" : "embedded PNG not supported");
  return DecodePicture(in.BytesAt(info.PixelOffset, in.Size() - info.PixelOffset), extension);
}

TBitmap DecodePixels(TByteReader& in, const TDibInfo& info) {
  switch (info.Encoding) {
    case TEncoding::Raw:
    case TEncoding::Bitfields:
      return DecodeUncompressed(in, info);
    case TEncoding::Rle8:
    case TEncoding::Rle4:
    case TEncoding::Rle24:
      return DecodeRle(in, info);
    case TEncoding::Jpeg:
    case TEncoding::Png:
      break;
  }
  return DecodeEmbedded(in, info);
}

// The AND mask after an icon's colour rows: a set bit makes the pixel transparent.
void ApplyAndMask(TByteReader& in, const TDibInfo& info, TBitmap& bitmap) {
  std::size_t stride = std::size_t((info.Width + 31) / 32 * 4);
  std::size_t start = info.PixelOffset + RowStride(info) * std::size_t(info.Height);
  // Some writers leave the mask out; the colours are then shown opaque.
  bool present = start <= in.Size() && stride * std::size_t(info.Height) <= in.Size() - start;
  for (std::int64_t row = 0; row < info.Height; ++row) {
    std::uint8_t* out = bitmap.Row(int(info.TopDown ? row : info.Height - 1 - row)).data();
    if (!present) {
      for (std::int64_t x = 0; x < info.Width; ++x) out[x * 4 + 3] = 255;
      continue;
    }
    auto mask = in.BytesAt(start + std::size_t(row) * stride, stride);
    for (std::int64_t x = 0; x < info.Width; ++x) out[x * 4 + 3] = (mask[x / 8] >> (7 - x % 8)) & 1 ? 0 : 255;
  }
}

}  // namespace

TBitmap TBmpDecoder::Decode(std::span<const std::uint8_t> bytes) {
  TByteReader in(bytes, kFormat);
  std::size_t fileStart = 0;
  // An OS/2 bitmap array holds bitmap files, each with its own file header;
  // the first one is shown.
  if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'A') fileStart = kFileHeaderSize;
  auto magic = in.BytesAt(fileStart, 2);
  if (magic[0] == 'B' && magic[1] == 'M') {
    in.Seek(fileStart + 10);
    std::size_t pixelOffset = in.U32LE();
    TDibInfo info = ReadDibInfo(in, fileStart + kFileHeaderSize, pixelOffset, false);
    return DecodePixels(in, info);
  }
  // Without the file header, the first field is the info header's size.
  in.Seek(0);
  std::uint32_t headerSize = in.U32LE();
  if (headerSize != 12 && (headerSize < 16 || headerSize > 124)) in.Fail("not a bitmap file");
  TDibInfo info = ReadDibInfo(in, 0, 0, false);
  return DecodePixels(in, info);
}

TBitmap TBmpDecoder::DecodeIconImage(std::span<const std::uint8_t> bytes) {
  TByteReader in(bytes, kFormat);
  TDibInfo info = ReadDibInfo(in, 0, 0, true);
  if (info.Encoding == TEncoding::Jpeg || info.Encoding == TEncoding::Png) in.Fail("unsupported compression");
  TBitmap bitmap = DecodePixels(in, info);
  bool hasAlpha = false;
  if (info.Bpp == 32 && info.Masks[3] != 0)
    for (std::size_t i = 3; i < bitmap.Pixels.size() && !hasAlpha; i += 4) hasAlpha = bitmap.Pixels[i] != 0;
  if (!hasAlpha) ApplyAndMask(in, info, bitmap);
  return bitmap;
}

}  // namespace orb
