#include "platform/posix/library_loader_posix.h"

#include <dlfcn.h>

#include <string>

#include "base/unique_handle.h"
#include "platform/posix/last_error.h"

namespace tw::posix {
namespace {

struct DlTraits {
  using pointer = void*;
  static pointer invalid() noexcept { return nullptr; }
  static void close(pointer handle) noexcept { ::dlclose(handle); }
};
using DlHandle = unique_handle<DlTraits>;

class LoadedLibraryPosix final : public LoadedLibrary {
 public:
  LoadedLibraryPosix(DlHandle handle, std::string fileName) : handle_(std::move(handle)), fileName_(std::move(fileName)) {}
  // A shared object carries no version resource.
  LibraryFileInfo Describe() override { return {fileName_, ""}; }
  void* Resolve(std::string_view name) override {
    void* symbol = ::dlsym(handle_.get(), std::string(name).c_str());
    if (!symbol) SetLastError(kErrorProcNotFound);
    return symbol;
  }

 private:
  DlHandle handle_;
  std::string fileName_;
};

}  // namespace

LibraryLoaderPosix::LibraryLoaderPosix(Path programFolder) : programFolder_(std::move(programFolder)) {}

std::unique_ptr<LoadedLibrary> LibraryLoaderPosix::Load(std::string_view fileName) {
  const Path path = programFolder_ / std::string(fileName);
  DlHandle handle(::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL));
  if (!handle) {
    SetLastError(kErrorModNotFound);
    return nullptr;
  }
  return std::make_unique<LoadedLibraryPosix>(std::move(handle), std::string(fileName));
}

}  // namespace tw::posix
