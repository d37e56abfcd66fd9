#pragma once
// A found regulator as a snapshot holds it: every register the program ever reads from it.

#include <cstdint>
#include <optional>
#include <vector>

#include "gpu/card_snapshot.h"

namespace tw {

class DriverConnection;
struct GPUItem;

// The registers identification, the line search and reading the values touch, ascending.
std::vector<uint8_t> RegistersReadBy(int32_t controller);

// Reads them from the card's found controller. nullopt with `failure` set when a read fails.
std::optional<RegulatorSnapshot> ReadRegulatorSnapshot(DriverConnection& connection, const GPUItem& gpu,
                                                       ReadFailure& failure);

}  // namespace tw
