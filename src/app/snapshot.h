#pragma once
// "-snapshot=<file>": every adapter and card as the driver reports them, written as a
// scenario of the simulated driver, so that a problem on a user's cards can be replayed
// without them. It only reads: nothing is sent to a card and Tunewright.ini stays as it is.

#include <string_view>

namespace tw {

class App;

// fileName: UTF-8, relative names taken from the current folder. The file is replaced
// safely (temporary file, then one move) or left alone. True when it was written and
// every card was read whole; a card that could not be read is reported and written as a
// comment in its place.
bool TakeSnapshot(App& app, std::string_view fileName, bool console);

}  // namespace tw
