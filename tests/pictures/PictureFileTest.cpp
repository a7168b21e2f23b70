#include <gtest/gtest.h>

#include <array>
#include <cctype>
#include <cstdint>
#include <string>

#include "pictures/ByteReader.h"
#include "pictures/PictureError.h"
#include "pictures/PictureFile.h"
#include "pictures/PictureLimits.h"
#include "tests/pictures/CorpusSupport.h"

using namespace orb;

TEST(PictureFile, UnregisteredExtensionFailsWithTheNameAsWritten) {
  std::array<std::uint8_t, 6> gif{'G', 'I', 'F', '8', '9', 'a'};
  EXPECT_EQ(test::FailureOf([&] { DecodePicture(gif, "GIF"); }), "Unknown picture file extension (.GIF)");
  EXPECT_EQ(test::FailureOf([&] { LoadPictureFile("/nonexistent/logo.gif"); }),
            "Unknown picture file extension (.gif)");
  EXPECT_EQ(test::FailureOf([&] { LoadPictureFile("/nonexistent/README"); }), "Unknown picture file extension (.)");
}

// This program links the raster decoders only: metafiles stay registered and fail.
TEST(PictureFile, WithoutTheMetafileDecodersMetafilesFailWithTheirFormatName) {
  std::array<std::uint8_t, 4> placeable{0xD7, 0xCD, 0xC6, 0x9A};
  EXPECT_TRUE(IsPictureExtension("wmf"));
  EXPECT_EQ(test::FailureOf([&] { DecodePicture(placeable, "WMF"); }), "WMF: not readable by this program");
  EXPECT_EQ(test::FailureOf([&] { DecodePicture(placeable, "emf"); }), "EMF: not readable by this program");
}

TEST(ByteReader, ShortReadsFailWithTheFormatName) {
  std::array<std::uint8_t, 3> bytes{1, 2, 3};
  TByteReader reader(bytes, "BMP");
  EXPECT_EQ(reader.U16LE(), 0x0201);
  EXPECT_EQ(test::FailureOf([&] { reader.U16LE(); }), "BMP: unexpected end of file");
  EXPECT_EQ(reader.U8(), 3);
  EXPECT_EQ(test::FailureOf([&] { reader.BytesAt(2, 2); }), "BMP: unexpected end of file");
  EXPECT_EQ(test::FailureOf([&] { reader.Seek(4); }), "BMP: unexpected end of file");
}

TEST(PictureLimits, SizesAreCheckedBeforeAllocation) {
  EXPECT_EQ(test::FailureOf([] { AllocateBitmap("TGA", 0, 10); }), "TGA: bad dimensions");
  EXPECT_EQ(test::FailureOf([] { AllocateBitmap("TGA", 100'000, 100'000); }), "TGA: picture too large");
  EXPECT_EQ(test::FailureOf([] { AllocateBitmap("TGA", 0x7fffffff, 0x7fffffff); }), "TGA: picture too large");
  TBitmap bitmap = AllocateBitmap("TGA", 3, 2);
  EXPECT_EQ(bitmap.Pixels.size(), 3u * 2u * 4u);
}

TEST(PictureFile, ExactlyTheThirtyNineExtensionsAreRegistered) {
  const char* registered[] = {"bmp", "ico", "wmf", "emf", "jfif", "jpg", "jpe", "jpeg", "rle", "dib",
                              "win", "vst", "vda", "tga", "icb", "tiff", "tif", "fax", "eps", "pcx",
                              "pcc", "scr", "rpf", "rla", "sgi", "rgba", "rgb", "bw", "psd", "pdd",
                              "ppm", "pgm", "pbm", "cel", "pic", "pcd", "cut", "psp", "png"};
  for (const char* extension : registered) {
    EXPECT_TRUE(IsPictureExtension(extension)) << extension;
    std::string upper(extension);
    for (char& c : upper) c = char(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_TRUE(IsPictureExtension(upper)) << upper;
  }
  for (const char* other : {"gif", "webp", "jpg2", "", "svg", "xpm"}) EXPECT_FALSE(IsPictureExtension(other)) << other;
}
