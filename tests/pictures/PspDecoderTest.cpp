#include <gtest/gtest.h>
#include <zlib.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "pictures/PictureError.h"
#include "pictures/PictureFile.h"

using namespace orb;

namespace {

using TBytes = std::vector<std::uint8_t>;

enum { kNone = 0, kRle = 1, kLz77 = 2 };

// Little-endian byte writing, the file's byte order.
struct TOut {
  TBytes Bytes;
  TOut& U8(unsigned v) {
    Bytes.push_back(std::uint8_t(v));
    return *this;
  }
  TOut& U16(unsigned v) { return U8(v).U8(v >> 8); }
  TOut& U32(std::uint32_t v) { return U16(v & 0xFFFF).U16(v >> 16); }
  TOut& Zeros(std::size_t n) {
    Bytes.resize(Bytes.size() + n, 0);
    return *this;
  }
  TOut& Add(const TBytes& more) {
    Bytes.insert(Bytes.end(), more.begin(), more.end());
    return *this;
  }
  TOut& Rect(int l, int t, int r, int b) {
    return U32(std::uint32_t(l)).U32(std::uint32_t(t)).U32(std::uint32_t(r)).U32(std::uint32_t(b));
  }
};

// Writes files of format version major by the published block layout:
// version 3 block headers carry the initial chunk length; from version 4 on
// each chunk starts with its own length instead.
class TPspWriter {
 public:
  explicit TPspWriter(int major) : major_(major) {}

  TBytes Header() const {
    TOut out;
    std::string signature = "Paint Shop Pro Image File\n\x1a";
    out.Add(TBytes(signature.begin(), signature.end())).Zeros(32 - signature.size());
    return out.U16(unsigned(major_)).U16(0).Bytes;
  }

  TBytes Block(unsigned id, const TBytes& data, std::uint32_t initial = 0) const {
    TOut out;
    out.U8('~').U8('B').U8('K').U8(0).U16(id);
    if (Old()) out.U32(initial);
    return out.U32(std::uint32_t(data.size())).Add(data).Bytes;
  }

  TBytes Attributes(int width, int height, int compression, int depth, bool grey = false) const {
    TOut out;
    if (!Old()) out.U32(46);
    out.U32(std::uint32_t(width)).U32(std::uint32_t(height)).Zeros(8).U8(1);
    out.U16(unsigned(compression)).U16(unsigned(depth)).U16(1).U32(depth == 24 ? 1u << 24 : 1u << depth);
    out.U8(grey ? 1 : 0).U32(0).U32(0).U16(1);
    if (!Old()) out.U32(1);
    return Block(0, out.Bytes);
  }

  TBytes Palette(const std::vector<std::array<std::uint8_t, 3>>& colours) const {
    TOut out;
    if (!Old()) out.U32(8);
    out.U32(std::uint32_t(colours.size()));
    for (const auto& rgb : colours) out.U8(rgb[2]).U8(rgb[1]).U8(rgb[0]).U8(0);
    return Block(2, out.Bytes);
  }

  TBytes Channel(int compression, unsigned bitmapType, unsigned channelType, const TBytes& plane) const {
    TBytes data = Compress(compression, plane);
    TOut out;
    if (!Old()) out.U32(16);
    out.U32(std::uint32_t(data.size())).U32(std::uint32_t(plane.size())).U16(bitmapType).U16(channelType);
    return Block(5, out.Add(data).Bytes, 12);
  }

  struct TLayer {
    int Type = -1;  // -1: the raster type of the version
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    int Opacity = 255;
    bool Visible = true;
    std::vector<TBytes> Channels;
    TBytes Extension = {};
  };

  TBytes Layer(const TLayer& layer) const {
    TOut info;
    int type = layer.Type >= 0 ? layer.Type : Old() ? 0 : 1;
    if (Old())
      info.Zeros(256);
    else
      info.U32(0).U16(5).Add({'L', 'a', 'y', 'e', 'r'});
    info.U8(unsigned(type)).Rect(layer.Left, layer.Top, layer.Right, layer.Bottom);
    info.Rect(layer.Left, layer.Top, layer.Right, layer.Bottom);
    info.U8(unsigned(layer.Opacity)).U8(0).U8(layer.Visible ? 1 : 0).U8(0).U8(0);
    info.Rect(0, 0, 0, 0).Rect(0, 0, 0, 0).U8(0).U8(0).U8(0).U16(0).Zeros(40);
    TOut out;
    if (Old()) {
      info.U16(1).U16(unsigned(layer.Channels.size()));
    } else {
      std::uint32_t size = std::uint32_t(info.Bytes.size());
      std::memcpy(info.Bytes.data(), &size, 4);
      // Later versions may put a sub-block of their own before the bitmap chunk.
      if (!layer.Extension.empty()) info.Add(Block(0x21, layer.Extension));
      info.U32(8).U16(1).U16(unsigned(layer.Channels.size()));
    }
    std::uint32_t initial = std::uint32_t(info.Bytes.size());
    for (const TBytes& channel : layer.Channels) info.Add(channel);
    return Block(4, info.Bytes, initial);
  }

