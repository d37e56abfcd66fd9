// The main window's I2C group, fan test menu and power menu on the headless backend,
// against the fake driver's cards, I2C devices and journal.

#include <gmock/gmock.h>

#include <memory>
#include <set>

#include "fakes/regulator_registers.h"
#include "gpu/driver_fixture.h"
#include "ini/ini_encoding.h"
#include "ui/app_fan_power_operations.h"
#include "ui/app_main_form_operations.h"
#include "ui/app_profile_command_operations.h"
#include "ui/app_regulator_operations.h"
#include "ui/fan_power_menus.h"
#include "ui/headless/headless_backend.h"
#include "ui/profile_commands.h"
#include "ui/regulator_group.h"

namespace tw::ui {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

constexpr const char* kOffsetRange = "For security reason I2C offset must be between -48 (-300mV) and 48 (+300mV)";

class RegulatorWindowTest : public test::DriverFixture {
 protected:
  std::unique_ptr<HeadlessBackend> backend;
  AppMainFormOperations ops{app};
  AppFanPowerOperations menuOps{app};
  AppRegulatorOperations regulatorOps{app};
  AppProfileCommandOperations profileOps{app};
  std::unique_ptr<RegulatorGroup> regulators;
  std::unique_ptr<WindowProfileCommands> commands;
  std::unique_ptr<FanPowerMenus> menus;
  std::unique_ptr<MainForm> window;
  std::unique_ptr<FormView> view;

