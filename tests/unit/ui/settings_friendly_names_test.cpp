// The settings dialog and the friendly names on the headless backend, against the fake
// driver, the in-memory files and the fake display devices.

#include <gmock/gmock.h>

#include "base/text.h"
#include "gpu/driver_fixture.h"
#include "gpu/friendly_names.h"
#include "ini/ini_encoding.h"
#include "ui/app_friendly_name_operations.h"
#include "ui/app_main_form_operations.h"
#include "ui/app_settings_operations.h"
#include "ui/friendly_name_form.h"
#include "ui/headless/headless_backend.h"
#include "ui/main_form.h"
#include "ui/settings_form.h"

namespace tw::ui {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::Not;

class WindowDialogsTest : public test::DriverFixture {
 protected:
  HeadlessBackend backend{fake.dialogs};
  AppMainFormOperations ops{app};
  AppFriendlyNameOperations friendlyNameOps{app};
  std::unique_ptr<MainForm> window;
  std::unique_ptr<FormView> view;
  std::unique_ptr<AppSettingsOperations> settingsOps;
  std::unique_ptr<SettingsForm> settings;
  std::unique_ptr<ChangeFriendlyNameCommand> command;

  // Cards "PCI\\CARDk", each with a display device; `names` the devices' friendly names.
  void Rig(std::vector<std::optional<std::string>> names, const std::string& ini = "[General]\n") {
    for (int k = 0; k < static_cast<int>(names.size()); ++k) {
      adl.AddAdapter(k, k + 1, 0, 0, "Radeon " + std::to_string(k), 1002, "PCI\\CARD" + std::to_string(k));
      adl.AddOverdriveNCard(k);
      fake.displayDevices.devices.push_back({"PCI\\CARD" + std::to_string(k), names[static_cast<size_t>(k)]});
    }
    PutFile(app.paths.iniPath, ini);
    window = std::make_unique<MainForm>(ops, backend);
    view = backend.CreateView(window->form());
    window->Create();
    settingsOps = std::make_unique<AppSettingsOperations>(
        app, [this] { return window->SelectedCard() >= 0; }, [this] { window->RefillCardList(); });
    settings = std::make_unique<SettingsForm>(*settingsOps, backend);
    settings->Fill();
    command = std::make_unique<ChangeFriendlyNameCommand>(friendlyNameOps, backend, *window);
    window->onChangeFriendlyName = [this] { command->Run(); };
  }
  void PutFile(const Path& path, const std::string& text) {
    fake.files.files[test::InMemoryFileSystem::Key(path)] = EncodeIniText(ReplaceAll(text, "\n", "\r\n"));
  }
  std::string FileText(const Path& path) {
    const auto file = fake.files.files.find(test::InMemoryFileSystem::Key(path));
    return file == fake.files.files.end() ? "" : DecodeIniBytes(file->second, fake.ansi).text;
  }
  std::vector<std::string> CardNames() { return window->form().control(window->controls().cardList).items; }
};

TEST_F(WindowDialogsTest, BackupBoxesFollowTheirSwitchesAndKeepTheirStates) {
  Rig({std::nullopt});
  HeadlessUser user(settings->form());
  const std::vector<const char*> dependents = {"CheckBox9", "CheckBox11", "CheckBox12", "SpinEdit1", "Label6"};
  for (const char* name : dependents) EXPECT_FALSE(user.Enabled(name)) << name;
  user.Click("Label9");  // the caption extension toggles "Automatically make .ini file backup when"
  EXPECT_TRUE(user.Get("CheckBox10").checked);
  EXPECT_TRUE(user.Enabled("CheckBox9") && user.Enabled("CheckBox12") && user.Enabled("Label6"));
  EXPECT_FALSE(user.Enabled("CheckBox11") || user.Enabled("SpinEdit1"));
  user.Click("Label6");
  user.Click("CheckBox11");
  user.Click("CheckBox12");
  EXPECT_TRUE(user.Enabled("CheckBox11") && user.Enabled("SpinEdit1"));
  user.Click("CheckBox10");
  for (const char* name : dependents) EXPECT_FALSE(user.Enabled(name)) << name;
  for (const char* name : {"CheckBox9", "CheckBox11", "CheckBox12"}) EXPECT_TRUE(user.Get(name).checked) << name;
  user.Click("Label6");  // disabled: no toggle
  EXPECT_TRUE(user.Get("CheckBox9").checked);
  user.Click("Label5");
  EXPECT_TRUE(user.Get("CheckBox8").checked);
}

TEST_F(WindowDialogsTest, ClosingWritesBothFilesAndAppliesAllButTheRestartSwitches) {
  Rig({std::nullopt, std::nullopt}, "[General]\nForeign=1\n[I2C]\nGPU0=1\n");
  window->form().UserSelected(window->controls().cardList, 1);
  settings->Show(window->form());
  HeadlessUser user(settings->form());
  user.Click("Button2");  // "Rescan lines": the regulator locations go at once
  EXPECT_EQ(FileText(app.paths.iniPath).find("[I2C]"), std::string::npos);
  for (const char* box : {"CheckBox2", "CheckBox3", "CheckBox10"}) user.Click(box);
  user.Click("Button1");
  const std::string ini = FileText(app.paths.iniPath);
  for (const char* line : {"Foreign=1\r\n", "ShowBusNumber=1\r\n", "EnableI2c=1\r\n"})
    EXPECT_NE(ini.find(line), std::string::npos) << line << ini;
  EXPECT_NE(FileText(app.paths.backupIniPath).find("CreateAutomatically=1"), std::string::npos);
  EXPECT_FALSE(app.options.EnableI2c);
  EXPECT_TRUE(app.options.ShowBusNumber && app.options.CreateAutomatically);
  EXPECT_EQ(CardNames()[1], "1: Radeon 1  (Bus: 2:0:0)");
  EXPECT_EQ(window->SelectedCard(), 1);
  settings->Show(window->form());  // shown again: what was left, and no second rescan
  EXPECT_FALSE(user.Enabled("Button2"));
  EXPECT_TRUE(user.Get("CheckBox3").checked);
}

TEST_F(WindowDialogsTest, MakeBackupNowPrunesToTheDialogsNumberBeforeClosing) {
  Rig({std::nullopt});
  for (int day = 1; day <= 5; ++day)
    PutFile(app.paths.folder / "ini_backup" / ("2026-12-0" + std::to_string(day) + " 10.00.00 Tunewright.ini"), "");
  settings->Show(window->form());
  HeadlessUser user(settings->form());
  user.Click("CheckBox10");
  user.Click("CheckBox12");
  user.Type("SpinEdit1", "3");
  fake.dialogs.answers = {true};  // three go at once
  user.Click("Button3");
  int backups = 0;
  for (const std::string& name : fake.files.ListFiles(app.paths.folder / "ini_backup")) backups += name != "_ini_backup.ini";
  EXPECT_EQ(backups, 3);
  EXPECT_THAT(BoxTexts().back(), ::testing::StartsWith("File saved as \""));
}

TEST_F(WindowDialogsTest, ANumberOfBackupsThatIsNoNumberInRangeIsRefused) {
  Rig({std::nullopt});
  settings->Show(window->form());
  HeadlessUser user(settings->form());
  user.Click("CheckBox10");
  user.Click("CheckBox12");
  for (const char* typed : {"", "abc", "0"}) {
    fake.dialogs.boxes.clear();
    user.Type("SpinEdit1", typed);  // and left, as a click on "Make backup now" would
    EXPECT_THAT(BoxTexts(), ElementsAre("\"" + std::string(typed) +
                                        "\" is not a number of backups from 1 to 9999; the limit stays 10"));
    EXPECT_EQ(settings->Values().NumberOfBackups, 10);
  }
}

TEST_F(WindowDialogsTest, FriendlyNamesShowInTheSelectorWithTheirMenuEntry) {
  Rig({"Left", std::nullopt}, "[General]\nShowFriendlyName=1\n");
  EXPECT_THAT(CardNames(), ElementsAre("0: Radeon 0  (Left)", "1: Radeon 1"));
  HeadlessUser main(window->form());
  fake.machine.admin = false;
  EXPECT_TRUE(main.ContextMenu("ComboBox1", "Change friendly name"));
  EXPECT_THAT(BoxTexts(), ElementsAre("Administrator rights are required to change friendly name"));
  // A device set that cannot be taken hides the entry and leaves the names.
  fake.displayDevices.failures["OpenPresent"] = 5;
  window->RefillCardList();
  EXPECT_THAT(BoxTexts().back(), ::testing::StartsWith("SetupDiGetClassDevs function failed"));
  EXPECT_THAT(CardNames(), ElementsAre("0: Radeon 0  (Left)", "1: Radeon 1"));
  EXPECT_FALSE(main.ContextMenu("ComboBox1", "Change friendly name"));
  fake.displayDevices.failures.clear();
  // Settings off: the names and the entry go at the refresh.
  settings->Show(window->form());
  HeadlessUser(settings->form()).Click("CheckBox6");
  settings->form().Close();
  EXPECT_THAT(CardNames(), ElementsAre("0: Radeon 0", "1: Radeon 1"));
  EXPECT_FALSE(main.ContextMenu("ComboBox1", "Change friendly name"));
}

TEST_F(WindowDialogsTest, DialogWritesOnlyChangesAndGoesOnAfterAFailure) {
  Rig({"Left", "Right", std::nullopt}, "[General]\nShowFriendlyName=1\n");
  fake.machine.admin = true;
  HeadlessUser main(window->form());
  main.ContextMenu("ComboBox1", "Change friendly name");
  HeadlessUser user(command->dialog()->form());
  EXPECT_EQ(user.Get("ValueListEditor1").items[0],
            "0: Radeon 0  (Left) | Bus:Device:Function: 1:0:0 | PNP string: PCI\\CARD0 | Adapter index: 0 | "
            "Registry key: 0000");
  fake.displayDevices.calls.clear();
  user.Click("Button1");  // nothing changed: nothing written
  for (const char* change : {"Set", "Remove"})
    EXPECT_THAT(fake.displayDevices.calls, Not(Contains(::testing::StartsWith(change))));
  main.ContextMenu("ComboBox1", "Change friendly name");
  fake.displayDevices.failures["RemoveFriendlyName"] = 5;
  user.Edit("ValueListEditor1", 0, "   ");
  user.Edit("ValueListEditor1", 2, " Third ");
  user.Click("Button1");
  EXPECT_THAT(BoxTexts(), Contains("Failed to change friendly name for GPU 0"));
  EXPECT_EQ(fake.displayDevices.devices[2].friendlyName, "Third");
  EXPECT_THAT(CardNames(), ElementsAre("0: Radeon 0  (Left)", "1: Radeon 1  (Right)", "2: Radeon 2  (Third)"));
}

TEST_F(WindowDialogsTest, EnterAndEscapeAnswerEveryDialogAsItsButtonsWould) {
  Rig({"Left", "Right"}, "[General]\nShowFriendlyName=1\n");
  fake.machine.admin = true;
  HeadlessUser main(window->form());
  for (const bool enter : {false, true}) {
    main.ContextMenu("ComboBox1", "Change friendly name");
    Form& names = command->dialog()->form();
    HeadlessUser(names).Edit("ValueListEditor1", 0, "New");
    enter ? names.UserPressedEnter() : void(names.UserPressedEscape());
    EXPECT_EQ(fake.displayDevices.devices[0].friendlyName, enter ? "New" : "Left") << enter;  // OK, or Cancel
    settings->Show(window->form());
    enter ? settings->form().UserPressedEnter() : void(settings->form().UserPressedEscape());
    EXPECT_FALSE(settings->visible()) << enter;  // "Close"
  }
}

TEST_F(WindowDialogsTest, OneCardIsNamedInAnInputBox) {
  Rig({std::nullopt}, "[General]\nShowFriendlyName=1\n");
  fake.machine.admin = true;
  fake.dialogs.textAnswers = {"  Main card ", std::nullopt};
  HeadlessUser main(window->form());
  main.ContextMenu("ComboBox1", "Change friendly name");
  main.ContextMenu("ComboBox1", "Change friendly name");  // Cancel: nothing changes
  EXPECT_THAT(fake.dialogs.textShown, ElementsAre("", "Main card"));
  EXPECT_EQ(fake.displayDevices.devices[0].friendlyName, "Main card");
  EXPECT_THAT(CardNames(), ElementsAre("0: Radeon 0  (Main card)"));
  EXPECT_EQ(command->dialog(), nullptr);
}

TEST(FriendlyNameTest, LongNamesAreCutTo259UnitsWithinACharacter) {
  const std::string a259(259, 'a');
  EXPECT_EQ(CutFriendlyName(a259), a259);
  EXPECT_EQ(CutFriendlyName(a259 + "b"), a259);
  // U+1F600 takes two UTF-16 units: it would straddle the limit and goes whole.
  EXPECT_EQ(CutFriendlyName(std::string(258, 'a') + "\xF0\x9F\x98\x80"), std::string(258, 'a'));
  EXPECT_EQ(CutFriendlyName("\xD0\x9A\xD0\xB0\xD1\x80\xD1\x82\xD0\xB0"), "\xD0\x9A\xD0\xB0\xD1\x80\xD1\x82\xD0\xB0");
}

}  // namespace
}  // namespace tw::ui
