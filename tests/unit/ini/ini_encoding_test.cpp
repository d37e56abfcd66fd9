#include "ini/ini_encoding.h"

#include <gtest/gtest.h>

#include "fakes/latin1_code_page.h"

namespace tw {
namespace {

std::string Bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) out += static_cast<char>(v);
  return out;
}

class IniEncodingTest : public ::testing::Test {
 protected:
  test::Latin1CodePage ansi;
};

TEST_F(IniEncodingTest, EncodeWritesMarkAndLittleEndianUnits) {
  EXPECT_EQ(EncodeIniText("[A]\xC3\xA9"), Bytes({0xFF, 0xFE, '[', 0, 'A', 0, ']', 0, 0xE9, 0}));
  EXPECT_EQ(EncodeIniText("\xF0\x9F\x98\x80"), Bytes({0xFF, 0xFE, 0x3D, 0xD8, 0x00, 0xDE}));  // a surrogate pair
}

struct DecodeCase {
  const char* what;
  std::string bytes;
  std::string text;
  IniEncoding encoding;
};

TEST_F(IniEncodingTest, EachAcceptedEncodingIsRecognisedAndDecoded) {
  const DecodeCase cases[] = {
      {"utf-16 le", Bytes({0xFF, 0xFE, 'a', 0, 0xE9, 0}), "a\xC3\xA9", IniEncoding::Utf16Le},
      {"utf-16 be", Bytes({0xFE, 0xFF, 0, 'a', 0, 0xE9}), "a\xC3\xA9", IniEncoding::Utf16Be},
      {"utf-8 with mark", "\xEF\xBB\xBF" "a\xC3\xA9", "a\xC3\xA9", IniEncoding::Utf8WithMark},
      {"utf-8", "[A]\r\nName=\xC3\xA9t\xC3\xA9", "[A]\r\nName=\xC3\xA9t\xC3\xA9", IniEncoding::Utf8},
      {"ansi", "Name=\xE9t\xE9", "Name=\xC3\xA9t\xC3\xA9", IniEncoding::Ansi},
      {"utf-16 le without mark", Bytes({'[', 0, 'A', 0, ']', 0}), "[A]", IniEncoding::Utf16Le},
      {"empty", "", "", IniEncoding::Utf8},
  };
  for (const DecodeCase& c : cases) {
    SCOPED_TRACE(c.what);
    const DecodedIni decoded = DecodeIniBytes(c.bytes, ansi);
    EXPECT_EQ(decoded.text, c.text);
    EXPECT_EQ(decoded.encoding, c.encoding);
  }
}

TEST_F(IniEncodingTest, TruncatedUtf16DropsOnlyTheHalfCharacter) {
  EXPECT_EQ(DecodeIniBytes(Bytes({0xFF, 0xFE, 'a', 0, 'b'}), ansi).text, "a");
  EXPECT_EQ(DecodeIniBytes(Bytes({0xFF, 0xFE, 0xFF}), ansi).text, "");
}

TEST_F(IniEncodingTest, BrokenUnitsBecomeReplacementCharacters) {
  EXPECT_EQ(DecodeIniBytes(Bytes({0xFF, 0xFE, 0x3D, 0xD8, 'a', 0}), ansi).text, "\xEF\xBF\xBD" "a");
  EXPECT_EQ(DecodeIniBytes("\xEF\xBB\xBF" "a\xFF", ansi).text, "a\xEF\xBF\xBD");
}

TEST_F(IniEncodingTest, Utf16RoundTripIsExact) {
  const std::string bytes = Bytes({0xFF, 0xFE, '[', 0, 0xE9, 0, 0x3D, 0xD8, 0x00, 0xDE, 0, 0, '\r', 0, '\n', 0});
  EXPECT_EQ(EncodeIniText(DecodeIniBytes(bytes, ansi).text), bytes);
}

TEST(IsValidUtf8Test, RejectsOverlongSurrogatesAndTruncatedSequences) {
  EXPECT_TRUE(IsValidUtf8("plain \xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"));
  EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));
  EXPECT_FALSE(IsValidUtf8("\xE0\x80\xAF"));
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));
  EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));
  EXPECT_FALSE(IsValidUtf8("\xE2\x82"));
  EXPECT_FALSE(IsValidUtf8("\xE9t\xE9"));
}

}  // namespace
}  // namespace tw
