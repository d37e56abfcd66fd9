// The store against the platform's real file system adapter in a temporary folder (the
// POSIX adapter on the host, the Win32 one under wine).

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <random>
#include <set>
#include <sstream>
#include <stdexcept>

#include "app/app.h"
#include "app/app_files.h"
#include "base/text.h"
#include "fakes/fake_platform.h"
#ifdef _WIN32
#include "platform/win32/file_system_win32.h"
#include "platform/win32/system_services_win32.h"
#else
#include "platform/posix/file_system_posix.h"
#include "platform/posix/system_services_posix.h"
#endif
#include "ini/ini_encoding.h"
#include "profiles/backup_names.h"
#include "profiles/make_backup.h"
#include "profiles/profile_store.h"
#include "profiles/restore_from_backup.h"
#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace tw::test {
namespace {

#ifdef _WIN32
using RealFileSystem = win32::FileSystemWin32;
using RealSystemErrors = win32::SystemErrorsWin32;
#else
using RealFileSystem = posix::FileSystemPosix;
using RealSystemErrors = posix::SystemErrorsPosix;
#endif

// The real file system with a fault between writing the temporary file and the move: a
// move that the OS itself refuses (its target folder does not exist), or a crash.
class FaultyFileSystem final : public FileSystem {
 public:
  enum class Fault { None, FailMove, CrashBeforeMove };
  Fault fault = Fault::None;

  bool MoveFileOver(const Path& source, const Path& target) override {
    if (fault == Fault::FailMove) return real_.MoveFileOver(source, target.parent_path() / "missing" / "x");
    if (fault == Fault::CrashBeforeMove) throw std::runtime_error("power lost");
    return real_.MoveFileOver(source, target);
  }
  bool FileExists(const Path& path) override { return real_.FileExists(path); }
  bool DirectoryExists(const Path& path) override { return real_.DirectoryExists(path); }
  std::optional<std::string> ReadFile(const Path& path) override { return real_.ReadFile(path); }
  bool WriteNewFile(const Path& path, std::string_view bytes) override { return real_.WriteNewFile(path, bytes); }
  std::optional<Path> WriteTemporaryFile(const Path& beside, std::string_view bytes) override {
    return real_.WriteTemporaryFile(beside, bytes);
  }
  Path FinalPath(const Path& path) override { return real_.FinalPath(path); }
  std::unique_ptr<FileLock> TryLockFile(const Path& lockPath, LockAttempt& attempt) override {
    return real_.TryLockFile(lockPath, attempt);
  }
  bool AppendToFile(const Path& path, std::string_view bytes) override { return real_.AppendToFile(path, bytes); }
  bool CreateDirectories(const Path& path) override { return real_.CreateDirectories(path); }
  bool CopyFileOver(const Path& from, const Path& to) override { return real_.CopyFileOver(from, to); }
  bool RemoveFile(const Path& path) override { return real_.RemoveFile(path); }
  bool ClearAttributes(const Path& path) override { return real_.ClearAttributes(path); }
  bool IsReadOnly(const Path& path) override { return real_.IsReadOnly(path); }
  std::vector<std::string> ListFiles(const Path& folder) override { return real_.ListFiles(folder); }
  FlushFailure FlushToDisk(const Path& path) override { return real_.FlushToDisk(path); }

 private:
  RealFileSystem real_;
};

namespace fs = std::filesystem;

class RealFileSystemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = fs::temp_directory_path() / ("tw-profiles-" + std::to_string(std::random_device{}()));
    ASSERT_TRUE(fs::create_directory(folder));
    fake.machine.executablePath = folder / "Tunewright.exe";
    // The log goes to the current folder, as the program's does: into this test's folder,
    // not wherever the suite was started.
    startFolder = fs::current_path();
    fs::current_path(folder);
  }
  void TearDown() override {
    std::error_code ignored;
    fs::current_path(startFolder, ignored);
    fs::permissions(Ini(), fs::perms::owner_write, fs::perm_options::add, ignored);
    fs::remove_all(folder, ignored);
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
  fs::path startFolder;
  FakePlatform fake;
  FaultyFileSystem files;
  RealSystemErrors errors;
  Platform platform{fake.ansi,     fake.clock, fake.console, fake.dialogs,        files,
                    fake.libraries, fake.machine, errors,      fake.displayDevices, fake.shell};
  std::unique_ptr<App> app;
  App& MakeApp() {
    app = std::make_unique<App>(platform);
    return *app;
  }
  Path Ini() const { return folder / "Tunewright.ini"; }
  bool AnyTemporary() const {
    for (const auto& entry : fs::directory_iterator(folder))
      if (entry.path().extension() == ".tmp") return true;
    return false;
  }
};

