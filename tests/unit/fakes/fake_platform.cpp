#include "fakes/fake_platform.h"

#include <cstdio>

namespace tw::test {

bool FakeConsole::AttachToParent(uint32_t& error) {
  ++attachCalls;
  if (attachSucceeds) return true;
  error = attachError;
  return false;
}

bool FakeConsole::OpenStandardOutput(uint32_t& error) {
  if (stdOutputValid) return true;
  error = stdOutputError;
  return false;
}

std::string FakeConsole::Output() const {
  std::string out;
  for (const std::string& event : events)
    if (event.rfind("write:", 0) == 0) out += event.substr(6);
  return out;
}

bool FakeDialogs::AskYesNo(std::string_view text, std::string_view caption) {
  boxes.push_back({std::string(text), std::string(caption), BoxIcon::Question, false});
  if (answers.empty()) return false;
  const bool answer = answers.front();
  answers.pop_front();
  return answer;
}

Choice FakeDialogs::AskYesNoCancel(std::string_view text, std::string_view caption) {
  boxes.push_back({std::string(text), std::string(caption), BoxIcon::Question, false});
  if (choices.empty()) return Choice::No;
  const Choice answer = choices.front();
  choices.pop_front();
  return answer;
}

bool FakeDialogs::AskText(std::string_view caption, std::string_view prompt, std::string& text) {
  boxes.push_back({std::string(prompt), std::string(caption), BoxIcon::None, false});
  textShown.push_back(text);
  if (textAnswers.empty()) return false;
  const std::optional<std::string> answer = textAnswers.front();
  textAnswers.pop_front();
  if (!answer) return false;
  text = *answer;
  return true;
}

std::string FakeSystemErrors::Describe(uint32_t code) {
  const auto it = texts.find(code);
  return it == texts.end() ? std::string() : it->second;
}

std::string FakeClock::FormatShortDate(const LocalDateTime& when) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%02d.%02d.%04d", when.day, when.month, when.year);
  return buffer;
}

std::string FakeClock::FormatLongTime(const LocalDateTime& when) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d", when.hour, when.minute, when.second);
  return buffer;
}

bool InMemoryFileSystem::Injected(const std::string& operation, const Path& path) {
  calls.push_back(operation + " " + Key(path));
  auto it = failures.find(operation + " " + Key(path));
  if (it == failures.end()) it = failures.find(operation);
  if (it == failures.end()) return false;
  errors_.lastError = it->second;
  return true;
}

bool InMemoryFileSystem::FileExists(const Path& path) { return files.count(Key(FinalPath(path))) != 0; }

bool InMemoryFileSystem::DirectoryExists(const Path& path) { return folders.count(Key(path)) != 0; }

std::optional<std::string> InMemoryFileSystem::ReadFile(const Path& path) {
  if (Injected("ReadFile", path)) return std::nullopt;
  const auto it = files.find(Key(FinalPath(path)));
  if (it == files.end()) {
    errors_.lastError = 2;
    return std::nullopt;
  }
  return it->second;
}

bool InMemoryFileSystem::WriteNewFile(const Path& path, std::string_view bytes) {
  if (Injected("WriteNewFile", path)) return false;
  if (readOnly.count(Key(path))) {
    errors_.lastError = 5;
    return false;
  }
  files[Key(path)] = std::string(bytes);
  return true;
}

bool InMemoryFileSystem::MoveFileOver(const Path& source, const Path& target) {
  if (Injected("MoveFileOver", target)) return false;
  const auto it = files.find(Key(source));
  if (it == files.end() || readOnly.count(Key(target))) {
    errors_.lastError = it == files.end() ? 2 : 5;
    return false;
  }
  files[Key(target)] = it->second;
  files.erase(Key(source));
  return true;
}

std::optional<Path> InMemoryFileSystem::WriteTemporaryFile(const Path& beside, std::string_view bytes) {
  if (Injected("WriteTemporaryFile", beside)) return std::nullopt;
  const std::string key = Key(beside) + "." + std::to_string(++temporaries) + ".tmp";
  files[key] = std::string(bytes);
  return Path(key);
}

Path InMemoryFileSystem::FinalPath(const Path& path) {
  std::string key = Key(path);
  for (int hops = 0; hops < 40 && links.count(key); ++hops) key = links.at(key);
  return Path(key);
}

