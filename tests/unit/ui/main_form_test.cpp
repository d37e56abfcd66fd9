// The main window on the headless backend, against the fake driver and the in-memory
// files: what the user sees after start-up, editing, the fan switch and closing.

#include <gmock/gmock.h>

#include <functional>
#include <memory>

#include "app/program.h"
#include "base/text.h"
#include "gpu/driver_fixture.h"
#include "ini/ini_encoding.h"
#include "ui/app_main_form_operations.h"
#include "ui/editor_tips.h"
#include "ui/headless/headless_backend.h"
#include "ui/main_form.h"
#include "ui/main_window.h"
#include "version.h"

namespace tw::ui {

void PrintTo(const Colour& colour, std::ostream* out) {
  if (colour.isSystem()) *out << "system colour " << static_cast<int>(colour.system());
  else *out << "COLORREF 0x" << std::hex << colour.colorRef() << std::dec;
}

namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

class MainWindowTest : public test::DriverFixture {
 protected:
  std::unique_ptr<HeadlessBackend> backend;
  AppMainFormOperations ops{app};
  std::unique_ptr<MainForm> window;
  std::unique_ptr<FormView> view;

  HeadlessUser Open(int dpi = 96) {
    view.reset();
    window.reset();
    backend = std::make_unique<HeadlessBackend>(fake.dialogs, dpi);
    window = std::make_unique<MainForm>(ops, *backend);
    view = backend->CreateView(window->form());
    window->Create();
    return HeadlessUser(window->form());
  }
  HeadlessView& View() { return static_cast<HeadlessView&>(*view); }

  std::string IniKey() const { return test::InMemoryFileSystem::Key(app.paths.iniPath); }
  void PutIni(std::string text) {
    fake.files.files[IniKey()] = EncodeIniText(ReplaceAll(text, "\n", "\r\n"));
  }
  std::string IniText() {
    const auto file = fake.files.files.find(IniKey());
    return file == fake.files.files.end() ? "" : DecodeIniBytes(file->second, fake.ansi).text;
  }

