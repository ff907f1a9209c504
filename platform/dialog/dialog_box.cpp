// user32's modal dialogs: DialogBoxParamA, EndDialog, GetDlgItem, SendDlgItemMessageA and
// MapDialogRect, on the dialog model, with a GTK window when there is someone to show it to.
#include <windows.h>

#include <memory>

#include "core/log_once.h"
#include "core/video.h"
#include "dialog_model.h"
#include "dialog_template.h"
#include "gtk_dialog.h"
#include "module_resources.h"
#include "setup_automation.h"

namespace quarvel::dialog {
namespace {

INT_PTR RunDialog(const DialogTemplate& source, DLGPROC procedure, LPARAM initParameter) {
    if (!source.menu.empty()) core::LogOnce("dialog", "DialogBoxParamA", "not supported: a dialog menu");
    if (!source.windowClass.empty())
        core::LogOnce("dialog", "DialogBoxParamA", "not supported: a private dialog class");

    SetupAction action = SetupActionFromEnvironment();
    Dialog dialog(source, procedure, initParameter);
    std::unique_ptr<DialogView> view;
    if (action == SetupAction::Show) {
        if (core::HasDisplayServer()) view = CreateGtkDialogView(dialog);
        // With nobody to see the dialog, it behaves as if Run had been pressed at once.
        if (!view) action = SetupAction::Run;
    }
    dialog.view = view.get();

    Control* focus = dialog.FirstTabStop();
    bool setFocus = dialog.Send(WM_INITDIALOG, reinterpret_cast<WPARAM>(static_cast<HWND>(focus)), initParameter) != 0;
    if (!dialog.ended) ApplySetupPresets(dialog);
    if (!dialog.ended) {
        if (view) {
            view->Show(setFocus ? focus : nullptr);
            view->RunUntilEnded();
        } else {
            PressSetupButton(dialog, action);
        }
    }

    INT_PTR result = dialog.result;
    if (!dialog.ended) {
        // Nothing else can end a dialog that nobody sees.
        core::LogOnce("dialog", "DialogBoxParamA",
                      action == SetupAction::Cancel ? "the dialog procedure did not end the dialog on IDCANCEL"
                                                    : "the dialog procedure did not end the dialog on IDOK");
        result = -1;
    }
    dialog.Send(WM_DESTROY, 0, 0);
    dialog.view = nullptr;
    view.reset();
    return result;
}

}  // namespace
}  // namespace quarvel::dialog

using namespace quarvel::dialog;

extern "C" {

INT_PTR WINAPI DialogBoxParamA(HINSTANCE hInstance, LPCSTR lpTemplateName, HWND hWndParent, DLGPROC lpDialogFunc,
                               LPARAM dwInitParam) {
    // One module: every handle finds the program's own resources.
    (void)hInstance;
    if (!lpDialogFunc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    if (hWndParent && !quarvel::core::IsLiveWindow(hWndParent)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return -1;
    }
    const uint8_t* data = nullptr;
    size_t size = 0;
    DWORD error = ERROR_SUCCESS;
    if (!quarvel::dialog::FindModuleResource(RT_DIALOG, lpTemplateName, &data, &size, &error)) {
        SetLastError(error);
        return -1;
    }
    DialogTemplate source;
    if (!ParseDialogTemplate(data, size, &source)) {
        quarvel::core::LogOnce("dialog", "DialogBoxParamA", "the dialog resource is not a valid dialog template");
        SetLastError(ERROR_INVALID_DATA);
        return -1;
    }
    return RunDialog(source, lpDialogFunc, dwInitParam);
}

BOOL WINAPI EndDialog(HWND hDlg, INT_PTR nResult) {
    Dialog* dialog = DialogFromHwnd(hDlg);
    if (!dialog) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    dialog->ended = true;
    dialog->result = nResult;
    return TRUE;
}

HWND WINAPI GetDlgItem(HWND hDlg, int nIDDlgItem) {
    if (!quarvel::core::IsLiveWindow(hDlg)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    Dialog* dialog = DialogFromHwnd(hDlg);
    Control* control = dialog ? dialog->FindControl(nIDDlgItem) : nullptr;
    if (!control) {
        SetLastError(ERROR_CONTROL_ID_NOT_FOUND);
        return nullptr;
    }
    return control;
}

LRESULT WINAPI SendDlgItemMessageA(HWND hDlg, int nIDDlgItem, UINT Msg, WPARAM wParam, LPARAM lParam) {
    HWND control = GetDlgItem(hDlg, nIDDlgItem);
    return control ? SendMessageA(control, Msg, wParam, lParam) : 0;
}

BOOL WINAPI MapDialogRect(HWND hDlg, LPRECT lpRect) {
    Dialog* dialog = DialogFromHwnd(hDlg);
    if (!dialog) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (!lpRect) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *lpRect = DialogUnitsToPixels(*lpRect, dialog->Units());
    return TRUE;
}

}  // extern "C"
