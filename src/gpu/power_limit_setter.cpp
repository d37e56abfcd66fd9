#include "gpu/power_limit_setter.h"

#include <string>

#include "gpu/adl_abi.h"
#include "gpu/mismatch_list.h"
#include "gpu/odn_record_setter.h"
#include "gpu/setter_context.h"
#include "profiles/option_set.h"
#include "profiles/profile_item.h"

namespace tw {
namespace {

// A value the caller does not have goes out as 0 only where the card's own replaces it; the
// marker itself never reaches the driver.
adl::ADLODNPowerLimitSetting Record(int mode, int32_t powerTarget, int32_t maximumTemperature) {
  adl::ADLODNPowerLimitSetting record{};
  record.iMode = mode;
  record.iTDPLimit = ValueOrZero(powerTarget);
  record.iMaxOperatingTemperature = ValueOrZero(maximumTemperature);
  return record;
}

int Get(const SetterContext& context, adl::ADLODNPowerLimitSetting& record) {
  record = adl::ADLODNPowerLimitSetting{};
  return context.api().OverdriveN_PowerLimit_Get(context.context(), context.adapter(), &record);
}

int Set(const SetterContext& context, adl::ADLODNPowerLimitSetting record) {
  return context.api().OverdriveN_PowerLimit_Set(context.context(), context.adapter(), &record);
}

// The reset starts by sending the values themselves; a caller without a temperature (a
// profile) would send 0 there, which a driver that checks refuses anyway: it is skipped.
void ResetToDefaults(const SetterContext& context, int32_t maximumTemperature, int32_t powerTarget) {
  if (!IsSet(maximumTemperature) || !IsSet(powerTarget)) return;
  if (Set(context, Record(adl::kOdnModeManual, powerTarget, maximumTemperature)) != adl::kOk) return;
  Set(context, Record(adl::kOdnModeDefault, 0, -1));
}

void Verify(const SetterContext& context, const adl::ADLODNPowerLimitSetting& sent) {
  adl::ADLODNPowerLimitSetting read{};
  if (Get(context, read) != adl::kOk) return;
  MismatchList list;
  list.Compare("Max Temp. (°C)", read.iMaxOperatingTemperature, sent.iMaxOperatingTemperature, " °C");
  list.Compare("Power Target (%)", read.iTDPLimit, sent.iTDPLimit, " %");
  list.ReportUnder(context, "Power values mismatch for GPU " + std::to_string(context.gpuId) + ".\n");
}

}  // namespace

bool SetPowerLimit(const SetterContext& context, bool keepOthers, int32_t maximumTemperature, int32_t powerTarget,
                   std::string_view failureText) {
  const std::string failure(failureText.empty() ? "Failed to set Power values" : failureText);
  if (context.options.ResetBeforeApply) ResetToDefaults(context, maximumTemperature, powerTarget);

  // Without the card's value there is nothing sound to send: 0 °C is no temperature limit.
  return SetOdnRecord(context, OdnRecordCalls<adl::ADLODNPowerLimitSetting>{Get, Set, Verify}, failure,
                      Record(adl::kOdnModeManual, powerTarget, maximumTemperature), keepOthers,
                      !IsSet(maximumTemperature) || !IsSet(powerTarget), "power",
                      [powerTarget](adl::ADLODNPowerLimitSetting& record, const adl::ADLODNPowerLimitSetting& held) {
                        record.iMaxOperatingTemperature = held.iMaxOperatingTemperature;
                        // A power target the caller does not have (a profile without one) is the card's.
                        if (!IsSet(powerTarget)) record.iTDPLimit = held.iTDPLimit;
                      });
}

}  // namespace tw
