#include "platform/win32/file_system_win32.h"

#include <windows.h>

#include "platform/win32/handles.h"
#include "platform/win32/wide.h"

namespace tw::win32 {
namespace {

struct FindHandleTraits {
  using pointer = HANDLE;
  static pointer invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static void close(pointer h) noexcept { ::FindClose(h); }
};

// "\\?\" + the full path lifts the MAX_PATH limit for copies.
std::wstring LongPath(const Path& path) {
  std::wstring full = std::filesystem::absolute(path).wstring();
  if (full.rfind(L"\\\\?\\", 0) == 0) return full;
  return L"\\\\?\\" + full;
}

DWORD Attributes(const Path& path) { return ::GetFileAttributesW(path.c_str()); }

bool WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 20));
    DWORD written = 0;
    if (!::WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

}  // namespace

bool FileSystemWin32::FileExists(const Path& path) {
  const DWORD a = Attributes(path);
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool FileSystemWin32::DirectoryExists(const Path& path) {
  const DWORD a = Attributes(path);
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::optional<std::string> FileSystemWin32::ReadFile(const Path& path) {
  FileHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return std::nullopt;
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file.get(), &size) || size.QuadPart > 0x7FFFFFFF) return std::nullopt;
  std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD got = 0;
    if (!::ReadFile(file.get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &got, nullptr))
      return std::nullopt;
    if (got == 0) break;
    done += got;
  }
  bytes.resize(done);
  return bytes;
}

bool FileSystemWin32::WriteNewFile(const Path& path, std::string_view bytes) {
  FileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
  if (!file) return false;
  if (!WriteAll(file.get(), bytes) || !::FlushFileBuffers(file.get())) {
    LastErrorKeeper keep;
    file.reset();
    return false;
  }
  return true;
}

bool FileSystemWin32::MoveFileOver(const Path& source, const Path& target) {
  return ::MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool FileSystemWin32::AppendToFile(const Path& path, std::string_view bytes) {
  FileHandle file(::CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  ::SetFilePointer(file.get(), 0, nullptr, FILE_END);
  return WriteAll(file.get(), bytes);
}

bool FileSystemWin32::CreateDirectories(const Path& path) {
  if (DirectoryExists(path)) return true;
  const Path parent = path.parent_path();
  if (!parent.empty() && parent != path && !DirectoryExists(parent) && !CreateDirectories(parent)) return false;
  if (::CreateDirectoryW(path.c_str(), nullptr)) return true;
  return ::GetLastError() == ERROR_ALREADY_EXISTS && DirectoryExists(path);
}

bool FileSystemWin32::CopyFileOver(const Path& from, const Path& to) {
  return ::CopyFileW(LongPath(from).c_str(), LongPath(to).c_str(), FALSE) != 0;
}

bool FileSystemWin32::RemoveFile(const Path& path) { return ::DeleteFileW(path.c_str()) != 0; }

bool FileSystemWin32::ClearAttributes(const Path& path) {
  return ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL) != 0;
}

bool FileSystemWin32::IsReadOnly(const Path& path) {
  const DWORD a = Attributes(path);
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_READONLY);
}

std::vector<std::string> FileSystemWin32::ListFiles(const Path& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAW data{};
  unique_handle<FindHandleTraits> find(::FindFirstFileW((folder / L"*").c_str(), &data));
  if (!find) return names;
  do {
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(Narrow(data.cFileName));
  } while (::FindNextFileW(find.get(), &data));
  return names;
}

FlushFailure FileSystemWin32::FlushToDisk(const Path& path) {
  FileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_FLAG_WRITE_THROUGH | FILE_FLAG_NO_BUFFERING, nullptr));
  if (!file) return FlushFailure::Open;
  if (!::FlushFileBuffers(file.get())) {
    LastErrorKeeper keep;
    file.reset();
    return FlushFailure::Flush;
  }
  return FlushFailure::None;
}

}  // namespace tw::win32
