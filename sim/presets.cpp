#include "presets.h"

namespace adlsim {
namespace {

// Overdrive8 capability bits.
constexpr int kGfxclkLimits = 1 << 0, kGfxclkCurve = 1 << 1, kUclkMax = 1 << 2, kPowerLimit = 1 << 3,
              kAcousticLimit = 1 << 4, kFanSpeedMin = 1 << 5, kTemperatureFan = 1 << 6,
              kTemperatureSystem = 1 << 7, kMemoryTimingTune = 1 << 8, kFanZeroRpm = 1 << 9,
              kAutoUv = 1 << 10, kAutoOcEngine = 1 << 11, kAutoOcMemory = 1 << 12, kFanCurve = 1 << 13;

Level MHz(int mhz, int mv) { return {mhz * 100, mv, 1}; }

// A clock range in the driver's 10 kHz, from whole MHz in steps of 1 MHz.
Range Clocks(int minMHz, int maxMHz, int defaultMHz) { return {minMHz * 100, maxMHz * 100, 100, defaultMHz * 100}; }

std::vector<Range> ExtRanges(int timingMax, const int (&curve)[10]) {
  std::vector<Range> ext(15);
  ext[0] = {0, timingMax, 1, 0};  // memory timing level
  ext[1] = {0, 1, 1, 1};          // zero RPM
  for (int i = 2; i <= 4; ++i) ext[static_cast<size_t>(i)] = {0, 1, 1, 0};
  for (int k = 0; k < 5; ++k) {
    ext[static_cast<size_t>(5 + 2 * k)] = {25, 100, 1, curve[2 * k]};  // temperature °C
    ext[static_cast<size_t>(6 + 2 * k)] = {0, 100, 1, curve[2 * k + 1]};  // speed %
  }
  return ext;
}

CardSpec OdnCommon() {
  CardSpec card;
  card.overdrive = Overdrive::N;
  card.levels = 8;
  card.odnFlags = 0x3FF;  // clocks, voltages, fan, temperatures, power
  card.extCaps = 0x1 | 0x2 | 0x20;
  card.power = {-50, 50, 1, 0};
  card.powerTemperature = {60, 95, 1, 90};
  card.fanTemperature = {25, 95, 1, 75};
  return card;
}

CardSpec Polaris() {
  CardSpec card = OdnCommon();
  card.name = "Radeon RX 580 Series";
  card.pnp = "PCI\\VEN_1002&DEV_67DF&SUBSYS_E3661DA2&REV_E7\\4&2A4AFE5B&0&0008";
  card.gpuLevels = {MHz(300, 750),   MHz(600, 769),   MHz(900, 887),   MHz(1145, 1100),
                    MHz(1215, 1125), MHz(1257, 1150), MHz(1300, 1150), MHz(1366, 1150)};
  card.memLevels = {MHz(300, 750), MHz(1000, 800), MHz(2000, 950)};
  card.gpuClock = Clocks(300, 2000, 1366);
  card.memClock = Clocks(300, 2250, 2000);
  card.vddc = {750, 1200, 1, 1150};
  card.fanSpeed = {400, 3300, 1, 2200};
  card.acoustic = {300, 2000, 1, 1180};
  card.fanMinRpm = 800;
  const int curve[10] = {35, 20, 50, 30, 65, 45, 75, 60, 85, 80};
  card.ext = ExtRanges(2, curve);
  card.powerEfficiency = 1;
  card.fanTest = FanTest::Od5;
  return card;
}

CardSpec Vega() {
  CardSpec card = OdnCommon();
  card.name = "Radeon RX Vega";
  card.pnp = "PCI\\VEN_1002&DEV_687F&SUBSYS_0B361002&REV_C1\\6&1B4D3CAE&0&00000019";
  card.gpuLevels = {MHz(852, 800),   MHz(991, 900),   MHz(1084, 950),  MHz(1138, 1000),
                    MHz(1200, 1050), MHz(1401, 1100), MHz(1536, 1150), MHz(1630, 1200)};
  card.memLevels = {MHz(167, 800), MHz(500, 800), MHz(800, 900), MHz(945, 950)};
  card.gpuClock = Clocks(852, 2400, 1630);
  card.memClock = Clocks(167, 1500, 945);
  card.vddc = {800, 1200, 1, 1200};
  card.fanSpeed = {400, 4900, 1, 2400};
  card.acoustic = {852, 2400, 1, 1500};
  card.fanMinRpm = 1000;
  card.powerTemperature = {60, 105, 1, 85};
  const int curve[10] = {40, 20, 55, 30, 65, 45, 75, 65, 85, 90};
  card.ext = ExtRanges(1, curve);
  card.powerEfficiency = 0;
  card.chill = 0;
  card.fanTest = FanTest::Od6;
  return card;
}

void SetOd8(CardSpec& card, int id, int feature, int min, int max, int def) {
  card.od8[static_cast<size_t>(id)] = {feature, {min, max, 1, def}};
}

CardSpec Navi() {
  CardSpec card;
  card.name = "Radeon RX 5700 XT";
  card.pnp = "PCI\\VEN_1002&DEV_731F&SUBSYS_E4111DA2&REV_C1\\6&F1A6C33&0&00000019";
  card.overdrive = Overdrive::Eight;
  SetOd8(card, 0, kGfxclkLimits, 800, 2150, 2100);
  SetOd8(card, 1, kGfxclkLimits, 800, 2150, 800);
  SetOd8(card, 2, kGfxclkCurve, 800, 2150, 800);
  SetOd8(card, 3, kGfxclkCurve, 700, 1200, 711);
  SetOd8(card, 4, kGfxclkCurve, 800, 2150, 1450);
  SetOd8(card, 5, kGfxclkCurve, 700, 1200, 801);
  SetOd8(card, 6, kGfxclkCurve, 800, 2150, 2100);
  SetOd8(card, 7, kGfxclkCurve, 700, 1200, 1200);
  SetOd8(card, 8, kUclkMax, 625, 930, 875);
  SetOd8(card, 9, kPowerLimit, -50, 50, 0);
  SetOd8(card, 10, kFanSpeedMin, 0, 3200, 0);
  SetOd8(card, 11, kAcousticLimit, 500, 2150, 1450);
  SetOd8(card, 12, kTemperatureFan, 25, 110, 95);
  SetOd8(card, 13, kTemperatureSystem, 25, 110, 110);
  SetOd8(card, 14, kMemoryTimingTune, 0, 1, 0);
  SetOd8(card, 15, kFanZeroRpm, 0, 1, 1);
  SetOd8(card, 16, kAutoUv, 0, 1, 0);
  SetOd8(card, 17, kAutoOcEngine, 0, 1, 0);
  SetOd8(card, 18, kAutoOcMemory, 0, 1, 0);
  const int curve[10] = {45, 23, 55, 30, 65, 40, 75, 55, 85, 70};
  for (int k = 0; k < 5; ++k) {
    SetOd8(card, 19 + 2 * k, kFanCurve, 25, 100, curve[2 * k]);
    SetOd8(card, 20 + 2 * k, kFanCurve, 0, 100, curve[2 * k + 1]);
  }
  card.od8Caps = (1 << 14) - 1;
  card.chill = 0;
  return card;
}

CardSpec OtherVendor() {
  CardSpec card;
  card.name = "NVIDIA GeForce GTX 1050 Ti";
  card.vendor = 4318;  // 10DE in the driver's decimal spelling of vendor ids
  card.pnp = "PCI\\VEN_10DE&DEV_1C82&SUBSYS_11BF1043&REV_A1\\4&1D7B7F3&0&0010";
  return card;
}

}  // namespace

std::optional<CardSpec> CardPreset(const std::string& name) {
  if (name == "polaris") return Polaris();
  if (name == "vega") return Vega();
  if (name == "navi") return Navi();
  if (name == "other") return OtherVendor();
  if (name == "none") return CardSpec{};
  return std::nullopt;
}

std::optional<I2cDeviceSpec> I2cDevicePreset(const std::string& model) {
  I2cDeviceSpec device;
  device.model = model;
  device.registers.fill(0);
  device.registers[0xFF] = 0x00;
  if (model == "IR3567B") {
    device.registers[0x92] = 0x43;  // identification
    device.registers[0x38] = 0x01;  // load-line calibration on
    device.registers[0x8D] = 0x00;  // voltage offset
    device.registers[0x1E] = 0x11;  // phase gain
    device.registers[0x1F] = 0x22;
    device.registers[0x20] = 0x33;
    device.registers[0x4D] = 0x9C;  // current scale
    device.readOnly = {0x92};
  } else if (model == "up9505") {
    device.registers[0x4A] = 0x29;  // identification
    device.registers[0x49] = 0x02;
    device.registers[0x28] = 0x8C;  // load-line calibration on
    device.registers[0x27] = 0x00;  // offset not enabled
    device.registers[0x0C] = 0x00;
    device.readOnly = {0x4A, 0x49};
  } else if (model == "generic") {
    // An EEPROM-like device: answers every register, identifies as nothing known.
    for (int r = 0; r < kRegisters; ++r) device.registers[static_cast<size_t>(r)] = static_cast<uint8_t>(0xA5 ^ r);
  } else {
    return std::nullopt;
  }
  return device;
}

}  // namespace adlsim
