#include "app/snapshot_text.h"

#include <cstdio>
#include <cstdlib>

namespace tw {
namespace {

std::string S(int32_t value) { return std::to_string(value); }

// 10 kHz as MHz with two decimals where needed, the way a scenario writes clocks.
std::string MHz(int32_t tenKHz) {
  const long long magnitude = std::llabs(static_cast<long long>(tenKHz));
  std::string text = (tenKHz < 0 ? "-" : "") + std::to_string(magnitude / 100);
  if (magnitude % 100 == 0) return text;
  char hundredths[4];
  std::snprintf(hundredths, sizeof hundredths, "%02lld", magnitude % 100);
  return text + "." + hundredths;
}

std::string Hex(int32_t value) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02X", static_cast<unsigned>(value & 0xFF));
  return text;
}

// "MIN..MAX step N default N", marked as_read when a driver's numbers would fail the
// simulator's checks, so that the snapshot still loads.
std::string RangeText(int32_t min, int32_t max, int32_t step, int32_t def, bool clock = false) {
  const auto number = [clock](int32_t v) { return clock ? MHz(v) : S(v); };
  std::string text = number(min) + ".." + number(max) + " step " + number(step) + " default " + number(def);
  if (min > max || step < 1 || def < min || def > max) text += " as_read";
  return text;
}

std::string RangeText(const adl::ADLODNParameterRange& range, bool clock = false) {
  return RangeText(range.iMin, range.iMax, range.iStep, range.iDefault, clock);
}

std::string LevelsText(std::vector<adl::ADLODNPerformanceLevelX2> levels, size_t keep) {
  // Empty levels at the end are what the simulator reports beyond a card's own ones.
  while (levels.size() > keep && levels.back().iClock == 0 && levels.back().iVddc == 0 && levels.back().iEnabled == 0)
    levels.pop_back();
  std::string text;
  for (const adl::ADLODNPerformanceLevelX2& level : levels)
    text += (text.empty() ? "" : ", ") + MHz(level.iClock) + "/" + S(level.iVddc) + "/" + (level.iEnabled ? "1" : "0");
  return text;
}

std::string Joined(const std::vector<int32_t>& values, const char* separator) {
  std::string text;
  for (size_t i = 0; i < values.size(); ++i) text += (i ? separator : "") + S(values[i]);
  return text;
}

class CardWriter {
 public:
  explicit CardWriter(std::string& out) : out_(out) {}

  void Key(const std::string& key, const std::string& value) { out_ += prefix_ + key + " = " + value + "\n"; }

  void Write(const CardSnapshot& card, size_t number) {
    if (card.failure) {
      const ReadFailure& f = *card.failure;
      out_ += "; [card " + std::to_string(number) + "] could not be read: " + f.call + " failed";
      if (f.result != 0) out_ += " (" + S(f.result) + ")";
      if (!f.note.empty()) out_ += ": " + f.note;
      out_ += ". What was read:\n";
      prefix_ = "; ";
    } else {
      out_ += "[card " + std::to_string(number) + "]\n";
    }
    Identity(card.adapters);
    if (!card.failure) Tuning(card);
    prefix_.clear();
    out_ += "\n";
  }

 private:
  void Identity(const AdapterRun& a) {
    Key("preset", "none");
    Key("name", a.name);
    Key("vendor", S(a.vendorId));
    Key("bus", S(a.bus));
    Key("device", S(a.device));
    Key("function", S(a.function));
    Key("adapters", std::to_string(a.adapterIndexes.size()));
    Key("pnp", a.pnpString);
    Key("registry_key", a.registryKey);
  }

  void Tuning(const CardSnapshot& card) {
    if (card.overdriveN) OverdriveN(*card.overdriveN);
    else if (card.overdrive8) Overdrive8(*card.overdrive8);
    else Key("overdrive", "none");
    if (card.adapters.vendorId == 1002) {
      Key("power_efficiency", card.powerEfficiency ? S(*card.powerEfficiency) : "none");
      Key("chill", card.chill ? S(*card.chill) : "none");
      Key("fan_test", "none");
    }
    if (card.regulator) Regulator(*card.regulator);
  }

