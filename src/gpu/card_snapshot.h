#pragma once
// Everything the driver tells about the machine's adapters and cards, as raw as it comes,
// for a snapshot that the simulator can replay. Reading only: no set, no reset, no write.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "gpu/adl_abi.h"

namespace tw {

class AnsiCodePage;
class DriverConnection;

// Consecutive adapters that the driver reports with the same identity: one card of a
// scenario.
struct AdapterRun {
  std::vector<int32_t> adapterIndexes;
  std::string name;
  std::string pnpString;
  std::string registryKey;
  int32_t vendorId = 0;
  int32_t bus = 0;
  int32_t device = 0;
  int32_t function = 0;
  int32_t firstAdapter() const { return adapterIndexes.front(); }
};

struct OverdriveNSnapshot {
  adl::ADLODNCapabilitiesX2 caps{};
  std::vector<adl::ADLODNPerformanceLevelX2> gpuLevels;  // caps' level count each
  std::vector<adl::ADLODNPerformanceLevelX2> memLevels;
  adl::ADLODNFanControl fan{};
  adl::ADLODNPowerLimitSetting power{};
  int32_t extCaps = 0;
  std::vector<adl::ADLODNExtSingleInitSetting> extRanges;
  std::vector<int32_t> extValues;
};

struct Overdrive8Snapshot {
  int32_t caps = 0;
  std::vector<adl::ADLOD8SingleInitSetting> init;  // kOd8Count entries
  std::vector<int32_t> current;                    // kOd8Count entries
};

struct RegulatorSnapshot {
  std::string model;
  int32_t line = 0;
  int32_t address = 0;
  std::vector<std::pair<uint8_t, uint8_t>> registers;  // register, value
};

// The driver call that failed, and its answer.
struct ReadFailure {
  std::string call;
  int32_t result = 0;
  std::string note;  // why the answer could not be used, when it was a success
};

struct CardSnapshot {
  AdapterRun adapters;
  std::optional<OverdriveNSnapshot> overdriveN;
  std::optional<Overdrive8Snapshot> overdrive8;
  std::optional<int32_t> powerEfficiency;  // nullopt: the card does not answer for it
  std::optional<int32_t> chill;
  std::optional<RegulatorSnapshot> regulator;
  std::optional<ReadFailure> failure;  // set: the card could not be read whole
};

// The entry points beyond the 21 every connection needs that the snapshot looks for.
extern const std::vector<std::string> kSnapshotExtraEntryPoints;

// Groups the adapters into runs, in the driver's order.
std::vector<AdapterRun> GroupAdapterRuns(const std::vector<adl::AdapterInfo>& adapters, AnsiCodePage& ansi);

// Reads one card through the first adapter of its run, the way discovery and the
// current-values report read it. Another vendor's card is not asked anything.
CardSnapshot ReadCardSnapshot(DriverConnection& connection, const AdapterRun& adapters);

}  // namespace tw
