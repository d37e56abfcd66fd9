#pragma once
// The few file operations the core needs beyond plain reading: write-through flushing,
// replacing a file in one step, copying with replace, attribute clearing, and a lock that
// other processes respect. Every call that fails leaves the OS error in
// SystemErrors::LastError. Long paths (beyond MAX_PATH on Windows) work in every call.

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tw {

using Path = std::filesystem::path;

enum class FlushFailure { None, Open, Flush };

// An exclusive lock on a lock file, released when the object goes (and by the OS when the
// process dies).
class FileLock {
 public:
  virtual ~FileLock() = default;
};

enum class LockAttempt { Taken, Busy, Failed };

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  virtual bool FileExists(const Path& path) = 0;
  virtual bool DirectoryExists(const Path& path) = 0;
  // The whole file as bytes; nullopt when it is missing or unreadable.
  virtual std::optional<std::string> ReadFile(const Path& path) = 0;
  // Creates or truncates the file, writes the bytes, forces them to disk, closes it.
  virtual bool WriteNewFile(const Path& path, std::string_view bytes) = 0;
  // Writes the bytes to a new file in the folder of `beside`, named "<its name>.<unique>.tmp"
  // so that no other process shares it, forces them to disk and gives its path; nullopt
  // (and nothing left behind) on failure.
  virtual std::optional<Path> WriteTemporaryFile(const Path& beside, std::string_view bytes) = 0;
  // Moves source over target in one step (write-through); target need not exist. An
  // existing target keeps what it is: permissions and owner on POSIX, security descriptor
  // and attributes on Windows (ReplaceFileW, with MoveFileExW where that cannot be used).
  virtual bool MoveFileOver(const Path& source, const Path& target) = 0;
  // The file `path` names once every symbolic link is followed; `path` itself when it is
  // no link or cannot be resolved.
  virtual Path FinalPath(const Path& path) = 0;
  // Takes the exclusive lock of `lockPath` (created when missing) without waiting: Busy
  // while another holder has it. Held as long as the returned object lives.
  virtual std::unique_ptr<FileLock> TryLockFile(const Path& lockPath, LockAttempt& attempt) = 0;
  // Appends to a file shared with everyone, creating it when missing.
  virtual bool AppendToFile(const Path& path, std::string_view bytes) = 0;
  // Creates the folder and any missing parents; true when it exists afterwards.
  virtual bool CreateDirectories(const Path& path) = 0;
  // Copies, replacing the target (long-path form on Windows).
  virtual bool CopyFileOver(const Path& from, const Path& to) = 0;
  virtual bool RemoveFile(const Path& path) = 0;
  virtual bool ClearAttributes(const Path& path) = 0;
  virtual bool IsReadOnly(const Path& path) = 0;
  // Names of the plain files (not folders) directly in the folder.
  virtual std::vector<std::string> ListFiles(const Path& folder) = 0;
  // Opens the existing file with write-through, no buffering, no sharing, flushes, closes.
  virtual FlushFailure FlushToDisk(const Path& path) = 0;
};

}  // namespace tw
