#include "ui/editor_tips.h"

#include <vector>

namespace tw::ui {
namespace {

constexpr const char* kMhz = "MHz";
constexpr const char* kMillivolts = "mV";
constexpr const char* kCelsius = "\xC2\xB0" "C";
constexpr const char* kPercent = "%";

struct FieldDefault {
  ControlId field;
  const char* unit;
  std::optional<int32_t> cardDefault;
};

size_t Index(int k) { return static_cast<size_t>(k); }

void AddRows(std::vector<FieldDefault>& fields, const std::array<PStateRow, kMaxPStates>& rows,
             const std::vector<StateDefault>& defaults) {
  for (size_t k = 0; k < rows.size(); ++k) {
    const bool known = k < defaults.size();
    fields.push_back({rows[k].clock, kMhz, known ? std::optional<int32_t>(defaults[k].clock) : std::nullopt});
    fields.push_back({rows[k].vcc, kMillivolts, known ? std::optional<int32_t>(defaults[k].vcc) : std::nullopt});
  }
}

std::vector<FieldDefault> OverdriveNFields(const MainFormControls& c, const GPUItem& gpu) {
  std::vector<FieldDefault> fields;
  AddRows(fields, c.gpuRows, gpu.stateDefaults.gpu);
  AddRows(fields, c.memRows, gpu.stateDefaults.mem);
  const auto ext = [&](int index) {
    return gpu.extDefaultsKnown ? std::optional<int32_t>(gpu.extDefaults[Index(index)]) : std::nullopt;
  };
  // Extended settings: 5 + 2k is point k's temperature, 6 + 2k its speed.
  for (int k = 0; k < kFanRows; ++k) {
    fields.push_back({c.fanTemp[Index(k)], kCelsius, ext(5 + 2 * k)});
    fields.push_back({c.fanPerc[Index(k)], kPercent, ext(6 + 2 * k)});
  }
  fields.push_back({c.fanAcoustic, kMhz, gpu.acousticDefault});
  fields.push_back({c.powerTarget, kPercent, gpu.powerTargetDefault});
  for (ControlId id : {c.gpuMin, c.gpuMax, c.memMax}) fields.push_back({id, kMhz, std::nullopt});
  return fields;
}

std::vector<FieldDefault> Overdrive8Fields(const MainFormControls& c, const GPUItem& gpu) {
  const auto init = [&](int setting) {
    return gpu.od8InitKnown ? std::optional<int32_t>(gpu.od8Init[Index(setting)].defaultValue) : std::nullopt;
  };
  std::vector<FieldDefault> fields;
  for (int k = 0; k < kMaxPStates; ++k) {
    const bool point = k < kOd8CurvePoints;
    fields.push_back({c.gpuRows[Index(k)].clock, kMhz, point ? init(adl::kOd8GfxclkFreq1 + 2 * k) : std::nullopt});
    fields.push_back({c.gpuRows[Index(k)].vcc, kMillivolts, point ? init(adl::kOd8GfxclkVoltage1 + 2 * k) : std::nullopt});
    fields.push_back({c.memRows[Index(k)].clock, kMhz, std::nullopt});
    fields.push_back({c.memRows[Index(k)].vcc, kMillivolts, std::nullopt});
  }
  fields.push_back({c.gpuMin, kMhz, init(adl::kOd8GfxclkFmin)});
  fields.push_back({c.gpuMax, kMhz, init(adl::kOd8GfxclkFmax)});
  fields.push_back({c.memMax, kMhz, init(adl::kOd8UclkFmax)});
  for (int k = 0; k < kFanRows; ++k) {
    fields.push_back({c.fanTemp[Index(k)], kCelsius, init(adl::kOd8FanCurveTemperature1 + 2 * k)});
    fields.push_back({c.fanPerc[Index(k)], kPercent, init(adl::kOd8FanCurveSpeed1 + 2 * k)});
  }
  fields.push_back({c.fanAcoustic, kMhz, init(adl::kOd8FanAcousticLimit)});
  fields.push_back({c.powerTarget, kPercent, init(adl::kOd8PowerPercentage)});
  return fields;
}

std::optional<int32_t> TimingDefault(const GPUItem& gpu) {
  if (gpu.overdriveVersion == adl::kOverdrive8 && gpu.od8InitKnown) return gpu.od8Init[adl::kOd8AcTiming].defaultValue;
  if (gpu.overdriveVersion == adl::kOverdriveN && gpu.extDefaultsKnown) return gpu.extDefaults[0];
  return std::nullopt;
}

}  // namespace

std::string FieldTip(int minValue, int maxValue, std::string_view unit, std::optional<int32_t> cardDefault) {
  std::string text = "Allowed " + std::to_string(minValue) + ".." + std::to_string(maxValue);
  if (!unit.empty()) text += " " + std::string(unit);
  if (cardDefault) text += ", default " + std::to_string(*cardDefault);
  return text;
}

void SetEditorTips(Form& form, const MainFormControls& c, const GPUItem& gpu) {
  const std::vector<FieldDefault> fields =
      gpu.overdriveVersion == adl::kOverdrive8 ? Overdrive8Fields(c, gpu) : OverdriveNFields(c, gpu);
  for (const FieldDefault& f : fields) {
    const Control& field = form.control(f.field);
    form.SetTooltip(f.field, FieldTip(field.minValue, field.maxValue, f.unit, f.cardDefault));
  }
  // The timing levels are the list's entries; a list of "Auto" alone has no range to tell.
  const int levels = static_cast<int>(form.control(c.timingBox).items.size());
  form.SetTooltip(c.timingBox, levels > 1 ? FieldTip(0, levels - 1, "", TimingDefault(gpu)) : "");
}

}  // namespace tw::ui
