#pragma once
// The rule every integer field follows, on every backend: a value outside the range goes
// to the nearest end, both when the program sets it and when the user leaves the field;
// a text that is not an integer reads as the minimum. The value a handler or an apply
// sees always comes through here, so nothing unclamped ever reaches a card.

#include <string>
#include <string_view>

namespace tw::ui {

int ClampToRange(long long value, int minValue, int maxValue);

// The value a spin edit holds for `text` (surrounding blanks allowed; anything else,
// an empty text, a lone "-" or a number too long for 32 bits reads as the minimum).
int SpinValueOf(std::string_view text, int minValue, int maxValue);

// What is left of typed or pasted text in a one-line field of `maxLength` characters:
// everything from the first line break on is dropped, then the rest is cut to length.
std::string FitTypedText(std::string_view text, int maxLength);

// The longest text the range needs, e.g. 4 for 0..9999 and 5 for -9999..9999.
int TextLengthForRange(int minValue, int maxValue);

}  // namespace tw::ui
