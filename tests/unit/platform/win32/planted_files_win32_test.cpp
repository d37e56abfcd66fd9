// What the Win32 adapters take by name, against files planted beside the program.

#include "platform/win32/library_loader_win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "base/text.h"
#include "gpu/driver_connection.h"
#include "platform/win32/machine_win32.h"
#include "powerplay/registry_table.h"

namespace tw::win32 {
namespace {

// Built beside this test program; it leaves planted.marker there when it is loaded.
constexpr const char* kPlanted = "planted_marker.dll";

class LibraryLoaderWin32Test : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(std::filesystem::exists(folder_ / kPlanted));
    std::filesystem::remove(marker_);
  }
  void TearDown() override { std::filesystem::remove(marker_); }
  const Path folder_ = MachineWin32().ExecutablePath().parent_path();
  const Path marker_ = folder_ / "planted.marker";
};

TEST_F(LibraryLoaderWin32Test, TheReleaseLoaderNeverTakesALibraryBesideTheProgram) {
  LibraryLoaderWin32 loader(LibrarySearch::SystemFolderOnly);
  ::SetLastError(0);
  EXPECT_EQ(loader.Load(kPlanted), nullptr);
  EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
  EXPECT_FALSE(std::filesystem::exists(marker_));
}

TEST_F(LibraryLoaderWin32Test, TheSimulatedHardwareLoaderTakesItFromTheProgramFolder) {
  LibraryLoaderWin32 loader(LibrarySearch::ProgramFolderFirst);
  EXPECT_NE(loader.Load(kPlanted), nullptr);
  EXPECT_TRUE(std::filesystem::exists(marker_));
}

// The simulator stands beside this program as atiadlxx.dll: none of the driver's names
// reaches it, and a library that is in the system folder still loads by name.
TEST_F(LibraryLoaderWin32Test, TheReleaseLoaderLooksForTheDriverNamesInTheSystemFolderOnly) {
  ASSERT_TRUE(std::filesystem::exists(folder_ / "atiadlxx.dll"));
  LibraryLoaderWin32 loader(LibrarySearch::SystemFolderOnly);
  for (std::string_view name : kDriverLibraryNames) EXPECT_EQ(loader.Load(name), nullptr) << name;
  const auto version = loader.Load("version.dll");
  ASSERT_NE(version, nullptr);
  EXPECT_NE(version->Resolve("GetFileVersionInfoSizeW"), nullptr);
}

TEST(RegeditPathWin32Test, TheRegistryEditorIsInTheWindowsFolder) {
  MachineWin32 machine;
  const std::string path = RegeditPath(machine);
  ASSERT_FALSE(path.empty());
  EXPECT_TRUE(std::filesystem::exists(PathFromUtf8(path))) << path;
}

}  // namespace
}  // namespace tw::win32
