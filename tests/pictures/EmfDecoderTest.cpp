// EMF decoding: the corpus drawing (no reference render exists, but it is the
// same picture as the corpus WMF), and files written here from the record
// layouts, checked at known pixels.

#include <gtest/gtest.h>

#include "pictures/EmfDecoder.h"
#include "pictures/PictureFile.h"
#include "tests/pictures/CorpusSupport.h"
#include "tests/pictures/MetafileSupport.h"
#include "tests/pictures/MetafileWriter.h"

using namespace orb;
using namespace orb::test;

namespace {

// Record types.
enum : std::uint32_t {
  kSetWindowExt = 9, kSetViewportExt = 11, kSetMapMode = 17, kMoveTo = 27, kSaveDc = 33, kRestoreDc = 34,
  kSetWorldTransform = 35, kSelectObject = 37, kCreatePen = 38, kCreateBrush = 39, kRectangle = 43,
  kLineTo = 54, kBeginPath = 59, kEndPath = 60, kCloseFigure = 61, kFillPath = 62, kStretchDiBits = 81,
  kCreateFont = 82, kExtTextOutW = 84,
};
constexpr std::int64_t kNullPen = 0x80000008;

// A 96 x 96 picture whose device pixels are its pixels (frame 25.4 mm on a
// 96 dpi reference device), with the null pen selected.
TEmfWriter PixelWriter() {
  TEmfWriter w;
  w.Record(kSelectObject, {kNullPen});
  return w;
}
std::vector<std::uint8_t> PixelFile(const TEmfWriter& w) { return w.Finish({0, 0, 2540, 2540}); }

}  // namespace

