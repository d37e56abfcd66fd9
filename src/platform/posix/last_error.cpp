#include "platform/posix/last_error.h"

#include <cerrno>

namespace tw::posix {
namespace {
thread_local uint32_t lastError = 0;
}

void SetLastError(uint32_t code) { lastError = code; }
uint32_t GetLastError() { return lastError; }

void SetLastErrorFromErrno(int error) {
  switch (error) {
    case ENOENT: SetLastError(kErrorFileNotFound); break;
    case ENOTDIR: SetLastError(kErrorPathNotFound); break;
    case EACCES:
    case EPERM:
    case EROFS: SetLastError(kErrorAccessDenied); break;
    case EBADF: SetLastError(kErrorInvalidHandle); break;
    case ENOSPC: SetLastError(kErrorDiskFull); break;
    case EEXIST: SetLastError(kErrorAlreadyExists); break;
    case EINVAL: SetLastError(kErrorInvalidParameter); break;
    default: SetLastError(kErrorWriteFault); break;
  }
}

}  // namespace tw::posix
