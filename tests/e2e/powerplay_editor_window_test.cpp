// The PowerPlay editor of the simulated-hardware exe under wine: a table placed in wine's
// registry for the default rig's Polaris card, edited, saved, the card restarted, saved to a
// .reg file and loaded again, and the registry editor (wine's own) opened at the key.
// tests/win32/gui_driver.exe acts as the user; screenshots go to build/gui-shots/.

#include <gtest/gtest.h>

#include <algorithm>

#include "harness.h"
#include "wine_session.h"

namespace tw::e2e {
namespace {

// A Polaris table (366 bytes, eight GPU and three memory states).
const std::string kPolarisHex =
    "6e01077a9f4d000e33587da2c7ec11365b80a5caef143990d00300e86e03003200d0f51a3f4d00aed3f81d61008a0004"
    "0120456a8fb4d9fe23486d92b7dc01264b7095badf04294e7398bde2070951769bc0e50a2f54799ec3e80d32577ca1c6"
    "eb0103007fa4c9ee133830750000f116046085aacff419a0860100d2f70741668bb0d5fa400d0300b3d80108006c9130"
    "7500004a6f94b9de03284d0197bc60ea0000759abfe4092e537802c2e7905f0100a0c5ea0f34597ea303ed12c0d40100"
    "cbf0153a5f84a9ce04183dd0fb0100f61b40658aafd4f9054368e022020021466b90b5daff24066e93f04902004c7196"
    "bbe0052a4f0799be400d0300779cc1e60b30557a0108200333587da2c7ec52035b80a5caef14840383a8cdf2173cb603"
    "abd0f51a3f64e803d3f81d42678c1a04fb20456a8fb44c0423486d92b7dc7e044b7095badf04294e7398bde2072c5176"
    "9bc0e50a2f54799ec3e80d32577ca1c6eb10355a7fa4c9ee13385d82a7cc";

const std::string kKey = "SYSTEM\\CurrentControlSet\\Control\\Class\\{4d36e968-e325-11ce-bfc1-08002be10318}\\0000";
const std::string kRegeditKey = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Regedit";
// The default rig's Polaris card alone, without administrator rights.
const std::string kPlainUserRig =
    "[machine]\nadmin = 0\n[card polaris]\npreset = polaris\nregistry_key = \\Registry\\Machine\\System\\"
    "CurrentControlSet\\Control\\Class\\{4d36e968-e325-11ce-bfc1-08002be10318}\\0000\n";

RunResult Wine(std::vector<std::string> args) {
  args.insert(args.begin(), GetProducts().wineScript.string());
  return RunProcess(args, fs::current_path());
}

// Starts Tunewright.exe in the rig's folder with the driver beside it; the driver's lines.
std::vector<std::string> RunEditor(Rig& rig, const std::string& shots, std::vector<std::string> commands) {
  // Wine rebuilds the display class keys as its desktop starts: the table goes in once the
  // main window shows.
  std::vector<std::string> argv = {"wait",
                                   "setbinary:" + kKey + ":PP_PhmSoftPowerPlayTable:" + kPolarisHex,
                                   "sysmenu", "key:UP", "key:UP", "key:RETURN", "window:TForm3"};
  argv.insert(argv.end(), commands.begin(), commands.end());
  for (const char* last : {"close", "window:TForm1", "close"}) argv.push_back(last);
  argv.push_back("getbinary:" + kKey + ":PP_PhmSoftPowerPlayTable");
  const RunResult run = RunWindowScenario(rig.folder(), shots, argv);
  EXPECT_EQ(run.exitStatus, 0) << run.out << run.err;
  return run.OutLines();
}

// The dump line of a control, e.g. CONTROL Label9 Static "Polaris table found" visible=1 ...
std::string Seen(const std::vector<std::string>& lines, const std::string& name, int dump) {
  for (const std::string& line : lines) {
    if (line == "DUMP") --dump;
    if (dump == -1 && line.rfind("CONTROL " + name + " ", 0) == 0) return line;
  }
  return "";
}

bool Has(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

class WindowsPowerPlayEditorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!GetProducts().HasWindows()) GTEST_FAIL() << "TW_E2E_WINDOWS_SIM_BIN and TW_E2E_WINE must be set";
  }
};

