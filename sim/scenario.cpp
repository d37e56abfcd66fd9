#include "scenario.h"

#include <cstdio>
#include <functional>
#include <limits>
#include <map>
#include <stdexcept>

#include "ini.h"
#include "presets.h"
#include "state.h"

namespace adlsim {
namespace {

// A bad value: the message names the key; the reader adds file and section.
struct BadValue : std::runtime_error {
  using std::runtime_error::runtime_error;
};

int ParseInt(const std::string& text) {
  const std::string t = Trim(text);
  if (t.empty()) throw BadValue("empty value where a number belongs");
  size_t used = 0;
  long long value = 0;
  try {
    value = std::stoll(t, &used, 0);
  } catch (const std::exception&) {
    throw BadValue("'" + t + "' is not a number");
  }
  if (used != t.size()) throw BadValue("'" + t + "' is not a number");
  if (value < -2147483648LL || value > 2147483647LL) throw BadValue("'" + t + "' is out of range");
  return static_cast<int>(value);
}

bool ParseBool(const std::string& text) {
  const std::string t = Trim(text);
  if (t == "1" || t == "yes" || t == "on" || t == "true") return true;
  if (t == "0" || t == "no" || t == "off" || t == "false") return false;
  throw BadValue("'" + t + "' is not 1 or 0");
}

// MHz with up to two decimals, to 10 kHz.
int ParseMHz(const std::string& text) {
  const std::string t = Trim(text);
  const size_t dot = t.find('.');
  if (dot == std::string::npos) return ParseInt(t) * 100;
  const std::string fraction = t.substr(dot + 1);
  if (fraction.empty() || fraction.size() > 2 || fraction.find_first_not_of("0123456789") != std::string::npos)
    throw BadValue("'" + t + "' is not MHz with at most two decimals");
  const int whole = ParseInt(t.substr(0, dot));
  const int hundredths = ParseInt(fraction.size() == 1 ? fraction + "0" : fraction);
  return whole * 100 + (t[0] == '-' ? -hundredths : hundredths);
}

// "MIN..MAX [step N] [default N] [as_read]"; clock ranges are MHz with up to two decimals,
// kept in 10 kHz. "as_read" takes the numbers as a driver reported them, unchecked: a
// snapshot of a real card must load even where its driver's ranges make no sense.
Range ParseRange(const std::string& text, const Range& base, bool clock = false) {
  const auto number = [clock](const std::string& word) { return clock ? ParseMHz(word) : ParseInt(word); };
  Range range = base;
  std::vector<std::string> words;
  for (const std::string& w : SplitList(text, ' '))
    if (!w.empty()) words.push_back(w);
  if (words.empty()) throw BadValue("empty range");
  const size_t dots = words[0].find("..");
  if (dots == std::string::npos) throw BadValue("'" + words[0] + "' is not MIN..MAX");
  range.min = number(words[0].substr(0, dots));
  range.max = number(words[0].substr(dots + 2));
  bool checked = true;
  for (size_t i = 1; i < words.size(); i += 2) {
    if (words[i] == "as_read") {
      checked = false;
      --i;
      continue;
    }
    if (i + 1 >= words.size()) throw BadValue("'" + words[i] + "' without a value");
    if (words[i] == "step") {
      range.step = number(words[i + 1]);
    } else if (words[i] == "default") {
      range.def = number(words[i + 1]);
    } else {
      throw BadValue("unknown range word '" + words[i] + "'");
    }
  }
  if (!checked) return range;
  if (range.min > range.max) throw BadValue("minimum above maximum");
  if (range.step < 1) throw BadValue("step below 1");
  if (!range.Contains(range.def)) throw BadValue("default " + std::to_string(range.def) + " outside the range");
  return range;
}

std::vector<Level> ParseLevels(const std::string& text) {
  std::vector<Level> levels;
  for (const std::string& item : SplitList(text, ',')) {
    const std::vector<std::string> parts = SplitList(item, '/');
    if (parts.size() < 2 || parts.size() > 3) throw BadValue("'" + item + "' is not MHz/mV or MHz/mV/enabled");
    Level level{ParseMHz(parts[0]), ParseInt(parts[1]), 1};
    if (parts.size() == 3) level.enabled = ParseBool(parts[2]) ? 1 : 0;
    levels.push_back(level);
  }
  return levels;
}

std::vector<I2cDeviceSpec> ParseI2cDevices(const std::string& text) {
  std::vector<I2cDeviceSpec> devices;
  for (const std::string& item : SplitList(text, ',')) {
    std::vector<std::string> words;
    for (const std::string& w : SplitList(item, ' '))
      if (!w.empty()) words.push_back(w);
    if (words.size() != 3) throw BadValue("'" + item + "' is not MODEL LINE ADDRESS");
    std::optional<I2cDeviceSpec> device = I2cDevicePreset(words[0]);
    if (!device) throw BadValue("unknown I2C device model '" + words[0] + "' (IR3567B, up9505, generic)");
    device->line = ParseInt(words[1]);
    device->address = ParseInt(words[2]);
    if (device->line < 1 || device->line > 8) throw BadValue("I2C line " + words[1] + " outside 1..8");
    if (device->address < 0 || device->address > 127) throw BadValue("I2C address " + words[2] + " outside 0..127");
    devices.push_back(*device);
  }
  return devices;
}

void ParseRegisters(const std::string& text, I2cDeviceSpec& device) {
  for (const std::string& item : SplitList(text, ' ')) {
    if (item.empty()) continue;
    const size_t colon = item.find(':');
    if (colon == std::string::npos) throw BadValue("'" + item + "' is not REGISTER:VALUE");
    const int reg = ParseInt(item.substr(0, colon));
    const int value = ParseInt(item.substr(colon + 1));
    if (reg < 0 || reg > 255 || value < 0 || value > 255) throw BadValue("'" + item + "' is not two bytes");
    device.registers[static_cast<size_t>(reg)] = static_cast<uint8_t>(value);
  }
}

// on, off, none, or the state number a driver reported (0 or more).
int ParseFeature(const std::string& text) {
  const std::string t = Trim(text);
  if (t == "none") return -1;
  if (t == "on") return 1;
  if (t == "off") return 0;
  if (t.empty() || t.find_first_not_of("0123456789") != std::string::npos)
    throw BadValue("'" + t + "' is not on, off, none or a state number");
  return ParseInt(t);
}

std::vector<int> ParseOd8Features(const std::string& text) {
  std::vector<int> features;
  for (const std::string& item : SplitList(text, ',')) features.push_back(ParseInt(item));
  if (features.size() != kOd8Settings) throw BadValue("od8_features needs 29 values, one per setting id");
  return features;
}

// The state keys a scenario may give a card's start value with ("state.fan = ...").
bool IsStartValueKey(const std::string& key) {
  for (const char* name : {"gpu", "mem", "fan", "power", "ext", "od8"})
    if (key == name) return true;
  return false;
}

Fault ParseFault(const std::string& text) {
  std::vector<std::string> words;
  for (const std::string& w : SplitList(text, ' '))
    if (!w.empty()) words.push_back(w);
  if (words.empty()) throw BadValue("empty fault");
  Fault fault;
  if (words[0] == "null_list") {
    fault.kind = FaultKind::NullList;
    fault.result = 0;
  } else if (words[0] == "ignore") {
    fault.kind = FaultKind::Ignore;
    fault.result = 0;
  } else {
    fault.result = ParseInt(words[0]);
  }
  if (words.size() == 3 && words[1] == "from") {
    fault.fromCall = ParseInt(words[2]);
    if (fault.fromCall < 1) throw BadValue("'from' needs a call number of 1 or more");
  } else if (words.size() != 1) {
    throw BadValue("'" + text + "' is not RESULT [from N], null_list or ignore");
  }
  return fault;
}

// A delay in microseconds, from a value in milliseconds (factor 1000) or microseconds (1).
int ParseDelay(const std::string& value, int factor) {
  const int delay = ParseInt(value);
  if (delay < 0) throw BadValue("negative delay");
  if (delay > std::numeric_limits<int>::max() / factor) throw BadValue("delay too long");
  return delay * factor;
}

void ApplyFault(const std::string& key, const std::string& value, Faults& faults) {
  constexpr int kUsPerMs = 1000;
  if (key == "delay_ms") {
    faults.delayUs = ParseDelay(value, kUsPerMs);
  } else if (key == "delay_us") {
    faults.delayUs = ParseDelay(value, 1);
  } else if (key.rfind("delay_ms.", 0) == 0) {
    faults.delayUsByName[key.substr(9)] = ParseDelay(value, kUsPerMs);
  } else if (key.rfind("delay_us.", 0) == 0) {
    faults.delayUsByName[key.substr(9)] = ParseDelay(value, 1);
  } else if (key.rfind("ADL2_", 0) == 0 || key.rfind("adlsim_", 0) == 0) {
    faults.byName[key] = ParseFault(value);
  } else {
    throw BadValue("unknown fault key (ADL2_..., adlsim_..., delay_ms, delay_us, delay_ms.NAME, delay_us.NAME)");
  }
}

class ScenarioReader {
 public:
  ScenarioReader(const std::string& source) : source_(source) {}