namespace {

class FakeLock final : public FileLock {
 public:
  FakeLock(InMemoryFileSystem& files, std::string key) : files_(files), key_(std::move(key)) {}
  ~FakeLock() override {
    files_.locks.erase(key_);
    files_.calls.push_back("Unlock " + key_);
  }

 private:
  InMemoryFileSystem& files_;
  std::string key_;
};

}  // namespace

std::unique_ptr<FileLock> InMemoryFileSystem::TryLockFile(const Path& lockPath, LockAttempt& attempt) {
  attempt = LockAttempt::Failed;
  if (Injected("TryLockFile", lockPath)) return nullptr;
  if (!locks.insert(Key(lockPath)).second) {
    attempt = LockAttempt::Busy;
    errors_.lastError = 32;
    return nullptr;
  }
  attempt = LockAttempt::Taken;
  return std::make_unique<FakeLock>(*this, Key(lockPath));
}

bool InMemoryFileSystem::AppendToFile(const Path& path, std::string_view bytes) {
  if (Injected("AppendToFile", path)) return false;
  files[Key(path)] += std::string(bytes);
  return true;
}

bool InMemoryFileSystem::CreateDirectories(const Path& path) {
  if (Injected("CreateDirectories", path)) return false;
  for (Path p = path; !p.empty() && p != p.parent_path(); p = p.parent_path()) folders.insert(Key(p));
  return true;
}

bool InMemoryFileSystem::CopyFileOver(const Path& from, const Path& to) {
  if (Injected("CopyFileOver", to)) return false;
  const auto it = files.find(Key(from));
  if (it == files.end()) {
    errors_.lastError = 2;
    return false;
  }
  files[Key(to)] = it->second;
  return true;
}

bool InMemoryFileSystem::RemoveFile(const Path& path) {
  if (Injected("RemoveFile", path)) return false;
  if (readOnly.count(Key(path))) {
    errors_.lastError = 5;
    return false;
  }
  if (files.erase(Key(path)) == 0) {
    errors_.lastError = 2;
    return false;
  }
  return true;
}

bool InMemoryFileSystem::ClearAttributes(const Path& path) {
  if (Injected("ClearAttributes", path)) return false;
  readOnly.erase(Key(path));
  return true;
}

bool InMemoryFileSystem::IsReadOnly(const Path& path) { return readOnly.count(Key(path)) != 0; }

std::vector<std::string> InMemoryFileSystem::ListFiles(const Path& folder) {
  std::vector<std::string> names;
  const std::string prefix = Key(folder) + "/";
  for (const auto& [key, bytes] : files) {
    if (key.rfind(prefix, 0) == 0 && key.find('/', prefix.size()) == std::string::npos)
      names.push_back(key.substr(prefix.size()));
  }
  return names;
}

FlushFailure InMemoryFileSystem::FlushToDisk(const Path& path) {
  if (Injected("FlushOpen", path)) return FlushFailure::Open;
  if (Injected("FlushBuffers", path)) return FlushFailure::Flush;
  if (!FileExists(path)) {
    errors_.lastError = 2;
    return FlushFailure::Open;
  }
  return FlushFailure::None;
}

namespace {

class FakeLoadedLibrary final : public LoadedLibrary {
 public:
  FakeLoadedLibrary(const std::map<std::string, void*>& symbols, FakeLibraryLoader& owner, FakeSystemErrors& errors)
      : symbols_(symbols), owner_(owner), errors_(errors) {}
  ~FakeLoadedLibrary() override { ++owner_.unloaded; }
  void* Resolve(std::string_view name) override {
    owner_.resolved.emplace_back(name);
    const auto it = symbols_.find(std::string(name));
    if (it == symbols_.end()) {
      errors_.lastError = 127;
      return nullptr;
    }
    return it->second;
  }

 private:
  std::map<std::string, void*> symbols_;
  FakeLibraryLoader& owner_;
  FakeSystemErrors& errors_;
};

}  // namespace

