#include <gtest/gtest.h>

#include "text/TextCompare.h"

using namespace orb;

TEST(SameText, FoldsOnlyAsciiLetters) {
  EXPECT_TRUE(SameText("SimpleCDForm", "simplecdform"));
  EXPECT_TRUE(SameText("Title_1", "TITLE_1"));
  EXPECT_FALSE(SameText("Title", "Titles"));
  EXPECT_FALSE(SameText("[", "{")) << "only letters fold, not the characters 32 apart";
  EXPECT_FALSE(SameText("Caf\xC3\xA9", "CAF\xC3\x89")) << "names of the program's own vocabulary are ASCII";
}

TEST(SameFileName, FoldsAsciiAndTheLettersOfLatinGreekAndCyrillic) {
  EXPECT_TRUE(SameFileName("Setup.EXE", "setup.exe"));
  EXPECT_TRUE(SameFileName("Caf\xC3\xA9", "CAF\xC3\x89"));                 // é, É
  EXPECT_TRUE(SameFileName("\xC5\x81\xC3\xB3\x64\xC5\xBA", "\xC5\x82\xC3\x93\x44\xC5\xB9"));  // Łódź, łÓDŹ
  EXPECT_TRUE(SameFileName("\xD0\x94\xD0\xB0\xD0\xBD\xD0\xBD\xD1\x8B\xD0\xB5",
                           "\xD0\xB4\xD0\x90\xD0\x9D\xD0\x9D\xD0\xAB\xD0\x95"));  // Данные, дАННЫЕ
  EXPECT_TRUE(SameFileName("\xD0\x81", "\xD1\x91"));                        // Ё, ё
  EXPECT_TRUE(SameFileName("\xCE\xA3\xCE\xBF\xCF\x86\xCE\xBF\xCF\x82",
                           "\xCF\x83\xCE\x9F\xCE\xA6\xCE\x9F\xCE\xA3"));  // Σοφος with final sigma, σΟΦΟΣ
  EXPECT_TRUE(SameFileName("\xC5\xB8", "\xC3\xBF"));                        // Ÿ, ÿ
  EXPECT_FALSE(SameFileName("Stra\xC3\x9F" "e", "STRASSE")) << "simple folding keeps ß one letter";
  EXPECT_FALSE(SameFileName("\xC3\x97", "\xC3\xB7")) << "the multiplication sign is no letter";
  EXPECT_FALSE(SameFileName("Docs", "Doc"));
  EXPECT_FALSE(SameFileName("\xE6\x96\x87", "\xE6\x96\x88"));
}

TEST(SameFileName, ReadsNamesThatAreNotUtf8AsWindows1252) {
  EXPECT_TRUE(SameFileName("caf\xE9", "CAF\xC9")) << "both Windows-1252";
  EXPECT_TRUE(SameFileName("caf\xE9", "CAF\xC3\x89")) << "a Windows-1252 name and its UTF-8 form";
  EXPECT_TRUE(SameFileName("\x8A", "\xC5\xA1")) << "0x8A is Š";
  EXPECT_FALSE(SameFileName("caf\xE9", "cafe"));
}
