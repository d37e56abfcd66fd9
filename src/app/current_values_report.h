#pragma once
// "-getcurrent": one line per supported card with its present tuning values, in the form
// of a profile's keys, on the console that started the program.

#include <string>

namespace tw {

class App;
struct GPUItem;
struct ProfileItem;

// The report line of one card, without the line feed.
std::string FormatCurrentValuesLine(const GPUItem& gpu, const ProfileItem& current);

void PrintCurrentValues(App& app);

}  // namespace tw
