#include "powerplay/table_layout.h"

#include <array>
#include <optional>

#include "powerplay/table_field.h"

namespace tw {
namespace {

constexpr uint32_t kFijiPolarisHeaderSize = 0x4D;
constexpr uint32_t kFijiPolarisRevision = 7;
constexpr uint32_t kVegaHeaderSize = 0x5C;
constexpr uint32_t kVegaRevision = 8;
constexpr size_t kHeaderSizePos = 5;
constexpr size_t kRevisionPos = 2;
constexpr size_t kFanTableField = 37;

struct HeaderLayout {
  size_t headerSize;
  uint8_t maxGpuClockPos, maxMemClockPos, powerLimitPos;
  size_t memTableField, gpuTableField, voltTableField;
};

constexpr HeaderLayout kFijiPolarisHeader{kFijiPolarisHeaderSize, 23, 27, 31, 43, 45, 47};
constexpr HeaderLayout kVegaHeader{kVegaHeaderSize, 21, 25, 29, 56, 58, 62};

struct RecordLayout {
  uint8_t gpuRecordSize, gpuVoltIndexPos, gpuClockPos;
  uint8_t memRecordSize, memVoltIndexPos, memClockPos;
  uint8_t voltRecordSize;
};

constexpr RecordLayout kFijiRecords{11, 0, 3, 13, 0, 7, 8};
constexpr RecordLayout kPolarisRecords{15, 0, 3, 13, 0, 7, 8};
constexpr RecordLayout kVegaRev0Records{9, 4, 0, 7, 4, 0, 2};
constexpr RecordLayout kVegaRev1Records{13, 4, 0, 7, 4, 0, 2};

std::optional<uint32_t> Byte(std::span<const uint8_t> table, size_t position) {
  return ReadUnsigned(table, position, 1);
}

std::optional<uint32_t> Word(std::span<const uint8_t> table, size_t position) {
  return ReadUnsigned(table, position, 2);
}

// The revision byte of the sub-table whose position the header field holds.
std::optional<uint32_t> SubTableRevision(std::span<const uint8_t> table, size_t headerField) {
  const auto position = Word(table, headerField);
  if (!position) return std::nullopt;
  return Byte(table, *position);
}

TableCheck Damaged(std::string reason) { return {TableFamily::Unsupported, std::move(reason)}; }

TableCheck RecogniseVega(std::span<const uint8_t> table) {
  const auto gpuRevision = SubTableRevision(table, kVegaHeader.gpuTableField);
  if (!gpuRevision) return Damaged("the GPU clock table lies outside the table");
  if (*gpuRevision == 0 || *gpuRevision == 1) return {TableFamily::Vega, {}};
  return {};
}

TableCheck RecogniseFijiOrPolaris(std::span<const uint8_t> table) {
  const auto fanRevision = SubTableRevision(table, kFanTableField);
  if (!fanRevision) return Damaged("the fan table lies outside the table");
  const auto gpuRevision = SubTableRevision(table, kFijiPolarisHeader.gpuTableField);
  if (!gpuRevision) return Damaged("the GPU clock table lies outside the table");
  if (*fanRevision == 9 && *gpuRevision == 1) return {TableFamily::Polaris, {}};
  if (*fanRevision == 8 && *gpuRevision == 0) return {TableFamily::Fiji, {}};
  return {};
}

TableCheck Recognise(std::span<const uint8_t> table) {
  const auto headerSize = Word(table, kHeaderSizePos);
  const auto revision = Byte(table, kRevisionPos);
  if (!headerSize || !revision) return {};
  if (*headerSize == kVegaHeaderSize && *revision == kVegaRevision) return RecogniseVega(table);
  if (*headerSize == kFijiPolarisHeaderSize && *revision == kFijiPolarisRevision) return RecogniseFijiOrPolaris(table);
  return {};
}

const HeaderLayout& HeaderFor(TableFamily family) {
  return family == TableFamily::Vega ? kVegaHeader : kFijiPolarisHeader;
}

std::optional<RecordLayout> RecordsFor(TableFamily family, std::span<const uint8_t> table, size_t gpuTablePos) {
  switch (family) {
    case TableFamily::Fiji: return kFijiRecords;
    case TableFamily::Polaris: return kPolarisRecords;
    case TableFamily::Vega: {
      const auto revision = Byte(table, gpuTablePos);
      if (!revision || *revision > 1) return std::nullopt;
      return *revision == 1 ? kVegaRev1Records : kVegaRev0Records;
    }
    case TableFamily::Unsupported: break;
  }
  return std::nullopt;
}

struct SubTable {
  const char* name;
  size_t position;
  size_t recordSize;
};

// A sub-table must start after the header (so that patching it can never touch the size
// field or the limits) and hold all of its records inside the table.
std::string SubTableDamage(std::span<const uint8_t> table, size_t headerSize, const SubTable& sub,
                           uint32_t& count) {
  const std::string name = sub.name;
  if (sub.position < headerSize) return "the " + name + " lies inside the table's header";
  const auto counted = Byte(table, sub.position + 1);
  if (!counted) return "the " + name + " lies outside the table";
  count = *counted;
  if (!FieldInside(table.size(), sub.position + 2, count * sub.recordSize))
    return "the records of the " + name + " reach outside the table";
  return {};
}

// Sub-tables that share bytes would have one edited value written over another.
std::string OverlapDamage(const std::array<SubTable, 3>& subs, const std::array<uint32_t, 3>& counts) {
  for (size_t a = 0; a < subs.size(); ++a) {
    for (size_t b = a + 1; b < subs.size(); ++b) {
      const size_t endA = subs[a].position + 2 + counts[a] * subs[a].recordSize;
      const size_t endB = subs[b].position + 2 + counts[b] * subs[b].recordSize;
      if (subs[a].position < endB && subs[b].position < endA)
        return std::string("the ") + subs[a].name + " and the " + subs[b].name + " overlap";
    }
  }
  return {};
}

std::string VoltageIndexDamage(std::span<const uint8_t> table, const char* kind, size_t tablePos, size_t recordSize,
                               size_t indexPos, uint32_t count, uint32_t voltageCount) {
  for (uint32_t i = 0; i < count; ++i) {
    const uint32_t index = *Byte(table, tablePos + 2 + indexPos + i * recordSize);
    if (index >= voltageCount)
      return std::string(kind) + " state " + std::to_string(i) + " uses voltage record " + std::to_string(index) +
             ", which the voltage table does not hold";
  }
  return {};
}

// Fills the layout and returns why the table cannot be edited safely (empty when it can).
std::string FillLayout(TableFamily family, std::span<const uint8_t> table, pConst& layout) {
  if (family == TableFamily::Unsupported) return "the table is not supported";
  const HeaderLayout& header = HeaderFor(family);
  if (table.size() < header.headerSize) return "the table is shorter than its header";
  const size_t memTablePos = *Word(table, header.memTableField);
  const size_t gpuTablePos = *Word(table, header.gpuTableField);
  const size_t voltTablePos = *Word(table, header.voltTableField);
  const auto records = RecordsFor(family, table, gpuTablePos);
  if (!records) return "the GPU clock table lies outside the table or has an unknown revision";

  uint32_t gpuCount = 0, memCount = 0, voltCount = 0;
  const std::array<SubTable, 3> subs = {{{"GPU clock table", gpuTablePos, records->gpuRecordSize},
                                          {"memory clock table", memTablePos, records->memRecordSize},
                                          {"voltage table", voltTablePos, records->voltRecordSize}}};
  std::string damage = SubTableDamage(table, header.headerSize, subs[0], gpuCount);
  if (damage.empty()) damage = SubTableDamage(table, header.headerSize, subs[1], memCount);
  if (damage.empty()) damage = SubTableDamage(table, header.headerSize, subs[2], voltCount);
  if (damage.empty()) damage = OverlapDamage(subs, {gpuCount, memCount, voltCount});
  if (damage.empty())
    damage = VoltageIndexDamage(table, "GPU", gpuTablePos, records->gpuRecordSize, records->gpuVoltIndexPos, gpuCount,
                                voltCount);
  if (damage.empty())
    damage = VoltageIndexDamage(table, "Memory", memTablePos, records->memRecordSize, records->memVoltIndexPos,
                                memCount, voltCount);
  if (!damage.empty()) return damage;

  layout.maxGpuClockPos = header.maxGpuClockPos;
  layout.maxMemClockPos = header.maxMemClockPos;
  layout.powerLimitPos = header.powerLimitPos;
  layout.memTablePos = static_cast<uint16_t>(memTablePos);
  layout.gpuTablePos = static_cast<uint16_t>(gpuTablePos);
  layout.gpuVoltTablePos = static_cast<uint16_t>(voltTablePos);
  layout.memVoltTablePos = static_cast<uint16_t>(voltTablePos);
  layout.gpuRecordSize = records->gpuRecordSize;
  layout.gpuVoltIndexPos = records->gpuVoltIndexPos;
  layout.gpuClockPos = records->gpuClockPos;
  layout.memRecordSize = records->memRecordSize;
  layout.memVoltIndexPos = records->memVoltIndexPos;
  layout.memClockPos = records->memClockPos;
  layout.voltRecordSize = records->voltRecordSize;
  layout.countPos = 1;
  layout.firstEntryPos = 2;
  layout.voltValuePos = 0;
  layout.gpuStateCount = static_cast<uint8_t>(gpuCount);
  layout.memStateCount = static_cast<uint8_t>(memCount);
  return {};
}

}  // namespace

TableCheck CheckTable(std::span<const uint8_t> table) {
  TableCheck check = Recognise(table);
  if (check.family == TableFamily::Unsupported) return check;
  pConst layout;
  std::string damage = FillLayout(check.family, table, layout);
  if (!damage.empty()) return Damaged(std::move(damage));
  return check;
}

TableFamily IdentifyTable(std::span<const uint8_t> table) { return CheckTable(table).family; }

bool SetLayout(TableFamily family, std::span<const uint8_t> table, pConst& layout) {
  pConst filled = layout;
  if (!FillLayout(family, table, filled).empty()) return false;
  layout = std::move(filled);
  return true;
}

}  // namespace tw
