#include "powerplay/power_states.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "powerplay/table_builder.h"

namespace tw {
namespace {

using test::BuildTable;
using test::BuiltTable;
using test::TableSpec;

struct Loaded {
  BuiltTable built;
  pConst layout;
  PowerStates states;
};

Loaded Load(const TableSpec& tableSpec) {
  Loaded loaded{BuildTable(tableSpec), {}, {}};
  const TableFamily family = IdentifyTable(loaded.built.bytes);
  EXPECT_NE(family, TableFamily::Unsupported);
  EXPECT_TRUE(SetLayout(family, loaded.built.bytes, loaded.layout));
  EXPECT_TRUE(BuildStates(loaded.built.bytes, loaded.layout, loaded.states));
  return loaded;
}

bool Linked(const PsItem& state, StateKind kind, int index) {
  const VoltageField field{kind, index};
  return std::find(state.linkedEdits.begin(), state.linkedEdits.end(), field) != state.linkedEdits.end();
}

TEST(PowerStatesTest, ReadsClocksVoltagesAndPositionsOfEveryFamily) {
  for (const auto& [family, revision] : {std::pair{TableFamily::Fiji, 0}, std::pair{TableFamily::Polaris, 1},
                                         std::pair{TableFamily::Vega, 0}, std::pair{TableFamily::Vega, 1}}) {
    SCOPED_TRACE(static_cast<int>(family) * 10 + revision);
    TableSpec tableSpec;
    tableSpec.family = family;
    tableSpec.vegaGpuRevision = revision;
    tableSpec.gpu = {{30000, 2}, {200050, 0}, {145099, 1}};
    tableSpec.mem = {{30000, 0}, {200000, 2}};
    tableSpec.voltages = {800, 1100, 65281};
    const Loaded loaded = Load(tableSpec);
    ASSERT_EQ(loaded.states.GpuStates.size(), 3u);
    ASSERT_EQ(loaded.states.MemStates.size(), 2u);
    const auto& gpu = loaded.states.GpuStates;
    EXPECT_EQ(gpu[0].clock, 300);
    EXPECT_EQ(gpu[1].clock, 2000);  // 200050 truncates
    EXPECT_EQ(gpu[2].clock, 1450);
    EXPECT_EQ(gpu[0].voltage, 65281);
    EXPECT_EQ(gpu[1].voltage, 800);
    EXPECT_EQ(gpu[2].voltage, 1100);
    EXPECT_EQ(gpu[0].voltageIndex, 2);
    for (size_t i = 0; i < gpu.size(); ++i) {
      EXPECT_EQ(gpu[i].clockPos, loaded.built.GpuClockAt(i));
      EXPECT_EQ(gpu[i].voltagePos, loaded.built.VoltageAt(gpu[i].voltageIndex));
    }
    const auto& mem = loaded.states.MemStates;
    EXPECT_EQ(mem[1].clock, 2000);
    EXPECT_EQ(mem[1].voltage, 65281);
    EXPECT_EQ(mem[1].clockPos, loaded.built.MemClockAt(1));
  }
}

TEST(PowerStatesTest, LinksStatesThatShareAVoltageRecord) {
  TableSpec tableSpec;
  tableSpec.gpu = {{30000, 0}, {60000, 1}, {90000, 5}, {120000, 3}, {130000, 4}, {140000, 5}};
  tableSpec.mem = {{30000, 2}, {100000, 5}};
  const Loaded loaded = Load(tableSpec);
  const auto& gpu = loaded.states.GpuStates;
  const auto& mem = loaded.states.MemStates;
  // GPU 2, GPU 5 and memory 1 share record 5.
  EXPECT_EQ(gpu[2].linkedEdits, (std::vector<VoltageField>{{StateKind::Gpu, 5}, {StateKind::Memory, 1}}));
  EXPECT_EQ(gpu[5].linkedEdits, (std::vector<VoltageField>{{StateKind::Gpu, 2}, {StateKind::Memory, 1}}));
  EXPECT_TRUE(Linked(mem[1], StateKind::Gpu, 2));
  EXPECT_TRUE(Linked(mem[1], StateKind::Gpu, 5));
  EXPECT_EQ(mem[1].linkedEdits.size(), 2u);
  for (int i : {0, 1, 3, 4}) EXPECT_TRUE(gpu[static_cast<size_t>(i)].linkedEdits.empty()) << i;
  EXPECT_TRUE(mem[0].linkedEdits.empty());
}

TEST(PowerStatesTest, MoreThanEightStatesAreAllReadButOnlyTheFirstEightLinked) {
  TableSpec tableSpec;
  tableSpec.gpu.clear();
  for (uint32_t i = 0; i < 10; ++i) tableSpec.gpu.push_back({30000 + i * 10000, static_cast<uint8_t>(i == 9 ? 0 : i % 7)});
  tableSpec.mem.clear();
  for (uint32_t i = 0; i < 9; ++i) tableSpec.mem.push_back({20000 + i * 10000, static_cast<uint8_t>(i == 8 ? 1 : 7)});
  const Loaded loaded = Load(tableSpec);
  const auto& gpu = loaded.states.GpuStates;
  const auto& mem = loaded.states.MemStates;
  ASSERT_EQ(gpu.size(), 10u);
  ASSERT_EQ(mem.size(), 9u);
  EXPECT_EQ(gpu[9].clock, 1200);
  EXPECT_EQ(mem[8].clock, 1000);
  // GPU 0 and 7 share record 0; GPU 9 shares it too but is not shown: no link either way.
  EXPECT_EQ(gpu[0].linkedEdits, (std::vector<VoltageField>{{StateKind::Gpu, 7}}));
  EXPECT_TRUE(gpu[9].linkedEdits.empty());
  // Memory 0..7 share record 7 among themselves; memory 8 (record 1, like GPU 1) is not shown.
  EXPECT_EQ(mem[0].linkedEdits.size(), 7u);
  EXPECT_FALSE(Linked(mem[0], StateKind::Memory, 0));
  EXPECT_TRUE(mem[8].linkedEdits.empty());
  EXPECT_TRUE(gpu[1].linkedEdits.empty());
}

TEST(PowerStatesTest, RefusesALayoutThatPointsOutsideTheTable) {
  Loaded loaded = Load(TableSpec{});
  struct Case {
    const char* name;
    std::function<void(pConst&, PowerPlayTable&)> damage;
  };
  const Case cases[] = {
      {"GpuCount", [](pConst& l, PowerPlayTable&) { l.gpuStateCount = 200; }},
      {"MemTable", [](pConst& l, PowerPlayTable& t) { l.memTablePos = static_cast<uint16_t>(t.size() - 3); }},
      {"VoltTable", [](pConst& l, PowerPlayTable&) { l.gpuVoltTablePos = l.memVoltTablePos = 0xFFFF; }},
      {"VoltTablesDiffer", [](pConst& l, PowerPlayTable&) { l.memVoltTablePos = 0; }},
      {"VoltageIndex", [](pConst& l, PowerPlayTable& t) { t[l.gpuTablePos + 2 + l.gpuVoltIndexPos] = 8; }},
      // The last voltage record is 8 bytes; cutting 47 bytes leaves one byte of its voltage.
      {"TruncatedTable", [](pConst&, PowerPlayTable& t) { t.resize(t.size() - 47); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    pConst layout = loaded.layout;
    PowerPlayTable table = loaded.built.bytes;
    c.damage(layout, table);
    PowerStates states = loaded.states;
    EXPECT_FALSE(BuildStates(table, layout, states));
    EXPECT_TRUE(states.GpuStates.empty());
    EXPECT_TRUE(states.MemStates.empty());
  }
}

}  // namespace
}  // namespace tw
