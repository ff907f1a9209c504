// Dialog templates as DialogBoxParamA reads them: DLGTEMPLATEEX (dlgVer 1, signature 0xFFFF)
// and the older DLGTEMPLATE, with their items.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "wire_reader.h"

namespace quarvel::dialog {

// The predefined window classes, by their template ordinals.
enum class ControlClass { Button, Edit, Static, ListBox, ScrollBar, ComboBox, Other };

struct DialogItemTemplate {
    uint32_t helpId = 0;
    uint32_t exStyle = 0;
    uint32_t style = 0;
    int16_t x = 0, y = 0, cx = 0, cy = 0;  // dialog units
    int32_t id = 0;  // DLGTEMPLATE's WORD ids are sign-extended, so -1 reads back as -1
    NameOrOrdinal windowClass;
    ControlClass controlClass = ControlClass::Other;
    NameOrOrdinal title;
    std::vector<uint8_t> extra;  // creation data
};

struct DialogTemplate {
    bool extended = false;
    uint32_t helpId = 0;
    uint32_t exStyle = 0;
    uint32_t style = 0;
    int16_t x = 0, y = 0, cx = 0, cy = 0;
    NameOrOrdinal menu;
    NameOrOrdinal windowClass;
    std::string title;
    bool hasFont = false;  // DS_SETFONT: the five font fields below are present
    uint16_t pointSize = 0;
    uint16_t weight = 0;
    uint8_t italic = 0;
    uint8_t charset = 0;
    std::string typeface;
    std::vector<DialogItemTemplate> items;
};

// Parses a template of `size` bytes. Safe on any input: every field is bounds-checked and a
// template that ends before its last item does is rejected (false). Alignment is counted
// from `data`, which resources keep DWORD-aligned.
bool ParseDialogTemplate(const uint8_t* data, size_t size, DialogTemplate* out);

// The class a template names, by ordinal (0x0080 button ... 0x0085 combo box) or by the
// same names as strings, compared without regard to case.
ControlClass ClassifyWindowClass(const NameOrOrdinal& windowClass);

}  // namespace quarvel::dialog
