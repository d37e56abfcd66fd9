#pragma once
// Replacing a file so that a crash, a full disk, a failing write or another run of the
// program saving at the same moment can never leave it half-written or lose a change:
// every read-modify-write holds the file's lock against other processes, the new bytes go
// to a temporary file of this run's own in the same folder, which is flushed and then
// moved over the original in one step.

#include <cstdint>
#include <memory>
#include <string_view>

#include "platform/file_system.h"

namespace tw {

class MessageWriter;
struct Platform;

// How long a save waits for another run to finish with the file before it gives up.
inline constexpr uint32_t kLockWaitMilliseconds = 10000;

// "<file>.lock" beside the file: the lock that every writer of the file takes.
Path LockPathFor(const Path& path);

// Waits (at most kLockWaitMilliseconds) until no other run of the program rewrites the
// file, then holds its lock for as long as the result lives, and removes the temporary
// files a killed run left beside it. nullptr, with an error box, when it cannot be taken.
std::unique_ptr<FileLock> LockForRewrite(Platform& platform, MessageWriter& messages, const Path& path);

// Removes "<file>.tmp" and "<file>.<anything>.tmp" beside the file; only safe while its
// lock is held, when no writer can be using one.
void RemoveStaleTemporaries(FileSystem& files, const Path& path);

// Writes `bytes` as the new content of `path`, then forces it to disk the way every writer
// of the program's files does (MessageWriter::FlushFileToDisk). A symbolic link keeps
// being one: the file it names is replaced. On failure the original file is untouched,
// the temporary file removed, and an error box names the file and carries the system
// error code. A file marked read-only is refused, as Windows would. Callers hold the lock.
bool ReplaceFileSafely(Platform& platform, MessageWriter& messages, const Path& path, std::string_view bytes);

}  // namespace tw
