#include "platform/posix/system_services_posix.h"

#include <time.h>

#include <array>
#include <cstdio>

#include "base/text.h"
#include "platform/posix/last_error.h"

namespace tw::posix {
namespace {

// Windows-1252 bytes 0x80..0x9F; 0 marks the five undefined ones.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

}  // namespace

uint32_t SystemErrorsPosix::LastError() { return GetLastError(); }

std::string SystemErrorsPosix::Describe(uint32_t code) {
  switch (code) {
    case 0: return "The operation completed successfully.\r\n";
    case kErrorFileNotFound: return "The system cannot find the file specified.\r\n";
    case kErrorPathNotFound: return "The system cannot find the path specified.\r\n";
    case kErrorAccessDenied: return "Access is denied.\r\n";
    case kErrorInvalidHandle: return "The handle is invalid.\r\n";
    case kErrorWriteFault: return "The system cannot write to the specified device.\r\n";
    case kErrorHandleDiskFull: return "The disk is full.\r\n";
    case kErrorInvalidParameter: return "The parameter is incorrect.\r\n";
    case kErrorDiskFull: return "There is not enough space on the disk.\r\n";
    case kErrorModNotFound: return "The specified module could not be found.\r\n";
    case kErrorProcNotFound: return "The specified procedure could not be found.\r\n";
    case kErrorAlreadyExists: return "Cannot create a file when that file already exists.\r\n";
    default: return "";
  }
}

std::string AnsiCodePagePosix::ToUtf8(std::string_view ansi) {
  std::u16string wide;
  wide.reserve(ansi.size());
  for (char c : ansi) {
    const auto byte = static_cast<unsigned char>(c);
    char16_t unit = byte;
    if (byte >= 0x80 && byte < 0xA0) unit = kCp1252High[byte - 0x80] ? kCp1252High[byte - 0x80] : u'?';
    wide += unit;
  }
  return Utf16ToUtf8(wide);
}

std::string AnsiCodePagePosix::FromUtf8(std::string_view utf8) {
  const std::u16string wide = Utf8ToUtf16(utf8);
  std::string out;
  out.reserve(wide.size());
  for (char16_t unit : wide) {
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) {
      out += static_cast<char>(unit);
      continue;
    }
    char mapped = '?';
    for (size_t i = 0; i < kCp1252High.size(); ++i)
      if (kCp1252High[i] != 0 && kCp1252High[i] == unit) mapped = static_cast<char>(0x80 + i);
    out += mapped;
  }
  return out;
}

void ClockPosix::Sleep(uint32_t milliseconds) {
  timespec wanted{static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L};
  while (nanosleep(&wanted, &wanted) != 0) {
  }
}

LocalDateTime ClockPosix::Now() {
  const time_t now = time(nullptr);
  tm local{};
  localtime_r(&now, &local);
  return LocalDateTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                       local.tm_hour,        local.tm_min,     local.tm_sec};
}

std::string ClockPosix::FormatShortDate(const LocalDateTime& when) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", when.year, when.month, when.day);
  return buffer;
}

std::string ClockPosix::FormatLongTime(const LocalDateTime& when) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d", when.hour, when.minute, when.second);
  return buffer;
}

}  // namespace tw::posix
