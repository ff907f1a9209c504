// The dialog on screen: a GTK3 window built from the dialog model, controls placed at their
// dialog-unit positions converted to pixels, kept in step with the model both ways.
#pragma once

#include <windows.h>

#include <memory>

#include "dialog_model.h"

typedef struct _GtkWidget GtkWidget;

namespace quarvel::dialog {

// A window for `dialog`, not yet shown. GTK is started on the first call; null when it
// cannot be (no display it can open), in which case nothing is shown.
std::unique_ptr<DialogView> CreateGtkDialogView(Dialog& dialog);

// The widget that shows a dialog (its toplevel window) or one of its controls while that
// dialog is on screen; null for anything else.
GtkWidget* ShownWidget(HWND window);

}  // namespace quarvel::dialog
