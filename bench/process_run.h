#pragma once
// Runs one program to its end the way a shell would and measures it from outside: wall
// time, peak resident memory (from wait4), exit status and what it printed.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tw::bench {

struct ProcessRun {
  bool started = false;
  int exitStatus = -1;    // 0..255 as the shell sees it; -1 when it did not exit normally
  int64_t pid = 0;
  int64_t wallUs = 0;     // from just before the fork to the return of wait4
  int64_t maxRssKiB = 0;  // ru_maxrss of the child
  std::string out;        // standard output
  std::string err;        // standard error
};

// argv[0] is a path; the child runs in `folder`, with standard input closed and its
// output collected in files there (a pipe would have the child wait for this process).
ProcessRun RunProcess(const std::vector<std::string>& argv, const std::filesystem::path& folder);

}  // namespace tw::bench
