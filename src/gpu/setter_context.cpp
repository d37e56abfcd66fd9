#include "gpu/setter_context.h"

#include "app/app.h"
#include "gpu/driver_connection.h"
#include "gpu/driver_report.h"

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

SetterContext MakeSetterContext(App& app, DriverConnection& connection, int gpuId, bool console) {
  return SetterContext{connection, app.messages, app.options, app.gpus.at(static_cast<size_t>(gpuId)), gpuId,
                       console};
}

}  // namespace tw
