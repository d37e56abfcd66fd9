// The fault sweep: every command form runs against the simulator while one driver entry
// point or machine service at a time answers badly.
//
// For each form of the table below a clean baseline run comes first. Its journal tells which
// entry points and services the form calls once start-up (driver check and discovery, up to
// the first context destroyed) is over. Each of them is then forced, from its first call
// after start-up on (ADLSIM_FAULTS "NAME=RESULT from N"), to answer -1, -8, -5 and, where it
// returns a list, success without the list; machine services answer the Windows errors 5 and
// 31 (the administrator test: refused); a last run only slows the call down. Regulator
// transfers are also failed from the first write on, past the reads that would otherwise
// keep the writes from happening. The start-up calls are swept once, by their own form, from
// their first call on.
//
// Every run starts with -consoleonly and is checked for: no crash and no hang (a 20 s limit),
// no message box (a box would hold an unattended script), an exit status of 0 or 255 that
// follows the command line's rules, the failure reported with the operation's own text
// and the driver's code unless the form's table row says why it is silent, every driver
// context destroyed, nothing unsafe sent in place of values that could not be read, and
// every profile of Tunewright.ini still there. Under the AddressSanitizer build a leaked
// list or a memory error ends the program with another status or a report, which fails the
// run too. The last group holds exact outputs of the most important failures.
//
// About a thousand runs, one at a time: one to one and a half minutes on the host build,
// nearly five under AddressSanitizer, where TW_E2E_SWEEP_ANSWERS=-1,null_list,5,1 keeps
// a quarter of the runs (the same code paths) and about a minute and a half.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <chrono>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "e2e_rigs.h"
#include "harness.h"

