#include "gpu/ext_settings_setter.h"

#include <algorithm>
#include <string>

#include "gpu/gpu_item.h"
#include "gpu/mismatch_list.h"
#include "gpu/setter_context.h"
#include "profiles/option_set.h"

namespace tw {
namespace {

constexpr size_t kTimingLevel = 0;
constexpr size_t kZeroRpm = 1;
constexpr size_t kFirstFurther = 2;
constexpr size_t kLastFurther = 4;
constexpr size_t kFirstCurve = 5;
constexpr int32_t kDefault = -1;

bool IsResetRecord(const ExtValues& values) { return values[kFirstFurther] == kDefault; }

ExtValues ValidFlags(const GPUItem& gpu) {
  ExtValues valid;
  valid.fill(1);
  if (!gpu.fanEnabled) {
    valid[kZeroRpm] = 0;
    std::fill(valid.begin() + kFirstCurve, valid.end(), 0);
  }
  return valid;
}

void PrepareValues(const GPUItem& gpu, ExtValues& values) {
  if (gpu.fanEnabled && std::equal(values.begin() + kFirstCurve, values.end(), gpu.extDefaults.begin() + kFirstCurve))
    std::fill(values.begin() + kFirstCurve, values.end(), kDefault);
  if (!IsResetRecord(values)) std::fill(values.begin() + kFirstFurther, values.begin() + kLastFurther + 1, 0);
}

std::string_view OnOff(int32_t value) { return value == 1 ? "ON" : "OFF"; }

// Only what was sent is compared: values whose valid flag was clear (the fan of a card
// taken out of tuning) were deliberately left as the card holds them.
void Verify(const SetterContext& context, const ExtValues& sent, const ExtValues& valid) {
  ExtValues read{};
  if (!ReadExtSettings(context.connection, context.messages, context.gpuId, context.gpu, nullptr, &read,
                       context.console))
    return;
  MismatchList list;
  if (valid[kFirstCurve] == 1 && sent[kFirstCurve] != kDefault) {
    for (size_t k = 0; k < 5; ++k) {
      const std::string what = "Fan P" + std::to_string(k);
      const size_t temperature = kFirstCurve + 2 * k;
      list.Compare(what, read[temperature], sent[temperature], " °C");
      list.Compare(what, read[temperature + 1], sent[temperature + 1], " %");
    }
  }
  list.Compare("Memory Timing Level", read[kTimingLevel], sent[kTimingLevel], "");
  if (valid[kZeroRpm] == 1) list.CompareText("Fan ZeroRPM", OnOff(read[kZeroRpm]), OnOff(sent[kZeroRpm]));
  const bool memory = list.lines().find("Memory") != std::string::npos;
  list.ReportUnder(context, std::string("Fan") + (memory ? "/Memory" : "") + " values mismatch for GPU " +
                                std::to_string(context.gpuId) + ".\n");
}

}  // namespace

bool SetExtSettings(const SetterContext& context, ExtValues& values) {
  ExtValues valid = ValidFlags(context.gpu);
  PrepareValues(context.gpu, values);
  // The driver gets copies: the caller's values stay what was meant to be sent.
  ExtValues sent = values;
  const int result = context.api().OverdriveN_SettingsExt_Set(context.context(), context.adapter(),
                                                              adl::kOdnExtCount, valid.data(), sent.data());
  if (result != adl::kOk) {
    context.Report("Failed to set Fan curve for GPU " + std::to_string(context.gpuId), result);
    return false;
  }
  if (context.options.CheckValuesMismatch && !IsResetRecord(values)) Verify(context, values, valid);
  return true;
}

bool ResetExtSettings(const SetterContext& context) {
  ExtValues values;
  values.fill(kDefault);
  return SetExtSettings(context, values);
}

}  // namespace tw
