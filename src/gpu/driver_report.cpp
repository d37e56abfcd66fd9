#include "gpu/driver_report.h"

#include "messages/message_writer.h"

namespace tw {

void ReportDriverFailure(MessageWriter& messages, std::string_view text, int32_t result, bool console) {
  if (console)
    messages.ReportMessage(text, true, result, MessageKind::Error, false);
  else
    messages.ShowError(text, result, false);
}

}  // namespace tw
