#pragma once
// In-memory stand-ins for every port, recording what the core asked of them.

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/ansi_code_page.h"
#include "platform/clock.h"
#include "platform/console.h"
#include "platform/dialogs.h"
#include "platform/display_devices.h"
#include "platform/file_system.h"
#include "platform/library_loader.h"
#include "platform/machine.h"
#include "platform/platform.h"
#include "platform/shell.h"
#include "platform/system_errors.h"

namespace tw::test {

class FakeConsole final : public Console {
 public:
  bool attachSucceeds = true;
  uint32_t attachError = 6;
  bool stdOutputValid = true;
  uint32_t stdOutputError = 6;
  bool bindSucceeds = true;
  int attachCalls = 0;
  // Every attribute change and write in order: "attr:12", "write:ERROR: ...\n".
  std::vector<std::string> events;

  bool AttachToParent(uint32_t& error) override;
  bool OpenStandardOutput(uint32_t& error) override;
  bool BindRuntimeOutput() override { return bindSucceeds; }
  void SetTextAttribute(uint16_t attribute) override { events.push_back("attr:" + std::to_string(attribute)); }
  void Write(std::string_view text) override { events.push_back("write:" + std::string(text)); }
  std::string Output() const;  // everything written, in order
};

struct ShownBox {
  std::string text;
  std::string caption;
  BoxIcon icon;
  bool topMost;
};

class FakeDialogs final : public Dialogs {
 public:
  std::vector<ShownBox> boxes;
  std::deque<bool> answers;  // answers to questions, in order; No when empty

  void ShowMessage(std::string_view text, std::string_view caption, BoxIcon icon, bool topMost) override {
    boxes.push_back({std::string(text), std::string(caption), icon, topMost});
  }
  bool AskYesNo(std::string_view text, std::string_view caption) override;
  std::deque<Choice> choices;  // answers to Yes/No/Cancel questions, in order; No when empty
  Choice AskYesNoCancel(std::string_view text, std::string_view caption) override;
  // Input boxes: shown as a box whose text is the prompt; each answer is the text typed
  // and OK, or nullopt for Cancel; Cancel when none is left.
  std::deque<std::optional<std::string>> textAnswers;
  std::vector<std::string> textShown;  // the text each input box started with
  bool AskText(std::string_view caption, std::string_view prompt, std::string& text) override;
};

class FakeSystemErrors final : public SystemErrors {
 public:
  uint32_t lastError = 0;
  std::map<uint32_t, std::string> texts = {{2, "The system cannot find the file specified.\r\n"},
                                           {5, "Access is denied.\r\n"},
                                           {6, "The handle is invalid.\r\n"}};
  uint32_t LastError() override { return lastError; }
  std::string Describe(uint32_t code) override;
};

// Identity conversion: tests keep to ASCII unless they test the code page itself.
class FakeAnsiCodePage final : public AnsiCodePage {
 public:
  std::string ToUtf8(std::string_view ansi) override { return std::string(ansi); }
  std::string FromUtf8(std::string_view utf8) override { return std::string(utf8); }
};

class FakeClock final : public Clock {
 public:
  LocalDateTime now{2026, 12, 9, 6, 21, 12};
  std::vector<uint32_t> sleeps;
  void Sleep(uint32_t milliseconds) override { sleeps.push_back(milliseconds); }
  LocalDateTime Now() override { return now; }
  std::string FormatShortDate(const LocalDateTime& when) override;
  std::string FormatLongTime(const LocalDateTime& when) override;
};

// Files and folders in memory, keyed by their generic path text. A failure can be
// injected per operation name ("MoveFileOver", "WriteNewFile", ...), or for one path
// ("MoveFileOver C:/Tunewright/Tunewright.ini"). Reads follow `links`.
class InMemoryFileSystem final : public FileSystem {
 public:
  explicit InMemoryFileSystem(FakeSystemErrors& errors) : errors_(errors) {}

  std::map<std::string, std::string> files;
  std::set<std::string> folders;
  std::set<std::string> readOnly;
  std::map<std::string, uint32_t> failures;  // operation name -> Windows error code
  std::vector<std::string> calls;            // "Operation path"
  std::map<std::string, std::string> links;  // symbolic link -> the path it names
  std::set<std::string> locks;               // lock files held, by this run or (put there) another
  int temporaries = 0;                       // numbers the temporary files


