// Running the setup dialog without a person: QUARVEL_SETUP presses a button right after
// WM_INITDIALOG, QUARVEL_SETUP_MODE picks a resolution, QUARVEL_SETUP_WINDOWED sets the
// "Windowed" box (control 1003). The presets also apply to a dialog that is shown.
#pragma once

#include <string>

#include "dialog_model.h"

namespace quarvel::dialog {

enum class SetupAction { Show, Run, Cancel };

// QUARVEL_SETUP: "run" or "cancel" (any case); unset or empty means Show. Any other value
// is reported once and treated as unset.
SetupAction SetupActionFromEnvironment();

// "WIDTHxHEIGHT" (decimal, 'x' or 'X').
bool ParseModeSize(const char* text, int* width, int* height);

// True when the first two numbers in a combo entry's text are `width` and `height`
// ("1920 * 1080").
bool EntryHasSize(const std::string& entry, int width, int height);

// Applies QUARVEL_SETUP_MODE to the dialog's first combo box and QUARVEL_SETUP_WINDOWED to
// check box 1003, through the same messages a program would send.
void ApplySetupPresets(Dialog& dialog);

// Presses Run (IDOK) or Cancel (IDCANCEL) as a click would.
void PressSetupButton(Dialog& dialog, SetupAction action);

}  // namespace quarvel::dialog
