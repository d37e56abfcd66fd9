#pragma once
// What the argument loop asks of the rest of the program. The loop itself only classifies
// arguments, checks gpu_ids and profile names, reports, and keeps the exit status.

#include <string>
#include <string_view>

#include "app/apply_profile.h"

namespace tw {

class CommandLineOperations {
 public:
  virtual ~CommandLineOperations() = default;

  // Start-up, in the order the loop calls them.
  virtual bool CheckDriverLoaded() = 0;
  virtual void LoadSettings() = 0;  // command-line mode
  virtual int LoadProfiles() = 0;   // number of profiles afterwards
  // `unattended` (-consoleonly first): no question is asked; the answer is "No", said on the console.
  virtual void RestoreFromBackup(bool unattended) = 0;
  virtual bool BuildGpuList() = 0;
  virtual int DiagnoseDriver() = 0;  // -2: the driver library is older than 18.12.2

  virtual int GpuCount() const = 0;
  // Throws std::out_of_range for an index outside the list.
  virtual bool IsSupported(int gpu) const = 0;
  virtual int FindProfile(std::string_view name) const = 0;  // -1 when absent

  // Locates the voltage regulators unless that happened already or EnableI2c is off.
  virtual void DetectRegulatorsOnce() = 0;

  virtual bool ApplyProfile(int profile, int gpu, bool console) = 0;
  virtual void ResetGpu(int gpu, bool console) = 0;
  virtual CompareOutcome CompareProfile(int profile, int gpu, std::string_view mode, bool console) = 0;
  virtual bool RestartGpu(int gpu, bool console, bool waitForDriver) = 0;
  virtual void RunGpuCommand(const std::string& gpuIdText, const std::string& parameters,
                             const std::string& commandText, bool console) = 0;
  virtual void PrintCurrentValues() = 0;
  // "-snapshot=<file>"; false when it was not written or a card could not be read whole.
  virtual bool TakeSnapshot(const std::string& fileName, bool console) = 0;

  virtual void Sleep(int milliseconds) = 0;
  // Empties the GPU and profile lists before the main window takes over.
  virtual void ClearLists() = 0;
  virtual void RunMainWindow() = 0;
};

}  // namespace tw
