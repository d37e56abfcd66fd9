#pragma once
// What every setter works with: the open connection, the message writer, the settings that
// change its behaviour (ResetBeforeApply, CheckValuesMismatch), the card and its gpu_id,
// and where its reports go (console flag).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "gpu/adl_abi.h"
#include "gpu/driver_entry_points.h"
#include "gpu/gpu_item.h"

namespace tw {

class DriverConnection;
class MessageWriter;
struct GPUItem;
struct GpuContext;
struct OptionSet;

struct SetterContext {
  DriverConnection& connection;
  MessageWriter& messages;
  const OptionSet& options;
  const GPUItem& gpu;
  int gpuId;
  bool console;

  const DriverEntryPoints& api() const;
  adl::Context context() const;
  int adapter() const;  // adapterIndexes element 0

  // A failure or a mismatch list: a console Error line with the console flag, an error box
  // otherwise. IgnoreError-8 applies as in the message writer.
  void Report(std::string_view text, int32_t code) const;

  // A refused set: with the driver's -1 and a limits text, the text and the limits with
  // code 0 (the limits text carries the code itself); otherwise the text with the result.
  void ReportRefusal(std::string_view text, int32_t result, const std::optional<std::string>& limits) const;
};

// The context for the card gpu_id of the program's list. A gpu_id outside the list throws
// std::out_of_range.
SetterContext MakeSetterContext(const GpuContext& context, DriverConnection& connection, const GpuList& gpus, int gpuId,
                                bool console);

}  // namespace tw
