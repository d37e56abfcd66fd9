#include "regulator/regulator_search.h"

#include <climits>
#include <iterator>
#include <optional>

#include "gpu/adl_abi.h"
#include "gpu/driver_connection.h"
#include "i2c/i2c_transfer.h"
#include "regulator/i2c_location.h"
#include "regulator/regulator_matches.h"
#include "regulator/regulator_table.h"

namespace tw {
namespace {

// Line 2 carries the card's own overdrive control and is never searched; address 127 is
// not probed.
constexpr int32_t kSearchLines[] = {1, 3, 4, 5, 6};
constexpr size_t kSearchLineCount = std::size(kSearchLines);
constexpr int32_t kLastSearchAddress = 126;
constexpr int32_t kProbeRegister = 0xFF;
// An address where nothing answers gives the driver's plain error. Any other failure is
// the line's own (a bus that is stuck, busy or not there), and a line that gives this many
// is given up: every further probe of it would fail the same way, each one slowly.
constexpr int kLineFaultLimit = 3;

std::optional<I2cLocation> FixedLocation(DriverConnection& connection, const GPUItem& gpu) {
  for (int32_t row = 0; row < kRegulatorRowCount; ++row) {
    const RegulatorItem& item = RegulatorTable[static_cast<size_t>(row)];
    if (item.defaultLine != 0 && RegulatorMatches(connection, gpu, item.defaultLine, item.defaultAddress, row))
      return I2cLocation{item.defaultLine, item.defaultAddress, row};
  }
  return std::nullopt;
}

std::optional<int32_t> RowAt(DriverConnection& connection, const GPUItem& gpu, int32_t line, int32_t address) {
  for (int32_t row = 0; row < kRegulatorRowCount; ++row)
    if (RegulatorTable[static_cast<size_t>(row)].defaultLine == 0 && RegulatorMatches(connection, gpu, line, address, row))
      return row;
  return std::nullopt;
}

void Take(GPUItem& gpu, const I2cLocation& location) {
  gpu.i2cLine = location.line;
  gpu.i2cAddress = location.address;
  gpu.i2cController = location.controller;
  gpu.i2cFound = true;
}

}  // namespace

RegulatorSearch::RegulatorSearch(std::vector<GPUItem>& gpus, std::unique_ptr<DriverConnection> connection)
    : gpus_(gpus), connection_(std::move(connection)) {}

RegulatorSearch::~RegulatorSearch() = default;

bool RegulatorSearch::Step(int probes) {
  for (int i = 0; i < probes && !AtEnd(); ++i) ProbeOnce();
  return !AtEnd();
}

void RegulatorSearch::RunToEnd() { Step(INT_MAX); }

// The list is read afresh at every probe: a window may rebuild it while the search waits.
bool RegulatorSearch::AtEnd() const { return card_ >= gpus_.size(); }

void RegulatorSearch::ProbeOnce() {
  GPUItem& gpu = gpus_[card_];
  if (!gpu.supported) return NextCard();
  if (stage_ == Stage::FixedLocations) {
    if (const std::optional<I2cLocation> found = FixedLocation(*connection_, gpu)) {
      Take(gpu, *found);
      return NextCard();
    }
    stage_ = Stage::Lines;
    return;
  }
  ProbeAddress(gpu);
}

// A failed probe only means that nothing answers there; it is never reported.
void RegulatorSearch::ProbeAddress(GPUItem& gpu) {
  const int32_t line = kSearchLines[lineIndex_];
  const int32_t address = address_++;
  int32_t result = adl::kOk;
  if (I2cRead(*connection_, gpu, 1, line, address, kProbeRegister, I2cSpeed::Identify, &result)) {
    if (const std::optional<int32_t> row = RowAt(*connection_, gpu, line, address)) {
      Take(gpu, I2cLocation{line, address, *row});
      return NextCard();
    }
  } else if (result != adl::kErr) {
    ++lineFaults_;
  }
  if (address_ > kLastSearchAddress || lineFaults_ >= kLineFaultLimit) NextLine();
}

void RegulatorSearch::NextLine() {
  address_ = 0;
  lineFaults_ = 0;
  if (++lineIndex_ == kSearchLineCount) NextCard();
}

void RegulatorSearch::NextCard() {
  ++card_;
  stage_ = Stage::FixedLocations;
  lineIndex_ = 0;
  address_ = 0;
  lineFaults_ = 0;
}

}  // namespace tw
