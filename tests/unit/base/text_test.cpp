#include "base/text.h"

#include <gtest/gtest.h>

namespace tw {
namespace {

TEST(TextTest, Utf8AndUtf16RoundTrip) {
  const std::string samples[] = {"", "ascii", "Gr\xc3\xbc\xc3\x9f" "e", "\xe2\x82\xac 5", "\xf0\x9f\x98\x80 smile"};
  for (const std::string& s : samples) EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16(s)), s);
  EXPECT_EQ(Utf8ToUtf16("\xf0\x9f\x98\x80"), std::u16string(u"\U0001F600"));
}

TEST(TextTest, MalformedUtf8BecomesReplacementCharacters) {
  EXPECT_EQ(Utf8ToUtf16("a\xff" "b"), std::u16string(u"a\uFFFDb"));
  EXPECT_EQ(Utf8ToUtf16("\xc3"), std::u16string(u"\uFFFD"));          // truncated sequence
  EXPECT_EQ(Utf8ToUtf16("\xc0\xaf"), std::u16string(u"\uFFFD\uFFFD"));  // overlong
  EXPECT_EQ(Utf8ToUtf16("\xed\xa0\x80"), std::u16string(u"\uFFFD\uFFFD\uFFFD"));  // surrogate
}

TEST(TextTest, LoneSurrogatesBecomeReplacementCharacters) {
  const char16_t lone[] = {u'a', 0xD800, u'b', 0};
  EXPECT_EQ(Utf16ToUtf8(lone), "a\xef\xbf\xbd" "b");
}

TEST(TextTest, TrimBlanksRemovesSpacesAndControlCharacters) {
  EXPECT_EQ(TrimBlanks("  \t1000;800\r\n"), "1000;800");
  EXPECT_EQ(TrimBlanks("   "), "");
  EXPECT_EQ(TrimBlanks("a b"), "a b");
}

TEST(TextTest, CaseHelpersTouchOnlyAscii) {
  EXPECT_EQ(ToLowerAscii("GPU_P1=\xc3\x84"), "gpu_p1=\xc3\x84");
  EXPECT_EQ(ToUpperAscii("1a2b3c"), "1A2B3C");
  EXPECT_TRUE(EqualsIgnoringAsciiCase("Profile_0", "PROFILE_0"));
  EXPECT_FALSE(EqualsIgnoringAsciiCase("Profile_0", "Profile_00"));
}

TEST(TextTest, ReplaceSplitAndSubstr) {
  EXPECT_EQ(ReplaceAll("a;0b;0", ";0", ""), "ab");
  EXPECT_EQ(ReplaceFirst("x\\System32\\System32", "\\System32", "\\SysWOW64"), "x\\SysWOW64\\System32");
  EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc");
  EXPECT_EQ(Split("a\x1e\x1e" "b", '\x1e'), (std::vector<std::string>{"a", "", "b"}));
  EXPECT_EQ(Split("", ','), std::vector<std::string>{""});
  using Lines = std::vector<std::string>;
  EXPECT_EQ(SplitLines("a\r\nb\nc\rd"), (Lines{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitLines("a\r\rb\n\rc\r\n\r\n"), (Lines{"a", "", "b", "", "c", "", ""}));
  EXPECT_EQ(SplitLines(""), Lines{""});
  EXPECT_EQ(SafeSubstr("abc", 5), "");
  EXPECT_EQ(SafeSubstr("abc", 1, 5), "bc");
  EXPECT_EQ(RemoveAll("a\rb\nc", '\r'), "ab\nc");
  EXPECT_EQ(HexByte(0x0A, true), "0A");
  EXPECT_EQ(HexByte(0xFF, false), "ff");
}

TEST(TextTest, PathsKeepUtf8) {
  const std::string name = "Gr\xc3\xbc\xc3\x9f" "e/Tunewright.ini";
  EXPECT_EQ(PathToUtf8(PathFromUtf8(name)), name);
}

}  // namespace
}  // namespace tw