  // Cards: 'I' an IR3567B at line 1, 'U' an up9505 at line 3, '-' none; '8' after the
  // letter makes it an Overdrive8 card.
  HeadlessUser Open(std::string_view cards, bool viewFirst = true) {
    int index = 0;
    for (size_t i = 0; i < cards.size(); ++i, ++index) {
      adl.AddAdapter(index, index + 1, 0, 0, "Radeon " + std::to_string(index));
      const bool od8 = i + 1 < cards.size() && cards[i + 1] == '8';
      if (od8) adl.AddOverdrive8Card(index);
      else adl.AddOverdriveNCard(index);
      if (cards[i] == 'I') adl.cards[index].I2cDevice(1, 0x20) = test::Ir3567bRegisters();
      if (cards[i] == 'U') adl.cards[index].I2cDevice(3, 0x30) = test::Up9505Registers();
      if (od8) ++i;
    }
    fake.files.files[test::InMemoryFileSystem::Key(app.paths.iniPath)] =
        EncodeIniText("[General]\r\nEnableI2c=1\r\nDisplayFanMenu=1\r\nDisplayPowerMenu=1\r\n");
    view.reset();  // a view goes before its form
    window.reset();
    backend = std::make_unique<HeadlessBackend>(fake.dialogs);
    regulators = std::make_unique<RegulatorGroup>(regulatorOps, *backend);
    commands = std::make_unique<WindowProfileCommands>(profileOps, *backend, regulators.get());
    menus = std::make_unique<FanPowerMenus>(menuOps, *backend);
    window = std::make_unique<MainForm>(ops, *backend, commands.get());
    commands->Attach(*window);
    regulators->Attach(*window);
    menus->Attach(*window);
    if (viewFirst) view = backend->CreateView(window->form());
    window->Create();
    if (!viewFirst) return HeadlessUser(window->form());
    adl.ForgetCalls();
    adl.i2cTransfers.clear();
    return HeadlessUser(window->form());
  }
  void TearDown() override {
    view.reset();
    test::DriverFixture::TearDown();
  }
  // (adapter, register, value) of each I2C write.
  std::vector<std::tuple<int, int, int>> Writes() const {
    std::vector<std::tuple<int, int, int>> writes;
    for (const test::FakeI2cTransfer& t : adl.I2cWrites()) writes.emplace_back(t.adapter, t.reg, t.data.at(0));
    return writes;
  }
};

TEST_F(RegulatorWindowTest, GroupShowsEachControllersFieldsOrNotAvailable) {
  struct Case {
    int card;
    const char* title;
    bool llc, phaseGain, currentScale;
  };
  const Case cases[] = {{0, "I2C: IR3567B", true, true, true}, {1, "I2C: up9505", true, false, false},
                        {2, "I2C", false, false, false}};
  HeadlessUser user = Open("IU-");
  for (const Case& c : cases) {
    user.Select("ComboBox1", c.card);
    SCOPED_TRACE(c.title);
    EXPECT_EQ(user.Text("GroupBox6"), c.title);
    EXPECT_TRUE(user.Showing("GroupBox6"));
    const bool found = c.card != 2;
    EXPECT_EQ(user.Showing("I2C_NotAvailable"), !found);
    EXPECT_EQ(user.Showing("I2C_Offset"), found);
    EXPECT_EQ(user.Showing("I2C_LLC"), c.llc);
    EXPECT_EQ(user.Showing("Edit1"), c.phaseGain);
    EXPECT_EQ(user.Showing("I2C_CurrentScaleCaption"), c.currentScale);
  }
  user.Select("ComboBox1", 0);
  EXPECT_EQ(user.Text("Edit1"), "112233");
  EXPECT_EQ(user.Text("Edit2"), "44");
  EXPECT_EQ(user.Text("I2C_LLC"), "ON");
}

TEST_F(RegulatorWindowTest, FieldsAreColouredWhileTheyDifferFromTheCard) {
  HeadlessUser user = Open("I");
  user.Type("I2C_Offset", "3");
  EXPECT_EQ(user.Background("I2C_Offset"), kChangedColour);
  EXPECT_EQ(user.Text("I2C_Voltage"), "+18.75mV");
  user.Type("I2C_Offset", "-8");
  EXPECT_EQ(user.Text("I2C_Voltage"), "-50mV");
  user.Type("I2C_Offset", "0");
  EXPECT_EQ(user.Background("I2C_Offset"), kWindowColour);
  user.Click("I2C_LLC");
  EXPECT_EQ(user.Text("I2C_LLC"), "OFF");
  EXPECT_EQ(user.Background("I2C_LLC"), kChangedColour);
  user.Click("I2C_LLC");
  EXPECT_EQ(user.Background("I2C_LLC"), kButtonFaceColour);
  user.Type("Edit1", "1a-x2b3c9");  // only hexadecimal digits, upper case, six at most
  EXPECT_EQ(user.Text("Edit1"), "1A2B3C");
  EXPECT_EQ(user.Background("Edit1"), kChangedColour);
  user.Type("Edit1", "112233");
  EXPECT_EQ(user.Background("Edit1"), kWindowColour);
}

TEST_F(RegulatorWindowTest, ApplyAndResetWithCtrlWriteTheRegulatorsOfExactlyTheCardsTheyReached) {
  for (bool ctrl : {false, true}) {
    adl.adapters.clear();
    adl.cards.clear();
    app.gpus.clear();
    HeadlessUser user = Open("IUI8");  // the Overdrive8 card is of another generation
    user.Type("I2C_Offset", "-1");
    backend->HoldCtrl(ctrl);
    user.Click("Button1");
    std::set<int> adapters;
    for (const auto& [adapter, reg, value] : Writes()) adapters.insert(adapter);
    EXPECT_EQ(adapters, (ctrl ? std::set<int>{0, 1} : std::set<int>{0}));
    EXPECT_EQ(std::get<2>(Writes().front()), 0xFF) << "two's complement -1";
    if (ctrl) {
      EXPECT_THAT(Writes(), ::testing::Contains(std::make_tuple(1, 0x0C, 0x81))) << "sign-magnitude -1";
    }
    // Read back into the window: the card now holds it.
    EXPECT_EQ(user.Value("I2C_Offset"), -1);
    EXPECT_EQ(user.Background("I2C_Offset"), kWindowColour);
    // "Reset" with Ctrl reaches every supported card: offset 0 and load-line off, nothing else.
    adl.i2cTransfers.clear();
    user.Click("Button4");
    using W = std::vector<std::tuple<int, int, int>>;
    const W card0 = {{0, 0x8D, 0}, {0, 0x38, 0x81}};
    const W all = {{0, 0x8D, 0}, {0, 0x38, 0x81}, {1, 0x27, 0x1F}, {1, 0x0C, 0}, {1, 0x28, 0x04}, {2, 0x8D, 0}, {2, 0x38, 0x81}};
    EXPECT_EQ(Writes(), ctrl ? all : card0);
    EXPECT_TRUE(BoxTexts().empty());
  }
}

TEST_F(RegulatorWindowTest, ApplyWritesWhatItCanAndKeepsTheRefusedTextMarked) {
  struct Case {
    const char* field;
    const char* text;
    const char* message;
    std::vector<int> registers;  // written, in order
    const char* status;          // the status line's end
  };
  const Case cases[] = {
      {"I2C_Offset", "-99", kOffsetRange, {0x38, 0x1E, 0x1F, 0x20, 0x4D}, "refused the regulator's offset"},
      // No number at all stops the whole apply before anything is sent, as in every field.
      {"I2C_Offset", "abc",
       "Nothing was applied: \"Voltage offset (x6.25 mV)\" holds \"abc\", which is not a whole number.\r\n"
       "Allowed: -48..48.",
       {},
       ""},
      {"Edit1", "1A2B3", "Wrong data is entered in Phase gain, must be in 3 bytes length hexadecimal format",
       {0x8D, 0x38, 0x4D},
       "card 0 refused the regulator's phase gain"},
      {"Edit2", "", "Wrong data is entered in Current scale, must be in 1 byte hexadecimal format",
       {0x8D, 0x38, 0x1E, 0x1F, 0x20},
       "card 0 refused the regulator's current scale"},
  };
  HeadlessUser user = Open("I");
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.field) + " " + c.text);
    user.Type("I2C_Offset", "5");
    // Typed, not left: the field's raw text is what "Apply" finds.
    window->form().UserTyped(window->form().Find(c.field), c.text);
    fake.dialogs.boxes.clear();
    adl.i2cTransfers.clear();
    user.Click("Button1");
    EXPECT_THAT(BoxTexts(), ElementsAre(c.message));
    std::vector<int> registers;
    for (const auto& [adapter, reg, value] : Writes()) registers.push_back(reg);
    EXPECT_EQ(registers, c.registers);
    EXPECT_THAT(user.Text("StatusLabel"), HasSubstr(c.status));
    EXPECT_EQ(window->form().control(window->form().Find(c.field)).caption, c.text);
    EXPECT_EQ(user.Background(c.field), kRefusedColour);
    if (std::string_view(c.field) != "I2C_Offset") {
      EXPECT_EQ(user.Value("I2C_Offset"), 5) << "read back from the card";
      EXPECT_EQ(user.Background("I2C_Offset"), kWindowColour);
    }
    user.Type("Edit1", "112233");
    user.Type("Edit2", "44");
  }
}

