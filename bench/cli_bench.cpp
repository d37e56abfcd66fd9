// Measures the command line from outside, as a user or a script meets it: the latency of
// start-up, "-getcurrent" and "-p*" on a twelve-card simulated rig against a program that
// only starts and exits, the time lost around a slow driver, the driver calls each command
// makes against the fewest its rules allow, and the peak memory. Prints the figures as
// Markdown and, with --readme, records them in the marked section of that file.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "journal_tally.h"
#include "marked_section.h"
#include "minimum_calls.h"
#include "process_run.h"

#include <unistd.h>

namespace fs = std::filesystem;
using namespace tw::bench;

namespace {

constexpr const char* kSectionBegin = "<!-- cli-bench:begin (written by bench/cli.sh) -->";
constexpr const char* kSectionEnd = "<!-- cli-bench:end -->";
constexpr RigMix kRig12{8, 4};
constexpr RigMix kRig6{4, 2};
constexpr double kOwnTimeTarget = 1.3;      // program's own time / floor, host
constexpr double kDriverOverheadTarget = 0.10;  // wall time over the driver's own latency
constexpr double kMemoryTargetMiB = 8.0;

struct Options {
  fs::path hostBin, windowsBin, wine, benchDir, readme, machine;
  fs::path folderRoot;  // where the rig folders are made
  int runs = 31;
  int delayRuns = 11;
};

[[noreturn]] void Fail(const std::string& text) {
  std::fprintf(stderr, "cli_bench: %s\n", text.c_str());
  std::exit(1);
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) Fail("cannot read " + path.string());
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
  if (!out) Fail("cannot write " + path.string());
}

// Tunewright.ini as the program writes it: UTF-16 LE with a byte-order mark.
std::string Utf16Ini(const std::string& ascii) {
  std::string bytes = "\xFF\xFE";
  for (char c : ascii) {
    bytes += c;
    bytes += '\0';
  }
  return bytes;
}

// The rig folders live in memory where the machine has a tmpfs: the simulator writes its
// state file and journal on every call, and a disk's writeback of them would compete with
// the program for the CPU although none of it is the program's work.
fs::path DefaultFolderRoot() {
  std::error_code error;
  if (fs::is_directory("/dev/shm", error) && ::access("/dev/shm", W_OK) == 0) return "/dev/shm";
  return fs::temp_directory_path();
}

Options ParseOptions(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const std::string key = argv[i];
    if (i + 1 >= argc) Fail("missing value after " + key);
    const std::string value = argv[++i];
    if (key == "--host-bin") o.hostBin = value;
    else if (key == "--windows-bin") o.windowsBin = value;
    else if (key == "--wine") o.wine = value;
    else if (key == "--bench") o.benchDir = value;
    else if (key == "--readme") o.readme = value;
    else if (key == "--machine") o.machine = value;
    else if (key == "--folders") o.folderRoot = value;
    else if (key == "--runs") o.runs = std::max(1, std::atoi(value.c_str()));
    else if (key == "--delay-runs") o.delayRuns = std::max(1, std::atoi(value.c_str()));
    else Fail("unknown option " + key);
  }
  if (o.folderRoot.empty()) o.folderRoot = DefaultFolderRoot();
  if (o.hostBin.empty() || o.benchDir.empty()) Fail("usage: cli_bench --host-bin DIR --bench DIR [--windows-bin DIR --wine SCRIPT] [--runs N] [--delay-runs N] [--readme FILE --machine FILE] [--folders DIR]");
  return o;
}

// ---- where and how a product runs ------------------------------------------------------

struct Product {
  std::string label;
  fs::path bin;
  std::string program, floor, floorLibrary;  // file names in bin and in the rig folder
  fs::path wine;               // empty on the host
  bool OnHost() const { return wine.empty(); }
};

