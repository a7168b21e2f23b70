#include <gtest/gtest.h>

#include "pictures/PsdDecoder.h"
#include "tests/pictures/FamilyTestSupport.h"

using namespace orb;
using namespace orb::test;

namespace {

// Builds a document: the 26-byte header ("8BPS", version, 6 reserved bytes,
// channels, height, width, depth, colour mode), the colour mode data, image
// resources and layer section with their lengths (the layer length is 64-bit
// in version 2), then the compression word and the image data as given.
struct TPsdFile {
  int Version = 1;
  int Channels = 3;
  int Width = 1;
  int Height = 1;
  int Depth = 8;
  int Mode = 3;
  TBytes ModeData;
  TBytes Resources;
  TBytes Layers;
  int Compression = 0;
  TBytes Data;

  TBytes Bytes() const {
    TBytes out{'8', 'B', 'P', 'S'};
    PutU16BE(out, unsigned(Version));
    out.resize(out.size() + 6, 0);
    PutU16BE(out, unsigned(Channels));
    PutU32BE(out, std::uint32_t(Height));
    PutU32BE(out, std::uint32_t(Width));
    PutU16BE(out, unsigned(Depth));
    PutU16BE(out, unsigned(Mode));
    PutU32BE(out, std::uint32_t(ModeData.size()));
    out.insert(out.end(), ModeData.begin(), ModeData.end());
    PutU32BE(out, std::uint32_t(Resources.size()));
    out.insert(out.end(), Resources.begin(), Resources.end());
    if (Version == 2) PutU32BE(out, 0);
    PutU32BE(out, std::uint32_t(Layers.size()));
    out.insert(out.end(), Layers.begin(), Layers.end());
    PutU16BE(out, unsigned(Compression));
    out.insert(out.end(), Data.begin(), Data.end());
    return out;
  }
};

TBitmap DecodePsd(const TPsdFile& file) { return DecodePicture(file.Bytes(), "psd"); }

}  // namespace

TEST(Psd, RgbCompositeAfterLayers) {
  ORB_REQUIRE_CORPUS();
  ExpectMatchesReference("psd/hopper.psd");
  ExpectMatchesReference("psd/hopper_merged.psd");
  ExpectMatchesReference("psd/five_channels.psd");
}

TEST(Psd, FourthChannelIsAlpha) {
  ORB_REQUIRE_CORPUS();
  ExpectMatchesReference("psd/rgba.psd");
  ExpectMatchesReference("psd/negative_layer_count.psd");
  ExpectMatchesReference("psd/negative_top_left_layer.psd");
}

TEST(Psd, TransparentCompositeLosesItsWhiteMatte) {
  // The colour (200, 0, 100) at alpha 128 is stored matted against white:
  // c * 128 / 255 + 127. Opaque and fully transparent pixels stay as stored.
  TPsdFile file;
  file.Channels = 4;
  file.Width = 3;
  file.Data = {227, 10, 30,  127, 20, 40,  177, 30, 50,  128, 255, 0};
  TBitmap bitmap = DecodePsd(file);
  std::vector<int> soft = PixelAt(bitmap, 0, 0);
  EXPECT_NEAR(soft[0], 200, 1);
  EXPECT_EQ(soft[1], 0);
  EXPECT_NEAR(soft[2], 100, 1);
  EXPECT_EQ(soft[3], 128);
  EXPECT_EQ(PixelAt(bitmap, 1, 0), (std::vector<int>{10, 20, 30, 255}));
  EXPECT_EQ(PixelAt(bitmap, 2, 0)[3], 0);
}

TEST(Psd, ExtraChannelIsAlphaUnlessTheLayerCountSaysOpaque) {
  // Layer information: its length, then the layer count (no layer records
  // follow; the decoder reads only the count).
  auto withLayerCount = [](int count) {
    TPsdFile file;
    file.Channels = 4;
    PutU32BE(file.Layers, 2);
    PutU16BE(file.Layers, unsigned(count) & 0xffff);
    file.Data = {1, 2, 3, 0};
    return DecodePsd(file);
  };
  EXPECT_EQ(PixelAt(withLayerCount(-1), 0, 0)[3], 0);
  // A positive count: the fourth channel is a saved selection, not transparency.
  EXPECT_EQ(PixelAt(withLayerCount(2), 0, 0), (std::vector<int>{1, 2, 3, 255}));
}

TEST(Psd, DamagedFilesFail) {
  ORB_REQUIRE_CORPUS();
  ExpectDamagedFilesFail("psd", "psd");
}

