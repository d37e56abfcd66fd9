#pragma once
// Sending the 29 Overdrive8 settings of a card in one call, or returning them to their
// defaults, and checking what the driver holds afterwards.

#include "gpu/od8_values.h"

namespace tw {

struct SetterContext;

// True for the ids a set request carries on this card: never 10, 12 and 13; the fan ids
// (11, 15, 19..28) only while the card's fan is in tuning.
bool IsOd8IdSent(const GPUItem& gpu, int id);

// One set call. With reset, every id sent is requested with its reset flag and the card's
// od8Init default as value, and `values` is not used. A refusal is reported as "Failed to
// set values for GPU n" / "Failed to reset values for GPU n" with the driver's result.
// Without reset and with CheckValuesMismatch, the 29 values the driver reports back are
// compared with `values` and the differences listed under "Values mismatch for GPU n.".
bool SetOd8Settings(const SetterContext& context, bool reset, const Od8Values& values);

// With ResetBeforeApply a reset first (its failure is reported, the values still follow);
// then the values. The result is that of the values.
bool ApplyOd8(const SetterContext& context, const Od8Values& values);

// Every setting the card takes back to its default. Never verified.
bool ResetOd8(const SetterContext& context);

}  // namespace tw
