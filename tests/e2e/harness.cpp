#include "harness.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include <gtest/gtest.h>

#include "wine_session.h"

extern char** environ;

namespace tw::e2e {
namespace {

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  std::istringstream in(text);
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

fs::path EnvPath(const char* name) {
  const char* value = std::getenv(name);
  return value ? fs::path(value) : fs::path();
}

std::string LastLines(const std::string& text, size_t count) {
  size_t from = text.size();
  for (size_t lines = 0; from > 0 && lines <= count; --from)
    if (text[from - 1] == '\n') ++lines;
  return text.substr(from == 0 ? 0 : from + 1);
}

std::string HangReport(const RunResult& result, const RunWatch& watch) {
  std::string report = "last output:\n" + LastLines(result.out, 10) + "last error output:\n" + LastLines(result.err, 10);
  if (watch.openWindows) report += "open windows:\n" + watch.openWindows();
  return report;
}

std::string FirstBox(const RunWatch& watch) {
  if (watch.boxRecord.empty()) return {};
  std::ifstream in(watch.boxRecord);
  std::string line;
  std::getline(in, line);
  return line;
}

}  // namespace

std::vector<std::string> RunResult::OutLines() const { return SplitLines(out); }
std::vector<std::string> RunResult::ErrLines() const { return SplitLines(err); }

RunResult RunProcess(const std::vector<std::string>& argv, const fs::path& cwd,
                     const std::map<std::string, std::string>& extraEnv, std::chrono::seconds timeout,
                     const RunWatch& watch) {
  int outPipe[2], errPipe[2];
  if (pipe2(outPipe, O_CLOEXEC) != 0 || pipe2(errPipe, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, outPipe[1], 1);
  posix_spawn_file_actions_adddup2(&actions, errPipe[1], 2);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addchdir_np(&actions, cwd.c_str());

  std::map<std::string, std::string> env;
  for (char** e = environ; *e; ++e) {
    const std::string entry = *e;
    const size_t eq = entry.find('=');
    if (eq != std::string::npos) env[entry.substr(0, eq)] = entry.substr(eq + 1);
  }
  for (const auto& [k, v] : extraEnv) env[k] = v;
  std::vector<std::string> envStrings;
  for (const auto& [k, v] : env) envStrings.push_back(k + "=" + v);
  std::vector<char*> envp;
  for (auto& s : envStrings) envp.push_back(s.data());
  envp.push_back(nullptr);
  std::vector<std::string> args = argv;
  std::vector<char*> argp;
  for (auto& a : args) argp.push_back(a.data());
  argp.push_back(nullptr);

  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
  posix_spawnattr_setpgroup(&attributes, 0);

  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, argp[0], &actions, &attributes, argp.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  close(outPipe[1]);
  close(errPipe[1]);
  RunResult result;
  if (spawned != 0) {
    close(outPipe[0]);
    close(errPipe[0]);
    throw std::runtime_error("cannot start " + argv[0]);
  }

  pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
  std::string* sinks[2] = {&result.out, &result.err};
  int open = 2;
  while (open > 0) {
    const auto left = timeout - (std::chrono::steady_clock::now() - start);
    if (left <= std::chrono::milliseconds(0)) {
      result.timedOut = true;
      result.hangReport = HangReport(result, watch);
      kill(-pid, SIGKILL);
      break;
    }
    result.box = FirstBox(watch);
    if (!result.box.empty()) {
      kill(-pid, SIGKILL);
      break;
    }
    // A watched run looks at its box record ten times a second.
    const auto wait = watch.boxRecord.empty() ? left : std::min<std::chrono::nanoseconds>(left, std::chrono::milliseconds(100));
    const int ready = poll(fds, 2, static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(wait).count()));
    if (ready <= 0) continue;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
      char buffer[4096];
      const ssize_t got = read(fds[i].fd, buffer, sizeof buffer);
      if (got > 0) {
        sinks[i]->append(buffer, static_cast<size_t>(got));
      } else {
        close(fds[i].fd);
        fds[i].fd = -1;
        --open;
      }
    }
  }
  for (auto& fd : fds)
    if (fd.fd >= 0) close(fd.fd);
  int status = 0;
  waitpid(pid, &status, 0);
  result.elapsed =
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
  if (!result.timedOut && WIFEXITED(status)) result.exitStatus = WEXITSTATUS(status);
  return result;
}

