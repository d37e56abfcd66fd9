#include "gpu/fan_test_speed.h"

#include <memory>

#include "gpu/adl_abi.h"
#include "gpu/custom_fan_speed.h"
#include "gpu/driver_connection.h"
#include "gpu/gpu_context.h"
#include "gpu/gpu_item.h"
#include "platform/system_errors.h"

namespace tw {
namespace {

constexpr int kThermalController = 0;

struct FanTestEntryPoints {
  adl::Overdrive5_FanSpeed_Set od5Set = nullptr;
  adl::Overdrive5_FanSpeedToDefault_Set od5ToDefault = nullptr;
  adl::Overdrive6_FanSpeed_Set od6Set = nullptr;
  adl::Overdrive6_FanSpeed_Reset od6Reset = nullptr;
};

// Stops at the first name the library lacks, so that the system error is that look-up's.
bool Resolve(DriverConnection& connection, FanTestEntryPoints& api) {
  return (api.od5Set = connection.ResolveExtraAs<adl::Overdrive5_FanSpeed_Set>("ADL2_Overdrive5_FanSpeed_Set")) &&
         (api.od5ToDefault = connection.ResolveExtraAs<adl::Overdrive5_FanSpeedToDefault_Set>(
              "ADL2_Overdrive5_FanSpeedToDefault_Set")) &&
         (api.od6Set = connection.ResolveExtraAs<adl::Overdrive6_FanSpeed_Set>("ADL2_Overdrive6_FanSpeed_Set")) &&
         (api.od6Reset = connection.ResolveExtraAs<adl::Overdrive6_FanSpeed_Reset>("ADL2_Overdrive6_FanSpeed_Reset"));
}

// Both interfaces refused: the user asked for this directly, so "not supported" is shown too.
void ShowRefusal(MessageWriter& messages, const char* text, int overdrive5Result) {
  MessageWriter::ShowNotSupportedScope showNotSupported(messages);
  messages.ShowError(text, overdrive5Result, false);
}

// The automatic mode drops the OverdriveN fan values the card was tuned with; they are
// read and sent again.
bool ReapplyOverdriveNFan(MessageWriter& messages, DriverConnection& connection, const GPUItem& gpu) {
  adl::ADLODNFanControl fan{};
  int result = connection.api().OverdriveN_FanControl_Get(connection.context(), gpu.adapterIndex(), &fan);
  if (result != adl::kOk) {
    messages.ShowError("Failed to get Fan parameters", result, false);
    return false;
  }
  fan.iMode = adl::kOdnModeManual;
  for (int adapter : gpu.adapterIndexes) {
    adl::ADLODNFanControl copy = fan;
    result = connection.api().OverdriveN_FanControl_Set(connection.context(), adapter, &copy);
    if (result != adl::kOk) {
      messages.ShowError("Failed to set Fan parameters", result, false);
      return false;
    }
  }
  return true;
}

bool SetAutomatic(MessageWriter& messages, DriverConnection& connection, const FanTestEntryPoints& api,
                  const GPUItem& gpu) {
  const int adapter = gpu.adapterIndex();
  const int result = api.od5ToDefault(connection.context(), adapter, kThermalController);
  bool ok = true;
  if (result != adl::kOk && api.od6Reset(connection.context(), adapter) != adl::kOk) {
    ShowRefusal(messages, "Failed to set Fan to automode", result);
    ok = false;
  }
  // The tuned fan values go back whatever the reset did. Only an OverdriveN card has such
  // values; another card would only answer "not supported".
  if (!gpu.fanEnabled || gpu.overdriveVersion != adl::kOverdriveN) return ok;
  return ReapplyOverdriveNFan(messages, connection, gpu) && ok;
}

bool SetFixed(MessageWriter& messages, DriverConnection& connection, const FanTestEntryPoints& api,
              const GPUItem& gpu, int speed) {
  const int adapter = gpu.adapterIndex();
  // The size field stays 0: drivers take the record that way from this program.
  adl::ADLFanSpeedValue od5{0, adl::kFanSpeedTypePercent, speed, adl::kFanFlagUserDefinedSpeed};
  const int result = api.od5Set(connection.context(), adapter, kThermalController, &od5);
  if (result == adl::kOk) return true;
  adl::ADLOD6FanSpeedValue od6{adl::kFanSpeedTypePercent, speed, 0, 0};
  if (api.od6Set(connection.context(), adapter, &od6) == adl::kOk) return true;
  ShowRefusal(messages, "Failed to set constant fan speed", result);
  return false;
}

}  // namespace

bool SetFanTestSpeed(const GpuContext& context, const GPUItem& gpu, int speed) {
  if (speed != kFanAutomatic && !IsFanTestPercent(speed)) {
    context.messages.ShowError(kFanSpeedRangeMessage);
    return false;
  }
  std::unique_ptr<DriverConnection> connection = OpenDriverConnection(context.platform, context.messages);
  if (!connection) return false;
  FanTestEntryPoints api;
  if (!Resolve(*connection, api)) {
    context.messages.ShowError("Failed to get ADL function pointers",
                               static_cast<int32_t>(context.platform.errors.LastError()), true);
    return false;
  }
  return speed == kFanAutomatic ? SetAutomatic(context.messages, *connection, api, gpu)
                                : SetFixed(context.messages, *connection, api, gpu, speed);
}

}  // namespace tw
