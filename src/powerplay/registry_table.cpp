#include "powerplay/registry_table.h"

#include "messages/message_writer.h"
#include "platform/machine.h"
#include "platform/registry.h"

namespace tw {
namespace {

constexpr uint32_t kQueryAndSetValue = 0x0003;  // KEY_QUERY_VALUE | KEY_SET_VALUE

OpenedKey OpenTableKey(Registry& registry, std::string_view regPath) {
  return registry.OpenKey(RegistryRoot::LocalMachine, regPath, kPowerPlayKeyAccess);
}

}  // namespace

int ReadRegistryTable(Registry& registry, std::string_view regPath, PowerPlayTable& table) {
  const OpenedKey opened = OpenTableKey(registry, regPath);
  if (!opened.key) return kRegistryTableMissing;
  RegistryValue value = opened.key->ReadBinary(kPowerPlayValueName, kRegistryTableCapacity);
  if (value.error != 0) return kRegistryTableMissing;
  const auto sizeField = ReadUnsigned(value.bytes, 0, 2);
  if (!sizeField || *sizeField != value.bytes.size()) return kRegistryTableBadSize;
  table = std::move(value.bytes);
  return kRegistryTableFound;
}

int WriteRegistryTable(Registry& registry, MessageWriter& messages, std::string_view regPath,
                       std::span<const uint8_t> table) {
  // Only a table of exactly its own size is ever loaded again (by the driver or by
  // ReadRegistryTable): anything else would replace a working value with a dead one.
  const auto sizeField = ReadUnsigned(table, 0, 2);
  if (!sizeField || *sizeField != table.size()) {
    messages.ShowError("PowerPlayTable not saved to registry: its size field says " +
                       std::to_string(sizeField.value_or(0)) + " bytes, the table holds " +
                       std::to_string(table.size()));
    return kRegistryTableNotWritten;
  }
  const OpenedKey opened = OpenTableKey(registry, regPath);
  if (!opened.key) return kRegistryTableMissing;
  const uint32_t error = opened.key->WriteBinary(kPowerPlayValueName, table);
  if (error == 0) return kRegistryTableFound;
  messages.ShowError("Failed to write \"PP_PhmSoftPowerPlayTable\" to registry", static_cast<int32_t>(error),
                     /*codeIsSystemError=*/true);
  return kRegistryTableNotWritten;
}

bool DeleteRegistryTable(Registry& registry, std::string_view regPath) {
  const OpenedKey opened = OpenTableKey(registry, regPath);
  if (!opened.key) return opened.error == kRegistryErrorNotFound;
  const uint32_t error = opened.key->DeleteValue(kPowerPlayValueName);
  return error == 0 || error == kRegistryErrorNotFound;
}

bool WriteRegeditLastKey(Registry& registry, std::string_view keyText) {
  const OpenedKey opened = registry.OpenKey(RegistryRoot::CurrentUser, kRegeditKeyPath, kQueryAndSetValue);
  if (!opened.key) return false;
  if (opened.key->WriteString(kRegeditLastKeyName, keyText) != 0) return false;
  return opened.key->ReadString(kRegeditLastKeyName) == keyText;
}

std::string RegeditPath(Machine& machine) {
  const std::string folder = machine.WindowsDirectory();
  if (folder.empty()) return {};
  const bool separated = folder.back() == '\\' || folder.back() == '/';
  return folder + (separated ? "" : "\\") + std::string(kRegeditFileName);
}

}  // namespace tw