  test::FakeAdlCard& AddCard(int index, int version) {
    adl.AddAdapter(index, index + 1, 0, 0, "Radeon " + std::to_string(index));
    if (version == 7) return adl.AddOverdriveNCard(index);
    if (version == 8) return adl.AddOverdrive8Card(index);
    return adl.cards[index] = test::FakeAdlCard{};  // no tuning interface: not supported
  }
};

TEST_F(MainWindowTest, StartUpSelectsCardZeroOrTheFirstSupportedOne) {
  struct Case {
    std::vector<int> versions;
    int selected;
    bool notSupportedShown;
  } const cases[] = {
      {{0, 7}, 1, false}, {{0, 0, 0}, 0, true}, {{7, 8}, 0, false}, {{0}, 0, true}, {{8, 0, 7}, 0, false},
  };
  for (const Case& c : cases) {
    adl.adapters.clear();
    for (size_t i = 0; i < c.versions.size(); ++i) AddCard(static_cast<int>(i), c.versions[i]);
    HeadlessUser user = Open();
    EXPECT_EQ(window->SelectedCard(), c.selected);
    EXPECT_EQ(user.Get("ComboBox1").items.size(), c.versions.size());
    EXPECT_EQ(user.Showing("InfoLabel"), c.notSupportedShown);
    EXPECT_EQ(user.Showing("GroupBox1"), !c.notSupportedShown);
    EXPECT_EQ(user.Text("InfoLabel"), c.notSupportedShown ? "This GPU is not supported" : "");
  }
}

TEST_F(MainWindowTest, CardsSharingANameShowTheirBusInTheSelector) {
  struct Case {
    const char* ini;
    std::vector<std::string> names;
    std::vector<std::string> expected;
  } const cases[] = {
      {"", {"RX 580", "RX 580", "RX 5700"}, {"0: RX 580 (bus 7)", "1: RX 580 (bus 8)", "2: RX 5700"}},
      {"", {"RX 580", "RX 5700"}, {"0: RX 580", "1: RX 5700"}},
      {"ShowBusNumber=1\n", {"RX 580", "RX 580"}, {"0: RX 580  (Bus: 7:0:0)", "1: RX 580  (Bus: 8:0:0)"}},
  };
  for (const Case& c : cases) {
    adl.adapters.clear();
    app.gpus.clear();
    PutIni(std::string("[General]\n") + c.ini);
    for (size_t i = 0; i < c.names.size(); ++i) {
      const int index = static_cast<int>(i);
      adl.AddAdapter(index, index + 7, 0, 0, c.names[i]);
      adl.AddOverdriveNCard(index);
    }
    HeadlessUser user = Open();
    EXPECT_EQ(user.Get("ComboBox1").items, c.expected) << c.ini;
  }
}

TEST_F(MainWindowTest, InfoMessagesReplaceTheEditorAtTheirLeftEdges) {
  struct Case {
    std::function<void()> arrange;
    const char* text;
    int pixelLeft;  // at 144 dots per inch
  } const cases[] = {
      {[&] { AddCard(0, 0); }, "This GPU is not supported", 321},
      {[&] { fake.machine.kernelDrivers = {"ntoskrnl.exe"}; }, "Driver is detected as not installed/loaded", 262},
      {[&] {
         fake.machine.kernelDrivers = {"atikmdag.sys"};
         fake.libraries.libraries.clear();
         test::FakeAdl::Install(fake.libraries, "atiadlxx.dll", {"ADL2_OverdriveN_SettingsExt_Get"});
       },
       "This application requires driver 18.12.2 or newer", 205},
  };
  for (const Case& c : cases) {
    c.arrange();
    HeadlessUser user = Open(144);
    EXPECT_EQ(user.Text("InfoLabel"), c.text);
    EXPECT_EQ(user.PixelBounds("InfoLabel").left, c.pixelLeft) << c.text;
    for (const char* hidden : {"GroupBox1", "GroupBox3", "GroupBox5", "Button1", "Button4"})
      EXPECT_FALSE(user.Showing(hidden)) << c.text << " " << hidden;
    EXPECT_TRUE(user.Showing("ComboBox1") && user.Showing("Button10") && user.Showing("Button2"));
  }
}

TEST_F(MainWindowTest, SelectingASupportedCardHidesTheMessageAgain) {
  AddCard(0, 0);
  AddCard(1, 7);
  AddCard(2, 0);
  HeadlessUser user = Open();
  user.Select("ComboBox1", 0);
  EXPECT_TRUE(user.Showing("InfoLabel"));
  user.Select("ComboBox1", 1);
  EXPECT_FALSE(user.Showing("InfoLabel"));
  EXPECT_EQ(user.Text("InfoLabel"), "");
  EXPECT_TRUE(user.Showing("GroupBox1") && user.Showing("Button1"));
}

TEST_F(MainWindowTest, RowsAndFieldsFollowTheCardsGeneration) {
  test::FakeAdlCard& odn = AddCard(0, 7);
  for (size_t k = 5; k < 8; ++k) odn.gpuLevels[k] = {};
  odn.memLevels[2] = {};
  AddCard(1, 8);
  HeadlessUser user = Open();
  const std::pair<const char*, bool> overdriveN[] = {
      {"GPU_P4", true},  {"GPU_Clock_4", true}, {"GPU_P5", false},   {"GPU_Vcc_5", false},      {"Mem_P1", true},
      {"Mem_Vcc_1", true}, {"Mem_P2", false},   {"GPU_Min", false},  {"Mem_Max", false},        {"Mem_HeadingMHz", true},
      {"Mem_TimingBox", true}, {"Fan_Min", false}, {"Power_Temp", false}};
  for (const auto& [name, shown] : overdriveN) EXPECT_EQ(user.Showing(name), shown) << "OverdriveN " << name;
  user.Select("ComboBox1", 1);
  const std::pair<const char*, bool> overdrive8[] = {
      {"GPU_P2", true},      {"GPU_P3", false},         {"Mem_P0", false},        {"GPU_Min", true},
      {"GPU_MaxLabel", true}, {"Mem_Max", true},        {"Mem_HeadingMHz", false}, {"GPU_HeadingMHz", true},
      {"Mem_TimingLabel", true}};
  for (const auto& [name, shown] : overdrive8) EXPECT_EQ(user.Showing(name), shown) << "Overdrive8 " << name;
  EXPECT_EQ(user.Text("GPU_Max"), "2100");
  EXPECT_EQ(user.Text("Power_Target"), "0");
}

TEST_F(MainWindowTest, TimingBoxListsTheCardsLevels) {
  struct Case {
    int maxLevel, cardLevel;
    std::vector<std::string> items;
    int selected;
  } const cases[] = {
      {3, 2, {"0 - Auto", "1 - Level 1", "2 - Level 2", "3 - Level 3"}, 2},
      {0, 0, {"0 - Auto"}, 0},
      {1, 5, {"0 - Auto", "1 - Level 1"}, -1},  // a level beyond the list leaves the selection
  };
  for (const Case& c : cases) {
    adl.adapters.clear();
    test::FakeAdlCard& card = AddCard(0, 7);
    card.extRanges[0].maxValue = c.maxLevel;
    card.extValues[0] = c.cardLevel;
    HeadlessUser user = Open();
    EXPECT_EQ(user.Get("Mem_TimingBox").items, c.items);
    EXPECT_EQ(user.Get("Mem_TimingBox").selected, c.selected);
  }
}

TEST_F(MainWindowTest, FieldsDifferingFromTheCardAreColoured) {
  using Script = std::function<void(HeadlessUser&)>;
  struct Case {
    const char* what;
    Script script;
    const char* field;
    Colour colour;
  } const cases[] = {
      {"typed", [](HeadlessUser& u) { u.Type("GPU_Clock_2", "901"); }, "GPU_Clock_2", kChangedColour},
      {"typed back", [](HeadlessUser& u) { u.Type("GPU_Clock_2", "901"), u.Type("GPU_Clock_2", "900"); },
       "GPU_Clock_2", kWindowColour},
      {"memory", [](HeadlessUser& u) { u.Type("Mem_Vcc_1", "801"); }, "Mem_Vcc_1", kChangedColour},
      {"row toggled", [](HeadlessUser& u) { u.Click("GPU_P2"); }, "GPU_Vcc_2", kChangedColour},
      {"toggled twice", [](HeadlessUser& u) { u.Click("GPU_P2"), u.Click("GPU_P2"); }, "GPU_Clock_2", kWindowColour},
      {"own value, other state",
       [](HeadlessUser& u) { u.Click("GPU_P1"), u.Type("GPU_Clock_1", "601"), u.Type("GPU_Clock_1", "600"); },
       "GPU_Clock_1", kChangedColour},
      {"timing", [](HeadlessUser& u) { u.Select("Mem_TimingBox", 2); }, "Mem_TimingBox", kChangedColour},
      {"timing back", [](HeadlessUser& u) { u.Select("Mem_TimingBox", 2), u.Select("Mem_TimingBox", 1); },
       "Mem_TimingBox", kWindowColour},
      {"zero RPM", [](HeadlessUser& u) { u.Click("ZeroRPMBox"); }, "ZeroRPMBox", kChangedColour},
      {"zero RPM back", [](HeadlessUser& u) { u.Click("ZeroRPMBox"), u.Click("ZeroRPMBox"); }, "ZeroRPMBox",
       kButtonFaceColour},
      {"fan", [](HeadlessUser& u) { u.Type("Fan_Perc_4", "99"); }, "Fan_Perc_4", kChangedColour},
      {"power", [](HeadlessUser& u) { u.Type("Power_Target", "-5"); }, "Power_Target", kChangedColour},
  };
  for (const Case& c : cases) {
    adl.adapters.clear();
    test::FakeAdlCard& card = AddCard(0, 7);
    card.extValues[1] = 0;             // zero RPM off on the card
    card.gpuLevels[1].iEnabled = 0;    // and P1 switched off
    HeadlessUser user = Open();
    const std::string field = c.field;
    EXPECT_EQ(user.Background(c.field), field == "ZeroRPMBox" ? kButtonFaceColour : kWindowColour) << c.what;
    c.script(user);
    EXPECT_EQ(user.Background(c.field), c.colour) << c.what;
  }
  EXPECT_EQ(kChangedColour.colorRef(), 0x00D5FFFFu);
}

TEST_F(MainWindowTest, RowLabelsAndTheZeroRpmCaptionShowTheState) {
  AddCard(0, 7).extValues[1] = 0;
  AddCard(1, 8);
  HeadlessUser user = Open();
  EXPECT_EQ(user.Text("ZeroRPMBox"), "OFF");
  user.Click("ZeroRPMBox");
  EXPECT_EQ(user.Text("ZeroRPMBox"), "ON");
  user.Click("Mem_P0");
  EXPECT_FALSE(user.Enabled("Mem_Clock_0") || user.Enabled("Mem_Vcc_0"));
  EXPECT_EQ(user.TextColour("Mem_P0"), kGreyTextColour);
  user.Select("ComboBox1", 1);  // Overdrive8: the three curve points stay enabled
  user.Click("GPU_P2");
  EXPECT_TRUE(user.Enabled("GPU_Clock_2"));
  EXPECT_EQ(user.TextColour("GPU_P2"), kTextColour);
}

TEST_F(MainWindowTest, SwitchedOffFanControlKeepsItsColours) {
  PutIni("[General]\nFanDeactivatedGpus=0\n");
  AddCard(0, 7);
  HeadlessUser user = Open();
  EXPECT_FALSE(user.Enabled("Fan_Temp_0"));
  EXPECT_EQ(user.Background("Fan_Temp_0"), kInactiveColour);
  EXPECT_EQ(user.TextColour("GroupBox3"), kGreyTextColour);
  user.Type("Power_Target", "5");
  EXPECT_EQ(user.Background("Power_Target"), kChangedColour) << "the power limit is no part of the fan";
}

TEST_F(MainWindowTest, CtrlDoubleClickOnFanSwitchesTheCardsFanControl) {
  PutIni("[General]\nShowBusNumber=0\n");
  AddCard(0, 7);
  AddCard(1, 7);
  HeadlessUser user = Open();
  user.DoubleClick("GroupBox3");  // without Ctrl: nothing
  EXPECT_THAT(IniText(), Not(HasSubstr("FanDeactivated")));
  backend->HoldCtrl(true);
  user.Select("ComboBox1", 1);
  user.DoubleClick("GroupBox3");
  EXPECT_THAT(IniText(), HasSubstr("FanDeactivatedGpus=1\r\n"));
  EXPECT_FALSE(user.Enabled("Fan_Acoustic"));
  EXPECT_FALSE(app.gpus[1].fanEnabled);
  user.DoubleClick("GroupBox3");
  EXPECT_THAT(IniText(), Not(HasSubstr("FanDeactivated")));
  EXPECT_TRUE(user.Enabled("Fan_Acoustic"));
  EXPECT_EQ(user.TextColour("GroupBox3"), kTextColour);
}

TEST_F(MainWindowTest, NoControlOverlapsAnotherAndFieldsFitTheirRangeOnEveryCardShapeAndScale) {
  // A spin field's text needs its arrows (17), edges (4), margins (4) and about 7 per character.
  const auto fits = [](const Control& c) { return c.kind != ControlKind::SpinEdit || c.bounds.width >= 25 + 7 * c.maxLength; };
  for (auto [version, states] : {std::pair{7, 3}, {7, 7}, {7, 8}, {8, 0}}) {
    for (int dpi : {96, 144}) {
      adl.adapters.clear();
      app.gpus.clear();
      test::FakeAdlCard& card = AddCard(0, version);
      if (states)
        card.memLevels = std::vector<adl::ADLODNPerformanceLevelX2>(card.gpuLevels.begin(), card.gpuLevels.begin() + states);
      Open(dpi);
      const Form& form = window->form();
      std::vector<ControlId> shown;
      for (ControlId id = 0; id < form.controlCount(); ++id)
        if (form.control(id).bounds.width > 0 && form.IsShowing(id)) shown.push_back(id);
      ASSERT_GE(shown.size(), 2u * states + 10);
      for (size_t a = 0; a < shown.size(); ++a) {
        const Control& ca = form.control(shown[a]);
        EXPECT_TRUE(fits(ca)) << ca.name;
        for (size_t b = a + 1; b < shown.size(); ++b) {
          if (form.control(shown[b]).parent != ca.parent) continue;
          const Rect ra = form.PixelBounds(shown[a]), rb = form.PixelBounds(shown[b]);
          EXPECT_FALSE(ra.left < rb.left + rb.width && rb.left < ra.left + ra.width && ra.top < rb.top + rb.height &&
                       rb.top < ra.top + ra.height)
              << version << "/" << states << " at " << dpi << " dpi: " << ca.name << " and " << form.control(shown[b]).name;
        }
      }
    }
  }
}

TEST_F(MainWindowTest, FailedReadsShowTheirErrorAndKeepTheFields) {
  AddCard(0, 7);
  HeadlessUser user = Open();
  user.Type("GPU_Clock_0", "123");
  user.Type("Power_Target", "7");
  adl.Fail("ADL2_OverdriveN_SystemClocksX2_Get", -1);
  user.Click("Button10");
  EXPECT_THAT(BoxTexts(), ElementsAre(HasSubstr("SystemClocks_Get function failed"), HasSubstr("\"Apply\" stays off")));
  EXPECT_EQ(user.Text("Power_Target"), "7");  // nothing else was read
}

TEST_F(MainWindowTest, AFailedMemoryReadLetsTheOtherReadsRun) {
  AddCard(0, 7);
  HeadlessUser user = Open();
  user.Type("Power_Target", "7");
  adl.Fail("ADL2_OverdriveN_MemoryClocksX2_Get", -1);
  user.Click("Button10");
  EXPECT_THAT(BoxTexts(), ElementsAre(HasSubstr("MemoryClocks_Get function failed"), HasSubstr("\"Apply\" stays off")));
  EXPECT_EQ(user.Text("Power_Target"), "0");
  EXPECT_EQ(user.Background("Power_Target"), kWindowColour);
}

TEST_F(MainWindowTest, ADriverGoneBeforeRefreshLeavesTheWindowUsable) {
  AddCard(0, 7);
  HeadlessUser user = Open();
  fake.libraries.libraries.clear();
  user.Click("Button10");
  EXPECT_EQ(BoxTexts().size(), 2u) << "the failure, and that Apply is off";
  user.Type("GPU_Clock_0", "310");
  EXPECT_EQ(user.Background("GPU_Clock_0"), kChangedColour);
}

TEST_F(MainWindowTest, WithoutI2cTheWindowShrinksAtTheMonitorsScale) {
  AddCard(0, 7);
  HeadlessUser user = Open(144);
  EXPECT_EQ(window->form().Scaled(*window->form().window().outerHeight), 684);
  EXPECT_EQ(user.PixelBounds("GroupBox5").top, 471);
  EXPECT_EQ(user.PixelBounds("Button1").top, 582);
  EXPECT_EQ(user.PixelBounds("Button2").top, 582);
  EXPECT_FALSE(user.Showing("GroupBox6"));
  PutIni("[General]\nEnableI2c=1\n");
  HeadlessUser withI2c = Open(144);
  EXPECT_FALSE(window->form().window().outerHeight.has_value());
  EXPECT_EQ(withI2c.PixelBounds("GroupBox5").top, 555);
}

TEST_F(MainWindowTest, SystemMenuAboutAndThePositionStoredOnClose) {
  PutIni("[General]\nMainWindowLeft=0\nMainWindowTop=0\n");
  AddCard(0, 7);
  HeadlessUser user = Open();
  std::vector<std::string> entries;
  for (const SystemMenuEntry& e : window->form().systemMenu()) entries.push_back(e.separator ? "-" : e.caption);
  EXPECT_THAT(entries, ElementsAre("-", "Settings", "-", "PPTable editor", "-", "About..."));
  user.SystemMenu("Settings");
  user.SystemMenu("PPTable editor");
  EXPECT_TRUE(fake.dialogs.boxes.empty());
  user.SystemMenu("About...");
  ASSERT_EQ(fake.dialogs.boxes.size(), 1u);
  EXPECT_EQ(fake.dialogs.boxes[0].text, std::string("Tunewright v") + kVersionText + "\r\nTunewright contributors");
  EXPECT_EQ(fake.dialogs.boxes[0].caption, "About");
  EXPECT_EQ(View().Position(), (Point{(1920 - 598) / 2, (1080 - 456) / 2}));  // centred
  EXPECT_FALSE(user.Enabled("Button1") || user.Enabled("Button4"));  // the profile commands come later
  View().MoveTo({100, 200});
  user.Click("Button2");
  EXPECT_TRUE(View().closed);
  EXPECT_THAT(IniText(), HasSubstr("MainWindowLeft=100\r\nMainWindowTop=200\r\n"));
  Open();
  EXPECT_EQ(View().Position(), (Point{100, 200}));
}

TEST_F(MainWindowTest, AnIniWithoutProfilesOffersTheNewestBackupThatHasSome) {
  PutIni("[General]\nShowBusNumber=0\n");
  const std::string folder = test::InMemoryFileSystem::Key(app.paths.backupIniPath.parent_path());
  fake.files.folders.insert(folder);
  fake.files.files[test::InMemoryFileSystem::Key(app.paths.backupIniPath)] =
      EncodeIniText("[General]\r\nRestoreAutomatically=1\r\n");
  fake.files.files[folder + "/2026-01-02 03.04.05 Tunewright.ini"] = EncodeIniText("[Profile_0]\r\nName=Quiet\r\n");
  fake.dialogs.answers = {true};
  AddCard(0, 7);
  HeadlessUser user = Open();
  ASSERT_FALSE(fake.dialogs.boxes.empty());
  EXPECT_EQ(fake.dialogs.boxes[0].caption, "Restore from backup");
  EXPECT_THAT(user.Get("ComboBox2").items, ElementsAre("Quiet"));
}

TEST_F(MainWindowTest, WindowModeStartsWithoutArgumentsAndAfterShowGui) {
  AddCard(0, 7);
  HeadlessBackend headless(fake.dialogs);
  std::vector<std::string> seen;
  headless.whileOpen = [&](Form& form) {
    seen.push_back(form.window().caption + " | " + form.control(form.Find("ComboBox1")).items.at(0));
  };
  auto runWindow = [&] { RunMainWindow(app, headless); };
  EXPECT_EQ(RunProgram(app, {}, runWindow), 0);
  EXPECT_EQ(RunProgram(app, {"-consoleonly", "-showgui", "xy"}, runWindow), 0);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0], std::string("Tunewright ") + kVersionText + " | " + app.gpus.at(0).displayName);
  EXPECT_EQ(seen[1], seen[0]);
  EXPECT_EQ(app.gpus.size(), 1u);  // emptied after the arguments, rebuilt by the window
}

