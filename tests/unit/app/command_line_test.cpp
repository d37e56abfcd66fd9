#include "app/command_line.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "app/command_line_operations.h"
#include "fakes/fake_platform.h"
#include "messages/message_writer.h"
#include "profiles/option_set.h"

namespace tw {
namespace {

// Records every operation the loop asks for, as one line each.
class RecordingOperations final : public CommandLineOperations {
 public:
  bool driverLoaded = true;
  bool snapshotWritten = true;
  int profilesLoaded = 1;
  bool gpuListBuilt = true;
  int diagnosis = 0;
  std::vector<bool> supported = {true, true, true};
  std::vector<std::string> profiles = {"Gaming", "Mining"};
  bool applyResult = true;
  CompareOutcome compareResult = CompareOutcome::Done;
  std::vector<std::string> calls;
  // When set, every operation also shows an error box naming itself, as the operations
  // that only know the box do (device restart, driver connection, regulators, fan test).
  MessageWriter* boxes = nullptr;
  bool printThrows = false;

  bool CheckDriverLoaded() override { return Record("CheckDriverLoaded"), driverLoaded; }
  void LoadSettings() override { Record("LoadSettings"); }
  int LoadProfiles() override { return Record("LoadProfiles"), profilesLoaded; }
  void RestoreFromBackup(bool) override { Record("RestoreFromBackup"); }
  bool BuildGpuList() override { return Record("BuildGpuList"), gpuListBuilt; }
  int DiagnoseDriver() override { return Record("DiagnoseDriver"), diagnosis; }
  int GpuCount() const override { return static_cast<int>(supported.size()); }
  bool IsSupported(int gpu) const override { return supported.at(static_cast<size_t>(gpu)); }
  int FindProfile(std::string_view name) const override {
    for (size_t i = 0; i < profiles.size(); ++i)
      if (profiles[i] == name) return static_cast<int>(i);
    return -1;
  }
  void DetectRegulatorsOnce() override { Record("DetectRegulatorsOnce"); }
  bool ApplyProfile(int profile, int gpu, bool console) override {
    return Record("Apply " + Args(profile, gpu, console)), applyResult;
  }
  void ResetGpu(int gpu, bool console) override { Record("Reset " + Args(gpu, console)); }
  CompareOutcome CompareProfile(int profile, int gpu, std::string_view mode, bool console) override {
    return Record("Compare " + std::string(mode) + " " + Args(profile, gpu, console)), compareResult;
  }
  bool RestartGpu(int gpu, bool console, bool waitForDriver) override {
    return Record("Restart " + Args(gpu, console) + (waitForDriver ? " wait" : " nowait")), true;
  }
  void RunGpuCommand(const std::string& gpuIdText, const std::string& parameters, const std::string& commandText,
                     bool console) override {
    std::string shown = parameters;
    for (char& c : shown)
      if (c == kParameterSeparator) c = '|';
    Record("GpuCommand [" + gpuIdText + "] [" + shown + "] [" + commandText + "] " + (console ? "console" : "box"));
  }
  void PrintCurrentValues() override {
    Record("PrintCurrentValues");
    if (printThrows) throw std::runtime_error("escaped");
  }
  bool TakeSnapshot(const std::string& fileName, bool console) override {
    Record("Snapshot [" + fileName + "] " + (console ? "console" : "box"));
    return snapshotWritten;
  }
  void Sleep(int milliseconds) override { Record("Sleep " + std::to_string(milliseconds)); }
  void ClearLists() override { Record("ClearLists"); }
  void RunMainWindow() override { Record("RunMainWindow"); }

 private:
  void Record(const std::string& call) {
    calls.push_back(call);
    if (boxes) boxes->ShowError(call);
  }
  static std::string Args(int a, int b, bool console) {
    return std::to_string(a) + " " + std::to_string(b) + (console ? " console" : " box");
  }
  static std::string Args(int a, bool console) { return std::to_string(a) + (console ? " console" : " box"); }
};

class CommandLineTest : public ::testing::Test {
 protected:
  test::FakePlatform fake;
  OptionSet options;
  MessageWriter messages{options.IgnoreError8, fake.platform};
  RecordingOperations ops;

