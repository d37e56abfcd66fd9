#include "app/apply_profile.h"

#include <memory>
#include <optional>
#include <string>

#include "app/app.h"
#include "app/profile_records.h"
#include "app/read_current_values.h"
#include "gpu/clock_setter.h"
#include "gpu/driver_connection.h"
#include "gpu/ext_settings.h"
#include "gpu/ext_settings_setter.h"
#include "gpu/fan_control_setter.h"
#include "gpu/od8_setter.h"
#include "gpu/od8_settings.h"
#include "gpu/power_limit_setter.h"
#include "gpu/profile_matches.h"
#include "gpu/setter_context.h"
#include "gpu/value_fields.h"
#include "regulator/regulator_write.h"

namespace tw {
namespace {

constexpr size_t kFirstCurveValue = 5;

bool HasUnsetCurvePoint(const ProfileItem& profile) {
  for (const FanPoint& point : profile.fanCurve)
    if (!point.isSet()) return true;
  return false;
}

// Values the profile leaves open are read from the card and kept in the profile in memory
// (never saved), so that a second card of the same run receives the same values. When the
// card cannot be read (the read has said so) the profile stays as it was and false tells
// the caller to send nothing: zeros in their place would stop the fan at every temperature.
bool CompleteExtSettingsFromCard(const SetterContext& context, ProfileItem& profile) {
  ExtValues card{};
  if (!IsSet(profile.memTimingLevel) || !IsSet(profile.fanZeroRpm)) {
    if (!ReadExtSettings(context.connection, context.messages, context.gpuId, context.gpu, nullptr, &card,
                         context.console))
      return false;
    profile.memTimingLevel = card[0];
    profile.fanZeroRpm = card[1];
    card.fill(0);
  }
  if (context.gpu.fanEnabled && HasUnsetCurvePoint(profile)) {
    if (!ReadExtSettings(context.connection, context.messages, context.gpuId, context.gpu, nullptr, &card,
                         context.console))
      return false;
    for (size_t k = 0; k < kFanCurvePoints; ++k)
      profile.fanCurve[k] = {card[kFirstCurveValue + 2 * k], card[kFirstCurveValue + 2 * k + 1]};
  }
  return true;
}

ExtValues ExtSettingsRecord(const ProfileItem& profile, bool fanEnabled) {
  ExtValues record{};
  record[0] = profile.memTimingLevel;
  record[1] = profile.fanZeroRpm;
  if (fanEnabled) {
    for (size_t k = 0; k < kFanCurvePoints; ++k) {
      record[kFirstCurveValue + 2 * k] = profile.fanCurve[k].fanTemp;
      record[kFirstCurveValue + 2 * k + 1] = profile.fanCurve[k].fanPerc;
    }
  }
  return record;
}

// Every group is attempted and reports its own failure; the apply is done only when every
// group was. A failure that IgnoreError-8 kept from view counts as done: the user has asked
// for "not supported" to be passed over.
class GroupResults {
 public:
  explicit GroupResults(MessageWriter& messages) : messages_(messages) {}
  template <typename Send>
  void Attempt(Send send) {
    const int hidden = messages_.hiddenNotSupported();
    if (!send() && messages_.hiddenNotSupported() == hidden) allDone_ = false;
  }
  bool allDone() const { return allDone_; }