TempFolder::TempFolder() {
  std::random_device random;
  const fs::path base = fs::temp_directory_path();
  for (;;) {
    path_ = base / ("tw-e2e-" + std::to_string(random()));
    if (fs::create_directory(path_)) break;
  }
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

std::string ReadFileBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFileBytes(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

std::string Utf16File(const std::string& utf8Text) {
  std::string bytes = "\xFF\xFE";
  for (unsigned char c : utf8Text) {
    if (c >= 0x80) throw std::runtime_error("Utf16File takes ASCII text");
    bytes += static_cast<char>(c);
    bytes += '\0';
  }
  return bytes;
}

const Products& GetProducts() {
  static const Products products = [] {
    Products p;
    p.hostBin = EnvPath("TW_E2E_HOST_BIN");
    if (!p.hostBin.empty()) p.hostProgram = p.hostBin / "tunewright";
    p.windowsSimBin = EnvPath("TW_E2E_WINDOWS_SIM_BIN");
    p.windowsReleaseBin = EnvPath("TW_E2E_WINDOWS_RELEASE_BIN");
    p.wineScript = EnvPath("TW_E2E_WINE");
    return p;
  }();
  return products;
}

namespace {

std::string WindowsPath(const fs::path& path) {
  std::string text = "Z:" + path.string();
  for (char& c : text)
    if (c == '/') c = '\\';
  return text;
}

}  // namespace

std::string OpenWindows() {
  const fs::path watcher = GetProducts().windowsSimBin / "box_watcher.exe";
  return RunProcess({GetProducts().wineScript.string(), watcher.string(), "--windows"}, fs::current_path(), {},
                    std::chrono::seconds(20))
      .out;
}

RunResult RunWindowsExe(const fs::path& bin, const std::string& exeName, const std::vector<std::string>& args,
                        const fs::path& folder, std::chrono::seconds timeout,
                        const std::map<std::string, std::string>& extraEnv) {
  PrepareWineSession();
  fs::copy_file(bin / exeName, folder / exeName, fs::copy_options::overwrite_existing);
  // The sentinel keeps its files out of the program's folder, which tests list.
  const TempFolder sentinel;
  const fs::path record = sentinel / "boxes.txt";
  const fs::path stop = sentinel / "watcher.stop";
  // The sentinel is up (its record file exists) before the program starts, and ends once
  // the program has ended; the exit status is the program's.
  const std::string script =
      "w=\"$1\"; record=\"$3\"; stop=\"$5\"; \"$w\" \"$2\" \"$4\" \"$6\" --sentinel & sentinel=$!; shift 6; "
      "n=0; while [ ! -f \"$record\" ] && [ $n -lt 600 ]; do sleep 0.1; n=$((n+1)); done; "
      "\"$w\" cmd /c \"$@\"; status=$?; touch \"$stop\"; wait $sentinel; exit $status";
  std::vector<std::string> argv = {"/bin/sh",
                                   "-c",
                                   script,
                                   "sh",
                                   GetProducts().wineScript.string(),
                                   (GetProducts().windowsSimBin / "box_watcher.exe").string(),
                                   record.string(),
                                   WindowsPath(record),
                                   stop.string(),
                                   WindowsPath(stop),
                                   exeName};
  argv.insert(argv.end(), args.begin(), args.end());
  RunResult run = RunProcess(argv, folder, extraEnv, timeout, RunWatch{record, OpenWindows});
  if (!run.box.empty()) ADD_FAILURE() << exeName << " showed a box and was ended at it: " << run.box;
  if (run.timedOut) ADD_FAILURE() << exeName << " did not end within " << timeout.count() << " s\n" << run.hangReport;
  return run;
}

RunResult RunHostProgram(const std::vector<std::string>& args, const fs::path& folder,
                         const std::map<std::string, std::string>& extraEnv, std::chrono::seconds timeout) {
  const fs::path program = folder / "tunewright";
  fs::copy_file(GetProducts().hostProgram, program, fs::copy_options::overwrite_existing);
  std::vector<std::string> argv = {program.string()};
  argv.insert(argv.end(), args.begin(), args.end());
  return RunProcess(argv, folder, extraEnv, timeout);
}

}  // namespace tw::e2e

namespace tw::e2e {
namespace {

// Splits on blanks outside double quotes (journal texts are quoted with \\ escapes).
std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> words;
  std::string word;
  bool quoted = false;
  for (size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted && c == '\\' && i + 1 < line.size()) {
      word += c;
      word += line[++i];
      continue;
    }
    if (c == '"') quoted = !quoted;
    if (c == ' ' && !quoted) {
      if (!word.empty()) words.push_back(word);
      word.clear();
    } else {
      word += c;
    }
  }
  if (!word.empty()) words.push_back(word);
  return words;
}

std::string Unquote(const std::string& value) {
  if (value.size() < 2 || value.front() != '"' || value.back() != '"') return value;
  std::string plain;
  for (size_t i = 1; i + 1 < value.size(); ++i) {
    if (value[i] == '\\' && i + 2 < value.size()) {
      const char e = value[++i];
      plain += e == 'r' ? '\r' : e == 'n' ? '\n' : e;
    } else {
      plain += value[i];
    }
  }
  return plain;
}

std::string FromUtf16File(const std::string& bytes) {
  std::string text;
  size_t i = bytes.compare(0, 2, "\xFF\xFE") == 0 ? 2 : 0;
  for (; i + 1 < bytes.size(); i += 2) {
    const unsigned code = static_cast<unsigned char>(bytes[i]) | (static_cast<unsigned char>(bytes[i + 1]) << 8);
    if (code < 0x80) {
      text += static_cast<char>(code);
    } else if (code < 0x800) {
      text += static_cast<char>(0xC0 | (code >> 6));
      text += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      text += static_cast<char>(0xE0 | (code >> 12));
      text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      text += static_cast<char>(0x80 | (code & 0x3F));
    }
  }
  return text;
}

std::string ShellQuote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

}  // namespace

