// The main window's profile commands on the headless backend, against the fake driver and
// the in-memory ini file: what reaches which card, what the file holds afterwards and
// which profile stays selected.

#include <gmock/gmock.h>

#include <memory>
#include <set>

#include "base/text.h"
#include "gpu/driver_fixture.h"
#include "ini/ini_encoding.h"
#include "ui/app_main_form_operations.h"
#include "ui/app_profile_command_operations.h"
#include "ui/headless/headless_backend.h"
#include "ui/profile_commands.h"
#include "ui/reorder_form.h"

namespace tw::ui {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

class ProfileCommandsTest : public test::DriverFixture {
 protected:
  std::unique_ptr<HeadlessBackend> backend;
  AppMainFormOperations ops{app};
  AppProfileCommandOperations profileOps{app};
  std::unique_ptr<WindowProfileCommands> commands;
  std::unique_ptr<MainForm> window;
  std::unique_ptr<FormView> view;

  HeadlessUser Open() {
    view.reset();  // a view goes before its form
    window.reset();
    backend = std::make_unique<HeadlessBackend>(fake.dialogs);
    commands = std::make_unique<WindowProfileCommands>(profileOps, *backend);
    window = std::make_unique<MainForm>(ops, *backend, commands.get());
    commands->Attach(*window);
    view = backend->CreateView(window->form());
    window->Create();
    adl.ForgetCalls();
    return HeadlessUser(window->form());
  }
  void AddCard(int index, int version) {
    adl.AddAdapter(index, index + 1, 0, 0, "Radeon " + std::to_string(index));
    if (version == 7) adl.AddOverdriveNCard(index);
    if (version == 8) adl.AddOverdrive8Card(index);
  }
  std::string IniKey() const { return test::InMemoryFileSystem::Key(app.paths.iniPath); }
  // Profiles named by letters, each with one GPU and one memory state, after a foreign section.
  void PutProfiles(std::string_view names) {
    std::string text = "[Mine]\nkeep=me\n\n";
    for (size_t i = 0; i < names.size(); ++i)
      text += "[Profile_" + std::to_string(i) + "]\nName=" + std::string(1, names[i]) + "\nGPU_P0=300;750\n\n";
    fake.files.files[IniKey()] = EncodeIniText(ReplaceAll(text, "\n", "\r\n"));
  }
  std::string IniText() { return DecodeIniBytes(fake.files.files[IniKey()], fake.ansi).text; }
  std::vector<std::string> FileNames() {
    std::vector<std::string> names;
    const std::string text = IniText();
    for (size_t at = text.find("Name="); at != std::string::npos; at = text.find("Name=", at + 1))
      names.push_back(text.substr(at + 5, text.find('\r', at) - at - 5));
    return names;
  }
  int Selected(HeadlessUser& user) { return user.Get("ComboBox2").selected; }
};

TEST_F(ProfileCommandsTest, ApplyWithCtrlReachesOnlyCardsOfTheSelectedGeneration) {
  for (bool ctrl : {false, true}) {
    adl.adapters.clear();
    app.gpus.clear();
    AddCard(0, 7);
    AddCard(1, 7);
    AddCard(2, 8);
    HeadlessUser user = Open();
    user.Type("GPU_Clock_7", "1345");
    backend->HoldCtrl(ctrl);
    user.Click("Button1");
    std::vector<int> adapters;
    for (const auto& set : adl.clockSets)
      if (!set.memory) adapters.push_back(set.adapter);
    EXPECT_EQ(adapters, (ctrl ? std::vector<int>{0, 1} : std::vector<int>{0}));
    EXPECT_EQ(adl.Calls("ADL2_Overdrive8_Setting_Set"), 0);
    EXPECT_EQ(adl.clockSets.front().levels[7].iClock, 134500);
    EXPECT_THAT(user.Text("StatusLabel"), HasSubstr(ctrl ? "Applied to 2 of 2 cards (" : "Applied to card 0 ("));
    // The window re-read the card: the sent value is now the card's, no longer coloured.
    EXPECT_EQ(user.Background("GPU_Clock_7"), kWindowColour);
    adl.ForgetCalls();
    user.Click("Button4");
    EXPECT_EQ(adl.Calls("ADL2_Overdrive8_Setting_Set"), ctrl ? 1 : 0) << "reset with Ctrl reaches every card";
  }
}

TEST_F(ProfileCommandsTest, ATypingSlipStopsApplyBeforeAnySetAndANumberOutOfRangeShowsClamped) {
  struct Case {
    const char* field;
    const char* typed;
    const char* named;       // in the box; empty: the text is a number and is sent
    const char* afterLeave;  // what the field shows once left
  } const cases[] = {
      {"GPU_Clock_7", "21OO", "GPU P7 clock (MHz)", "21OO"}, {"Power_Target", "5%", "Power target (%)", "5%"},
      {"Fan_Perc_4", "9O", "Fan point 4 speed (%)", "9O"},   {"Mem_Vcc_2", "abc1", "Memory P2 voltage (mV)", "abc1"},
      {"GPU_Vcc_0", "", "GPU P0 voltage (mV)", ""},          {"Fan_Acoustic", "\xC3\xA9", "Acoustic limit (MHz)", "\xC3\xA9"},
      {"Fan_Temp_0", "-7", "", "-1"},
  };
  AddCard(0, 7);
  for (const Case& c : cases) {
    HeadlessUser user = Open();
    fake.dialogs.boxes.clear();
    user.Type("GPU_Clock_6", "1310");
    user.Type(c.field, c.typed);
    EXPECT_EQ(user.Text(c.field), c.afterLeave) << c.typed;
    user.Click("Button1");
    if (*c.named == '\0') {
      EXPECT_FALSE(adl.clockSets.empty()) << "a whole number is sent, clamped";
      for (const auto& box : fake.dialogs.boxes) EXPECT_THAT(box.text, Not(HasSubstr("Nothing was applied")));
      continue;
    }
    EXPECT_TRUE(adl.clockSets.empty() && adl.fanSets.empty() && adl.powerSets.empty() && adl.extSets.empty())
        << c.typed;
    ASSERT_EQ(fake.dialogs.boxes.size(), 1u) << c.typed;
    EXPECT_THAT(fake.dialogs.boxes[0].text, HasSubstr(std::string("\"") + c.named + "\""));
    EXPECT_THAT(fake.dialogs.boxes[0].text, HasSubstr(".."));
    EXPECT_EQ(user.Background(c.field), kRefusedColour);
    EXPECT_EQ(dynamic_cast<HeadlessView&>(*view).focused, window->form().Find(c.field));
    EXPECT_EQ(user.Value("GPU_Clock_6"), 1310) << "the other edits stay";
  }
}

TEST_F(ProfileCommandsTest, AFailedReadTurnsApplyOffUntilARefreshReadsTheCard) {
  AddCard(0, 7);
  AddCard(1, 7);
  HeadlessUser user = Open();
  user.Type("Mem_Clock_2", "1900");
  adl.Fail("ADL2_OverdriveN_SystemClocksX2_Get", -1, 1, 1);
  user.Select("ComboBox1", 1);
  EXPECT_FALSE(user.Enabled("Button1"));
  EXPECT_THAT(fake.dialogs.boxes.back().text, HasSubstr("\"Apply\" stays off"));
  EXPECT_EQ(window->EditorCard(), -1);
  user.Click("Button10");
  EXPECT_TRUE(user.Enabled("Button1"));
  EXPECT_EQ(window->EditorCard(), 1);
  EXPECT_TRUE(adl.clockSets.empty());
}

TEST_F(ProfileCommandsTest, CtrlApplyGivesHiddenRowsEachCardsOwnValues) {
  AddCard(0, 7);
  AddCard(1, 7);
  for (auto* levels : {&adl.cards[0].gpuLevels, &adl.cards[0].memLevels}) levels->resize(2);
  adl.cards[1].gpuLevels[5].iClock = 125500;
  adl.cards[1].memLevels[2].iClock = 190000;
  HeadlessUser user = Open();
  user.Type("GPU_Clock_1", "650");
  backend->HoldCtrl(true);
  user.Click("Button1");
  std::vector<adl::ADLODNPerformanceLevelX2> gpu1, mem1;
  for (const auto& set : adl.clockSets)
    if (set.adapter == 1) (set.memory ? mem1 : gpu1) = set.levels;
  ASSERT_EQ(gpu1.size(), 8u);
  ASSERT_GE(mem1.size(), 3u);
  EXPECT_EQ(gpu1[1].iClock, 65000);
  EXPECT_EQ(gpu1[5].iClock, 125500);
  EXPECT_EQ(mem1[2].iClock, 190000);
}

TEST_F(ProfileCommandsTest, ClosingDuringCtrlApplyStopsBeforeTheNextCardAndSaysWhichWereDone) {
  AddCard(0, 7);
  AddCard(1, 7);
  AddCard(2, 7);
  HeadlessUser user = Open();
  adl.cards[0].afterSet = [this](test::FakeAdlCard&) { window->form().UserClosed(); };
  backend->HoldCtrl(true);
  user.Click("Button1");
  std::set<int> reached;
  for (const auto& set : adl.clockSets) reached.insert(set.adapter);
  EXPECT_EQ(reached, std::set<int>{0});
  EXPECT_THAT(fake.dialogs.boxes.back().text, HasSubstr("done on card(s) 0; card(s) 1, 2 left"));
  EXPECT_TRUE(dynamic_cast<HeadlessView&>(*view).closed);
}

TEST_F(ProfileCommandsTest, APartlyRefusedApplyShowsWhatTheCardTookAndKeepsTheRefusedEdits) {
  AddCard(0, 7);
  HeadlessUser user = Open();
  adl.Fail("ADL2_OverdriveN_PowerLimit_Set", -1);
  user.Type("GPU_Clock_7", "1345");
  user.Type("Power_Target", "5");
  user.Click("Button1");
  EXPECT_EQ(user.Value("GPU_Clock_7"), 1345);
  EXPECT_EQ(user.Background("GPU_Clock_7"), kWindowColour) << "taken, and read back";
  EXPECT_EQ(user.Text("Power_Target"), "5");
  EXPECT_EQ(user.Background("Power_Target"), kRefusedColour);
  EXPECT_THAT(user.Text("StatusLabel"), HasSubstr("Applied to card 0; card 0 refused power ("));
}

TEST_F(ProfileCommandsTest, SeveralCardsFailuresComeInOneBoxEachUnderItsCard) {
  AddCard(0, 7);
  AddCard(1, 7);
  HeadlessUser user = Open();
  adl.Fail("ADL2_OverdriveN_PowerLimit_Set", -1);
  user.Type("Power_Target", "5");
  fake.dialogs.boxes.clear();
  backend->HoldCtrl(true);
  user.Click("Button1");
  ASSERT_EQ(fake.dialogs.boxes.size(), 1u);
  EXPECT_THAT(fake.dialogs.boxes[0].text, HasSubstr("Card 0: "));
  EXPECT_THAT(fake.dialogs.boxes[0].text, HasSubstr("\r\n\r\nCard 1: "));
  EXPECT_EQ(fake.dialogs.boxes[0].icon, BoxIcon::Error);
}

TEST_F(ProfileCommandsTest, UnappliedEditsLeaveOnlyByTheUsersAnswer) {
  struct Case {
    Choice answer;
    int selectedAfter;
    std::vector<int> appliedTo;
  } const cases[] = {{Choice::Cancel, 0, {}}, {Choice::No, 1, {}}, {Choice::Yes, 1, {0}}};
  AddCard(0, 7);
  AddCard(1, 7);
  for (const Case& c : cases) {
    HeadlessUser user = Open();
    user.Type("GPU_Clock_7", "1345");
    fake.dialogs.boxes.clear();
    fake.dialogs.choices = {c.answer};
    user.Select("ComboBox1", 1);
    ASSERT_EQ(fake.dialogs.boxes.size(), 1u) << "asked once";
    EXPECT_THAT(fake.dialogs.boxes[0].text, HasSubstr("not applied to 0: Radeon 0"));
    EXPECT_EQ(user.Get("ComboBox1").selected, c.selectedAfter);
    std::vector<int> applied;
    for (const auto& set : adl.clockSets)
      if (!set.memory) applied.push_back(set.adapter);
    EXPECT_EQ(applied, c.appliedTo);
    EXPECT_EQ(user.Text("GPU_Clock_7"), c.answer == Choice::Cancel ? "1345" : std::to_string(adl.cards[1].gpuLevels[7].iClock / 100));
  }
  // Closing asks too; Cancel keeps the window open.
  HeadlessUser user = Open();
  user.Type("Power_Target", "3");
  fake.dialogs.choices = {Choice::Cancel};
  EXPECT_FALSE(window->form().UserClosed());
  user.Click("Button10");  // Refresh: asked, answered No, the card's value back
  EXPECT_EQ(user.Text("Power_Target"), "0");
}

TEST_F(ProfileCommandsTest, ApplyOnOverdrive8SendsTheWindowsValuesInOneSet) {
  AddCard(0, 8);
  HeadlessUser user = Open();
  user.Type("GPU_Max", "2050");
  user.Type("GPU_Clock_1", "1400");
  user.Click("Button1");
  ASSERT_EQ(adl.od8Sets.size(), 1u);
  EXPECT_EQ(adl.od8Sets[0].od8SettingTable[adl::kOd8GfxclkFmax].value, 2050);
  EXPECT_EQ(adl.od8Sets[0].od8SettingTable[adl::kOd8GfxclkFreq2].value, 1400);
  EXPECT_EQ(user.Value("GPU_Max"), adl.cards[0].od8Values[adl::kOd8GfxclkFmax]);
}

TEST_F(ProfileCommandsTest, NewTrimsAndDropsQuotesRenameKeepsThemAndSameNameWritesNothing) {
  AddCard(0, 7);
  HeadlessUser user = Open();
  fake.dialogs.textAnswers = {"  My \"fast\" one  "};
  user.Click("Button6");
  ASSERT_EQ(app.profiles.size(), 1u);
  EXPECT_EQ(app.profiles[0].name, "My fast one");
  EXPECT_EQ(app.profiles[0].gpuClock.size(), 8u);
  // The fields the window never shows come from the card, never zeros.
  EXPECT_EQ(app.profiles[0].fanMax, adl.cards[0].fan.iTargetFanSpeed);
  EXPECT_EQ(app.profiles[0].powerTemp, adl.cards[0].power.iMaxOperatingTemperature);
  EXPECT_THAT(FileNames(), ElementsAre("My fast one"));
  EXPECT_EQ(Selected(user), 0);

  const auto before = fake.files.files[IniKey()];
  fake.dialogs.textAnswers = {" My fast one\t", "\"x\"\ny", "   "};
  user.Click("Button5");
  EXPECT_EQ(fake.dialogs.textShown.back(), "My fast one");
  EXPECT_EQ(fake.files.files[IniKey()], before) << "same name writes nothing";
  user.Click("Button5");
  EXPECT_THAT(FileNames(), ElementsAre("\"x\" y"));
  user.Click("Button5");
  EXPECT_EQ(fake.dialogs.boxes.back().text, "Profile name cannot be empty");
  EXPECT_EQ(app.profiles[0].name, "\"x\" y");
  EXPECT_THAT(user.Get("ComboBox2").items, ElementsAre("\"x\" y"));
  user.Click("Button6");  // cancelled
  EXPECT_EQ(app.profiles.size(), 1u);
}

TEST_F(ProfileCommandsTest, SaveWithoutSelectionAsksForANameAndSaveAfterLoadStillWrites) {
  AddCard(0, 7);
  HeadlessUser user = Open();
  user.Click("Button9");  // nothing selected: "New", cancelled
  EXPECT_EQ(fake.dialogs.boxes.back().caption, "New");
  EXPECT_TRUE(app.profiles.empty());
  fake.dialogs.textAnswers = {"P"};
  user.Click("Button9");
  EXPECT_THAT(FileNames(), ElementsAre("P"));
  fake.files.files[IniKey()] = EncodeIniText("[Mine]\r\n");
  user.Click("Button8");
  user.Click("Button9");
  EXPECT_THAT(FileNames(), ElementsAre("P")) << "the hidden Overdrive8 fields differ from not set";
  EXPECT_THAT(IniText(), HasSubstr("[Mine]"));
}

TEST_F(ProfileCommandsTest, LoadOfAThreeStateProfileChangesOnlyThoseRows) {
  AddCard(0, 7);
  fake.files.files[IniKey()] = EncodeIniText(
      "[Profile_0]\r\nName=three\r\nGPU_P0=310;760\r\nGPU_P1=610;770\r\nGPU_P2=910;880;0\r\nPower_Target=5\r\n");
  HeadlessUser user = Open();
  const int p3 = user.Value("GPU_Clock_3");
  user.Select("ComboBox2", 0);
  user.Click("Button8");
  EXPECT_EQ(user.Value("GPU_Clock_0"), 310);
  EXPECT_EQ(user.Value("GPU_Vcc_1"), 770);
  EXPECT_FALSE(user.Enabled("GPU_Clock_2"));
  EXPECT_EQ(user.Background("GPU_Clock_2"), kChangedColour);
  EXPECT_EQ(user.Value("GPU_Clock_3"), p3);
  EXPECT_EQ(user.Background("GPU_Clock_3"), kWindowColour);
  EXPECT_EQ(user.Value("Power_Target"), 5);
  EXPECT_EQ(adl.clockSets.size(), 0u) << "nothing sent";
}

TEST_F(ProfileCommandsTest, LoadOfAProfileForTheOtherGenerationNamesTheKeysLeftOut) {
  struct Case {
    int card;
    const char* body;
    const char* leftOut;
  } const cases[] = {
      {8, "GPU_P0=300;750\r\nGPU_P1=600;750\r\nGPU_P2=900;800\r\nGPU_P3=1000;900\r\nMem_P0=300;750\r\n",
       "GPU_P3, Mem_P0."},
      {7, "GPU_P0=300;750\r\nGPU_Min=800\r\nGPU_Max=2000\r\nMem_Max=900\r\n", "GPU_Min, GPU_Max, Mem_Max."},
  };
  for (const Case& c : cases) {
    adl.adapters.clear();
    adl.cards.clear();
    app.gpus.clear();
    app.profiles.clear();
    AddCard(0, c.card);
    fake.files.files[IniKey()] = EncodeIniText(std::string("[Profile_0]\r\nName=other\r\n") + c.body);
    HeadlessUser user = Open();
    fake.dialogs.boxes.clear();
    user.Select("ComboBox2", 0);
    user.Click("Button8");
    ASSERT_EQ(fake.dialogs.boxes.size(), 1u) << c.card;
    EXPECT_THAT(fake.dialogs.boxes[0].text, HasSubstr("were not loaded: " + std::string(c.leftOut)));
  }
}

TEST_F(ProfileCommandsTest, DeleteAsksAndSelectsThePreviousOrTheNewFirst) {
  struct Case {
    const char* names;
    int deleted;
    const char* left;
    int selected;
  } const cases[] = {{"ABC", 0, "BC", 0}, {"ABC", 1, "AC", 0}, {"ABC", 2, "AB", 1}, {"A", 0, "", -1}};
  AddCard(0, 7);
  for (const Case& c : cases) {
    app.profiles.clear();
    app.gpus.clear();
    PutProfiles(c.names);
    HeadlessUser user = Open();
    user.Select("ComboBox2", c.deleted);
    user.Click("Button7");  // answered No
    EXPECT_EQ(fake.dialogs.boxes.back().text,
              std::string("Are you sure to delete profile: ") + c.names[c.deleted] + "?");
    EXPECT_EQ(fake.dialogs.boxes.back().caption, "Delete");
    EXPECT_EQ(app.profiles.size(), std::string(c.names).size());
    fake.dialogs.answers = {true};
    user.Click("Button7");
    std::vector<std::string> left;
    for (char name : std::string(c.left)) left.emplace_back(1, name);
    EXPECT_EQ(FileNames(), left);
    EXPECT_EQ(user.Get("ComboBox2").items, left);
    EXPECT_EQ(Selected(user), c.selected);
    EXPECT_THAT(IniText(), HasSubstr("[Mine]\r\nkeep=me"));
  }
}

TEST_F(ProfileCommandsTest, ReorderKeepsTheSelectedProfileAndCancelChangesNothing) {
  AddCard(0, 7);
  PutProfiles("ABC");
  HeadlessUser user = Open();
  user.Select("ComboBox2", 0);
  const auto before = fake.files.files[IniKey()];
  backend->whileOpen = [](Form& dialog) {
    HeadlessUser d(dialog);
    d.Select("ListView1", 2);
    d.Click("Button1");  // UP
    d.Click("Button4");  // Cancel
  };
  user.Click("Button3");
  EXPECT_EQ(fake.files.files[IniKey()], before);
  backend->whileOpen = [](Form& dialog) {
    HeadlessUser d(dialog);
    EXPECT_EQ(dialog.window().className, "TForm5");
    d.Select("ListView1", 2);
    d.Click("Button1");  // C A B
    d.Click("Button1");
    d.Click("Button1");  // already first
    d.Click("Button3");  // OK
  };
  user.Click("Button3");
  EXPECT_THAT(FileNames(), ElementsAre("C", "A", "B"));
  EXPECT_EQ(Selected(user), 1);
  EXPECT_THAT(IniText(), HasSubstr("[Profile_0]\r\nName=C"));
}

TEST(ReorderFormTest, DropPutsTheRowBeforeTheOneDroppedOnOrLast) {
  struct Case {
    int from, onto;
    std::vector<int> order;
  } const cases[] = {{0, 2, {1, 0, 2, 3}}, {3, 1, {0, 3, 1, 2}}, {1, -1, {0, 2, 3, 1}}, {2, 2, {0, 1, 2, 3}},
                     {3, -1, {0, 1, 2, 3}}};
  Form owner(WindowFrame{.clientWidth = 598, .clientHeight = 482});
  for (const Case& c : cases) {
    std::vector<int> confirmed;
    ReorderForm dialog({"A", "B", "C", "D"}, owner, [&](const std::vector<int>& order) { confirmed = order; });
    HeadlessUser user(dialog.form());
    user.Select("ListView1", c.from);
    user.Drop("ListView1", c.onto);
    EXPECT_EQ(dialog.positions(), c.order);
    user.Click("Button2");  // Down
    user.Click("Button3");
    EXPECT_EQ(confirmed, dialog.positions());
  }
}

}  // namespace
}  // namespace tw::ui
