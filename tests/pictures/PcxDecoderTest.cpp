#include <gtest/gtest.h>

#include "pictures/PcxDecoder.h"
#include "tests/pictures/BmpGroupTestSupport.h"

using namespace orb;
using namespace orb::test;

TEST(Pcx, CorpusMatchesReferences) {
  ORB_REQUIRE_CORPUS();
  CheckCorpusFamily(
      "pcx", "pcx", [](const std::string&) { return 0; }, [](const std::string&) { return ""; });
}
