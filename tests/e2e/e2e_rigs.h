#pragma once
// Profiles and scenarios shared by the command-line end-to-end tests. The profile bodies
// are the keys of a profile section without its Name line; the values of the default rig's
// cards are those the simulator's presets start from.

#include <string>
#include <utility>
#include <vector>

namespace tw::e2e {

// The Polaris card of the default rig (gpu 0) exactly as the driver holds it at start.
inline const char* const kPolarisDefaults =
    "GPU_P0=300;750\nGPU_P1=600;769\nGPU_P2=900;887\nGPU_P3=1145;1100\nGPU_P4=1215;1125\n"
    "GPU_P5=1257;1150\nGPU_P6=1300;1150\nGPU_P7=1366;1150\n"
    "Mem_P0=300;750\nMem_P1=1000;800\nMem_P2=2000;950\nMem_TimingLevel=0\n"
    "Fan_P0=35;20\nFan_P1=50;30\nFan_P2=65;45\nFan_P3=75;60\nFan_P4=85;80\n"
    "Fan_ZeroRPM=1\nFan_Acoustic=1180\nPower_Target=0\n";

// The same with the top GPU state raised to 1400 MHz.
inline const char* const kPolarisGaming =
    "GPU_P0=300;750\nGPU_P1=600;769\nGPU_P2=900;887\nGPU_P3=1145;1100\nGPU_P4=1215;1125\n"
    "GPU_P5=1257;1150\nGPU_P6=1300;1150\nGPU_P7=1400;1150\n"
    "Mem_P0=300;750\nMem_P1=1000;800\nMem_P2=2000;950\nMem_TimingLevel=0\n"
    "Fan_P0=35;20\nFan_P1=50;30\nFan_P2=65;45\nFan_P3=75;60\nFan_P4=85;80\n"
    "Fan_ZeroRPM=1\nFan_Acoustic=1180\nPower_Target=0\n";

inline const char* const kTwelvePolarisCards =
    "[machine]\nkernel_drivers = atikmdag.sys\n\n[card rx580]\npreset = polaris\nbus = 1\ncopies = 12\n";

inline const char* const kOnePolarisCard = "[machine]\nkernel_drivers = atikmdag.sys\n\n[card rx580]\npreset = polaris\nbus = 1\n";

inline const char* const kTwoPolarisCards =
    "[machine]\nkernel_drivers = atikmdag.sys\n\n[card rx580]\npreset = polaris\nbus = 1\ncopies = 2\n";

// Polaris, another vendor's card, Polaris: the middle one is not supported.
inline const char* const kMiddleUnsupported =
    "[machine]\nkernel_drivers = atikmdag.sys\n\n"
    "[card left]\npreset = polaris\nbus = 1\n\n"
    "[card middle]\npreset = other\nbus = 2\n\n"
    "[card right]\npreset = polaris\nbus = 3\n";

// Tunewright.ini with one profile section per (name, body), in order, and optional
// [General] lines before them.
inline std::string ProfileIni(const std::vector<std::pair<std::string, std::string>>& profiles,
                              const std::string& general = "") {
  std::string text;
  if (!general.empty()) text += "[General]\n" + general + "\n";
  for (size_t i = 0; i < profiles.size(); ++i)
    text += "[Profile_" + std::to_string(i) + "]\nName=" + profiles[i].first + "\n" + profiles[i].second + "\n";
  return text;
}

}  // namespace tw::e2e
