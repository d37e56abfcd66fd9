#include "app/gpu_command_parameters.h"

#include <array>
#include <vector>

#include "base/integer.h"
#include "base/text.h"
#include "profiles/state_value.h"

namespace tw {
namespace {

constexpr size_t kStateNumberPosition = 5;  // "gpu_p#" and "fan_p#": the sixth character
constexpr size_t kStateValuesStart = 7;     // after keyword, number and "="

std::string WrongCommand(const std::string& command, const std::string& detail) {
  return "Wrong command: " + command + "\r\n" + detail;
}

std::string NotValidParameter(const std::string& command, const std::string& parameter) {
  return WrongCommand(command, "\"" + parameter + "\" is not valid parameter");
}

// A typed value the program would take for its own "not set" marker is refused: further on
// it would be dropped or sent as another value.
std::optional<int32_t> UserValue(std::string_view text) {
  const int32_t value = ParseInt32OrThrow(text);
  if (!IsSet(value)) return std::nullopt;
  return value;
}

struct StateLists {
  std::vector<int32_t>& clock;
  std::vector<int32_t>& vcc;
  std::vector<bool>& enabled;
};

std::optional<std::string> ApplyStateParameter(const std::string& parameter, const std::string& lower,
                                               const std::string& command, int gpu, StateLists lists) {
  const std::string numberText(CharacterSubstr(lower, kStateNumberPosition, 1));
  const int32_t count = static_cast<int32_t>(lists.clock.size());
  int32_t state = count - 1;
  if (numberText != "#") {
    const std::optional<int32_t> number = TryParseInt32(numberText);
    if (!number) return WrongCommand(command, "\"" + numberText + "\" is not valid Pstate number");
    state = *number;
  }
  if (state < 0 || state > count - 1)
    return WrongCommand(command, "\"" + std::to_string(state) + "\" exceeds Pstates number for GPU " +
                                     std::to_string(gpu));

  // Clock, voltage, and a third field that may only be "0" (disabled); without it the
  // state is enabled, so every state parameter sets the enabled flag.
  const std::optional<StateValueFields> fields = SplitStateValue(CharacterSubstr(lower, kStateValuesStart));
  if (!fields) return NotValidParameter(command, parameter);
  const size_t at = static_cast<size_t>(state);
  if (fields->clock != "*") {
    const std::optional<int32_t> clock = UserValue(fields->clock);
    if (!clock) return NotValidParameter(command, parameter);
    lists.clock[at] = *clock;
  }
  if (fields->voltage != "*") {
    const std::optional<int32_t> vcc = UserValue(fields->voltage);
    if (!vcc) return NotValidParameter(command, parameter);
    lists.vcc[at] = *vcc;
  }
  lists.enabled[at] = fields->enabled;
  return std::nullopt;
}

std::optional<std::string> ApplyFanPointParameter(const std::string& parameter, const std::string& lower,
                                                  const std::string& command, int gpu, ProfileItem& values) {
  const std::string numberText(CharacterSubstr(lower, kStateNumberPosition, 1));
  const std::optional<int32_t> point = TryParseInt32(numberText);
  if (!point) return WrongCommand(command, "\"" + numberText + "\" is not valid Pstate number");
  if (*point < 0 || *point >= kFanCurvePoints)
    return WrongCommand(command, "\"" + std::to_string(*point) + "\" exceeds Fan Pstates number (0-4) " +
                                     std::to_string(gpu));
  const std::string rest(CharacterSubstr(lower, kStateValuesStart));
  const size_t separator = rest.find(';');
  if (separator == std::string::npos) return std::nullopt;  // a point without ";" changes nothing
  const std::optional<int32_t> temperature = UserValue(rest.substr(0, separator));
  const std::optional<int32_t> percent = UserValue(rest.substr(separator + 1));
  if (!temperature || !percent) return NotValidParameter(command, parameter);
  values.fanCurve[static_cast<size_t>(*point)] = {*temperature, *percent};
  return std::nullopt;
}

struct IntegerKeyword {
  std::string_view keyword;
  int32_t ProfileItem::*field;
};

// In the order they are matched; "fan_p" sits between the two groups.
constexpr std::array<IntegerKeyword, 8> kLeadingIntegerKeywords = {{
    {"fan_min=", &ProfileItem::fanMin},
    {"fan_max=", &ProfileItem::fanMax},
    {"fan_target=", &ProfileItem::fanTarget},
    {"fan_acoustic=", &ProfileItem::fanAcoustic},
    {"power_temp=", &ProfileItem::powerTemp},
    {"power_target=", &ProfileItem::powerTarget},
    {"offset=", &ProfileItem::offset},
    {"llc=", &ProfileItem::llc},
}};

constexpr std::array<IntegerKeyword, 5> kTrailingIntegerKeywords = {{
    {"fan_zerorpm=", &ProfileItem::fanZeroRpm},
    {"mem_timinglevel=", &ProfileItem::memTimingLevel},
    {"gpu_min=", &ProfileItem::gpuMin},
    {"gpu_max=", &ProfileItem::gpuMax},
    {"mem_max=", &ProfileItem::memMax},
}};

enum class KeywordMatch { None, Taken, Refused };

template <size_t N>
KeywordMatch ApplyIntegerKeyword(const std::array<IntegerKeyword, N>& keywords, const std::string& lower,
                                 ProfileItem& values) {
  for (const IntegerKeyword& k : keywords) {
    if (StartsWith(lower, k.keyword)) {
      const std::optional<int32_t> value = UserValue(lower.substr(k.keyword.size()));
      if (!value) return KeywordMatch::Refused;
      values.*k.field = *value;
      return KeywordMatch::Taken;
    }
  }
  return KeywordMatch::None;
}

bool ApplyTextKeyword(const std::string& lower, ProfileItem& values, GpuCommandSwitches& switches) {
  const std::pair<std::string_view, std::string*> keywords[] = {
      {"phasegain=", &values.phaseGain},
      {"currentscale=", &values.currentScale},
      {"setconstantfanspeed=", &switches.constantFanSpeed},
      {"setpowerefficiency=", &switches.powerEfficiency},
      {"setchill=", &switches.chill},
  };
  for (const auto& [keyword, target] : keywords) {
    if (StartsWith(lower, keyword)) {
      *target = lower.substr(keyword.size());
      return true;
    }
  }
  return false;
}

}  // namespace

std::optional<std::string> ApplyGpuCommandParameter(const std::string& parameter, const std::string& command,
                                                     int gpu, ProfileItem& values, GpuCommandSwitches& switches) {
  const std::string lower = ToLowerAscii(parameter);
  if (StartsWith(lower, "gpu_p"))
    return ApplyStateParameter(parameter, lower, command, gpu, {values.gpuClock, values.gpuVcc, values.gpuEnabled});
  if (StartsWith(lower, "mem_p"))
    return ApplyStateParameter(parameter, lower, command, gpu, {values.memClock, values.memVcc, values.memEnabled});
  const auto integerResult = [&](KeywordMatch match) -> std::optional<std::string> {
    if (match == KeywordMatch::Taken) return std::nullopt;
    return NotValidParameter(command, parameter);
  };
  if (const KeywordMatch m = ApplyIntegerKeyword(kLeadingIntegerKeywords, lower, values); m != KeywordMatch::None)
    return integerResult(m);
  if (ApplyTextKeyword(lower, values, switches)) return std::nullopt;
  if (StartsWith(lower, "fan_p")) return ApplyFanPointParameter(parameter, lower, command, gpu, values);
  if (const KeywordMatch m = ApplyIntegerKeyword(kTrailingIntegerKeywords, lower, values); m != KeywordMatch::None)
    return integerResult(m);
  return NotValidParameter(command, parameter);
}

}  // namespace tw
