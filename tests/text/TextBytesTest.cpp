#include <gtest/gtest.h>

#include "text/TextBytes.h"

namespace orb {
namespace {

TEST(TextBytes, RecognisesValidAndInvalidUtf8) {
  EXPECT_TRUE(IsValidUtf8("plain"));
  EXPECT_TRUE(IsValidUtf8("caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"));
  EXPECT_FALSE(IsValidUtf8("caf\xE9"));          // Windows-1252 e acute
  EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));         // overlong slash
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));     // surrogate
  EXPECT_FALSE(IsValidUtf8("\xE2\x82"));         // cut short
  EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80")); // above U+10FFFF
}

TEST(TextBytes, CutsUtf8ByCharactersAndOtherBytesByBytes) {
  EXPECT_EQ(CutToCharacters("caf\xC3\xA9s", 4), "caf\xC3\xA9");
  EXPECT_EQ(CutToCharacters("\xE2\x82\xAC\xE2\x82\xAC", 1), "\xE2\x82\xAC");
  EXPECT_EQ(CutToCharacters("caf\xE9s", 4), "caf\xE9");
  EXPECT_EQ(CutToCharacters("short", 80), "short");
}

TEST(TextBytes, DecodesTheCodePointOfEachSequence) {
  EXPECT_EQ(Utf8CodePointAt("A", 0).Value, U'A');
  EXPECT_EQ(Utf8CodePointAt("x\xC3\xA9", 1).Value, U'\u00E9');
  EXPECT_EQ(Utf8CodePointAt("x\xC3\xA9", 1).Length, 2u);
  EXPECT_EQ(Utf8CodePointAt("\xE2\x82\xAC", 0).Value, U'\u20AC');
  EXPECT_EQ(Utf8CodePointAt("\xF0\x9F\x98\x80", 0).Value, U'\U0001F600');
  EXPECT_EQ(Utf8CodePointAt("\xF4\x8F\xBF\xBF", 0).Value, U'\U0010FFFF');
  EXPECT_EQ(Utf8CodePointAt("\xE9t\xC3\xA9", 0).Length, 0u);
}

TEST(TextBytes, Windows1252ReadsEveryByteAsOneCharacter) {
  EXPECT_EQ(Windows1252ToUtf8("\xC3\xA9"), "\xC3\x83\xC2\xA9") << "even bytes that would be valid UTF-8";
  EXPECT_EQ(Windows1252ToUtf8("\x80\x81\x9F\xFF"), "\xE2\x82\xAC\xC2\x81\xC5\xB8\xC3\xBF");
  EXPECT_EQ(Windows1252ToUtf8("plain"), "plain");
}

TEST(TextBytes, ReadsInvalidUtf8AsWindows1252) {
  EXPECT_EQ(TextAsUtf8("caf\xE9 \x80 \x9F"), "caf\xC3\xA9 \xE2\x82\xAC \xC5\xB8");
  EXPECT_EQ(TextAsUtf8("caf\xC3\xA9"), "caf\xC3\xA9");
}

}  // namespace
}  // namespace orb
