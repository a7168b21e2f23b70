#include "pictures/PspDecoder.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <vector>

#include "pictures/ByteReader.h"
#include "pictures/PictureLimits.h"

namespace orb {
namespace {

constexpr const char* kFormat = "PSP";

// File header: a 32-byte signature (the text below, zero-padded), then the
// format version as major and minor 16-bit numbers. Everything after it is
// blocks, little-endian:
//   "~BK\0", block id (16 bits), [version 3 only: initial chunk length (32)],
//   block length (32), then that many bytes of data.
// From version 4 on, each chunk inside a block starts with its own length,
// so later versions may add fields that older readers skip.
constexpr char kSignature[] = "Paint Shop Pro Image File\n\x1a";
constexpr std::uint8_t kBlockMarker[4] = {'~', 'B', 'K', 0};
constexpr std::uint16_t kVersion3 = 3;
constexpr std::size_t kBlockHeaderSize = 10;  // from version 4 on

enum EBlockId : std::uint16_t {
  kImageAttributesBlock = 0,
  kPaletteBlock = 2,
  kLayerBankBlock = 3,
  kLayerBlock = 4,
  kChannelBlock = 5,
  kCompositeImageBlock = 9,
  kCompositeBankBlock = 16,
  kCompositeAttributesBlock = 17,
};

enum ECompression : int { kNone = 0, kRle = 1, kLz77 = 2 };

// Bitmap types of a channel: which picture of a layer or composite it belongs to.
enum EBitmapType : std::uint16_t {
  kLayerImage = 0,
  kLayerTransparency = 1,
  kCompositeImage = 8,
  kCompositeTransparency = 9,
};

struct TBlock {
  std::uint16_t Id = 0;
  std::size_t Start = 0;       // first data byte
  std::size_t InitialEnd = 0;  // version 3: end of the block's initial chunk
  std::size_t End = 0;
};

struct TRgba {
  std::uint8_t R = 0, G = 0, B = 0, A = 255;
};
using TPalette = std::vector<TRgba>;

// How the pixels of the image (or of one composite) are stored.
struct TPixelFormat {
  int Width = 0;
  int Height = 0;
  int Compression = kNone;
  int Depth = 24;  // 1, 4 or 8 (indices or grey) or 24 (three 8-bit channels)
  bool Greyscale = false;
};

// The channels of one layer or composite, each unpacked to 8 bits a pixel.
struct TChannels {
  std::vector<std::uint8_t> Index;  // single-channel pictures: index or grey
  std::array<std::vector<std::uint8_t>, 3> Colour;
  std::vector<std::uint8_t> Alpha;
};

void CheckSize(const TByteReader& reader, std::int64_t width, std::int64_t height) {
  if (width <= 0 || height <= 0) reader.Fail("bad dimensions");
  if (width > kMaxPicturePixels || height > kMaxPicturePixels || width * height > kMaxPicturePixels)
    reader.Fail("picture too large");
}

class TPspParser {
 public:
  explicit TPspParser(std::span<const std::uint8_t> bytes) : reader_(bytes, kFormat) {}

  TBitmap Decode() {
    ReadFileHeader();
    std::optional<TBlock> attributes, palette, layers, composites;
    while (!reader_.AtEnd()) {
      TBlock block = ReadBlock(reader_.Size());
      if (block.Id == kImageAttributesBlock && !attributes) attributes = block;
      if (block.Id == kPaletteBlock && !palette) palette = block;
      if (block.Id == kLayerBankBlock && !layers) layers = block;
      if (block.Id == kCompositeBankBlock && !composites && !Old()) composites = block;
      reader_.Seek(block.End);
    }
    if (!attributes) reader_.Fail("no image attributes");
    image_ = ReadAttributes(*attributes);
    if (palette) {
      reader_.Seek(palette->Start);
      palette_ = ReadPalette();
    }
    if (composites)
      if (std::optional<TBitmap> composite = ReadCompositeBank(*composites)) return std::move(*composite);
    if (!layers) reader_.Fail("no image data");
    return ComposeLayers(*layers);
  }

 private:
  bool Old() const { return major_ <= kVersion3; }

  void ReadFileHeader() {
    auto signature = reader_.Bytes(32);
    if (std::memcmp(signature.data(), kSignature, sizeof kSignature - 1) != 0) reader_.Fail("bad signature");
    major_ = reader_.U16LE();
    reader_.Skip(2);
    if (major_ < kVersion3) reader_.Fail("unsupported version");
  }

