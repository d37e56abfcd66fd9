#include "profiles/settings_store.h"

#include <gtest/gtest.h>

#include "profiles/fan_deactivated_gpus.h"
#include "profiles/window_position.h"
#include "profiles_fixture.h"

namespace tw::test {
namespace {

using SettingsStoreTest = ProfilesTest;

constexpr std::string_view kAllOn =
    "[General]\nShowBusNumber=1\nShowPnpString=1\nShowAdapterIndex=1\nShowFriendlyName=1\nShowRegistryKey=1\n"
    "DisplayFanMenu=1\nDisplayPowerMenu=1\nFanDeactivatedGpus=1;3\nIgnoreError-8=1\nResetBeforeApply=1\n"
    "CheckValuesMismatch=1\nDoNotListUnsupported=1\nEnableI2c=5\n\n";

TEST_F(SettingsStoreTest, WindowModeReadsEveryKeyOfTheMainFile) {
  PutIni(kAllOn);
  const WindowMenuSwitches menus = LoadAppSettings(app, false);
  const OptionSet& o = app.options;
  EXPECT_TRUE(o.ShowBusNumber && o.ShowPnpString && o.ShowAdapterIndex && o.ShowFriendlyName && o.ShowRegistryKey);
  EXPECT_TRUE(o.IgnoreError8 && o.ResetBeforeApply && o.CheckValuesMismatch && o.DoNotListUnsupported);
  EXPECT_TRUE(o.EnableI2c);  // any integer other than 0
  EXPECT_TRUE(menus.displayFanMenu && menus.displayPowerMenu);
  EXPECT_EQ(o.FanDeactivatedGpus, ";1;3;");
  EXPECT_FALSE(app.regulatorDetection.consoleMode);
  EXPECT_TRUE(app.regulatorDetection.scan);  // no [I2C] section
}

TEST_F(SettingsStoreTest, ConsoleModeLeavesTheDisplaySwitchesOff) {
  PutIni(std::string(kAllOn) + "[I2C]\nGPU0=7;32\n\n");
  app.options.ShowBusNumber = true;
  app.regulatorDetection.done = true;
  const WindowMenuSwitches menus = LoadAppSettings(app, true);
  const OptionSet& o = app.options;
  EXPECT_FALSE(o.ShowBusNumber || o.ShowPnpString || o.ShowAdapterIndex || o.ShowFriendlyName || o.ShowRegistryKey);
  EXPECT_FALSE(menus.displayFanMenu || menus.displayPowerMenu);
  EXPECT_TRUE(o.IgnoreError8 && o.EnableI2c);
  EXPECT_TRUE(app.regulatorDetection.consoleMode);
  EXPECT_FALSE(app.regulatorDetection.done);
  EXPECT_FALSE(app.regulatorDetection.scan);  // [I2C] is there: verify the stored locations
}

TEST_F(SettingsStoreTest, FanListMatchesWholeIdsOnly) {
  PutIni("[General]\nFanDeactivatedGpus=1;3\n\n");
  LoadAppSettings(app, true);
  const std::string& list = app.options.FanDeactivatedGpus;
  EXPECT_TRUE(IsFanDeactivated(list, 1));
  EXPECT_TRUE(IsFanDeactivated(list, 3));
  EXPECT_FALSE(IsFanDeactivated(list, 13));
  EXPECT_FALSE(IsFanDeactivated(list, 0));
  EXPECT_FALSE(IsFanDeactivated("", 0));
}

TEST_F(SettingsStoreTest, MissingFilesGiveTheDefaultsAndNoScan) {
  app.options.EnableI2c = true;
  app.options.FanDeactivatedGpus = ";0;";
  app.options.NumberOfBackups = 3;
  app.options.CreateAutomatically = true;
  app.regulatorDetection.scan = true;
  LoadAppSettings(app, false);
  const OptionSet defaults;
  EXPECT_EQ(app.options.EnableI2c, defaults.EnableI2c);
  EXPECT_EQ(app.options.FanDeactivatedGpus, "");
  EXPECT_EQ(app.options.NumberOfBackups, 10);
  EXPECT_FALSE(app.options.CreateAutomatically);
  EXPECT_FALSE(app.regulatorDetection.scan);
  EXPECT_TRUE(fake.dialogs.boxes.empty());
}

TEST_F(SettingsStoreTest, BackupSettingsComeFromTheirOwnFileWithNumberDefaultTen) {
  PutFile(BackupIniKey(), "[General]\nCreateAutomatically=1\nRestoreAutomatically=1\nDoNotConfirmOnRestore=1\n"
                          "LimitNumberOfBackups=1\nNumberOfBackups=abc\n\n");
  LoadAppSettings(app, true);
  const OptionSet& o = app.options;
  EXPECT_TRUE(o.CreateAutomatically && o.RestoreAutomatically && o.DoNotConfirmOnRestore && o.LimitNumberOfBackups);
  EXPECT_EQ(o.NumberOfBackups, 10);
  PutFile(BackupIniKey(), "[General]\nNumberOfBackups=3\n\n");
  LoadAppSettings(app, true);
  EXPECT_EQ(app.options.NumberOfBackups, 3);
}

TEST_F(SettingsStoreTest, ClosingTheDialogWithoutChangesWritesNeitherFile) {
  PutIni("[General]\nShowBusNumber=1\n\n");
  PutFile(BackupIniKey(), "[General]\nCreateAutomatically=1\n\n");
  SettingsValues dialog;
  dialog.ShowBusNumber = true;
  dialog.CreateAutomatically = true;  // NumberOfBackups 10 equals the missing key's default
  fake.files.calls.clear();
  EXPECT_TRUE(SaveSettings(app.ini(), dialog));
  for (const std::string& call : fake.files.calls)
    EXPECT_EQ(call.find("MoveFileOver"), std::string::npos) << call;
}

TEST_F(SettingsStoreTest, ChangedMainKeysAreWrittenInPlaceAndI2cSectionGoesWithI2cOff) {
  PutIni("[General]\nEnableI2c=1\nMine=x\n\n[I2C]\nGPU0=7;32\n\n[Profile_0]\nName=A\n\n");
  SettingsValues dialog;
  dialog.ShowPnpString = true;
  EXPECT_TRUE(SaveSettings(app.ini(), dialog));
  EXPECT_EQ(IniText(), "[General]\nEnableI2c=0\nMine=x\nShowPnpString=1\n\n[Profile_0]\nName=A\n\n");
  EXPECT_FALSE(fake.files.files.count(BackupIniKey()));  // backup settings unchanged from defaults
}

TEST_F(SettingsStoreTest, ChangedBackupSettingsCreateFolderAndFileWithAllFiveKeys) {
  SettingsValues dialog;
  dialog.LimitNumberOfBackups = true;
  dialog.NumberOfBackups = 4;
  EXPECT_TRUE(SaveSettings(app.ini(), dialog));
  EXPECT_TRUE(fake.files.folders.count(BackupFolderKey()));
  EXPECT_EQ(Text(BackupIniKey()),
            "[General]\nCreateAutomatically=0\nRestoreAutomatically=0\nLimitNumberOfBackups=1\n"
            "DoNotConfirmOnRestore=0\nNumberOfBackups=4\n\n");
  EXPECT_FALSE(fake.files.files.count(IniKey()));  // main keys all equal their defaults
  LoadAppSettings(app, false);
  EXPECT_TRUE(app.options.LimitNumberOfBackups);
  EXPECT_EQ(app.options.NumberOfBackups, 4);
}

TEST_F(SettingsStoreTest, BackupFolderThatCannotBeCreatedIsReportedAndNothingWritten) {
  fake.files.failures["CreateDirectories"] = 5;
  SettingsValues dialog;
  dialog.RestoreAutomatically = true;
  EXPECT_FALSE(SaveSettings(app.ini(), dialog));
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{
                            "Failed to create directory \"" + Shown(app.paths.backupIniPath.parent_path()) + "\" (ErrorCode: 5) (Access is denied.)"});
  EXPECT_FALSE(fake.files.files.count(BackupIniKey()));
}

TEST_F(SettingsStoreTest, ApplyKeepsTheRestartSettingsAndRefreshesNames) {
  app.gpus.resize(1);
  app.options.EnableI2c = false;
  SettingsValues dialog;
  dialog.EnableI2c = true;
  dialog.DoNotListUnsupported = true;
  dialog.ShowBusNumber = true;
  dialog.NumberOfBackups = 7;
  dialog.DoNotConfirmOnRestore = true;
  int refills = 0;
  ApplyDialogSettings(app.options, dialog, true, [&] { ++refills; });
  EXPECT_FALSE(app.options.EnableI2c);
  EXPECT_FALSE(app.options.DoNotListUnsupported);
  EXPECT_TRUE(app.options.ShowBusNumber);
  EXPECT_TRUE(app.options.DoNotConfirmOnRestore);
  EXPECT_EQ(app.options.NumberOfBackups, 7);
  EXPECT_EQ(refills, 1);
}

TEST_F(SettingsStoreTest, ApplyDoesNothingWithoutASelectedCard) {
  SettingsValues dialog;
  dialog.ShowBusNumber = true;
  int refills = 0;
  app.gpus.resize(1);
  ApplyDialogSettings(app.options, dialog, false, [&] { ++refills; });
  EXPECT_FALSE(app.options.ShowBusNumber);
  EXPECT_EQ(refills, 0);
}

TEST_F(SettingsStoreTest, ForgetI2cSectionRemovesOnlyThatSection) {
  ForgetI2cSection(app.ini());
  EXPECT_FALSE(fake.files.files.count(IniKey()));  // no file: nothing created
  PutIni("[General]\nEnableI2c=1\n\n[i2c]\nGPU0=7;32\n\n[Profile_0]\nName=A\n\n");
  ForgetI2cSection(app.ini());
  EXPECT_EQ(IniText(), "[General]\nEnableI2c=1\n\n[Profile_0]\nName=A\n\n");
}

TEST_F(SettingsStoreTest, WindowPositionRoundTripsAndZeroMeansCentred) {
  EXPECT_TRUE(LoadWindowPosition(app.ini()).centred());
  SaveWindowPosition(app.ini(), {10, 20});
  EXPECT_FALSE(fake.files.files.count(IniKey()));  // no main file: nothing written
  PutIni("[General]\nMainWindowLeft=x\nMainWindowTop=5\n\n");
  EXPECT_EQ(LoadWindowPosition(app.ini()).left, 0);
  EXPECT_EQ(LoadWindowPosition(app.ini()).top, 5);
  SaveWindowPosition(app.ini(), {-10, 20});
  const WindowPosition loaded = LoadWindowPosition(app.ini());
  EXPECT_EQ(loaded.left, -10);
  EXPECT_EQ(loaded.top, 20);
  SaveWindowPosition(app.ini(), {0, 0});
  EXPECT_EQ(LoadWindowPosition(app.ini()).left, -10);
}

TEST_F(SettingsStoreTest, WindowPositionIsSilentOnAReadOnlyFileAndLoudOnOtherFailures) {
  PutIni("[General]\n\n");
  const std::string before = fake.files.files[IniKey()];
  fake.files.readOnly.insert(IniKey());
  SaveWindowPosition(app.ini(), {1, 2});
  EXPECT_TRUE(fake.dialogs.boxes.empty());
  EXPECT_EQ(fake.files.files[IniKey()], before);
  fake.files.readOnly.clear();
  fake.files.failures["WriteTemporaryFile"] = 112;
  SaveWindowPosition(app.ini(), {1, 2});
  ASSERT_EQ(fake.dialogs.boxes.size(), 1u);
  EXPECT_EQ(fake.dialogs.boxes[0].text, "Failed to save \"" + Shown(app.paths.iniPath) + "\" (ErrorCode: 112)");
  EXPECT_EQ(fake.files.files[IniKey()], before);
}

TEST_F(SettingsStoreTest, FanDeactivatedGpusIsWrittenFromTheCardsAndRemovedWhenNoneIsOff) {
  PutIni("[General]\nFanDeactivatedGpus=9\nOther=1\n\n");
  FanListSave save = SaveFanDeactivatedGpus(app.ini(), {true, false, true, false});
  EXPECT_TRUE(save.saved);
  EXPECT_EQ(IniText(), "[General]\nFanDeactivatedGpus=1;3\nOther=1\n\n");
  EXPECT_EQ(save.anyDeactivated, true);
  save = SaveFanDeactivatedGpus(app.ini(), {true, true, true, true});
  EXPECT_TRUE(save.saved);
  EXPECT_EQ(IniText(), "[General]\nOther=1\n\n");
  EXPECT_EQ(save.anyDeactivated, false);
}

}  // namespace
}  // namespace tw::test
