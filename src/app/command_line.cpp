#include "app/command_line.h"

#include <array>
#include <exception>
#include <optional>

#include "app/command_line_operations.h"
#include "base/integer.h"
#include "base/text.h"
#include "messages/message_writer.h"

namespace tw {
namespace {

constexpr std::array<std::string_view, 7> kGpuCommands = {"-p", "-c", "-r", "cp", "cm", "co", "-t"};

bool IsGpuCommand(std::string_view argument) {
  for (std::string_view prefix : kGpuCommands)
    if (StartsWith(argument, prefix)) return true;
  return false;
}

bool TakesProfile(std::string_view command) { return command != "-r" && command != "-t"; }

}  // namespace

CommandLine::CommandLine(CommandLineOperations& operations, MessageWriter& messages)
    : ops_(operations), messages_(messages) {}

int CommandLine::Run(const std::vector<std::string>& args) {
  args_ = args;
  status_ = kExitFailure;
  if (!args_.empty() && StartsWith(args_[0], "-wait")) Wait(args_[0], /*console=*/false);
  // Nothing comes between the first arguments and the start-up's own checks, so with
  // "-consoleonly" first their failures (a driver not ready yet at logon, say) reach the
  // console as well instead of stopping the script at a box.
  consoleOnly_ = ConsoleOnlyFirst();
  try {
    if (!RunArguments()) return status_;
  } catch (const std::exception& failure) {
    // Whatever escaped every guard ends the run as failed, reported where the messages of
    // the argument it escaped from go.
    messages_.ReportMessage(failure.what(), consoleOnly_);
    return kExitFailure;
  }
  if (showGui_) {
    ops_.ClearLists();
    ops_.RunMainWindow();
    return kExitSuccess;
  }
  return status_;
}

bool CommandLine::RunArguments() {
  {
    MessageWriter::ConsoleScope route(messages_, consoleOnly_);
    if (!StartUp()) return false;
  }
  for (size_t i = 0; i < args_.size(); ++i) Execute(i);
  // A per-GPU command whose parameters ended without a trigger still runs: dropping it
  // silently would leave a script believing the card was changed.
  if (pending_) RunPendingGpuCommand(pendingConsole_);
  return true;
}

bool CommandLine::ConsoleOnlyFirst() const {
  const size_t first = !args_.empty() && StartsWith(args_[0], "-wait") ? 1 : 0;
  return first < args_.size() && args_[first] == "-consoleonly";
}

bool CommandLine::StartUp() {
  if (!ops_.CheckDriverLoaded()) return false;
  ops_.LoadSettings();
  if (ops_.LoadProfiles() == 0) ops_.RestoreFromBackup(consoleOnly_);
  if (!ops_.BuildGpuList()) {
    if (ops_.DiagnoseDriver() == -2) messages_.ShowError("This application requires driver 18.12.2 or newer");
    return false;
  }
  twoDigitIds_ = ops_.GpuCount() > 10;
  pending_ = false;
  gpuIdText_.clear();
  parameters_.clear();
  commandText_.clear();
  status_ = kExitSuccess;
  return true;
}

void CommandLine::Execute(size_t index) {
  const std::string& argument = args_[index];
  // Every message of this argument, whichever operation reports it, goes where the
  // console setting of its position says.
  MessageWriter::ConsoleScope route(messages_, consoleOnly_);
  if (argument == "-consoleonly") {
    consoleOnly_ = true;
  } else if (CharacterCount(argument) <= 2) {
    Fail("Wrong command: " + argument);
  } else if (IsGpuCommand(argument)) {
    RunGpuCommandArgument(index);
  } else if (argument == "-getcurrent") {
    if (pending_) RunPendingGpuCommand(consoleOnly_);
    ops_.PrintCurrentValues();
  } else if (StartsWith(argument, kSnapshotCommand)) {
    if (pending_) RunPendingGpuCommand(consoleOnly_);
    Snapshot(argument);
  } else if (argument == "-showgui") {
    if (pending_) RunPendingGpuCommand(consoleOnly_);
    showGui_ = true;
  } else if (StartsWith(argument, "-wait")) {
    if (index == 0) return;  // already waited before the driver check
    if (pending_) RunPendingGpuCommand(consoleOnly_);
    if (!Wait(argument, consoleOnly_)) status_ = kExitFailure;
  } else if (StartsWith(argument, "-ac")) {
    if (pending_) RunPendingGpuCommand(consoleOnly_);
    gpuIdText_ = argument.substr(3);
    parameters_.clear();
    commandText_ = argument;
    pendingConsole_ = consoleOnly_;
    pending_ = true;
  } else if (pending_) {
    if (!parameters_.empty()) parameters_ += kParameterSeparator;
    parameters_ += argument;
    commandText_ += " " + argument;
    pendingConsole_ = consoleOnly_;
    if (index + 1 == args_.size()) RunPendingGpuCommand(consoleOnly_);
  } else {
    Fail("Wrong command: " + argument);
  }
}

void CommandLine::RunGpuCommandArgument(size_t index) {
  if (pending_) RunPendingGpuCommand(consoleOnly_);
  try {
    ExecuteGpuCommand(index);
  } catch (const std::exception&) {
    Fail("Failed to parse command: " + args_[index]);
  }
}

void CommandLine::ExecuteGpuCommand(size_t index) {
  const std::string& argument = args_[index];
  const std::string command = argument.substr(0, 2);
  const std::string rest = argument.substr(2);
  const bool allGpus = !rest.empty() && rest[0] == '*';

  int gpu = -1;
  if (!allGpus) {
    const std::string idText(CharacterSubstr(rest, 0, twoDigitIds_ ? 2 : 1));
    const std::optional<int32_t> id = TryParseInt32(idText);
    if (!id) {
      Fail("Wrong command: " + argument + "\r\n" +
           (twoDigitIds_ ? std::string("For systems with more than 10 GPUs two digits must be used as [gpu_id] "
                                       "(00,01,02 ... 09,10,11,12,13 ...)")
                         : "\"" + idText + "\" cannot be used as [gpu_id]"));
      return;
    }
    gpu = *id;
    if (gpu > ops_.GpuCount() - 1) {
      Fail("Wrong command - GPU with id=" + std::to_string(gpu) + " not found");
      return;
    }
    if (!ops_.IsSupported(gpu)) {
      Fail("Wrong command - GPU with id=" + std::to_string(gpu) + " is not supported");
      return;
    }
  }

  int profile = -1;
  std::string name;
  if (TakesProfile(command)) {
    name = std::string(CharacterSubstr(rest, (allGpus || !twoDigitIds_) ? 1 : 2));
    profile = ops_.FindProfile(name);
    if (profile == -1) {
      Fail("Wrong command - profile: \"" + name + "\" not found");
      return;
    }
  }

  if (command != "-t") ops_.DetectRegulatorsOnce();

  const bool waitForDriver =
      index + 1 < args_.size() ? !StartsWith(args_[index + 1], "-t") : showGui_;
  if (!allGpus) {
    RunOnGpu(command, profile, name, gpu, waitForDriver);
    return;
  }
  for (int target = 0; target < ops_.GpuCount(); ++target)
    if (ops_.IsSupported(target)) RunOnGpu(command, profile, name, target, waitForDriver);
}

void CommandLine::RunOnGpu(const std::string& command, int profile, const std::string& name, int gpu,
                           bool waitForDriver) {
  const std::string gpuText = std::to_string(gpu);
  if (command == "-p" || command == "-c") {
    if (!ops_.ApplyProfile(profile, gpu, consoleOnly_)) {
      Fail("Failed to apply profile \"" + name + "\" to GPU " + gpuText);
    } else if (command == "-c") {
      std::string text = "Succesfully applied profile \"" + name + "\"";
      if (ops_.GpuCount() > 1) text += " to GPU " + gpuText;
      messages_.ReportMessage(text, consoleOnly_, 0, MessageKind::Info);
    }
  } else if (command == "-r") {
    ops_.ResetGpu(gpu, consoleOnly_);
  } else if (command == "-t") {
    ops_.RestartGpu(gpu, consoleOnly_, waitForDriver);
  } else {
    const CompareOutcome outcome = ops_.CompareProfile(profile, gpu, command, consoleOnly_);
    if (outcome == CompareOutcome::ReadFailed)
      Fail("Failed to compare values for GPU " + gpuText + " with profile \"" + name + "\"");
    if (outcome == CompareOutcome::ApplyFailed) status_ = kExitFailure;  // the compare has said so
  }
}

void CommandLine::RunPendingGpuCommand(bool console) {
  MessageWriter::ConsoleScope route(messages_, console);
  // Cleared first: whatever the command does, it runs exactly once.
  const std::string gpuIdText = std::move(gpuIdText_);
  const std::string parameters = std::move(parameters_);
  const std::string commandText = std::move(commandText_);
  pending_ = false;
  gpuIdText_.clear();
  parameters_.clear();
  commandText_.clear();
  ops_.RunGpuCommand(gpuIdText, parameters, commandText, console);
}

bool CommandLine::Wait(const std::string& argument, bool console) {
  const std::string valueText(SafeSubstr(argument, 5));
  const std::optional<int32_t> milliseconds = TryParseInt32(valueText);
  // Negative or absurdly long waits are refused like text: Windows would read a negative
  // wait as "forever".
  if (!milliseconds || *milliseconds < 0 || *milliseconds > kMaxWaitMilliseconds) {
    messages_.ReportMessage("Wrong command: " + argument + "\r\n" + "\"" + valueText +
                                "\" cannot be used as wait time",
                            console);
    return false;
  }
  ops_.Sleep(*milliseconds);
  return true;
}

void CommandLine::Snapshot(const std::string& argument) {
  const std::string fileName(SafeSubstr(argument, kSnapshotCommand.size()));
  if (fileName.empty()) {
    Fail("Wrong command: " + argument + "\r\n" + "A file name must follow \"" + std::string(kSnapshotCommand) + "\"");
    return;
  }
  if (!ops_.TakeSnapshot(fileName, consoleOnly_)) status_ = kExitFailure;
}

void CommandLine::Fail(const std::string& text) {
  messages_.ReportMessage(text, consoleOnly_);
  status_ = kExitFailure;
}

}  // namespace tw
