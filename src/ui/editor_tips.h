#pragma once
// The tips of the card editor's value fields: the range the field takes (what the window
// clamps to and names when it refuses a typing slip), then the card's own limits and default
// where the card reported them. What the card never gave is left out rather than guessed.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "gpu/gpu_item.h"
#include "ui/form/form.h"
#include "ui/main_form_layout.h"

namespace tw::ui {

// "Allowed 0..9999 MHz, card 800..2100, default 1750"; each of the card's parts is left out
// when it is not given.
std::string FieldTip(int minValue, int maxValue, std::string_view unit, std::optional<CardRange> cardRange,
                     std::optional<int32_t> cardDefault);

// Gives every value field of the editor its tip for `gpu`, the card the editor shows.
void SetEditorTips(Form& form, const MainFormControls& c, const GPUItem& gpu);

}  // namespace tw::ui
