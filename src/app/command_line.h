#pragma once
// Command-line mode: start-up checks, then every argument strictly from left to right.
// A failing argument never stops the loop; the exit status remembers it.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tw {

class CommandLineOperations;
class MessageWriter;

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = -1;

// "-snapshot=<file>": the cards as a scenario of the simulated driver.
inline constexpr std::string_view kSnapshotCommand = "-snapshot=";

// Separates the parameters of a per-GPU command (the ASCII record separator).
inline constexpr char kParameterSeparator = '\x1E';

// Longest wait "-wait" accepts: an hour, so that a slip of the keyboard cannot hang a
// logon script for days.
inline constexpr int32_t kMaxWaitMilliseconds = 3'600'000;

class CommandLine {
 public:
  CommandLine(CommandLineOperations& operations, MessageWriter& messages);

  // args: the program's arguments without the program name; at least one.
  int Run(const std::vector<std::string>& args);

 private:
  bool RunArguments();
  bool StartUp();
  bool ConsoleOnlyFirst() const;
  void Execute(size_t index);
  void RunGpuCommandArgument(size_t index);
  void ExecuteGpuCommand(size_t index);
  void RunOnGpu(const std::string& command, int profile, const std::string& name, int gpu, bool waitForDriver);
  void RunPendingGpuCommand(bool console);
  bool Wait(const std::string& argument, bool console);
  void Snapshot(const std::string& argument);
  void Fail(const std::string& text);

  CommandLineOperations& ops_;
  MessageWriter& messages_;
  std::vector<std::string> args_;
  int status_ = kExitFailure;
  bool consoleOnly_ = false;
  bool showGui_ = false;
  bool twoDigitIds_ = false;
  bool pending_ = false;
  std::string gpuIdText_;
  std::string parameters_;
  std::string commandText_;
  // The console setting where the pending command's last argument stands: a command still
  // pending when the arguments end runs with it, not with a "-consoleonly" that followed.
  bool pendingConsole_ = false;
};

}  // namespace tw
