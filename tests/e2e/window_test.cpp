// The main window of the simulated-hardware exe under wine, as a user sees it: the exe runs
// without arguments on the suite's own display, and tests/win32/gui_driver.exe reads its
// controls, clicks, types, holds Ctrl and samples the painted pixels. Each run is one
// scenario with many checks, since a start under wine takes seconds. Screenshots of every
// run are kept as PNG files under build/gui-shots/.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <sstream>

#include "e2e_rigs.h"
#include "harness.h"
#include "wine_session.h"

namespace tw::e2e {
namespace {

// A control as the driver's dump line shows it.
struct Seen {
  std::string kind;
  std::string text;
  bool visible = false;
  bool enabled = false;
  bool checked = false;
  int x = 0, y = 0, width = 0, height = 0;
};

// What one driver run printed, sorted by kind of line; `dumps[i]` is the i-th dump.
struct WindowRun {
  RunResult run;
  std::vector<std::string> lines;
  std::vector<std::map<std::string, Seen>> dumps;
  std::vector<std::string> Starting(const std::string& prefix) const {
    std::vector<std::string> found;
    for (const std::string& line : lines)
      if (line.rfind(prefix, 0) == 0) found.push_back(line);
    return found;
  }
};

std::string QuotedText(std::istringstream& in) {
  in >> std::ws;
  std::string text;
  char c = 0;
  in.get(c);  // the opening quote
  while (in.get(c) && c != '"') {
    if (c == '\\' && in.get(c)) text += c == 'r' ? '\r' : c == 'n' ? '\n' : c;
    else text += c;
  }
  return text;
}

int Flag(std::istringstream& in) {
  std::string word;
  in >> word;
  return word.back() == '1';
}

class WindowsWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!GetProducts().HasWindows()) GTEST_FAIL() << "TW_E2E_WINDOWS_SIM_BIN and TW_E2E_WINE must be set";
  }

  // Starts Tunewright.exe without arguments in the rig's folder and runs the driver beside
  // it; the commands end by closing the window. `shots` names the run's screenshots.
  WindowRun RunWindow(Rig& rig, const std::string& shots, std::vector<std::string> commands) {
    WindowRun result;
    result.run = RunWindowScenario(rig.folder(), shots, commands);
    result.lines = result.run.OutLines();
    for (const std::string& line : result.lines) {
      if (line.rfind("DUMP", 0) == 0) result.dumps.emplace_back();
      if (line.rfind("CONTROL ", 0) != 0) continue;
      if (result.dumps.empty()) result.dumps.emplace_back();
      std::istringstream in(line.substr(8));
      std::string name;
      Seen seen;
      in >> name >> seen.kind;
      seen.text = QuotedText(in);
      seen.visible = Flag(in);
      seen.enabled = Flag(in);
      seen.checked = Flag(in);
      in >> seen.x >> seen.y >> seen.width >> seen.height;
      result.dumps.back()[name] = seen;
    }
    return result;
  }
};

// The GPU rows a dump shows, e.g. {0, 1, ..., 7}.
std::vector<int> ShownRows(const std::map<std::string, Seen>& dump, const std::string& prefix) {
  std::vector<int> rows;
  for (int k = 0; k < 8; ++k) {
    const auto found = dump.find(prefix + std::to_string(k));
    if (found != dump.end() && found->second.visible) rows.push_back(k);
  }
  return rows;
}

bool Shown(const std::map<std::string, Seen>& dump, const std::string& name) {
  const auto found = dump.find(name);
  return found != dump.end() && found->second.visible;
}

