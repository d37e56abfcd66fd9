#include "profiles/ini_file.h"

#include <string>

#include "app/message_writer.h"
#include "base/text.h"
#include "platform/platform.h"
#include "platform/system_errors.h"
#include "profiles/ini_encoding.h"
#include "profiles/safe_file_writer.h"

namespace tw {

IniRead ReadIniFile(FileSystem& files, AnsiCodePage& ansi, const Path& path) {
  if (!files.FileExists(path)) return {};
  const std::optional<std::string> bytes = files.ReadFile(path);
  if (!bytes) return {IniReadStatus::Unreadable, {}};
  return {IniReadStatus::Loaded, IniDocument::Parse(DecodeIniBytes(*bytes, ansi).text)};
}

void ReportReadFailure(Platform& platform, MessageWriter& messages, const Path& path) {
  messages.ShowError("Failed to read \"" + PathToUtf8(path) + "\"", static_cast<int32_t>(platform.errors.LastError()),
                     true);
}

std::optional<IniDocument> LoadIniForRewrite(Platform& platform, MessageWriter& messages, const Path& path) {
  IniRead read = ReadIniFile(platform.files, platform.ansi, path);
  if (read.status == IniReadStatus::Unreadable) {
    ReportReadFailure(platform, messages, path);
    return std::nullopt;
  }
  return std::move(read.document);
}

bool SaveIniFile(Platform& platform, MessageWriter& messages, const Path& path, const IniDocument& document) {
  return ReplaceFileSafely(platform, messages, path, EncodeIniText(document.Serialize()));
}

}  // namespace tw