  bool AtBlock() const {
    return reader_.Remaining() >= 4 && std::memcmp(reader_.BytesAt(reader_.Position(), 4).data(), kBlockMarker, 4) == 0;
  }

  // Reads a block header; the block must end by limit.
  TBlock ReadBlock(std::size_t limit) {
    if (std::memcmp(reader_.Bytes(4).data(), kBlockMarker, 4) != 0) reader_.Fail("bad block marker");
    TBlock block;
    block.Id = reader_.U16LE();
    std::uint32_t initial = Old() ? reader_.U32LE() : 0;
    std::uint32_t length = reader_.U32LE();
    block.Start = reader_.Position();
    if (block.Start > limit || length > limit - block.Start) reader_.Fail("bad block length");
    block.End = block.Start + length;
    block.InitialEnd = block.Start + std::min(initial, length);
    return block;
  }

  // Reads the leading length of a chunk that starts at chunkStart (version 4
  // on) and returns where the chunk ends; it must end by end.
  std::size_t ChunkEnd(std::size_t chunkStart, std::size_t end) {
    std::uint32_t size = reader_.U32LE();
    if (chunkStart > end || size < 4 || size > end - chunkStart) reader_.Fail("bad chunk length");
    return chunkStart + size;
  }

  TPixelFormat ReadAttributes(const TBlock& block) {
    reader_.Seek(block.Start);
    if (!Old()) reader_.Skip(4);
    TPixelFormat format;
    std::int32_t width = reader_.I32LE();
    std::int32_t height = reader_.I32LE();
    reader_.Skip(8 + 1);  // resolution and its unit
    format.Compression = reader_.U16LE();
    format.Depth = reader_.U16LE();
    reader_.Skip(2 + 4);  // plane count, colour count
    format.Greyscale = reader_.U8() != 0;
    CheckFormat(format);
    CheckSize(reader_, width, height);
    format.Width = width;
    format.Height = height;
    return format;
  }

  void CheckFormat(const TPixelFormat& format) const {
    if (format.Compression != kNone && format.Compression != kRle && format.Compression != kLz77)
      reader_.Fail("unsupported compression");
    if (format.Depth != 1 && format.Depth != 4 && format.Depth != 8 && format.Depth != 24)
      reader_.Fail("bad bit depth");
  }

  // Palette chunk: [length,] entry count, then (B, G, R, reserved) entries.
  TPalette ReadPalette() {
    if (!Old()) reader_.Skip(4);
    std::uint32_t count = reader_.U32LE();
    if (count > 256) reader_.Fail("bad palette");
    TPalette palette(count);
    for (TRgba& entry : palette) {
      auto bgrx = reader_.Bytes(4);
      entry = {bgrx[2], bgrx[1], bgrx[0], 255};
    }
    return palette;
  }

  // Composite image bank: how many composites, their attributes, then their
  // pictures in the same order. The first full-size raster composite is the
  // picture; thumbnails and JPEG composites are passed over.
  std::optional<TBitmap> ReadCompositeBank(const TBlock& bank) {
    reader_.Seek(bank.Start);
    std::size_t chunkEnd = ChunkEnd(bank.Start, bank.End);
    std::uint32_t count = reader_.U32LE();
    reader_.Seek(chunkEnd);
    std::vector<std::pair<TPixelFormat, bool>> formats;
    for (std::uint32_t i = 0; i < count; ++i) {
      TBlock block = ReadBlock(bank.End);
      if (block.Id != kCompositeAttributesBlock) reader_.Fail("bad composite image bank");
      reader_.Skip(4);  // chunk length
      TPixelFormat format;
      std::int32_t width = reader_.I32LE();
      std::int32_t height = reader_.I32LE();
      format.Depth = reader_.U16LE();
      format.Compression = reader_.U16LE();
      reader_.Skip(2 + 4);  // plane count, colour count
      bool isComposite = reader_.U16LE() == 0;
      if (isComposite) {
        CheckFormat(format);
        CheckSize(reader_, width, height);
        format.Width = width;
        format.Height = height;
        format.Greyscale = image_.Greyscale;
      }
      formats.emplace_back(format, isComposite);
      reader_.Seek(block.End);
    }
    for (const auto& [format, isComposite] : formats) {
      if (reader_.Position() >= bank.End) break;
      TBlock block = ReadBlock(bank.End);
      if (isComposite && block.Id == kCompositeImageBlock) return ReadComposite(block, format);
      reader_.Seek(block.End);
    }
    return std::nullopt;
  }

