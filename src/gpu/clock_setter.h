#pragma once
// Sending an OverdriveN P-state table (GPU or memory) and making sure it arrived.

#include <span>
#include <string_view>

#include "gpu/adl_abi.h"

namespace tw {

class PerformanceLevelsBuffer;
struct SetterContext;

// One set call with an owned copy of the record. A refusal is reported with failureText
// (empty: "Failed to set GPU values" / "Failed to set Memory values"); when the driver
// answered -1 and a value lies outside the card's ranges, with the limits text and code 0.
bool SendClocks(const SetterContext& context, bool gpuLevels, const PerformanceLevelsBuffer& record,
                std::string_view failureText);

// Builds the record for the card's levelCount (mode 3; levels past `levels` stay zero;
// clocks in 10 kHz), sends it, with ResetBeforeApply first the values, the defaults (mode 1,
// result ignored) and the values again, and with CheckValuesMismatch reads the table back
// and reports each P-state that differs. A mismatch does not make it fail. A card whose
// level count no record can hold is refused with the failure text.
bool SetClocks(const SetterContext& context, bool gpuLevels, std::span<const adl::ADLODNPerformanceLevelX2> levels,
               std::string_view failureText);

}  // namespace tw
