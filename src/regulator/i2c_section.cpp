#include "regulator/i2c_section.h"

#include <optional>
#include <string>

#include "gpu/gpu_item.h"
#include "ini/ini_file.h"
#include "ini/ini_values.h"
#include "profiles/ini_context.h"
#include "regulator/i2c_location.h"

namespace tw {
namespace {

std::string KeyOf(size_t gpuId) { return std::to_string(gpuId); }

void SetLocation(GPUItem& gpu, const std::optional<I2cLocation>& location) {
  const I2cLocation value = location.value_or(I2cLocation{});
  gpu.i2cLine = value.line;
  gpu.i2cAddress = value.address;
  gpu.i2cController = value.controller;
}

int32_t StoredValue(const GPUItem& gpu) {
  if (gpu.i2cLine == -1 || gpu.i2cAddress == -1) return 0;
  return EncodeI2cLocation({gpu.i2cLine, gpu.i2cAddress, gpu.i2cController});
}

}  // namespace

void LoadI2cSection(const IniContext& ini, GpuList& gpus) {
  const IniRead read = ReadIniFile(ini.platform.files, ini.platform.ansi, ini.paths.iniPath);
  ReportReadProblem(ini.platform, ini.messages, ini.paths.iniPath, read.status);
  if (read.status != IniReadStatus::Loaded) return;
  for (size_t id = 0; id < gpus.size(); ++id)
    SetLocation(gpus[id], DecodeI2cLocation(ReadInteger(read.document, kI2cSectionName, KeyOf(id), 0)));
}

bool SaveI2cSection(const IniContext& ini, const GpuList& gpus) {
  if (!ini.platform.files.FileExists(ini.paths.iniPath)) return true;
  // The safe rewrite forces the new file onto the disk (FlushFileToDisk) before it counts.
  return RewriteIniFile(ini.platform, ini.messages, ini.paths.iniPath, [&](IniDocument& document) {
    for (size_t id = 0; id < gpus.size(); ++id)
      document.SetValue(kI2cSectionName, KeyOf(id), std::to_string(StoredValue(gpus[id])));
    return true;
  });
}

}  // namespace tw
