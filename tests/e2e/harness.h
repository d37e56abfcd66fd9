#pragma once
// Runs the real program (host build, or the Windows exe under wine) in a temporary folder
// and gives back what a user or script would see: output lines, exit status, files.

#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace tw::e2e {

namespace fs = std::filesystem;

struct RunResult {
  int exitStatus = -1;  // as the shell sees it (0..255); -1 when killed
  std::string out;
  std::string err;
  std::chrono::milliseconds elapsed{0};
  bool timedOut = false;

  std::vector<std::string> OutLines() const;
  std::vector<std::string> ErrLines() const;
};

// Runs argv[0] with the arguments, in `cwd`, killing it after `timeout`.
RunResult RunProcess(const std::vector<std::string>& argv, const fs::path& cwd,
                     const std::map<std::string, std::string>& extraEnv = {},
                     std::chrono::seconds timeout = std::chrono::seconds(60));

// A fresh folder removed with everything in it at the end of the test.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const fs::path& path() const { return path_; }
  fs::path operator/(const std::string& name) const { return path_ / name; }

 private:
  fs::path path_;
};

std::string ReadFileBytes(const fs::path& path);
void WriteFileBytes(const fs::path& path, const std::string& bytes);
// UTF-16 LE with byte-order mark, as the program writes its ini file.
std::string Utf16File(const std::string& utf8Text);

// Where the products under test are; set by the test script through the environment.
struct Products {
  fs::path hostProgram;     // TW_E2E_HOST_BIN/tunewright
  fs::path hostBin;         // folder of the host build's products
  fs::path windowsSimBin;   // TW_E2E_WINDOWS_SIM_BIN: simulated-hardware Windows build
  fs::path windowsReleaseBin;  // TW_E2E_WINDOWS_RELEASE_BIN: release-flavour Windows build
  fs::path wineScript;      // TW_E2E_WINE: scripts/wine.sh
  bool HasWindows() const { return !windowsSimBin.empty() && !wineScript.empty(); }
};
const Products& GetProducts();

// Copies a Windows build's exe into the folder and runs it as `wine cmd /c exe args...`,
// which gives it a parent console as a command prompt would.
RunResult RunWindowsExe(const fs::path& bin, const std::string& exeName, const std::vector<std::string>& args,
                        const fs::path& folder, std::chrono::seconds timeout = std::chrono::seconds(90));

// Copies the host program into the folder (so that it finds its ini file beside itself)
// and runs it there.
RunResult RunHostProgram(const std::vector<std::string>& args, const fs::path& folder,
                         const std::map<std::string, std::string>& extraEnv = {});

}  // namespace tw::e2e
