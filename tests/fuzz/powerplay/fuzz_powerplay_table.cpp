// Arbitrary bytes as a soft PowerPlay table: identification, layout, states, a save of the
// values shown, which may change nothing but the truncated clock fields, and a save of
// edited values, which must change exactly the edited fields and nothing else.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "fakes/fake_platform.h"
#include "fuzz_check.h"
#include "messages/message_writer.h"
#include "powerplay/power_states.h"
#include "powerplay/table_file.h"
#include "powerplay/table_layout.h"
#include "powerplay/table_transfer.h"
#include "profiles/option_set.h"

namespace {

void CheckStates(const std::vector<tw::PsItem>& states, size_t tableSize) {
  for (const tw::PsItem& state : states) {
    TW_FUZZ_CHECK(tw::FieldInside(tableSize, state.clockPos, 4));
    TW_FUZZ_CHECK(tw::FieldInside(tableSize, state.voltagePos, 2));
  }
}

// Edited values made from the input: clocks per state, voltages per voltage record (states
// that share a record share a voltage, as the editor's links keep them).
tw::EditorValues Edit(const tw::EditorValues& shown, const tw::PowerStates& states, size_t seed) {
  tw::EditorValues edited = shown;
  const auto editKind = [&](const std::vector<tw::PsItem>& items, std::array<tw::StateFields, tw::kShownStateCount>& fields,
                            int shownCount, size_t salt) {
    for (int i = 0; i < shownCount; ++i) {
      const tw::PsItem& item = items[static_cast<size_t>(i)];
      fields[static_cast<size_t>(i)] = {static_cast<int32_t>(1 + (seed * 31 + salt + static_cast<size_t>(i) * 7919) % 40000),
                                        static_cast<int32_t>(500 + (seed + item.voltageIndex * 37u) % 1500)};
    }
  };
  editKind(states.GpuStates, edited.gpu, shown.gpuShown, 1);
  editKind(states.MemStates, edited.mem, shown.memShown, 2);
  edited.maxGpuClock = static_cast<int32_t>(1 + (seed * 13) % 40000);
  edited.maxMemClock = static_cast<int32_t>(1 + (seed * 17) % 40000);
  edited.powerLimit = static_cast<int32_t>(seed % 200);
  return edited;
}

// Every byte a save may write: the shown states' clock and voltage fields and the limits.
std::vector<bool> EditedBytes(size_t size, const tw::pConst& layout, const tw::PowerStates& states, int gpuShown,
                              int memShown) {
  std::vector<bool> edited(size, false);
  const auto mark = [&](size_t position, size_t width) {
    for (size_t b = position; b < position + width && b < size; ++b) edited[b] = true;
  };
  for (int i = 0; i < gpuShown; ++i) {
    mark(states.GpuStates[static_cast<size_t>(i)].clockPos, 4);
    mark(states.GpuStates[static_cast<size_t>(i)].voltagePos, 2);
  }
  for (int i = 0; i < memShown; ++i) {
    mark(states.MemStates[static_cast<size_t>(i)].clockPos, 4);
    mark(states.MemStates[static_cast<size_t>(i)].voltagePos, 2);
  }
  mark(layout.maxGpuClockPos, 4);
  mark(layout.maxMemClockPos, 4);
  mark(layout.powerLimitPos, 2);
  return edited;
}

bool SameFields(const tw::EditorValues& a, const tw::EditorValues& b) {
  for (size_t i = 0; i < tw::kShownStateCount; ++i)
    if (a.gpu[i].clock != b.gpu[i].clock || a.gpu[i].voltage != b.gpu[i].voltage ||
        a.mem[i].clock != b.mem[i].clock || a.mem[i].voltage != b.mem[i].voltage)
      return false;
  return a.maxGpuClock == b.maxGpuClock && a.maxMemClock == b.maxMemClock && a.powerLimit == b.powerLimit;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const tw::PowerPlayTable original(data, data + size);
  tw::TableSizeOk(original);
  tw::LooksLikeTable(original);
  const tw::TableCheck check = tw::CheckTable(original);
  tw::pConst layout;
  const bool laidOut = tw::SetLayout(check.family, original, layout);
  TW_FUZZ_CHECK(laidOut == (check.family != tw::TableFamily::Unsupported));
  // The layout of every family is tried, recognised or not: it must refuse, never overrun.
  for (tw::TableFamily family : {tw::TableFamily::Fiji, tw::TableFamily::Polaris, tw::TableFamily::Vega}) {
    tw::pConst other;
    tw::PowerStates states;
    if (tw::SetLayout(family, original, other)) {
      TW_FUZZ_CHECK(tw::BuildStates(original, other, states));
      CheckStates(states.GpuStates, size);
      CheckStates(states.MemStates, size);
    }
  }
  if (!laidOut) return 0;

  tw::PowerStates states;
  TW_FUZZ_CHECK(tw::BuildStates(original, layout, states));
  tw::EditorValues values;
  TW_FUZZ_CHECK(tw::ShowTable(original, layout, states, values));

  tw::test::FakePlatform fake;
  tw::OptionSet options;
  tw::MessageWriter messages(options.IgnoreError8, fake.platform);
  tw::PowerPlayTable table = original;
  // Values read from the table always fit back into it.
  TW_FUZZ_CHECK(tw::StoreTable(table, layout, states, values, messages));
  TW_FUZZ_CHECK(table.size() == original.size());
  TW_FUZZ_CHECK(table[0] == original[0] && table[1] == original[1]);
  // A second save of the same values is a no-op: the first one only rounded clocks.
  const tw::PowerPlayTable saved = table;
  TW_FUZZ_CHECK(tw::StoreTable(table, layout, states, values, messages));
  TW_FUZZ_CHECK(table == saved);

  // Edited values land in their own fields only: every other byte keeps its value, and each
  // edited field reads back as written (a field sharing bytes with another would not).
  const tw::EditorValues edited = Edit(values, states, size + (size ? data[size / 2] : 0));
  tw::PowerPlayTable patched = original;
  TW_FUZZ_CHECK(tw::StoreTable(patched, layout, states, edited, messages));
  const std::vector<bool> editable = EditedBytes(size, layout, states, values.gpuShown, values.memShown);
  for (size_t b = 0; b < size; ++b)
    if (!editable[b]) TW_FUZZ_CHECK(patched[b] == original[b]);
  tw::EditorValues reread;
  TW_FUZZ_CHECK(tw::ShowTable(patched, layout, states, reread));
  TW_FUZZ_CHECK(SameFields(reread, edited));
  return 0;
}
