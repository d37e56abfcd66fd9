// The Win32 registry adapter against the real registry (wine's own under wine): a scratch
// key below HKEY_LOCAL_MACHINE\SOFTWARE made by the test and removed afterwards.

#include "platform/win32/registry_win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "fakes/fake_platform.h"
#include "messages/message_writer.h"
#include "powerplay/registry_table.h"
#include "powerplay/table_builder.h"
#include "profiles/option_set.h"

namespace tw {
namespace {

class RegistryWin32Test : public ::testing::Test {
 protected:
  const std::string path = "SOFTWARE\\TunewrightTests\\Registry" + std::to_string(::GetCurrentProcessId());
  const std::wstring widePath = std::wstring(path.begin(), path.end());
  win32::RegistryWin32 registry;
  test::FakePlatform fake;
  OptionSet options;
  MessageWriter messages{options.IgnoreError8, fake.platform};

  void SetUp() override {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, widePath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                nullptr),
              ERROR_SUCCESS);
    ::RegCloseKey(key);
  }
  void TearDown() override {
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, widePath.c_str());
    ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, widePath.c_str());
  }

  struct ValueQuery {
    LSTATUS status;
    DWORD type;  // 0 unless the call succeeded
  };
  // A failed call leaves its type output unspecified (32-bit wine fills it with whatever was
  // on its stack), so the type is taken only from a call that succeeded.
  ValueQuery QueryValue() {
    DWORD type = 0;
    const LSTATUS status = ::RegGetValueW(HKEY_LOCAL_MACHINE, widePath.c_str(), L"PP_PhmSoftPowerPlayTable",
                                          RRF_RT_ANY, &type, nullptr, nullptr);
    return {status, status == ERROR_SUCCESS ? type : 0};
  }
};

TEST_F(RegistryWin32Test, TableRoundTrip) {
  const PowerPlayTable table = test::BuildTable({}).bytes;
  ASSERT_EQ(WriteRegistryTable(registry, messages, path, table), 0);
  const ValueQuery written = QueryValue();
  ASSERT_EQ(written.status, ERROR_SUCCESS);
  EXPECT_EQ(written.type, static_cast<DWORD>(REG_BINARY));
  PowerPlayTable read;
  ASSERT_EQ(ReadRegistryTable(registry, path, read), 0);
  EXPECT_EQ(read, table);
  EXPECT_TRUE(fake.dialogs.boxes.empty());
}

TEST_F(RegistryWin32Test, SizeFieldMismatchGivesMinusTwo) {
  PowerPlayTable table = test::BuildTable({}).bytes;
  test::Put16(table, 0, static_cast<uint32_t>(table.size() + 1));
  // The program never writes such a table; another tool may have.
  const OpenedKey opened = registry.OpenKey(RegistryRoot::LocalMachine, path, KEY_SET_VALUE);
  ASSERT_NE(opened.key, nullptr);
  ASSERT_EQ(opened.key->WriteBinary("PP_PhmSoftPowerPlayTable", table), 0u);
  PowerPlayTable read{1};
  EXPECT_EQ(ReadRegistryTable(registry, path, read), -2);
  EXPECT_EQ(read, PowerPlayTable{1});
}

TEST_F(RegistryWin32Test, OversizedValueAndMissingValueGiveMinusOne) {
  PowerPlayTable huge(5000, 0);
  test::Put16(huge, 0, 5000);
  ASSERT_EQ(WriteRegistryTable(registry, messages, path, huge), 0);
  PowerPlayTable read;
  EXPECT_EQ(ReadRegistryTable(registry, path, read), -1);
  ASSERT_TRUE(DeleteRegistryTable(registry, path));
  EXPECT_EQ(ReadRegistryTable(registry, path, read), -1);
}

TEST_F(RegistryWin32Test, DeletingAMissingValueOrKeySucceeds) {
  ASSERT_EQ(WriteRegistryTable(registry, messages, path, test::BuildTable({}).bytes), 0);
  EXPECT_TRUE(DeleteRegistryTable(registry, path));
  EXPECT_EQ(QueryValue().status, ERROR_FILE_NOT_FOUND);
  EXPECT_TRUE(DeleteRegistryTable(registry, path));
  EXPECT_TRUE(DeleteRegistryTable(registry, path + "\\Missing"));
}

TEST_F(RegistryWin32Test, MissingKeyIsNeverCreated) {
  const std::string missing = path + "\\Missing";
  EXPECT_EQ(WriteRegistryTable(registry, messages, missing, test::BuildTable({}).bytes), -1);
  const OpenedKey opened = registry.OpenKey(RegistryRoot::LocalMachine, missing, kPowerPlayKeyAccess);
  EXPECT_EQ(opened.key, nullptr);
  EXPECT_EQ(opened.error, static_cast<uint32_t>(ERROR_FILE_NOT_FOUND));
}

TEST_F(RegistryWin32Test, StringValuesRoundTrip) {
  const OpenedKey opened = registry.OpenKey(RegistryRoot::LocalMachine, path, KEY_QUERY_VALUE | KEY_SET_VALUE);
  ASSERT_NE(opened.key, nullptr);
  const std::string text = "HKEY_LOCAL_MACHINE\\SYSTEM\\K\xC3\xA9y";
  ASSERT_EQ(opened.key->WriteString("LastKey", text), 0u);
  EXPECT_EQ(opened.key->ReadString("LastKey"), text);
  EXPECT_EQ(opened.key->ReadString("Missing"), std::nullopt);
  EXPECT_EQ(opened.key->WriteBinary("Bin", std::vector<uint8_t>{1, 2}), 0u);
  EXPECT_EQ(opened.key->ReadString("Bin"), std::nullopt);  // not a string value
}

}  // namespace
}  // namespace tw
