#include "wine_session.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

#include "harness.h"

extern char** environ;

namespace tw::e2e {
namespace {

// A private X server for the suite, ended with it.
class OwnXServer {
 public:
  OwnXServer() {
    int ready[2];
    if (pipe2(ready, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ready[1], 3);  // dup2 clears close-on-exec
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    char* argv[] = {const_cast<char*>("Xvfb"), const_cast<char*>("-displayfd"), const_cast<char*>("3"),
                    const_cast<char*>("-screen"), const_cast<char*>("0"), const_cast<char*>("1280x1024x24"),
                    const_cast<char*>("-nolisten"), const_cast<char*>("tcp"), nullptr};
    const int spawned = posix_spawnp(&pid_, "Xvfb", &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(ready[1]);
    if (spawned != 0) {
      close(ready[0]);
      throw std::runtime_error("cannot start Xvfb (package xvfb)");
    }
    // Xvfb writes its display number once it accepts connections.
    std::string number;
    pollfd fd{ready[0], POLLIN, 0};
    while (poll(&fd, 1, 30000) > 0) {
      char c = 0;
      if (read(ready[0], &c, 1) != 1 || c == '\n') break;
      number += c;
    }
    close(ready[0]);
    if (number.empty()) {
      Stop();  // a constructor that throws gets no destructor
      throw std::runtime_error("Xvfb did not start");
    }
    display_ = ":" + number;
  }
  ~OwnXServer() { Stop(); }
  OwnXServer(const OwnXServer&) = delete;
  OwnXServer& operator=(const OwnXServer&) = delete;
  const std::string& display() const { return display_; }

 private:
  void Stop() {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }

  pid_t pid_ = 0;
  std::string display_;
};

}  // namespace

void PrepareWineSession() {
  static const bool prepared = [] {
    // Always a private one: on a developer's own screen a window could cover a box
    // whose icon the watcher reads off the screen.
    static OwnXServer server;
    setenv("DISPLAY", server.display().c_str(), 1);
    RunProcess({GetProducts().wineScript.string(), "--end-server"}, fs::current_path());
    return true;
  }();
  (void)prepared;
}

fs::path GuiShotFolder() { return GetProducts().windowsSimBin.parent_path().parent_path() / "gui-shots"; }

RunResult RunWindowScenario(const fs::path& folder, const std::string& shots, const std::vector<std::string>& commands) {
  PrepareWineSession();
  // The suite's display has no window manager: wine draws the captions and frames itself,
  // so that the screenshots show them.
  static const bool decorated = [] {
    RunProcess({GetProducts().wineScript.string(), "reg", "add", "HKCU\\Software\\Wine\\X11 Driver", "/v",
                "Decorated", "/d", "N", "/f"},
               fs::current_path());
    return true;
  }();
  (void)decorated;
  const fs::path bin = GetProducts().windowsSimBin;
  for (const char* file : {"Tunewright.exe", "gui_driver.exe"})
    fs::copy_file(bin / file, folder / file, fs::copy_options::overwrite_existing);
  fs::copy_file(bin / "simvariants" / "full" / "atiadlxx.dll", folder / "atiadlxx.dll",
                fs::copy_options::overwrite_existing);
  const std::string script =
      "w=\"$1\"; shift; \"$w\" Tunewright.exe & app=$!; \"$w\" gui_driver.exe \"$@\"; status=$?; "
      "if [ $status -ne 0 ]; then kill $app; fi; wait $app; echo \"EXIT $?\"; exit $status";
  std::vector<std::string> argv = {"/bin/sh", "-c", script, "sh", GetProducts().wineScript.string()};
  argv.insert(argv.end(), commands.begin(), commands.end());
  RunResult run = RunProcess(argv, folder, {}, std::chrono::seconds(240), RunWatch{{}, OpenWindows});
  if (run.timedOut) ADD_FAILURE() << "the window scenario " << shots << " did not end within 240 s\n" << run.hangReport;
  const fs::path shotFolder = GuiShotFolder();
  fs::create_directories(shotFolder);
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.path().extension() != ".bmp") continue;
    const fs::path png = shotFolder / (shots + "-" + entry.path().stem().string() + ".png");
    RunProcess({"/bin/sh", "-c", "convert \"$1\" \"$2\"", "sh", entry.path().string(), png.string()}, folder);
  }
  return run;
}

}  // namespace tw::e2e
