#include "state.h"

#include <cstdio>
#include <sstream>
#include <stdexcept>

#include "ini.h"

namespace adlsim {

FanValues DefaultFan(const CardSpec& card) {
  return {card.fanSpeed.def, card.fanTemperature.def, card.acoustic.def, card.fanMinRpm};
}

PowerValues DefaultPower(const CardSpec& card) { return {card.power.def, card.powerTemperature.def}; }

CardState DefaultCardState(const CardSpec& card) {
  CardState state;
  state.gpu = card.gpuLevels;
  state.mem = card.memLevels;
  state.fan = DefaultFan(card);
  state.power = DefaultPower(card);
  for (const Range& range : card.ext) state.ext.push_back(range.def);
  for (int i = 0; i < kOd8Settings; ++i) state.od8[static_cast<size_t>(i)] = card.od8[static_cast<size_t>(i)].range.def;
  state.powerEfficiency = card.powerEfficiency;
  state.chill = card.chill;
  for (const I2cDeviceSpec& device : card.i2c) state.i2c.push_back(device.registers);
  state.friendlyName = card.friendlyName;
  // Checked when the scenario was read.
  for (const auto& [key, value] : card.startValues) ApplyCardStateKey(key, value, card, state);
  return state;
}

State DefaultState(const Scenario& scenario, const std::string& scenarioHash) {
  State state;
  state.scenarioHash = scenarioHash;
  for (const CardSpec& card : scenario.cards) state.cards.push_back(DefaultCardState(card));
  return state;
}

std::string Quote(const std::string& text) {
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') {
      quoted += '\\';
      quoted += c;
    } else if (c == '\r') {
      quoted += "\\r";
    } else if (c == '\n') {
      quoted += "\\n";
    } else {
      quoted += c;
    }
  }
  return quoted + "\"";
}

std::optional<std::string> Unquote(const std::string& text) {
  if (text.size() < 2 || text.front() != '"' || text.back() != '"') return std::nullopt;
  std::string plain;
  for (size_t i = 1; i + 1 < text.size(); ++i) {
    if (text[i] != '\\') {
      plain += text[i];
      continue;
    }
    // A backslash right before the closing quote would swallow it.
    if (i + 2 >= text.size()) return std::nullopt;
    const char e = text[++i];
    plain += e == 'r' ? '\r' : e == 'n' ? '\n' : e;
  }
  return plain;
}

namespace {

std::string Join(const std::vector<int>& values) {
  std::string text;
  for (size_t i = 0; i < values.size(); ++i) text += (i ? " " : "") + std::to_string(values[i]);
  return text;
}

std::string LevelsText(const std::vector<Level>& levels) {
  std::string text;
  for (size_t i = 0; i < levels.size(); ++i)
    text += (i ? " " : "") + std::to_string(levels[i].clock) + "/" + std::to_string(levels[i].vddc) + "/" +
            std::to_string(levels[i].enabled);
  return text;
}

std::string HexBytes(const Registers& registers) {
  std::string text;
  char byte[3];
  for (uint8_t value : registers) {
    std::snprintf(byte, sizeof byte, "%02X", value);
    text += byte;
  }
  return text;
}

struct Bad : std::runtime_error {
  using std::runtime_error::runtime_error;
};

std::vector<int> Ints(const std::string& text, size_t expected) {
  std::vector<int> values;
  std::istringstream in(text);
  std::string word;
  while (in >> word) {
    try {
      size_t used = 0;
      values.push_back(std::stoi(word, &used));
      if (used != word.size()) throw Bad("");
    } catch (const std::exception&) {
      throw Bad("'" + word + "' is not a number");
    }
  }
  if (values.size() != expected)
    throw Bad(std::to_string(values.size()) + " values where the scenario needs " + std::to_string(expected));
  return values;
}

std::vector<Level> Levels(const std::string& text, size_t expected) {
  std::vector<Level> levels;
  std::istringstream in(text);
  std::string word;
  while (in >> word) {
    Level level;
    char tail = 0;
    if (std::sscanf(word.c_str(), "%d/%d/%d%c", &level.clock, &level.vddc, &level.enabled, &tail) != 3)
      throw Bad("'" + word + "' is not clock/voltage/enabled");
    levels.push_back(level);
  }
  if (levels.size() != expected)
    throw Bad(std::to_string(levels.size()) + " levels where the scenario has " + std::to_string(expected));
  return levels;
}

Registers RegistersFrom(const std::string& text) {
  if (text.size() != 2 * kRegisters) throw Bad("a register dump must be 512 hex digits");
  Registers registers{};
  for (int i = 0; i < kRegisters; ++i) {
    unsigned value = 0;
    char tail = 0;
    if (std::sscanf(text.substr(static_cast<size_t>(2 * i), 2).c_str(), "%2x%c", &value, &tail) != 1)
      throw Bad("register dump has a non-hex digit");
    registers[static_cast<size_t>(i)] = static_cast<uint8_t>(value);
  }
  return registers;
}

}  // namespace

