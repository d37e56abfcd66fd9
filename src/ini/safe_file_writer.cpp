#include "ini/safe_file_writer.h"

#include <string>

#include "base/text.h"
#include "messages/message_writer.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/platform.h"
#include "platform/system_errors.h"

namespace tw {
namespace {

constexpr uint32_t kErrorAccessDenied = 5;
constexpr uint32_t kLockRetryMilliseconds = 100;

void ReportSaveFailure(MessageWriter& messages, const Path& path, uint32_t code) {
  messages.ShowError("Failed to save \"" + PathToUtf8(path) + "\"", static_cast<int32_t>(code), true);
}

bool IsTemporaryOf(std::string_view name, std::string_view file) {
  if (name.size() <= file.size() || name.substr(0, file.size()) != file || name[file.size()] != '.') return false;
  return name.size() >= file.size() + 4 && name.substr(name.size() - 4) == ".tmp";
}

}  // namespace

Path LockPathFor(const Path& path) {
  Path lock = path;
  lock += ".lock";
  return lock;
}

std::unique_ptr<FileLock> LockForRewrite(Platform& platform, MessageWriter& messages, const Path& path) {
  LockAttempt attempt = LockAttempt::Failed;
  for (uint32_t waited = 0;; waited += kLockRetryMilliseconds) {
    std::unique_ptr<FileLock> lock = platform.files.TryLockFile(LockPathFor(path), attempt);
    if (lock) {
      RemoveStaleTemporaries(platform.files, platform.files.FinalPath(path));
      return lock;
    }
    if (attempt != LockAttempt::Busy || waited >= kLockWaitMilliseconds) break;
    platform.clock.Sleep(kLockRetryMilliseconds);
  }
  if (attempt == LockAttempt::Busy) {
    messages.ShowError("\"" + PathToUtf8(path) + "\" is being saved by another Tunewright and stayed locked for " +
                       std::to_string(kLockWaitMilliseconds / 1000) + " seconds: nothing was saved");
  } else {
    messages.ShowError("Failed to lock \"" + PathToUtf8(LockPathFor(path)) + "\"",
                       static_cast<int32_t>(platform.errors.LastError()), true);
  }
  return nullptr;
}

void RemoveStaleTemporaries(FileSystem& files, const Path& path) {
  const std::string name = PathToUtf8(path.filename());
  const Path folder = path.has_parent_path() ? path.parent_path() : Path(".");
  for (const std::string& other : files.ListFiles(folder))
    if (IsTemporaryOf(other, name)) files.RemoveFile(folder / PathFromUtf8(other));
}

bool ReplaceFileSafely(Platform& platform, MessageWriter& messages, const Path& path, std::string_view bytes) {
  FileSystem& files = platform.files;
  if (files.FileExists(path) && files.IsReadOnly(path)) {
    ReportSaveFailure(messages, path, kErrorAccessDenied);
    return false;
  }
  // Beside the file a link names, so that the move stays within one folder and volume.
  const Path target = files.FinalPath(path);
  const std::optional<Path> temporary = files.WriteTemporaryFile(target, bytes);
  if (!temporary || !files.MoveFileOver(*temporary, target)) {
    const uint32_t code = platform.errors.LastError();  // before the clean-up overwrites it
    if (temporary) files.RemoveFile(*temporary);
    ReportSaveFailure(messages, path, code);
    return false;
  }
  messages.FlushFileToDisk(target);
  return true;
}

}  // namespace tw
