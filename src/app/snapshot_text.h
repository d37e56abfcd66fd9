#pragma once
// A snapshot of the machine's cards as a scenario text of the simulated driver (the format
// of sim/README.md), so that a developer replays a user's rig without the user's cards.

#include <string>
#include <vector>

#include "gpu/card_snapshot.h"

namespace tw {

struct SnapshotHeader {
  std::string programVersion;
  std::string takenAt;          // local date and time, "YYYY-MM-DD hh:mm:ss"
  std::string libraryFileName;  // as the system reports the loaded driver library
  std::string libraryVersion;   // empty: the system reports none
  std::vector<std::string> libraryLacks;
};

// Every card in the driver's adapter order; a card whose read failed becomes comment lines
// in its place.
std::string FormatSnapshot(const SnapshotHeader& header, const std::vector<CardSnapshot>& cards);

}  // namespace tw
