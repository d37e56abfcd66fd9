#pragma once
// The set of ports one program instance works through. Adapters own the implementations;
// the core only ever sees these references.

namespace tw {

class AnsiCodePage;
class Clock;
class Console;
class DisplayDevices;
class Dialogs;
class FileSystem;
class LibraryLoader;
class Machine;
class SystemErrors;

struct Platform {
  AnsiCodePage& ansi;
  Clock& clock;
  Console& console;
  Dialogs& dialogs;
  FileSystem& files;
  LibraryLoader& libraries;
  Machine& machine;
  SystemErrors& errors;
  DisplayDevices& displayDevices;
};

}  // namespace tw
