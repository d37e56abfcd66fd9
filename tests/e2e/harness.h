#pragma once
// Runs the real program (host build, or the Windows exe under wine) in a temporary folder
// and gives back what a user or script would see: output lines, exit status, files.

#include <chrono>
#include <filesystem>
#include <functional>
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
  // The first box a watched run showed ("BOX \"caption\" text (shown by program)"): the
  // run was ended at it.
  std::string box;
  // For a run that did not end in time: its last output and the windows it had open.
  std::string hangReport;

  std::vector<std::string> OutLines() const;
  std::vector<std::string> ErrLines() const;
};

// What a run is watched for besides its end.
struct RunWatch {
  // A file a box sentinel writes: the run is ended as soon as it holds a line.
  fs::path boxRecord;
  // Asked, before a run that overran is ended, for the windows it has open.
  std::function<std::string()> openWindows;
};

// Runs argv[0] with the arguments, in `cwd`, killing it (its whole process group) after
// `timeout` or at the first box the watch reports.
RunResult RunProcess(const std::vector<std::string>& argv, const fs::path& cwd,
                     const std::map<std::string, std::string>& extraEnv = {},
                     std::chrono::seconds timeout = std::chrono::seconds(60), const RunWatch& watch = {});

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
// which gives it a parent console as a command prompt would. A box sentinel watches it: a
// dialog box of any program (a message box, the loader's or the debugger's) ends the run at
// once and fails the current test with the box's text; so does a run that overruns, with
// its last output and open windows.
RunResult RunWindowsExe(const fs::path& bin, const std::string& exeName, const std::vector<std::string>& args,
                        const fs::path& folder, std::chrono::seconds timeout = std::chrono::seconds(90),
                        const std::map<std::string, std::string>& extraEnv = {});

// Copies the host program into the folder (so that it finds its ini file beside itself)
// and runs it there.
// Every visible top-level window on the suite's wine desktop, one line each (class,
// caption, program).
std::string OpenWindows();

RunResult RunHostProgram(const std::vector<std::string>& args, const fs::path& folder,
                         const std::map<std::string, std::string>& extraEnv = {},
                         std::chrono::seconds timeout = std::chrono::seconds(60));

// ---- A rig: the program, the simulator and their files in one temporary folder ----------

// One line of the simulator journal: NAME key=value ... result=R us=T pid=P.
struct JournalEntry {
  std::string name;
  std::map<std::string, std::string> args;  // texts unquoted
  int result = 0;
  std::string line;
  // The value of a key, or "" when the line has none.
  std::string Arg(const std::string& key) const;
};

// Parses journal text; notes ("# ...") and simulator errors ("ERROR ...") are left out.
std::vector<JournalEntry> ParseJournal(const std::string& text);

enum class Target { Host, Windows };

struct RigRun {
  RunResult run;
  int exitStatus = -1;                // as the shell sees it
  std::vector<std::string> outLines;  // standard output
  // Message boxes as "BOX <kind> \"<caption>\" <text>": the host's stderr lines, or what
  // the box watcher saw under wine.
  std::vector<std::string> boxes;
  std::string log;                    // Tunewright.log, empty when missing
  std::vector<JournalEntry> journal;  // the calls of this run only
  // Journal entries with this entry-point name, in order.
  std::vector<JournalEntry> Calls(const std::string& name) const;
};

class Rig {
 public:
  explicit Rig(Target target = Target::Host);
  Rig(const Rig&) = delete;
  Rig& operator=(const Rig&) = delete;

  // The simulator variant (full, old-driver, no-destroy, no-active, no-chill, no-fantest)
  // under one of the names atiadlxx.dll, atiadlxy.dll, amdadlxx.dll. Default: full, atiadlxx.dll.
  Rig& Simulator(const std::string& variant, const std::string& libraryName = "atiadlxx.dll");
  Rig& WithoutSimulator();
  // adlsim.ini beside the simulator; without it the default rig.
  Rig& Scenario(const std::string& iniText);
  // Tunewright.ini, written as the program writes it (UTF-16 LE with byte-order mark).
  Rig& Ini(const std::string& utf8Text);
  // Windows only: run with the box watcher (on the suite's own display), which answers
  // the boxes in this order ("OK", "Yes", "No"; OK once they run out).
  Rig& WatchBoxes(std::vector<std::string> answers = {});
  // Host only: an environment variable for the program (and so for the simulator it loads,
  // e.g. ADLSIM_FAULTS), and how long a run may take before it is killed.
  Rig& Environment(const std::string& name, const std::string& value);
  Rig& Timeout(std::chrono::seconds timeout);

  RigRun Run(const std::vector<std::string>& args);

  const fs::path& folder() const { return folder_.path(); }
  bool Exists(const std::string& name) const { return fs::exists(folder_ / name); }
  std::string File(const std::string& name) const { return ReadFileBytes(folder_ / name); }
  // Tunewright.ini as UTF-8 (it is UTF-16 LE on disk).
  std::string IniText() const;
  // The whole journal so far.
  std::vector<JournalEntry> Journal() const { return ParseJournal(File("adlsim.journal")); }

 private:
  fs::path ProductBin() const;
  void PlaceSimulator();
  RunResult RunWindows(const std::vector<std::string>& args);

  Target target_;
  TempFolder folder_;
  std::string variant_ = "full";
  std::string libraryName_ = "atiadlxx.dll";
  bool simulator_ = true;
  bool watch_ = false;
  std::vector<std::string> answers_;
  std::map<std::string, std::string> environment_;
  std::chrono::seconds timeout_{60};
};

}  // namespace tw::e2e
