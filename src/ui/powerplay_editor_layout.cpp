#include "ui/powerplay_editor_layout.h"

#include <string>

#include "ui/form/form_builder.h"

namespace tw::ui {
namespace {

constexpr int kClientWidth = 560;
constexpr int kClientHeight = 468;
constexpr int kRowHeight = 23;
constexpr Colour kFaceColour = Colour::System(SystemColour::ButtonFace);

// Adds controls in tab order: the window reads top to bottom, left to right.
class Builder : public FormBuilder {
 public:
  using FormBuilder::FormBuilder;

  ControlId Label(std::string name, std::string caption, ControlId parent, int left, int top) {
    return Add({.kind = ControlKind::Label, .name = std::move(name), .parent = parent, .bounds = {left, top, 0, 0},
                .caption = std::move(caption)});
  }
  ControlId Edit(const char* name, ControlId parent, Rect bounds, const char* accessible) {
    return Add({.kind = ControlKind::Edit, .name = name, .parent = parent, .bounds = bounds,
                .accessibleName = accessible, .tabStop = true, .background = kFaceColour});
  }
  ControlId Radio(const char* name, const char* caption, ControlId parent, int left, int top, bool checked) {
    Control c{.kind = ControlKind::RadioButton, .name = name, .parent = parent, .bounds = {left, top, 0, 0},
              .caption = caption, .tabStop = true, .background = kFaceColour};
    c.checked = checked;
    return Add(std::move(c));
  }
  ControlId Spin(std::string name, ControlId parent, Rect bounds, int maxValue, std::string accessible) {
    Control c{.kind = ControlKind::SpinEdit, .name = std::move(name), .parent = parent, .bounds = bounds,
              .caption = "0", .accessibleName = std::move(accessible), .tabStop = true};
    c.minValue = 0;
    c.maxValue = maxValue;
    return Add(std::move(c));
  }
};

void AddStateGroup(Builder& b, ControlId group, const char* prefix, const char* spoken,
                   std::array<EditorStateRow, kShownStateCount>& rows) {
  const std::string p(prefix);
  b.Label(p + "_HeadingMHz", "MHz", group, 46, 16);
  b.Label(p + "_HeadingmV", "mV", group, 120, 16);
  for (int n = 0; n < kShownStateCount; ++n) {
    const std::string k = std::to_string(n);
    const std::string row = std::string(spoken) + " P" + k;
    const int top = 32 + 24 * n;
    EditorStateRow& r = rows[static_cast<size_t>(n)];
    r.label = b.Label(p + "_P" + k, "P" + k, group, 10, top + 4);
    r.clock = b.Spin(p + "_Clock_" + k, group, {30, top, 62, 21}, 9999, row + " clock (MHz)");
    r.vcc = b.Spin(p + "_Vcc_" + k, group, {100, top, 68, 21}, 99999, row + " voltage (mV)");
  }
}

}  // namespace

WindowFrame PowerPlayEditorFrame() {
  return WindowFrame{.className = "TForm3",
                     .caption = "SoftPowerPlayTable Editor",
                     .clientWidth = kClientWidth,
                     .clientHeight = kClientHeight,
                     .fixedSize = true,
                     .minimizeBox = true};
}

PowerPlayEditorControls BuildPowerPlayEditorLayout(Form& form) {
  Builder b(form);
  PowerPlayEditorControls c{};
  c.cardGroup = b.Group("GroupBox1", "GPU", {8, 6, 544, 40});
  c.cardName = b.Label("Label1", "none", c.cardGroup, 10, 18);

  c.valueGroup = b.Group("GroupBox5", "PP_PhmSoftPowerPlayTable value", {8, 52, 544, 150});
  c.path = b.Edit("Edit1", c.valueGroup, {10, 18, 490, 21}, "Registry value");
  c.regedit = b.Button("Button8", "->", {506, 17, 28, kRowHeight}, c.valueGroup);
  c.status = b.Label("Label9", "", c.valueGroup, 10, 45);
  c.useExisting = b.Radio("RadioButton1", "Use existing in the registry", c.valueGroup, 10, 67, true);
  c.remove = b.Button("Button4", "Delete", {300, 63, 80, kRowHeight}, c.valueGroup);
  c.exportReg = b.Button("Button7", "Export to .reg file", {388, 63, 146, kRowHeight}, c.valueGroup);
  c.createNew = b.Radio("RadioButton2", "Create new using bios file", c.valueGroup, 10, 95, false);
  c.createNewTail = b.Label("Label10", "or open .reg file", c.valueGroup, 182, 96);
  form.SetCaptionContinuation(c.createNewTail, c.createNew);
  c.openFile = b.Button("Button1", "Open bios/reg file...", {300, 91, 234, kRowHeight}, c.valueGroup);
  c.fileName = b.Edit("Edit2", c.valueGroup, {10, 120, 384, 21}, "Loaded file");
  c.fileStatus = b.Label("Label2", "", c.valueGroup, 402, 124);

  c.gpuGroup = b.Group("GroupBox3", "GPU default", {8, 208, 180, 226});
  AddStateGroup(b, c.gpuGroup, "GPU", "GPU", c.gpuRows);
  c.memGroup = b.Group("GroupBox2", "Memory default", {194, 208, 180, 226});
  AddStateGroup(b, c.memGroup, "Mem", "Memory", c.memRows);

  c.limitsGroup = b.Group("GroupBox4", "Limits", {380, 208, 172, 160});
  b.Label("Label3", "Max GPU Freq. (Mhz)", c.limitsGroup, 10, 18);
  c.maxGpu = b.Spin("Max_GPU", c.limitsGroup, {10, 34, 80, 21}, 9999, "Max GPU Freq. (MHz)");
  b.Label("Label4", "Max Memory Freq. (Mhz)", c.limitsGroup, 10, 64);
  c.maxMem = b.Spin("Max_Mem", c.limitsGroup, {10, 80, 80, 21}, 9999, "Max Memory Freq. (MHz)");
  b.Label("Label5", "Max Power Target (%)", c.limitsGroup, 10, 110);
  c.maxPower = b.Spin("Max_Power", c.limitsGroup, {10, 126, 80, 21}, 9999, "Max Power Target (%)");

  c.note = b.Label("Label8", "Driver must be restarted to take effects", kNoControl, 8, 446);
  c.save = b.Button("Button3", "Save", {232, 440, 70, kRowHeight + 2});
  c.undo = b.Button("Button5", "Undo", {308, 440, 70, kRowHeight + 2});
  c.saveReg = b.Button("Button6", "Save to .reg file", {384, 440, 100, kRowHeight + 2});
  c.close = b.Button("Button2", "Close", {490, 440, 62, kRowHeight + 2});
  form.SetVisible(c.note, false);
  return c;
}

}  // namespace tw::ui
