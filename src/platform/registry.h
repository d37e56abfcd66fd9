#pragma once
// The few registry operations the program needs: a binary value under a key of
// HKEY_LOCAL_MACHINE and a string value under HKEY_CURRENT_USER. Keys are opened, never
// created. Results are Windows error codes (0 success, 2 not found, 5 access denied, ...).

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tw {

enum class RegistryRoot { LocalMachine, CurrentUser };

inline constexpr uint32_t kRegistryErrorNotFound = 2;
inline constexpr uint32_t kRegistryErrorMoreData = 234;

struct RegistryValue {
  uint32_t error = 0;          // 0, kRegistryErrorNotFound, kRegistryErrorMoreData (larger than capacity), ...
  std::vector<uint8_t> bytes;  // the data when error is 0
};

// An open key; destroying it closes the key.
class RegistryKey {
 public:
  virtual ~RegistryKey() = default;
  // The value's data whatever its type, when it holds at most `capacity` bytes.
  virtual RegistryValue ReadBinary(std::string_view name, size_t capacity) = 0;
  // Writes the bytes as a REG_BINARY value, creating or replacing it.
  virtual uint32_t WriteBinary(std::string_view name, std::span<const uint8_t> bytes) = 0;
  virtual uint32_t DeleteValue(std::string_view name) = 0;
  // A REG_SZ value; nullopt when it is missing, unreadable or of another type.
  virtual std::optional<std::string> ReadString(std::string_view name) = 0;
  virtual uint32_t WriteString(std::string_view name, std::string_view value) = 0;
};

struct OpenedKey {
  std::unique_ptr<RegistryKey> key;  // null when the key could not be opened
  uint32_t error = 0;
};

class Registry {
 public:
  virtual ~Registry() = default;
  // Opens an existing key with the Windows access mask; never creates one.
  virtual OpenedKey OpenKey(RegistryRoot root, std::string_view path, uint32_t access) = 0;
};

}  // namespace tw
