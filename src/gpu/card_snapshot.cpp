#include "gpu/card_snapshot.h"

#include "gpu/adapter_text.h"
#include "gpu/driver_connection.h"
#include "gpu/driver_list.h"
#include "gpu/gpu_list_builder.h"
#include "gpu/performance_levels.h"

namespace tw {

const std::vector<std::string> kSnapshotExtraEntryPoints = {
    "ADL2_Overdrive5_FanSpeed_Set", "ADL2_Overdrive5_FanSpeedToDefault_Set", "ADL2_Overdrive6_FanSpeed_Set",
    "ADL2_Overdrive6_FanSpeed_Reset", "ADL2_PPW_Status_Get", "ADL2_PPW_Status_Set", "ADL2_Chill_Settings_Get",
    "ADL2_Chill_Settings_Set"};

namespace {

// A scenario holds no more than these; a card claiming more cannot be replayed.
constexpr int kMaxScenarioLevels = 16;
constexpr int kMaxScenarioExtSettings = 32;

AdapterRun RunOf(const adl::AdapterInfo& adapter, AnsiCodePage& ansi) {
  AdapterRun run;
  run.adapterIndexes = {adapter.iAdapterIndex};
  run.name = AdapterText(adapter.strAdapterName, ansi);
  run.pnpString = AdapterText(adapter.strPNPString, ansi);
  run.registryKey = AdapterText(adapter.strDriverPath, ansi);
  run.vendorId = adapter.iVendorID;
  run.bus = adapter.iBusNumber;
  run.device = adapter.iDeviceNumber;
  run.function = adapter.iFunctionNumber;
  return run;
}

bool SameCard(const AdapterRun& a, const AdapterRun& b) {
  return a.name == b.name && a.pnpString == b.pnpString && a.registryKey == b.registryKey &&
         a.vendorId == b.vendorId && a.bus == b.bus && a.device == b.device && a.function == b.function;
}

class CardReader {
 public:
  CardReader(DriverConnection& connection, CardSnapshot& card)
      : c_(connection), api_(connection.api()), adapter_(card.adapters.firstAdapter()), card_(card) {}

  void Read() {
    if (card_.adapters.vendorId != kAmdVendorId) return;  // discovery asks another vendor's card nothing
    if (!ReadOverdriveN() || card_.failure) return;
    if (!card_.overdriveN && !ReadOverdrive8()) return;
    card_.powerEfficiency = ReadFeature("ADL2_PPW_Status_Get");
    card_.chill = ReadFeature("ADL2_Chill_Settings_Get");
  }

 private:
  bool Fail(const char* call, int result, std::string note = {}) {
    card_.failure = ReadFailure{call, result, std::move(note)};
    return false;
  }

  bool ReadLevels(bool gpu, int count, std::vector<adl::ADLODNPerformanceLevelX2>& out) {
    std::optional<PerformanceLevelsBuffer> levels = PerformanceLevelsBuffer::Create(count);
    const char* name = gpu ? "ADL2_OverdriveN_SystemClocksX2_Get" : "ADL2_OverdriveN_MemoryClocksX2_Get";
    const auto get = gpu ? api_.OverdriveN_SystemClocksX2_Get : api_.OverdriveN_MemoryClocksX2_Get;
    const int result = get(c_.context(), adapter_, levels->record());
    if (result != adl::kOk) return Fail(name, result);
    for (int i = 0; i < levels->levelCount(); ++i) out.push_back(levels->level(i));
    return true;
  }

  bool ReadExt(OverdriveNSnapshot& odn) {
    int count = adl::kOdnExtCount;
    DriverList<adl::ADLODNExtSingleInitSetting> ranges;
    DriverList<int> values;
    const int result = api_.OverdriveN_SettingsExt_Get(c_.context(), adapter_, &odn.extCaps, &count, ranges.out(),
                                                       values.out());
    if (result != adl::kOk) return Fail("ADL2_OverdriveN_SettingsExt_Get", result);
    if (count < 0 || count > kMaxScenarioExtSettings || (count > 0 && (!ranges || !values)))
      return Fail("ADL2_OverdriveN_SettingsExt_Get", result, std::to_string(count) + " settings" + (ranges ? "" : ", no list"));
    odn.extRanges.assign(ranges.get(), ranges.get() + count);
    odn.extValues.assign(values.get(), values.get() + count);
    return true;
  }