TEST_F(WindowsWindowTest, TheDefaultRigAsAUserSeesIt) {
  Rig rig(Target::Windows);
  rig.Ini(ProfileIni({{"Gaming", kPolarisGaming}}));  // the position is stored only in an existing file
  const WindowRun window = RunWindow(
      rig, "default-rig",
      {"wait", "items:ComboBox1", "dump", "shot:polaris.bmp", "move:GPU_Clock_6:6:6", "tip",
       // An edit: the changed colour on screen, then the card's own value back.
       "focus:GPU_Clock_7", "type:1400", "key:TAB", "pixel:GPU_Clock_7:6:6", "pixel:GPU_Clock_6:6:6", "shot:edited.bmp",
       "focus:GPU_Clock_7", "type:1366", "key:TAB", "pixel:GPU_Clock_7:6:6",
       // Typed text that is no number stays as typed once the field is left (Apply refuses it).
       "focus:Mem_Vcc_0", "type:x-", "key:TAB", "dump",
       // The card's own value again: no unapplied edit is left to ask about at the card switch.
       "focus:Mem_Vcc_0", "type:750", "key:TAB",
       // The fan switch: a double-click on the "Fan" group with Ctrl held turns the card's
       // fan control off; one without Ctrl changes nothing.
       "move:GroupBox3:150:3", "ctrl:down", "dblclick:GroupBox3:150:3", "ctrl:up", "pixel:Fan_Temp_0:6:6",
       "shot:fan-off.bmp", "dump", "move:Fan_Temp_0:6:6", "tip", "dblclick:GroupBox3:150:3", "pixel:Fan_Temp_0:6:6",
       // Escape closes nothing; Down on the card selector selects the next card.
       "focus:ComboBox1", "key:ESCAPE", "key:ESCAPE", "key:DOWN", "key:DOWN", "dump", "shot:navi.bmp", "key:DOWN",
       "dump", "shot:unsupported.bmp",
       // "About..." is the system menu's last entry.
       "sysmenu", "menushot:system-menu.bmp", "key:UP", "key:RETURN", "box", "wmclose"});
  ASSERT_EQ(window.run.exitStatus, 0) << window.run.out << window.run.err;
  ASSERT_EQ(window.dumps.size(), 5u) << window.run.out;

  const std::vector<std::string> caption = window.Starting("WINDOW ");
  ASSERT_EQ(caption.size(), 1u);
  EXPECT_EQ(caption[0].rfind("WINDOW \"Tunewright 0.1.0\" ", 0), 0u) << caption[0];
  EXPECT_EQ(window.Starting("ITEM ComboBox1 "),
            (std::vector<std::string>{"ITEM ComboBox1 \"0: Radeon RX 580 Series\"", "ITEM ComboBox1 \"1: Radeon RX Vega\"",
                                      "ITEM ComboBox1 \"2: Radeon RX 5700 XT\"",
                                      "ITEM ComboBox1 \"3: NVIDIA GeForce GTX 1050 Ti\""}));

  // The Polaris card: eight GPU and three memory P-states, no Overdrive8 limits.
  const auto& polaris = window.dumps[0];
  EXPECT_EQ(ShownRows(polaris, "GPU_Clock_"), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
  EXPECT_EQ(ShownRows(polaris, "Mem_Clock_"), (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(polaris.at("GPU_Clock_7").text, "1366");
  EXPECT_EQ(polaris.at("GPU_Vcc_7").text, "1150");
  EXPECT_FALSE(Shown(polaris, "GPU_Min"));
  EXPECT_FALSE(Shown(polaris, "InfoLabel"));
  EXPECT_TRUE(Shown(polaris, "Button1") && Shown(polaris, "Button4"));
  // The design layout at 96 dots per inch, in the window's client area.
  EXPECT_EQ(polaris.at("ComboBox1").x, 8);
  EXPECT_EQ(polaris.at("ComboBox1").y, 16);
  EXPECT_EQ(polaris.at("Button2").x, 480);
  EXPECT_EQ(polaris.at("GPU_Clock_0").x, 8 + 29);
  EXPECT_EQ(polaris.at("GPU_Clock_0").y, 43 + 35);

  // The changed colour 0xD5FFFF is pale yellow on screen; wine's window colour is white and
  // its inactive-caption colour grey.
  EXPECT_EQ(window.Starting("PIXEL "),
            (std::vector<std::string>{"PIXEL GPU_Clock_7 6 6 FFFFD5", "PIXEL GPU_Clock_6 6 6 FFFFFF",
                                      "PIXEL GPU_Clock_7 6 6 FFFFFF", "PIXEL Fan_Temp_0 6 6 808080",
                                      "PIXEL Fan_Temp_0 6 6 808080"}));
  // With the card's fan control off the "Fan" caption is greyed as disabled text is: the box
  // itself is disabled, not the power group beside it.
  EXPECT_TRUE(polaris.at("GroupBox3").enabled);
  EXPECT_FALSE(window.dumps[2].at("GroupBox3").enabled || window.dumps[2].at("Fan_Temp_0").enabled);
  EXPECT_TRUE(window.dumps[2].at("GroupBox4").enabled && window.dumps[2].at("Power_Target").enabled);
  // Tips name the field's range and the card's limits and default, also on a switched-off field.
  EXPECT_EQ(window.Starting("TIP "),
            (std::vector<std::string>{"TIP \"Allowed 0..9999 MHz, card 300..2000, default 1300\"",
                                      "TIP \"Allowed -1..9999 \xC2\xB0" "C, card 25..100, default 35\""}));
  EXPECT_EQ(window.dumps[1].at("Mem_Vcc_0").text, "x-");  // no number: left for the user to mend
  EXPECT_EQ(window.dumps[1].at("GPU_Clock_7").text, "1366");

  // The Navi card: three curve points with the Overdrive8 limits.
  const auto& navi = window.dumps[3];
  EXPECT_EQ(navi.at("ComboBox1").text, "2: Radeon RX 5700 XT");
  EXPECT_EQ(ShownRows(navi, "GPU_Clock_"), (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(ShownRows(navi, "Mem_Clock_"), std::vector<int>{});
  EXPECT_TRUE(Shown(navi, "GPU_Min") && Shown(navi, "GPU_Max") && Shown(navi, "Mem_Max"));
  EXPECT_EQ(navi.at("GPU_Clock_2").text, "2100");

  // The other vendor's card: the message instead of the editor.
  const auto& other = window.dumps[4];
  EXPECT_TRUE(Shown(other, "InfoLabel"));
  EXPECT_EQ(other.at("InfoLabel").text, "This GPU is not supported");
  EXPECT_EQ(other.at("InfoLabel").x, 214);
  EXPECT_FALSE(Shown(other, "GroupBox1") || Shown(other, "Button1") || Shown(other, "Button4"));

  EXPECT_EQ(window.Starting("BOX "),
            std::vector<std::string>{"BOX \"About\" \"Tunewright v0.1.0\\r\\nTunewright contributors\""});

  // Closing stored where the window was; the fan switch is remembered.
  const std::string ini = rig.IniText();
  std::istringstream where(caption[0].substr(caption[0].rfind('"') + 1));
  int left = 0, top = 0;
  where >> left >> top;
  EXPECT_NE(ini.find("MainWindowLeft=" + std::to_string(left) + "\r\n"), std::string::npos) << ini;
  EXPECT_NE(ini.find("MainWindowTop=" + std::to_string(top) + "\r\n"), std::string::npos) << ini;
  EXPECT_NE(ini.find("FanDeactivatedGpus=0\r\n"), std::string::npos) << ini;
  EXPECT_EQ(window.Starting("EXIT "), std::vector<std::string>{"EXIT 0"});
}

TEST_F(WindowsWindowTest, WithoutTheDriverTheWindowSaysSoWhereItWasLeft) {
  Rig rig(Target::Windows);
  rig.Scenario("[machine]\nkernel_drivers = ntoskrnl.exe\n");
  rig.Ini("[General]\nMainWindowLeft=40\nMainWindowTop=30\n");
  const WindowRun window = RunWindow(rig, "no-driver", {"wait", "dump", "shot:no-driver.bmp", "close"});
  ASSERT_EQ(window.run.exitStatus, 0) << window.run.out << window.run.err;
  ASSERT_EQ(window.dumps.size(), 1u) << window.run.out;
  const std::vector<std::string> caption = window.Starting("WINDOW ");
  ASSERT_EQ(caption.size(), 1u);
  EXPECT_EQ(caption[0].substr(caption[0].rfind('"') + 1, 7), " 40 30 ") << caption[0];
  const auto& dump = window.dumps[0];
  EXPECT_EQ(dump.at("InfoLabel").text, "Driver is detected as not installed/loaded");
  EXPECT_TRUE(Shown(dump, "InfoLabel"));
  EXPECT_EQ(dump.at("InfoLabel").x, 175);
  EXPECT_FALSE(Shown(dump, "GroupBox1") || Shown(dump, "GroupBox5") || Shown(dump, "Button1"));
  EXPECT_TRUE(Shown(dump, "ComboBox1") && Shown(dump, "Button10") && Shown(dump, "Button2"));
}

}  // namespace
}  // namespace tw::e2e
