// What the window must never do, tried on the simulated-hardware exe under wine as a user
// would try it: a box open over the window lets no click through, a typing slip reaches no
// card, Ctrl+Apply sends no value the user could not see, and a stored position from another
// desktop still opens the window on screen. One start of the exe per group; the journal of
// the simulated driver says what reached which card.

#include <gtest/gtest.h>

#include <sstream>

#include "e2e_rigs.h"
#include "harness.h"
#include "wine_session.h"

namespace tw::e2e {
namespace {

// The file's text, which the program writes as UTF-16 LE; these tests' is all ASCII.
std::string AsciiOf(const std::string& utf16) {
  std::string text;
  for (size_t i = utf16.compare(0, 2, "\xFF\xFE") == 0 ? 2 : 0; i + 1 < utf16.size(); i += 2)
    text += utf16[i + 1] == 0 ? utf16[i] : '?';
  return text;
}

std::vector<std::string> ProfileNames(const std::string& ini) {
  std::vector<std::string> names;
  std::istringstream in(ini);
  for (std::string line; std::getline(in, line);)
    if (line.rfind("Name=", 0) == 0) names.push_back(line.substr(5, line.find('\r') - 5));
  return names;
}

const std::string* LineStarting(const std::vector<std::string>& lines, const std::string& prefix) {
  for (const std::string& line : lines)
    if (line.rfind(prefix, 0) == 0) return &line;
  return nullptr;
}

TEST(WindowsWindowGuardsTest, AnOwnedBoxTakesTheSecondClickAndASlipIsNeverSent) {
  if (!GetProducts().HasWindows()) GTEST_FAIL() << "TW_E2E_WINDOWS_SIM_BIN and TW_E2E_WINE must be set";
  Rig rig(Target::Windows);
  rig.Scenario(kOnePolarisCard);
  // Left by a second monitor that is gone (the suite's screen is 1280 x 1024).
  rig.Ini(ProfileIni({{"A", kPolarisDefaults}, {"B", kPolarisDefaults}, {"C", kPolarisDefaults}},
                     "MainWindowLeft=3000\nMainWindowTop=2000"));
  const RunResult run = RunWindowScenario(
      rig.folder(), "guards",
      {"wait", "dblclick:Button7:10:10", "dialog:Delete", "click:&Yes", "main", "sleep:300",
       "copy:Tunewright.ini:after-delete.ini", "focus:GPU_Clock_7", "type:21OO", "key:TAB", "click:Button1", "box",
       "dump",
       // The slip is an unapplied edit: closing asks, and No discards it.
       "click:Button2", "box:no"});
  ASSERT_EQ(run.exitStatus, 0) << run.out << run.err;
  const std::vector<std::string> lines = run.OutLines();

  std::istringstream window(lines.at(0).substr(lines.at(0).rfind('"') + 1));
  int x = 0, y = 0, width = 0, height = 0;
  window >> x >> y >> width >> height;
  EXPECT_TRUE(x >= 0 && y >= 0 && x + width <= 1280 && y + height <= 1024) << lines.at(0);

  EXPECT_EQ(ProfileNames(AsciiOf(rig.File("after-delete.ini"))), (std::vector<std::string>{"B", "C"}))
      << "one double-click, one question, one profile";

  const std::string* box = LineStarting(lines, "BOX ");
  ASSERT_NE(box, nullptr) << run.out;
  EXPECT_NE(box->find("GPU P7 clock (MHz)"), std::string::npos) << *box;
  EXPECT_NE(box->find("21OO"), std::string::npos) << *box;
  EXPECT_NE(LineStarting(lines, "CONTROL GPU_Clock_7 Edit \"21OO\""), nullptr) << "the slip stays for the user";
  for (const JournalEntry& e : rig.Journal()) EXPECT_FALSE(e.name.ends_with("_Set")) << e.line;
}

TEST(WindowsWindowGuardsTest, ABoxHoldsTheSelectorAndCtrlApplySendsEachCardItsOwnHiddenRows) {
  if (!GetProducts().HasWindows()) GTEST_FAIL() << "TW_E2E_WINDOWS_SIM_BIN and TW_E2E_WINE must be set";
  Rig rig(Target::Windows);
  rig.Scenario(
      "[machine]\nkernel_drivers = atikmdag.sys\n\n"
      "[card small]\npreset = polaris\nbus = 1\ngpu_levels = 300/750,600/769\nmem_levels = 300/750,1000/800\n\n"
      "[card big]\npreset = polaris\nbus = 2\n\n"
      "[faults]\nADL2_OverdriveN_PowerLimit_Set = -1\n");
  const RunResult run = RunWindowScenario(
      rig.folder(), "guards-cards",
      {"wait",
       // An error box of the first card's Apply is open: the selector is out of reach.
       "click:Button1", "click:ComboBox1", "key:DOWN", "box", "key:ESCAPE", "dump",
       // Ctrl+Apply from the card that shows two rows of each: both cards refuse the power
       // target, in one box.
       "move:Button1:20:10", "ctrl:down", "clickat:Button1:20:10", "ctrl:up", "box",
       // The refused power target is kept as an unapplied edit: closing asks, No discards it.
       "click:Button2", "box:no"});
  ASSERT_EQ(run.exitStatus, 0) << run.out << run.err;
  const std::vector<std::string> lines = run.OutLines();
  EXPECT_NE(LineStarting(lines, "BOX \"Tunewright\" \"Card 0: Failed to set Power values (ErrorCode: -1)\\r\\n\\r\\n"
                                "Card 1: "),
            nullptr)
      << run.out;
  const std::string* selector = LineStarting(lines, "CONTROL ComboBox1 ComboBox ");
  ASSERT_NE(selector, nullptr);
  EXPECT_EQ(selector->find("CONTROL ComboBox1 ComboBox \"0: "), 0u) << *selector;

  std::vector<JournalEntry> gpuSets, memSets;
  for (const JournalEntry& e : rig.Journal()) {
    if (e.name == "ADL2_OverdriveN_SystemClocksX2_Set") gpuSets.push_back(e);
    if (e.name == "ADL2_OverdriveN_MemoryClocksX2_Set") memSets.push_back(e);
  }
  ASSERT_EQ(gpuSets.size(), 3u) << run.out;  // the first Apply, then both cards
  ASSERT_EQ(memSets.size(), 3u);
  EXPECT_EQ(gpuSets[0].Arg("adapter"), gpuSets[1].Arg("adapter")) << "the first Apply reached the first card only";
  const JournalEntry& big = gpuSets[2];
  EXPECT_NE(big.Arg("adapter"), gpuSets[0].Arg("adapter"));
  EXPECT_EQ(big.Arg("L1"), "60000/769/1");  // the window's
  EXPECT_EQ(big.Arg("L2"), "90000/887/1");  // the card's own, never shown
  EXPECT_EQ(big.Arg("L7"), "136600/1150/1");
  EXPECT_EQ(memSets[2].Arg("L2"), "200000/950/1");
}

}  // namespace
}  // namespace tw::e2e
