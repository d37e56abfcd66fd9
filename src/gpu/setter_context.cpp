#include "gpu/setter_context.h"

#include "gpu/driver_connection.h"
#include "gpu/driver_report.h"
#include "gpu/gpu_context.h"
#include "gpu/gpu_item.h"

namespace tw {

const DriverEntryPoints& SetterContext::api() const { return connection.api(); }

adl::Context SetterContext::context() const { return connection.context(); }

int SetterContext::adapter() const { return gpu.adapterIndex(); }

void SetterContext::Report(std::string_view text, int32_t code) const {
  ReportDriverFailure(messages, text, code, console);
}

void SetterContext::ReportRefusal(std::string_view text, int32_t result,
                                  const std::optional<std::string>& limits) const {
  if (result == adl::kErr && limits) {
    Report(std::string(text) + *limits, 0);
    return;
  }
  Report(text, result);
}

SetterContext MakeSetterContext(const GpuContext& context, DriverConnection& connection, const GpuList& gpus, int gpuId,
                                bool console) {
  return SetterContext{connection, context.messages, context.options, gpus.at(static_cast<size_t>(gpuId)),
                       gpuId,      console};
}

}  // namespace tw
