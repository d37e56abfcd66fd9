#pragma once
// The host build speaks the Windows error-code language so that messages read the same:
// its adapters record a Windows code for every failure here.

#include <cstdint>

namespace tw::posix {

inline constexpr uint32_t kErrorFileNotFound = 2;
inline constexpr uint32_t kErrorPathNotFound = 3;
inline constexpr uint32_t kErrorAccessDenied = 5;
inline constexpr uint32_t kErrorInvalidHandle = 6;
inline constexpr uint32_t kErrorWriteFault = 29;
inline constexpr uint32_t kErrorHandleDiskFull = 39;
inline constexpr uint32_t kErrorInvalidParameter = 87;
inline constexpr uint32_t kErrorDiskFull = 112;
inline constexpr uint32_t kErrorModNotFound = 126;
inline constexpr uint32_t kErrorProcNotFound = 127;
inline constexpr uint32_t kErrorAlreadyExists = 183;

void SetLastError(uint32_t code);
uint32_t GetLastError();
// Records the Windows code that best matches an errno value.
void SetLastErrorFromErrno(int error);

}  // namespace tw::posix