  // A composite (type 0) or thumbnail (type 1) for the composite image bank.
  struct TComposite {
    int Type = 0, Width = 0, Height = 0, Depth = 24, Compression = kNone;
    std::vector<TBytes> Channels;
  };

  TBytes CompositeBank(const std::vector<TComposite>& composites) const {
    TOut out;
    out.U32(8).U32(std::uint32_t(composites.size()));
    for (const TComposite& c : composites) {
      TOut attributes;
      attributes.U32(24).U32(std::uint32_t(c.Width)).U32(std::uint32_t(c.Height)).U16(unsigned(c.Depth));
      attributes.U16(unsigned(c.Compression)).U16(1).U32(1u << 24).U16(unsigned(c.Type));
      out.Add(Block(17, attributes.Bytes));
    }
    for (const TComposite& c : composites) {
      TOut image;
      image.U32(8).U16(1).U16(unsigned(c.Channels.size()));
      for (const TBytes& channel : c.Channels) image.Add(channel);
      out.Add(Block(9, image.Bytes));
    }
    return Block(16, out.Bytes);
  }

 private:
  bool Old() const { return major_ <= 3; }

  // RLE: count <= 128 copies count bytes; 129..255 repeats the next byte count - 128 times.
  static TBytes Compress(int compression, const TBytes& plane) {
    if (compression == kLz77) {
      uLongf size = compressBound(uLong(plane.size()));
      TBytes out(size);
      compress(out.data(), &size, plane.data(), uLong(plane.size()));
      out.resize(size);
      return out;
    }
    if (compression == kNone) return plane;
    TBytes out;
    for (std::size_t i = 0; i < plane.size();) {
      std::size_t run = 1;
      while (i + run < plane.size() && run < 127 && plane[i + run] == plane[i]) ++run;
      if (run > 1) {
        out.push_back(std::uint8_t(128 + run));
        out.push_back(plane[i]);
      } else {
        out.push_back(1);
        out.push_back(plane[i]);
      }
      i += run;
    }
    return out;
  }

  int major_;
};

TBytes Concat(std::initializer_list<TBytes> parts) {
  TBytes out;
  for (const TBytes& part : parts) out.insert(out.end(), part.begin(), part.end());
  return out;
}

TBytes Plane(int width, int height, auto value) {
  TBytes plane;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) plane.push_back(std::uint8_t(value(x, y)));
  return plane;
}

TBytes Flat(int width, int height, int v) {
  return Plane(width, height, [v](int, int) { return v; });
}

const std::uint8_t* PixelAt(const TBitmap& bitmap, int x, int y) { return bitmap.Row(y).data() + x * 4; }

// Version 3: a background layer, a half-opaque layer hanging over the right
// edge, and a hidden white layer on top.
TBytes Version3Layers() {
  TPspWriter w(3);
  TPspWriter::TLayer background{.Right = 4,
                                .Bottom = 3,
                                .Channels = {w.Channel(kRle, 0, 1, Plane(4, 3, [](int x, int) { return 10 * x; })),
                                             w.Channel(kRle, 0, 2, Plane(4, 3, [](int, int y) { return 20 * y; })),
                                             w.Channel(kRle, 0, 3, Flat(4, 3, 7))}};
  TPspWriter::TLayer over{.Left = 2,
                          .Top = 1,
                          .Right = 5,
                          .Bottom = 3,
                          .Opacity = 128,
                          .Channels = {w.Channel(kRle, 0, 1, Flat(3, 2, 200)), w.Channel(kRle, 0, 2, Flat(3, 2, 100)),
                                       w.Channel(kRle, 0, 3, Flat(3, 2, 50)), w.Channel(kRle, 1, 0, Flat(3, 2, 255))}};
  TPspWriter::TLayer hidden{.Right = 4,
                            .Bottom = 3,
                            .Visible = false,
                            .Channels = {w.Channel(kRle, 0, 1, Flat(4, 3, 255)), w.Channel(kRle, 0, 2, Flat(4, 3, 255)),
                                         w.Channel(kRle, 0, 3, Flat(4, 3, 255))}};
  return Concat({w.Header(), w.Attributes(4, 3, kRle, 24),
                 w.Block(3, Concat({w.Layer(background), w.Layer(over), w.Layer(hidden)}))});
}

