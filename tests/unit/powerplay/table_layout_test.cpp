#include "powerplay/table_layout.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "powerplay/table_builder.h"

namespace tw {
namespace {

using test::BuildTable;
using test::BuiltTable;
using test::Put16;
using test::TableSpec;

TableSpec MakeTableSpec(TableFamily family, int vegaRevision = 1) {
  TableSpec tableSpec;
  tableSpec.family = family;
  tableSpec.vegaGpuRevision = vegaRevision;
  return tableSpec;
}

struct FamilyCase {
  const char* name;
  TableSpec tableSpec;
  TableFamily expected;
  uint8_t gpuRecordSize, gpuVoltIndexPos, gpuClockPos, memRecordSize, memVoltIndexPos, memClockPos, voltRecordSize;
  uint8_t maxGpuPos, maxMemPos, powerPos;
};

const FamilyCase kFamilies[] = {
    {"Fiji", MakeTableSpec(TableFamily::Fiji), TableFamily::Fiji, 11, 0, 3, 13, 0, 7, 8, 23, 27, 31},
    {"Polaris", MakeTableSpec(TableFamily::Polaris), TableFamily::Polaris, 15, 0, 3, 13, 0, 7, 8, 23, 27, 31},
    {"VegaRevision0", MakeTableSpec(TableFamily::Vega, 0), TableFamily::Vega, 9, 4, 0, 7, 4, 0, 2, 21, 25, 29},
    {"VegaRevision1", MakeTableSpec(TableFamily::Vega, 1), TableFamily::Vega, 13, 4, 0, 7, 4, 0, 2, 21, 25, 29},
};

TEST(TableLayoutTest, IdentifiesEachFamilyAndSetsItsLayout) {
  for (const FamilyCase& c : kFamilies) {
    SCOPED_TRACE(c.name);
    const BuiltTable built = BuildTable(c.tableSpec);
    EXPECT_EQ(IdentifyTable(built.bytes), c.expected);
    pConst layout;
    layout.regPath = "kept";
    ASSERT_TRUE(SetLayout(c.expected, built.bytes, layout));
    EXPECT_EQ(layout.regPath, "kept");
    EXPECT_EQ(layout.gpuRecordSize, c.gpuRecordSize);
    EXPECT_EQ(layout.gpuVoltIndexPos, c.gpuVoltIndexPos);
    EXPECT_EQ(layout.gpuClockPos, c.gpuClockPos);
    EXPECT_EQ(layout.memRecordSize, c.memRecordSize);
    EXPECT_EQ(layout.memVoltIndexPos, c.memVoltIndexPos);
    EXPECT_EQ(layout.memClockPos, c.memClockPos);
    EXPECT_EQ(layout.voltRecordSize, c.voltRecordSize);
    EXPECT_EQ(layout.maxGpuClockPos, c.maxGpuPos);
    EXPECT_EQ(layout.maxMemClockPos, c.maxMemPos);
    EXPECT_EQ(layout.powerLimitPos, c.powerPos);
    EXPECT_EQ(layout.gpuTablePos, built.gpuTablePos);
    EXPECT_EQ(layout.memTablePos, built.memTablePos);
    EXPECT_EQ(layout.gpuVoltTablePos, built.voltTablePos);
    EXPECT_EQ(layout.memVoltTablePos, built.voltTablePos);
    EXPECT_EQ(layout.countPos, 1);
    EXPECT_EQ(layout.firstEntryPos, 2);
    EXPECT_EQ(layout.voltValuePos, 0);
    EXPECT_EQ(layout.gpuStateCount, c.tableSpec.gpu.size());
    EXPECT_EQ(layout.memStateCount, c.tableSpec.mem.size());
  }
}

TEST(TableLayoutTest, FamilyTexts) {
  EXPECT_EQ(TableFamilyText(TableFamily::Fiji), "Fiji table found");
  EXPECT_EQ(TableFamilyText(TableFamily::Polaris), "Polaris table found");
  EXPECT_EQ(TableFamilyText(TableFamily::Vega), "Vega table found");
  EXPECT_EQ(TableFamilyText(TableFamily::Unsupported), "not supported");
  EXPECT_EQ(static_cast<int>(TableFamily::Fiji), 0);
  EXPECT_EQ(static_cast<int>(TableFamily::Polaris), 1);
  EXPECT_EQ(static_cast<int>(TableFamily::Vega), 2);
  EXPECT_EQ(static_cast<int>(TableFamily::Unsupported), -1);
}

struct VariantCase {
  const char* name;
  TableSpec tableSpec;
  std::function<void(BuiltTable&)> change;
};

TableSpec WithRevisions(TableFamily family, std::optional<uint8_t> fan, std::optional<uint8_t> gpu) {
  TableSpec tableSpec = MakeTableSpec(family);
  tableSpec.fanRevision = fan;
  tableSpec.gpuRevision = gpu;
  return tableSpec;
}

// Well-formed tables that are simply not one of the families: not supported, no damage.
TEST(TableLayoutTest, UnsupportedVariantsAreNotDamage) {
  const VariantCase cases[] = {
      {"PolarisFanRevision9GpuRevision0", WithRevisions(TableFamily::Polaris, 9, 0), {}},
      {"FanRevision8GpuRevision1", WithRevisions(TableFamily::Polaris, 8, 1), {}},
      {"FanRevision7", WithRevisions(TableFamily::Polaris, 7, 1), {}},
      {"VegaGpuRevision2", MakeTableSpec(TableFamily::Vega, 2), {}},
      {"VegaGpuRevision255", WithRevisions(TableFamily::Vega, std::nullopt, 255), {}},
      {"PolarisHeaderWithRevision8", MakeTableSpec(TableFamily::Polaris), [](BuiltTable& t) { t.bytes[2] = 8; }},
      {"VegaHeaderWithRevision7", MakeTableSpec(TableFamily::Vega), [](BuiltTable& t) { t.bytes[2] = 7; }},
      {"HeaderSize0x4E", MakeTableSpec(TableFamily::Polaris), [](BuiltTable& t) { Put16(t.bytes, 5, 0x4E); }},
      {"HeaderSize0x5D", MakeTableSpec(TableFamily::Vega), [](BuiltTable& t) { Put16(t.bytes, 5, 0x5D); }},
      {"HeaderSizeHighByteSet", MakeTableSpec(TableFamily::Polaris), [](BuiltTable& t) { Put16(t.bytes, 5, 0x14D); }},
  };
  for (const VariantCase& c : cases) {
    SCOPED_TRACE(c.name);
    BuiltTable built = BuildTable(c.tableSpec);
    if (c.change) c.change(built);
    const TableCheck check = CheckTable(built.bytes);
    EXPECT_EQ(check.family, TableFamily::Unsupported);
    EXPECT_EQ(check.damage, "");
    EXPECT_EQ(IdentifyTable(built.bytes), TableFamily::Unsupported);
    pConst layout;
    EXPECT_FALSE(SetLayout(TableFamily::Unsupported, built.bytes, layout));
  }
}

TEST(TableLayoutTest, TooShortForTheSignatureIsUnsupported) {
  for (size_t size = 0; size < 7; ++size) {
    const PowerPlayTable table(size, 0);
    EXPECT_EQ(IdentifyTable(table), TableFamily::Unsupported) << size;
  }
}

// Every way a table of a known family can point outside itself: not supported, with a reason.
// Otherwise well formed: eight voltage records whose bytes are those of GPU states 3 to 7.
void VoltTableInsideGpuTable(BuiltTable& t) {
  const size_t at = t.gpuTablePos + 2 + 3 * t.gpuRecordSize;
  Put16(t.bytes, t.voltTableField, static_cast<uint32_t>(at));
  t.bytes[at + 1] = 8;
}

TEST(TableLayoutTest, DamagedTablesAreUnsupportedWithAReason) {
  const auto truncate = [](size_t size) { return [size](BuiltTable& t) { t.bytes.resize(size); }; };
  const auto setField = [](size_t BuiltTable::*field, uint32_t value) {
    return [field, value](BuiltTable& t) { Put16(t.bytes, t.*field, value); };
  };
  const VariantCase cases[] = {
      {"PolarisCutInsideHeaderFields", MakeTableSpec(TableFamily::Polaris), truncate(40)},
      {"PolarisCutBeforeGpuTableField", MakeTableSpec(TableFamily::Polaris), truncate(46)},
      {"VegaCutBeforeGpuTableField", MakeTableSpec(TableFamily::Vega), truncate(59)},
      {"PolarisShorterThanHeader", MakeTableSpec(TableFamily::Polaris),
       [](BuiltTable& t) {
         // Sub-tables moved inside a table cut short of its header.
         Put16(t.bytes, 37, 50);
         Put16(t.bytes, 45, 52);
         t.bytes[50] = 9;
         t.bytes[52] = 1;
         t.bytes.resize(60);
       }},
      {"FanTableOutside", MakeTableSpec(TableFamily::Polaris), [](BuiltTable& t) { Put16(t.bytes, 37, 0xFFF0); }},
      {"FanTableJustPastEnd", MakeTableSpec(TableFamily::Fiji),
       [](BuiltTable& t) { Put16(t.bytes, 37, static_cast<uint32_t>(t.bytes.size())); }},
      {"GpuTableOutside", MakeTableSpec(TableFamily::Polaris), setField(&BuiltTable::gpuTableField, 0xFFFF)},
      {"VegaGpuTableOutside", MakeTableSpec(TableFamily::Vega), setField(&BuiltTable::gpuTableField, 0x8000)},
      {"MemTableOutside", MakeTableSpec(TableFamily::Polaris), setField(&BuiltTable::memTableField, 0xFFFF)},
      {"VoltTableOutside", MakeTableSpec(TableFamily::Vega, 0), setField(&BuiltTable::voltTableField, 0xFFFF)},
      {"GpuTableInsideHeader", MakeTableSpec(TableFamily::Vega),
       [](BuiltTable& t) {
         Put16(t.bytes, t.gpuTableField, 0);  // would patch the size field
         t.bytes[0] = 1;                        // keep the revision byte readable as 1... of a size field
       }},
      {"MemTableInsideHeader", MakeTableSpec(TableFamily::Polaris), setField(&BuiltTable::memTableField, 10)},
      {"VoltTableInsideHeader", MakeTableSpec(TableFamily::Fiji), setField(&BuiltTable::voltTableField, 20)},
      {"GpuCountReachesOutside", MakeTableSpec(TableFamily::Polaris), [](BuiltTable& t) { t.bytes[t.gpuTablePos + 1] = 200; }},
      {"MemCountReachesOutside", MakeTableSpec(TableFamily::Vega), [](BuiltTable& t) { t.bytes[t.memTablePos + 1] = 255; }},
      {"VoltCountReachesOutside", MakeTableSpec(TableFamily::Fiji), [](BuiltTable& t) { t.bytes[t.voltTablePos + 1] = 250; }},
      {"CountByteIsLastByteMissing", MakeTableSpec(TableFamily::Polaris),
       [](BuiltTable& t) {
         Put16(t.bytes, t.voltTableField, static_cast<uint32_t>(t.bytes.size() - 1));
       }},
      {"GpuVoltageIndexBeyondVoltageTable", MakeTableSpec(TableFamily::Polaris),
       [](BuiltTable& t) { t.bytes[t.gpuTablePos + 2 + 3 * t.gpuRecordSize + t.gpuVoltIndexPos] = 8; }},
      {"MemVoltageIndexBeyondVoltageTable", MakeTableSpec(TableFamily::Vega),
       [](BuiltTable& t) { t.bytes[t.memTablePos + 2 + 2 * t.memRecordSize + t.memVoltIndexPos] = 200; }},
      {"VoltTableInsideGpuTable", MakeTableSpec(TableFamily::Polaris), [](BuiltTable& t) { VoltTableInsideGpuTable(t); }},
      {"EmptyVoltageTableWithStates", MakeTableSpec(TableFamily::Fiji), [](BuiltTable& t) { t.bytes[t.voltTablePos + 1] = 0; }},
  };
  for (const VariantCase& c : cases) {
    SCOPED_TRACE(c.name);
    BuiltTable built = BuildTable(c.tableSpec);
    c.change(built);
    const TableCheck check = CheckTable(built.bytes);
    EXPECT_EQ(check.family, TableFamily::Unsupported);
    EXPECT_NE(check.damage, "");
    EXPECT_EQ(IdentifyTable(built.bytes), TableFamily::Unsupported);
    // The fan table only tells the families apart; the layout itself does not use it.
    if (std::string(c.name).rfind("FanTable", 0) == 0) continue;
    pConst layout;
    EXPECT_FALSE(SetLayout(c.tableSpec.family, built.bytes, layout));
    EXPECT_EQ(layout.gpuTablePos, 0);  // left untouched
  }
}

TEST(TableLayoutTest, DamageReasonNamesThePart) {
  BuiltTable built = BuildTable(MakeTableSpec(TableFamily::Polaris));
  built.bytes[built.gpuTablePos + 2 + 3 * built.gpuRecordSize] = 9;
  EXPECT_EQ(CheckTable(built.bytes).damage,
            "GPU state 3 uses voltage record 9, which the voltage table does not hold");
  built = BuildTable(MakeTableSpec(TableFamily::Polaris));
  built.bytes[built.memTablePos + 1] = 100;
  EXPECT_EQ(CheckTable(built.bytes).damage, "the records of the memory clock table reach outside the table");
  built = BuildTable(MakeTableSpec(TableFamily::Polaris));
  VoltTableInsideGpuTable(built);
  EXPECT_EQ(CheckTable(built.bytes).damage, "the GPU clock table and the voltage table overlap");
}

TEST(TableLayoutTest, RecordsEndingExactlyAtTheEndAreInside) {
  TableSpec tableSpec = MakeTableSpec(TableFamily::Polaris);
  tableSpec.trailingBytes = 0;
  const BuiltTable built = BuildTable(tableSpec);
  EXPECT_EQ(IdentifyTable(built.bytes), TableFamily::Polaris);
  PowerPlayTable shorter = built.bytes;
  shorter.pop_back();
  EXPECT_EQ(IdentifyTable(shorter), TableFamily::Unsupported);
  EXPECT_NE(CheckTable(shorter).damage, "");
}

TEST(TableLayoutTest, SetLayoutRefusesAFamilyTheTableDoesNotHold) {
  const BuiltTable polaris = BuildTable(MakeTableSpec(TableFamily::Polaris));
  pConst layout;
  EXPECT_FALSE(SetLayout(TableFamily::Unsupported, polaris.bytes, layout));
  // Read with the Vega layout, the Polaris header fields point at nonsense: refused, not read.
  PowerPlayTable tiny(70, 0);
  EXPECT_FALSE(SetLayout(TableFamily::Vega, tiny, layout));
  EXPECT_FALSE(SetLayout(TableFamily::Fiji, PowerPlayTable(10, 0), layout));
}

}  // namespace
}  // namespace tw