  // False only on a failed read; a card without OverdriveN is no failure.
  bool ReadOverdriveN() {
    OverdriveNSnapshot odn;
    if (api_.OverdriveN_CapabilitiesX2_Get(c_.context(), adapter_, &odn.caps) != adl::kOk) return true;
    const int levels = odn.caps.iMaximumNumberOfPerformanceLevels;
    if (levels < 1) return true;
    if (levels > kMaxScenarioLevels)
      return Fail("ADL2_OverdriveN_CapabilitiesX2_Get", adl::kOk, std::to_string(levels) + " performance levels");
    if (!ReadLevels(true, levels, odn.gpuLevels) || !ReadLevels(false, levels, odn.memLevels)) return false;
    int result = api_.OverdriveN_FanControl_Get(c_.context(), adapter_, &odn.fan);
    if (result != adl::kOk) return Fail("ADL2_OverdriveN_FanControl_Get", result);
    if (!ReadExt(odn)) return false;
    result = api_.OverdriveN_PowerLimit_Get(c_.context(), adapter_, &odn.power);
    if (result != adl::kOk) return Fail("ADL2_OverdriveN_PowerLimit_Get", result);
    card_.overdriveN = std::move(odn);
    return true;
  }

  bool ReadOverdrive8() {
    int supported = 0, enabled = 0, version = 0;
    if (api_.Overdrive_Caps(c_.context(), adapter_, &supported, &enabled, &version) != adl::kOk ||
        version != adl::kOverdrive8)
      return true;
    Overdrive8Snapshot od8;
    int count = adl::kOd8Count;
    {
      DriverList<adl::ADLOD8SingleInitSetting> init;
      const int result = api_.Overdrive8_Init_SettingX2_Get(c_.context(), adapter_, &od8.caps, &count, init.out());
      if (result != adl::kOk) return Fail("ADL2_Overdrive8_Init_SettingX2_Get", result);
      if (!init || count < adl::kOd8Count)
        return Fail("ADL2_Overdrive8_Init_SettingX2_Get", result, std::to_string(count) + " settings");
      od8.init.assign(init.get(), init.get() + adl::kOd8Count);
    }
    count = adl::kOd8Count;
    DriverList<int> current;
    const int result = api_.Overdrive8_Current_SettingX2_Get(c_.context(), adapter_, &count, current.out());
    if (result != adl::kOk) return Fail("ADL2_Overdrive8_Current_SettingX2_Get", result);
    if (!current || count < adl::kOd8Count)
      return Fail("ADL2_Overdrive8_Current_SettingX2_Get", result, std::to_string(count) + " settings");
    od8.current.assign(current.get(), current.get() + adl::kOd8Count);
    card_.overdrive8 = std::move(od8);
    return true;
  }

  // Any refusal reads as a card without the feature, which is how the program treats it.
  std::optional<int32_t> ReadFeature(const char* getName) {
    const auto get = c_.ResolveExtraAs<adl::Feature_Status_Get>(getName);
    int state = 0;
    if (!get || get(c_.context(), adapter_, &state) != adl::kOk || state < 0) return std::nullopt;
    return state;
  }

  DriverConnection& c_;
  const DriverEntryPoints& api_;
  int adapter_;
  CardSnapshot& card_;
};

}  // namespace

std::vector<AdapterRun> GroupAdapterRuns(const std::vector<adl::AdapterInfo>& adapters, AnsiCodePage& ansi) {
  std::vector<AdapterRun> runs;
  for (const adl::AdapterInfo& adapter : adapters) {
    AdapterRun run = RunOf(adapter, ansi);
    // Only the next index continues a run: the simulator numbers a card's adapters in a row.
    if (!runs.empty() && SameCard(runs.back(), run) && runs.back().adapterIndexes.back() + 1 == adapter.iAdapterIndex)
      runs.back().adapterIndexes.push_back(adapter.iAdapterIndex);
    else
      runs.push_back(std::move(run));
  }
  return runs;
}

CardSnapshot ReadCardSnapshot(DriverConnection& connection, const AdapterRun& adapters) {
  CardSnapshot card;
  card.adapters = adapters;
  CardReader(connection, card).Read();
  return card;
}

}  // namespace tw
