#pragma once
// A programmable, in-memory display driver library. It exports every entry point of
// gpu/adl_abi.h with the real types and calling conventions; Install() registers them in a
// FakeLibraryLoader under a library file name, so the program loads it as it would load
// the driver's. Lists are allocated through the callback given to ADL2_Main_Control_Create,
// as the real library does.
//
// One FakeAdl is current at a time (the entry points are plain C functions): the newest
// living instance.

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "fakes/fake_platform.h"
#include "gpu/adl_abi.h"

namespace tw::test {

// What the driver holds for one adapter index.
struct FakeAdlCard {
  int overdriveVersion = 0;  // what ADL2_Overdrive_Caps reports: 7, 8, or 0 for none
  // OverdriveN. A card without capabilities answers -8 to every OverdriveN call.
  bool hasOverdriveN = false;
  adl::ADLODNCapabilitiesX2 caps{};
  std::vector<adl::ADLODNPerformanceLevelX2> gpuLevels;
  std::vector<adl::ADLODNPerformanceLevelX2> memLevels;
  adl::ADLODNFanControl fan{};
  adl::ADLODNPowerLimitSetting power{};
  int extCaps = 0;
  std::array<adl::ADLODNExtSingleInitSetting, adl::kOdnExtCount> extRanges{};
  std::array<int, adl::kOdnExtCount> extValues{};
  // Overdrive8. A card without it answers -8 to the Overdrive8 calls.
  bool hasOverdrive8 = false;
  int od8Caps = 0;
  std::array<adl::ADLOD8SingleInitSetting, adl::kOd8Count> od8Init{};
  std::array<int, adl::kOd8Count> od8Values{};
  // What a set with mode 1 (defaults) returns to; AddOverdriveNCard fills them with the
  // values it starts the card with.
  std::vector<adl::ADLODNPerformanceLevelX2> defaultGpuLevels;
  std::vector<adl::ADLODNPerformanceLevelX2> defaultMemLevels;
  adl::ADLODNFanControl defaultFan{};
  adl::ADLODNPowerLimitSetting defaultPower{};
  // OverdriveN sets of values outside `caps` answer -1 and change nothing, as the driver.
  bool rejectOutOfRange = true;
  // Called after every OverdriveN or Overdrive8 set the card took, before the Overdrive8
  // result is reported: lets a test make the card hold something else than was sent.
  std::function<void(FakeAdlCard&)> afterSet;
  // Fan test and power features.
  int ppw = 0;
  int chill = 0;
  // I2C devices: (line, 8-bit address) -> register file. A transfer to a location without
  // a device fails, as on a real bus.
  std::map<std::pair<int, int>, std::map<int, uint8_t>> i2cDevices;
  // Transfers to (line, 8-bit address, register, action) answer this result and change
  // nothing.
  std::map<std::tuple<int, int, int, int>, int> i2cFaults;

  // The register file of the device at a 7-bit address (created when missing).
  std::map<int, uint8_t>& I2cDevice(int line, int address7) { return i2cDevices[{line, address7 * 2}]; }
};

// One ADL2_Display_WriteAndReadI2C call as the driver saw it.
struct FakeI2cTransfer {
  int adapter = 0;
  int size = 0;  // the record's size field
  int line = 0;
  int address = 0;  // as sent: the 7-bit address shifted left by one
  int reg = 0;
  int action = 0;
  int speed = 0;
  int dataSize = 0;
  std::vector<uint8_t> data;  // written, or read back
  int result = 0;

  bool IsWrite() const { return action == adl::kI2cActionWrite; }
};

class FakeAdl {
 public:
  FakeAdl();
  ~FakeAdl();
  FakeAdl(const FakeAdl&) = delete;
  FakeAdl& operator=(const FakeAdl&) = delete;

  // ---- The machine ----
  std::vector<adl::AdapterInfo> adapters;
  std::optional<int> adapterCount;   // what NumberOfAdapters_Get reports; adapters.size() when unset
  std::map<int, FakeAdlCard> cards;  // by adapter index

