#include "app/gpu_command.h"

#include <exception>
#include <memory>
#include <optional>
#include <vector>

#include "app/app.h"
#include "app/command_line.h"
#include "app/gpu_command_parameters.h"
#include "app/profile_records.h"
#include "app/read_current_values.h"
#include "app/regulator_steps.h"
#include "base/integer.h"
#include "base/text.h"
#include "gpu/clock_setter.h"
#include "gpu/driver_connection.h"
#include "gpu/ext_settings.h"
#include "gpu/ext_settings_setter.h"
#include "gpu/fan_control_setter.h"
#include "gpu/fan_test_speed.h"
#include "gpu/od8_setter.h"
#include "gpu/power_feature.h"
#include "gpu/power_limit_setter.h"
#include "gpu/setter_context.h"
#include "gpu/value_fields.h"
#include "regulator/regulator_write.h"

namespace tw {
namespace {

class GpuCommand {
 public:
  GpuCommand(App& app, const std::string& parameters, const std::string& command, bool console)
      : app_(app),
        parameters_(Split(parameters, kParameterSeparator)),
        named_(ToLowerAscii(parameters)),
        command_(command),
        console_(console) {}

  // False when the whole command ends here (reported).
  bool RunOn(int gpu);

 private:
  bool Names(std::string_view piece) const { return Contains(named_, piece); }
  void Report(const std::string& text) { app_.messages.ReportMessage(text, console_); }
  std::string WrongCommand(const std::string& detail) const { return "Wrong command: " + command_ + "\n" + detail; }

  bool LayParametersOverCard(int gpu, GpuCommandSwitches& switches);
  void WriteDriverGroups(int gpu);
  void WriteOverdriveN(const SetterContext& context);
  void WriteRegulator(int gpu);
  void SwitchFeatures(int gpu, const GpuCommandSwitches& switches);
  bool SwitchPowerFeature(int gpu, PowerFeature feature, const std::string& text, const std::string& complaint);

