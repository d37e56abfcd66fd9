#include "powerplay/registry_table.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"
#include "fakes/fake_registry.h"
#include "messages/message_writer.h"
#include "powerplay/table_builder.h"
#include "profiles/option_set.h"

namespace tw {
namespace {

constexpr std::string_view kPath = "SYSTEM\\CurrentControlSet\\Control\\Class\\{4d36e968-e325-11ce-bfc1-08002be10318}\\0000";

class RegistryTableTest : public ::testing::Test {
 protected:
  test::FakePlatform fake;
  OptionSet options;
  MessageWriter messages{options.IgnoreError8, fake.platform};
  test::FakeRegistry registry;
  PowerPlayTable table = test::BuildTable({}).bytes;

  test::FakeRegistry::Key& CardKey() { return registry.AddKey(RegistryRoot::LocalMachine, kPath); }
};

TEST_F(RegistryTableTest, ReadsAValueWhoseSizeMatchesItsSizeField) {
  CardKey().binaries["PP_PhmSoftPowerPlayTable"] = table;
  PowerPlayTable read{1, 2, 3};
  EXPECT_EQ(ReadRegistryTable(registry, kPath, read), 0);
  EXPECT_EQ(read, table);
  EXPECT_EQ(registry.calls.front(), "Open HKLM\\" + std::string(kPath) + " 0x4001f");
  EXPECT_EQ(registry.calls[1], "ReadBinary PP_PhmSoftPowerPlayTable 4096");
}

TEST_F(RegistryTableTest, SizeMismatchGivesMinusTwoAndLeavesTheBuffer) {
  struct Case {
    const char* name;
    PowerPlayTable value;
  };
  PowerPlayTable longer = table;
  longer.push_back(0);
  PowerPlayTable shorter = table;
  shorter.pop_back();
  const Case cases[] = {{"OneByteMore", longer}, {"OneByteLess", shorter}, {"Empty", {}}, {"OneByte", {1}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CardKey().binaries["PP_PhmSoftPowerPlayTable"] = c.value;
    PowerPlayTable read{9, 9};
    EXPECT_EQ(ReadRegistryTable(registry, kPath, read), -2);
    EXPECT_EQ(read, (PowerPlayTable{9, 9}));
  }
}

TEST_F(RegistryTableTest, MissingKeyValueOrOversizedValueGivesMinusOne) {
  PowerPlayTable read;
  EXPECT_EQ(ReadRegistryTable(registry, kPath, read), -1);  // no key
  CardKey();
  EXPECT_EQ(ReadRegistryTable(registry, kPath, read), -1);  // no value
  PowerPlayTable huge(4097, 0);
  test::Put16(huge, 0, 4097 & 0xFFFF);
  CardKey().binaries["PP_PhmSoftPowerPlayTable"] = huge;
  EXPECT_EQ(ReadRegistryTable(registry, kPath, read), -1);  // cannot be read into the buffer
  registry.openFailures["HKLM\\" + std::string(kPath)] = 5;
  EXPECT_EQ(ReadRegistryTable(registry, kPath, read), -1);  // access denied
  EXPECT_TRUE(read.empty());
}

TEST_F(RegistryTableTest, AValueOfExactly4096BytesIsRead) {
  PowerPlayTable big(4096, 0x5A);
  test::Put16(big, 0, 4096);
  CardKey().binaries["PP_PhmSoftPowerPlayTable"] = big;
  PowerPlayTable read;
  EXPECT_EQ(ReadRegistryTable(registry, kPath, read), 0);
  EXPECT_EQ(read, big);
}

TEST_F(RegistryTableTest, WriteStoresTheWholeBufferWithoutCreatingTheKey) {
  EXPECT_EQ(WriteRegistryTable(registry, messages, kPath, table), -1);
  EXPECT_TRUE(registry.keys.empty());  // never created
  EXPECT_TRUE(fake.dialogs.boxes.empty());
  CardKey();
  EXPECT_EQ(WriteRegistryTable(registry, messages, kPath, table), 0);
  EXPECT_EQ(CardKey().binaries["PP_PhmSoftPowerPlayTable"], table);
  EXPECT_TRUE(fake.dialogs.boxes.empty());
}

TEST_F(RegistryTableTest, ATableOfAnotherSizeThanItsSizeFieldIsNeverWritten) {
  CardKey().binaries["PP_PhmSoftPowerPlayTable"] = table;
  for (const PowerPlayTable& bad : {PowerPlayTable(table.begin(), table.end() - 1), PowerPlayTable{7}})
    EXPECT_EQ(WriteRegistryTable(registry, messages, kPath, bad), -3);
  EXPECT_EQ(fake.dialogs.boxes.size(), 2u);
  EXPECT_EQ(CardKey().binaries["PP_PhmSoftPowerPlayTable"], table);
}

TEST_F(RegistryTableTest, AFailedWriteIsReportedWithTheSystemError) {
  CardKey();
  registry.writeError = 5;
  EXPECT_EQ(WriteRegistryTable(registry, messages, kPath, table), -3);
  ASSERT_EQ(fake.dialogs.boxes.size(), 1u);
  EXPECT_EQ(fake.dialogs.boxes[0].text,
            "Failed to write \"PP_PhmSoftPowerPlayTable\" to registry (ErrorCode: 5) (Access is denied.)");
}

TEST_F(RegistryTableTest, DeleteSucceedsWhenTheValueIsGone) {
  EXPECT_TRUE(DeleteRegistryTable(registry, kPath));  // no key
  CardKey();
  EXPECT_TRUE(DeleteRegistryTable(registry, kPath));  // no value
  CardKey().binaries["PP_PhmSoftPowerPlayTable"] = table;
  CardKey().binaries["Other"] = {1};
  EXPECT_TRUE(DeleteRegistryTable(registry, kPath));
  EXPECT_EQ(CardKey().binaries.count("PP_PhmSoftPowerPlayTable"), 0u);
  EXPECT_EQ(CardKey().binaries.count("Other"), 1u);
}

TEST_F(RegistryTableTest, DeleteFailsWhenTheValueStays) {
  CardKey().binaries["PP_PhmSoftPowerPlayTable"] = table;
  registry.deleteError = 5;
  EXPECT_FALSE(DeleteRegistryTable(registry, kPath));
  registry.deleteError = 0;
  registry.openFailures["HKLM\\" + std::string(kPath)] = 5;
  EXPECT_FALSE(DeleteRegistryTable(registry, kPath));
  EXPECT_EQ(CardKey().binaries.count("PP_PhmSoftPowerPlayTable"), 1u);
}

TEST_F(RegistryTableTest, RegeditLastKeyOnlyInAnExistingKeyAndWhenItReadsBackEqual) {
  const std::string keyText = "HKEY_LOCAL_MACHINE\\" + std::string(kPath);
  EXPECT_FALSE(WriteRegeditLastKey(registry, keyText));
  EXPECT_EQ(registry.keys.count("HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Regedit"), 0u);
  auto& regedit = registry.AddKey(RegistryRoot::CurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Regedit");
  EXPECT_TRUE(WriteRegeditLastKey(registry, keyText));
  EXPECT_EQ(regedit.strings["LastKey"], keyText);
  registry.stringsReadBackChanged = true;
  EXPECT_FALSE(WriteRegeditLastKey(registry, keyText));
  registry.stringsReadBackChanged = false;
  registry.writeError = 5;
  EXPECT_FALSE(WriteRegeditLastKey(registry, keyText));
}

}  // namespace
}  // namespace tw

namespace tw {
namespace {

TEST(RegeditPathTest, TheEditorIsNamedByItsFullPathInTheWindowsFolderOrNotAtAll) {
  const struct {
    const char* folder;
    const char* path;
  } cases[] = {
      {"C:\\Windows", "C:\\Windows\\regedit.exe"},
      {"D:\\WINNT\\", "D:\\WINNT\\regedit.exe"},
      {"", ""},
  };
  for (const auto& c : cases) {
    test::FakePlatform fake;
    fake.machine.windowsDirectory = c.folder;
    EXPECT_EQ(RegeditPath(fake.machine), c.path) << c.folder;
  }
}

}  // namespace
}  // namespace tw
