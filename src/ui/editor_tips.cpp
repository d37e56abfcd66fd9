#include "ui/editor_tips.h"

#include <vector>

namespace tw::ui {
namespace {

constexpr const char* kMhz = "MHz";
constexpr const char* kMillivolts = "mV";
constexpr const char* kCelsius = "\xC2\xB0" "C";
constexpr const char* kPercent = "%";

struct FieldCard {
  ControlId field;
  const char* unit;
  std::optional<CardRange> range;
  std::optional<int32_t> cardDefault;
};

size_t Index(int k) { return static_cast<size_t>(k); }

// A setting the card does not have can come back as 0..0, or upside down.
std::optional<CardRange> Usable(const CardRange& range) {
  if (range.min > range.max || (range.min == 0 && range.max == 0)) return std::nullopt;
  return range;
}

std::optional<CardRange> OdnRange(const GPUItem& gpu, CardRange OdnRanges::*which) {
  return gpu.odnRanges ? Usable((*gpu.odnRanges).*which) : std::nullopt;
}

void AddRows(std::vector<FieldCard>& fields, const std::array<PStateRow, kMaxPStates>& rows,
             const std::vector<StateDefault>& defaults, std::optional<CardRange> clockRange,
             std::optional<CardRange> vccRange) {
  for (size_t k = 0; k < rows.size(); ++k) {
    std::optional<int32_t> clock, vcc;
    if (k < defaults.size()) {
      clock = defaults[k].clock;
      vcc = defaults[k].vcc;
    }
    fields.push_back({rows[k].clock, kMhz, clockRange, clock});
    fields.push_back({rows[k].vcc, kMillivolts, vccRange, vcc});
  }
}

std::vector<FieldCard> OverdriveNFields(const MainFormControls& c, const GPUItem& gpu) {
  std::vector<FieldCard> fields;
  const std::optional<CardRange> vddc = OdnRange(gpu, &OdnRanges::vddc);
  AddRows(fields, c.gpuRows, gpu.stateDefaults.gpu, OdnRange(gpu, &OdnRanges::gpuClock), vddc);
  AddRows(fields, c.memRows, gpu.stateDefaults.mem, OdnRange(gpu, &OdnRanges::memClock), vddc);
  const auto ext = [&](ControlId id, const char* unit, int index) -> FieldCard {
    if (!gpu.extDefaultsKnown) return {id, unit, std::nullopt, std::nullopt};
    return {id, unit, Usable(gpu.extRanges[Index(index)]), gpu.extDefaults[Index(index)]};
  };
  // Extended settings: 5 + 2k is point k's temperature, 6 + 2k its speed.
  for (int k = 0; k < kFanRows; ++k) {
    fields.push_back(ext(c.fanTemp[Index(k)], kCelsius, 5 + 2 * k));
    fields.push_back(ext(c.fanPerc[Index(k)], kPercent, 6 + 2 * k));
  }
  fields.push_back({c.fanAcoustic, kMhz, OdnRange(gpu, &OdnRanges::acoustic), gpu.acousticDefault});
  fields.push_back({c.powerTarget, kPercent, OdnRange(gpu, &OdnRanges::powerTarget), gpu.powerTargetDefault});
  for (ControlId id : {c.gpuMin, c.gpuMax, c.memMax}) fields.push_back({id, kMhz, std::nullopt, std::nullopt});
  return fields;
}

std::vector<FieldCard> Overdrive8Fields(const MainFormControls& c, const GPUItem& gpu) {
  const auto field = [&](ControlId id, const char* unit, int setting) -> FieldCard {
    if (!gpu.od8InitKnown) return {id, unit, std::nullopt, std::nullopt};
    const adl::ADLOD8SingleInitSetting& init = gpu.od8Init[Index(setting)];
    return {id, unit, Usable({init.minValue, init.maxValue}), init.defaultValue};
  };
  std::vector<FieldCard> fields;
  for (int k = 0; k < kMaxPStates; ++k) {
    const PStateRow& row = c.gpuRows[Index(k)];
    if (k < kOd8CurvePoints) {
      fields.push_back(field(row.clock, kMhz, adl::kOd8GfxclkFreq1 + 2 * k));
      fields.push_back(field(row.vcc, kMillivolts, adl::kOd8GfxclkVoltage1 + 2 * k));
    } else {
      fields.push_back({row.clock, kMhz, std::nullopt, std::nullopt});
      fields.push_back({row.vcc, kMillivolts, std::nullopt, std::nullopt});
    }
    fields.push_back({c.memRows[Index(k)].clock, kMhz, std::nullopt, std::nullopt});
    fields.push_back({c.memRows[Index(k)].vcc, kMillivolts, std::nullopt, std::nullopt});
  }
  fields.push_back(field(c.gpuMin, kMhz, adl::kOd8GfxclkFmin));
  fields.push_back(field(c.gpuMax, kMhz, adl::kOd8GfxclkFmax));
  fields.push_back(field(c.memMax, kMhz, adl::kOd8UclkFmax));
  for (int k = 0; k < kFanRows; ++k) {
    fields.push_back(field(c.fanTemp[Index(k)], kCelsius, adl::kOd8FanCurveTemperature1 + 2 * k));
    fields.push_back(field(c.fanPerc[Index(k)], kPercent, adl::kOd8FanCurveSpeed1 + 2 * k));
  }
  fields.push_back(field(c.fanAcoustic, kMhz, adl::kOd8FanAcousticLimit));
  fields.push_back(field(c.powerTarget, kPercent, adl::kOd8PowerPercentage));
  return fields;
}

std::optional<int32_t> TimingDefault(const GPUItem& gpu) {
  if (gpu.overdriveVersion == adl::kOverdrive8 && gpu.od8InitKnown) return gpu.od8Init[adl::kOd8AcTiming].defaultValue;
  if (gpu.overdriveVersion == adl::kOverdriveN && gpu.extDefaultsKnown) return gpu.extDefaults[0];
  return std::nullopt;
}

}  // namespace

std::string FieldTip(int minValue, int maxValue, std::string_view unit, std::optional<CardRange> cardRange,
                     std::optional<int32_t> cardDefault) {
  std::string text = "Allowed " + std::to_string(minValue) + ".." + std::to_string(maxValue);
  if (!unit.empty()) text += " " + std::string(unit);
  if (cardRange) text += ", card " + std::to_string(cardRange->min) + ".." + std::to_string(cardRange->max);
  if (cardDefault) text += ", default " + std::to_string(*cardDefault);
  return text;
}

void SetEditorTips(Form& form, const MainFormControls& c, const GPUItem& gpu) {
  const std::vector<FieldCard> fields =
      gpu.overdriveVersion == adl::kOverdrive8 ? Overdrive8Fields(c, gpu) : OverdriveNFields(c, gpu);
  for (const FieldCard& f : fields) {
    const Control& field = form.control(f.field);
    form.SetTooltip(f.field, FieldTip(field.minValue, field.maxValue, f.unit, f.range, f.cardDefault));
  }
  // The timing levels are the list's entries; a list of "Auto" alone has no range to tell.
  const int levels = static_cast<int>(form.control(c.timingBox).items.size());
  form.SetTooltip(c.timingBox, levels > 1 ? FieldTip(0, levels - 1, "", std::nullopt, TimingDefault(gpu)) : "");
}

}  // namespace tw::ui
