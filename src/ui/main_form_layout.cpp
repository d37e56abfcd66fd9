#include "ui/main_form_layout.h"

#include <string>

#include "ui/form/form_builder.h"

namespace tw::ui {
namespace {

constexpr Colour kRed = Colour::Fixed(0x000000FF);

// Adds controls in tab order, so that Tab walks the window as it reads: left to right,
// top to bottom.
class Builder : public FormBuilder {
 public:
  using FormBuilder::FormBuilder;

  ControlId Label(std::string name, std::string caption, ControlId parent, int left, int top, bool toggles = false,
                  std::string accessible = {}) {
    return Add({.kind = ControlKind::Label, .name = std::move(name), .parent = parent, .bounds = {left, top, 0, 0},
                .caption = std::move(caption), .accessibleName = std::move(accessible), .tabStop = toggles});
  }

  ControlId Spin(std::string name, ControlId parent, Rect bounds, int minValue, int maxValue, std::string accessible,
                 bool visible = true) {
    Control c{.kind = ControlKind::SpinEdit, .name = std::move(name), .parent = parent, .bounds = bounds,
              .caption = "0", .accessibleName = std::move(accessible), .visible = visible, .tabStop = true};
    c.minValue = minValue;
    c.maxValue = maxValue;
    return Add(std::move(c));
  }

