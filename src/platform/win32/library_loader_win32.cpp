#include "platform/win32/library_loader_win32.h"

#include <string>

#include "platform/win32/handles.h"
#include "platform/win32/wide.h"

namespace tw::win32 {
namespace {

class LoadedLibraryWin32 final : public LoadedLibrary {
 public:
  explicit LoadedLibraryWin32(ModuleHandle module) : module_(std::move(module)) {}
  void* Resolve(std::string_view name) override {
    const std::string symbol(name);
    return reinterpret_cast<void*>(::GetProcAddress(module_.get(), symbol.c_str()));
  }

 private:
  ModuleHandle module_;
};

}  // namespace

std::unique_ptr<LoadedLibrary> LibraryLoaderWin32::Load(std::string_view fileName) {
  ModuleHandle module(::LoadLibraryW(Wide(fileName).c_str()));
  if (!module) return nullptr;
  return std::make_unique<LoadedLibraryWin32>(std::move(module));
}

}  // namespace tw::win32
