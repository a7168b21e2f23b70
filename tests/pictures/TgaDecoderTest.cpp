#include <gtest/gtest.h>

#include "pictures/TgaDecoder.h"
#include "tests/pictures/BmpGroupTestSupport.h"

using namespace orb;
using namespace orb::test;

TEST(Tga, CorpusMatchesReferences) {
  ORB_REQUIRE_CORPUS();
  CheckCorpusFamily(
      "tga", "tga", [](const std::string&) { return 0; }, [](const std::string&) { return ""; });
}
