#pragma once
// An OverdriveN clock record: a 12-byte header and one 16-byte entry per performance level,
// allocated by the program at the card's level count. Levels are copied in and out, so the
// trailing array is never indexed past its declared size.

#include <cstddef>
#include <memory>
#include <optional>

#include "gpu/adl_abi.h"

namespace tw {

// More levels than any card has: a driver reporting more is not trusted.
inline constexpr int kMaxPerformanceLevels = 32;

class PerformanceLevelsBuffer {
 public:
  // nullopt when the level count is below 1 or above kMaxPerformanceLevels.
  static std::optional<PerformanceLevelsBuffer> Create(int levelCount);

  // An owned copy of the whole record, header included.
  PerformanceLevelsBuffer Clone() const;

  // Zeroes the record and writes the size and level count back into its header.
  void Reset();

  int levelCount() const { return levelCount_; }
  int byteSize() const { return adl::PerformanceLevelsBytes(levelCount_); }
  adl::ADLODNPerformanceLevelsX2* record();
  const adl::ADLODNPerformanceLevelsX2* record() const;

  adl::ADLODNPerformanceLevelX2 level(int i) const;  // i below levelCount()
  void setLevel(int i, const adl::ADLODNPerformanceLevelX2& level);
  void setMode(int mode);

 private:
  explicit PerformanceLevelsBuffer(int levelCount);
  std::byte* levelBytes(int i) const;

  int levelCount_;
  std::unique_ptr<adl::ADLODNPerformanceLevelX2[]> storage_;  // one entry more than the levels: room for the header
};

}  // namespace tw
