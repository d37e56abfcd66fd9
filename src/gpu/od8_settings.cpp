#include "gpu/od8_settings.h"

#include <algorithm>
#include <string>

#include "gpu/driver_connection.h"
#include "gpu/driver_list.h"
#include "gpu/driver_report.h"
#include "gpu/gpu_item.h"

namespace tw {
namespace {

bool ReadInit(DriverConnection& connection, MessageWriter& messages, int gpuId, GPUItem& gpu, bool console) {
  int capabilities = 0;
  int count = adl::kOd8Count;
  DriverList<adl::ADLOD8SingleInitSetting> list;
  const int result = connection.api().Overdrive8_Init_SettingX2_Get(connection.context(), gpu.adapterIndex(),
                                                                    &capabilities, &count, list.out());
  if (result != adl::kOk || !list || count < adl::kOd8Count) {
    ReportDriverFailure(messages, "ADL2_Overdrive8_Init_SettingX2_Get function failed for GPU " + std::to_string(gpuId),
                        result, console);
    return false;
  }
  std::copy_n(list.get(), adl::kOd8Count, gpu.od8Init.begin());
  return true;
}

bool ReadCurrent(DriverConnection& connection, MessageWriter& messages, int gpuId, const GPUItem& gpu,
                 Od8Values& values, bool console) {
  int count = adl::kOd8Count;
  DriverList<int> list;
  const int result =
      connection.api().Overdrive8_Current_SettingX2_Get(connection.context(), gpu.adapterIndex(), &count, list.out());
  if (result != adl::kOk || !list || count < adl::kOd8Count) {
    ReportDriverFailure(messages,
                        "ADL2_Overdrive8_Current_SettingX2_Get function failed for GPU " + std::to_string(gpuId),
                        result, console);
    return false;
  }
  std::copy_n(list.get(), adl::kOd8Count, values.begin());
  return true;
}

}  // namespace

bool ReadOd8Settings(DriverConnection& connection, MessageWriter& messages, int gpuId, GPUItem& gpu, bool fillInit,
                     Od8Values* values, bool console) {
  bool ok = true;
  if (fillInit) ok = ReadInit(connection, messages, gpuId, gpu, console);
  if (values && !ReadCurrent(connection, messages, gpuId, gpu, *values, console)) return false;
  return ok;
}

}  // namespace tw
