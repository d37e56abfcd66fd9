#pragma once
// The rule every integer field follows, on every backend: a value outside the range goes
// to the nearest end, both when the program sets it and when the user leaves the field;
// a text that is not an integer reads as the minimum for the colours, is left as typed when
// the user leaves the field, and stops an apply (WholeSpinValueOf). The value a handler
// or an apply sees always comes through here, so nothing unclamped ever reaches a card.

#include <optional>
#include <string>
#include <string_view>

namespace tw::ui {

int ClampToRange(long long value, int minValue, int maxValue);

// The value of a text that is a whole number (surrounding blanks allowed), brought into
// the range; nothing for any other text (a typing slip such as "21OO", "5%" or "").
std::optional<int> WholeSpinValueOf(std::string_view text, int minValue, int maxValue);

// The value a spin edit holds for `text` (surrounding blanks allowed; anything else,
// an empty text, a lone "-" or a number too long for 32 bits reads as the minimum).
int SpinValueOf(std::string_view text, int minValue, int maxValue);

// What is left of typed or pasted text in a one-line field of `maxLength` characters:
// everything from the first line break on is dropped, then the rest is cut to length.
std::string FitTypedText(std::string_view text, int maxLength);

// The longest text the range needs, e.g. 4 for 0..9999 and 5 for -9999..9999.
int TextLengthForRange(int minValue, int maxValue);

}  // namespace tw::ui
