#pragma once
// Loading the display driver library by file name and resolving its entry points.

#include <memory>
#include <string_view>

namespace tw {

// A loaded library; destroying it unloads the library.
class LoadedLibrary {
 public:
  virtual ~LoadedLibrary() = default;
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
