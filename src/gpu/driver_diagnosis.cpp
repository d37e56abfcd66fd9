#include "gpu/driver_diagnosis.h"

#include <optional>
#include <string>

#include "base/text.h"
#include "messages/message_writer.h"
#include "platform/library_loader.h"
#include "platform/machine.h"
#include "platform/platform.h"
#include "platform/system_errors.h"

namespace tw {
namespace {

constexpr uint32_t kShortestSystemDirectory = 4;

// The third library name is not tried: a library found only under it says nothing about
// the driver's age.
std::unique_ptr<LoadedLibrary> LoadDiagnosisLibrary(LibraryLoader& loader) {
  if (auto library = loader.Load("atiadlxx.dll")) return library;
  return loader.Load("atiadlxy.dll");
}

// A 32-bit process on 64-bit Windows finds the 32-bit library in SysWOW64.
std::string ToWow64Path(const std::string& path) {
  const std::string needle = "\\system32";
  const size_t at = ToLowerAscii(path).find(needle);
  if (at == std::string::npos) return path;
  return path.substr(0, at) + "\\SysWOW64" + path.substr(at + needle.size());
}

}  // namespace

int DiagnoseDriver(Platform& platform, MessageWriter& messages) {
  if (std::unique_ptr<LoadedLibrary> library = LoadDiagnosisLibrary(platform.libraries)) {
    const bool hasExtSettings = library->Resolve("ADL2_OverdriveN_SettingsExt_Get") != nullptr;
    return hasExtSettings ? kDiagnosisUsable : kDiagnosisTooOld;
  }
  uint32_t length = 0;
  const std::string systemDirectory = platform.machine.SystemDirectory(length);
  if (length < kShortestSystemDirectory) {
    messages.ShowError("GetSystemDirectory function failed", static_cast<int32_t>(platform.errors.LastError()),
                       true);
    return kDiagnosisUnknown;
  }
  std::string path = systemDirectory + "\\atiadlxx.dll";
  const std::optional<bool> wow64 = platform.machine.IsWow64Process();
  if (!wow64) {
    messages.ShowError("IsWow64Process function failed", static_cast<int32_t>(platform.errors.LastError()), true);
    return kDiagnosisUnknown;
  }
  if (*wow64) path = ToWow64Path(path);
  path = ReplaceAll(path, "\\windows", "\\Windows");
  if (platform.machine.FileExistsWithoutRedirection(path)) return kDiagnosisUnknown;
  messages.ShowError("Required driver file: " + path + " not found.");
  return kDiagnosisFileMissing;
}

}  // namespace tw
