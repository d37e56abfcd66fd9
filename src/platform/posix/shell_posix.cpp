#include "platform/posix/shell_posix.h"

#include <spawn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "base/text.h"

extern char** environ;

namespace tw::posix {

intptr_t ShellPosix::Execute(std::string_view, const Path& file, std::string_view parameters,
                             const Path& workingDirectory, WindowMode) {
  struct stat info {};
  if (::stat(file.c_str(), &info) != 0) return 2;
  if (::access(file.c_str(), X_OK) != 0) return 5;

  std::vector<std::string> args = {file.string()};
  for (const std::string& piece : Split(parameters, ' '))
    if (!piece.empty()) args.push_back(piece);
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addchdir_np(&actions, workingDirectory.c_str());
  pid_t pid = 0;
  const int started = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  return started == 0 ? 42 : 5;
}

}  // namespace tw::posix
