// The settings dialog and the friendly-name dialog of the simulated-hardware exe under
// wine, driven by tests/win32/gui_driver.exe through the main window's system menu and the
// card selector's context menu. One start of the exe carries the whole scenario; its
// screenshots are kept as PNG files under build/gui-shots/.

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "e2e_rigs.h"
#include "harness.h"
#include "wine_session.h"

namespace tw::e2e {
namespace {

std::vector<std::string> Starting(const std::vector<std::string>& lines, const std::string& prefix) {
  std::vector<std::string> found;
  for (const std::string& line : lines)
    if (line.rfind(prefix, 0) == 0) found.push_back(line);
  return found;
}

std::string Utf16File(const fs::path& path) {
  const std::string bytes = ReadFileBytes(path);
  std::string text;  // the ASCII of a UTF-16 LE file is enough for its keys
  for (size_t i = 2; i + 1 < bytes.size(); i += 2)
    if (bytes[i + 1] == 0) text += bytes[i];
  return text;
}

// The blank columns between the last dark pixel of a check box's drawn text and the first
// of the label that continues it, in the 24-bit bottom-up shot of the whole window.
int InkGap(const std::string& bmp, const std::vector<std::string>& lines, const char* box, const char* label) {
  const auto at = [&](size_t i) { return static_cast<unsigned char>(i < bmp.size() ? bmp[i] : 0); };
  const int width = at(18) | at(19) << 8, height = at(22) | at(23) << 8, stride = (width * 3 + 3) & ~3;
  int client[2] = {0, 0}, b[4] = {0, 0, 0, 0}, l[4] = {0, 0, 0, 0};
  const auto read = [&](const std::string& prefix, int* to) {
    for (const std::string& line : Starting(lines, prefix))
      std::sscanf(line.substr(line.rfind("checked=") == std::string::npos ? 7 : line.rfind("checked=") + 10).c_str(),
                  "%d %d %d %d", &to[0], &to[1], &to[2], &to[3]);
  };
  read("CLIENT ", client);
  read(std::string("CONTROL ") + box + " ", b);
  read(std::string("CONTROL ") + label + " ", l);
  const int left = (width - client[0]) / 2, top = height - client[1] - left;  // the frame's borders
  const auto inked = [&](int x) {
    for (int y = l[1]; y < l[1] + l[3]; ++y)
      if (at(54 + static_cast<size_t>(height - 1 - y - top) * stride + static_cast<size_t>(x + left) * 3 + 1) < 110)
        return true;
    return false;
  };
  int end = l[0] - 1, start = l[0];
  while (end > b[0] && !inked(end)) --end;
  while (start < l[0] + l[2] && !inked(start)) ++start;
  return start - end - 1;
}

TEST(WindowsDialogsTest, SettingsThroughTheSystemMenuAndFriendlyNamesThroughTheContextMenu) {
  if (!GetProducts().HasWindows()) GTEST_FAIL() << "TW_E2E_WINDOWS_SIM_BIN and TW_E2E_WINE must be set";
  Rig rig(Target::Windows);
  rig.Scenario(kTwoPolarisCards);
  rig.Ini(ProfileIni({{"Gaming", kPolarisGaming}}, "ShowFriendlyName=1\nForeign=7"));
  fs::create_directories(rig.folder() / "ini_backup");
  std::ofstream(rig.folder() / "ini_backup" / "_ini_backup.ini") << "[General]\r\nOther=5\r\n";
  const std::vector<std::string> commands = {
      // "Settings" is the third entry from the end of the system menu.
      "wait", "sysmenu", "key:UP", "key:UP", "key:UP", "key:RETURN", "window:TForm2",
      // The texts after the check boxes toggle them as their captions do.
      // Escape closes it as "Close" does.
      "click:Label9", "click:Label6", "click:CheckBox3", "shot:settings.bmp", "dump", "key:ESCAPE", "window:TForm1",
      "items:ComboBox1", "rclick:ComboBox1", "menushot:context-menu.bmp", "key:DOWN", "key:RETURN", "window:TForm4",
      // Enter ends the in-place edit, keeping it; Enter again is "OK".
      "cells:ValueListEditor1", "clickat:ValueListEditor1:420:30", "type:Карта 2", "key:RETURN",
      "shot:friendly-names.bmp", "key:RETURN", "window:TForm1", "items:ComboBox1",
      // Spaces only remove the name.
      "rclick:ComboBox1", "key:DOWN", "key:RETURN", "window:TForm4", "clickat:ValueListEditor1:420:30", "type:  ",
      "click:Button1", "window:TForm1", "items:ComboBox1", "close"};
  const RunResult run = RunWindowScenario(rig.folder(), "dialogs", commands);
  const std::vector<std::string> lines = run.OutLines();
  ASSERT_EQ(run.exitStatus, 0) << run.out << run.err;

  EXPECT_EQ(Starting(lines, "WINDOW \"Settings\"").size(), 1u) << run.out;
  // A text that continues a check box's caption reads as its next word: a space apart.
  const std::string shot = ReadFileBytes(rig.folder() / "settings.bmp");
  for (const auto& [box, label] : {std::pair{"CheckBox8", "Label5"}, {"CheckBox10", "Label9"}, {"CheckBox9", "Label6"}}) {
    const int gap = InkGap(shot, lines, box, label);
    EXPECT_TRUE(gap >= 2 && gap <= 6) << box << " " << label << " " << gap;
  }
  for (const char* checked : {"CONTROL CheckBox10 ", "CONTROL CheckBox9 ", "CONTROL CheckBox3 "}) {
    const std::vector<std::string> found = Starting(lines, checked);
    ASSERT_EQ(found.size(), 1u) << checked;
    EXPECT_NE(found[0].find("checked=1"), std::string::npos) << found[0];
  }
  EXPECT_EQ(Starting(lines, "ROW ValueListEditor1 "),
            (std::vector<std::string>{
                "ROW ValueListEditor1 \"0: Radeon RX 580 Series | Bus:Device:Function: 1:0:0 | PNP string: "
                "PCI\\VEN_1002&DEV_67DF&SUBSYS_E3661DA2&REV_E7\\4&2A4AFE5B&0&000800 | Adapter index: 0 | Registry key: "
                "0000\" \"\"",
                "ROW ValueListEditor1 \"1: Radeon RX 580 Series | Bus:Device:Function: 2:0:0 | PNP string: "
                "PCI\\VEN_1002&DEV_67DF&SUBSYS_E3661DA2&REV_E7\\4&2A4AFE5B&0&000801 | Adapter index: 1 | Registry key: "
                "0001\" \"\""}))
      << run.out;
  EXPECT_EQ(Starting(lines, "ITEM ComboBox1 \"0"),
            (std::vector<std::string>{"ITEM ComboBox1 \"0: Radeon RX 580 Series  (Bus: 1:0:0)\"",
                                      "ITEM ComboBox1 \"0: Radeon RX 580 Series  (Карта 2)  (Bus: 1:0:0)\"",
                                      "ITEM ComboBox1 \"0: Radeon RX 580 Series  (Bus: 1:0:0)\""}));

  const std::string ini = Utf16File(rig.folder() / "Tunewright.ini");
  for (const char* line : {"Foreign=7\r\n", "ShowBusNumber=1\r\n", "ShowFriendlyName=1\r\n", "Name=Gaming\r\n"})
    EXPECT_NE(ini.find(line), std::string::npos) << line << ini;
  const std::string backup = Utf16File(rig.folder() / "ini_backup" / "_ini_backup.ini") +
                             ReadFileBytes(rig.folder() / "ini_backup" / "_ini_backup.ini");
  for (const char* line : {"Other=5", "CreateAutomatically=1", "RestoreAutomatically=1", "NumberOfBackups=10"})
    EXPECT_NE(backup.find(line), std::string::npos) << line << backup;
}

TEST(WindowsDialogsTest, ReorderAt144DpiShowsItsButtonsInsideItsWindow) {
  if (!GetProducts().HasWindows()) GTEST_FAIL() << "TW_E2E_WINDOWS_SIM_BIN and TW_E2E_WINE must be set";
  PrepareWineSession();
  const auto dpi = [](std::vector<std::string> args) {  // wine's LogPixels, for this test only
    args.insert(args.begin(), {GetProducts().wineScript.string(), "reg"});
    RunProcess(args, fs::current_path());
  };
  dpi({"add", "HKCU\\Control Panel\\Desktop", "/v", "LogPixels", "/t", "REG_DWORD", "/d", "144", "/f"});
  Rig rig(Target::Windows);
  rig.Ini(ProfileIni({{"Gaming", kPolarisGaming}, {"Quiet", kPolarisGaming}}, ""));
  const RunResult run = RunWindowScenario(
      rig.folder(), "reorder-144dpi",
      {// Settings at this scale, for the eye: continued captions and labels whole.
       "wait", "sysmenu", "key:UP", "key:UP", "key:UP", "key:RETURN", "window:TForm2", "shot:settings.bmp",
       "key:ESCAPE", "window:TForm1", "click:Button3", "dialog:Reorder profiles", "dump", "shot:reorder.bmp",
       "click:Cancel", "main", "close"});
  dpi({"delete", "HKCU\\Control Panel\\Desktop", "/v", "LogPixels", "/f"});
  const std::vector<std::string> client = Starting(run.OutLines(), "CLIENT ");
  const std::vector<std::string> cancel = Starting(run.OutLines(), "CONTROL Button4 ");
  ASSERT_TRUE(run.exitStatus == 0 && client.size() == 1 && cancel.size() == 1) << run.out << run.err;
  int width = 0, height = 0, x = 0, y = 0, w = 0, h = 0;
  std::sscanf(client[0].c_str(), "CLIENT %d %d", &width, &height);
  std::sscanf(cancel[0].substr(cancel[0].find("checked=") + 10).c_str(), "%d %d %d %d", &x, &y, &w, &h);
  EXPECT_TRUE(h >= 36 && x + w <= width && y + h <= height) << cancel[0] << " " << client[0];  // 25 x 1.5 high
}

}  // namespace
}  // namespace tw::e2e
