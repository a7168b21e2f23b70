// WMF decoding: the corpus drawing against its reference render, and files
// written here from the record layouts, checked at known pixels.

#include <gtest/gtest.h>

#include <QImage>

#include "pictures/PictureError.h"
#include "pictures/PictureFile.h"
#include "pictures/WmfDecoder.h"
#include "tests/pictures/CorpusSupport.h"
#include "tests/pictures/MetafileSupport.h"
#include "tests/pictures/MetafileWriter.h"

using namespace orb;
using namespace orb::test;

namespace {

constexpr std::uint32_t kRed = ColorRef(255, 0, 0);
constexpr std::uint32_t kBlue = ColorRef(0, 0, 255);
constexpr std::uint32_t kGreen = ColorRef(0, 255, 0);

// A placeable file of size x size pixels: one logical unit per pixel, with
// a null pen selected as object 0 so that fills have exact edges.
TWmfWriter PixelWriter() {
  TWmfWriter w;
  w.CreatePen(5, 0, 0).SelectObject(0);
  return w;
}
std::vector<std::uint8_t> PixelFile(const TWmfWriter& w, int size = 100) {
  return w.Finish(std::vector<int>{0, 0, size, size}, 96);
}

}  // namespace

TEST(Wmf, CorpusDrawingMatchesItsReference) {
  ORB_REQUIRE_CORPUS();
  for (const TCorpusEntry& entry : CorpusEntries("wmf")) {
    SCOPED_TRACE(entry.File.string());
    TBitmap ours = LoadPictureFile(entry.File);
    // 1369 units at 1200 per inch, at 96 dpi.
    EXPECT_EQ(ours.Width, 110);
    EXPECT_EQ(ours.Height, 110);
    ASSERT_TRUE(entry.HasReference);
    TBitmap reference = ReadReferencePng(entry.File.string() + ".ref.png");
    // The reference is rendered at 72 dpi with other anti-aliasing: compare
    // at its size, where only edge pixels may differ clearly, and at half
    // its size, where edges blur and hardly any pixel may differ at all.
    // The file's drawing lies partly outside its stated window; both it and
    // the reference fit the drawing into the picture.
    int w = reference.Width, h = reference.Height;
    EXPECT_LT(ShareOfDifferentPixels(Scaled(ours, w, h), reference, 64), 0.02);
    EXPECT_LT(ShareOfDifferentPixels(Scaled(ours, w / 2, h / 2), Scaled(reference, w / 2, h / 2), 32), 0.01);
    EXPECT_TRUE(IsColor(ours, 55, 55, 255, 0, 0));
    EXPECT_TRUE(IsColor(ours, 2, 2, 255, 255, 255));
  }
}

TEST(Wmf, PlaceableFrameMapsOntoThePictureAtNinetySixDpi) {
  TWmfWriter w = PixelWriter();
  w.CreateBrush(0, kBlue).SelectObject(1).Rectangle(250, 250, 750, 750);
  // 1000 units at 1000 per inch: 96 pixels, the rectangle from 24 to 72.
  TBitmap b = TWmfDecoder::Decode(w.Finish(std::vector<int>{0, 0, 1000, 1000}, 1000));
  ASSERT_EQ(b.Width, 96);
  EXPECT_TRUE(IsColor(b, 25, 25, 0, 0, 255));
  EXPECT_TRUE(IsColor(b, 70, 70, 0, 0, 255));
  EXPECT_TRUE(IsColor(b, 22, 22, 255, 255, 255));
  EXPECT_TRUE(IsColor(b, 74, 74, 255, 255, 255));
}

TEST(Wmf, WindowExtentAndOriginScaleTheDrawing) {
  TWmfWriter w = PixelWriter();
  // Logical 100..300 across a 96-pixel picture: 1 pixel = 2 units after the origin moves to 100.
  w.SetMapMode(8).SetWindowOrg(100, 100).SetWindowExt(200, 200);
  w.CreateBrush(0, kGreen).SelectObject(1).Rectangle(100, 100, 200, 200);
  TBitmap b = TWmfDecoder::Decode(PixelFile(w, 96));
  EXPECT_TRUE(IsColor(b, 2, 2, 0, 255, 0));
  EXPECT_TRUE(IsColor(b, 46, 46, 0, 255, 0));
  EXPECT_TRUE(IsColor(b, 50, 50, 255, 255, 255));
}

