#include <gtest/gtest.h>

#include "pictures/BmpDecoder.h"
#include "tests/pictures/BmpGroupTestSupport.h"

using namespace orb;
using namespace orb::test;

TEST(Bmp, CorpusMatchesReferences) {
  ORB_REQUIRE_CORPUS();
  CheckCorpusFamily(
      "bmp", "bmp",
      [](const std::string& name) {
        // ImageMagick made these references: it rounds 10- and 11-bit
        // channels differently, and it shifts channels of 1 to 3 bits up
        // without scaling them, so their largest values fall short of 255.
        return name == "rgb32-111110.bmp" ? 1 : name == "rgb16-3103.bmp" ? 31 : name == "rgb16-231.bmp" ? 127 : 0;
      },
      [](const std::string& name) {
        return name == "rgb24png.bmp" ? "png" : name == "rgb24jpeg.bmp" ? "jpg" : "";
      });
}