  bool FileExists(const Path& path) override;
  bool DirectoryExists(const Path& path) override;
  std::optional<std::string> ReadFile(const Path& path) override;
  bool WriteNewFile(const Path& path, std::string_view bytes) override;
  std::optional<Path> WriteTemporaryFile(const Path& beside, std::string_view bytes) override;
  bool MoveFileOver(const Path& source, const Path& target) override;
  Path FinalPath(const Path& path) override;
  std::unique_ptr<FileLock> TryLockFile(const Path& lockPath, LockAttempt& attempt) override;
  bool AppendToFile(const Path& path, std::string_view bytes) override;
  bool CreateDirectories(const Path& path) override;
  bool CopyFileOver(const Path& from, const Path& to) override;
  bool RemoveFile(const Path& path) override;
  bool ClearAttributes(const Path& path) override;
  bool IsReadOnly(const Path& path) override;
  std::vector<std::string> ListFiles(const Path& folder) override;
  FlushFailure FlushToDisk(const Path& path) override;

  static std::string Key(const Path& path) { return path.generic_string(); }

 private:
  bool Injected(const std::string& operation, const Path& path);
  FakeSystemErrors& errors_;
};

// A library is a map from entry-point name to address.
class FakeLibraryLoader final : public LibraryLoader {
 public:
  explicit FakeLibraryLoader(FakeSystemErrors& errors) : errors_(errors) {}
  std::map<std::string, std::map<std::string, void*>> libraries;
  std::vector<std::string> loadAttempts;
  std::vector<std::string> resolved;  // every name looked up, in order
  int loaded = 0;
  int unloaded = 0;

  std::unique_ptr<LoadedLibrary> Load(std::string_view fileName) override;

 private:
  FakeSystemErrors& errors_;
};

class FakeMachine final : public Machine {
 public:
  Path executablePath = Path("C:/Tunewright/Tunewright.exe");
  bool enumerateSucceeds = true;
  uint32_t enumerateError = 5;
  std::vector<std::string> kernelDrivers = {"ntoskrnl.exe", "atikmdag.sys"};
  std::string systemDirectory = "C:\\windows\\system32";
  std::string windowsDirectory = "C:\\Windows";
  std::optional<bool> wow64 = true;
  uint32_t wow64Error = 5;  // the last error when the WOW64 query fails
  std::set<std::string> existingFiles;
  std::vector<std::string> existenceTests;
  bool admin = false;

  explicit FakeMachine(FakeSystemErrors& errors) : errors_(errors) {}
  Path ExecutablePath() override { return executablePath; }
  bool EnumerateDeviceDrivers(size_t capacity, std::vector<uintptr_t>& addresses, uint32_t& neededBytes) override;
  std::string DeviceDriverBaseName(uintptr_t address) override;
  std::string SystemDirectory(uint32_t& resultLength) override;
  std::string WindowsDirectory() override { return windowsDirectory; }
  std::optional<bool> IsWow64Process() override {
    if (!wow64) errors_.lastError = wow64Error;
    return wow64;
  }
  bool FileExistsWithoutRedirection(const std::string& path) override;
  bool IsUserAdmin() override { return admin; }

 private:
  FakeSystemErrors& errors_;
};

// Display devices in memory. Every call is recorded ("OpenPresent", "InstanceId 0",
// "Restart 1", "SetFriendlyName 0 name", ...); a failure can be injected per operation
// name with its Windows error code ("OpenPresent", "InstanceId", "Restart",
// "FriendlyName", "SetFriendlyName", "RemoveFriendlyName").
struct FakeDisplayDevice {
  std::string instanceId;
  std::optional<std::string> friendlyName;
  int restarts = 0;
};

class FakeDisplayDevices final : public DisplayDevices {
 public:
  std::vector<FakeDisplayDevice> devices;
  std::map<std::string, uint32_t> failures;
  std::vector<std::string> calls;
  int openSets = 0;  // sets not yet released

  std::unique_ptr<DisplayDeviceSet> OpenPresent(uint32_t& error) override;
  // The injected error of an operation, recorded as a call; 0 when it succeeds.
  uint32_t Record(const std::string& call, const std::string& operation);
};

// Records every program started; answers with `result` (above 32 means started).
class FakeShell final : public Shell {
 public:
  struct Start {
    std::string verb, file, parameters, folder;
    WindowMode mode;
  };
  intptr_t result = 42;
  std::vector<Start> starts;
  intptr_t Execute(std::string_view verb, const Path& file, std::string_view parameters, const Path& folder,
                   WindowMode mode) override {
    starts.push_back({std::string(verb), file.generic_string(), std::string(parameters), folder.generic_string(), mode});
    return result;
  }
};

struct FakePlatform {
  FakeSystemErrors errors;
  FakeAnsiCodePage ansi;
  FakeClock clock;
  FakeConsole console;
  FakeDialogs dialogs;
  InMemoryFileSystem files{errors};
  FakeLibraryLoader libraries{errors};
  FakeMachine machine{errors};
  FakeDisplayDevices displayDevices;
  FakeShell shell;
  Platform platform{ansi, clock, console, dialogs, files, libraries, machine, errors, displayDevices, shell};
};

}  // namespace tw::test