TEST(Wmf, ScaleWindowExtAndOffsetWindowOrgAdjustTheMapping) {
  TWmfWriter w = PixelWriter();
  w.SetMapMode(8).SetWindowOrg(0, 0).SetWindowExt(50, 50);
  w.Record(0x0410, {1, 4, 1, 4});  // ScaleWindowExt: x 4/1, y 4/1 -> 200 x 200
  w.Record(0x020F, {100, 100});    // OffsetWindowOrg(100, 100)
  w.CreateBrush(0, kBlue).SelectObject(1).Rectangle(100, 100, 200, 200);  // the first half of the window
  TBitmap b = TWmfDecoder::Decode(PixelFile(w, 96));
  EXPECT_TRUE(IsColor(b, 40, 40, 0, 0, 255));
  EXPECT_TRUE(IsColor(b, 56, 56, 255, 255, 255));
}

TEST(Wmf, MetricMappingModeCountsUpwardsInTenthsOfMillimetres) {
  TWmfWriter w = PixelWriter();
  // MM_LOMETRIC: 127 units = 12.7 mm = 48 pixels, y growing upwards.
  w.SetMapMode(2).CreateBrush(0, kBlue).SelectObject(1).Rectangle(0, 0, 127, -127);
  TBitmap b = TWmfDecoder::Decode(PixelFile(w, 96));
  EXPECT_TRUE(IsColor(b, 24, 24, 0, 0, 255));
  EXPECT_TRUE(IsColor(b, 46, 46, 0, 0, 255));
  EXPECT_TRUE(IsColor(b, 60, 60, 255, 255, 255));
}

TEST(Wmf, FillModeDecidesWhetherNestedPolygonsLeaveAHole) {
  for (int mode : {1, 2}) {
    TWmfWriter w = PixelWriter();
    w.CreateBrush(0, kRed).SelectObject(1).Record(0x0106, {mode});
    // Two squares wound the same way.
    std::vector<std::uint8_t> params;
    for (int v : {2, 4, 4, 10, 10, 90, 10, 90, 90, 10, 90, 30, 30, 70, 30, 70, 70, 30, 70}) PutU16(params, std::uint32_t(v));
    w.RecordBytes(0x0538, params);
    TBitmap b = TWmfDecoder::Decode(PixelFile(w));
    EXPECT_TRUE(IsColor(b, 20, 20, 255, 0, 0));
    if (mode == 1) {
      EXPECT_TRUE(IsColor(b, 50, 50, 255, 255, 255)) << "alternate leaves the hole";
    } else {
      EXPECT_TRUE(IsColor(b, 50, 50, 255, 0, 0)) << "winding fills it";
    }
  }
}

TEST(Wmf, PolygonIsFilledWithTheSelectedBrush) {
  TWmfWriter w = PixelWriter();
  w.CreateBrush(0, kGreen).SelectObject(1).Polygon({10, 10, 90, 10, 10, 90});
  TBitmap b = TWmfDecoder::Decode(PixelFile(w));
  EXPECT_TRUE(IsColor(b, 20, 20, 0, 255, 0));
  EXPECT_TRUE(IsColor(b, 80, 80, 255, 255, 255));
}

TEST(Wmf, HatchedBrushDrawsLinesAndLeavesGapsTransparentInTransparentMode) {
  TWmfWriter w = PixelWriter();
  w.Record(0x0102, {1}).CreateBrush(2, kBlue, 0).SelectObject(1).Rectangle(0, 0, 100, 100);
  TBitmap b = TWmfDecoder::Decode(PixelFile(w));
  int blue = 0, white = 0;
  for (int y = 10; y < 30; ++y) {
    if (IsColor(b, 50, y, 0, 0, 255)) ++blue;
    if (IsColor(b, 50, y, 255, 255, 255)) ++white;
  }
  EXPECT_GT(blue, 0);
  EXPECT_GT(white, blue);
}