class RigFolder {
 public:
  RigFolder(const Product& product, const fs::path& root, const fs::path& scenario, const fs::path& ini)
      : product_(product) {
    std::string pattern = (root / "tw-cli-bench-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) Fail("cannot make a temporary folder");
    path_ = pattern;
    for (const std::string& name : {product.program, product.floor, product.floorLibrary})
      fs::copy_file(product.bin / name, path_ / name, fs::copy_options::overwrite_existing);
    fs::copy_file(product.bin / "atiadlxx.dll", path_ / "atiadlxx.dll", fs::copy_options::overwrite_existing);
    fs::copy_file(scenario, path_ / "adlsim.ini", fs::copy_options::overwrite_existing);
    WriteFile(path_ / "Tunewright.ini", Utf16Ini(ReadFile(ini)));
  }
  ~RigFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  RigFolder(const RigFolder&) = delete;
  RigFolder& operator=(const RigFolder&) = delete;

  std::vector<std::string> Argv(const std::string& file, const std::vector<std::string>& args) const {
    // Under wine the exe runs from a command prompt, which gives it the console it writes to.
    std::vector<std::string> argv = product_.OnHost() ? std::vector<std::string>{(path_ / file).string()}
                                                      : std::vector<std::string>{product_.wine.string(), "cmd", "/c", file};
    argv.insert(argv.end(), args.begin(), args.end());
    return argv;
  }
  const fs::path& path() const { return path_; }

 private:
  const Product& product_;
  fs::path path_;
};

// ---- one measured run ------------------------------------------------------------------

struct Sample {
  int64_t wallUs = 0, simUs = 0, rssKiB = 0;
  JournalTally tally;
  int64_t OwnUs() const { return wallUs - simUs; }
};

struct BenchCommand {
  std::string label;
  std::vector<std::string> args;
  Command command;
  int reportLines;  // lines the command prints on this rig
};

size_t CountLines(const std::string& text) { return static_cast<size_t>(std::count(text.begin(), text.end(), '\n')); }

Sample RunProgram(const RigFolder& rig, const Product& product, const BenchCommand& command) {
  WriteFile(rig.path() / "adlsim.journal", "");
  const ProcessRun run = RunProcess(rig.Argv(product.program, command.args), rig.path());
  // A run that failed is no measurement: say what went wrong instead of printing figures.
  if (!run.started || run.exitStatus != 0 || CountLines(run.out) != static_cast<size_t>(command.reportLines) ||
      (product.OnHost() && !run.err.empty()))
    Fail(product.label + " " + command.label + ": exit status " + std::to_string(run.exitStatus) + ", " +
         std::to_string(CountLines(run.out)) + " lines printed where " + std::to_string(command.reportLines) +
         " were expected\n--- stdout\n" + run.out + "--- stderr\n" + run.err);
  Sample sample;
  sample.wallUs = run.wallUs;
  sample.rssKiB = run.maxRssKiB;
  // The Windows exe's process id is wine's own; the journal of a run holds only its lines.
  sample.tally = TallyJournal(ReadFile(rig.path() / "adlsim.journal"), product.OnHost() ? run.pid : kAnyProcess);
  sample.simUs = sample.tally.simulatorUs;
  if (sample.tally.lines == 0) Fail(product.label + " " + command.label + ": the journal is empty");
  return sample;
}

Sample RunFloor(const RigFolder& rig, const Product& product, const std::string& floor) {
  const ProcessRun run = RunProcess(rig.Argv(floor, {}), rig.path());
  if (!run.started || run.exitStatus != 0) Fail(product.label + " " + floor + ": exit status " + std::to_string(run.exitStatus));
  Sample sample;
  sample.wallUs = run.wallUs;
  sample.rssKiB = run.maxRssKiB;
  return sample;
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const size_t mid = values.size() / 2;
  return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

double MedianOf(const std::vector<Sample>& samples, const std::function<double(const Sample&)>& value) {
  std::vector<double> values;
  for (const Sample& s : samples) values.push_back(value(s));
  return Median(values);
}

std::string Fixed(double value, int decimals = 2) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

std::string Ms(double us) { return Fixed(us / 1000.0) + " ms"; }

// ---- the measurements ------------------------------------------------------------------

const std::vector<BenchCommand>& Commands() {
  static const std::vector<BenchCommand> commands = {
      {"start-up only (-consoleonly)", {"-consoleonly"}, Command::StartUp, 0},
      {"-consoleonly -getcurrent", {"-consoleonly", "-getcurrent"}, Command::GetCurrent, kRig12.overdriveN + kRig12.overdrive8},
      {"-consoleonly -p*Bench", {"-consoleonly", "-p*Bench"}, Command::ApplyProfileToAll, 0},
  };
  return commands;
}

struct LatencyResult {
  std::vector<Sample> floor;
  std::vector<Sample> floorLibrary;  // the floor with the simulator loaded and unloaded once
  std::vector<std::vector<Sample>> byCommand;  // in the order of Commands()
};

LatencyResult MeasureLatency(const Product& product, const Options& o) {
  RigFolder rig(product, o.folderRoot, o.benchDir / "cli" / "rig12.ini", o.benchDir / "cli" / "Tunewright.ini");
  LatencyResult result;
  result.byCommand.resize(Commands().size());
  // Warm the page cache (and wine's server) first; then interleave the floor and the
  // commands, so that a change in the machine's load touches them alike.
  RunFloor(rig, product, product.floor);
  RunFloor(rig, product, product.floorLibrary);
  for (const BenchCommand& command : Commands()) RunProgram(rig, product, command);
  for (int i = 0; i < o.runs; ++i) {
    result.floor.push_back(RunFloor(rig, product, product.floor));
    result.floorLibrary.push_back(RunFloor(rig, product, product.floorLibrary));
    for (size_t c = 0; c < Commands().size(); ++c) result.byCommand[c].push_back(RunProgram(rig, product, Commands()[c]));
  }
  return result;
}

std::vector<Sample> MeasureDriverLatency(const Product& product, const Options& o) {
  RigFolder rig(product, o.folderRoot, o.benchDir / "cli" / "rig6.ini", o.benchDir / "cli" / "Tunewright.ini");
  const BenchCommand apply{"-consoleonly -p*Bench", {"-consoleonly", "-p*Bench"}, Command::ApplyProfileToAll, 0};
  RunProgram(rig, product, apply);
  std::vector<Sample> samples;
  for (int i = 0; i < o.delayRuns; ++i) samples.push_back(RunProgram(rig, product, apply));
  return samples;
}

// ---- the report ------------------------------------------------------------------------

std::string LatencyTable(const std::vector<std::pair<const Product*, LatencyResult>>& results) {
  std::string t =
      "| build | command | wall | in the simulator | program's own | floor | floor + loading the simulator | "
      "own / floor | target | own less the loading / floor |\n"
      "|---|---|---|---|---|---|---|---|---|---|\n";
  auto wall = [](const Sample& s) { return double(s.wallUs); };
  for (const auto& [product, result] : results) {
    const double floor = MedianOf(result.floor, wall);
    const double floorLibrary = MedianOf(result.floorLibrary, wall);
    const double loading = std::max(0.0, floorLibrary - floor);
    for (size_t c = 0; c < Commands().size(); ++c) {
      const auto& samples = result.byCommand[c];
      const double own = MedianOf(samples, [](const Sample& s) { return double(s.OwnUs()); });
      const double ratio = own / floor;
      std::string target = "-";
      if (product->OnHost() && Commands()[c].command != Command::StartUp)
        target = "≤ " + Fixed(kOwnTimeTarget, 1) + (ratio <= kOwnTimeTarget ? " met" : " **missed**");
      t += "| " + product->label + " | " + Commands()[c].label + " | " + Ms(MedianOf(samples, wall)) + " | " +
           Ms(MedianOf(samples, [](const Sample& s) { return double(s.simUs); })) + " | " + Ms(own) + " | " +
           Ms(floor) + " | " + Ms(floorLibrary) + " | " + Fixed(ratio) + " | " + target + " | " +
           Fixed((own - loading) / floor) + " |\n";
    }
  }
  return t;
}

std::string DriverLatencyTable(const std::vector<std::pair<const Product*, std::vector<Sample>>>& results,
                               const std::vector<std::pair<const Product*, LatencyResult>>& latency) {
  std::string t =
      "| build | wall | sum of the calls' latencies | over the sum | floor | over the sum, floor left out | "
      "connections | calls | target |\n"
      "|---|---|---|---|---|---|---|---|---|\n";
  for (size_t r = 0; r < results.size(); ++r) {
    const auto& [product, samples] = results[r];
    const double floor = MedianOf(latency[r].second.floor, [](const Sample& s) { return double(s.wallUs); });
    const double wall = MedianOf(samples, [](const Sample& s) { return double(s.wallUs); });
    const double sum = MedianOf(samples, [](const Sample& s) { return double(s.simUs); });
    const double over = MedianOf(samples, [](const Sample& s) { return double(s.wallUs - s.simUs) / double(s.simUs); });
    const double overLessFloor =
        MedianOf(samples, [&](const Sample& s) { return (double(s.wallUs - s.simUs) - floor) / double(s.simUs); });
    std::string target = "-";
    if (product->OnHost()) target = "≤ 10 %" + std::string(over <= kDriverOverheadTarget ? " met" : " **missed**");
    t += "| " + product->label + " | " + Ms(wall) + " | " + Ms(sum) + " | " + Fixed(over * 100, 1) + " % | " +
         Ms(floor) + " | " + Fixed(overLessFloor * 100, 1) + " % | " +
         std::to_string(samples.back().tally.Count("ADL2_Main_Control_Create")) + " | " +
         std::to_string(samples.back().tally.DriverCalls()) + " | " + target + " |\n";
  }
  return t;
}

// Whether the Windows exe asked the driver for exactly what the host program asked.
std::string SameCallsNote(const std::vector<std::pair<const Product*, LatencyResult>>& latency) {
  if (latency.size() < 2) return "";
  std::string differences;
  for (size_t c = 0; c < Commands().size(); ++c) {
    const auto& host = latency[0].second.byCommand[c].back().tally.calls;
    const auto& other = latency[1].second.byCommand[c].back().tally.calls;
    if (host != other) differences += " " + Commands()[c].label + ";";
  }
  return differences.empty() ? "The " + latency[1].first->label + " made exactly the same calls as the host program.\n"
                             : "The " + latency[1].first->label + " made other calls than the host program for:" +
                                   differences + " see its journal.\n";
}

std::string Cell(int measured, int minimum) {
  const std::string text = std::to_string(measured) + " / " + std::to_string(minimum);
  return measured > minimum ? "**" + text + "**" : text;
}

std::string CallsTable(const LatencyResult& host) {
  // Names in the order of the minimum tables, then whatever else was called.
  std::vector<std::string> names;
  std::vector<std::string> reasons;
  auto addName = [&](const std::string& name, const std::string& reason) {
    if (std::find(names.begin(), names.end(), name) != names.end()) return;
    names.push_back(name);
    reasons.push_back(reason);
  };
  for (const MinimumRow& row : MinimumCalls(Command::ApplyProfileToAll, kRig12)) addName(row.call, "");
  for (const MinimumRow& row : MinimumCalls(Command::GetCurrent, kRig12)) addName(row.call, "");
  for (const auto& samples : host.byCommand)
    for (const auto& [name, count] : samples.back().tally.calls) addName(name, "");
  auto minimum = [](Command command, const std::string& name) {
    for (const MinimumRow& row : MinimumCalls(command, kRig12))
      if (row.call == name) return row;
    return MinimumRow{name, 0, ""};
  };
  std::string t = "| call | start-up | -getcurrent | -p*Bench | why the minimum |\n|---|---|---|---|---|\n";
  for (const std::string& name : names) {
    std::string row = "| `" + name + "` |";
    const bool machineService = name.rfind("adlsim_", 0) == 0;
    std::vector<std::string> why;
    for (size_t c = 0; c < Commands().size(); ++c) {
      const int measured = host.byCommand[c].back().tally.Count(name);
      const MinimumRow min = minimum(Commands()[c].command, name);
      row += " " + (machineService ? std::to_string(measured) : Cell(measured, min.count)) + " |";
      // Each command repeats the start-up's reasons; list every reason once.
      size_t from = 0;
      while (from < min.reason.size()) {
        size_t to = min.reason.find("; ", from);
        if (to == std::string::npos) to = min.reason.size();
        const std::string part = min.reason.substr(from, to - from);
        if (std::find(why.begin(), why.end(), part) == why.end()) why.push_back(part);
        from = to + 2;
      }
    }
    std::string whyText = machineService ? "the simulated machine's kernel driver list, not the driver" : "";
    for (const std::string& part : why) whyText += (whyText.empty() ? "" : "; ") + part;
    t += row + " " + whyText + " |\n";
  }
  std::string connections = "| connections (contexts created) |";
  std::string total = "| driver calls in all |";
  for (size_t c = 0; c < Commands().size(); ++c) {
    const JournalTally& tally = host.byCommand[c].back().tally;
    connections += " " + Cell(tally.Count("ADL2_Main_Control_Create"), MinimumConnections(Commands()[c].command, kRig12)) + " |";
    int minimumCalls = 0;
    for (const MinimumRow& row : MinimumCalls(Commands()[c].command, kRig12)) minimumCalls += row.count;
    total += " " + Cell(tally.DriverCalls(), minimumCalls) + " |";
  }
  t += connections + " one for discovery, one per card operation |\n";
  t += total + " |\n";
  return t;
}

std::string MemoryTable(const LatencyResult& host) {
  std::string t = "| program | median peak RSS | largest | target |\n|---|---|---|---|\n";
  auto mib = [](double kib) { return Fixed(kib / 1024.0) + " MiB"; };
  auto row = [&](const std::string& label, const std::vector<Sample>& samples, bool withTarget) {
    std::vector<double> values;
    for (const Sample& s : samples) values.push_back(double(s.rssKiB));
    const double largest = *std::max_element(values.begin(), values.end());
    std::string target = "-";
    if (withTarget) target = "≤ 8 MiB" + std::string(largest / 1024.0 <= kMemoryTargetMiB ? " met" : " **missed**");
    t += "| " + label + " | " + mib(Median(values)) + " | " + mib(largest) + " | " + target + " |\n";
  };
  row("floor program", host.floor, false);
  row("floor + loading the simulator", host.floorLibrary, false);
  for (size_t c = 0; c < Commands().size(); ++c)
    row(Commands()[c].label, host.byCommand[c], Commands()[c].command == Command::GetCurrent);
  return t;
}

}  // namespace

int main(int argc, char** argv) {
  const Options o = ParseOptions(argc, argv);
  const Product host{"host", o.hostBin, "tunewright", "tw_floor", "tw_floor_library", {}};
  const Product windows{"Windows exe (wine)", o.windowsBin, "Tunewright.exe", "tw_floor.exe", "tw_floor_library.exe",
                        o.wine};
  const bool withWindows = !o.windowsBin.empty() && !o.wine.empty();

  std::vector<std::pair<const Product*, LatencyResult>> latency;
  std::vector<std::pair<const Product*, std::vector<Sample>>> driver;
  std::fprintf(stderr, "cli_bench: host, %d runs of each command...\n", o.runs);
  latency.emplace_back(&host, MeasureLatency(host, o));
  std::fprintf(stderr, "cli_bench: host with a slow driver, %d runs...\n", o.delayRuns);
  driver.emplace_back(&host, MeasureDriverLatency(host, o));
  if (withWindows) {
    std::fprintf(stderr, "cli_bench: Windows exe under wine, %d runs of each command...\n", o.runs);
    latency.emplace_back(&windows, MeasureLatency(windows, o));
    std::fprintf(stderr, "cli_bench: Windows exe with a slow driver, %d runs...\n", o.delayRuns);
    driver.emplace_back(&windows, MeasureDriverLatency(windows, o));
  }

  std::string body;
  if (!o.machine.empty()) body += ReadFile(o.machine);
  body += "- rig folders in " + o.folderRoot.string() + "\n\n";
  body += "#### Latency on 12 cards (4 Polaris, 4 Vega, 4 Navi), medians of " + std::to_string(o.runs) + " runs\n\n";
  body += LatencyTable(latency) + "\n";
  body += "#### A slow driver: -p*Bench on 6 cards, 20 ms per context, 0.5 ms per other call, medians of " +
          std::to_string(o.delayRuns) + " runs\n\n";
  body += DriverLatencyTable(driver, latency) + "\n";
  body += "#### Driver calls per command on the 12 cards (measured / minimum; bold: above the minimum)\n\n";
  body += CallsTable(latency.front().second) + "\n";
  const std::string sameCalls = SameCallsNote(latency);
  if (!sameCalls.empty()) body += sameCalls + "\n";
  body += "#### Peak resident memory on the host, 12 cards\n\n";
  body += MemoryTable(latency.front().second);
  std::fputs(body.c_str(), stdout);

  if (!o.readme.empty()) {
    const std::optional<std::string> updated = ReplaceMarkedSection(ReadFile(o.readme), kSectionBegin, kSectionEnd, body);
    if (!updated) Fail(o.readme.string() + " lacks the marker lines " + kSectionBegin + " and " + kSectionEnd);
    WriteFile(o.readme, *updated);
  }
  return 0;
}
