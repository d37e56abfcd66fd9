#include "base/integer.h"

#include <gtest/gtest.h>

namespace tw {
namespace {

TEST(IntegerTest, AcceptsSignedDecimalInRange) {
  const std::pair<const char*, int32_t> good[] = {{"0", 0},          {"05", 5},
                                                  {"-1", -1},        {"+7", 7},
                                                  {"2147483647", INT32_MAX}, {"-2147483648", INT32_MIN}};
  for (const auto& [text, value] : good) EXPECT_EQ(TryParseInt32(text), value) << text;
}

TEST(IntegerTest, RejectsEverythingElse) {
  for (const char* text : {"", "-", "+", " 1", "1 ", "1.5", "0x10", "2147483648", "-2147483649", "12a",
                           "99999999999999999999", "\xef\xbc\x91"})
    EXPECT_FALSE(TryParseInt32(text).has_value()) << text;
}

TEST(IntegerTest, HexDigits) {
  EXPECT_EQ(TryParseHex("1A"), 0x1Au);
  EXPECT_EQ(TryParseHex("ff"), 0xFFu);
  EXPECT_FALSE(TryParseHex("").has_value());
  EXPECT_FALSE(TryParseHex("g1").has_value());
  EXPECT_FALSE(TryParseHex("123456789").has_value());
}

TEST(IntegerTest, ThrowingFormNamesTheValue) {
  EXPECT_EQ(ParseInt32OrThrow("-40"), -40);
  try {
    ParseInt32OrThrow("abc");
    FAIL() << "no exception";
  } catch (const ConversionError& e) {
    EXPECT_STREQ(e.what(), "'abc' is not a valid integer value");
  }
}

}  // namespace
}  // namespace tw
