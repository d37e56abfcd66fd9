#pragma once
// Whole ini files in and out: one read per load, one safe rewrite per save, each rewrite
// under the file's lock against other runs of the program.

#include <functional>
#include <optional>

#include "ini/ini_document.h"
#include "platform/file_system.h"

namespace tw {

class AnsiCodePage;
class MessageWriter;
struct Platform;

// Folder: a folder stands where the file should be; it is never read nor replaced.
enum class IniReadStatus { Loaded, Missing, Unreadable, Folder };

struct IniRead {
  IniReadStatus status = IniReadStatus::Missing;
  IniDocument document;  // empty unless Loaded
};

// Reads and decodes the file without reporting anything.
IniRead ReadIniFile(FileSystem& files, AnsiCodePage& ansi, const Path& path);

// Reports a file that could not be read ("Failed to read \"path\"" with the system error
// code of the failed read) or a folder in its place, once per run and file: the same file
// is read by several parts of the start-up. Nothing for a loaded or missing file.
void ReportReadProblem(Platform& platform, MessageWriter& messages, const Path& path, IniReadStatus status);

// The file as the base of a rewrite: an absent file is an empty document; a file that
// exists but cannot be read, or a folder of its name, is reported (every time: a save was
// refused) and gives nullopt, so that no writer replaces content it never saw.
std::optional<IniDocument> LoadIniForRewrite(Platform& platform, MessageWriter& messages, const Path& path);

// Encodes as UTF-16 LE with a byte-order mark and replaces the file safely. The caller
// holds the file's lock (LockForRewrite).
bool SaveIniFile(Platform& platform, MessageWriter& messages, const Path& path, const IniDocument& document);

// One whole read-modify-write under the file's lock: `change` edits the document and
// answers whether anything changed; only then is the file replaced. False when the lock,
// the read or the write failed (each reported).
bool RewriteIniFile(Platform& platform, MessageWriter& messages, const Path& path,
                    const std::function<bool(IniDocument& document)>& change);

}  // namespace tw