constexpr std::string_view kIni =
    "[General]\r\nEnableI2c=0\r\n\r\n[Profile_0]\r\nName=Daily\r\nGPU_P0=300;750\r\nGPU_P1=1000;800;0\r\n"
    "Fan_P0=30;20\r\nFan_Acoustic=1200\r\nPower_Target=20\r\n\r\n";

TEST_F(RealFileSystemTest, LoadAndSaveRoundTripByteForByte) {
  const std::string bytes = EncodeIniText(kIni);
  Spit(Ini(), bytes);
  App& a = MakeApp();
  ASSERT_EQ(LoadProfiles(a.ini(), a.profiles, a.knownProfileSections), 1);
  ASSERT_TRUE(SaveProfiles(a.ini(), a.options, a.profiles, a.knownProfileSections));
  EXPECT_EQ(Slurp(Ini()), bytes);
  EXPECT_FALSE(AnyTemporary());
}

TEST_F(RealFileSystemTest, AFailedMoveLeavesTheOriginalIntactAndNoTemporaryFile) {
  const std::string bytes = EncodeIniText(kIni);
  Spit(Ini(), bytes);
  App& a = MakeApp();
  ASSERT_EQ(LoadProfiles(a.ini(), a.profiles, a.knownProfileSections), 1);
  a.profiles[0].name = "Changed";
  files.fault = FaultyFileSystem::Fault::FailMove;
  EXPECT_FALSE(SaveProfiles(a.ini(), a.options, a.profiles, a.knownProfileSections));
  EXPECT_EQ(Slurp(Ini()), bytes);
  EXPECT_FALSE(AnyTemporary());
  ASSERT_EQ(fake.dialogs.boxes.size(), 1u);
  EXPECT_EQ(fake.dialogs.boxes[0].text.rfind("Failed to save \"" + PathToUtf8(Ini()) + "\" (ErrorCode: ", 0), 0u)
      << fake.dialogs.boxes[0].text;
}

TEST_F(RealFileSystemTest, ACrashBeforeTheMoveLeavesTheOriginalAndTheNextSaveSucceeds) {
  const std::string bytes = EncodeIniText(kIni);
  Spit(Ini(), bytes);
  App& a = MakeApp();
  ASSERT_EQ(LoadProfiles(a.ini(), a.profiles, a.knownProfileSections), 1);
  a.profiles[0].name = "Changed";
  files.fault = FaultyFileSystem::Fault::CrashBeforeMove;
  EXPECT_THROW(SaveProfiles(a.ini(), a.options, a.profiles, a.knownProfileSections), std::runtime_error);
  EXPECT_EQ(Slurp(Ini()), bytes);  // the half-done save touched only the temporary file
  files.fault = FaultyFileSystem::Fault::None;
  ASSERT_TRUE(SaveProfiles(a.ini(), a.options, a.profiles, a.knownProfileSections));
  EXPECT_FALSE(AnyTemporary());
  a.profiles.clear();
  ASSERT_EQ(LoadProfiles(a.ini(), a.profiles, a.knownProfileSections), 1);
  EXPECT_EQ(a.profiles[0].name, "Changed");
}