std::string JournalEntry::Arg(const std::string& key) const {
  const auto found = args.find(key);
  return found == args.end() ? std::string() : found->second;
}

std::vector<JournalEntry> ParseJournal(const std::string& text) {
  std::vector<JournalEntry> entries;
  for (const std::string& line : SplitLines(text)) {
    if (line.empty() || line[0] == '#' || line.rfind("ERROR", 0) == 0) continue;
    const std::vector<std::string> words = Words(line);
    JournalEntry entry;
    entry.line = line;
    entry.name = words.empty() ? "" : words[0];
    for (size_t i = 1; i < words.size(); ++i) {
      const size_t equals = words[i].find('=');
      if (equals == std::string::npos) continue;
      entry.args[words[i].substr(0, equals)] = Unquote(words[i].substr(equals + 1));
    }
    entry.result = std::atoi(entry.Arg("result").c_str());
    entries.push_back(entry);
  }
  return entries;
}

std::vector<JournalEntry> RigRun::Calls(const std::string& name) const {
  std::vector<JournalEntry> calls;
  for (const JournalEntry& entry : journal)
    if (entry.name == name) calls.push_back(entry);
  return calls;
}

Rig::Rig(Target target) : target_(target) {}

Rig& Rig::Simulator(const std::string& variant, const std::string& libraryName) {
  variant_ = variant;
  libraryName_ = libraryName;
  simulator_ = true;
  return *this;
}

Rig& Rig::WithoutSimulator() {
  simulator_ = false;
  return *this;
}

Rig& Rig::Scenario(const std::string& iniText) {
  WriteFileBytes(folder_ / "adlsim.ini", iniText);
  return *this;
}

