// The simulated machine's services and the adlsim tool's access to the state.

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "api_machine.h"
#include "ini.h"
#include "os.h"
#include "simulator.h"
#include "state.h"

namespace adlsim::machine {
namespace {

constexpr unsigned kErrorInvalidData = 13;
constexpr unsigned kErrorInsufficientBuffer = 122;
constexpr unsigned kErrorNoSuchDevice = 433;  // ERROR_NO_SUCH_DEVINST
constexpr unsigned kErrorInvalidParameter = 87;

unsigned Finish(Call& call, unsigned error) {
  os::SetLastErrorCode(error);
  return static_cast<unsigned>(call.Finish(static_cast<int>(error)));
}

unsigned CopyOut(const std::string& text, char* buffer, int capacity, int* length) {
  if (length) *length = static_cast<int>(text.size()) + 1;
  if (!buffer || capacity < static_cast<int>(text.size()) + 1) return kErrorInsufficientBuffer;
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  return 0;
}

struct DisplayDevice {
  std::string instanceId;
  int card = -1;  // -1: a device of the scenario's extra list
};

std::vector<DisplayDevice> PresentDevices(const Scenario& scenario) {
  std::vector<DisplayDevice> devices;
  for (size_t c = 0; c < scenario.cards.size(); ++c)
    if (scenario.cards[c].displayDevice) devices.push_back({scenario.cards[c].pnp, static_cast<int>(c)});
  for (const std::string& id : scenario.extraDisplayDevices) devices.push_back({id, -1});
  return devices;
}

// Begins a machine-service call: state read again (another process may have changed it).
std::optional<unsigned> BeginService(Call& call) {
  call.sim().ReloadState();
  if (std::optional<int> early = call.Begin(true)) return static_cast<unsigned>(*early);
  return std::nullopt;
}

std::optional<unsigned> FindDevice(Call& call, int index, DisplayDevice& device) {
  call.line().Add("index", index);
  if (std::optional<unsigned> early = BeginService(call)) return early;
  const std::vector<DisplayDevice> devices = PresentDevices(call.sim().scenario());
  if (index < 0 || index >= static_cast<int>(devices.size())) return kErrorNoSuchDevice;
  device = devices[static_cast<size_t>(index)];
  call.line().AddText("id", device.instanceId);
  return std::nullopt;
}

// Values a driver restart gives the card back: the tuning goes, the hardware stays.
void RestartCard(const CardSpec& cardSpec, CardState& card) {
  CardState fresh = DefaultCardState(cardSpec);
  fresh.i2c = card.i2c;
  fresh.friendlyName = card.friendlyName;
  fresh.powerEfficiency = card.powerEfficiency;
  fresh.chill = card.chill;
  fresh.restarts = card.restarts + 1;
  card = fresh;
}

}  // namespace

unsigned KernelDriversCount(int* count) {
  Call call("adlsim_KernelDrivers_Count");
  if (std::optional<unsigned> early = BeginService(call)) return Finish(call, *early);
  if (!count) return Finish(call, kErrorInvalidParameter);
  *count = static_cast<int>(call.sim().scenario().kernelDrivers.size());
  call.line().Add("count", *count);
  return Finish(call, 0);
}

unsigned KernelDriverName(int index, char* buffer, int capacity, int* length) {
  Call call("adlsim_KernelDriver_Name");
  call.line().Add("index", index);
  if (std::optional<unsigned> early = BeginService(call)) return Finish(call, *early);
  const std::vector<std::string>& drivers = call.sim().scenario().kernelDrivers;
  if (index < 0 || index >= static_cast<int>(drivers.size())) return Finish(call, kErrorInvalidParameter);
  call.line().AddText("name", drivers[static_cast<size_t>(index)]);
  return Finish(call, CopyOut(drivers[static_cast<size_t>(index)], buffer, capacity, length));
}

int IsUserAdmin() {
  Call call("adlsim_IsUserAdmin");
  if (BeginService(call)) {
    call.Finish(0);
    return 0;  // a failing membership test answers "not an administrator"
  }
  const int admin = call.sim().scenario().admin ? 1 : 0;
  call.line().Add("admin", admin);
  call.Finish(0);
  return admin;
}

unsigned DisplayDevicesCount(int* count) {
  Call call("adlsim_DisplayDevices_Count");
  if (std::optional<unsigned> early = BeginService(call)) return Finish(call, *early);
  if (!count) return Finish(call, kErrorInvalidParameter);
  *count = static_cast<int>(PresentDevices(call.sim().scenario()).size());
  call.line().Add("count", *count);
  return Finish(call, 0);
}

unsigned DisplayDeviceInstanceId(int index, char* buffer, int capacity, int* length) {
  Call call("adlsim_DisplayDevice_InstanceId");
  DisplayDevice device;
  if (std::optional<unsigned> early = FindDevice(call, index, device)) return Finish(call, *early);
  return Finish(call, CopyOut(device.instanceId, buffer, capacity, length));
}

unsigned DisplayDeviceRestart(int index) {
  Call call("adlsim_DisplayDevice_Restart");
  DisplayDevice device;
  if (std::optional<unsigned> early = FindDevice(call, index, device)) return Finish(call, *early);
  if (device.card >= 0 && !call.FaultIs(FaultKind::Ignore)) {
    Simulator& sim = call.sim();
    RestartCard(sim.scenario().cards[static_cast<size_t>(device.card)], sim.state().cards[static_cast<size_t>(device.card)]);
    sim.SaveState();
  }
  return Finish(call, 0);
}

unsigned DisplayDeviceFriendlyName(int index, char* buffer, int capacity, int* length) {
  Call call("adlsim_DisplayDevice_FriendlyName");
  DisplayDevice device;
  if (std::optional<unsigned> early = FindDevice(call, index, device)) return Finish(call, *early);
  if (device.card < 0) return Finish(call, kErrorInvalidData);
  const std::optional<std::string>& name = call.sim().state().cards[static_cast<size_t>(device.card)].friendlyName;
  if (!name) return Finish(call, kErrorInvalidData);
  call.line().AddText("name", *name);
  return Finish(call, CopyOut(*name, buffer, capacity, length));
}

unsigned DisplayDeviceSetFriendlyName(int index, const char* name) {
  Call call("adlsim_DisplayDevice_SetFriendlyName");
  DisplayDevice device;
  if (name) call.line().AddText("name", name);
  if (std::optional<unsigned> early = FindDevice(call, index, device)) return Finish(call, *early);
  if (!name) return Finish(call, kErrorInvalidParameter);
  if (device.card < 0) return Finish(call, 0);  // kept by Windows, not by this rig
  if (!call.FaultIs(FaultKind::Ignore)) {
    call.sim().state().cards[static_cast<size_t>(device.card)].friendlyName = std::string(name);
    call.sim().SaveState();
  }
  return Finish(call, 0);
}

unsigned DisplayDeviceRemoveFriendlyName(int index) {
  Call call("adlsim_DisplayDevice_RemoveFriendlyName");
  DisplayDevice device;
  if (std::optional<unsigned> early = FindDevice(call, index, device)) return Finish(call, *early);
  if (device.card >= 0 && !call.FaultIs(FaultKind::Ignore)) {
    call.sim().state().cards[static_cast<size_t>(device.card)].friendlyName.reset();
    call.sim().SaveState();
  }
  return Finish(call, 0);
}

unsigned ToolReset() {
  Simulator& sim = Simulator::Instance();
  if (sim.broken()) return 1359;
  sim.ResetState();
  sim.Note("state reset to the scenario by adlsim");
  return 0;
}

unsigned ToolDescribe(char* buffer, int capacity, int* length) {
  Simulator& sim = Simulator::Instance();
  if (!sim.broken()) sim.ReloadState();
  if (sim.broken()) return CopyOut("error: " + sim.error() + "\n", buffer, capacity, length);
  std::string text = "scenario: " + sim.scenario().source + "\n";
  text += "admin: " + std::string(sim.scenario().admin ? "yes" : "no") + "\n";
  text += "kernel drivers:";
  for (const std::string& driver : sim.scenario().kernelDrivers) text += " " + driver;
  if (!sim.scenario().libraryLacks.empty()) {
    text += "\nlibrary lacks:";
    for (const std::string& name : sim.scenario().libraryLacks) text += " " + name;
  }
  text += "\nadapters (index: card):";
  for (const Adapter& adapter : sim.scenario().adapters)
    text += " " + std::to_string(adapter.index) + ":" + std::to_string(adapter.card);
  text += "\n";
  for (size_t c = 0; c < sim.scenario().cards.size(); ++c) {
    const CardSpec& card = sim.scenario().cards[c];
    text += "card " + std::to_string(c) + " '" + card.label + "': " + card.name + ", vendor " + std::to_string(card.vendor) +
            ", bus " + std::to_string(card.bus) + ":" + std::to_string(card.device) + ":" + std::to_string(card.function) +
            ", " + std::to_string(card.adapters) + " adapter(s), " +
            (card.overdrive == Overdrive::N ? "OverdriveN" : card.overdrive == Overdrive::Eight ? "Overdrive8" : "not tunable") +
            "\n  pnp " + card.pnp + "\n";
    for (const I2cDeviceSpec& device : card.i2c)
    {
      char address[8];
      std::snprintf(address, sizeof address, "0x%02X", static_cast<unsigned>(device.address));
      text += "  i2c " + device.model + " line " + std::to_string(device.line) + " address " + address + "\n";
    }
  }
  text += "\nstate (" + std::string(std::filesystem::exists(sim.paths().state) ? "from the state file" : "from the scenario") + "):\n";
  text += SerializeState(sim.state());
  return CopyOut(text, buffer, capacity, length);
}

unsigned ToolSetValue(const char* key, const char* value) {
  Simulator& sim = Simulator::Instance();
  if (sim.broken() || !key || !value) return kErrorInvalidParameter;
  sim.ReloadState();
  // "card.N.KEY": rewrite the state text with the one key changed, and read it back through
  // the state reader so that the new value is checked like any state file.
  const std::string name = key;
  if (name.rfind("card.", 0) != 0) return kErrorInvalidParameter;
  const size_t dot = name.find('.', 5);
  if (dot == std::string::npos) return kErrorInvalidParameter;
  const std::string section = "card " + name.substr(5, dot - 5);
  const std::string field = name.substr(dot + 1);
  std::string text = SerializeState(sim.state());
  text += "\n[" + section + "]\n" + field + " = " + value + "\n";
  std::string error;
  std::optional<State> state = ParseState(text, sim.scenario(), "adlsim set", error);
  if (!state) {
    os::WriteStderr(error + "\n");
    return kErrorInvalidData;
  }
  sim.state() = *state;
  sim.SaveState();
  sim.Note("set by adlsim: " + name + " = " + value);
  return 0;
}

unsigned ToolPaths(char* buffer, int capacity, int* length) {
  const SimPaths& paths = Simulator::Instance().paths();
  const auto utf8 = [](const std::filesystem::path& p) {
    const std::u8string t = p.u8string();
    return std::string(t.begin(), t.end());
  };
  return CopyOut("scenario " + utf8(paths.scenario) + "\nstate " + utf8(paths.state) + "\njournal " + utf8(paths.journal) + "\n",
                 buffer, capacity, length);
}

}  // namespace adlsim::machine
