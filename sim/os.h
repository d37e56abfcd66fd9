#pragma once
// The little the simulator needs from the operating system, for Linux and Windows alike.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace adlsim::os {

// The file of the simulator library itself (or of the program it is linked into).
std::filesystem::path OwnModulePath();
// Whether the simulator's own module exports the C name (a build variant leaves some out).
bool OwnModuleExports(const char* name);
std::optional<std::string> GetEnv(const char* name);  // UTF-8
std::optional<std::string> ReadFile(const std::filesystem::path& path);
// Writes a temporary file beside the target and moves it over the target in one step, so
// that a reader never sees half a state file.
bool WriteFileAtomically(const std::filesystem::path& path, const std::string& bytes);
bool AppendToFile(const std::filesystem::path& path, const std::string& bytes);

// A file opened on the first Append and kept open for appending until destroyed. Each
// Append is one write at the end of the file, so the lines of processes sharing the file
// never mix; keeping it open spares an open and a close per line.
class AppendFile {
 public:
  explicit AppendFile(std::filesystem::path path) : path_(std::move(path)) {}
  ~AppendFile();
  AppendFile(const AppendFile&) = delete;
  AppendFile& operator=(const AppendFile&) = delete;
  bool Append(const std::string& bytes);

 private:
  std::filesystem::path path_;
  intptr_t handle_ = -1;  // a descriptor, or a Windows handle; -1 while not open
};
// At least that long; below a millisecond too, where the system's own sleep is coarser.
void SleepMicroseconds(int microseconds);
unsigned long ProcessId();
// Sets the thread's last-error code where the platform has one (Windows).
void SetLastErrorCode(uint32_t code);
void WriteStderr(const std::string& text);

}  // namespace adlsim::os
