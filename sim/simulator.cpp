#include "simulator.h"

#include "os.h"
#include "scenario.h"
#include "state.h"

namespace adlsim {
namespace {

constexpr int kAdlErr = -1;
constexpr int kAdlErrNotInit = -2;
constexpr int kAdlErrInvalidAdapter = -5;
constexpr int kErrorInternal = 1359;

std::filesystem::path FromUtf8(const std::string& text) {
  return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

std::string ToUtf8(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace

SimPaths FindPaths() {
  const std::filesystem::path folder = os::OwnModulePath().parent_path();
  SimPaths paths{folder / "adlsim.ini", folder / "adlsim.state", folder / "adlsim.journal"};
  if (auto value = os::GetEnv("ADLSIM_SCENARIO")) paths.scenario = FromUtf8(*value);
  if (auto value = os::GetEnv("ADLSIM_STATE")) paths.state = FromUtf8(*value);
  if (auto value = os::GetEnv("ADLSIM_JOURNAL")) paths.journal = FromUtf8(*value);
  return paths;
}

Simulator& Simulator::Instance() {
  static Simulator simulator(FindPaths());
  return simulator;
}

Simulator::Simulator(SimPaths paths)
    : paths_(std::move(paths)), journal_(paths_.journal), processId_(os::ProcessId()) {
  Load();
}

Simulator::~Simulator() {
  if (!releaseContext_) return;
  for (void* context : contexts_) releaseContext_(context);
}

void Simulator::Load() {
  std::string text = DefaultRigText();
  std::string source = "built-in default rig";
  if (std::optional<std::string> file = os::ReadFile(paths_.scenario)) {
    text = *file;
    source = ToUtf8(paths_.scenario);
  }
  scenarioHash_ = ScenarioHash(text);
  std::string error;
  std::optional<Scenario> scenario = ParseScenario(text, source, error);
  if (!scenario) return Break("bad scenario: " + error);
  scenario_ = std::move(*scenario);
  // A snapshot of a driver without some entry points replays faithfully only with a
  // library variant that leaves them out too.
  for (const std::string& name : scenario_.libraryLacks)
    if (os::OwnModuleExports(name.c_str()))
      Note("the scenario's driver library lacks " + name + ", this one exports it (see the variants under simvariants/)");
  if (std::optional<std::string> faults = os::GetEnv("ADLSIM_FAULTS")) {
    if (!ParseFaultList(*faults, scenario_.faults, error)) return Break("bad fault switches: " + error);
  }
  if (std::optional<std::string> delay = os::GetEnv("ADLSIM_DELAY_MS")) {
    if (!ParseFaultList("delay_ms=" + *delay, scenario_.faults, error)) return Break("bad delay: " + error);
  }
  ReloadState();
}

void Simulator::Break(const std::string& message) {
  error_ = message;
  const std::string text = "ERROR adlsim: " + message + "; every call now fails\n";
  os::WriteStderr(text);
  os::AppendToFile(paths_.journal, text);
}

void Simulator::ReloadState() {
  if (broken()) return;
  const std::optional<std::string> text = os::ReadFile(paths_.state);
  if (!text) {
    state_ = DefaultState(scenario_, scenarioHash_);
    return;
  }
  // A state made for another scenario may not even fit this one: look at its mark first.
  if (text->find("\nscenario = " + scenarioHash_ + "\n") == std::string::npos) {
    Note("state file made for another scenario: starting from the scenario");
    state_ = DefaultState(scenario_, scenarioHash_);
    return;
  }
  std::string error;
  std::optional<State> state = ParseState(*text, scenario_, ToUtf8(paths_.state), error);
  if (!state) return Break("bad state: " + error);
  state_ = std::move(*state);
}

void Simulator::SaveState() {
  if (broken()) return;
  if (!os::WriteFileAtomically(paths_.state, SerializeState(state_))) {
    const std::string text = "ERROR adlsim: cannot write the state file " + ToUtf8(paths_.state) + "\n";
    os::WriteStderr(text);
    os::AppendToFile(paths_.journal, text);
  }
}

void Simulator::ResetState() {
  if (broken()) return;
  state_ = DefaultState(scenario_, scenarioHash_);
  SaveState();
}

void Simulator::WriteJournal(const std::string& line) {
  const auto start = std::chrono::steady_clock::now();
  journal_.Append(line + "\n");
  carriedUs_ += std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start).count();
}

int64_t Simulator::TakeCarriedUs() {
  const int64_t carried = carriedUs_;
  carriedUs_ = 0;
  return carried;
}

void Simulator::Note(const std::string& text) { WriteJournal("# " + text); }

const Adapter* Simulator::FindAdapter(int index) const {
  for (const Adapter& adapter : scenario_.adapters)
    if (adapter.index == index) return &adapter;
  return nullptr;
}

Call::Call(const char* name)
    : start_(std::chrono::steady_clock::now()), sim_(Simulator::Instance()), name_(name), line_(name) {}

std::optional<int> Call::Begin(bool machineService) {
  if (sim_.broken()) return machineService ? kErrorInternal : kAdlErr;
  const Faults& faults = sim_.scenario().faults;
  auto delay = faults.delayUsByName.find(name_);
  os::SleepMicroseconds(delay != faults.delayUsByName.end() ? delay->second : faults.delayUs);
  auto found = faults.byName.find(name_);
  if (found == faults.byName.end()) return std::nullopt;
  const Fault& fault = found->second;
  if (fault.fromCall > 1) {
    // Counted in the state file: "from the Nth call" spans the loads and unloads of a run.
    const int number = ++sim_.state().calls[name_];
    sim_.SaveState();
    line_.Add("call", number);
    if (number < fault.fromCall) return std::nullopt;
  }
  fault_ = fault;
  line_.Add("fault", fault.kind == FaultKind::Result ? "result" : fault.kind == FaultKind::NullList ? "null_list" : "ignore");
  if (fault.kind == FaultKind::Result) return fault.result;
  return std::nullopt;
}

int Call::Finish(int result) {
  const auto micros =
      std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start_).count() +
      sim_.TakeCarriedUs();
  line_.Add("result", result);
  line_.Add("us", static_cast<int>(micros));
  line_.Add("pid", static_cast<int>(sim_.processId()));
  sim_.WriteJournal(line_.text());
  return result;
}

std::optional<int> BeginAdl(Call& call, void* context) {
  if (std::optional<int> early = call.Begin()) return early;
  if (!context || !call.sim().contexts().count(context)) {
    call.line().Add("context", "invalid");
    return kAdlErrNotInit;
  }
  return std::nullopt;
}

std::optional<int> BeginCard(Call& call, void* context, int adapter, const CardSpec*& cardSpec, CardState*& card) {
  call.line().Add("adapter", adapter);
  if (std::optional<int> early = BeginAdl(call, context)) return early;
  const Adapter* found = call.sim().FindAdapter(adapter);
  if (!found) return kAdlErrInvalidAdapter;
  cardSpec = &call.sim().scenario().cards[static_cast<size_t>(found->card)];
  card = &call.sim().state().cards[static_cast<size_t>(found->card)];
  return std::nullopt;
}

}  // namespace adlsim
