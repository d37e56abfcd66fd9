#pragma once
// What a scenario describes (the machine, fixed for the life of a scenario file) and what
// the state holds (the values the driver and the machine hold now, kept in the state file).

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace adlsim {

inline constexpr int kOd8Settings = 29;
inline constexpr int kRegisters = 256;

struct Range {
  int min = 0;
  int max = 0;
  int step = 1;
  int def = 0;
  bool Contains(int value) const { return value >= min && value <= max; }
  int Clamp(int value) const { return value < min ? min : value > max ? max : value; }
};

struct Level {
  int clock = 0;  // 10 kHz, as the OverdriveN records carry it
  int vddc = 0;   // mV
  int enabled = 1;
  bool operator==(const Level&) const = default;
};

struct Od8Init {
  int feature = 0;  // the capability bit that governs the setting
  Range range;
};

enum class Overdrive { None, N, Eight };
enum class FanTest { None, Od5, Od6 };

using Registers = std::array<uint8_t, kRegisters>;

struct I2cDeviceSpec {
  std::string model;  // "IR3567B", "up9505" or "generic"
  int line = 0;
  int address = 0;  // 7-bit
  Registers registers{};
  std::vector<int> readOnly;  // identification registers ignore writes
};

struct CardSpec {
  std::string label;
  std::string name;
  int vendor = 1002;
  int bus = 0, device = 0, function = 0;
  int adapters = 1;
  std::string pnp;
  std::string registryKey;
  std::optional<std::string> friendlyName;
  bool displayDevice = true;

  Overdrive overdrive = Overdrive::None;
  // OverdriveN
  int levels = 8;
  std::vector<Level> gpuLevels;  // defaults; the card's own GPU P-states
  std::vector<Level> memLevels;
  Range gpuClock, memClock;  // 10 kHz, as the capability record carries them
  Range vddc, power, powerTemperature, fanTemperature, fanSpeed, acoustic;
  int fanMinRpm = 0;  // default of the minimum fan limit
  int odnFlags = 0;
  std::vector<Range> ext;  // the extended settings the driver reports, in id order
  int extCaps = 0;
  bool clampOutOfRange = false;  // false: values outside the ranges are refused with -1
  int readbackClockStep = 1;     // 10 kHz; held clocks are cut down to a multiple of it
  int readbackClockOffset = 0;   // 10 kHz added to every held GPU clock
  int readbackVoltageStep = 1;   // mV
  // Overdrive8
  std::array<Od8Init, kOd8Settings> od8{};
  int od8Caps = 0;
  // Features: -1 = the card does not have it
  int powerEfficiency = -1;
  int chill = -1;
  FanTest fanTest = FanTest::None;
  std::vector<I2cDeviceSpec> i2c;
  // Values the card holds at the start instead of its defaults: state-file key ("fan",
  // "ext", ...) and value, in the state file's syntax.
  std::vector<std::pair<std::string, std::string>> startValues;
};

struct Adapter {
  int index = 0;  // the driver's adapter index
  int card = 0;   // index into Scenario::cards
};

enum class FaultKind { Result, NullList, Ignore };

struct Fault {
  FaultKind kind = FaultKind::Result;
  int result = -1;   // ADL result, or a Windows error code for the machine services
  int fromCall = 1;  // applies from this call on (1 = always)
};

struct Faults {
  std::map<std::string, Fault> byName;
  // Sleeps in microseconds: delay_ms and delay_us both land here, so a benchmark can ask for
  // the half millisecond a real driver call takes.
  int delayUs = 0;
  std::map<std::string, int> delayUsByName;
};

struct Scenario {
  std::string source;  // file path, or "built-in default rig"
  bool admin = true;
  std::vector<std::string> kernelDrivers = {"ntoskrnl.exe", "atikmdag.sys"};
  std::vector<std::string> extraDisplayDevices;
  // Entry points the described driver library lacks; this library may export them anyway
  // (a build variant leaves them out).
  std::vector<std::string> libraryLacks;
  std::vector<CardSpec> cards;
  std::vector<Adapter> adapters;  // in the order the driver reports them
  Faults faults;
};

struct FanValues {
  int targetSpeed = 0;  // RPM
  int targetTemperature = 0;
  int acoustic = 0;  // MHz (minimum performance clock)
  int minFan = 0;    // RPM
  bool operator==(const FanValues&) const = default;
};

struct PowerValues {
  int tdp = 0;
  int maxTemperature = 0;
  bool operator==(const PowerValues&) const = default;
};

struct CardState {
  std::vector<Level> gpu, mem;
  FanValues fan;
  PowerValues power;
  std::vector<int> ext;
  std::array<int, kOd8Settings> od8{};
  int powerEfficiency = -1;
  int chill = -1;
  int fanTestPercent = -1;  // -1: automatic
  std::vector<Registers> i2c;
  std::optional<std::string> friendlyName;
  int restarts = 0;
};

struct State {
  std::string scenarioHash;
  std::vector<CardState> cards;
  std::map<std::string, int> calls;  // counted only where a fault waits for the Nth call
};

// Values a card holds when nothing has been changed.
CardState DefaultCardState(const CardSpec& card);
State DefaultState(const Scenario& scenario, const std::string& scenarioHash);

FanValues DefaultFan(const CardSpec& card);
PowerValues DefaultPower(const CardSpec& card);

}  // namespace adlsim