TEST(Psd, RawRgbIsPlanarChannelAfterChannel) {
  TPsdFile file;
  file.Width = 2;
  file.Resources = {'8', 'B', 'I', 'M', 0, 0};  // skipped whatever it holds
  file.Data = {10, 11, 20, 21, 30, 31};
  TBitmap bitmap = DecodePsd(file);
  EXPECT_EQ(PixelAt(bitmap, 0, 0), (std::vector<int>{10, 20, 30, 255}));
  EXPECT_EQ(PixelAt(bitmap, 1, 0), (std::vector<int>{11, 21, 31, 255}));
}

TEST(Psd, CmykIsStoredInvertedAndConvertedByThePlainFormula) {
  // Stored 255 means no ink. Ink C = 255 - stored; red = (255 - C)(255 - K) / 255.
  TPsdFile file;
  file.Mode = 4;
  file.Channels = 5;
  file.Width = 3;
  // Pixel 0: no ink at all; pixel 1: full black; pixel 2: C=55, M=155, Y=0, K=100.
  file.Data = {255, 255, 200,   // C
               255, 255, 100,   // M
               255, 255, 255,   // Y
               255, 0, 155,     // K
               255, 255, 64};   // alpha
  TBitmap bitmap = DecodePsd(file);
  EXPECT_EQ(PixelAt(bitmap, 0, 0), (std::vector<int>{255, 255, 255, 255}));
  EXPECT_EQ(PixelAt(bitmap, 1, 0), (std::vector<int>{0, 0, 0, 255}));
  std::vector<int> third = PixelAt(bitmap, 2, 0);
  EXPECT_NEAR(third[0], 200 * 155 / 255.0, 1);
  EXPECT_NEAR(third[1], 100 * 155 / 255.0, 1);
  EXPECT_NEAR(third[2], 155, 1);
  EXPECT_EQ(third[3], 64);
}

TEST(Psd, IndexedUsesThePlanarColourTable) {
  TPsdFile file;
  file.Mode = 2;
  file.Channels = 1;
  file.Width = 2;
  file.ModeData.assign(768, 0);
  file.ModeData[7] = 1;          // red of entry 7
  file.ModeData[256 + 7] = 2;    // green
  file.ModeData[512 + 7] = 3;    // blue
  file.ModeData[255] = 250;
  file.Data = {7, 255};
  TBitmap bitmap = DecodePsd(file);
  EXPECT_EQ(PixelAt(bitmap, 0, 0), (std::vector<int>{1, 2, 3, 255}));
  EXPECT_EQ(PixelAt(bitmap, 1, 0), (std::vector<int>{250, 0, 0, 255}));
  file.ModeData.resize(700);
  EXPECT_EQ(FailureOf([&] { DecodePsd(file); }), "PSD: bad palette");
}

TEST(Psd, BitmapSetBitIsBlackAndRowsArePadded) {
  TPsdFile file;
  file.Mode = 0;
  file.Depth = 1;
  file.Channels = 1;
  file.Width = 9;
  file.Height = 2;
  file.Data = {0x80, 0x00, 0x00, 0x80};
  TBitmap bitmap = DecodePsd(file);
  EXPECT_EQ(PixelAt(bitmap, 0, 0), (std::vector<int>{0, 0, 0, 255}));
  EXPECT_EQ(PixelAt(bitmap, 1, 0), (std::vector<int>{255, 255, 255, 255}));
  EXPECT_EQ(PixelAt(bitmap, 8, 1), (std::vector<int>{0, 0, 0, 255}));
  EXPECT_EQ(PixelAt(bitmap, 0, 1), (std::vector<int>{255, 255, 255, 255}));
}

TEST(Psd, SixteenBitGreyPackBitsKeepsTheHighByte) {
  TPsdFile file;
  file.Mode = 1;
  file.Channels = 2;  // grey and alpha
  file.Depth = 16;
  file.Width = 3;
  file.Compression = 1;
  // Row byte counts (16-bit), then each row: grey as a literal of 6 bytes;
  // alpha as a run of 6 bytes of 0xff after a no-op header byte (-128).
  PutU16BE(file.Data, 7);
  PutU16BE(file.Data, 3);
  PutBytes(file.Data, {5, 0x12, 0x34, 0xab, 0xcd, 0xff, 0x00});
  PutBytes(file.Data, {0x80, 0xfb, 0xff});
  TBitmap bitmap = DecodePsd(file);
  EXPECT_EQ(PixelAt(bitmap, 0, 0), (std::vector<int>{0x12, 0x12, 0x12, 0xff}));
  EXPECT_EQ(PixelAt(bitmap, 1, 0), (std::vector<int>{0xab, 0xab, 0xab, 0xff}));
  EXPECT_EQ(PixelAt(bitmap, 2, 0), (std::vector<int>{0xff, 0xff, 0xff, 0xff}));
}