  // Adds an adapter with terminated texts; vendor 1002 is AMD.
  adl::AdapterInfo& AddAdapter(int adapterIndex, int bus, int device, int function, const std::string& name,
                               int vendorId = 1002, const std::string& pnp = "",
                               const std::string& driverPath = "");
  // A Polaris-like card: 8 GPU and 3 memory levels, ranges, fan, power, extended settings.
  FakeAdlCard& AddOverdriveNCard(int adapterIndex);
  // A Navi-like card: the 29 ranges and values.
  FakeAdlCard& AddOverdrive8Card(int adapterIndex);

  // ---- Faults ----
  // The entry point answers `result` from its `fromCall`-th call on (counted from 1),
  // without doing anything else; for `times` calls when given, for good otherwise.
  void Fail(const std::string& entryPoint, int result, int fromCall = 1, int times = -1);
  int createResult = adl::kOk;            // ADL2_Main_Control_Create
  std::set<std::string> nullLists;        // list calls that succeed without a list
  std::map<std::string, int> returnedCounts;  // count the list calls write back (default: the count asked)
  bool listsOnFailure = false;            // failing list calls still hand out their lists

  // ---- What the program did ----
  // Every set record that reached a card, as the program built it, in call order (calls
  // forced to fail by Fail() never reach a card).
  struct ClockSet {
    bool memory = false;
    int adapter = 0;
    int size = 0;
    int mode = 0;
    int count = 0;
    std::vector<adl::ADLODNPerformanceLevelX2> levels;
  };
  struct ExtSet {
    int count = 0;
    std::vector<int> valid;
    std::vector<int> values;
  };
  std::vector<ClockSet> clockSets;
  std::vector<adl::ADLODNFanControl> fanSets;
  std::vector<adl::ADLODNPowerLimitSetting> powerSets;
  std::vector<ExtSet> extSets;
  std::vector<adl::ADLOD8SetSetting> od8Sets;
  std::vector<adl::ADLFanSpeedValue> od5FanSets;
  std::vector<adl::ADLOD6FanSpeedValue> od6FanSets;

  std::vector<std::string> log;  // "ADL2_Name(arguments) -> result", one per call
  int Calls(const std::string& entryPoint) const;
  // Forgets the calls made so far (log, counts, set records): what a test looks at starts
  // here, and Fail()'s call numbers count from here. Context creation and destruction keep
  // their counts, which the leak checks compare with contextsCreated.
  void ForgetCalls();
  int contextsCreated = 0;
  int contextsDestroyed = 0;
  int LiveContexts() const { return contextsCreated - contextsDestroyed; }
  // Log lines that begin with the name, in order.
  std::vector<std::string> LogOf(const std::string& entryPoint) const;
  // Every I2C transfer in order, and the writes among them.
  std::vector<FakeI2cTransfer> i2cTransfers;
  std::vector<FakeI2cTransfer> I2cWrites() const;

  // ---- Registration ----
  // Every entry point by name (the 21, the fan test and the power features).
  static std::map<std::string, void*> EntryPoints();
  // Registers the library under fileName, leaving out the names in `without`.
  static void Install(FakeLibraryLoader& loader, const std::string& fileName = "atiadlxx.dll",
                      const std::set<std::string>& without = {});

  // ---- Used by the entry points ----
  static FakeAdl& Current();
  // Counts the call; returns the forced result when a fault applies.
  std::optional<int> Enter(const std::string& entryPoint);
  int Leave(const std::string& call, int result);  // logs and returns result
  bool ValidContext(adl::Context context) const;
  FakeAdlCard* Card(int adapterIndex);
  void* Allocate(size_t bytes);
  adl::Context CreateContext(adl::MallocCallback callback);
  bool DestroyContext(adl::Context context);
  int ListCount(const std::string& entryPoint, int asked) const;

 private:
  struct Fault {
    int result;
    int fromCall;
    int times;
  };
  std::map<std::string, Fault> faults_;
  std::map<std::string, int> calls_;
  std::set<adl::Context> liveContexts_;
  adl::MallocCallback alloc_ = nullptr;
  FakeAdl* previous_;
};

}  // namespace tw::test
