#include <vector>

#include "api.h"
#include "simulator.h"

namespace adlsim::api {
namespace {

std::optional<int> BeginOd8(Call& call, Context context, int adapter, const CardSpec*& cardSpec, CardState*& card) {
  if (std::optional<int> early = BeginCard(call, context, adapter, cardSpec, card)) return early;
  if (cardSpec->overdrive != Overdrive::Eight) return kErrNotSupported;
  return std::nullopt;
}

}  // namespace

int Od8InitSettingGet(Context context, int adapter, int* caps, int* count, ADLOD8SingleInitSetting** list) {
  Call call("ADL2_Overdrive8_Init_SettingX2_Get");
  const CardSpec* cardSpec = nullptr;
  CardState* card = nullptr;
  if (std::optional<int> early = BeginOd8(call, context, adapter, cardSpec, card)) return call.Finish(*early);
  if (!caps || !count || !list) return call.Finish(kErrNullPointer);
  call.line().Add("count_in", *count);
  *caps = cardSpec->od8Caps;
  *count = kOd8Settings;
  *list = nullptr;
  if (call.FaultIs(FaultKind::NullList)) return call.Finish(kOk);
  *list = static_cast<ADLOD8SingleInitSetting*>(
      AllocateForCaller(context, kOd8Settings * static_cast<int>(sizeof(ADLOD8SingleInitSetting))));
  if (!*list) return call.Finish(kErr);
  for (int i = 0; i < kOd8Settings; ++i) {
    const Od8Init& init = cardSpec->od8[static_cast<size_t>(i)];
    (*list)[i] = {init.feature, init.range.min, init.range.max, init.range.def};
  }
  return call.Finish(kOk);
}

int Od8CurrentSettingGet(Context context, int adapter, int* count, int** list) {
  Call call("ADL2_Overdrive8_Current_SettingX2_Get");
  const CardSpec* cardSpec = nullptr;
  CardState* card = nullptr;
  if (std::optional<int> early = BeginOd8(call, context, adapter, cardSpec, card)) return call.Finish(*early);
  if (!count || !list) return call.Finish(kErrNullPointer);
  call.line().Add("count_in", *count);
  *count = kOd8Settings;
  *list = nullptr;
  if (call.FaultIs(FaultKind::NullList)) return call.Finish(kOk);
  *list = static_cast<int*>(AllocateForCaller(context, kOd8Settings * static_cast<int>(sizeof(int))));
  if (!*list) return call.Finish(kErr);
  for (int i = 0; i < kOd8Settings; ++i) (*list)[i] = card->od8[static_cast<size_t>(i)];
  call.line().AddList("values", std::vector<int>(card->od8.begin(), card->od8.end()));
  return call.Finish(kOk);
}

int Od8SettingSet(Context context, int adapter, ADLOD8SetSetting* set, ADLOD8CurrentSetting* current) {
  Call call("ADL2_Overdrive8_Setting_Set");
  const CardSpec* cardSpec = nullptr;
  CardState* card = nullptr;
  if (std::optional<int> early = BeginOd8(call, context, adapter, cardSpec, card)) return call.Finish(*early);
  if (!set || !current) return call.Finish(kErrNullPointer);
  call.line().Add("count", set->count);
  if (set->count < 1 || set->count > kOd8Settings) return call.Finish(kErrInvalidParamSize);
  std::array<int, kOd8Settings> next = card->od8;
  for (int id = 0; id < set->count; ++id) {
    const ADLOD8SingleSetSetting& row = set->od8SettingTable[id];
    if (row.value != 0 || row.requested != 0 || row.reset != 0)
      call.line().Add("set." + std::to_string(id),
                      std::to_string(row.value) + "/" + std::to_string(row.requested) + "/" + std::to_string(row.reset));
    if (row.requested != 1) continue;
    const Od8Init& init = cardSpec->od8[static_cast<size_t>(id)];
    if (!(cardSpec->od8Caps & init.feature)) continue;  // a setting this card does not have
    // The driver holds the nearest value it can: settings are clamped, never refused.
    next[static_cast<size_t>(id)] = row.reset == 1 ? init.range.def : init.range.Clamp(row.value);
  }
  if (!call.FaultIs(FaultKind::Ignore)) card->od8 = next;
  call.sim().SaveState();
  current->count = kOd8Settings;
  for (int i = 0; i < kOd8Settings; ++i) current->Od8SettingTable[i] = card->od8[static_cast<size_t>(i)];
  call.line().AddList("held", std::vector<int>(card->od8.begin(), card->od8.end()));
  return call.Finish(kOk);
}

}  // namespace adlsim::api