  ControlId DropDown(const char* name, ControlId parent, Rect bounds, const char* accessible) {
    Control c{.kind = ControlKind::DropDown, .name = name, .parent = parent, .bounds = bounds,
              .accessibleName = accessible, .tabStop = true};
    c.dropDownRows = 13;
    return Add(std::move(c));
  }
};

constexpr int kFieldWidth = 65;
constexpr int kFieldHeight = 23;

PStateRow AddPStateRow(Builder& b, ControlId group, const char* prefix, const char* spoken, int k) {
  const std::string n = std::to_string(k);
  const std::string row = std::string(spoken) + " P" + n;
  const int top = 35 + 28 * k;
  PStateRow r;
  r.label = b.Label(std::string(prefix) + "_P" + n, "P" + n, group, 11, 38 + 28 * k, true, row + " enabled");
  r.clock = b.Spin(std::string(prefix) + "_Clock_" + n, group, {29, top, kFieldWidth, kFieldHeight}, 0, 9999,
                   row + " clock (MHz)");
  r.vcc = b.Spin(std::string(prefix) + "_Vcc_" + n, group, {103, top, kFieldWidth, kFieldHeight}, 0, 9999,
                 row + " voltage (mV)");
  return r;
}

void AddPStateGroup(Builder& b, ControlId group, const char* prefix, const char* spoken,
                    std::array<PStateRow, kMaxPStates>& rows, std::array<ControlId, 2>& headings) {
  headings[0] = b.Label(std::string(prefix) + "_HeadingMHz", "MHz", group, 50, 18);
  headings[1] = b.Label(std::string(prefix) + "_HeadingmV", "mV", group, 127, 18);
  for (int k = 0; k < kMaxPStates; ++k) rows[static_cast<size_t>(k)] = AddPStateRow(b, group, prefix, spoken, k);
}

void AddGpuGroup(Builder& b, MainFormControls& c) {
  c.gpuGroup = b.Group("GroupBox1", "GPU", {8, 43, 185, 265});
  AddPStateGroup(b, c.gpuGroup, "GPU", "GPU", c.gpuRows, c.gpuHeadings);
  c.gpuMinLabel = b.Label("GPU_MinLabel", "Minimum (MHz)", c.gpuGroup, 11, 147);
  c.gpuMin = b.Spin("GPU_Min", c.gpuGroup, {103, 142, kFieldWidth, kFieldHeight}, 0, 9999, "GPU minimum clock (MHz)");
  c.gpuMaxLabel = b.Label("GPU_MaxLabel", "Maximum (MHz)", c.gpuGroup, 11, 175);
  c.gpuMax = b.Spin("GPU_Max", c.gpuGroup, {103, 170, kFieldWidth, kFieldHeight}, 0, 9999, "GPU maximum clock (MHz)");
}

void AddMemoryGroup(Builder& b, MainFormControls& c) {
  c.memGroup = b.Group("GroupBox2", "Memory", {202, 43, 185, 265});
  AddPStateGroup(b, c.memGroup, "Mem", "Memory", c.memRows, c.memHeadings);
  c.memMaxLabel = b.Label("Mem_MaxLabel", "Maximum (MHz)", c.memGroup, 11, 40);
  c.memMax = b.Spin("Mem_Max", c.memGroup, {103, 35, kFieldWidth, kFieldHeight}, 0, 9999, "Memory maximum clock (MHz)");
  c.timingLabel = b.Label("Mem_TimingLabel", "Timing Level", c.memGroup, 11, 232);
  c.timingBox = b.DropDown("Mem_TimingBox", c.memGroup, {82, 229, 85, 21}, "Memory timing level");
}

void AddFanGroup(Builder& b, MainFormControls& c) {
  c.fanGroup = b.Group("GroupBox3", "Fan", {395, 43, 195, 193});
  b.Label("Fan_HeadingTemp", "\xC2\xB0" "C", c.fanGroup, 62, 11);
  b.Label("Fan_HeadingPerc", "%", c.fanGroup, 139, 11);
  for (int k = 0; k < kFanRows; ++k) {
    const std::string n = std::to_string(k);
    const int top = 25 + 25 * k;
    b.Label("Fan_P" + n, "P" + n, c.fanGroup, 11, top + 3);
    c.fanTemp[static_cast<size_t>(k)] = b.Spin("Fan_Temp_" + n, c.fanGroup, {37, top, kFieldWidth, kFieldHeight}, -1,
                                               9999, "Fan point " + n + " temperature (\xC2\xB0" "C)");
    c.fanPerc[static_cast<size_t>(k)] = b.Spin("Fan_Perc_" + n, c.fanGroup, {111, top, kFieldWidth, kFieldHeight}, -1,
                                               9999, "Fan point " + n + " speed (%)");
  }
  b.Label("ZeroRPMLabel", "Zero RPM", c.fanGroup, 11, 152);
  Control box{.kind = ControlKind::CheckBox, .name = "ZeroRPMBox", .parent = c.fanGroup, .bounds = {64, 151, 0, 0},
              .caption = "OFF", .accessibleName = "Zero RPM", .tabStop = true,
              .background = Colour::System(SystemColour::ButtonFace)};
  c.zeroRpm = b.Add(std::move(box));
  b.Label("Fan_AcousticLabel", "Acoustic Limit (MHz)", c.fanGroup, 11, 169);
  c.fanAcoustic = b.Spin("Fan_Acoustic", c.fanGroup, {113, 165, 68, kFieldHeight}, 0, 9999, "Acoustic limit (MHz)");
  const Rect hidden{0, 0, kFieldWidth, kFieldHeight};
  c.fanMin = b.Spin("Fan_Min", c.fanGroup, hidden, 0, 9999, "Minimum (RPM)", false);
  c.fanMax = b.Spin("Fan_Max", c.fanGroup, hidden, 0, 9999, "Maximum (RPM)", false);
  c.fanTarget = b.Spin("Fan_Target", c.fanGroup, hidden, 0, 9999, "Target Temp. (\xC2\xB0" "C)", false);
}

void AddPowerGroup(Builder& b, MainFormControls& c) {
  c.powerGroup = b.Group("GroupBox4", "Power", {395, 236, 195, 42});
  b.Label("Power_TargetLabel", "Power Target (%)", c.powerGroup, 11, 15);
  // Up to the group's edge: wide enough for the range's longest text beside the arrows.
  c.powerTarget = b.Spin("Power_Target", c.powerGroup, {113, 11, 76, kFieldHeight}, -9999, 9999, "Power target (%)");
  c.powerTemp = b.Spin("Power_Temp", c.powerGroup, {0, 0, kFieldWidth, kFieldHeight}, 0, 9999,
                       "Max Temp. (\xC2\xB0" "C)", false);
}

}  // namespace

WindowFrame MainWindowFrame() {
  WindowFrame w;
  w.className = "TForm1";
  w.clientWidth = 598;
  w.clientHeight = 482;
  w.fixedSize = true;
  w.minimizeBox = true;
  return w;
}

MainFormControls BuildMainFormLayout(Form& form) {
  Builder b(form);
  MainFormControls c{};
  c.cardList = b.DropDown("ComboBox1", kNoControl, {8, 16, 485, 21}, "Graphics card");
  c.refresh = b.Button("Button10", "Refresh", {508, 16, 82, 21});
  AddGpuGroup(b, c);
  AddMemoryGroup(b, c);
  AddFanGroup(b, c);
  AddPowerGroup(b, c);
  c.reset = b.Button("Button4", "Reset", {406, 280, 69, 25});
  c.i2cGroup = b.Group("GroupBox6", "I2C", {8, 314, 582, 50});
  form.SetVisible(c.i2cGroup, false);
  c.profileGroup = b.Group("GroupBox5", "Profiles", {8, 370, 582, 55});
  c.profileList = b.DropDown("ComboBox2", c.profileGroup, {11, 17, 139, 24}, "Profile");
  form.SetFont(c.profileList, {.face = "Tahoma", .pointSize = 10});
  b.Button("Button8", "Load", {156, 16, 70, 25}, c.profileGroup);
  b.Button("Button9", "Save", {232, 16, 72, 25}, c.profileGroup);
  b.Button("Button6", "New", {348, 16, 45, 25}, c.profileGroup);
  b.Button("Button7", "Delete", {399, 16, 49, 25}, c.profileGroup);
  b.Button("Button5", "Rename", {454, 16, 54, 25}, c.profileGroup);
  b.Button("Button3", "Reorder", {514, 16, 54, 25}, c.profileGroup);
  c.apply = b.Button("Button1", "Apply", {305, 441, 100, 30});
  c.close = b.Button("Button2", "Close", {480, 441, 100, 30});
  // Beside the buttons it reports on, where the eye goes after a click on them; a fixed box
  // up to Apply's left edge, in which a long report wraps to a second line.
  c.status = b.Add({.kind = ControlKind::Label, .name = "StatusLabel", .bounds = {8, 441, 290, 30}});
  Control info{.kind = ControlKind::Label, .name = "InfoLabel", .bounds = {194, 196, 0, 0}, .visible = false,
               .textColour = kRed, .useFormFont = false};
  info.font.pixelHeight = 16;
  c.infoLabel = b.Add(std::move(info));
  for (ControlId id : {c.gpuMin, c.gpuMax, c.memMax, c.gpuMinLabel, c.gpuMaxLabel, c.memMaxLabel})
    form.SetVisible(id, false);
  return c;
}

}  // namespace tw::ui
