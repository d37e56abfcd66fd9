#include <windows.h>

#include <cstdio>
#include <string>

#include "os.h"

namespace adlsim::os {
namespace {

std::wstring Wide(const std::string& utf8) {
  if (utf8.empty()) return {};
  const int length = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  if (length <= 0) return {};
  std::wstring wide(static_cast<size_t>(length), L'\0');
  const int written = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), length);
  wide.resize(static_cast<size_t>(written > 0 ? written : 0));
  return wide;
}

std::string Narrow(const std::wstring& wide) {
  if (wide.empty()) return {};
  const int length =
      ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  if (length <= 0) return {};
  std::string utf8(static_cast<size_t>(length), '\0');
  const int written = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(),
                                            length, nullptr, nullptr);
  utf8.resize(static_cast<size_t>(written > 0 ? written : 0));
  return utf8;
}

class File {
 public:
  explicit File(HANDLE handle) : handle_(handle) {}
  ~File() {
    if (valid()) ::CloseHandle(handle_);
  }
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }
  bool Close() {
    const bool ok = ::CloseHandle(handle_) != 0;
    handle_ = INVALID_HANDLE_VALUE;
    return ok;
  }

 private:
  HANDLE handle_;
};

bool WriteAll(HANDLE file, const std::string& bytes) {
  DWORD written = 0;
  return ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

}  // namespace

std::filesystem::path OwnModulePath() {
  HMODULE module = nullptr;
  if (!::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCWSTR>(&OwnModulePath), &module))
    return {};
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = ::GetModuleFileNameW(module, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) {
      buffer.resize(length);
      return std::filesystem::path(buffer);
    }
    buffer.resize(buffer.size() * 2);
  }
}

bool OwnModuleExports(const char* name) {
  HMODULE module = nullptr;
  if (!::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCWSTR>(&OwnModulePath), &module))
    return false;
  return ::GetProcAddress(module, name) != nullptr;
}

std::optional<std::string> GetEnv(const char* name) {
  const std::wstring wideName = Wide(name);
  const DWORD length = ::GetEnvironmentVariableW(wideName.c_str(), nullptr, 0);
  if (length == 0) return std::nullopt;
  std::wstring value(length, L'\0');
  const DWORD got = ::GetEnvironmentVariableW(wideName.c_str(), value.data(), length);
  // A value that grew since its length was asked for was not copied: the answer is its new length.
  if (got >= length) return std::nullopt;
  value.resize(got);
  if (value.empty()) return std::nullopt;
  return Narrow(value);
}

std::optional<std::string> ReadFile(const std::filesystem::path& path) {
  File file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return std::nullopt;
  std::string bytes;
  char buffer[8192];
  DWORD got = 0;
  while (::ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  return bytes;
}

bool WriteFileAtomically(const std::filesystem::path& path, const std::string& bytes) {
  std::filesystem::path temporary = path;
  temporary += L".tmp" + std::to_wstring(::GetCurrentProcessId());
  {
    File file(::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return false;
    if (!WriteAll(file.get(), bytes) || !file.Close()) {
      ::DeleteFileW(temporary.c_str());
      return false;
    }
  }
  if (!::MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    ::DeleteFileW(temporary.c_str());
    return false;
  }
  return true;
}

bool AppendToFile(const std::filesystem::path& path, const std::string& bytes) {
  File file(::CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                          nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  return file.valid() && WriteAll(file.get(), bytes);
}

AppendFile::~AppendFile() {
  if (handle_ != -1) ::CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

bool AppendFile::Append(const std::string& bytes) {
  if (handle_ == -1) {
    // FILE_APPEND_DATA alone makes every write go to the end of the file, also when other
    // processes append to it meanwhile.
    const HANDLE file = ::CreateFileW(path_.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    handle_ = reinterpret_cast<intptr_t>(file);
  }
  return WriteAll(reinterpret_cast<HANDLE>(handle_), bytes);
}

void SleepMicroseconds(int microseconds) {
  if (microseconds <= 0) return;
  // Sleep() counts whole milliseconds (and often more); the rest is waited out on the
  // performance counter.
  LARGE_INTEGER frequency{}, start{}, now{};
  if (!::QueryPerformanceFrequency(&frequency) || !::QueryPerformanceCounter(&start)) {
    ::Sleep(static_cast<DWORD>((microseconds + 999) / 1000));  // no counter: whole milliseconds, rounded up
    return;
  }
  const LONGLONG ticks = frequency.QuadPart * microseconds / 1000000;
  if (microseconds >= 2000) ::Sleep(static_cast<DWORD>(microseconds / 1000 - 1));
  do {
    if (!::QueryPerformanceCounter(&now)) return;
  } while (now.QuadPart - start.QuadPart < ticks);
}

unsigned long ProcessId() { return ::GetCurrentProcessId(); }

void SetLastErrorCode(uint32_t code) { ::SetLastError(code); }

void WriteStderr(const std::string& text) {
  std::fputs(text.c_str(), stderr);
  std::fflush(stderr);
}

}  // namespace adlsim::os
