#pragma once
// Whole ini files in and out: one read per load, one safe rewrite per save.

#include <optional>

#include "platform/file_system.h"
#include "profiles/ini_document.h"

namespace tw {

class AnsiCodePage;
class MessageWriter;
struct Platform;

enum class IniReadStatus { Loaded, Missing, Unreadable };

struct IniRead {
  IniReadStatus status = IniReadStatus::Missing;
  IniDocument document;  // empty unless Loaded
};

// Reads and decodes the file without reporting anything.
IniRead ReadIniFile(FileSystem& files, AnsiCodePage& ansi, const Path& path);

// "Failed to read \"path\"" with the system error code of the failed read.
void ReportReadFailure(Platform& platform, MessageWriter& messages, const Path& path);

// The file as the base of a rewrite: an absent file is an empty document; a file that
// exists but cannot be read is reported ("Failed to read ...") and gives nullopt, so that
// no writer replaces content it never saw.
std::optional<IniDocument> LoadIniForRewrite(Platform& platform, MessageWriter& messages, const Path& path);

// Encodes as UTF-16 LE with a byte-order mark and replaces the file safely.
bool SaveIniFile(Platform& platform, MessageWriter& messages, const Path& path, const IniDocument& document);

}  // namespace tw