  void OverdriveN(const OverdriveNSnapshot& odn) {
    const adl::ADLODNCapabilitiesX2& caps = odn.caps;
    Key("overdrive", "N");
    Key("levels", S(caps.iMaximumNumberOfPerformanceLevels));
    Key("gpu_levels", LevelsText(odn.gpuLevels, 1));
    Key("mem_levels", LevelsText(odn.memLevels, 0));
    Key("gpu_clock_range", RangeText(caps.sEngineClockRange, true));
    Key("mem_clock_range", RangeText(caps.sMemoryClockRange, true));
    Key("vddc_range", RangeText(caps.svddcRange));
    Key("power_range", RangeText(caps.power));
    Key("power_temperature_range", RangeText(caps.powerTuneTemperature));
    Key("fan_temperature_range", RangeText(caps.fanTemperature));
    Key("fan_speed_range", RangeText(caps.fanSpeed));
    Key("acoustic_range", RangeText(caps.minimumPerformanceClock));
    Key("odn_flags", S(caps.iFlags));
    Key("fan_min_rpm", S(odn.fan.iMinFanLimit));
    Key("ext_caps", S(odn.extCaps));
    Key("ext_count", std::to_string(odn.extRanges.size()));
    for (size_t i = 0; i < odn.extRanges.size(); ++i) {
      const adl::ADLODNExtSingleInitSetting& r = odn.extRanges[i];
      Key("ext." + std::to_string(i), RangeText(r.minValue, r.maxValue, r.step, r.defaultValue));
    }
    Key("state.fan", Joined({odn.fan.iTargetFanSpeed, odn.fan.iTargetTemperature, odn.fan.iMinPerformanceClock,
                             odn.fan.iMinFanLimit}, " "));
    Key("state.power", S(odn.power.iTDPLimit) + " " + S(odn.power.iMaxOperatingTemperature));
    Key("state.ext", Joined(odn.extValues, " "));
  }

  void Overdrive8(const Overdrive8Snapshot& od8) {
    Key("overdrive", "8");
    Key("od8_caps", S(od8.caps));
    std::vector<int32_t> features;
    for (const adl::ADLOD8SingleInitSetting& init : od8.init) features.push_back(init.featureID);
    Key("od8_features", Joined(features, ", "));
    for (size_t i = 0; i < od8.init.size(); ++i) {
      const adl::ADLOD8SingleInitSetting& r = od8.init[i];
      Key("od8." + std::to_string(i), RangeText(r.minValue, r.maxValue, 1, r.defaultValue));
    }
    Key("state.od8", Joined(od8.current, " "));
  }

  void Regulator(const RegulatorSnapshot& regulator) {
    Key("i2c", regulator.model + " " + S(regulator.line) + " " + Hex(regulator.address));
    std::string registers;
    for (const auto& [reg, value] : regulator.registers)
      registers += (registers.empty() ? "" : " ") + Hex(reg) + ":" + Hex(value);
    Key("i2c_registers.0", registers);
  }

  std::string& out_;
  std::string prefix_;
};

}  // namespace

std::string FormatSnapshot(const SnapshotHeader& header, const std::vector<CardSnapshot>& cards) {
  std::string out;
  out += "; Tunewright " + header.programVersion + ": a snapshot of the display driver's adapters and cards,\n";
  out += "; taken " + header.takenAt + ".\n";
  out += "; Driver library: " + header.libraryFileName + ", " +
         (header.libraryVersion.empty() ? std::string("no file version reported") : "file version " + header.libraryVersion) +
         ".\n";
  out += "; It holds no personal data beyond device ids and names: adapter names, PCI locations,\n";
  out += "; PnP device ids and the driver's registry keys of the cards.\n";
  out += "; Replay: ADLSIM_SCENARIO=<this file> tunewright -consoleonly -getcurrent\n";
  out += "; Which fan-test interface a card answers shows only when a fan speed is set: fan_test is none.\n\n";
  if (!header.libraryLacks.empty()) {
    out += "[machine]\nlibrary_lacks = ";
    for (size_t i = 0; i < header.libraryLacks.size(); ++i) out += (i ? ", " : "") + header.libraryLacks[i];
    out += "\n\n";
  }
  CardWriter writer(out);
  for (size_t i = 0; i < cards.size(); ++i) writer.Write(cards[i], i);
  return out;
}

}  // namespace tw
