#include "powerplay/reg_file.h"

#include <gtest/gtest.h>

#include "base/text.h"
#include "fakes/fake_platform.h"
#include "messages/message_writer.h"
#include "powerplay/powerplay_ports.h"
#include "powerplay/table_builder.h"
#include "powerplay/table_file.h"
#include "profiles/option_set.h"

namespace tw {
namespace {

constexpr std::string_view kPath = "SYSTEM\\CurrentControlSet\\Control\\Class\\{4d36e968-e325-11ce-bfc1-08002be10318}\\0000";

// A table of `size` bytes with its size field set and every other byte distinct-ish.
PowerPlayTable Patterned(size_t size) {
  PowerPlayTable table(size);
  for (size_t i = 0; i < size; ++i) table[i] = static_cast<uint8_t>(i * 7 + 3);
  if (size >= 2) test::Put16(table, 0, static_cast<uint32_t>(size & 0xFFFF));
  return table;
}

std::string HexList(const PowerPlayTable& table, size_t from, size_t count) {
  std::string out;
  for (size_t i = from; i < from + count; ++i) {
    out += HexByte(table[i], false);
    if (i + 1 < table.size()) out += ",";
  }
  return out;
}

class RegFileTest : public ::testing::Test {
 protected:
  test::FakePlatform fake;
  OptionSet options;
  MessageWriter messages{options.IgnoreError8, fake.platform};
  PowerPlayPorts ports{fake.files, fake.errors, fake.ansi, messages};

