#pragma once

#include "platform/library_loader.h"

namespace tw::win32 {

class LibraryLoaderWin32 final : public LibraryLoader {
 public:
  std::unique_ptr<LoadedLibrary> Load(std::string_view fileName) override;
};

}  // namespace tw::win32
