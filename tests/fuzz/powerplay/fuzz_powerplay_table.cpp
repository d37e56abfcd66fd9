// Arbitrary bytes as a soft PowerPlay table: identification, layout, states, and a save of
// the values shown, which may change nothing but the truncated clock fields.

#include <cstddef>
#include <cstdint>

#include "app/message_writer.h"
#include "fakes/fake_platform.h"
#include "fuzz_check.h"
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
  tw::MessageWriter messages(options, fake.platform);
  tw::PowerPlayTable table = original;
  // Values read from the table always fit back into it.
  TW_FUZZ_CHECK(tw::StoreTable(table, layout, states, values, messages));
  TW_FUZZ_CHECK(table.size() == original.size());
  TW_FUZZ_CHECK(table[0] == original[0] && table[1] == original[1]);
  // A second save of the same values is a no-op: the first one only rounded clocks.
  const tw::PowerPlayTable saved = table;
  TW_FUZZ_CHECK(tw::StoreTable(table, layout, states, values, messages));
  TW_FUZZ_CHECK(table == saved);
  return 0;
}