TEST(Psd, DuotoneShowsAsGreyAndIgnoresItsInks) {
  TPsdFile file;
  file.Mode = 8;
  file.Channels = 1;
  file.ModeData.assign(40, 0x55);
  file.Data = {77};
  EXPECT_EQ(PixelAt(DecodePsd(file), 0, 0), (std::vector<int>{77, 77, 77, 255}));
}

TEST(Psd, LargeDocumentHas32BitRowCountsAndLayerLength) {
  TPsdFile file;
  file.Version = 2;
  file.Mode = 1;
  file.Channels = 1;
  file.Width = 4;
  file.Height = 2;
  file.Layers = {0, 0, 0, 0};
  file.Compression = 1;
  PutU32BE(file.Data, 2);
  PutU32BE(file.Data, 5);
  PutBytes(file.Data, {0xfd, 9});
  PutBytes(file.Data, {3, 1, 2, 3, 4});
  TBitmap bitmap = DecodePsd(file);
  EXPECT_EQ(PixelAt(bitmap, 3, 0)[0], 9);
  EXPECT_EQ(PixelAt(bitmap, 3, 1)[0], 4);
}

TEST(Psd, PackBitsRowsMustFitTheirRowAndTheFile) {
  TPsdFile file;
  file.Mode = 1;
  file.Channels = 1;
  file.Width = 2;
  file.Compression = 1;
  PutU16BE(file.Data, 2);
  PutBytes(file.Data, {0xfd, 9});  // a run of 4 in a row of 2
  EXPECT_EQ(FailureOf([&] { DecodePsd(file); }), "PSD: run past end of row");
  file.Data = {};
  PutU16BE(file.Data, 40);  // more bytes than the file holds
  PutBytes(file.Data, {0xff, 9});
  EXPECT_EQ(FailureOf([&] { DecodePsd(file); }), "PSD: unexpected end of file");
  file.Data = {};
  PutU16BE(file.Data, 2);  // a literal of 2 whose second byte is past the row's count
  PutBytes(file.Data, {0x01, 9, 0x00, 0x00});
  EXPECT_EQ(FailureOf([&] { DecodePsd(file); }), "PSD: unexpected end of file");
}

TEST(Psd, BadHeadersFail) {
  TPsdFile file;
  file.Data = {1, 2, 3};
  TBytes wrongSignature = file.Bytes();
  wrongSignature[0] = '7';
  EXPECT_EQ(FailureOf([&] { DecodePicture(wrongSignature, "pdd"); }), "PSD: not a Photoshop document");
  TPsdFile lab = file;
  lab.Mode = 9;
  EXPECT_EQ(FailureOf([&] { DecodePsd(lab); }), "PSD: unsupported colour mode");
  TPsdFile floats = file;
  floats.Depth = 32;
  EXPECT_EQ(FailureOf([&] { DecodePsd(floats); }), "PSD: unsupported bit depth");
  TPsdFile zip = file;
  zip.Compression = 2;
  EXPECT_EQ(FailureOf([&] { DecodePsd(zip); }), "PSD: unsupported compression");
  TPsdFile twoChannelRgb = file;
  twoChannelRgb.Channels = 2;
  EXPECT_EQ(FailureOf([&] { DecodePsd(twoChannelRgb); }), "PSD: bad channel count");
  TPsdFile version3 = file;
  version3.Version = 3;
  EXPECT_EQ(FailureOf([&] { DecodePsd(version3); }), "PSD: bad version");
  // A header that declares 30000 x 30000 with three bytes of data fails
  // before any pixel buffer is made.
  TPsdFile huge = file;
  huge.Width = huge.Height = 30000;
  EXPECT_EQ(FailureOf([&] { DecodePsd(huge); }), "PSD: unexpected end of file");
  huge.Compression = 1;
  EXPECT_EQ(FailureOf([&] { DecodePsd(huge); }), "PSD: unexpected end of file");
  TPsdFile layersPastEnd = file;
  layersPastEnd.Layers = {1, 2};
  TBytes bytes = layersPastEnd.Bytes();
  bytes[26 + 4 + 4 + 3] = 0x7f;  // the layer section's length
  EXPECT_EQ(FailureOf([&] { DecodePicture(bytes, "psd"); }), "PSD: unexpected end of file");
}
