#pragma once
// The simulator of one loaded library: where its files are, the scenario (read once per
// load), the state (read again whenever a client opens a context or asks a machine
// service, written after every change) and the journal. Every entry point runs inside a
// Call, which applies the fault switches, measures the time spent and writes the journal line.

#include <chrono>
#include <filesystem>
#include <optional>
#include <set>
#include <string>

#include "journal.h"
#include "model.h"
#include "os.h"

namespace adlsim {

struct SimPaths {
  std::filesystem::path scenario;  // may not exist: the default rig is used
  std::filesystem::path state;
  std::filesystem::path journal;
};

// ADLSIM_SCENARIO, ADLSIM_STATE and ADLSIM_JOURNAL, else adlsim.ini, adlsim.state and
// adlsim.journal beside the library file.
SimPaths FindPaths();

class Simulator {
 public:
  // The simulator of this library, made on first use.
  static Simulator& Instance();
  explicit Simulator(SimPaths paths);
  // Contexts never destroyed (a forced failure of ADL2_Main_Control_Destroy) go with the
  // library, as a driver's memory goes with its process.
  ~Simulator();
  Simulator(const Simulator&) = delete;
  Simulator& operator=(const Simulator&) = delete;

  bool broken() const { return !error_.empty(); }
  const std::string& error() const { return error_; }
  const Scenario& scenario() const { return scenario_; }
  State& state() { return state_; }
  const SimPaths& paths() const { return paths_; }

  // Reads the state file again (a change by another process or by the adlsim tool).
  void ReloadState();
  // Writes the state file; a failure goes to the journal and standard error.
  void SaveState();
  void ResetState();
  // Appends the line; the time that takes is handed to the next call's "us" (TakeCarriedUs).
  void WriteJournal(const std::string& line);
  void Note(const std::string& text);  // a "# ..." journal line

  // Contexts handed out by ADL2_Main_Control_Create and not yet destroyed.
  std::set<void*>& contexts() { return contexts_; }
  // How a context handed out is released (set by the code that makes them).
  void SetContextRelease(void (*release)(void*)) { releaseContext_ = release; }

  // The adapter with the driver's index, or nullptr.
  const Adapter* FindAdapter(int index) const;

  // Microseconds the simulator spent outside any call's measurement (writing the last
  // journal line), given to the next call so that no time inside the simulator goes uncounted.
  int64_t TakeCarriedUs();
  unsigned long processId() const { return processId_; }

 private:
  void Load();
  void Break(const std::string& message);

  SimPaths paths_;
  std::string scenarioHash_;
  Scenario scenario_;
  State state_;
  std::string error_;
  std::set<void*> contexts_;
  void (*releaseContext_)(void*) = nullptr;
  os::AppendFile journal_;
  int64_t carriedUs_ = 0;
  unsigned long processId_;
};

class Call {
 public:
  explicit Call(const char* name);
  JournalLine& line() { return line_; }
  Simulator& sim() { return sim_; }

  // The answer that ends the call before its work: the simulator is broken (-1), or a
  // forced result applies. Also sleeps the configured delay. `machineService` calls answer
  // Windows error codes (a broken simulator answers 1359, ERROR_INTERNAL_ERROR).
  std::optional<int> Begin(bool machineService = false);
  // The fault applying to this call, when its kind is `kind`.
  bool FaultIs(FaultKind kind) const { return fault_ && fault_->kind == kind; }
  int Finish(int result);

 private:
  // Taken first, so that loading the simulator on a process's first call (reading the
  // scenario) counts as time spent inside the simulator.
  std::chrono::steady_clock::time_point start_;
  Simulator& sim_;
  std::string name_;
  JournalLine line_;
  std::optional<Fault> fault_;
};

// For entry points taking a context: Begin, then checks the context.
std::optional<int> BeginAdl(Call& call, void* context);
// As BeginAdl, and finds the card of an adapter index (-5 for an unknown index).
std::optional<int> BeginCard(Call& call, void* context, int adapter, const CardSpec*& cardSpec, CardState*& card);

}  // namespace adlsim