  Scenario Read(const IniDocument& document) {
    Scenario scenario;
    scenario.source = source_;
    for (const IniSection& section : document.sections) {
      section_ = section.name.empty() ? "(before any section)" : "[" + section.name + "]";
      if (section.name.empty()) {
        if (!section.entries.empty()) Fail(section.entries[0], "keys belong in a section");
      } else if (section.name == "machine") {
        ReadMachine(section, scenario);
      } else if (section.name == "faults") {
        for (const IniEntry& entry : section.entries) Guard(entry, [&] { ApplyFault(entry.key, entry.value, scenario.faults); });
      } else if (section.name == "card" || section.name.rfind("card ", 0) == 0) {
        ReadCard(section, scenario);
      } else {
        Fail(IniEntry{"", "", section.line}, "unknown section (machine, faults, card NAME)");
      }
    }
    for (size_t c = 0; c < scenario.cards.size(); ++c)
      for (int a = 0; a < scenario.cards[c].adapters; ++a)
        scenario.adapters.push_back({static_cast<int>(scenario.adapters.size()), static_cast<int>(c)});
    return scenario;
  }

 private:
  [[noreturn]] void Fail(const IniEntry& entry, const std::string& problem) {
    std::string where = source_ + ": " + section_;
    if (!entry.key.empty()) where += " key '" + entry.key + "'";
    if (entry.line > 0) where += " (line " + std::to_string(entry.line) + ")";
    throw std::runtime_error(where + ": " + problem);
  }

