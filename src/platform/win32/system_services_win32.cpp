#include "platform/win32/system_services_win32.h"

#include <windows.h>

#include "platform/win32/wide.h"

namespace tw::win32 {

uint32_t SystemErrorsWin32::LastError() { return ::GetLastError(); }

std::string SystemErrorsWin32::Describe(uint32_t code) {
  wchar_t* buffer = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
      MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::string text;
  if (length > 0 && buffer) text = Narrow(std::wstring_view(buffer, length));
  if (buffer) ::LocalFree(buffer);
  return text;
}

std::string AnsiCodePageWin32::ToUtf8(std::string_view ansi) {
  if (ansi.empty()) return {};
  const int length = ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
  if (length <= 0) return {};
  std::wstring wide(static_cast<size_t>(length), L'\0');
  const int written = ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), length);
  wide.resize(static_cast<size_t>(written > 0 ? written : 0));
  return Narrow(wide);
}

std::string AnsiCodePageWin32::FromUtf8(std::string_view utf8) {
  const std::wstring wide = Wide(utf8);
  if (wide.empty()) return {};
  const int length =
      ::WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, "?", nullptr);
  if (length <= 0) return {};
  std::string ansi(static_cast<size_t>(length), '\0');
  const int written =
      ::WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), ansi.data(), length, "?", nullptr);
  ansi.resize(static_cast<size_t>(written > 0 ? written : 0));
  return ansi;
}

void ClockWin32::Sleep(uint32_t milliseconds) { ::Sleep(milliseconds); }

LocalDateTime ClockWin32::Now() {
  SYSTEMTIME t{};
  ::GetLocalTime(&t);
  return LocalDateTime{t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

namespace {

SYSTEMTIME ToSystemTime(const LocalDateTime& when) {
  SYSTEMTIME t{};
  t.wYear = static_cast<WORD>(when.year);
  t.wMonth = static_cast<WORD>(when.month);
  t.wDay = static_cast<WORD>(when.day);
  t.wHour = static_cast<WORD>(when.hour);
  t.wMinute = static_cast<WORD>(when.minute);
  t.wSecond = static_cast<WORD>(when.second);
  return t;
}

}  // namespace

std::string ClockWin32::FormatShortDate(const LocalDateTime& when) {
  const SYSTEMTIME t = ToSystemTime(when);
  wchar_t buffer[128] = {};
  const int length = ::GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &t, nullptr, buffer, 128);
  return length > 0 ? Narrow(std::wstring_view(buffer, static_cast<size_t>(length - 1))) : std::string();
}

std::string ClockWin32::FormatLongTime(const LocalDateTime& when) {
  const SYSTEMTIME t = ToSystemTime(when);
  wchar_t buffer[128] = {};
  const int length = ::GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &t, nullptr, buffer, 128);
  return length > 0 ? Narrow(std::wstring_view(buffer, static_cast<size_t>(length - 1))) : std::string();
}

}  // namespace tw::win32
