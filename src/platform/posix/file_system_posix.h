#pragma once

#include "platform/file_system.h"

namespace tw::posix {

class FileSystemPosix : public FileSystem {
 public:
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
};

}  // namespace tw::posix
