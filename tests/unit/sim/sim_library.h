#pragma once
// The simulator as the program meets it: a copy of a library variant in a fresh folder
// (with the scenario beside it), loaded through the platform's own loader (dlopen on the
// host, LoadLibraryW under wine) and called through resolved entry points only.

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "gpu/adl_abi.h"
#include "platform/library_loader.h"

namespace tw::test {

// The allocation callback the tests hand to ADL2_Main_Control_Create: counts what the
// library allocates and what the test frees.
struct AllocationCounter {
  static int allocations;
  static int frees;
  static void* TW_ADL_STDCALL Allocate(int bytes);
  static void Free(void* block);
};

class SimFolder {
 public:
  SimFolder();
  ~SimFolder();
  SimFolder(const SimFolder&) = delete;
  SimFolder& operator=(const SimFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }
  void Write(const std::string& name, const std::string& text) const;
  std::string Read(const std::string& name) const;
  // Journal lines without the "# " notes.
  std::vector<std::string> JournalLines() const;

 private:
  std::filesystem::path path_;
};

// Where the built simulator libraries are: beside the test program.
std::filesystem::path SimulatorBuildFolder();
std::filesystem::path VariantLibrary(const std::string& variant);

class SimLibrary {
 public:
  // Copies the variant under `name` into the folder and loads it.
  SimLibrary(const SimFolder& folder, const std::string& variant = "full", const std::string& name = "atiadlxx.dll");
  ~SimLibrary();
  bool loaded() const { return library_ != nullptr; }
  void* Resolve(const std::string& name) const;
  template <typename Function>
  Function Get(const std::string& name) const {
    return reinterpret_cast<Function>(Resolve(name));
  }
  void Unload();

 private:
  std::unique_ptr<LibraryLoader> loader_;
  std::unique_ptr<LoadedLibrary> library_;
};

// A context of a loaded simulator, destroyed at the end.
class SimContext {
 public:
  explicit SimContext(const SimLibrary& library);
  ~SimContext();
  adl::Context get() const { return context_; }
  int createResult() const { return createResult_; }

 private:
  const SimLibrary& library_;
  adl::Context context_ = nullptr;
  int createResult_ = -100;
};

// Runs the adlsim tool on the folder; returns its exit status and fills its output.
int RunTool(const SimFolder& folder, const std::vector<std::string>& args, std::string* output = nullptr);

}  // namespace tw::test