TEST(Emf, CorpusDrawingSitsInItsFrame) {
  ORB_REQUIRE_CORPUS();
  for (const TCorpusEntry& entry : CorpusEntries("emf")) {
    SCOPED_TRACE(entry.File.string());
    TBitmap ours = LoadPictureFile(entry.File);
    // A frame of 28.99 mm at 96 dpi.
    ASSERT_EQ(ours.Width, 110);
    ASSERT_EQ(ours.Height, 110);
    EXPECT_TRUE(IsColor(ours, 55, 55, 255, 0, 0));
    EXPECT_TRUE(IsColor(ours, 2, 2, 255, 255, 255));
    // The circle spans device pixels 0.5 to 1337.5 of a 1369.7-pixel frame
    // (10205 pixels over 216 mm): output pixels 0 to 107.4.
    int left = ours.Width, right = -1, top = ours.Height, bottom = -1;
    for (int y = 0; y < ours.Height; ++y) {
      for (int x = 0; x < ours.Width; ++x) {
        if (IsColor(ours, x, y, 255, 255, 255)) continue;
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
    }
    EXPECT_LE(left, 1);
    EXPECT_LE(top, 1);
    EXPECT_NEAR(right, 107, 1);
    EXPECT_NEAR(bottom, 107, 1);
  }
}

TEST(Emf, AnisotropicMappingScalesWindowToViewport) {
  TEmfWriter w = PixelWriter();
  w.Record(kSetMapMode, {8}).Record(kSetWindowExt, {1000, 1000}).Record(kSetViewportExt, {96, 96});
  w.Record(kCreateBrush, {1, 0, ColorRef(0, 0, 255), 0}).Record(kSelectObject, {1});
  w.Record(kRectangle, {500, 0, 1000, 500});
  TBitmap b = TEmfDecoder::Decode(PixelFile(w));
  ASSERT_EQ(b.Width, 96);
  EXPECT_TRUE(IsColor(b, 70, 20, 0, 0, 255));
  EXPECT_TRUE(IsColor(b, 20, 20, 255, 255, 255));
  EXPECT_TRUE(IsColor(b, 70, 70, 255, 255, 255));
}

TEST(Emf, IsotropicMappingKeepsProportions) {
  TEmfWriter w = PixelWriter();
  // Window 100 x 50 onto a 96 x 96 viewport: one scale for both axes, 0.96.
  w.Record(kSetMapMode, {7}).Record(kSetWindowExt, {100, 50}).Record(kSetViewportExt, {96, 96});
  w.Record(kCreateBrush, {1, 0, ColorRef(0, 0, 255), 0}).Record(kSelectObject, {1});
  w.Record(kRectangle, {0, 0, 100, 50});
  TBitmap b = TEmfDecoder::Decode(PixelFile(w));
  EXPECT_TRUE(IsColor(b, 90, 40, 0, 0, 255));
  EXPECT_TRUE(IsColor(b, 50, 60, 255, 255, 255));
}

TEST(Emf, WorldTransformAndRestoreDc) {
  std::vector<std::uint8_t> xform;
  for (float v : {2.0f, 0.0f, 0.0f, 2.0f, 10.0f, 10.0f}) PutF32(xform, v);
  TEmfWriter w = PixelWriter();
  w.Record(kCreateBrush, {1, 0, ColorRef(255, 0, 0), 0}).Record(kSelectObject, {1});
  w.Record(kSaveDc, {});
  w.RecordBytes(kSetWorldTransform, xform);
  w.Record(kRectangle, {0, 0, 20, 20});  // (10, 10) to (50, 50)
  w.Record(kRestoreDc, {-1});
  w.Record(kRectangle, {60, 60, 90, 90});  // untransformed again
  TBitmap b = TEmfDecoder::Decode(PixelFile(w));
  EXPECT_TRUE(IsColor(b, 45, 45, 255, 0, 0));
  EXPECT_TRUE(IsColor(b, 55, 55, 255, 255, 255));
  EXPECT_TRUE(IsColor(b, 75, 75, 255, 0, 0));
  EXPECT_TRUE(IsColor(b, 92, 92, 255, 255, 255));
}

TEST(Emf, PathBracketIsFilledWhenClosed) {
  TEmfWriter w = PixelWriter();
  w.Record(kCreateBrush, {1, 0, ColorRef(0, 128, 0), 0}).Record(kSelectObject, {1});
  w.Record(kBeginPath, {}).Record(kMoveTo, {10, 10}).Record(kLineTo, {90, 10}).Record(kLineTo, {10, 90});
  w.Record(kCloseFigure, {}).Record(kEndPath, {}).Record(kFillPath, {0, 0, 96, 96});
  TBitmap b = TEmfDecoder::Decode(PixelFile(w));
  EXPECT_TRUE(IsColor(b, 20, 20, 0, 128, 0));
  EXPECT_TRUE(IsColor(b, 80, 80, 255, 255, 255));
}

TEST(Emf, PenFromSelectedObjectAndStockBrush) {
  TEmfWriter w;
  w.Record(kCreatePen, {2, 0, 6, 0, ColorRef(0, 0, 255)}).Record(kSelectObject, {2});
  w.Record(kSelectObject, {0x80000004});  // BLACK_BRUSH
  w.Record(kRectangle, {20, 20, 80, 80});
  TBitmap b = TEmfDecoder::Decode(PixelFile(w));
  EXPECT_TRUE(IsColor(b, 50, 50, 0, 0, 0));
  EXPECT_TRUE(IsColor(b, 50, 20, 0, 0, 255));
}

TEST(Emf, PolyDrawAndAngleArcContinueFromTheCurrentPosition) {
  std::vector<std::uint8_t> polyDraw(16, 0);
  PutU32(polyDraw, 1);
  PutU16(polyDraw, 90);
  PutU16(polyDraw, 20);
  polyDraw.push_back(2);  // PT_LINETO
  std::vector<std::uint8_t> angleArc;
  for (std::int64_t v : {50, 60, 30}) PutU32(angleArc, std::uint32_t(v));
  PutF32(angleArc, 0);
  PutF32(angleArc, 180);
  TEmfWriter w;
  w.Record(kCreatePen, {2, 0, 4, 0, ColorRef(0, 0, 255)}).Record(kSelectObject, {2});
  w.Record(kMoveTo, {10, 20}).RecordBytes(92, polyDraw).RecordBytes(41, angleArc);
  w.Record(kLineTo, {20, 90});  // from the arc's end, (20, 60)
  TBitmap b = TEmfDecoder::Decode(PixelFile(w));
  EXPECT_TRUE(IsColor(b, 50, 20, 0, 0, 255)) << "the PolyDraw line";
  EXPECT_TRUE(IsColor(b, 85, 40, 0, 0, 255)) << "the line to the arc";
  EXPECT_TRUE(IsColor(b, 50, 30, 0, 0, 255)) << "the top of the arc";
  EXPECT_TRUE(IsColor(b, 20, 80, 0, 0, 255)) << "the line from the arc's end";
  EXPECT_TRUE(IsColor(b, 50, 90, 255, 255, 255));
}

TEST(Emf, StretchDiBitsDrawsAPalettedBitmap) {
  // 2x2 at 1 bit: top row colour 1, 0; bottom row 0, 1.
  std::vector<std::uint8_t> dib =
      MakeDib(2, 2, 1, {ColorRef(255, 255, 0), ColorRef(0, 0, 128)}, {{0x80, 0, 0, 0}, {0x40, 0, 0, 0}});
  std::size_t infoSize = 40 + 8;
  std::uint32_t offInfo = 8 + 72;
  std::vector<std::uint8_t> params;
  for (std::int64_t v : {0, 0, 0, 0, 8, 8, 0, 0, 2, 2}) PutU32(params, std::uint32_t(v));
  for (std::size_t v : {std::size_t(offInfo), infoSize, offInfo + infoSize, dib.size() - infoSize}) PutU32(params, std::uint32_t(v));
  for (std::int64_t v : {0, 0x00CC0020, 80, 80}) PutU32(params, std::uint32_t(v));
  params.insert(params.end(), dib.begin(), dib.end());
  TEmfWriter w;
  w.RecordBytes(kStretchDiBits, params);
  TBitmap b = TEmfDecoder::Decode(PixelFile(w));
  EXPECT_TRUE(IsColor(b, 20, 20, 0, 0, 128));
  EXPECT_TRUE(IsColor(b, 70, 20, 255, 255, 0));
  EXPECT_TRUE(IsColor(b, 20, 70, 255, 255, 0));
  EXPECT_TRUE(IsColor(b, 70, 70, 0, 0, 128));
  EXPECT_TRUE(IsColor(b, 92, 92, 255, 255, 255));
}

namespace {

// An EMR_ALPHABLEND of one 32-bit pixel (B, G, R, A bytes) to a 40x40 square at x.
std::vector<std::uint8_t> AlphaBlendParams(int x, std::uint32_t blend, std::vector<std::uint8_t> pixel) {
  std::vector<std::uint8_t> dib = MakeDib(1, 1, 32, {}, {pixel});
  std::vector<std::uint8_t> params;
  for (std::int64_t v : {0, 0, 0, 0, x, 10, 40, 40}) PutU32(params, std::uint32_t(v));
  PutU32(params, blend);
  for (std::int64_t v : {0, 0}) PutU32(params, std::uint32_t(v));
  for (float v : {1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f}) PutF32(params, v);
  for (std::int64_t v : {0, 0, 108, 40, 148, 4, 1, 1}) PutU32(params, std::uint32_t(v));
  params.insert(params.end(), dib.begin(), dib.end());
  return params;
}

}  // namespace

TEST(Emf, AlphaBlendUsesPixelAlphaOrTheConstantOne) {
  TEmfWriter w;
  w.RecordBytes(114, AlphaBlendParams(0, 0x01FF0000, {128, 0, 0, 128}));   // premultiplied blue at half
  w.RecordBytes(114, AlphaBlendParams(50, 0x00800000, {0, 0, 255, 0}));    // red at constant half
  TBitmap b = TEmfDecoder::Decode(PixelFile(w));
  EXPECT_TRUE(IsColor(b, 20, 30, 127, 127, 255));
  EXPECT_TRUE(IsColor(b, 70, 30, 255, 127, 127));
  EXPECT_TRUE(IsColor(b, 20, 70, 255, 255, 255));
}

TEST(Emf, ExtTextOutDrawsUtf16Text) {
  std::vector<std::uint8_t> font;
  for (std::int64_t v : {3, -40, 0, 0, 0, 400}) PutU32(font, std::uint32_t(v));
  font.insert(font.end(), {0, 0, 0, 0, 0, 0, 0, 0});
  for (char16_t c : std::u16string(u"DejaVu Sans")) PutU16(font, c);
  for (int i = 11; i < 32; ++i) PutU16(font, 0);
  std::vector<std::uint8_t> text;
  for (std::int64_t v : {0, 0, 0, 0, 1}) PutU32(text, std::uint32_t(v));  // bounds, graphics mode
  PutF32(text, 1);
  PutF32(text, 1);
  for (std::int64_t v : {10, 60, 3, 8 + 68, 0, 0, 0, 0, 0, 0}) PutU32(text, std::uint32_t(v));
  for (char16_t c : std::u16string(u"\u2588\u2588\u2588")) PutU16(text, c);  // full blocks
  TEmfWriter w;
  w.RecordBytes(kCreateFont, font).Record(kSelectObject, {3}).Record(24, {ColorRef(0, 0, 255)});
  w.RecordBytes(kExtTextOutW, text);
  TBitmap b = TEmfDecoder::Decode(PixelFile(w));
  int blue = 0;
  for (int y = 20; y < 70; ++y)
    for (int x = 10; x < 90; ++x) blue += IsColor(b, x, y, 0, 0, 255);
  EXPECT_GT(blue, 300);
}

TEST(Emf, ExtSelectClipRgnLimitsDrawingUntilReset) {
  std::vector<std::uint8_t> region;
  PutU32(region, 48);  // data size
  PutU32(region, 5);   // RGN_COPY
  for (std::int64_t v : {32, 1, 1, 16, 10, 10, 40, 40, 10, 10, 40, 40}) PutU32(region, std::uint32_t(v));
  TEmfWriter w = PixelWriter();
  w.Record(kCreateBrush, {1, 0, ColorRef(0, 0, 255), 0}).Record(kSelectObject, {1});
  w.RecordBytes(75, region).Record(kRectangle, {0, 0, 96, 48});
  w.Record(75, {0, 5}).Record(kRectangle, {0, 60, 96, 96});  // no region: the whole picture again
  TBitmap b = TEmfDecoder::Decode(PixelFile(w));
  EXPECT_TRUE(IsColor(b, 20, 20, 0, 0, 255));
  EXPECT_TRUE(IsColor(b, 60, 20, 255, 255, 255));
  EXPECT_TRUE(IsColor(b, 80, 80, 0, 0, 255));
}

TEST(Emf, UnknownRecordIsSkipped) {
  TEmfWriter w = PixelWriter();
  w.Record(200, {1, 2, 3}).Record(kCreateBrush, {1, 0, ColorRef(0, 0, 255), 0}).Record(kSelectObject, {1});
  w.Record(kRectangle, {0, 0, 96, 96});
  EXPECT_TRUE(IsColor(TEmfDecoder::Decode(PixelFile(w)), 50, 50, 0, 0, 255));
}

TEST(Emf, DamagedFilesFailNamingTheFormat) {
  TEmfWriter w = PixelWriter();
  w.Record(kRectangle, {0, 0, 10, 10});
  std::vector<std::uint8_t> file = PixelFile(w);

  std::vector<std::uint8_t> truncated(file.begin(), file.end() - 30);  // inside the rectangle
  EXPECT_EQ(FailureOf([&] { TEmfDecoder::Decode(truncated); }), "EMF: unexpected end of file");

  std::vector<std::uint8_t> badSignature = file;
  badSignature[40] = 'X';
  EXPECT_EQ(FailureOf([&] { TEmfDecoder::Decode(badSignature); }), "EMF: bad header");

  std::vector<std::uint8_t> badSize = file;
  badSize[88 + 4] = 4;  // the first record's size
  EXPECT_EQ(FailureOf([&] { TEmfDecoder::Decode(badSize); }), "EMF: bad record size");

  EXPECT_EQ(FailureOf([&] { TEmfDecoder::Decode(TEmfWriter().Finish({0, 0, 100000000, 100000000})); }),
            "EMF: picture too large");
}