void ApplyCardStateKey(const std::string& k, const std::string& v, const CardSpec& cardSpec, CardState& card) {
  if (k == "gpu") card.gpu = Levels(v, cardSpec.gpuLevels.size());
  else if (k == "mem") card.mem = Levels(v, cardSpec.memLevels.size());
  else if (k == "fan") {
    const std::vector<int> f = Ints(v, 4);
    card.fan = {f[0], f[1], f[2], f[3]};
  } else if (k == "power") {
    const std::vector<int> p = Ints(v, 2);
    card.power = {p[0], p[1]};
  } else if (k == "ext") card.ext = Ints(v, cardSpec.ext.size());
  else if (k == "od8") {
    const std::vector<int> values = Ints(v, kOd8Settings);
    std::copy(values.begin(), values.end(), card.od8.begin());
  } else if (k == "power_efficiency") card.powerEfficiency = Ints(v, 1)[0];
  else if (k == "chill") card.chill = Ints(v, 1)[0];
  else if (k == "fan_test_percent") card.fanTestPercent = Ints(v, 1)[0];
  else if (k == "restarts") card.restarts = Ints(v, 1)[0];
  else if (k == "friendly_name") {
    const std::optional<std::string> name = Unquote(v);
    if (!name) throw Bad("not a quoted text");
    card.friendlyName = *name;
  } else if (k.rfind("i2c.", 0) == 0) {
    size_t device = 0;
    try {
      device = static_cast<size_t>(std::stoul(k.substr(4)));
    } catch (const std::exception&) {
      throw Bad("not an I2C device number");
    }
    if (device >= card.i2c.size()) throw Bad("no such I2C device in the scenario");
    card.i2c[device] = RegistersFrom(v);
  } else {
    throw Bad("unknown key");
  }
}

std::string SerializeState(const State& state) {
  std::ostringstream out;
  out << "; Simulated driver state. Delete this file (or run 'adlsim reset') to start from the scenario.\n";
  out << "[sim]\nscenario = " << state.scenarioHash << "\n";
  for (const auto& [name, count] : state.calls) out << "calls." << name << " = " << count << "\n";
  for (size_t c = 0; c < state.cards.size(); ++c) {
    const CardState& card = state.cards[c];
    out << "\n[card " << c << "]\n";
    out << "gpu = " << LevelsText(card.gpu) << "\n";
    out << "mem = " << LevelsText(card.mem) << "\n";
    out << "fan = " << Join({card.fan.targetSpeed, card.fan.targetTemperature, card.fan.acoustic, card.fan.minFan}) << "\n";
    out << "power = " << Join({card.power.tdp, card.power.maxTemperature}) << "\n";
    out << "ext = " << Join(card.ext) << "\n";
    out << "od8 = " << Join(std::vector<int>(card.od8.begin(), card.od8.end())) << "\n";
    out << "power_efficiency = " << card.powerEfficiency << "\n";
    out << "chill = " << card.chill << "\n";
    out << "fan_test_percent = " << card.fanTestPercent << "\n";
    out << "restarts = " << card.restarts << "\n";
    if (card.friendlyName) out << "friendly_name = " << Quote(*card.friendlyName) << "\n";
    for (size_t d = 0; d < card.i2c.size(); ++d) out << "i2c." << d << " = " << HexBytes(card.i2c[d]) << "\n";
  }
  return out.str();
}

std::optional<State> ParseState(const std::string& text, const Scenario& scenario, const std::string& source,
                                std::string& error) {
  std::string syntax;
  const std::optional<IniDocument> document = ParseIni(text, syntax);
  if (!document) {
    error = source + ": " + syntax;
    return std::nullopt;
  }
  State state = DefaultState(scenario, "");
  for (CardState& card : state.cards) card.friendlyName.reset();  // only what the file says
  for (const IniSection& section : document->sections) {
    for (const IniEntry& entry : section.entries) {
      try {
        if (section.name == "sim") {
          if (entry.key == "scenario") state.scenarioHash = entry.value;
          else if (entry.key.rfind("calls.", 0) == 0) state.calls[entry.key.substr(6)] = Ints(entry.value, 1)[0];
          else throw Bad("unknown key");
        } else if (section.name.rfind("card ", 0) == 0) {
          size_t index = 0;
          try {
            index = static_cast<size_t>(std::stoul(section.name.substr(5)));
          } catch (const std::exception&) {
            throw Bad("not a card number");
          }
          if (index >= state.cards.size()) throw Bad("the scenario has no card " + std::to_string(index));
          ApplyCardStateKey(entry.key, entry.value, scenario.cards[index], state.cards[index]);
        } else {
          throw Bad("unknown section");
        }
      } catch (const Bad& bad) {
        error = source + ": [" + section.name + "] key '" + entry.key + "' (line " + std::to_string(entry.line) +
                "): " + bad.what();
        return std::nullopt;
      }
    }
  }
  return state;
}

}  // namespace adlsim