  void Guard(const IniEntry& entry, const std::function<void()>& action) {
    try {
      action();
    } catch (const BadValue& bad) {
      Fail(entry, bad.what());
    }
  }

  void ReadMachine(const IniSection& section, Scenario& scenario) {
    for (const IniEntry& entry : section.entries) {
      Guard(entry, [&] {
        if (entry.key == "admin") {
          scenario.admin = ParseBool(entry.value);
        } else if (entry.key == "kernel_drivers") {
          scenario.kernelDrivers = SplitList(entry.value, ',');
        } else if (entry.key == "extra_display_devices") {
          scenario.extraDisplayDevices = SplitList(entry.value, ',');
        } else if (entry.key == "library_lacks") {
          scenario.libraryLacks = SplitList(entry.value, ',');
        } else {
          throw BadValue("unknown key (admin, kernel_drivers, extra_display_devices, library_lacks)");
        }
      });
    }
  }

  void ReadCard(const IniSection& section, Scenario& scenario) {
    CardSpec card;
    const IniEntry* preset = section.Find("preset");
    if (preset) {
      Guard(*preset, [&] {
        std::optional<CardSpec> base = CardPreset(preset->value);
        if (!base) throw BadValue("unknown preset '" + preset->value + "' (polaris, vega, navi, other, none)");
        card = *base;
      });
    }
    card.label = Trim(section.name.substr(4));
    int copies = 1;
    for (const IniEntry& entry : section.entries) {
      if (entry.key == "preset") continue;
      Guard(entry, [&] {
        if (entry.key == "copies") {
          copies = ParseInt(entry.value);
          if (copies < 1 || copies > 64) throw BadValue("copies outside 1..64");
        } else {
          ReadCardKey(entry, card);
        }
      });
    }
    if (card.overdrive == Overdrive::N) {
      const IniEntry where{"gpu_levels", "", section.line};
      if (card.gpuLevels.empty() || static_cast<int>(card.gpuLevels.size()) > card.levels)
        Fail(where, "an OverdriveN card needs 1 to 'levels' GPU levels");
      if (static_cast<int>(card.memLevels.size()) > card.levels) Fail(where, "more memory levels than 'levels'");
    }
    CheckStartValues(section, card);
    for (int copy = 0; copy < copies; ++copy) {
      CardSpec instance = card;
      instance.bus = card.bus + copy;
      if (copies > 1) {
        instance.label += "." + std::to_string(copy);
        // Each card has its own device instance and driver key.
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, "%02X", copy);
        instance.pnp += suffix;
        instance.registryKey = RegistryKeyFor(card.registryKey, copy);
      }
      scenario.cards.push_back(instance);
    }
  }