TEST_F(RegulatorWindowTest, SaveAndLoadCarryTheShownRegulatorFields) {
  HeadlessUser user = Open("IU");
  user.Type("I2C_Offset", "5");
  fake.dialogs.textAnswers = {"A", "B"};
  user.Click("Button6");  // "New" saves the window into the new profile
  const ProfileItem& a = app.profiles.at(0);
  EXPECT_EQ(std::make_tuple(a.offset, a.llc, a.phaseGain, a.currentScale), std::make_tuple(5, 1, "112233", "44"));
  user.Type("I2C_Offset", "0");
  user.Type("Edit1", "AABBCC");
  user.Click("Button8");  // "Load"
  EXPECT_EQ(user.Value("I2C_Offset"), 5);
  EXPECT_EQ(user.Background("I2C_Offset"), kChangedColour);
  EXPECT_EQ(user.Text("Edit1"), "112233");
  EXPECT_EQ(user.Background("Edit1"), kWindowColour);
  user.Select("ComboBox1", 1);  // the up9505 has no phase gain or current scale
  user.Click("Button6");
  const ProfileItem& b = app.profiles.at(1);
  EXPECT_EQ(std::make_tuple(b.offset, b.llc, b.phaseGain, b.currentScale), std::make_tuple(0, 0, "NULL", "NULL"));
}

TEST_F(RegulatorWindowTest, ASearchOfEveryLineWaitsForTheWindowThenLetsTheUserWorkWhileItRuns) {
  HeadlessUser user = Open("-I", /*viewFirst=*/false);
  EXPECT_TRUE(adl.i2cTransfers.empty());
  EXPECT_EQ(user.Text("GroupBox6"), "I2C: searching for regulators...");
  view = backend->CreateView(window->form());
  regulators->RunPendingDetection();
  ASSERT_TRUE(backend->RunIdleStep());
  user.Select("ComboBox1", 1);  // the user need not wait for the search
  EXPECT_EQ(user.Text("GroupBox6"), "I2C: searching for regulators...");
  EXPECT_FALSE(user.Showing("I2C_NotAvailable"));
  EXPECT_TRUE(app.regulatorDetection.inProgress);
  while (backend->RunIdleStep()) {
  }
  EXPECT_FALSE(app.regulatorDetection.inProgress);
  EXPECT_EQ(user.Text("GroupBox6"), "I2C: IR3567B");
  EXPECT_EQ(app.gpus[1].i2cAddress, 0x20);
}