  int Run(std::vector<std::string> args) {
    CommandLine commandLine(ops, messages);
    return commandLine.Run(args);
  }
  // Calls after the start-up sequence.
  std::vector<std::string> Work() const {
    std::vector<std::string> work;
    bool started = false;
    for (const std::string& call : ops.calls) {
      if (started) work.push_back(call);
      if (call == "BuildGpuList") started = true;
    }
    return work;
  }
  std::vector<std::string> BoxTexts() const {
    std::vector<std::string> texts;
    for (const auto& box : fake.dialogs.boxes) texts.push_back(box.text);
    return texts;
  }
  std::string Console() const { return fake.console.Output(); }

  void UseGpus(size_t count) { ops.supported.assign(count, true); }
};

using Calls = std::vector<std::string>;

TEST_F(CommandLineTest, StartUpRunsInOrderAndSucceeds) {
  EXPECT_EQ(Run({"-consoleonly"}), 0);
  EXPECT_EQ(ops.calls, (Calls{"CheckDriverLoaded", "LoadSettings", "LoadProfiles", "BuildGpuList"}));
}

TEST_F(CommandLineTest, NoDriverEndsSilentlyWithMinusOne) {
  ops.driverLoaded = false;
  EXPECT_EQ(Run({"-p0Gaming"}), -1);
  EXPECT_EQ(ops.calls, Calls{"CheckDriverLoaded"});
  EXPECT_TRUE(fake.dialogs.boxes.empty());
  EXPECT_TRUE(fake.console.events.empty());
}

TEST_F(CommandLineTest, NoProfilesOffersTheRestore) {
  ops.profilesLoaded = 0;
  Run({"-consoleonly"});
  EXPECT_EQ(ops.calls, (Calls{"CheckDriverLoaded", "LoadSettings", "LoadProfiles", "RestoreFromBackup", "BuildGpuList"}));
}

TEST_F(CommandLineTest, FailedDiscoveryDiagnosesAnOldDriver) {
  ops.gpuListBuilt = false;
  ops.diagnosis = -2;
  EXPECT_EQ(Run({"-p0Gaming", "-consoleonly"}), -1);
  EXPECT_EQ(ops.calls.back(), "DiagnoseDriver");
  ASSERT_EQ(BoxTexts(), Calls{"This application requires driver 18.12.2 or newer"});
  EXPECT_EQ(fake.dialogs.boxes[0].icon, BoxIcon::Error);

  // "-consoleonly" first: the start-up's failures reach the console too.
  fake.dialogs.boxes.clear();
  for (const Calls& args : {Calls{"-consoleonly", "-p0Gaming"}, Calls{"-wait5", "-consoleonly"}}) {
    fake.console.events.clear();
    EXPECT_EQ(Run(args), -1);
    EXPECT_EQ(Console(), "ERROR: This application requires driver 18.12.2 or newer\n") << args[0];
  }
  EXPECT_TRUE(fake.dialogs.boxes.empty());

  ops.diagnosis = -3;
  EXPECT_EQ(Run({"-consoleonly"}), -1);
  EXPECT_TRUE(fake.dialogs.boxes.empty());
}

TEST_F(CommandLineTest, EveryMessageOfAnArgumentAfterConsoleOnlyReachesTheConsoleBoxesStayBefore) {
  ops.boxes = &messages;
  Run({"-r0", "-consoleonly", "-t0", "-ac1", "llc=1"});
  EXPECT_EQ(BoxTexts(), (Calls{"CheckDriverLoaded", "LoadSettings", "LoadProfiles", "BuildGpuList",
                               "DetectRegulatorsOnce", "Reset 0 box"}));
  EXPECT_EQ(Console(), "ERROR: Restart 0 console wait\nERROR: GpuCommand [1] [llc=1] [-ac1 llc=1] console\n");

  fake.dialogs.boxes.clear();
  fake.console.events.clear();
  Run({"-consoleonly", "-p0Gaming"});
  EXPECT_TRUE(fake.dialogs.boxes.empty());
  EXPECT_EQ(Console(), "ERROR: CheckDriverLoaded\nERROR: LoadSettings\nERROR: LoadProfiles\nERROR: BuildGpuList\n"
                       "ERROR: DetectRegulatorsOnce\nERROR: Apply 0 0 console\n");
}

TEST_F(CommandLineTest, SnapshotRunsThePendingCommandFirstAndAnUnwrittenOneFailsTheRun) {
  EXPECT_EQ(Run({"-ac0", "llc=1", "-snapshot=my snap.ini", "-consoleonly", "-snapshot=снимок.ini"}), 0);
  EXPECT_EQ(Work(), (Calls{"GpuCommand [0] [llc=1] [-ac0 llc=1] box", "Snapshot [my snap.ini] box",
                           "Snapshot [снимок.ini] console"}));
  ops.snapshotWritten = false;
  EXPECT_EQ(Run({"-consoleonly", "-snapshot=x.ini"}), -1);
  ops.snapshotWritten = true;
  fake.console.events.clear();
  EXPECT_EQ(Run({"-consoleonly", "-snapshot=", "-snapshot"}), -1);
  EXPECT_EQ(Console(), "ERROR: Wrong command: -snapshot=A file name must follow \"-snapshot=\"\n"
                       "ERROR: Wrong command: -snapshot\n");
}

TEST_F(CommandLineTest, AFailureThatEscapesEveryGuardEndsTheRunWhereTheArgumentsMessagesGo) {
  ops.printThrows = true;
  EXPECT_EQ(Run({"-consoleonly", "-getcurrent", "-p0Gaming"}), -1);
  EXPECT_EQ(Console(), "ERROR: escaped\n");
  EXPECT_TRUE(fake.dialogs.boxes.empty());
  EXPECT_EQ(Work(), Calls{"PrintCurrentValues"});

  fake.console.events.clear();
  EXPECT_EQ(Run({"-getcurrent", "-consoleonly"}), -1);
  EXPECT_EQ(BoxTexts(), Calls{"escaped"});
}

TEST_F(CommandLineTest, LeadingWaitSleepsBeforeTheDriverCheckAndIsNotRepeated) {
  EXPECT_EQ(Run({"-wait2000", "-consoleonly"}), 0);
  EXPECT_EQ(ops.calls.front(), "Sleep 2000");
  EXPECT_EQ(ops.calls[1], "CheckDriverLoaded");
  EXPECT_TRUE(Work().empty());
}

TEST_F(CommandLineTest, LeadingWaitFailureDoesNotChangeTheStatusAndUsesABox) {
  EXPECT_EQ(Run({"-waitx", "-consoleonly"}), 0);
  EXPECT_EQ(BoxTexts(), Calls{"Wrong command: -waitx\r\n\"x\" cannot be used as wait time"});
}

TEST_F(CommandLineTest, LaterWaitRunsInPlaceAndItsFailureCounts) {
  EXPECT_EQ(Run({"-consoleonly", "-wait300", "-p0Gaming"}), 0);
  EXPECT_EQ(Work(), (Calls{"Sleep 300", "DetectRegulatorsOnce", "Apply 0 0 console"}));
  ops.calls.clear();
  EXPECT_EQ(Run({"-consoleonly", "-wait3s"}), -1);
  EXPECT_EQ(Console(), "ERROR: Wrong command: -wait3s\"3s\" cannot be used as wait time\n");
}

TEST_F(CommandLineTest, NegativeAndAbsurdWaitsAreRefusedNotSlept) {
  for (const std::string arg : {"-wait-5", "-wait3600001", "-wait99999999999", "-wait"}) {
    ops.calls.clear();
    EXPECT_EQ(Run({"-consoleonly", arg}), -1) << arg;
    EXPECT_TRUE(Work().empty()) << arg;
  }
  ops.calls.clear();
  EXPECT_EQ(Run({"-consoleonly", "-wait3600000"}), 0);
  EXPECT_EQ(Work(), Calls{"Sleep 3600000"});
}

TEST_F(CommandLineTest, ShortAndUnknownArgumentsAreWrongCommands) {
  EXPECT_EQ(Run({"-consoleonly", "xy", "-p", "", "hello", "-p0Gaming"}), -1);
  EXPECT_EQ(Console(),
            "ERROR: Wrong command: xy\nERROR: Wrong command: -p\nERROR: Wrong command: \nERROR: Wrong command: "
            "hello\n");
  // The loop goes on after failures.
  EXPECT_EQ(Work(), (Calls{"DetectRegulatorsOnce", "Apply 0 0 console"}));
}

TEST_F(CommandLineTest, LengthsAndGpuIdsCountCharactersNotBytes) {
  ops.profiles = {"Gaming", "\xC3\xA9"};
  EXPECT_EQ(Run({"-consoleonly", "\xC3\xA9\xC3\xA9", "\xF0\x9F\x98\x80!", "-p\xC3\xA9Gaming", "-p\xF0\x9F\x98\x80Gaming",
                 "-p*\xC3\xA9"}),
            -1);
  EXPECT_EQ(Console(), "ERROR: Wrong command: \xC3\xA9\xC3\xA9\nERROR: Wrong command: \xF0\x9F\x98\x80!\n"
                       "ERROR: Wrong command: -p\xC3\xA9Gaming\"\xC3\xA9\" cannot be used as [gpu_id]\n"
                       "ERROR: Wrong command: -p\xF0\x9F\x98\x80Gaming\"\xF0\x9F\x98\x80\" cannot be used as [gpu_id]\n");
  EXPECT_EQ(Work(), (Calls{"DetectRegulatorsOnce", "Apply 1 0 console", "Apply 1 1 console", "Apply 1 2 console"}));
}

TEST_F(CommandLineTest, ConsoleOnlyActsOnLaterArgumentsOnly) {
  Run({"-p5Gaming", "-consoleonly", "-p6Gaming"});
  EXPECT_EQ(BoxTexts(), Calls{"Wrong command - GPU with id=5 not found"});
  EXPECT_EQ(Console(), "ERROR: Wrong command - GPU with id=6 not found\n");
}

TEST_F(CommandLineTest, GpuIdChecks) {
  ops.supported = {true, false, true};
  EXPECT_EQ(Run({"-consoleonly", "-p5Gaming", "-pxGaming", "-p1Gaming", "-p0Nothing", "-p0gaming"}), -1);
  EXPECT_EQ(Console(),
            "ERROR: Wrong command - GPU with id=5 not found\n"
            "ERROR: Wrong command: -pxGaming\"x\" cannot be used as [gpu_id]\n"
            "ERROR: Wrong command - GPU with id=1 is not supported\n"
            "ERROR: Wrong command - profile: \"Nothing\" not found\n"
            "ERROR: Wrong command - profile: \"gaming\" not found\n");
  EXPECT_TRUE(Work().empty());
}

TEST_F(CommandLineTest, TwoDigitIdsWithMoreThanTenGpus) {
  UseGpus(12);
  EXPECT_EQ(Run({"-consoleonly", "-p05Gaming", "-p5Gaming", "-p11Mining", "-p12Gaming"}), -1);
  EXPECT_EQ(Console(),
            "ERROR: Wrong command: -p5GamingFor systems with more than 10 GPUs two digits must be used as [gpu_id] "
            "(00,01,02 ... 09,10,11,12,13 ...)\n"
            "ERROR: Wrong command - GPU with id=12 not found\n");
  EXPECT_EQ(Work(), (Calls{"DetectRegulatorsOnce", "Apply 0 5 console", "DetectRegulatorsOnce", "Apply 1 11 console"}));
}

TEST_F(CommandLineTest, TenGpusStillUseOneDigit) {
  UseGpus(10);
  EXPECT_EQ(Run({"-consoleonly", "-p9Gaming"}), 0);
  EXPECT_EQ(Work().back(), "Apply 0 9 console");
}

TEST_F(CommandLineTest, NegativeTwoDigitIdIsCaughtByTheGuard) {
  UseGpus(12);
  EXPECT_EQ(Run({"-consoleonly", "-p-1Gaming"}), -1);
  EXPECT_EQ(Console(), "ERROR: Failed to parse command: -p-1Gaming\n");
}

TEST_F(CommandLineTest, StarTargetsEverySupportedGpuInOrder) {
  ops.supported = {true, false, true};
  EXPECT_EQ(Run({"-consoleonly", "-p*Gaming", "-r*", "-t*"}), 0);
  EXPECT_EQ(Work(), (Calls{"DetectRegulatorsOnce", "Apply 0 0 console", "Apply 0 2 console", "DetectRegulatorsOnce",
                           "Reset 0 console", "Reset 2 console", "Restart 0 console nowait",
                           "Restart 2 console nowait"}));
  EXPECT_TRUE(Console().empty());
}

TEST_F(CommandLineTest, StarWithTwoDigitIdsTakesTheNameAfterTheStar) {
  UseGpus(11);
  EXPECT_EQ(Run({"-consoleonly", "-c*Mining"}), 0);
  EXPECT_EQ(Work().size(), 12u);
}

TEST_F(CommandLineTest, ApplyFailureAndConfirmation) {
  EXPECT_EQ(Run({"-consoleonly", "-c0Gaming"}), 0);
  EXPECT_EQ(Console(), "INFO: Succesfully applied profile \"Gaming\" to GPU 0\n");

  fake.console.events.clear();
  UseGpus(1);
  EXPECT_EQ(Run({"-consoleonly", "-c0Gaming"}), 0);
  EXPECT_EQ(Console(), "INFO: Succesfully applied profile \"Gaming\"\n");

  fake.console.events.clear();
  ops.applyResult = false;
  EXPECT_EQ(Run({"-consoleonly", "-c0Gaming", "-p0Mining"}), -1);
  EXPECT_EQ(Console(),
            "ERROR: Failed to apply profile \"Gaming\" to GPU 0\nERROR: Failed to apply profile \"Mining\" to GPU 0\n");
}

TEST_F(CommandLineTest, ResetIgnoresTrailingTextAndNeverFails) {
  EXPECT_EQ(Run({"-consoleonly", "-r0junk"}), 0);
  EXPECT_EQ(Work(), (Calls{"DetectRegulatorsOnce", "Reset 0 console"}));
}

TEST_F(CommandLineTest, CompareModesAndFailure) {
  EXPECT_EQ(Run({"cp0Gaming", "cm1Gaming", "co2Mining"}), 0);
  EXPECT_EQ(Work(), (Calls{"DetectRegulatorsOnce", "Compare cp 0 0 box", "DetectRegulatorsOnce", "Compare cm 0 1 box",
                           "DetectRegulatorsOnce", "Compare co 1 2 box"}));
  ops.compareResult = CompareOutcome::ReadFailed;
  EXPECT_EQ(Run({"-consoleonly", "co2Mining"}), -1);
  EXPECT_EQ(Console(), "ERROR: Failed to compare values for GPU 2 with profile \"Mining\"\n");
  // A failed apply was reported by the compare itself: only the status changes.
  ops.compareResult = CompareOutcome::ApplyFailed;
  const std::string before = Console();
  EXPECT_EQ(Run({"-consoleonly", "cp2Mining"}), -1);
  EXPECT_EQ(Console(), before);
}

TEST_F(CommandLineTest, RestartWaitsUnlessAnotherRestartFollows) {
  Run({"-t0", "-t1"});
  EXPECT_EQ(Work(), (Calls{"Restart 0 box nowait", "Restart 1 box nowait"}));

  ops.calls.clear();
  Run({"-t0", "-getcurrent", "-t1"});
  EXPECT_EQ(Work(), (Calls{"Restart 0 box wait", "PrintCurrentValues", "Restart 1 box nowait"}));

  ops.calls.clear();
  Run({"-showgui", "-t2"});
  EXPECT_EQ(Work(), (Calls{"Restart 2 box wait", "ClearLists", "RunMainWindow"}));
}

TEST_F(CommandLineTest, ShowGuiEmptiesTheListsOpensTheWindowAndEndsWithZero) {
  EXPECT_EQ(Run({"-consoleonly", "xy", "-showgui"}), 0);
  EXPECT_EQ(Work(), (Calls{"ClearLists", "RunMainWindow"}));
}

TEST_F(CommandLineTest, PerGpuCommandCollectsParametersAndRunsAfterTheLastOne) {
  EXPECT_EQ(Run({"-consoleonly", "-ac0", "gpu_p2=1100;900", "power_target=20"}), 0);
  EXPECT_EQ(Work(), Calls{"GpuCommand [0] [gpu_p2=1100;900|power_target=20] [-ac0 gpu_p2=1100;900 power_target=20] "
                          "console"});
}

TEST_F(CommandLineTest, PendingCommandRunsBeforeTheNextTrigger) {
  Run({"-ac1", "fan_max=2500", "-getcurrent", "-ac*", "llc=1", "-wait10", "-ac0", "xyz", "-p0Gaming", "-ac2",
       "llc=0", "-showgui"});
  EXPECT_EQ(Work(), (Calls{"GpuCommand [1] [fan_max=2500] [-ac1 fan_max=2500] box", "PrintCurrentValues",
                           "GpuCommand [*] [llc=1] [-ac* llc=1] box", "Sleep 10",
                           "GpuCommand [0] [xyz] [-ac0 xyz] box", "DetectRegulatorsOnce", "Apply 0 0 box",
                           "GpuCommand [2] [llc=0] [-ac2 llc=0] box", "ClearLists",
                           "RunMainWindow"}));
}

TEST_F(CommandLineTest, ConsoleOnlyAndShortArgumentsDoNotTriggerButEndOfArgumentsDoes) {
  // Run at the end, the command keeps the console setting of its own place: boxes.
  ops.boxes = &messages;
  Run({"-ac0", "fan_min=100", "-consoleonly", "ab"});
  EXPECT_EQ(Work(), Calls{"GpuCommand [0] [fan_min=100] [-ac0 fan_min=100] box"});
  EXPECT_EQ(Console(), "ERROR: Wrong command: ab\n");
  EXPECT_EQ(BoxTexts().back(), "GpuCommand [0] [fan_min=100] [-ac0 fan_min=100] box");
  ops.boxes = nullptr;

  ops.calls.clear();
  Run({"-consoleonly", "-ac3"});
  EXPECT_EQ(Work(), Calls{"GpuCommand [3] [] [-ac3] console"});
}

TEST_F(CommandLineTest, PendingCommandTakesParametersThatLookLikeCommandsOnlyWhenTheyAreNotGpuCommands) {
  Run({"-consoleonly", "-ac0", "-getcurrentx", "-pxx"});
  EXPECT_EQ(Work(), (Calls{"GpuCommand [0] [-getcurrentx] [-ac0 -getcurrentx] console"}));
  EXPECT_EQ(Console(), "ERROR: Wrong command: -pxx\"x\" cannot be used as [gpu_id]\n");
}

TEST_F(CommandLineTest, ShortArgumentsAreWrongCommandsEvenWhileAPerGpuCommandIsPending) {
  EXPECT_EQ(Run({"-consoleonly", "-ac0", "", "ab", "llc=1"}), -1);
  EXPECT_EQ(Work(), Calls{"GpuCommand [0] [llc=1] [-ac0 llc=1] console"});
  EXPECT_EQ(Console(), "ERROR: Wrong command: \nERROR: Wrong command: ab\n");
}

TEST_F(CommandLineTest, RegulatorDetectionPrecedesEveryGpuCommandButRestart) {
  Run({"-t0", "-r0", "co0Gaming"});
  EXPECT_EQ(Work(), (Calls{"Restart 0 box wait", "DetectRegulatorsOnce", "Reset 0 box", "DetectRegulatorsOnce",
                           "Compare co 0 0 box"}));
}

TEST_F(CommandLineTest, ArgumentsOfAnyShapeNeverCrash) {
  const std::string huge(100000, 'p');
  EXPECT_EQ(Run({"-consoleonly", "-p", "-p0", "-p*", "cp", "-t", "-t9", "\xff\xfe", huge, "-ac", "-\x1e\x1e",
                 "-p0\xc3\xa9"}),
            -1);
  EXPECT_NE(Console().find("ERROR: Wrong command - profile: \"\" not found"), std::string::npos);
}

}  // namespace
}  // namespace tw
