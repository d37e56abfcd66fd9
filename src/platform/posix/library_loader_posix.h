#pragma once

#include "platform/library_loader.h"
#include "platform/file_system.h"

namespace tw::posix {

// Loads shared objects by the driver library's Windows file names, looking in the
// program's folder as Windows does first; the simulator is built under those names.
class LibraryLoaderPosix final : public LibraryLoader {
 public:
  explicit LibraryLoaderPosix(Path programFolder);
  std::unique_ptr<LoadedLibrary> Load(std::string_view fileName) override;

 private:
  Path programFolder_;
};

}  // namespace tw::posix
