#include "dialog_template.h"

#include <strings.h>

#include <windows.h>

namespace quarvel::dialog {
namespace {

bool ReadItem(WireReader& in, bool extended, DialogItemTemplate* item) {
    in.Align(4);
    if (extended) {
        uint32_t id = 0;
        in.Dword(&item->helpId);
        in.Dword(&item->exStyle);
        in.Dword(&item->style);
        in.Short(&item->x);
        in.Short(&item->y);
        in.Short(&item->cx);
        in.Short(&item->cy);
        in.Dword(&id);
        item->id = static_cast<int32_t>(id);
    } else {
        int16_t id = 0;
        in.Dword(&item->style);
        in.Dword(&item->exStyle);
        in.Short(&item->x);
        in.Short(&item->y);
        in.Short(&item->cx);
        in.Short(&item->cy);
        in.Short(&id);
        item->id = id;
    }
    in.NameOrOrdinalField(&item->windowClass);
    in.NameOrOrdinalField(&item->title);
    uint16_t extraCount = 0;
    in.Word(&extraCount);
    if (!in.ok() || in.remaining() < extraCount) return false;
    if (extraCount) {
        // The creation data follows its count; copy it through the reader's bounds.
        item->extra.resize(extraCount);
        for (uint16_t i = 0; i < extraCount; ++i) in.Byte(&item->extra[i]);
    }
    item->controlClass = ClassifyWindowClass(item->windowClass);
    return in.ok();
}

}  // namespace

ControlClass ClassifyWindowClass(const NameOrOrdinal& windowClass) {
    if (windowClass.isOrdinal) {
        switch (windowClass.ordinal) {
        case 0x0080: return ControlClass::Button;
        case 0x0081: return ControlClass::Edit;
        case 0x0082: return ControlClass::Static;
        case 0x0083: return ControlClass::ListBox;
        case 0x0084: return ControlClass::ScrollBar;
        case 0x0085: return ControlClass::ComboBox;
        default: return ControlClass::Other;
        }
    }
    static const struct {
        const char* name;
        ControlClass controlClass;
    } kNames[] = {{"button", ControlClass::Button},       {"edit", ControlClass::Edit},
                  {"static", ControlClass::Static},       {"listbox", ControlClass::ListBox},
                  {"scrollbar", ControlClass::ScrollBar}, {"combobox", ControlClass::ComboBox}};
    for (const auto& entry : kNames) {
        if (strcasecmp(windowClass.text.c_str(), entry.name) == 0) return entry.controlClass;
    }
    return ControlClass::Other;
}

bool ParseDialogTemplate(const uint8_t* data, size_t size, DialogTemplate* out) {
    *out = DialogTemplate{};
    if (!data) return false;
    WireReader in(data, size);
    uint16_t version = 0, signature = 0;
    if (!in.Word(&version) || !in.Word(&signature)) return false;
    out->extended = version == 1 && signature == 0xFFFF;
    uint16_t itemCount = 0;
    if (out->extended) {
        in.Dword(&out->helpId);
        in.Dword(&out->exStyle);
        in.Dword(&out->style);
    } else {
        in = WireReader(data, size);
        in.Dword(&out->style);
        in.Dword(&out->exStyle);
    }
    in.Word(&itemCount);
    in.Short(&out->x);
    in.Short(&out->y);
    in.Short(&out->cx);
    in.Short(&out->cy);
    in.NameOrOrdinalField(&out->menu);
    in.NameOrOrdinalField(&out->windowClass);
    in.String(&out->title);
    if (out->style & DS_SETFONT) {
        out->hasFont = true;
        in.Word(&out->pointSize);
        if (out->extended) {
            in.Word(&out->weight);
            in.Byte(&out->italic);
            in.Byte(&out->charset);
        }
        in.String(&out->typeface);
    }
    // Each item takes at least 30 bytes (24 in the older form), so a count the data cannot
    // hold is refused before anything is reserved for it.
    size_t smallestItem = out->extended ? 24 + 6 : 18 + 6;
    if (!in.ok() || itemCount > in.remaining() / smallestItem) {
        *out = DialogTemplate{};
        return false;
    }
    out->items.resize(itemCount);
    for (DialogItemTemplate& item : out->items) {
        if (!ReadItem(in, out->extended, &item)) {
            *out = DialogTemplate{};
            return false;
        }
    }
    return true;
}

}  // namespace quarvel::dialog
