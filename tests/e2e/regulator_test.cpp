// Regulator control over I2C from the command line, against the simulator's I2C devices:
// detection (scan, verification, the [I2C] section) and the bytes each command writes.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "harness.h"

namespace tw::e2e {
namespace {

const char* const kI2cCall = "ADL2_Display_WriteAndReadI2C";
const char* const kEnable = "[General]\r\nEnableI2c=1\r\n\r\n";
// Default rig: Polaris (gpu 0) has its IR3567B (row 0) at line 3 address 0x08, Vega (gpu 1)
// its up9505 (row 1) at line 4 address 0x70.
const char* const kPolarisKey = "525056";     // (3 << 8) ^ (0x08 << 16) ^ (0 << 24)
const char* const kVegaKey = "24118272";      // (4 << 8) ^ (0x70 << 16) ^ (1 << 24)
const char* const kFoundSection = "[I2C]\r\n0=525056\r\n1=24118272\r\n2=0\r\n3=0\r\n\r\n";

std::vector<JournalEntry> ProbesOf(const RigRun& run, const std::string& adapter) {
  std::vector<JournalEntry> probes;
  for (const JournalEntry& call : run.Calls(kI2cCall))
    if (call.Arg("register") == "0xFF" && call.Arg("adapter") == adapter) probes.push_back(call);
  return probes;
}

// Every register write as "line/address register=data", in order.
std::vector<std::string> Writes(const RigRun& run) {
  std::vector<std::string> writes;
  for (const JournalEntry& call : run.Calls(kI2cCall))
    if (call.Arg("action") == "2")
      writes.push_back(call.Arg("line") + "/" + call.Arg("address") + " " + call.Arg("register") + "=" +
                       call.Arg("data"));
  return writes;
}

std::string IniWith(const std::string& extra) { return std::string(kEnable) + extra; }

TEST(HostRegulatorDetectionTest, AFirstRunScansFindsBothModelsAndStoresTheirLocations) {
  Rig rig;
  rig.Ini(kEnable);
  const RigRun run = rig.Run({"-ac0", "offset=0"});
  // Polaris (adapter 1): line 1 whole (the EEPROM at 0x50 does not identify), line 3 up to 0x08.
  EXPECT_EQ(ProbesOf(run, "1").size(), 127u + 9u);
  // Vega (adapter 0): lines 1 and 3 whole, line 4 up to 0x70.
  EXPECT_EQ(ProbesOf(run, "0").size(), 127u + 127u + 0x71u);
  // Navi (adapter 4) has no device: the whole search, lines 1, 3, 4, 5, 6 with 127 addresses each.
  EXPECT_EQ(ProbesOf(run, "4").size(), 635u);
  EXPECT_TRUE(ProbesOf(run, "3").empty()) << "the other vendor's card is not looked at";
  for (const JournalEntry& probe : run.Calls(kI2cCall)) {
    EXPECT_NE(probe.Arg("line"), "2") << probe.line;
    EXPECT_NE(probe.Arg("address"), "0x7F") << probe.line;
  }
  const std::string ini = rig.IniText();
  EXPECT_NE(ini.find(kFoundSection), std::string::npos) << ini;
}

TEST(HostRegulatorDetectionTest, ASecondRunVerifiesTheStoredLocationsWithoutScanning) {
  Rig rig;
  rig.Ini(kEnable);
  rig.Run({"-ac0", "offset=0"});
  const RigRun second = rig.Run({"-ac1", "offset=2"});
  for (const JournalEntry& call : second.Calls(kI2cCall)) EXPECT_NE(call.Arg("register"), "0xFF") << call.line;
  // Vega's up9505 was verified: the offset reaches it, enable register first.
  EXPECT_EQ(Writes(second), (std::vector<std::string>{"4/0x70 0x27=1F", "4/0x70 0x0C=02"}));
  EXPECT_NE(rig.IniText().find(kFoundSection), std::string::npos);
}

TEST(HostRegulatorDetectionTest, AStoredZeroIsNeverScanned) {
  Rig rig;
  rig.Ini(IniWith("[I2C]\r\n0=0\r\n1=" + std::string(kVegaKey) + "\r\n2=0\r\n3=0\r\n\r\n"));
  const RigRun run = rig.Run({"-ac0", "offset=3", "-ac1", "offset=3"});
  EXPECT_TRUE(ProbesOf(run, "1").empty());
  for (const JournalEntry& call : run.Calls(kI2cCall)) {
    EXPECT_NE(call.Arg("adapter"), "1") << call.line;
    EXPECT_NE(call.Arg("adapter"), "2") << call.line;
  }
  // The second command read the card after detection: its load-line goes back as it was read.
  EXPECT_EQ(Writes(run), (std::vector<std::string>{"4/0x70 0x27=1F", "4/0x70 0x0C=03", "4/0x70 0x28=8C"}));
}

TEST(HostRegulatorDetectionTest, AStoredLocationThatNoLongerIdentifiesLeavesTheCardWithoutRegulator) {
  Rig rig;
  // The IR3567B's first identification register answers something else now.
  rig.Scenario("[card polaris]\npreset = polaris\nbus = 1\ni2c = IR3567B 3 0x08\ni2c_registers.0 = 0x92:0x44\n");
  const std::string section = "[I2C]\r\n0=" + std::string(kPolarisKey) + "\r\n\r\n";
  rig.Ini(IniWith(section));
  const RigRun run = rig.Run({"-ac0", "offset=4"});
  EXPECT_TRUE(Writes(run).empty());
  for (const JournalEntry& call : run.Calls(kI2cCall)) EXPECT_NE(call.Arg("register"), "0xFF") << call.line;
  EXPECT_NE(rig.IniText().find(section), std::string::npos) << rig.IniText();
}

TEST(HostRegulatorDetectionTest, DevicesAtLineTwoOrAddress127AreNeverFound) {
  Rig rig;
  rig.Scenario("[card polaris]\npreset = polaris\nbus = 1\ni2c = IR3567B 2 0x08, up9505 1 0x7F\n");
  rig.Ini(kEnable);
  const RigRun run = rig.Run({"-ac0", "offset=4"});
  EXPECT_EQ(ProbesOf(run, "0").size(), 635u);
  EXPECT_TRUE(Writes(run).empty());
  EXPECT_NE(rig.IniText().find("[I2C]\r\n0=0\r\n\r\n"), std::string::npos) << rig.IniText();
}

// ---- Writes ---------------------------------------------------------------------------

const std::string kFoundIni = std::string(kEnable) + kFoundSection;

std::string OffsetProfile(int offset, int llc) {
  return "[Profile_0]\r\nName=Volt\r\nFan_Acoustic=0\r\nPower_Target=0\r\nOffset=" + std::to_string(offset) +
         "\r\nLLC=" + std::to_string(llc) + "\r\n\r\n";
}

TEST(HostRegulatorWriteTest, AProfileWritesOffsetAndLlcInEachModelsEncoding) {
  Rig rig;
  rig.Ini(kFoundIni + OffsetProfile(-1, 1));
  const RigRun run = rig.Run({"-p0Volt", "-p1Volt"});
  EXPECT_EQ(Writes(run), (std::vector<std::string>{
                             "3/0x08 0x8D=FF", "3/0x08 0x38=01",                    // IR3567B: two's complement
                             "4/0x70 0x27=1F", "4/0x70 0x0C=81", "4/0x70 0x28=8C",  // up9505: sign-magnitude
                         }));
}

TEST(HostRegulatorWriteTest, AResetWritesOffsetZeroAndLlcOffOnly) {
  Rig rig;
  rig.Ini(kFoundIni);
  const RigRun run = rig.Run({"-r0", "-r1"});
  EXPECT_EQ(Writes(run), (std::vector<std::string>{"3/0x08 0x8D=00", "3/0x08 0x38=81", "4/0x70 0x27=1F",
                                                   "4/0x70 0x0C=00", "4/0x70 0x28=04"}));
}

struct CommandCase {
  const char* parameters;
  std::vector<std::string> writes;
  std::vector<std::string> boxes;
};

class HostRegulatorCommandTest : public ::testing::TestWithParam<CommandCase> {};

TEST_P(HostRegulatorCommandTest, WritesExactlyTheseBytesAndShowsTheseBoxes) {
  Rig rig;
  rig.Ini(kFoundIni);
  const RigRun run = rig.Run({"-ac0", GetParam().parameters});
  EXPECT_EQ(Writes(run), GetParam().writes);
  EXPECT_EQ(run.boxes, GetParam().boxes);
}

INSTANTIATE_TEST_SUITE_P(
    Host, HostRegulatorCommandTest,
    ::testing::Values(
        CommandCase{"offset=49", {},
                    {"BOX error \"Tunewright\" For security reason I2C offset must be between -48 (-300mV) and 48 "
                     "(+300mV)"}},
        CommandCase{"offset=-48", {"3/0x08 0x8D=D0"}, {}},
        CommandCase{"phasegain=1A2B3C", {"3/0x08 0x1E=1A", "3/0x08 0x1F=2B", "3/0x08 0x20=3C"}, {}},
        CommandCase{"phasegain=1A2B3", {},
                    {"BOX error \"Tunewright\" Wrong data is entered in Phase gain, must be in 3 bytes length "
                     "hexadecimal format"}},
        CommandCase{"currentscale=7E", {"3/0x08 0x4D=7E"}, {}}));

TEST(HostRegulatorWriteTest, WithI2cDisabledACommandWritesNothing) {
  Rig rig;
  rig.Ini("[General]\r\nEnableI2c=0\r\n\r\n" + std::string(kFoundSection));
  const RigRun run = rig.Run({"-ac0", "offset=4"});
  EXPECT_TRUE(run.Calls(kI2cCall).empty());
}

TEST(HostRegulatorReadTest, AnLlcRegisterHoldingNeitherValueIsReportedOnEveryRead) {
  Rig rig;
  rig.Scenario("[card vega]\npreset = vega\nbus = 3\ni2c = up9505 4 0x70\ni2c_registers.0 = 0x28:0x05\n");
  rig.Ini(IniWith("[I2C]\r\n0=" + std::string(kVegaKey) + "\r\n\r\n" + OffsetProfile(0, 0)));
  // The comparison reads the card after detection; so does the per-GPU command after it.
  const RigRun run = rig.Run({"co0Volt", "-ac0", "offset=2", "-ac0", "offset=3"});
  const std::string box = "BOX error \"Tunewright\" I2C LLC has wrong value=0x05";
  EXPECT_EQ(std::count(run.boxes.begin(), run.boxes.end(), box), 3) << ::testing::PrintToString(run.boxes);
  EXPECT_EQ(Writes(run), (std::vector<std::string>{"4/0x70 0x27=1F", "4/0x70 0x0C=02", "4/0x70 0x27=1F",
                                                   "4/0x70 0x0C=03"}));
}

}  // namespace
}  // namespace tw::e2e
