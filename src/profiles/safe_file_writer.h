#pragma once
// Replacing a file so that a crash, a full disk or a failing write can never leave it
// half-written: the new bytes go to a temporary file in the same folder, which is flushed
// and then moved over the original in one step.

#include <string_view>

#include "platform/file_system.h"

namespace tw {

class MessageWriter;
struct Platform;

// The temporary file that stands beside `path` while it is being replaced.
Path TemporaryPathFor(const Path& path);

// Writes `bytes` as the new content of `path`, then forces it to disk the way every writer
// of the program's files does (MessageWriter::FlushFileToDisk). On failure the original
// file is untouched, the temporary file removed, and an error box names the file and
// carries the system error code. A file marked read-only is refused, as Windows would.
bool ReplaceFileSafely(Platform& platform, MessageWriter& messages, const Path& path, std::string_view bytes);

}  // namespace tw