TEST(Wmf, PieRunsCounterClockwiseFromStartToEndRadial) {
  TWmfWriter w = PixelWriter();
  w.CreateBrush(0, kRed).SelectObject(1);
  w.Record(0x081A, {0, 50, 50, 100, 100, 100, 0, 0});  // end (50, 0), start (100, 50), rect 0,0,100,100
  TBitmap b = TWmfDecoder::Decode(PixelFile(w));
  EXPECT_TRUE(IsColor(b, 70, 30, 255, 0, 0)) << "the upper right quarter";
  EXPECT_TRUE(IsColor(b, 30, 30, 255, 255, 255));
  EXPECT_TRUE(IsColor(b, 70, 70, 255, 255, 255));
  EXPECT_TRUE(IsColor(b, 95, 5, 255, 255, 255)) << "outside the ellipse";
}

TEST(Wmf, EllipseFillsItsBoundsButNotTheCorners) {
  TWmfWriter w = PixelWriter();
  w.CreateBrush(0, kBlue).SelectObject(1).Record(0x0418, {90, 90, 10, 10});
  TBitmap b = TWmfDecoder::Decode(PixelFile(w));
  EXPECT_TRUE(IsColor(b, 50, 50, 0, 0, 255));
  EXPECT_TRUE(IsColor(b, 15, 50, 0, 0, 255));
  EXPECT_TRUE(IsColor(b, 14, 14, 255, 255, 255));
}

TEST(Wmf, RegionIsFilledWithTheGivenBrush) {
  TWmfWriter w = PixelWriter();
  w.CreateBrush(0, kGreen);  // object 1
  // One scan from y 10 to 30 with one span from x 10 to 30.
  w.Record(0x06FF, {0, 6, 0, 0, 0, 1, 2, 10, 10, 30, 30, 2, 10, 30, 10, 30, 2});  // object 2
  w.Record(0x0228, {2, 1});  // FillRegion(region, brush)
  TBitmap b = TWmfDecoder::Decode(PixelFile(w));
  EXPECT_TRUE(IsColor(b, 20, 20, 0, 255, 0));
  EXPECT_TRUE(IsColor(b, 40, 20, 255, 255, 255));
}

TEST(Wmf, DibPatternBrushTilesFromTheTopLeft) {
  // 2x2, 24 bits, top row red, blue; bottom row blue, red.
  std::vector<std::uint8_t> params;
  PutU16(params, 5);  // BS_DIBPATTERN
  PutU16(params, 0);
  std::vector<std::uint8_t> dib = MakeDib(2, 2, 24, {}, {{0, 0, 255, 255, 0, 0, 0, 0}, {255, 0, 0, 0, 0, 255, 0, 0}});
  params.insert(params.end(), dib.begin(), dib.end());
  TWmfWriter w = PixelWriter();
  w.RecordBytes(0x0142, params).SelectObject(1).Rectangle(0, 0, 100, 100);
  TBitmap b = TWmfDecoder::Decode(PixelFile(w));
  EXPECT_TRUE(IsColor(b, 10, 10, 255, 0, 0));
  EXPECT_TRUE(IsColor(b, 11, 10, 0, 0, 255));
  EXPECT_TRUE(IsColor(b, 10, 11, 0, 0, 255));
  EXPECT_TRUE(IsColor(b, 11, 11, 255, 0, 0));
}