  std::vector<std::string> BoxTexts() {
    std::vector<std::string> texts;
    for (const auto& box : fake.dialogs.boxes) texts.push_back(box.text);
    return texts;
  }
};

TEST_F(RegFileTest, A180ByteTableGivesLinesOf16ThenSixOf25ThenOneOf14) {
  const PowerPlayTable table = Patterned(180);
  std::string expected = "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\" + std::string(kPath) +
                         "]\r\n\"PP_PhmSoftPowerPlayTable\"=hex:" + HexList(table, 0, 16) + "\\\r\n";
  for (size_t line = 0; line < 6; ++line) expected += "  " + HexList(table, 16 + line * 25, 25) + "\\\r\n";
  expected += "  " + HexList(table, 166, 14) + "\r\n\r\n";
  EXPECT_EQ(BuildRegFileText(table, kPath), expected);
  // The last line holds 14 bytes and no trailing comma.
  EXPECT_TRUE(EndsWith(expected, "," + HexByte(table[179], false) + "\r\n\r\n"));
}

TEST_F(RegFileTest, SmallTablesEndTheirFirstLineAfterTheLastByte) {
  EXPECT_EQ(BuildRegFileText(PowerPlayTable{0xAB}, "K"),
            "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\K]\r\n"
            "\"PP_PhmSoftPowerPlayTable\"=hex:ab\r\n\r\n");
  const PowerPlayTable sixteen = Patterned(16);
  EXPECT_TRUE(EndsWith(BuildRegFileText(sixteen, "K"), "=hex:" + HexList(sixteen, 0, 16) + "\r\n\r\n"));
  const PowerPlayTable seventeen = Patterned(17);
  EXPECT_TRUE(EndsWith(BuildRegFileText(seventeen, "K"),
                       "=hex:" + HexList(seventeen, 0, 16) + "\\\r\n  " + HexByte(seventeen[16], false) + "\r\n\r\n"));
}

TEST_F(RegFileTest, FileIsUtf16LittleEndianWithByteOrderMark) {
  ASSERT_TRUE(WriteRegFile(ports, Patterned(180), kPath, "out.reg"));
  const std::string bytes = fake.files.files.at("out.reg");
  ASSERT_GE(bytes.size(), 4u);
  EXPECT_EQ(bytes.substr(0, 4), std::string("\xFF\xFEW\0", 4));
  EXPECT_EQ(bytes, EncodeUtf16LeWithBom(BuildRegFileText(Patterned(180), kPath)));
  EXPECT_EQ(fake.files.files.size(), 1u) << "no temporary file left";
}

TEST_F(RegFileTest, RoundTripIsByteExactForSeveralSizes) {
  for (size_t size : {150u, 151u, 166u, 167u, 180u, 191u, 500u, 2000u}) {
    SCOPED_TRACE(size);
    const PowerPlayTable table = Patterned(size);
    ASSERT_TRUE(WriteRegFile(ports, table, kPath, "t.reg"));
    PowerPlayTable read{1};
    ASSERT_TRUE(ReadTableFile(ports, "t.reg", read));
    EXPECT_EQ(read, table);
  }
  EXPECT_TRUE(fake.dialogs.boxes.empty());
}

TEST_F(RegFileTest, ParserRoundTripsSizesBelowTheFileLimitToo) {
  for (size_t size : {2u, 16u, 17u, 41u, 42u, 149u}) {
    const TableParse parse = ParseRegFileText(BuildRegFileText(Patterned(size), kPath));
    ASSERT_TRUE(parse.ok()) << size << " " << parse.error;
    EXPECT_EQ(parse.table, Patterned(size));
  }
}

// Regedit-style and hand-made layouts: only the trailing "\" of each line and the commas matter.
TEST_F(RegFileTest, AnyNumberOfBytesPerLineLoads) {
  const PowerPlayTable table = Patterned(200);
  for (size_t perLine : {1u, 7u, 24u, 26u, 199u, 200u}) {
    for (const std::string lineEnd : {"\r\n", "\n", "\r"}) {
      SCOPED_TRACE(std::to_string(perLine) + (lineEnd == "\r\n" ? " CRLF" : lineEnd == "\n" ? " LF" : " CR"));
      std::string text = std::string("Windows Registry Editor Version 5.00") + lineEnd + lineEnd +
                         "[HKEY_LOCAL_MACHINE\\" + std::string(kPath) + "]" + lineEnd +
                         "\"PP_PhmSoftPowerPlayTable\"=hex:";
      for (size_t from = 0; from < table.size(); from += perLine) {
        const size_t count = std::min(perLine, table.size() - from);
        text += "\t " + HexList(table, from, count);
        text += from + count < table.size() ? "\\" : "";
        text += lineEnd;
      }
      text += lineEnd + "\"Other\"=dword:00000001" + lineEnd;
      fake.files.files["any.reg"] = EncodeUtf16LeWithBom(text);
      PowerPlayTable read;
      ASSERT_TRUE(ReadTableFile(ports, "any.reg", read));
      EXPECT_EQ(read, table);
    }
  }
}

TEST_F(RegFileTest, Utf8AndAnsiFilesLoadToo) {
  const PowerPlayTable table = Patterned(160);
  const std::string text = BuildRegFileText(table, kPath);
  for (const std::string& bytes : {"\xEF\xBB\xBF" + text, text}) {
    fake.files.files["plain.reg"] = bytes;
    PowerPlayTable read;
    ASSERT_TRUE(ReadTableFile(ports, "plain.reg", read));
    EXPECT_EQ(read, table);
  }
}

TEST_F(RegFileTest, InvalidItemsStopTheLoadQuotingTheItem) {
  const PowerPlayTable table = Patterned(160);
  const std::string good = BuildRegFileText(table, kPath);
  const std::string firstBytes = "=hex:" + HexList(table, 0, 2);  // "=hex:a0,00,"
  struct Case {
    const char* name;
    std::string replacement;
    const char* item;
  };
  const Case cases[] = {
      {"ThreeDigits", "=hex:100,00,", "100"},
      {"NotHex", "=hex:g1,00,", "g1"},
      {"DoubleComma", "=hex:" + HexByte(table[0], false) + ",,00,", ""},
      {"Blank", "=hex: a0, 00,", ""},  // the item is " 00", set below
      {"Negative", "=hex:-1,00,", "-1"},
      {"Prefix", "=hex:0x,00,", "0x"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string text = ReplaceFirst(good, firstBytes, c.replacement);
    std::string item = c.item;
    if (std::string(c.name) == "Blank") item = " 00";
    fake.files.files["bad.reg"] = EncodeUtf16LeWithBom(text);
    fake.dialogs.boxes.clear();
    PowerPlayTable read{1, 2};
    EXPECT_FALSE(ReadTableFile(ports, "bad.reg", read));
    EXPECT_TRUE(read.empty());
    EXPECT_EQ(BoxTexts(), (std::vector<std::string>{"Failed to read reg file, invalid data: \"" + item + "\""}));
    EXPECT_EQ(fake.dialogs.boxes[0].icon, BoxIcon::Error);
  }
}

TEST_F(RegFileTest, TrailingCommaGivesAnEmptyItem) {
  std::string text = BuildRegFileText(Patterned(160), kPath);
  text = text.substr(0, text.size() - 4) + ",\r\n\r\n";
  const TableParse parse = ParseRegFileText(text);
  EXPECT_EQ(parse.error, "Failed to read reg file, invalid data: \"\"");
  EXPECT_TRUE(parse.table.empty());
}

TEST_F(RegFileTest, AnEmptyLineInsideTheDataEndsTheLoadWithTheEmptyItem) {
  std::string text = BuildRegFileText(Patterned(180), kPath);
  text = ReplaceFirst(text, "\\\r\n  ", "\\\r\n\r\n  ");
  EXPECT_EQ(ParseRegFileText(text).error, "Failed to read reg file, invalid data: \"\"");
}

TEST_F(RegFileTest, ShortDataGivesTheSizeMessage) {
  PowerPlayTable table = Patterned(170);
  test::Put16(table, 0, 171);
  fake.files.files["short.reg"] = EncodeUtf16LeWithBom(BuildRegFileText(table, kPath));
  PowerPlayTable read;
  EXPECT_FALSE(ReadTableFile(ports, "short.reg", read));
  EXPECT_TRUE(read.empty());
  EXPECT_EQ(BoxTexts(),
            (std::vector<std::string>{"Failed to read .reg file, incorrect PP_PhmSoftPowerPlayTable data size"}));
  EXPECT_EQ(ParseRegFileText(BuildRegFileText(PowerPlayTable{5}, kPath)).error,
            "Failed to read .reg file, incorrect PP_PhmSoftPowerPlayTable data size");
}

// Such a table would be saved to the registry with its extra bytes and then never load.
TEST_F(RegFileTest, BytesAfterTheTableAreLeftOutWithANote) {
  for (size_t extra : {1u, 4u}) {
    SCOPED_TRACE(extra);
    fake.dialogs.boxes.clear();
    PowerPlayTable table = Patterned(160 + extra);
    test::Put16(table, 0, 160);
    fake.files.files["long.reg"] = EncodeUtf16LeWithBom(BuildRegFileText(table, kPath));
    PowerPlayTable read;
    ASSERT_TRUE(ReadTableFile(ports, "long.reg", read));
    EXPECT_EQ(read, PowerPlayTable(table.begin(), table.begin() + 160));
    ASSERT_EQ(BoxTexts().size(), 1u);
    EXPECT_NE(BoxTexts()[0].find(std::to_string(extra) + " byte"), std::string::npos) << BoxTexts()[0];
  }
}

TEST_F(RegFileTest, TheKeyIsTakenFromTheFileOnlyWhenAsked) {
  const std::string key = "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Class\\"
                          "{4d36e968-e325-11ce-bfc1-08002be10318}\\0003";
  fake.files.files["k.reg"] = EncodeUtf16LeWithBom(BuildRegFileText(Patterned(160), RegPathFromKeyText(key)));
  PowerPlayTable read;
  TableFileKey fileKey;
  ASSERT_TRUE(ReadTableFile(ports, "k.reg", read, &fileKey));
  EXPECT_TRUE(fileKey.found);
  EXPECT_EQ(fileKey.keyText, key);
  EXPECT_EQ(fileKey.regPath, "SYSTEM\\CurrentControlSet\\Control\\Class\\{4d36e968-e325-11ce-bfc1-08002be10318}\\0003");
}

TEST_F(RegFileTest, KeyTextRules) {
  const std::string value = "\r\n\"PP_PhmSoftPowerPlayTable\"=hex:00";
  const std::string classKey = "SYSTEM\\CurrentControlSet\\Control\\Class\\{4d36e968-e325-11ce-bfc1-08002be10318}\\0000";
  struct Case {
    const char* name;
    std::string text;
    std::optional<std::string> key;
  };
  const std::string longKey = "SYSTEM\\" + std::string(100, 'x');  // key text of 126 characters
  const std::string key119 = "SYSTEM\\" + std::string(93, 'x');    // 19 + 7 + 93 = 119
  const Case cases[] = {
      {"Normal", "[HKEY_LOCAL_MACHINE\\" + classKey + "]" + value, "HKEY_LOCAL_MACHINE\\" + classKey},
      {"Exactly61", "[HKEY_LOCAL_MACHINE\\SYSTEM\\" + std::string(34, 'a') + "]" + value,
       "HKEY_LOCAL_MACHINE\\SYSTEM\\" + std::string(34, 'a')},
      {"Exactly60", "[HKEY_LOCAL_MACHINE\\SYSTEM\\" + std::string(33, 'a') + "]" + value, std::nullopt},
      {"Key119", "[HKEY_LOCAL_MACHINE\\" + key119 + "]" + value, "HKEY_LOCAL_MACHINE\\" + key119},
      {"Key120", "[HKEY_LOCAL_MACHINE\\" + key119 + "x]" + value, std::nullopt},
      {"TooLong", "[HKEY_LOCAL_MACHINE\\" + longKey + "]" + value, std::nullopt},
      {"KeyAfterValue", value + "\r\n[HKEY_LOCAL_MACHINE\\" + classKey + "]", std::nullopt},
      {"BracketBeforeKey", "] [HKEY_LOCAL_MACHINE\\" + classKey + "]" + value, std::nullopt},
      {"NoBracket", "[HKEY_LOCAL_MACHINE\\" + classKey + value, std::nullopt},
      {"OtherRoot", "[HKEY_CURRENT_USER\\" + classKey + "]" + value, std::nullopt},
      {"LineBreakInside", "[HKEY_LOCAL_MACHINE\\SYSTEM\\" + std::string(40, 'a') + "\r\n" + std::string(10, 'b') + "]" + value,
       std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(KeyTextFromRegFile(c.text), c.key);
  }
  EXPECT_EQ(RegPathFromKeyText("hkey_local_machine\\SYSTEM\\X"), "SYSTEM\\X");
}

TEST_F(RegFileTest, WriteFailuresAreReportedAndLeaveNoTemporaryFile) {
  fake.files.files["keep.reg"] = "old";
  fake.files.failures["MoveFileOver"] = 5;
  EXPECT_FALSE(WriteRegFile(ports, Patterned(160), kPath, "keep.reg"));
  EXPECT_EQ(fake.files.files.at("keep.reg"), "old");
  EXPECT_EQ(fake.files.files.size(), 1u) << "no temporary file left";
  EXPECT_EQ(BoxTexts(), (std::vector<std::string>{"Failed to write file \"keep.reg\" (ErrorCode: 5) (Access is denied.)"}));
  fake.files.failures = {{"WriteTemporaryFile", 5}};
  EXPECT_FALSE(WriteRegFile(ports, Patterned(160), kPath, "keep.reg"));
  EXPECT_EQ(fake.files.files.at("keep.reg"), "old");
}

TEST_F(RegFileTest, AnUnreadableFileIsReported) {
  PowerPlayTable read{1};
  EXPECT_FALSE(ReadTableFile(ports, "missing.reg", read));
  EXPECT_TRUE(read.empty());
  EXPECT_EQ(BoxTexts(), (std::vector<std::string>{
                            "Failed to open file \"missing.reg\" (ErrorCode: 2) (The system cannot find the file specified.)"}));
}

}  // namespace
}  // namespace tw