TEST_F(RegulatorWindowTest, SelectingACardDuringDetectionReadsNoRegulator) {
  HeadlessUser user = Open("II");
  EXPECT_FALSE(app.regulatorDetection.inProgress);
  EXPECT_TRUE(app.gpus[0].i2cFound && app.gpus[1].i2cFound);
  app.regulatorDetection.inProgress = true;
  user.Select("ComboBox1", 1);
  EXPECT_TRUE(adl.i2cTransfers.empty());
  app.regulatorDetection.inProgress = false;
  user.Select("ComboBox1", 0);
  EXPECT_FALSE(adl.i2cTransfers.empty());
}

TEST_F(RegulatorWindowTest, CustomFanSpeedTakesATrimmedPercentageOnly) {
  HeadlessUser user = Open("-");
  for (const char* refused : {"101", "-1", "abc", ""}) {
    fake.dialogs.textAnswers = {std::string(refused)};
    user.PickMenuItem("GroupBox3", "Setcustomspeed1");
    EXPECT_THAT(BoxTexts(), ElementsAre("Set speed (%):", "Put value between 0 and 100")) << refused;
    fake.dialogs.boxes.clear();
  }
  EXPECT_EQ(adl.Calls("ADL2_Overdrive5_FanSpeed_Set") + adl.Calls("ADL2_Overdrive6_FanSpeed_Set"), 0);
  fake.dialogs.textAnswers = {" 55 "};
  user.PickMenuItem("GroupBox3", "Setcustomspeed1");
  ASSERT_EQ(adl.od5FanSets.size(), 1u);
  EXPECT_EQ(adl.od5FanSets[0].iFanSpeed, 55);
  EXPECT_THAT(BoxTexts(), ElementsAre("Set speed (%):"));
  EXPECT_EQ(fake.dialogs.boxes[0].caption, "");
}

TEST_F(RegulatorWindowTest, PowerMenuShowsChillForEachCardThatHasIt) {
  HeadlessUser user = Open("--");
  adl.Fail("ADL2_Chill_Settings_Get", adl::kErrNotSupported, 1, 1);  // card 0 lacks it
  ASSERT_TRUE(user.PopUp("GroupBox4"));
  EXPECT_FALSE(user.MenuItem("GroupBox4", "Chill1").visible);
  user.Select("ComboBox1", 1);
  user.PopUp("GroupBox4");
  EXPECT_TRUE(user.MenuItem("GroupBox4", "Chill1").visible);
}

TEST_F(RegulatorWindowTest, PowerMenuHidesChillWhenTheDriverLacksIt) {
  test::FakeAdl::Install(fake.libraries, "atiadlxx.dll", {"ADL2_Chill_Settings_Get", "ADL2_Chill_Settings_Set"});
  HeadlessUser user = Open("--");
  ASSERT_TRUE(user.PopUp("GroupBox4"));
  EXPECT_FALSE(user.MenuItem("GroupBox4", "Chill1").visible);
  EXPECT_TRUE(user.MenuItem("GroupBox4", "PowerEfficiency1").visible);
  user.PickMenuItem("GroupBox4", "PowerEfficiency1");
  EXPECT_EQ(adl.cards[0].ppw, 1);
  EXPECT_EQ(user.MenuItem("GroupBox4", "PowerEfficiency1").caption, "Power Efficiency: ON");
  EXPECT_TRUE(user.MenuItem("GroupBox4", "PowerEfficiency1").checked);
  user.Select("ComboBox1", 1);
  user.PopUp("GroupBox4");
  EXPECT_FALSE(user.MenuItem("GroupBox4", "Chill1").visible);
  EXPECT_EQ(user.MenuItem("GroupBox4", "PowerEfficiency1").caption, "Power Efficiency: OFF") << "card 1's own state";
  EXPECT_TRUE(BoxTexts().empty());
}

}  // namespace
}  // namespace tw::ui
