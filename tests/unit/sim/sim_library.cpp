#include "sim/sim_library.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>

#if defined(_WIN32)
#include "platform/win32/library_loader_win32.h"
#include "platform/win32/machine_win32.h"
#else
#include "platform/posix/library_loader_posix.h"
#include "platform/posix/machine_posix.h"
#include <sys/wait.h>
#endif

namespace tw::test {

int AllocationCounter::allocations = 0;
int AllocationCounter::frees = 0;

void* TW_ADL_STDCALL AllocationCounter::Allocate(int bytes) {
  ++allocations;
  return std::malloc(static_cast<size_t>(bytes));
}

void AllocationCounter::Free(void* block) {
  if (!block) return;
  ++frees;
  std::free(block);
}

SimFolder::SimFolder() {
  std::random_device random;
  for (;;) {
    path_ = std::filesystem::temp_directory_path() / ("tw-sim-" + std::to_string(random()));
    if (std::filesystem::create_directory(path_)) break;
  }
}

SimFolder::~SimFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

void SimFolder::Write(const std::string& name, const std::string& text) const {
  std::ofstream(path_ / name, std::ios::binary | std::ios::trunc) << text;
}

std::string SimFolder::Read(const std::string& name) const {
  std::ifstream in(path_ / name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> SimFolder::JournalLines() const {
  std::vector<std::string> lines;
  std::istringstream in(Read("adlsim.journal"));
  std::string line;
  while (std::getline(in, line))
    if (!line.empty() && line[0] != '#') lines.push_back(line);
  return lines;
}

std::filesystem::path SimulatorBuildFolder() {
#if defined(_WIN32)
  win32::MachineWin32 machine;
#else
  posix::MachinePosix machine;
#endif
  return machine.ExecutablePath().parent_path();
}

std::filesystem::path VariantLibrary(const std::string& variant) {
  return SimulatorBuildFolder() / "simvariants" / variant / "atiadlxx.dll";
}

SimLibrary::SimLibrary(const SimFolder& folder, const std::string& variant, const std::string& name) {
  // A fresh file renamed into place, never the old one rewritten: a library unloaded a
  // moment ago may still be mapped (C++ libraries often stay loaded after dlclose), and
  // rewriting a mapped file under it ends the process with SIGBUS.
  const std::filesystem::path copy = folder.path() / (name + ".copy");
  std::filesystem::copy_file(VariantLibrary(variant), copy, std::filesystem::copy_options::overwrite_existing);
  std::filesystem::rename(copy, folder.path() / name);
#if defined(_WIN32)
  loader_ = std::make_unique<win32::LibraryLoaderWin32>(win32::LibrarySearch::ProgramFolderFirst);
  library_ = loader_->Load((folder.path() / name).string());
#else
  loader_ = std::make_unique<posix::LibraryLoaderPosix>(folder.path());
  library_ = loader_->Load(name);
#endif
}

SimLibrary::~SimLibrary() = default;

void* SimLibrary::Resolve(const std::string& name) const { return library_ ? library_->Resolve(name) : nullptr; }

void SimLibrary::Unload() { library_.reset(); }

SimContext::SimContext(const SimLibrary& library) : library_(library) {
  auto create = library.Get<adl::Main_Control_Create>("ADL2_Main_Control_Create");
  if (create) createResult_ = create(&AllocationCounter::Allocate, 1, &context_);
}

SimContext::~SimContext() {
  auto destroy = library_.Get<adl::Main_Control_Destroy>("ADL2_Main_Control_Destroy");
  if (destroy && context_) destroy(context_);
}

int RunTool(const SimFolder& folder, const std::vector<std::string>& args, std::string* output) {
#if defined(_WIN32)
  const std::filesystem::path tool = SimulatorBuildFolder() / "adlsim.exe";
#else
  const std::filesystem::path tool = SimulatorBuildFolder() / "adlsim";
#endif
  std::string command = "\"" + tool.string() + "\" --dir \"" + folder.path().string() + "\"";
  for (const std::string& arg : args) command += " \"" + arg + "\"";
  const std::filesystem::path out = folder.path() / "tool-output.txt";
  command += " > \"" + out.string() + "\" 2>&1";
#if defined(_WIN32)
  command = "\"" + command + "\"";  // cmd /c strips one pair of quotes around the whole line
#endif
  const int status = std::system(command.c_str());
  if (output) *output = folder.Read("tool-output.txt");
#if defined(_WIN32)
  return status;
#else
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
}

}  // namespace tw::test