  // Composite image: [length,] bitmap and channel counts, then a palette
  // sub-block for indexed pictures and one channel sub-block per channel.
  TBitmap ReadComposite(const TBlock& block, const TPixelFormat& format) {
    reader_.Seek(ChunkEnd(block.Start, block.End));
    TPalette palette = palette_;
    TChannels channels;
    while (reader_.Position() < block.End) {
      TBlock sub = ReadBlock(block.End);
      if (sub.Id == kPaletteBlock) palette = ReadPalette();
      if (sub.Id == kChannelBlock) ReadChannel(sub, format, format.Width, format.Height, channels);
      reader_.Seek(sub.End);
    }
    CheckChannels(channels, format, std::size_t(format.Width) * std::size_t(format.Height));
    TBitmap bitmap = AllocateBitmap(kFormat, format.Width, format.Height);
    ToRgba(channels, format, palette, bitmap.Pixels);
    return bitmap;
  }

  struct TLayer {
    bool Raster = false;
    bool Visible = false;
    int Opacity = 255;
    std::int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
  };

  // Layer information chunk: name, type, the image rectangle and the
  // rectangle the channels cover (left, top, right, bottom), opacity, blend
  // mode, flags (bit 0: visible), then mask and blend range fields skipped.
  TLayer ReadLayerInfo(const TBlock& block) {
    reader_.Seek(block.Start);
    std::size_t chunkEnd = 0;
    if (Old()) {
      reader_.Skip(256);
    } else {
      chunkEnd = ChunkEnd(block.Start, block.End);
      reader_.Skip(reader_.U16LE());
    }
    TLayer layer;
    std::uint8_t type = reader_.U8();
    // Version 3 knows normal (0) and floating selection (1) layers, all
    // raster; later versions number raster (1), floating raster selection
    // (2), vector, adjustment and group layers.
    layer.Raster = Old() ? type <= 1 : (type == 1 || type == 2);
    reader_.Skip(16);
    layer.Left = reader_.I32LE();
    layer.Top = reader_.I32LE();
    layer.Right = reader_.I32LE();
    layer.Bottom = reader_.I32LE();
    layer.Opacity = reader_.U8();
    reader_.Skip(1);  // blend mode
    layer.Visible = (reader_.U8() & 1) != 0;

    if (Old()) {
      if (block.InitialEnd < reader_.Position()) reader_.Fail("bad chunk length");
      reader_.Seek(block.InitialEnd);
      return layer;
    }
    reader_.Seek(chunkEnd);
    // Later versions may put extension sub-blocks before the bitmap chunk.
    while (reader_.Position() < block.End && AtBlock()) {
      TBlock sub = ReadBlock(block.End);
      if (sub.Id == kChannelBlock) {
        reader_.Seek(sub.Start - kBlockHeaderSize);
        return layer;
      }
      reader_.Seek(sub.End);
    }
    // Layer bitmap chunk: length, bitmap count, channel count.
    if (reader_.Position() < block.End) reader_.Seek(ChunkEnd(reader_.Position(), block.End));
    return layer;
  }

  // The canvas is made when the first layer to draw comes, so a file that
  // declares a huge picture but holds nothing to draw allocates nothing.
  TBitmap ComposeLayers(const TBlock& bank) {
    std::optional<TBitmap> canvas;
    reader_.Seek(bank.Start);
    std::vector<std::uint8_t> rgba;
    while (reader_.Position() < bank.End) {
      TBlock block = ReadBlock(bank.End);
      if (block.Id == kLayerBlock) {
        TLayer layer = ReadLayerInfo(block);
        std::int64_t width = std::int64_t(layer.Right) - layer.Left;
        std::int64_t height = std::int64_t(layer.Bottom) - layer.Top;
        if (layer.Raster && layer.Visible && width > 0 && height > 0) {
          CheckSize(reader_, width, height);
          TChannels channels;
          while (reader_.Position() < block.End) {
            TBlock sub = ReadBlock(block.End);
            if (sub.Id == kChannelBlock) ReadChannel(sub, image_, int(width), int(height), channels);
            reader_.Seek(sub.End);
          }
          CheckChannels(channels, image_, std::size_t(width * height));
          if (!canvas) canvas = AllocateBitmap(kFormat, image_.Width, image_.Height);
          rgba.assign(std::size_t(width * height) * 4, 0);
          ToRgba(channels, image_, palette_, rgba);
          Blend(*canvas, rgba, layer, int(width), int(height));
        }
      }
      reader_.Seek(block.End);
    }
    if (!canvas) reader_.Fail("no visible raster layer");
    return std::move(*canvas);
  }

