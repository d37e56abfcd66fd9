#include "gpu/driver_connection.h"

#include <array>
#include <string>

#include "gpu/driver_alloc.h"
#include "messages/message_writer.h"
#include "platform/platform.h"
#include "platform/system_errors.h"

namespace tw {
namespace {

constexpr size_t kCreateIndex = 0;
constexpr size_t kDestroyIndex = 1;
constexpr int kEnumConnectedAdapters = 1;

std::unique_ptr<LoadedLibrary> LoadFirstLibrary(LibraryLoader& loader) {
  for (std::string_view name : kDriverLibraryNames)
    if (auto library = loader.Load(name)) return library;
  return nullptr;
}

std::string MissingFunctionsText(const std::array<void*, kEntryPointCount>& addresses) {
  std::string text = "Failed to get ADL function pointers.\nMissing functions:\n";
  for (size_t i = 0; i < kEntryPointCount; ++i) {
    if (addresses[i]) continue;
    text += kEntryPointNames[i].name;
    text += kEntryPointNames[i].note;
    text += "\n";
  }
  return text;
}

}  // namespace

DriverConnection::DriverConnection(std::unique_ptr<LoadedLibrary> library, const DriverEntryPoints& api,
                                   adl::Context context)
    : library_(std::move(library)), api_(api), context_(context) {}

DriverConnection::~DriverConnection() { Close(); }

void DriverConnection::Close() {
  if (!library_) return;
  api_.Main_Control_Destroy(context_);
  context_ = nullptr;
  library_.reset();
}

LibraryFileInfo DriverConnection::DescribeLibrary() const { return library_ ? library_->Describe() : LibraryFileInfo{}; }

void* DriverConnection::ResolveExtra(std::string_view name) { return library_ ? library_->Resolve(name) : nullptr; }

std::unique_ptr<DriverConnection> OpenDriverConnection(Platform& platform, MessageWriter& messages) {
  std::unique_ptr<LoadedLibrary> library = LoadFirstLibrary(platform.libraries);
  if (!library) {
    messages.ShowError("Failed to load ADL library", static_cast<int32_t>(platform.errors.LastError()), true);
    return nullptr;
  }
  // Every name is looked up, whatever the earlier look-ups gave, so that the message can
  // list all that are missing.
  std::array<void*, kEntryPointCount> addresses{};
  bool allFound = true;
  for (size_t i = 0; i < kEntryPointCount; ++i) {
    addresses[i] = library->Resolve(kEntryPointNames[i].name);
    allFound = allFound && addresses[i] != nullptr;
  }
  if (!allFound) {
    const auto lastError = static_cast<int32_t>(platform.errors.LastError());
    const bool canList = addresses[kCreateIndex] && addresses[kDestroyIndex];
    messages.ShowError(canList ? MissingFunctionsText(addresses) : "Failed to get ADL function pointers", lastError,
                       true);
    return nullptr;
  }
  const DriverEntryPoints api = TypedEntryPoints(addresses);
  adl::Context context = nullptr;
  const int result = api.Main_Control_Create(&DriverAlloc, kEnumConnectedAdapters, &context);
  if (result != adl::kOk) {
    messages.ShowError("Failed to initialize ADL context", result, false);
    return nullptr;
  }
  return std::make_unique<DriverConnection>(std::move(library), api, context);
}

}  // namespace tw
