// The floor with the driver library loaded and unloaded once, as the program's first
// connection does: what any program pays for the dynamic loading of the simulator
// (mapping, relocation, static initialisation) before its first call. The benchmark shows
// it beside the plain floor so that this part of Tunewright's own time can be told apart.

#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>

int wmain(int argc, wchar_t** argv) {
  const std::vector<std::wstring> args(argv + 1, argv + argc);
  // The exe's own folder comes first in the search order, as for Tunewright.
  const HMODULE library = ::LoadLibraryW(L"atiadlxx.dll");
  if (!library) return 1;
  ::FreeLibrary(library);
  return args.size() > 1000 ? 1 : 0;
}
#else
#include <dlfcn.h>

#include <filesystem>

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  const std::filesystem::path beside = std::filesystem::read_symlink("/proc/self/exe").parent_path() / "atiadlxx.dll";
  void* library = ::dlopen(beside.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!library) return 1;
  ::dlclose(library);
  return args.size() > 1000 ? 1 : 0;
}
#endif