 private:
  MessageWriter& messages_;
  bool allDone_ = true;
};

bool ApplyOverdriveN(App& app, const SetterContext& context, ProfileItem& profile) {
  const GPUItem& gpu = context.gpu;
  const std::string card = std::to_string(context.gpuId);
  GroupResults results(app.messages);
  results.Attempt([&] {
    return SetClocks(context, true, OverdriveNLevels(profile, app.currentValues, StateKind::Gpu, gpu.gpuStateCount),
                     "Failed to set GPU values for GPU " + card);
  });
  results.Attempt([&] {
    return SetClocks(context, false,
                     OverdriveNLevels(profile, app.currentValues, StateKind::Memory, gpu.memStateCount),
                     "Failed to set Memory values for GPU " + card);
  });
  if (gpu.fanEnabled) {
    // A profile holds only the acoustic limit; the rest is what the card holds.
    results.Attempt([&] {
      return SetFanControl(context, true, {kNotSet, kNotSet, kNotSet, profile.fanAcoustic},
                           "Failed to set Fan values for GPU " + card);
    });
  }
  results.Attempt([&] {
    if (!CompleteExtSettingsFromCard(context, profile)) return false;
    ExtValues record = ExtSettingsRecord(profile, gpu.fanEnabled);
    return SetExtSettings(context, record);
  });
  results.Attempt([&] {
    return SetPowerLimit(context, true, kNotSet, profile.powerTarget, "Failed to set Power values for GPU " + card);
  });
  return results.allDone();
}

bool ApplyOverdrive8(App& app, const SetterContext& context, const ProfileItem& profile) {
  Od8Values values{};
  if (!IsCompleteForOverdrive8(profile) &&
      !ReadOd8Settings(context.connection, context.messages, context.gpuId,
                       app.gpus.at(static_cast<size_t>(context.gpuId)), false, &values, context.console)) {
    app.messages.ReportMessage("Profile \"" + profile.name + "\" is not complete, cannot apply it to GPU " +
                                   std::to_string(context.gpuId),
                               context.console);
    return false;
  }
  FillOd8Values(profile, values);
  GroupResults results(app.messages);
  results.Attempt([&] { return ApplyOd8(context, values); });
  return results.allDone();
}

// nullopt when no connection could be opened (the connection has said why).
std::optional<bool> ApplyDriverValues(App& app, ProfileItem& profile, int gpuId, bool console) {
  const std::unique_ptr<DriverConnection> connection = OpenDriverConnection(app.platform, app.messages);
  if (!connection) return std::nullopt;
  const SetterContext context = MakeSetterContext(app.gpuContext(), *connection, app.gpus, gpuId, console);
  switch (context.gpu.overdriveVersion) {
    case adl::kOverdriveN: return ApplyOverdriveN(app, context, profile);
    case adl::kOverdrive8: return ApplyOverdrive8(app, context, profile);
    default: return true;
  }
}

bool HasFewerStatesThanCard(const ProfileItem& profile, const GPUItem& gpu) {
  return gpu.overdriveVersion == adl::kOverdriveN &&
         (static_cast<int>(profile.gpuClock.size()) < gpu.gpuStateCount ||
          static_cast<int>(profile.memClock.size()) < gpu.memStateCount);
}

}  // namespace

bool ApplyProfile(App& app, int profileIndex, int gpuId, bool console) {
  ProfileItem& profile = app.profiles.at(static_cast<size_t>(profileIndex));
  const GPUItem& gpu = app.gpus.at(static_cast<size_t>(gpuId));
  if (const std::optional<UnsendableValue> unfit = FirstUnsendableValue(profile, gpu)) {
    app.messages.ReportMessage("Profile \"" + profile.name + "\": \"" + unfit->key + "=" + unfit->text +
                                   "\" is not valid parameter",
                               console);
    return false;
  }
  const bool fewerStates = HasFewerStatesThanCard(profile, gpu);
  if (fewerStates) {
    app.messages.ReportMessage("Warning: profile \"" + profile.name + "\" contains less PStates than GPU " +
                                   std::to_string(gpuId) + " has.",
                               console, 0, MessageKind::Warning);
  }
  const bool needsCardStates = gpu.overdriveVersion == adl::kOverdriveN &&
                               HasUnsetStateValue(profile, gpu.gpuStateCount, gpu.memStateCount);
  if ((fewerStates || needsCardStates) && !ReadCurrentValues(app, gpuId, console)) return false;
  const std::optional<bool> result = ApplyDriverValues(app, profile, gpuId, console);
  if (!result) return false;
  // The regulator follows the driver values whatever they gave.
  if (app.options.EnableI2c)
    WriteRegulatorValues(app.regulatorContext(), gpuId, false, profile.offset, profile.llc, profile.phaseGain,
                   profile.currentScale);
  return *result;
}

CompareOutcome CompareProfile(App& app, int profileIndex, int gpuId, std::string_view mode, bool console) {
  if (!ReadCurrentValues(app, gpuId, console)) return CompareOutcome::ReadFailed;
  const ProfileItem& profile = app.profiles.at(static_cast<size_t>(profileIndex));
  const GPUItem& gpu = app.gpus.at(static_cast<size_t>(gpuId));
  if (ProfileMatches(app.currentValues, profile, gpu, app.options.EnableI2c)) return CompareOutcome::Done;

  const std::string name = profile.name;
  const std::string card = std::to_string(gpuId);
  if (mode == "co") {
    app.messages.ReportMessage("GPU " + card + " values are not equal with profile \"" + name + "\".", console, 0,
                               MessageKind::InfoIcon);
  } else if (mode == "cm") {
    if (!ApplyProfile(app, profileIndex, gpuId, console)) {
      app.messages.ReportMessage("Failed to apply profile \"" + name + "\" to GPU " + card, console);
      return CompareOutcome::ApplyFailed;
    }
    app.messages.ReportMessage("GPU " + card + " values were not equal with profile \"" + name + "\".\r\n" +
                                   "Succesfully applied this profile.",
                               console, 0, MessageKind::InfoIcon);
  } else if (!ApplyProfile(app, profileIndex, gpuId, console)) {
    app.messages.ReportMessage("Failed to apply profile \"" + name + "\"", console);
    return CompareOutcome::ApplyFailed;
  }
  return CompareOutcome::Done;
}

}  // namespace tw
