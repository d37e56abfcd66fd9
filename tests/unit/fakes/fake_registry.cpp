#include "fakes/fake_registry.h"

#include <cstdio>

namespace tw::test {
namespace {

class FakeKey final : public RegistryKey {
 public:
  FakeKey(FakeRegistry& registry, FakeRegistry::Key& key) : registry_(registry), key_(key) {}

  RegistryValue ReadBinary(std::string_view name, size_t capacity) override {
    registry_.calls.push_back("ReadBinary " + std::string(name) + " " + std::to_string(capacity));
    const auto it = key_.binaries.find(std::string(name));
    if (it == key_.binaries.end()) return {kRegistryErrorNotFound, {}};
    if (it->second.size() > capacity) return {kRegistryErrorMoreData, {}};
    return {0, it->second};
  }

  uint32_t WriteBinary(std::string_view name, std::span<const uint8_t> bytes) override {
    registry_.calls.push_back("WriteBinary " + std::string(name) + " " + std::to_string(bytes.size()));
    if (registry_.writeError) return registry_.writeError;
    key_.binaries[std::string(name)].assign(bytes.begin(), bytes.end());
    return 0;
  }

  uint32_t DeleteValue(std::string_view name) override {
    registry_.calls.push_back("DeleteValue " + std::string(name));
    const auto it = key_.binaries.find(std::string(name));
    if (it == key_.binaries.end()) return kRegistryErrorNotFound;
    if (registry_.deleteError) return registry_.deleteError;
    key_.binaries.erase(it);
    return 0;
  }

  std::optional<std::string> ReadString(std::string_view name) override {
    registry_.calls.push_back("ReadString " + std::string(name));
    const auto it = key_.strings.find(std::string(name));
    if (it == key_.strings.end()) return std::nullopt;
    return registry_.stringsReadBackChanged ? it->second + "?" : it->second;
  }

  uint32_t WriteString(std::string_view name, std::string_view value) override {
    registry_.calls.push_back("WriteString " + std::string(name) + " " + std::string(value));
    if (registry_.writeError) return registry_.writeError;
    key_.strings[std::string(name)] = std::string(value);
    return 0;
  }

 private:
  FakeRegistry& registry_;
  FakeRegistry::Key& key_;
};

}  // namespace

std::string FakeRegistry::Name(RegistryRoot root, std::string_view path) {
  return (root == RegistryRoot::LocalMachine ? "HKLM\\" : "HKCU\\") + std::string(path);
}

OpenedKey FakeRegistry::OpenKey(RegistryRoot root, std::string_view path, uint32_t access) {
  const std::string name = Name(root, path);
  char mask[16];
  std::snprintf(mask, sizeof mask, "0x%x", access);
  calls.push_back("Open " + name + " " + mask);
  if (const auto failure = openFailures.find(name); failure != openFailures.end()) return {nullptr, failure->second};
  const auto it = keys.find(name);
  if (it == keys.end()) return {nullptr, kRegistryErrorNotFound};
  return {std::make_unique<FakeKey>(*this, it->second), 0};
}

}  // namespace tw::test
