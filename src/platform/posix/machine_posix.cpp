#include "platform/posix/machine_posix.h"

#include <sys/stat.h>
#include <unistd.h>

#include "base/text.h"

namespace tw::posix {

Path MachinePosix::ExecutablePath() {
  std::error_code error;
  const Path path = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? Path("tunewright") : path;
}

bool MachinePosix::EnumerateDeviceDrivers(size_t, std::vector<uintptr_t>& addresses, uint32_t& neededBytes) {
  addresses.clear();
  neededBytes = 0;
  return true;
}

std::string MachinePosix::DeviceDriverBaseName(uintptr_t) { return {}; }

std::string MachinePosix::SystemDirectory(uint32_t& resultLength) {
  // Where a Linux system keeps its shared libraries stands in for the system directory.
  const std::string folder = "/usr/lib";
  resultLength = static_cast<uint32_t>(folder.size());
  return folder;
}

std::optional<bool> MachinePosix::IsWow64Process() { return false; }

bool MachinePosix::FileExistsWithoutRedirection(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool MachinePosix::IsUserAdmin() { return ::geteuid() == 0; }

}  // namespace tw::posix
