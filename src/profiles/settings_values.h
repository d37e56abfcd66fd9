#pragma once
// The settings as the settings dialog shows them; the dialog fills one of these and the
// store writes what differs from the files.

#include <cstdint>

namespace tw {

struct SettingsValues {
  bool ShowBusNumber = false;
  bool ShowPnpString = false;
  bool ShowAdapterIndex = false;
  bool ShowFriendlyName = false;
  bool ShowRegistryKey = false;
  bool EnableI2c = false;
  bool DoNotListUnsupported = false;
  bool IgnoreError8 = false;
  bool ResetBeforeApply = false;
  bool CheckValuesMismatch = false;
  bool CreateAutomatically = false;
  bool RestoreAutomatically = false;
  bool LimitNumberOfBackups = false;
  bool DoNotConfirmOnRestore = false;
  int32_t NumberOfBackups = 10;
};

}  // namespace tw
