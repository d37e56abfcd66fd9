#pragma once
// The controls of the PowerPlay editor window (TForm3) and where they sit at 96 dots per inch.

#include <array>

#include "powerplay/editor_values.h"
#include "ui/form/form.h"

namespace tw::ui {

struct EditorStateRow {
  ControlId label = kNoControl;  // "P" + n
  ControlId clock = kNoControl;  // GPU_Clock_n, Mem_Clock_n: 0..9999 MHz
  ControlId vcc = kNoControl;    // GPU_Vcc_n, Mem_Vcc_n: 0..99999 mV
};

struct PowerPlayEditorControls {
  ControlId cardGroup, cardName;                // GroupBox1 "GPU", Label1
  ControlId valueGroup, path, regedit, status;  // GroupBox5, Edit1, Button8 "->", Label9
  ControlId useExisting, remove, exportReg;     // RadioButton1, Button4 "Delete", Button7
  ControlId createNew, createNewTail, openFile;  // RadioButton2, Label10, Button1
  ControlId fileName, fileStatus;               // Edit2, Label2
  ControlId gpuGroup, memGroup, limitsGroup;    // GroupBox3, GroupBox2, GroupBox4
  std::array<EditorStateRow, kShownStateCount> gpuRows, memRows;
  ControlId maxGpu, maxMem, maxPower;           // Max_GPU, Max_Mem, Max_Power
  ControlId save, undo, saveReg, close;         // Button3, Button5, Button6, Button2
  ControlId note;                               // Label8, hidden at first
};

// Class "TForm3", caption "SoftPowerPlayTable Editor", fixed size with a minimise box.
WindowFrame PowerPlayEditorFrame();

PowerPlayEditorControls BuildPowerPlayEditorLayout(Form& form);

}  // namespace tw::ui