namespace tw::e2e {
namespace {

using Lines = std::vector<std::string>;

constexpr std::chrono::seconds kRunTimeout{20};
// The slow mode: every call of the entry point sleeps this long (less for the many calls
// of a regulator scan, so that the sweep stays short).
constexpr int kDelayMs = 30;
constexpr int kDelayBudgetMs = 600;

// Entry points that answer with a list the caller must free (the simulator can answer
// "success, but no list" for these).
const std::set<std::string> kListCalls = {"ADL2_OverdriveN_SettingsExt_Get", "ADL2_Overdrive8_Init_SettingX2_Get",
                                          "ADL2_Overdrive8_Current_SettingX2_Get"};

const char* const kI2cCall = "ADL2_Display_WriteAndReadI2C";

bool IsMachineService(const std::string& name) { return name.rfind("adlsim_", 0) == 0; }

// ---- Faults ------------------------------------------------------------------------------

enum class FaultKind { Result, NullList, Delay };

struct Fault {
  FaultKind kind;
  int code;  // the forced result (Result only)
  std::string Describe() const {
    return kind == FaultKind::Result ? std::to_string(code) : kind == FaultKind::NullList ? "null_list" : "delay";
  }
};

// The answers forced on one entry point: driver results, or Windows error codes for the
// machine services (5 access denied, 31 a device that does not work).
std::vector<Fault> FaultsFor(const std::string& name) {
  if (name == "adlsim_IsUserAdmin") return {{FaultKind::Result, 1}, {FaultKind::Delay, 0}};
  if (IsMachineService(name)) return {{FaultKind::Result, 5}, {FaultKind::Result, 31}, {FaultKind::Delay, 0}};
  std::vector<Fault> faults = {{FaultKind::Result, -1}, {FaultKind::Result, -8}, {FaultKind::Result, -5}};
  if (kListCalls.count(name)) faults.push_back({FaultKind::NullList, 0});
  faults.push_back({FaultKind::Delay, 0});
  return faults;
}

// ADLSIM_FAULTS for one fault from the call numbered `fromCall` on.
std::string FaultSwitch(const std::string& name, const Fault& fault, int fromCall, int callsInBaseline) {
  if (fault.kind == FaultKind::Delay) {
    const int delay = std::max(1, std::min(kDelayMs, kDelayBudgetMs / std::max(1, callsInBaseline)));
    return "delay_ms." + name + "=" + std::to_string(delay);
  }
  const std::string value = fault.kind == FaultKind::NullList ? "null_list" : std::to_string(fault.code);
  return name + "=" + value + (fromCall > 1 ? " from " + std::to_string(fromCall) : "");
}

// TW_E2E_SWEEP_ANSWERS (for instance "-1,null_list,5,1") keeps only those answers: the
// slow sanitizer build runs the same sweep over fewer of them, which reach the same code.
const std::set<std::string>& ChosenAnswers() {
  static const std::set<std::string> chosen = [] {
    std::set<std::string> kinds;
    const char* value = std::getenv("TW_E2E_SWEEP_ANSWERS");
    std::string list = value ? value : "";
    size_t start = 0;
    while (start < list.size()) {
      size_t end = list.find(',', start);
      if (end == std::string::npos) end = list.size();
      kinds.insert(list.substr(start, end - start));
      start = end + 1;
    }
    return kinds;
  }();
  return chosen;
}

bool AnswerChosen(const Fault& fault) { return ChosenAnswers().empty() || ChosenAnswers().count(fault.Describe()) > 0; }

// ---- What each failure must look like ----------------------------------------------------

// The texts that name the operation when a call fails, and whether the message carries the
// call's own result code.
struct Report {
  std::vector<std::string> texts;
  bool withCode;
};

const std::map<std::string, Report>& Reports() {
  static const std::map<std::string, Report> reports = {
      {"ADL2_Main_Control_Create", {{"Failed to initialize ADL context"}, true}},
      {"ADL2_Adapter_NumberOfAdapters_Get", {{"Failed to get adapters count"}, true}},
      {"ADL2_Adapter_AdapterInfo_Get", {{"Failed to get adapter info"}, true}},
      {"ADL2_OverdriveN_SystemClocksX2_Get", {{"SystemClocks_Get function failed"}, true}},
      {"ADL2_OverdriveN_MemoryClocksX2_Get", {{"MemoryClocks_Get function failed"}, true}},
      {"ADL2_OverdriveN_FanControl_Get",
       {{"FanControl_Get function failed", "Failed to get Fan parameters", "current fan values could not be read"}, true}},
      {"ADL2_OverdriveN_PowerLimit_Get", {{"PowerLimit_Get function failed", "current power values could not be read"}, true}},
      {"ADL2_OverdriveN_SettingsExt_Get", {{"Failed to read Fan curve, Zero RPM and Memory Timing Level for GPU "}, true}},
      {"ADL2_OverdriveN_SystemClocksX2_Set",
       {{"Failed to set GPU values", "Failed to set GPU clocks", "Failed to reset GPU values"}, true}},
      {"ADL2_OverdriveN_MemoryClocksX2_Set",
       {{"Failed to set Memory values", "Failed to set Memory clocks", "Failed to reset Memory values"}, true}},
      {"ADL2_OverdriveN_FanControl_Set",
       {{"Failed to set Fan values", "Failed to reset Fan values", "Failed to set Fan parameters"}, true}},
      {"ADL2_OverdriveN_SettingsExt_Set", {{"Failed to set Fan curve for GPU "}, true}},
      {"ADL2_OverdriveN_PowerLimit_Set", {{"Failed to set Power values", "Failed to reset Power values"}, true}},
      {"ADL2_Overdrive8_Init_SettingX2_Get", {{"ADL2_Overdrive8_Init_SettingX2_Get function failed for GPU "}, true}},
      {"ADL2_Overdrive8_Current_SettingX2_Get",
       {{"ADL2_Overdrive8_Current_SettingX2_Get function failed for GPU "}, true}},
      {"ADL2_Overdrive8_Setting_Set", {{"Failed to set values for GPU ", "Failed to reset values for GPU "}, true}},
      {"ADL2_Display_WriteAndReadI2C", {{"Failed to set I2C "}, true}},
      {"ADL2_Overdrive5_FanSpeed_Set", {{"Failed to set constant fan speed"}, true}},
      {"ADL2_Overdrive5_FanSpeedToDefault_Set", {{"Failed to set Fan to automode"}, true}},
      // Both fallbacks report the Overdrive5 call's result, not their own.
      {"ADL2_Overdrive6_FanSpeed_Set", {{"Failed to set constant fan speed"}, false}},
      {"ADL2_Overdrive6_FanSpeed_Reset", {{"Failed to set Fan to automode"}, false}},
      {"ADL2_PPW_Status_Get", {{"ADL2_PPW_Status_Get function failed"}, true}},
      {"ADL2_PPW_Status_Set", {{"ADL2_PPW_Status_Set function failed"}, true}},
      {"ADL2_Chill_Settings_Get", {{"ADL2_Chill_Settings_Get function failed"}, true}},
      {"ADL2_Chill_Settings_Set", {{"ADL2_Chill_Settings_Set function failed"}, true}},
      {"adlsim_KernelDrivers_Count", {{"EnumDeviceDrivers function failed"}, true}},
      {"adlsim_DisplayDevices_Count", {{"SetupDiGetClassDevs function failed"}, true}},
      {"adlsim_DisplayDevice_InstanceId", {{"SetupDiGetDeviceInstanceId function failed"}, true}},
      {"adlsim_DisplayDevice_Restart", {{"SetupDiRestartDevices function failed"}, true}},
      {"adlsim_IsUserAdmin", {{"-t command requires administrator rights, failed to restart GPU "}, false}},
  };
  return reports;
}

// ---- The command forms ---------------------------------------------------------------------

// How a form's failures reach the exit status.
enum class StatusRule {
  Unchanged,     // -r, -t, -ac, -getcurrent: 0 whatever the driver says
  ApplyFailed,   // -p, -c: 255 exactly when "Failed to apply profile ... to GPU" was printed
  CompareFailed  // cp, cm, co: 255 exactly when "Failed to compare values ..." or (cp, cm)
                 // "Failed to apply profile ..." was printed
};

struct Silent {
  const char* entry;
  const char* why;
};

struct Form {
  const char* name;  // the test's name
  Lines args;        // after "-consoleonly"
  std::string ini;
  StatusRule rule;
  // Entry points whose failure makes the command fail (profile forms: status 255).
  std::set<std::string> failing;
  // Failures the program rightly does not report in this form.
  std::vector<Silent> silent;
  // Fault the start-up calls too (from their first call) instead of only the form's own.
  bool startUp = false;
  // Restrict the kinds of answers (empty: all).
  std::set<std::string> onlyKinds = {};
  // IgnoreError-8 is on: a -8 is never shown (the operation still fails).
  bool ignoreNotSupported = false;
};

const char* const kProfileX = kPolarisGaming;

std::string ProfileIniText(const std::string& general = "") { return ProfileIni({{"X", kProfileX}}, general); }

// The regulators of the default rig where detection last found them: IR3567B on the
// Polaris card (line 3, 0x08, row 0), up9505 on the Vega card (line 4, 0x70, row 1).
const char* const kFoundRegulators = "[I2C]\n0=525056\n1=24118272\n2=0\n3=0\n";

std::string I2cIniText() {
  return ProfileIni({{"X", std::string(kProfileX) + "Offset=2\nLLC=1\nPhaseGain=1A2B3C\nCurrentScale=4D\n"}},
                    "EnableI2c=1") +
         kFoundRegulators;
}

// A profile every tunable card of the default rig takes: eight GPU states within the ranges
// of both OverdriveN cards, four memory states (the Polaris card uses the first three), and
// values the Navi card's ranges hold.
const char* const kAllCards =
    "GPU_P0=900;800\nGPU_P1=950;850\nGPU_P2=1000;900\nGPU_P3=1100;950\nGPU_P4=1200;1000\n"
    "GPU_P5=1250;1050\nGPU_P6=1300;1100\nGPU_P7=1400;1150\n"
    "Mem_P0=300;800\nMem_P1=500;800\nMem_P2=800;900\nMem_P3=945;950\nMem_TimingLevel=0\n"
    "Fan_P0=35;20\nFan_P1=50;30\nFan_P2=65;45\nFan_P3=75;60\nFan_P4=85;80\n"
    "Fan_ZeroRPM=1\nFan_Acoustic=1180\nPower_Target=0\n";

// The Polaris profile without its memory timing level and one fan curve point.
std::string OpenProfileIniText() {
  std::string body = kProfileX;
  for (const std::string line : {"Mem_TimingLevel=0\n", "Fan_P3=75;60\n"}) {
    const size_t at = body.find(line);
    if (at != std::string::npos) body.erase(at, line.size());
  }
  return ProfileIni({{"X", body}});
}

std::string AllCardsIniText() { return ProfileIni({{"X", kAllCards}}); }

// What ReadCurrentValues calls: each of them failing makes the read, and so its caller, fail.
const std::set<std::string> kCurrentReads = {
    "ADL2_Main_Control_Create",       "ADL2_OverdriveN_SystemClocksX2_Get", "ADL2_OverdriveN_MemoryClocksX2_Get",
    "ADL2_OverdriveN_FanControl_Get", "ADL2_OverdriveN_SettingsExt_Get",    "ADL2_OverdriveN_PowerLimit_Get",
    "ADL2_Overdrive8_Current_SettingX2_Get"};

const Silent kDestroy = {"ADL2_Main_Control_Destroy", "closing a connection has nobody left to tell"};
const Silent kLimits = {"ADL2_OverdriveN_CapabilitiesX2_Get",
                        "it only explains a refusal; without it the refusal is reported plainly"};
const Silent kReadBack = {"ADL2_OverdriveN_SystemClocksX2_Get",
                          "a failed read-back after a set that went through is not reported"};
const Silent kReadBackMemory = {"ADL2_OverdriveN_MemoryClocksX2_Get",
                                "a failed read-back after a set that went through is not reported"};
const Silent kOverdrive6Reset = {"ADL2_Overdrive5_FanSpeedToDefault_Set",
                                 "the card's Overdrive6 reset takes over; only a refusal of both is reported"};
const Silent kI2cReads = {"ADL2_Display_WriteAndReadI2C",
                          "regulator reads and identification fail quietly: the card is then treated as "
                          "having no regulator"};
std::vector<Form> Forms() {
  // -p0X and -c0X fail when any group is refused (or the card's values it keeps cannot be
  // read), or no connection opens.
  const std::set<std::string> applySets = {"ADL2_OverdriveN_SystemClocksX2_Set", "ADL2_OverdriveN_MemoryClocksX2_Set",
                                           "ADL2_OverdriveN_FanControl_Set", "ADL2_OverdriveN_SettingsExt_Set",
                                           "ADL2_OverdriveN_PowerLimit_Set"};
  std::set<std::string> applyFails = applySets;
  applyFails.insert({"ADL2_Main_Control_Create", "ADL2_OverdriveN_FanControl_Get", "ADL2_OverdriveN_PowerLimit_Get"});
  // The profile that leaves values open has them read from the card first.
  std::set<std::string> openApplyFails = applyFails;
  openApplyFails.insert("ADL2_OverdriveN_SettingsExt_Get");
  // cp and cm fail when the card cannot be read, or their apply fails.
  std::set<std::string> compareApplyFails = kCurrentReads;
  compareApplyFails.insert(applySets.begin(), applySets.end());
  std::set<std::string> compareApplyAllFails = compareApplyFails;
  compareApplyAllFails.insert("ADL2_Overdrive8_Setting_Set");
  // -p*X: the same for the OverdriveN cards, and the Navi card's set or the read that
  // completes its profile.
  std::set<std::string> applyAllFails = applyFails;
  applyAllFails.insert({"ADL2_Overdrive8_Setting_Set", "ADL2_Overdrive8_Current_SettingX2_Get"});
  const std::string one = ProfileIniText();
  const std::string all = AllCardsIniText();
  const char* const probe = "a probe of discovery: the card is listed as not supported";
  std::vector<Form> forms = {
      {"StartUp",
       {"-getcurrent"},
       one,
       StatusRule::Unchanged,
       {},
       {{"ADL2_Overdrive_Caps", probe},
        {"ADL2_OverdriveN_CapabilitiesX2_Get", probe},
        {"ADL2_OverdriveN_SystemClocksX2_Get", probe},
        {"ADL2_OverdriveN_MemoryClocksX2_Get", probe},
        {"ADL2_Overdrive8_Current_SettingX2_Get", probe},
        {"adlsim_KernelDriver_Name", "a driver whose name cannot be read is not the AMD driver: the run ends "
                                     "silently as on a machine without it"}},
       true},
      {"GetCurrent", {"-getcurrent"}, one, StatusRule::Unchanged, {}, {}},
      {"ApplyOne", {"-p0X"}, one, StatusRule::ApplyFailed, applyFails, {}},
      {"ApplyAll", {"-p*X"}, all, StatusRule::ApplyFailed, applyAllFails, {}},
      {"ApplyResetFirstAndVerify",
       {"-p0X"},
       ProfileIniText("ResetBeforeApply=1\nCheckValuesMismatch=1"),
       StatusRule::ApplyFailed,
       applyFails,
       {kReadBack, kReadBackMemory}},
      // The values the profile leaves open are read from the card first.
      {"ApplyOpenProfile", {"-p0X"}, OpenProfileIniText(), StatusRule::ApplyFailed, openApplyFails, {}},
      {"ApplyIgnoringNotSupported",
       {"-p0X", "-r0"},
       ProfileIniText("IgnoreError-8=1"),
       StatusRule::ApplyFailed,
       applyFails,
       {},
       false,
       {"-8", "-5"},
       true},
      {"ConfirmOne", {"-c0X"}, one, StatusRule::ApplyFailed, applyFails, {}},
      {"ConfirmAll", {"-c*X"}, all, StatusRule::ApplyFailed, applyAllFails, {}},
      {"CompareApplyOne", {"cp0X"}, one, StatusRule::CompareFailed, compareApplyFails, {}},
      {"CompareApplyAll", {"cp*X"}, all, StatusRule::CompareFailed, compareApplyAllFails, {}},
      {"CompareTellOne", {"cm0X"}, one, StatusRule::CompareFailed, compareApplyFails, {}},
      {"CompareTellAll", {"cm*X"}, all, StatusRule::CompareFailed, compareApplyAllFails, {}},
      {"CompareOnlyOne", {"co0X"}, one, StatusRule::CompareFailed, kCurrentReads, {}},
      {"CompareOnlyAll", {"co*X"}, all, StatusRule::CompareFailed, kCurrentReads, {}},
      {"ResetAll", {"-r*"}, one, StatusRule::Unchanged, {}, {}},
      {"ResetWithRegulatorScan",
       {"-r0"},
       ProfileIniText("EnableI2c=1"),
       StatusRule::Unchanged,
       {},
       {{kI2cCall, "the scan takes a failed transfer for an address where no device answers"}}},
      {"ApplyWithRegulators", {"-p0X"}, I2cIniText(), StatusRule::ApplyFailed, applyFails, {}},
      {"Restart", {"-t0"}, one, StatusRule::Unchanged, {}, {}},
      // A further argument makes the restart wait for the driver (up to 7 attempts of a
      // second each), so only one kind of answer per call here.
      {"RestartAndWait",
       {"-t0", "-wait0"},
       one,
       StatusRule::Unchanged,
       {},
       {{"ADL2_OverdriveN_PowerLimit_Get", "the wait after a restart probes the driver until it answers, "
                                           "without a message"}},
       false,
       {"-1", "5", "1"}},
      {"PolarisCommand",
       {"-ac0", "gpu_p7=1400;1150", "mem_p2=2000;950", "fan_min=1000", "fan_max=2500", "fan_target=75",
        "fan_acoustic=1180", "power_temp=90", "power_target=10", "fan_p0=35;20", "fan_zerorpm=1",
        "mem_timinglevel=0", "offset=2", "llc=1", "phasegain=1a2b3c", "currentscale=4d",
        "setconstantfanspeed=50", "setpowerefficiency=on"},
       I2cIniText(),
       StatusRule::Unchanged,
       {},
       {}},
      {"VegaCommand",
       {"-ac1", "offset=-2", "llc=0", "setconstantfanspeed=auto", "setpowerefficiency=off", "setchill=on"},
       I2cIniText(),
       StatusRule::Unchanged,
       {},
       {kOverdrive6Reset}},
      {"NaviCommand",
       {"-ac2", "gpu_min=800", "gpu_max=2000", "mem_max=850", "power_target=10", "fan_p4=90;95", "fan_zerorpm=0",
        "gpu_p1=1400;900", "setchill=off"},
       I2cIniText(),
       StatusRule::Unchanged,
       {},
       {}},
      {"CommandForAll", {"-ac*", "power_target=5", "fan_acoustic=1200"}, one, StatusRule::Unchanged, {}, {}},
  };
  // Silent in every form.
  for (Form& form : forms) form.silent.insert(form.silent.end(), {kDestroy, kLimits});
  return forms;
}

void PrintTo(const Form& form, std::ostream* os) { *os << form.name; }

// ---- Checking one run ----------------------------------------------------------------------

// Every message of a run: console lines and message boxes.
Lines Messages(const RigRun& run) {
  Lines messages = run.outLines;
  messages.insert(messages.end(), run.boxes.begin(), run.boxes.end());
  return messages;
}

std::string Show(const RigRun& run) {
  std::string text = "exit " + std::to_string(run.exitStatus) + (run.run.timedOut ? " (timed out)" : "") + "\n";
  for (const std::string& line : Messages(run)) text += "  " + line + "\n";
  if (!run.run.err.empty()) text += "stderr:\n" + run.run.err;
  return text;
}

bool HasLineStarting(const RigRun& run, const std::string& prefix) {
  return std::any_of(run.outLines.begin(), run.outLines.end(),
                     [&](const std::string& line) { return line.rfind(prefix, 0) == 0; });
}

// Whether the fault was really met: a call of the entry point answered with it.
bool FaultMet(const RigRun& run, const std::string& entry) {
  const std::vector<JournalEntry> calls = run.Calls(entry);
  return std::any_of(calls.begin(), calls.end(), [](const JournalEntry& call) {
    const std::string fault = call.Arg("fault");
    return fault == "result" || fault == "null_list";
  });
}

// The profile sections of an ini text: section name -> its key=value lines, sorted.
std::map<std::string, Lines> ProfileSections(const std::string& text) {
  std::map<std::string, Lines> sections;
  std::string current;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    start = end + 1;
    if (line.empty()) continue;
    if (line.front() == '[') {
      current = line.rfind("[Profile_", 0) == 0 ? line : "";
      if (!current.empty()) sections[current];
    } else if (!current.empty()) {
      sections[current].push_back(line);
    }
  }
  for (auto& [name, lines] : sections) std::sort(lines.begin(), lines.end());
  return sections;
}

int ContextsLeftOpen(const RigRun& run) {
  int created = 0;
  for (const JournalEntry& call : run.Calls("ADL2_Main_Control_Create"))
    if (call.result == 0) ++created;
  return created - static_cast<int>(run.Calls("ADL2_Main_Control_Destroy").size());
}

std::string SanitizerReport(const RigRun& run) {
  for (const char* marker : {"ERROR: AddressSanitizer", "ERROR: LeakSanitizer", "runtime error:"}) {
    const size_t at = run.run.err.find(marker);
    if (at != std::string::npos) return run.run.err.substr(at, 400);
  }
  return "";
}

std::vector<int> Numbers(const std::string& list) {
  std::vector<int> numbers;
  size_t start = 0;
  while (start < list.size()) {
    size_t end = list.find(',', start);
    if (end == std::string::npos) end = list.size();
    numbers.push_back(std::atoi(list.substr(start, end - start).c_str()));
    start = end + 1;
  }
  return numbers;
}

// Values no failure may put on a card: a fan limit or temperature of 0 (a fan that never
// spins, no temperature limit) where the driver is asked to apply values (mode 3), and a
// fan curve point at 0 °C.
std::string UnsafeValuesSent(const RigRun& run) {
  for (const JournalEntry& set : run.Calls("ADL2_OverdriveN_FanControl_Set")) {
    if (set.Arg("mode") == "3" && (set.Arg("max_rpm") == "0" || set.Arg("target_temp") == "0")) return set.line;
  }
  for (const JournalEntry& set : run.Calls("ADL2_OverdriveN_PowerLimit_Set")) {
    if (set.Arg("mode") == "3" && set.Arg("max_temp") == "0") return set.line;
  }
  for (const JournalEntry& set : run.Calls("ADL2_OverdriveN_SettingsExt_Set")) {
    const std::vector<int> valid = Numbers(set.Arg("valid"));
    const std::vector<int> values = Numbers(set.Arg("values"));
    for (size_t i = 5; i + 1 < values.size() && i < valid.size(); i += 2)
      if (valid[i] == 1 && values[i] == 0) return set.line;
  }
  return "";
}

// Checks that hold for every run, faulted or not.
void CheckAlways(const RigRun& run, const std::map<std::string, Lines>& profilesBefore, const std::string& iniAfter,
                 const std::string& what) {
  SCOPED_TRACE(what);
  EXPECT_FALSE(run.run.timedOut) << Show(run);
  ASSERT_NE(run.exitStatus, -1) << "killed by a signal\n" << Show(run);
  EXPECT_TRUE(run.exitStatus == 0 || run.exitStatus == 255) << Show(run);
  EXPECT_EQ(run.boxes, Lines{}) << "a box although -consoleonly came first\n" << Show(run);
  EXPECT_EQ(SanitizerReport(run), "");
  EXPECT_EQ(ContextsLeftOpen(run), 0) << "driver contexts created but not destroyed\n" << Show(run);
  EXPECT_EQ(UnsafeValuesSent(run), "") << Show(run);
  EXPECT_EQ(ProfileSections(iniAfter), profilesBefore) << "profiles lost or changed\n" << iniAfter;
}

// Whether the form's own failure line (the one that sets the exit status) was printed.
bool StatusLinePrinted(const RigRun& run, StatusRule rule) {
  if (HasLineStarting(run, "ERROR: Failed to parse command: ") || HasLineStarting(run, "ERROR: Wrong command"))
    return true;
  switch (rule) {
    case StatusRule::ApplyFailed: return HasLineStarting(run, "ERROR: Failed to apply profile \"X\" to GPU ");
    case StatusRule::CompareFailed:
      return HasLineStarting(run, "ERROR: Failed to compare values for GPU ") ||
             HasLineStarting(run, "ERROR: Failed to apply profile \"X\"");
    case StatusRule::Unchanged: return false;
  }
  return false;
}

const char* SilentReason(const Form& form, const std::string& entry) {
  for (const Silent& silent : form.silent)
    if (entry == silent.entry) return silent.why;
  return nullptr;
}

// The failure is reported naming the operation (and with the forced code where it travels).
void CheckReported(const RigRun& run, const std::string& entry, const Fault& fault) {
  const auto found = Reports().find(entry);
  ASSERT_NE(found, Reports().end()) << entry << " has no entry in the report table";
  const Report& report = found->second;
  const std::string code = "(ErrorCode: " + std::to_string(fault.code) + ")";
  const bool needCode = report.withCode && fault.kind == FaultKind::Result && !(IsMachineService(entry) && fault.code == 0);
  bool named = false;
  bool withCode = false;
  for (const std::string& line : Messages(run)) {
    for (const std::string& text : report.texts) {
      if (line.find(text) == std::string::npos) continue;
      named = true;
      if (line.find(code) != std::string::npos) withCode = true;
    }
  }
  EXPECT_TRUE(named) << "the failure of " << entry << " is not reported\n" << Show(run);
  if (named && needCode) {
    EXPECT_TRUE(withCode) << "the report of " << entry << " lacks " << code << "\n" << Show(run);
  }
}

// Start-up: these failures end the run before any argument, with 255.
const std::set<std::string> kStartUpFatal = {"ADL2_Main_Control_Create", "ADL2_Adapter_NumberOfAdapters_Get",
                                             "ADL2_Adapter_AdapterInfo_Get", "adlsim_KernelDriver_Name"};

// ---- The sweep -----------------------------------------------------------------------------

// The entry points a run called after start-up (or all, for the start-up form), with the
// number of calls each made during start-up.
struct Plan {
  std::map<std::string, int> startUpCalls;
  std::set<std::string> targets;
  std::map<std::string, int> callCount;
  // The number of the first regulator write among the I2C calls (0: none). Faulting from
  // there reaches the writes, which reads failing earlier would otherwise keep from running.
  int firstI2cWrite = 0;
};

Plan MakePlan(const RigRun& baseline, bool startUp) {
  Plan plan;
  bool inStartUp = true;
  for (const JournalEntry& call : baseline.journal) {
    ++plan.callCount[call.name];
    if (call.name == kI2cCall && call.Arg("action") == "2" && plan.firstI2cWrite == 0)
      plan.firstI2cWrite = plan.callCount[call.name];
    if (inStartUp) ++plan.startUpCalls[call.name];
    if (startUp ? inStartUp : !inStartUp) plan.targets.insert(call.name);
    if (call.name == "ADL2_Main_Control_Destroy") inStartUp = false;
  }
  return plan;
}

std::string Joined(const Lines& args) {
  std::string text;
  for (const std::string& arg : args) text += (text.empty() ? "" : " ") + arg;
  return text;
}

struct Job {
  std::string entry;
  Fault fault;
  std::string faults;  // ADLSIM_FAULTS
  const char* silentWhy;
};

struct Outcome {
  RigRun run;
  std::string ini;  // Tunewright.ini after the run
};

Outcome RunFaulted(const Lines& args, const std::string& ini, const std::string& faults) {
  Rig rig;
  rig.Ini(ini).Timeout(kRunTimeout).Environment("ADLSIM_FAULTS", faults);
  Outcome outcome{rig.Run(args), ""};
  outcome.ini = rig.IniText();
  return outcome;
}

class FaultSweepTest : public ::testing::TestWithParam<Form> {};

TEST_P(FaultSweepTest, EveryFailureIsSurvivedReportedAndCounted) {
  const Form& form = GetParam();
  Lines args = {"-consoleonly"};
  args.insert(args.end(), form.args.begin(), form.args.end());
  const std::map<std::string, Lines> profiles = ProfileSections(form.ini);
  ASSERT_FALSE(profiles.empty());

  Rig clean;
  clean.Ini(form.ini).Timeout(kRunTimeout);
  const RigRun baseline = clean.Run(args);
  CheckAlways(baseline, profiles, clean.IniText(), "baseline");
  ASSERT_EQ(baseline.exitStatus, 0) << Show(baseline);
  for (const std::string& line : Messages(baseline)) EXPECT_EQ(line.find("ERROR"), std::string::npos) << line;

  const Plan plan = MakePlan(baseline, form.startUp);
  ASSERT_FALSE(plan.targets.empty());
  // Every faulted run to make, in order.
  std::vector<Job> jobs;
  for (const std::string& entry : plan.targets) {
    for (const Fault& fault : FaultsFor(entry)) {
      if (!form.onlyKinds.empty() && !form.onlyKinds.count(fault.Describe())) continue;
      if (!AnswerChosen(fault)) continue;
      const int fromCall = form.startUp ? 1 : plan.startUpCalls.count(entry) ? plan.startUpCalls.at(entry) + 1 : 1;
      const char* silentWhy = SilentReason(form, entry);
      if (entry == kI2cCall && !silentWhy) silentWhy = kI2cReads.why;
      jobs.push_back({entry, fault, FaultSwitch(entry, fault, fromCall, plan.callCount.at(entry)), silentWhy});
      // Regulator writes fail loudly, once the reads before them went through.
      if (entry == kI2cCall && plan.firstI2cWrite > fromCall && fault.kind == FaultKind::Result) {
        jobs.push_back({entry, fault, FaultSwitch(entry, fault, plan.firstI2cWrite, 0), SilentReason(form, entry)});
      }
    }
  }

  const auto check = [&](const Job& job, const Outcome& outcome) {
    const RigRun& run = outcome.run;
    const std::string& entry = job.entry;
    const Fault& fault = job.fault;
    const std::string what = Joined(args) + " with " + job.faults;
    SCOPED_TRACE(what);
    CheckAlways(run, profiles, outcome.ini, what);
    if (fault.kind == FaultKind::Delay) {
      // Slow answers change nothing but the time.
      EXPECT_EQ(run.exitStatus, baseline.exitStatus) << Show(run);
      EXPECT_EQ(Messages(run), Messages(baseline)) << Show(run);
      return;
    }
    const bool met = FaultMet(run, entry);
    EXPECT_TRUE(met) << "the forced answer was never given: the sweep did not reach " << entry << "\n" << Show(run);
    if (form.startUp && kStartUpFatal.count(entry) && met) {
      EXPECT_EQ(run.exitStatus, 255) << Show(run);
      // Only the start-up's own report (on the console, -consoleonly being first).
      for (const std::string& line : run.outLines)
        EXPECT_TRUE(line.rfind("ERROR: ", 0) == 0 && line.find("current values") == std::string::npos)
            << "no argument may run after a failed start-up\n" << Show(run);
    } else if (form.rule == StatusRule::Unchanged) {
      EXPECT_EQ(run.exitStatus, 0) << Show(run);
    } else {
      // A failure IgnoreError-8 hides counts as done, unless it left no connection at all.
      const bool hiddenFailure =
          form.ignoreNotSupported && fault.code == -8 && entry != "ADL2_Main_Control_Create";
      const bool expectFailure = met && form.failing.count(entry) && !hiddenFailure;
      EXPECT_EQ(StatusLinePrinted(run, form.rule), expectFailure) << Show(run);
      EXPECT_EQ(run.exitStatus, expectFailure ? 255 : 0) << Show(run);
    }
    if (form.ignoreNotSupported && fault.code == -8) {
      for (const std::string& line : Messages(run))
        EXPECT_EQ(line.find("(ErrorCode: -8)"), std::string::npos) << "shown although IgnoreError-8 is on: " << line;
    } else if (met && !job.silentWhy) {
      CheckReported(run, entry, fault);
    }
  };

  // One at a time: the machine the tests run on has two cores, shared, and runs in
  // parallel were not faster.
  int runs = 0;
  for (const Job& job : jobs) {
    check(job, RunFaulted(args, form.ini, job.faults));
    ++runs;
  }
  if (ChosenAnswers().empty()) {
    EXPECT_GT(runs, 0);
  }
  RecordProperty("faulted_runs", runs);
}

INSTANTIATE_TEST_SUITE_P(FaultSweep, FaultSweepTest, ::testing::ValuesIn(Forms()),
                         [](const ::testing::TestParamInfo<Form>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tw::e2e

// ---- Exact output of the most important failures ---------------------------------------------

namespace tw::e2e {
namespace {

struct ExactCase {
  const char* name;
  Lines args;  // after "-consoleonly"
  const char* entry;
  const char* answer;  // as in ADLSIM_FAULTS
  bool fromStart;      // also during start-up (else only the form's own calls)
  Lines outLines;      // "baseline:N" stands for the baseline's line N
  int exitStatus;
  const char* neverCalled = nullptr;  // an entry point the failure must keep from being called
};

const char* const kNotSupported = "(ADL_ERR_NOT_SUPPORTED - Function not supported by the driver)";

std::vector<ExactCase> ExactCases() {
  return {
      {"ProfileWhosePowerSetFails",
       {"-p0X"},
       "ADL2_OverdriveN_PowerLimit_Set",
       "-5",
       false,
       {"ERROR: Failed to set Power values for GPU 0 (ErrorCode: -5) (ADL_ERR_INVALID_ADL_IDX - Invalid ADL index "
        "passed)",
        "ERROR: Failed to apply profile \"X\" to GPU 0"},
       255},
      // Nothing made up goes out in place of the card's temperature limit.
      {"ProfileOnACardWhosePowerLimitCannotBeRead",
       {"-p0X"},
       "ADL2_OverdriveN_PowerLimit_Get",
       "-5",
       false,
       {"ERROR: Failed to set Power values for GPU 0: the card's current power values could not be read (ErrorCode: "
        "-5) (ADL_ERR_INVALID_ADL_IDX - Invalid ADL index passed)",
        "ERROR: Failed to apply profile \"X\" to GPU 0"},
       255,
       "ADL2_OverdriveN_PowerLimit_Set"},
      {"ProfileOnACardWhoseFanValuesCannotBeRead",
       {"-p0X"},
       "ADL2_OverdriveN_FanControl_Get",
       "-1",
       false,
       {"ERROR: Failed to set Fan values for GPU 0: the card's current fan values could not be read (ErrorCode: -1)",
        "ERROR: Failed to apply profile \"X\" to GPU 0"},
       255,
       "ADL2_OverdriveN_FanControl_Set"},
      {"ProfileOnNaviWhoseValuesCannotBeRead",
       {"-p2X"},
       "ADL2_Overdrive8_Current_SettingX2_Get",
       "-1",
       false,
       {"ERROR: ADL2_Overdrive8_Current_SettingX2_Get function failed for GPU 2 (ErrorCode: -1)",
        "ERROR: Profile \"X\" is not complete, cannot apply it to GPU 2", "ERROR: Failed to apply profile \"X\" to GPU 2"},
       255},
      {"CompareWhoseClockReadFails",
       {"co0X"},
       "ADL2_OverdriveN_SystemClocksX2_Get",
       "-1",
       false,
       {"ERROR: SystemClocks_Get function failed (ErrorCode: -1)",
        "ERROR: Failed to compare values for GPU 0 with profile \"X\""},
       255},
      {"CompareAndApplyWhosePowerSetFailsFailsTheRun",
       {"cp0X"},
       "ADL2_OverdriveN_PowerLimit_Set",
       "-8",
       false,
       {std::string("ERROR: Failed to set Power values for GPU 0 (ErrorCode: -8) ") + kNotSupported,
        "ERROR: Failed to apply profile \"X\""},
       255},
      {"ReportWhoseNaviListIsMissing",
       {"-getcurrent"},
       "ADL2_Overdrive8_Current_SettingX2_Get",
       "null_list",
       false,
       {"baseline:0", "baseline:1", "ERROR: ADL2_Overdrive8_Current_SettingX2_Get function failed for GPU 2",
        "ERROR: Could not get current values for GPU 2"},
       0},
      {"CommandWhosePowerSetFails",
       {"-ac0", "power_target=10"},
       "ADL2_OverdriveN_PowerLimit_Set",
       "-1",
       false,
       {"ERROR: Failed to set Power values for GPU 0 (ErrorCode: -1)"},
       0},
      {"RestartWithoutTheDeviceSet",
       {"-t0"},
       "adlsim_DisplayDevices_Count",
       "5",
       false,
       {"ERROR: SetupDiGetClassDevs function failed (ErrorCode: 5) (Access is denied.)",
        "ERROR: Failed to restart GPU 0"},
       0},
      {"RestartWithoutAdministratorRights",
       {"-t0"},
       "adlsim_IsUserAdmin",
       "1",
       false,
       {"ERROR: -t command requires administrator rights, failed to restart GPU 0"},
       0},
      {"StartUpWithoutAdapterCount",
       {"-p0X"},
       "ADL2_Adapter_NumberOfAdapters_Get",
       "-8",
       true,
       {std::string("ERROR: Failed to get adapters count (ErrorCode: -8) ") + kNotSupported},
       255},
      {"StartUpWithoutContext",
       {"-p0X"},
       "ADL2_Main_Control_Create",
       "-1",
       true,
       {"ERROR: Failed to initialize ADL context (ErrorCode: -1)"},
       255},
  };
}

class FaultSweepExactTest : public ::testing::TestWithParam<ExactCase> {};

TEST_P(FaultSweepExactTest, TheFailureReadsAsTheUserIsTold) {
  const ExactCase& c = GetParam();
  Lines args = {"-consoleonly"};
  args.insert(args.end(), c.args.begin(), c.args.end());
  const std::string ini = ProfileIniText();

  Rig clean;
  clean.Ini(ini).Timeout(kRunTimeout);
  const RigRun baseline = clean.Run(args);
  ASSERT_EQ(baseline.exitStatus, 0) << Show(baseline);
  const Plan plan = MakePlan(baseline, false);
  const int startUpCalls = plan.startUpCalls.count(c.entry) ? plan.startUpCalls.at(c.entry) : 0;
  std::string faults = std::string(c.entry) + "=" + c.answer;
  if (!c.fromStart && startUpCalls > 0) faults += " from " + std::to_string(startUpCalls + 1);

  Rig rig;
  rig.Ini(ini).Timeout(kRunTimeout).Environment("ADLSIM_FAULTS", faults);
  const RigRun run = rig.Run(args);
  CheckAlways(run, ProfileSections(ini), rig.IniText(), faults);
  EXPECT_TRUE(FaultMet(run, c.entry)) << Show(run);
  Lines expected;
  for (const std::string& line : c.outLines) {
    if (line.rfind("baseline:", 0) == 0) {
      const size_t index = static_cast<size_t>(std::stoi(line.substr(9)));
      ASSERT_LT(index, baseline.outLines.size()) << Show(baseline);
      expected.push_back(baseline.outLines[index]);
    } else {
      expected.push_back(line);
    }
  }
  EXPECT_EQ(run.outLines, expected) << Show(run);
  EXPECT_EQ(run.exitStatus, c.exitStatus) << Show(run);
  if (c.neverCalled) {
    EXPECT_TRUE(run.Calls(c.neverCalled).empty()) << c.neverCalled;
  }
}

INSTANTIATE_TEST_SUITE_P(FaultSweep, FaultSweepExactTest, ::testing::ValuesIn(ExactCases()),
                         [](const ::testing::TestParamInfo<ExactCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tw::e2e
