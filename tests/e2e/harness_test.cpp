// The harness's own promise: a Windows program that shows a box nobody expected (its own,
// or the debugger's after a crash), or that does not end, fails its test at once with what
// it was showing, instead of a bare timeout.

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "harness.h"

namespace tw::e2e {
namespace {

class WindowsHarnessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!GetProducts().HasWindows()) GTEST_FAIL() << "TW_E2E_WINDOWS_SIM_BIN and TW_E2E_WINE must be set";
  }
  // The failure assertions take no local variables: the run goes through statics.
  static void RunStuck(std::chrono::seconds timeout) {
    static TempFolder folder;
    run = RunWindowsExe(GetProducts().windowsSimBin, "stuck_probe.exe", {mode}, folder.path(), timeout);
  }
  static inline std::string mode;
  static inline RunResult run;
};

TEST_F(WindowsHarnessTest, ABoxEndsTheRunAndFailsWithItsText) {
  const struct {
    const char* mode;
    const char* failure;
  } cases[] = {
      {"box", "BOX \"Stuck probe\" Nobody answers this box (shown by stuck_probe.exe)"},
      {"crash", "The program stuck_probe.exe has encountered a serious problem"},
  };
  for (const auto& c : cases) {
    mode = c.mode;
    EXPECT_NONFATAL_FAILURE(RunStuck(std::chrono::seconds(90)), c.failure);
    EXPECT_FALSE(run.timedOut) << c.mode;
    EXPECT_LT(run.elapsed, std::chrono::seconds(30)) << c.mode;  // seconds, not the 90 s timeout
  }
}

TEST_F(WindowsHarnessTest, ARunThatOverrunsFailsWithItsOpenWindows) {
  mode = "window";
  EXPECT_NONFATAL_FAILURE(RunStuck(std::chrono::seconds(8)), "\"Stuck probe window\" (stuck_probe.exe)");
  EXPECT_TRUE(run.timedOut);
}

}  // namespace
}  // namespace tw::e2e
