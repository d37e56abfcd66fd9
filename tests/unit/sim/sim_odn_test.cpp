// OverdriveN through the simulator's binary interface: ranges, refusals, defaults, lists.

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "sim/sim_library.h"

namespace tw::test {
namespace {

constexpr int kPolaris = 1;  // first adapter of the Polaris card
constexpr int kVega = 0;
constexpr int kNavi = 4;

class SimOdnTest : public ::testing::Test {
 protected:
  std::vector<unsigned char> Levels(int count, int mode) {
    std::vector<unsigned char> bytes(static_cast<size_t>(adl::PerformanceLevelsBytes(count)), 0);
    auto* record = Record(bytes);
    record->iSize = adl::PerformanceLevelsBytes(count);
    record->iMode = mode;
    record->iNumberOfPerformanceLevels = count;
    return bytes;
  }
  static adl::ADLODNPerformanceLevelsX2* Record(std::vector<unsigned char>& bytes) {
    return reinterpret_cast<adl::ADLODNPerformanceLevelsX2*>(bytes.data());
  }
  int GetClocks(const char* name, int adapter, std::vector<unsigned char>& bytes) {
    return library.Get<adl::OverdriveN_ClocksX2_Get>(name)(context.get(), adapter, Record(bytes));
  }
  int SetClocks(const char* name, int adapter, std::vector<unsigned char>& bytes) {
    return library.Get<adl::OverdriveN_ClocksX2_Set>(name)(context.get(), adapter, Record(bytes));
  }

