#include "app/current_values_report.h"

#include <algorithm>

#include "app/app.h"
#include "app/read_current_values.h"
#include "platform/console.h"

namespace tw {
namespace {

std::string S(int32_t value) { return std::to_string(value); }

std::string States(const char* key, const std::vector<int32_t>& clock, const std::vector<int32_t>& vcc,
                   const std::vector<bool>& enabled, bool showDisabled) {
  std::string text;
  const size_t count = std::min({clock.size(), vcc.size(), enabled.size()});
  for (size_t n = 0; n < count; ++n) {
    text += std::string("|") + key + std::to_string(n) + "=" + S(clock[n]) + ";" + S(vcc[n]);
    if (showDisabled && !enabled[n]) text += ";0";
  }
  return text;
}

}  // namespace

std::string FormatCurrentValuesLine(const GPUItem& gpu, const ProfileItem& cv) {
  const bool overdriveN = gpu.overdriveVersion == adl::kOverdriveN;
  std::string line = gpu.baseName;
  line += States("GPU_P", cv.gpuClock, cv.gpuVcc, cv.gpuEnabled, overdriveN);
  line += States("Mem_P", cv.memClock, cv.memVcc, cv.memEnabled, overdriveN);
  line += "|Fan_Acoustic=" + S(cv.fanAcoustic);
  line += "|Power_Target=" + S(cv.powerTarget);
  for (size_t n = 0; n < cv.fanCurve.size(); ++n)
    line += "|Fan_P" + std::to_string(n) + "=" + S(cv.fanCurve[n].fanTemp) + ";" + S(cv.fanCurve[n].fanPerc);
  line += "|Fan_ZeroRPM=" + S(cv.fanZeroRpm);
  line += "|Mem_TimingLevel=" + S(cv.memTimingLevel);
  if (gpu.overdriveVersion == adl::kOverdrive8)
    line += "|GPU_Min=" + S(cv.gpuMin) + "|GPU_Max=" + S(cv.gpuMax) + "|Mem_Max=" + S(cv.memMax);
  return line;
}

void PrintCurrentValues(App& app) {
  // The report always goes to the console, whatever "-consoleonly" said; when there is no
  // console the lines have nowhere to go, while the errors fall back to message boxes.
  const bool attached = app.messages.AttachParentConsole();
  for (size_t gpu = 0; gpu < app.gpus.size(); ++gpu) {
    if (!app.gpus[gpu].supported) continue;
    const int gpuId = static_cast<int>(gpu);
    if (!ReadCurrentValues(app, gpuId, /*console=*/true)) {
      app.messages.ReportMessage("Could not get current values for GPU " + std::to_string(gpuId), true, 0,
                                 MessageKind::Error);
      continue;
    }
    if (attached) app.platform.console.Write(FormatCurrentValuesLine(app.gpus[gpu], app.currentValues) + "\n");
  }
}

}  // namespace tw
