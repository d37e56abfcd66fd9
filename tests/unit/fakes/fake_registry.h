#pragma once
// The registry in memory: keys by root and path, binary and string values, and failures
// injected per key or per operation.

#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace tw::test {

class FakeRegistry final : public Registry {
 public:
  struct Key {
    std::map<std::string, std::vector<uint8_t>> binaries;
    std::map<std::string, std::string> strings;
  };

  // Keyed by Name(root, path), e.g. "HKLM\SYSTEM\...".
  std::map<std::string, Key> keys;
  std::map<std::string, uint32_t> openFailures;  // key name -> error code of the open
  uint32_t writeError = 0;                       // returned by every write when set
  uint32_t deleteError = 0;                      // returned by deletes of existing values when set
  bool stringsReadBackChanged = false;           // ReadString returns something else than was written
  std::vector<std::string> calls;                // "Open HKLM\path 0x4001f", "WriteBinary name 180", ...

  static std::string Name(RegistryRoot root, std::string_view path);
  Key& AddKey(RegistryRoot root, std::string_view path) { return keys[Name(root, path)]; }

  OpenedKey OpenKey(RegistryRoot root, std::string_view path, uint32_t access) override;
};

}  // namespace tw::test
