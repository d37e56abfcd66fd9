#include "process_run.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <fstream>
#include <sstream>

namespace tw::bench {
namespace {

std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

[[noreturn]] void ExecChild(const std::vector<std::string>& argv, const std::filesystem::path& folder,
                            const std::filesystem::path& outPath, const std::filesystem::path& errPath) {
  const int in = ::open("/dev/null", O_RDONLY);
  const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (in < 0 || out < 0 || err < 0 || ::chdir(folder.c_str()) != 0) ::_exit(127);
  ::dup2(in, 0);
  ::dup2(out, 1);
  ::dup2(err, 2);
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  ::execv(args[0], args.data());
  ::_exit(127);
}

}  // namespace

ProcessRun RunProcess(const std::vector<std::string>& argv, const std::filesystem::path& folder) {
  ProcessRun run;
  if (argv.empty()) return run;
  const std::filesystem::path outPath = folder / ".bench.out";
  const std::filesystem::path errPath = folder / ".bench.err";
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = ::fork();
  if (child < 0) return run;
  if (child == 0) ExecChild(argv, folder, outPath, errPath);
  int status = 0;
  rusage usage{};
  while (::wait4(child, &status, 0, &usage) < 0) {
    if (errno != EINTR) return run;
  }
  run.wallUs =
      std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start).count();
  run.started = true;
  run.pid = child;
  run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.maxRssKiB = usage.ru_maxrss;
  run.out = ReadAll(outPath);
  run.err = ReadAll(errPath);
  std::filesystem::remove(outPath);
  std::filesystem::remove(errPath);
  return run;
}

}  // namespace tw::bench
