#pragma once
// The ports the table files work through, handed in by the editor (the registry functions
// take the Registry port on its own).

namespace tw {

class AnsiCodePage;
class FileSystem;
class MessageWriter;
class SystemErrors;

struct PowerPlayPorts {
  FileSystem& files;
  SystemErrors& errors;
  AnsiCodePage& ansi;
  MessageWriter& messages;
};

}  // namespace tw
