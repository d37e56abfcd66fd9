#include "platform/win32/registry_win32.h"

#include <windows.h>

#include "base/unique_handle.h"
#include "platform/win32/wide.h"

namespace tw::win32 {
namespace {

struct RegistryKeyTraits {
  using pointer = HKEY;
  static pointer invalid() noexcept { return nullptr; }
  static void close(pointer key) noexcept { ::RegCloseKey(key); }
};
using KeyHandle = unique_handle<RegistryKeyTraits>;

class RegistryKeyWin32 final : public RegistryKey {
 public:
  explicit RegistryKeyWin32(KeyHandle key) : key_(std::move(key)) {}

  RegistryValue ReadBinary(std::string_view name, size_t capacity) override {
    RegistryValue value;
    value.bytes.resize(capacity);
    DWORD size = static_cast<DWORD>(capacity);
    // A null data pointer would only ask for the size; a one-byte scratch keeps the read a read.
    BYTE scratch = 0;
    BYTE* data = capacity ? value.bytes.data() : &scratch;
    value.error = static_cast<uint32_t>(::RegQueryValueExW(key_.get(), Wide(name).c_str(), nullptr, nullptr, data, &size));
    value.bytes.resize(value.error == ERROR_SUCCESS ? size : 0);
    return value;
  }

  uint32_t WriteBinary(std::string_view name, std::span<const uint8_t> bytes) override {
    return static_cast<uint32_t>(::RegSetValueExW(key_.get(), Wide(name).c_str(), 0, REG_BINARY, bytes.data(),
                                                  static_cast<DWORD>(bytes.size())));
  }

  uint32_t DeleteValue(std::string_view name) override {
    return static_cast<uint32_t>(::RegDeleteValueW(key_.get(), Wide(name).c_str()));
  }

  std::optional<std::string> ReadString(std::string_view name) override {
    const std::wstring wideName = Wide(name);
    DWORD type = 0;
    DWORD size = 0;
    if (::RegQueryValueExW(key_.get(), wideName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != REG_SZ)
      return std::nullopt;
    std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (::RegQueryValueExW(key_.get(), wideName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(text.data()),
                           &size) != ERROR_SUCCESS ||
        type != REG_SZ)
      return std::nullopt;
    text.resize(size / sizeof(wchar_t));
    while (!text.empty() && text.back() == L'\0') text.pop_back();
    return Narrow(text);
  }

  uint32_t WriteString(std::string_view name, std::string_view value) override {
    const std::wstring text = Wide(value);
    const DWORD bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    return static_cast<uint32_t>(::RegSetValueExW(key_.get(), Wide(name).c_str(), 0, REG_SZ,
                                                  reinterpret_cast<const BYTE*>(text.c_str()), bytes));
  }

 private:
  KeyHandle key_;
};

HKEY RootKey(RegistryRoot root) { return root == RegistryRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER; }

}  // namespace

OpenedKey RegistryWin32::OpenKey(RegistryRoot root, std::string_view path, uint32_t access) {
  HKEY raw = nullptr;
  OpenedKey opened;
  opened.error = static_cast<uint32_t>(::RegOpenKeyExW(RootKey(root), Wide(path).c_str(), 0, access, &raw));
  if (opened.error == ERROR_SUCCESS) opened.key = std::make_unique<RegistryKeyWin32>(KeyHandle(raw));
  return opened;
}

}  // namespace tw::win32
