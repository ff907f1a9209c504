// Dialog units to pixels, computed as Windows computes them: a horizontal unit is a quarter
// of the dialog font's average character width, a vertical unit an eighth of its height.
#pragma once

#include <windows.h>

namespace quarvel::dialog {

// Average character width and character height of a dialog's font, in pixels.
struct BaseUnits {
    int x = 0;
    int y = 0;
};

// Dialogs without DS_SETFONT are laid out in the system font.
constexpr BaseUnits kSystemFontBaseUnits{8, 16};

// The dots per inch that point sizes are converted at (Windows' 100 %).
constexpr int kDialogDpi = 96;

// MulDiv: a * b / c without overflow, rounded half away from zero; -1 when c is 0.
int MulDivRounded(int a, int b, int c);

// The average character width from the width of "A..Za..z" in pixels, rounded as Windows
// rounds it: (width / 26 + 1) / 2.
int AverageCharWidth(int alphabetWidth);

// A font's point size as the pixel height the dialog creates it with (its em height).
int PointsToPixels(int points, int dpi);

// MapDialogRect.
RECT DialogUnitsToPixels(RECT units, BaseUnits base);

}  // namespace quarvel::dialog