  App& app_;
  const std::vector<std::string> parameters_;
  const std::string named_;  // lower-cased parameters: which groups the command names
  const std::string command_;
  const bool console_;
};

bool GpuCommand::RunOn(int gpu) {
  if (!ReadCurrentValues(app_, gpu, console_)) {
    Report("Failed to apply command: \"" + command_ + "\"\r\nCould not get current values for GPU " +
           std::to_string(gpu));
    return false;
  }
  GpuCommandSwitches switches;
  if (!LayParametersOverCard(gpu, switches)) return false;
  WriteDriverGroups(gpu);
  WriteRegulator(gpu);
  SwitchFeatures(gpu, switches);
  return true;
}

bool GpuCommand::LayParametersOverCard(int gpu, GpuCommandSwitches& switches) {
  const GPUItem& card = app_.gpus.at(static_cast<size_t>(gpu));
  try {
    for (const std::string& parameter : parameters_) {
      if (const std::optional<std::string> wrong =
              ApplyGpuCommandParameter(parameter, command_, gpu, app_.currentValues, switches)) {
        Report(*wrong);
        return false;
      }
      // The card's own values always fit, so the parameter just laid over them is the one
      // that does not.
      if (FirstUnsendableValue(app_.currentValues, card)) {
        Report("Wrong command: " + command_ + "\r\n\"" + parameter + "\" is not valid parameter");
        return false;
      }
    }
  } catch (const std::exception& failure) {
    Report("Failed to parse command: \"" + command_ + "\"\r\n" + failure.what());
    return false;
  }
  return true;
}

void GpuCommand::WriteDriverGroups(int gpu) {
  const std::unique_ptr<DriverConnection> connection = OpenDriverConnection(app_.platform, app_.messages);
  if (!connection) return;
  const SetterContext context = MakeSetterContext(app_.gpuContext(), *connection, app_.gpus, gpu, console_);
  if (context.gpu.overdriveVersion == adl::kOverdriveN) {
    WriteOverdriveN(context);
  } else if (context.gpu.overdriveVersion == adl::kOverdrive8) {
    // The card takes all its settings at once: the unchanged ones go back as they were.
    Od8Values values{};
    FillOd8Values(app_.currentValues, values);
    ApplyOd8(context, values);
  }
}

void GpuCommand::WriteOverdriveN(const SetterContext& context) {
  const ProfileItem& values = app_.currentValues;
  const std::string card = std::to_string(context.gpuId);
  if (Names("gpu_p"))
    SetClocks(context, true, OverdriveNLevels(values, values, StateKind::Gpu, context.gpu.gpuStateCount),
              "Failed to set GPU clocks for GPU " + card);
  if (Names("mem_p"))
    SetClocks(context, false, OverdriveNLevels(values, values, StateKind::Memory, context.gpu.memStateCount),
              "Failed to set Memory clocks for GPU " + card);
  if (Names("fan_acoustic") || Names("fan_target") || Names("fan_m"))
    SetFanControl(context, false, {values.fanMin, values.fanMax, values.fanTarget, values.fanAcoustic},
                  "Failed to set Fan values for GPU " + card);
  if (Names("fan_p") || Names("fan_zerorpm") || Names("mem_timinglevel")) {
    ExtValues record{};
    record[0] = values.memTimingLevel;
    record[1] = values.fanZeroRpm;
    for (size_t k = 0; k < kFanCurvePoints; ++k) {
      record[5 + 2 * k] = values.fanCurve[k].fanTemp;
      record[6 + 2 * k] = values.fanCurve[k].fanPerc;
    }
    SetExtSettings(context, record);
  }
  if (Names("power_"))
    SetPowerLimit(context, false, values.powerTemp, values.powerTarget, "Failed to set Power values for GPU " + card);
}

void GpuCommand::WriteRegulator(int gpu) {
  if (!app_.options.EnableI2c) return;
  if (!Names("offset=") && !Names("llc=") && !Names("phasegain=") && !Names("currentscale=")) return;
  DetectRegulatorsOnce(app_);
  const ProfileItem& values = app_.currentValues;
  WriteRegulatorValues(app_.regulatorContext(), gpu, false, values.offset, values.llc, values.phaseGain, values.currentScale);
}

void GpuCommand::SwitchFeatures(int gpu, const GpuCommandSwitches& switches) {
  if (Names("setconstantfanspeed=")) {
    const std::optional<int32_t> percent = TryParseInt32(switches.constantFanSpeed);
    if (switches.constantFanSpeed == "auto") {
      SetFanTestSpeed(app_.gpuContext(), app_.gpus.at(static_cast<size_t>(gpu)), kFanAutomatic);
    } else if (percent && *percent >= 0 && *percent <= 100) {
      SetFanTestSpeed(app_.gpuContext(), app_.gpus.at(static_cast<size_t>(gpu)), *percent);
    } else {
      Report(WrongCommand("Put fan speed value between 0 and 100"));
      return;
    }
  }
  if (Names("setpowerefficiency=") &&
      !SwitchPowerFeature(gpu, PowerFeature::PowerEfficiency, switches.powerEfficiency,
                          "Put correct Power Efficiency value: on/off (1/0) "))
    return;
  if (Names("setchill="))
    SwitchPowerFeature(gpu, PowerFeature::Chill, switches.chill, "Put correct Chill value: on/off (1/0) ");
}

bool GpuCommand::SwitchPowerFeature(int gpu, PowerFeature feature, const std::string& text,
                                    const std::string& complaint) {
  std::optional<bool> on;
  if (text == "on" || text == "1") on = true;
  if (text == "off" || text == "0") on = false;
  if (!on) {
    Report(WrongCommand(complaint));
    return false;
  }
  std::optional<int> state;
  AccessPowerFeature(app_.gpuContext(), app_.gpus.at(static_cast<size_t>(gpu)), feature, false, on, state);
  return true;
}

// The cards the command names; nullopt (reported) when the gpu_id text is unusable.
std::optional<std::vector<int>> Targets(App& app, const std::string& gpuIdText, const std::string& command,
                                        bool console) {
  std::vector<int> targets;
  if (gpuIdText == "*") {
    for (size_t i = 0; i < app.gpus.size(); ++i)
      if (app.gpus[i].supported) targets.push_back(static_cast<int>(i));
    return targets;
  }
  const std::string prefix = "Wrong command: " + command + "\r\n";
  const std::optional<int32_t> id = TryParseInt32(gpuIdText);
  if (!id) {
    app.messages.ReportMessage(prefix + "\"" + gpuIdText + "\" cannot be used as [gpu_id]", console);
    return std::nullopt;
  }
  if (*id < 0 || *id >= static_cast<int32_t>(app.gpus.size())) {
    app.messages.ReportMessage(prefix + "GPU with id=" + gpuIdText + " not found", console);
    return std::nullopt;
  }
  if (!app.gpus[static_cast<size_t>(*id)].supported) {
    app.messages.ReportMessage(prefix + "GPU with id=" + gpuIdText + " is not supported", console);
    return std::nullopt;
  }
  return std::vector<int>{*id};
}

}  // namespace

void RunGpuCommand(App& app, const std::string& gpuIdText, const std::string& parameters,
                   const std::string& commandText, bool console) {
  const std::optional<std::vector<int>> targets = Targets(app, gpuIdText, commandText, console);
  if (!targets) return;
  GpuCommand command(app, parameters, commandText, console);
  for (int gpu : *targets)
    if (!command.RunOn(gpu)) return;
}

}  // namespace tw
