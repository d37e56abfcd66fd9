#pragma once
// The 29 Overdrive8 settings: their ranges (od8Init) and their current values.

#include "gpu/od8_values.h"

namespace tw {

class DriverConnection;
class MessageWriter;
struct GPUItem;

// Fills gpu.od8Init when fillInit is set (a failure there is reported and the read goes
// on), then the current values when asked for. True when nothing failed. Lists shorter
// than 29 entries count as failed reads.
bool ReadOd8Settings(DriverConnection& connection, MessageWriter& messages, int gpuId, GPUItem& gpu, bool fillInit,
                     Od8Values* values, bool console);

}  // namespace tw
