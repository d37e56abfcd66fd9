// The main window's I2C group, power menu and fan test menu in the simulated-hardware exe
// under wine, driven by tests/win32/gui_driver.exe with real clicks, keys and right-clicks.
// One start of the exe does every step. Screenshots go to build/gui-shots/ as PNG files.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "harness.h"
#include "wine_session.h"

namespace tw::e2e {
namespace {

// Default rig: Polaris (gpu 0) has an IR3567B at line 3 address 0x08, Vega (gpu 1) an
// up9505 at line 4 address 0x70. Nothing stored: the window shows, then searches every line.
const char* const kIni = "[General]\r\nEnableI2c=1\r\nDisplayFanMenu=1\r\nDisplayPowerMenu=1\r\n\r\n";

// The "CONTROL name class "text" visible=..." line of `name` in the dump that starts at
// `from`, or "" when it has none.
std::string ControlLine(const std::vector<std::string>& lines, size_t from, const std::string& name) {
  for (size_t i = from + 1; i < lines.size() && lines[i].rfind("CONTROL ", 0) == 0; ++i)
    if (lines[i].rfind("CONTROL " + name + " ", 0) == 0) return lines[i];
  return {};
}

bool LineShows(const std::string& line, const std::string& text) {
  return line.find("\"" + text + "\" visible=1") != std::string::npos;
}

TEST(WindowsRegulatorWindowTest, I2cGroupAndTheGroupMenusUnderWine) {
  if (!GetProducts().HasWindows()) GTEST_FAIL() << "TW_E2E_WINDOWS_SIM_BIN and TW_E2E_WINE must be set";
  Rig rig(Target::Windows);
  rig.Ini(kIni);
  const std::vector<std::string> commands = {
      // The search runs while the window is idle; the group names the regulator when it ends.
      "wait", "until:GroupBox6=I2C: IR3567B", "dump", "shot:i2c-polaris.bmp",
      // An offset typed and applied: the controller gets the byte, the field the card's value.
      "focus:I2C_Offset", "type:4", "key:TAB", "click:Button1", "dump",
      // A five-digit phase gain is refused on its own: offset -47 still goes out.
      "focus:I2C_Offset", "type:-47", "focus:Edit1", "type:1A2B3", "click:Button1", "box", "dump",
      "rclick:GroupBox3:170:12", "menushot:fan-menu.bmp", "key:ESCAPE",
      // The Vega card's up9505: offset and load-line only. The refused phase gain is an
      // edit the card never took: the switch asks first, and No drops it.
      "focus:ComboBox1", "key:ESCAPE", "key:ESCAPE", "key:DOWN", "box:no", "dump", "shot:i2c-vega.bmp",
      // Its power menu by a right-click on the "Power" group; Chill (the second entry) on.
      "rclick:GroupBox4:104:22", "menushot:power-menu.bmp", "key:DOWN", "key:DOWN", "key:RETURN",
      "rclick:GroupBox4:104:22", "menushot:power-menu-on.bmp", "key:ESCAPE", "close"};
  const RunResult run = RunWindowScenario(rig.folder(), "regulators", commands);
  ASSERT_EQ(run.exitStatus, 0) << run.out << run.err;

  const std::vector<std::string> lines = run.OutLines();
  std::vector<size_t> dumps;
  for (size_t i = 0; i < lines.size(); ++i)
    if (lines[i] == "DUMP") dumps.push_back(i);
  ASSERT_EQ(dumps.size(), 4u) << run.out;
  // Polaris: every field of the IR3567B, read from the controller.
  EXPECT_TRUE(LineShows(ControlLine(lines, dumps[0], "GroupBox6"), "I2C: IR3567B")) << run.out;
  for (const char* field : {"I2C_Offset", "I2C_LLC", "Edit1", "Edit2"})
    EXPECT_NE(ControlLine(lines, dumps[0], field).find("visible=1"), std::string::npos) << field;
  EXPECT_NE(ControlLine(lines, dumps[0], "I2C_NotAvailable").find("visible=0"), std::string::npos);
  EXPECT_TRUE(LineShows(ControlLine(lines, dumps[1], "I2C_Offset"), "4")) << run.out;
  EXPECT_TRUE(LineShows(ControlLine(lines, dumps[1], "I2C_Voltage"), "+25mV")) << run.out;
  EXPECT_TRUE(LineShows(ControlLine(lines, dumps[2], "I2C_Offset"), "-47")) << run.out;
  // Its longest voltage text ends before "LLC:" begins.
  const std::string voltage = ControlLine(lines, dumps[2], "I2C_Voltage");
  const std::string llc = ControlLine(lines, dumps[2], "I2C_LLCCaption");
  int x = 0, w = 0, llcX = 0;
  std::sscanf(voltage.substr(voltage.find("checked=") + 10).c_str(), "%d %*d %d", &x, &w);
  std::sscanf(llc.substr(llc.find("checked=") + 10).c_str(), "%d", &llcX);
  EXPECT_TRUE(LineShows(voltage, "-293.75mV") && x + w < llcX) << voltage << "\n" << llc;
  EXPECT_TRUE(LineShows(ControlLine(lines, dumps[2], "Edit1"), "1A2B3")) << run.out;
  // Vega: the up9505 has neither phase gain nor current scale.
  EXPECT_TRUE(LineShows(ControlLine(lines, dumps[3], "GroupBox6"), "I2C: up9505")) << run.out;
  EXPECT_NE(ControlLine(lines, dumps[3], "Edit1").find("visible=0"), std::string::npos);
  EXPECT_NE(ControlLine(lines, dumps[3], "I2C_LLC").find("visible=1"), std::string::npos);

  std::string stored = rig.File("Tunewright.ini");  // the search stored what it found
  std::erase(stored, '\0');
  EXPECT_NE(stored.find("[I2C]\r\n0=525056\r\n1=24118272\r\n"), std::string::npos) << stored;

  std::vector<std::string> writes;
  for (const JournalEntry& call : rig.Journal())
    if (call.name == "ADL2_Display_WriteAndReadI2C" && call.Arg("action") == "2")
      writes.push_back(call.Arg("line") + "/" + call.Arg("address") + " " + call.Arg("register") + "=" +
                       call.Arg("data"));
  // Apply wrote the window's four values to the Polaris controller: offset, LLC, phase
  // gain, current scale, as read at the start.
  ASSERT_FALSE(writes.empty());
  EXPECT_EQ(writes.front(), "3/0x08 0x8D=04");
  // The second apply: offset -47, load-line and current scale, no phase gain byte.
  std::string second;
  for (auto w = std::find(writes.begin(), writes.end(), "3/0x08 0x8D=D1"); w != writes.end(); ++w)
    second += w->substr(0, w->find('=')) + ";";
  EXPECT_EQ(second, "3/0x08 0x8D;3/0x08 0x38;3/0x08 0x4D;") << testing::PrintToString(writes);
  EXPECT_NE(run.out.find("BOX \"Tunewright\" \"Wrong data is entered in Phase gain"), std::string::npos) << run.out;
  std::vector<std::string> switched;
  for (const JournalEntry& call : rig.Journal())
    if (call.name == "ADL2_PPW_Status_Set" || call.name == "ADL2_Chill_Settings_Set")
      switched.push_back(call.name + " " + call.Arg("adapter") + " " + call.Arg("state"));
  EXPECT_EQ(switched, std::vector<std::string>{"ADL2_Chill_Settings_Set 0 1"});
  for (const char* shot : {"i2c-polaris", "power-menu", "power-menu-on", "fan-menu", "i2c-vega"})
    EXPECT_TRUE(fs::exists(GuiShotFolder() / ("regulators-" + std::string(shot) + ".png"))) << shot;
}

}  // namespace
}  // namespace tw::e2e
