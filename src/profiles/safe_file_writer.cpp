#include "profiles/safe_file_writer.h"

#include <string>

#include "app/message_writer.h"
#include "base/text.h"
#include "platform/file_system.h"
#include "platform/platform.h"
#include "platform/system_errors.h"

namespace tw {
namespace {

constexpr uint32_t kErrorAccessDenied = 5;

void ReportSaveFailure(MessageWriter& messages, const Path& path, uint32_t code) {
  messages.ShowError("Failed to save \"" + PathToUtf8(path) + "\"", static_cast<int32_t>(code), true);
}

}  // namespace

Path TemporaryPathFor(const Path& path) {
  Path temporary = path;
  temporary += ".tmp";
  return temporary;
}

bool ReplaceFileSafely(Platform& platform, MessageWriter& messages, const Path& path, std::string_view bytes) {
  FileSystem& files = platform.files;
  if (files.FileExists(path) && files.IsReadOnly(path)) {
    ReportSaveFailure(messages, path, kErrorAccessDenied);
    return false;
  }
  const Path temporary = TemporaryPathFor(path);
  if (!files.WriteNewFile(temporary, bytes) || !files.MoveFileOver(temporary, path)) {
    const uint32_t code = platform.errors.LastError();  // before the clean-up overwrites it
    files.RemoveFile(temporary);
    ReportSaveFailure(messages, path, code);
    return false;
  }
  messages.FlushFileToDisk(path);
  return true;
}

}  // namespace tw
