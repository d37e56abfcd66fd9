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

// "\\?\" + the full path lifts the MAX_PATH limit ("\\?\UNC\" for a share).
std::wstring LongPath(const Path& path) {
  std::error_code error;
  std::wstring full = std::filesystem::absolute(path, error).make_preferred().wstring();
  if (error) full = Path(path).make_preferred().wstring();
  if (full.rfind(L"\\\\?\\", 0) == 0) return full;
  if (full.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

// The form every call takes: the plain path while it fits the classic limit (folders
// must leave room for an 8.3 name), the long-path form beyond it.
std::wstring Native(const Path& path) {
  constexpr size_t kClassicLimit = MAX_PATH - 12;
  std::wstring plain = path.wstring();
  std::error_code error;
  if (plain.size() < kClassicLimit && std::filesystem::absolute(path, error).wstring().size() < kClassicLimit)
    return plain;
  return LongPath(path);
}

DWORD Attributes(const Path& path) { return ::GetFileAttributesW(Native(path).c_str()); }

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
  FileHandle file(::CreateFileW(Native(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
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
  FileHandle file(::CreateFileW(Native(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
  if (!file) return false;
  if (!WriteAll(file.get(), bytes) || !::FlushFileBuffers(file.get())) {
    LastErrorKeeper keep;
    file.reset();
    return false;
  }
  return true;
}

std::optional<Path> FileSystemWin32::WriteTemporaryFile(const Path& beside, std::string_view bytes) {
  static LONG counter = 0;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::wstring unique = L"." + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                                std::to_wstring(::GetTickCount64()) + L"-" +
                                std::to_wstring(::InterlockedIncrement(&counter)) + L".tmp";
    Path temporary = beside;
    temporary += unique;
    FileHandle file(::CreateFileW(Native(temporary).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
      if (::GetLastError() == ERROR_FILE_EXISTS) continue;
      return std::nullopt;
    }
    if (WriteAll(file.get(), bytes) && ::FlushFileBuffers(file.get())) return temporary;
    LastErrorKeeper keep;
    file.reset();
    ::DeleteFileW(Native(temporary).c_str());
    return std::nullopt;
  }
  return std::nullopt;
}

bool FileSystemWin32::MoveFileOver(const Path& source, const Path& target) {
  const std::wstring from = Native(source);
  const std::wstring to = Native(target);
  // ReplaceFileW keeps the replaced file's security descriptor, attributes and streams,
  // which a move would take from the new file instead. It needs an existing target and a
  // volume that supports it; the move is the fallback.
  if (FileExists(target) &&
      ::ReplaceFileW(to.c_str(), from.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS,
                     nullptr, nullptr))
    return true;
  return ::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

Path FileSystemWin32::FinalPath(const Path& path) {
  const DWORD a = Attributes(path);
  if (a == INVALID_FILE_ATTRIBUTES || !(a & FILE_ATTRIBUTE_REPARSE_POINT)) return path;
  FileHandle file(::CreateFileW(Native(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!file) return path;
  std::wstring buffer(1024, L'\0');
  DWORD length = ::GetFinalPathNameByHandleW(file.get(), buffer.data(), static_cast<DWORD>(buffer.size()), 0);
  if (length >= buffer.size()) {
    buffer.resize(length + 1);
    length = ::GetFinalPathNameByHandleW(file.get(), buffer.data(), static_cast<DWORD>(buffer.size()), 0);
  }
  if (length == 0 || length >= buffer.size()) return path;
  buffer.resize(length);
  return Path(buffer);
}

namespace {

// The lock is the lock file itself, opened without sharing: no other process can open it
// while it is held, and it disappears when closed, also when its process is killed.
class ExclusiveOpenLock final : public FileLock {
 public:
  explicit ExclusiveOpenLock(FileHandle file) : file_(std::move(file)) {}

 private:
  FileHandle file_;
};

}  // namespace

std::unique_ptr<FileLock> FileSystemWin32::TryLockFile(const Path& lockPath, LockAttempt& attempt) {
  FileHandle file(::CreateFileW(Native(lockPath).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  if (!file) {
    const DWORD error = ::GetLastError();
    // A holder's open handle, or a closed one whose delete is still pending.
    const bool busy = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_ACCESS_DENIED;
    attempt = busy ? LockAttempt::Busy : LockAttempt::Failed;
    return nullptr;
  }
  attempt = LockAttempt::Taken;
  return std::make_unique<ExclusiveOpenLock>(std::move(file));
}

bool FileSystemWin32::AppendToFile(const Path& path, std::string_view bytes) {
  FileHandle file(::CreateFileW(Native(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  ::SetFilePointer(file.get(), 0, nullptr, FILE_END);
  return WriteAll(file.get(), bytes);
}

bool FileSystemWin32::CreateDirectories(const Path& path) {
  if (DirectoryExists(path)) return true;
  const Path parent = path.parent_path();
  if (!parent.empty() && parent != path && !DirectoryExists(parent) && !CreateDirectories(parent)) return false;
  if (::CreateDirectoryW(Native(path).c_str(), nullptr)) return true;
  return ::GetLastError() == ERROR_ALREADY_EXISTS && DirectoryExists(path);
}

bool FileSystemWin32::CopyFileOver(const Path& from, const Path& to) {
  return ::CopyFileW(LongPath(from).c_str(), LongPath(to).c_str(), FALSE) != 0;
}

bool FileSystemWin32::RemoveFile(const Path& path) { return ::DeleteFileW(Native(path).c_str()) != 0; }

bool FileSystemWin32::ClearAttributes(const Path& path) {
  return ::SetFileAttributesW(Native(path).c_str(), FILE_ATTRIBUTE_NORMAL) != 0;
}

bool FileSystemWin32::IsReadOnly(const Path& path) {
  const DWORD a = Attributes(path);
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_READONLY);
}

std::vector<std::string> FileSystemWin32::ListFiles(const Path& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAW data{};
  unique_handle<FindHandleTraits> find(::FindFirstFileW(Native(folder / L"*").c_str(), &data));
  if (!find) return names;
  do {
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(Narrow(data.cFileName));
  } while (::FindNextFileW(find.get(), &data));
  return names;
}

FlushFailure FileSystemWin32::FlushToDisk(const Path& path) {
  FileHandle file(::CreateFileW(Native(path).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
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
