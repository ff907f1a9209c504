#include "dialog_model.h"

#include <strings.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "core/log_once.h"

namespace quarvel::dialog {
namespace {
RECT UnitsRect(int16_t x, int16_t y, int16_t cx, int16_t cy) {
    return RECT{x, y, static_cast<LONG>(x) + cx, static_cast<LONG>(y) + cy};
}

const char* ClassName(ControlClass controlClass) {
    switch (controlClass) {
    case ControlClass::Button: return "button";
    case ControlClass::Edit: return "edit";
    case ControlClass::Static: return "static";
    case ControlClass::ListBox: return "list box";
    case ControlClass::ScrollBar: return "scroll bar";
    case ControlClass::ComboBox: return "combo box";
    case ControlClass::Other: break;
    }
    return "custom";
}
}  // namespace

Control::Control(Dialog* owner, const DialogItemTemplate& item)
    : dialog(owner),
      id(item.id),
      controlClass(item.controlClass),
      windowClass(item.windowClass),
      style(item.style),
      exStyle(item.exStyle),
      text(item.title.isOrdinal ? std::string() : item.title.text),
      unitsRect(UnitsRect(item.x, item.y, item.cx, item.cy)) {
    core::RegisterLiveWindow(this);
}

Control::~Control() { core::UnregisterLiveWindow(this); }

bool Control::IsCheckBox() const {
    return controlClass == ControlClass::Button && (ButtonType() == BS_CHECKBOX || ButtonType() == BS_AUTOCHECKBOX);
}

bool Control::IsAutoCheckBox() const { return controlClass == ControlClass::Button && ButtonType() == BS_AUTOCHECKBOX; }

bool Control::IsPushButton() const {
    return controlClass == ControlClass::Button &&
           (ButtonType() == BS_PUSHBUTTON || ButtonType() == BS_DEFPUSHBUTTON);
}

LRESULT Control::ComboMessage(UINT message, WPARAM wParam, LPARAM lParam, bool* handled) {
    *handled = true;
    int count = static_cast<int>(items.size());
    int index = static_cast<int>(wParam);
    switch (message) {
    case CB_ADDSTRING: {
        const char* added = reinterpret_cast<const char*>(lParam);
        if (!added) return CB_ERR;
        int at = count;
        if (style & CBS_SORT) {
            at = static_cast<int>(std::upper_bound(items.begin(), items.end(), std::string(added),
                                                   [](const std::string& a, const std::string& b) {
                                                       return strcasecmp(a.c_str(), b.c_str()) < 0;
                                                   }) -
                                  items.begin());
        }
        items.insert(items.begin() + at, added);
        if (dialog->view) dialog->view->ItemInserted(*this, at);
        if (selection >= at) {
            ++selection;
            if (dialog->view) dialog->view->SelectionChanged(*this);
        }
        return at;
    }
    case CB_GETCOUNT: return count;
    case CB_RESETCONTENT:
        items.clear();
        selection = -1;
        if (dialog->view) dialog->view->ItemsCleared(*this);
        return CB_OKAY;
    case CB_SETCURSEL:
        // Out of range (-1 included) clears the selection and reports CB_ERR.
        selection = index >= 0 && index < count ? index : -1;
        if (dialog->view) dialog->view->SelectionChanged(*this);
        return selection >= 0 ? selection : CB_ERR;
    case CB_GETCURSEL: return selection >= 0 ? selection : CB_ERR;
    case CB_GETLBTEXTLEN:
        return index >= 0 && index < count ? static_cast<LRESULT>(items[static_cast<size_t>(index)].size()) : CB_ERR;
    case CB_GETLBTEXT: {
        char* buffer = reinterpret_cast<char*>(lParam);
        if (index < 0 || index >= count || !buffer) return CB_ERR;
        const std::string& item = items[static_cast<size_t>(index)];
        std::memcpy(buffer, item.c_str(), item.size() + 1);
        return static_cast<LRESULT>(item.size());
    }
    default: *handled = false; return 0;
    }
}

LRESULT Control::ButtonMessage(UINT message, WPARAM wParam, LPARAM, bool* handled) {
    *handled = true;
    switch (message) {
    case BM_GETCHECK: return IsCheckBox() ? check : BST_UNCHECKED;
    case BM_SETCHECK:
        if (IsCheckBox()) {
            // A two-state box has no third state to show; like Windows, clamp to checked.
            int state = wParam == BST_UNCHECKED ? BST_UNCHECKED : BST_CHECKED;
            if (state != check) {
                check = state;
                if (dialog->view) dialog->view->CheckChanged(*this);
            }
        }
        return 0;
    case BM_CLICK: ClickControl(*this); return 0;
    default: *handled = false; return 0;
    }
}

LRESULT Control::Send(UINT message, WPARAM wParam, LPARAM lParam) {
    bool handled = false;
    LRESULT result = 0;
    if (controlClass == ControlClass::ComboBox) result = ComboMessage(message, wParam, lParam, &handled);
    if (controlClass == ControlClass::Button) result = ButtonMessage(message, wParam, lParam, &handled);
    if (!handled) {
        char what[64];
        std::snprintf(what, sizeof what, "message 0x%04X to a %s control", message, ClassName(controlClass));
        core::LogOnce("dialog", "SendMessageA", std::string("not supported: ") + what);
    }
    return result;
}

Dialog::Dialog(const DialogTemplate& source, DLGPROC dialogProcedure, LPARAM parameter)
    : procedure(dialogProcedure),
      initParameter(parameter),
      style(source.style),
      exStyle(source.exStyle),
      title(source.title),
      unitsRect(UnitsRect(source.x, source.y, source.cx, source.cy)),
      hasFont(source.hasFont),
      font(DialogFontFromTemplate(source.typeface, source.pointSize, source.weight, source.italic != 0)) {
    core::RegisterLiveWindow(this);
    controls.reserve(source.items.size());
    for (const DialogItemTemplate& item : source.items) controls.push_back(std::make_unique<Control>(this, item));
}

Dialog::~Dialog() {
    controls.clear();
    core::UnregisterLiveWindow(this);
}

LRESULT Dialog::Send(UINT message, WPARAM wParam, LPARAM lParam) {
    INT_PTR handled = procedure(this, message, wParam, lParam);
    if (!handled && message == WM_CLOSE) {
        // DefDlgProc turns the close box into Cancel.
        Control* cancel = FindControl(IDCANCEL);
        if (!cancel || cancel->Enabled()) SendCommand(*this, IDCANCEL, BN_CLICKED, cancel);
    }
    return handled;
}

Control* Dialog::FindControl(int controlId) const {
    for (const auto& control : controls) {
        if (control->id == controlId) return control.get();
    }
    return nullptr;
}

Control* Dialog::FirstTabStop() const {
    for (const auto& control : controls) {
        if ((control->style & WS_TABSTOP) && control->Visible() && control->Enabled()) return control.get();
    }
    return nullptr;
}

int Dialog::DefaultButtonId() const {
    for (const auto& control : controls) {
        if (control->controlClass == ControlClass::Button && control->ButtonType() == BS_DEFPUSHBUTTON) return control->id;
    }
    return IDOK;
}

BaseUnits Dialog::Units() {
    if (!unitsMeasured_) {
        unitsMeasured_ = true;
        units_ = kSystemFontBaseUnits;
        if (hasFont && !MeasureBaseUnits(font, &units_, nullptr)) {
            core::LogOnce("dialog", "DialogBoxParamA",
                          "no font could be loaded for \"" + font.face + "\"; using system font units");
            units_ = kSystemFontBaseUnits;
        }
    }
    return units_;
}

RECT Dialog::PixelRect(const Control& control) { return DialogUnitsToPixels(control.unitsRect, Units()); }

RECT Dialog::PixelRect() { return DialogUnitsToPixels(unitsRect, Units()); }

Dialog* DialogFromHwnd(HWND window) { return core::IsLiveWindow(window) ? dynamic_cast<Dialog*>(window) : nullptr; }

Control* ControlFromHwnd(HWND window) { return core::IsLiveWindow(window) ? dynamic_cast<Control*>(window) : nullptr; }

void SendCommand(Dialog& dialog, int controlId, WORD code, HWND control) {
    dialog.Send(WM_COMMAND, MAKEWPARAM(controlId, code), reinterpret_cast<LPARAM>(control));
}

void ClickControl(Control& control) {
    if (!control.dialog || control.dialog->ended || !control.Enabled()) return;
    if (control.IsAutoCheckBox()) {
        control.check = control.check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
        if (control.dialog->view) control.dialog->view->CheckChanged(control);
    }
    if (control.controlClass == ControlClass::Button) SendCommand(*control.dialog, control.id, BN_CLICKED, &control);
}

void PressEnter(Dialog& dialog, Control* focused) {
    if (dialog.ended) return;
    if (focused && focused->IsPushButton()) {
        ClickControl(*focused);
        return;
    }
    int id = dialog.DefaultButtonId();
    Control* button = dialog.FindControl(id);
    if (button && !button->Enabled()) return;
    SendCommand(dialog, id, BN_CLICKED, button);
}

void PressEscape(Dialog& dialog) {
    if (dialog.ended) return;
    Control* cancel = dialog.FindControl(IDCANCEL);
    if (cancel && !cancel->Enabled()) return;
    SendCommand(dialog, IDCANCEL, BN_CLICKED, cancel);
}

}  // namespace quarvel::dialog
