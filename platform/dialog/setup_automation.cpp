#include "setup_automation.h"

#include <strings.h>

#include <cstdlib>

#include "core/log_once.h"

namespace quarvel::dialog {
namespace {
constexpr int kWindowedCheckBoxId = 1003;

const char* Environment(const char* name) {
    const char* value = std::getenv(name);
    return value && *value ? value : nullptr;
}

// A run of decimal digits at `*p`, moving past it; false when there is none or it overflows.
bool ReadNumber(const char** p, int* value) {
    if (**p < '0' || **p > '9') return false;
    long number = 0;
    while (**p >= '0' && **p <= '9') {
        number = number * 10 + (**p - '0');
        if (number > 1000000) return false;
        ++*p;
    }
    *value = static_cast<int>(number);
    return true;
}
}  // namespace

SetupAction SetupActionFromEnvironment() {
    const char* value = Environment("QUARVEL_SETUP");
    if (!value) return SetupAction::Show;
    if (strcasecmp(value, "run") == 0) return SetupAction::Run;
    if (strcasecmp(value, "cancel") == 0) return SetupAction::Cancel;
    core::LogOnce("dialog", "DialogBoxParamA",
                  std::string("QUARVEL_SETUP=\"") + value + "\" is neither run nor cancel; ignored");
    return SetupAction::Show;
}

bool ParseModeSize(const char* text, int* width, int* height) {
    const char* p = text;
    if (!ReadNumber(&p, width)) return false;
    if (*p != 'x' && *p != 'X') return false;
    ++p;
    return ReadNumber(&p, height) && *p == '\0';
}

bool EntryHasSize(const std::string& entry, int width, int height) {
    const char* p = entry.c_str();
    int numbers[2];
    for (int& number : numbers) {
        while (*p && (*p < '0' || *p > '9')) ++p;
        if (!ReadNumber(&p, &number)) return false;
    }
    return numbers[0] == width && numbers[1] == height;
}

void ApplySetupPresets(Dialog& dialog) {
    if (const char* mode = Environment("QUARVEL_SETUP_MODE")) {
        int width = 0, height = 0;
        Control* combo = nullptr;
        for (const auto& control : dialog.controls) {
            if (control->controlClass == ControlClass::ComboBox) {
                combo = control.get();
                break;
            }
        }
        if (!ParseModeSize(mode, &width, &height)) {
            core::LogOnce("dialog", "DialogBoxParamA",
                          std::string("QUARVEL_SETUP_MODE=\"") + mode + "\" is not WIDTHxHEIGHT; ignored");
        } else if (combo) {
            bool found = false;
            for (size_t i = 0; i < combo->items.size() && !found; ++i) {
                if (EntryHasSize(combo->items[i], width, height)) {
                    combo->Send(CB_SETCURSEL, i, 0);
                    found = true;
                }
            }
            if (!found)
                core::LogOnce("dialog", "DialogBoxParamA",
                              std::string("no resolution entry is ") + mode + "; selection kept");
        }
    }
    if (const char* windowed = Environment("QUARVEL_SETUP_WINDOWED")) {
        Control* box = dialog.FindControl(kWindowedCheckBoxId);
        bool valid = (windowed[0] == '0' || windowed[0] == '1') && windowed[1] == '\0';
        if (!valid) {
            core::LogOnce("dialog", "DialogBoxParamA",
                          std::string("QUARVEL_SETUP_WINDOWED=\"") + windowed + "\" is not 0 or 1; ignored");
        } else if (box) {
            box->Send(BM_SETCHECK, windowed[0] == '1' ? BST_CHECKED : BST_UNCHECKED, 0);
        }
    }
}

void PressSetupButton(Dialog& dialog, SetupAction action) {
    int id = action == SetupAction::Cancel ? IDCANCEL : IDOK;
    if (Control* button = dialog.FindControl(id)) {
        ClickControl(*button);
    } else {
        SendCommand(dialog, id, BN_CLICKED, nullptr);
    }
}

}  // namespace quarvel::dialog