// Version 6: a composite bank (thumbnail first, then the LZ77 composite with
// transparency) and a layer bank of another colour that must not be used.
TBytes Version6Composite() {
  TPspWriter w(6);
  TPspWriter::TComposite thumbnail{
      .Type = 1,
      .Width = 2,
      .Height = 2,
      .Compression = kLz77,
      .Channels = {w.Channel(kLz77, 8, 1, Flat(2, 2, 1)), w.Channel(kLz77, 8, 2, Flat(2, 2, 1)),
                   w.Channel(kLz77, 8, 3, Flat(2, 2, 1))}};
  TPspWriter::TComposite composite{
      .Width = 6,
      .Height = 5,
      .Compression = kLz77,
      .Channels = {w.Channel(kLz77, 8, 1, Plane(6, 5, [](int x, int y) { return x * 40 + y; })),
                   w.Channel(kLz77, 8, 2, Flat(6, 5, 77)), w.Channel(kLz77, 8, 3, Flat(6, 5, 99)),
                   w.Channel(kLz77, 9, 0, Plane(6, 5, [](int x, int) { return x * 50; }))}};
  TPspWriter::TLayer layer{.Right = 6,
                           .Bottom = 5,
                           .Channels = {w.Channel(kLz77, 0, 1, Flat(6, 5, 5)), w.Channel(kLz77, 0, 2, Flat(6, 5, 5)),
                                        w.Channel(kLz77, 0, 3, Flat(6, 5, 5))}};
  return Concat(
      {w.Header(), w.Attributes(6, 5, kLz77, 24), w.CompositeBank({thumbnail, composite}), w.Block(3, w.Layer(layer))});
}

// Version 5: 4-bit indices, uncompressed with rows padded to 4 bytes, an
// extension sub-block before the layer's bitmap chunk, the
// main palette block, and a vector layer on top that is not drawn.
TBytes Version5Paletted() {
  TPspWriter w(5);
  std::vector<std::array<std::uint8_t, 3>> colours;
  for (int i = 0; i < 16; ++i) colours.push_back({std::uint8_t(i * 16), std::uint8_t(255 - i), 3});
  // Five 4-bit pixels take 3 bytes; each row is padded to 4.
  TBytes packed = {0x01, 0x23, 0x40, 0x00, 0xFE, 0xDC, 0xB0, 0x00};
  TPspWriter::TLayer layer{
      .Right = 5, .Bottom = 2, .Channels = {w.Channel(kNone, 0, 0, packed)}, .Extension = {1, 2, 3, 4, 5, 6}};
  TPspWriter::TLayer vector{.Type = 3, .Right = 5, .Bottom = 2, .Channels = {w.Channel(kNone, 0, 0, Flat(8, 1, 0x77))}};
  return Concat({w.Header(), w.Attributes(5, 2, kNone, 4), w.Palette(colours),
                 w.Block(3, Concat({w.Layer(layer), w.Layer(vector)}))});
}

}  // namespace

TEST(Psp, Version3LayersBlendByOpacityAndSkipHiddenOnes) {
  TBitmap bitmap = DecodePicture(Version3Layers(), "psp");
  ASSERT_EQ(bitmap.Width, 4);
  ASSERT_EQ(bitmap.Height, 3);
  const std::uint8_t* plain = PixelAt(bitmap, 1, 2);
  EXPECT_EQ(plain[0], 10);
  EXPECT_EQ(plain[1], 40);
  EXPECT_EQ(plain[2], 7);
  EXPECT_EQ(plain[3], 255);
  // Half of the upper layer over the background: 128/255 of it.
  for (int x : {2, 3}) {
    const std::uint8_t* p = PixelAt(bitmap, x, 1);
    double a = 128.0 / 255.0;
    EXPECT_NEAR(p[0], 200 * a + 10 * x * (1 - a), 1);
    EXPECT_NEAR(p[1], 100 * a + 20 * (1 - a), 1);
    EXPECT_NEAR(p[2], 50 * a + 7 * (1 - a), 1);
    EXPECT_EQ(p[3], 255);
  }
  EXPECT_EQ(PixelAt(bitmap, 2, 0)[0], 20);  // above the upper layer
}

