#pragma once
// What the OverdriveN fan and power setters share once their record is built: keeping the
// card's own values where the caller asked for that, the set, and the refusal or read-back.

#include <optional>
#include <string>
#include <string_view>

#include "gpu/adl_abi.h"
#include "gpu/driver_limits.h"
#include "gpu/setter_context.h"
#include "profiles/option_set.h"

namespace tw {

// A setter's own calls on its record: each knows its entry points and its mismatch texts.
template <typename Record>
struct OdnRecordCalls {
  int (*get)(const SetterContext& context, Record& record);
  int (*set)(const SetterContext& context, Record record);
  void (*verify)(const SetterContext& context, const Record& sent);
};

// With keepOthers the card's held record is read and `keepHeld(record, held)` takes what it
// keeps. When it cannot be read and the caller lacks values of its own, nothing sound can be
// sent: "<failure>: the card's current <heldName> values could not be read" and false.
// Otherwise the record is sent; a -1 answer is explained by the card's limits.
template <typename Record, typename KeepHeld>
bool SetOdnRecord(const SetterContext& context, const OdnRecordCalls<Record>& calls, const std::string& failure,
                  Record record, bool keepOthers, bool callerLacksValues, std::string_view heldName,
                  KeepHeld keepHeld) {
  if (keepOthers) {
    Record held{};
    const int read = calls.get(context, held);
    if (read == adl::kOk) {
      keepHeld(record, held);
    } else if (callerLacksValues) {
      context.Report(failure + ": the card's current " + std::string(heldName) + " values could not be read", read);
      return false;
    }
  }

  const int result = calls.set(context, record);
  if (result != adl::kOk) {
    std::optional<std::string> limits;
    if (result == adl::kErr) limits = CheckDriverLimits(context.connection, context.gpuId, context.gpu, record);
    context.ReportRefusal(failure, result, limits);
    return false;
  }
  if (context.options.CheckValuesMismatch) calls.verify(context, record);
  return true;
}

}  // namespace tw