  // Channel chunk: [length,] compressed length, uncompressed length, bitmap
  // type, channel type (0: the one channel of an indexed or grey picture,
  // 1-3: red, green, blue); then the compressed bytes.
  void ReadChannel(const TBlock& block, const TPixelFormat& format, int width, int height, TChannels& channels) {
    reader_.Seek(block.Start);
    std::size_t chunkEnd = Old() ? block.InitialEnd : ChunkEnd(block.Start, block.End);
    std::uint32_t compressedLength = reader_.U32LE();
    reader_.Skip(4);  // uncompressed length: the rectangle says how much to expect
    std::uint16_t bitmapType = reader_.U16LE();
    std::uint16_t channelType = reader_.U16LE();
    if (chunkEnd < reader_.Position()) reader_.Fail("bad chunk length");
    reader_.Seek(chunkEnd);
    if (compressedLength > block.End - chunkEnd) reader_.Fail("bad channel length");
    auto data = reader_.Bytes(compressedLength);

    std::vector<std::uint8_t>* plane = nullptr;
    int bits = 8;
    if (bitmapType == kLayerImage || bitmapType == kCompositeImage) {
      if (channelType == 0) {
        plane = &channels.Index;
        bits = std::min(format.Depth, 8);
      } else if (channelType <= 3) {
        plane = &channels.Colour[channelType - 1];
      }
    } else if (bitmapType == kLayerTransparency || bitmapType == kCompositeTransparency) {
      plane = &channels.Alpha;
    }
    if (!plane) return;
    *plane = Unpack(data, format.Compression, bits, width, height);
  }

  // Expands a channel to one byte a pixel. Rows of packed (1- and 4-bit)
  // samples start on a byte; rows may also be padded to 4 bytes as in a
  // Windows DIB, which the amount of data tells.
  std::vector<std::uint8_t> Unpack(std::span<const std::uint8_t> data, int compression, int bits, int width,
                                   int height) {
    const std::size_t rowBytes = (std::size_t(width) * std::size_t(bits) + 7) / 8;
    const std::size_t paddedRow = (rowBytes + 3) & ~std::size_t(3);
    const std::size_t packedSize = rowBytes * std::size_t(height);
    const std::size_t paddedSize = paddedRow * std::size_t(height);
    // A run of RLE gives at most 127 bytes from 2; deflate at most 1032 from 1.
    const std::size_t maxExpansion = compression == kNone ? 1 : compression == kRle ? 64 : 1032;
    if (data.size() * maxExpansion < packedSize) reader_.Fail("channel data too short");

    std::vector<std::uint8_t> raw;
    std::size_t produced = 0;
    if (compression == kNone) {
      raw.assign(data.begin(), data.begin() + std::ptrdiff_t(std::min(data.size(), paddedSize)));
      produced = raw.size();
    } else {
      raw.resize(paddedSize);
      produced = compression == kRle ? ExpandRle(data, raw) : Inflate(data, raw);
    }
    std::size_t stride = produced >= paddedSize ? paddedRow : rowBytes;
    if (produced < packedSize) reader_.Fail("channel data too short");

    std::vector<std::uint8_t> plane(std::size_t(width) * std::size_t(height));
    for (int y = 0; y < height; ++y) {
      const std::uint8_t* in = raw.data() + std::size_t(y) * stride;
      std::uint8_t* out = plane.data() + std::size_t(y) * std::size_t(width);
      if (bits == 8) {
        std::memcpy(out, in, std::size_t(width));
      } else {
        const int perByte = 8 / bits;
        const unsigned mask = (1u << bits) - 1;
        for (int x = 0; x < width; ++x) {
          int shift = 8 - bits * (x % perByte + 1);
          out[x] = std::uint8_t((in[x / perByte] >> shift) & mask);
        }
      }
    }
    return plane;
  }

  // RLE: a count byte above 128 repeats the next byte (count - 128) times;
  // otherwise count bytes follow as they are.
  std::size_t ExpandRle(std::span<const std::uint8_t> data, std::span<std::uint8_t> out) {
    std::size_t in = 0;
    std::size_t produced = 0;
    while (in < data.size() && produced < out.size()) {
      std::size_t count = data[in++];
      if (count > 128) {
        if (in >= data.size()) reader_.Fail("bad run length data");
        count = std::min(count - 128, out.size() - produced);
        std::fill_n(out.begin() + std::ptrdiff_t(produced), count, data[in++]);
      } else {
        if (count > data.size() - in) reader_.Fail("bad run length data");
        count = std::min(count, out.size() - produced);
        std::copy_n(data.begin() + std::ptrdiff_t(in), count, out.begin() + std::ptrdiff_t(produced));
        in += count;
      }
      produced += count;
    }
    return produced;
  }

