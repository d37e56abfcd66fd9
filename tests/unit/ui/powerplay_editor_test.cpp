// The PowerPlay editor window on the headless backend, against the in-memory registry,
// files and devices: statuses, the checks of "Save", linked voltages, files and the
// registry editor.

#include <gmock/gmock.h>

#include "fakes/fake_platform.h"
#include "fakes/fake_registry.h"
#include "messages/message_writer.h"
#include "platform/registry_editor.h"
#include "powerplay/reg_file.h"
#include "powerplay/table_builder.h"
#include "profiles/option_set.h"
#include "ui/headless/headless_backend.h"
#include "ui/powerplay_editor_form.h"

namespace tw::ui {
namespace {

using ::testing::ElementsAre;

constexpr std::string_view kKey = "{4d36e968-e325-11ce-bfc1-08002be10318}\\0001";
const std::string kRegPath = "SYSTEM\\CurrentControlSet\\Control\\Class\\" + std::string(kKey);
const std::string kInstance = "PCI\\VEN_1002&DEV_67DF&SUBSYS_E3471DA2&REV_E7\\4&1";

// Records the steps as one line: "-R" and "+R" for the redirection, typed words as 'word,
// and the 30 presses of Left as one "<".
class FakeRegedit final : public RegistryEditorWindows {
 public:
  std::string log;
  bool running = false;
  void DisableFileRedirection() override { Step("-R"); }
  void RevertFileRedirection() override { Step("+R"); }
  bool FindEditor() override { return running; }
  void AskEditorToClose() override { Step("Close"), running = false; }
  intptr_t StartEditor(const Path& program, uint32_t) override {
    Step("Start " + program.string());
    running = true;
    return 42;
  }
  void ShowEditor() override { Step("Show"); }
  bool FocusPart(RegeditPart part) override { return Step(part == RegeditPart::Tree ? "Tree" : "List"), true; }
  void PressKey(RegeditKey key) override {
    if (key == RegeditKey::Right || !log.ends_with("< ")) Step(key == RegeditKey::Right ? ">" : "<");
  }
  void TypeCharacter(char16_t c) override {
    if (!typing_) log += "'";
    typing_ = true;
    log.insert(log.end() - (log.ends_with(" ") ? 1 : 0), static_cast<char>(c));
  }
  void ReleaseLeftButton() override { Step("Up"); }

 private:
  void Step(const std::string& step) {
    if (typing_) log += " ";
    typing_ = false;
    log += step + " ";
  }
  bool typing_ = false;
};

class PowerPlayEditorTest : public ::testing::Test {
 protected:
  test::FakePlatform fake;
  OptionSet options;
  MessageWriter messages{options.IgnoreError8, fake.platform};
  test::FakeRegistry registry;
  FakeRegedit regedit;
  PowerPlayEditorServices services{fake.platform, messages, registry, regedit, "C:/Tunewright"};
  HeadlessBackend backend{fake.dialogs};
  std::unique_ptr<PowerPlayEditor> editor;
  // GPU states 2 and 5 and memory state 1 share voltage record 2.
  test::TableSpec shape = [] {
    test::TableSpec shared;
    shared.gpu[5].voltageIndex = 2;
    shared.mem[1].voltageIndex = 2;
    return shared;
  }();
  PowerPlayTable table = test::BuildTable(shape).bytes;

