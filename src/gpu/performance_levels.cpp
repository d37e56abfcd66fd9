#include "gpu/performance_levels.h"

#include <cstring>
#include <stdexcept>

namespace tw {

std::optional<PerformanceLevelsBuffer> PerformanceLevelsBuffer::Create(int levelCount) {
  if (levelCount < 1 || levelCount > kMaxPerformanceLevels) return std::nullopt;
  PerformanceLevelsBuffer buffer(levelCount);
  buffer.Reset();
  return buffer;
}

PerformanceLevelsBuffer::PerformanceLevelsBuffer(int levelCount)
    : levelCount_(levelCount),
      storage_(std::make_unique<adl::ADLODNPerformanceLevelX2[]>(static_cast<size_t>(levelCount) + 1)) {}

PerformanceLevelsBuffer PerformanceLevelsBuffer::Clone() const {
  PerformanceLevelsBuffer copy(levelCount_);
  std::memcpy(copy.storage_.get(), storage_.get(),
              sizeof(adl::ADLODNPerformanceLevelX2) * (static_cast<size_t>(levelCount_) + 1));
  return copy;
}

adl::ADLODNPerformanceLevelsX2* PerformanceLevelsBuffer::record() {
  return reinterpret_cast<adl::ADLODNPerformanceLevelsX2*>(storage_.get());
}

const adl::ADLODNPerformanceLevelsX2* PerformanceLevelsBuffer::record() const {
  return reinterpret_cast<const adl::ADLODNPerformanceLevelsX2*>(storage_.get());
}

void PerformanceLevelsBuffer::Reset() {
  std::memset(storage_.get(), 0, sizeof(adl::ADLODNPerformanceLevelX2) * (static_cast<size_t>(levelCount_) + 1));
  record()->iSize = byteSize();
  record()->iNumberOfPerformanceLevels = levelCount_;
}

void PerformanceLevelsBuffer::setMode(int mode) { record()->iMode = mode; }

std::byte* PerformanceLevelsBuffer::levelBytes(int i) const {
  if (i < 0 || i >= levelCount_) throw std::out_of_range("performance level index");
  return reinterpret_cast<std::byte*>(storage_.get()) + adl::kPerformanceLevelsHeaderBytes +
         sizeof(adl::ADLODNPerformanceLevelX2) * static_cast<size_t>(i);
}

adl::ADLODNPerformanceLevelX2 PerformanceLevelsBuffer::level(int i) const {
  adl::ADLODNPerformanceLevelX2 out;
  std::memcpy(&out, levelBytes(i), sizeof out);
  return out;
}

void PerformanceLevelsBuffer::setLevel(int i, const adl::ADLODNPerformanceLevelX2& level) {
  std::memcpy(levelBytes(i), &level, sizeof level);
}

}  // namespace tw