TEST(Wmf, MonochromePatternBrushUsesTextAndBackgroundColours) {
  std::vector<std::uint8_t> params;
  for (int v : {0, 8, 8, 2}) PutU16(params, std::uint32_t(v));  // Bitmap16: type, 8 x 8, 2 bytes a row
  params.insert(params.end(), {1, 1, 0, 0, 0, 0});                // one plane, 1 bit, bits pointer
  params.insert(params.end(), 18, 0);
  for (int row = 0; row < 8; ++row) params.insert(params.end(), {std::uint8_t(row % 2 ? 0x00 : 0xFF), 0});
  TWmfWriter w = PixelWriter();
  w.Record(0x0209, {0x00FF, 0});  // text colour red; the background stays white
  w.RecordBytes(0x01F9, params).SelectObject(1).Rectangle(0, 0, 100, 100);
  TBitmap b = TWmfDecoder::Decode(PixelFile(w));
  EXPECT_TRUE(IsColor(b, 10, 10, 255, 255, 255)) << "set bits";
  EXPECT_TRUE(IsColor(b, 10, 11, 255, 0, 0)) << "clear bits";
}

TEST(Wmf, DrawingOutsideItsStatedWindowIsFittedIntoThePicture) {
  TWmfWriter w = PixelWriter();
  w.SetWindowOrg(0, 0).SetWindowExt(100, 100);
  w.CreateBrush(0, kRed).SelectObject(1).Rectangle(200, 250, 300, 300);  // 2:1, wholly outside
  TBitmap b = TWmfDecoder::Decode(PixelFile(w));
  EXPECT_TRUE(IsColor(b, 50, 30, 255, 0, 0));
  EXPECT_TRUE(IsColor(b, 2, 50, 255, 0, 0));
  EXPECT_TRUE(IsColor(b, 50, 10, 255, 255, 255)) << "proportions kept, centred";
}

TEST(Wmf, BackgroundLargerThanTheFrameKeepsTheMapping) {
  TWmfWriter w = PixelWriter();
  w.CreateBrush(0, kBlue).SelectObject(1).Rectangle(-50, -50, 150, 150);
  w.CreateBrush(0, kRed).SelectObject(2).Rectangle(40, 40, 60, 60);
  TBitmap b = TWmfDecoder::Decode(PixelFile(w));
  EXPECT_TRUE(IsColor(b, 42, 42, 255, 0, 0));
  EXPECT_TRUE(IsColor(b, 38, 38, 0, 0, 255));
  EXPECT_TRUE(IsColor(b, 2, 2, 0, 0, 255));
}

TEST(Wmf, LineIsDrawnInThePenColour) {
  TWmfWriter w;
  w.CreatePen(0, 6, kRed).SelectObject(0).MoveTo(10, 50).LineTo(90, 50);
  TBitmap b = TWmfDecoder::Decode(PixelFile(w));
  EXPECT_TRUE(IsColor(b, 50, 50, 255, 0, 0));
  EXPECT_TRUE(IsColor(b, 50, 40, 255, 255, 255));
}

TEST(Wmf, DashedPenLeavesGaps) {
  TWmfWriter w;
  w.CreatePen(1, 2, kRed).SelectObject(0).MoveTo(0, 50).LineTo(100, 50);  // PS_DASH
  TBitmap b = TWmfDecoder::Decode(PixelFile(w));
  int red = 0, white = 0;
  for (int x = 5; x < 95; ++x) {
    red += IsColor(b, x, 50, 255, 0, 0);
    white += IsColor(b, x, 50, 255, 255, 255);
  }
  EXPECT_GT(red, 20);
  EXPECT_GT(white, 10);
}

TEST(Wmf, RestoreDcBringsBackTheSavedPen) {
  TWmfWriter w;
  w.CreatePen(0, 6, kRed).CreatePen(0, 6, kBlue).SelectObject(0);
  w.Record(0x001E, {}).SelectObject(1).Record(0x0127, {-1});  // SaveDC, select blue, RestoreDC(-1)
  w.MoveTo(10, 50).LineTo(90, 50);
  TBitmap b = TWmfDecoder::Decode(PixelFile(w));
  EXPECT_TRUE(IsColor(b, 50, 50, 255, 0, 0));
}