  // LZ77 channels are zlib streams; output past the buffer is not needed.
  std::size_t Inflate(std::span<const std::uint8_t> data, std::span<std::uint8_t> out) {
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) reader_.Fail("bad compressed data");
    stream.next_in = const_cast<Bytef*>(data.data());
    stream.avail_in = uInt(data.size());
    stream.next_out = out.data();
    stream.avail_out = uInt(out.size());
    int status = inflate(&stream, Z_FINISH);
    std::size_t produced = out.size() - stream.avail_out;
    inflateEnd(&stream);
    bool full = stream.avail_out == 0;
    if (status != Z_STREAM_END && !(full && (status == Z_OK || status == Z_BUF_ERROR)))
      reader_.Fail("bad compressed data");
    return produced;
  }

  // Fails unless the channels that the pixel format needs are all there.
  void CheckChannels(const TChannels& channels, const TPixelFormat& format, std::size_t count) const {
    if (format.Depth == 24) {
      for (const auto& colour : channels.Colour)
        if (colour.size() != count) reader_.Fail("missing channel");
    } else if (channels.Index.size() != count) {
      reader_.Fail("missing channel");
    }
  }

  // Turns checked channels into straight RGBA.
  void ToRgba(const TChannels& channels, const TPixelFormat& format, const TPalette& palette,
              std::span<std::uint8_t> rgba) const {
    const std::size_t count = rgba.size() / 4;
    const bool hasAlpha = channels.Alpha.size() == count;
    for (std::size_t i = 0; i < count; ++i) {
      std::uint8_t* out = rgba.data() + i * 4;
      if (format.Depth == 24) {
        out[0] = channels.Colour[0][i];
        out[1] = channels.Colour[1][i];
        out[2] = channels.Colour[2][i];
      } else if (format.Greyscale) {
        out[0] = out[1] = out[2] = channels.Index[i];
      } else {
        std::uint8_t index = channels.Index[i];
        TRgba c = index < palette.size() ? palette[index] : TRgba{};
        out[0] = c.R;
        out[1] = c.G;
        out[2] = c.B;
      }
      out[3] = hasAlpha ? channels.Alpha[i] : 255;
    }
  }

  // Lays a layer over the canvas at its rectangle: plain "over" blending of
  // straight alpha, the layer's alpha scaled by its opacity. Blend modes and
  // layer masks are not applied; every layer blends as "normal".
  static void Blend(TBitmap& canvas, std::span<const std::uint8_t> rgba, const TLayer& layer, int width, int height) {
    const int x0 = std::max(0, -layer.Left);
    const int y0 = std::max(0, -layer.Top);
    const int x1 = int(std::min<std::int64_t>(width, std::int64_t(canvas.Width) - layer.Left));
    const int y1 = int(std::min<std::int64_t>(height, std::int64_t(canvas.Height) - layer.Top));
    for (int y = y0; y < y1; ++y) {
      const std::uint8_t* src = rgba.data() + (std::size_t(y) * std::size_t(width) + std::size_t(x0)) * 4;
      std::uint8_t* dst = canvas.Row(y + layer.Top).data() + std::size_t(x0 + layer.Left) * 4;
      for (int x = x0; x < x1; ++x, src += 4, dst += 4) {
        int sa = (src[3] * layer.Opacity + 127) / 255;
        if (sa == 0) continue;
        int da = dst[3] * (255 - sa);  // destination weight, scaled by 255
        int total = sa * 255 + da;     // result alpha, scaled by 255
        for (int c = 0; c < 3; ++c) dst[c] = std::uint8_t((src[c] * sa * 255 + dst[c] * da + total / 2) / total);
        dst[3] = std::uint8_t((total + 127) / 255);
      }
    }
  }

  TByteReader reader_;
  std::uint16_t major_ = 0;
  TPixelFormat image_;
  TPalette palette_;
};

}  // namespace

TBitmap TPspDecoder::Decode(std::span<const std::uint8_t> bytes) { return TPspParser(bytes).Decode(); }

}  // namespace orb
