#include <gtest/gtest.h>

#include "text/TextConvert.h"

using namespace orb;

TEST(StrToInt, AcceptsDecimalWithSpacesAndSign) {
  EXPECT_EQ(StrToInt("1234"), 1234);
  EXPECT_EQ(StrToInt("   42"), 42);
  EXPECT_EQ(StrToInt("+7"), 7);
  EXPECT_EQ(StrToInt(" -15"), -15);
  EXPECT_EQ(StrToInt("007"), 7);
  EXPECT_EQ(StrToInt("2147483647"), 2147483647);
  EXPECT_EQ(StrToInt("-2147483648"), INT32_MIN);
}

TEST(StrToInt, AcceptsEveryHexadecimalMarker) {
  EXPECT_EQ(StrToInt("$4D2"), 1234);
  EXPECT_EQ(StrToInt("x4d2"), 1234);
  EXPECT_EQ(StrToInt("X4D2"), 1234);
  EXPECT_EQ(StrToInt("0x4D2"), 1234);
  EXPECT_EQ(StrToInt("0X4d2"), 1234);
  EXPECT_EQ(StrToInt(" -$10"), -16);
  EXPECT_EQ(StrToInt("$80"), 128);
  // Hexadecimal takes the full 32-bit pattern.
  EXPECT_EQ(StrToInt("$FFFFFFFF"), -1);
  EXPECT_EQ(StrToInt("$80000000"), INT32_MIN);
}

TEST(StrToInt, RejectsWhatIsNotAnInteger) {
  for (const char* text : {"", " ", "+", "-", "$", "0x", "12a", "1 ", "1.0", "\t5", "abc", "$G", "2147483648",
                           "-2147483649", "$100000000", "99999999999999999999", "0x-1", "--1"}) {
    EXPECT_THROW(StrToInt(text), EConvertError) << '"' << text << '"';
  }
}

TEST(StrToInt, FailureMessageQuotesTheText) {
  try {
    StrToInt("abc");
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "'abc' is not a valid integer value");
  }
}

TEST(StrToBool, NumbersAreTrueUnlessZeroAndWordsInAnyCase) {
  for (const char* on : {"1", "-1", "$FF", " 7", "0.5", "TRUE", "true", "True"}) EXPECT_TRUE(StrToBool(on)) << on;
  for (const char* off : {"0", "-0", "0.0", "FALSE", "false"}) EXPECT_FALSE(StrToBool(off)) << off;
  for (const char* bad : {"yes", "", " ", "1x", "True ", "on"}) {
    try {
      StrToBool(bad);
      ADD_FAILURE() << bad;
    } catch (const EConvertError& e) {
      EXPECT_EQ(std::string(e.what()), "'" + std::string(bad) + "' is not a valid boolean value");
    }
  }
}
