#include "api.h"
#include "simulator.h"

namespace adlsim::api {
namespace {

int FanSet(Call& call, Context context, int adapter, FanTest interface, int speedType, int speed) {
  const CardSpec* cardSpec = nullptr;
  CardState* card = nullptr;
  if (std::optional<int> early = BeginCard(call, context, adapter, cardSpec, card)) return call.Finish(*early);
  if (cardSpec->fanTest != interface) return call.Finish(kErrNotSupported);
  if (speedType != kFanSpeedTypePercent || speed < 0 || speed > 100) return call.Finish(kErrInvalidParam);
  if (!call.FaultIs(FaultKind::Ignore)) card->fanTestPercent = speed;
  call.sim().SaveState();
  return call.Finish(kOk);
}

int FanReset(Call& call, Context context, int adapter, FanTest interface) {
  const CardSpec* cardSpec = nullptr;
  CardState* card = nullptr;
  if (std::optional<int> early = BeginCard(call, context, adapter, cardSpec, card)) return call.Finish(*early);
  if (cardSpec->fanTest != interface) return call.Finish(kErrNotSupported);
  if (!call.FaultIs(FaultKind::Ignore)) card->fanTestPercent = -1;
  call.sim().SaveState();
  return call.Finish(kOk);
}

int FeatureGet(const char* name, int CardState::*field, Context context, int adapter, int* state) {
  Call call(name);
  const CardSpec* cardSpec = nullptr;
  CardState* card = nullptr;
  if (std::optional<int> early = BeginCard(call, context, adapter, cardSpec, card)) return call.Finish(*early);
  if (!state) return call.Finish(kErrNullPointer);
  if (card->*field < 0) return call.Finish(kErrNotSupported);
  *state = card->*field;
  call.line().Add("state", *state);
  return call.Finish(kOk);
}

int FeatureSet(const char* name, int CardState::*field, Context context, int adapter, int state) {
  Call call(name);
  call.line().Add("state", state);
  const CardSpec* cardSpec = nullptr;
  CardState* card = nullptr;
  if (std::optional<int> early = BeginCard(call, context, adapter, cardSpec, card)) return call.Finish(*early);
  if (card->*field < 0) return call.Finish(kErrNotSupported);
  if (state != 0 && state != 1) return call.Finish(kErrInvalidParam);
  if (!call.FaultIs(FaultKind::Ignore)) card->*field = state;
  call.sim().SaveState();
  return call.Finish(kOk);
}

}  // namespace

int Od5FanSpeedSet(Context context, int adapter, int thermalController, ADLFanSpeedValue* speed) {
  Call call("ADL2_Overdrive5_FanSpeed_Set");
  call.line().Add("thermal_controller", thermalController);
  if (!speed) {
    if (std::optional<int> early = BeginAdl(call, context)) return call.Finish(*early);
    return call.Finish(kErrNullPointer);
  }
  call.line().Add("size", speed->iSize).Add("type", speed->iSpeedType).Add("speed", speed->iFanSpeed).Add("flags", speed->iFlags);
  if (thermalController != 0) return call.Finish(kErrInvalidParam);
  return FanSet(call, context, adapter, FanTest::Od5, speed->iSpeedType, speed->iFanSpeed);
}

int Od5FanSpeedToDefaultSet(Context context, int adapter, int thermalController) {
  Call call("ADL2_Overdrive5_FanSpeedToDefault_Set");
  call.line().Add("thermal_controller", thermalController);
  if (thermalController != 0) return call.Finish(kErrInvalidParam);
  return FanReset(call, context, adapter, FanTest::Od5);
}

int Od6FanSpeedSet(Context context, int adapter, ADLOD6FanSpeedValue* speed) {
  Call call("ADL2_Overdrive6_FanSpeed_Set");
  if (!speed) {
    if (std::optional<int> early = BeginAdl(call, context)) return call.Finish(*early);
    return call.Finish(kErrNullPointer);
  }
  call.line().Add("type", speed->iSpeedType).Add("speed", speed->iFanSpeed);
  return FanSet(call, context, adapter, FanTest::Od6, speed->iSpeedType, speed->iFanSpeed);
}

int Od6FanSpeedReset(Context context, int adapter) {
  Call call("ADL2_Overdrive6_FanSpeed_Reset");
  return FanReset(call, context, adapter, FanTest::Od6);
}

int PpwStatusGet(Context c, int a, int* s) { return FeatureGet("ADL2_PPW_Status_Get", &CardState::powerEfficiency, c, a, s); }
int PpwStatusSet(Context c, int a, int s) { return FeatureSet("ADL2_PPW_Status_Set", &CardState::powerEfficiency, c, a, s); }
int ChillSettingsGet(Context c, int a, int* s) { return FeatureGet("ADL2_Chill_Settings_Get", &CardState::chill, c, a, s); }
int ChillSettingsSet(Context c, int a, int s) { return FeatureSet("ADL2_Chill_Settings_Set", &CardState::chill, c, a, s); }

}  // namespace adlsim::api
