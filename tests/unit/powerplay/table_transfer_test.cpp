#include "powerplay/table_transfer.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "fakes/fake_platform.h"
#include "messages/message_writer.h"
#include "powerplay/table_builder.h"
#include "profiles/option_set.h"

namespace tw {
namespace {

using test::BuildTable;
using test::BuiltTable;
using test::Differences;
using test::Get16;
using test::Get32;
using test::TableSpec;

class TableTransferTest : public ::testing::Test {
 protected:
  test::FakePlatform fake;
  OptionSet options;
  MessageWriter messages{options.IgnoreError8, fake.platform};
  BuiltTable built;
  PowerPlayTable table;
  pConst layout;
  PowerStates states;
  EditorValues values;

  void Load(const TableSpec& tableSpec) {
    built = BuildTable(tableSpec);
    table = built.bytes;
    ASSERT_TRUE(SetLayout(IdentifyTable(table), table, layout));
    ASSERT_TRUE(BuildStates(table, layout, states));
    ASSERT_TRUE(ShowTable(table, layout, states, values));
  }

  bool Store() { return StoreTable(table, layout, states, values, messages); }
};

std::vector<TableSpec> EveryFamily() {
  std::vector<TableSpec> tableSpecs(4);
  tableSpecs[0].family = TableFamily::Fiji;
  tableSpecs[1].family = TableFamily::Polaris;
  tableSpecs[2].family = TableFamily::Vega;
  tableSpecs[2].vegaGpuRevision = 0;
  tableSpecs[3].family = TableFamily::Vega;
  return tableSpecs;
}

TEST_F(TableTransferTest, ShowTableFillsShownFieldsAndLimits) {
  TableSpec tableSpec;
  tableSpec.gpu = {{30000, 0}, {145099, 3}};
  tableSpec.mem = {{200050, 7}};
  tableSpec.maxGpuClock = 250099;
  tableSpec.maxMemClock = 225000;
  tableSpec.powerLimit = 65535;
  Load(tableSpec);
  EXPECT_EQ(values.gpuShown, 2);
  EXPECT_EQ(values.memShown, 1);
  EXPECT_EQ(values.gpu[0].clock, 300);
  EXPECT_EQ(values.gpu[0].voltage, 800);
  EXPECT_EQ(values.gpu[1].clock, 1450);
  EXPECT_EQ(values.gpu[1].voltage, 950);
  EXPECT_EQ(values.gpu[2].clock, 0);  // not shown
  EXPECT_EQ(values.mem[0].clock, 2000);
  EXPECT_EQ(values.mem[0].voltage, 1150);
  EXPECT_EQ(values.maxGpuClock, 2500);
  EXPECT_EQ(values.maxMemClock, 2250);
  EXPECT_EQ(values.powerLimit, 65535);
}

TEST_F(TableTransferTest, SavingUnchangedRewritesOnlyTruncatedClocks) {
  for (const TableSpec& base : EveryFamily()) {
    SCOPED_TRACE(static_cast<int>(base.family) * 10 + base.vegaGpuRevision);
    TableSpec tableSpec = base;
    tableSpec.gpu[0].clock = 200000;
    tableSpec.gpu[1].clock = 200050;
    tableSpec.maxGpuClock = 250099;
    Load(tableSpec);
    EXPECT_EQ(values.gpu[0].clock, 2000);
    EXPECT_EQ(values.gpu[1].clock, 2000);
    ASSERT_TRUE(Store());
    EXPECT_EQ(Get32(table, built.GpuClockAt(0)), 200000u);
    EXPECT_EQ(Get32(table, built.GpuClockAt(1)), 200000u);
    EXPECT_EQ(Get32(table, built.maxGpuClockField), 250000u);
    // Only the low bytes of those two clocks and of the limit changed.
    const std::vector<size_t> differences = Differences(built.bytes, table);
    const std::set<size_t> changed(differences.begin(), differences.end());
    EXPECT_EQ(changed, (std::set<size_t>{built.GpuClockAt(1), built.maxGpuClockField}));
    EXPECT_EQ(table.size(), built.bytes.size());
  }
}

TEST_F(TableTransferTest, UnchangedSaveOfExactValuesIsByteIdentical) {
  for (const TableSpec& tableSpec : EveryFamily()) {
    SCOPED_TRACE(static_cast<int>(tableSpec.family) * 10 + tableSpec.vegaGpuRevision);
    Load(tableSpec);
    ASSERT_TRUE(Store());
    EXPECT_EQ(table, built.bytes);
  }
}

TEST_F(TableTransferTest, EditsLandExactlyOnTheirFields) {
  for (const TableSpec& tableSpec : EveryFamily()) {
    SCOPED_TRACE(static_cast<int>(tableSpec.family) * 10 + tableSpec.vegaGpuRevision);
    Load(tableSpec);
    values.gpu[3].clock = 1234;
    values.gpu[3].voltage = 1010;  // record 3, used by GPU 3 only
    values.mem[2].clock = 2100;
    values.maxGpuClock = 2600;
    values.maxMemClock = 2300;
    values.powerLimit = 75;
    ASSERT_TRUE(Store());
    EXPECT_EQ(Get32(table, built.GpuClockAt(3)), 123400u);
    EXPECT_EQ(Get16(table, built.VoltageAt(3)), 1010u);
    EXPECT_EQ(Get32(table, built.MemClockAt(2)), 210000u);
    EXPECT_EQ(Get32(table, built.maxGpuClockField), 260000u);
    EXPECT_EQ(Get32(table, built.maxMemClockField), 230000u);
    EXPECT_EQ(Get16(table, built.powerLimitField), 75u);
    // Every other byte, the size field included, is as it was.
    std::set<size_t> allowed;
    for (size_t p : {built.GpuClockAt(3), built.MemClockAt(2), built.maxGpuClockField, built.maxMemClockField})
      for (size_t k = 0; k < 4; ++k) allowed.insert(p + k);
    for (size_t p : {built.VoltageAt(3), built.powerLimitField})
      for (size_t k = 0; k < 2; ++k) allowed.insert(p + k);
    for (size_t p : Differences(built.bytes, table)) EXPECT_TRUE(allowed.count(p)) << "stray write at " << p;
    EXPECT_EQ(Get16(table, 0), built.bytes.size());
  }
}

TEST_F(TableTransferTest, SharedVoltageIsStoredOnceInTheSharedRecord) {
  TableSpec tableSpec;
  tableSpec.gpu = {{30000, 0}, {60000, 1}, {90000, 5}, {120000, 3}, {130000, 4}, {140000, 5}};
  tableSpec.mem = {{30000, 2}, {100000, 5}};
  Load(tableSpec);
  EXPECT_EQ(values.gpu[2].voltage, 1050);
  EXPECT_EQ(values.gpu[5].voltage, 1050);
  EXPECT_EQ(values.mem[1].voltage, 1050);
  // The editor keeps linked fields equal; all three now say 1075.
  values.gpu[2].voltage = values.gpu[5].voltage = values.mem[1].voltage = 1075;
  ASSERT_TRUE(Store());
  EXPECT_EQ(Get16(table, built.VoltageAt(5)), 1075u);
  const auto changed = Differences(built.bytes, table);
  EXPECT_EQ(changed, (std::vector<size_t>{built.VoltageAt(5)}));  // 1050 -> 1075: low byte only
  for (size_t index = 0; index < 8; ++index)
    if (index != 5) {
      EXPECT_EQ(Get16(table, built.VoltageAt(index)), Get16(built.bytes, built.VoltageAt(index)));
    }
}

TEST_F(TableTransferTest, SharedRecordTakesTheLastWriteInStateOrder) {
  TableSpec tableSpec;
  tableSpec.gpu = {{30000, 5}, {60000, 1}};
  tableSpec.mem = {{30000, 5}};
  Load(tableSpec);
  values.gpu[0].voltage = 900;
  values.mem[0].voltage = 950;  // memory states are written after GPU states
  ASSERT_TRUE(Store());
  EXPECT_EQ(Get16(table, built.VoltageAt(5)), 950u);
}

TEST_F(TableTransferTest, MoreThanEightStatesOnlyTheFirstEightShownAndWritten) {
  TableSpec tableSpec;
  tableSpec.gpu.clear();
  for (uint32_t i = 0; i < 11; ++i) tableSpec.gpu.push_back({30000 + i * 10000, static_cast<uint8_t>(i % 8)});
  tableSpec.mem.clear();
  for (uint32_t i = 0; i < 9; ++i) tableSpec.mem.push_back({20000 + i * 10000, 7});
  Load(tableSpec);
  ASSERT_EQ(states.GpuStates.size(), 11u);
  EXPECT_EQ(values.gpuShown, 8);
  EXPECT_EQ(values.memShown, 8);
  EXPECT_EQ(values.gpu[7].clock, 1000);
  for (auto& state : values.gpu) state.clock += 1;
  for (auto& state : values.mem) state.clock += 1;
  ASSERT_TRUE(Store());
  for (size_t i = 0; i < 8; ++i) EXPECT_EQ(Get32(table, built.GpuClockAt(i)), (301 + i * 100) * 100) << i;
  for (size_t i = 8; i < 11; ++i) EXPECT_EQ(Get32(table, built.GpuClockAt(i)), 30000 + i * 10000) << i;
  for (size_t i = 0; i < 8; ++i) EXPECT_EQ(Get32(table, built.MemClockAt(i)), (201 + i * 100) * 100) << i;
  EXPECT_EQ(Get32(table, built.MemClockAt(8)), 100000u);
}

TEST_F(TableTransferTest, ValuesThatDoNotFitChangeNothing) {
  struct Case {
    const char* name;
    std::function<void(EditorValues&)> edit;
    const char* message;
  };
  const Case cases[] = {
      {"VoltageAbove16Bits", [](EditorValues& v) { v.gpu[1].voltage = 70000; },
       "GPU P1 voltage value does not fit in the table (0 to 65535 mV)"},
      {"NegativeVoltage", [](EditorValues& v) { v.mem[0].voltage = -1; },
       "Memory P0 voltage value does not fit in the table (0 to 65535 mV)"},
      {"NegativeClock", [](EditorValues& v) { v.gpu[0].clock = -5; },
       "GPU P0 clock value does not fit in the table (0 to 42949672 MHz)"},
      {"ClockOverflowing32Bits", [](EditorValues& v) { v.mem[2].clock = 42949673; },
       "Memory P2 clock value does not fit in the table (0 to 42949672 MHz)"},
      {"PowerLimit", [](EditorValues& v) { v.powerLimit = 65536; },
       "Max Power Target value does not fit in the table (0 to 65535 %)"},
      {"MaxGpu", [](EditorValues& v) { v.maxGpuClock = -1; },
       "Max GPU Freq. value does not fit in the table (0 to 42949672 MHz)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Load(TableSpec{});
    fake.dialogs.boxes.clear();
    values.gpu[0].clock = 1999;  // a valid edit that must not be written either
    c.edit(values);
    EXPECT_FALSE(Store());
    EXPECT_EQ(table, built.bytes);
    ASSERT_EQ(fake.dialogs.boxes.size(), 1u);
    EXPECT_EQ(fake.dialogs.boxes[0].text, c.message);
    EXPECT_EQ(fake.dialogs.boxes[0].icon, BoxIcon::Error);
  }
}

TEST_F(TableTransferTest, LargestFittingValuesAreWritten) {
  Load(TableSpec{});
  values.gpu[0].clock = 42949672;
  values.gpu[1].voltage = 65535;  // record 1 is not shared
  values.powerLimit = 0;
  ASSERT_TRUE(Store());
  EXPECT_EQ(Get32(table, built.GpuClockAt(0)), 4294967200u);
  EXPECT_EQ(Get16(table, built.VoltageAt(1)), 65535u);
  EXPECT_EQ(Get16(table, built.powerLimitField), 0u);
}

TEST_F(TableTransferTest, UndoShowsWhatTheTableHoldsAfterASave) {
  Load(TableSpec{});
  values.gpu[0].clock = 777;
  ASSERT_TRUE(Store());
  values.gpu[0].clock = 555;  // an edit after the save
  ASSERT_TRUE(ShowTable(table, layout, states, values));
  EXPECT_EQ(values.gpu[0].clock, 777);
}

TEST_F(TableTransferTest, StatesOutsideTheTableAreRefused) {
  Load(TableSpec{});
  PowerStates broken = states;
  broken.GpuStates[2].voltagePos = static_cast<uint32_t>(table.size() - 1);
  EditorValues before = values;
  EXPECT_FALSE(ShowTable(table, layout, broken, values));
  EXPECT_EQ(values.gpu[2].voltage, before.gpu[2].voltage);
  EXPECT_FALSE(StoreTable(table, layout, broken, values, messages));
  EXPECT_EQ(table, built.bytes);
  PowerPlayTable shortTable(table.begin(), table.begin() + 20);
  EXPECT_FALSE(ShowTable(shortTable, layout, states, values));
  EXPECT_FALSE(StoreTable(shortTable, layout, states, values, messages));
}

}  // namespace
}  // namespace tw
