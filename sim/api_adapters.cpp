#include <algorithm>
#include <cstring>
#include <string>

#include "api.h"
#include "simulator.h"

namespace adlsim::api {
namespace {

struct ContextRecord {
  MallocCallback callback = nullptr;
};

void CopyText(char (&target)[kMaxPath], const std::string& text) {
  std::memset(target, 0, sizeof target);
  std::memcpy(target, text.data(), std::min(text.size(), sizeof target - 1));
}

}  // namespace

void* AllocateForCaller(Context context, int bytes) {
  // The callback is the caller's stdcall allocator; its blocks are the caller's to free.
  return static_cast<ContextRecord*>(context)->callback(bytes);
}

int MainControlCreate(MallocCallback callback, int enumConnected, Context* context) {
  Call call("ADL2_Main_Control_Create");
  call.line().Add("enum_connected", enumConnected);
  call.sim().ReloadState();
  if (std::optional<int> early = call.Begin()) return call.Finish(*early);
  if (!context) return call.Finish(kErrNullPointer);
  if (!callback) return call.Finish(-11);  // ADL_ERR_INVALID_CALLBACK
  auto* record = new ContextRecord{callback};
  call.sim().SetContextRelease([](void* context) { delete static_cast<ContextRecord*>(context); });
  call.sim().contexts().insert(record);
  *context = record;
  return call.Finish(kOk);
}

int MainControlDestroy(Context context) {
  Call call("ADL2_Main_Control_Destroy");
  if (std::optional<int> early = BeginAdl(call, context)) return call.Finish(*early);
  call.sim().contexts().erase(context);
  delete static_cast<ContextRecord*>(context);
  return call.Finish(kOk);
}

int NumberOfAdaptersGet(Context context, int* count) {
  Call call("ADL2_Adapter_NumberOfAdapters_Get");
  if (std::optional<int> early = BeginAdl(call, context)) return call.Finish(*early);
  if (!count) return call.Finish(kErrNullPointer);
  *count = static_cast<int>(call.sim().scenario().adapters.size());
  call.line().Add("count", *count);
  return call.Finish(kOk);
}

int AdapterInfoGet(Context context, AdapterInfo* info, int bufferBytes) {
  Call call("ADL2_Adapter_AdapterInfo_Get");
  call.line().Add("bytes", bufferBytes);
  if (std::optional<int> early = BeginAdl(call, context)) return call.Finish(*early);
  if (!info) return call.Finish(kErrNullPointer);
  const Scenario& scenario = call.sim().scenario();
  const size_t needed = scenario.adapters.size() * sizeof(AdapterInfo);
  // Never written beyond what the caller said it has.
  if (bufferBytes < 0 || static_cast<size_t>(bufferBytes) < needed) return call.Finish(kErrInvalidParamSize);
  for (size_t i = 0; i < scenario.adapters.size(); ++i) {
    const Adapter& adapter = scenario.adapters[i];
    const CardSpec& card = scenario.cards[static_cast<size_t>(adapter.card)];
    AdapterInfo& out = info[i];
    std::memset(&out, 0, sizeof out);
    out.iSize = sizeof(AdapterInfo);
    out.iAdapterIndex = adapter.index;
    CopyText(out.strUDID, card.pnp + "_" + std::to_string(adapter.index));
    out.iBusNumber = card.bus;
    out.iDeviceNumber = card.device;
    out.iFunctionNumber = card.function;
    out.iVendorID = card.vendor;
    CopyText(out.strAdapterName, card.name);
    CopyText(out.strDisplayName, "\\\\.\\DISPLAY" + std::to_string(adapter.index + 1));
    out.iPresent = 1;
    out.iExist = 1;
    CopyText(out.strDriverPath, card.registryKey);
    CopyText(out.strDriverPathExt, card.registryKey);
    CopyText(out.strPNPString, card.pnp);
    out.iOSDisplayIndex = adapter.index;
  }
  call.line().Add("count", static_cast<int>(scenario.adapters.size()));
  return call.Finish(kOk);
}

int AdapterActiveGet(Context context, int adapter, int* status) {
  Call call("ADL2_Adapter_Active_Get");
  const CardSpec* cardSpec = nullptr;
  CardState* card = nullptr;
  if (std::optional<int> early = BeginCard(call, context, adapter, cardSpec, card)) return call.Finish(*early);
  if (!status) return call.Finish(kErrNullPointer);
  *status = kTrue;
  return call.Finish(kOk);
}

int OverdriveCaps(Context context, int adapter, int* supported, int* enabled, int* version) {
  Call call("ADL2_Overdrive_Caps");
  const CardSpec* cardSpec = nullptr;
  CardState* card = nullptr;
  if (std::optional<int> early = BeginCard(call, context, adapter, cardSpec, card)) return call.Finish(*early);
  if (!supported || !enabled || !version) return call.Finish(kErrNullPointer);
  const bool tunable = cardSpec->overdrive != Overdrive::None;
  *supported = tunable ? 1 : 0;
  *enabled = tunable ? 1 : 0;
  *version = cardSpec->overdrive == Overdrive::N ? kOverdriveN : cardSpec->overdrive == Overdrive::Eight ? kOverdrive8 : 0;
  call.line().Add("version", *version);
  return call.Finish(kOk);
}

}  // namespace adlsim::api