  SimFolder folder;
  SimLibrary library{folder};
  SimContext context{library};
};

TEST_F(SimOdnTest, CapabilitiesReportClockRangesIn10kHzAtTheDriversOffsets) {
  auto get = library.Get<adl::OverdriveN_CapabilitiesX2_Get>("ADL2_OverdriveN_CapabilitiesX2_Get");
  std::vector<unsigned char> bytes(208, 0);
  ASSERT_EQ(get(context.get(), kPolaris, reinterpret_cast<adl::ADLODNCapabilitiesX2*>(bytes.data())), 0);
  auto at = [&](size_t offset) {
    int v = 0;
    std::memcpy(&v, bytes.data() + offset, 4);
    return v;
  };
  EXPECT_EQ(at(0), 8);              // levels
  EXPECT_EQ(at(8 + 4), 30000);      // engine clock minimum, 300 MHz
  EXPECT_EQ(at(8 + 8), 200000);     // engine clock maximum, 2000 MHz
  EXPECT_EQ(at(28 + 8), 225000);    // memory clock maximum
  EXPECT_EQ(at(48 + 4), 750);       // voltage minimum
  EXPECT_EQ(at(48 + 8), 1200);
  EXPECT_EQ(at(68 + 4), -50);       // power
  EXPECT_EQ(at(148 + 8), 2000);     // acoustic limit maximum, MHz
  EXPECT_EQ(get(context.get(), kNavi, reinterpret_cast<adl::ADLODNCapabilitiesX2*>(bytes.data())), adl::kErrNotSupported);
}

TEST_F(SimOdnTest, ClockTablesHoldTheCardsOwnLevelsAndZerosAfterThem) {
  std::vector<unsigned char> gpu = Levels(8, 0), mem = Levels(8, 0);
  ASSERT_EQ(GetClocks("ADL2_OverdriveN_SystemClocksX2_Get", kPolaris, gpu), 0);
  ASSERT_EQ(GetClocks("ADL2_OverdriveN_MemoryClocksX2_Get", kPolaris, mem), 0);
  EXPECT_EQ(Record(gpu)->aLevels[0].iClock, 30000);
  EXPECT_EQ(Record(gpu)->aLevels[7].iClock, 136600);
  EXPECT_EQ(Record(gpu)->aLevels[7].iVddc, 1150);
  EXPECT_EQ(Record(mem)->aLevels[2].iClock, 200000);
  EXPECT_EQ(Record(mem)->aLevels[3].iClock, 0);
  EXPECT_EQ(Record(mem)->aLevels[3].iVddc, 0);
  std::vector<unsigned char> vega = Levels(8, 0);
  ASSERT_EQ(GetClocks("ADL2_OverdriveN_MemoryClocksX2_Get", kVega, vega), 0);
  EXPECT_EQ(Record(vega)->aLevels[3].iClock, 94500);
  EXPECT_EQ(Record(vega)->aLevels[4].iClock, 0);
}

TEST_F(SimOdnTest, ARecordTooSmallForItsLevelCountIsRefused) {
  std::vector<unsigned char> bytes = Levels(8, 0);
  Record(bytes)->iSize = adl::PerformanceLevelsBytes(7);
  EXPECT_EQ(GetClocks("ADL2_OverdriveN_SystemClocksX2_Get", kPolaris, bytes), adl::kErrInvalidParamSize);
  Record(bytes)->iSize = adl::PerformanceLevelsBytes(8);
  Record(bytes)->iNumberOfPerformanceLevels = 9;
  EXPECT_EQ(GetClocks("ADL2_OverdriveN_SystemClocksX2_Get", kPolaris, bytes), adl::kErrInvalidParam);
}

struct OutOfRange {
  const char* what;
  int level, clock, vddc;
};

// Without it the test framework prints the record's bytes, padding included.
void PrintTo(const OutOfRange& c, std::ostream* out) { *out << c.what; }

class SimOdnRangeTest : public SimOdnTest, public ::testing::WithParamInterface<OutOfRange> {};

TEST_P(SimOdnRangeTest, ValuesOutsideTheCapabilityRangesAreRefusedWithMinusOneAndChangeNothing) {
  std::vector<unsigned char> bytes = Levels(8, 0);
  ASSERT_EQ(GetClocks("ADL2_OverdriveN_SystemClocksX2_Get", kPolaris, bytes), 0);
  const std::vector<unsigned char> before = bytes;
  Record(bytes)->iMode = adl::kOdnModeManual;
  Record(bytes)->aLevels[GetParam().level].iClock = GetParam().clock;
  Record(bytes)->aLevels[GetParam().level].iVddc = GetParam().vddc;
  EXPECT_EQ(SetClocks("ADL2_OverdriveN_SystemClocksX2_Set", kPolaris, bytes), adl::kErr);
  std::vector<unsigned char> after = Levels(8, 0);
  ASSERT_EQ(GetClocks("ADL2_OverdriveN_SystemClocksX2_Get", kPolaris, after), 0);
  EXPECT_EQ(std::memcmp(after.data() + 12, before.data() + 12, 8 * 16), 0);
}

INSTANTIATE_TEST_SUITE_P(Limits, SimOdnRangeTest,
                         ::testing::Values(OutOfRange{"clock above", 7, 200001, 1150},
                                           OutOfRange{"clock below", 0, 29999, 750},
                                           OutOfRange{"voltage above", 3, 110000, 1201},
                                           OutOfRange{"voltage below", 0, 30000, 749}));

TEST_F(SimOdnTest, ValuesInsideAreHeldAndModeOneRestoresTheDefaults) {
  std::vector<unsigned char> bytes = Levels(8, 0);
  ASSERT_EQ(GetClocks("ADL2_OverdriveN_SystemClocksX2_Get", kPolaris, bytes), 0);
  Record(bytes)->iMode = adl::kOdnModeManual;
  Record(bytes)->aLevels[7] = {140000, 1100, 0, 0};
  ASSERT_EQ(SetClocks("ADL2_OverdriveN_SystemClocksX2_Set", kPolaris, bytes), 0);
  std::vector<unsigned char> read = Levels(8, 0);
  ASSERT_EQ(GetClocks("ADL2_OverdriveN_SystemClocksX2_Get", kPolaris, read), 0);
  EXPECT_EQ(Record(read)->aLevels[7].iClock, 140000);
  EXPECT_EQ(Record(read)->aLevels[7].iVddc, 1100);
  EXPECT_EQ(Record(read)->aLevels[7].iEnabled, 0);

  std::vector<unsigned char> defaults = Levels(8, adl::kOdnModeDefault);
  ASSERT_EQ(GetClocks("ADL2_OverdriveN_SystemClocksX2_Get", kPolaris, defaults), 0);
  EXPECT_EQ(Record(defaults)->aLevels[7].iClock, 136600) << "mode 1 reads the defaults";

  std::vector<unsigned char> reset = Levels(8, adl::kOdnModeDefault);
  ASSERT_EQ(SetClocks("ADL2_OverdriveN_SystemClocksX2_Set", kPolaris, reset), 0);
  ASSERT_EQ(GetClocks("ADL2_OverdriveN_SystemClocksX2_Get", kPolaris, read), 0);
  EXPECT_EQ(Record(read)->aLevels[7].iClock, 136600);
  EXPECT_EQ(Record(read)->aLevels[7].iEnabled, 1);
}

TEST_F(SimOdnTest, FanAndPowerAreCheckedAgainstTheirRangesAndModeOneRestoresThem) {
  auto fanGet = library.Get<adl::OverdriveN_FanControl_Get>("ADL2_OverdriveN_FanControl_Get");
  auto fanSet = library.Get<adl::OverdriveN_FanControl_Set>("ADL2_OverdriveN_FanControl_Set");
  auto powerGet = library.Get<adl::OverdriveN_PowerLimit_Get>("ADL2_OverdriveN_PowerLimit_Get");
  auto powerSet = library.Get<adl::OverdriveN_PowerLimit_Set>("ADL2_OverdriveN_PowerLimit_Set");

  adl::ADLODNFanControl fan{};
  ASSERT_EQ(fanGet(context.get(), kPolaris, &fan), 0);
  EXPECT_EQ(fan.iMinPerformanceClock, 1180);
  fan.iMode = adl::kOdnModeManual;
  fan.iMinPerformanceClock = 2001;
  EXPECT_EQ(fanSet(context.get(), kPolaris, &fan), adl::kErr);
  fan.iMinPerformanceClock = 1250;
  EXPECT_EQ(fanSet(context.get(), kPolaris, &fan), 0);
  adl::ADLODNFanControl read{};
  ASSERT_EQ(fanGet(context.get(), kPolaris, &read), 0);
  EXPECT_EQ(read.iMinPerformanceClock, 1250);
  adl::ADLODNFanControl reset{};
  reset.iMode = adl::kOdnModeDefault;
  EXPECT_EQ(fanSet(context.get(), kPolaris, &reset), 0);
  ASSERT_EQ(fanGet(context.get(), kPolaris, &read), 0);
  EXPECT_EQ(read.iMinPerformanceClock, 1180);

  adl::ADLODNPowerLimitSetting power{adl::kOdnModeManual, 51, 90};
  EXPECT_EQ(powerSet(context.get(), kPolaris, &power), adl::kErr);
  power.iTDPLimit = 20;
  EXPECT_EQ(powerSet(context.get(), kPolaris, &power), 0);
  adl::ADLODNPowerLimitSetting now{};
  ASSERT_EQ(powerGet(context.get(), kPolaris, &now), 0);
  EXPECT_EQ(now.iTDPLimit, 20);
  adl::ADLODNPowerLimitSetting back{adl::kOdnModeDefault, 0, -1};
  EXPECT_EQ(powerSet(context.get(), kPolaris, &back), 0);
  ASSERT_EQ(powerGet(context.get(), kPolaris, &now), 0);
  EXPECT_EQ(now.iTDPLimit, 0);
  EXPECT_EQ(now.iMaxOperatingTemperature, 90);
}

TEST_F(SimOdnTest, ExtendedSettingsComeAsTwoCallbackListsAndMinusOneMeansDefault) {
  auto get = library.Get<adl::OverdriveN_SettingsExt_Get>("ADL2_OverdriveN_SettingsExt_Get");
  auto set = library.Get<adl::OverdriveN_SettingsExt_Set>("ADL2_OverdriveN_SettingsExt_Set");
  const int allocationsBefore = AllocationCounter::allocations;
  int caps = 0, count = 15;
  adl::ADLODNExtSingleInitSetting* ranges = nullptr;
  int* values = nullptr;
  ASSERT_EQ(get(context.get(), kPolaris, &caps, &count, &ranges, &values), 0);
  EXPECT_EQ(AllocationCounter::allocations - allocationsBefore, 2) << "both lists through the caller's allocator";
  ASSERT_NE(ranges, nullptr);
  ASSERT_NE(values, nullptr);
  EXPECT_EQ(count, 15);
  EXPECT_EQ(ranges[0].maxValue, 2);      // memory timing levels 0..2
  EXPECT_EQ(ranges[1].defaultValue, 1);  // zero RPM on
  EXPECT_EQ(ranges[5].defaultValue, 35);
  EXPECT_EQ(values[14], 80);
  AllocationCounter::Free(ranges);
  AllocationCounter::Free(values);

  int valid[15], next[15];
  for (int i = 0; i < 15; ++i) valid[i] = 1, next[i] = -1;
  next[0] = 2;
  next[6] = 25;
  ASSERT_EQ(set(context.get(), kPolaris, 15, valid, next), 0);
  next[6] = 101;
  EXPECT_EQ(set(context.get(), kPolaris, 15, valid, next), adl::kErr) << "fan speed above 100 %";
  ASSERT_EQ(get(context.get(), kPolaris, &caps, &count, &ranges, &values), 0);
  EXPECT_EQ(values[0], 2);
  EXPECT_EQ(values[6], 25);
  EXPECT_EQ(values[5], 35) << "-1 gave the default";
  AllocationCounter::Free(ranges);
  AllocationCounter::Free(values);
}

TEST_F(SimOdnTest, TheJournalShowsWhatASetSent) {
  std::vector<unsigned char> bytes = Levels(8, 0);
  ASSERT_EQ(GetClocks("ADL2_OverdriveN_MemoryClocksX2_Get", kPolaris, bytes), 0);
  Record(bytes)->iMode = adl::kOdnModeManual;
  Record(bytes)->aLevels[2].iClock = 210000;
  ASSERT_EQ(SetClocks("ADL2_OverdriveN_MemoryClocksX2_Set", kPolaris, bytes), 0);
  const std::vector<std::string> lines = folder.JournalLines();
  ASSERT_FALSE(lines.empty());
  const std::string& last = lines.back();
  EXPECT_EQ(last.rfind("ADL2_OverdriveN_MemoryClocksX2_Set adapter=1 size=140 mode=3 levels=8 L0=30000/750/1 "
                       "L1=100000/800/1 L2=210000/950/1 L3=0/0/0",
                       0),
            0u)
      << last;
  EXPECT_NE(last.find(" result=0 us="), std::string::npos) << last;
}

}  // namespace
}  // namespace tw::test
