#include "powerplay/table_builder.h"

namespace tw::test {
namespace {

struct FamilyShape {
  size_t headerSize;
  uint8_t revision;
  size_t maxGpu, maxMem, power, memField, gpuField, voltField;
  size_t gpuRecord, gpuVoltIndex, gpuClock, memRecord, memVoltIndex, memClock, voltRecord;
};

FamilyShape ShapeOf(const TableSpec& tableSpec) {
  switch (tableSpec.family) {
    case TableFamily::Fiji: return {0x4D, 7, 23, 27, 31, 43, 45, 47, 11, 0, 3, 13, 0, 7, 8};
    case TableFamily::Vega:
      return {0x5C, 8, 21, 25, 29, 56, 58, 62, tableSpec.vegaGpuRevision == 1 ? 13u : 9u, 4, 0, 7, 4, 0, 2};
    default: return {0x4D, 7, 23, 27, 31, 43, 45, 47, 15, 0, 3, 13, 0, 7, 8};
  }
}

uint8_t Filler(size_t position) { return static_cast<uint8_t>(position * 37 + 11); }

void Fill(PowerPlayTable& table, size_t from, size_t count) {
  for (size_t i = from; i < from + count; ++i) table[i] = Filler(i);
}

}  // namespace

void Put16(PowerPlayTable& table, size_t position, uint32_t value) {
  table[position] = static_cast<uint8_t>(value);
  table[position + 1] = static_cast<uint8_t>(value >> 8);
}

void Put32(PowerPlayTable& table, size_t position, uint32_t value) {
  Put16(table, position, value & 0xFFFF);
  Put16(table, position + 2, value >> 16);
}

uint32_t Get16(const PowerPlayTable& table, size_t position) {
  return table.at(position) | (static_cast<uint32_t>(table.at(position + 1)) << 8);
}

uint32_t Get32(const PowerPlayTable& table, size_t position) {
  return Get16(table, position) | (Get16(table, position + 2) << 16);
}

BuiltTable BuildTable(const TableSpec& tableSpec) {
  const FamilyShape shape = ShapeOf(tableSpec);
  const bool vega = tableSpec.family == TableFamily::Vega;
  BuiltTable built;
  built.headerSize = shape.headerSize;
  built.gpuRecordSize = shape.gpuRecord;
  built.memRecordSize = shape.memRecord;
  built.voltRecordSize = shape.voltRecord;
  built.gpuClockPos = shape.gpuClock;
  built.gpuVoltIndexPos = shape.gpuVoltIndex;
  built.memClockPos = shape.memClock;
  built.memVoltIndexPos = shape.memVoltIndex;
  built.gpuTableField = shape.gpuField;
  built.memTableField = shape.memField;
  built.voltTableField = shape.voltField;
  built.maxGpuClockField = shape.maxGpu;
  built.maxMemClockField = shape.maxMem;
  built.powerLimitField = shape.power;

  constexpr size_t kFanTableSize = 20;
  size_t position = shape.headerSize;
  if (!vega) {
    built.fanTablePos = position;
    position += kFanTableSize;
  }
  built.memTablePos = position;
  position += 2 + tableSpec.mem.size() * shape.memRecord;
  built.gpuTablePos = position;
  position += 2 + tableSpec.gpu.size() * shape.gpuRecord;
  built.voltTablePos = position;
  position += 2 + tableSpec.voltages.size() * shape.voltRecord;
  const size_t size = position + tableSpec.trailingBytes;

  PowerPlayTable& t = built.bytes;
  t.resize(size);
  Fill(t, 0, size);
  Put16(t, 0, static_cast<uint32_t>(size));
  t[2] = shape.revision;
  Put16(t, 5, static_cast<uint32_t>(shape.headerSize));
  Put32(t, shape.maxGpu, tableSpec.maxGpuClock);
  Put32(t, shape.maxMem, tableSpec.maxMemClock);
  Put16(t, shape.power, tableSpec.powerLimit);
  Put16(t, shape.memField, static_cast<uint32_t>(built.memTablePos));
  Put16(t, shape.gpuField, static_cast<uint32_t>(built.gpuTablePos));
  Put16(t, shape.voltField, static_cast<uint32_t>(built.voltTablePos));

  if (!vega) {
    Put16(t, 37, static_cast<uint32_t>(built.fanTablePos));
    t[built.fanTablePos] = tableSpec.fanRevision.value_or(tableSpec.family == TableFamily::Fiji ? 8 : 9);
  }
  const uint8_t gpuRevision = vega ? static_cast<uint8_t>(tableSpec.vegaGpuRevision)
                                   : (tableSpec.family == TableFamily::Fiji ? 0 : 1);
  t[built.gpuTablePos] = tableSpec.gpuRevision.value_or(gpuRevision);
  t[built.gpuTablePos + 1] = static_cast<uint8_t>(tableSpec.gpu.size());
  for (size_t i = 0; i < tableSpec.gpu.size(); ++i) {
    const size_t record = built.gpuTablePos + 2 + i * shape.gpuRecord;
    Put32(t, record + shape.gpuClock, tableSpec.gpu[i].clock);
    t[record + shape.gpuVoltIndex] = tableSpec.gpu[i].voltageIndex;
  }
  t[built.memTablePos] = 1;
  t[built.memTablePos + 1] = static_cast<uint8_t>(tableSpec.mem.size());
  for (size_t i = 0; i < tableSpec.mem.size(); ++i) {
    const size_t record = built.memTablePos + 2 + i * shape.memRecord;
    Put32(t, record + shape.memClock, tableSpec.mem[i].clock);
    t[record + shape.memVoltIndex] = tableSpec.mem[i].voltageIndex;
  }
  t[built.voltTablePos] = 1;
  t[built.voltTablePos + 1] = static_cast<uint8_t>(tableSpec.voltages.size());
  for (size_t i = 0; i < tableSpec.voltages.size(); ++i) Put16(t, built.VoltageAt(i), tableSpec.voltages[i]);
  return built;
}

std::vector<size_t> Differences(const PowerPlayTable& a, const PowerPlayTable& b) {
  std::vector<size_t> positions;
  for (size_t i = 0; i < std::max(a.size(), b.size()); ++i)
    if (i >= a.size() || i >= b.size() || a[i] != b[i]) positions.push_back(i);
  return positions;
}

std::string BuildBiosImage(const PowerPlayTable& table, size_t blocks, size_t tablePos) {
  constexpr size_t kRomHeader = 0x200;
  constexpr size_t kMasterDataTable = 0x400;
  PowerPlayTable image(blocks * 65536, 0xFF);
  image[0] = 0x55;
  image[1] = 0xAA;
  Put16(image, 0x48, kRomHeader);
  Put16(image, kRomHeader + 0x20, kMasterDataTable);
  Put16(image, kMasterDataTable + 0x22, static_cast<uint32_t>(tablePos));
  std::copy(table.begin(), table.end(), image.begin() + static_cast<std::ptrdiff_t>(tablePos));
  return std::string(image.begin(), image.end());
}

}  // namespace tw::test
