// adlsim: look at and change the simulated rig from outside the program.
//   adlsim [--dir FOLDER] show | reset | journal | clear-journal | paths | set card.N.KEY VALUE
// It loads the simulator library (atiadlxx.dll in FOLDER, by default beside the tool), so
// it sees the same scenario, state and journal as a program beside that library.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/simulated/adlsim_machine.h"
#include "platform/library_loader.h"

#if defined(_WIN32)
#include "platform/win32/library_loader_win32.h"
#else
#include "platform/posix/library_loader_posix.h"
#endif

namespace {

int Usage() {
  std::fputs(
      "usage: adlsim [--dir FOLDER] COMMAND\n"
      "  show                 the rig (scenario) and the values it holds now\n"
      "  reset                forget every change: the state starts from the scenario again\n"
      "  journal              print the call journal\n"
      "  clear-journal        empty the call journal\n"
      "  paths                where the scenario, state and journal files are\n"
      "  set card.N.KEY VALUE change a held value as another program would, for example\n"
      "                       adlsim set card.0.power \"20 90\"   (power target %, max temperature)\n",
      stderr);
  return 2;
}

template <typename Function>
Function Resolve(tw::LoadedLibrary& library, const char* name) {
  return reinterpret_cast<Function>(library.Resolve(name));
}

std::string CallText(adlsim_Tool_Describe_t function) {
  int length = 0;
  function(nullptr, 0, &length);
  std::string text(static_cast<size_t>(length > 0 ? length : 1), '\0');
  function(text.data(), static_cast<int>(text.size()), &length);
  text.resize(text.find('\0') == std::string::npos ? text.size() : text.find('\0'));
  return text;
}

// The journal's path from the "paths" text: the line that starts with "journal " (a
// scenario or state path may well contain that word itself).
std::filesystem::path JournalPath(const std::string& paths) {
  constexpr std::string_view kKey = "journal ";
  for (size_t start = 0; start < paths.size();) {
    size_t end = paths.find('\n', start);
    if (end == std::string::npos) end = paths.size();
    const std::string_view line = std::string_view(paths).substr(start, end - start);
    if (line.substr(0, kKey.size()) == kKey) {
      const std::string_view text = line.substr(kKey.size());
      return std::filesystem::path(std::u8string(text.begin(), text.end()));
    }
    start = end + 1;
  }
  return {};
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::filesystem::path folder;
  if (args.size() >= 2 && args[0] == "--dir") {
    folder = args[1];
    args.erase(args.begin(), args.begin() + 2);
  }
  if (args.empty()) return Usage();

#if defined(_WIN32)
  tw::win32::LibraryLoaderWin32 loader(tw::win32::LibrarySearch::ProgramFolderFirst);
  const std::string libraryName = folder.empty() ? "atiadlxx.dll" : (folder / "atiadlxx.dll").string();
#else
  if (folder.empty()) folder = std::filesystem::read_symlink("/proc/self/exe").parent_path();
  tw::posix::LibraryLoaderPosix loader(folder);
  const std::string libraryName = "atiadlxx.dll";
#endif
  std::unique_ptr<tw::LoadedLibrary> library = loader.Load(libraryName);
  if (!library) {
    std::fprintf(stderr, "adlsim: cannot load the simulator library %s\n", libraryName.c_str());
    return 1;
  }
  auto describe = Resolve<adlsim_Tool_Describe_t>(*library, "adlsim_Tool_Describe");
  auto reset = Resolve<adlsim_Tool_Reset_t>(*library, "adlsim_Tool_Reset");
  auto setValue = Resolve<adlsim_Tool_SetValue_t>(*library, "adlsim_Tool_SetValue");
  auto paths = Resolve<adlsim_Tool_Paths_t>(*library, "adlsim_Tool_Paths");
  if (!describe || !reset || !setValue || !paths) {
    std::fputs("adlsim: the library is not the simulator\n", stderr);
    return 1;
  }

  const std::string& command = args[0];
  if (command == "show" && args.size() == 1) {
    std::fputs(CallText(describe).c_str(), stdout);
    return 0;
  }
  if (command == "paths" && args.size() == 1) {
    std::fputs(CallText(paths).c_str(), stdout);
    return 0;
  }
  if (command == "reset" && args.size() == 1) {
    if (reset() != 0) {
      std::fputs("adlsim: the simulator cannot reset (see its error above)\n", stderr);
      return 1;
    }
    std::puts("state reset to the scenario");
    return 0;
  }
  if ((command == "journal" || command == "clear-journal") && args.size() == 1) {
    const std::filesystem::path path = JournalPath(CallText(paths));
    if (path.empty()) {
      std::fputs("adlsim: the simulator names no journal\n", stderr);
      return 1;
    }
    if (command == "clear-journal") {
      std::ofstream(path, std::ios::trunc);
      return 0;
    }
    std::ifstream in(path, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    std::fputs(text.c_str(), stdout);
    return 0;
  }
  if (command == "set" && args.size() == 3) {
    const unsigned error = setValue(args[1].c_str(), args[2].c_str());
    if (error != 0) {
      std::fprintf(stderr, "adlsim: cannot set %s to '%s' (error %u)\n", args[1].c_str(), args[2].c_str(), error);
      return 1;
    }
    return 0;
  }
  return Usage();
}
