// Overdrive8 and I2C through the simulator's binary interface.

#include <gtest/gtest.h>

#include "sim/sim_library.h"

namespace tw::test {
namespace {

constexpr int kNavi = 4;
constexpr int kPolaris = 1;
constexpr int kVega = 0;

class SimOd8Test : public ::testing::Test {
 protected:
  SimFolder folder;
  SimLibrary library{folder};
  SimContext context{library};
};

TEST_F(SimOd8Test, InitAndCurrentListsComeThroughTheCallbackWith29Entries) {
  auto init = library.Get<adl::Overdrive8_Init_SettingX2_Get>("ADL2_Overdrive8_Init_SettingX2_Get");
  auto current = library.Get<adl::Overdrive8_Current_SettingX2_Get>("ADL2_Overdrive8_Current_SettingX2_Get");
  int caps = 0, count = 29;
  adl::ADLOD8SingleInitSetting* ranges = nullptr;
  const int before = AllocationCounter::allocations;
  ASSERT_EQ(init(context.get(), kNavi, &caps, &count, &ranges), 0);
  ASSERT_NE(ranges, nullptr);
  EXPECT_EQ(count, 29);
  EXPECT_EQ(ranges[0].maxValue, 2150);
  EXPECT_EQ(ranges[14].maxValue, 1);
  EXPECT_NE(caps & ranges[0].featureID, 0);
  AllocationCounter::Free(ranges);
  int* values = nullptr;
  ASSERT_EQ(current(context.get(), kNavi, &count, &values), 0);
  ASSERT_NE(values, nullptr);
  EXPECT_EQ(values[0], 2100);
  EXPECT_EQ(values[8], 875);
  AllocationCounter::Free(values);
  EXPECT_EQ(AllocationCounter::allocations - before, 2);
  EXPECT_EQ(current(context.get(), kPolaris, &count, &values), adl::kErrNotSupported);
}

TEST_F(SimOd8Test, SetsClampToTheInitRangesAndReportTheValuesHeld) {
  auto set = library.Get<adl::Overdrive8_Setting_Set>("ADL2_Overdrive8_Setting_Set");
  adl::ADLOD8SetSetting request{};
  request.count = 29;
  request.od8SettingTable[0] = {2200, 1, 0};  // above 2150
  request.od8SettingTable[9] = {-70, 1, 0};   // below -50
  request.od8SettingTable[8] = {900, 0, 0};   // not requested: untouched
  request.od8SettingTable[14] = {1, 1, 0};
  adl::ADLOD8CurrentSetting held{};
  ASSERT_EQ(set(context.get(), kNavi, &request, &held), 0);
  EXPECT_EQ(held.count, 29);
  EXPECT_EQ(held.Od8SettingTable[0], 2150);
  EXPECT_EQ(held.Od8SettingTable[9], -50);
  EXPECT_EQ(held.Od8SettingTable[8], 875);
  EXPECT_EQ(held.Od8SettingTable[14], 1);

  adl::ADLOD8SetSetting reset{};
  reset.count = 29;
  reset.od8SettingTable[0] = {0, 1, 1};
  ASSERT_EQ(set(context.get(), kNavi, &reset, &held), 0);
  EXPECT_EQ(held.Od8SettingTable[0], 2100) << "a reset row returns the default";
  EXPECT_EQ(held.Od8SettingTable[14], 1) << "rows not requested keep their values";
  EXPECT_NE(folder.JournalLines().back().find(" set.0=0/1/1 "), std::string::npos) << folder.JournalLines().back();
}

struct I2cRead {
  const char* what;
  int adapter, line, address, reg, result, value;
};

class SimI2cTest : public SimOd8Test, public ::testing::WithParamInterface<I2cRead> {
 protected:
  int Transfer(int adapter, int line, int address, int reg, int action, unsigned char& data) {
    auto i2c = library.Get<adl::Display_WriteAndReadI2C>("ADL2_Display_WriteAndReadI2C");
    adl::ADLI2C transfer{};
    transfer.iSize = 32;
    transfer.iLine = line;
    transfer.iAddress = address << 1;
    transfer.iOffset = reg;
    transfer.iAction = action;
    transfer.iSpeed = 5;
    transfer.iDataSize = 1;
    transfer.pcData = reinterpret_cast<char*>(&data);
    return i2c(context.get(), adapter, &transfer);
  }
};

TEST_P(SimI2cTest, RegulatorsAnswerTheirIdentificationRegistersAndSilentAddressesFail) {
  unsigned char data = 0xEE;
  EXPECT_EQ(Transfer(GetParam().adapter, GetParam().line, GetParam().address, GetParam().reg, 3, data),
            GetParam().result);
  if (GetParam().result == 0) {
    EXPECT_EQ(data, GetParam().value);
  }
}

INSTANTIATE_TEST_SUITE_P(
    DefaultRig, SimI2cTest,
    ::testing::Values(I2cRead{"IR3567B id", kPolaris, 3, 0x08, 0x92, 0, 0x43},
                      I2cRead{"IR3567B load-line", kPolaris, 3, 0x08, 0x38, 0, 0x01},
                      I2cRead{"IR3567B probe", kPolaris, 3, 0x08, 0xFF, 0, 0x00},
                      I2cRead{"second adapter, same card", 2, 3, 0x08, 0x92, 0, 0x43},
                      I2cRead{"up9505 id", kVega, 4, 0x70, 0x4A, 0, 0x29},
                      I2cRead{"up9505 id 2", kVega, 4, 0x70, 0x49, 0, 0x02},
                      I2cRead{"EEPROM answers, is no regulator", kPolaris, 1, 0x50, 0x92, 0, 0x37},
                      I2cRead{"nobody at this address", kPolaris, 3, 0x09, 0xFF, -1, 0},
                      I2cRead{"nobody on this line", kPolaris, 2, 0x08, 0xFF, -1, 0},
                      I2cRead{"other card", kNavi, 3, 0x08, 0xFF, -1, 0}));

TEST_F(SimI2cTest, WritesAreHeldButIdentificationRegistersIgnoreThem) {
  unsigned char value = 0x05;
  ASSERT_EQ(Transfer(kPolaris, 3, 0x08, 0x8D, 2, value), 0);
  unsigned char id = 0x00;
  ASSERT_EQ(Transfer(kPolaris, 3, 0x08, 0x92, 2, id), 0);
  unsigned char read = 0;
  ASSERT_EQ(Transfer(kPolaris, 3, 0x08, 0x8D, 3, read), 0);
  EXPECT_EQ(read, 0x05);
  ASSERT_EQ(Transfer(kPolaris, 3, 0x08, 0x92, 3, read), 0);
  EXPECT_EQ(read, 0x43);
  const std::string last = folder.JournalLines().back();
  EXPECT_EQ(last.rfind("ADL2_Display_WriteAndReadI2C adapter=1 line=3 address=0x08 register=0x92 action=3 speed=5 size=1 data=43", 0), 0u) << last;
}

}  // namespace
}  // namespace tw::test