std::unique_ptr<LoadedLibrary> FakeLibraryLoader::Load(std::string_view fileName) {
  loadAttempts.emplace_back(fileName);
  const auto it = libraries.find(std::string(fileName));
  if (it == libraries.end()) {
    errors_.lastError = 126;
    return nullptr;
  }
  ++loaded;
  return std::make_unique<FakeLoadedLibrary>(it->second, *this, errors_);
}

bool FakeMachine::EnumerateDeviceDrivers(size_t capacity, std::vector<uintptr_t>& addresses, uint32_t& neededBytes) {
  addresses.clear();
  if (!enumerateSucceeds) {
    errors_.lastError = enumerateError;
    return false;
  }
  neededBytes = static_cast<uint32_t>(kernelDrivers.size() * sizeof(void*));
  for (size_t i = 0; i < kernelDrivers.size() && i < capacity; ++i) addresses.push_back(0x1000 * (i + 1));
  return true;
}

std::string FakeMachine::DeviceDriverBaseName(uintptr_t address) {
  const size_t index = address / 0x1000 - 1;
  return index < kernelDrivers.size() ? kernelDrivers[index] : std::string();
}

std::string FakeMachine::SystemDirectory(uint32_t& resultLength) {
  resultLength = static_cast<uint32_t>(systemDirectory.size());
  if (systemDirectory.empty()) errors_.lastError = 6;
  return systemDirectory;
}

bool FakeMachine::FileExistsWithoutRedirection(const std::string& path) {
  existenceTests.push_back(path);
  return existingFiles.count(path) != 0;
}

}  // namespace tw::test

namespace tw::test {
namespace {

constexpr uint32_t kErrorInvalidData = 13;
constexpr uint32_t kErrorNoMoreItems = 259;

class FakeDisplayDeviceSet final : public DisplayDeviceSet {
 public:
  explicit FakeDisplayDeviceSet(FakeDisplayDevices& owner) : owner_(owner) { ++owner_.openSets; }
  ~FakeDisplayDeviceSet() override { --owner_.openSets; }

  bool HasDevice(uint32_t index) override { return index < owner_.devices.size(); }

  std::optional<std::string> InstanceId(uint32_t index, uint32_t& error) override {
    if (!Allowed("InstanceId " + std::to_string(index), "InstanceId", index, error)) return std::nullopt;
    return owner_.devices[index].instanceId;
  }
  bool Restart(uint32_t index, uint32_t& error) override {
    if (!Allowed("Restart " + std::to_string(index), "Restart", index, error)) return false;
    ++owner_.devices[index].restarts;
    return true;
  }
  std::optional<std::string> FriendlyName(uint32_t index, uint32_t& error) override {
    if (!Allowed("FriendlyName " + std::to_string(index), "FriendlyName", index, error)) return std::nullopt;
    if (!owner_.devices[index].friendlyName) error = kErrorInvalidData;
    return owner_.devices[index].friendlyName;
  }
  bool SetFriendlyName(uint32_t index, std::string_view name, uint32_t& error) override {
    if (!Allowed("SetFriendlyName " + std::to_string(index) + " " + std::string(name), "SetFriendlyName", index, error))
      return false;
    owner_.devices[index].friendlyName = std::string(name);
    return true;
  }
  bool RemoveFriendlyName(uint32_t index, uint32_t& error) override {
    if (!Allowed("RemoveFriendlyName " + std::to_string(index), "RemoveFriendlyName", index, error)) return false;
    owner_.devices[index].friendlyName.reset();
    return true;
  }

 private:
  bool Allowed(const std::string& call, const std::string& operation, uint32_t index, uint32_t& error) {
    error = owner_.Record(call, operation);
    if (error == 0 && index >= owner_.devices.size()) error = kErrorNoMoreItems;
    return error == 0;
  }
  FakeDisplayDevices& owner_;
};

}  // namespace

uint32_t FakeDisplayDevices::Record(const std::string& call, const std::string& operation) {
  calls.push_back(call);
  const auto failure = failures.find(operation);
  return failure == failures.end() ? 0 : failure->second;
}

std::unique_ptr<DisplayDeviceSet> FakeDisplayDevices::OpenPresent(uint32_t& error) {
  error = Record("OpenPresent", "OpenPresent");
  if (error != 0) return nullptr;
  return std::make_unique<FakeDisplayDeviceSet>(*this);
}

}  // namespace tw::test