TEST_F(RealFileSystemTest, AReadOnlyFileIsNotReplaced) {
  const std::string bytes = EncodeIniText(kIni);
  Spit(Ini(), bytes);
  fs::permissions(Ini(), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  ASSERT_TRUE(files.IsReadOnly(Ini()));
  App& a = MakeApp();
  ASSERT_EQ(LoadProfiles(a.ini(), a.profiles, a.knownProfileSections), 1);
  a.profiles.clear();
  EXPECT_FALSE(SaveProfiles(a.ini(), a.options, a.profiles, a.knownProfileSections));
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
  ASSERT_TRUE(MakeBackup(a.ini(), a.options, false));
  EXPECT_EQ(ListBackups(files, backups), (std::vector<std::string>{"2020-01-04 00.00.00 Tunewright.ini",
                                                                   "2026-12-09 06.21.12 Tunewright.ini"}));
  EXPECT_TRUE(std::filesystem::is_directory(backups / "2020-01-01 00.00.00 Tunewright.ini"));
  EXPECT_TRUE(std::filesystem::exists(backups / "2020-01-02 00.00.00 Tunewright.ini.txt"));
  EXPECT_EQ(Slurp(backups / "2026-12-09 06.21.12 Tunewright.ini"), Slurp(Ini()));
}

TEST_F(RealFileSystemTest, ACrashBetweenBackupCopyAndMoveLeavesNoBackupForRestoreOrPruning) {
  Spit(Ini(), EncodeIniText(kIni));
  const Path backups = folder / "ini_backup";
  fs::create_directories(backups);
  const std::string good = EncodeIniText("[Profile_0]\r\nName=Good\r\n\r\n");
  Spit(backups / "2020-01-01 00.00.00 Tunewright.ini", good);
  App& a = MakeApp();
  files.fault = FaultyFileSystem::Fault::CrashBeforeMove;
  EXPECT_THROW(MakeBackup(a.ini(), a.options, false), std::runtime_error);
  files.fault = FaultyFileSystem::Fault::None;
  EXPECT_EQ(ListBackups(files, backups), std::vector<std::string>{"2020-01-01 00.00.00 Tunewright.ini"});
  Spit(Ini(), EncodeIniText("[General]\r\n\r\n"));
  a.options.RestoreAutomatically = a.options.DoNotConfirmOnRestore = true;
  ASSERT_TRUE(RestoreAppFromBackup(a, true));
  EXPECT_EQ(Slurp(Ini()), good);
  ASSERT_TRUE(MakeBackup(a.ini(), a.options, false));  // and the next backup clears the leftover away
  EXPECT_EQ(std::distance(fs::directory_iterator(backups), fs::directory_iterator()), 3);  // two backups, one kept file
}

TEST_F(RealFileSystemTest, TheLockExcludesASecondHolderUntilReleased) {
  const Path lockPath = folder / "Tunewright.ini.lock";
  LockAttempt first = LockAttempt::Failed;
  LockAttempt second = LockAttempt::Failed;
  std::unique_ptr<FileLock> held = files.TryLockFile(lockPath, first);
  EXPECT_EQ(first, LockAttempt::Taken);
  EXPECT_EQ(files.TryLockFile(lockPath, second), nullptr);
  EXPECT_EQ(second, LockAttempt::Busy);
  held.reset();
  EXPECT_NE(files.TryLockFile(lockPath, second), nullptr);
}

TEST_F(RealFileSystemTest, SavesWorkInAFolderBeyondTheClassicPathLimit) {
  Path deep = folder;
  for (int i = 0; i < 6; ++i) deep /= std::string(50, static_cast<char>('a' + i));
  ASSERT_TRUE(files.CreateDirectories(deep));
  fake.machine.executablePath = deep / "Tunewright.exe";
  ASSERT_TRUE(files.WriteNewFile(deep / "Tunewright.ini", EncodeIniText(kIni)));
  App& a = MakeApp();
  ASSERT_EQ(LoadProfiles(a.ini(), a.profiles, a.knownProfileSections), 1);
  a.profiles[0].name = "Deep";
  a.options.CreateAutomatically = true;
  ASSERT_TRUE(SaveProfiles(a.ini(), a.options, a.profiles, a.knownProfileSections));
  a.profiles.clear();
  ASSERT_EQ(LoadProfiles(a.ini(), a.profiles, a.knownProfileSections), 1);
  EXPECT_EQ(a.profiles[0].name, "Deep");
  EXPECT_EQ(ListBackups(files, deep / "ini_backup").size(), 1u);
  EXPECT_TRUE(fake.dialogs.boxes.empty());
}

#ifndef _WIN32
TEST_F(RealFileSystemTest, ASymbolicLinkStaysOneAndTheFileKeepsItsMode) {
  fs::create_directory(folder / "real");
  const Path target = folder / "real" / "Tunewright.ini";
  Spit(target, EncodeIniText(kIni));
  ::chmod(target.c_str(), 0640);
  fs::create_symlink(target, Ini());
  App& a = MakeApp();
  ASSERT_EQ(LoadProfiles(a.ini(), a.profiles, a.knownProfileSections), 1);
  a.profiles[0].name = "Linked";
  ASSERT_TRUE(SaveProfiles(a.ini(), a.options, a.profiles, a.knownProfileSections));
  EXPECT_TRUE(fs::is_symlink(Ini()));
  EXPECT_NE(Slurp(target).find(std::string("L\0i\0n\0k\0e\0d\0", 12)), std::string::npos);
  struct stat info {};
  ASSERT_EQ(::stat(target.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
}

// Two processes save their own profile in a loop: whatever the interleaving, the file ends
// whole, keeps every foreign line, and holds each run's last change (in its profile or set
// aside beside it).
TEST_F(RealFileSystemTest, TwoProcessesSavingTogetherLoseNoChangeAndNoForeignLine) {
  constexpr int kSaves = 25;
  Spit(Ini(), EncodeIniText("[Foreign]\r\nkeep=1\r\n\r\n[Profile_0]\r\nName=A\r\n; note A\r\nPower_Target=0\r\n\r\n"
                            "[Profile_1]\r\nName=B\r\nPower_Target=0\r\n\r\n"));
  posix::ClockPosix clock;  // the wait for the other's lock must really wait
  Platform waiting{fake.ansi,     clock,        fake.console, fake.dialogs,        files,
                   fake.libraries, fake.machine, errors,       fake.displayDevices, fake.shell};
  const auto saveLoop = [&](const std::string& name) {
    int failures = 0;
    for (int i = 1; i <= kSaves; ++i) {
      App run(waiting);
      LoadProfiles(run.ini(), run.profiles, run.knownProfileSections);
      const auto own = std::find_if(run.profiles.begin(), run.profiles.end(),
                                    [&](const ProfileItem& p) { return p.name == name; });
      if (own == run.profiles.end()) return ++failures;
      own->powerTarget = i;
      if (!SaveProfiles(run.ini(), run.options, run.profiles, run.knownProfileSections)) ++failures;
    }
    return failures;
  };
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) ::_exit(saveLoop("B") == 0 ? 0 : 1);
  EXPECT_EQ(saveLoop("A"), 0);
  int status = -1;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  const std::string bytes = Slurp(Ini());
  ASSERT_EQ(bytes.substr(0, 2), "\xFF\xFE");
  const IniDocument document = IniDocument::Parse(DecodeIniBytes(bytes, fake.ansi).text);
  EXPECT_EQ(document.Value("Foreign", "keep"), "1");
  std::set<std::string> last;
  int notes = 0;
  for (const std::string& section : document.SectionNames()) {
    const IniSection* s = document.Find(section);
    last.insert(std::string(s->Value("Name").value_or("")) + "=" + std::string(s->Value("Power_Target").value_or("")));
    for (const std::string& line : s->Lines()) notes += line == "; note A";
  }
  EXPECT_TRUE(last.count("A=" + std::to_string(kSaves)) && last.count("B=" + std::to_string(kSaves))) << bytes.size();
  EXPECT_GE(notes, 1);
  EXPECT_FALSE(AnyTemporary());
}
#endif

}  // namespace
}  // namespace tw::test
