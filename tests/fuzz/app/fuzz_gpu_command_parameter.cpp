// Any parameters of a per-GPU command laid over a card's values. The parser may answer a
// message or throw ConversionError for a malformed number, as the command catches those;
// anything else escaping it is a finding. It must never change how many states the card
// has, and a message it answers always begins the way a user learns the command was wrong.
//
// Input: byte 0 gives the card's GPU and memory state counts (0..15 each); the rest are the
// parameters, one per line.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "app/gpu_command_parameters.h"
#include "base/integer.h"

namespace {

constexpr const char* kCommand = "-ac0 fuzz";

void Fail(int line) {
  std::fprintf(stderr, "check failed at line %d\n", line);
  std::abort();
}
// Names the line of the failed check, so that a finding says which promise it broke.
#define CHECK(condition) ((condition) ? void() : Fail(__LINE__))

tw::ProfileItem Card(size_t gpuStates, size_t memStates) {
  tw::ProfileItem card;
  card.resizeGpuStates(gpuStates);
  card.resizeMemStates(memStates);
  for (size_t i = 0; i < gpuStates; ++i) card.gpuClock[i] = 300 + 100 * static_cast<int>(i);
  for (size_t i = 0; i < memStates; ++i) card.memClock[i] = 300 + 500 * static_cast<int>(i);
  return card;
}

bool StateCountsAre(const tw::ProfileItem& card, size_t gpuStates, size_t memStates) {
  return card.gpuClock.size() == gpuStates && card.gpuVcc.size() == gpuStates &&
         card.gpuEnabled.size() == gpuStates && card.memClock.size() == memStates &&
         card.memVcc.size() == memStates && card.memEnabled.size() == memStates;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const size_t gpuStates = data[0] & 0x0F;
  const size_t memStates = data[0] >> 4;
  tw::ProfileItem card = Card(gpuStates, memStates);
  tw::GpuCommandSwitches switches;

  const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
  size_t start = 0;
  while (start <= text.size()) {
    const size_t end = std::min(text.find('\n', start), text.size());
    const std::string parameter(text.substr(start, end - start));
    start = end + 1;
    try {
      const std::optional<std::string> wrong = tw::ApplyGpuCommandParameter(parameter, kCommand, 0, card, switches);
      if (wrong) CHECK(wrong->rfind(std::string("Wrong command: ") + kCommand + "\r\n", 0) == 0);
    } catch (const tw::ConversionError&) {
      // A malformed number: the command reports it and stops.
    }
    CHECK(StateCountsAre(card, gpuStates, memStates));
  }
  return 0;
}
