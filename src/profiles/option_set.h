#pragma once
// The program's settings, read once at start from the [General] sections of
// "Tunewright.ini" and of the backup-settings file.

#include <cstdint>
#include <string>

namespace tw {

struct OptionSet {
  bool EnableI2c = false;
  bool ShowPnpString = false;
  bool ShowBusNumber = false;
  bool ShowAdapterIndex = false;
  bool ShowFriendlyName = false;
  bool ShowRegistryKey = false;
  bool DoNotListUnsupported = false;
  bool IgnoreError8 = false;
  std::string FanDeactivatedGpus;  // held wrapped in ";" when not empty, e.g. ";0;2;"
  bool CreateAutomatically = false;
  bool RestoreAutomatically = false;
  int32_t NumberOfBackups = 10;
  bool DoNotConfirmOnRestore = false;
  bool LimitNumberOfBackups = false;
  bool CheckValuesMismatch = false;
  bool ResetBeforeApply = false;
};

}  // namespace tw