// A field's tip names the range the field takes and the shown card's limits and default;
// the OverdriveN state defaults are asked of the driver once per card.
TEST_F(MainWindowTest, FieldTipsNameTheRangeAndTheShownCardsDefault) {
  test::FakeAdlCard& polaris = AddCard(0, 7);
  polaris.defaultGpuLevels[1] = {65000, 800, 1, 0};  // differs from what the card holds now
  polaris.caps.power.iDefault = 5;
  // A setting the card lacks comes back as 0..0: no limits to name.
  AddCard(1, 8).od8Init[adl::kOd8FanCurveTemperature1 + 6] = {0, 0, 0, 75};
  HeadlessUser user = Open();
  const int levelReads = adl.Calls("ADL2_OverdriveN_SystemClocksX2_Get");
  struct Tip {
    const char* field;
    const char* overdriveN;
    const char* overdrive8;
  } const tips[] = {
      {"GPU_Clock_1", "Allowed 0..9999 MHz, card 300..2000, default 650",
       "Allowed 0..9999 MHz, card 0..3010, default 1500"},
      {"GPU_Vcc_1", "Allowed 0..9999 mV, card 750..1200, default 800", "Allowed 0..9999 mV, card 0..1810, default 900"},
      {"Mem_Clock_2", "Allowed 0..9999 MHz, card 300..2250, default 2000", "Allowed 0..9999 MHz"},
      {"Fan_Temp_3", "Allowed -1..9999 \xC2\xB0" "C, card 25..100, default 75",
       "Allowed -1..9999 \xC2\xB0" "C, default 75"},
      {"Power_Target", "Allowed -9999..9999 %, card -50..50, default 5",
       "Allowed -9999..9999 %, card -20..20, default 0"},
      {"Mem_TimingBox", "Allowed 0..2, default 0", "Allowed 0..2, default 0"},
  };
  for (const Tip& tip : tips) EXPECT_EQ(user.Tooltip(tip.field), tip.overdriveN) << tip.field;
  user.Select("ComboBox1", 1);
  for (const Tip& tip : tips) EXPECT_EQ(user.Tooltip(tip.field), tip.overdrive8) << tip.field;
  user.Select("ComboBox1", 0);
  EXPECT_EQ(user.Tooltip("GPU_Clock_1"), tips[0].overdriveN);
  EXPECT_EQ(adl.Calls("ADL2_OverdriveN_SystemClocksX2_Get"), levelReads + 1) << "the current states only";
}

TEST(FieldTipTest, NamesOnlyWhatTheCardReported) {
  struct Row {
    std::optional<CardRange> range;
    std::optional<int32_t> cardDefault;
    const char* tip;
  } const rows[] = {
      {CardRange{800, 2100}, 1300, "Allowed 0..9999 MHz, card 800..2100, default 1300"},
      {CardRange{800, 2100}, std::nullopt, "Allowed 0..9999 MHz, card 800..2100"},
      {std::nullopt, 1300, "Allowed 0..9999 MHz, default 1300"},
      {std::nullopt, std::nullopt, "Allowed 0..9999 MHz"},
  };
  for (const Row& row : rows) EXPECT_EQ(FieldTip(0, 9999, "MHz", row.range, row.cardDefault), row.tip);
}

}  // namespace
}  // namespace tw::ui
