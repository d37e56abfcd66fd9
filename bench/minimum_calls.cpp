#include "minimum_calls.h"

#include <algorithm>

namespace tw::bench {
namespace {

// Calls as base + perN × OverdriveN cards + per8 × Overdrive8 cards.
struct Term {
  const char* call;
  int base, perN, per8;
  const char* reason;
};

constexpr Term kStartUp[] = {
    {"ADL2_Main_Control_Create", 1, 0, 0, "one connection for the whole discovery"},
    {"ADL2_Main_Control_Destroy", 1, 0, 0, "closes the discovery's connection"},
    {"ADL2_Adapter_NumberOfAdapters_Get", 1, 0, 0, "discovery counts the adapters"},
    {"ADL2_Adapter_AdapterInfo_Get", 1, 0, 0, "discovery lists the adapters in one array"},
    {"ADL2_OverdriveN_CapabilitiesX2_Get", 0, 1, 1, "every AMD card is probed for OverdriveN first"},
    {"ADL2_OverdriveN_SystemClocksX2_Get", 0, 1, 0, "discovery: GPU state count of an OverdriveN card"},
    {"ADL2_OverdriveN_MemoryClocksX2_Get", 0, 1, 0, "discovery: memory state count"},
    {"ADL2_OverdriveN_SettingsExt_Get", 0, 1, 0, "discovery: extended-settings ranges and defaults"},
    {"ADL2_Overdrive_Caps", 0, 0, 1, "a card without OverdriveN is probed for Overdrive8"},
    {"ADL2_Overdrive8_Current_SettingX2_Get", 0, 0, 1, "discovery: the Overdrive8 probe"},
    {"ADL2_Overdrive8_Init_SettingX2_Get", 0, 0, 1, "discovery: the Overdrive8 ranges and defaults"},
};

constexpr Term kGetCurrent[] = {
    {"ADL2_Main_Control_Create", 0, 1, 1, "each card's operation opens its own connection"},
    {"ADL2_Main_Control_Destroy", 0, 1, 1, "closes each card's connection"},
    {"ADL2_OverdriveN_SystemClocksX2_Get", 0, 1, 0, "report: GPU states"},
    {"ADL2_OverdriveN_MemoryClocksX2_Get", 0, 1, 0, "report: memory states"},
    {"ADL2_OverdriveN_FanControl_Get", 0, 1, 0, "report: fan values and acoustic limit"},
    {"ADL2_OverdriveN_SettingsExt_Get", 0, 1, 0, "report: fan curve, zero RPM, memory timing"},
    {"ADL2_OverdriveN_PowerLimit_Get", 0, 1, 0, "report: power target"},
    {"ADL2_Overdrive8_Current_SettingX2_Get", 0, 0, 1, "report: all 29 Overdrive8 values in one call"},
};

constexpr Term kApply[] = {
    {"ADL2_Main_Control_Create", 0, 1, 1, "each card's operation opens its own connection"},
    {"ADL2_Main_Control_Destroy", 0, 1, 1, "closes each card's connection"},
    {"ADL2_OverdriveN_SystemClocksX2_Set", 0, 1, 0, "apply: GPU states"},
    {"ADL2_OverdriveN_MemoryClocksX2_Set", 0, 1, 0, "apply: memory states"},
    {"ADL2_OverdriveN_FanControl_Get", 0, 1, 0, "apply: a profile holds only the acoustic limit, the card keeps its other fan values"},
    {"ADL2_OverdriveN_FanControl_Set", 0, 1, 0, "apply: fan values"},
    {"ADL2_OverdriveN_SettingsExt_Set", 0, 1, 0, "apply: fan curve, zero RPM, memory timing"},
    {"ADL2_OverdriveN_PowerLimit_Get", 0, 1, 0, "apply: a profile holds only the power target, the card keeps its temperature limit"},
    {"ADL2_OverdriveN_PowerLimit_Set", 0, 1, 0, "apply: power target"},
    {"ADL2_Overdrive8_Setting_Set", 0, 0, 1, "apply: all Overdrive8 values in one call"},
};

void Add(std::vector<MinimumRow>& rows, const Term& term, RigMix rig) {
  const int count = term.base + term.perN * rig.overdriveN + term.per8 * rig.overdrive8;
  if (count == 0) return;
  auto same = std::find_if(rows.begin(), rows.end(), [&](const MinimumRow& row) { return row.call == term.call; });
  if (same == rows.end()) {
    rows.push_back({term.call, count, term.reason});
    return;
  }
  same->count += count;
  same->reason += "; " + std::string(term.reason);
}

template <size_t N>
void AddAll(std::vector<MinimumRow>& rows, const Term (&terms)[N], RigMix rig) {
  for (const Term& term : terms) Add(rows, term, rig);
}

}  // namespace

std::vector<MinimumRow> MinimumCalls(Command command, RigMix rig) {
  std::vector<MinimumRow> rows;
  AddAll(rows, kStartUp, rig);
  if (command == Command::GetCurrent) AddAll(rows, kGetCurrent, rig);
  if (command == Command::ApplyProfileToAll) AddAll(rows, kApply, rig);
  return rows;
}

int MinimumConnections(Command command, RigMix rig) {
  const int cards = rig.overdriveN + rig.overdrive8;
  return command == Command::StartUp ? 1 : 1 + cards;
}

}  // namespace tw::bench
