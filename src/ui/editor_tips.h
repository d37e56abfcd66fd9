#pragma once
// The tips of the card editor's value fields: the range the field takes (what the window
// clamps to and names when it refuses a typing slip) and the card's own default where the
// card reported one. A default the card never gave is left out rather than guessed.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "gpu/gpu_item.h"
#include "ui/form/form.h"
#include "ui/main_form_layout.h"

namespace tw::ui {

// "Allowed 0..9999 MHz, default 1750"; without a default: "Allowed 0..9999 MHz".
std::string FieldTip(int minValue, int maxValue, std::string_view unit, std::optional<int32_t> cardDefault);

// Gives every value field of the editor its tip for `gpu`, the card the editor shows.
void SetEditorTips(Form& form, const MainFormControls& c, const GPUItem& gpu);

}  // namespace tw::ui
