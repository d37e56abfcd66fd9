#include "platform/posix/file_system_posix.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "base/unique_handle.h"
#include "platform/posix/last_error.h"

namespace tw::posix {
namespace {

struct FdTraits {
  using pointer = int;
  static pointer invalid() noexcept { return -1; }
  static void close(pointer fd) noexcept { ::close(fd); }
};
using Fd = unique_handle<FdTraits>;

struct DirTraits {
  using pointer = DIR*;
  static pointer invalid() noexcept { return nullptr; }
  static void close(pointer d) noexcept { ::closedir(d); }
};

bool Fail() {
  SetLastErrorFromErrno(errno);
  return false;
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return Fail();
    }
    bytes.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

// Makes a rename durable by syncing the folder that holds the entry.
void SyncFolder(const Path& path) {
  const Path folder = path.has_parent_path() ? path.parent_path() : Path(".");
  Fd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY));
  if (dir) ::fsync(dir.get());
}

}  // namespace

bool FileSystemPosix::FileExists(const Path& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool FileSystemPosix::DirectoryExists(const Path& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::optional<std::string> FileSystemPosix::ReadFile(const Path& path) {
  Fd fd(::open(path.c_str(), O_RDONLY));
  if (!fd) {
    Fail();
    return std::nullopt;
  }
  std::string bytes;
  char buffer[65536];
  for (;;) {
    const ssize_t got = ::read(fd.get(), buffer, sizeof buffer);
    if (got < 0) {
      if (errno == EINTR) continue;
      Fail();
      return std::nullopt;
    }
    if (got == 0) break;
    bytes.append(buffer, static_cast<size_t>(got));
  }
  return bytes;
}

bool FileSystemPosix::WriteNewFile(const Path& path, std::string_view bytes) {
  Fd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644));
  if (!fd) return Fail();
  if (!WriteAll(fd.get(), bytes)) return false;
  if (::fsync(fd.get()) != 0) return Fail();
  return true;
}

std::optional<Path> FileSystemPosix::WriteTemporaryFile(const Path& beside, std::string_view bytes) {
  std::string name = beside.string() + ".XXXXXX.tmp";
  Fd fd(::mkstemps(name.data(), 4));
  if (!fd) {
    Fail();
    return std::nullopt;
  }
  if (WriteAll(fd.get(), bytes) && ::fchmod(fd.get(), 0644) == 0 && ::fsync(fd.get()) == 0) return Path(name);
  SetLastErrorFromErrno(errno);
  const int saved = errno;
  ::unlink(name.c_str());
  errno = saved;
  return std::nullopt;
}

bool FileSystemPosix::MoveFileOver(const Path& source, const Path& target) {
  // The new file takes the old one's mode and, where the process may, its owner.
  struct stat old {};
  if (::stat(target.c_str(), &old) == 0) {
    ::chmod(source.c_str(), old.st_mode & 07777);
    if (old.st_uid != ::geteuid() || old.st_gid != ::getegid()) {
      [[maybe_unused]] const int ignored = ::chown(source.c_str(), old.st_uid, old.st_gid);
    }
  }
  if (::rename(source.c_str(), target.c_str()) != 0) return Fail();
  SyncFolder(target);
  return true;
}

Path FileSystemPosix::FinalPath(const Path& path) {
  std::error_code error;
  if (!std::filesystem::is_symlink(path, error)) return path;
  const Path resolved = std::filesystem::weakly_canonical(path, error);
  return error ? path : resolved;
}

namespace {

class FlockLock final : public FileLock {
 public:
  explicit FlockLock(Fd fd) : fd_(std::move(fd)) {}

 private:
  Fd fd_;  // closing it releases the lock
};

}  // namespace

std::unique_ptr<FileLock> FileSystemPosix::TryLockFile(const Path& lockPath, LockAttempt& attempt) {
  attempt = LockAttempt::Failed;
  Fd fd(::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644));
  if (!fd) {
    Fail();
    return nullptr;
  }
  while (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
    if (errno == EINTR) continue;
    if (errno == EWOULDBLOCK) attempt = LockAttempt::Busy;
    Fail();
    return nullptr;
  }
  attempt = LockAttempt::Taken;
  return std::make_unique<FlockLock>(std::move(fd));
}

bool FileSystemPosix::AppendToFile(const Path& path, std::string_view bytes) {
  Fd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644));
  if (!fd) return Fail();
  return WriteAll(fd.get(), bytes);
}

bool FileSystemPosix::CreateDirectories(const Path& path) {
  std::error_code error;
  std::filesystem::create_directories(path, error);
  if (DirectoryExists(path)) return true;
  SetLastErrorFromErrno(error.value() ? error.value() : EACCES);
  return false;
}

bool FileSystemPosix::CopyFileOver(const Path& from, const Path& to) {
  const std::optional<std::string> bytes = ReadFile(from);
  if (!bytes) return false;
  return WriteNewFile(to, *bytes);
}

bool FileSystemPosix::RemoveFile(const Path& path) { return ::unlink(path.c_str()) == 0 || Fail(); }

bool FileSystemPosix::ClearAttributes(const Path& path) {
  return ::chmod(path.c_str(), 0644) == 0 || Fail();
}

bool FileSystemPosix::IsReadOnly(const Path& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && (info.st_mode & S_IWUSR) == 0;
}

std::vector<std::string> FileSystemPosix::ListFiles(const Path& folder) {
  std::vector<std::string> names;
  unique_handle<DirTraits> dir(::opendir(folder.c_str()));
  if (!dir) return names;
  while (const dirent* entry = ::readdir(dir.get())) {
    const std::string name = entry->d_name;
    if (FileExists(folder / name)) names.push_back(name);
  }
  return names;
}

FlushFailure FileSystemPosix::FlushToDisk(const Path& path) {
  Fd fd(::open(path.c_str(), O_WRONLY));
  if (!fd) {
    Fail();
    return FlushFailure::Open;
  }
  if (::fsync(fd.get()) != 0) {
    Fail();
    return FlushFailure::Flush;
  }
  return FlushFailure::None;
}

}  // namespace tw::posix
