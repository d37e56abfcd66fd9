#pragma once
// The controls of the main window (TForm1) and where they sit at 96 dots per inch.

#include <array>

#include "ui/form/form.h"

namespace tw::ui {

inline constexpr int kMaxPStates = 8;
inline constexpr int kOd8CurvePoints = 3;
inline constexpr int kFanRows = 5;

// The controls of one P-state row.
struct PStateRow {
  ControlId label = kNoControl;
  ControlId clock = kNoControl;
  ControlId vcc = kNoControl;
};

// Every control the main window's handlers touch, by role.
struct MainFormControls {
  ControlId cardList, refresh;                         // ComboBox1, Button10
  ControlId gpuGroup, memGroup, fanGroup, powerGroup;  // GroupBox1 .. GroupBox4
  ControlId i2cGroup, profileGroup;                    // GroupBox6, GroupBox5
  ControlId reset, apply, close;                       // Button4, Button1, Button2
  ControlId infoLabel;
  ControlId status;                                    // StatusLabel: what the last Apply or Reset did
  ControlId profileList;                               // ComboBox2
  std::array<PStateRow, kMaxPStates> gpuRows, memRows;
  std::array<ControlId, 2> gpuHeadings, memHeadings;   // "MHz", "mV"
  ControlId gpuMin, gpuMax, memMax;
  ControlId gpuMinLabel, gpuMaxLabel, memMaxLabel;
  ControlId timingBox, timingLabel;
  std::array<ControlId, kFanRows> fanTemp, fanPerc;
  ControlId zeroRpm, fanAcoustic, powerTarget;
  ControlId fanMin, fanMax, fanTarget, powerTemp;      // never shown: carry values to apply
};

// The window's fixed properties: class "TForm1", client 598 x 482, Tahoma 8 pt.
WindowFrame MainWindowFrame();

// Adds every control to `form` (tab order as they are added) and returns their ids.
MainFormControls BuildMainFormLayout(Form& form);

}  // namespace tw::ui
