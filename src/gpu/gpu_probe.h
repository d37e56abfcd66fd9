#pragma once
// Deciding whether and how an AMD card can be tuned: OverdriveN first, then Overdrive8.
// Failing probe calls show nothing; the card just stays unsupported.

namespace tw {

class DriverConnection;
class MessageWriter;
struct GPUItem;

// Needs an open connection. Fills supported, overdriveVersion, the state and level counts,
// the voltage range, memTimingMax, extDefaults and od8Init as far as the driver answers.
void ProbeCard(DriverConnection& connection, MessageWriter& messages, int gpuId, GPUItem& gpu);

}  // namespace tw
