#pragma once
// What one run of the program asked of the simulated driver, read from the simulator's
// journal: how often each entry point was called and how long the simulator spent in them.

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace tw::bench {

struct JournalTally {
  std::map<std::string, int> calls;  // entry point or machine service -> number of calls
  int64_t simulatorUs = 0;           // sum of the lines' "us", delays included
  int lines = 0;                     // call lines counted

  int Count(const std::string& name) const;
  // Driver entry points only (ADL2_...), without the simulated machine's services.
  int DriverCalls() const;
};

inline constexpr int64_t kAnyProcess = -1;

// Counts the call lines of the process `pid` (kAnyProcess: of every process). Notes
// ("# ..."), simulator errors and lines without "us=" and "pid=" are left out.
JournalTally TallyJournal(std::string_view journal, int64_t pid);

}  // namespace tw::bench