TEST(Wmf, StretchDibPlacesABottomUpBitmapUpright) {
  // 2x2, 24 bits: top row red, blue; bottom row green, white.
  std::vector<std::uint8_t> dib = MakeDib(2, 2, 24, {}, {{0, 0, 255, 255, 0, 0, 0, 0}, {0, 255, 0, 255, 255, 255, 0, 0}});
  std::vector<std::uint8_t> params;
  for (int v : {0x0020, 0x00CC, 0, 2, 2, 0, 0, 80, 80, 10, 10}) PutU16(params, std::uint32_t(v));  // SRCCOPY, DIB_RGB_COLORS, src h w y x, dest h w y x
  params.insert(params.end(), dib.begin(), dib.end());
  TWmfWriter w;
  w.RecordBytes(0x0F43, params);
  TBitmap b = TWmfDecoder::Decode(PixelFile(w));
  EXPECT_TRUE(IsColor(b, 20, 20, 255, 0, 0));
  EXPECT_TRUE(IsColor(b, 80, 20, 0, 0, 255));
  EXPECT_TRUE(IsColor(b, 20, 80, 0, 255, 0));
  EXPECT_TRUE(IsColor(b, 5, 5, 255, 255, 255));
}

TEST(Wmf, ClipRectanglesLimitLaterDrawing) {
  TWmfWriter w = PixelWriter();
  w.Record(0x0416, {60, 60, 20, 20});  // IntersectClipRect(20, 20, 60, 60)
  w.Record(0x0415, {40, 40, 30, 30});  // ExcludeClipRect(30, 30, 40, 40)
  w.CreateBrush(0, kBlue).SelectObject(1).Rectangle(0, 0, 100, 100);
  TBitmap b = TWmfDecoder::Decode(PixelFile(w));
  EXPECT_TRUE(IsColor(b, 25, 25, 0, 0, 255));
  EXPECT_TRUE(IsColor(b, 35, 35, 255, 255, 255));
  EXPECT_TRUE(IsColor(b, 70, 70, 255, 255, 255));
}

TEST(Wmf, TextOutDrawsInTheTextColour) {
  TWmfWriter w;
  std::vector<std::uint8_t> font;
  for (int v : {-40, 0, 0, 0, 700}) PutU16(font, std::uint32_t(v) & 0xFFFF);
  font.insert(font.end(), {0, 0, 0, 0, 0, 0, 0, 0});
  for (char c : std::string("DejaVu Sans")) font.push_back(std::uint8_t(c));
  font.push_back(0);
  w.RecordBytes(0x02FB, font).SelectObject(0);
  w.Record(0x0209, {0x00FF, 0});  // SetTextColor(red)
  w.Record(0x0102, {1});          // transparent background
  std::vector<std::uint8_t> text;
  PutU16(text, 2);
  for (char c : std::string("\x97\x97")) text.push_back(std::uint8_t(c));  // em dashes (Windows-1252)
  PutU16(text, 10);
  PutU16(text, 10);
  w.RecordBytes(0x0521, text);
  TBitmap b = TWmfDecoder::Decode(PixelFile(w));
  int red = 0;
  for (int y = 10; y < 50; ++y)
    for (int x = 10; x < 100; ++x) red += IsColor(b, x, y, 255, 0, 0);
  EXPECT_GT(red, 60);
}

TEST(Wmf, CentredTextSpreadsEvenlyAroundItsReference) {
  TWmfWriter w;
  std::vector<std::uint8_t> font;
  for (int v : {-30, 0, 0, 0, 400}) PutU16(font, std::uint32_t(v) & 0xFFFF);
  font.insert(font.end(), {0, 0, 0, 0, 0, 0, 0, 0});
  for (char c : std::string("DejaVu Sans")) font.push_back(std::uint8_t(c));
  font.push_back(0);
  w.RecordBytes(0x02FB, font).SelectObject(0);
  w.Record(0x012E, {6 | 24});  // TA_CENTER | TA_BASELINE
  w.Record(0x0102, {1});
  std::vector<std::uint8_t> text;
  PutU16(text, 4);
  for (char c : std::string("HHHH")) text.push_back(std::uint8_t(c));
  PutU16(text, 60);  // y: the baseline
  PutU16(text, 50);  // x: the centre
  w.RecordBytes(0x0521, text);
  TBitmap b = TWmfDecoder::Decode(PixelFile(w));
  int left = 0, right = 0, below = 0, above = 0;
  for (int y = 0; y < 100; ++y) {
    for (int x = 0; x < 100; ++x) {
      if (!IsColor(b, x, y, 0, 0, 0)) continue;
      (x < 50 ? left : right) += 1;
      (y < 60 ? above : below) += 1;
    }
  }
  EXPECT_GT(left, 20);
  EXPECT_NEAR(double(left) / double(right), 1.0, 0.15);
  EXPECT_EQ(below, 0) << "capitals stand on the baseline";
  EXPECT_GT(above, 40);
}

