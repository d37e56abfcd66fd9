#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <thread>

#include "os.h"

namespace adlsim::os {

std::filesystem::path OwnModulePath() {
  Dl_info info{};
  if (::dladdr(reinterpret_cast<void*>(&OwnModulePath), &info) == 0 || !info.dli_fname) return {};
  std::error_code error;
  const std::filesystem::path path = std::filesystem::absolute(info.dli_fname, error);
  return error ? std::filesystem::path(info.dli_fname) : path;
}

bool OwnModuleExports(const char* name) {
  Dl_info info{};
  if (::dladdr(reinterpret_cast<void*>(&OwnModulePath), &info) == 0 || !info.dli_fname) return false;
  void* self = ::dlopen(info.dli_fname, RTLD_LAZY | RTLD_NOLOAD);
  if (!self) return false;
  const bool found = ::dlsym(self, name) != nullptr;
  ::dlclose(self);
  return found;
}

std::optional<std::string> GetEnv(const char* name) {
  const char* value = std::getenv(name);
  if (!value || !*value) return std::nullopt;
  return std::string(value);
}

std::optional<std::string> ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), {});
}

bool WriteFileAtomically(const std::filesystem::path& path, const std::string& bytes) {
  std::filesystem::path temporary = path;
  temporary += ".tmp" + std::to_string(::getpid());
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
    if (n <= 0) break;
    written += static_cast<size_t>(n);
  }
  const bool ok = written == bytes.size() && ::close(fd) == 0;
  if (!ok || std::rename(temporary.c_str(), path.c_str()) != 0) {
    ::unlink(temporary.c_str());
    return false;
  }
  return true;
}

bool AppendToFile(const std::filesystem::path& path, const std::string& bytes) {
  // One write per line with O_APPEND: lines of two processes never interleave.
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  const bool ok = ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
  ::close(fd);
  return ok;
}

AppendFile::~AppendFile() {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));
}

bool AppendFile::Append(const std::string& bytes) {
  if (handle_ < 0) handle_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (handle_ < 0) return false;
  return ::write(static_cast<int>(handle_), bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
}

void SleepMicroseconds(int microseconds) {
  if (microseconds > 0) std::this_thread::sleep_for(std::chrono::microseconds(microseconds));
}

unsigned long ProcessId() { return static_cast<unsigned long>(::getpid()); }

void SetLastErrorCode(uint32_t) {}

void WriteStderr(const std::string& text) {
  std::fputs(text.c_str(), stderr);
  std::fflush(stderr);
}

}  // namespace adlsim::os