  // Start values are checked once the card's shape (level and setting counts) is known.
  void CheckStartValues(const IniSection& section, const CardSpec& card) {
    for (const auto& [key, value] : card.startValues) {
      CardState state;
      state.ext.resize(card.ext.size());
      try {
        ApplyCardStateKey(key, value, card, state);
      } catch (const std::runtime_error& bad) {
        const IniEntry* entry = section.Find("state." + key);
        Fail(entry ? *entry : IniEntry{"state." + key, "", section.line}, bad.what());
      }
    }
  }

  static std::string RegistryKeyFor(const std::string& key, int copy) {
    const size_t slash = key.rfind('\\');
    char number[16];
    std::snprintf(number, sizeof number, "%04d", copy);
    if (slash == std::string::npos) return key + number;
    return key.substr(0, slash + 1) + number;
  }

  static void ReadCardKey(const IniEntry& entry, CardSpec& card) {
    const std::string& k = entry.key;
    const std::string& v = entry.value;
    if (k == "name") card.name = v;
    else if (k == "vendor") card.vendor = ParseInt(v);
    else if (k == "bus") card.bus = ParseInt(v);
    else if (k == "device") card.device = ParseInt(v);
    else if (k == "function") card.function = ParseInt(v);
    else if (k == "adapters") {
      card.adapters = ParseInt(v);
      if (card.adapters < 1 || card.adapters > 16) throw BadValue("adapters outside 1..16");
    } else if (k == "pnp") card.pnp = v;
    else if (k == "registry_key") card.registryKey = v;
    else if (k == "friendly_name") card.friendlyName = v;
    else if (k == "display_device") card.displayDevice = ParseBool(v);
    else if (k == "overdrive") {
      if (v == "N") card.overdrive = Overdrive::N;
      else if (v == "8") card.overdrive = Overdrive::Eight;
      else if (v == "none") card.overdrive = Overdrive::None;
      else throw BadValue("'" + v + "' is not N, 8 or none");
    } else if (k == "levels") {
      card.levels = ParseInt(v);
      if (card.levels < 1 || card.levels > 16) throw BadValue("levels outside 1..16");
    } else if (k == "gpu_levels") card.gpuLevels = ParseLevels(v);
    else if (k == "mem_levels") card.memLevels = ParseLevels(v);
    else if (k == "gpu_clock_range") card.gpuClock = ParseRange(v, card.gpuClock, /*clock=*/true);
    else if (k == "mem_clock_range") card.memClock = ParseRange(v, card.memClock, /*clock=*/true);
    else if (k == "vddc_range") card.vddc = ParseRange(v, card.vddc);
    else if (k == "power_range") card.power = ParseRange(v, card.power);
    else if (k == "power_temperature_range") card.powerTemperature = ParseRange(v, card.powerTemperature);
    else if (k == "fan_temperature_range") card.fanTemperature = ParseRange(v, card.fanTemperature);
    else if (k == "fan_speed_range") card.fanSpeed = ParseRange(v, card.fanSpeed);
    else if (k == "acoustic_range") card.acoustic = ParseRange(v, card.acoustic);
    else if (k == "fan_min_rpm") card.fanMinRpm = ParseInt(v);
    else if (k == "odn_flags") card.odnFlags = ParseInt(v);
    else if (k == "ext_caps") card.extCaps = ParseInt(v);
    else if (k == "ext_count") {
      const int count = ParseInt(v);
      if (count < 0 || count > 32) throw BadValue("ext_count outside 0..32");
      card.ext.resize(static_cast<size_t>(count));
    } else if (k.rfind("ext.", 0) == 0) {
      const int id = ParseInt(k.substr(4));
      if (id < 0 || id >= static_cast<int>(card.ext.size())) throw BadValue("extended setting id beyond ext_count");
      card.ext[static_cast<size_t>(id)] = ParseRange(v, card.ext[static_cast<size_t>(id)]);
    } else if (k == "out_of_range") {
      if (v == "reject") card.clampOutOfRange = false;
      else if (v == "clamp") card.clampOutOfRange = true;
      else throw BadValue("'" + v + "' is not reject or clamp");
    } else if (k == "readback_clock_step") card.readbackClockStep = Positive(v);
    else if (k == "readback_clock_offset") card.readbackClockOffset = ParseInt(v);
    else if (k == "readback_voltage_step") card.readbackVoltageStep = Positive(v);
    else if (k.rfind("od8.", 0) == 0) {
      const int id = ParseInt(k.substr(4));
      if (id < 0 || id >= kOd8Settings) throw BadValue("Overdrive8 setting id outside 0..28");
      card.od8[static_cast<size_t>(id)].range = ParseRange(v, card.od8[static_cast<size_t>(id)].range);
    } else if (k == "od8_caps") card.od8Caps = ParseInt(v);
    else if (k == "od8_features") {
      const std::vector<int> features = ParseOd8Features(v);
      for (int id = 0; id < kOd8Settings; ++id) card.od8[static_cast<size_t>(id)].feature = features[static_cast<size_t>(id)];
    } else if (k.rfind("state.", 0) == 0) {
      if (!IsStartValueKey(k.substr(6))) throw BadValue("unknown start value (state.gpu, .mem, .fan, .power, .ext, .od8)");
      card.startValues.emplace_back(k.substr(6), v);
    }
    else if (k == "power_efficiency") card.powerEfficiency = ParseFeature(v);
    else if (k == "chill") card.chill = ParseFeature(v);
    else if (k == "fan_test") {
      if (v == "od5") card.fanTest = FanTest::Od5;
      else if (v == "od6") card.fanTest = FanTest::Od6;
      else if (v == "none") card.fanTest = FanTest::None;
      else throw BadValue("'" + v + "' is not od5, od6 or none");
    } else if (k == "i2c") card.i2c = ParseI2cDevices(v);
    else if (k.rfind("i2c_registers.", 0) == 0) {
      const int device = ParseInt(k.substr(14));
      if (device < 0 || device >= static_cast<int>(card.i2c.size())) throw BadValue("no such I2C device (count from 0 in 'i2c')");
      ParseRegisters(v, card.i2c[static_cast<size_t>(device)]);
    } else throw BadValue("unknown card key");
  }

