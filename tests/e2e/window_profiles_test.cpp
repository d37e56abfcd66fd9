// The "Profiles" group of the simulated-hardware exe under wine, worked as a user works it:
// tests/win32/gui_driver.exe answers the input and question boxes, drives "Reorder profiles"
// with its buttons and a real mouse drag, and copies Tunewright.ini after every step, so
// that one start of the exe checks the file after each of them. Screenshots of the profile
// row and the boxes are kept as PNG files under build/gui-shots/.

#include <gtest/gtest.h>

#include <sstream>

#include "e2e_rigs.h"
#include "harness.h"
#include "wine_session.h"

namespace tw::e2e {
namespace {

std::string Crlf(const std::string& text) {
  std::string out;
  for (char c : text) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return out;
}

// The file's lines that are not the program's: a comment before the first section, a
// foreign section, and (in "Gaming") a comment and a key of the user's.
const std::string kHead =
    Crlf("; written by hand\n[General]\nMainWindowLeft=40\nMainWindowTop=30\n\n[Other]\nForeign=kept\n\n");
const std::string kGaming = "Name=Gaming\r\n" + Crlf(kPolarisGaming) + "; my own note\r\nCustom=1\r\n";
const std::string kQuiet = "Name=Quiet\r\n" + Crlf(kPolarisDefaults);  // the card as it starts
const std::string kFastBody = [] {
  std::string body = Crlf(kPolarisDefaults);
  body.replace(body.find("GPU_P7=1366"), 11, "GPU_P7=1400");
  return body;
}();
const std::string kFast = "Name=Fast \"one\"\r\n" + kFastBody;

std::string IniWith(const std::vector<std::string>& profiles) {
  std::string text = kHead;
  for (size_t i = 0; i < profiles.size(); ++i)
    text += "[Profile_" + std::to_string(i) + "]\r\n" + profiles[i] + "\r\n";
  return text;
}

// The file's text, which the program writes as UTF-16 LE; this test's is all ASCII.
std::string AsciiOf(const std::string& utf16) {
  std::string text;
  for (size_t i = utf16.compare(0, 2, "\xFF\xFE") == 0 ? 2 : 0; i + 1 < utf16.size(); i += 2)
    text += utf16[i + 1] == 0 ? utf16[i] : '?';
  return text;
}

// Each prefix starts a line of the output, in this order.
void ExpectInOrder(const std::vector<std::string>& lines, const std::vector<std::string>& prefixes) {
  size_t at = 0;
  for (const std::string& prefix : prefixes) {
    while (at < lines.size() && lines[at].rfind(prefix, 0) != 0) ++at;
    ASSERT_LT(at, lines.size()) << "missing, or out of order: " << prefix;
    ++at;
  }
}

// x, y, width, height at the end of a WINDOW or DIALOG line.
std::vector<int> Rectangle(const std::string& line) {
  std::istringstream in(line.substr(line.rfind('"') + 1));
  std::vector<int> r(4);
  for (int& v : r) in >> v;
  return r;
}

struct Step {
  std::string name;
  std::vector<std::string> commands;
  std::vector<std::string> profiles;  // Tunewright.ini afterwards
};

TEST(WindowsWindowProfilesTest, EveryCommandOfTheRowKeepsTheFileExact) {
  if (!GetProducts().HasWindows()) GTEST_FAIL() << "TW_E2E_WINDOWS_SIM_BIN and TW_E2E_WINE must be set";
  const std::string reorder = "dialog:Reorder profiles";
  const std::vector<Step> steps = {
      {"new",
       {"dump", "shot:row-start.bmp:GroupBox5", "click:Button6", "dialog:New", "key:ESCAPE", "main", "click:Button6",
        "dialog:New", "dump", "type:  My \"fast\" card ", "shot:input-box.bmp", "click:OK", "main"},
       {kGaming, kQuiet, "Name=My fast card\r\n" + Crlf(kPolarisDefaults)}},
      {"save",
       {"focus:GPU_Clock_7", "type:1400", "key:TAB", "click:Button9"},
       {kGaming, kQuiet, "Name=My fast card\r\n" + kFastBody}},
      {"apply", {"click:Button1", "dump"}, {kGaming, kQuiet, "Name=My fast card\r\n" + kFastBody}},
      {"rename",
       {"click:Button5", "dialog:Rename", "dump", "type:Fast \"one\"", "click:OK", "main"},
       {kGaming, kQuiet, kFast}},
      {"buttons",
       {"click:Button3", reorder, "dump", "rows:ListView1", "clickrow:ListView1:2", "click:UP",
        "pixel:ListView1:150:23", "rows:ListView1", "shot:reorder.bmp", "click:OK", "main"},
       {kGaming, kFast, kQuiet}},
      // "Cancel", Escape and the close box each leave the order as it was.
      {"dismissed",
       {"click:Button3", reorder, "clickrow:ListView1:0", "click:Down", "click:Cancel", "main",  //
        "click:Button3", reorder, "clickrow:ListView1:0", "click:Down", "key:ESCAPE", "main",    //
        "click:Button3", reorder, "clickrow:ListView1:0", "click:Down", "close", "main"},
       {kGaming, kFast, kQuiet}},
      // Gaming onto Quiet lands before it; Fast dropped below the rows goes last.
      {"drag",
       {"click:Button3", reorder, "dragrow:ListView1:0:2", "dragrow:ListView1:0:-1", "pixel:ListView1:150:37",
        "rows:ListView1", "shot:reorder-dragged.bmp", "click:OK", "main"},
       {kGaming, kQuiet, kFast}},
      {"delete",
       {"click:Button7", "dialog:Delete", "dump", "shot:delete-box.bmp", "click:&Yes", "main", "dump",
        "shot:row-end.bmp:GroupBox5"},
       {kGaming, kQuiet}},
  };

  Rig rig(Target::Windows);
  WriteFileBytes(rig.folder() / "Tunewright.ini", Utf16File(IniWith({kGaming, kQuiet})));
  std::vector<std::string> commands = {"wait"};
  for (const Step& step : steps) {
    commands.insert(commands.end(), step.commands.begin(), step.commands.end());
    commands.push_back("copy:Tunewright.ini:step-" + step.name + ".ini");
  }
  commands.push_back("close");
  const RunResult run = RunWindowScenario(rig.folder(), "profiles", commands);
  ASSERT_EQ(run.exitStatus, 0) << run.out << run.err;

  for (const Step& step : steps)
    EXPECT_EQ(AsciiOf(rig.File("step-" + step.name + ".ini")), IniWith(step.profiles)) << "after " << step.name;
  EXPECT_EQ(AsciiOf(rig.File("Tunewright.ini")), IniWith(steps.back().profiles)) << "after closing";

  const std::vector<std::string> lines = run.OutLines();
  ExpectInOrder(lines, {
      "CONTROL ComboBox2 ComboBox \"Quiet\"",  // the profile that matches the card, at start
      "DIALOG #32770 \"New\"", "DIALOG #32770 \"New\"", "CONTROL - Static \"New profile name:\"",
      "CONTROL - Edit \"\"", "CONTROL - Button \"OK\"", "CONTROL - Button \"Cancel\"",
      "CONTROL GPU_Clock_7 Edit \"1400\"",  // after "Apply", read back from the card
      "DIALOG #32770 \"Rename\"", "CONTROL - Static \"New name:\"", "CONTROL - Edit \"My fast card\"",
      "DIALOG TForm5 \"Reorder profiles\"", "CONTROL ListView1 SysListView32", "CONTROL Button1 Button \"UP\"",
      "CONTROL Button2 Button \"Down\"", "CONTROL Button3 Button \"OK\"", "CONTROL Button4 Button \"Cancel\"",
      // It opens on the profile selected in the window.
      "ROW ListView1 \"Gaming\" 0", "ROW ListView1 \"Quiet\" 0", "ROW ListView1 \"Fast \\\"one\\\"\" 1",
      "ROW ListView1 \"Gaming\" 0", "ROW ListView1 \"Fast \\\"one\\\"\" 1", "ROW ListView1 \"Quiet\" 0",
      "CLOSED",  // the close box
      "ROW ListView1 \"Gaming\" 0", "ROW ListView1 \"Quiet\" 0", "ROW ListView1 \"Fast \\\"one\\\"\" 1",
      "DIALOG #32770 \"Delete\"", "CONTROL - Button \"&Yes\"", "CONTROL - Button \"&No\"",
      "CONTROL - Static \"Are you sure to delete profile: Fast \\\"one\\\"?\"",
      "CONTROL ComboBox2 ComboBox \"Quiet\"",  // the profile before the deleted one
  });

  // The row that "UP" moved looks selected as a row the user just dropped, which has the focus.
  std::vector<std::string> pixels;
  for (const std::string& line : lines)
    if (line.rfind("PIXEL ", 0) == 0) pixels.push_back(line.substr(line.rfind(' ') + 1));
  ASSERT_EQ(pixels.size(), 2u);
  EXPECT_EQ(pixels[0], pixels[1]);
  EXPECT_NE(pixels[0], "FFFFFF");

  // The reorder dialog opens centred on the main window.
  const std::vector<int> window = Rectangle(lines.at(0));
  for (const std::string& line : lines) {
    if (line.rfind("DIALOG TForm5", 0) != 0) continue;
    const std::vector<int> dialog = Rectangle(line);
    EXPECT_NEAR(dialog[0] + dialog[2] / 2, window[0] + window[2] / 2, 1) << line;
    EXPECT_NEAR(dialog[1] + dialog[3] / 2, window[1] + window[3] / 2, 1) << line;
  }

  // "Apply" sent the window's values, the edited top GPU state among them, once.
  const std::vector<JournalEntry> journal = rig.Journal();
  std::vector<std::string> clocks;
  for (const JournalEntry& e : journal)
    if (e.name == "ADL2_OverdriveN_SystemClocksX2_Set") clocks.push_back(e.Arg("L7") + " " + e.Arg("L0"));
  EXPECT_EQ(clocks, std::vector<std::string>{"140000/1150/1 30000/750/1"});
}

}  // namespace
}  // namespace tw::e2e
