#pragma once
// Whether the device at a location is the controller of one RegulatorTable row.

#include <cstdint>

namespace tw {

class DriverConnection;
struct GPUItem;

// The first identification register must hold its value; the second, when the row has
// one, either of its values. A failed read fails the check.
bool RegulatorMatches(DriverConnection& connection, const GPUItem& gpu, int32_t line, int32_t address, int32_t row);

}  // namespace tw
