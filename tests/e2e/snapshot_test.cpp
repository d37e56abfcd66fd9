// "-snapshot=<file>" end to end: a snapshot loaded back as the scenario gives the same
// "-getcurrent" output, the same driver calls and the same snapshot; taking it reads only.

#include <gtest/gtest.h>

#include <cctype>

#include "e2e_rigs.h"
#include "harness.h"

namespace tw::e2e {
namespace {

const char* const kEnableI2c = "[General]\nEnableI2c=1\n";

// The driver calls as the driver saw them, without time and process. The machine's kernel
// driver list is not part of a snapshot.
std::vector<std::string> Calls(const RigRun& run) {
  std::vector<std::string> calls;
  for (const JournalEntry& entry : run.journal) {
    if (entry.name.rfind("ADL2_", 0) != 0) continue;
    std::string call = entry.name;
    for (const auto& [key, value] : entry.args)
      if (key != "us" && key != "pid") call += " " + key + "=" + value;
    calls.push_back(call);
  }
  return calls;
}

// Everything but the line with the date and time.
std::string Undated(std::string text) {
  const size_t at = text.find("; taken ");
  if (at != std::string::npos) text.erase(at, text.find('\n', at) - at);
  return text;
}

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

void ExpectOnlyReads(const RigRun& run) {
  ASSERT_FALSE(run.journal.empty());
  for (const JournalEntry& entry : run.journal) {
    EXPECT_FALSE(EndsWith(entry.name, "_Set") || EndsWith(entry.name, "_Reset")) << entry.line;
    for (const char* change : {"Restart", "SetFriendlyName", "RemoveFriendlyName"})
      EXPECT_EQ(entry.name.find(change), std::string::npos) << entry.line;
    EXPECT_NE(entry.Arg("action"), "2") << "an I2C write: " << entry.line;
  }
}

// Snapshot of a rig (the default one when `scenario` is empty), after `changes` ran on it;
// then the snapshot as the scenario of a second rig. Gives the snapshot.
std::string ExpectRoundTrip(Target target, const std::string& scenario, const std::string& ini,
                     const std::vector<std::string>& changes = {}) {
  Rig original(target);
  if (!scenario.empty()) original.Scenario(scenario);
  if (!ini.empty()) original.Ini(ini);
  if (!changes.empty()) {
    EXPECT_EQ(original.Run(changes).exitStatus, 0);
  }
  const RigRun current = original.Run({"-consoleonly", "-getcurrent"});
  const std::string iniBefore = original.File("Tunewright.ini");
  const RigRun taken = original.Run({"-consoleonly", "-snapshot=snap.ini"});
  EXPECT_EQ(taken.exitStatus, 0) << taken.run.out << taken.run.err;
  ExpectOnlyReads(taken);
  EXPECT_EQ(original.File("Tunewright.ini"), iniBefore);
  const std::string snapshot = original.File("snap.ini");

  Rig replay(target);
  replay.Scenario(snapshot);
  if (!ini.empty()) replay.Ini(ini);
  const RigRun again = replay.Run({"-consoleonly", "-getcurrent"});
  EXPECT_EQ(again.run.out, current.run.out);
  EXPECT_EQ(Calls(again), Calls(current));
  EXPECT_EQ(replay.Run({"-consoleonly", "-snapshot=snap.ini"}).exitStatus, 0);
  EXPECT_EQ(Undated(replay.File("snap.ini")), Undated(snapshot));
  return snapshot;
}

TEST(SnapshotTest, TheDefaultRigWithChangedValuesComesBackTheSame) {
  const std::string snapshot =
      ExpectRoundTrip(Target::Host, "", "",
                      {"-consoleonly", "-ac0", "gpu_p7=1400;1150", "fan_p0=40;25", "power_target=10", "-ac2",
                       "gpu_max=2000", "fan_p1=60;35"});
  EXPECT_NE(snapshot.find("\n; Driver library: atiadlxx.dll, no file version reported.\n"), std::string::npos);
}

TEST(SnapshotTest, TheTwelveCardRigComesBackTheSame) { ExpectRoundTrip(Target::Host, kTwelvePolarisCards, ""); }

TEST(SnapshotTest, RegulatorsComeBackWithTheRegistersTheProgramReads) {
  ExpectRoundTrip(Target::Host, "", kEnableI2c);
  Rig rig;
  rig.Ini(kEnableI2c);
  ASSERT_EQ(rig.Run({"-consoleonly", "-snapshot=snap.ini"}).exitStatus, 0);
  const std::string snapshot = rig.File("snap.ini");
  EXPECT_NE(snapshot.find("i2c = IR3567B 3 0x08\ni2c_registers.0 = 0x1E:0x11 0x1F:0x22 0x20:0x33 0x38:0x01 0x4D:0x9C "
                          "0x8D:0x00 0x92:0x43 0xFF:0x00\n"),
            std::string::npos)
      << snapshot;
  EXPECT_EQ(snapshot.find("0x50"), std::string::npos) << "only regulators are kept, not the EEPROM";
}

TEST(SnapshotTest, ACardThatCannotBeReadBecomesACommentAndTheRunFails) {
  Rig rig;
  rig.Environment("ADLSIM_FAULTS", "ADL2_OverdriveN_FanControl_Get=-1 from 2");
  const RigRun run = rig.Run({"-consoleonly", "-snapshot=snap.ini"});
  EXPECT_EQ(run.exitStatus, 255);
  EXPECT_NE(run.run.out.find("ERROR: Could not read card 1 (Radeon RX 580 Series) for the snapshot: "
                             "ADL2_OverdriveN_FanControl_Get function failed (ErrorCode: -1)"),
            std::string::npos)
      << run.run.out;
  const std::string snapshot = rig.File("snap.ini");
  EXPECT_NE(snapshot.find("; [card 1] could not be read: ADL2_OverdriveN_FanControl_Get failed (-1). What was read:\n"
                          "; preset = none\n; name = Radeon RX 580 Series\n"),
            std::string::npos)
      << snapshot;
  Rig replay;
  replay.Scenario(snapshot);
  EXPECT_EQ(replay.Run({"-consoleonly", "-getcurrent"}).outLines.size(), 2u) << "Vega and Navi";
}

// Each read of the snapshot failing once, after the start-up's own calls: reported by name,
// the run fails, and the file holds the rest unless nothing at all could be read.
TEST(SnapshotTest, EveryFailingReadIsReportedAndFailsTheRun) {
  struct Case {
    const char* entry;
    int fromCall;  // the snapshot's first call of it
    bool written;
  } const cases[] = {
      {"ADL2_Main_Control_Create", 2, false},           {"ADL2_Adapter_AdapterInfo_Get", 2, false},
      {"ADL2_OverdriveN_SystemClocksX2_Get", 3, true},  {"ADL2_OverdriveN_MemoryClocksX2_Get", 3, true},
      {"ADL2_OverdriveN_FanControl_Get", 1, true},      {"ADL2_OverdriveN_SettingsExt_Get", 3, true},
      {"ADL2_OverdriveN_PowerLimit_Get", 1, true},      {"ADL2_Overdrive8_Init_SettingX2_Get", 2, true},
      {"ADL2_Overdrive8_Current_SettingX2_Get", 2, true},
  };
  for (const Case& c : cases) {
    Rig rig;
    rig.Environment("ADLSIM_FAULTS", std::string(c.entry) + "=-1 from " + std::to_string(c.fromCall));
    const RigRun run = rig.Run({"-consoleonly", "-snapshot=snap.ini"});
    EXPECT_EQ(run.exitStatus, 255) << c.entry;
    EXPECT_NE(run.run.out.find(c.written ? std::string(c.entry) + " function failed (ErrorCode: -1)" : "(ErrorCode: -1)"),
              std::string::npos)
        << c.entry << "\n" << run.run.out;
    EXPECT_EQ(rig.Exists("snap.ini"), c.written) << c.entry;
  }
}

TEST(SnapshotTest, BadFileNamesAreRefusedClearlyAndLeaveNothingBehind) {
  Rig rig;
  fs::create_directory(rig.folder() / "sub");
  WriteFileBytes(rig.folder() / "old.ini", "kept");
  fs::permissions(rig.folder() / "old.ini", fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  struct Case {
    std::string argument;
    std::string error;
  } const cases[] = {
      {"-snapshot=sub", "ERROR: Failed to save the snapshot: \"" + (rig.folder() / "sub").string() + "\" is a folder"},
      {"-snapshot=no/such/folder.ini", "ERROR: Failed to save \"" + (rig.folder() / "no/such/folder.ini").string() + "\""},
      {"-snapshot=old.ini", "ERROR: Failed to save \"" + (rig.folder() / "old.ini").string() + "\""},
      {"-snapshot=", "ERROR: Wrong command: -snapshot=A file name must follow \"-snapshot=\""},
  };
  for (const Case& c : cases) {
    const RigRun run = rig.Run({"-consoleonly", c.argument});
    EXPECT_EQ(run.exitStatus, 255) << c.argument;
    ASSERT_FALSE(run.outLines.empty()) << c.argument;
    EXPECT_EQ(run.outLines[0].substr(0, c.error.size()), c.error) << c.argument;
  }
  EXPECT_EQ(rig.File("old.ini"), "kept");
  for (const auto& entry : fs::directory_iterator(rig.folder()))
    EXPECT_NE(entry.path().extension(), ".tmp") << entry.path();

  // A name in another script is taken as it is, from the current folder.
  const RigRun run = rig.Run({"-consoleonly", "-snapshot=снимок.ini"});
  EXPECT_EQ(run.exitStatus, 0);
  EXPECT_TRUE(rig.Exists("снимок.ini"));
}

// Under wine the header names the simulator's version resource, as Windows reports it.
TEST(WindowsSnapshotTest, TheExeRoundTripsTheDefaultRig) {
  if (!GetProducts().HasWindows()) GTEST_FAIL() << "TW_E2E_WINDOWS_SIM_BIN and TW_E2E_WINE must be set";
  const std::string snapshot = ExpectRoundTrip(Target::Windows, "", "");
  const std::string version = "\n; Driver library: atiadlxx.dll, file version ";
  const size_t at = snapshot.find(version);
  ASSERT_NE(at, std::string::npos) << snapshot;
  EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(snapshot[at + version.size()]))) << snapshot;
}

}  // namespace
}  // namespace tw::e2e
