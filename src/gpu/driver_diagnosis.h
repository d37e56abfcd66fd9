#pragma once
// Why discovery failed: an installed driver library too old for the program, or the
// library file missing altogether.

namespace tw {

class MessageWriter;
struct Platform;

inline constexpr int kDiagnosisUsable = 0;
inline constexpr int kDiagnosisUnknown = -1;      // no answer, or the library file exists
inline constexpr int kDiagnosisTooOld = -2;       // older than driver 18.12.2
inline constexpr int kDiagnosisFileMissing = -3;  // the library file is not there

int DiagnoseDriver(Platform& platform, MessageWriter& messages);

}  // namespace tw
