#pragma once
// Moving values between the table and the editor's fields. The table is patched in place:
// only the edited fields are written, its length and every other byte stay as they are.

#include <cstdint>
#include <span>

#include "powerplay/editor_values.h"
#include "powerplay/power_states.h"
#include "powerplay/table_layout.h"

namespace tw {

class MessageWriter;

// Fills the shown state fields and the three limits from the table (clocks in MHz,
// truncated). Rows that are not shown are cleared. False when a field lies outside the table.
bool ShowTable(std::span<const uint8_t> table, const pConst& layout, const PowerStates& states,
               EditorValues& values);

// Writes the shown states (GPU P0..P7, then memory P0..P7: clock x 100 as 32 bits, voltage
// as 16 bits, a shared voltage record taking the last write), then the two clock limits
// x 100 and the power limit. Nothing is written unless every value fits its field and every
// field lies inside the table; the failure is reported with an error box.
bool StoreTable(std::span<uint8_t> table, const pConst& layout, const PowerStates& states, const EditorValues& values,
                MessageWriter& messages);

}  // namespace tw
