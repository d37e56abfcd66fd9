#pragma once
// Loading the display driver library by file name and resolving its entry points.

#include <memory>
#include <string>
#include <string_view>

namespace tw {

// A loaded library's file as the system reports it: its name (no folder) and the version
// of its version resource, "a.b.c.d"; empty where the system reports none.
struct LibraryFileInfo {
  std::string fileName;
  std::string version;
};

// A loaded library; destroying it unloads the library.
class LoadedLibrary {
 public:
  virtual ~LoadedLibrary() = default;
  virtual LibraryFileInfo Describe() { return {}; }
  // nullptr when the name is missing, with the OS error in SystemErrors::LastError.
  virtual void* Resolve(std::string_view name) = 0;
};

class LibraryLoader {
 public:
  virtual ~LibraryLoader() = default;
  // Loads by file name as the platform's loader searches for it (the program's folder
  // first). nullptr on failure, with the OS error in SystemErrors::LastError.
  virtual std::unique_ptr<LoadedLibrary> Load(std::string_view fileName) = 0;
};

}  // namespace tw
