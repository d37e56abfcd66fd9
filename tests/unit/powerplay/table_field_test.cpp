#include "powerplay/table_field.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "messages/message_writer.h"
#include "profiles/option_set.h"

namespace tw {
namespace {

class TableFieldTest : public ::testing::Test {
 protected:
  test::FakePlatform fake;
  OptionSet options;
  MessageWriter messages{options.IgnoreError8, fake.platform};
  PowerPlayTable table{0x10, 0x32, 0x54, 0x76, 0x98, 0xBA, 0xDC, 0xFE};
};

TEST_F(TableFieldTest, ReadsLittleEndianFields) {
  EXPECT_EQ(ReadField(table, 0, 1, messages), 0x10);
  EXPECT_EQ(ReadField(table, 1, 2, messages), 0x5432);
  EXPECT_EQ(ReadField(table, 4, 4, messages), static_cast<int32_t>(0xFEDCBA98u));
  EXPECT_EQ(ReadField(table, 7, 1, messages), 0xFE);
  EXPECT_TRUE(fake.dialogs.boxes.empty());
}

TEST_F(TableFieldTest, WritesOnlyTheFieldsBytes) {
  const PowerPlayTable before = table;
  ASSERT_TRUE(WriteField(table, 2, 2, 0x12345678, messages));  // the low 16 bits
  EXPECT_EQ(table[2], 0x78);
  EXPECT_EQ(table[3], 0x56);
  for (size_t i : {0, 1, 4, 5, 6, 7}) EXPECT_EQ(table[i], before[i]) << i;
  ASSERT_TRUE(WriteField(table, 4, 4, -2, messages));
  EXPECT_EQ(ReadField(table, 4, 4, messages), -2);
}

TEST_F(TableFieldTest, OtherWidthsShowIncorrectSizeAndDoNothing) {
  const PowerPlayTable before = table;
  for (int width : {0, 3, 5, 8, -1}) {
    fake.dialogs.boxes.clear();
    EXPECT_EQ(ReadField(table, 0, width, messages), 0) << width;
    ASSERT_EQ(fake.dialogs.boxes.size(), 1u);
    EXPECT_EQ(fake.dialogs.boxes[0].text, "incorrect size");
    EXPECT_EQ(fake.dialogs.boxes[0].caption, "Tunewright");
    EXPECT_EQ(fake.dialogs.boxes[0].icon, BoxIcon::None);
    EXPECT_FALSE(WriteField(table, 0, width, 7, messages));
    EXPECT_EQ(fake.dialogs.boxes.size(), 2u);
  }
  EXPECT_EQ(table, before);
}

TEST_F(TableFieldTest, FieldsOutsideTheTableAreNeitherReadNorWritten) {
  const PowerPlayTable before = table;
  struct Case {
    size_t position;
    int width;
  };
  for (const Case& c : {Case{7, 2}, Case{5, 4}, Case{8, 1}, Case{SIZE_MAX, 1}, Case{SIZE_MAX - 1, 4}}) {
    EXPECT_EQ(ReadField(table, c.position, c.width, messages), 0);
    EXPECT_FALSE(WriteField(table, c.position, c.width, -1, messages));
    EXPECT_FALSE(ReadUnsigned(table, c.position, c.width).has_value());
  }
  EXPECT_EQ(table, before);
  EXPECT_TRUE(fake.dialogs.boxes.empty());
}

TEST(FieldInsideTest, Boundaries) {
  EXPECT_TRUE(FieldInside(8, 4, 4));
  EXPECT_FALSE(FieldInside(8, 5, 4));
  EXPECT_TRUE(FieldInside(8, 8, 0));
  EXPECT_FALSE(FieldInside(8, 9, 0));
  EXPECT_FALSE(FieldInside(8, SIZE_MAX, 2));
  EXPECT_FALSE(FieldInside(0, 0, 1));
}

}  // namespace
}  // namespace tw