  static int Positive(const std::string& v) {
    const int value = ParseInt(v);
    if (value < 1) throw BadValue("must be 1 or more");
    return value;
  }

  std::string source_;
  std::string section_;
};

}  // namespace

std::optional<Scenario> ParseScenario(const std::string& text, const std::string& source, std::string& error) {
  std::string syntax;
  const std::optional<IniDocument> document = ParseIni(text, syntax);
  if (!document) {
    error = source + ": " + syntax;
    return std::nullopt;
  }
  try {
    return ScenarioReader(source).Read(*document);
  } catch (const std::runtime_error& failure) {
    error = failure.what();
    return std::nullopt;
  }
}

bool ParseFaultList(const std::string& text, Faults& faults, std::string& error) {
  for (const std::string& item : SplitList(text, ';')) {
    if (item.empty()) continue;
    const size_t equals = item.find('=');
    const std::string key = Trim(item.substr(0, equals));
    try {
      if (equals == std::string::npos) throw BadValue("expected NAME=VALUE");
      ApplyFault(key, Trim(item.substr(equals + 1)), faults);
    } catch (const BadValue& bad) {
      error = "ADLSIM_FAULTS: '" + item + "': " + bad.what();
      return false;
    }
  }
  return true;
}

std::string ScenarioHash(const std::string& text) {
  uint64_t hash = 1469598103934665603ULL;
  for (unsigned char c : text) {
    hash ^= c;
    hash *= 1099511628211ULL;
  }
  char buffer[20];
  std::snprintf(buffer, sizeof buffer, "%016llx", static_cast<unsigned long long>(hash));
  return buffer;
}

}  // namespace adlsim
