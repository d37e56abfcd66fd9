#pragma once
// The fewest driver calls the program's rules allow for the benchmarked commands, written
// down by hand with the rule that needs each one, so that a measured count above it is
// either a fault to fix or a reason to write down.

#include <string>
#include <vector>

namespace tw::bench {

// The tunable cards of a rig by driver generation.
struct RigMix {
  int overdriveN = 0;  // Polaris, Vega
  int overdrive8 = 0;  // Navi
};

enum class Command { StartUp, GetCurrent, ApplyProfileToAll };

struct MinimumRow {
  std::string call;
  int count = 0;
  std::string reason;
};

// Every entry point the command needs at least once on that rig, start-up included, with
// a complete profile and the default settings (no regulator, no read-back, no reset).
std::vector<MinimumRow> MinimumCalls(Command command, RigMix rig);

// Connections (context creations) the command needs: one for discovery and one per
// operation on a card.
int MinimumConnections(Command command, RigMix rig);

}  // namespace tw::bench
