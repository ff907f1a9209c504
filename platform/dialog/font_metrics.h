// The dialog font's metrics, measured with Pango in the template's typeface or, through
// fontconfig's substitution, the nearest installed one.
#pragma once

#include <string>

#include "dialog_units.h"

namespace quarvel::dialog {

struct DialogFont {
    std::string face;   // as the template names it
    int pixelHeight = 0;  // em height
    int weight = 400;     // FW_* values, which Pango's weights share
    bool italic = false;
};

// The font a template asks for: its point size at kDialogDpi; weight 0 means normal.
DialogFont DialogFontFromTemplate(const std::string& face, int pointSize, int weight, bool italic);

// Base units as GdiGetCharDimensions gives them: the rounded average width of the 52 letters
// and the character height (ascent + descent, each rounded to whole pixels). False when no
// font can be loaded at all. `family`, when given, receives the family actually used.
bool MeasureBaseUnits(const DialogFont& font, BaseUnits* units, std::string* family);

}  // namespace quarvel::dialog