TEST(Wmf, WithoutPlaceableHeaderTheWindowExtentIsTheSize) {
  TWmfWriter w = PixelWriter();
  w.SetMapMode(8).SetWindowOrg(0, 0).SetWindowExt(64, 32);
  w.CreateBrush(0, kRed).SelectObject(1).Rectangle(32, 0, 64, 32);
  TBitmap b = TWmfDecoder::Decode(w.Finish(std::nullopt));
  EXPECT_EQ(b.Width, 64);
  EXPECT_EQ(b.Height, 32);
  EXPECT_TRUE(IsColor(b, 48, 16, 255, 0, 0));
  EXPECT_TRUE(IsColor(b, 16, 16, 255, 255, 255));
}

TEST(Wmf, WithoutAnyStatedSizeTheDrawnExtentIsTheSize) {
  TWmfWriter w = PixelWriter();
  w.CreateBrush(0, kRed).SelectObject(1).Rectangle(10, 20, 50, 80);
  TBitmap b = TWmfDecoder::Decode(w.Finish(std::nullopt));
  EXPECT_EQ(b.Width, 40);
  EXPECT_EQ(b.Height, 60);
  EXPECT_TRUE(IsColor(b, 20, 30, 255, 0, 0));
}

TEST(Wmf, UnknownRecordIsSkipped) {
  TWmfWriter w = PixelWriter();
  w.Record(0x0999, {1, 2, 3, 4, 5}).CreateBrush(0, kBlue).SelectObject(1).Rectangle(0, 0, 100, 100);
  TBitmap b = TWmfDecoder::Decode(PixelFile(w));
  EXPECT_TRUE(IsColor(b, 50, 50, 0, 0, 255));
}

TEST(Wmf, DamagedFilesFailNamingTheFormat) {
  TWmfWriter w = PixelWriter();
  w.Rectangle(0, 0, 10, 10);
  std::vector<std::uint8_t> truncated = PixelFile(w);
  truncated.resize(truncated.size() - 10);  // cuts the rectangle record
  EXPECT_EQ(FailureOf([&] { TWmfDecoder::Decode(truncated); }), "WMF: unexpected end of file");

  std::vector<std::uint8_t> badHeader = PixelFile(w);
  badHeader[22 + 2] = 7;  // header size in words
  EXPECT_EQ(FailureOf([&] { TWmfDecoder::Decode(badHeader); }), "WMF: bad header");

  std::vector<std::uint8_t> noUnits = w.Finish(std::vector<int>{0, 0, 10, 10}, 0);
  EXPECT_EQ(FailureOf([&] { TWmfDecoder::Decode(noUnits); }), "WMF: bad units per inch");

  std::vector<std::uint8_t> huge = w.Finish(std::vector<int>{-32000, -32000, 32000, 32000}, 20);
  EXPECT_EQ(FailureOf([&] { TWmfDecoder::Decode(huge); }), "WMF: picture too large");

  EXPECT_EQ(FailureOf([] { TWmfDecoder::Decode({}); }), "WMF: unexpected end of file");
}

TEST(Wmf, ManyLargeFillsFromASmallFileHitTheWorkLimit) {
  TWmfWriter w = PixelWriter();
  w.CreateBrush(0, kBlue).SelectObject(1);
  for (int i = 0; i < 400; ++i) w.Rectangle(0, 0, 2000, 2000);
  EXPECT_EQ(FailureOf([&] { TWmfDecoder::Decode(PixelFile(w, 2000)); }), "WMF: too much drawing work");
}