  void PutTable(PowerPlayTable bytes) {
    registry.AddKey(RegistryRoot::LocalMachine, kRegPath).binaries["PP_PhmSoftPowerPlayTable"] = std::move(bytes);
  }
  PowerPlayTable& Stored() {
    return registry.AddKey(RegistryRoot::LocalMachine, kRegPath).binaries["PP_PhmSoftPowerPlayTable"];
  }
  HeadlessUser Open(bool admin, std::string name = "0: Radeon RX 580 Series") {
    fake.machine.admin = admin;
    editor = std::make_unique<PowerPlayEditor>(services, backend);
    editor->OpenEditor(std::string(name == "none" ? kNoCardKey : kKey), name, 800, 1200, kInstance);
    return HeadlessUser(editor->form());
  }
  std::vector<std::string> Boxes() {
    std::vector<std::string> texts;
    for (const test::ShownBox& box : fake.dialogs.boxes) texts.push_back(box.text);
    fake.dialogs.boxes.clear();
    return texts;
  }
};

TEST_F(PowerPlayEditorTest, RegistryStatusesWithAndWithoutAdministratorRights) {
  PowerPlayTable unsupported = table;
  unsupported[2] = 9;  // format revision
  PowerPlayTable badSize = table;
  badSize.push_back(0);
  struct Case {
    std::optional<PowerPlayTable> value;
    bool admin;
    const char* status;
    bool shown, deletable;
  } const cases[] = {
      {table, true, "Polaris table found", true, true},     {table, false, "Polaris table found", true, true},
      {std::nullopt, true, "not found", false, false},     {std::nullopt, false, "admin rights required", false, false},
      {badSize, true, "invalid size", false, false},       {unsupported, true, "not supported", false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.status);
    registry.keys.clear();
    if (c.value) PutTable(*c.value);
    HeadlessUser user = Open(c.admin);
    EXPECT_EQ(user.Text("Label9"), c.status);
    EXPECT_EQ(user.Showing("GPU_Clock_0"), c.shown);
    EXPECT_EQ(user.Enabled("Button4") && user.Enabled("Button7"), c.deletable);
    EXPECT_TRUE(user.Enabled("RadioButton1"));
    EXPECT_EQ(user.Get("RadioButton2").checked, !c.deletable);
    EXPECT_TRUE(Boxes().empty());
  }
  EXPECT_EQ(editor->form().window().className, "TForm3");
}

TEST_F(PowerPlayEditorTest, SaveAsksForRightsFirstThenChecksRangesAgainstTheCardLimits) {
  PutTable(table);
  HeadlessUser plainUser = Open(false);
  plainUser.Type("GPU_Clock_0", "50");
  plainUser.Click("Button3");
  EXPECT_THAT(Boxes(), ElementsAre("Administrator rights are required to save to registry"));

  HeadlessUser user = Open(true);
  struct Case {
    const char* field;
    const char* text;
    const char* message;  // empty: saved
  } const cases[] = {
      {"GPU_Clock_0", "50", "GPU P0 clock value too low (Minimum allowed: 100 MHz)"},
      {"GPU_Vcc_3", "1300", "GPU P3 voltage value too high (Maximum allowed: 1200 mV)"},
      {"GPU_Vcc_1", "700", "GPU P1 voltage value too low (Minimum allowed: 800 mV)"},
      {"Mem_Clock_2", "x", "Incorrect clock value entered in Memory P2"},
      {"Max_Mem", "99", "Max Memory Freq. clock value too low (Minimum allowed: 100 MHz)"},
      {"GPU_Vcc_3", "65288", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    user.Click("Button5");  // Undo
    user.Type(c.field, c.text, /*leave=*/false);  // a text still being typed is checked as it is
    user.Click("Button3");
    const std::vector<std::string> boxes = Boxes();
    if (*c.message) EXPECT_THAT(boxes, ElementsAre(c.message));
    else EXPECT_THAT(boxes, ElementsAre("Restart this GPU now?"));
  }
  EXPECT_EQ(test::Get16(Stored(), test::BuildTable(shape).VoltageAt(3)), 65288u);
  EXPECT_TRUE(user.Showing("Label8"));  // the restart was declined
}

TEST_F(PowerPlayEditorTest, SaveWritesTheEditsAndRestartsTheCard) {
  PutTable(table);
  fake.displayDevices.devices = {{kInstance, std::nullopt, 0}};
  HeadlessUser user = Open(true);
  user.Type("GPU_Clock_7", "2050");
  fake.dialogs.answers = {true};
  user.Click("Button3");
  const test::BuiltTable built = test::BuildTable(shape);
  EXPECT_EQ(test::Differences(Stored(), table), (std::vector<size_t>{built.GpuClockAt(7), built.GpuClockAt(7) + 1}));
  EXPECT_EQ(test::Get32(Stored(), built.GpuClockAt(7)), 205000u);
  EXPECT_EQ(fake.displayDevices.devices[0].restarts, 1);
  EXPECT_TRUE(fake.shell.starts.empty());
  EXPECT_FALSE(user.Showing("Label8"));

  // A value the registry refuses: the system's error, no status change and no question.
  registry.writeError = 5;
  user.Type("GPU_Clock_7", "2060");
  user.Click("Button3");
  EXPECT_THAT(Boxes(), ElementsAre("Restart this GPU now?", "Failed to write \"PP_PhmSoftPowerPlayTable\" to registry "
                                                            "(ErrorCode: 5) (Access is denied.)"));

  // Delete asks, removes the value and offers the restart.
  registry.writeError = 0;
  fake.dialogs.answers = {true, false};
  user.Click("Button4");
  EXPECT_THAT(Boxes(), ElementsAre("Are you sure to delete \"PP_PhmSoftPowerPlayTable\" value from registry?",
                                   "Restart this GPU now?"));
  EXPECT_EQ(user.Text("Label9"), "not found");
  EXPECT_FALSE(user.Showing("GPU_Clock_0"));
  EXPECT_FALSE(registry.keys.begin()->second.binaries.contains("PP_PhmSoftPowerPlayTable"));
}

TEST_F(PowerPlayEditorTest, AValueThatAppearsLaterIsTakenAndDeleteNeedsRights) {
  HeadlessUser user = Open(false);
  PutTable(table);
  user.Click("RadioButton1");
  EXPECT_EQ(user.Text("Label9"), "Polaris table found");
  user.Click("Button4");
  EXPECT_THAT(Boxes(), ElementsAre("Administrator rights are required to delete from registry"));
  EXPECT_EQ(Stored(), table);
}

TEST_F(PowerPlayEditorTest, LinkedVoltagesSpreadOnceAndUndoRestoresTheTable) {
  PutTable(table);
  HeadlessUser user = Open(true);
  EXPECT_EQ(user.Text("GPU_Clock_7") + " " + user.Text("Mem_Vcc_2") + " " + user.Text("Max_GPU") + " " +
                user.Text("Max_Mem") + " " + user.Text("Max_Power"),
            "2000 1150 2500 2250 50");
  EXPECT_TRUE(user.Showing("Mem_Clock_2"));
  EXPECT_FALSE(user.Showing("Mem_Clock_3") || user.Showing("Label8"));
  user.Type("GPU_Vcc_2", "1010", /*leave=*/false);
  EXPECT_EQ(user.Text("GPU_Vcc_5") + " " + user.Text("Mem_Vcc_1"), "1010 1010");
  EXPECT_EQ(user.Text("GPU_Vcc_2") + " " + user.Text("GPU_Vcc_3") + " " + user.Text("Mem_Vcc_2"), "1010 950 1150");
  user.Type("Mem_Vcc_1", "0", /*leave=*/false);
  EXPECT_EQ(user.Text("GPU_Vcc_2") + " " + user.Text("GPU_Vcc_5"), "0 0");
  user.Click("Button5");
  EXPECT_EQ(user.Text("GPU_Vcc_2") + " " + user.Text("GPU_Vcc_5") + " " + user.Text("Mem_Vcc_1"), "900 900 900");
}

TEST_F(PowerPlayEditorTest, RegFilesKeepUncheckedValuesAndNameTheKeyOfACardlessEditor) {
  HeadlessUser user = Open(true, "none");
  EXPECT_EQ(user.Text("Label9"), "not found");
  fake.files.files["C:/in.reg"] = EncodeUtf16LeWithBom(BuildRegFileText(table, kRegPath));
  backend.fileAnswers = {"C:/in.reg", "C:/out.reg"};
  user.Click("Label10");  // the radio button's caption goes on here
  EXPECT_TRUE(user.Get("RadioButton2").checked);
  user.Click("Button1");
  EXPECT_EQ(user.Text("Edit1"), "HKEY_LOCAL_MACHINE\\" + kRegPath + "\\PP_PhmSoftPowerPlayTable");
  EXPECT_EQ(user.Text("Label2") + " | " + user.Text("Edit2"), "Polaris table found | C:/in.reg");
  EXPECT_FALSE(user.Showing("Button3"));  // no card: never "Save"
  user.Type("GPU_Clock_1", "50");
  user.Click("Button6");
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(backend.fileRequests.back().defaultExtension, "reg");
  PowerPlayTable expected = table;
  test::Put32(expected, test::BuildTable(shape).GpuClockAt(1), 5000);
  EXPECT_EQ(fake.files.files["C:/out.reg"], EncodeUtf16LeWithBom(BuildRegFileText(expected, kRegPath)));
}

TEST_F(PowerPlayEditorTest, TheArrowOpensTheRegistryEditorAtTheKey) {
  PutTable(table);
  Open(false).Click("Button8");
  registry.AddKey(RegistryRoot::CurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Regedit");
  regedit.running = true;  // an editor already open is closed first
  Open(false).Click("Button8");
  Open(true).Click("Button8");
  const std::string start = "Start C:\\Windows\\regedit.exe ";
  const std::string walk = "Show Tree < > 'HKEY_LOCAL_MACHINE > 'SYSTEM > 'CurrentControlSet > 'Control > 'Class > "
                           "'{4d36e968-e325-11ce-bfc1-08002be10318} > '0001 ";
  const std::string value = "List Up 'PP_PhmSoftPowerPlayTable +R ";
  // Without rights and without the editor's key; without rights at "LastKey"; with rights
  // the tree is walked although "LastKey" could be written.
  EXPECT_EQ(regedit.log,
            "-R " + start + walk + value + "-R Close " + start + value + "-R Close " + start + walk + value);
  EXPECT_EQ(registry.keys["HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Regedit"].strings["LastKey"],
            "HKEY_LOCAL_MACHINE\\" + kRegPath);
}

// The driver names a card's key by its whole kernel path; the editor needs what follows
// "...\Control\Class\".
TEST(CardKeyTest, TheKeyBelowTheClassKeyOfTheDriversPath) {
  EXPECT_EQ(CardKeyFromRegistryKey("\\Registry\\Machine\\System\\CurrentControlSet\\Control\\Class\\{4d}\\0003"),
            "{4d}\\0003");
  EXPECT_EQ(CardKeyFromRegistryKey("\\REGISTRY\\MACHINE\\SYSTEM\\ControlSet001\\CONTROL\\CLASS\\{4d}\\0001"),
            "{4d}\\0001");
  EXPECT_EQ(CardKeyFromRegistryKey("{4d}\\0000"), "{4d}\\0000");
}

}  // namespace
}  // namespace tw::ui
