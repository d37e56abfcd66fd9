// The Win32 shell adapter, which loads shell32.dll on its first start of a program.

#include "platform/win32/shell_win32.h"

#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <filesystem>

namespace tw {
namespace {

constexpr intptr_t kHighestShellError = 32;

TEST(ShellWin32Test, AMissingProgramIsReportedByShellExecuteItself) {
  win32::ShellWin32 shell;
  const Path folder = std::filesystem::temp_directory_path();
  const Path missing = folder / "tunewright-no-such-tool.exe";
  for (int attempt = 0; attempt < 2; ++attempt) {
    const intptr_t result = shell.Execute("open", missing, "0", folder, WindowMode::Hidden);
    EXPECT_LE(result, kHighestShellError) << "attempt " << attempt;
    EXPECT_NE(result, SE_ERR_DLLNOTFOUND) << "shell32.dll was loaded and ShellExecuteW answered, attempt " << attempt;
  }
}

TEST(ShellWin32Test, AProgramIsStartedAndTheResultSaysSo) {
  win32::ShellWin32 shell;
  wchar_t system[MAX_PATH];
  const UINT length = ::GetSystemDirectoryW(system, MAX_PATH);
  ASSERT_GT(length, 0u);
  ASSERT_LT(length, static_cast<UINT>(MAX_PATH));  // a longer answer is the size needed; nothing was copied
  const Path folder(std::wstring(system, length));
  // cmd /c exit ends at once and shows nothing.
  EXPECT_GT(shell.Execute("open", folder / "cmd.exe", "/c exit", folder, WindowMode::Hidden), kHighestShellError);
}

}  // namespace
}  // namespace tw
