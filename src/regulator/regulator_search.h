#pragma once
// The search for each card's regulator controller, done a few probes at a time: a window
// steps it while it has nothing else to do, so that a search of every line (over a hundred
// probes per line, each a bus transfer) never keeps the user waiting.

#include <cstdint>
#include <memory>
#include <vector>

#include "gpu/gpu_item.h"

namespace tw {

class DriverConnection;

class RegulatorSearch {
 public:
  // Searches every supported card of `gpus`, in order, through `connection`, which the
  // search keeps open until it is destroyed. A card's fixed locations are tried first, then
  // lines 1, 3, 4, 5 and 6 at addresses 0 to 126; the lowest line, then address, then table
  // row wins. A card whose controller is found gets its location at once.
  RegulatorSearch(std::vector<GPUItem>& gpus, std::unique_ptr<DriverConnection> connection);
  ~RegulatorSearch();
  RegulatorSearch(const RegulatorSearch&) = delete;
  RegulatorSearch& operator=(const RegulatorSearch&) = delete;

  // Makes up to `probes` probes (a card's fixed locations count as one); false once the
  // search has ended.
  bool Step(int probes);
  void RunToEnd();

 private:
  enum class Stage { FixedLocations, Lines };
  bool AtEnd() const;
  void ProbeOnce();
  void NextCard();
  void NextLine();
  void ProbeAddress(GPUItem& gpu);

  std::vector<GPUItem>& gpus_;
  std::unique_ptr<DriverConnection> connection_;
  size_t card_ = 0;
  Stage stage_ = Stage::FixedLocations;
  size_t lineIndex_ = 0;
  int32_t address_ = 0;
  int lineFaults_ = 0;
};

}  // namespace tw
