#pragma once
// The command line's operations carried out on the real program state.

#include <functional>
#include <optional>

#include "app/command_line_operations.h"
#include "ini/ini_file.h"

namespace tw {

class App;

class AppOperations final : public CommandLineOperations {
 public:
  AppOperations(App& app, std::function<void()> runMainWindow);

  bool CheckDriverLoaded() override;
  void LoadSettings() override;
  int LoadProfiles() override;
  void RestoreFromBackup(bool unattended) override;
  bool BuildGpuList() override;
  int DiagnoseDriver() override;
  int GpuCount() const override;
  bool IsSupported(int gpu) const override;
  int FindProfile(std::string_view name) const override;
  void DetectRegulatorsOnce() override;
  bool ApplyProfile(int profile, int gpu, bool console) override;
  void ResetGpu(int gpu, bool console) override;
  CompareOutcome CompareProfile(int profile, int gpu, std::string_view mode, bool console) override;
  bool RestartGpu(int gpu, bool console, bool waitForDriver) override;
  void RunGpuCommand(const std::string& gpuIdText, const std::string& parameters, const std::string& commandText,
                     bool console) override;
  void PrintCurrentValues() override;
  bool TakeSnapshot(const std::string& fileName, bool console) override;
  void Sleep(int milliseconds) override;
  void ClearLists() override;
  void RunMainWindow() override;

 private:
  App& app_;
  std::function<void()> runMainWindow_;
  // "Tunewright.ini" as the settings were read from it, until the profiles are read from
  // it too: the start-up reads and parses the file once (it may hold hundreds of profiles).
  std::optional<IniRead> startupIni_;
};

}  // namespace tw
