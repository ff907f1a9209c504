// A running dialog as a model: the dialog and its controls are live windows whose state
// (combo items and selection, check marks) answers the messages the dialog procedure sends.
// Whether or not anything is on screen, this is the one copy of the state; a view shows it
// and reports the user's actions back through the same calls a program would make.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "core/hwnd_object.h"
#include "dialog_template.h"
#include "dialog_units.h"
#include "font_metrics.h"

namespace quarvel::dialog {

struct Control;
struct Dialog;

// Something that shows a dialog to a person and keeps itself in step with the model.
class DialogView {
public:
    virtual ~DialogView() = default;
    virtual void ItemInserted(Control& control, int index) = 0;
    virtual void ItemsCleared(Control& control) = 0;
    virtual void SelectionChanged(Control& control) = 0;
    virtual void CheckChanged(Control& control) = 0;
    // Puts the dialog on screen with the keyboard focus on `focus` (may be null).
    virtual void Show(Control* focus) = 0;
    // Runs the user interface until the dialog has ended.
    virtual void RunUntilEnded() = 0;
};

struct Control final : HWND__ {
    Control(Dialog* owner, const DialogItemTemplate& item);
    ~Control() override;
    LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) override;

    uint32_t ButtonType() const { return style & BS_TYPEMASK; }
    bool IsCheckBox() const;
    bool IsAutoCheckBox() const;
    bool IsPushButton() const;
    bool Visible() const { return (style & WS_VISIBLE) != 0; }
    bool Enabled() const { return (style & WS_DISABLED) == 0; }

    Dialog* dialog;
    int32_t id;
    ControlClass controlClass;
    NameOrOrdinal windowClass;
    uint32_t style;
    uint32_t exStyle;
    std::string text;  // empty when the template's title is an ordinal
    RECT unitsRect;    // left, top, right, bottom in dialog units
    std::vector<std::string> items;  // combo box
    int selection = -1;
    int check = BST_UNCHECKED;

private:
    LRESULT ComboMessage(UINT message, WPARAM wParam, LPARAM lParam, bool* handled);
    LRESULT ButtonMessage(UINT message, WPARAM wParam, LPARAM lParam, bool* handled);
};

struct Dialog final : HWND__ {
    Dialog(const DialogTemplate& source, DLGPROC procedure, LPARAM initParameter);
    ~Dialog() override;
    // Calls the dialog procedure, then does what DefDlgProc does for what it left alone.
    LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) override;

    Control* FindControl(int controlId) const;
    // The first visible, enabled control with WS_TABSTOP: where the focus starts.
    Control* FirstTabStop() const;
    // The button that Enter presses: the BS_DEFPUSHBUTTON, else IDOK.
    int DefaultButtonId() const;
    // The font's base units, measured the first time they are needed.
    BaseUnits Units();
    RECT PixelRect(const Control& control);
    RECT PixelRect();  // the dialog's own client area

    DLGPROC procedure;
    LPARAM initParameter;
    uint32_t style;
    uint32_t exStyle;
    std::string title;
    RECT unitsRect;
    bool hasFont;
    DialogFont font;
    std::vector<std::unique_ptr<Control>> controls;
    DialogView* view = nullptr;
    bool ended = false;
    INT_PTR result = 0;

private:
    bool unitsMeasured_ = false;
    BaseUnits units_;
};

// The model behind a live handle, or null.
Dialog* DialogFromHwnd(HWND window);
Control* ControlFromHwnd(HWND window);

// WM_COMMAND to the dialog, as a control's notification.
void SendCommand(Dialog& dialog, int controlId, WORD code, HWND control);
// A click as a person makes it: nothing on a disabled control or an ended dialog; an auto
// check box toggles; then the dialog hears BN_CLICKED.
void ClickControl(Control& control);
// What a key press means to a dialog (IsDialogMessage): Enter presses `focused` when it is a
// push button and the default button otherwise; Escape sends IDCANCEL.
void PressEnter(Dialog& dialog, Control* focused);
void PressEscape(Dialog& dialog);

}  // namespace quarvel::dialog
