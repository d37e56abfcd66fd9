#include "platform/win32/machine_win32.h"

#include <windows.h>
#include <psapi.h>

#include <string>

#include "platform/win32/wide.h"

namespace tw::win32 {

Path MachineWin32::ExecutablePath() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length < buffer.size()) {
      buffer.resize(length);
      return Path(buffer);
    }
    buffer.resize(buffer.size() * 2);
  }
}

bool MachineWin32::EnumerateDeviceDrivers(size_t capacity, std::vector<uintptr_t>& addresses, uint32_t& neededBytes) {
  std::vector<LPVOID> slots(capacity);
  DWORD needed = 0;
  const BOOL ok = ::K32EnumDeviceDrivers(slots.data(), static_cast<DWORD>(slots.size() * sizeof(LPVOID)), &needed);
  // A failed call promises nothing about the size it reports.
  neededBytes = ok ? needed : 0;
  addresses.clear();
  if (!ok) return false;
  const size_t count = std::min<size_t>(needed / sizeof(LPVOID), slots.size());
  for (size_t i = 0; i < count; ++i) addresses.push_back(reinterpret_cast<uintptr_t>(slots[i]));
  return true;
}

std::string MachineWin32::DeviceDriverBaseName(uintptr_t address) {
  wchar_t name[128] = {};
  const DWORD length = ::K32GetDeviceDriverBaseNameW(reinterpret_cast<LPVOID>(address), name, 128);
  return Narrow(std::wstring_view(name, length));
}

std::string MachineWin32::SystemDirectory(uint32_t& resultLength) {
  wchar_t buffer[MAX_PATH] = {};
  const UINT length = ::GetSystemDirectoryW(buffer, MAX_PATH);
  resultLength = length;
  if (length == 0 || length >= MAX_PATH) return {};
  return Narrow(std::wstring_view(buffer, length));
}

std::string MachineWin32::WindowsDirectory() {
  // The system's own folder, not a terminal-server user's private one.
  wchar_t buffer[MAX_PATH] = {};
  const UINT length = ::GetSystemWindowsDirectoryW(buffer, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return {};
  return Narrow(std::wstring_view(buffer, length));
}

std::optional<bool> MachineWin32::IsWow64Process() {
  BOOL wow64 = FALSE;
  if (!::IsWow64Process(::GetCurrentProcess(), &wow64)) return std::nullopt;
  return wow64 != FALSE;
}

bool MachineWin32::FileExistsWithoutRedirection(const std::string& path) {
  PVOID previous = nullptr;
  const BOOL disabled = ::Wow64DisableWow64FsRedirection(&previous);
  const DWORD attributes = ::GetFileAttributesW(Wide(path).c_str());
  if (disabled) ::Wow64RevertWow64FsRedirection(previous);
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool MachineWin32::IsUserAdmin() {
  SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;  // 5
  PSID administrators = nullptr;
  if (!::AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID /*32*/,
                                  DOMAIN_ALIAS_RID_ADMINS /*544*/, 0, 0, 0, 0, 0, 0, &administrators))
    return false;
  BOOL member = FALSE;
  const BOOL ok = ::CheckTokenMembership(nullptr, administrators, &member);
  ::FreeSid(administrators);
  return ok && member;
}

}  // namespace tw::win32