TEST(Psp, CompositeBankIsPreferredOverLayers) {
  TBitmap bitmap = DecodePicture(Version6Composite(), "psp");
  ASSERT_EQ(bitmap.Width, 6);
  ASSERT_EQ(bitmap.Height, 5);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 6; ++x) {
      const std::uint8_t* p = PixelAt(bitmap, x, y);
      EXPECT_EQ(p[0], x * 40 + y);
      EXPECT_EQ(p[1], 77);
      EXPECT_EQ(p[2], 99);
      EXPECT_EQ(p[3], x * 50);
    }
}

TEST(Psp, PalettedFourBitRowsPaddedAndVectorLayerSkipped) {
  TBitmap bitmap = DecodePicture(Version5Paletted(), "psp");
  ASSERT_EQ(bitmap.Width, 5);
  ASSERT_EQ(bitmap.Height, 2);
  const int indices[2][5] = {{0, 1, 2, 3, 4}, {15, 14, 13, 12, 11}};
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 5; ++x) {
      const std::uint8_t* p = PixelAt(bitmap, x, y);
      EXPECT_EQ(p[0], indices[y][x] * 16);
      EXPECT_EQ(p[1], 255 - indices[y][x]);
      EXPECT_EQ(p[3], 255);
    }
}

TEST(Psp, DamagedFilesFailCleanly) {
  // Every cut of every sample either decodes or fails with a picture error.
  for (const TBytes& good : {Version3Layers(), Version6Composite(), Version5Paletted()})
    for (std::size_t size = 0; size < good.size(); ++size) {
      try {
        DecodePicture(std::span(good).first(size), "psp");
      } catch (const EPictureError&) {
      }
    }
  TBytes bad = Version3Layers();
  bad[3] = 'X';  // signature
  EXPECT_THROW(DecodePicture(bad, "psp"), EPictureError);
  bad = Version3Layers();
  bad[36 + 10] = 0xFF;  // the attributes block's length runs past the end
  EXPECT_THROW(DecodePicture(bad, "psp"), EPictureError);

  TPspWriter w(6);
  TBytes header = Concat({w.Header(), w.Attributes(4, 4, kLz77, 24)});
  TBytes garbage = {0x78, 0x9C, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  TBytes channel = w.Block(5, TOut().U32(16).U32(8).U32(16).U16(0).U16(1).Add(garbage).Bytes);
  TPspWriter::TLayer layer{.Right = 4, .Bottom = 4, .Channels = {channel, channel, channel}};
  EXPECT_THROW(DecodePicture(Concat({header, w.Block(3, w.Layer(layer))}), "psp"), EPictureError);
  // A layer far larger than its few bytes of channel data.
  TPspWriter::TLayer huge{.Right = 9000, .Bottom = 9000, .Channels = {w.Channel(kLz77, 0, 1, Flat(4, 1, 0))}};
  EXPECT_THROW(DecodePicture(Concat({header, w.Block(3, w.Layer(huge))}), "psp"), EPictureError);
  // Only two of three colour channels.
  TPspWriter::TLayer partial{
      .Right = 4,
      .Bottom = 4,
      .Channels = {w.Channel(kLz77, 0, 1, Flat(4, 4, 1)), w.Channel(kLz77, 0, 2, Flat(4, 4, 1))}};
  EXPECT_THROW(DecodePicture(Concat({header, w.Block(3, w.Layer(partial))}), "psp"), EPictureError);
  // Nothing to draw: the declared canvas is not made at all.
  TPspWriter::TLayer hiddenOnly{.Right = 4, .Bottom = 4, .Visible = false, .Channels = {}};
  try {
    DecodePicture(Concat({header, w.Block(3, w.Layer(hiddenOnly))}), "psp");
    ADD_FAILURE() << "a file with no visible layer decoded";
  } catch (const EPictureError& e) {
    EXPECT_STREQ(e.what(), "PSP: no visible raster layer");
  }
  EXPECT_THROW(DecodePicture(Concat({w.Header(), w.Attributes(4, 4, kNone, 16)}), "psp"), EPictureError);
  EXPECT_THROW(DecodePicture(w.Header(), "psp"), EPictureError);
}
