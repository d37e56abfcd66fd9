#pragma once
// The [I2C] section of "Tunewright.ini": each card's regulator location, keyed by gpu_id,
// so that the slow line search runs only when the section is missing.

#include <string_view>

#include "gpu/gpu_item.h"

namespace tw {

struct IniContext;
struct GPUItem;

inline constexpr std::string_view kI2cSectionName = "I2C";

// Sets i2cLine, i2cAddress and i2cController of every listed card from its key (a missing
// key, 0 or a value naming no known controller: all three -1). Nothing when the ini file
// does not exist or cannot be read.
void LoadI2cSection(const IniContext& ini, GpuList& gpus);

// Writes every listed card's key ("0" for a card without a location) and rewrites the
// file safely. Only when the ini file exists; false when the rewrite failed (reported).
bool SaveI2cSection(const IniContext& ini, const GpuList& gpus);

}  // namespace tw
