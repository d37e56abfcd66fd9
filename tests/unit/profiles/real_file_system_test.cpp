// The store against the host's real file system in a temporary folder.
#ifndef _WIN32

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "app/app.h"
#include "fakes/fake_platform.h"
#include "platform/posix/file_system_posix.h"
#include "platform/posix/last_error.h"
#include "platform/posix/system_services_posix.h"
#include "profiles/backup_names.h"
#include "profiles/ini_encoding.h"
#include "profiles/make_backup.h"
#include "profiles/profile_store.h"

namespace tw::test {
namespace {

// The real file system with a fault between writing the temporary file and the move.
class FaultyFileSystem final : public posix::FileSystemPosix {
 public:
  enum class Fault { None, FailMove, CrashBeforeMove };
  Fault fault = Fault::None;
  bool MoveFileOver(const Path& source, const Path& target) override {
    if (fault == Fault::FailMove) {
      posix::SetLastError(posix::kErrorDiskFull);
      return false;
    }
    if (fault == Fault::CrashBeforeMove) throw std::runtime_error("power lost");
    return FileSystemPosix::MoveFileOver(source, target);
  }
};

class RealFileSystemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "tw-profiles-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    folder = pattern;
    fake.machine.executablePath = folder / "Tunewright.exe";
  }
  void TearDown() override {
    std::error_code ignored;
    ::chmod((folder / "Tunewright.ini").c_str(), 0644);
    std::filesystem::remove_all(folder, ignored);
  }

  static std::string Slurp(const Path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
  }
  static void Spit(const Path& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }

  Path folder;
  FakePlatform fake;
  FaultyFileSystem files;
  posix::SystemErrorsPosix errors;
  Platform platform{fake.ansi, fake.clock, fake.console, fake.dialogs, files, fake.libraries, fake.machine, errors};
  std::unique_ptr<App> app;
  App& MakeApp() {
    app = std::make_unique<App>(platform);
    return *app;
  }
  Path Ini() const { return folder / "Tunewright.ini"; }
};

constexpr std::string_view kIni =
    "[General]\r\nEnableI2c=0\r\n\r\n[Profile_0]\r\nName=Daily\r\nGPU_P0=300;750\r\nGPU_P1=1000;800;0\r\n"
    "Fan_P0=30;20\r\nFan_Acoustic=1200\r\nPower_Target=20\r\n\r\n";

TEST_F(RealFileSystemTest, LoadAndSaveRoundTripByteForByte) {
  const std::string bytes = EncodeIniText(kIni);
  Spit(Ini(), bytes);
  App& a = MakeApp();
  ASSERT_EQ(LoadProfiles(a), 1);
  ASSERT_TRUE(SaveProfiles(a));
  EXPECT_EQ(Slurp(Ini()), bytes);
  EXPECT_FALSE(std::filesystem::exists(folder / "Tunewright.ini.tmp"));
}

TEST_F(RealFileSystemTest, AFailedMoveLeavesTheOriginalIntactAndNoTemporaryFile) {
  const std::string bytes = EncodeIniText(kIni);
  Spit(Ini(), bytes);
  App& a = MakeApp();
  ASSERT_EQ(LoadProfiles(a), 1);
  a.profiles[0].name = "Changed";
  files.fault = FaultyFileSystem::Fault::FailMove;
  EXPECT_FALSE(SaveProfiles(a));
  EXPECT_EQ(Slurp(Ini()), bytes);
  EXPECT_FALSE(std::filesystem::exists(folder / "Tunewright.ini.tmp"));
  ASSERT_EQ(fake.dialogs.boxes.size(), 1u);
  EXPECT_NE(fake.dialogs.boxes[0].text.find("(ErrorCode: 112)"), std::string::npos);
}

TEST_F(RealFileSystemTest, ACrashBeforeTheMoveLeavesTheOriginalAndTheNextSaveSucceeds) {
  const std::string bytes = EncodeIniText(kIni);
  Spit(Ini(), bytes);
  App& a = MakeApp();
  ASSERT_EQ(LoadProfiles(a), 1);
  a.profiles[0].name = "Changed";
  files.fault = FaultyFileSystem::Fault::CrashBeforeMove;
  EXPECT_THROW(SaveProfiles(a), std::runtime_error);
  EXPECT_EQ(Slurp(Ini()), bytes);  // the half-done save touched only the temporary file
  files.fault = FaultyFileSystem::Fault::None;
  ASSERT_TRUE(SaveProfiles(a));
  EXPECT_FALSE(std::filesystem::exists(folder / "Tunewright.ini.tmp"));
  a.profiles.clear();
  ASSERT_EQ(LoadProfiles(a), 1);
  EXPECT_EQ(a.profiles[0].name, "Changed");
}

TEST_F(RealFileSystemTest, AReadOnlyFileIsNotReplaced) {
  const std::string bytes = EncodeIniText(kIni);
  Spit(Ini(), bytes);
  ASSERT_EQ(::chmod(Ini().c_str(), 0444), 0);
  App& a = MakeApp();
  ASSERT_EQ(LoadProfiles(a), 1);
  a.profiles.clear();
  EXPECT_FALSE(SaveProfiles(a));
  EXPECT_EQ(Slurp(Ini()), bytes);
  EXPECT_EQ(fake.dialogs.boxes.size(), 1u);
}

TEST_F(RealFileSystemTest, PruningSkipsFoldersAndOtherFiles) {
  Spit(Ini(), EncodeIniText(kIni));
  const Path backups = folder / "ini_backup";
  std::filesystem::create_directories(backups / "2020-01-01 00.00.00 Tunewright.ini");  // a folder
  Spit(backups / "2020-01-02 00.00.00 Tunewright.ini.txt", "note");
  Spit(backups / "2020-01-03 00.00.00 Tunewright.ini", "old");
  Spit(backups / "2020-01-04 00.00.00 Tunewright.ini", "newer");
  App& a = MakeApp();
  a.options.CreateAutomatically = a.options.LimitNumberOfBackups = true;
  a.options.NumberOfBackups = 2;
  ASSERT_TRUE(MakeBackup(a, false));
  EXPECT_EQ(ListBackups(files, backups), (std::vector<std::string>{"2020-01-04 00.00.00 Tunewright.ini",
                                                                   "2026-12-09 06.21.12 Tunewright.ini"}));
  EXPECT_TRUE(std::filesystem::is_directory(backups / "2020-01-01 00.00.00 Tunewright.ini"));
  EXPECT_TRUE(std::filesystem::exists(backups / "2020-01-02 00.00.00 Tunewright.ini.txt"));
  EXPECT_EQ(Slurp(backups / "2026-12-09 06.21.12 Tunewright.ini"), Slurp(Ini()));
}

}  // namespace
}  // namespace tw::test

#endif  // _WIN32
