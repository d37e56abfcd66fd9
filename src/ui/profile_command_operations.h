#pragma once
// What the main window's profile commands ask of the rest of the program: the profile
// list they edit, the cards and values they compare it with, and the calls that send to a
// card or write the ini file.
//
// Implemented by AppProfileCommandOperations (app_profile_command_operations.h) on the
// real program state.

#include <memory>

#include "app/apply_window_values.h"
#include "gpu/gpu_item.h"
#include "profiles/option_set.h"
#include "profiles/profile_item.h"
#include "ui/main_form_operations.h"

namespace tw {
class Clock;
class MessageWriter;
}  // namespace tw

namespace tw::ui {

class ProfileCommandOperations {
 public:
  virtual ~ProfileCommandOperations() = default;

  virtual ProfileList& profiles() = 0;
  virtual const GpuList& gpus() const = 0;
  virtual const OptionSet& options() const = 0;
  virtual const ProfileItem& currentValues() const = 0;
  // Where the messages of several cards are gathered into one box.
  virtual MessageWriter& messages() = 0;
  virtual Clock& clock() = 0;

  // The whole list into the ini file, keeping the sections it does not own.
  virtual bool SaveProfiles() = 0;
  virtual RefusedParts ApplyWindowValues(int gpuId, const WindowValues& values) = 0;
  virtual void ResetGpu(int gpuId) = 0;  // shown in boxes, as a window command
  // nullptr when no connection opened (the failure was shown).
  virtual std::unique_ptr<CardReader> OpenCardReader(int gpuId) = 0;
};

}  // namespace tw::ui
