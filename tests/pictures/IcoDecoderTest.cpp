#include <gtest/gtest.h>

#include "pictures/IcoDecoder.h"
#include "tests/pictures/BmpGroupTestSupport.h"

using namespace orb;
using namespace orb::test;

TEST(Ico, CorpusMatchesReferences) {
  ORB_REQUIRE_CORPUS();
  CheckCorpusFamily(
      "ico", "ico", [](const std::string&) { return 0; },
      [](const std::string& name) { return name == "pillow.ico" || name == "hopper_draw.ico" ? "png" : ""; });
}
