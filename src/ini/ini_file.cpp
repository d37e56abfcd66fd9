#include "ini/ini_file.h"

#include <string>

#include "base/text.h"
#include "ini/ini_encoding.h"
#include "ini/safe_file_writer.h"
#include "messages/message_writer.h"
#include "platform/platform.h"
#include "platform/system_errors.h"

namespace tw {
namespace {

void ReportNow(Platform& platform, MessageWriter& messages, const Path& path, IniReadStatus status) {
  if (status == IniReadStatus::Folder) {
    messages.ShowError("\"" + PathToUtf8(path) + "\" is a folder, not a file: it is neither read nor replaced");
  } else if (status == IniReadStatus::Unreadable) {
    messages.ShowError("Failed to read \"" + PathToUtf8(path) + "\"", static_cast<int32_t>(platform.errors.LastError()),
                       true);
  }
}

}  // namespace

IniRead ReadIniFile(FileSystem& files, AnsiCodePage& ansi, const Path& path) {
  if (!files.FileExists(path)) return {files.DirectoryExists(path) ? IniReadStatus::Folder : IniReadStatus::Missing, {}};
  const std::optional<std::string> bytes = files.ReadFile(path);
  if (!bytes) return {IniReadStatus::Unreadable, {}};
  return {IniReadStatus::Loaded, IniDocument::Parse(DecodeIniBytes(*bytes, ansi).text)};
}

void ReportReadProblem(Platform& platform, MessageWriter& messages, const Path& path, IniReadStatus status) {
  if (status != IniReadStatus::Unreadable && status != IniReadStatus::Folder) return;
  if (messages.FirstReport("read " + PathToUtf8(path))) ReportNow(platform, messages, path, status);
}

std::optional<IniDocument> LoadIniForRewrite(Platform& platform, MessageWriter& messages, const Path& path) {
  IniRead read = ReadIniFile(platform.files, platform.ansi, path);
  if (read.status == IniReadStatus::Unreadable || read.status == IniReadStatus::Folder) {
    ReportNow(platform, messages, path, read.status);
    return std::nullopt;
  }
  return std::move(read.document);
}

bool SaveIniFile(Platform& platform, MessageWriter& messages, const Path& path, const IniDocument& document) {
  return ReplaceFileSafely(platform, messages, path, EncodeIniText(document.Serialize()));
}

bool RewriteIniFile(Platform& platform, MessageWriter& messages, const Path& path,
                    const std::function<bool(IniDocument& document)>& change) {
  const std::unique_ptr<FileLock> lock = LockForRewrite(platform, messages, path);
  if (!lock) return false;
  std::optional<IniDocument> document = LoadIniForRewrite(platform, messages, path);
  if (!document) return false;
  return !change(*document) || SaveIniFile(platform, messages, path, *document);
}

}  // namespace tw
