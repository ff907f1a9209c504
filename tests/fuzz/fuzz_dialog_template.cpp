// The setup dialog's bytes as DialogBoxParamA meets them: a .res image searched for a
// dialog resource, and a dialog template parsed into a model. Each input is tried both as a
// template and as an image. The parsers promise never to read past the end and to reject
// what they cannot use; what they accept must build a dialog model and lay it out.
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "dialog/dialog_model.h"
#include "dialog/dialog_template.h"
#include "dialog/dialog_units.h"
#include "dialog/module_resources.h"
#include "dialog/res_image.h"

using namespace quarvel::dialog;

namespace {

// A template the parser accepted becomes live windows; their layout and the queries the
// dialog manager makes of them must work whatever the numbers are.
void UseTemplate(const DialogTemplate& parsed) {
    for (const DialogItemTemplate& item : parsed.items) {
        if (item.controlClass != ClassifyWindowClass(item.windowClass)) abort();
    }
    Dialog dialog(parsed, nullptr, 0);
    if (dialog.controls.size() != parsed.items.size()) abort();
    volatile LONG sink = 0;
    const RECT client = DialogUnitsToPixels(dialog.unitsRect, kSystemFontBaseUnits);
    sink = sink + client.right - client.left;
    for (const auto& control : dialog.controls) {
        const RECT r = DialogUnitsToPixels(control->unitsRect, kSystemFontBaseUnits);
        sink = sink + r.right - r.bottom;
        if (DialogFromHwnd(control.get()) != nullptr || ControlFromHwnd(control.get()) != control.get()) abort();
    }
    dialog.FirstTabStop();
    dialog.DefaultButtonId();
    dialog.FindControl(IDOK);
}

void TryTemplate(const uint8_t* data, size_t size) {
    DialogTemplate parsed;
    if (ParseDialogTemplate(data, size, &parsed)) UseTemplate(parsed);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TryTemplate(data, size);

    std::vector<ResEntry> entries;
    if (ParseResImage(data, size, &entries)) {
        for (const ResEntry& entry : entries) {
            // Every entry must lie inside the image it came from.
            if (entry.data < data || entry.size > size || entry.data + entry.size > data + size) abort();
            if (entry.type.isOrdinal && entry.type.ordinal == 5 /* RT_DIALOG */) TryTemplate(entry.data, entry.size);
        }
    }

    // The way DialogBoxParamA finds its template: registered images are searched newest first.
    if (quarvel::dialog::RegisterModuleResources(data, size)) {
        const uint8_t* found = nullptr;
        size_t foundSize = 0;
        DWORD error = 0;
        if (quarvel::dialog::FindModuleResource(RT_DIALOG, MAKEINTRESOURCEA(101), &found, &foundSize, &error)) {
            if (found < data || found + foundSize > data + size) abort();
            TryTemplate(found, foundSize);
        }
        quarvel::dialog::FindModuleResource(RT_DIALOG, "SETUP", &found, &foundSize, &error);
        quarvel::dialog::UnregisterModuleResources(data);
    }
    return 0;
}
