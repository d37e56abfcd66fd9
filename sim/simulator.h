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
  void WriteJournal(const std::string& line);
  void Note(const std::string& text);  // a "# ..." journal line

  // Contexts handed out by ADL2_Main_Control_Create and not yet destroyed.
  std::set<void*>& contexts() { return contexts_; }
  // How a context handed out is released (set by the code that makes them).
  void SetContextRelease(void (*release)(void*)) { releaseContext_ = release; }

  // The adapter with the driver's index, or nullptr.
  const Adapter* FindAdapter(int index) const;

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
  Simulator& sim_;
  std::string name_;
  JournalLine line_;
  std::optional<Fault> fault_;
  std::chrono::steady_clock::time_point start_;
};

// For entry points taking a context: Begin, then checks the context.
std::optional<int> BeginAdl(Call& call, void* context);
// As BeginAdl, and finds the card of an adapter index (-5 for an unknown index).
std::optional<int> BeginCard(Call& call, void* context, int adapter, const CardSpec*& cardSpec, CardState*& card);

}  // namespace adlsim
