#pragma once
// The ports every card operation works through and the settings that shape its reports
// (IgnoreError-8, the name parts, ResetBeforeApply...). Card operations take this and the
// cards they touch, rather than the whole run.

#include "messages/message_writer.h"
#include "platform/platform.h"
#include "profiles/option_set.h"

namespace tw {

struct GpuContext {
  Platform& platform;
  MessageWriter& messages;
  const OptionSet& options;
};

}  // namespace tw