TEST_F(WindowsPowerPlayEditorTest, EditSaveRestartAndTheRegFileRoundTrip) {
  Rig rig(Target::Windows);
  std::string folder = "Z:" + rig.folder().string();
  std::replace(folder.begin(), folder.end(), '/', '\\');
  // Bytes back from the registry: the table with the one clock changed (x 100, 32 bits).
  std::string expected = kPolarisHex;
  const auto byteAt = [&](size_t i) { return std::stoul(kPolarisHex.substr(2 * i, 2), nullptr, 16); };
  const size_t clock = byteAt(45) + byteAt(46) * 256 + 2 + 15 + 3;  // GPU table, record 1
  char written[9];
  std::snprintf(written, sizeof written, "%02x%02x%02x%02x", 123400 & 0xFF, (123400 >> 8) & 0xFF, 123400 >> 16, 0);
  expected.replace(2 * clock, 8, written);
  // The same table with four bytes after it, in a plain-text .reg file.
  std::string longReg = "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\" + kKey +
                        "]\r\n\"PP_PhmSoftPowerPlayTable\"=hex:";
  for (size_t i = 0; i < expected.size(); i += 2) longReg += expected.substr(i, 2) + ",";
  WriteFileBytes(rig.folder() / "long.reg", longReg + "de,ad,be,ef\r\n\r\n");
  const std::vector<std::string> lines = RunEditor(
      rig, "powerplay", {"dump", "shot:shown.bmp", "focus:GPU_Clock_1", "type:1234", "key:TAB", "click:Button3",
                         "box:yes", "click:Button6", "file:" + folder + "\\edited.reg", "click:RadioButton2",
                         "dump", "shot:empty.bmp", "click:Button1", "file:" + folder + "\\edited.reg", "dump",
                         // The edited table with four bytes after it: saved without them.
                         "click:Button1", "file:" + folder + "\\long.reg", "box", "click:Button3", "box:no"});
  EXPECT_NE(Seen(lines, "Label9", 0).find("\"Polaris table found\" visible=1"), std::string::npos);
  EXPECT_NE(Seen(lines, "Label1", 0).find("\"0: Radeon RX 580 Series\""), std::string::npos);
  EXPECT_NE(Seen(lines, "GroupBox3", 1).find(" visible=0"), std::string::npos);  // the empty state
  EXPECT_NE(Seen(lines, "GPU_Clock_1", 2).find("\"1234\" visible=1"), std::string::npos);
  EXPECT_NE(Seen(lines, "Label2", 2).find("\"Polaris table found\""), std::string::npos);
  EXPECT_NE(Seen(lines, "Edit2", 2).find("edited.reg\""), std::string::npos);
  EXPECT_TRUE(Has(lines, "BOX \"\" \"Restart this GPU now?\"")) << testing::PrintToString(lines);
  EXPECT_TRUE(Has(lines, "BOX \"Tunewright\" \"The .reg file holds 4 bytes after the PowerPlayTable (its size is 366 "
                         "bytes); they were left out\"")) << testing::PrintToString(lines);

  // The last save, from long.reg, wrote exactly the table's own 366 bytes.
  EXPECT_TRUE(Has(lines, "BINARY PP_PhmSoftPowerPlayTable " + expected));
  EXPECT_EQ(rig.File("edited.reg").substr(0, 2), "\xFF\xFE");
  bool restarted = false;
  for (const JournalEntry& entry : rig.Journal())
    restarted = restarted || entry.name.find("Restart") != std::string::npos;
  EXPECT_TRUE(restarted);
}

TEST_F(WindowsPowerPlayEditorTest, WithoutRightsTheArrowLeavesTheKeyForWinesRegedit) {
  PrepareWineSession();
  Wine({"reg", "add", kRegeditKey, "/f"});
  Wine({"reg", "delete", kRegeditKey, "/v", "LastKey", "/f"});
  Rig rig(Target::Windows);
  rig.Scenario(kPlainUserRig);
  const std::vector<std::string> lines =
      RunEditor(rig, "powerplay-user", {"dump", "click:Button3", "box", "click:Button8", "regedit:regedit.bmp"});
  EXPECT_NE(Seen(lines, "Label9", 0).find("\"Polaris table found\""), std::string::npos);
  EXPECT_TRUE(Has(lines, "BOX \"Tunewright\" \"Administrator rights are required to save to registry\""));
  const std::string keyText =
      "\"HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Class\\{4d36e968-e325-11ce-bfc1-08002be10318}\\0000\"";
  EXPECT_TRUE(Has(lines, "LASTKEY " + keyText)) << testing::PrintToString(lines);
  // The editor opened there: it keeps the key it showed last, in its own spelling.
  const auto lower = [](std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
  };
  const auto shown =
      std::find_if(lines.begin(), lines.end(), [](const std::string& l) { return l.rfind("SHOWNKEY ", 0) == 0; });
  ASSERT_NE(shown, lines.end());
  EXPECT_EQ(lower(*shown), lower("SHOWNKEY " + keyText));
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](const std::string& l) { return l.rfind("REGEDIT ", 0) == 0; }),
            1);
}

}  // namespace
}  // namespace tw::e2e
