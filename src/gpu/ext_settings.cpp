#include "gpu/ext_settings.h"

#include <algorithm>
#include <string>

#include "gpu/driver_connection.h"
#include "gpu/driver_list.h"
#include "gpu/driver_report.h"
#include "gpu/gpu_item.h"

namespace tw {

bool ReadExtSettings(DriverConnection& connection, MessageWriter& messages, int gpuId, const GPUItem& gpu,
                     ExtRanges* ranges, ExtValues* values, bool console) {
  int capabilities = 0;
  int count = adl::kOdnExtCount;
  DriverList<adl::ADLODNExtSingleInitSetting> rangeList;
  DriverList<int> valueList;
  const int result = connection.api().OverdriveN_SettingsExt_Get(connection.context(), gpu.adapterIndex(),
                                                                 &capabilities, &count, rangeList.out(),
                                                                 valueList.out());
  // A driver that holds fewer settings than the program reads returned shorter lists.
  if (result != adl::kOk || !rangeList || !valueList || count < adl::kOdnExtCount) {
    ReportDriverFailure(messages,
                        "Failed to read Fan curve, Zero RPM and Memory Timing Level for GPU " + std::to_string(gpuId),
                        result, console);
    return false;
  }
  if (ranges) std::copy_n(rangeList.get(), adl::kOdnExtCount, ranges->begin());
  if (values) std::copy_n(valueList.get(), adl::kOdnExtCount, values->begin());
  return true;
}

}  // namespace tw
