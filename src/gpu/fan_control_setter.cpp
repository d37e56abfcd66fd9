#include "gpu/fan_control_setter.h"

#include <string>

#include "gpu/adl_abi.h"
#include "gpu/mismatch_list.h"
#include "gpu/odn_record_setter.h"
#include "gpu/setter_context.h"
#include "profiles/option_set.h"
#include "profiles/profile_item.h"

namespace tw {
namespace {

// A value the caller does not have goes out as 0, as it always did before the card's own
// values replace it; the marker itself never reaches the driver.
adl::ADLODNFanControl Record(int mode, const FanControlValues& values) {
  adl::ADLODNFanControl record{};
  record.iMode = mode;
  record.iMinFanLimit = ValueOrZero(values.minimumFan);
  record.iTargetFanSpeed = ValueOrZero(values.maximumFan);
  record.iTargetTemperature = ValueOrZero(values.targetTemperature);
  record.iMinPerformanceClock = ValueOrZero(values.acousticLimit);
  return record;
}

bool HasUnsetValue(const FanControlValues& values) {
  return !IsSet(values.minimumFan) || !IsSet(values.maximumFan) || !IsSet(values.targetTemperature) ||
         !IsSet(values.acousticLimit);
}

int Get(const SetterContext& context, adl::ADLODNFanControl& record) {
  record = adl::ADLODNFanControl{};
  return context.api().OverdriveN_FanControl_Get(context.context(), context.adapter(), &record);
}

int Set(const SetterContext& context, adl::ADLODNFanControl record) {
  return context.api().OverdriveN_FanControl_Set(context.context(), context.adapter(), &record);
}

// The reset starts by sending the values themselves; a caller without all of them (a
// profile) would send zeros there, which a driver that checks refuses anyway: it is skipped.
void ResetToDefaults(const SetterContext& context, const FanControlValues& values) {
  if (HasUnsetValue(values)) return;
  if (Set(context, Record(adl::kOdnModeManual, values)) != adl::kOk) return;
  adl::ADLODNFanControl defaults{};
  defaults.iMode = adl::kOdnModeDefault;
  Set(context, defaults);
}

void Verify(const SetterContext& context, const adl::ADLODNFanControl& sent) {
  adl::ADLODNFanControl read{};
  if (Get(context, read) != adl::kOk) return;
  MismatchList list;
  list.Compare("Minimum (RPM)", read.iMinFanLimit, sent.iMinFanLimit, " RPM");
  list.Compare("Maximum (RPM)", read.iTargetFanSpeed, sent.iTargetFanSpeed, " RPM");
  list.Compare("Target Temp.: (°C)", read.iTargetTemperature, sent.iTargetTemperature, " °C");
  list.Compare("Acoustic Limit (MHz)", read.iMinPerformanceClock, sent.iMinPerformanceClock, " MHz");
  list.ReportUnder(context, "Fan values mismatch for GPU " + std::to_string(context.gpuId) + ".\n");
}

}  // namespace

bool SetFanControl(const SetterContext& context, bool keepOthers, const FanControlValues& values,
                   std::string_view failureText) {
  const std::string failure(failureText.empty() ? "Failed to set Fan values" : failureText);
  if (context.options.ResetBeforeApply) ResetToDefaults(context, values);

  // Without the card's values there is nothing sound to send for the caller's missing
  // ones: zeros would ask for a fan that never spins.
  return SetOdnRecord(context, OdnRecordCalls<adl::ADLODNFanControl>{Get, Set, Verify}, failure,
                      Record(adl::kOdnModeManual, values), keepOthers, HasUnsetValue(values), "fan",
                      [&values](adl::ADLODNFanControl& record, const adl::ADLODNFanControl& held) {
                        record.iMinFanLimit = held.iMinFanLimit;
                        record.iTargetFanSpeed = held.iTargetFanSpeed;
                        record.iTargetTemperature = held.iTargetTemperature;
                        // An acoustic limit the caller does not have (a profile without one) is the card's.
                        if (!IsSet(values.acousticLimit)) record.iMinPerformanceClock = held.iMinPerformanceClock;
                      });
}

}  // namespace tw