Rig& Rig::Ini(const std::string& utf8Text) {
  WriteFileBytes(folder_ / "Tunewright.ini", Utf16File(utf8Text));
  return *this;
}

Rig& Rig::WatchBoxes(std::vector<std::string> answers) {
  watch_ = true;
  answers_ = std::move(answers);
  return *this;
}

Rig& Rig::Environment(const std::string& name, const std::string& value) {
  environment_[name] = value;
  return *this;
}

Rig& Rig::Timeout(std::chrono::seconds timeout) {
  timeout_ = timeout;
  return *this;
}

std::string Rig::IniText() const { return FromUtf16File(File("Tunewright.ini")); }

fs::path Rig::ProductBin() const {
  return target_ == Target::Host ? GetProducts().hostBin : GetProducts().windowsSimBin;
}

void Rig::PlaceSimulator() {
  for (const char* name : {"atiadlxx.dll", "atiadlxy.dll", "amdadlxx.dll"}) fs::remove(folder_ / name);
  if (!simulator_) return;
  fs::copy_file(ProductBin() / "simvariants" / variant_ / "atiadlxx.dll", folder_ / libraryName_,
                fs::copy_options::overwrite_existing);
}

RunResult Rig::RunWindows(const std::vector<std::string>& args) {
  if (!watch_) return RunWindowsExe(ProductBin(), "Tunewright.exe", args, folder_.path());
  PrepareWineSession();
  fs::copy_file(ProductBin() / "Tunewright.exe", folder_ / "Tunewright.exe", fs::copy_options::overwrite_existing);
  fs::copy_file(ProductBin() / "box_watcher.exe", folder_ / "box_watcher.exe", fs::copy_options::overwrite_existing);
  fs::remove(folder_ / "boxes.txt");
  fs::remove(folder_ / "watcher.stop");
  std::string answers;
  for (const std::string& answer : answers_) answers += " " + ShellQuote(answer);
  // The watcher is up (its record file exists) before the exe starts, and ends once the
  // exe has ended; the exit status is the exe's.
  const std::string script = "w=\"$1\"; shift; \"$w\" box_watcher.exe boxes.txt watcher.stop" + answers +
                             " & watcher=$!; n=0; while [ ! -f boxes.txt ] && [ $n -lt 600 ]; do sleep 0.1; n=$((n+1)); done; "
                             "\"$w\" cmd /c Tunewright.exe \"$@\"; status=$?; touch watcher.stop; wait $watcher; exit $status";
  std::vector<std::string> argv = {"/bin/sh", "-c", script, "sh", GetProducts().wineScript.string()};
  argv.insert(argv.end(), args.begin(), args.end());
  return RunProcess(argv, folder_.path(), {}, std::chrono::seconds(120), RunWatch{{}, OpenWindows});
}

RigRun Rig::Run(const std::vector<std::string>& args) {
  PlaceSimulator();
  const size_t journalBefore = ParseJournal(File("adlsim.journal")).size();
  RigRun result;
  result.run = target_ == Target::Host ? RunHostProgram(args, folder_.path(), environment_, timeout_) : RunWindows(args);
  // A box nobody answers holds the exe until it is killed; the test must not pass on what
  // such a run left behind.
  if (target_ == Target::Windows && result.run.timedOut)
    throw std::runtime_error("the Windows exe did not end in time\n" + result.run.hangReport);
  result.exitStatus = result.run.exitStatus;
  result.outLines = result.run.OutLines();
  if (target_ == Target::Host) {
    for (const std::string& line : result.run.ErrLines())
      if (line.rfind("BOX ", 0) == 0) result.boxes.push_back(line);
  } else {
    result.boxes = SplitLines(File("boxes.txt"));
  }
  result.log = File("Tunewright.log");
  std::vector<JournalEntry> journal = Journal();
  result.journal.assign(journal.begin() + static_cast<std::ptrdiff_t>(std::min(journalBefore, journal.size())), journal.end());
  return result;
}

}  // namespace tw::e2e
